// The grid window on the headless desktop: painting, the current cell, keys, scrolling, mouse, dialogs
// and the query messages.
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/CGXData.h"
#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/tests/gxwindowtest.h"
#include "grid/core/CGXGridOldDrawingImp.h"
#include "grid/core/tests/enginetest.h"
#include "platform/base/GlobalMemory.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/Surface.h"
#include "platform/window/Clipboard.h"

namespace enginetest {
namespace {

using WindowTest = EngineTest;

TEST_F(WindowTest, PaintsGridLinesHeadersAndBackground) {
  CGXGridWnd* g = MakeGrid(3, 2, 300, 200);
  auto s = Shot(*g);
  ASSERT_TRUE(s);
  if (const char* dir = std::getenv("BRIM_SHOT_DIR")) s->writePng(std::string(dir) + "/grid.png");
  // The vertical grid line at the left edge of column 1 (x = 50), in a body row.
  const COLORREF line = g->PropertyColor(0), background = g->PropertyColor(4);
  EXPECT_EQ(At(s, 50, 30), line);
  // The horizontal line at the top of row 2 (y = 40), inside column 1.
  EXPECT_EQ(At(s, 70, 40), line);
  // Inside a body cell: the window colour.
  EXPECT_EQ(At(s, 70, 30), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  // Beyond the last column (x >= 150) and the last row (y >= 80): the background colour.
  EXPECT_EQ(At(s, 200, 30), background);
  EXPECT_EQ(At(s, 100, 150), background);
  EXPECT_EQ(At(s, 150, 30), line);  // the closing line after the last column
}

// A grid that records the cells it enters.
class RecordingGrid : public CGXGridWnd {
 public:
  void OnCellChanged(ROWCOL row, ROWCOL col) override { entered.emplace_back(row, col); }
  std::vector<std::pair<ROWCOL, ROWCOL>> entered;
};

// A control that edits and asks for Enter and Escape while it does.
class GreedyControl : public CGXStatic {
 public:
  using CGXStatic::CGXStatic;
  void SetEditingState(BOOL b) override { editing = b; }
  BOOL GetEditingState() const override { return editing; }
  BOOL WantsReturnAndEscape() const override { return TRUE; }
  BOOL editing = FALSE;
};

TEST_F(WindowTest, CurrentCellFrameIsAnExactInversion) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto before = Shot(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  auto after = Shot(*g);
  const CRect cell = g->CalcCellRect(2, 2);
  ASSERT_EQ(cell, CRect(100, 40, 150, 60));
  int inverted = 0;
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x) {
      const bool band = y < cell.top + 3 || x < cell.left + 3 || y >= cell.bottom - 2 || x >= cell.right - 2;
      const COLORREF b = At(before, x, y), a = At(after, x, y);
      if (band) {
        EXPECT_EQ(a, b ^ 0xFFFFFF) << x << "," << y;
        ++inverted;
      } else {
        EXPECT_EQ(a, b) << x << "," << y;
      }
    }
  EXPECT_GT(inverted, 0);
  // Moving away restores the cell exactly.
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 1, GX_UPDATENOW));
  auto restored = Shot(*g);
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x) ASSERT_EQ(At(restored, x, y), At(before, x, y)) << x << "," << y;
}

TEST_F(WindowTest, SelectionIsInvertedAndBordersDrawnWithTheirWidth) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto before = Shot(*g);
  g->GetParam()->GetSelection().AddTail(new CGXRange(3, 1, 3, 1));
  CGXStyle style;
  style.SetBorder(GX_BORDER_RIGHT, CGXBorderPen(PS_SOLID, 3, RGB(255, 0, 0)));
  g->SetStyleRange(CGXRange(1, 3), style);
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  const CRect sel = g->CalcCellRect(3, 1);
  EXPECT_EQ(At(s, sel.left + 10, sel.top + 10), At(before, sel.left + 10, sel.top + 10) ^ 0xFFFFFF);
  const CRect b = g->CalcCellRect(1, 3);
  for (int x = b.right - 3; x < b.right; ++x) EXPECT_EQ(At(s, x, b.top + 10), RGB(255, 0, 0)) << x;
  EXPECT_NE(At(s, b.right - 4, b.top + 10), RGB(255, 0, 0));
}

TEST_F(WindowTest, ArrowKeysMoveTheCurrentCellAndNotify) {
  auto* g = MakeGrid<RecordingGrid>(5, 3, 300, 200);
  SetFocus(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_DOWN);
  in.KeyPress(VK_RIGHT);
  Pump();
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 2u);
  EXPECT_EQ(col, 2u);
  in.KeyPress(VK_TAB);
  in.KeyPress(VK_TAB);  // at the last column: stays
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 3u);
  in.KeyDown(VK_CONTROL);
  in.KeyPress(VK_END);
  in.KeyUp(VK_CONTROL);
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 5u);
  EXPECT_EQ(col, 3u);
  const std::vector<std::pair<ROWCOL, ROWCOL>> expected = {{1, 1}, {2, 1}, {2, 2}, {2, 3}, {5, 3}};
  EXPECT_EQ(g->entered, expected);
  // A disabled cell is never entered: Up from (5, 3) skips (4, 3).
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(4, 3), disabled);
  in.KeyPress(VK_UP);
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 3u);
}

TEST_F(WindowTest, ScrollingInvalidatesOnlyTheStripThatComesIntoView) {
  CGXGridWnd* g = MakeGrid(100, 3, 300, 200);  // 20-pixel rows: the header and 9 rows fill 200 pixels
  g->m_bNoUpdateAfterScroll = TRUE;
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 1));
  EXPECT_EQ(g->GetTopRow(), 2u);
  RECT r;
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(0, 180, 300, 200));
  Pump();
  ASSERT_TRUE(g->ScrollByCells(GX_UP, 1));
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(0, 20, 300, 41));  // the new row and the line at the old top row's edge
  Pump();
  // The picture after scrolling equals a fresh paint.
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 3));
  Pump();
  auto scrolled = Shot(*g);
  g->RedrawAll(GX_UPDATENOW);
  auto fresh = Shot(*g);
  long long differing = plat::CompareImages(*scrolled, *fresh, 0, "");
  EXPECT_EQ(differing, 0);
}

TEST_F(WindowTest, KeysWheelAndScrollBarScroll) {
  CGXGridWnd* g = MakeGrid(100, 3, 300, 200, WS_VSCROLL);
  SetFocus(*g);
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  auto& in = plat::InputRouter::Instance();
  for (int i = 0; i < 12; ++i) in.KeyPress(VK_DOWN);
  Pump();
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 13u);
  const ROWCOL top = g->GetTopRow();
  EXPECT_GT(top, 1u);
  EXPECT_LE(g->CalcCellRect(13, 1).bottom, 200);  // the current cell is in view
  in.Wheel(-WHEEL_DELTA, plat::InputRouter::ClientPoint(*g, 100, 100));
  Pump();
  EXPECT_EQ(g->GetTopRow(), top + 3);
  SendMessage(*g, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(g->GetTopRow(), top + 2);
  SendMessage(*g, WM_VSCROLL, SB_PAGEDOWN, 0);
  const ROWCOL paged = g->GetTopRow();
  SendMessage(*g, WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(g->GetTopRow(), top + 2);  // a page up undoes a page down of full rows
  EXPECT_GT(paged, top + 2);
  SendMessage(*g, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(g->GetTopRow(), 1u);
  SendMessage(*g, WM_VSCROLL, SB_PAGEUP, 0);  // at the first row: nothing
  EXPECT_EQ(g->GetTopRow(), 1u);
}

TEST_F(WindowTest, ThumbMapsToTheRightRowBeyond32767Rows) {
  CGXGridWnd* g = MakeGrid(100000, 3, 300, 200, WS_VSCROLL);
  const int scale = g->GetScrollScale(SB_VERT);
  ASSERT_GT(scale, 1);
  SetScrollPos(*g, SB_VERT, 20000, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20000 & 0xFFFF), 0);
  EXPECT_EQ(g->GetTopRow(), static_cast<ROWCOL>(20000 * scale));
  SendMessage(*g, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(g->CalcCellRect(100000, 1).bottom, 200);
}

TEST_F(WindowTest, ClickMakesACellCurrent) {
  auto* g = MakeGrid<RecordingGrid>(5, 3, 300, 200);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 125, 70));
  Pump();
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 3u);
  EXPECT_EQ(col, 2u);
  EXPECT_EQ(GetFocus(), g->m_hWnd);
  EXPECT_EQ(g->GetPressState(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowTest, InADialogEnterAndEscapeAreLeftToTheDialog) {
  gxtest::GridDialog dlg(5);
  ASSERT_TRUE(dlg.Create());
  ASSERT_NE(dlg.grid, nullptr);
  CGXGridWnd* g = dlg.grid;
  const UINT code = static_cast<UINT>(SendMessage(*g, WM_GETDLGCODE, 0, 0));
  EXPECT_EQ(code & (DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS),
            DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS);
  EXPECT_EQ(code & DLGC_WANTALLKEYS, 0u);
  SetFocus(*g);
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_TAB);  // the grid takes Tab: the current cell moves, the focus stays
  gxtest::DialogPump();
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 2u);
  EXPECT_EQ(GetFocus(), g->m_hWnd);
  in.KeyPress(VK_RETURN);
  in.KeyPress(VK_ESCAPE);
  gxtest::DialogPump();
  EXPECT_EQ(dlg.events, (std::vector<std::string>{"OK", "Cancel"}));
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 2u);  // Enter did not reach the grid
  // An editing control that asks for Enter and Escape gets them, and the dialog does not.
  auto* greedy = new GreedyControl(g);
  UseInEveryCell(g, greedy);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  greedy->editing = TRUE;
  EXPECT_NE(static_cast<UINT>(SendMessage(*g, WM_GETDLGCODE, 0, 0)) & DLGC_WANTALLKEYS, 0u);
  in.KeyPress(VK_RETURN);
  gxtest::DialogPump();
  EXPECT_EQ(dlg.events.size(), 2u);
  greedy->editing = FALSE;
  dlg.DestroyWindow();
}

TEST_F(WindowTest, QueryMessagesAnswerThroughTheClipboard) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  UseTestHideCells(g);
  UseWindowlessEditStandIn(g);
  g->HideCols(2, 2);
  g->SetCellValue(1, 1, "a", 0);
  g->SetCellValue(1, 3, "c", 0);
  EXPECT_EQ(SendMessage(*g, WM_USER + 1, 0, 0), 3);
  EXPECT_EQ(SendMessage(*g, WM_USER + 2, 0, 0), 4);
  EXPECT_EQ(SendMessage(*g, WM_USER + 3, 1, 0), 1);
  EXPECT_EQ(gxtest::ClipboardText(), "1;a;c");
  EXPECT_EQ(SendMessage(*g, WM_USER + 3, 9, 0), 0);  // past the last visible row: clipboard untouched
  EXPECT_EQ(gxtest::ClipboardText(), "1;a;c");
  EXPECT_EQ(SendMessage(*g, WM_USER + 4, 1, 1), 1);
  EXPECT_EQ(gxtest::ClipboardText(), "50;20;100;40");
  EXPECT_EQ(SendMessage(*g, WM_USER + 5, 1, 1), 0);
  EXPECT_EQ(gxtest::ClipboardText(), "CGXStatic");
  // A cell's answer says read-only (1) and disabled (2); a kind made from another is named with its bases.
  g->SetStyleRange(CGXRange(1, 3), CGXStyle().SetEnabled(FALSE).SetReadOnly(TRUE));
  EXPECT_EQ(SendMessage(*g, WM_USER + 5, 1, 2), 3);
  g->SetStyleRange(CGXRange(1, 3), CGXStyle().SetReadOnly(FALSE));
  EXPECT_EQ(SendMessage(*g, WM_USER + 5, 1, 2), 2);
  // A cell whose control takes no typed text says so (4): a header, a static text, whatever its kind is named.
  EXPECT_EQ(SendMessage(*g, WM_USER + 5, 0, 1), 4);
  EXPECT_EQ(gxtest::ClipboardText(), "CGXHeader;CGXStatic");
  g->SetStyleRange(CGXRange(1, 3), CGXStyle().SetEnabled(TRUE).SetControl(GX_IDS_CTRL_STATIC));
  EXPECT_EQ(SendMessage(*g, WM_USER + 5, 1, 2), 4);
  // A clipboard that cannot be opened is reported as a failure.
  plat::Clipboard::Instance().heldElsewhere = true;
  EXPECT_EQ(SendMessage(*g, WM_USER + 3, 1, 0), 0);
  EXPECT_EQ(SendMessage(*g, WM_USER + 5, 1, 1), -1);
  plat::Clipboard::Instance().heldElsewhere = false;
  // The private navigation and validation messages.
  EXPECT_EQ(SendMessage(*g, 0x07A3, 4, 2), 0);
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 2u);
  EXPECT_EQ(col, 1u);
  EXPECT_EQ(GetFocus(), g->m_hWnd);
  SendMessage(*g, 0x07A3, 2, 0);  // down
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 3u);
  EXPECT_EQ(SendMessage(*g, 0x0792, 0, 0), 0);  // nothing being edited: valid
  // A tab window may rename the sheet unless the parameter object says no; the rename notice is answered 0.
  EXPECT_EQ(SendMessage(*g, 0x0790, 0, 0), 1);
  g->GetParam()->m_dwRenameSheet = 0;
  EXPECT_EQ(SendMessage(*g, 0x0790, 0, 0), 0);
  EXPECT_EQ(SendMessage(*g, 0x0791, 3, 0), 0);
}

TEST_F(WindowTest, TheNavigationMessageNeverMakesAHeaderCellCurrent) {
  CGXGridWnd* g = MakeGrid(6, 3, 300, 200);
  g->MoveCurrentCellTo(3, 2, GX_UPDATENOW);
  ROWCOL row = 0, col = 0;
  auto current = [&] {
    row = col = 0;
    return g->QueryCurrentCell(&row, &col);
  };
  // Row 0 would be the header row: n = 0 and a negative n leave the current cell alone.
  SendMessage(*g, 0x07A3, 4, 0);
  ASSERT_TRUE(current());
  EXPECT_EQ(row, 3u);
  EXPECT_EQ(col, 2u);
  SendMessage(*g, 0x07A3, 4, static_cast<LPARAM>(-5));
  ASSERT_TRUE(current());
  EXPECT_EQ(row, 3u);
  // A row beyond the count is the last row; the first column right of the headers.
  SendMessage(*g, 0x07A3, 4, 0x7FFFFFFF);
  ASSERT_TRUE(current());
  EXPECT_EQ(row, 6u);
  EXPECT_EQ(col, 1u);
  // A grid without data rows, or without a column beside the headers, has no cell to go to.
  CGXGridWnd* empty = MakeGrid(0, 3, 300, 200);
  SendMessage(*empty, 0x07A3, 4, 1);
  EXPECT_FALSE(empty->QueryCurrentCell(&row, &col));
  CGXGridWnd* narrow = MakeGrid(4, 0, 300, 200);
  SendMessage(*narrow, 0x07A3, 4, 1);
  EXPECT_FALSE(narrow->QueryCurrentCell(&row, &col));
}

TEST_F(WindowTest, BufferedDrawingEqualsDirectDrawing) {
  CGXGridWnd* g = MakeGrid(20, 5, 300, 200);
  g->SetCellValue(2, 2, "text");
  g->GetParam()->GetSelection().AddTail(new CGXRange(3, 1, 4, 2));
  g->MoveCurrentCellTo(5, 3, GX_UPDATENOW);
  g->RedrawAll(GX_UPDATENOW);
  auto direct = Shot(*g);
  g->SetBufferedDrawing(1);
  g->RedrawAll(GX_UPDATENOW);
  auto buffered = Shot(*g);
  EXPECT_EQ(plat::CompareImages(*buffered, *direct, 0, ""), 0);
  // A partial repaint through the memory bitmap paints exactly the clip box.
  g->RedrawCell(2, 2, GX_UPDATENOW);
  auto partial = Shot(*g);
  EXPECT_EQ(plat::CompareImages(*partial, *direct, 0, ""), 0);
}

TEST_F(WindowTest, PageDownMovesTheCurrentCellByTheRowsScrolled) {
  CGXGridWnd* g = MakeGrid(100, 3, 300, 200);
  SetFocus(*g);
  g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
  plat::InputRouter::Instance().KeyPress(VK_NEXT);
  Pump();
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  const ROWCOL scrolled = g->GetTopRow() - 1;
  EXPECT_GT(scrolled, 0u);
  EXPECT_EQ(row, 3 + scrolled);
  for (int i = 0; i < 20; ++i) plat::InputRouter::Instance().KeyPress(VK_NEXT);
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 100u);  // never beyond the last row
}

TEST_F(WindowTest, DragStatesReachTheCurrentCellsControl) {
  CGXGridWnd* g = MakeGrid(10, 4, 300, 200);
  auto* tracer = new MouseStateRecorder<CGXStatic>(g);
  UseInEveryCell(g, tracer);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  auto& in = plat::InputRouter::Instance();
  const POINT press = plat::InputRouter::ClientPoint(*g, 75, 50);  // row 2, column 1
  in.MouseMove(press);
  in.ButtonDown(plat::MouseButton::Left, press);
  in.MouseMove(plat::InputRouter::ClientPoint(*g, 125, 50));  // away to column 2
  const POINT back = plat::InputRouter::ClientPoint(*g, 76, 50);
  in.MouseMove(back);
  in.ButtonUp(plat::MouseButton::Left, back);
  Pump();
  ASSERT_EQ(tracer->states.size(), 4u);
  EXPECT_EQ(tracer->states[0] & 0x0144, 0x0144);  // down, over the press cell, on the bound current cell
  EXPECT_EQ(tracer->states[1] & 0x0068, 0x0028);  // a move away, after being over the press cell
  EXPECT_EQ(tracer->states[2] & 0x0048, 0x0048);  // back over the press cell
  EXPECT_EQ(tracer->states[3] & 0x0050, 0x0050);  // released over the press cell
  EXPECT_EQ(GetCapture(), nullptr);
  // A second button during a press cancels it.
  in.ButtonDown(plat::MouseButton::Left, press);
  in.ButtonDown(plat::MouseButton::Right, press);
  Pump();
  EXPECT_EQ(g->GetPressState(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  in.ButtonUp(plat::MouseButton::Right, press);
  in.ButtonUp(plat::MouseButton::Left, press);
  Pump();
}

TEST_F(WindowTest, StructureChangesRepaintLikeAFreshPaint) {
  CGXGridWnd* g = MakeGrid(50, 4, 300, 200);
  for (ROWCOL r = 1; r <= 50; ++r) g->SetCellValue(r, 1, CString(static_cast<char>('A' + r % 26)), 0);
  g->SetTopRow(10, 0);
  g->RedrawAll(GX_UPDATENOW);
  // Rows inserted above the top row keep the same rows on screen.
  ASSERT_TRUE(g->InsertRows(2, 3, nullptr, nullptr, nullptr, 0, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 13u);
  auto check = [&](const char* what) {
    Pump();
    auto incremental = Shot(*g);
    g->RedrawAll(GX_UPDATENOW);
    auto fresh = Shot(*g);
    EXPECT_EQ(plat::CompareImages(*incremental, *fresh, 0, ""), 0) << what;
  };
  check("insert above");
  ASSERT_TRUE(g->InsertRows(15, 2, nullptr, nullptr, nullptr, 0, GX_UPDATENOW));
  check("insert among the shown rows");
  ASSERT_TRUE(g->RemoveRows(14, 16, GX_UPDATENOW));
  check("remove shown rows");
  ASSERT_TRUE(g->SetRowHeight(14, 14, 35, nullptr, GX_UPDATENOW));
  check("row height");
  ASSERT_TRUE(g->InsertCols(2, 1, nullptr, nullptr, nullptr, 0, GX_UPDATENOW));
  check("insert column");
  // Removing every row brings the top row back to 1.
  ASSERT_TRUE(g->SetRowCount(0, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 1u);
  check("no rows");
}

TEST_F(WindowTest, HoldingTheMouseBelowTheGridScrollsUntilReleased) {
  CGXGridWnd* g = MakeGrid(100000, 3, 300, 200);
  auto& in = plat::InputRouter::Instance();
  const POINT press = plat::InputRouter::ClientPoint(*g, 75, 50);
  in.MouseMove(press);
  in.ButtonDown(plat::MouseButton::Left, press);
  Pump();
  EXPECT_TRUE(g->IsAutoScrolling());
  const POINT below = plat::InputRouter::ClientPoint(*g, 75, 260);
  in.MouseMove(below);
  plat::AdvanceAndPump(3000);
  const ROWCOL top = g->GetTopRow();
  EXPECT_GT(top, 5u);
  // Held long enough, the delay reaches 0 and the steps grow.
  EXPECT_EQ(g->GetAutoScrollDelay(), 0);
  EXPECT_GT(g->GetAutoScrollFactor(), 1);
  in.ButtonUp(plat::MouseButton::Left, below);
  Pump();
  EXPECT_FALSE(g->IsAutoScrolling());
  plat::AdvanceAndPump(100);
  EXPECT_EQ(g->GetTopRow(), top);
  // Escape during a drag stops it as well.
  g->SetTopRow(1, 0);
  in.MouseMove(press);
  in.ButtonDown(plat::MouseButton::Left, press);
  Pump();
  ASSERT_TRUE(g->IsAutoScrolling());
  in.KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(g->IsAutoScrolling());
  EXPECT_EQ(GetCapture(), nullptr);
  in.ButtonUp(plat::MouseButton::Left, press);
  Pump();
}

TEST_F(WindowTest, CellByCellDrawingPaintsBlocksOnceAndLooksTheSame) {
  CGXGridWnd* g = MakeGrid(8, 5, 300, 200);
  CGXStyle tinted;
  tinted.SetInteriorColor(RGB(250, 230, 200));
  g->SetStyleRange(CGXRange(2, 2, 3, 3), tinted);  // a 2 x 2 block
  g->SetStyleRange(CGXRange(6, 1), tinted);        // a single cell
  g->SetCellValue(2, 2, "x");
  g->RedrawAll(GX_UPDATENOW);
  auto normal = Shot(*g);
  g->InstallOldDrawingImp();
  auto imp = [&] { return static_cast<CGXGridOldDrawingImp*>(g->GetOldDrawingImp()); };
  g->m_bOldDrawing = TRUE;
  g->RedrawAll(GX_UPDATENOW);
  auto cellByCell = Shot(*g);
  // The cells look the same; the area below the grid is the standard interior there (the cell-by-cell
  // drawing paints no "Background" colour and no closing line).
  const CRect cells = g->CalcRangeRect(0, 0, 8, 5);
  long long differing = 0;
  for (int y = cells.top; y < cells.bottom; ++y)
    for (int x = cells.left; x < cells.right; ++x) differing += At(cellByCell, x, y) != At(normal, x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(At(cellByCell, 100, cells.bottom + 5), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  EXPECT_TRUE(imp()->m_bLastClippedRows);
  // The standard fill, the header row, the header column and one fill for the 2 x 2 block; the single
  // tinted cell paints its own background.
  EXPECT_EQ(imp()->m_nLastFills, 4);
}

TEST_F(WindowTest, EqualInteriorsShareOneCachedBrushMadeAgainAfterARelease) {
  CGXGridWnd* g = MakeGrid(8, 5, 300, 200);
  CGXStyle tinted;
  tinted.SetInteriorPattern(3);  // a patterned interior goes through the brush cache
  g->SetStyleRange(CGXRange(2, 2), tinted);
  g->SetStyleRange(CGXRange(4, 4), tinted);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(g->CachedBrushCount(), 1u);  // two cells, one brush
  g->FreeDrawingCaches();
  EXPECT_EQ(g->CachedBrushCount(), 0u);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(g->CachedBrushCount(), 1u);
}

TEST_F(WindowTest, ZoomedFontsAndRepeatedFontSelection) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  g->SetZoom(150, 0);
  HDC hdc = GetDC(*g);
  CDC dc;
  dc.Attach(hdc);
  CGXFont ten;
  ten.SetFaceName("Arial").SetPointSize(10);
  CGXStyle a, b;
  a.SetFont(ten);
  b.SetFont(ten);
  CFont* old = g->SelectStyleFont(&dc, a);
  ASSERT_NE(old, nullptr);
  LOGFONT lf{};
  GetObject(GetCurrentObject(hdc, OBJ_FONT), sizeof lf, &lf);
  LOGFONT expected{};
  CGXFont fifteen(ten);
  fifteen.SetPointSize(15);
  fifteen.GetLogFontZoomed(expected, 100);
  EXPECT_EQ(lf.lfHeight, expected.lfHeight);
  EXPECT_EQ(g->SelectStyleFont(&dc, b, &a), nullptr);  // the same font: nothing changes
  CGXFont huge(ten);
  huge.SetPointSize(300);  // 300 * 1.5 points would exceed 1023 quarter points
  CGXStyle c;
  c.SetFont(huge);
  g->SelectStyleFont(&dc, c, &a);
  GetObject(GetCurrentObject(hdc, OBJ_FONT), sizeof lf, &lf);
  CGXFont capped(ten);
  capped.SetPointSize(1023 / 4.0);
  capped.GetLogFontZoomed(expected, 100);
  EXPECT_EQ(lf.lfHeight, expected.lfHeight);
  dc.SelectObject(old);
  dc.Detach();
  ReleaseDC(*g, hdc);
}

class EditingTest : public EngineTest {
 protected:
  CGXGridWnd* MakeEditingGrid() {
    CGXGridWnd* g = MakeGrid(6, 4, 300, 200);
    control = new EditingControl(g);
    UseInEveryCell(g, control);
    g->SetCellValue(2, 2, "old");
    SetFocus(*g);
    g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
    return g;
  }
  EditingControl* control = nullptr;
};

TEST_F(EditingTest, EnterStoresAndMovesEscapeRestores) {
  CGXGridWnd* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("new");
  Pump();
  EXPECT_TRUE(control->GetEditingState());
  plat::InputRouter::Instance().KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(g->GetCellValue(2, 2), CString("new"));
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 3u);  // the default Enter direction: right
  // Escape on an editing cell brings the stored value back and tells the grid.
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  plat::InputRouter::Instance().TypeText("zz");
  plat::InputRouter::Instance().KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(control->text, CString("new"));
  EXPECT_EQ(control->cancels, 1);
  EXPECT_EQ(g->GetCellValue(2, 2), CString("new"));
  // With the Enter direction 0, Enter only commits.
  g->GetParam()->m_wEnterKeyAction = 0;
  plat::InputRouter::Instance().TypeText("v");
  plat::InputRouter::Instance().KeyPress(VK_RETURN);
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 2u);
  EXPECT_EQ(g->GetCellValue(2, 2), CString("v"));
}

TEST_F(EditingTest, RefusedValidationOrStoreKeepsTheCell) {
  CGXGridWnd* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("bad");
  Pump();
  control->accept = FALSE;
  EXPECT_FALSE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 2u);
  EXPECT_EQ(g->GetCellValue(2, 2), CString("old"));
  // A store that fails puts the user's text back into the editor, which stays modified and editing.
  control->accept = TRUE;
  control->storeAnswer = FALSE;
  EXPECT_FALSE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 2u);
  EXPECT_EQ(control->text, CString("bad"));
  EXPECT_TRUE(control->GetModifiedState());
  EXPECT_TRUE(control->GetEditingState());
  control->storeAnswer = TRUE;
  EXPECT_TRUE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  EXPECT_EQ(g->GetCellValue(2, 2), CString("bad"));
  // A disabled cell is refused; the old cell stays current.
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(5, 2), disabled);
  EXPECT_FALSE(g->MoveCurrentCellTo(5, 2, GX_UPDATENOW));
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 3u);
}

TEST_F(EditingTest, F2DoesNotEditAReadOnlyCell) {
  CGXGridWnd* g = MakeEditingGrid();
  CGXStyle ro;
  ro.SetReadOnly(TRUE);
  g->SetStyleRange(CGXRange(3, 3), ro);
  g->MoveCurrentCellTo(3, 3, GX_UPDATENOW);
  plat::InputRouter::Instance().KeyPress(VK_F2);
  Pump();
  EXPECT_FALSE(control->GetEditingState());
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  plat::InputRouter::Instance().KeyPress(VK_F2);
  Pump();
  EXPECT_TRUE(control->GetEditingState());
  plat::InputRouter::Instance().KeyPress(VK_F2);  // again: stores and keeps the cell
  Pump();
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 2u);
  EXPECT_EQ(col, 2u);
}

TEST_F(WindowTest, HorizontalScrollKeepsFrozenColumnsAndInvalidatesTheNewStrip) {
  CGXGridWnd* g = MakeGrid(10, 30, 300, 200);
  g->SetFrozenCols(1, 0, 0);
  g->RedrawAll(GX_UPDATENOW);  // the frozen boundary's line is painted before the scroll
  g->m_bNoUpdateAfterScroll = TRUE;
  ASSERT_TRUE(g->ScrollByCells(GX_RIGHT, 1));
  EXPECT_EQ(g->GetLeftCol(), 3u);
  EXPECT_EQ(g->CalcCellRect(1, 1), CRect(50, 20, 100, 40));   // the frozen column stays
  EXPECT_EQ(g->CalcCellRect(1, 3), CRect(100, 20, 150, 40));  // the scrolled part moved
  RECT r;
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(250, 0, 300, 200));
  Pump();
  auto scrolled = Shot(*g);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(plat::CompareImages(*scrolled, *Shot(*g), 0, ""), 0);
}

TEST_F(WindowTest, ClientEdgeFrameIsDrawnAroundTheGrid) {
  HWND parent = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               AfxGetInstanceHandle(), nullptr);
  CGXGridWnd* g = MakeGrid(5, 3, 200, 150, 0, parent);
  g->m_bDraw3dFrame = TRUE;
  g->SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessage(*g, WM_NCPAINT, 1, 0);
  auto s = plat::Desktop::Capture(parent);
  ASSERT_TRUE(s);
  // The sunken edge: shadow at the top-left, two pixels outside the window.
  EXPECT_EQ(At(s, 30, 18), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
  grid.reset();
  DestroyWindow(parent);
}

// A grid that records the clip box of every paint.
class PaintRecordingGrid : public CGXGridWnd {
 public:
  void DrawGrid(CDC* dc) override {
    CRect clip;
    dc->GetClipBox(&clip);
    clips.push_back(clip);
    CGXGridWnd::DrawGrid(dc);
  }
  std::vector<CRect> clips;
};

TEST_F(WindowTest, GrowingTheWindowRepaintsOnlyTheUncoveredStrips) {
  HWND parent = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                               nullptr);
  auto* g = MakeGrid<PaintRecordingGrid>(30, 10, 225, 150, 0, parent);
  // The remembered size is the client size less the scroll bars: its right edge cuts column 4 (200..250),
  // its bottom edge row 6 (120..140).
  ASSERT_LT(225 - GetSystemMetrics(SM_CXVSCROLL), 250);
  ASSERT_GT(225 - GetSystemMetrics(SM_CXVSCROLL), 200);
  ASSERT_LT(150 - GetSystemMetrics(SM_CYHSCROLL), 140);
  ASSERT_GT(150 - GetSystemMetrics(SM_CYHSCROLL), 120);
  g->clips.clear();
  g->SetWindowPos(nullptr, 0, 0, 325, 170, SWP_NOMOVE | SWP_NOZORDER);
  // Both strips are painted at once, and nothing else is left to paint.
  RECT pending;
  EXPECT_FALSE(GetUpdateRect(*g, &pending, FALSE));
  EXPECT_EQ(g->clips, (std::vector<CRect>{CRect(200, 0, 325, 120), CRect(0, 120, 325, 170)}));
  auto grown = Shot(*g);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(plat::CompareImages(*grown, *Shot(*g), 0, ""), 0);
  // Without the smart-resize switch the whole grid is painted again.
  g->GetParam()->m_bSmartResize = FALSE;
  g->clips.clear();
  g->SetWindowPos(nullptr, 0, 0, 300, 160, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ASSERT_EQ(g->clips.size(), 1u);
  EXPECT_EQ(g->clips[0], CRect(0, 0, 300, 160));
  grid.reset();
  DestroyWindow(parent);
}

// A grid that records the hints it would send to other views; BindToDocument stands for a document view.
class HintingGrid : public CGXGridWnd {
 public:
  void NotifyOtherViews(CGXGridHint* hint) override { sent.push_back(hint->m_id); }
  void BindToDocument() { m_pDocument = &doc; }
  CDocument doc;
  std::vector<DWORD> sent;
};

TEST_F(WindowTest, HintsAreSentOnlyByDocumentViewsAndExecutedByGroup) {
  auto* g = MakeGrid<HintingGrid>(10, 3, 300, 200);
  g->InstallUpdateHintImp();
  g->m_bHintSwitch = TRUE;
  g->InsertRows(2, 1, nullptr, nullptr, nullptr, 0, GX_INVALIDATE);
  CGXStyle s;
  s.SetValue("x");
  g->SetStyleRange(CGXRange(3, 1), s);
  EXPECT_TRUE(g->sent.empty());  // a dialog grid has no document: nothing is sent
  g->BindToDocument();
  g->InsertRows(2, 1, nullptr, nullptr, nullptr, 0, GX_INVALIDATE);
  ASSERT_FALSE(g->sent.empty());
  EXPECT_EQ(g->sent.front(), static_cast<DWORD>(gxHintInsertRows));
  // Receiving: a hint of another group is ignored; one for every group is executed.
  g->SetTopRow(5, 0);
  CGXGridHint other(gxHintInsertRows, 7);
  other.m_row1 = 1;
  other.m_row2 = 2;
  other.m_flags = 0;
  const ROWCOL top = g->GetTopRow();
  g->ProcessHint(&other);
  EXPECT_EQ(g->GetTopRow(), top);
  CGXGridHint any(gxHintInsertRows);
  any.m_row1 = 1;
  any.m_row2 = 2;
  any.m_flags = GX_INVALIDATE;
  const size_t before = g->sent.size();
  g->ProcessHint(&any);
  EXPECT_EQ(g->GetTopRow(), top + 2);  // rows inserted above the top row keep the shown rows
  EXPECT_EQ(g->sent.size(), before);   // executing a hint builds no further hint
  CGXGridHint unknown(99);
  g->ProcessHint(&unknown);  // ignored
}

TEST_F(WindowTest, UpAcrossTheFrozenSeamKeepsTheCurrentCellVisible) {
  CGXGridWnd* g = MakeGrid(50, 3, 300, 200);
  g->SetFrozenRows(2, 0, 0);
  SetFocus(*g);
  g->SetTopRow(10, 0);
  ASSERT_TRUE(g->MoveCurrentCellTo(10, 1, GX_UPDATENOW));
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_UP);
  Pump();
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 9u);
  EXPECT_EQ(g->GetTopRow(), 9u);  // scrolled back so that row 9 shows below the frozen rows
  g->SetTopRow(3, 0);
  g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
  in.KeyPress(VK_UP);
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 2u);  // into the frozen rows; nothing scrolls
  EXPECT_EQ(g->GetTopRow(), 3u);
  in.KeyPress(VK_UP);
  in.KeyPress(VK_UP);  // never into the header row
  Pump();
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 1u);
}

// Only the changed cells and the cells after them in their rows repaint; the rest keeps what the screen
// shows, with buffered drawing too (the memory bitmap's undrawn parts never reach the screen).
TEST_F(WindowTest, ChangedCellsModeRepaintsFromTheFirstChangedCellOfEachRow) {
  for (int buffered : {0, 1}) {
    MarkedData* data = nullptr;
    CGXGridWnd* g = MakeMarkedGrid(5, 4, &data);
    g->SetBufferedDrawing(buffered);
    CGXStyle red, blue;
    red.SetInteriorColor(RGB(255, 0, 0));
    blue.SetInteriorColor(RGB(0, 0, 255));
    for (auto [r, c] : {std::pair<ROWCOL, ROWCOL>{2, 1}, {2, 2}, {2, 3}, {3, 2}})
      g->SetStyleRange(CGXRange(r, c), red);
    g->RedrawAll(GX_UPDATENOW);
    Shot(*g);
    // Restyle without repainting; only (2, 2) is marked as changed.
    for (auto [r, c] : {std::pair<ROWCOL, ROWCOL>{2, 1}, {2, 2}, {2, 3}, {3, 2}})
      g->ApplyStyleToRange(CGXRange(r, c), &blue, gxOverride, 0, nullptr, 0);
    data->changed = {{2, 2}};
    ASSERT_TRUE(g->RedrawChangedCells());
    auto s = Shot(*g);
    auto centre = [&](ROWCOL r, ROWCOL c) {
      return At(s, g->CalcCellRect(r, c).CenterPoint().x, g->CalcCellRect(r, c).CenterPoint().y);
    };
    EXPECT_EQ(centre(2, 1), RGB(255, 0, 0)) << "before the first changed cell, buffered " << buffered;
    EXPECT_EQ(centre(2, 2), RGB(0, 0, 255)) << buffered;
    EXPECT_EQ(centre(2, 3), RGB(0, 0, 255)) << "after the first changed cell, buffered " << buffered;
    EXPECT_EQ(centre(3, 2), RGB(255, 0, 0)) << "a row without changes, buffered " << buffered;
    EXPECT_TRUE(data->changed.empty());  // the drawn cell's mark is cleared
    EXPECT_FALSE(g->IsChangedCellsMode());
    // A normal paint draws everything again.
    g->RedrawAll(GX_UPDATENOW);
    s = Shot(*g);
    EXPECT_EQ(centre(2, 1), RGB(0, 0, 255));
    grid.reset();
  }
}

// Cells listed as pending on the parameter object lose their marks after a changed-cells repaint, drawn or
// not (one lies far below the window), and the list is emptied.
TEST_F(WindowTest, ChangedCellsRepaintEmptiesThePendingList) {
  MarkedData* data = nullptr;
  CGXGridWnd* g = MakeMarkedGrid(100, 4, &data);
  data->changed = {{2, 2}, {90, 3}};
  CGXRangeList& pending = g->GetParam()->GetPendingChangedCells();
  pending.AddTail(new CGXRange(2, 2));
  pending.AddTail(new CGXRange(90, 3));
  ASSERT_TRUE(g->RedrawChangedCells());
  EXPECT_TRUE(pending.IsEmpty());
  EXPECT_TRUE(data->changed.empty());
  // A later repaint finds nothing left to clear: a new mark on a listed-before cell stays.
  data->changed = {{90, 3}};
  ASSERT_TRUE(g->RedrawChangedCells());
  EXPECT_EQ(data->changed.size(), 1u);
  grid.reset();
}

// A static control that can take over the colour and activation notifications.
struct AnsweringStatic : CGXStatic {
  using CGXStatic::CGXStatic;
  BOOL OnGridMessageExtra(CDC*, CWnd*, UINT kind) override {
    kinds.push_back(kind);
    return handles;
  }
  BOOL OnMouseActivate(CWnd*, UINT, UINT, LRESULT* result) override {
    if (!activation) return FALSE;
    *result = activation;
    return TRUE;
  }
  BOOL handles = FALSE;
  LRESULT activation = 0;
  std::vector<UINT> kinds;
};

TEST_F(WindowTest, CtlColorGivesTheCurrentCellsColoursUnlessItsControlHandlesThem) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto* control = new AnsweringStatic(g);
  g->AddCellControl(GX_IDS_CTRL_STATIC, control, TRUE);
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_STATIC).SetTextColor(RGB(200, 0, 0)).SetInteriorColor(RGB(255, 255, 0));
  g->SetStyleRange(CGXRange(2, 2), style);
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  dc.SetTextColor(RGB(1, 2, 3));
  dc.SetBkColor(RGB(4, 5, 6));
  auto send = [&] { return SendMessage(*g, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.m_hDC), 0); };
  // No current cell: the default handling answers.
  const LRESULT standard = send();
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  LRESULT brush = send();
  EXPECT_NE(brush, 0);
  EXPECT_NE(brush, standard);
  EXPECT_EQ(dc.GetTextColor(), RGB(200, 0, 0));
  EXPECT_EQ(dc.GetBkColor(), RGB(255, 255, 0));
  ASSERT_FALSE(control->kinds.empty());
  EXPECT_EQ(control->kinds.back(), 1u);  // CTLCOLOR_EDIT
  // A control that answers "handled" keeps its own colours; the grid still answers the interior brush.
  control->handles = TRUE;
  dc.SetTextColor(RGB(1, 2, 3));
  EXPECT_EQ(send(), brush);
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
}

TEST_F(WindowTest, MouseActivateAsksTheCurrentCellsControl) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto* control = new AnsweringStatic(g);
  g->AddCellControl(GX_IDS_CTRL_STATIC, control, TRUE);
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_STATIC);
  g->SetStyleRange(CGXRange(1, 1), style);
  const LPARAM lp = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
  const LRESULT plain = SendMessage(*g, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(g->m_hWnd), lp);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  EXPECT_EQ(SendMessage(*g, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(g->m_hWnd), lp), plain);  // no answer
  control->activation = MA_NOACTIVATE;
  EXPECT_EQ(SendMessage(*g, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(g->m_hWnd), lp), MA_NOACTIVATE);
}

// While printing, the grid's devices map one display pixel to the device's own resolution; on screen the
// mapping is left alone.
TEST_F(WindowTest, PrepareDCMapsDisplayPixelsOntoThePrinterWhilePrinting) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  DEVMODEA mode = Printer300Mode();
  CDC printer;
  ASSERT_TRUE(printer.CreateIC("WINSPOOL", "PDF", nullptr, &mode));
  ASSERT_EQ(printer.GetDeviceCaps(LOGPIXELSX), 300);
  g->PrepareDC(&printer);
  EXPECT_EQ(printer.GetMapMode(), MM_TEXT);
  g->SetPrinting(TRUE, TRUE);
  g->PrepareDC(&printer);
  g->SetPrinting(FALSE);
  EXPECT_EQ(printer.GetMapMode(), MM_ANISOTROPIC);
  POINT inch{CGXFontRegistry::Instance().GetLogPixelsX(), CGXFontRegistry::Instance().GetLogPixelsY()};
  printer.LPtoDP(&inch);
  EXPECT_EQ(inch.x, 300);
  EXPECT_EQ(inch.y, 300);
}

}  // namespace
}  // namespace enginetest
