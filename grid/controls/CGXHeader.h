// The header cell: row and column headers with a 3-D look. The headers of the current cell's row and
// column, and (with the grid's header-marking switch) the headers of selected rows and columns, are marked.
#pragma once

#include "grid/controls/CGXStatic.h"

class CGXHeader : public CGXStatic {
 public:
  explicit CGXHeader(CGXGridCore* grid) : CGXStatic(grid) {}
  static const CGXControlClass classCGXHeader;
  const CGXControlClass* GetControlClass() const override { return &classCGXHeader; }
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  // A focus rectangle.
  void DrawCurrentCellFrame(CDC* dc, const CRect& inner) override;
  // The base answer, or (with the header-marking switch) whether the header's row or column meets a range
  // of the selection.
  BOOL MarkEditHeader(ROWCOL row, ROWCOL col, DWORD_PTR flag) override;
  // Rebuilds the style colour table.
  void RefreshSysColors() override;

 protected:
  // Whether the header is drawn marked (pressed): MarkEditHeader, inverted by the header-marking switch.
  BOOL IsMarked(ROWCOL row, ROWCOL col);
  // The grid parameters' header-marking switch.
  BOOL HeaderFlag() const;
  // Whether the header belongs to the current cell's row or column.
  BOOL IsCurrent(ROWCOL row, ROWCOL col) const;
  void DrawHeaderText(CDC* dc, const CRect& inner, ROWCOL row, ROWCOL col, const CGXStyle& style);
};
