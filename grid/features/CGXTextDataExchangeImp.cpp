#include "grid/features/CGXTextDataExchangeImp.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "grid/features/gxcopyblock.h"
#include "grid/features/gxexchangestrings.h"
#include "platform/base/CException.h"
#include "platform/base/CFile.h"
#include "platform/base/StringApi.h"

namespace {

// The most rows a paste adds in one insertion: the removal that undoes it keeps up to 32,767 lines for redo
// without asking whether to go on without them.
constexpr ROWCOL kGrowRows = 32767;

void WriteText(CFile& file, const CString& text) {
  if (!text.IsEmpty()) file.Write(static_cast<LPCSTR>(text), static_cast<UINT>(text.GetLength()));
}

// The cells a paste stored, as they were, and the grid's size, for a grid whose transaction cannot roll them back
// (it records no undo): a refused field gives them back, so that the paste goes in whole or not at all there too.
class StoredBeforePaste {
 public:
  explicit StoredBeforePaste(CGXGridCore* grid) : m_pGrid(grid), m_size(grid), m_bKeeping(m_size.Keeping()) {}
  void Keep(ROWCOL row, ROWCOL col) {
    if (!m_bKeeping) return;
    Cell cell{row, col, CGXStyle(), FALSE};
    cell.stored = m_pGrid->ReadStoredStyle(row, col, cell.style, gxCopy, 0);
    m_Cells.push_back(cell);
  }
  // Last stored first, so that a cell pasted twice ends as it was before the first.
  void GiveBack() {
    for (auto it = m_Cells.rbegin(); it != m_Cells.rend(); ++it) {
      if (it->stored)
        m_pGrid->SetStyleRange(CGXRange(it->row, it->col), it->style, gxCopy, 0, GX_UPDATENOW);
      else
        m_pGrid->ApplyStyleToRange(CGXRange(it->row, it->col), nullptr, gxRemove, 0, nullptr, GX_UPDATENOW, 0);
    }
    m_Cells.clear();
    // The rows and columns the paste added go again.
    m_size.GiveBack();
  }

 private:
  struct Cell {
    ROWCOL row, col;
    CGXStyle style;
    BOOL stored;
  };
  CGXGridCore* m_pGrid;
  GXSizeBeforePaste m_size;
  BOOL m_bKeeping;
  std::vector<Cell> m_Cells;
};

}  // namespace

void CGXTextDataExchangeImp::GetCopyText(CString& out, CGXGridCore* grid, ROWCOL row, ROWCOL col) {
  out.Empty();
  CGXStyle* style = grid->NewWorkStyle();
  grid->ComposeCellStyle(row, col, *style);
  CGXControl* control = grid->ControlForId(style->GetControl());
  if (!control || !control->GetDisplayText(out, row, col, nullptr, *style)) out = style->GetValue();
  grid->ReleaseWorkStyle(style);
}

BOOL CGXTextDataExchangeImp::CellText(CString& out, CGXGridCore* grid, ROWCOL row, ROWCOL col) {
  GetCopyText(out, grid, row, col);
  return TRUE;
}

BOOL CGXTextDataExchangeImp::CopyTextToFile(CGXGridCore* grid, CFile& file, const CGXRangeList& ranges) {
  const GXCopyBlock block = GXCopyBlock::FromRanges(grid, ranges);
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20147), TRUE);
  const CString sep = grid->m_sCopySeparator.IsEmpty() ? CString("\t") : grid->m_sCopySeparator;
  const BOOL escapes = (grid->m_nClipboardFlags & gx::kClipEscapes) != 0;
  const uint64_t cells = std::max<uint64_t>(block.Cells(), 1);
  BOOL anyText = FALSE, aborted = FALSE;
  uint64_t rowsDone = 0, colsInRow = 0;
  CString text;
  try {
    for (const auto& rb : block.rowBands) {
      for (ROWCOL r = rb.first;; ++r) {
        if (rowsDone > 0) WriteText(file, "\r\n");
        colsInRow = 0;
        for (const auto& cb : block.colBands) {
          for (ROWCOL c = cb.first;; ++c) {
            if (colsInRow > 0) WriteText(file, sep);
            GetCopyText(text, grid, r, c);
            if (!text.IsEmpty()) anyText = TRUE;
            WriteText(file, gx::EncodeCopyText(text, escapes));
            ++colsInRow;
            if (scope.IsWaitDelayElapsed()) {
              GXGetLongOperationState().m_nPercentDone =
                  static_cast<int>((rowsDone * block.cols + colsInRow) * 100 / cells);
              BOOL abort = FALSE;
              scope.PollAbort(abort);
              if (abort) AfxThrowUserException();
            }
            if (c == cb.last) break;
          }
        }
        ++rowsDone;
        if (r == rb.last) break;
      }
    }
  } catch (CUserException* e) {
    e->Delete();
    aborted = TRUE;
  }
  if (!aborted && (rowsDone > 1 || colsInRow > 1)) WriteText(file, "\r\n");
  grid->m_nLastCopiedRows = static_cast<ROWCOL>(rowsDone);
  grid->m_nLastCopiedCols = static_cast<ROWCOL>(colsInRow);
  return !aborted && anyText;
}

BOOL CGXTextDataExchangeImp::SetPastedText(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CString& text, UINT flags,
                                           const CGXStyle* style) {
  // A one-line cell takes the field's first line (a field holds line breaks only through the escapes flag), and
  // no other control character.
  CString taken = text;
  if (style && !CGXControl::TakeOneLineOfPaste(grid, *style, taken)) return FALSE;
  // A paste goes in whole or not at all: a text stored longer than the cell's maximum length, which the store
  // would cut, is refused with the message of a paste that does not fit. The length is the stored value's, after
  // the cell's own conversion ("1,234" in a grouped number cell is stored as 1234, "$80.00" as 80.00).
  if (style && style->IsIncluded(GX_IN_MAXLENGTH) && style->GetMaxLength() > 0) {
    CGXControl* control = grid->ControlForId(style->GetControl());
    const int length = control ? control->StoredLength(taken, row, col, *style) : taken.GetLength();
    if (CGXControl::WarnIfTooLong(grid, length, style->GetMaxLength())) return FALSE;
  }
  return grid->SetCellTextThroughControl(row, col, taken, flags, style);
}

BOOL CGXTextDataExchangeImp::GetTextDimensions(CGXGridCore* grid, const char* data, size_t size, DWORD* rows,
                                               DWORD* cols) {
  gx::MeasurePasteText(data, size, grid->m_sPasteSeparator, rows, cols);
  return TRUE;
}

// Call flow: fields are cut at separators, line ends, a NUL or the data's end; each is stored (growing the
// grid as allowed) before the walk goes on. The walk never reads past `size`: the clipboard's size may
// include bytes behind the NUL, and a buffer from elsewhere may have no NUL at all.
BOOL CGXTextDataExchangeImp::PasteTextFromBuffer(CGXGridCore* grid, const char* data, size_t size,
                                                 const CGXRange& target) {
  if (!data) return FALSE;
  const DWORD flags = grid->m_nClipboardFlags;
  const BOOL escapes = (flags & gx::kClipEscapes) != 0;
  const CString seps = grid->m_sPasteSeparator.IsEmpty() ? CString("\t") : grid->m_sPasteSeparator;
  auto isSep = [&](char c) { return c != '\0' && std::strchr(static_cast<LPCSTR>(seps), c) != nullptr; };

  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20152), TRUE);
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  grid->CompleteCellEdit(TRUE);
  grid->BeginTransaction(gx::LoadGridString(20154));
  const BOOL oldLock = grid->LockUpdate(TRUE);

  ROWCOL row = target.top, col = target.left, maxCol = target.left, lastTextRow = 0;
  BOOL failed = FALSE, aborted = FALSE, refused = FALSE;
  CString report;  // the data object's own word on a refused text (a formula that does not parse)
  StoredBeforePaste before(grid);
  CGXStyle* style = grid->NewWorkStyle();
  try {
    size_t i = 0;
    while (i < size) {
      const size_t start = i;
      while (i < size && data[i] != '\0' && data[i] != '\r' && data[i] != '\n' && !isSep(data[i]))
        i += (IsDBCSLeadByte(static_cast<BYTE>(data[i])) && i + 1 < size) ? 2 : 1;
      i = std::min(i, size);
      const char end = i < size ? data[i] : '\0';
      // An empty last line (nothing between the last line end and the NUL or the data's end) is no line.
      const BOOL emptyTail = start == i && col == target.left && end == '\0';
      if (!emptyTail) {
        BOOL store = TRUE;
        if (row > grid->GetRowCount()) {
          if (flags & 0x0200) break;  // the paste ends here
          // The grid grows towards the text's last line in steps of up to kGrowRows rows: raised line by line
          // the row count inserts (and records for undo) a row per line, and a formula sheet shifts all its
          // cells and references at every insertion. A step's undo removes no more lines than the removal
          // keeps for redo without asking.
          if (lastTextRow == 0) {
            DWORD lines = 0;
            gx::MeasurePasteText(data, size, seps, &lines, nullptr);
            lastTextRow = static_cast<ROWCOL>(std::min<uint64_t>(uint64_t{target.top} + lines - 1, GX_MAXROWCOL));
          }
          const ROWCOL step = static_cast<ROWCOL>(std::min<uint64_t>(lastTextRow, uint64_t{row} + kGrowRows - 1));
          if (!(step > row && grid->SetRowCount(step, GX_UPDATENOW)) && !grid->SetRowCount(row, GX_UPDATENOW))
            break;
        }
        if (col > grid->GetColCount()) {
          if ((flags & 0x0400) || !grid->SetColCount(col, GX_UPDATENOW)) store = FALSE;  // this field is dropped
        }
        if (store) {
          const CString text = gx::DecodePastedField(data + start, i - start, escapes);
          // The work style is the previous cell's: a cell without a stored style of its own would keep that.
          style->Free();
          grid->ComposeCellStyle(row, col, *style);
          // An empty field clears its cell: a cell the grid keeps under every clear (CanClearCell) is left as
          // it is, and the paste goes on around it.
          const BOOL kept = text.IsEmpty() && !grid->CanClearCell(row, col);
          // Any other field for a cell the user may not change (read-only, disabled) refuses the whole paste.
          if (!kept && !grid->CanChangeCell(*style)) {
            failed = refused = TRUE;
            report = gx::LoadGridString(GX_IDS_PASTE_UNCHANGEABLE);
            break;
          }
          if (!kept) before.Keep(row, col);
          if (!kept && !SetPastedText(grid, row, col, text, 1, style)) {
            failed = refused = TRUE;
            grid->DataObjectErrorText(report);
            break;
          }
        }
      }
      maxCol = std::max(maxCol, col);
      if (i >= size || end == '\0') break;
      if (end == '\r' || end == '\n') {
        if (end == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
        ++i;
        if (i >= size || data[i] == '\0') break;
        if (row == GX_MAXROWCOL) break;
        ++row;
        col = target.left;
      } else {
        ++i;
        if (col == GX_MAXROWCOL) break;
        ++col;
      }
      if (scope.IsWaitDelayElapsed()) {
        GXGetLongOperationState().m_nPercentDone = static_cast<int>(static_cast<uint64_t>(i) * 100 / size);
        BOOL abort = FALSE;
        scope.PollAbort(abort);
        if (abort) AfxThrowUserException();
      }
    }
  } catch (CUserException* e) {
    e->Delete();
    failed = aborted = TRUE;
  }
  grid->ReleaseWorkStyle(style);
  // A failed paste keeps what was stored unless the user asked for a roll-back; a text that its cell refuses
  // leaves every cell as it was (a block is pasted whole or not at all), and the user is told why.
  if (refused || (aborted && CGXLongOperationScope::IsRollbackRequested())) {
    grid->RollbackTransaction();
    before.GiveBack();
  } else
    grid->CommitTransaction();
  CGXLongOperationScope::SetRollbackOffered(FALSE);
  grid->LockUpdate(oldLock);
  const ROWCOL lastRow = grid->GetRowCount();
  if (target.top <= lastRow) grid->RedrawRange(target.top, target.left, lastRow, maxCol, GX_UPDATENOW);
  grid->RefreshScrollBars();
  if (refused) {
    if (grid->GetWarningText().IsEmpty())
      grid->SetWarningText(report.IsEmpty() ? gx::LoadGridString(GX_IDS_PASTE_NO_VALUE) : report);
    grid->ShowWarningText();
  }
  return !failed;
}

LRESULT CGXTextDataExchangeImp::TextExchangeForward0(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* file = reinterpret_cast<CFile*>(a.v[0]);
  auto* ranges = reinterpret_cast<const CGXRangeList*>(a.v[1]);
  return file && ranges ? CopyTextToFile(grid, *file, *ranges) : FALSE;
}

LRESULT CGXTextDataExchangeImp::TextExchangeForward2(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* target = reinterpret_cast<const CGXRange*>(a.v[2]);
  return target ? PasteTextFromBuffer(grid, reinterpret_cast<const char*>(a.v[0]), a.v[1], *target) : FALSE;
}

LRESULT CGXTextDataExchangeImp::TextExchangeForward4(CGXGridCore* grid, const GXForwardArgs& a) {
  return GetTextDimensions(grid, reinterpret_cast<const char*>(a.v[0]), a.v[1], reinterpret_cast<DWORD*>(a.v[2]),
                           reinterpret_cast<DWORD*>(a.v[3]));
}

LRESULT CGXTextDataExchangeImp::SetTextThroughGrid(CGXGridCore* grid, const GXForwardArgs& a) {
  const char* text = reinterpret_cast<const char*>(a.v[2]);
  return SetPastedText(grid, static_cast<ROWCOL>(a.v[0]), static_cast<ROWCOL>(a.v[1]), text ? text : "",
                       static_cast<UINT>(a.v[3]), reinterpret_cast<const CGXStyle*>(a.v[4]));
}
