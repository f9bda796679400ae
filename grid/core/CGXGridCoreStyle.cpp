// The effective style of a cell, storing styles, cell values and the registered cell controls.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CException.h"
#include "platform/base/CObArray.h"
#include "platform/framework/MessageBox.h"

namespace {
// Column letters: 1 "A", 26 "Z", 27 "AA", 52 "AZ", 53 "BA" (at most ten letters).
CString ColumnLetters(ROWCOL n) {
  char buf[11];
  int len = 0;
  while (n && len < 10) {
    buf[len++] = static_cast<char>('A' + (n - 1) % 26);
    n = (n - 1) / 26;
  }
  CString s;
  for (int i = len - 1; i >= 0; --i) s += buf[i];
  return s;
}
constexpr WORD kNegativeColorAttribute = 52797;
constexpr UINT kIdsGeneratingUndo = 20141, kIdsStoringCells = 20142, kIdsRestoringCells = 20143,
               kIdsUndoTooLarge = 20082;

// The cells an operation on `range` visits, with the current counts: base styles sit at row 0 or column
// 0, so a table range is the one cell (0, 0), a row range column 0 of its rows, a column range row 0 of its
// columns; a cell-wise store of a row, column or table range covers its cells up to the current counts.
// A range made before rows or columns were added therefore never leaves the new ones out.
struct Bounds {
  ROWCOL top = 0, left = 0, bottom = 0, right = 0;
  bool empty = true;
  ROWCOL Height() const { return bottom - top + 1; }
  ROWCOL Width() const { return right - left + 1; }
  unsigned long long Cells() const { return empty ? 0ULL : 1ULL * Height() * Width(); }
};

Bounds VisitedBounds(const CGXRange& range, int type, ROWCOL rows, ROWCOL cols) {
  Bounds b;
  if (!range.IsValid()) return b;
  if (type < 0 && range.IsTable()) {
    b = {0, 0, 0, 0, false};
  } else if (type < 0 && range.IsRows()) {
    b = {range.top, 0, std::min(range.bottom, rows), 0, false};
  } else if (type < 0 && range.IsCols()) {
    b = {0, range.left, 0, std::min(range.right, cols), false};
  } else if (range.IsTable()) {
    b = {1, 1, rows, cols, false};
  } else if (range.IsRows()) {
    b = {range.top, 1, std::min(range.bottom, rows), cols, false};
  } else if (range.IsCols()) {
    b = {1, range.left, rows, std::min(range.right, cols), false};
  } else {
    b = {range.top, range.left, std::min(range.bottom, rows), std::min(range.right, cols), false};
  }
  if (b.top > b.bottom || b.left > b.right) b.empty = true;
  return b;
}

// A work style from the grid's pool, given back on every path (also when a control throws).
class PooledStyle {
 public:
  explicit PooledStyle(CGXGridCore* grid) : m_grid(grid), m_style(grid->NewWorkStyle()) {}
  ~PooledStyle() { m_grid->ReleaseWorkStyle(m_style); }
  PooledStyle(const PooledStyle&) = delete;
  PooledStyle& operator=(const PooledStyle&) = delete;
  CGXStyle& operator*() const { return *m_style; }
  CGXStyle* get() const { return m_style; }

 private:
  CGXGridCore* m_grid;
  CGXStyle* m_style;
};

}  // namespace

void CGXGridCore::LookupBaseStyles() {
  m_pStyleStandard = m_pStyleColHeader = m_pStyleRowHeader = nullptr;
  CGXStylesMap* map = GetStylesMap();
  if (!map) return;
  CGXStyle* s = nullptr;
  if (map->LookupStyle(map->GetStandardStyle(), s)) m_pStyleStandard = s;
  if (map->LookupStyle(map->GetColHeaderStyle(), s)) m_pStyleColHeader = s;
  if (map->LookupStyle(map->GetRowHeaderStyle(), s)) m_pStyleRowHeader = s;
}

BOOL CGXGridCore::ReadStoredStyle(ROWCOL row, ROWCOL col, CGXStyle& style, int mode, int type) const {
  const CGXData* d = GetData();
  return d ? d->GetStyle(row, col, style, mode, type) : FALSE;
}

void CGXGridCore::ComposeCellStyle(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard) {
  // 1-2. The cell's own style; while only the value is wanted, a value of its own is final.
  ReadStoredStyle(row, col, style, gxCopy, 0);
  if (m_bValueOnly && style.GetIncludeValue()) return;
  ComposeOver(row, col, style, withStandard);
}

void CGXGridCore::ComposeCellStyleWith(ROWCOL row, ROWCOL col, const CGXStyle* own, CGXStyle& style) {
  if (own)
    style = *own;
  else
    style.Free();
  ComposeOver(row, col, style, TRUE);
}

void CGXGridCore::ComposeOver(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard) {
  const ROWCOL hr = GetHeaderRows(), hc = GetHeaderCols();
  // 3-4. Row, then column, then table base style (row 0 and column 0 keep the table's at (0, 0)).
  if (col > hc) ReadStoredStyle(row, 0, style, gxApplyNew, GX_BASESTYLE);
  if (row > hr) {
    ReadStoredStyle(0, col, style, gxApplyNew, GX_BASESTYLE);
    if (col > hc) ReadStoredStyle(0, 0, style, gxApplyNew, GX_BASESTYLE);
  }
  // 5-6. The chain of named base styles, then the header base styles (column header first).
  if (const CGXStylesMap* map = GetStylesMap()) style.LoadBaseStyle(*map);
  if (row <= hr && m_pStyleColHeader) style.MergeStyle(*m_pStyleColHeader, gxApplyNew);
  if (col <= hc && m_pStyleRowHeader) style.MergeStyle(*m_pStyleRowHeader, gxApplyNew);
  // 7. Header labels for headers without a value of their own.
  if ((row == 0 || col == 0) && !style.GetIncludeValue() && m_pParam) {
    if (row == 0 && col >= 1 && m_pParam->m_bLetterCols) {
      style.SetValue(ColumnLetters(col));
    } else if (col == 0 && row >= 1 && m_pParam->m_bNumberRows) {
      style.SetValue(static_cast<DWORD>(row));
    }
  }
  // 8. The standard style.
  if (withStandard && m_pStyleStandard) style.MergeStyle(*m_pStyleStandard, gxApplyNew);
  // 9. The cells of a cut waiting for its paste are marked light grey, over any interior of their own.
  if (m_pParam && m_pParam->m_bMarkingEnabled && m_pParam->m_bCutPending &&
      m_pParam->m_copiedRanges.ContainsCell(row, col)) {
    CGXInteriorBrush marked;
    marked.SetColor(RGB(0xC0, 0xC0, 0xC0)).SetPattern(17);
    style.SetInterior(marked);
  }
  // 10. The active editor of the current cell stands for the rest.
  if (style.IsIncluded(GX_IN_CONTROLID) && MatchesCurrentCell(row, col)) {
    const CGXControl* control = ControlForId(style.GetControl());
    if (control && control->GetEditingState()) return;
  }
  // 11. Negative numbers in the colour of the user attribute.
  if (style.GetIncludeValue() && style.HasUserAttribute(kNegativeColorAttribute) &&
      std::atof(style.GetValue()) < 0) {
    const CString color = style.GetUserAttributeText(kNegativeColorAttribute);
    style.SetTextColor(static_cast<COLORREF>(std::strtoul(color, nullptr, 0)));
  }
}

BOOL CGXGridCore::WriteStoredStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type) {
  if (IsLocked()) return FALSE;
  CGXData* d = GetData();
  if (!d) return FALSE;
  BOOL ok = d->StoreStyle(row, col, style, mode, type);
  ++m_nStoredStyleWrites;
  // Composed styles depend on what is stored: a cell changes its own entry, a base style every entry.
  if (type >= 0) {
    auto it = m_styleCache.find((static_cast<std::uint64_t>(row) << 32) | col);
    if (it != m_styleCache.end()) {
      ReleaseWorkStyle(it->second.release());
      m_styleCache.erase(it);
    }
  } else {
    for (auto& [key, cached] : m_styleCache) ReleaseWorkStyle(cached.release());
    m_styleCache.clear();
  }
  if (!m_bSuspendRangeNotice) d->SetRangeChanged(CGXRange(row, col));
  if (ok && MatchesCurrentCell(row, col) && m_pCurrentControl && !m_pCurrentControl->GetEditingState())
    m_pCurrentControl->InitForCell(row, col);
  return ok;
}

CObArray* CGXGridCore::CollectRangeStyles(const CGXRange& range, int type, BOOL showProgress) {
  const Bounds b = VisitedBounds(range, type, GetRowCount(), GetColCount());
  auto* styles = new CObArray;
  if (b.empty) return styles;
  styles->SetSize(static_cast<INT_PTR>(b.Cells()));
  CGXLongOperationScope scope;
  BOOL texted = FALSE;
  INT_PTR index = 0;
  try {
    for (ROWCOL r = b.top; r <= b.bottom; ++r) {
      for (ROWCOL c = b.left; c <= b.right; ++c, ++index) {
        CGXStyle* s = NewWorkStyle();
        if (ReadStoredStyle(r, c, *s, gxCopy, type)) {
          styles->SetAt(index, s);
        } else {
          ReleaseWorkStyle(s);
        }
        if (showProgress && scope.IsWaitDelayElapsed()) {
          // The status text is loaded when a progress is first shown: most collections end before.
          if (!texted) scope.SetStatusText(gx::LoadGridString(kIdsGeneratingUndo));
          texted = TRUE;
          SetLongOperationPercentDone(static_cast<int>(index * 100 / styles->GetSize()));
          BOOL abort = FALSE;
          scope.PollAbort(abort);
          if (abort) AfxThrowUserException();
        }
      }
    }
  } catch (CUserException*) {
    for (INT_PTR i = 0; i < styles->GetSize(); ++i) ReleaseWorkStyle(static_cast<CGXStyle*>(styles->GetAt(i)));
    delete styles;
    throw;
  }
  return styles;
}

namespace {
void FreeStyleArray(CGXGridCore* grid, CObArray* styles, INT_PTR count) {
  if (!styles) return;
  for (INT_PTR i = 0; i < styles->GetSize(); ++i) {
    CObject* o = styles->GetAt(i);
    if (i < count)
      grid->ReleaseWorkStyle(static_cast<CGXStyle*>(o));
    else
      delete o;  // the command factory's extra undo record
  }
  delete styles;
}
}  // namespace

BOOL CGXGridCore::ApplyStyleToRange(const CGXRange& range, const CGXStyle* style, int mode, int type,
                                    const CObArray* styles, UINT flags, int commandType) {
  if (!range.IsValid() || !GetData()) return FALSE;
  // A locked grid refuses at once and silently: no too-large question, no undo copy, no cache flush and no
  // range notice for a store that every cell would refuse anyway.
  if (IsLocked()) return FALSE;
  // 1. Rows, columns and the table go to their base styles.
  if (!range.IsCells() && type == 0) type = GX_BASESTYLE;
  const int recordedType = type == 0 ? m_nDefaultStorageType : type;
  const Bounds b = VisitedBounds(range, type, GetRowCount(), GetColCount());
  const unsigned long long cellCount = b.Cells();
  const BOOL progress = m_wNoProgress == 0;

  // 2. The long-operation scope. Its status texts are loaded only where a progress is shown: the undo copy's
  // by its collection, the storing's once the cells below have taken long enough (most stores, a cell or a
  // few, end before), and never on a level that shows no progress (this store nested in a clear, a paste or
  // an undo block, once per step).
  CGXLongOperationScope scope;
  BOOL texted = IsLongOperationLevelIgnored();

  // 3. The undo copy.
  CObArray* undoCopy = nullptr;
  if (m_pCommandFactory && commandType != 1 && m_pParam->m_bUndoEnabled && !b.empty) {
    if (cellCount < 0x7FFFFFFFULL && b.Height() < 0x8000 && b.Width() < 0x8000) {
      try {
        undoCopy = CollectRangeStyles(range, recordedType, progress);
      } catch (CUserException* e) {
        e->Delete();
        return FALSE;  // aborted while collecting: nothing was changed
      }
    } else if (AfxMessageBox(gx::LoadGridString(kIdsUndoTooLarge), MB_OKCANCEL) == IDCANCEL) {
      return FALSE;
    }
  }

  // 4. Storing: caches flushed, the data store told once, nested undo recording switched.
  FreeDrawingCaches();
  const BOOL oldSuspend = m_bSuspendRangeNotice;
  if (!oldSuspend) GetData()->SetRangeChanged(range);
  m_bSuspendRangeNotice = TRUE;
  // Nested operations record their data-store undo only when this operation has an undo copy to hand the
  // record on with. Without one (rollback, no factory, undo off, too large and answered OK) recording is
  // switched off: a record made then would stay pending and be handed to the next command, whose undo
  // would then replay this operation's data as well.
  const BOOL recordNested = undoCopy != nullptr;
  const BOOL oldRecording = EnableDataUndoRecording(recordNested);
  // 10 (also when a control or feature throws). Restore the nested state; an undo copy not yet handed on
  // is freed (its styles, and the data object's record behind them once appended). A record started here
  // that was not settled (aborted, thrown) is discarded for the same reason as above.
  const INT_PTR copiedCells = undoCopy ? undoCopy->GetSize() : 0;
  BOOL recordSettled = FALSE;
  struct Restore {
    CGXGridCore* grid;
    BOOL suspend, recording, recordNested;
    const BOOL& recordSettled;
    CObArray*& copy;
    INT_PTR cells;
    ~Restore() {
      if (recordNested && !recordSettled) grid->DiscardDataUndoInfo();
      grid->EnableDataUndoRecording(recording);
      grid->m_bSuspendRangeNotice = suspend;
      FreeStyleArray(grid, copy, cells);
    }
  } restore{this, oldSuspend, oldRecording, recordNested, recordSettled, undoCopy, copiedCells};

  // 5. An undo record behind the styles.
  if (styles && static_cast<unsigned long long>(styles->GetSize()) > cellCount) {
    CObject* record = styles->GetAt(static_cast<INT_PTR>(cellCount));
    if (record && ApplyDataUndoInfo(record, commandType != 1, 0)) RedrawAll(flags);
  }

  // 6-7. The cells.
  ROWCOL curRow = GX_INVALID - 1, curCol = GX_INVALID - 1;
  if (!QueryCurrentCell(&curRow, &curCol)) curRow = curCol = GX_INVALID - 1;
  BOOL changed = FALSE;
  // A grid whose store keeps expressions (storage type 1) stores cells the same way: what is typed, pasted
  // or filled reaches the store as entered text, so that it can tell formulas, numbers and texts apart.
  const int storedType = type == 0 ? m_nDefaultStorageType : type;
  auto storeCell = [&](ROWCOL r, ROWCOL c, const CGXStyle* s, int m) -> BOOL {
    if (type < 0) return WriteStoredStyle(r, c, s, m, type);
    std::optional<PooledStyle> work;
    const CGXStyle* composed = m_pPendingStyle;
    if (!composed && m_pHeldCompositions) composed = m_pHeldCompositions->Find(r, c);
    if (!composed) {
      ComposeCellStyle(r, c, *work.emplace(this), TRUE);
      composed = work->get();
    }
    const WORD id = s && s->IsIncluded(GX_IN_CONTROLID) ? s->GetControl() : composed->GetControl();
    CGXControl* control = ControlForId(id);
    const std::uint64_t writesBefore = m_nStoredStyleWrites;
    const BOOL stored =
        control ? control->StoreStyle(r, c, s, m, storedType, composed) : WriteStoredStyle(r, c, s, m, storedType);
    // Other cells written too may now compose otherwise than held: the rest of the range is composed afresh.
    if (m_pHeldCompositions && m_nStoredStyleWrites - writesBefore > 1) m_pHeldCompositions = nullptr;
    return stored;
  };
  try {
    unsigned long long index = 0;
    for (ROWCOL r = b.top; !b.empty && r <= b.bottom; ++r) {
      for (ROWCOL c = b.left; c <= b.right; ++c, ++index) {
        if (styles) {
          if (index >= static_cast<unsigned long long>(styles->GetSize())) break;
          const auto* element = static_cast<const CGXStyle*>(styles->GetAt(static_cast<INT_PTR>(index)));
          changed |= storeCell(r, c, element, element ? mode : gxRemove);
        } else {
          changed |= storeCell(r, c, style, mode);
          if (m_pCurrentControl && !m_pCurrentControl->GetEditingState()) {
            const BOOL touches = type < 0 ? ((r == 0 && c == 0) || r == curRow || c == curCol)
                                          : (r == curRow && c == curCol);
            if (touches && curRow != GX_INVALID - 1) m_pCurrentControl->InitForCell(curRow, curCol);
          }
        }
        if (progress && scope.IsWaitDelayElapsed()) {
          if (!texted)
            scope.SetStatusText(gx::LoadGridString(commandType == 0 ? kIdsStoringCells : kIdsRestoringCells));
          texted = TRUE;
          SetLongOperationPercentDone(static_cast<int>(index * 100 / cellCount));
          BOOL abort = FALSE;
          scope.PollAbort(abort);
          if (abort) AfxThrowUserException();
        }
      }
    }
  } catch (CUserException* e) {
    // An abort leaves the part done changed; it is refreshed below, without an undo command (the undo
    // copy describes the whole range, not the part done).
    e->Delete();
    FreeStyleArray(this, undoCopy, undoCopy ? undoCopy->GetSize() : 0);
    undoCopy = nullptr;
  }


  if (!changed) {
    // 8. Nothing changed: no command.
    DiscardDataUndoInfo();
    recordSettled = TRUE;
  } else {
    // 9. Refresh, modified flag, undo command.
    EnableDataUndoRecording(oldRecording);
    RecalcFloatCells(range, -1);
    RecalcMergedCells(range, -1);
    RefreshStyleRange(range, style, mode, type, flags, TRUE);
    SetModifiedFlag(TRUE);
    if (undoCopy) {
      // Detached, the record belongs to the copy (freed with it when the factory makes no command).
      if (CObject* extra = DetachDataUndoInfo()) undoCopy->Add(extra);
      recordSettled = TRUE;
      // The command takes the copy over; when the factory makes none, Restore frees it on return.
      if (CObject* command = m_pCommandFactory->CreateSetStyleRangeCmd(range, recordedType, undoCopy)) {
        undoCopy = nullptr;
        AddCommand(command, commandType);
      }
    }
    if (commandType == 2 || commandType == 3)
      RestoreCurrentCell(range.IsTable() || range.IsCols() ? 1 : range.top,
                         range.IsTable() || range.IsRows() ? 1 : range.left, TRUE);
  }

  return changed;
}

void CGXGridCore::RefreshStyleRange(const CGXRange& range, const CGXStyle* style, int mode, int type, UINT flags,
                                    BOOL createHint) {
  if (!IsLockUpdate() && GridHwnd() && ::IsWindowVisible(GridHwnd())) {
    const Bounds b = VisitedBounds(range, 1, GetRowCount(), GetColCount());
    if (range.IsTable()) {
      RedrawAll(flags);
    } else if (!b.empty) {
      CGXRange widened(range.IsCols() ? 0 : b.top, range.IsRows() ? 0 : b.left, b.bottom, b.right);
      WidenRangeByCoveredCells(widened);
      WidenRangeByMergedCells(widened);
      WidenRangeByFloatCells(widened);
      RedrawRange(widened.top, widened.left, widened.bottom, widened.right, flags);
    }
  }
  if (auto* h = createHint ? HintSender() : nullptr) h->HintStyleRange(this, range, style, mode, type, flags);
}

BOOL CGXGridCore::ReplaceStylesMap(const CGXStylesMap& map, UINT flags, int commandType) {
  if (IsLocked()) return FALSE;
  CGXStylesMap* current = GetStylesMap();
  if (!current) return FALSE;
  if (UndoApplies(commandType)) {
    auto old = std::make_unique<CGXStylesMap>(*current);
    if (CObject* command = m_pCommandFactory->CreateChangeStylesMapCmd(old.get(), commandType)) {
      old.release();
      AddCommand(command, commandType);
    }
  }
  *current = map;
  SetModifiedFlag(TRUE);
  ResetCurrentCellAfterStyles();
  RefreshAfterStylesMap(flags, TRUE);
  return TRUE;
}

void CGXGridCore::RefreshAfterStylesMap(UINT flags, BOOL createHint) {
  LookupBaseStyles();
  FreeDrawingCaches();
  RedrawAll(flags);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintStylesMap(this, flags);
}

BOOL CGXGridCore::ReplaceProperties(const CGXProperties& properties, UINT flags, int commandType) {
  if (IsLocked()) return FALSE;
  CGXProperties* current = GetProperties();
  if (!current) return FALSE;
  if (UndoApplies(commandType)) {
    auto old = std::make_unique<CGXProperties>(*current);
    if (CObject* command = m_pCommandFactory->CreateChangePropertiesCmd(old.get(), commandType)) {
      old.release();
      AddCommand(command, commandType);
    }
  }
  *current = properties;
  SetModifiedFlag(TRUE);
  ResetCurrentCellAfterStyles();
  RefreshAfterProperties(flags, TRUE);
  return TRUE;
}

void CGXGridCore::RefreshAfterProperties(UINT flags, BOOL createHint) {
  FreeDrawingCaches();
  RedrawAll(flags);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintProperties(this, flags);
}

BOOL CGXGridCore::ModifyBaseStyle(WORD id, const CGXStyle& style, int mode, UINT flags, int commandType) {
  if (IsLocked()) return FALSE;
  CGXStylesMap* map = GetStylesMap();
  CGXStyle* base = nullptr;
  if (!map || !map->LookupStyle(id, base) || !base) return FALSE;
  if (UndoApplies(commandType)) {
    UINT resId = 0;
    const LPCTSTR stored = map->GetStyleName(id, resId);
    const CString name = stored ? stored : "";
    auto old = std::make_unique<CGXStyle>(*base);
    if (CObject* command = m_pCommandFactory->CreateChangeBaseStyleCmd(id, old.get(), name, commandType)) {
      old.release();
      AddCommand(command, commandType);
    }
  }
  base->MergeStyle(style, mode);
  SetModifiedFlag(TRUE);
  ResetCurrentCellAfterStyles();
  RefreshAfterBaseStyle(id, flags, TRUE);
  return TRUE;
}

void CGXGridCore::RefreshAfterBaseStyle(WORD id, UINT flags, BOOL createHint) {
  if (!m_bInitDone) return;
  LookupBaseStyles();
  FreeDrawingCaches();  // fonts and composed styles
  // Row heights are kept in units of the standard font: a new standard font gives new pixel heights.
  MeasureStandardFont();
  RedrawAll(flags);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintBaseStyle(this, id, flags);
}

void CGXGridCore::ResetCurrentCellAfterStyles() {
  // The control composes the cell's style as it binds: the base styles of a replaced styles map first.
  LookupBaseStyles();
  ROWCOL r, c;
  if (m_pCurrentControl && QueryCurrentCell(&r, &c) && !m_pCurrentControl->GetEditingState()) {
    m_pCurrentControl = ControlForCell(r, c);
    if (m_pCurrentControl) m_pCurrentControl->InitForCell(r, c);
  }
}

CGXStyle& CGXGridCore::BaseStyleById(WORD id) {
  CGXStylesMap* map = GetStylesMap();
  CGXStyle* style = nullptr;
  if (!map || !map->LookupStyle(id, style) || !style) AfxThrowInvalidArgException();
  return *style;
}

const CGXStyle* CGXGridCore::GetStandardStyle() {
  if (!m_pStyleStandard) LookupBaseStyles();
  return m_pStyleStandard;
}

// The scratch style is emptied completely, not only of its value: for a cell with nothing stored the
// composition starts from it as it is, and an attribute left from the previous cell (its base-style name
// above all) would otherwise give this cell another cell's value.
CString CGXGridCore::GetCellValue(ROWCOL row, ROWCOL col) {
  m_scratchStyle.Free();
  CGXFlagScope valueOnly(m_bValueOnly, TRUE);
  ComposeCellStyle(row, col, m_scratchStyle, TRUE);
  return m_scratchStyle.GetIncludeValue() ? m_scratchStyle.GetValue() : CString();
}

CString CGXGridCore::GetStoredCellValue(ROWCOL row, ROWCOL col) {
  m_scratchStyle.Free();
  CGXFlagScope valueOnly(m_bValueOnly, TRUE);
  ReadStoredStyle(row, col, m_scratchStyle, gxOverride, m_nDefaultStorageType);
  return m_scratchStyle.GetIncludeValue() ? m_scratchStyle.GetValue() : CString();
}

BOOL CGXGridCore::SetCellValue(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags) {
  CGXStyle style;
  style.SetValue(text);
  return ApplyStyleToRange(CGXRange(row, col), &style, gxOverride, 0, nullptr, flags);
}

BOOL CGXGridCore::SetCellTextThroughControl(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags,
                                            const CGXStyle* style) {
  PooledStyle work(this);
  if (!style) {
    ComposeCellStyle(row, col, *work, TRUE);
    style = work.get();
  }
  CGXControl* control = ControlForId(style->GetControl());
  return control ? control->StoreCellText(row, col, text, flags, style) : FALSE;
}

BOOL CGXGridCore::StoreValueFromControl(ROWCOL row, ROWCOL col, LPCTSTR text, int mode, const CGXStyle* style) {
  CGXStyle value;
  ReadStoredStyle(row, col, value, gxCopy, 0);
  value.SetValue(text ? text : "");
  PooledStyle work(this);
  if (!style) {
    ComposeCellStyle(row, col, *work, TRUE);
    style = work.get();
  }
  // The pending style stands for the composed one while this one cell is stored (null again after).
  struct Pending {
    const CGXStyle*& slot;
    const CGXStyle* old;
    ~Pending() { slot = old; }
  } pending{m_pPendingStyle, m_pPendingStyle};
  m_pPendingStyle = style;
  return ApplyStyleToRange(CGXRange(row, col), &value, mode, 0, nullptr, GX_INVALIDATE);
}

BOOL CGXGridCore::ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags) {
  return ApplyStyleToRange(CGXRange(row, col), style, mode, 0, nullptr, flags);
}

// The grid owns each registered control once. Registering the object already stored under the id again
// only renews the default and the styles-map registration (replacing it would free the object being
// stored). An object already owned under another id is refused with the invalid-argument error: storing it
// twice would delete it twice when the grid goes. Decision: refusing is the clear error; moving it to the
// new id would silently change what the old id shows.
void CGXGridCore::AddCellControl(WORD id, CGXControl* control, BOOL makeDefault, BOOL registerWithStylesMap) {
  auto it = m_controls.find(id);
  const bool same = it != m_controls.end() && control && it->second.get() == control;
  if (control && !same)
    for (const auto& [otherId, owned] : m_controls)
      if (owned.get() == control) AfxThrowInvalidArgException();
  if (it != m_controls.end() && !same) {
    if (m_pCachedControl == it->second.get()) {
      m_pCachedControl = nullptr;
      m_nCachedControlId = 0xFFFF;
    }
    if (m_pDefaultControl == it->second.get()) m_pDefaultControl = nullptr;
    if (m_pCurrentControl == it->second.get()) m_pCurrentControl = nullptr;
  }
  if (!same) m_controls[id].reset(control);
  if (registerWithStylesMap)
    if (CGXStylesMap* map = GetStylesMap()) map->AddControl(id);
  if (makeDefault || !m_pDefaultControl) m_pDefaultControl = control;
}

CGXControl* CGXGridCore::ControlForId(WORD id) {
  if (id == 0) return m_pDefaultControl;
  if (id == m_nCachedControlId && m_pCachedControl) return m_pCachedControl;
  CGXControl* found = nullptr;
  auto it = m_controls.find(id);
  if (it != m_controls.end()) {
    found = it->second.get();
  } else if (CGXAbstractControlFactory* f = CGXGridGlobals::Get().GetControlFactory()) {
    if ((found = f->CreateControl(id, this)) != nullptr) AddCellControl(id, found, FALSE);
  }
  if (!found) return m_pDefaultControl;
  m_nCachedControlId = id;
  m_pCachedControl = found;
  return found;
}

CGXControl* CGXGridCore::ControlForCell(ROWCOL row, ROWCOL col) {
  if (m_pCurrentControl && MatchesCurrentCell(row, col)) return m_pCurrentControl;
  CGXStyle style;
  ComposeCellStyle(row, col, style, TRUE);
  return ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
}

CGXRange* CGXGridCore::SpanRangeOfCell(ROWCOL row, ROWCOL col, CGXRange& range) {
  if (GetCoveredCellsRowCol(row, col, range)) return &range;
  if (GetMergedCellsRange(row, col, range, 0) || GetMergedCellsRange(row, col, range, 1)) return &range;
  if (GetFloatedCellsRange(row, col, range)) return &range;
  return nullptr;
}

BOOL CGXGridCore::CopyOneRange(const CGXRange& range) {
  CGXRangeList list;
  list.AddTail(new CGXRange(range));
  return m_pCutPasteImp ? m_pCutPasteImp->CopyRanges(this, list) : FALSE;
}

void CGXGridCore::CellTextForCopy(CString& out, ROWCOL row, ROWCOL col) {
  out.Empty();
  if (m_pTextDataExchangeImp) m_pTextDataExchangeImp->CellText(out, this, row, col);
}

BOOL CGXGridCore::CanFloatCellText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag) {
  return m_pFloatCellsImp ? m_pFloatCellsImp->CanFloatText(this, row, col, style, flag) : FALSE;
}

ROWCOL CGXGridCore::GetBottomShownRow(BOOL* endsBefore) {
  if (m_nShownTopRow != m_nTopRow) {
    m_nShownBottomRow = CalcBottomRowEx(GetGridRect(), &m_bShownRowEndsBefore);
    m_nShownTopRow = m_nTopRow;
  }
  if (endsBefore) *endsBefore = m_bShownRowEndsBefore;
  return m_nShownBottomRow;
}

ROWCOL CGXGridCore::GetRightmostShownCol(BOOL* endsBefore) {
  if (m_nShownLeftCol != m_nLeftCol) {
    m_nShownRightCol = CalcRightmostColEx(GetGridRect(), &m_bShownColEndsBefore);
    m_nShownLeftCol = m_nLeftCol;
  }
  if (endsBefore) *endsBefore = m_bShownColEndsBefore;
  return m_nShownRightCol;
}

BOOL CGXGridCore::CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags) {
  CGXData* d = GetData();
  if (!d || !source.IsValid() || source.top > source.bottom || source.left > source.right) return FALSE;
  const ROWCOL h = source.bottom - source.top + 1, w = source.right - source.left + 1;
  const ROWCOL rows = GetRowCount(), cols = GetColCount();
  if (source.bottom > rows || source.right > cols || destRow > rows || destCol > cols || h - 1 > rows - destRow ||
      w - 1 > cols - destCol)
    return FALSE;
  // A snapshot of the source first: copying onto an overlapping block must copy the original cells,
  // not cells this loop has already overwritten.
  std::vector<std::unique_ptr<CGXStyle>> snapshot;
  snapshot.reserve(static_cast<size_t>(h) * w);
  for (ROWCOL r = 0; r < h; ++r)
    for (ROWCOL c = 0; c < w; ++c) {
      auto s = std::make_unique<CGXStyle>();
      snapshot.push_back(ReadStoredStyle(source.top + r, source.left + c, *s, gxCopy, 0) ? std::move(s) : nullptr);
    }
  for (ROWCOL r = 0; r < h; ++r)
    for (ROWCOL c = 0; c < w; ++c) {
      const CGXStyle* s = snapshot[static_cast<size_t>(r) * w + c].get();
      // A missing source cell replaces (and frees) whatever the destination held.
      WriteStoredStyle(destRow + r, destCol + c, s, s ? gxCopy : gxRemove, 0);
    }
  RedrawRange(destRow, destCol, destRow + h - 1, destCol + w - 1, flags);
  return TRUE;
}

BOOL CGXGridCore::MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags) {
  if (!CopyCells(source, destRow, destCol, flags)) return FALSE;
  const ROWCOL h = source.bottom - source.top + 1, w = source.right - source.left + 1;
  CGXRange dest(destRow, destCol, destRow + h - 1, destCol + w - 1);
  for (ROWCOL r = source.top; r <= source.bottom; ++r)
    for (ROWCOL c = source.left; c <= source.right; ++c)
      if (!dest.ContainsCell(r, c)) WriteStoredStyle(r, c, nullptr, gxRemove, 0);
  RedrawRange(source.top, source.left, source.bottom, source.right, flags);
  return TRUE;
}
