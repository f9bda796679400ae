// The modify state that the Ex variants of the windowless cells add to their plain control: a change the
// user makes goes into the control's copy of the cell's style (drawn in place of the stored one) until the
// grid asks the control to store it; Delete empties the value while editing.
//
// `Base` is a windowless cell control with `BoundStyle(scratch)` (the style its mouse and keys read) and
// `RefusesChanges(style)`.
#pragma once

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStyle.h"
#include "platform/window/windowapi.h"

template <class Base>
class CGXEditedValueControl : public Base {
 public:
  using Base::Base;

  void SetEditingState(BOOL editing) override {
    editing = editing != FALSE;
    if (editing && !m_bEditing) this->DropCachedStyle();
    m_bEditing = editing;
    if (editing) this->GetCachedStyle();
  }
  BOOL GetEditingState() const override { return m_bEditing; }
  void SetModifiedState(BOOL modified) override { m_bModified = modified; }
  BOOL GetModifiedState() const override { return m_bModified; }

  void InitForCell(ROWCOL row, ROWCOL col) override {
    Base::InitForCell(row, col);
    this->GetCachedStyle();
    m_bModified = FALSE;
  }

  BOOL StoreValue() override {
    if (!this->m_pCachedStyle || !m_bModified) return TRUE;
    const CString value = EditedValue();
    SetEditingState(FALSE);
    m_bModified = FALSE;
    this->DropCachedStyle();
    return this->m_pGrid->SetCellValue(this->m_nRow, this->m_nCol, value);
  }

  // The edited value shows in its own cell, over the one stored.
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override {
    const bool edited = m_bEditing && this->IsBoundToCell(row, col) && this->m_pCachedStyle;
    Base::DrawCell(dc, rect, row, col, edited ? *this->m_pCachedStyle : style, standard);
  }

  BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) override {
    if (message == WM_KEYDOWN && ch == static_cast<UINT>(VK_DELETE) && m_bEditing) {
      if (!this->RefusesChanges(this->GetCachedStyle())) ChangeEditedValue(CString());
      return TRUE;
    }
    return Base::OnKeyMessage(message, ch, repeat, flags);
  }

 protected:
  const CGXStyle& BoundStyle(CGXStyle& scratch) override {
    return this->m_bInit ? this->GetCachedStyle() : Base::BoundStyle(scratch);
  }

  // Starts editing (asking the grid first) unless it has started; FALSE when the grid refuses.
  BOOL BeginEditing() {
    if (m_bEditing) return TRUE;
    if (!this->NotifyEditStart()) return FALSE;
    SetEditingState(TRUE);
    return TRUE;
  }

  // The value of the control's copy of the cell (empty when it has none).
  CString EditedValue() {
    const CGXStyle& style = this->GetCachedStyle();
    return style.GetIncludeValue() ? style.GetValue() : CString();
  }

  // Sets the edited value, redraws the cell, marks it modified and tells the grid.
  void ChangeEditedValue(const CString& value) {
    this->GetCachedStyle();
    this->m_pCachedStyle->SetValue(value);
    this->m_pGrid->RedrawCell(this->m_nRow, this->m_nCol, GX_UPDATENOW, TRUE);
    m_bModified = TRUE;
    this->NotifyModified();
  }

  BOOL m_bEditing = FALSE;
  BOOL m_bModified = FALSE;
};
