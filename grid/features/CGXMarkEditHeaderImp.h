// Header marking: the row and column headers of the current cell (and of the row or column being resized)
// are drawn marked, and redrawn when the current cell moves, as the properties' "MarkRowHeader" and
// "MarkColumnHeader" switches ask.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXMarkEditHeaderImp : public CGXGridMarkEditHeaderImp {
 public:
  // which: 0 both headers, 1 the column header, 2 the row header. Nothing while the marking lock is set.
  void MarkEditHeaders(CGXGridCore* g, ROWCOL row, ROWCOL col, int which, UINT flags) override;
  BOOL IsHeaderMarked(CGXGridCore* g, CGXControl* header, ROWCOL row, ROWCOL col) override;
};
