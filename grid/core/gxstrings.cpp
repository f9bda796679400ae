#include "grid/core/gxstrings.h"

#include "platform/base/CException.h"

namespace gx {
namespace {

// The strings that the grid core names: the model, the engine and the cell control base. Every other grid
// library registers its own in the same module from its registration call.
constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {52768, "Standard"},
    {52769, "Row Header"},
    {52770, "Column Header"},
    {52512, "Edit Control"},
    {52513, "Static Text"},
    {52514, "Pushbutton"},
    {52515, "Radio Buttons"},
    {52516, "Checkbox, 1/0"},
    {52517, "ComboBox, no text-fit"},
    {52518, "Hotspot Edit"},
    {52519, "Spin Edit"},
    {52520, "Header"},
    {52521, "Edit Control, Scrollbar"},
    {52522, "Listbox"},
    {52523, "Checkbox, 3d-Effect"},
    {52524, "Radio Buttons, 3d-Effect"},
    {52525, "ComboBox, zero-based"},
    {52526, "ComboBox, one-based"},
    {52527, "ComboBox, text-fit"},
    {52528, "MFC ComboBox"},
    {52529, "MFC DropDownList"},
    {52530, "Arrow Header"},
    {52531, "Combo, disp.choice, 1-base"},
    {52532, "Combo, disp.choice, 0-base"},
    {52533, "Row Header"},
    {52534, "Rich Edit"},
    {52535, "Masked Edit"},
    {52536, "Progressbar"},
    {52537, "Password Edit"},
    {52538, "Colorwell"},
    {52539, "Tabbed MFC ComboBox"},
    {52540, "Tabbed MFC DropDownList"},
    {52541, "Tabbed ComboBox"},
    {52542, "Dropdown CheckListBox"},
    {52543, "Date Time Control with popup calendar"},
    {52544, "Date time control without calendar"},
    {52545, "Currency control"},
    {20128, "Dao bitmap control"},
    {20130, "Checkbox with modify state"},
    {20131, "3D Checkbox with modify state"},
    {20132, "Dao object preview control"},
    {20136, "Radio Buttons, 3d-Effect and active state"},
    {20137, "Radio Buttons, with active state"},
    {51011, "Valid: Min. Value"},
    {51012, "Valid: Max. Value"},
    {51013, "Valid: Warning Msg"},
    {51022, "Tooltip-Text"},
    {52792, "Type of ellipses that will be drawn"},
    {52570, "RTL Reading Value"},
    {20126, "No ellipse\nDotted....\nPound###"},
    {52232, "Grid Lines"},
    {52233, "Fixed Lines"},
    {52234, "Tracking Line"},
    {52235, "Background"},
    {52236, "Dragging Line"},
    {51005, "Current Cell."},
    {51006, "Invert Thin."},
    {51007, "Invert Thick."},
    {51008, "Thin Border."},
    {51009, "Thick Border."},
    {20059, "No Border."},
    {20162, "Move Rows"},
    {20163, "Move Columns"},
    {20164, "Insert Rows"},
    {20165, "Insert Columns"},
    {20145, "Removing rows ..."},
    {20146, "Removing columns ..."},
    {20141, "Generating undo information ..."},
    {20142, "Storing cells ...."},
    {20143, "Restoring cells ..."},
    {20082, "Operation is too large for the undo buffer. Do you want to continue?"},
};

HINSTANCE GridModule() { return plat::ResourceTable::ModuleHandle("grid"); }

}  // namespace

void RegisterGridStrings() {
  static const bool once = (AddGridStrings(kStrings), true);
  (void)once;
}

void AddGridStrings(std::span<const plat::ResourceTable::StringEntry> table) {
  for (const plat::ResourceTable::StringEntry& s : table) plat::ResourceTable::AddString(GridModule(), s.id, s.text);
}

BOOL LoadGridString(CString& out, UINT id) {
  RegisterGridStrings();
  if (out.LoadString(id)) return TRUE;
  if (const std::string_view* text = plat::ResourceTable::FindString(GridModule(), id)) {
    out = CString(*text);
    return TRUE;
  }
  out.Empty();
  return FALSE;
}

CString LoadGridString(UINT id) {
  CString text;
  LoadGridString(text, id);
  return text;
}

void LoadStringOrThrow(CString& out, UINT id) {
  if (!LoadGridString(out, id)) AfxThrowResourceException();
}

}  // namespace gx
