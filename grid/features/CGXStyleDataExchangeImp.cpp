#include "grid/features/CGXStyleDataExchangeImp.h"

#include <algorithm>
#include <memory>
#include <set>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/features/CGXCutPasteImp.h"
#include "grid/features/gxcopyblock.h"
#include "grid/features/gxexchangestrings.h"
#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/CObArray.h"
#include "platform/framework/MessageBox.h"

namespace {

// Sets the archive's document pointer to the grid's styles map for its life.
class StylesMapContext {
 public:
  StylesMapContext(CArchive& ar, CGXGridCore* grid) : ar_(ar), old_(ar.m_pDocument) {
    ar.m_pDocument = reinterpret_cast<CDocument*>(static_cast<CObject*>(grid->GetStylesMap()));
  }
  ~StylesMapContext() { ar_.m_pDocument = old_; }

 private:
  CArchive& ar_;
  CDocument* old_;
};

// Frees the elements (each object once, however often the archive referred to it) and the array.
void DeleteStyles(CObArray* array) {
  if (!array) return;
  std::set<CObject*> seen;
  for (INT_PTR i = 0; i < array->GetSize(); ++i) {
    CObject* o = array->GetAt(i);
    if (o && o != array && seen.insert(o).second) delete o;
  }
  delete array;
}

// An archive may refer to one object from several places: every place gets an object of its own, so that
// the array's elements can be kept, dropped and freed one by one.
void MakeElementsDistinct(CObArray& array) {
  std::set<CObject*> seen;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) {
    auto* style = static_cast<CGXStyle*>(array.GetAt(i));
    if (style && !seen.insert(style).second) array.SetAt(i, style->Clone());
  }
}

// A pasted element without a value (or none at all) empties the stored value of its cell: where the grid keeps
// that cell under every clear (CGXGridCore::CanClearCell) the element becomes the cell's own stored style, so
// that the paste leaves it as it is; a cell the user may not change (CGXGridCore::CanChangeCell: read-only,
// disabled) keeps its own stored style so, whatever it holds. An element with a value for such a cell refuses
// the whole paste: FALSE then. `array` is row-major over `dest`, a row per row of `dest` and more.
BOOL KeepCellsThePasteMayNotChange(CGXGridCore* grid, const CGXRange& dest, CObArray& array) {
  const uint64_t width = uint64_t{dest.right} - dest.left + 1;
  for (ROWCOL r = dest.top;; ++r) {
    for (ROWCOL c = dest.left;; ++c) {
      const uint64_t index = (uint64_t{r} - dest.top) * width + (c - dest.left);
      if (index >= static_cast<uint64_t>(array.GetSize())) return TRUE;
      auto* element = static_cast<CGXStyle*>(array.GetAt(static_cast<INT_PTR>(index)));
      const bool empties = !element || !element->IsIncluded(GX_IN_VALUE) || element->GetValue().IsEmpty();
      if (!grid->CanChangeCell(r, c)) {
        if (!empties) return FALSE;
        auto own = std::make_unique<CGXStyle>();
        delete element;
        const BOOL stored = grid->ReadStoredStyle(r, c, *own, gxCopy, 0);
        array.SetAt(static_cast<INT_PTR>(index), stored ? own.release() : nullptr);
      } else if (empties && !grid->GetCellValue(r, c).IsEmpty()) {
        auto own = std::make_unique<CGXStyle>();
        if (grid->ReadStoredStyle(r, c, *own, gxCopy, 0) && own->IsIncluded(GX_IN_VALUE) &&
            !grid->CanClearCell(r, c)) {
          delete element;
          array.SetAt(static_cast<INT_PTR>(index), own.release());
        }
      }
      if (c == dest.right) break;
    }
    if (r == dest.bottom) return TRUE;
  }
}

// Whether an element of `array` (row-major over `dest`, as above) would leave its cell holding a value past the
// bounds or the maximum length it then has: the element's own under the cell's row, column and grid base styles
// (CGXControl::StoredCellBreaksLimits). The grid's warning then says why.
BOOL PasteBreaksLimits(CGXGridCore* grid, const CGXRange& dest, const CObArray& array) {
  const uint64_t width = uint64_t{dest.right} - dest.left + 1;
  CGXStyle work;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) {
    const uint64_t r = dest.top + static_cast<uint64_t>(i) / width, c = dest.left + static_cast<uint64_t>(i) % width;
    if (r > dest.bottom) break;
    const auto* element = static_cast<const CGXStyle*>(array.GetAt(i));
    if (CGXControl::StoredCellBreaksLimits(grid, static_cast<ROWCOL>(r), static_cast<ROWCOL>(c), element, work, TRUE))
      return TRUE;
  }
  return FALSE;
}

}  // namespace

BOOL CGXStyleDataExchangeImp::GetStyleForCopy(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXStyle& style,
                                              BOOL composed) {
  if (composed) {
    grid->ComposeCellStyle(row, col, style);
    return TRUE;
  }
  const int kind = (grid->m_nClipboardFlags & 0x0800) ? grid->m_nDefaultStorageType : 0;
  return grid->ReadStoredStyle(row, col, style, gxCopy, kind);
}

BOOL CGXStyleDataExchangeImp::CopyStylesToArchive(CGXGridCore* grid, CArchive& ar, const CGXRangeList& ranges,
                                                  BOOL composed) {
  const GXCopyBlock block = GXCopyBlock::FromRanges(grid, ranges);
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20148), TRUE);
  StylesMapContext context(ar, grid);
  if (block.Cells() >= 0x3FFFFFFF || block.rows > 32767 || block.cols > 32767) {
    AfxMessageBox(gx::LoadGridString(20149), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  ar << static_cast<DWORD>(block.rows) << static_cast<DWORD>(block.cols);
  auto* array = new CObArray;
  BOOL aborted = FALSE;
  try {
    array->SetSize(static_cast<INT_PTR>(block.Cells()));
    // Each cell's place in the array counts on across the bands (a band's last row or column is counted too).
    INT_PTR ri = 0;
    for (const auto& rb : block.rowBands)
      for (ROWCOL r = rb.first;; ++r) {
        INT_PTR ci = 0;
        for (const auto& cb : block.colBands)
          for (ROWCOL c = cb.first;; ++c, ++ci) {
            auto* style = new CGXStyle;
            if (GetStyleForCopy(grid, r, c, *style, composed))
              array->SetAt(ri * static_cast<INT_PTR>(block.cols) + ci, style);
            else
              delete style;
            if (scope.IsWaitDelayElapsed()) {
              GXGetLongOperationState().m_nPercentDone =
                  static_cast<int>((static_cast<uint64_t>(ri) * block.cols + ci) * 100 / block.Cells());
              BOOL abort = FALSE;
              scope.PollAbort(abort);
              if (abort) AfxThrowUserException();
            }
            if (c == cb.last) {
              ++ci;
              break;
            }
          }
        ++ri;
        if (r == rb.last) break;
      }
    ar.WriteObject(array);
  } catch (CUserException* e) {
    e->Delete();
    aborted = TRUE;
  } catch (CMemoryException* e) {
    e->Delete();
    DeleteStyles(array);
    AfxMessageBox(gx::LoadGridString(20149), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  DeleteStyles(array);
  grid->m_nLastCopiedRows = static_cast<ROWCOL>(block.rows);
  grid->m_nLastCopiedCols = static_cast<ROWCOL>(block.cols);
  return !aborted;
}

BOOL CGXStyleDataExchangeImp::PasteStylesFromArchive(CGXGridCore* grid, CArchive& ar, const CGXRange& target,
                                                     BOOL doNotAsk) {
  StylesMapContext context(ar, grid);
  DWORD rows = 0, cols = 0;
  CObArray* array = nullptr;
  // 1. Read and check the whole block before anything changes: rows x columns (in 64 bits) must be the
  //    array's size and every element a style or null; bytes from outside the program can say anything.
  try {
    ar >> rows >> cols;
    CObject* object = ar.ReadObject(RUNTIME_CLASS(CObArray));
    array = static_cast<CObArray*>(object);
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  if (!array) return FALSE;
  BOOL valid = rows > 0 && cols > 0 &&
               static_cast<uint64_t>(rows) * cols == static_cast<uint64_t>(array->GetSize());
  for (INT_PTR i = 0; valid && i < array->GetSize(); ++i) {
    CObject* o = array->GetAt(i);
    valid = !o || o->IsKindOf(RUNTIME_CLASS(CGXStyle));
  }
  if (!valid) {
    DeleteStyles(array);
    return FALSE;
  }
  MakeElementsDistinct(*array);
  const ROWCOL top = target.top, left = target.left;
  CGXRange dest(top, left, static_cast<ROWCOL>(std::min<uint64_t>(uint64_t{top} + rows - 1, GX_MAXROWCOL)),
                static_cast<ROWCOL>(std::min<uint64_t>(uint64_t{left} + cols - 1, GX_MAXROWCOL)));
  // 2. The size question.
  if (!doNotAsk && (dest.bottom != target.bottom || dest.right != target.right)) {
    CGXCutPasteImp* cp = dynamic_cast<CGXCutPasteImp*>(grid->GetCutPasteImp());
    const BOOL ok = cp ? cp->ConfirmPasteSizeMismatch(grid) : CGXCutPasteImp::AskPasteSizeMismatch();
    if (!ok) {
      DeleteStyles(array);
      return FALSE;
    }
  }
  // 3. The transaction (and the size, which a grid that records no undo gets back from a failed paste).
  const GXSizeBeforePaste size(grid);
  grid->BeginTransaction(gx::LoadGridString(20154));
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20152), TRUE);
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  grid->CompleteCellEdit(TRUE);
  const DWORD flags = grid->m_nClipboardFlags;
  BOOL ok = TRUE, refused = FALSE, breaks = FALSE;
  // 4. Rows.
  if (dest.bottom > grid->GetRowCount()) {
    if (!(flags & 0x0200)) grid->SetRowCount(dest.bottom, GX_UPDATENOW);
    dest.bottom = std::min(dest.bottom, grid->GetRowCount());
  }
  // 5. Columns: when they cannot be raised, only the elements of the columns within the grid are kept.
  if (dest.right > grid->GetColCount()) {
    if (!(flags & 0x0400)) grid->SetColCount(dest.right, GX_UPDATENOW);
    if (dest.right > grid->GetColCount()) {
      const ROWCOL keep = grid->GetColCount() >= left ? grid->GetColCount() - left + 1 : 0;
      auto* narrowed = new CObArray;
      for (DWORD r = 0; r < rows; ++r)
        for (DWORD c = 0; c < cols; ++c) {
          CObject* o = array->GetAt(static_cast<INT_PTR>(uint64_t{r} * cols + c));
          if (c < keep)
            narrowed->Add(o);
          else
            delete o;
        }
      delete array;
      array = narrowed;
      dest.right = grid->GetColCount();
    }
  }
  // 6. Apply, the array's rows beyond the grid ignored.
  if (dest.top > grid->GetRowCount() || dest.left > grid->GetColCount() || dest.bottom < dest.top ||
      dest.right < dest.left) {
    ok = FALSE;
  } else {
    refused = !KeepCellsThePasteMayNotChange(grid, dest, *array);
    grid->SetWarningText(nullptr);
    breaks = !refused && PasteBreaksLimits(grid, dest, *array);
    if (!refused && !breaks) {
      ok = grid->ApplyStyleToRange(dest, nullptr, gxCopy, grid->m_nDefaultStorageType, array, GX_UPDATENOW, 0);
      // A paste that changes nothing is still a paste.
      ok = ok || !CGXLongOperationScope::IsRollbackRequested();
    }
  }
  if (refused || breaks) ok = FALSE;
  if (CGXLongOperationScope::IsRollbackRequested()) ok = FALSE;
  // 7. Done.
  DeleteStyles(array);
  if (ok) {
    grid->CommitTransaction();
  } else {
    grid->RollbackTransaction();
    size.GiveBack();
  }
  CGXLongOperationScope::SetRollbackOffered(FALSE);
  if (refused) grid->SetWarningText(gx::LoadGridString(GX_IDS_PASTE_UNCHANGEABLE));
  if (refused || breaks) grid->ShowWarningText();
  return ok;
}

LRESULT CGXStyleDataExchangeImp::StyleExchangeForward0(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* ar = reinterpret_cast<CArchive*>(a.v[0]);
  auto* ranges = reinterpret_cast<const CGXRangeList*>(a.v[1]);
  return ar && ranges ? CopyStylesToArchive(grid, *ar, *ranges, static_cast<BOOL>(a.v[2])) : FALSE;
}

LRESULT CGXStyleDataExchangeImp::StyleExchangeForward1(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* style = reinterpret_cast<CGXStyle*>(a.v[2]);
  return style ? GetStyleForCopy(grid, static_cast<ROWCOL>(a.v[0]), static_cast<ROWCOL>(a.v[1]), *style,
                                 static_cast<BOOL>(a.v[3]))
               : FALSE;
}

LRESULT CGXStyleDataExchangeImp::StyleExchangeForward2(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* ar = reinterpret_cast<CArchive*>(a.v[0]);
  auto* target = reinterpret_cast<const CGXRange*>(a.v[1]);
  return ar && target ? PasteStylesFromArchive(grid, *ar, *target, static_cast<BOOL>(a.v[2])) : FALSE;
}
