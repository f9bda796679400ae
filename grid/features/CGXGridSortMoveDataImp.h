// The process-wide reordering of a cell store's rows or columns after a sort: pointers move, no style is
// copied or freed.
#pragma once

#include "grid/core/CGXData.h"

class CGXGridSortMoveDataImp : public CGXAbstractGridSortMoveDataImp {
 public:
  // order[i] is the offset, from the range's first row, of the row that goes to place i. Applied to the cell
  // rows and then to the row base styles; trailing empty places of the sorted range are trimmed when the
  // range ends at an array's end. An order that is not a permutation of 0..n-1 is refused (FALSE, nothing
  // moved): it would put one row in two places.
  BOOL MoveDataRows(CGXData& data, const CGXRange& range, const CDWordArray& order) override;
  // The same with columns: every stored row's cells, then the column base styles.
  BOOL MoveDataCols(CGXData& data, const CGXRange& range, const CDWordArray& order) override;
};

void InstallSortMoveDataImp();
