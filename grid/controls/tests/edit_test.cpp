// The edit cell driven the way the user drives it: the window over the current cell, typing, keys,
// numbers under a decimal comma, stores from outside, find and replace, the clipboard.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <cstdlib>
#include <string>

#include "grid/controls/CGXEditControl.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/LocaleTable.h"

namespace enginetest {
namespace {

// Sign, digits, the runtime's decimal point and an exponent: the number recognition the edit cell parses
// through. Anything else is no number.
class MinimalNumbers : public CGXAbstractNumberFormattingImp {
 public:
  BOOL ParseNumber(const char* text, double& value, unsigned& format, unsigned& places) override {
    format = places = 0;
    std::string c(text);
    const char point = plat::localeconv()->decimal_point[0];
    for (char& ch : c)
      if (ch == point) ch = '.';
    if (c.empty() || c.find_first_not_of("+-.0123456789eE") != std::string::npos) return FALSE;
    char* end = nullptr;
    value = std::strtod(c.c_str(), &end);
    return end && *end == '\0';
  }
  CString FormatText(const CGXStyle&, LPCTSTR valueText, unsigned, int, int) override { return valueText; }
};

class EditCellTest : public CellControlTest {
 protected:
  void SetUp() override {
    CellControlTest::SetUp();
    CGXGridGlobals::Get().m_pNumberFormattingImp = &numbers;
  }
  void TearDown() override {
    CGXGridGlobals::Get().m_pNumberFormattingImp = nullptr;
    plat::SetRuntimeNumericLocaleToUser(false);
    plat::SetUserDefaultLocale(0x0409);
    CellControlTest::TearDown();
  }
  // A grid whose cell (2, 1) holds `value` in `style`, current and focused (not yet editing).
  RecordingGrid* Grid(const char* value, CGXStyle style = CGXStyle()) {
    g = MakeRecordingGrid(6, 4, 400, 300);
    style.SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    edit = ControlOf<CGXEditControl>(g, GX_IDS_CTRL_EDIT);
    EXPECT_NE(edit, nullptr);
    g->Take();
    return g;
  }
  // Starts editing with End and lets the paint lay the window out.
  void Activate() {
    Key(VK_END);
    g->CGXGridCore::UpdateWindow();
    Pump();
  }
  std::string Text() { return std::string(edit->WindowText()); }
  std::string Value(ROWCOL r, ROWCOL c) { return std::string(g->GetCellValue(r, c)); }
  ROWCOL Row() {
    ROWCOL r = 0, c = 0;
    g->QueryCurrentCell(&r, &c);
    return r;
  }
  ROWCOL Col() {
    ROWCOL r = 0, c = 0;
    g->QueryCurrentCell(&r, &c);
    return c;
  }
  static std::string Clipboard() {
    std::string text;
    if (OpenClipboard(nullptr)) {
      if (HANDLE h = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(h));
        GlobalUnlock(h);
      }
      CloseClipboard();
    }
    return text;
  }
  static void PutOnClipboard(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t n = std::strlen(text) + 1;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(h), text, n);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
  }

  MinimalNumbers numbers;
  RecordingGrid* g = nullptr;
  CGXEditControl* edit = nullptr;
};

TEST_F(EditCellTest, EveryUnknownIdGetsTheEditCell) {
  Grid("x");
  EXPECT_EQ(g->ControlForId(52530)->GetControlClass(), &CGXEditControl::gxClassCGXEditControl);
  EXPECT_TRUE(edit->IsKindOfControl(&CGXStatic::classCGXStatic));
}

TEST_F(EditCellTest, TheWindowComesOverTheCellWithTheFocusAndLeavesTheGridsPaintAlone) {
  Grid("abc");
  EXPECT_FALSE(edit->GetEditingState());
  EXPECT_FALSE(edit->IsWindowVisible());
  Activate();
  ASSERT_TRUE(edit->GetEditingState());
  EXPECT_TRUE(edit->IsWindowVisible());
  EXPECT_EQ(::GetFocus(), edit->m_hWnd);
  EXPECT_TRUE(g->m_bHasFocus);  // the grid ignored the focus change it guarded
  CRect window;
  edit->GetWindowRect(&window);
  g->ScreenToClient(&window);
  EXPECT_TRUE(CRect().IntersectRect(window, g->CalcCellRect(2, 1)));
  // A repaint of the grid leaves the window's pixels as they were.
  plat::Desktop::PaintAll();
  auto before = plat::Desktop::Capture(*g);
  g->InvalidateGrid(TRUE);
  g->CGXGridCore::UpdateWindow();
  auto after = plat::Desktop::Capture(*g);
  ASSERT_TRUE(before && after);
  for (int x = window.left; x < window.right; x += 3)
    EXPECT_EQ(before->pixel(x, window.CenterPoint().y), after->pixel(x, window.CenterPoint().y)) << x;
  EXPECT_TRUE(g->GetRecordedWindowRects().empty());  // every paint forgets them
}

TEST_F(EditCellTest, WindowStyleFollowsWrapScrollBarAndAllowEnter) {
  struct Case {
    BOOL wrap, vscroll, enter;
    int height;
    DWORD expected;
  } cases[] = {
      {FALSE, FALSE, FALSE, 20, 0x50010000 | 0x144 | 0x80},           // one line: scrolls sideways
      {FALSE, FALSE, TRUE, 20, 0x50010000 | 0x1144 | 0x80},           // allow-enter: wants Return
      {TRUE, TRUE, FALSE, 60, 0x50210000 | 0x144},                    // wrapped with a scroll bar
      {TRUE, FALSE, FALSE, 60, 0x50010000 | 0x144},                   // wrapped, room for lines: wraps
  };
  for (const Case& c : cases) {
    CGXStyle style;
    style.SetWrapText(c.wrap).SetVerticalScrollbar(c.vscroll).SetAllowEnter(c.enter);
    Grid("ab", style);
    g->SetRowHeight(2, 2, c.height);
    Activate();
    EXPECT_EQ(edit->CreatedStyle(), c.expected) << c.wrap << c.vscroll << c.enter << c.height;
  }
}

TEST_F(EditCellTest, TheWindowIsNotMadeAgainWithoutAStyleChange) {
  CGXStyle style;
  style.SetMaxLength(9).SetHorizontalAlignment(GX_DT_RIGHT);
  Grid("ab", style);
  Activate();
  Type("c");
  edit->SetSel(1, 2);
  const HWND first = edit->m_hWnd;
  edit->UpdateEditWindow();
  EXPECT_EQ(edit->m_hWnd, first);
  EXPECT_EQ(edit->CreatedStyle() & ES_RIGHT, static_cast<DWORD>(ES_RIGHT));
  int s = 0, e = 0;
  edit->GetSel(s, e);
  EXPECT_EQ(s, 1);
  EXPECT_EQ(e, 2);
  EXPECT_TRUE(edit->GetModifiedState());
  EXPECT_EQ(edit->GetLimitText(), 9u);
  EXPECT_EQ(::GetFocus(), edit->m_hWnd);
}

TEST_F(EditCellTest, TypingReplacesAnInactiveCellAndStopsAtMaxLength) {
  CGXStyle style;
  style.SetMaxLength(3);
  Grid("old", style);
  Type("x");  // an inactive cell: the letter replaces its text
  g->CGXGridCore::UpdateWindow();
  Pump();
  ASSERT_TRUE(edit->GetEditingState());
  EXPECT_EQ(Text(), "x");
  Type("yzw");  // the fourth character is dropped
  EXPECT_EQ(Text(), "xyz");
  Key(VK_DOWN);  // leaves the cell: stored
  EXPECT_EQ(Value(2, 1), "xyz");
  EXPECT_EQ(Row(), 3u);
}

TEST_F(EditCellTest, KeysGoToTheEditOrToTheGridAsTheCaretAllows) {
  Grid("abcd");
  Activate();
  edit->SetSel(0, 2);
  Key(VK_LEFT);  // a selection from 0: the caret moves inside the text
  EXPECT_EQ(Col(), 1u);
  edit->SetSel(0, 0);
  Key(VK_RIGHT);
  EXPECT_EQ(Col(), 1u);
  edit->SetSel(4, 4);
  Key(VK_RIGHT);  // at the end: the grid moves on
  EXPECT_EQ(Col(), 2u);
  Key(VK_LEFT);
  Activate();
  edit->SetSel(0, 0);
  Key(VK_LEFT);  // from the cell of column 1 there is no cell to the left but the header: stays
  EXPECT_EQ(Col(), 1u);
  Key(VK_RETURN);  // no AllowEnter: the grid takes Return
  EXPECT_EQ(Text().find('\n'), std::string::npos);
}

TEST_F(EditCellTest, HomeEndAndDeleteOnAnInactiveCell) {
  Grid("hello");
  Key(VK_HOME);
  ASSERT_TRUE(edit->GetEditingState());
  int s = -1, e = -1;
  edit->GetSel(s, e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 0);
  Key(VK_ESCAPE);
  g->CGXGridCore::UpdateWindow();
  Pump();
  Key(VK_DELETE);  // empties the text, modified
  EXPECT_TRUE(edit->GetEditingState());
  EXPECT_EQ(Text(), "");
  EXPECT_TRUE(edit->GetModifiedState());
}

TEST_F(EditCellTest, ADecimalCommaEditsAndStoresNumbers) {
  plat::SetUserDefaultLocale(0x0407);  // de-DE
  plat::SetRuntimeNumericLocaleToUser(true);
  CGXStyle style;
  style.SetFormat(2);
  Grid("3.5", style);
  EXPECT_EQ(Text(), "3,5");
  Activate();
  edit->SetSel(0, -1);
  Type("7,25");
  Key(VK_DOWN);
  CGXStyle stored;
  g->ComposeCellStyle(2, 1, stored, TRUE);
  EXPECT_EQ(std::string(stored.GetValue()), "7.25");
  EXPECT_EQ(stored.GetValueType(), GX_VT_NUMBER);
  // A text that is no number stays text.
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  Activate();
  edit->SetSel(0, -1);
  Type("abc");
  Key(VK_DOWN);
  g->ComposeCellStyle(2, 1, stored, TRUE);
  EXPECT_EQ(std::string(stored.GetValue()), "abc");
  EXPECT_EQ(stored.GetValueType(), GX_VT_TEXT);
}

TEST_F(EditCellTest, StoresFromOutsideCutToMaxLengthAndRefuseReadOnlyWithoutTouchingTheEditor) {
  CGXStyle style;
  style.SetMaxLength(3);
  Grid("", style);
  EXPECT_TRUE(g->SetCellTextThroughControl(2, 1, "abcdef", GX_INVALIDATE));
  EXPECT_EQ(Value(2, 1), "abc");
  CGXStyle locked;
  locked.SetReadOnly(TRUE);
  SetCell(g, 3, 1, locked);
  g->GetParam()->m_bReadOnlyEnforced = TRUE;
  Activate();
  Type("q");
  EXPECT_FALSE(g->SetCellTextThroughControl(3, 1, "zz", GX_INVALIDATE));
  EXPECT_EQ(Value(3, 1), "");
  EXPECT_EQ(Text(), "abc");  // no error text in the current cell's editor (q was past MaxLength)
}

TEST_F(EditCellTest, CopyAndCutWithoutASelectionLeaveTheClipboardAlone) {
  Grid("abc");
  PutOnClipboard("kept");
  Activate();
  edit->SetSel(1, 1);
  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  Key('C');
  Key('X');
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  EXPECT_EQ(Clipboard(), "kept");
  EXPECT_EQ(Text(), "abc");
  edit->SetSel(0, 2);
  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  Key('X');
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  EXPECT_EQ(Clipboard(), "ab");
  EXPECT_EQ(Text(), "c");
}

// A cell that takes digits only.
class DigitsOnly : public CGXEditControl {
 public:
  using CGXEditControl::CGXEditControl;
  BOOL AcceptsText(const CString& text) override {
    for (int i = 0; i < text.GetLength(); ++i)
      if (!std::isdigit(static_cast<unsigned char>(text[i]))) return FALSE;
    return TRUE;
  }
};

TEST_F(EditCellTest, APasteTheCellRefusesIsReportedAsNotPasted) {
  g = MakeRecordingGrid();
  g->AddCellControl(9100, new DigitsOnly(g, 9100));
  CGXStyle digits;
  digits.SetControl(9100).SetValue("12");
  SetCell(g, 2, 1, digits);
  ::SetFocus(*g);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  edit = ControlOf<CGXEditControl>(g, 9100);
  Activate();
  Type("a3");  // the letter is refused
  EXPECT_EQ(Text(), "123");
  PutOnClipboard("x");
  EXPECT_FALSE(edit->PasteFromClipboard());
  EXPECT_EQ(Text(), "123");
  PutOnClipboard("4");
  edit->SetSel(3, 3);
  EXPECT_TRUE(edit->PasteFromClipboard());
  EXPECT_EQ(Text(), "1234");
}

TEST_F(EditCellTest, FindAndReplaceInTheActiveAndInAnotherCell) {
  Grid("one two one");
  g->SetCellValue(4, 1, "xx ONE", 0);
  CGXFindReplaceState request;
  request.m_strFind = "one";
  request.m_strReplace = std::string(700, 'r').c_str();
  request.m_bCase = FALSE;
  const auto req = reinterpret_cast<DWORD_PTR>(&request);
  Activate();
  edit->SetSel(0, 0);
  ASSERT_TRUE(edit->FindInCell(req, 2, 1, TRUE, TRUE));
  int s = 0, e = 0;
  edit->GetSel(s, e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 3);
  ASSERT_TRUE(edit->FindInCell(req, 2, 1, FALSE, TRUE));  // the next one
  edit->GetSel(s, e);
  EXPECT_EQ(s, 8);
  request.m_strFind = "zzz";
  EXPECT_FALSE(edit->FindInCell(req, 2, 1, TRUE, TRUE));
  // Another cell becomes current and shows the hit selected.
  request.m_strFind = "one";
  ASSERT_TRUE(edit->FindInCell(req, 4, 1, TRUE, TRUE));
  EXPECT_EQ(Row(), 4u);
  EXPECT_TRUE(edit->GetEditingState());
  edit->GetSel(s, e);
  EXPECT_EQ(s, 3);
  // Replacing builds a text of any length.
  ASSERT_TRUE(edit->ReplaceInCell(req, 2, 1));
  EXPECT_EQ(Value(2, 1).size(), 2u * 700 + 5);
  request.m_strFind = "zzz";
  EXPECT_FALSE(edit->ReplaceInCell(req, 2, 1));
}

}  // namespace
}  // namespace enginetest
