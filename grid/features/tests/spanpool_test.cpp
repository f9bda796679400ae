// The span cell pools and delayed-range pools: spans found where they were stored and following their cells
// through inserts, removals and moves (checked against a model of the same spans), and the delayed areas
// handed out once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <random>
#include <vector>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXSpanCellPool.h"
#include "grid/core/gxarchive.h"
#include "grid/core/gxlayout.h"
#include "grid/features/CGXSpanCellPoolImp.h"
#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"
#include "platform/base/CException.h"

namespace {

// ---- Delayed ranges ---------------------------------------------------------------------------------------

TEST(DelayedRangePool, AreasThatContinueEachOtherJoinAndAreHandedOutOnce) {
  CGXDelayedRangePool pool;
  pool.AddRange(CGXRange(1, 2, 5, 4));
  pool.AddRange(CGXRange(6, 2, 9, 4));  // the same columns, the rows after
  ASSERT_EQ(pool.GetEntries().size(), 1u);
  EXPECT_EQ(pool.GetEntries()[0]->m_range, CGXRange(1, 2, 9, 4));

  std::vector<DWORD> first, last;
  ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(3, 1, 4, 10), first, last));
  EXPECT_EQ(first, (std::vector<DWORD>{2, 2}));
  EXPECT_EQ(last, (std::vector<DWORD>{4, 4}));
  EXPECT_FALSE(pool.GetRowsToEvaluate(CGXRange(3, 1, 4, 10), first, last));  // asked before
  // Rows 1..3 of which 3 went already: only 1 and 2 are pending.
  ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(1, 1, 3, 10), first, last));
  EXPECT_EQ(first, (std::vector<DWORD>{2, 2, 0xFFFFFFFF}));
  // The rest of the rows: the entry is complete and leaves the pool.
  ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(1, 1, 20, 10), first, last));
  EXPECT_TRUE(pool.GetEntries().empty());
  EXPECT_FALSE(pool.GetRowsToEvaluate(CGXRange(1, 1, 20, 10), first, last));
}

TEST(DelayedRangePool, AnAreaAskedForInPartKeepsTheRestPending) {
  CGXDelayedRangePool pool;
  pool.AddRange(CGXRange(1, 1, 10, 10));
  std::vector<DWORD> first, last;
  // Columns 4..6 of rows 1..10: the parts left and right of them stay pending.
  ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(1, 4, 10, 6), first, last));
  EXPECT_EQ(first.front(), 4u);
  EXPECT_EQ(last.front(), 6u);
  ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(5, 1, 5, 10), first, last));
  EXPECT_EQ(first, (std::vector<DWORD>{1}));
  EXPECT_EQ(last, (std::vector<DWORD>{10}));
  // An area inside a pending one replaces nothing; an area covering pending ones makes them complete.
  pool.AddRange(CGXRange(1, 1, 30, 30));
  ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(1, 1, 30, 30), first, last));
  EXPECT_EQ(first.front(), 1u);
  EXPECT_EQ(last.front(), 30u);
  EXPECT_FALSE(pool.HasPending());
  // The whole grid pending (a new delayed mode) reaches no further than a clamp says.
  pool.ResetToWholeGrid();
  pool.ClampRows(100);
  pool.ClampCols(8);
  EXPECT_EQ(pool.GetEntries()[0]->m_range, CGXRange(0, 0, 100, 8));
}

// ---- Spans against a model -------------------------------------------------------------------------------

// A span of one row (horizontal) or one column (vertical): line, first and last index along it.
struct Span {
  bool horizontal;
  ROWCOL line, first, last;
};

// The same spans as plain records, changed by the rules the pool follows: inserted cells belong to no span,
// a span cut by an insertion ends before it, removed cells leave the rest of their span, and a move keeps a
// span across the lines that change places only up to them.
class Model {
 public:
  std::vector<Span> spans;

  bool Free(const Span& s) const {
    for (const Span& o : spans)
      if (o.horizontal == s.horizontal && o.line == s.line && o.first <= s.last && s.first <= o.last) return false;
    return true;
  }
  // Rows (horizontal = false: columns are the lines of the vertical spans) changing on one axis: `alongRows`
  // says whether the change is to rows.
  void Insert(bool alongRows, ROWCOL at, ROWCOL n) {
    for (Span& s : spans) {
      if (s.horizontal == alongRows) {  // the change moves whole lines
        if (s.line >= at) s.line += n;
      } else if (s.first >= at) {
        s.first += n, s.last += n;
      } else if (s.last >= at) {
        s.last = at - 1;
      }
    }
  }
  void Remove(bool alongRows, ROWCOL from, ROWCOL to) {
    const ROWCOL n = to - from + 1;
    std::vector<Span> kept;
    for (Span s : spans) {
      if (s.horizontal == alongRows) {
        if (s.line >= from && s.line <= to) continue;
        if (s.line > to) s.line -= n;
      } else {
        if (s.first >= from && s.last <= to) continue;  // every cell removed
        auto after = [&](ROWCOL k, ROWCOL inside) { return k < from ? k : k > to ? k - n : inside; };
        s.first = after(s.first, from);
        s.last = after(s.last, from - 1);
      }
      kept.push_back(s);
    }
    spans = kept;
  }
  void Move(bool alongRows, ROWCOL from, ROWCOL to, ROWCOL dest) {
    const ROWCOL n = to - from + 1, lo = std::min(from, dest), hi = std::max(to, dest + n - 1);
    std::vector<Span> kept;
    for (Span s : spans) {
      if (s.horizontal == alongRows) {
        if (s.line >= from && s.line <= to)
          s.line = s.line - from + dest;
        else if (dest < from && s.line >= dest && s.line < from)
          s.line += n;
        else if (dest > from && s.line > to && s.line < dest + n)
          s.line -= n;
      } else if (s.last >= lo && s.first <= hi) {
        if (s.first >= lo) continue;
        s.last = lo - 1;
      }
      kept.push_back(s);
    }
    spans = kept;
  }
  // What a lookup of the cell should give: the horizontal span's columns, the vertical span's rows.
  bool Lookup(ROWCOL row, ROWCOL col, CGXRange& out) const {
    bool found = false;
    for (const Span& s : spans) {
      if (s.horizontal && s.line == row && col >= s.first && col <= s.last) out.left = s.first, out.right = s.last, found = true;
      if (!s.horizontal && s.line == col && row >= s.first && row <= s.last) out.top = s.first, out.bottom = s.last, found = true;
    }
    return found;
  }
};

void ExpectSameLookups(const CGXSpanCellPool& pool, const Model& model, int step) {
  for (ROWCOL r = 0; r < 16; ++r)
    for (ROWCOL c = 0; c < 16; ++c) {
      CGXRange got(r, c), want(r, c);
      const bool inModel = model.Lookup(r, c, want);
      ASSERT_EQ(pool.GetSpanCellsRowCol(r, c, &got) != FALSE, inModel) << "step " << step << " cell " << r << "," << c;
      if (inModel) {
        ASSERT_EQ(got, want) << "step " << step << " cell " << r << "," << c;
      }
    }
}

TEST(SpanCellPool, LookupsAfterRandomChangesEqualAModelOfTheSameSpans) {
  std::mt19937 rng(32);
  auto pick = [&](ROWCOL lo, ROWCOL hi) { return std::uniform_int_distribution<ROWCOL>(lo, hi)(rng); };
  for (int round = 0; round < 40; ++round) {
    CGXSpanCellPool pool;
    Model model;
    for (int step = 0; step < 60; ++step) {
      const int what = static_cast<int>(pick(0, 9));
      const bool rows = pick(0, 1) == 0;
      if (what <= 3) {
        // A span on free cells (one column wide spans go only into the per-column array).
        Span s{pick(0, 1) == 0, pick(0, 12), pick(0, 10), 0};
        s.last = s.first + pick(1, 4);
        if (!model.Free(s)) continue;
        const BOOL stored = s.horizontal ? pool.SetSpanCellsRowCol(s.line, s.first, s.line, s.last, TRUE)
                                         : pool.SetSpanCellsRowCol(s.first, s.line, s.last, s.line, TRUE);
        ASSERT_TRUE(stored);
        model.spans.push_back(s);
      } else if (what == 4 && !model.spans.empty()) {
        const size_t k = pick(0, static_cast<ROWCOL>(model.spans.size() - 1));
        const Span s = model.spans[k];
        if (s.horizontal)
          pool.SetSpanCellsRowCol(s.line, s.first, s.line, s.last, FALSE);
        else
          pool.SetSpanCellsRowCol(s.first, s.line, s.last, s.line, FALSE);
        model.spans.erase(model.spans.begin() + static_cast<std::ptrdiff_t>(k));
      } else if (what <= 6) {
        const ROWCOL at = pick(0, 12), n = pick(1, 3);
        rows ? pool.InsertRows(at, n) : pool.InsertCols(at, n);
        model.Insert(rows, at, n);
      } else if (what == 7) {
        const ROWCOL from = pick(0, 12), to = from + pick(0, 2);
        rows ? pool.RemoveRows(from, to) : pool.RemoveCols(from, to);
        model.Remove(rows, from, to);
      } else {
        const ROWCOL from = pick(1, 10), to = from + pick(0, 2), dest = pick(1, 10);
        if (dest == from) continue;
        rows ? pool.MoveRows(from, to, dest) : pool.MoveCols(from, to, dest);
        model.Move(rows, from, to, dest);
      }
      ExpectSameLookups(pool, model, step);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(SpanCellPool, StoringOverASpanCutsItAndOneCellWideSpansAreFoundThroughTheirColumn) {
  CGXSpanCellPool pool;
  ASSERT_TRUE(pool.SetSpanCellsRowCol(3, 2, 6, 2, TRUE));  // one column wide: per column only
  EXPECT_EQ(pool.m_perRow.GetSize(), 0);
  CGXRange r(4, 2);
  ASSERT_TRUE(pool.GetSpanCellsRowCol(4, 2, &r));
  EXPECT_EQ(r, CGXRange(3, 2, 6, 2));
  // A shorter span from the same start leaves the rest free.
  ASSERT_TRUE(pool.SetSpanCellsRowCol(3, 2, 4, 2, TRUE));
  EXPECT_FALSE(pool.GetSpanCellsRowCol(5, 2, nullptr));
  // Clearing through the one cell where the span starts clears it in either direction.
  ASSERT_TRUE(pool.SetSpanCellsRowCol(3, 2, 3, 2, FALSE));
  EXPECT_FALSE(pool.GetSpanCellsRowCol(3, 2, nullptr));
  EXPECT_FALSE(pool.SetSpanCellsRowCol(3, 2, 3, 2, FALSE));  // nothing left to clear
  EXPECT_FALSE(pool.GetSpanCellsRowCol(0x80000000, 0, nullptr));
  EXPECT_FALSE(pool.SetSpanCellsRowCol(0, 0, 0x80000000, 1, TRUE));
}

TEST(CoveredCellPool, ReversedAndOutsizedRangesFromALayoutAreNotEntered) {
  // Covered ranges come from layout bytes: a reversed range once indexed past its row's slots, and a range
  // to the last index reaches past what the covered cells look up.
  CGXCoveredCellPool pool;
  const POSITION a = reinterpret_cast<POSITION>(std::uintptr_t{0x10});
  EXPECT_FALSE(pool.SetRange(2, 9, 3, 1, a));
  EXPECT_FALSE(pool.SetRange(9, 1, 2, 3, a));
  EXPECT_FALSE(pool.SetRange(1, 1, 1, 0xFFFFFFFF, a));
  EXPECT_FALSE(pool.SetRange(1, 1, 0xFFFFFFFF, 2, a));
  EXPECT_EQ(pool.Lookup(2, 1), nullptr);
  EXPECT_TRUE(pool.SetRange(2, 1, 3, CGXCoveredCellPool::kMaxCol, a));
  EXPECT_EQ(pool.Lookup(3, CGXCoveredCellPool::kMaxCol), a);
  EXPECT_FALSE(pool.SetRange(2, 3, 1, 1, nullptr));
  EXPECT_EQ(pool.Lookup(2, 1), a);
}

// The covered-cell pool as a slot per cell of a small grid, entered and cleared row by row.
class CoveredModel {
 public:
  static constexpr ROWCOL kSize = 12;
  POSITION Lookup(ROWCOL r, ROWCOL c) const { return cells[r][c]; }
  BOOL SetRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) {
    if (position && top == bottom && left == right) return FALSE;
    if (top > bottom || left > right) return FALSE;
    BOOL changed = FALSE;
    for (ROWCOL r = top; r <= bottom; ++r) {
      auto& row = cells[r];
      const POSITION old = row[left];
      if (position) {
        if (old && old != position) return FALSE;
        for (ROWCOL c = left; c <= right; ++c) row[c] = position;
        for (ROWCOL c = right + 1; old && c < kSize && row[c] == old; ++c) row[c] = nullptr;
        changed = TRUE;
      } else if (old) {
        for (ROWCOL c = left; c < kSize && row[c] == old; ++c) row[c] = nullptr;
        changed = TRUE;
      }
    }
    return changed;
  }
  BOOL IsFree(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) const {
    for (ROWCOL r = top; r <= bottom; ++r)
      for (ROWCOL c = left; c <= right; ++c)
        if (cells[r][c] && cells[r][c] != position) return FALSE;
    return TRUE;
  }
  std::vector<POSITION> PositionsIn(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) const {
    std::vector<POSITION> found;
    for (ROWCOL r = top; r <= bottom; ++r)
      for (ROWCOL c = left; c <= right; ++c)
        if (cells[r][c] && std::find(found.begin(), found.end(), cells[r][c]) == found.end())
          found.push_back(cells[r][c]);
    std::sort(found.begin(), found.end());
    return found;
  }

 private:
  POSITION cells[kSize][kSize] = {};
};

TEST(CoveredCellPool, RandomEntriesClearsAndOverlapsAnswerAsASlotPerCell) {
  // Overlapping, narrowed, widened and cleared ranges (as a layout's list may hold them), compared cell by
  // cell with the slot-per-cell form after every step, and the ranges a block meets before each; the range
  // stays one cell short of the model's edge.
  std::mt19937 random(45);
  auto pick = [&](ROWCOL lo, ROWCOL hi) { return std::uniform_int_distribution<ROWCOL>(lo, hi)(random); };
  const POSITION positions[] = {reinterpret_cast<POSITION>(std::uintptr_t{0x10}),
                                reinterpret_cast<POSITION>(std::uintptr_t{0x20}),
                                reinterpret_cast<POSITION>(std::uintptr_t{0x30}), nullptr};
  for (int round = 0; round < 40; ++round) {
    CGXCoveredCellPool pool;
    CoveredModel model;
    for (int step = 0; step < 60; ++step) {
      const ROWCOL top = pick(0, 9), left = pick(0, 9);
      const ROWCOL bottom = top + pick(0, 10 - top), right = left + pick(0, 10 - left);
      const POSITION position = positions[pick(0, 3)];
      ASSERT_EQ(pool.IsFree(top, left, bottom, right, position), model.IsFree(top, left, bottom, right, position))
          << round << "/" << step;
      ASSERT_EQ(pool.PositionsIn(top, left, bottom, right), model.PositionsIn(top, left, bottom, right))
          << round << "/" << step;
      ASSERT_EQ(pool.SetRange(top, left, bottom, right, position), model.SetRange(top, left, bottom, right, position))
          << round << "/" << step;
      for (ROWCOL r = 0; r < CoveredModel::kSize; ++r)
        for (ROWCOL c = 0; c < CoveredModel::kSize; ++c)
          ASSERT_EQ(pool.Lookup(r, c), model.Lookup(r, c)) << round << "/" << step << " cell " << r << "," << c;
    }
    // Whatever was entered, clearing every range the cells still hold empties the pool.
    for (ROWCOL r = 0; r < CoveredModel::kSize; ++r)
      for (ROWCOL c = 0; c < CoveredModel::kSize; ++c) pool.SetRange(r, c, r, c, nullptr);
    EXPECT_EQ(pool.RunCount(), 0u) << round;
  }
}

TEST(CoveredCellPool, ALargeRangeIsKeptAsOneRunAndFoundAtItsCornersAndInside) {
  CGXCoveredCellPool pool;
  const POSITION a = reinterpret_cast<POSITION>(std::uintptr_t{0x10});
  const POSITION b = reinterpret_cast<POSITION>(std::uintptr_t{0x20});
  ASSERT_TRUE(pool.SetRange(5, 7, 10004, 10006, a));  // 10,000 x 10,000 cells
  EXPECT_EQ(pool.RunCount(), 1u);
  for (const auto& [r, c] : {std::pair<ROWCOL, ROWCOL>{5, 7}, {5, 10006}, {10004, 7}, {10004, 10006}, {5000, 5000}})
    EXPECT_EQ(pool.Lookup(r, c), a) << r << "," << c;
  for (const auto& [r, c] : {std::pair<ROWCOL, ROWCOL>{4, 7}, {5, 6}, {10005, 10006}, {10004, 10007}, {0, 0}})
    EXPECT_EQ(pool.Lookup(r, c), nullptr) << r << "," << c;
  EXPECT_FALSE(pool.IsFree(10004, 10006, 20000, 20000, nullptr));
  EXPECT_TRUE(pool.IsFree(10004, 10006, 20000, 20000, a));
  // A second range beside it in the lower rows splits the rows into two bands.
  ASSERT_TRUE(pool.SetRange(6000, 10007, 12000, 10010, b));
  EXPECT_EQ(pool.RunCount(), 4u);  // rows 5..5999: one run; 6000..10004: two; 10005..12000: one
  EXPECT_EQ(pool.Lookup(12000, 10010), b);
  EXPECT_EQ(pool.Lookup(5999, 10007), nullptr);
  // The first range narrowed in place frees the columns it leaves, in every row.
  ASSERT_TRUE(pool.SetRange(5, 7, 10004, 100, a));
  EXPECT_EQ(pool.Lookup(10004, 101), nullptr);
  EXPECT_EQ(pool.Lookup(10004, 100), a);
  // Removed through its first cell: nothing of it is left, the other range stays.
  ASSERT_TRUE(pool.SetRange(5, 7, 10004, 100, nullptr));
  EXPECT_EQ(pool.Lookup(5000, 50), nullptr);
  EXPECT_EQ(pool.Lookup(6000, 10007), b);
  EXPECT_EQ(pool.RunCount(), 1u);
  ASSERT_TRUE(pool.SetRange(6000, 10007, 12000, 10010, nullptr));
  EXPECT_EQ(pool.RunCount(), 0u);
  // The largest range the pool enters costs no more.
  ASSERT_TRUE(pool.SetRange(0, 0, CGXCoveredCellPool::kMaxRow, CGXCoveredCellPool::kMaxCol, a));
  EXPECT_EQ(pool.RunCount(), 1u);
  EXPECT_EQ(pool.Lookup(CGXCoveredCellPool::kMaxRow, CGXCoveredCellPool::kMaxCol), a);
  EXPECT_EQ(pool.Lookup(CGXCoveredCellPool::kMaxRow + 1, 0), nullptr);
}

TEST(SpanCellPool, ALoadedPoolAnswersOnlySpansThatRunUnbrokenFromTheirFirstIndex) {
  // Row 7 as a layout held it: entries naming a later index, a first index that holds no span, and a run
  // naming an index whose own entry names another. Row 2 and column 4 hold well-formed spans.
  constexpr DWORD no = CGXSpanCellPool::kNoSpan;
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << WORD{1} << DWORD{8};
    ar << DWORD{2};
    gx::WriteDWordArray(ar, {no, 1, 1, 1, no, 5, 5});
    ar << DWORD{7};
    gx::WriteDWordArray(ar, {no, 511, 0, 4, 3, 3, 3, 3, 3});
    ar << DWORD{0xFFFFFFFF};
    ar << WORD{1} << DWORD{5} << DWORD{4};
    gx::WriteDWordArray(ar, {no, no, 2, 2, 2, 3});
    ar << DWORD{0xFFFFFFFF};
  }
  file.SeekToBegin();
  CArchive ar(&file, CArchive::load);
  CGXSpanCellPool pool;
  pool.Serialize(ar);
  for (ROWCOL c = 0; c <= 9; ++c) EXPECT_FALSE(pool.GetSpanCellsRowCol(7, c, nullptr)) << c;
  CGXRange r;
  ASSERT_TRUE(pool.GetSpanCellsRowCol(2, 3, &r));
  EXPECT_EQ(r.left, 1u);
  EXPECT_EQ(r.right, 3u);
  ASSERT_TRUE(pool.GetSpanCellsRowCol(2, 6, &r));
  EXPECT_EQ(r.left, 5u);
  ASSERT_TRUE(pool.GetSpanCellsRowCol(4, 4, &r));
  EXPECT_EQ(r.top, 2u);
  EXPECT_EQ(r.bottom, 4u);
  EXPECT_FALSE(pool.GetSpanCellsRowCol(5, 4, nullptr));  // a 3 after the run of 2s names no span of its own
}

TEST(SpanCellPool, ALineIndexAtOrAboveTheStoredCountIsRefused) {
  // A pool whose per-row array claims 2 lines and stores one at index 2.
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << WORD{1} << DWORD{2} << DWORD{2};
    gx::WriteDWordArray(ar, {1, 1});
    ar << DWORD{0xFFFFFFFF};
    ar << WORD{1} << DWORD{0} << DWORD{0xFFFFFFFF};
  }
  file.SeekToBegin();
  CArchive ar(&file, CArchive::load);
  CGXSpanCellPool pool;
  bool refused = false;
  try {
    pool.Serialize(ar);
  } catch (CArchiveException* e) {
    refused = true;
    e->Delete();
  }
  EXPECT_TRUE(refused);
}

// ---- Layouts carrying pools (the layout fuzzer's seeds) ------------------------------------------------------

// A layout of 20 x 8 cells with floating and merged cells in delayed mode: spans in each pool, areas pending
// and areas partly handed out.
std::unique_ptr<CGXGridParam> LayoutWithPools(WORD floatingMode, WORD mergingMode) {
  auto p = std::make_unique<CGXGridParam>();
  p->SetData(new CGXData, TRUE);
  p->GetData()->StoreRowCount(20);
  p->GetData()->StoreColCount(8);
  p->m_wFloatingMode = floatingMode;
  p->m_wMergingMode = mergingMode;
  p->m_pFloatSpans = std::make_unique<CGXSpanCellPool>();
  p->m_pFloatSpans->SetSpanCellsRowCol(2, 1, 2, 4, TRUE);
  p->m_pFloatSpans->SetSpanCellsRowCol(7, 3, 7, 8, TRUE);
  p->m_pMergeSpansH = std::make_unique<CGXSpanCellPool>();
  p->m_pMergeSpansH->SetSpanCellsRowCol(5, 2, 5, 3, TRUE);
  p->m_pMergeSpansV = std::make_unique<CGXSpanCellPool>();
  p->m_pMergeSpansV->SetSpanCellsRowCol(9, 6, 14, 6, TRUE);
  std::vector<DWORD> first, last;
  for (auto* pool : {&p->m_pFloatDelayed, &p->m_pMergeDelayed}) {
    *pool = std::make_unique<CGXDelayedRangePool>();
    (*pool)->AddRange(CGXRange(1, 1, 20, 8));
    (*pool)->AddRange(CGXRange(30, 2, 40, 3));
    (*pool)->GetRowsToEvaluate(CGXRange(4, 1, 6, 8), first, last);
  }
  p->GetCoveredCells().AddTail(new CGXRange(11, 1, 13, 2));
  return p;
}

std::vector<BYTE> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The seeds of the layout fuzzer are these layouts as archived; BRIM_UPDATE_REFERENCES=1 rewrites them.
TEST(SpanCellPool, LayoutsWithPoolsComeBackFromTheirArchiveAndSeedTheLayoutFuzzer) {
  InstallDocSerializeImp();
  const char* root = std::getenv("BRIM_SOURCE_DIR");
  const std::string dir = std::string(root ? root : ".") + "/fuzz/gridmodel/corpus/";
  const bool update = std::getenv("BRIM_UPDATE_REFERENCES") != nullptr;
  struct Seed {
    const char* name;
    WORD floating, merging;
  };
  for (const Seed& seed : {Seed{"spans-delayed", 1, 1}, Seed{"spans-immediate", 2, 2 | 0x10}}) {
    const auto param = LayoutWithPools(seed.floating, seed.merging);
    const std::vector<BYTE> bytes = gx::WriteObjectToBytes(param.get());
    std::unique_ptr<CObject> back(gx::ReadObjectFromBytes(bytes, RUNTIME_CLASS(CGXGridParam)));
    auto* read = dynamic_cast<CGXGridParam*>(back.get());
    ASSERT_NE(read, nullptr) << seed.name;
    ASSERT_TRUE(read->m_pFloatSpans && read->m_pMergeSpansV && read->m_pFloatDelayed);
    for (ROWCOL r = 0; r < 20; ++r)
      for (ROWCOL c = 0; c < 10; ++c) {
        CGXRange a(r, c), b(r, c);
        EXPECT_EQ(param->m_pFloatSpans->GetSpanCellsRowCol(r, c, &a), read->m_pFloatSpans->GetSpanCellsRowCol(r, c, &b));
        EXPECT_EQ(a, b);
        EXPECT_EQ(param->m_pMergeSpansV->GetSpanCellsRowCol(r, c, nullptr),
                  read->m_pMergeSpansV->GetSpanCellsRowCol(r, c, nullptr));
      }
    std::vector<DWORD> f1, l1, f2, l2;
    EXPECT_EQ(param->m_pFloatDelayed->GetRowsToEvaluate(CGXRange(1, 1, 20, 8), f1, l1),
              read->m_pFloatDelayed->GetRowsToEvaluate(CGXRange(1, 1, 20, 8), f2, l2));
    EXPECT_EQ(f1, f2);
    const std::string path = dir + seed.name + ".gxlayout";
    if (update) {
      std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
    } else {
      EXPECT_EQ(ReadFile(path), bytes) << path << " (BRIM_UPDATE_REFERENCES=1 rewrites it)";
    }
  }
}

}  // namespace
