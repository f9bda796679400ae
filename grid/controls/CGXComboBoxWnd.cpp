#include "grid/controls/CGXComboBoxWnd.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "grid/controls/GXCellNumbers.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/gxkeys.h"
#include "grid/core/gxstrings.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXComboBoxWnd, CComboBox)

const CGXControlClass CGXComboBoxWnd::gxClassCGXComboBoxWnd = {"CGXComboBoxWnd", &CGXStatic::classCGXStatic};

namespace {

constexpr int kButtonRoom = 15;
constexpr int kMaxDroppedItems = 8;

CString Decimal(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", n);
  return buffer;
}

}  // namespace

// ---- The edit child -----------------------------------------------------------------------------------------

LRESULT CGXComboEditPart::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN &&
      m_pBox->ProcessGridKey(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
    return 0;
  const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
  if (message == WM_KILLFOCUS && m_pBox->m_hWnd) {
    const HWND to = reinterpret_cast<HWND>(wParam);
    if (to != m_pBox->m_hWnd && !(to && ::IsChild(m_pBox->m_hWnd, to)))
      m_pBox->SendMessage(WM_KILLFOCUS, wParam);
  }
  return r;
}

// ---- Construction -------------------------------------------------------------------------------------------

CGXComboBoxWnd::CGXComboBoxWnd(CGXGridCore* grid)
    : CGXWindowCell(grid),
      m_nVertMargin(CGXGridGlobals::Get().m_bWin4 ? 3 : 2),
      m_rgbHighlightText(GetSysColor(COLOR_HIGHLIGHTTEXT)) {}

CGXComboBoxWnd::~CGXComboBoxWnd() {
  m_bDestroying = TRUE;
  if (m_edit.m_hWnd) m_edit.UnsubclassWindow();
  if (m_hWnd) DestroyWindow();
}

CRuntimeClass* CGXComboBoxWnd::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXComboBoxWnd); }

BOOL CGXComboBoxWnd::CreateComboBox(DWORD style, UINT id) {
  m_pButton = new CGXComboBoxWndButton(this);
  AppendChild(m_pButton);
  CWnd* grid = GetGridWnd();
  if (!grid || !CreateEx(0, "COMBOBOX", nullptr, style | WS_CHILD, CRect(0, 0, 0, 0), grid, id)) return FALSE;
  if (CWnd* child = GetWindow(GW_CHILD)) m_edit.SubclassWindow(child->m_hWnd);
  m_bNotOwnerDrawn = (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) == 0;
  return TRUE;
}

// ---- States and binding ---------------------------------------------------------------------------------------

void CGXComboBoxWnd::InitForCell(ROWCOL row, ROWCOL col) {
  m_nTextHeight = 0;
  CGXStatic::InitForCell(row, col);
  m_bDropDownPending = FALSE;
  SetEditingState(FALSE);
  DropCachedStyle();
  const CGXStyle& style = GetCachedStyle();
  if (m_hWnd && m_bFillWithChoiceList) {
    ResetContent();
    if (style.IsIncluded(GX_IN_CHOICELIST))
      for (const CString& line : SplitChoiceList(style.GetChoiceList())) AddString(line);
  }
  SetEditedValue(style.GetIncludeValue() ? style.GetValue() : CString());
  SetEditSel(0, -1);
  const CGXGridParam* param = m_pGrid->GetParam();
  if (param && (param->m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
  m_bModified = FALSE;
  if (!m_bEditing && m_pButton) m_pButton->Invalidate();
}

BOOL CGXComboBoxWnd::StoreValue() {
  if (IsCellReadOnly()) {
    InitForCell(m_nRow, m_nCol);
    m_bModified = FALSE;
    HideAndInvalidate();
    return TRUE;
  }
  CString value;
  if (!m_pCachedStyle || !m_bModified || !GetEditedValue(value)) return TRUE;
  SetEditingState(FALSE);
  return m_pGrid->SetCellValue(m_nRow, m_nCol, value, GX_INVALIDATE);
}

// ---- Values ---------------------------------------------------------------------------------------------------

CString CGXComboBoxWnd::GetBoxText() const {
  if (!m_hWnd) return CString();
  if ((GetStyle() & 3) == CBS_DROPDOWN) {
    CString text;
    GetWindowText(text);
    if (!text.IsEmpty()) return text;
  }
  CString item;
  const int sel = GetCurSel();
  if (sel >= 0) GetLBText(sel, item);
  return item;
}

// A box with an edit keeps its selection there; a drop-down list keeps the one asked for.
void CGXComboBoxWnd::SetEditSel(int start, int end) {
  m_nSelStart = start;
  m_nSelEnd = end;
  if (m_hWnd && !IsDropDownList()) CComboBox::SetEditSel(start, end);
}

void CGXComboBoxWnd::GetEditSel(int& start, int& end) const {
  if (m_hWnd && !IsDropDownList()) {
    const DWORD sel = CComboBox::GetEditSel();
    start = std::max(0, static_cast<int>(LOWORD(sel)));
    end = static_cast<int>(HIWORD(sel));
    return;
  }
  start = m_nSelStart;
  end = m_nSelEnd;
}

void CGXComboBoxWnd::GetEditText(CString& out) const {
  out.Empty();
  if (m_bInit) out = GetBoxText();
}

void CGXComboBoxWnd::SetEditText(const CString& text) {
  if (!m_bInit || !m_hWnd) return;
  if (!m_bEditing) SetEditingState(TRUE);
  if (!AcceptsText(text)) return;
  if ((GetStyle() & 3) == CBS_DROPDOWN)
    SetWindowText(text);
  else
    SelectString(-1, text);
  m_bModified = TRUE;
  NotifyModified();
}

BOOL CGXComboBoxWnd::GetEditedValue(CString& out) const {
  if (!m_bInit) return FALSE;
  if (m_nIndexValue == -1) {
    out = GetBoxText();
  } else {
    const int sel = m_hWnd ? GetCurSel() : -1;
    out = sel >= 0 ? Decimal(sel + m_nIndexValue) : CString();
  }
  return TRUE;
}

int CGXComboBoxWnd::ItemOf(const CString& value) const {
  if (value.IsEmpty()) return -1;
  if (m_nIndexValue != -1) return gx::ChoiceIndex(value, m_nIndexValue);
  const int exact = FindStringExact(-1, value);
  return exact >= 0 ? exact : FindString(-1, value);
}

void CGXComboBoxWnd::SetEditedValue(const CString& text) {
  if (!m_hWnd) return;
  SetCurSel(ItemOf(text));
  if (GetCurSel() < 0 && (GetStyle() & 3) == CBS_DROPDOWN) {
    SetWindowText(text);
    SetEditSel(0, -1);
  }
}

BOOL CGXComboBoxWnd::GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                                    const CGXStyle& style) const {
  if (m_nIndexValue != -1 && m_bDispChoice && m_bFillWithChoiceList && style.IsIncluded(GX_IN_CHOICELIST)) {
    const CString v = value ? *value : style.GetIncludeValue() ? style.GetValue() : CString();
    out.Empty();
    GetChoiceListItem(out, style, gx::ChoiceIndex(v, m_nIndexValue));
    return TRUE;
  }
  return CGXStatic::GetDisplayText(out, row, col, value, style);
}

BOOL CGXComboBoxWnd::StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* style) {
  if (m_hWnd && IsDropDownList() && (!text || !*text)) return TRUE;
  return CGXStatic::StoreCellText(row, col, text, flags, style);
}

BOOL CGXComboBoxWnd::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (!m_bFillWithChoiceList || !TakesChoicesOnly() || !style.IsIncluded(GX_IN_CHOICELIST)) return TRUE;
  // As the drop-down cell's: a text that is no choice is refused, an empty one empties the cell.
  return TakeChoice(text, style, m_bDispChoice ? m_nIndexValue : -1);
}

BOOL CGXComboBoxWnd::TakesChoicesOnly() const {
  return m_nIndexValue != -1 || m_bDispChoice || (m_hWnd && IsDropDownList());
}

BOOL CGXComboBoxWnd::AcceptsText(const CString& text) {
  if (text.IsEmpty()) return TRUE;
  if (!(m_bFillWithChoiceList && ((m_nIndexValue != -1 && m_bDispChoice) || (m_hWnd && IsDropDownList()))))
    return TRUE;
  const CGXStyle& style = GetCachedStyle();
  if (!style.IsIncluded(GX_IN_CHOICELIST) || style.GetChoiceList().IsEmpty()) return FALSE;
  CString line;
  return FindChoiceListItem(line, text, style, FALSE) >= 0;
}

// ---- Geometry -------------------------------------------------------------------------------------------------

BOOL CGXComboBoxWnd::KeepsButtonRoom(ROWCOL row, ROWCOL col) const {
  const BOOL current = m_pGrid->MatchesCurrentCell(row, col);
  if (current) return !IsEditedCell(row, col);
  return m_bButtonEveryCell || !m_bButtonOnlyCurrentCell;
}

CRect CGXComboBoxWnd::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXStatic::ComputeInnerRect(cell, style);
  // The cell is known by its rectangle: the current cell's, or another's.
  ROWCOL row = GX_INVALID, col = GX_INVALID;
  if (m_pGrid->QueryCurrentCell(&row, &col)) {
    CGXRange covered(row, col);
    m_pGrid->GetCoveredCellsRowCol(row, col, covered);
    if (m_pGrid->CalcRangeRect(covered.top, covered.left, covered.bottom, covered.right) != cell)
      row = col = GX_INVALID;
  }
  const BOOL current = row != GX_INVALID;
  if (current ? !IsEditedCell(row, col) : (m_bButtonEveryCell || !m_bButtonOnlyCurrentCell)) r.right -= kButtonRoom;
  if (!(current && IsEditedCell(row, col))) r.left += 2;
  return r;
}

CSize CGXComboBoxWnd::AddBordersToSize(CSize size, const CGXStyle& style) const {
  size.cx += 19;
  return CGXStatic::AddBordersToSize(size, style);
}

int CGXComboBoxWnd::MeasureTextHeight(CDC* dc, const CGXStyle& style) {
  if (m_nTextHeight == 0 && dc) {
    gx::CellFontScope font(m_pGrid, dc, style);
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    m_nTextHeight = tm.tmHeight;
  }
  return m_nTextHeight;
}

CSize CGXComboBoxWnd::ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                                      const CGXStyle* previous, BOOL vertical) {
  if (!m_bNotOwnerDrawn) return CSize(0, 0);
  const CSize base = CGXStatic::ComputeCellSize(dc, row, col, style, previous, vertical);
  if (!dc) return base;
  gx::CellFontScope font(m_pGrid, dc, style);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  CSize own(0, tm.tmHeight + tm.tmExternalLeading + 1 + (m_bKeepWindowInCell ? 1 + 2 * m_nVertMargin : 1));
  if (m_bFillWithChoiceList && style.IsIncluded(GX_IN_CHOICELIST))
    for (const CString& line : SplitChoiceList(style.GetChoiceList()))
      own.cx = std::max<LONG>(own.cx, dc->GetTextExtent(line).cx);
  own = AddBordersToSize(own, style);
  return CSize(std::max(base.cx, own.cx), std::max(base.cy, own.cy));
}

void CGXComboBoxWnd::LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) {
  if (!m_pButton) return;
  // The rectangle the button is laid out against: the text area with the button's room and margin.
  CRect rect = inner;
  rect.right += KeepsButtonRoom(row, col) ? kButtonRoom + 1 : 1;
  CRect button(std::max<LONG>(rect.right - 16, rect.left + 1), rect.top, rect.right - 1, rect.bottom - 1);
  CGXStyle composed;
  const CGXStyle* style = CellStyleIf(row, col, m_bButtonEveryCell, composed);
  if (m_bSizeToText && style) {
    if (m_nTextHeight == 0) {
      MeasureTextHeight(m_pGrid->GetCachedDC(), *style);
    }
    const int h = std::min<int>(m_nTextHeight + 2, rect.Height() - 2 * m_nVertMargin);
    const UINT vertical = style->IsIncluded(GX_IN_VERTALIGN) ? style->GetVerticalAlignment() : GX_DT_TOP;
    if (vertical == GX_DT_VCENTER)
      button.top += std::max(0, (rect.Height() - h) / 2 - m_nVertMargin);
    else if (vertical == GX_DT_BOTTOM)
      button.top = rect.bottom - 2 * m_nVertMargin - h;
    button.bottom = button.top + 2 * m_nVertMargin + h - 1;
  }
  m_pButton->SetRect(button);
}

// ---- Drawing --------------------------------------------------------------------------------------------------

void CGXComboBoxWnd::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                              const CGXStyle* standard) {
  if (!IsEditedCell(row, col) || !m_hWnd || m_pGrid->m_bDrawAllCellsInactive || m_pGrid->IsPrinting()) {
    if (m_bSizeToText) MeasureTextHeight(dc, style);
    if (m_bNotOwnerDrawn || !m_hWnd) {
      CGXStatic::DrawCell(dc, rect, row, col, style, standard);
      return;
    }
    DrawCellBackground(dc, rect, style, FALSE);
    CRect inner = ComputeInnerRect(row, col, &rect, &style);
    // The item the value names, as the box selects it (-1, Windows' "no item", for a value that names none).
    const int index = ItemOf(style.GetIncludeValue() ? style.GetValue() : CString());
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID());
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ODS_SELECTED;
    item.hwndItem = m_hWnd;
    item.hDC = dc->GetSafeHdc();
    item.itemData = GetItemData(index);
    item.rcItem = inner;
    const BOOL noFrame = !style.IsIncluded(GX_IN_DRAW3DFRAME) || style.GetDraw3dFrame() == 0;
    if (!m_pGrid->m_bDrawAllCellsInactive && m_bFocusFrame && noFrame) {
      GetDrawingAndFormatting().Draw3dFrame(dc, inner.left, inner.top, inner.right - 1, inner.bottom - 1, 1,
                                            RGB(0, 0, 0), RGB(255, 255, 255));
      CRect shrunk = inner;
      shrunk.DeflateRect(2, 2);
      item.rcItem = shrunk;
    }
    DrawItem(&item);
    DrawChildren(dc, rect, row, col, style);
    return;
  }
  // The cell being edited: the box over it, keeping the selection of its edit (what typing left there).
  int selStart = 0, selEnd = 0;
  GetEditSel(selStart, selEnd);
  if (m_pButton) m_pButton->SetRect(CRect());
  // Hiding the box invalidates the grid under it. What of that lies in this paint's clip box is drawn by this very
  // paint, so it is validated again: else every paint of the edited cell asks for the next one, without end (the
  // box hidden and shown over the cell each time).
  CRect hidden;
  HWND gridWnd = m_pGrid->GridHwnd();
  const BOOL shown = gridWnd && IsWindowVisible();
  if (shown) {
    GetWindowRect(&hidden);
    ::MapWindowPoints(nullptr, gridWnd, reinterpret_cast<POINT*>(&hidden), 2);
  }
  HideWindowPart();
  if (CRect clip; shown && dc->GetClipBox(&clip) != ERROR && hidden.IntersectRect(hidden, clip))
    ::ValidateRect(gridWnd, &hidden);
  LOGFONT lf{};
  style.GetFont().GetLogFontZoomed(lf, m_pGrid->GetZoom());
  m_pFont = std::make_unique<CFont>();
  m_pFont->CreateFontIndirect(&lf);
  const CGXProperties* props = m_pGrid->GetProperties();
  const BOOL blackAndWhite = props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting());
  m_rgbWndBack = blackAndWhite ? RGB(255, 255, 255) : style.GetInterior().GetColor();
  DrawCellBackground(dc, rect, style, FALSE);
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  {
    CFont* old = dc->SelectObject(m_pFont.get());
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    m_nTextHeight = tm.tmHeight;
    if (old) dc->SelectObject(old);
  }
  SetFont(m_pFont.get(), TRUE);
  // The item height and the selection field's place.
  int h = inner.Height();
  CRect window = inner;
  if (m_bSizeToText) {
    h = std::min<int>(m_nTextHeight + 2, inner.Height());
    const UINT vertical = style.IsIncluded(GX_IN_VERTALIGN) ? style.GetVerticalAlignment() : GX_DT_TOP;
    if (vertical == GX_DT_VCENTER)
      window.top += (inner.Height() - h) / 2;
    else if (vertical == GX_DT_BOTTOM)
      window.top = inner.bottom - h - 2;
  }
  window.bottom = window.top + h;
  if (!m_bKeepWindowInCell)
    window.InflateRect(0, m_nVertMargin);
  else
    h -= 2 * m_nVertMargin;
  RecordWindowRect(window);
  // Room for the dropped list: up to 8 items.
  const int items = std::min(GetCount(), kMaxDroppedItems);
  window.bottom += (m_nTextHeight + 2 + 2 * m_nVertMargin) * items;
  AdjustWindowRect(window);
  MoveWindow(&window, FALSE);
  SetEditingState(TRUE);
  SetItemHeight(-1, static_cast<UINT>(std::max(1, CGXGridGlobals::Get().m_bWin4 ? h : h + m_nVertMargin)));
  ShowWindow(SW_HIDE);
  if (HWND grid = m_pGrid->GridHwnd(); grid && ::GetFocus() == grid) {
    auto guard = m_pGrid->GuardFocus();
    SetFocus();
  }
  if (style.IsIncluded(GX_IN_MAXLENGTH) && style.GetMaxLength() > 0) LimitText(style.GetMaxLength());
  SetEditSel(selStart, selEnd);
  ShowWindow(SW_SHOW);
  gx::ShowOnlyDrawnPart(m_pGrid, this, dc, row, col, window);
  CComboBox::UpdateWindow();
  CGXStatic::DrawChildren(dc, rect, row, col, style);
}

void CGXComboBoxWnd::HideWindowPart() {
  if (!m_hWnd || !IsWindowVisible()) return;
  auto guard = m_pGrid->GuardFocus();
  ShowDropDown(FALSE);
  ::HideCaret(m_hWnd);
  const BOOL editHadFocus = m_edit.m_hWnd && ::GetFocus() == m_edit.m_hWnd;
  ShowWindow(SW_HIDE);
  if (editHadFocus) ::SetFocus(m_pGrid->GridHwnd());
}

// ---- Activation -----------------------------------------------------------------------------------------------

void CGXComboBoxWnd::PostClick(CPoint pt) {
  PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  PostMessage(WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
}

void CGXComboBoxWnd::ActivateAndDropDown() {
  if (!m_hWnd) return;
  if (!m_bEditing) {
    if (!NotifyEditStart()) return;
    SetEditingState(TRUE);
    HideAndInvalidate();
  }
  if (IsDropDownList() && !GetDroppedState() && m_bDropDownOnClick) {
    if (CGXGridGlobals::Get().m_bWin4) {
      m_pGrid->UpdateWindow();
      PostClick(CPoint(0, 0));
    } else {
      m_bDropDownPending = TRUE;
    }
  }
}

BOOL CGXComboBoxWnd::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  const CGXGridParam* param = m_pGrid->GetParam();
  if (!(flags & MK_RBUTTON) && param && (param->m_wActivateFlags & 7)) ActivateAndDropDown();
  CGXStatic::OnLButtonUpInCell(flags, x, y, hit);
  return TRUE;
}

BOOL CGXComboBoxWnd::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  const CGXGridParam* param = m_pGrid->GetParam();
  if (!m_bEditing && param && (param->m_wActivateFlags & 8)) ActivateAndDropDown();
  CGXStatic::OnLButtonDblClkInCell(flags, x, y);
  return TRUE;
}

void CGXComboBoxWnd::OnChildClicked(CGXChild* child) {
  if (m_bEditing && m_hWnd && IsDropDownList() && m_bDropDownOnClick) {
    CGXStatic::OnChildClicked(child);
    return;
  }
  if (!m_hWnd) return;
  const CRect button = m_pButton ? m_pButton->GetRect() : CRect();
  const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
  if (!m_bEditing) {
    if (!NotifyEditStart()) return;
    SetEditingState(TRUE);
    HideAndInvalidate();
  }
  if (!GetDroppedState() && m_bDropDownOnClick) {
    if (CGXGridGlobals::Get().m_bWin4) {
      m_pGrid->UpdateWindow();
      PostClick(CPoint(button.left - inner.left + 5, button.top - inner.top + 5));
    } else {
      m_bDropDownPending = TRUE;
    }
  }
  CGXStatic::OnChildClicked(child);
}

void CGXComboBoxWnd::OpenPendingDropDown() {
  if (m_bDropDownPending && !GetDroppedState()) ShowDropDown(TRUE);
  m_bDropDownPending = FALSE;
}

BOOL CGXComboBoxWnd::OnKeyDownInCell(UINT ch, UINT, UINT) {
  if (!m_hWnd || gx::KeyHeld(VK_CONTROL) || (ch != VK_END && ch != VK_HOME)) return FALSE;
  if (!StartEditing()) return TRUE;
  const int at = ch == VK_END ? GetBoxText().GetLength() : 0;
  SetEditSel(at, at);
  if (!m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW)) HideAndInvalidate();
  return TRUE;
}

BOOL CGXComboBoxWnd::OnSysKeyDownInCell(UINT ch, UINT, UINT) {
  if (!m_hWnd || ch != VK_DOWN) return FALSE;
  if (!NotifyEditStart()) return TRUE;
  SetEditingState(TRUE);
  if (!m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW)) HideAndInvalidate();
  m_pGrid->UpdateWindow();
  ShowDropDown(TRUE);
  return TRUE;
}

BOOL CGXComboBoxWnd::OnCharInCell(UINT ch, UINT repeat, UINT flags) {
  if (!m_hWnd) return FALSE;
  if (ch < 32 || ch == 127) return CGXStatic::OnCharInCell(ch, repeat, flags);
  const char text[2] = {static_cast<char>(ch), 0};
  return OnDbcsCharInCell(text, repeat, flags);
}

BOOL CGXComboBoxWnd::OnDbcsCharInCell(const CString& text, UINT, UINT) {
  if (IsCellReadOnly() || !m_hWnd) return FALSE;
  if (m_bEditing) {
    int start = 0, end = 0;
    GetEditSel(start, end);
    ReplaceSelectedText(text);
    SetEditSel(start + text.GetLength(), start + text.GetLength());
    return TRUE;
  }
  if (!NotifyEditStart()) return TRUE;
  SetEditingState(TRUE);
  if (IsDropDownList()) {
    // The next item beginning with the typed text after the one beginning with the current text.
    const int before = GetCurSel();
    const int from = FindString(-1, GetBoxText());
    SelectString(from, text);
    if (GetCurSel() == before) SelectString(-1, text);
  } else {
    SetWindowText(text);
    SetEditSel(text.GetLength(), text.GetLength());
  }
  m_bModified = TRUE;
  NotifyModified();
  HideAndInvalidate();
  return TRUE;
}

// ---- Find and replace -----------------------------------------------------------------------------------------

void CGXComboBoxWnd::GetSelectionText(CString& out) {
  out.Empty();
  if (m_bEditing && m_hWnd) {
    if (m_nIndexValue != -1 && !m_bDispChoice) {
      const int sel = GetCurSel();
      if (sel >= 0) out = Decimal(sel + m_nIndexValue);
      return;
    }
    const CString text = ShownEditText();
    int start = 0, end = 0;
    GetEditSel(start, end);
    start = std::clamp(start, 0, text.GetLength());
    if (end <= start || end > text.GetLength()) end = text.GetLength();
    out = text.Mid(start, end - start);
    return;
  }
  if (m_bInit) GetDisplayText(out, m_nRow, m_nCol, nullptr, GetCachedStyle());
}

CString CGXComboBoxWnd::ShownEditText() const {
  CString text;
  GetEditText(text);
  return text;
}

CString CGXComboBoxWnd::TextWithSelectionReplaced(const CString& insert, int& start) const {
  const CString current = ShownEditText();
  int end = 0;
  GetEditSel(start, end);
  start = std::clamp(start, 0, current.GetLength());
  CString result = current.Left(start) + insert;
  if (end >= start && end < current.GetLength()) result += current.Mid(end);
  return result;
}

void CGXComboBoxWnd::ReplaceSelectedText(LPCTSTR text) {
  if (!m_bNotOwnerDrawn || IsCellReadOnly()) return;
  if (!m_bEditing) {
    CGXStatic::ReplaceSelectedText(text);
    return;
  }
  const CString insert = text ? text : "";
  int start = 0;
  const CString result = TextWithSelectionReplaced(insert, start);
  if (!AcceptsText(result)) {
    RefuseReplacement();
    return;
  }
  SetEditText(result);
  SetEditSel(start, start + insert.GetLength());
}

BOOL CGXComboBoxWnd::CanPasteText(const CString& text) {
  int start = 0;
  if (!m_bEditing || AcceptsText(TextWithSelectionReplaced(text, start))) return TRUE;
  return RefusePaste(gx::LoadGridString(GX_IDS_PASTE_NO_VALUE));
}

BOOL CGXComboBoxWnd::PasteFromClipboard() {
  return PasteShowingRefusal([this] { return CGXStatic::PasteFromClipboard(); });
}

BOOL CGXComboBoxWnd::FindInCell(DWORD_PTR requestArg, DWORD_PTR rowArg, DWORD_PTR colArg, DWORD_PTR stay,
                                DWORD_PTR select) {
  const auto* request = reinterpret_cast<const CGXFindReplaceState*>(requestArg);
  if (!m_bNotOwnerDrawn || !request || request->m_strFind.IsEmpty()) return FALSE;
  const ROWCOL row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  const BOOL here = IsEditedCell(row, col) && m_hWnd;
  CString text;
  int from = 0;
  if (here) {
    text = ShownEditText();
    int start = 0, end = 0;
    GetEditSel(start, end);
    from = std::clamp(start + (stay ? 0 : 1), 0, text.GetLength());
  } else {
    text = SearchedCellText(row, col, nullptr);
  }
  int hit = gx::FindFrom(text, from, request->m_strFind, request->m_bCase);
  if (hit < 0) return FALSE;
  if (!select) return TRUE;
  m_pGrid->BringCellIntoView(row, col, GX_UPDATENOW);
  if (!here) {
    if (!m_pGrid->MoveCurrentCellTo(row, col, 0x24) || m_pGrid->ControlOfCurrentCell() != this) return TRUE;
    // Selected where the box's own text holds it, never at a position found in another text; without a
    // match there nothing is selected and no replace follows.
    hit = gx::FindFrom(ShownEditText(), 0, request->m_strFind, request->m_bCase);
    if (hit < 0) return FALSE;
    SetEditingState(TRUE);
  }
  SetEditSel(hit, hit + request->m_strFind.GetLength());
  if (!here) HideAndInvalidate();
  return TRUE;
}

// Decision: the replaced text is built whole, whatever its length.
BOOL CGXComboBoxWnd::ReplaceInCell(DWORD_PTR request, DWORD_PTR rowArg, DWORD_PTR colArg) {
  if (!m_bNotOwnerDrawn) return FALSE;
  return StoreReplacedCellText(request, static_cast<ROWCOL>(rowArg), static_cast<ROWCOL>(colArg),
                               [&](CString& out, int& start) {
                                 out = ShownEditText();
                                 int end = 0;
                                 GetEditSel(start, end);
                               });
}

// ---- Window part ----------------------------------------------------------------------------------------------

BOOL CGXComboBoxWnd::HandleWindowCommand(WPARAM wParam, LPARAM lParam) {
  OnCommand(wParam, lParam);
  return CGXStatic::HandleWindowCommand(wParam, lParam);
}

void CGXComboBoxWnd::RevertToBeforeDropDown() {
  if (IsDropDownList())
    SetCurSel(m_nIndexBeforeDropDown);
  else
    SetWindowText(m_strBeforeDropDown);
}

BOOL CGXComboBoxWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd || reinterpret_cast<HWND>(lParam) != m_hWnd || !m_bEditing) return FALSE;
  switch (HIWORD(wParam)) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
      if (IsCellReadOnly()) {
        RevertToBeforeDropDown();
      } else {
        m_bModified = TRUE;
        NotifyModified();
      }
      break;
    case CBN_SETFOCUS: OpenPendingDropDown(); break;
    case CBN_DROPDOWN:
      m_pGrid->m_bListDropped = TRUE;
      m_nIndexBeforeDropDown = GetCurSel();
      m_strBeforeDropDown = GetBoxText();
      break;
    case CBN_CLOSEUP:
      m_pGrid->m_bListDropped = FALSE;
      if (IsCellReadOnly())
        RevertToBeforeDropDown();
      else if (m_bModified)
        NotifyModified();
      break;
    default: break;
  }
  return FALSE;
}

BOOL CGXComboBoxWnd::ProcessGridKey(UINT ch, UINT repeat, UINT flags) {
  if (!m_hWnd) return FALSE;
  m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW);
  const BOOL dropped = GetDroppedState();
  BOOL grid = FALSE;
  if (gx::KeyHeld(VK_CONTROL)) {
    grid = TRUE;
  } else {
    switch (ch) {
      case VK_TAB:
      case VK_ESCAPE: grid = TRUE; break;
      case VK_RETURN:
        if (dropped) {
          ShowDropDown(FALSE);
          return TRUE;
        }
        grid = TRUE;
        break;
      case VK_UP:
      case VK_DOWN:
      case VK_PRIOR:
      case VK_NEXT: grid = !m_bWantArrowKeys && !dropped; break;
      case VK_LEFT:
      case VK_RIGHT: {
        if (m_bWantArrowKeys || dropped) break;
        if (IsDropDownList()) {
          grid = TRUE;
          break;
        }
        int start = 0, end = 0;
        m_edit.m_hWnd ? m_edit.GetSel(start, end) : GetEditSel(start, end);
        grid = ch == VK_LEFT ? start <= 0 : (end < 0 || end >= GetBoxText().GetLength());
        break;
      }
      default: grid = ch >= VK_F1 && ch <= 0x87; break;
    }
  }
  if (!grid) return FALSE;
  ToGrid(WM_KEYDOWN, ch, repeat, flags);
  return TRUE;
}

BOOL CGXComboBoxWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && m_hWnd && (msg->hwnd == m_hWnd || msg->hwnd == m_edit.m_hWnd) &&
      ProcessGridKey(static_cast<UINT>(msg->wParam), LOWORD(msg->lParam), HIWORD(msg->lParam)))
    return TRUE;
  return CComboBox::PreTranslateMessage(msg);
}

LRESULT CGXComboBoxWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_bDestroying) return CComboBox::WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: EraseWindowBackground(*this, CDC::FromHandle(reinterpret_cast<HDC>(wParam))); return TRUE;
    case WM_KILLFOCUS: {
      const LRESULT r = CComboBox::WindowProc(message, wParam, lParam);
      const HWND to = reinterpret_cast<HWND>(wParam);
      // Focus moving into the box's own edit, or a change the grid guards, is no loss of focus.
      if (m_hWnd && !(to && (to == m_hWnd || ::IsChild(m_hWnd, to))) && !m_pGrid->IsFocusGuarded())
        ForwardKillFocusToGrid(to ? CWnd::FromHandle(to) : nullptr);
      return r;
    }
    default: break;
  }
  return CComboBox::WindowProc(message, wParam, lParam);
}
