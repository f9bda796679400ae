// The page of the windowless cells: check boxes, radio buttons, push buttons, progress bars and bitmap
// fields, one row per control id, a column per state, and a test cell with the child buttons (spin arrows,
// hot spot and both drop-down buttons). The live column is where the steps press, focus and edit.
#include <vector>

#include "foundation/ButtonBitmap.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXComboBoxButton.h"
#include "grid/controls/CGXDaoBitmap.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/CGXStatic.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "platform/base/COleVariant.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

enum Column : ROWCOL { kOff = 1, kOn, kUndetermined, kDisabled, kReadOnly, kLive };
constexpr const char* kColumnNames[] = {"Off", "On", "Undetermined", "Disabled", "Read-only", "Live"};

// The test cell's own control id (a demo cell, registered with the page's grid only).
constexpr WORD kButtonsCell = 30001;

enum class Kind { check, radio, radioRow, push, progress, picture, buttons };
struct Family {
  WORD id;
  const char* label;
  Kind kind;
};
constexpr Family kFamilies[] = {
    {GX_IDS_CTRL_CHECKBOX, "52516 Check box", Kind::check},
    {GX_IDS_CTRL_CHECKBOX3D, "52523 3-D check box", Kind::check},
    {GX_IDS_CTRL_CHECKBOX_EX, "20130 Check box Ex", Kind::check},
    {GX_IDS_CTRL_CHECKBOX3D_EX, "20131 3-D check box Ex", Kind::check},
    {GX_IDS_CTRL_RADIO, "52515 Radio buttons", Kind::radio},
    {GX_IDS_CTRL_RADIO3D, "52524 3-D radio", Kind::radio},
    {GX_IDS_CTRL_RADIO3D_EX, "20136 3-D radio Ex", Kind::radio},
    {GX_IDS_CTRL_RADIO_EX, "20137 Radio Ex, a row", Kind::radioRow},
    {GX_IDS_CTRL_PUSHBTN, "52514 Push button", Kind::push},
    {GX_IDS_CTRL_PROGRESS, "52536 Progress bar", Kind::progress},
    {GX_IDS_CTRL_DAOBITMAP, "20128 Bitmap field", Kind::picture},
    {kButtonsCell, "Child buttons", Kind::buttons},
};
constexpr ROWCOL kRows = sizeof kFamilies / sizeof kFamilies[0];

ROWCOL RowOf(WORD id) {
  for (ROWCOL r = 0; r < kRows; ++r)
    if (kFamilies[r].id == id) return r + 1;
  return 0;
}

// A static cell with the child buttons at its right: the spin pair, the hot spot and both drop-down buttons.
class ButtonsCell : public CGXStatic {
 public:
  explicit ButtonsCell(CGXGridCore* grid) : CGXStatic(grid) {
    for (CGXChild* child : {static_cast<CGXChild*>(up = new CGXUpArrowButton(this)),
                            static_cast<CGXChild*>(down = new CGXDownArrowButton(this)),
                            static_cast<CGXChild*>(hotSpot = new CGXHotSpotButton(this)),
                            static_cast<CGXChild*>(combo = new CGXComboBoxButton(this)),
                            static_cast<CGXChild*>(comboWnd = new CGXComboBoxWndButton(this))})
      AppendChild(child);
  }
  void LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) override {
    constexpr int w = 16;
    int x = inner.right;
    for (CGXChild* child : {static_cast<CGXChild*>(comboWnd), static_cast<CGXChild*>(combo),
                            static_cast<CGXChild*>(hotSpot)}) {
      child->SetRect(CRect(x - w, inner.top, x, inner.bottom));
      x -= w + 2;
    }
    const int middle = (inner.top + inner.bottom) / 2;
    up->SetRect(CRect(x - w, inner.top, x, middle));
    down->SetRect(CRect(x - w, middle, x, inner.bottom));
  }
  CGXUpArrowButton* up;
  CGXDownArrowButton* down;
  CGXHotSpotButton* hotSpot;
  CGXComboBoxButton* combo;
  CGXComboBoxWndButton* comboWnd;
};

// A 16 x 12 picture: a red board with a blue stripe and a white pad, as a bitmap file in a byte array.
CGXOleVarUserAttribute* Picture() {
  static const RGBQUAD colours[] = {{0, 0, 192, 0}, {192, 64, 0, 0}, {255, 255, 255, 0}};
  const std::vector<BYTE> dib = foundation::MakePackedDib4(
      {"rrrrrrrrrrrrrrrr", "rrrrrrrrrrrrrrrr", "rrwwrrrrrrrrwwrr", "rrwwrrrrrrrrwwrr", "bbbbbbbbbbbbbbbb",
       "bbbbbbbbbbbbbbbb", "rrrrrrrrrrrrrrrr", "rrrrrrwwwwrrrrrr", "rrrrrrwwwwrrrrrr", "rrrrrrrrrrrrrrrr",
       "rrrrrrrrrrrrrrrr", "rrrrrrrrrrrrrrrr"},
      "rbw", colours);
  CByteArray bytes;
  const BYTE header[14] = {'B', 'M'};
  for (BYTE b : header) bytes.Add(b);
  for (BYTE b : dib) bytes.Add(b);
  auto* picture = new CGXOleVarUserAttribute;
  picture->SetVariant(COleVariant(bytes));
  return picture;
}

// The cell of a family in a state column; a state the family does not have is a grey, empty cell.
CGXStyle CellStyle(const Family& family, ROWCOL col) {
  CGXStyle s;
  s.SetInteriorColor(RGB(255, 255, 255));
  const auto none = [&] { return CGXStyle().SetInteriorColor(RGB(224, 224, 224)); };
  if (col == kDisabled) s.SetEnabled(FALSE);
  if (col == kReadOnly) s.SetReadOnly(TRUE);
  switch (family.kind) {
    case Kind::check:
      s.SetControl(family.id).SetHorizontalAlignment(GX_DT_CENTER).SetVerticalAlignment(GX_DT_VCENTER);
      if (col == kUndetermined) s.SetTriState(TRUE);
      s.SetValue(col == kUndetermined ? "" : col == kOff || col == kLive ? "0" : "1");
      return s;
    case Kind::radio:
    case Kind::radioRow:
      if (col == kUndetermined) return none();
      s.SetControl(family.id).SetChoiceList("Red\nBlue").SetValue(col == kOff ? "" : col == kOn ? "1" : "0");
      if (family.kind == Kind::radioRow)
        s.SetUserAttribute(GX_IDS_UA_RADIO_ALIGNMENT, "1").SetUserAttribute(GX_IDS_UA_RADIO_TEXTALIGN, "1");
      return s;
    case Kind::push:
      if (col == kOn || col == kUndetermined) return none();
      return s.SetControl(family.id).SetChoiceList("Run");
    case Kind::progress: {
      static const char* kValues[] = {"", "0", "100", "50", "50", "75", "30"};
      s.SetControl(family.id).SetValue(kValues[col]).SetTextColor(RGB(0, 0, 128));
      s.SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0").SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "100");
      return s.SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, "%d%%");
    }
    case Kind::picture:
      if (col == kOn || col == kUndetermined || col == kReadOnly) return none();
      return s.SetControl(family.id).SetUserAttribute(GX_IDS_UA_DAOBITMAP, Picture());
    case Kind::buttons:
      if (col != kLive) return none();
      return s.SetControl(family.id).SetValue("12");
  }
  return s;
}

HWND BuildPage() {
  HWND main = CreatePageWindow("Cell gallery: windowless cells", 800, 440);
  CGXGridWnd* g = PageGrid(main);
  g->AddCellControl(kButtonsCell, new ButtonsCell(g));
  g->InitializeFromStyle();
  g->SetRowCount(kRows, 0);
  g->SetColCount(kLive, 0);
  g->SetColWidth(0, 0, 150, nullptr, 0);
  g->SetColWidth(1, kLive, 100, nullptr, 0);
  g->SetColWidth(kLive, kLive, 110, nullptr, 0);
  for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(0, c), CGXStyle().SetValue(kColumnNames[c - 1]));
  for (ROWCOL r = 1; r <= kRows; ++r) {
    const Family& family = kFamilies[r - 1];
    g->SetRowHeight(r, r, family.kind == Kind::radio ? 38 : 24, nullptr, 0);
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(family.label).SetHorizontalAlignment(GX_DT_LEFT));
    for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(r, c), CellStyle(family, c));
  }
  g->MoveCurrentCellTo(RowOf(GX_IDS_CTRL_CHECKBOX), kOff, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

// ---- Where the steps press ------------------------------------------------------------------------------

POINT ScreenPoint(CGXGridWnd* g, POINT client) { return plat::InputRouter::ClientPoint(g->GridHwnd(), client.x, client.y); }

// The centre of the check box in a cell.
POINT BoxCentre(CGXGridWnd* g, ROWCOL row, ROWCOL col) {
  auto* box = static_cast<CGXCheckBox*>(g->ControlForId(kFamilies[row - 1].id));
  const CRect inner = box->ComputeInnerRect(row, col);
  return ScreenPoint(g, box->ComputeBoxRect(nullptr, inner, "", GX_DT_CENTER | GX_DT_VCENTER).CenterPoint());
}

// The middle of a radio cell's option button.
POINT OptionPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col, int option) {
  auto* radio = static_cast<CGXRadioButton*>(g->ControlForId(kFamilies[row - 1].id));
  CGXStyle style;
  g->ComposeCellStyle(row, col, style, TRUE);
  CDC* dc = g->GetCachedDC();
  gx::CellFontScope font(g, dc, style);
  const auto laid = radio->LayOutOptions(dc, radio->ComputeInnerRect(row, col), style);
  return ScreenPoint(g, laid.at(static_cast<size_t>(option)).column.CenterPoint());
}

// A point at the left edge of a cell (beside any box or button).
POINT CellEdge(CGXGridWnd* g, ROWCOL row, ROWCOL col) {
  const CRect r = g->CalcCellRect(row, col);
  return ScreenPoint(g, CPoint(r.left + 3, r.top + 3));
}

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

std::vector<Step> Steps() {
  const ROWCOL box3d = RowOf(GX_IDS_CTRL_CHECKBOX3D), boxEx = RowOf(GX_IDS_CTRL_CHECKBOX3D_EX);
  const ROWCOL radioEx = RowOf(GX_IDS_CTRL_RADIO3D_EX), buttons = RowOf(kButtonsCell);
  return {
      // The live 3-D check box becomes the current cell: focused.
      {"focused", [box3d](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, CellEdge(g, box3d, kLive)); }},
      // Held down on its box: pressed.
      {"pressed",
       [box3d](CGXGridWnd* g) { In().ButtonDown(plat::MouseButton::Left, BoxCentre(g, box3d, kLive)); }},
      // Released on it: checked (stored at once).
      {"checked", [box3d](CGXGridWnd* g) { In().ButtonUp(plat::MouseButton::Left, BoxCentre(g, box3d, kLive)); }},
      // The Ex check box toggled: checked while editing, the cell still unchecked.
      {"check-box-editing",
       [boxEx](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, BoxCentre(g, boxEx, kLive)); }},
      // The Ex radio's second option chosen (the Ex check box stores as the current cell leaves it).
      {"radio-editing",
       [radioEx](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, OptionPoint(g, radioEx, kLive, 1)); }},
      // The test cell current, its up arrow held: the child buttons show, the arrow pushed.
      {"spin-pressed",
       [buttons](CGXGridWnd* g) {
         In().Click(plat::MouseButton::Left, CellEdge(g, buttons, kLive));
         auto* cell = static_cast<ButtonsCell*>(g->ControlForId(kButtonsCell));
         RECT up{};
         cell->LayOutChildren(buttons, kLive, cell->ComputeInnerRect(buttons, kLive));
         cell->up->GetRect(up);
         In().ButtonDown(plat::MouseButton::Left, ScreenPoint(g, CRect(up).CenterPoint()));
       }},
  };
}

}  // namespace

Page WindowlessCellsPage() { return {"windowless", 840, 480, BuildPage, Steps}; }

}  // namespace gallery
