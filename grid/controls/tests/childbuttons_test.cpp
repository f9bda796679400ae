// The windowless buttons inside cells: their state machine driven by injected input through a grid, the
// spin arrows' repeat pacing, and what each button draws classic and themed.
#include "grid/controls/CGXBitmapButtonChild.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXComboBoxButton.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/base/StringApi.h"
#include "platform/base/VirtualClock.h"

namespace enginetest {
namespace {

constexpr WORD kHostId = 30000;
const COLORREF kBlack = RGB(0, 0, 0);

// A control whose one child fills the inner rectangle and is always the active child, as a push button's.
template <typename Child>
class ButtonHost : public CGXStatic, public CGXDropDownOwner {
 public:
  explicit ButtonHost(CGXGridCore* g) : CGXStatic(g), button(new Child(this)) { AppendChild(button); }
  void LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) override {
    GetChildAt(0)->SetRect(inner);
    SetActiveChild(GetChildAt(0));
  }
  BOOL GetEditingState() const override { return editing; }
  BOOL ShowsButtonInEveryCell() const override { return everyCell; }
  Child* button;
  BOOL editing = FALSE, everyCell = FALSE;
};

using ChildButtonTest = CellControlTest;

TEST_F(ChildButtonTest, AButtonFiresOnceOnAReleaseOverItAndOnSpace) {
  RecordingGrid* g = MakeRecordingGrid();
  auto* host = new ButtonHost<CGXButton>(g);
  CGXButton* button = host->button;
  g->AddCellControl(kHostId, host);
  CGXStyle style;
  SetCell(g, 2, 1, style.SetControl(kHostId));
  auto& in = plat::InputRouter::Instance();
  Click(g, 2, 1, 20, 10);
  EXPECT_EQ(g->Take(), (Log{"clicked 2,1"}));
  EXPECT_FALSE(button->IsPressed());
  // Down, off the button (another cell), back on it: pressed follows; a release elsewhere fires nothing.
  in.ButtonDown(plat::MouseButton::Left, CellPoint(g, 2, 1, 20, 10));
  Pump();
  EXPECT_TRUE(button->IsPressed() && button->IsTracking());
  in.MouseMove(CellPoint(g, 3, 1, 20, 10));
  Pump();
  EXPECT_FALSE(button->IsPressed());
  EXPECT_TRUE(button->IsTracking());
  in.MouseMove(CellPoint(g, 2, 1, 25, 10));
  Pump();
  EXPECT_TRUE(button->IsPressed());
  in.MouseMove(CellPoint(g, 3, 1, 20, 10));
  in.ButtonUp(plat::MouseButton::Left, CellPoint(g, 3, 1, 20, 10));
  Pump();
  EXPECT_FALSE(button->IsPressed() || button->IsTracking());
  EXPECT_EQ(g->Take(), Log{});
  // Space pressed and released on the active child fires once; other keys are not the button's.
  Key(VK_SPACE);
  Key('A');
  EXPECT_EQ(g->Take(), (Log{"key 32,0", "clicked 2,1", "key 97,0"}));  // the click comes with the key-up
  // Released from outside (as when the grid loses the mouse), a pressed button is idle again.
  EXPECT_TRUE(host->OnKeyMessage(WM_KEYDOWN, VK_SPACE, 1, 0));
  EXPECT_TRUE(button->IsPressed());
  host->ReleaseChildButtons();
  EXPECT_FALSE(button->IsPressed());
  EXPECT_FALSE(host->OnKeyMessage(WM_KEYUP, VK_SPACE, 1, 0));
  EXPECT_EQ(g->Take(), Log{});
}

TEST_F(ChildButtonTest, HeldSpinArrowsRepeatOnMouseReportsNeverFasterThanEvery50Ms) {
  RecordingGrid* g = MakeRecordingGrid();
  ButtonHost<CGXUpArrowButton> host(g);
  host.InitForCell(2, 1);
  const CRect r = g->CalcCellRect(2, 1);
  const CPoint on = r.CenterPoint(), off(r.right + 30, on.y);
  g->Take();
  std::vector<unsigned> fired;  // the times of the clicks
  const auto clicked = [&] {
    for (const std::string& line : g->Take())
      if (line == "clicked 2,1") fired.push_back(static_cast<unsigned>(plat::VirtualClock::NowMs()));
  };
  host.OnLButtonDownInCell(MK_LBUTTON, on.x, on.y, 64);
  clicked();
  // Without mouse reports nothing repeats; a report off the button neither.
  plat::VirtualClock::Advance(700);
  clicked();
  host.OnMouseMoveInCell(MK_LBUTTON, off.x, off.y, 64);
  clicked();
  EXPECT_EQ(fired.size(), 1u);
  // Reports every 5 ms over the button from a new press on.
  fired.clear();
  host.ReleaseChildButtons();
  host.OnLButtonUpInCell(0, on.x, on.y, 64);
  g->Take();
  const unsigned down = static_cast<unsigned>(plat::VirtualClock::NowMs());
  host.OnLButtonDownInCell(MK_LBUTTON, on.x, on.y, 64);
  clicked();
  for (int t = 0; t < 4000; t += 5) {
    plat::VirtualClock::Advance(5);
    host.OnMouseMoveInCell(MK_LBUTTON, on.x, on.y, 64);
    clicked();
  }
  ASSERT_GE(fired.size(), 10u);
  for (unsigned& t : fired) t -= down;
  EXPECT_EQ(std::vector<unsigned>(fired.begin(), fired.begin() + 4), (std::vector<unsigned>{0, 500, 650, 795}));
  for (size_t i = 2; i < fired.size(); ++i) EXPECT_GE(fired[i] - fired[i - 1], 50u) << i;
  EXPECT_EQ(fired.back() - fired[fired.size() - 2], 50u);
  EXPECT_EQ(host.button->GetRepeatInterval(), 50u);
  // The release clicks nothing more: the click came with the press.
  host.OnLButtonUpInCell(0, on.x, on.y, 64);
  clicked();
  EXPECT_FALSE(host.button->IsPressed());
}

// Draws a child of `host` into a fresh canvas at `rect`, with the active look.
template <typename Host>
void DrawChild(Host& host, Canvas& c, const CRect& rect, BOOL active = TRUE) {
  host.button->SetRect(rect);
  host.SetActiveChild(host.button);
  host.button->DrawWithStyle(&c.dc, active, CGXStyle());
}

TEST_F(ChildButtonTest, ArrowAndHotSpotGlyphsNeedTheirHeight) {
  RecordingGrid* g = MakeRecordingGrid();
  ButtonHost<CGXUpArrowButton> up(g);
  ButtonHost<CGXDownArrowButton> down(g);
  ButtonHost<CGXHotSpotButton> hot(g);
  ButtonHost<CGXButton> plain(g);
  // Up, large (12 high, 17 wide): rows of 1, 3, 5, 7 from (5 + 3, 3).
  Canvas a(17, 12);
  DrawChild(up, a, CRect(0, 0, 17, 12));
  EXPECT_EQ(a.At(8, 3), kBlack);
  EXPECT_NE(a.At(7, 3), kBlack);
  EXPECT_EQ(a.Count(CRect(5, 6, 12, 7), kBlack), 7);
  // Down, small (6 high): 7, 5, 3 from (6, 2).
  Canvas b(17, 6);
  DrawChild(down, b, CRect(0, 0, 17, 6));
  EXPECT_EQ(b.Count(CRect(6, 2, 13, 3), kBlack), 7);
  EXPECT_EQ(b.Count(CRect(6, 4, 13, 5), kBlack), 3);
  // Pushed: one pixel right and down.
  down.button->OnLButtonDown(0, CPoint(1, 1));
  Canvas p(17, 6);
  DrawChild(down, p, CRect(0, 0, 17, 6));
  EXPECT_EQ(p.Count(CRect(7, 3, 14, 4), kBlack), 7);
  // Under 5 pixels, and without the active look, no glyph: the arrow draws as a plain face or not at all.
  Canvas face(17, 4), arrow(17, 4), inactive(17, 4);
  DrawChild(plain, face, CRect(0, 0, 17, 4));
  DrawChild(up, arrow, CRect(0, 0, 17, 4));
  DrawChild(up, inactive, CRect(0, 0, 17, 4), FALSE);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 17; ++x) {
      EXPECT_EQ(arrow.At(x, y), face.At(x, y)) << x << "," << y;
      EXPECT_EQ(inactive.At(x, y), RGB(1, 2, 3));
    }
  // The hot spot's blocks from 12 pixels on.
  Canvas h12(16, 12), h11(16, 11), face11(16, 11);
  DrawChild(hot, h12, CRect(0, 0, 16, 12));
  EXPECT_EQ(h12.Count(CRect(3, 3, 9, 5), kBlack), 12);
  EXPECT_EQ(h12.At(7, 10), kBlack);
  DrawChild(hot, h11, CRect(0, 0, 16, 11));
  DrawChild(plain, face11, CRect(0, 0, 16, 11));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(h11.At(x, y), face11.At(x, y)) << x << "," << y;
}

TEST_F(ChildButtonTest, DropDownButtonsShowPushedFocusedAndGreyedArrows) {
  RecordingGrid* g = MakeRecordingGrid();
  ASSERT_NE(CGXSysColorTable::GetBitmap(20028), nullptr);
  ASSERT_NE(CGXSysColorTable::GetBitmap(20213), nullptr);
  ButtonHost<CGXComboBoxButton> combo(g);
  ButtonHost<CGXComboBoxWndButton> wnd(g);
  const COLORREF text = CGXSysColorTable::GetColor(COLOR_BTNTEXT), shadow = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
  // 17 x 20: the 7 x 4 arrow centred in rows 2..18, its top row at (5, 8).
  Canvas normal(17, 20);
  DrawChild(combo, normal, CRect(0, 0, 17, 20));
  EXPECT_EQ(normal.Count(CRect(5, 8, 12, 9), text), 7);
  EXPECT_EQ(normal.At(8, 11), text);
  // Pushed (pressed and focused): one pixel right and down.
  combo.button->OnLButtonDown(0, CPoint(1, 1));
  Canvas pushed(17, 20);
  DrawChild(combo, pushed, CRect(0, 0, 17, 20));
  EXPECT_EQ(pushed.Count(CRect(6, 9, 13, 10), text), 7);
  combo.button->ReleaseState();
  // Off the current cell only an owner that shows its button everywhere draws it, greyed unless enabled.
  Canvas hidden(17, 20);
  DrawChild(combo, hidden, CRect(0, 0, 17, 20), FALSE);
  EXPECT_EQ(hidden.Count(CRect(0, 0, 17, 20), RGB(1, 2, 3)), 17 * 20);
  combo.everyCell = TRUE;
  Canvas greyed(17, 20);
  DrawChild(combo, greyed, CRect(0, 0, 17, 20), FALSE);
  EXPECT_EQ(greyed.Count(CRect(5, 8, 12, 9), shadow), 7);
  CGXStyle enabled;
  enabled.SetEnabled(TRUE);
  Canvas shown(17, 20);
  combo.button->SetRect(CRect(0, 0, 17, 20));
  combo.button->DrawWithStyle(&shown.dc, FALSE, enabled);
  EXPECT_EQ(shown.Count(CRect(5, 8, 12, 9), text), 7);
  // The window cell's button: greyed by a disabled style, and not drawn on the cell while its owner edits.
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  Canvas wndGreyed(17, 20);
  wnd.button->SetRect(CRect(0, 0, 17, 20));
  wnd.SetActiveChild(wnd.button);
  wnd.button->DrawWithStyle(&wndGreyed.dc, TRUE, disabled);
  EXPECT_EQ(wndGreyed.Count(CRect(5, 8, 12, 9), shadow), 7);
  wnd.editing = TRUE;
  Canvas editing(17, 20);
  DrawChild(wnd, editing, CRect(0, 0, 17, 20));
  EXPECT_EQ(editing.Count(CRect(0, 0, 17, 20), RGB(1, 2, 3)), 17 * 20);
}

TEST_F(ChildButtonTest, ThemedButtonsDrawTheirPartsAndStates) {
  RecordingGrid* g = MakeRecordingGrid();
  plat::RecordingThemeProvider provider;
  UseThemeProvider(&provider);
  ButtonHost<CGXButton> push(g);
  ButtonHost<CGXUpArrowButton> up(g);
  ButtonHost<CGXDownArrowButton> down(g);
  ButtonHost<CGXComboBoxButton> combo(g);
  ButtonHost<CGXHotSpotButton> hot(g);
  Canvas c(20, 20);
  DrawChild(push, c, CRect(0, 0, 20, 20));
  push.button->OnLButtonDown(0, CPoint(1, 1));
  DrawChild(push, c, CRect(0, 0, 20, 20));
  DrawChild(up, c, CRect(0, 0, 20, 10));
  down.button->OnKeyDown(VK_SPACE, 1, 0);
  DrawChild(down, c, CRect(0, 10, 20, 20));
  combo.button->OnLButtonDown(0, CPoint(1, 1));
  DrawChild(combo, c, CRect(0, 0, 20, 20));
  combo.everyCell = TRUE;
  combo.button->ReleaseState();
  DrawChild(combo, c, CRect(0, 0, 20, 20), FALSE);
  DrawChild(hot, c, CRect(0, 0, 20, 20));
  EXPECT_EQ(provider.log, (std::vector<std::string>{"background BUTTON 1 1", "background BUTTON 1 3", "background SPIN 1 1",
                                                    "background SPIN 2 3", "background COMBOBOX 1 3", "edge COMBOBOX 1 3",
                                                    "background COMBOBOX 1 4", "edge COMBOBOX 1 4",
                                                    "background BUTTON 1 1"}));
  EXPECT_EQ(provider.opens, provider.closes);
  // A face colour of the style draws the classic face in that colour, never themed.
  provider.log.clear();
  CGXStyle red;
  red.SetUserAttribute(GX_IDS_UA_PUSHBUTTON_FACE, "255");
  Canvas r(20, 20);
  push.button->SetRect(CRect(0, 0, 20, 20));
  push.button->DrawWithStyle(&r.dc, FALSE, red);
  EXPECT_TRUE(provider.log.empty());
  EXPECT_EQ(r.At(10, 10), RGB(255, 0, 0));
}

TEST_F(ChildButtonTest, ADisabledStyleGreysTheCaption) {
  RecordingGrid* g = MakeRecordingGrid();
  ButtonHost<CGXButton> push(g);
  push.button->SetText("WWW");
  const COLORREF grey = CGXSysColorTable::GetColor(COLOR_GRAYTEXT);
  CGXStyle enabled, disabled;
  disabled.SetEnabled(FALSE);
  Canvas on(60, 20), off(60, 20);
  push.button->SetRect(CRect(0, 0, 60, 20));
  on.dc.SetTextColor(kBlack);
  off.dc.SetTextColor(kBlack);
  push.button->DrawWithStyle(&on.dc, FALSE, enabled);
  push.button->DrawWithStyle(&off.dc, FALSE, disabled);
  const CRect caption(4, 4, 56, 16);
  // Enabled text is black, disabled text no darker than the grey text colour (antialiased edges are lighter).
  const int greyLevel = (GetRValue(grey) + GetGValue(grey) + GetBValue(grey)) / 3;
  EXPECT_LT(on.Darkest(caption), greyLevel / 2);
  EXPECT_GE(off.Darkest(caption), greyLevel - 8);
  EXPECT_LT(off.Darkest(caption), greyLevel + 32);
  EXPECT_EQ(off.dc.GetTextColor(), kBlack);  // put back
}

// A child that records the typed characters it receives.
struct TypingChild : CGXChild {
  using CGXChild::CGXChild;
  void Draw(CDC*, BOOL) override {}
  BOOL OnChar(UINT ch, UINT, UINT) override { return typed.push_back(CString(static_cast<char>(ch))), TRUE; }
  BOOL OnDbcsChar(const CString& s, UINT, UINT) override { return typed.push_back(s), TRUE; }
  std::vector<CString> typed;
};

TEST_F(ChildButtonTest, ChildrenComposeDoubleByteCharactersThemselves) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXStatic owner(g);
  TypingChild child(&owner);
  plat::SetLeadBytePredicate([](BYTE b) { return b == 0x81; });
  EXPECT_TRUE(child.OnKeyMessage(WM_CHAR, 0x81, 1, 0));  // held
  EXPECT_TRUE(child.typed.empty());
  EXPECT_TRUE(child.OnKeyMessage(WM_CHAR, 0x40, 1, 0));
  EXPECT_TRUE(child.OnKeyMessage(WM_CHAR, 'x', 1, 0));
  EXPECT_EQ(child.typed, (std::vector<CString>{"\x81\x40", "x"}));
  EXPECT_FALSE(owner.IsLeadBytePending());  // the owner's own state is untouched
  EXPECT_FALSE(child.OnKeyMessage(WM_KEYDOWN, 'x', 1, 0));
  EXPECT_FALSE(child.OnKeyMessage(WM_MOUSEMOVE, 0, 0, 0));
}

}  // namespace
}  // namespace enginetest
