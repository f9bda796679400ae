// The spreadsheet as its users use it beyond the demonstration script: a typed amount undone and redone, a
// column of 100,000 numbers pasted from another program, the print preview on a small screen. Each ends in
// a screenshot compared with its reference, and what the cells hold is checked.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXListBox.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/galleryshots.h"
#include "grid/extras/CGXTabWnd.h"
#include "grid/formula/CGXFormulaSheet.h"
#include "grid/formula/GxMemory.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/VirtualClock.h"
#include "platform/base/tests/TempDir.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

std::string Value(CGXGridWnd* g, ROWCOL r, ROWCOL c) {
  CString t;
  static_cast<CGXFormulaSheet*>(g->GetParam()->GetData())->GetValueText(r, c, t);
  return std::string(t);
}

std::string Formula(CGXGridWnd* g, ROWCOL r, ROWCOL c) {
  CString t;
  static_cast<CGXFormulaSheet*>(g->GetParam()->GetData())->GetExpressionText(r, c, t);
  return std::string(t);
}

void Ctrl(UINT key) {
  auto& input = plat::InputRouter::Instance();
  input.KeyDown(VK_CONTROL);
  input.KeyPress(key);
  input.KeyUp(VK_CONTROL);
  plat::RunUntilIdle();
}

void Type(const char* text) {
  auto& input = plat::InputRouter::Instance();
  input.TypeText(text);
  input.KeyPress(VK_RETURN);
  plat::RunUntilIdle();
}

// The texts of the message boxes shown since the log was last taken.
std::vector<std::string> MessageBoxesShown() {
  std::vector<std::string> texts;
  for (const plat::ShownRecord& r : plat::ShownLog())
    if (r.request.kind == plat::SystemUiKind::MessageBox) texts.push_back(r.request.text);
  plat::ClearShownLog();
  return texts;
}

// Text on the clipboard as another program puts it there.
void PutText(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

class SheetUse : public ::testing::Test {
 protected:
  void SetUp() override {
    // Printed sheets go to a temporary folder of the test's own.
    printFolder = MakeTempFolder("brim-sheet-use");
    const char* tmpdir = std::getenv("TMPDIR");
    savedTmpdir = tmpdir ? std::optional<std::string>(tmpdir) : std::nullopt;
    ::setenv("TMPDIR", printFolder.c_str(), 1);
    const gallery::Page* page = gallery::FindPage("sheet");
    ASSERT_NE(page, nullptr);
    plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
    plat::Clipboard::Instance().Reset();
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    plat::SetAutomationProvider(&automation);
    plat::ClearShownLog();
    main = page->build();
    plat::RunUntilIdle();
    ASSERT_NE(gallery::SpreadsheetSheet(main, 1), nullptr);
  }
  void TearDown() override {
    if (HWND preview = gallery::SpreadsheetPreview()) DestroyWindow(preview);
    DestroyWindow(main);
    plat::RunUntilIdle();
    plat::Clipboard::Instance().Reset();
    plat::SetAutomationProvider(nullptr);
    if (savedTmpdir)
      ::setenv("TMPDIR", savedTmpdir->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
    std::filesystem::remove_all(printFolder);
  }
  // The replace dialog opened over the sheet with Ctrl+H and left open (nothing answers it); its "Find what" field.
  static HWND OpenReplaceDialog() {
    Ctrl('H');
    return GetDlgItem(CGXFindReplaceState::Get().m_hWndFindDlg, 0x480);
  }
  // A click at a point of the window's client area, a second apart from the one before (no double click).
  static void ClickIn(HWND window, int x, int y) {
    plat::VirtualClock::Advance(1000);
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(window, x, y));
    plat::RunUntilIdle();
  }
  // A drag with the left button between two points of a sheet's client area.
  static void Drag(CGXGridWnd* g, int fromX, int fromY, int toX, int toY) {
    const POINT from = plat::InputRouter::ClientPoint(g->GridHwnd(), fromX, fromY);
    const POINT to = plat::InputRouter::ClientPoint(g->GridHwnd(), toX, toY);
    auto& input = plat::InputRouter::Instance();
    input.MouseMove(from);
    input.ButtonDown(plat::MouseButton::Left, from);
    input.MouseMove(to);
    input.ButtonUp(plat::MouseButton::Left, to);
    plat::RunUntilIdle();
  }
  // The tab window that holds the sheets.
  CGXTabWnd* Tabs() const { return dynamic_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(GetDlgItem(main, 100))); }
  // The sheet behind tab `tab`, made current with a click on its tab as a user does.
  CGXGridWnd* ShowSheet(int tab) {
    CGXTabWnd* tabs = Tabs();
    CGXGridWnd* g = gallery::SpreadsheetSheet(main, tab);
    tabs->ActivateTab(g);
    plat::RunUntilIdle();
    return g;
  }

  // Replace All (Ctrl+H) from a cell down its column, the dialog answered with "find<TAB>replacement".
  void ReplaceAll(CGXGridWnd* g, ROWCOL row, ROWCOL col, const char* findAndReplace) {
    ::SetFocus(g->GridHwnd());
    ASSERT_TRUE(g->MoveCurrentCellTo(row, col, GX_UPDATENOW));
    automation.Reply(plat::SystemUiKind::Replace, {IDOK, findAndReplace, FR_DOWN | FR_REPLACEALL});
    automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0});
    Ctrl('H');
  }

  plat::ScriptedAutomation automation;
  HWND main = nullptr;
  std::filesystem::path printFolder;
  std::optional<std::string> savedTmpdir;
};

// Undo and redo of a typed value recompute the formulas on it, as typing does: the running balance after
// an undone opening amount showed the undone amount in every row below.
TEST_F(SheetUse, UndoAndRedoOfATypedAmountRecomputeWhatDependsOnIt) {
  CGXGridWnd* balance = ShowSheet(1);
  ASSERT_TRUE(balance->MoveCurrentCellTo(2, 3, GX_UPDATENOW));
  Type("600");
  EXPECT_EQ(Value(balance, 2, 4), "600");
  EXPECT_EQ(Value(balance, 7, 4), "616.25");
  Ctrl('Z');
  EXPECT_EQ(Value(balance, 2, 3), "500");
  EXPECT_EQ(Value(balance, 2, 4), "500");
  EXPECT_EQ(Value(balance, 7, 4), "516.25");
  galleryshots::ExpectDesktopMatches("sheet-use-undone");
  Ctrl('R');
  EXPECT_EQ(Value(balance, 2, 4), "600");
  EXPECT_EQ(Value(balance, 7, 4), "616.25");

  // A broken budget undone is whole again and its redo breaks it again, without a second message.
  CGXGridWnd* budget = ShowSheet(0);
  ASSERT_TRUE(budget->MoveCurrentCellTo(6, 3, GX_UPDATENOW));
  plat::ClearShownLog();
  Type("2500");
  EXPECT_EQ(Value(budget, 8, 4), "2526");
  ASSERT_EQ(plat::ShownLog().size(), 1u);
  Ctrl('Z');
  EXPECT_EQ(Value(budget, 6, 4), "48");
  EXPECT_EQ(Value(budget, 8, 4), "74");
  EXPECT_EQ(plat::ShownLog().size(), 1u);
  galleryshots::ExpectDesktopMatches("sheet-use-budget-undone");
  Ctrl('R');
  EXPECT_EQ(Value(budget, 8, 4), "2526");
  EXPECT_EQ(plat::ShownLog().size(), 1u);
  galleryshots::ExpectDesktopMatches("sheet-use-budget-redone");
}

// The workbook opens with nothing to undo: Ctrl+Z on it undid its building, cell by cell.
TEST_F(SheetUse, AFreshWorkbookHasNothingToUndo) {
  CGXGridWnd* budget = gallery::SpreadsheetSheet(main, 0);  // current as the workbook opens
  ::SetFocus(budget->GridHwnd());
  for (int i = 0; i < 3; ++i) Ctrl('Z');
  EXPECT_EQ(Value(budget, 2, 1), "Capacitors 100n");
  EXPECT_EQ(Value(budget, 8, 4), "74");
  galleryshots::ExpectDesktopMatches("sheet-start");
}

// Replace all (Ctrl+H) of a price recomputes the amounts and the total on it, and undo puts them back.
TEST_F(SheetUse, ReplaceAllRecomputesTheFormulasOnTheReplacedCells) {
  CGXGridWnd* budget = ShowSheet(0);
  ReplaceAll(budget, 2, 3, "0.12\t1.2");
  EXPECT_EQ(Value(budget, 2, 3), "1.2");
  EXPECT_EQ(Value(budget, 2, 4), "48");
  EXPECT_EQ(Value(budget, 2, 5), "57.6");
  EXPECT_EQ(Value(budget, 8, 4), "117.2");
  galleryshots::ExpectDesktopMatches("sheet-use-replaced");
  ASSERT_TRUE(budget->Undo());
  EXPECT_EQ(Value(budget, 2, 4), "4.8");
  EXPECT_EQ(Value(budget, 8, 4), "74");
}

// Replace (Ctrl+H, "Replace") in a formula cell works on the formula its editor shows: a "." found in the
// shown 3.2 replaced the formula's second character ("=B4*C4" became "=+4*C4" and showed 1.6), a "2" found in
// 10.2 broke "=B3*C3" into "=B39C3". A formula without the text is left alone, one with it is replaced where
// the formula holds it. A text's editor shows it after an apostrophe: the match is replaced where the editor
// holds it, not one character earlier.
TEST_F(SheetUse, ReplaceInAFormulaCellReplacesInTheFormula) {
  CGXGridWnd* budget = ShowSheet(0);
  auto replace = [&](ROWCOL row, const char* findAndReplace, ROWCOL col = 4) {
    ::SetFocus(budget->GridHwnd());
    ASSERT_TRUE(budget->MoveCurrentCellTo(row, col, GX_UPDATENOW));
    automation.Reply(plat::SystemUiKind::Replace, {IDOK, findAndReplace, FR_DOWN | FR_REPLACE});
    automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0});
    Ctrl('H');
    ::SetFocus(budget->GridHwnd());
    Type("");  // Return: what the editor holds is stored
  };
  replace(4, ".\t+");
  EXPECT_EQ(Formula(budget, 4, 4), "=B4*C4");
  EXPECT_EQ(Value(budget, 4, 4), "3.2");
  replace(3, "2\t9");
  EXPECT_EQ(Formula(budget, 3, 4), "=B3*C3");
  EXPECT_EQ(Value(budget, 3, 4), "10.2");
  EXPECT_EQ(Formula(budget, 8, 4), "=D2+D3+D4+D5+D6;D8<2000");
  replace(2, "cap\tKap", 1);
  EXPECT_EQ(Value(budget, 2, 1), "Kapacitors 100n");
  replace(2, "C2\tC3");
  EXPECT_EQ(Formula(budget, 2, 4), "=B2*C3");
  EXPECT_EQ(Value(budget, 2, 4), "34");
  galleryshots::ExpectDesktopMatches("sheet-use-replaced-in-formula");
}

// Replace All down the amounts replaces in their formulas and keeps them formulas: D3 (=B3*C3, 10.2) became
// the number 10.9 and D4 the number 3.9 after "2" -> "9". One undo puts the formulas back.
TEST_F(SheetUse, ReplaceAllKeepsFormulasFormulas) {
  CGXGridWnd* budget = ShowSheet(0);
  ReplaceAll(budget, 2, 4, "2\t9");
  EXPECT_EQ(Formula(budget, 2, 4), "=B9*C9");
  EXPECT_EQ(Formula(budget, 3, 4), "=B3*C3");
  EXPECT_EQ(Value(budget, 3, 4), "10.2");
  EXPECT_EQ(Formula(budget, 4, 4), "=B4*C4");
  EXPECT_EQ(Value(budget, 4, 4), "3.2");
  EXPECT_EQ(Formula(budget, 8, 4), "=D9+D3+D4+D5+D6;D8<9000");
  ASSERT_TRUE(budget->Undo());
  EXPECT_EQ(Formula(budget, 2, 4), "=B2*C2");
  EXPECT_EQ(Formula(budget, 8, 4), "=D2+D3+D4+D5+D6;D8<2000");
  EXPECT_EQ(Value(budget, 8, 4), "74");
  // A replaced formula that no longer parses is refused: the cell keeps its formula.
  ReplaceAll(budget, 2, 4, "*\t*/");
  EXPECT_EQ(Formula(budget, 3, 4), "=B3*C3");
  EXPECT_EQ(Value(budget, 3, 4), "10.2");
}

// After the Replace, Find or Print dialog or the print preview closes, the keys typed next reach the sheet as
// they did before it opened: "77" and Return go into the clicked cell and move on, and Down and Ctrl+F2 work
// (they went nowhere until a click on the sheet).
TEST_F(SheetUse, TheKeysComeBackToTheSheetWhenADialogCloses) {
  CGXGridWnd* budget = ShowSheet(0);
  auto& input = plat::InputRouter::Instance();
  auto clickIn = [&](HWND window, const RECT& r) {
    input.Click(plat::MouseButton::Left,
                plat::InputRouter::ClientPoint(window, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    plat::RunUntilIdle();
  };
  auto current = [&] {
    ROWCOL r = 0, c = 0;
    budget->QueryCurrentCell(&r, &c);
    return std::to_string(r) + "," + std::to_string(c);
  };
  auto closePreview = [&] {
    HWND close = GetDlgItem(gallery::SpreadsheetPreview(), AFX_ID_PREVIEW_CLOSE);
    ASSERT_NE(close, nullptr);
    RECT r{};
    GetClientRect(close, &r);
    clickIn(close, r);
    ASSERT_EQ(gallery::SpreadsheetPreview(), nullptr);
  };
  const struct {
    const char* dialog;
    std::function<void()> openAndClose;
  } dialogs[] = {
      {"Replace, Escape", [&] { automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0}); Ctrl('H'); }},
      {"Find, Escape", [&] { automation.Reply(plat::SystemUiKind::Find, {IDCANCEL, {}, 0}); Ctrl('F'); }},
      {"Print, Escape", [&] { automation.Reply(plat::SystemUiKind::Print, {IDCANCEL, {}, 0}); Ctrl('P'); }},
      {"Print, Return", [&] { automation.Reply(plat::SystemUiKind::Print, {IDOK, {}, 0}); Ctrl('P'); }},
      {"preview, Close", [&] { Ctrl(VK_F2); closePreview(); }},
  };
  ROWCOL row = 10;
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.dialog);
    clickIn(budget->GridHwnd(), budget->CalcCellRect(row, 2));
    d.openAndClose();
    Type("77");
    EXPECT_EQ(Value(budget, row, 2), "77");
    EXPECT_EQ(current(), std::to_string(row) + ",3");  // Return moves right on this sheet
    input.KeyPress(VK_DOWN);
    plat::RunUntilIdle();
    EXPECT_EQ(current(), std::to_string(row + 1) + ",3");
    row += 3;
  }
  galleryshots::ExpectDesktopMatches("sheet-use-keys-after-dialogs");
  // Ctrl+F2 after a dialog: the preview opens.
  automation.Reply(plat::SystemUiKind::Find, {IDCANCEL, {}, 0});
  Ctrl('F');
  Ctrl(VK_F2);
  EXPECT_NE(gallery::SpreadsheetPreview(), nullptr);
}

// A cell being edited when the Find or Replace dialog opens (its "abc" stored as the sheet loses the focus) has
// the keyboard again once the dialog is closed with Escape: "5" and Return go into it. The sheet took no key
// until a click (the cell kept "abc"): its editor, hidden while the focus left for the dialog, handed the focus
// back to the sheet, which took the activation from the dialog and lost where its focus was.
TEST_F(SheetUse, AnEditedCellTakesTheKeysAgainWhenTheFindDialogIsEscaped) {
  CGXGridWnd* budget = ShowSheet(0);
  auto& input = plat::InputRouter::Instance();
  const struct {
    const char* dialog;
    plat::SystemUiKind kind;
    UINT key;
    ROWCOL row;
  } cases[] = {
      {"Find", plat::SystemUiKind::Find, 'F', 13},
      {"Replace", plat::SystemUiKind::Replace, 'H', 15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialog);
    const CRect cell = budget->CalcCellRect(c.row, 6);
    input.Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(budget->GridHwnd(), cell.CenterPoint().x,
                                                                         cell.CenterPoint().y));
    plat::RunUntilIdle();
    input.TypeText("abc");
    plat::RunUntilIdle();
    automation.Reply(c.kind, {IDCANCEL, {}, 0});
    Ctrl(c.key);
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_TRUE(GetFocus() == budget->GridHwnd() || IsChild(budget->GridHwnd(), GetFocus()));
    Type("5");
    EXPECT_EQ(Value(budget, c.row, 6), "5");
  }
}

// A column of 100,000 numbers from another program: the sheet grows once to the last line, the running
// balance computes to its end, every row number shows whole, and undo takes the rows away again.
TEST_F(SheetUse, AHundredThousandPastedNumbersGrowTheSheetAndShowEveryRowNumber) {
  CGXGridWnd* balance = ShowSheet(1);
  std::string numbers, formulas;
  for (int i = 0; i < 100000; ++i) {
    numbers += "1\r\n";
    formulas += "=D" + std::to_string(i + 7) + "+C" + std::to_string(i + 8) + "\r\n";
  }
  PutText(numbers);
  ASSERT_TRUE(balance->MoveCurrentCellTo(8, 3, GX_UPDATENOW));
  Ctrl('V');
  ASSERT_EQ(balance->GetRowCount(), 100007u);
  EXPECT_EQ(Value(balance, 100007, 3), "1");
  PutText(formulas);
  ASSERT_TRUE(balance->MoveCurrentCellTo(8, 4, GX_UPDATENOW));
  Ctrl('V');
  EXPECT_EQ(Value(balance, 100007, 4), "100516.25");
  Ctrl(VK_END);
  galleryshots::ExpectDesktopMatches("sheet-use-pasted-end");
  // The opening amount changes every balance below it.
  ASSERT_TRUE(balance->MoveCurrentCellTo(2, 3, GX_UPDATENOW));
  Type("600");
  EXPECT_EQ(Value(balance, 100007, 4), "100616.25");
  Ctrl('Z');
  EXPECT_EQ(Value(balance, 100007, 4), "100516.25");
  Ctrl('Z');
  Ctrl('Z');
  EXPECT_EQ(balance->GetRowCount(), 30u);
  EXPECT_EQ(Value(balance, 7, 4), "516.25");
}

// Ctrl+F2 on a 740 x 440 screen: the preview window lies whole on it, with the whole first page; the page's
// header (the date and time at a fixed moment, and "1/1") lies above the grid.
TEST_F(SheetUse, ThePrintPreviewLiesWholeOnASmallScreen) {
  struct FixedTime {
    FixedTime() { plat::VirtualClock::FixTimeOfDay(1785398400); }  // 2026-07-30
    ~FixedTime() { plat::VirtualClock::UseRealTimeOfDay(); }
  } fixed;
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  Ctrl(VK_F2);
  HWND preview = gallery::SpreadsheetPreview();
  ASSERT_NE(preview, nullptr);
  RECT frame{};
  GetWindowRect(preview, &frame);
  const SIZE screen = plat::Desktop::Size();
  EXPECT_GE(frame.left, 0);
  EXPECT_GE(frame.top, 0);
  EXPECT_LE(frame.right, screen.cx);
  EXPECT_LE(frame.bottom, screen.cy);
  galleryshots::ExpectDesktopMatches("sheet-use-preview");
}

// A column hidden by dragging its header's edge past its left edge: the sheet scrolls the columns right of it
// over, and what the screen shows then is what the sheet's full repaint shows (the scroll copied the vertical bar's
// edge, which the sheet overlaps by a pixel, into the cells as a dotted line).
TEST_F(SheetUse, AColumnHiddenByDraggingLeavesNothingBehind) {
  CGXGridWnd* budget = gallery::SpreadsheetSheet(main, 0);
  const CRect header = budget->CalcCellRect(0, 2);
  Drag(budget, header.right - 1, header.CenterPoint().y, header.left - 20, header.CenterPoint().y);
  ASSERT_TRUE(budget->IsColHidden(2));
  galleryshots::ExpectDesktopMatches("sheet-use-column-hidden");
  RedrawWindow(budget->GridHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  plat::RunUntilIdle();
  galleryshots::ExpectDesktopMatches("sheet-use-column-hidden");
}

// A paste that runs out of memory on the way tells the user why nothing was pasted, and leaves every cell as
// it was; with memory enough the same paste goes through. (Before, the sheet turned the lack of memory into a
// plain failure: the paste was taken back without a word.)
TEST_F(SheetUse, APasteThatRunsOutOfMemorySaysSoAndChangesNothing) {
  CGXGridWnd* balance = ShowSheet(1);
  auto cells = [&] {
    std::string out;
    for (ROWCOL r = 10; r <= 20; ++r) out += Value(balance, r, 3) + "," + Formula(balance, r, 4) + "|";
    return out;
  };
  balance->GetParam()->GetSelection().DeleteAll();
  balance->GetParam()->GetSelection().AddTail(new CGXRange(2, 3, 7, 4));
  Ctrl('C');
  balance->GetParam()->GetSelection().DeleteAll();
  ASSERT_TRUE(balance->MoveCurrentCellTo(12, 3, GX_UPDATENOW));
  const std::string before = cells();
  for (const long room : {0L, 5L, 10L}) {
    SCOPED_TRACE(room);
    plat::ClearShownLog();
    _gx_fail_allocations_after(room);
    Ctrl('V');
    _gx_fail_allocations_after(-1);
    ASSERT_EQ(plat::ShownLog().size(), 1u);
    EXPECT_EQ(plat::ShownLog()[0].request.text, "Range too big.");
    EXPECT_EQ(cells(), before);
  }
  galleryshots::ExpectDesktopMatches("sheet-use-paste-out-of-memory");
  plat::ClearShownLog();
  Ctrl('V');
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(Formula(balance, 13, 4), "=D12+C13");
  EXPECT_EQ(Value(balance, 17, 4), "516.25");
}

// A 3,501-character text pasted on A10, or pasted into its editor and stored with Return, kept 511
// characters: the sheet stores it whole, as the plain grid does.
TEST_F(SheetUse, ALongTextIsStoredWhole) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  std::string longText;
  for (int i = 0; longText.size() < 3501; ++i) longText += "word" + std::to_string(i) + ' ';
  longText.resize(3501);
  PutText(longText);
  ASSERT_TRUE(budget->MoveCurrentCellTo(10, 1, GX_UPDATENOW));
  Ctrl('V');
  EXPECT_TRUE(Value(budget, 10, 1) == longText) << Value(budget, 10, 1).size();
  ASSERT_TRUE(budget->MoveCurrentCellTo(11, 1, GX_UPDATENOW));
  plat::InputRouter::Instance().TypeText("x");  // the editor open, its caret after the "x"
  Ctrl('V');
  Type("");
  EXPECT_TRUE(Value(budget, 11, 1) == "x" + longText) << Value(budget, 11, 1).size();
}

// A formula of 702 characters came back cut to 511 in its editor, its copy and its undo: it comes back
// whole. A string constant longer than a computed text can be is refused whole with the parse message.
TEST_F(SheetUse, ALongFormulaComesBackWhole) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  std::string formula = "=1";
  while (formula.size() < 701) formula += "+123456789.125";
  ASSERT_TRUE(budget->MoveCurrentCellTo(10, 1, GX_UPDATENOW));
  Type(formula.c_str());
  EXPECT_EQ(Value(budget, 10, 1), "6172839457.25");
  EXPECT_TRUE(Formula(budget, 10, 1) == formula) << Formula(budget, 10, 1).size();
  ASSERT_TRUE(budget->MoveCurrentCellTo(10, 1, GX_UPDATENOW));
  Ctrl('C');
  ASSERT_TRUE(budget->MoveCurrentCellTo(11, 1, GX_UPDATENOW));
  Ctrl('V');
  EXPECT_TRUE(Formula(budget, 11, 1) == formula) << Formula(budget, 11, 1).size();
  ASSERT_TRUE(budget->MoveCurrentCellTo(10, 1, GX_UPDATENOW));
  Type("5");
  Ctrl('Z');
  EXPECT_TRUE(Formula(budget, 10, 1) == formula) << Formula(budget, 10, 1).size();

  plat::ClearShownLog();
  ASSERT_TRUE(budget->MoveCurrentCellTo(12, 1, GX_UPDATENOW));
  Type(("=\"" + std::string(512, 'q') + "\"").c_str());
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_NE(plat::ShownLog()[0].request.text.find("resultant string too long"), std::string::npos)
      << plat::ShownLog()[0].request.text;
  EXPECT_EQ(Formula(budget, 12, 1), "");
}

// A pasted block whose second line is a formula that does not parse kept its first line, with no word or a
// general one: the sheet keeps every cell and gives the parse error once.
TEST_F(SheetUse, APastedBlockWithABadFormulaChangesNoCellAndGivesTheParseError) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  ASSERT_TRUE(budget->MoveCurrentCellTo(10, 1, GX_UPDATENOW));
  plat::ClearShownLog();
  PutText("5\r\n=1+\r\n");
  Ctrl('V');
  EXPECT_EQ(Formula(budget, 10, 1), "");
  EXPECT_EQ(Formula(budget, 11, 1), "");
  ASSERT_EQ(plat::ShownLog().size(), 1u);
  EXPECT_EQ(plat::ShownLog()[0].request.text, "Cell A11: ERROR: expected to find an operand here (Pos 3)");
}

// A typed formula refused with the parse error's box kept its text, but the box's answer left the caret before
// the "=": the next key went to the front ("5=1+", stored as a text with no message). The editor keeps the caret
// and the selection it had when the box came up.
TEST_F(SheetUse, ARefusedFormulaKeepsItsCaretAndSelectionOverTheBox) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  auto& input = plat::InputRouter::Instance();
  // Shift+`key`, `times` times.
  auto select = [&](UINT key, int times) {
    input.KeyDown(VK_SHIFT);
    for (int i = 0; i < times; ++i) input.KeyPress(key);
    input.KeyUp(VK_SHIFT);
  };
  // `typed` into (row, 1), then Shift+`key` `times` times, then Return: refused with the parse error's box.
  auto refused = [&](ROWCOL row, const char* typed, UINT key = 0, int times = 1) {
    ASSERT_TRUE(budget->MoveCurrentCellTo(row, 1, GX_UPDATENOW));
    input.TypeText(typed);
    if (key) select(key, times);
    plat::ClearShownLog();
    input.KeyPress(VK_RETURN);
    plat::RunUntilIdle();
    ASSERT_EQ(plat::ShownLog().size(), 1u) << typed;
    EXPECT_EQ(plat::ShownLog()[0].request.text,
              "Cell A" + std::to_string(row) + ": ERROR: expected to find an operand here (Pos 3)");
    EXPECT_EQ(Formula(budget, row, 1), "") << typed;
  };
  refused(11, "=1+");
  plat::ClearShownLog();
  Type("5");
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(Formula(budget, 11, 1), "=1+5");
  EXPECT_EQ(Value(budget, 11, 1), "6");
  // A selection made before Return is still selected after the box: what is typed replaces it.
  refused(12, "=2+", VK_LEFT);  // the "+"
  Type("*7");
  EXPECT_EQ(Formula(budget, 12, 1), "=2*7");
  EXPECT_EQ(Value(budget, 12, 1), "14");
  refused(13, "=3+", VK_HOME);  // all of it
  Type("9");
  EXPECT_EQ(Formula(budget, 13, 1), "9");
  // A selection made right to left keeps its caret at its left: Shift+Left grows it over the "+" ("=12"). It came
  // back left to right, and Shift+Left took its last "*" away: "=1+2*", refused again.
  refused(14, "=1+**", VK_LEFT, 2);
  plat::ClearShownLog();
  select(VK_LEFT, 1);
  Type("2");
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(Value(budget, 14, 1), "12");
}

// A refused formula longer than its cell: the editor came back scrolled sideways elsewhere than the user left it
// (its text shown from "+7+" where it showed "+11+"), by the box of a move or without one on a focus loss. It
// shows the text from the same first character, at the same place, and the next key goes on at the caret. In a
// row tall enough for the text to wrap, the same holds for the lines scrolled up out of view.
TEST_F(SheetUse, ARefusedFormulaKeepsItsEditorScrolledAsLeft) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  const HWND findWhat = OpenReplaceDialog();
  ASSERT_NE(findWhat, nullptr);
  auto& input = plat::InputRouter::Instance();
  const auto clickIn = &SheetUse::ClickIn;
  auto clickCell = [&](ROWCOL row, ROWCOL col) {
    const CPoint at = budget->CalcCellRect(row, col).CenterPoint();
    clickIn(budget->GridHwnd(), at.x, at.y);
  };
  // Where the editor shows its first character (left of or above its window once scrolled), and which one it
  // shows first.
  auto view = [](HWND editor) {
    const LRESULT first = SendMessage(editor, EM_POSFROMCHAR, 0, 0);
    RECT r{};
    SendMessage(editor, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    const LRESULT shown = SendMessage(editor, EM_CHARFROMPOS, 0, MAKELPARAM(r.left + 1, r.top + 1));
    return std::to_string(static_cast<short>(LOWORD(first))) + "," + std::to_string(static_cast<short>(HIWORD(first))) +
           " from " + std::to_string(LOWORD(shown));
  };
  std::string formula = "=";
  for (int i = 1; i <= 30; ++i) formula += std::to_string(i) + "+";
  const struct {
    const char* how;
    ROWCOL row;
    int lefts;       // Left presses before the cell is left (after End, or after Home and `rights` Rights)
    int rights;
    bool focusLoss;  // left for another window: no box, and the next click stores it again with its box
    int lines = 1;   // the row's height in lines: taller rows wrap the text, which then scrolls up and down
    int ups = 0;     // Up presses after the Lefts
  } cases[] = {
      {"Left x12, Return", 13, 12, -1, false},
      {"Left x3, Return", 14, 3, -1, false},
      {"Home, Right x20, Return", 15, 0, 20, false},
      {"Left x12, Find what", 16, 12, -1, true},
      {"a row of two lines, Up x2, Return", 17, 0, -1, false, 2, 2},
      {"a row of two lines, Up x2, Find what", 18, 0, -1, true, 2, 2},
  };
  const int lineHeight = budget->GetRowHeight(13);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    if (c.lines > 1) budget->SetRowHeight(c.row, c.row, lineHeight * c.lines);
    clickCell(c.row, 6);
    input.TypeText(formula);
    plat::RunUntilIdle();
    HWND editor = ::GetFocus();
    ASSERT_NE(editor, budget->GridHwnd());
    if (c.rights >= 0) {
      input.KeyPress(VK_HOME);
      for (int i = 0; i < c.rights; ++i) input.KeyPress(VK_RIGHT);
    }
    for (int i = 0; i < c.lefts; ++i) input.KeyPress(VK_LEFT);
    for (int i = 0; i < c.ups; ++i) input.KeyPress(VK_UP);
    plat::RunUntilIdle();
    const std::string before = view(editor);
    ASSERT_EQ(before.find(" from 0"), std::string::npos) << before;  // scrolled
    DWORD caret = 0;
    SendMessage(editor, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    plat::ClearShownLog();
    if (c.focusLoss) {
      clickIn(findWhat, 5, 5);
      EXPECT_TRUE(MessageBoxesShown().empty());
      EXPECT_EQ(view(editor), before);
      clickCell(c.row + 4, 6);  // the move stores it again: refused with its box
    } else {
      input.KeyPress(VK_RETURN);
      plat::RunUntilIdle();
    }
    EXPECT_EQ(MessageBoxesShown().size(), 1u);
    EXPECT_TRUE(budget->MatchesCurrentCell(c.row, 6));
    EXPECT_EQ(view(editor), before);
    input.TypeText("9");  // at the caret
    for (int i = 0; i < c.ups; ++i) input.KeyPress(VK_DOWN);  // back to the last line
    input.KeyPress(VK_END);
    Type("0");
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_EQ(Formula(budget, c.row, 6), formula.substr(0, caret) + "9" + formula.substr(caret) + "0");
  }
}

// A formula that does not parse, typed and then left by a click on another tab or into the replace dialog's
// "Find what" field, was dropped without a word (the tab switched, the cell stayed empty), and its parse error's
// box came up at a later click, for a text that was gone. The tab stays, with the box, and the editor keeps its
// text and caret; a focus loss keeps the editor as it is with no box, as for a value that fails validation (the
// box comes with the next move). A formula that parses is stored in both cases.
TEST_F(SheetUse, AFormulaLeftForAnotherTabOrWindowIsStoredOrKeptInItsEditor) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  const HWND findWhat = OpenReplaceDialog();
  ASSERT_NE(findWhat, nullptr);
  CGXTabWnd* tabs = Tabs();
  CGXTabBeam& beam = tabs->GetBeam();
  auto& input = plat::InputRouter::Instance();
  const auto clickIn = &SheetUse::ClickIn;
  auto clickCell = [&](ROWCOL row) {
    const CPoint at = budget->CalcCellRect(row, 6).CenterPoint();
    clickIn(budget->GridHwnd(), at.x, at.y);
  };
  const struct {
    const char* how;
    ROWCOL row;
    std::function<void()> leave;
    bool boxAtOnce;
  } ways[] = {
      {"Balance tab", 13, [&] { clickIn(beam.m_hWnd, beam.GetTabLeft(1) + 10, beam.GetBeamHeight() / 2); }, true},
      {"Find what", 16, [&] { clickIn(findWhat, 5, 5); }, false},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    ShowSheet(0);
    clickCell(way.row);
    input.TypeText("=1+");
    plat::ClearShownLog();
    way.leave();
    const std::vector<std::string> parseError{"Cell F" + std::to_string(way.row) +
                                              ": ERROR: expected to find an operand here (Pos 3)"};
    EXPECT_EQ(MessageBoxesShown(), way.boxAtOnce ? parseError : std::vector<std::string>{});
    EXPECT_EQ(tabs->GetActivePane(), budget);
    EXPECT_EQ(Formula(budget, way.row, 6), "");
    if (!way.boxAtOnce) {
      clickCell(way.row + 2);  // the move stores the formula that is there: refused with its box
      EXPECT_EQ(MessageBoxesShown(), parseError);
    }
    Type("5");
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_EQ(Formula(budget, way.row, 6), "=1+5");
    // A formula that parses is stored as the sheet is left.
    clickCell(way.row + 1);
    input.TypeText("=2+3");
    way.leave();
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_EQ(Value(budget, way.row + 1, 6), "5");
    EXPECT_EQ(tabs->GetActivePane(), gallery::SpreadsheetSheet(main, way.boxAtOnce ? 1 : 0));
  }
}

// A typed path had its backslashes taken as escapes ("C:\temp" became "C:", a TAB and "emp"), and a copy
// pasted back did not restore it. A text is stored as typed; escapes stay a feature of string constants in
// formulas.
TEST_F(SheetUse, ATypedTextIsStoredAsTyped) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  const std::string path = R"(C:\temp\new\x41)";
  ASSERT_TRUE(budget->MoveCurrentCellTo(12, 1, GX_UPDATENOW));
  Type(path.c_str());
  EXPECT_EQ(Value(budget, 12, 1), path);
  EXPECT_EQ(Formula(budget, 12, 1), "'" + path);
  ASSERT_TRUE(budget->MoveCurrentCellTo(12, 1, GX_UPDATENOW));
  Ctrl('C');
  ASSERT_TRUE(budget->MoveCurrentCellTo(13, 1, GX_UPDATENOW));
  Ctrl('V');
  EXPECT_EQ(Value(budget, 13, 1), path);
  ASSERT_TRUE(budget->MoveCurrentCellTo(14, 1, GX_UPDATENOW));
  Type(R"(="a\tb")");
  EXPECT_EQ(Value(budget, 14, 1), "a\tb");
  galleryshots::ExpectDesktopMatches("sheet-use-typed-path");
}

// Replace All "B" -> "?" from D2 makes no formula that parses: every replacement is refused. It said nothing
// and left an empty undo step, so the next Ctrl+Z seemed to do nothing. It says that the cells keep their
// values, and Ctrl+Z undoes what was done before it.
TEST_F(SheetUse, AReplaceAllThatReplacesNothingSaysSoAndLeavesNoUndoStep) {
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  ASSERT_TRUE(budget->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  Type("50");
  plat::ClearShownLog();
  ReplaceAll(budget, 2, 4, "B\t?");
  EXPECT_EQ(Formula(budget, 2, 4), "=B2*C2");
  EXPECT_EQ(MessageBoxesShown(), std::vector<std::string>{"A replaced text is not a value its cell takes (not one of "
                                                          "its choices, too long, against the cell's mask or out of "
                                                          "its bounds): that cell keeps its value."});
  ::SetFocus(budget->GridHwnd());
  Ctrl('Z');
  EXPECT_EQ(Value(budget, 2, 2), "40");
  EXPECT_EQ(Value(budget, 2, 4), "4.8");
  // The refused formulas' parse errors do not come up after the next store.
  ASSERT_TRUE(budget->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  Type("13");
  EXPECT_TRUE(MessageBoxesShown().empty());
}

// A row hidden by dragging its header's lower edge above its upper edge hides its note from Ctrl+F and Ctrl+H:
// Find Next (down or up) passes it by to the next note shown, where the typed "ZZ" goes, and Replace and Replace
// All leave it. Find Next made the hidden F12 current, no cell showed as current, and the text typed next went
// into F12 unseen; the replacements changed it unseen.
TEST_F(SheetUse, FindAndReplacePassANoteInAHiddenRowBy) {
  enum class Door { FindDown, FindUp, Replace, ReplaceAll };
  const struct {
    const char* door;
    Door how;
    ROWCOL from;
    const char* f10;  // what F10 and F13, around the hidden F12, hold after it
    const char* f13;
  } doors[] = {
      {"Ctrl+F, Find Next down, then typing", Door::FindDown, 11, "spare one", "ZZ two"},
      {"Ctrl+F, Find Next up, then typing", Door::FindUp, 13, "ZZ one", "spare two"},
      {"Ctrl+H, Replace pressed twice", Door::Replace, 11, "spare one", "ZZ two"},
      {"Ctrl+H, Replace All", Door::ReplaceAll, 10, "ZZ one", "ZZ two"},
  };
  CGXGridWnd* budget = ShowSheet(0);
  ::SetFocus(budget->GridHwnd());
  auto typeNote = [&](ROWCOL row, const char* note) {
    ASSERT_TRUE(budget->MoveCurrentCellTo(row, 6, GX_UPDATENOW));
    Type(note);
  };
  typeNote(12, "spare hidden");
  const CRect header = budget->CalcCellRect(12, 0);
  Drag(budget, header.CenterPoint().x, header.bottom - 1, header.CenterPoint().x, header.top - 10);
  ASSERT_TRUE(budget->IsRowHidden(12));
  for (const auto& d : doors) {
    SCOPED_TRACE(d.door);
    typeNote(10, "spare one");
    typeNote(13, "spare two");
    ::SetFocus(budget->GridHwnd());
    ASSERT_TRUE(budget->MoveCurrentCellTo(d.from, 6, GX_UPDATENOW));
    switch (d.how) {
      case Door::FindDown:
      case Door::FindUp:
        automation.Reply(plat::SystemUiKind::Find,
                         {IDOK, "spare", FR_FINDNEXT | (d.how == Door::FindDown ? FR_DOWN : 0u)});
        automation.Reply(plat::SystemUiKind::Find, {IDCANCEL, {}, 0});  // Escape
        Ctrl('F');
        Type("ZZ");
        break;
      case Door::Replace:
        for (int press = 0; press < 2; ++press) {
          automation.Reply(plat::SystemUiKind::Replace, {IDOK, "spare\tZZ", FR_DOWN | FR_REPLACE});
          automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0});
          Ctrl('H');
        }
        Type("");  // Return: what the editor holds is stored
        break;
      case Door::ReplaceAll: ReplaceAll(budget, d.from, 6, "spare\tZZ"); break;
    }
    EXPECT_EQ(Value(budget, 12, 6), "spare hidden");
    EXPECT_EQ(Value(budget, 10, 6), d.f10);
    EXPECT_EQ(Value(budget, 13, 6), d.f13);
  }
}

// On the sheet a drop-down list, a list box and a text-fit drop-down (Red, Green, Blue) holding Blue, above a
// plain Blue: Ctrl+H, Blue -> Purple, Replace All gave its one box, and the drop-down list showed and held
// Purple, the list box held Purple with no line chosen (the text-fit drop-down kept Blue); Replace at each did the
// same. Only the plain cell takes Purple: each list cell keeps Blue, shown and chosen, and keeps its control, and
// the box says why (once for Replace All, at each refusal for Replace).
TEST_F(SheetUse, AReplacementThatIsNoChoiceLeavesAListCellAsItWas) {
  const struct {
    const char* door;
    bool all;
    size_t boxes;
  } doors[] = {{"Replace All", true, 1}, {"Replace pressed at each cell", false, 3}};
  CGXGridWnd* budget = ShowSheet(0);
  const WORD lists[] = {GX_IDS_CTRL_CBS_DROPDOWNLIST, GX_IDS_CTRL_LISTBOX, GX_IDS_CTRL_TEXTFIT};
  for (const auto& d : doors) {
    SCOPED_TRACE(d.door);
    for (ROWCOL i = 0; i < 3; ++i)
      budget->SetStyleRange(CGXRange(10 + i, 6),
                            CGXStyle().SetControl(lists[i]).SetChoiceList("Red\nGreen\nBlue").SetValue("Blue"));
    budget->SetStyleRange(CGXRange(13, 6), CGXStyle().SetControl(GX_IDS_CTRL_EDIT).SetValue("Blue"));
    plat::ClearShownLog();
    if (d.all) {
      ReplaceAll(budget, 10, 6, "Blue\tPurple");
    } else {
      ::SetFocus(budget->GridHwnd());
      ASSERT_TRUE(budget->MoveCurrentCellTo(10, 6, GX_UPDATENOW));
      for (int press = 0; press < 4; ++press) {
        automation.Reply(plat::SystemUiKind::Replace, {IDOK, "Blue\tPurple", FR_DOWN | FR_REPLACE});
        automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0});
        Ctrl('H');
      }
      Type("");  // Return: the plain cell's editor is stored
    }
    std::vector<std::string> boxes = MessageBoxesShown();
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(),
                         "A replaced text is not a value its cell takes (not one of its choices, too long, against the "
                         "cell's mask or out of its bounds): that cell keeps its value."),
              static_cast<long>(d.boxes));
    EXPECT_EQ(Value(budget, 10, 6) + "," + Value(budget, 11, 6) + "," + Value(budget, 12, 6) + "," +
                  Value(budget, 13, 6),
              "Blue,Blue,Blue,Purple");
    // Each list cell shows Blue chosen when it is current.
    for (ROWCOL i = 0; i < 3; ++i) {
      ASSERT_TRUE(budget->MoveCurrentCellTo(10 + i, 6, GX_UPDATENOW));
      CGXControl* control = budget->ControlOfCurrentCell();
      ASSERT_TRUE(control->IsKindOfControl(budget->ControlForId(lists[i])->GetControlClass()));
      CString shown;
      control->GetEditText(shown);
      EXPECT_EQ(std::string(shown), "Blue") << i;
      if (auto* list = dynamic_cast<CListBox*>(control->GetWindowPart())) {
        EXPECT_EQ(list->GetCurSel(), 2);
      }
    }
  }
}

// Ctrl+P and Return on the sheet in a temporary folder every user may write (as /tmp): a link another user planted
// under the sheet's file name, pointing at a file of the printing user, and a file of another user under the next
// name are neither followed nor written; the sheet goes to the next free name. A file-size limit reached (a full
// disk) says so in a box naming the file and the reason, and leaves nothing behind.
TEST_F(SheetUse, APrintWritesNoFileAnotherUserPlantedAndSaysWhyItFailed) {
  ::chmod(printFolder.c_str(), 01777);
  const std::string mine = printFolder / "mine.txt", link = printFolder / "Budget.pdf",
                    theirs = printFolder / "Budget-2.pdf";
  std::ofstream(mine) << "mine";
  std::filesystem::create_symlink(mine, link);
  std::ofstream(theirs) << "theirs";
  ::chmod(theirs.c_str(), 0666);
  if (::geteuid() == 0) {  // only root can give a file to another user
    ASSERT_EQ(::lchown(link.c_str(), 4321, 4321), 0);
    ASSERT_EQ(::chown(theirs.c_str(), 4321, 4321), 0);
  }
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  auto printSheet = [&] {
    plat::ClearShownLog();
    ::SetFocus(ShowSheet(0)->GridHwnd());
    automation.Reply(plat::SystemUiKind::Print, {IDOK, {}, 0});
    Ctrl('P');
    std::vector<std::string> boxes;
    for (const plat::ShownRecord& r : plat::ShownLog())
      if (r.request.kind == plat::SystemUiKind::MessageBox) boxes.push_back(r.request.text);
    return boxes;
  };
  EXPECT_TRUE(printSheet().empty());
  const std::string printed = printFolder / "Budget-3.pdf";
  EXPECT_EQ(read(printed).rfind("%PDF", 0), 0u);
  struct stat st {};
  ASSERT_EQ(::stat(printed.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, ::geteuid());
  EXPECT_EQ(read(mine), "mine");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(read(theirs), "theirs");

  struct rlimit unlimited {};
  ::getrlimit(RLIMIT_FSIZE, &unlimited);
  struct rlimit limit = unlimited;
  limit.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const std::vector<std::string> boxes = printSheet();
  ::setrlimit(RLIMIT_FSIZE, &unlimited);
  EXPECT_EQ(boxes, std::vector<std::string>{"\"Budget\" could not be printed to \"" + link + "\": File too large."});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(printFolder), {}), 4);
}

// A double click on a tab while a cell was edited opened the rename field, but the sheet's focus loss took the
// focus back as it hid its editor: the new name went into the cell, Return stored it there, and the field stayed
// up over the sheet. The field keeps the focus, the cell's edit is stored (or kept in its editor with no box, as
// on any focus loss), and the rename ends as the user ends it: Return renames, Escape and a click into another
// window leave the name. A double click on another tab whose change the edited cell refuses starts no rename: the
// box of the refusal comes up and the editor keeps the formula.
TEST_F(SheetUse, ARenameStartedWhileACellIsEditedTakesTheTypedName) {
  CGXGridWnd* budget = ShowSheet(0);
  CGXGridWnd* balance = gallery::SpreadsheetSheet(main, 1);
  ::SetFocus(budget->GridHwnd());
  const HWND findWhat = OpenReplaceDialog();
  ASSERT_NE(findWhat, nullptr);
  CGXTabWnd* tabs = Tabs();
  CGXTabBeam& beam = tabs->GetBeam();
  auto& input = plat::InputRouter::Instance();
  auto clickIn = [&](HWND window, int x, int y) {
    input.Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(window, x, y));
    plat::RunUntilIdle();
  };
  // Two clicks as a hand makes them: the first handled before the second comes.
  auto doubleClickTab = [&](int tab) {
    plat::VirtualClock::Advance(1000);
    for (int i = 0; i < 2; ++i) clickIn(beam.m_hWnd, beam.GetTabLeft(tab) + 10, beam.GetBeamHeight() / 2);
  };
  enum class End { kReturn, kEscape, kFindWhat, kCell };
  const struct {
    const char* how;
    int tab;         // the tab double-clicked
    const char* typed;  // into F(row), before the double click
    End end;
    bool stored;     // the cell's edit is stored as the focus leaves it
    const char* shot = nullptr;  // the screen with the field open and the name typed
  } cases[] = {
      {"this tab, a value, Return", 0, "abc", End::kReturn, true, "sheet-use-rename-over-edited-cell"},
      {"this tab, a refused formula, Return", 0, "=1+", End::kReturn, false, "sheet-use-rename-over-kept-formula"},
      {"this tab, a value, Escape", 0, "abc", End::kEscape, true},
      {"this tab, a refused formula, Escape", 0, "=1+", End::kEscape, false},
      {"this tab, a value, another window", 0, "abc", End::kFindWhat, true},
      {"this tab, a refused formula, another window", 0, "=1+", End::kFindWhat, false},
      {"this tab, a value, a click on another cell", 0, "abc", End::kCell, true},
      {"another tab, a value, Return", 1, "abc", End::kReturn, true},
  };
  ROWCOL row = 10;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    ShowSheet(0);
    const std::string before = std::string(beam.GetTab(c.tab).sLabel);
    const CPoint at = budget->CalcCellRect(row, 6).CenterPoint();
    plat::VirtualClock::Advance(1000);
    clickIn(budget->GridHwnd(), at.x, at.y);
    input.TypeText(c.typed);
    plat::ClearShownLog();
    doubleClickTab(c.tab);
    EXPECT_TRUE(MessageBoxesShown().empty());
    ASSERT_NE(tabs->GetRenamePopup(), nullptr);
    EXPECT_EQ(::GetFocus(), tabs->GetRenamePopup()->m_hWnd);
    EXPECT_EQ(tabs->GetActivePane(), c.tab == 0 ? budget : balance);
    EXPECT_EQ(Formula(budget, row, 6), c.stored ? "'" + std::string(c.typed) : "");
    input.KeyPress(VK_END);
    input.TypeText("Xy");
    plat::RunUntilIdle();
    if (c.shot) galleryshots::ExpectWindowMatches(main, c.shot);
    switch (c.end) {
      case End::kReturn: input.KeyPress(VK_RETURN); break;
      case End::kEscape: input.KeyPress(VK_ESCAPE); break;
      case End::kFindWhat: clickIn(findWhat, 5, 5); break;
      case End::kCell: {
        const CPoint other = budget->CalcCellRect(row, 5).CenterPoint();
        clickIn(budget->GridHwnd(), other.x, other.y);
        EXPECT_TRUE(budget->MatchesCurrentCell(row, 5));
        EXPECT_TRUE(::GetFocus() == budget->GridHwnd() || ::IsChild(budget->GridHwnd(), ::GetFocus()));
        break;
      }
    }
    plat::RunUntilIdle();
    EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
    EXPECT_EQ(std::string(beam.GetTab(c.tab).sLabel), c.end == End::kReturn ? before + "Xy" : before);
    if (c.end == End::kFindWhat) {
      EXPECT_EQ(::GetFocus(), findWhat);
      clickIn(budget->GridHwnd(), at.x, at.y);
    }
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_EQ(Formula(budget, row, 6), c.stored ? "'" + std::string(c.typed) : "");
    if (!c.stored) {
      // The editor kept the formula with its caret: the next key goes on with it.
      Type("5");
      EXPECT_TRUE(MessageBoxesShown().empty());
      EXPECT_EQ(Formula(budget, row, 6), std::string(c.typed) + "5");
    }
    if (c.end == End::kReturn) tabs->SetTabName(c.tab, before.c_str(), TRUE);
    ++row;
  }
  galleryshots::ExpectWindowMatches(main, "sheet-use-renamed-while-edited");

  // A refused formula keeps the sheet when another tab is double-clicked: its box comes up once, no rename
  // starts, and what is typed next goes on with the formula.
  ShowSheet(0);
  const CPoint at = budget->CalcCellRect(row, 6).CenterPoint();
  plat::VirtualClock::Advance(1000);
  clickIn(budget->GridHwnd(), at.x, at.y);
  input.TypeText("=1+");
  plat::ClearShownLog();
  doubleClickTab(1);
  EXPECT_EQ(MessageBoxesShown(), std::vector<std::string>{"Cell F" + std::to_string(row) +
                                                          ": ERROR: expected to find an operand here (Pos 3)"});
  EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
  EXPECT_EQ(tabs->GetActivePane(), budget);
  EXPECT_EQ(std::string(beam.GetTab(0).sLabel), "Budget");
  Type("5");
  EXPECT_TRUE(MessageBoxesShown().empty());
  EXPECT_EQ(Formula(budget, row, 6), "=1+5");
}

// Find Next (or Replace) pressed in the find or replace dialog while a cell holds a formula that does not parse:
// the move to the match stores the formula, which is refused with its box, and the box came up a second time as
// the search went on to select the match in its cell. It comes up once, and the cell stays current, unchanged.
TEST_F(SheetUse, FindNextOverARefusedFormulaShowsItsBoxOnce) {
  CGXGridWnd* budget = ShowSheet(0);
  auto& input = plat::InputRouter::Instance();
  const auto clickIn = &SheetUse::ClickIn;
  auto clickControl = [&](HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    ASSERT_NE(control, nullptr);
    RECT r{};
    GetClientRect(control, &r);
    clickIn(control, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  constexpr int kUp = 0x420, kDown = 0x421, kReplace = 0x400;
  const struct {
    const char* how;
    UINT key;  // Ctrl+F or Ctrl+H
    int direction, button;  // no direction: the dialog's own (the replace dialog searches down)
    ROWCOL row;  // "must" is in F8
  } cases[] = {
      {"Find Next up", 'F', kUp, IDOK, 13},
      {"Find Next down", 'F', kDown, IDOK, 5},
      {"Replace (down)", 'H', 0, kReplace, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    ::SetFocus(budget->GridHwnd());
    Ctrl(c.key);  // the dialog stays open: nothing answers it
    HWND dialog = CGXFindReplaceState::Get().m_hWndFindDlg;
    ASSERT_NE(dialog, nullptr);
    SetWindowText(GetDlgItem(dialog, 0x480), "must");
    if (HWND with = GetDlgItem(dialog, 0x481)) SetWindowText(with, "may");
    if (c.direction) clickControl(dialog, c.direction);
    const CPoint at = budget->CalcCellRect(c.row, 6).CenterPoint();
    clickIn(budget->GridHwnd(), at.x, at.y);
    input.TypeText("=1+");
    plat::ClearShownLog();
    clickControl(dialog, c.button);
    EXPECT_EQ(MessageBoxesShown(), std::vector<std::string>{"Cell F" + std::to_string(c.row) +
                                                            ": ERROR: expected to find an operand here (Pos 3)"});
    EXPECT_TRUE(budget->MatchesCurrentCell(c.row, 6));
    EXPECT_EQ(Formula(budget, c.row, 6), "");
    EXPECT_EQ(Value(budget, 8, 6), "must stay below 2000");
    // The editor kept the formula: what is typed next goes on with it.
    clickIn(budget->GridHwnd(), at.x, at.y);
    Type("5");
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_EQ(Formula(budget, c.row, 6), "=1+5");
    SendMessage(dialog, WM_CLOSE, 0, 0);
    plat::RunUntilIdle();
  }
}

}  // namespace
