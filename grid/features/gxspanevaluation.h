// What the floating and merged cells share when they evaluate a range: the walk over its cells (only what
// the delayed-range pool still holds in delayed mode, past hidden lines unless they take part) with the
// grid's updates locked, and the repaint of the cells whose spans changed.
#pragma once

#include <functional>

#include "grid/core/CGXRange.h"
#include "grid/core/gxtypes.h"

class CGXGridCore;
class CGXDelayedRangePool;

namespace gx {

// Calls `evaluate` for every cell of the cell range `area` (clamped to the counts) that is pending in
// `delayed` (every cell without a pool); cells of hidden rows and columns are skipped unless `withHidden`.
// Updates are locked meanwhile unless `noLock`. The answer ORs the answers of `evaluate`.
BOOL EvaluateSpanCells(CGXGridCore* g, const CGXRange& area, CGXDelayedRangePool* delayed, BOOL withHidden,
                       BOOL noLock, const std::function<BOOL(ROWCOL row, ROWCOL col)>& evaluate);
// Invalidates the cells of `changed` (when valid and updates are not locked): spans that changed while a
// block was drawn reach beyond it.
void InvalidateChangedSpans(CGXGridCore* g, const CGXRange& changed);

}  // namespace gx
