// The record-browsing grid, as far as the cells need it: a grid window whose columns map to the fields of a
// record source. Columns can be moved, so a column's data index (which field it shows, counted with the
// header columns) may differ from its place.
#pragma once

#include "grid/core/CGXGridWnd.h"

class CGXBrowserGrid : public CGXGridWnd {
 public:
  // The data index of a column; the column itself while no columns were moved.
  virtual ROWCOL GetColIndex(ROWCOL col) { return col; }
  // The 0-based field index of a column: its data index less the header columns and the row header.
  int ColToFieldIndex(ROWCOL col) {
    return static_cast<int>(GetColIndex(col)) - static_cast<int>(GetHeaderCols()) - 1;
  }
};
