#include "grid/features/CGXCutPasteImp.h"

#include <unistd.h>

#include <algorithm>
#include <new>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "grid/features/CGXDirectCopyMoveCellsImp.h"
#include "grid/features/CGXStyleDataExchangeImp.h"
#include "grid/features/CGXTextDataExchangeImp.h"
#include "grid/features/gxcopyblock.h"
#include "grid/features/gxexchangestrings.h"
#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/CSharedFile.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/MessageBox.h"

namespace {

constexpr UINT kNotRegistered = 65535;
UINT g_directCopyFormat = kNotRegistered;

// The cells that copies and pastes work on: below and right of the header rows and columns unless the
// clipboard flags 0x0001 and 0x0002 include them, up to the counts.
struct DataArea {
  ROWCOL top, left, bottom, right;
  explicit DataArea(CGXGridCore* grid)
      : top((grid->m_nClipboardFlags & 0x0001) ? 0 : grid->GetHeaderRows() + 1),
        left((grid->m_nClipboardFlags & 0x0002) ? 0 : grid->GetHeaderCols() + 1),
        bottom(grid->GetRowCount()),
        right(grid->GetColCount()) {}
  void Expand(CGXRange& range) const { range.ExpandToCells(top, left, bottom, right); }
  void ExpandAll(CGXRangeList& list) const {
    for (POSITION p = list.GetHeadPosition(); p;) Expand(*list.GetNext(p));
  }
};

// Copies the selection into the list (without the current cell's fall-back).
void CopySelection(CGXGridCore* grid, CGXRangeList& out) {
  out.DeleteAll();
  if (CGXGridParam* p = grid->GetParam())
    for (POSITION pos = p->GetSelection().GetHeadPosition(); pos;)
      out.AddTail(new CGXRange(*p->GetSelection().GetNext(pos)));
}

CGXControl* EditingControl(CGXGridCore* grid) {
  ROWCOL r = 0, c = 0;
  if (!grid->QueryCurrentCell(&r, &c)) return nullptr;
  CGXControl* control = grid->ControlOfCurrentCell();
  return control && control->GetEditingState() ? control : nullptr;
}

// One format in its own open-set-close sequence; the block is freed when the clipboard refused it.
BOOL PutOnClipboard(CGXGridCore* grid, UINT format, HGLOBAL block) {
  if (!block) return FALSE;
  if (!OpenClipboard(grid->GridHwnd())) {
    GlobalFree(block);
    return FALSE;
  }
  const BOOL ok = SetClipboardData(format, block) != nullptr;
  CloseClipboard();
  if (!ok) GlobalFree(block);
  return ok;
}

// The file's block cut to the bytes written (the file grows it in steps), so a reader that takes the block's
// size reads no bytes that were never written.
HGLOBAL DetachExact(CSharedFile& file) {
  const auto length = static_cast<SIZE_T>(file.GetLength());
  HGLOBAL block = file.Detach();
  if (block && length > 0 && GlobalSize(block) > length)
    if (HGLOBAL smaller = GlobalReAlloc(block, length, GMEM_MOVEABLE)) block = smaller;
  return block;
}

}  // namespace

GXDirectCopyMark GXDirectCopyMark::Of(const CGXGridParam* param) {
  return {reinterpret_cast<uint64_t>(param), static_cast<uint64_t>(getpid()), param ? param->m_serial.value : 0};
}

UINT GetDirectCopyFormat() {
  if (g_directCopyFormat == kNotRegistered) g_directCopyFormat = RegisterClipboardFormat("GX_DIRECTCOPY");
  return g_directCopyFormat;
}

// ---- Copy ---------------------------------------------------------------------------------------------------

BOOL CGXCutPasteImp::CanCopy(CGXGridCore* grid) {
  if (GetOpenClipboardWindow()) return FALSE;
  CGXGridParam* p = grid->GetParam();
  if (p && p->GetSelection().GetCount() > 0) return TRUE;
  CGXControl* control = grid->ControlOfCurrentCell();
  ROWCOL r = 0, c = 0;
  return control && grid->QueryCurrentCell(&r, &c) && control->CanCopyToClipboard();
}

BOOL CGXCutPasteImp::Copy(CGXGridCore* grid) {
  CGXGridParam* p = grid->GetParam();
  if (!p) return FALSE;
  // 1. Empty the clipboard (this grid becomes its owner).
  if (!OpenClipboard(grid->GridHwnd())) return FALSE;
  const BOOL emptied = EmptyClipboard();
  CloseClipboard();
  BOOL result = FALSE;
  if (emptied && !GetOpenClipboardWindow()) {
    // 2-3. An editing control copies its own selected text.
    // Decision: only a control that edits is asked; an inactive control's copy would copy the current cell
    // through the grid without filling the copied ranges, and a direct copy or cut of it would be lost.
    CopySelection(grid, p->m_copiedRanges);
    CGXControl* editing = EditingControl(grid);
    if (editing && editing->CopyToClipboard()) {
      result = TRUE;
    } else {
      // 4-5. The selection, or the current cell as a one-cell range.
      if (p->m_copiedRanges.IsEmpty()) grid->CopyRangeList(p->m_copiedRanges, TRUE);
      if (!p->m_copiedRanges.IsEmpty()) {
        CGXLongOperationScope scope;
        DataArea area(grid);
        if (area.top != 0 || area.left != 0) area.ExpandAll(p->m_copiedRanges);
        result = CopyRange(grid, p->m_copiedRanges);
      }
    }
  }
  // 6. A copy ends a pending cut: its marking goes.
  if (p->m_bCutPending) {
    p->m_bCutPending = FALSE;
    grid->RedrawAll(GX_INVALIDATE);
  }
  return result;
}

BOOL CGXCutPasteImp::CopyRange(CGXGridCore* grid, const CGXRangeList& ranges) {
  CGXLongOperationScope scope;
  const DWORD flags = grid->m_nClipboardFlags;
  BOOL result = FALSE;
  if (flags & 0x0008) result = CopyTextToClipboard(grid, ranges);
  if (flags & 0x0010) result |= CopyStylesToClipboard(grid, ranges, (flags & 0x0020) != 0);
  CGXGridParam* p = grid->GetParam();
  if (p && (p->m_bDirectCopyPaste || p->m_bDirectCutPaste)) {
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, sizeof(GXDirectCopyMark))) {
      if (void* bytes = GlobalLock(block)) {
        *static_cast<GXDirectCopyMark*>(bytes) = GXDirectCopyMark::Of(p);
        GlobalUnlock(block);
        PutOnClipboard(grid, GetDirectCopyFormat(), block);
      } else {
        GlobalFree(block);
      }
    }
  }
  return result;
}

BOOL CGXCutPasteImp::CopyTextToClipboard(CGXGridCore* grid, const CGXRangeList& ranges) {
  CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 4096);
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(static_cast<CFile*>(&file)), reinterpret_cast<DWORD_PTR>(&ranges)};
  if (!grid->TextExchangeForward0(a)) return FALSE;
  file.Write("", 1);  // the text format ends with a NUL
  return PutOnClipboard(grid, CF_TEXT, DetachExact(file));
}

BOOL CGXCutPasteImp::CopyStylesToClipboard(CGXGridCore* grid, const CGXRangeList& ranges, UINT composed) {
  const UINT format = CGXGridGlobals::Get().m_nStylesClipboardFormat;
  if (!format) return FALSE;
  CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 4096);
  BOOL ok = FALSE;
  {
    CArchive ar(&file, CArchive::store, 4096);
    GXForwardArgs a;
    a.v = {reinterpret_cast<DWORD_PTR>(&ar), reinterpret_cast<DWORD_PTR>(&ranges), composed};
    ok = grid->StyleExchangeForward0(a) != 0;
    if (ok) ar.Close();
  }
  return ok && PutOnClipboard(grid, format, DetachExact(file));
}

// ---- Cut ----------------------------------------------------------------------------------------------------

BOOL CGXCutPasteImp::CanCut(CGXGridCore* grid) {
  if (GetOpenClipboardWindow() || grid->IsReadOnly()) return FALSE;
  CGXGridParam* p = grid->GetParam();
  if (p && p->GetSelection().GetCount() > 0) return TRUE;
  CGXControl* control = grid->ControlOfCurrentCell();
  ROWCOL r = 0, c = 0;
  return control && grid->QueryCurrentCell(&r, &c) && control->CanCutToClipboard();
}

BOOL CGXCutPasteImp::Cut(CGXGridCore* grid) {
  CGXGridParam* p = grid->GetParam();
  if (!p) return FALSE;
  if (OpenClipboard(grid->GridHwnd())) {
    EmptyClipboard();
    CloseClipboard();
  }
  {
    CGXLongOperationScope scope;
    CopySelection(grid, p->m_copiedRanges);
    // As in Copy, only an editing control cuts its own text.
    CGXControl* editing = EditingControl(grid);
    if (editing && editing->CutToClipboard()) return TRUE;
  }
  if (p->m_bDirectCutPaste) {
    // The cells stay until the next paste moves them; meanwhile they are drawn marked.
    Copy(grid);
    p->m_bCutPending = TRUE;
    grid->RedrawAll(GX_INVALIDATE);
    return TRUE;
  }
  CGXLongOperationScope scope;
  grid->CopyRangeList(p->m_copiedRanges, TRUE);
  DataArea(grid).ExpandAll(p->m_copiedRanges);
  return CutRange(grid, p->m_copiedRanges, (grid->m_nClipboardFlags & 0x0010) != 0);
}

BOOL CGXCutPasteImp::CutRange(CGXGridCore* grid, const CGXRangeList& ranges, BOOL clearStyles) {
  grid->BeginTransaction(gx::LoadGridString(20150));
  // A copy of the list: the clear may run foreign code that changes the copied ranges.
  CGXRangeList list;
  for (POSITION p = ranges.GetHeadPosition(); p;) list.AddTail(new CGXRange(*ranges.GetNext(p)));
  if (CopyRange(grid, list) && grid->ClearCells(list, clearStyles)) {
    grid->CommitTransaction();
    return TRUE;
  }
  grid->RollbackTransaction();
  return FALSE;
}

// ---- Paste --------------------------------------------------------------------------------------------------

BOOL CGXCutPasteImp::DirectPasteReady(CGXGridCore* grid, BOOL checkMark) {
  CGXGridParam* p = grid->GetParam();
  if (!p || p->m_copiedRanges.IsEmpty()) return FALSE;
  if (p->m_bDirectCutPaste && p->m_bCutPending) return TRUE;
  if (!p->m_bDirectCopyPaste || p->m_bCutPending) return FALSE;
  if (!checkMark) return TRUE;
  const UINT format = GetDirectCopyFormat();
  if (!IsClipboardFormatAvailable(format)) return FALSE;
  const BOOL opened = OpenClipboard(grid->GridHwnd());
  BOOL same = FALSE;
  if (HANDLE block = GetClipboardData(format)) {
    if (GlobalSize(static_cast<HGLOBAL>(block)) >= sizeof(GXDirectCopyMark)) {
      if (const void* bytes = GlobalLock(static_cast<HGLOBAL>(block))) {
        same = *static_cast<const GXDirectCopyMark*>(bytes) == GXDirectCopyMark::Of(p);
        GlobalUnlock(static_cast<HGLOBAL>(block));
      }
    }
  }
  if (opened) CloseClipboard();
  return same;
}

BOOL CGXCutPasteImp::CanPaste(CGXGridCore* grid) {
  CGXGridParam* p = grid->GetParam();
  if (grid->IsReadOnly() && p && p->m_bReadOnlyEnforced) return FALSE;
  if (DirectPasteReady(grid, FALSE)) return TRUE;
  CGXControl* control = grid->ControlOfCurrentCell();
  ROWCOL r = 0, c = 0;
  if (control && grid->QueryCurrentCell(&r, &c) && control->CanPasteFromClipboard()) return TRUE;
  return IsPasteFormatAvailable(grid);
}

BOOL CGXCutPasteImp::IsPasteFormatAvailable(CGXGridCore*) {
  const UINT styles = CGXGridGlobals::Get().m_nStylesClipboardFormat;
  return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_OEMTEXT) ||
         (styles && IsClipboardFormatAvailable(styles));
}

BOOL CGXCutPasteImp::Paste(CGXGridCore* grid) {
  if (!CanPaste(grid)) return FALSE;
  CGXRangeList list;
  if (!grid->CopyRangeList(list, TRUE)) return FALSE;
  CGXControl* control = grid->ControlOfCurrentCell();
  ROWCOL r = 0, c = 0;
  // A paste while a cell is being edited goes into its control, which has the last word: a text it refuses
  // is not pasted into the cells instead (that would end the edit and write the refused text over them).
  if (control && grid->QueryCurrentCell(&r, &c) && control->CanPasteFromClipboard())
    return control->PasteFromClipboard();
  grid->CompleteCellEdit(TRUE);
  if (list.GetCount() > 1) {
    AfxMessageBox(gx::LoadGridString(20153), MB_OK);
    return FALSE;
  }
  CGXRange target = *list.GetHead();
  DataArea(grid).Expand(target);
  if (DirectPasteReady(grid, TRUE)) return PasteCopiedCells(grid, target);
  if (!OpenClipboard(grid->GridHwnd())) return FALSE;
  const BOOL ok = PasteFromClipboard(grid, target);
  CloseClipboard();
  return ok;
}

BOOL CGXCutPasteImp::PasteFromClipboard(CGXGridCore* grid, const CGXRange& original) {
  const DataArea area(grid);
  CGXRange target = original;
  target.top = std::max(target.top, area.top);
  target.left = std::max(target.left, area.left);
  const DWORD flags = grid->m_nClipboardFlags;
  const UINT styles = CGXGridGlobals::Get().m_nStylesClipboardFormat;
  if ((flags & 0x0010) && styles && IsClipboardFormatAvailable(styles)) {
    HANDLE block = GetClipboardData(styles);
    if (!block) return FALSE;
    // The file reads the clipboard's block in place; the block stays the clipboard's.
    CSharedFile file;
    file.SetHandle(static_cast<HGLOBAL>(block), FALSE);
    BOOL ok = FALSE;
    try {
      CArchive ar(&file, CArchive::load, 4096);
      GXForwardArgs a;
      a.v = {reinterpret_cast<DWORD_PTR>(&ar), reinterpret_cast<DWORD_PTR>(&target), !(flags & 0x0100)};
      ok = grid->StyleExchangeForward2(a) != 0;
    } catch (CException* e) {
      e->Delete();
      ok = FALSE;
    }
    file.Detach();
    return ok;
  }
  if (flags & 0x0008) {
    HANDLE block = GetClipboardData(CF_TEXT);
    if (!block) block = GetClipboardData(CF_OEMTEXT);
    if (!block) return FALSE;
    const auto* bytes = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(block)));
    if (!bytes) return FALSE;
    GXForwardArgs a;
    a.v = {reinterpret_cast<DWORD_PTR>(bytes), GlobalSize(static_cast<HGLOBAL>(block)),
           reinterpret_cast<DWORD_PTR>(&target)};
    const BOOL ok = grid->TextExchangeForward2(a) != 0;
    GlobalUnlock(static_cast<HGLOBAL>(block));
    return ok;
  }
  return FALSE;
}

namespace {

// The stored styles of the cut cells that the grid keeps under every clear (CGXGridCore::CanClearCell): the
// move empties its source, and these are given back after it. A cell without a stored style loses nothing.
struct KeptCell {
  ROWCOL row, col;
  CGXStyle style;
  bool stored = true;  // false: the cell had no stored style of its own
};

std::vector<KeptCell> CellsKeptFromCut(CGXGridCore* grid, const GXCopyBlock& block) {
  std::vector<KeptCell> kept;
  CGXStyle stored;
  for (const auto& rb : block.rowBands)
    for (const auto& cb : block.colBands)
      for (ROWCOL r = rb.first;; ++r) {
        for (ROWCOL c = cb.first;; ++c) {
          stored.Free();
          if (grid->ReadStoredStyle(r, c, stored, gxCopy, 0) && !grid->CanClearCell(r, c))
            kept.push_back({r, c, stored});
          if (c == cb.last) break;
        }
        if (r == rb.last) break;
      }
  return kept;
}

// The destination cells of a direct paste of `block` at `target` that the user may not change
// (CGXGridCore::CanChangeCell: read-only, disabled), into `kept`: the block's cell for such a cell holds no
// value, and the cell keeps what it has stored (given back after the blocks are moved or copied), as a paste
// passes over a kept cell's empty field. FALSE, with the grid's warning saying why, when such a cell would be
// given a value, or another a value past the bounds or the maximum length it then has (the copied cell's own
// style under its row's, column's and the grid's): the paste is refused.
BOOL CellsKeptFromPaste(CGXGridCore* grid, const GXCopyBlock& block, const CGXRange& target,
                        std::vector<KeptCell>& kept) {
  const ROWCOL rows = grid->GetRowCount(), cols = grid->GetColCount();
  CGXStyle source, work;
  uint64_t dr = target.top;
  for (const auto& rb : block.rowBands)
    for (ROWCOL r = rb.first;; ++r, ++dr) {
      uint64_t dc = target.left;
      for (const auto& cb : block.colBands)
        for (ROWCOL c = cb.first;; ++c, ++dc) {
          if (dr <= rows && dc <= cols) {
            const ROWCOL row = static_cast<ROWCOL>(dr), col = static_cast<ROWCOL>(dc);
            source.Free();
            const BOOL stored = grid->ReadStoredStyle(r, c, source, gxCopy, 0);
            if (!grid->CanChangeCell(row, col)) {
              if (stored && source.IsIncluded(GX_IN_VALUE) && !source.GetValue().IsEmpty()) {
                grid->SetWarningText(gx::LoadGridString(GX_IDS_PASTE_UNCHANGEABLE));
                return FALSE;
              }
              KeptCell k{row, col, CGXStyle()};
              k.stored = grid->ReadStoredStyle(row, col, k.style, gxCopy, 0) != FALSE;
              kept.push_back(k);
            } else if (stored && CGXControl::StoredCellBreaksLimits(grid, row, col, &source, work, TRUE)) {
              return FALSE;
            }
          }
          if (c == cb.last) break;
        }
      if (r == rb.last) break;
    }
  return TRUE;
}

}  // namespace

BOOL CGXCutPasteImp::PasteCopiedCells(CGXGridCore* grid, const CGXRange& target) {
  CGXGridParam* p = grid->GetParam();
  if (!p || !DirectPasteReady(grid, FALSE)) return TRUE;
  // 2. The copied blocks, packed edge to edge.
  const GXCopyBlock block = GXCopyBlock::FromRanges(grid, p->m_copiedRanges);
  const BOOL several = p->m_copiedRanges.GetCount() > 1;
  const BOOL cut = p->m_bCutPending;
  // A paste that would give a cell the user may not change a value is refused whole (a cut stays pending).
  std::vector<KeptCell> keptHere;
  grid->SetWarningText(nullptr);
  if (!CellsKeptFromPaste(grid, block, target, keptHere)) {
    grid->ShowWarningText();
    return FALSE;
  }
  // 3. Status, transaction and the update lock.
  CGXLongOperationScope scope;
  const CString name = gx::LoadGridString(cut ? 20179 : 20178);
  scope.SetStatusText(name, TRUE);
  // Decision: every direct paste runs in a transaction (several blocks need one anyway), so that running out
  // of memory half-way can roll back what was pasted instead of leaving it open.
  grid->BeginTransaction(name);
  const BOOL locking = several || cut;
  const BOOL oldLock = locking ? grid->LockUpdate(TRUE) : FALSE;
  BOOL failed = FALSE, currentInside = FALSE;
  ROWCOL curRow = 0, curCol = 0;
  const BOOL hasCurrent = grid->QueryCurrentCell(&curRow, &curCol);
  // A cut clears only what may be cleared: the cells it keeps stay where they were (their copy still moves).
  std::vector<KeptCell> kept;
  CGXRangeList destinations;
  if (cut) kept = CellsKeptFromCut(grid, block);
  try {
    // 4. Each block to its place.
    uint64_t rowOffset = 0;
    for (size_t i = 0; !failed && i < block.rowBands.size(); ++i) {
      const auto& rb = block.rowBands[i];
      uint64_t colOffset = 0;
      for (size_t j = 0; !failed && j < block.colBands.size(); ++j) {
        const auto& cb = block.colBands[j];
        const CGXRange source(rb.first, cb.first, rb.last, cb.last);
        const uint64_t destRow = uint64_t{target.top} + rowOffset, destCol = uint64_t{target.left} + colOffset;
        if (destRow > GX_MAXROWCOL || destCol > GX_MAXROWCOL) {
          failed = TRUE;
          break;
        }
        const ROWCOL dr = static_cast<ROWCOL>(destRow), dc = static_cast<ROWCOL>(destCol);
        if (cut) {
          CObject* none = nullptr;
          failed = !GXMoveCells(grid, source, dr, dc, none, GX_UPDATENOW, 0);
          delete none;
        } else {
          failed = !GXCopyCells(grid, source, dr, dc, GX_UPDATENOW);
        }
        // 5. Whether the current cell lies in a destination block.
        const CGXRange dest(dr, dc, dr + (rb.last - rb.first), dc + (cb.last - cb.first));
        if (hasCurrent && dest.ContainsCell(curRow, curCol)) currentInside = TRUE;
        destinations.AddTail(new CGXRange(dest));
        colOffset += cb.Size();
      }
      rowOffset += rb.Size();
    }
    // A kept cell that a block was moved onto holds what was pasted there.
    for (const KeptCell& k : kept)
      if (!failed && !destinations.FindCell(k.row, k.col))
        grid->SetStyleRange(CGXRange(k.row, k.col), k.style, gxCopy, 0, GX_UPDATENOW);
    // A destination cell the user may not change holds what it held.
    for (const KeptCell& k : keptHere) {
      if (failed) break;
      if (k.stored)
        grid->SetStyleRange(CGXRange(k.row, k.col), k.style, gxCopy, 0, GX_UPDATENOW);
      else
        grid->ApplyStyleToRange(CGXRange(k.row, k.col), nullptr, gxRemove, 0, nullptr, GX_UPDATENOW, 0);
    }
  } catch (CMemoryException* e) {
    e->Delete();
    failed = TRUE;
    // Out of memory: the user hears why, and everything pasted so far is undone below.
    AfxMessageBox(gx::LoadGridString(20149), MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    failed = TRUE;
    AfxMessageBox(gx::LoadGridString(20149), MB_OK | MB_ICONEXCLAMATION);
  }
  // 6. Commit, or roll back every block pasted before a failure.
  if (failed)
    grid->RollbackTransaction();
  else
    grid->CommitTransaction();
  // 7. Cut cells are pasted once.
  if (cut && !failed) {
    p->m_bCutPending = FALSE;
    p->m_copiedRanges.DeleteAll();
  }
  // 8-9. Redraw, and the current cell shows what it holds now.
  if (locking) {
    grid->LockUpdate(oldLock);
    grid->DataObjectNotice();
    grid->RedrawAll(GX_INVALIDATE);
  }
  if (currentInside) {
    grid->RecalcFloatCells(CGXRange(curRow, curCol), -1);
    grid->CompleteCellEdit(FALSE);
  }
  return !failed;
}

BOOL CGXCutPasteImp::AskPasteSizeMismatch() {
  return AfxMessageBox(gx::LoadGridString(20175), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

BOOL CGXCutPasteImp::ConfirmPasteSizeMismatch(CGXGridCore*) { return AskPasteSizeMismatch(); }

LRESULT CGXCutPasteImp::CutPasteForward2(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* ranges = reinterpret_cast<const CGXRangeList*>(a.v[0]);
  return ranges ? CopyRange(grid, *ranges) : FALSE;
}

LRESULT CGXCutPasteImp::CutPasteForward11(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* target = reinterpret_cast<const CGXRange*>(a.v[0]);
  return target ? PasteCopiedCells(grid, *target) : FALSE;
}

LRESULT CGXCutPasteImp::CutPasteForward12(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* target = reinterpret_cast<const CGXRange*>(a.v[0]);
  return target ? PasteFromClipboard(grid, *target) : FALSE;
}

void CGXGridCore::InstallTextDataExchangeImp() {
  if (!GetTextDataExchangeImp()) SetFeature(new CGXTextDataExchangeImp);
}

void CGXGridCore::InstallStyleDataExchangeImp() {
  if (!GetStyleDataExchangeImp()) SetFeature(new CGXStyleDataExchangeImp);
}

void CGXGridCore::InstallCutPasteImp() {
  if (!GetCutPasteImp()) SetFeature(new CGXCutPasteImp);
}
