// Optimized redraw after rows or columns were inserted, removed or resized: the update halves hand the
// change to the optimized-update feature (CGXGridOptimizedUpdateImp), which scrolls the window contents and
// invalidates only what changed; without the feature the whole grid repaints.
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridOptimizedUpdateImp.h"

void CGXGridCore::InstallOptimizedUpdateImp() {
  if (m_pOptimizedUpdateImp) return;
  m_pOptimizedUpdateImp = new CGXGridOptimizedUpdateImp;
  AddAutoDeleteObject(m_pOptimizedUpdateImp, [](void* p) { delete static_cast<CGXGridOptimizedUpdateImp*>(p); });
}

namespace {
// The feature, installed on first need while the grid's switch asks for optimized redraws.
CGXGridOptimizedUpdateImp* Optimizer(CGXGridCore* g) {
  if (!g->GetOptimizedUpdateImp() && g->m_bOptimizedUpdate) g->InstallOptimizedUpdateImp();
  return g->GetOptimizedUpdateImp();
}
}  // namespace

void CGXGridCore::OptimizedInsertRows(ROWCOL row, ROWCOL count, UINT flags) {
  if (auto* imp = Optimizer(this))
    imp->OptimizedInsertRows(this, row, count, flags);
  else
    RedrawAll(flags);
}

void CGXGridCore::OptimizedInsertCols(ROWCOL col, ROWCOL count, UINT flags) {
  if (auto* imp = Optimizer(this))
    imp->OptimizedInsertCols(this, col, count, flags);
  else
    RedrawAll(flags);
}

// Without old sizes the removal's extent measured before the store half ran (m_nRemovedExtent) stands in.
void CGXGridCore::OptimizedRemoveRows(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags) {
  if (auto* imp = Optimizer(this))
    imp->OptimizedRemoveRows(this, from, to, oldHeights, flags);
  else
    RedrawAll(flags);
}

void CGXGridCore::OptimizedRemoveCols(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags) {
  if (auto* imp = Optimizer(this))
    imp->OptimizedRemoveCols(this, from, to, oldWidths, flags);
  else
    RedrawAll(flags);
}

// With the old sizes the rows below a resized row move with the window contents; without them everything
// from the first changed row down repaints.
void CGXGridCore::OptimizedRowHeights(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags) {
  if (auto* imp = Optimizer(this))
    imp->OptimizedRowHeights(this, from, to, oldHeights, flags);
  else
    RedrawAll(flags);
}

void CGXGridCore::OptimizedColWidths(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags) {
  if (auto* imp = Optimizer(this))
    imp->OptimizedColWidths(this, from, to, oldWidths, flags);
  else
    RedrawAll(flags);
}
