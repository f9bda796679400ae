#include "grid/controls/CGXControl.h"

#include <cstring>

#include "grid/core/CGXGridCore.h"
#include "platform/gdi/CDC.h"

const CGXControlClass CGXControl::classCGXControl = {"CGXControl", nullptr};

CGXControl::CGXControl(CGXGridCore* grid) : m_pGrid(grid) {}

CGXControl::~CGXControl() = default;

BOOL CGXControl::IsKindOfControl(const CGXControlClass* cls) const {
  for (const CGXControlClass* c = GetControlClass(); c; c = c->base)
    if (c == cls || std::strcmp(c->name, cls->name) == 0) return TRUE;
  return FALSE;
}

void CGXControl::InitForCell(ROWCOL row, ROWCOL col) {
  m_nRow = row;
  m_nCol = col;
  m_pCachedStyle.reset();
  m_bInit = TRUE;
  m_pGrid->OnControlInitialized(row, col);
}

void CGXControl::RedrawIfChanged() {
  if (GetModifiedState() || GetEditingState()) m_pGrid->RedrawCell(m_nRow, m_nCol, GX_INVALIDATE);
  HideWindowPart();
  SetModifiedState(FALSE);
  SetEditingState(FALSE);
  m_pCachedStyle.reset();
  m_bInit = FALSE;
}

BOOL CGXControl::NotifyEditStart() { return m_pGrid->OnStartEditing(m_nRow, m_nCol); }

BOOL CGXControl::NotifyModified() {
  if (!GetModifiedState()) return FALSE;
  m_pGrid->NotifyCellModified(m_nRow, m_nCol);
  return TRUE;
}

BOOL CGXControl::NotifyEditEnd() { return m_pGrid->OnEndEditing(m_nRow, m_nCol); }

void CGXControl::NotifyEditCancel() { m_pGrid->OnCanceledEditing(m_nRow, m_nCol); }

BOOL CGXControl::NotifyLeaveCell(ROWCOL newRow, ROWCOL newCol) {
  return m_pGrid->OnLeftCell(m_nRow, m_nCol, newRow, newCol);
}

CRect CGXControl::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect inner;
  m_pGrid->SubtractBorders(&inner, cell, style, TRUE);
  return inner;
}

CSize CGXControl::AddBordersToSize(CSize size, const CGXStyle& style) const {
  CSize out;
  m_pGrid->AddBorders(&out, size.cx, size.cy, style);
  return out;
}

void CGXControl::DrawBackground(CDC* dc, const CRect& rect, const CGXStyle& style, BOOL eraseAlways) {
  // Runs of equal interiors were filled by the grid; only a cell that still needs its own background (or
  // any cell when asked) is filled here.
  if (eraseAlways || m_pGrid->m_bNeedsOwnBackground) m_pGrid->FillWithInterior(dc, rect, style.GetInterior());
}

void CGXControl::DrawCell(CDC* dc, const CRect& rect, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*) {
  DrawBackground(dc, rect, style);
}

void CGXControl::GetEditText(CString& out) const {
  if (m_pCachedStyle && m_pCachedStyle->GetIncludeValue()) {
    out = m_pCachedStyle->GetValue();
  } else if (m_bInit) {
    out = m_pGrid->GetCellValue(m_nRow, m_nCol);
  } else {
    out.Empty();
  }
}

void CGXControl::SetEditText(const CString& text) {
  if (!m_bInit) return;
  CGXStyle style;
  style.SetValue(text);
  m_pGrid->WriteStoredStyle(m_nRow, m_nCol, &style, gxOverride, 0);
}

BOOL CGXControl::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value, const CGXStyle& style) const {
  if (value) {
    out = *value;
    return TRUE;
  }
  if (!style.GetIncludeValue()) {
    out.Empty();
    return FALSE;
  }
  out = style.GetValue();
  return TRUE;
}

BOOL CGXControl::StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type, const CGXStyle*) {
  return m_pGrid->WriteStoredStyle(row, col, style, mode, type);
}

BOOL CGXControl::IsCellReadOnly() const {
  if (m_pGrid->IsReadOnly()) return TRUE;
  if (!m_bInit) return FALSE;
  CGXStyle style;
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
  return style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly();
}

void CGXControl::HideAndInvalidate() {
  if (!m_bInit) return;
  HideWindowPart();
  m_pGrid->RedrawCell(m_nRow, m_nCol, GX_INVALIDATE);
}

BOOL CGXControl::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  switch (message) {
    case 0x0100: return OnKeyDownInCell(ch, repeat, flags);
    case 0x0102: return OnCharInCell(ch, repeat, flags);
    default: return FALSE;
  }
}

const CGXStyle& CGXControl::GetCachedStyle() {
  if (!m_pCachedStyle) {
    m_pCachedStyle = std::make_unique<CGXStyle>();
    if (m_bInit) m_pGrid->ComposeCellStyle(m_nRow, m_nCol, *m_pCachedStyle, TRUE);
  }
  return *m_pCachedStyle;
}
