// Moving rows and columns in a span cell pool.
#include <algorithm>

#include "grid/core/CGXSpanCellPool.h"

namespace {

// Lines from..to of `lines` go to dest (the first line they occupy afterwards); `across` (the other
// direction's lines) loses its entries from the first line that moves on.
void MoveLines(CGXDWordArrayPtrArray& lines, CGXDWordArrayPtrArray& across, ROWCOL from, ROWCOL to, ROWCOL dest) {
  if (to < from || from == dest) return;
  const ROWCOL n = to - from + 1, first = std::min(from, dest);
  const INT_PTR size = lines.GetSize();
  if (static_cast<INT_PTR>(first) < size) {
    // The lines between the first moved place and the end of the block, rearranged as the rows are.
    const ROWCOL last = std::max(to, dest + n - 1);
    std::vector<std::vector<DWORD>> before;
    for (ROWCOL i = first; i <= last; ++i) {
      const auto* line = lines.GetAt(static_cast<INT_PTR>(i));
      before.push_back(line ? *line : std::vector<DWORD>());
    }
    std::vector<std::vector<DWORD>> after(before.size());
    for (ROWCOL i = first; i <= last; ++i) {
      ROWCOL target = i;
      if (i >= from && i <= to)
        target = dest + (i - from);
      else if (dest < from && i >= dest && i < from)
        target = i + n;
      else if (dest > from && i > to && i < dest + n)
        target = i - n;
      after[target - first] = std::move(before[i - first]);
    }
    for (ROWCOL i = first; i <= last; ++i) {
      auto& moved = after[i - first];
      if (moved.empty() && !lines.GetAt(static_cast<INT_PTR>(i))) continue;
      lines.Line(static_cast<INT_PTR>(i)) = std::move(moved);
    }
  }
  for (INT_PTR i = 0; i < across.GetSize(); ++i)
    if (std::vector<DWORD>* line = across.GetAt(i); line && line->size() > first) line->resize(first);
}

}  // namespace

void CGXSpanCellPool::MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest) { MoveLines(m_perRow, m_perCol, from, to, dest); }

void CGXSpanCellPool::MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest) { MoveLines(m_perCol, m_perRow, from, to, dest); }
