// Sizing rows (columns) of a range to what their cells need, each line capped at the room the window
// offers; one undoable transaction that an abort (Esc) rolls back whole.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXRange;

class CGXResizeToFitImp : public CGXGridResizeToFitImp {
 public:
  // The argument words: the range (a CGXRange pointer), the covered-cells flag and the update flags (bit
  // value 8: grow only).
  LRESULT ResizeToFitForward0(CGXGridCore* g, const GXForwardArgs& a) override;
  LRESULT ResizeToFitForward1(CGXGridCore* g, const GXForwardArgs& a) override;

  // TRUE when done, FALSE when aborted (every change taken back).
  BOOL ResizeRowsToFit(CGXGridCore* g, const CGXRange& range, BOOL covered, UINT flags);
  BOOL ResizeColsToFit(CGXGridCore* g, const CGXRange& range, BOOL covered, UINT flags);

  static constexpr UINT kGrowOnly = 8;

 private:
  BOOL Fit(CGXGridCore* g, BOOL rows, const CGXRange& range, BOOL covered, UINT flags);
};
