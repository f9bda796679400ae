// Cell-by-cell drawing: an optional per-grid way of drawing a cell block, row by row under per-row
// clipping, with the cell backgrounds painted as merged rectangular blocks first.
#pragma once

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/wintypes.h"

class CDC;
class CGXGridCore;
class CGXGridDrawContext;

class CGXAbstractGridOldDrawingImp : public CGXImpBase {
 public:
  // FALSE (not done) unless the grid asks for this drawing; otherwise draws the block and answers TRUE.
  virtual BOOL DrawCells(CGXGridCore* grid, CDC* dc, CGXGridDrawContext& ctx) = 0;
  virtual void DrawBackgrounds(CGXGridCore* grid, CGXGridDrawContext& ctx) = 0;
};

class CGXGridOldDrawingImp : public CGXAbstractGridOldDrawingImp {
 public:
  BOOL DrawCells(CGXGridCore* grid, CDC* dc, CGXGridDrawContext& ctx) override;
  void DrawBackgrounds(CGXGridCore* grid, CGXGridDrawContext& ctx) override;
  // Fills made by the last DrawBackgrounds (the standard fill and each merged block), for inspection.
  int m_nLastFills = 0;
  // Whether the last DrawCells clipped its rows one by one.
  BOOL m_bLastClippedRows = FALSE;
};
