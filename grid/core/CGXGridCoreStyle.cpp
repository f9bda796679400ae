// The effective style of a cell, storing styles, cell values and the registered cell controls.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"

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
  const ROWCOL hr = GetHeaderRows(), hc = GetHeaderCols();
  ReadStoredStyle(row, col, style, gxCopy, 0);
  if (col > hc) ReadStoredStyle(row, 0, style, gxApplyNew, GX_BASESTYLE);
  if (row > hr) {
    ReadStoredStyle(0, col, style, gxApplyNew, GX_BASESTYLE);
    if (col > hc) ReadStoredStyle(0, 0, style, gxApplyNew, GX_BASESTYLE);
  }
  if (const CGXStylesMap* map = GetStylesMap()) style.LoadBaseStyle(*map);
  if (row <= hr && m_pStyleColHeader) style.MergeStyle(*m_pStyleColHeader, gxApplyNew);
  if (col <= hc && m_pStyleRowHeader) style.MergeStyle(*m_pStyleRowHeader, gxApplyNew);
  if ((row == 0 || col == 0) && !style.GetIncludeValue() && m_pParam) {
    if (row == 0 && col >= 1 && m_pParam->m_bLetterCols) {
      style.SetValue(ColumnLetters(col));
    } else if (col == 0 && row >= 1 && m_pParam->m_bNumberRows) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%lu", static_cast<unsigned long>(row));
      style.SetValue(buf);
      style.SetValueType(1);
    }
  }
  if (withStandard && m_pStyleStandard) style.MergeStyle(*m_pStyleStandard, gxApplyNew);
  if (style.GetIncludeValue() && style.HasUserAttribute(52797) && !style.GetValue().IsEmpty() &&
      std::atof(style.GetValue()) < 0) {
    style.SetTextColor(static_cast<COLORREF>(std::strtoul(style.GetUserAttributeText(52797), nullptr, 10)));
  }
}

BOOL CGXGridCore::WriteStoredStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type) {
  if (m_pParam && m_pParam->m_bReadOnly && m_pParam->m_bReadOnlyEnforced) return FALSE;
  CGXData* d = GetData();
  if (!d) return FALSE;
  BOOL ok = d->StoreStyle(row, col, style, mode, type);
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
  if (ok && MatchesCurrentCell(row, col) && m_pCurrentControl && !m_pCurrentControl->GetEditingState())
    m_pCurrentControl->InitForCell(row, col);
  return ok;
}

BOOL CGXGridCore::ApplyStyleToRange(const CGXRange& range, const CGXStyle* style, int mode, int type,
                                    UINT flags) {
  if (!range.IsValid() || !GetData()) return FALSE;
  if (!range.IsCells() && type == 0) type = GX_BASESTYLE;
  BOOL changed = FALSE;
  if (type < 0) {
    // Base styles: a table range is the table's style at (0, 0) whatever bounds the range object carries,
    // so a range made before rows were added can never leave new rows out.
    if (range.IsTable()) {
      changed = WriteStoredStyle(0, 0, style, mode, type);
    } else if (range.IsRows()) {
      for (ROWCOL r = range.top; r <= range.bottom && r <= GetRowCount(); ++r)
        changed |= WriteStoredStyle(r, 0, style, mode, type);
    } else if (range.IsCols()) {
      for (ROWCOL c = range.left; c <= range.right && c <= GetColCount(); ++c)
        changed |= WriteStoredStyle(0, c, style, mode, type);
    } else {
      changed = WriteStoredStyle(range.top, range.left, style, mode, type);
    }
  } else {
    // Cells beyond the counts do not exist: a range reaching past them stops at the last row and column.
    const ROWCOL bottom = std::min(range.bottom, GetRowCount()), right = std::min(range.right, GetColCount());
    for (ROWCOL r = range.top; r <= bottom; ++r) {
      for (ROWCOL c = range.left; c <= right; ++c) {
        CGXStyle composed;
        ComposeCellStyle(r, c, composed, TRUE);
        WORD id = style && style->IsIncluded(GX_IN_CONTROLID) ? style->GetControl() : composed.GetControl();
        CGXControl* control = ControlForId(id);
        BOOL ok = control ? control->StoreStyle(r, c, style, mode, type, &composed)
                          : WriteStoredStyle(r, c, style, mode, type);
        changed |= ok;
      }
    }
  }
  if (changed) {
    RefreshStyleRange(range, flags);
    SetModifiedFlag(TRUE);
  }
  return changed;
}

void CGXGridCore::RefreshStyleRange(const CGXRange& range, UINT flags) {
  if (IsLockUpdate()) return;
  if (range.IsTable())
    RedrawAll(flags);
  else if (range.IsRows())
    RedrawRange(range.top, 0, range.bottom, GetColCount(), flags);
  else if (range.IsCols())
    RedrawRange(0, range.left, GetRowCount(), range.right, flags);
  else
    RedrawRange(range.top, range.left, range.bottom, range.right, flags);
}

CString CGXGridCore::GetCellValue(ROWCOL row, ROWCOL col) {
  // The cell's own value wins over base styles: compose, but a stored value is final.
  CGXStyle style;
  if (ReadStoredStyle(row, col, style, gxCopy, 0) && style.GetIncludeValue()) return style.GetValue();
  style.Free();
  ComposeCellStyle(row, col, style, TRUE);
  return style.GetValue();
}

BOOL CGXGridCore::SetCellValue(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags) {
  CGXStyle style;
  style.SetValue(text);
  return ApplyStyleToRange(CGXRange(row, col), &style, gxOverride, 0, flags);
}

void CGXGridCore::AddCellControl(WORD id, CGXControl* control, BOOL makeDefault) {
  auto it = m_controls.find(id);
  if (it != m_controls.end()) {
    if (m_pCachedControl == it->second.get()) {
      m_pCachedControl = nullptr;
      m_nCachedControlId = 0xFFFF;
    }
    if (m_pDefaultControl == it->second.get()) m_pDefaultControl = nullptr;
    if (m_pCurrentControl == it->second.get()) m_pCurrentControl = nullptr;
  }
  m_controls[id].reset(control);
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
