#include "grid/features/CGXGridSortMoveDataImp.h"

#include <vector>

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CDWordArray.h"

namespace {

bool IsPermutation(const CDWordArray& order) {
  const INT_PTR n = order.GetSize();
  std::vector<bool> seen(static_cast<size_t>(n), false);
  for (INT_PTR i = 0; i < n; ++i) {
    const DWORD v = order[i];
    if (v >= static_cast<DWORD>(n) || seen[v]) return false;
    seen[v] = true;
  }
  return true;
}

// The four steps on one owning array (a row of cells, the rows, or a base-style array).
template <class Array>
void Permute(Array& array, INT_PTR first, const CDWordArray& order) {
  const INT_PTR n = order.GetSize();
  if (n == 0) return;
  // 1. The elements in their new order (null where the index lies past the array's end).
  using Element = decltype(array.Detach(0));
  std::vector<Element> moved(static_cast<size_t>(n), nullptr);
  for (INT_PTR i = 0; i < n; ++i) moved[static_cast<size_t>(i)] = array.Detach(first + static_cast<INT_PTR>(order[i]));
  // 2. Room for the whole range.
  if (array.GetSize() < first + n) array.SetSize(first + n);
  // 3. Written back; the places were emptied in step 1, so nothing is freed here.
  INT_PTR highest = first;
  for (INT_PTR i = 0; i < n; ++i) {
    if (moved[static_cast<size_t>(i)]) highest = first + i;
    array.SetAtGrow(first + i, moved[static_cast<size_t>(i)]);
  }
  // 4. Trailing empty places of a range that ends the array do not stay.
  if (array.GetSize() == first + n && highest != first + n - 1) array.SetSize(highest + 1);
}

}  // namespace

BOOL CGXGridSortMoveDataImp::MoveDataRows(CGXData& data, const CGXRange& range, const CDWordArray& order) {
  if (!IsPermutation(order)) return FALSE;
  Permute(data.GetCells(), static_cast<INT_PTR>(range.top), order);
  Permute(data.GetRowBaseStyles(), static_cast<INT_PTR>(range.top), order);
  return TRUE;
}

BOOL CGXGridSortMoveDataImp::MoveDataCols(CGXData& data, const CGXRange& range, const CDWordArray& order) {
  if (!IsPermutation(order)) return FALSE;
  CGXStylePtrArrayPtrArray& rows = data.GetCells();
  for (INT_PTR r = 0; r < rows.GetSize(); ++r)
    if (CGXStylePtrArray* row = rows.GetAt(r)) Permute(*row, static_cast<INT_PTR>(range.left), order);
  Permute(data.GetColBaseStyles(), static_cast<INT_PTR>(range.left), order);
  return TRUE;
}

void InstallSortMoveDataImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pSortMoveDataImp) return;
  auto* imp = new CGXGridSortMoveDataImp;
  g.m_pSortMoveDataImp = imp;
  g.AddToAutoDeleteList(imp);
}
