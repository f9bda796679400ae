// The fixture of the drop-down cells' tests: a recording grid whose cell (2, 1) holds a drop-down control,
// Alt+Down to open its list, and the list's and the cell's places on the screen.
#pragma once

#include <vector>

#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXGridGlobals.h"

namespace enginetest {

constexpr const char* kRgb = "Red\nGreen\nBlue";

// An owner-drawn combo-box window that records what it is asked to draw.
class OwnerDrawnCombo : public CGXComboBoxWnd {
 public:
  using CGXComboBoxWnd::CGXComboBoxWnd;
  void DrawItem(LPDRAWITEMSTRUCT item) override { items.push_back(*item); }
  std::vector<DRAWITEMSTRUCT> items;
};

// The library registers the popup class once per process; the tests reset the window system each time.
inline void RegisterPopupClass() {
  WNDCLASS wc{};
  HINSTANCE instance = AfxGetInstanceHandle();
  const CString& name = CGXGridGlobals::Get().m_sPopupClassName;
  if (GetClassInfo(instance, name, &wc)) return;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  RegisterClass(&wc);
}

class DropDownTest : public CellControlTest {
 protected:
  void SetUp() override {
    CellControlTest::SetUp();
    RegisterPopupClass();
  }
  // A grid whose cell (2, 1) has control `id` with the choices and the value, current and focused.
  RecordingGrid* Grid(WORD id, const char* choices, const char* value, CGXStyle style = CGXStyle()) {
    g = MakeRecordingGrid(6, 4, 400, 300);
    style.SetControl(id).SetChoiceList(choices).SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    box = ControlOf<CGXComboBox>(g, id);
    EXPECT_NE(box, nullptr);
    g->Take();
    return g;
  }
  static void AltDown() {
    plat::InputRouter::Instance().KeyDown(VK_MENU);
    plat::InputRouter::Instance().KeyPress(VK_DOWN);
    plat::InputRouter::Instance().KeyUp(VK_MENU);
    Pump();
  }
  CListBox* List() { return box->GetListBox(); }
  CRect PopupRect() {
    CRect r;
    box->GetDropDownWindow()->GetWindowRect(&r);
    return r;
  }
  // The cell's text area and the button beside it, on the screen.
  CRect CellOnScreen() {
    CRect r = box->ComputeInnerRect(2, 1);
    r.right += 15;
    g->ClientToScreen(&r);
    return r;
  }
  std::string Value() { return std::string(g->GetCellValue(2, 1)); }
  std::string EditText() { return std::string(box->WindowText()); }
  // Leaves the cell downwards: the grid stores what the control holds.
  void Leave() {
    Key(VK_DOWN);
    EXPECT_FALSE(g->MatchesCurrentCell(2, 1));
  }

  RecordingGrid* g = nullptr;
  CGXComboBox* box = nullptr;
};

}  // namespace enginetest
