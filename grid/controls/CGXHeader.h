// The header cell: row and column headers with a raised look; the headers of the current cell's row and
// column are drawn pressed.
#pragma once

#include "grid/controls/CGXStatic.h"

class CGXHeader : public CGXStatic {
 public:
  explicit CGXHeader(CGXGridCore* grid) : CGXStatic(grid) {}
  static const CGXControlClass classCGXHeader;
  const CGXControlClass* GetControlClass() const override { return &classCGXHeader; }
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void DrawCurrentCellFrame(CDC* dc, const CRect& inner) override;
  // Whether this header marks the current cell's row or column.
  BOOL IsMarked(ROWCOL row, ROWCOL col) const;
};
