// Engine tests: drawing. Pixel checks on the headless desktop (rows 20 pixels, columns 50, headers too:
// cell (r, c) covers x 50c..50c+49, y 20r..20r+19), the drawing caches, the features drawing reaches, and
// a reference screenshot of the line and border forms.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/CGXData.h"
#include "grid/core/CGXDrawRotatedTextImp.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/tests/enginetest.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/Surface.h"
#include "platform/framework/CPrintInfo.h"

namespace enginetest {
namespace {

using DrawTest = EngineTest;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kTint = RGB(250, 230, 200);

// A static cell that records what the grid asks of it.
struct RecordingStatic : CGXStatic {
  using CGXStatic::CGXStatic;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override {
    ownBackground[{row, col}] = m_pGrid->m_bNeedsOwnBackground;
    CGXStatic::DrawCell(dc, rect, row, col, style, standard);
  }
  void DrawCurrentCellFrame(CDC*, const CRect& inner) override { frames.push_back(inner); }
  std::map<std::pair<ROWCOL, ROWCOL>, BOOL> ownBackground;
  std::vector<CRect> frames;
};

constexpr WORD kRecordingId = 9000;

RecordingStatic* InstallRecording(CGXGridWnd* g) {
  auto* control = new RecordingStatic(g);
  g->AddCellControl(kRecordingId, control);
  CGXStyle style;
  style.SetControl(kRecordingId);
  g->SetStyleRange(CGXRange().AssignTable(), style);
  return control;
}

TEST_F(DrawTest, GridLinesAtTheRightAndBottomEdgesAndTheFrameThatMatchesThem) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  const COLORREF line = g->PropertyColor(0), window = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
  g->GetParam()->m_nGridLinePosition = 1;
  g->RedrawAll(GX_UPDATENOW);
  auto before = Shot(*g);
  const CRect cell = g->CalcCellRect(2, 2);
  EXPECT_EQ(At(before, cell.right - 1, cell.top + 10), line);
  EXPECT_EQ(At(before, cell.left + 10, cell.bottom - 1), line);
  EXPECT_EQ(At(before, cell.left, cell.top + 10), window);
  EXPECT_EQ(At(before, cell.left + 10, cell.top), window);
  // No closing line after the last column: its cells carry their right edges.
  EXPECT_EQ(At(before, g->CalcCellRect(1, 3).right, 30), g->PropertyColor(4));
  // The current cell's frame: 2 pixels at the top and left, 3 at the right and bottom, an exact inversion.
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  auto after = Shot(*g);
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x) {
      const bool band = y < cell.top + 2 || x < cell.left + 2 || y >= cell.bottom - 3 || x >= cell.right - 3;
      ASSERT_EQ(At(after, x, y), band ? At(before, x, y) ^ 0xFFFFFF : At(before, x, y)) << x << "," << y;
    }
  // The inner rectangle loses the grid-line pixel on the right and bottom; sizes grow there.
  CGXStyle plain;
  CRect inner;
  g->SubtractBorders(&inner, cell, plain, TRUE);
  EXPECT_EQ(inner, CRect(cell.left, cell.top, cell.right - 1, cell.bottom - 1));
  CSize grown;
  g->AddBorders(&grown, 10, 10, plain);
  EXPECT_EQ(grown, CSize(11, 11));
  // The moving line of a resize sits on the last pixel row of the row before the boundary.
  CRect tracking;
  g->CalcTrackingLineRect(&tracking, 2, 2);
  EXPECT_EQ(tracking.top, 39);
  g->GetParam()->m_nGridLinePosition = 0;
  g->CalcTrackingLineRect(&tracking, 2, 2);
  EXPECT_EQ(tracking.top, 40);
  EXPECT_EQ(tracking.Width(), 4 * 50 + 1);  // every shown column and the closing line
}

TEST_F(DrawTest, FrozenBoundaryTakesTheFixedLinesColour) {
  CGXGridWnd* g = MakeGrid(8, 6, 400, 200);
  g->SetFrozenCols(2, 1, 0);
  g->SetFrozenRows(1, 0, 0);
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  const COLORREF fixed = g->PropertyColor(1), line = g->PropertyColor(0);
  ASSERT_NE(fixed, line);
  // The last frozen column beyond the header column: its right edge in "Fixed Lines", the next column's
  // own grid line beside it.
  const CRect frozen = g->CalcCellRect(3, 2);
  EXPECT_EQ(At(s, frozen.right - 1, frozen.top + 10), fixed);
  EXPECT_EQ(At(s, frozen.right, frozen.top + 10), line);
  // Column 1 is a header column: no fixed line there.
  EXPECT_NE(At(s, g->CalcCellRect(3, 1).right - 1, frozen.top + 10), fixed);
  // The last frozen row (no header rows).
  const CRect row1 = g->CalcCellRect(1, 4);
  EXPECT_EQ(At(s, row1.left + 20, row1.bottom - 1), fixed);
}

TEST_F(DrawTest, DashedBordersArePatternBandsOnTheInteriorAndBlackOnWhiteInBlackAndWhitePrint) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  CGXStyle dotted;
  dotted.SetInteriorColor(kTint).SetBorder(GX_BORDER_TOP, CGXBorderPen(PS_DOT, 1, kBlue));
  g->SetStyleRange(CGXRange(2, 2), dotted);
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  const CRect cell = g->CalcCellRect(2, 2);
  int blue = 0, tint = 0;
  // From the second pixel: the cell's left grid line crosses the first.
  for (int x = cell.left + 1; x < cell.right; ++x) {
    const COLORREF c = At(s, x, cell.top);
    blue += c == kBlue;
    tint += c == kTint;
    ASSERT_TRUE(c == kBlue || c == kTint) << x << " " << std::hex << c;
  }
  EXPECT_EQ(blue, 24);  // every other pixel
  EXPECT_EQ(tint, 25);
  // Printed black and white: black on white.
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  HDC screen = GetDC(*g);
  ASSERT_TRUE(bmp.CreateBitmap(40, 10, 1, 32, nullptr));
  ReleaseDC(*g, screen);
  CBitmap* old = mem.SelectObject(&bmp);
  mem.FillSolidRect(0, 0, 40, 10, RGB(0, 200, 0));
  g->GetProperties()->m_bBlackWhite = TRUE;
  g->SetPrinting(TRUE);
  const CGXInteriorBrush interior(kTint);
  g->DrawBorderLine(CGXBorderPen(PS_DOT, 1, kBlue), CRect(0, 0, 40, 10), GX_BORDER_TOP, &mem, &interior);
  g->SetPrinting(FALSE);
  for (int x = 0; x < 40; ++x) {
    const COLORREF c = mem.GetPixel(x, 0) & 0xFFFFFF;
    ASSERT_TRUE(c == RGB(0, 0, 0) || c == RGB(255, 255, 255)) << x;
  }
  EXPECT_EQ(mem.GetPixel(5, 1) & 0xFFFFFF, RGB(0, 200, 0));  // one pixel band
  mem.SelectObject(old);
}

TEST_F(DrawTest, WideBordersFillTheirWidthAndShrinkTheInnerRectangle) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  CGXStyle style;
  style.SetBorder(GX_BORDER_RIGHT, CGXBorderPen(PS_SOLID, 3, kRed))
      .SetBorder(GX_BORDER_LEFT, CGXBorderPen(PS_NULL, 1, kRed));
  g->SetStyleRange(CGXRange(2, 2, 3, 2), style);
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  const CRect cell = g->CalcCellRect(2, 2);
  for (int y = cell.top; y < g->CalcCellRect(3, 2).bottom; ++y) {
    for (int x = cell.right - 3; x < cell.right; ++x) ASSERT_EQ(At(s, x, y), kRed) << x << "," << y;
    ASSERT_NE(At(s, cell.right - 4, y), kRed) << y;
  }
  // A PS_NULL left border draws nothing and replaces the grid line there.
  EXPECT_EQ(At(s, cell.left, cell.top + 10), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  CRect inner;
  g->SubtractBorders(&inner, cell, *g->GetCachedCellStyle(2, 2), TRUE);
  EXPECT_EQ(inner, CRect(cell.left, cell.top + 1, cell.right - 3, cell.bottom));
  CSize size;
  g->AddBorders(&size, 10, 10, *g->GetCachedCellStyle(2, 2));
  EXPECT_EQ(size, CSize(10 + 1 + 3, 11));  // PS_NULL counts as no border: the grid line's pixel
}

// A border line is asked for by the style's own side numbers.
TEST_F(DrawTest, BorderLinesTakeTheStylesSideNumbers) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateBitmap(40, 20, 1, 32, nullptr));
  CBitmap* old = mem.SelectObject(&bmp);
  const CRect r(0, 0, 40, 20);
  const struct {
    int side;
    CPoint inside, outside;
  } cases[] = {{GX_BORDER_TOP, {20, 1}, {20, 2}},
               {GX_BORDER_LEFT, {1, 10}, {2, 10}},
               {GX_BORDER_BOTTOM, {20, 18}, {20, 17}},
               {GX_BORDER_RIGHT, {38, 10}, {37, 10}}};
  for (const auto& c : cases) {
    mem.FillSolidRect(&r, RGB(255, 255, 255));
    g->DrawBorderLine(CGXBorderPen(PS_SOLID, 2, kRed), r, c.side, &mem);
    EXPECT_EQ(mem.GetPixel(c.inside) & 0xFFFFFF, kRed) << c.side;
    EXPECT_EQ(mem.GetPixel(c.outside) & 0xFFFFFF, RGB(255, 255, 255)) << c.side;
  }
  mem.SelectObject(old);
}

// A grid that counts the styles it composes for rows 3 to 1000.
struct ComposeCounter : CGXGridWnd {
  void ComposeCellStyle(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard) override {
    if (row >= 3 && row <= 1000) ++composed;
    CGXGridWnd::ComposeCellStyle(row, col, style, withStandard);
  }
  int composed = 0;
};

// Hidden rows in view are skipped before anything is composed for them: no style, no control call, no
// flags; the rows after them paint as if the hidden ones were not there.
TEST_F(DrawTest, HiddenRowsInViewComposeNothingAndCallNoControl) {
  auto* g = MakeGrid<ComposeCounter>(2000, 3, 300, 200);
  RecordingStatic* control = InstallRecording(g);
  g->GetParam()->m_nPreloadStyles = 1;
  UseTestHideCells(g);
  g->HideRows(3, 1000, TRUE, 0);
  g->composed = 0;
  g->RedrawAll(GX_UPDATENOW);
  Pump();
  EXPECT_EQ(g->composed, 0);
  EXPECT_EQ(control->ownBackground.count({3, 1}), 0u);
  EXPECT_EQ(control->ownBackground.count({1000, 3}), 0u);
  EXPECT_EQ(control->ownBackground.count({1001, 1}), 1u);
  EXPECT_EQ(g->CalcCellRect(1001, 1).top, g->CalcCellRect(2, 1).bottom);
}

TEST_F(DrawTest, RunsOfEqualInteriorsAreFilledByTheGridSingleCellsByTheirControl) {
  CGXGridWnd* g = MakeGrid(5, 4, 300, 200);
  RecordingStatic* control = InstallRecording(g);
  CGXStyle tinted;
  tinted.SetInteriorColor(kTint);
  g->SetStyleRange(CGXRange(2, 2, 2, 3), tinted);  // a run of two
  g->SetStyleRange(CGXRange(4, 1), tinted);        // a single cell between standard ones
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  EXPECT_FALSE(control->ownBackground.at({2, 2}));
  EXPECT_FALSE(control->ownBackground.at({2, 3}));
  EXPECT_TRUE(control->ownBackground.at({4, 1}));
  EXPECT_TRUE(control->ownBackground.at({2, 4}));  // a standard cell after the run is a run of its own
  EXPECT_FALSE(control->ownBackground.at({3, 1}));  // row 3: all four cells one standard run
  EXPECT_EQ(At(s, g->CalcCellRect(2, 3).CenterPoint().x, 50), kTint);
  EXPECT_EQ(At(s, g->CalcCellRect(4, 1).CenterPoint().x, 90), kTint);
}

TEST_F(DrawTest, TheCurrentCellsControlDrawsItsFrameOncePerBlockInTheInnerRectangle) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  RecordingStatic* control = InstallRecording(g);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  // While the grid inverts its own frame around the current cell, the control draws none.
  control->frames.clear();
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_TRUE(control->frames.empty());
  g->GetParam()->m_bCurrentCellFrame = FALSE;
  g->RedrawAll(GX_UPDATENOW);
  ASSERT_EQ(control->frames.size(), 1u);
  const CRect cell = g->CalcCellRect(2, 2);
  EXPECT_EQ(control->frames[0], CRect(cell.left + 1, cell.top + 1, cell.right, cell.bottom));
  // A paint that does not cover the current cell asks for no frame.
  control->frames.clear();
  g->RedrawCell(4, 1, GX_UPDATENOW);
  EXPECT_TRUE(control->frames.empty());
}

TEST_F(DrawTest, SelectionInversionCanBeSwitchedOffAndHeadersAreNeverInverted) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto plain = Shot(*g);
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(2, 2)));
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  EXPECT_EQ(At(s, 70, 50), At(plain, 70, 50) ^ 0xFFFFFF);
  EXPECT_EQ(At(s, 25, 50), At(plain, 25, 50));  // the row header
  g->GetParam()->m_bInvertSelection = FALSE;
  g->RedrawAll(GX_UPDATENOW);
  s = Shot(*g);
  EXPECT_EQ(At(s, 70, 50), At(plain, 70, 50));
}

// The invert-current-cell-too switch inverts the current cell whole when it lies in the selection, as the rest of a
// selected row; an unselected current cell keeps its frame whatever the switch says.
TEST_F(DrawTest, InvertCurrentCellTooInvertsASelectedCurrentCellWholeAndFramesAnUnselectedOne) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  g->GetParam()->m_bInvertCurrentCellToo = TRUE;
  auto plain = Shot(*g);
  const CRect cell = g->CalcCellRect(2, 2);
  const CPoint middle = cell.CenterPoint();
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  g->RedrawAll(GX_UPDATENOW);
  auto framed = Shot(*g);
  EXPECT_EQ(At(framed, middle.x, middle.y), At(plain, middle.x, middle.y));
  EXPECT_EQ(At(framed, cell.left + 1, middle.y), At(plain, cell.left + 1, middle.y) ^ 0xFFFFFF);
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(2, 2)));
  g->RedrawAll(GX_UPDATENOW);
  auto selected = Shot(*g);
  for (const CPoint& p : {middle, CPoint(cell.left + 1, middle.y), CPoint(g->CalcCellRect(2, 1).CenterPoint())})
    EXPECT_EQ(At(selected, p.x, p.y), At(plain, p.x, p.y) ^ 0xFFFFFF) << p.x << "," << p.y;
  // Without the switch the selected current cell shows its frame only.
  g->GetParam()->m_bInvertCurrentCellToo = FALSE;
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(At(Shot(*g), middle.x, middle.y), At(plain, middle.x, middle.y));
}

TEST_F(DrawTest, DottedGridLinesAndNoGridLines) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  const COLORREF line = g->PropertyColor(0), window = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
  g->GetParam()->m_nGridLineStyle = PS_DOT;
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  int on = 0;
  for (int y = 40; y < 60; ++y) on += At(s, 100, y) == line;
  EXPECT_EQ(on, 10);  // every other pixel of the cell's left edge
  g->GetParam()->m_nGridLineStyle = PS_NULL;
  g->RedrawAll(GX_UPDATENOW);
  s = Shot(*g);
  EXPECT_EQ(At(s, 100, 45), window);
  EXPECT_EQ(At(s, 120, 40), window);
}

TEST_F(DrawTest, ChangedCellsRepaintComposesOnlyFromTheFirstChangedCellAndWaitsWhileTheStoreSuspends) {
  MarkedData* data = nullptr;
  CGXGridWnd* g = MakeMarkedGrid(5, 4, &data);
  RecordingStatic* control = InstallRecording(g);
  g->RedrawAll(GX_UPDATENOW);
  Shot(*g);
  CGXStyle blue;
  blue.SetInteriorColor(kBlue);
  g->ApplyStyleToRange(CGXRange(2, 1, 2, 4), &blue, gxOverride, 0, 0);
  data->changed = {{2, 3}};
  // Suspended: nothing is painted and the mark stays.
  data->m_bSuspendUpdates = TRUE;
  control->ownBackground.clear();
  EXPECT_FALSE(g->RedrawChangedCells());
  EXPECT_TRUE(control->ownBackground.empty());
  EXPECT_EQ(data->changed.size(), 1u);
  data->m_bSuspendUpdates = FALSE;
  ASSERT_TRUE(g->RedrawChangedCells());
  // Only (2, 3) and (2, 4) went through their control; the changed cell lost its mark.
  std::set<std::pair<ROWCOL, ROWCOL>> drawn;
  for (auto& [cell, own] : control->ownBackground) drawn.insert(cell);
  EXPECT_EQ(drawn, (std::set<std::pair<ROWCOL, ROWCOL>>{{2, 3}, {2, 4}}));
  EXPECT_TRUE(data->changed.empty());
  auto s = Shot(*g);
  EXPECT_NE(At(s, g->CalcCellRect(2, 2).CenterPoint().x, 50), kBlue);
  EXPECT_EQ(At(s, g->CalcCellRect(2, 3).CenterPoint().x, 50), kBlue);
  EXPECT_EQ(At(s, g->CalcCellRect(2, 4).CenterPoint().x, 50), kBlue);
}

// The cell-by-cell drawing paints its backgrounds over the whole block; in changed-cells mode it leaves
// the cells before each row's first changed cell alone, directly and through the memory bitmap.
TEST_F(DrawTest, CellByCellDrawingInChangedCellsModeKeepsTheUnchangedCells) {
  for (int buffered : {0, 1}) {
    MarkedData* data = nullptr;
    CGXGridWnd* g = MakeMarkedGrid(5, 4, &data);
    g->SetBufferedDrawing(buffered);
    g->InstallOldDrawingImp();
    g->m_bOldDrawing = TRUE;
    CGXStyle red, blue;
    red.SetInteriorColor(kRed);
    blue.SetInteriorColor(kBlue);
    g->SetStyleRange(CGXRange(2, 1, 3, 4), red);
    g->RedrawAll(GX_UPDATENOW);
    Shot(*g);
    g->ApplyStyleToRange(CGXRange(2, 1, 3, 4), &blue, gxOverride, 0, 0);
    data->changed = {{2, 3}};
    ASSERT_TRUE(g->RedrawChangedCells());
    auto s = Shot(*g);
    auto centre = [&](ROWCOL r, ROWCOL c) {
      return At(s, g->CalcCellRect(r, c).CenterPoint().x, g->CalcCellRect(r, c).CenterPoint().y);
    };
    EXPECT_EQ(centre(2, 2), kRed) << buffered;
    EXPECT_EQ(centre(3, 1), kRed) << buffered;
    EXPECT_EQ(centre(2, 3), kBlue) << buffered;
    EXPECT_EQ(centre(2, 4), kBlue) << buffered;
    grid.reset();
  }
}

// A spanned-cells feature that spans cells (3, 2)..(3, 3): it prepares the block, claims (3, 3) and
// draws (3, 2) itself as one red rectangle over both.
struct RecordingSpans : CGXDrawSpannedCellsImp {
  BOOL IsSpannedCell(CGXGridCore*, CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) override {
    return ctx.rows[i] == 3 && ctx.cols[j] == 3;
  }
  BOOL DrawSpannedCell(CGXGridCore*, CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) override {
    if (ctx.rows[i] != 3 || ctx.cols[j] != 2) return FALSE;
    CRect r = ctx.CellRect(i, j);
    r.right += ctx.widths[j + 1];
    ctx.dc->FillSolidRect(&r, kRed);
    return TRUE;
  }
  LRESULT PrepareSpannedCells(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, ROWCOL, ROWCOL, ROWCOL top, ROWCOL left,
                              ROWCOL bottom, ROWCOL right) override {
    prepared.emplace_back(CGXRange(top, left, bottom, right));
    return 0;
  }
  std::vector<CGXRange> prepared;
};

TEST_F(DrawTest, TheSpannedCellsFeatureClaimsAndDrawsCellsAndPreparesEachBlock) {
  CGXGridWnd* g = MakeGrid(5, 4, 300, 200);
  RecordingStatic* control = InstallRecording(g);
  auto* spans = new RecordingSpans;
  g->SetFeature(spans);
  control->ownBackground.clear();
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  ASSERT_FALSE(spans->prepared.empty());
  const CGXRange& block = spans->prepared.back();
  EXPECT_EQ(block.top, 0u);
  EXPECT_EQ(block.left, 0u);
  EXPECT_EQ(block.bottom, 5u);
  EXPECT_EQ(block.right, 4u);
  EXPECT_EQ(control->ownBackground.count({3, 2}), 0u);  // drawn by the feature
  EXPECT_EQ(control->ownBackground.count({3, 3}), 0u);  // claimed: no style, no control
  // The claimed cell gets no grid line of its own: the span stays red across the boundary.
  const CRect claimed = g->CalcCellRect(3, 3);
  EXPECT_EQ(At(s, claimed.left, claimed.top + 10), kRed);
  EXPECT_EQ(At(s, claimed.left + 10, claimed.top), kRed);
  // A redraw of a range prepares that range's spans first.
  spans->prepared.clear();
  g->RedrawRange(1, 1, 2, 2, GX_INVALIDATE);
  ASSERT_FALSE(spans->prepared.empty());
  EXPECT_EQ(spans->prepared.front().bottom, 2u);
}

TEST_F(DrawTest, KeepValuesProtectCachedStylesOfTheirRowsAndColumns) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  g->RedrawAll(GX_UPDATENOW);
  Shot(*g);
  ASSERT_GT(g->CachedStyleCount(), 10u);
  const CGXStyle* kept = g->GetCachedCellStyle(2, 1);
  g->m_nKeepStyleRows[0] = 2;
  g->m_nKeepStyleCols[1] = 3;
  g->FreeDrawingCaches();
  EXPECT_EQ(g->CachedStyleCount(), 4u + 6u - 1u);  // row 2 (columns 0..3) and column 3 (rows 0..5)
  EXPECT_EQ(g->GetCachedCellStyle(2, 1), kept);
  g->m_nKeepStyleRows[0] = GX_INVALID;
  g->m_nKeepStyleCols[1] = GX_INVALID;
  g->FreeDrawingCaches();
  EXPECT_EQ(g->CachedStyleCount(), 0u);
}

TEST_F(DrawTest, PensAreMadeOncePerRecordAndTheMeasuringDeviceCarriesTheStandardFont) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  g->FreeDrawingCaches();
  CPen* a = g->LookupPen(CGXBorderPen(PS_DASH, 2, kRed));
  CPen* b = g->LookupPen(CGXBorderPen(PS_DASH, 2, kRed));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_NE(g->LookupPen(CGXBorderPen(PS_DASH, 3, kRed)), a);
  EXPECT_EQ(g->CachedPenCount(), 2u);
  EXPECT_EQ(GetObjectType(*a), static_cast<DWORD>(OBJ_EXTPEN));  // a geometric pen
  CDC* dc = g->GetCachedDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(g->GetCachedDC(), dc);
  TEXTMETRIC tm{};
  ASSERT_TRUE(dc->GetTextMetrics(&tm));
  EXPECT_EQ(static_cast<int>(tm.tmHeight + tm.tmExternalLeading), g->GetFontHeight());
  g->ReleaseCachedDC();
  g->FreeDrawingCaches();
  EXPECT_EQ(g->CachedPenCount(), 0u);
}

TEST_F(DrawTest, ClientCellRectanglesAndPointsPastTheEnd) {
  CGXGridWnd* g = MakeGrid(30, 20, 300, 200);
  g->SetFrozenRows(1, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  g->SetTopRow(5, 0);
  g->SetLeftCol(4, 0);
  CRect plain, cached;
  for (ROWCOL i : {0u, 1u, 3u, 2u, 5u, 0u})
    for (ROWCOL j : {0u, 2u, 1u, 4u}) {
      g->CalcClientCellRect(&plain, i, j);
      g->CalcClientCellRectCached(&cached, i, j);
      ASSERT_EQ(plain, cached) << i << "," << j;
      ASSERT_EQ(plain, g->CalcCellRect(g->ClientRowToRow(i), g->ClientColToCol(j))) << i << "," << j;
    }
  // After a scroll the kept sums start over.
  g->CalcClientCellRectCached(&cached, 3, 3);
  g->SetTopRow(9, 0);
  g->CalcClientCellRectCached(&cached, 4, 3);
  EXPECT_EQ(cached, g->CalcCellRect(g->ClientRowToRow(4), g->ClientColToCol(3)));
  CGXGridWnd* small = MakeGrid(3, 2, 300, 200);
  int row = 0, col = 0;
  EXPECT_FALSE(small->ClientCellFromPointOrLast(CPoint(250, 150), &row, &col));
  EXPECT_EQ(row, 3);
  EXPECT_EQ(col, 2);
  EXPECT_TRUE(small->ClientCellFromPointOrLast(CPoint(60, 30), &row, &col));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 1);
}

TEST_F(DrawTest, PaintsWhilePrintingAreDeferredAndLockedPaintsDrawNothing) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  auto before = Shot(*g);
  CGXStyle red;
  red.SetInteriorColor(kRed);
  g->ApplyStyleToRange(CGXRange(1, 1), &red, gxOverride, 0, 0);
  g->SetPrinting(TRUE);
  EXPECT_TRUE(g->GetProperties()->m_bPrinting);
  InvalidateRect(*g, nullptr, TRUE);
  auto printing = Shot(*g);
  EXPECT_TRUE(g->m_bPaintDeferred);
  EXPECT_EQ(At(printing, 70, 30), At(before, 70, 30));
  // The end of the printing makes up for the dropped paint.
  g->SetPrinting(FALSE);
  EXPECT_FALSE(g->m_bPaintDeferred);
  EXPECT_FALSE(g->GetProperties()->m_bPrinting);
  EXPECT_EQ(At(Shot(*g), 70, 30), kRed);
  // A locked paint draws nothing; the lock is the parameter object's, so a second grid on it is locked too.
  CGXStyle blue;
  blue.SetInteriorColor(kBlue);
  g->ApplyStyleToRange(CGXRange(1, 1), &blue, gxOverride, 0, 0);
  CGXGridCore other(nullptr, nullptr, FALSE);
  other.AttachParam(g->GetParam(), FALSE);
  other.LockUpdate(TRUE);
  EXPECT_TRUE(g->IsLockUpdate());
  HDC hdc = GetDC(*g);
  CDC dc;
  dc.Attach(hdc);
  g->DrawGrid(&dc);
  dc.Detach();
  ReleaseDC(*g, hdc);
  EXPECT_EQ(At(plat::Desktop::Capture(*g), 70, 30), kRed);
  other.LockUpdate(FALSE);
  other.AttachParam(nullptr, TRUE);
}

// The outer frame: drawn before the cells just outside the grid rectangle, or, through the memory bitmap,
// after the cells on the rectangle's outermost pixels.
TEST_F(DrawTest, OuterFrameSitsOutsideTheGridDirectlyAndInsideItBuffered) {
  CGXGridWnd* g = MakeGrid(20, 10, 300, 200);
  const CRect area(10, 10, 210, 110);
  g->SetFixedDrawingArea(&area);
  g->m_bDrawOuterFrame = TRUE;
  for (int buffered : {0, 1}) {
    g->SetBufferedDrawing(buffered);
    InvalidateRect(*g, nullptr, TRUE);
    auto s = Shot(*g);
    const int out = buffered ? 0 : 1;  // how far outside the rectangle the frame lies
    EXPECT_EQ(At(s, area.left - out, 50), RGB(0, 0, 0)) << buffered;
    EXPECT_EQ(At(s, area.right - 1 + out, 50), RGB(0, 0, 0)) << buffered;
    EXPECT_EQ(At(s, 100, area.top - out), RGB(0, 0, 0)) << buffered;
    EXPECT_EQ(At(s, 100, area.bottom - 1 + out), RGB(0, 0, 0)) << buffered;
    // Inside (direct) the first pixel row is the header's; buffered the frame covers it.
    if (!buffered) {
      EXPECT_NE(At(s, 100, area.top), RGB(0, 0, 0));
    }
  }
  g->SetFixedDrawingArea(nullptr);
}

// The moving lines of a user resize: flags 0x02 is tested before 0x04, so 0x06 is a dragging line (grid
// colour under a dotted line), 0x04 alone an inversion, 0x01 the tracking colour.
TEST_F(DrawTest, EdgeLinesTestTheirFlagsInOrder) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto before = Shot(*g);
  HDC hdc = GetDC(*g);
  CDC dc;
  dc.Attach(hdc);
  g->DrawEdgeLine(&dc, 1, 2, 0x06);  // the vertical line after client column 1: x = 100
  dc.Detach();
  ReleaseDC(*g, hdc);
  auto dragged = plat::Desktop::Capture(*g);
  const COLORREF dragColor = g->PropertyColor(3), lineColor = g->PropertyColor(0);
  ASSERT_NE(dragColor, lineColor);
  int drag = 0, grid = 0;
  for (int y = 0; y < 80; ++y) {
    const COLORREF c = At(dragged, 100, y);
    drag += c == dragColor;
    grid += c == lineColor;
  }
  EXPECT_GT(drag, 20);
  EXPECT_GT(grid, 20);
  EXPECT_EQ(drag + grid, 80);  // nothing but the two colours along the line
  hdc = GetDC(*g);
  dc.Attach(hdc);
  g->DrawEdgeLine(&dc, 2, 2, 0x04);  // the horizontal line below client row 1: y = 40, inverted
  dc.Detach();
  ReleaseDC(*g, hdc);
  auto inverted = plat::Desktop::Capture(*g);
  EXPECT_EQ(At(inverted, 120, 40), At(before, 120, 40) ^ 0xFFFFFF);
  CRect r;
  g->CalcTrackingLineRect(&r, 2, 2);
  EXPECT_EQ(r, CRect(0, 40, 4 * 50 + 1, 41));
}

// Printer metrics on screen: the grid's devices measure with the printer that the print device names, in
// display pixels; the screen picture itself is not scaled.
TEST_F(DrawTest, PrinterMetricsOnScreenMeasureWithThePrinterInDisplayPixels) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  g->SetCellValue(2, 1, "Measured text");
  g->RedrawAll(GX_UPDATENOW);
  auto plain = Shot(*g);
  CDC* screenDC = g->GetCachedDC();
  ASSERT_NE(screenDC, nullptr);
  TEXTMETRIC screen{};
  ASSERT_TRUE(screenDC->GetTextMetrics(&screen));
  g->ReleaseCachedDC();
  // A print device naming the 300 dpi printer: DEVNAMES, then "WINSPOOL", "PDF" and an empty output.
  std::vector<BYTE> names(sizeof(DEVNAMES));
  const DEVNAMES dn{static_cast<WORD>(sizeof(DEVNAMES)), static_cast<WORD>(sizeof(DEVNAMES) + 9),
                    static_cast<WORD>(sizeof(DEVNAMES) + 13), 0};
  std::memcpy(names.data(), &dn, sizeof dn);
  for (const char* part : {"WINSPOOL", "PDF", ""}) names.insert(names.end(), part, part + std::strlen(part) + 1);
  DEVMODEA mode = Printer300Mode();
  auto* device = new CGXPrintDevice;
  device->SetDeviceInfo(names.data(), names.size(), reinterpret_cast<const BYTE*>(&mode), sizeof mode);
  g->GetParam()->SetPrintDevice(device, TRUE);
  g->m_bPrinterMetrics = TRUE;
  CDC* dc = g->GetCachedDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_NE(dc->m_hAttribDC, dc->m_hDC);
  EXPECT_EQ(dc->GetDeviceCaps(LOGPIXELSX), 300);  // the printer answers
  TEXTMETRIC printer{};
  ASSERT_TRUE(dc->GetTextMetrics(&printer));
  EXPECT_NEAR(printer.tmHeight, screen.tmHeight, 2);  // the standard font, in display pixels
  EXPECT_NEAR(printer.tmAveCharWidth, screen.tmAveCharWidth, 2);
  g->ReleaseCachedDC();
  // The screen shows the same cells at the same places.
  g->RedrawAll(GX_UPDATENOW);
  auto metrics = Shot(*g);
  EXPECT_EQ(At(metrics, 50, 30), At(plain, 50, 30));
  EXPECT_EQ(At(metrics, 149, 70), At(plain, 149, 70));
  // A print device naming no printer leaves the screen's own metrics.
  device->SetDeviceInfo(nullptr, 0, nullptr, 0);
  dc = g->GetCachedDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->m_hAttribDC, dc->m_hDC);
  g->ReleaseCachedDC();
}

TEST_F(DrawTest, HintRangesRedrawWholeRowsOrColumns) {
  CGXGridWnd* g = MakeGrid(10, 5, 300, 200);
  ValidateRect(*g, nullptr);
  g->RedrawHintRange(CGXRange().AssignRows(2, 3), GX_INVALIDATE, FALSE);
  RECT r;
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(0, 40, 300, 80));
  ValidateRect(*g, nullptr);
  g->RedrawHintRange(CGXRange().AssignCols(2, 2), GX_INVALIDATE, FALSE);
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(100, 0, 150, 200));
}

TEST_F(DrawTest, PrintMarginsShrinkTheDrawingRectangle) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  CGXProperties* p = g->GetProperties();
  p->m_nMargins[0] = 10, p->m_nMargins[1] = 20, p->m_nMargins[2] = 30, p->m_nMargins[3] = 40;
  CPrintInfo info;
  info.m_rectDraw.SetRect(0, 0, 1000, 800);
  g->ApplyPrintMargins(nullptr, &info);
  EXPECT_EQ(info.m_rectDraw, CRect(20, 10, 960, 770));
}

// The line and border forms in one picture: grid lines at the right and bottom edges, a frozen boundary,
// dashed, dotted and wide borders, a patterned interior, a selection and the current cell's frame.
TEST_F(DrawTest, LinesAndBordersReference) {
  CGXGridWnd* g = MakeGrid(12, 6, 360, 240);
  g->GetParam()->m_nGridLinePosition = 1;
  g->SetFrozenCols(2, 1, 0);
  g->SetFrozenRows(1, 0, 0);
  CGXStyle tinted, dashed, dotted, wide, patterned;
  tinted.SetInteriorColor(kTint);
  dashed.SetBorder(GX_BORDER_ALL, CGXBorderPen(PS_DASH, 1, kBlue)).SetInteriorColor(kTint);
  dotted.SetBorder(GX_BORDER_BOTTOM, CGXBorderPen(PS_DOT, 1, kRed));
  wide.SetBorder(GX_BORDER_ALL, CGXBorderPen(PS_SOLID, 3, RGB(0, 128, 0)));
  patterned.SetInteriorPattern(5);
  g->SetStyleRange(CGXRange(2, 2, 3, 3), tinted);
  g->SetStyleRange(CGXRange(5, 3), dashed);
  g->SetStyleRange(CGXRange(6, 2, 6, 5), dotted);
  g->SetStyleRange(CGXRange(8, 4), wide);
  g->SetStyleRange(CGXRange(9, 2, 10, 3), patterned);
  g->SetCellValue(2, 2, "tint");
  g->SetCellValue(8, 4, "wide");
  g->GetParam()->GetSelection().AddTail(new CGXRange(4, 4, 5, 5));
  g->MoveCurrentCellTo(7, 3, GX_UPDATENOW);
  g->RedrawAll(GX_UPDATENOW);  // the line position is a plain switch: the grid repaints to show it
  plat::Desktop::PaintAll();
  auto image = plat::Desktop::Capture(*g);
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match =
      plat::MatchReferenceImage(*image, "grid/core/tests/reference/gridengine-lines.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}


// A static cell that claims a window part (the grid's own window stands in for it).
struct WindowedStatic : CGXStatic {
  using CGXStatic::CGXStatic;
  CWnd* GetWindowPart() override { return m_pGrid->GridWnd(); }
};

TEST_F(DrawTest, TheControlsFrameFollowsTheParameterObjectsFrameSwitches) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  UseWindowlessEditStandIn(g);  // the frame is the base control's
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  CGXGridParam* p = g->GetParam();
  p->m_bCurrentCellFrame = FALSE;  // the control frames the current cell, not the grid
  const CRect cell = g->CalcCellRect(2, 2);
  const int y = cell.CenterPoint().y;
  // The inner rectangle starts one pixel in (the grid line); the frame inverts its first column.
  auto framed = [&] {
    g->RedrawAll(GX_UPDATENOW);
    auto s = Shot(*g);
    return At(s, cell.left + 1, y) == (At(s, cell.left + 4, y) ^ 0xFFFFFF);
  };
  ::SetFocus(*g);
  ASSERT_TRUE(g->m_bHasFocus);
  EXPECT_TRUE(framed());  // mode 2: while the grid is active
  ::SetFocus(nullptr);
  EXPECT_FALSE(framed());
  p->m_wCurrentCellFrameMode = 0;  // always
  EXPECT_TRUE(framed());
  p->m_wCurrentCellFrameMode = 1;  // any other mode: never
  EXPECT_FALSE(framed());
  p->m_wCurrentCellFrameMode = 0;
  p->m_bNoControlFrame = TRUE;
  EXPECT_FALSE(framed());
  p->m_bNoControlFrame = FALSE;
  // Activation word 4: a control with a window part shows its own window; one without still frames.
  p->m_wActivateFlags = 4;
  EXPECT_TRUE(framed());
  g->AddCellControl(9001, new WindowedStatic(g));
  CGXStyle windowed;
  windowed.SetControl(9001);
  g->SetStyleRange(CGXRange(2, 2), windowed);
  g->MoveCurrentCellTo(3, 2, GX_UPDATENOW);
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  EXPECT_FALSE(framed());
  p->m_wActivateFlags = 1;
  EXPECT_TRUE(framed());
}

TEST_F(DrawTest, CutCellsStayMarkedUntilEscape) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  CGXGridParam* p = g->GetParam();
  const CRect cell = g->CalcCellRect(3, 2);
  const CPoint centre = cell.CenterPoint();
  const COLORREF plain = At(Shot(*g), centre.x, centre.y);
  p->m_copiedRanges.AddTail(new CGXRange(3, 2));
  p->m_bCutPending = TRUE;
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(At(Shot(*g), centre.x, centre.y), plain);  // marking not enabled
  p->m_bMarkingEnabled = TRUE;
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  int grey = 0;
  for (int x = cell.left + 2; x < cell.right - 2; ++x) grey += At(s, x, centre.y) == RGB(0xC0, 0xC0, 0xC0);
  EXPECT_GT(grey, 0);
  EXPECT_EQ(At(s, centre.x, g->CalcCellRect(4, 2).CenterPoint().y), plain);  // only the cut cells
  // Escape ends the pending cut and repaints: the marks go.
  g->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(p->m_bCutPending);
  s = Shot(*g);
  for (int x = cell.left + 2; x < cell.right - 2; ++x) ASSERT_EQ(At(s, x, centre.y), plain) << x;
}


TEST_F(DrawTest, TheInnerRectangleAtTheFrozenEdgeLosesItsPixelUnlessTheParameterObjectSaysNo) {
  CGXGridWnd* g = MakeGrid(5, 4, 300, 200);
  g->SetFrozenCols(2, 0);
  g->SetFrozenRows(2, 0);
  CGXControl* control = g->ControlForId(GX_IDS_CTRL_STATIC);
  ASSERT_NE(control, nullptr);
  const CRect edge = control->ComputeInnerRect(2, 2);
  const CRect inside = control->ComputeInnerRect(1, 1);
  EXPECT_EQ(edge.Width(), inside.Width() - 1);
  EXPECT_EQ(edge.Height(), inside.Height() - 1);
  g->GetParam()->m_bNoInnerRectCorrection = TRUE;
  const CRect plain = control->ComputeInnerRect(2, 2);
  EXPECT_EQ(plain.Width(), inside.Width());
  EXPECT_EQ(plain.Height(), inside.Height());
}


// The parameter object's old-drawing switch asks the installed cell-by-cell drawing to draw every grid on
// the object, as the grid's own switch does for one grid.
TEST_F(DrawTest, TheParameterObjectsOldDrawingSwitchServesEveryGridOnIt) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  const CRect cells = g->CalcRangeRect(0, 0, 3, 3);
  const COLORREF window = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
  g->InstallOldDrawingImp();
  g->SetStyleRange(CGXRange(2, 2), CGXStyle().SetInteriorColor(kRed));
  g->RedrawAll(GX_UPDATENOW);
  ASSERT_NE(At(Shot(*g), 100, cells.bottom + 10), window);  // the grid's own drawing paints "Background"
  g->GetParam()->m_bOldDrawing = TRUE;
  g->RedrawAll(GX_UPDATENOW);
  auto s = Shot(*g);
  EXPECT_EQ(At(s, g->CalcCellRect(2, 2).CenterPoint().x, g->CalcCellRect(2, 2).CenterPoint().y), kRed);
  EXPECT_EQ(At(s, 100, cells.bottom + 10), window);
}


// With the parameter object's skip switch a newly entered cell is only stored and bound: its frame waits
// for the next paint.
TEST_F(DrawTest, EnteringACellPaintsItsFrameAtOnceUnlessThePaintIsSkipped) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto edge = [&](ROWCOL row) {
    const CRect cell = g->CalcCellRect(row, 2);
    auto s = Shot(*g);
    return At(s, cell.left + 1, cell.CenterPoint().y) == (At(s, cell.left + 4, cell.CenterPoint().y) ^ 0xFFFFFF);
  };
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  EXPECT_TRUE(edge(2));
  g->GetParam()->m_bSkipEnterRedraw = TRUE;
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  EXPECT_FALSE(edge(3));
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_TRUE(edge(3));
}

// With the preload switch on, the changed-cells repaint still draws only the cells it prepares: a cell
// restyled before its row's first changed cell keeps its old colour, a selected one there keeps its
// inversion, and the current cell's frame in a row without changes is not inverted a second time.
TEST_F(DrawTest, PreloadedStylesDoNotWidenTheChangedCellsRepaint) {
  for (int preload : {0, 1}) {
    MarkedData* data = nullptr;
    CGXGridWnd* g = MakeMarkedGrid(5, 4, &data);
    g->GetParam()->m_nPreloadStyles = preload;
    g->SetStyleRange(CGXRange(2, 1, 2, 4), CGXStyle().SetInteriorColor(kRed));
    g->GetParam()->GetSelection().AddTail(new CGXRange(2, 1, 2, 1));
    ASSERT_TRUE(g->MoveCurrentCellTo(4, 2, GX_UPDATENOW));
    g->RedrawAll(GX_UPDATENOW);
    auto before = Shot(*g);
    CGXStyle blue;
    blue.SetInteriorColor(kBlue);
    g->ApplyStyleToRange(CGXRange(2, 1, 2, 4), &blue, gxOverride, 0, 0);
    data->changed = {{2, 3}};
    ASSERT_TRUE(g->RedrawChangedCells());
    auto s = Shot(*g);
    auto centre = [&](const std::shared_ptr<plat::Surface>& shot, ROWCOL r, ROWCOL c) {
      const CPoint p = g->CalcCellRect(r, c).CenterPoint();
      return At(shot, p.x, p.y);
    };
    EXPECT_EQ(centre(s, 2, 2), kRed) << preload;
    EXPECT_EQ(centre(s, 2, 1), kRed ^ 0xFFFFFF) << preload;  // still inverted
    EXPECT_EQ(centre(s, 2, 3), kBlue) << preload;
    const CRect current = g->CalcCellRect(4, 2);
    EXPECT_EQ(At(s, current.left + 1, current.top + 1), At(before, current.left + 1, current.top + 1)) << preload;
    EXPECT_EQ(At(s, current.right - 1, current.CenterPoint().y),
              At(before, current.right - 1, current.CenterPoint().y)) << preload;
    grid.reset();
  }
}

// A drawing helper that notes the font selected when a cell's text is drawn.
struct FontProbe : CGXDrawingAndFormatting {
  void DrawWrappedText(CDC* pDC, LPCTSTR, int, RECT, UINT, const RECT*) override {
    GetObject(GetCurrentObject(pDC->GetSafeHdc(), OBJ_FONT), sizeof font, &font);
  }
  LOGFONT font{};
};

// Cell text, headers and the font metrics share one zoom rule: the size in points times the zoom, in
// quarter points truncated and capped at 1023.
TEST_F(DrawTest, CellTextIsZoomedLikeTheHeadersAndCapped) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  HDC hdc = GetDC(*g);
  CDC dc;
  dc.Attach(hdc);
  struct Case {
    int zoom;
    double points, expected;
  };
  for (const Case& c : {Case{150, 10, 15}, Case{400, 72, 1023 / 4.0}, Case{100, 9, 9}}) {
    g->SetZoom(c.zoom, 0);
    CGXFont font;
    font.SetFaceName("Arial").SetPointSize(c.points);
    CGXStyle style;
    style.SetFont(font).SetValue("Text");
    FontProbe probe;
    probe.DrawCellText(g->ControlForId(GX_IDS_CTRL_STATIC), &dc, CRect(0, 0, 100, 100), 1, 1, style);
    // What the headers and the measuring device select.
    CFont* old = g->SelectStyleFont(&dc, style);
    LOGFONT header{};
    GetObject(GetCurrentObject(hdc, OBJ_FONT), sizeof header, &header);
    dc.SelectObject(old);
    CGXFont zoomed(font);
    zoomed.SetPointSize(c.expected);
    LOGFONT expected{};
    zoomed.GetLogFontZoomed(expected, 100);
    EXPECT_EQ(probe.font.lfHeight, expected.lfHeight) << c.zoom;
    EXPECT_EQ(header.lfHeight, expected.lfHeight) << c.zoom;
  }
  dc.Detach();
  ReleaseDC(*g, hdc);
}

// Inside a long operation the GDI objects and the measuring device survive a cache release; the
// composed styles do not (a style written meanwhile is composed afresh).
TEST_F(DrawTest, ALongOperationKeepsTheGdiCachesButNotTheStyles) {
  CGXGridWnd* g = MakeGrid(3, 3, 300, 200);
  g->FreeDrawingCaches();
  const CGXInteriorBrush red(kRed);
  HGDIOBJ brush = nullptr;
  HDC measuring = nullptr;
  {
    CGXLongOperationScope scope;
    CBrush* b = g->LookupBrush(red);
    ASSERT_NE(b, nullptr);
    brush = b->m_hObject;
    CDC* dc = g->GetCachedDC();
    ASSERT_NE(dc, nullptr);
    measuring = dc->GetSafeHdc();
    EXPECT_NE(g->GetCachedCellStyle(1, 1)->GetInterior(), CGXInteriorBrush(kBlue));
    g->SetStyleRange(CGXRange(1, 1), CGXStyle().SetInteriorColor(kBlue), gxOverride, 0, 0);
    g->FreeDrawingCaches();
    g->ReleaseCachedDC();
    EXPECT_EQ(g->CachedBrushCount(), 1u);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(g->GetCachedDC()->GetSafeHdc(), measuring);
    EXPECT_EQ(g->CachedStyleCount(), 0u);
    EXPECT_EQ(g->GetCachedCellStyle(1, 1)->GetInterior(), CGXInteriorBrush(kBlue));
  }
  g->FreeDrawingCaches();
  EXPECT_EQ(g->CachedBrushCount(), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

// The styles handed to drawing and editing follow the grid's own lock test, which a grid may override.
struct LockedGrid : CGXGridWnd {
  BOOL IsLocked() const override { return locked; }
  BOOL locked = TRUE;
};

TEST_F(DrawTest, CachedStylesAreReadOnlyWhenTheGridSaysItIsLocked) {
  auto* g = MakeGrid<LockedGrid>(3, 3, 300, 200);
  g->FreeDrawingCaches();
  const CGXStyle* s = g->GetCachedCellStyle(1, 1);
  EXPECT_TRUE(s->IsIncluded(GX_IN_READONLY) && s->GetReadOnly());
  // The parameter object's switches alone do not lock a grid that says it is not locked.
  g->locked = FALSE;
  g->GetParam()->m_bReadOnly = TRUE;
  g->GetParam()->m_bReadOnlyEnforced = TRUE;
  g->FreeDrawingCaches();
  s = g->GetCachedCellStyle(2, 2);
  EXPECT_FALSE(s->IsIncluded(GX_IN_READONLY) && s->GetReadOnly());
}

// A cell control that throws while it draws, when armed.
struct ThrowingStatic : CGXStatic {
  using CGXStatic::CGXStatic;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override {
    if (armed) throw std::runtime_error("cannot draw");
    CGXStatic::DrawCell(dc, rect, row, col, style, standard);
  }
  BOOL armed = FALSE;
};

TEST_F(DrawTest, AnExceptionFromAPaintLeavesChangedCellsMode) {
  for (int buffered : {0, 1}) {
    MarkedData* data = nullptr;
    CGXGridWnd* g = MakeMarkedGrid(5, 4, &data);
    g->SetBufferedDrawing(buffered);
    auto* control = new ThrowingStatic(g);
    g->AddCellControl(kRecordingId, control);
    // An interior of its own: the grid asks the control to paint its background when it throws.
    g->SetStyleRange(CGXRange(2, 3), CGXStyle().SetControl(kRecordingId).SetInteriorColor(kTint));
    g->RedrawAll(GX_UPDATENOW);
    Shot(*g);
    data->changed = {{2, 3}};
    control->armed = TRUE;
    EXPECT_THROW(g->RedrawChangedCells(), std::runtime_error) << buffered;
    EXPECT_FALSE(g->IsChangedCellsMode()) << buffered;
    EXPECT_FALSE(g->m_bNeedsOwnBackground) << buffered;
    // A later paint draws every row again.
    control->armed = FALSE;
    data->changed.clear();
    g->SetStyleRange(CGXRange(4, 1), CGXStyle().SetInteriorColor(kRed), gxOverride, 0, 0);
    g->RedrawAll(GX_UPDATENOW);
    const CPoint p = g->CalcCellRect(4, 1).CenterPoint();
    EXPECT_EQ(At(Shot(*g), p.x, p.y), kRed) << buffered;
    grid.reset();
  }
}

// Printed black and white through the cell-by-cell drawing, a block of patterned cells keeps its pattern
// (black on white) as the normal drawing's row runs do; a plain colour prints white.
TEST_F(DrawTest, CellByCellDrawingPrintsPatternedBlocksBlackOnWhite) {
  CGXGridWnd* g = MakeGrid(5, 4, 300, 200);
  g->InstallOldDrawingImp();
  g->m_bOldDrawing = TRUE;
  // A red pattern on blue: in colour neither black nor white.
  CGXInteriorBrush pattern;
  pattern.SetPattern(5).SetBkColor(kBlue).SetFore(gx::PackColor(kRed));
  g->SetStyleRange(CGXRange(1, 1, 2, 2), CGXStyle().SetInterior(pattern));
  g->SetStyleRange(CGXRange(3, 3, 4, 4), CGXStyle().SetInteriorColor(kRed));
  g->GetProperties()->m_bBlackWhite = TRUE;
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateBitmap(300, 200, 1, 32, nullptr));
  CBitmap* old = mem.SelectObject(&bmp);
  mem.FillSolidRect(0, 0, 300, 200, kTint);
  g->SetPrinting(TRUE, TRUE);  // laid out on the window's client rectangle
  g->DrawCellBlock(0, 0, 4, 4, &mem);
  const CRect patterned = g->CalcRangeRect(1, 1, 2, 2), plain = g->CalcRangeRect(3, 3, 4, 4);
  g->SetPrinting(FALSE);
  int black = 0, white = 0, other = 0;
  // Inside the grid lines of the block.
  for (int y = patterned.top + 2; y < patterned.bottom - 2; ++y)
    for (int x = patterned.left + 2; x < patterned.right - 2; ++x) {
      const COLORREF c = mem.GetPixel(x, y) & 0xFFFFFF;
      black += c == RGB(0, 0, 0);
      white += c == RGB(255, 255, 255);
      other += c != RGB(0, 0, 0) && c != RGB(255, 255, 255);
    }
  EXPECT_GT(black, 50);
  EXPECT_GT(white, 50);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(mem.GetPixel(plain.left + 10, plain.top + 10) & 0xFFFFFF, RGB(255, 255, 255));
  mem.SelectObject(old);
}

// Rotated text: the ink of "Rotated" drawn into a 200 x 200 bitmap with the text rectangle (10, 10, 190,
// 190), and where the text's cell must lie by the starting point of its quadrant and alignment.
struct RotatedInk {
  CRect ink;             // bounding box of the non-white pixels (empty when none)
  double cx = 0, cy = 0;  // the text's extent
  std::vector<COLORREF> pixels;
};

RotatedInk DrawRotatedInk(LONG angle, UINT format, int length = -1) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(200, 200, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 200, 200, RGB(255, 255, 255));
  LOGFONT lf{};
  lf.lfHeight = -20;
  lf.lfEscapement = lf.lfOrientation = angle;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* oldFont = dc.SelectObject(&font);
  RotatedInk out;
  const CSize ext = dc.GetTextExtent("Rotated", 7);
  out.cx = ext.cx;
  out.cy = ext.cy;
  InstallDrawRotatedTextImp();
  GetDrawRotatedTextImp()->DrawRotatedText(&dc, "Rotated", length, 10, 10, 190, 190, format, angle, nullptr);
  out.ink = CRect(200, 200, -1, -1);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) {
      const COLORREF c = dc.GetPixel(x, y) & 0xFFFFFF;
      out.pixels.push_back(c);
      if (c == RGB(255, 255, 255)) continue;
      out.ink.left = std::min<int>(out.ink.left, x);
      out.ink.top = std::min<int>(out.ink.top, y);
      out.ink.right = std::max<int>(out.ink.right, x + 1);
      out.ink.bottom = std::max<int>(out.ink.bottom, y + 1);
    }
  dc.SelectObject(oldFont);
  dc.SelectObject(old);
  return out;
}

// The box of the rotated text cell: its top-left corner at the start point of the quadrant's table, the
// text running at the angle (counter-clockwise, y down).
struct DoubleBox {
  double left, top, right, bottom;
};

DoubleBox ExpectedTextBox(double degrees, UINT format, double cx, double cy) {
  const double L = 10, T = 10, R = 190, W = 180, H = 180, rad = 3.14159265358979 / 180;
  const int quadrant = degrees <= 90 ? 0 : degrees < 180 ? 1 : degrees <= 270 ? 2 : 3;
  const double r = (degrees - 90 * quadrant) * rad, s = std::sin(r), c = std::cos(r);
  double x0 = L, y0 = T;
  if (quadrant == 0) y0 = T + cx * s + cy / 2;
  if (quadrant == 1) {
    x0 = L + cx * s > R ? R - cy : L + cx * s;
    y0 = T + cx * c + cy;
  }
  if (quadrant == 2) x0 = L + cx * c + cy;
  if (quadrant == 3) x0 = L + cy * s;
  double x = x0, y = y0;
  if (format & 2) x = x0 + W - cx * c - cy;
  else if (format & 1) x = x0 + (W - cx * c) / 2 - cy / 2;
  if (format & 8) y = y0 + H - cx * s - cy;
  else if (format & 4) y = quadrant == 2 ? T + (H - cx * s) / 2 : y0 + (H - cx * s) / 2 - cy / 2;
  x = std::trunc(x);
  y = std::trunc(y);
  const double a = degrees * rad, ux = std::cos(a), uy = -std::sin(a), vx = std::sin(a), vy = std::cos(a);
  const double xs[] = {x, x + cx * ux, x + cy * vx, x + cx * ux + cy * vx};
  const double ys[] = {y, y + cx * uy, y + cy * vy, y + cx * uy + cy * vy};
  return {std::max(L, *std::min_element(xs, xs + 4)), std::max(T, *std::min_element(ys, ys + 4)),
          std::min(R, *std::max_element(xs, xs + 4)), std::min(190.0, *std::max_element(ys, ys + 4))};
}

TEST(RotatedTextPosition, EachQuadrantAndAlignmentPutsTheTextWhereItsStartPointSays) {
  for (LONG angle : {0, 450, 1350, 2250, 3150})
    for (UINT format : {0u, 1u | 4u, 2u | 8u}) {
      const RotatedInk r = DrawRotatedInk(angle, format);
      ASSERT_FALSE(r.ink.IsRectEmpty()) << angle << " " << format;
      const DoubleBox box = ExpectedTextBox(angle * 0.1, format, r.cx, r.cy);
      // The ink lies in the text's cell (glyph edges may smear by a pixel) ...
      EXPECT_GE(r.ink.left, box.left - 2) << angle << " " << format;
      EXPECT_GE(r.ink.top, box.top - 2) << angle << " " << format;
      EXPECT_LE(r.ink.right, box.right + 2) << angle << " " << format;
      EXPECT_LE(r.ink.bottom, box.bottom + 2) << angle << " " << format;
      // ... and fills it but for the leading and the descent.
      EXPECT_NEAR((r.ink.left + r.ink.right) / 2.0, (box.left + box.right) / 2, r.cy * 0.35 + 2)
          << angle << " " << format;
      EXPECT_NEAR((r.ink.top + r.ink.bottom) / 2.0, (box.top + box.bottom) / 2, r.cy * 0.35 + 2)
          << angle << " " << format;
    }
}

TEST(RotatedTextPosition, AnglesCountModuloAFullTurnAndLengthMinusOneIsTheWholeText) {
  const auto none = DrawRotatedInk(0, 5).pixels;
  EXPECT_EQ(DrawRotatedInk(3600, 5).pixels, none);
  EXPECT_EQ(DrawRotatedInk(7200, 5).pixels, none);
  EXPECT_EQ(DrawRotatedInk(-3600, 5).pixels, none);
  EXPECT_EQ(DrawRotatedInk(-900, 5).pixels, DrawRotatedInk(2700, 5, 7).pixels);  // -1: the whole text
  EXPECT_NE(DrawRotatedInk(-900, 5).pixels, DrawRotatedInk(900, 5).pixels);
  EXPECT_EQ(DrawRotatedInk(3600 * 50000 + 450, 0).pixels, DrawRotatedInk(450, 0).pixels);
}

}  // namespace
}  // namespace enginetest
