// Hidden rows and columns: the hide marks' jumps over hidden runs, and a grid with runs of hidden lines at
// its edges, across its frozen seam and inside, shown, scrolled and unhidden with the jumps exactly as with
// a walk over every line.
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "grid/features/CGXHideCellsImp.h"
#include "grid/features/tests/featuretest.h"

namespace featuretest {
namespace {

// The searches bit by bit: the first clear bit at or after n, the last at or before it (GX_INVALID: none).
ROWCOL NextClearSlowly(const std::vector<BYTE>& bits, ROWCOL n) {
  while (CGXHideCellsImp::TestBit(bits, n)) ++n;
  return n;
}
ROWCOL NextSetSlowly(const std::vector<BYTE>& bits, ROWCOL n) {
  for (; n < bits.size() * 8; ++n)
    if (CGXHideCellsImp::TestBit(bits, n)) return n;
  return GX_INVALID;
}
ROWCOL PrevClearSlowly(const std::vector<BYTE>& bits, ROWCOL n) {
  for (;; --n) {
    if (!CGXHideCellsImp::TestBit(bits, n)) return n;
    if (n == 0) return GX_INVALID;
  }
}

TEST(HideMarks, TheJumpsLandWhereABitByBitSearchLands) {
  std::mt19937 rng(44);
  int wrong = 0;
  std::string first;
  for (int round = 0; round < 300; ++round) {
    // Runs of set and clear bits of 0 to 150 lines: inside bytes, across bytes and words, to the end.
    std::vector<BYTE> bits;
    const ROWCOL size = rng() % 400;
    for (ROWCOL i = 0; i < size;) {
      const ROWCOL run = rng() % 151;
      const BOOL on = rng() % 3 != 0;
      for (ROWCOL k = 0; k < run && i < size; ++k, ++i) CGXHideCellsImp::SetBit(bits, i, on);
    }
    for (ROWCOL n = 0; n < bits.size() * 8 + 12; ++n) {
      const ROWCOL next = CGXHideCellsImp::NextClearBit(bits, n), prev = CGXHideCellsImp::PrevClearBit(bits, n);
      const ROWCOL set = CGXHideCellsImp::NextSetBit(bits, n);
      if (next != NextClearSlowly(bits, n) || prev != PrevClearSlowly(bits, n) || set != NextSetSlowly(bits, n)) {
        if (!wrong++)
          first = "round " + std::to_string(round) + " n " + std::to_string(n) + ": " + std::to_string(next) + ", " +
                  std::to_string(prev) + ", " + std::to_string(set);
      }
    }
  }
  EXPECT_EQ(wrong, 0) << first;
  // All marks set: the first line past them, and none at or before any of them.
  const std::vector<BYTE> all(1000, 0xFF);
  EXPECT_EQ(CGXHideCellsImp::NextClearBit(all, 0), 8000u);
  EXPECT_EQ(CGXHideCellsImp::NextClearBit(all, 7999), 8000u);
  EXPECT_EQ(CGXHideCellsImp::PrevClearBit(all, 7999), GX_INVALID);
  // Past the marks every line shows, up to the highest.
  EXPECT_EQ(CGXHideCellsImp::NextClearBit(all, GX_MAXROWCOL), GX_MAXROWCOL);
  EXPECT_EQ(CGXHideCellsImp::PrevClearBit(all, GX_MAXROWCOL), GX_MAXROWCOL);
  EXPECT_EQ(CGXHideCellsImp::NextClearBit({}, 5), 5u);
  EXPECT_EQ(CGXHideCellsImp::NextSetBit(all, 7999), 7999u);
  EXPECT_EQ(CGXHideCellsImp::NextSetBit(all, 8000), GX_INVALID);
  EXPECT_EQ(CGXHideCellsImp::NextSetBit(std::vector<BYTE>(1000, 0), 3), GX_INVALID);
  EXPECT_EQ(CGXHideCellsImp::NextSetBit({}, 5), GX_INVALID);
}

// The hide feature with its jumps turned off: every walk then passes the hidden lines one by one.
class LineByLineHide : public CGXHideCellsImp {
 public:
  ROWCOL NextShownRow(CGXGridCore*, ROWCOL row) override { return row; }
  ROWCOL PrevShownRow(CGXGridCore*, ROWCOL row) override { return row; }
  ROWCOL NextShownCol(CGXGridCore*, ROWCOL col) override { return col; }
  ROWCOL PrevShownCol(CGXGridCore*, ROWCOL col) override { return col; }
  ROWCOL NextHiddenRow(CGXGridCore*, ROWCOL row) override { return row; }
  ROWCOL NextHiddenCol(CGXGridCore*, ROWCOL col) override { return col; }
};

using HideTest = FeatureTest;

// What a user meets at each step: the first and last rows and columns shown, the row and column under
// every tenth pixel, and every pixel.
struct Seen {
  std::vector<std::string> answers;
  std::vector<std::vector<uint32_t>> pictures;
};

std::vector<uint32_t> Picture(HWND h) {
  auto image = plat::Desktop::Capture(h);
  std::vector<uint32_t> out;
  for (int y = 0; image && y < image->height(); ++y)
    for (int x = 0; x < image->width(); ++x) out.push_back(plat::colorFromPixel(image->pixel(x, y)));
  return out;
}

void Look(CGXGridWnd* g, const char* step, Seen& seen) {
  ::UpdateWindow(*g);
  enginetest::PumpMessages();
  std::string a = std::string(step) + ": top " + std::to_string(g->GetTopRow()) + " left " +
                  std::to_string(g->GetLeftCol()) + " last " + std::to_string(g->GetLastVisibleRow()) + "/" +
                  std::to_string(g->GetLastVisibleCol()) + " hits";
  const CRect area = g->GetGridRect();
  for (int y = area.top; y < area.bottom; y += 10) {
    ROWCOL r = 0, c = 0;
    g->HitTest(CPoint(75, y), &r, &c);
    a += " " + std::to_string(r);
    EXPECT_FALSE(r && g->IsRowHidden(r)) << step << ": a point in hidden row " << r;
  }
  for (int x = area.left; x < area.right; x += 10) {
    ROWCOL r = 0, c = 0;
    g->HitTest(CPoint(x, 30), &r, &c);
    a += " " + std::to_string(c);
    EXPECT_FALSE(c && g->IsColHidden(c)) << step << ": a point in hidden column " << c;
  }
  seen.answers.push_back(a);
  seen.pictures.push_back(Picture(*g));
}

// Hidden runs: the first rows, a run across the frozen seam (rows 3-8 with 6 frozen), a long run inside,
// the last rows; the same for columns. The grid is shown, scrolled by the bars and the keys, a run is
// shown again, and it is scrolled once more.
Seen ShowHideAndScroll(CGXGridWnd* g, CGXHideCellsImp* hide) {
  g->SetFeature(hide);
  for (ROWCOL r = 1; r <= 3000; r += 7) g->SetCellValue(r, 1, std::to_string(r).c_str(), 0);
  for (ROWCOL c = 1; c <= 40; ++c) g->SetCellValue(0, c, std::to_string(c).c_str(), 0);
  g->SetFrozenRows(6, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  g->HideRows(1, 2, TRUE, 0);
  g->HideRows(3, 8, TRUE, 0);
  g->HideRows(20, 2500, TRUE, 0);
  g->HideRows(2990, 3000, TRUE, 0);
  g->HideCols(2, 3, TRUE, 0);
  g->HideCols(10, 30, TRUE, 0);
  g->HideCols(38, 40, TRUE, 0);
  g->RedrawAll(GX_UPDATENOW);
  Seen seen;
  Look(g, "shown", seen);
  const auto scroll = [&](UINT bar, int code, const char* step) {
    SendMessage(*g, bar, code, 0);
    Look(g, step, seen);
  };
  scroll(WM_VSCROLL, SB_LINEDOWN, "line down");
  scroll(WM_VSCROLL, SB_LINEDOWN, "line down again");
  scroll(WM_VSCROLL, SB_PAGEDOWN, "page down over the long run");
  scroll(WM_VSCROLL, SB_PAGEUP, "page up over the long run");
  scroll(WM_VSCROLL, SB_PAGEDOWN, "page down again");
  scroll(WM_HSCROLL, SB_PAGERIGHT, "page right over the long run");
  scroll(WM_HSCROLL, SB_PAGELEFT, "page left over the long run");
  scroll(WM_VSCROLL, SB_PAGEDOWN, "page down");
  scroll(WM_VSCROLL, SB_PAGEUP, "page up");
  scroll(WM_VSCROLL, SB_LINEUP, "line up");
  scroll(WM_VSCROLL, SB_LINEUP, "line up again");
  scroll(WM_HSCROLL, SB_LINERIGHT, "line right");
  scroll(WM_HSCROLL, SB_PAGERIGHT, "page right");
  scroll(WM_HSCROLL, SB_PAGELEFT, "page left");
  scroll(WM_VSCROLL, SB_BOTTOM, "bottom: the hidden last rows");
  scroll(WM_HSCROLL, SB_RIGHT, "right: the hidden last columns");
  scroll(WM_VSCROLL, SB_PAGEUP, "page up from the bottom");
  scroll(WM_VSCROLL, SB_TOP, "top");
  g->MoveCurrentCellBy(GX_BOTTOMRIGHT);
  Look(g, "Ctrl+End", seen);
  g->MoveCurrentCellBy(GX_TOPLEFT);
  Look(g, "Ctrl+Home", seen);
  g->HideRows(100, 200, FALSE, 0);
  g->HideRows(7, 7, FALSE, 0);
  g->HideCols(20, 20, FALSE, 0);
  g->RedrawAll(GX_UPDATENOW);
  Look(g, "part of the runs shown again", seen);
  scroll(WM_VSCROLL, SB_PAGEDOWN, "page down into the rows shown again");
  scroll(WM_VSCROLL, SB_PAGEDOWN, "page down past them");
  scroll(WM_VSCROLL, SB_PAGEUP, "page up");
  scroll(WM_HSCROLL, SB_PAGERIGHT, "page right");
  // Three rows left, then hidden rows to the grid's end: the window below them is the grid's background.
  g->HideRows(12, 2989, TRUE, 0);
  g->HideCols(5, 37, TRUE, 0);
  SendMessage(*g, WM_VSCROLL, SB_TOP, 0);
  SendMessage(*g, WM_HSCROLL, SB_LEFT, 0);
  g->RedrawAll(GX_UPDATENOW);
  Look(g, "three rows and three columns ending in hidden ones", seen);
  scroll(WM_VSCROLL, SB_BOTTOM, "bottom");
  return seen;
}

TEST_F(HideTest, RunsOfHiddenLinesAreJumpedWithTheSameGeometryScrollsAndPixelsAsLineByLine) {
  const Seen lineByLine = ShowHideAndScroll(MakeGrid(3000, 40, 400, 300), new LineByLineHide);
  CGXGridWnd* g = MakeGrid(3000, 40, 400, 300);
  const Seen jumped = ShowHideAndScroll(g, new CGXHideCellsImp);
  ASSERT_EQ(jumped.answers.size(), lineByLine.answers.size());
  for (size_t i = 0; i < jumped.answers.size(); ++i) {
    EXPECT_EQ(jumped.answers[i], lineByLine.answers[i]);
    EXPECT_TRUE(jumped.pictures[i] == lineByLine.pictures[i]) << "pixels differ at " << lineByLine.answers[i];
  }
  // The steps did move: a page down passed the long run, and the bottom reached the last row.
  const auto top = [&](size_t i) { return std::stoul(jumped.answers[i].substr(jumped.answers[i].find("top ") + 4)); };
  EXPECT_EQ(top(0), 7u);
  EXPECT_GT(top(3), 2500u) << jumped.answers[3];
  EXPECT_EQ(top(4), 10u) << jumped.answers[4];  // back over the run, a page of shown rows
  EXPECT_NE(jumped.answers[15].find("last 2989/"), std::string::npos) << jumped.answers[15];
  // Below and right of the last shown lines the background shows, with the closing lines only.
  const std::vector<uint32_t>& few = jumped.pictures[jumped.pictures.size() - 2];
  ASSERT_EQ(few.size(), 400u * 300u);
  EXPECT_EQ(few[(250 * 400) + 390], g->PropertyColor(4));
}

TEST_F(HideTest, AMillionHiddenRowsAreWalkedInAFewJumps) {
  // Rows 10 to 1,000,009 hidden: sizes are asked of the shown rows only (and the hidden run's first row
  // once per walk), however long the run.
  struct CountingGrid : CGXGridWnd {
    int GetRowHeight(ROWCOL row) const override {
      ++asked;
      return CGXGridWnd::GetRowHeight(row);
    }
    mutable long long asked = 0;
  };
  auto* g = MakeGrid<CountingGrid>(1'010'000, 5, 400, 300);
  g->SetFeature(new CGXHideCellsImp);
  g->HideRows(10, 1'000'009, TRUE, 0);
  g->asked = 0;
  g->RedrawAll(GX_UPDATENOW);
  SendMessage(*g, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessage(*g, WM_VSCROLL, SB_PAGEUP, 0);
  enginetest::PumpMessages();
  EXPECT_EQ(g->GetTopRow(), 1u);
  EXPECT_LT(g->asked, 20'000) << "sizes asked";
  EXPECT_EQ(g->CalcCellRect(1'000'010, 1).top, g->CalcCellRect(9, 1).bottom);
}

// The sums line by line: each line's size in turn (a hidden line's is 0), ended at the first line past the
// limit; the client form maps each client index and ends past the last line.
int SumSlowly(ROWCOL from, ROWCOL to, int limit, const std::function<int(ROWCOL)>& size) {
  int sum = 0;
  for (ROWCOL l = from; l <= to; ++l) {
    sum = GXAddSize(sum, size(l));
    if (limit && sum > limit) break;
  }
  return sum;
}
int SumClientSlowly(ROWCOL from, ROWCOL to, int limit, ROWCOL count, const std::function<ROWCOL(ROWCOL)>& line,
                    const std::function<int(ROWCOL)>& size) {
  int sum = 0;
  for (ROWCOL i = from; i <= to && line(i) <= count; ++i) {
    sum = GXAddSize(sum, size(line(i)));
    if (limit && sum > limit) break;
  }
  return sum;
}

TEST_F(HideTest, SizeSumsTakeRunsOfDefaultLinesAtOnceWithTheSumsOfAWalkLineByLine) {
  // Lines of sizes of their own (none, small, taller than the window and so limited), hidden runs short and
  // long, frozen lines; the defaults below the window, then above it (limited past the frozen lines only).
  struct CountingGrid : CGXGridWnd {
    int GetRowHeight(ROWCOL row) const override {
      ++asked;
      return CGXGridWnd::GetRowHeight(row);
    }
    mutable long long asked = 0;
  };
  constexpr ROWCOL kLines = 20000;
  auto* g = MakeGrid<CountingGrid>(kLines, kLines, 400, 300);
  g->SetFeature(new CGXHideCellsImp);
  std::mt19937 rng(55);
  for (int i = 0; i < 60; ++i) {
    const ROWCOL r = 1 + rng() % kLines, c = 1 + rng() % kLines;
    const int size = rng() % 4 == 0 ? 0 : rng() % 3 == 0 ? 1000 : 1 + static_cast<int>(rng() % 40);
    g->SetRowHeight(r, r, size, nullptr, 0);
    g->SetColWidth(c, c, size, nullptr, 0);
  }
  for (int i = 0; i < 20; ++i) {
    const ROWCOL at = 1 + rng() % kLines, n = rng() % 3 ? rng() % 20 : rng() % 3000;
    g->HideRows(at, std::min(at + n, kLines), TRUE, 0);
    g->HideCols(at, std::min(at + n, kLines), TRUE, 0);
  }
  g->SetFrozenRows(5, 0, 0);
  g->SetFrozenCols(3, 0, 0);
  const auto row = [&](ROWCOL r) { return g->GetRowHeight(r); };
  const auto col = [&](ROWCOL c) { return g->GetColWidth(c); };
  const auto clientRow = [&](ROWCOL i) { return g->ClientRowToRow(i); };
  const auto clientCol = [&](ROWCOL i) { return g->ClientColToCol(i); };
  int compared = 0;
  for (int defaults : {17, 450}) {
    g->SetDefaultRowHeight(defaults, 0);
    g->SetDefaultColWidth(defaults, 0);
    for (ROWCOL top : {1u, 7u, 2000u, 13000u}) {
      g->SetTopRow(top, 0);
      g->SetLeftCol(top, 0);
      for (int k = 0; k < 8; ++k) {
        const ROWCOL from = rng() % 3 == 0 ? 0 : rng() % kLines, to = from + rng() % (kLines - from + 10);
        const int limit = std::vector<int>{0, 150, 20000, 1 << 20}[rng() % 4];
        const int sums[8] = {g->SumRowHeights(from, to, limit), SumSlowly(from, to, limit, row),
                             g->SumColWidths(from, to, limit), SumSlowly(from, to, limit, col),
                             g->SumClientRowHeights(from, to, limit), SumClientSlowly(from, to, limit, kLines, clientRow, row),
                             g->SumClientColWidths(from, to, limit), SumClientSlowly(from, to, limit, kLines, clientCol, col)};
        for (int s = 0; s < 8; s += 2) {
          ++compared;
          EXPECT_EQ(sums[s], sums[s + 1]) << "sum " << s / 2 << " of " << from << ".." << to << " limit " << limit
                                          << " top " << top << " defaults " << defaults;
        }
      }
      // The whole grid's rectangle, unclipped: the frozen lines and the scrolled ones. It asks the sizes of the
      // first lines, of those of a size of their own and of a line after each of them and each hidden run (each
      // scrolled one's size asking the frozen rows' for its limit).
      g->asked = 0;
      const CRect whole = g->CalcRangeRect(0, 0, kLines, kLines, TRUE);
      EXPECT_LT(g->asked, 4000);
      EXPECT_EQ(whole.Height(), SumClientSlowly(0, g->RowToClientRow(kLines), 0, kLines, clientRow, row));
      EXPECT_EQ(whole.Width(), SumClientSlowly(0, g->ColToClientCol(kLines), 0, kLines, clientCol, col));
    }
  }
  EXPECT_EQ(compared, 2 * 4 * 8 * 4);
}

}  // namespace
}  // namespace featuretest
