// The edit cell driven the way the user drives it: the window over the current cell, typing, keys,
// numbers under a decimal comma, stores from outside, find and replace, the clipboard.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <cstdlib>
#include <string>

#include "grid/controls/CGXEditControl.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/controls/tests/edittest.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/LocaleTable.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/window/AutomationProvider.h"

namespace enginetest {
namespace {


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

TEST_F(EditCellTest, TheWindowIsMadeAgainOnlyOnAStyleChangeAndKeepsItsState) {
  CGXStyle style;
  style.SetMaxLength(40).SetHorizontalAlignment(GX_DT_RIGHT).SetWrapText(FALSE);
  Grid("ab", style);
  Activate();
  Type("c");
  edit->SetSel(1, 2);
  const HWND first = edit->m_hWnd;
  edit->UpdateEditWindow();  // nothing changed: the same window
  EXPECT_EQ(edit->m_hWnd, first);
  EXPECT_EQ(edit->CreatedStyle() & ES_RIGHT, static_cast<DWORD>(ES_RIGHT));
  // A one-line text wider than the window scrolls from its start: the style drops ES_RIGHT and the window is made
  // again with the text, selection, modify flag, read-only state, limit and focus it had.
  edit->SetWindowText("a text far wider than the cell");
  edit->SetSel(2, 6);
  edit->SetModify(TRUE);
  edit->SetReadOnly(TRUE);
  edit->UpdateEditWindow();
  EXPECT_NE(edit->m_hWnd, first);
  EXPECT_EQ(edit->CreatedStyle() & ES_RIGHT, 0u);
  EXPECT_EQ(Text(), "a text far wider than the cell");
  int s = 0, e = 0;
  edit->GetSel(s, e);
  EXPECT_EQ(s, 2);
  EXPECT_EQ(e, 6);
  EXPECT_TRUE(edit->GetModify());
  EXPECT_NE(edit->GetStyle() & ES_READONLY, 0u);
  EXPECT_EQ(edit->GetLimitText(), 40u);
  EXPECT_EQ(::GetFocus(), edit->m_hWnd);
  EXPECT_TRUE(g->m_bHasFocus);  // the re-creation's focus moves were guarded
}

TEST_F(EditCellTest, ActivationFlagsChooseTheClicksThatEditAndTheCaretLandsOnTheHitCharacter) {
  struct Case {
    WORD flags;
    BOOL onText, doubleClick;
    BOOL edits;
  } cases[] = {
      {1, TRUE, FALSE, TRUE},   {1, FALSE, FALSE, FALSE},  // a click into the text
      {2, FALSE, FALSE, TRUE},  {2, TRUE, FALSE, TRUE},    // a click anywhere on the cell
      {8, TRUE, FALSE, FALSE},  {8, TRUE, TRUE, TRUE},     // a double-click only
  };
  for (const Case& c : cases) {
    Grid("abcdef");
    g->GetParam()->m_wActivateFlags = c.flags;
    // The point between "ab" and "cd" of the text as the cell draws it, or well right of the text.
    CGXStyle style;
    g->ComposeCellStyle(2, 1, style, TRUE);
    CClientDC dc(nullptr);
    int between = 0;
    {
      gx::CellFontScope font(g, &dc, style);
      between = dc.GetTextExtent("ab").cx;
    }
    const CRect inner = edit->ComputeInnerRect(2, 1);
    const CRect cell = g->CalcCellRect(2, 1);
    const POINT at = CellPoint(g, 2, 1, c.onText ? inner.left - cell.left + between : cell.Width() - 4, 8);
    if (c.doubleClick)
      plat::InputRouter::Instance().DoubleClick(plat::MouseButton::Left, at);
    else
      plat::InputRouter::Instance().Click(plat::MouseButton::Left, at);
    Pump();
    g->CGXGridCore::UpdateWindow();
    Pump();
    EXPECT_EQ(edit->GetEditingState(), c.edits) << c.flags << c.onText << c.doubleClick;
    if (c.edits && c.onText) {
      int s = -1, e = -1;
      edit->GetSel(s, e);
      EXPECT_EQ(s, 2) << c.flags;
      EXPECT_EQ(e, 2) << c.flags;
      EXPECT_EQ(::GetFocus(), edit->m_hWnd);
    }
  }
  // Flag 4: the cell edits as soon as it becomes current.
  Grid("abc");
  g->GetParam()->m_wActivateFlags = 4;
  g->SetCellValue(3, 1, "next", 0);
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));
  EXPECT_TRUE(edit->GetEditingState());
  EXPECT_TRUE(edit->IsBoundToCell(3, 1));
}

TEST_F(EditCellTest, AlignmentAndRightToLeftReachTheWindowAndTurnTheArrowKeys) {
  for (const auto& [align, expected] : {std::pair{GX_DT_LEFT, ES_LEFT}, std::pair{GX_DT_CENTER, ES_CENTER},
                                        std::pair{GX_DT_RIGHT, ES_RIGHT}}) {
    CGXStyle style;
    style.SetHorizontalAlignment(align);
    Grid("ab", style);
    Activate();
    EXPECT_EQ(edit->CreatedStyle() & (ES_CENTER | ES_RIGHT), static_cast<DWORD>(expected)) << align;
  }
  // Right to left: the window reads so, and Left at the text's end (its visual left edge) leaves the cell.
  CGXStyle rtl;
  rtl.SetUserAttribute(GX_IDS_UA_RTLREADING, "1");
  Grid("abcd", rtl);
  Activate();
  EXPECT_NE(edit->GetExStyle() & WS_EX_RTLREADING, 0u);
  edit->SetSel(0, 0);
  Key(VK_RIGHT);  // at the text's start, its visual right edge: the grid moves right
  EXPECT_EQ(Col(), 2u);
  rtl.SetValue("abcd");
  SetCell(g, 2, 2, rtl);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  Activate();
  edit->SetSel(2, 2);
  Key(VK_LEFT);  // inside the text: the caret moves
  EXPECT_EQ(Col(), 2u);
  edit->SetSel(4, 4);
  Key(VK_LEFT);  // at the text's end, its visual left edge: the grid moves left
  EXPECT_EQ(Col(), 1u);
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

// A number cell (decimal comma) takes a number as a number at every door: typed, pasted on the cell, Replace All
// in the edited cell and in another, Replace on the current cell not edited. Replace stored the text it built
// ("3,75", which reads as 3) as a text.
TEST_F(EditCellTest, ANumberCellStoresANumberAtEveryDoor) {
  plat::SetUserDefaultLocale(0x0407);  // de-DE
  plat::SetRuntimeNumericLocaleToUser(true);
  CGXFindReplaceState request;
  request.m_strFind = "5";
  request.m_strReplace = "75";
  enum Door { typed, pasted, replaceAllEdited, replaceAllOther, replaceCurrent };
  for (Door door : {typed, pasted, replaceAllEdited, replaceAllOther, replaceCurrent}) {
    Grid("3.5", CGXStyle().SetFormat(2));
    if (door == typed || door == replaceAllEdited) {
      Activate();
      edit->SetSel(0, door == typed ? -1 : 0);
    }
    if (door == replaceAllOther) g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
    if (door == typed) Type("3,75"), Key(VK_DOWN);
    if (door == pasted) g->SetCellTextThroughControl(2, 1, "3,75", GX_INVALIDATE);
    if (door == replaceAllEdited || door == replaceAllOther)
      edit->ReplaceInCell(reinterpret_cast<DWORD_PTR>(&request), 2, 1);
    if (door == replaceCurrent) edit->ReplaceSelectedText("3,75");
    CGXStyle stored;
    g->ComposeCellStyle(2, 1, stored, TRUE);
    EXPECT_EQ(std::string(stored.GetValue()), "3.75") << "door " << door;
    EXPECT_EQ(stored.GetValueType(), GX_VT_NUMBER) << "door " << door;
  }
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
  // A warning the grid holds for later is not this paste's to show.
  g->SetWarningText("a warning for later");
  plat::ClearShownLog();
  PutOnClipboard("x");
  EXPECT_FALSE(edit->PasteFromClipboard());
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(std::string(g->GetWarningText()), "a warning for later");
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

TEST_F(EditCellTest, ReplaceAllInTheEditedCellStartsAtTheSelectionAndKeepsWhatLiesBefore) {
  Grid("one two one");
  CGXFindReplaceState request;
  request.m_strFind = "ONE";
  request.m_strReplace = "1";
  request.m_bCase = FALSE;
  const auto req = reinterpret_cast<DWORD_PTR>(&request);
  Activate();
  edit->SetWindowText("one two one one");
  edit->SetSel(4, 6);
  ASSERT_TRUE(edit->ReplaceInCell(req, 2, 1));
  EXPECT_EQ(Value(2, 1), "one two 1 1") << "the window's text is what is replaced, not the stored value";
  request.m_bCase = TRUE;
  EXPECT_FALSE(edit->ReplaceInCell(req, 2, 1));
  EXPECT_EQ(Value(2, 1), "one two 1 1");
}

TEST_F(EditCellTest, TheFirstCellEditedInAGridKeepsEveryLineOfItsValue) {
  // A fresh grid: its edit window is made for this cell.
  CGXStyle style;
  style.SetAllowEnter(TRUE);
  Grid("line 1\r\nline 2\r\nline 3", style);
  Activate();
  EXPECT_EQ(Text(), "line 1\r\nline 2\r\nline 3");
  edit->SetSel(0, 0);
  Type("x");
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));  // stores the edit
  EXPECT_EQ(Value(2, 1), "xline 1\r\nline 2\r\nline 3");
}

// Whether the window's whole text, measured the one way the window shows it, is wider than its room (the
// client width less the widest character).
bool WholeTextWider(CGXEditControl* edit, bool wrap) {
  CRect client;
  edit->GetClientRect(&client);
  CClientDC dc(edit);
  CFont* old = dc.SelectObject(edit->GetFont());
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  const CString text = edit->WindowText();
  int width = dc.GetTextExtent(text).cx;
  if (wrap) {
    CRect measure(0, 0, std::max<LONG>(1, client.Width()), 0);
    dc.DrawText(text, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    width = measure.Width();
  }
  dc.SelectObject(old);
  return width > client.Width() - tm.tmMaxCharWidth;
}

TEST_F(EditCellTest, ARightAlignedWindowTurnsLeftExactlyWhenItsWholeTextIsWiderThanItsRoom) {
  auto lines = [](int n, const char* line, const char* end) {
    std::string s;
    for (int i = 0; i < n; ++i) s += std::string(line) + end;
    return s;
  };
  const std::string wideWord(60, 'w');
  const std::string texts[] = {
      "12",                                              // narrow
      std::string(300, 'x'),                             // one wide line
      lines(3000, "ab", "\r\n"),                         // many narrow lines: wide as one line
      lines(3000, "ab", "\n") + lines(12, "word", " "),  // a wide paragraph last
      lines(40, "iiiiiiiiiiiii", " "),                   // a wide paragraph of narrow words
      wideWord + " " + wideWord,                         // words wider than the window
      lines(20000, "", "\r\n"),                          // only line breaks
      "",
  };
  for (const bool wrap : {false, true}) {
    CGXStyle style;
    style.SetHorizontalAlignment(GX_DT_RIGHT).SetWrapText(wrap);
    Grid("", style);
    g->SetRowHeight(2, 2, 14);  // one line high: a wrapping window scrolls sideways too
    Activate();
    for (const std::string& text : texts) {
      edit->SetWindowText(text.c_str());
      edit->UpdateEditWindow();
      ASSERT_NE(edit->CreatedStyle() & ES_AUTOHSCROLL, 0u);
      const bool left = (edit->CreatedStyle() & ES_RIGHT) == 0;
      EXPECT_EQ(left, WholeTextWider(edit, wrap)) << wrap << " " << text.size() << " " << text.substr(0, 20);
    }
  }
  // A left-aligned window never needs the measure; its style only follows the flags.
  Grid("", CGXStyle());
  Activate();
  edit->SetWindowText(std::string(300, 'x').c_str());
  edit->UpdateEditWindow();
  EXPECT_EQ(edit->CreatedStyle() & (ES_RIGHT | ES_CENTER), 0u);
}

TEST_F(EditCellTest, TheFormatRectangleFollowsTheWindowWhenTheCellChangesSize) {
  Grid("abc");
  Activate();
  auto formatIsClient = [&] {
    CRect format, client;
    edit->GetRect(&format);
    edit->GetClientRect(&client);
    return format.left == client.left && format.top == client.top && format.right == client.right;
  };
  EXPECT_TRUE(formatIsClient());
  g->SetColWidth(1, 1, 120);
  g->CGXGridCore::UpdateWindow();
  Pump();
  Key(VK_LEFT);  // inside the text: its key-up keeps the window in step
  CRect client;
  edit->GetClientRect(&client);
  EXPECT_GT(client.Width(), 100);
  EXPECT_TRUE(formatIsClient());
}

TEST_F(EditCellTest, InADialogTabMovesThroughCellsAndEnterAndEscapeGoToTheEditingCellOnly) {
  gxtest::GridDialog dlg(4, "one");
  ASSERT_TRUE(dlg.Create());
  CGXGridWnd* dg = dlg.grid;
  ASSERT_NE(dg, nullptr);
  ::SetFocus(*dg);
  ASSERT_TRUE(dg->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  auto* cell = dynamic_cast<CGXEditControl*>(dg->ControlForId(GX_IDS_CTRL_EDIT));
  ASSERT_NE(cell, nullptr);
  auto& in = plat::InputRouter::Instance();
  auto current = [&] {
    ROWCOL r = 0, c = 0;
    dg->QueryCurrentCell(&r, &c);
    return std::pair{r, c};
  };
  // Not editing: Tab moves through the cells, Enter and Escape press the dialog's buttons.
  in.KeyPress(VK_TAB);
  in.KeyPress(VK_TAB);
  gxtest::DialogPump();
  EXPECT_EQ(current(), (std::pair<ROWCOL, ROWCOL>{1, 3}));
  in.KeyPress(VK_RETURN);
  in.KeyPress(VK_ESCAPE);
  gxtest::DialogPump();
  EXPECT_EQ(dlg.events, (Log{"OK", "Cancel"}));
  // Editing: Enter stores the text, the dialog hears nothing.
  dg->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  in.TypeText("x");
  gxtest::DialogPump();
  ASSERT_TRUE(cell->GetEditingState());
  ASSERT_EQ(::GetFocus(), cell->m_hWnd);
  in.KeyPress(VK_RETURN);
  gxtest::DialogPump();
  EXPECT_EQ(std::string(dg->GetCellValue(1, 1)), "x");
  EXPECT_EQ(dlg.events.size(), 2u);
  // Escape while editing cancels the edit, not the dialog; Tab from the editor moves on.
  dg->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  in.TypeText("y");
  gxtest::DialogPump();
  ASSERT_TRUE(cell->GetEditingState());
  in.KeyPress(VK_ESCAPE);
  gxtest::DialogPump();
  EXPECT_FALSE(cell->GetEditingState());
  EXPECT_EQ(std::string(dg->GetCellValue(2, 1)), "");
  EXPECT_EQ(dlg.events.size(), 2u);
  in.TypeText("z");
  in.KeyPress(VK_TAB);
  gxtest::DialogPump();
  EXPECT_EQ(std::string(dg->GetCellValue(2, 1)), "z");
  EXPECT_EQ(current(), (std::pair<ROWCOL, ROWCOL>{2, 2}));
  EXPECT_EQ(dlg.events.size(), 2u);
  dlg.DestroyWindow();
}

}  // namespace
}  // namespace enginetest
