#include "grid/features/CGXFreezeMenuHelperImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CDWordArray.h"

namespace {

// Holds the header-marking lock for the duration of a freeze command and gives its old state back.
class MarkingLock {
 public:
  explicit MarkingLock(CGXGridParam* p) : m_p(p), m_old(p->m_bHeaderMarkingLocked) { p->m_bHeaderMarkingLocked = TRUE; }
  ~MarkingLock() { m_p->m_bHeaderMarkingLocked = m_old; }
  MarkingLock(const MarkingLock&) = delete;
  MarkingLock& operator=(const MarkingLock&) = delete;

 private:
  CGXGridParam* m_p;
  BOOL m_old;
};

}  // namespace

BOOL CGXFreezeMenuHelperImp::SelectedRun(CGXGridCore* g, BOOL rows, ROWCOL* first, ROWCOL* last) {
  CGXGridParam* p = g->GetParam();
  if (!p) return FALSE;
  CDWordArray starts, ends;
  const CGXRangeList& sel = p->GetSelection();
  if (rows)
    sel.GetRowIntervals(g->GetRowCount(), starts, ends, TRUE);
  else
    sel.GetColIntervals(g->GetColCount(), starts, ends, TRUE);
  if (starts.GetSize() != 1) return FALSE;
  *first = starts[0];
  *last = ends[0];
  return TRUE;
}

BOOL CGXFreezeMenuHelperImp::CanFreezeRows(CGXGridCore* g) {
  ROWCOL a, b;
  return g->GetParam() && g->GetFrozenRows() == g->GetHeaderRows() && SelectedRun(g, TRUE, &a, &b);
}

BOOL CGXFreezeMenuHelperImp::CanFreezeCols(CGXGridCore* g) {
  ROWCOL a, b;
  return g->GetParam() && g->GetFrozenCols() == g->GetHeaderCols() && SelectedRun(g, FALSE, &a, &b);
}

BOOL CGXFreezeMenuHelperImp::CanUnfreezeRows(CGXGridCore* g) {
  return g->GetParam() && g->GetFrozenRows() > g->GetHeaderRows();
}

BOOL CGXFreezeMenuHelperImp::CanUnfreezeCols(CGXGridCore* g) {
  return g->GetParam() && g->GetFrozenCols() > g->GetHeaderCols();
}

void CGXFreezeMenuHelperImp::FreezeRows(CGXGridCore* g) { Freeze(g, TRUE); }
void CGXFreezeMenuHelperImp::FreezeCols(CGXGridCore* g) { Freeze(g, FALSE); }
void CGXFreezeMenuHelperImp::UnfreezeRows(CGXGridCore* g) { Unfreeze(g, TRUE); }
void CGXFreezeMenuHelperImp::UnfreezeCols(CGXGridCore* g) { Unfreeze(g, FALSE); }

// Decision: the frozen lines are the header lines and the block after them, and the header lines stay
// headers (without extra header lines this is the block's count with no header lines).
void CGXFreezeMenuHelperImp::Freeze(CGXGridCore* g, BOOL rows) {
  if (!(rows ? CanFreezeRows(g) : CanFreezeCols(g))) return;
  CGXGridParam* p = g->GetParam();
  ROWCOL first = 0, last = 0;
  SelectedRun(g, rows, &first, &last);
  g->BeginTransaction(gx::LoadGridString(rows ? 20169 : 20168));
  {
    MarkingLock lock(p);
    g->SetSelection(nullptr, 0, 0, 0, 0);
    const ROWCOL headers = rows ? g->GetHeaderRows() : g->GetHeaderCols();
    const ROWCOL dest = headers + 1;
    if (first < dest) first = dest;
    if (first > last) {
      g->RollbackTransaction();
      return;
    }
    if (first > dest) rows ? g->MoveRows(first, last, dest, GX_UPDATENOW, 0) : g->MoveCols(first, last, dest, GX_UPDATENOW, 0);
    const ROWCOL count = last - first + 1;
    (rows ? p->m_nFreezeRowsDest : p->m_nFreezeColsDest) = dest;
    (rows ? p->m_nFreezeRowsCount : p->m_nFreezeColsCount) = count;
    (rows ? p->m_nFreezeRowsFirst : p->m_nFreezeColsFirst) = first;
    rows ? g->SetFrozenRows(headers + count, headers, GX_UPDATENOW, 0)
         : g->SetFrozenCols(headers + count, headers, GX_UPDATENOW, 0);
  }
  g->RedrawAll(GX_UPDATENOW, TRUE);
  g->CommitTransaction();
}

// Decision: the block goes back as dest..dest + count - 1 (its real last line, also with extra header
// lines), and rows are unfrozen in one transaction as columns are.
void CGXFreezeMenuHelperImp::Unfreeze(CGXGridCore* g, BOOL rows) {
  if (!(rows ? CanUnfreezeRows(g) : CanUnfreezeCols(g))) return;
  CGXGridParam* p = g->GetParam();
  const ROWCOL dest = rows ? p->m_nFreezeRowsDest : p->m_nFreezeColsDest;
  const ROWCOL count = rows ? p->m_nFreezeRowsCount : p->m_nFreezeColsCount;
  const ROWCOL first = rows ? p->m_nFreezeRowsFirst : p->m_nFreezeColsFirst;
  const ROWCOL headers = rows ? g->GetHeaderRows() : g->GetHeaderCols();
  g->BeginTransaction(gx::LoadGridString(rows ? 20169 : 20168));
  {
    MarkingLock lock(p);
    rows ? g->SetFrozenRows(headers, headers, GX_UPDATENOW, 0) : g->SetFrozenCols(headers, headers, GX_UPDATENOW, 0);
    if (count && dest && dest != first)
      rows ? g->MoveRows(dest, dest + count - 1, first, GX_UPDATENOW, 0)
           : g->MoveCols(dest, dest + count - 1, first, GX_UPDATENOW, 0);
  }
  g->RedrawAll(GX_UPDATENOW, TRUE);
  g->CommitTransaction();
}

void CGXGridCore::InstallFreezeMenuHelperImp() {
  if (!GetFreezeMenuHelperImp()) SetFeature(new CGXFreezeMenuHelperImp);
}
