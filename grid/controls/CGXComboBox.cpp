#include "grid/controls/CGXComboBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "grid/controls/GXCellNumbers.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXProperties.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXComboBox, CGXEditControl)

const CGXControlClass CGXComboBox::gxClassCGXComboBox = {"CGXComboBox", &CGXEditControl::gxClassCGXEditControl};

namespace {

constexpr int kButtonRoom = 15;
constexpr DWORD kDefaultListStyle = WS_VSCROLL | LBS_NOTIFY;

CString Decimal(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", n);
  return buffer;
}

BOOL HasChoices(const CGXStyle& style) { return style.IsIncluded(GX_IN_CHOICELIST); }

// Whether the focus window is the window or lies inside it.
BOOL FocusWithin(HWND focus, HWND window) {
  return focus && window && (focus == window || ::IsChild(window, focus));
}

}  // namespace

// ---- The dropped list ----------------------------------------------------------------------------------

BOOL CGXComboListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("COMBOLBOX", "", style | WS_VISIBLE | WS_BORDER, rect, parent, id);
}

BOOL CGXComboListBox::OnEraseBkgnd(CDC* dc) {
  CWnd* parent = GetParent();
  const LRESULT brush = parent ? parent->SendMessage(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc->GetSafeHdc()),
                                                     reinterpret_cast<LPARAM>(m_hWnd))
                               : 0;
  if (!brush) return static_cast<BOOL>(Default());
  CRect client;
  GetClientRect(&client);
  ::FillRect(dc->GetSafeHdc(), &client, reinterpret_cast<HBRUSH>(brush));
  return TRUE;
}

void CGXComboListBox::OnKeyReleased(UINT key) {
  CWnd* owner = m_pMsgWnd;
  switch (key) {
    case VK_TAB:
      // The owner moves on as if Tab had been pressed in the cell, after the list is gone.
      owner->PostMessage(WM_KEYDOWN, VK_TAB, 1);
      owner->PostMessage(WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001u));
      owner->SendMessage(WM_GX_LBOXEND);
      return;
    case VK_RETURN: owner->SendMessage(WM_GX_LBOXEND); return;
    case VK_ESCAPE: owner->SendMessage(WM_GX_LBOXCANCEL); return;
    default: {
      const int sel = GetCurSel();
      if (sel == m_nSelAtKeyDown) return;
      m_nSelAtKeyDown = sel;
      owner->SendMessage(WM_GX_LBOXCHANGED);
      return;
    }
  }
}

// Every message that tells the owner comes last: the owner may destroy the list while it handles it.
LRESULT CGXComboListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_pMsgWnd) return CListBox::WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_KEYDOWN:
      if (m_nKeyDownCount++ == 0) m_nSelAtKeyDown = GetCurSel();
      m_bKeyDown = TRUE;
      break;
    case WM_KEYUP: {
      const LRESULT r = CListBox::WindowProc(message, wParam, lParam);
      if (!m_bKeyDown) return r;
      m_nKeyDownCount = 0;
      OnKeyReleased(static_cast<UINT>(wParam));
      return r;
    }
    case WM_LBUTTONDOWN: m_bLButtonDown = TRUE; break;
    case WM_LBUTTONUP: {
      const LRESULT r = CListBox::WindowProc(message, wParam, lParam);
      if (m_bLButtonDown && m_hWnd && GetCurSel() >= 0) {
        m_bLButtonDown = FALSE;
        m_pMsgWnd->SendMessage(WM_GX_LBOXEND);
      }
      return r;
    }
    case WM_SYSKEYDOWN: m_bKeyDown = TRUE; break;
    case WM_SYSKEYUP:
      if (wParam == VK_DOWN && m_bKeyDown) {
        m_pMsgWnd->SendMessage(WM_GX_LBOXCANCEL);
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      const LRESULT r = CListBox::WindowProc(message, wParam, lParam);
      m_pMsgWnd->PostMessage(WM_GX_LBOXKILLFOCUS);
      return r;
    }
    case WM_ERASEBKGND: return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    default: break;
  }
  return CListBox::WindowProc(message, wParam, lParam);
}

// ---- Construction ----------------------------------------------------------------------------------------

CGXComboBox::CGXComboBox(CGXGridCore* grid, UINT id, UINT listId, UINT flags)
    : CGXEditControl(grid, id), m_nFlags(flags), m_nListId(listId) {
  m_pButton = new CGXComboBoxButton(this);
  AppendChild(m_pButton);
}

CGXComboBox::~CGXComboBox() {
  if (m_pPopup) {
    CGXPopupActiveScope active;
    CGXGridCombo* popup = m_pPopup;
    m_pPopup = nullptr;
    CGXComboBox::DestroyGridCombo(popup);
  }
  m_pListFont.reset();
}

CRuntimeClass* CGXComboBox::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXComboBox); }

int CGXComboBox::IndexBase() const {
  if (m_nFlags & GXCOMBO_ZEROBASED) return 0;
  if (m_nFlags & GXCOMBO_ONEBASED) return 1;
  return -1;
}

// ---- States and binding ----------------------------------------------------------------------------------

void CGXComboBox::SetEditingState(BOOL on) {
  if (!on && m_pPopup && m_hWnd) PostMessage(WM_GX_LBOXCANCEL);
  CGXEditControl::SetEditingState(on);
}

void CGXComboBox::InitForCell(ROWCOL row, ROWCOL col) {
  m_nTextHeight = 0;
  CGXEditControl::InitForCell(row, col);
  if (m_pButton) m_pButton->Invalidate();
}

void CGXComboBox::RedrawIfChanged() {
  ShowDropDown(FALSE);
  CGXEditControl::RedrawIfChanged();
}

BOOL CGXComboBox::StoreValue() {
  // The edited value, not the window's text: a fitted or indexed variant stores what the text matches.
  if (!m_pCachedStyle || !GetModifiedState() || !m_hWnd) return TRUE;
  CString value;
  if (!GetEditedValue(value)) return TRUE;
  const CGXStyle style = *m_pCachedStyle;
  SetEditingState(FALSE);
  DropCachedStyle();
  return StoreTextOrNumber(m_nRow, m_nCol, value, style, GX_INVALIDATE, TRUE);
}

// ---- Geometry ----------------------------------------------------------------------------------------------

CRect CGXComboBox::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXStatic::ComputeInnerRect(cell, style);
  ROWCOL row = GX_INVALID, col = GX_INVALID;
  BOOL current = FALSE;
  if (m_pGrid->QueryCurrentCell(&row, &col)) {
    CGXRange covered(row, col);
    m_pGrid->GetCoveredCellsRowCol(row, col, covered);
    current = m_pGrid->CalcRangeRect(covered.top, covered.left, covered.bottom, covered.right) == cell;
  }
  if (current || !m_bButtonOnlyCurrentCell || m_bButtonEveryCell) r.right -= kButtonRoom;
  return r;
}

CRect CGXComboBox::InnerRectWithoutButton() {
  CGXRange covered(m_nRow, m_nCol);
  m_pGrid->GetCoveredCellsRowCol(m_nRow, m_nCol, covered);
  const CRect cell = m_pGrid->CalcRangeRect(covered.top, covered.left, covered.bottom, covered.right);
  return CGXStatic::ComputeInnerRect(cell, GetCachedStyle());
}

CSize CGXComboBox::AddBordersToSize(CSize size, const CGXStyle& style) const {
  size.cx += kButtonRoom;
  return CGXStatic::AddBordersToSize(size, style);
}

CSize CGXComboBox::ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                                   BOOL vertical) {
  const CSize base = CGXStatic::ComputeCellSize(dc, row, col, style, previous, vertical);
  if (!dc) return base;
  gx::CellFontScope font(m_pGrid, dc, style);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  CSize own(0, tm.tmHeight + tm.tmExternalLeading + 1);
  if (m_bFillWithChoiceList && HasChoices(style))
    for (const CString& line : SplitChoiceList(style.GetChoiceList()))
      own.cx = std::max<LONG>(own.cx, dc->GetTextExtent(line).cx);
  own = AddBordersToSize(own, style);
  return CSize(std::max(base.cx, own.cx), std::max(base.cy, own.cy));
}

int CGXComboBox::TextHeight(const CGXStyle& style) {
  if (m_nTextHeight == 0) {
    if (CDC* dc = m_pGrid->GetCachedDC()) {
      gx::CellFontScope font(m_pGrid, dc, style);
      TEXTMETRIC tm{};
      dc->GetTextMetrics(&tm);
      m_nTextHeight = tm.tmHeight;
    }
  }
  return m_nTextHeight;
}

void CGXComboBox::LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) {
  if (!m_pButton) return;
  CRect rect = inner;
  rect.right += kButtonRoom + 1;
  CRect button(std::max<LONG>(rect.right - 16, rect.left + 1), rect.top, rect.right - 1, rect.bottom - 1);
  CGXStyle composed;
  const CGXStyle* style = CellStyleIf(row, col, m_bButtonEveryCell, composed);
  if (m_bSizeToText && style) {
    const int h = std::min<int>(TextHeight(*style) + 2, rect.Height() - 2 * m_nVertMargin);
    const UINT vertical = style->IsIncluded(GX_IN_VERTALIGN) ? style->GetVerticalAlignment() : GX_DT_TOP;
    if (vertical == GX_DT_VCENTER)
      button.top += std::max(0, (rect.Height() - h) / 2 - m_nVertMargin);
    else if (vertical == GX_DT_BOTTOM)
      button.top = rect.bottom - 2 * m_nVertMargin - h;
    button.bottom = button.top + 2 * m_nVertMargin + h - 1;
  }
  m_pButton->SetRect(button);
}

// ---- Values -------------------------------------------------------------------------------------------------

BOOL CGXComboBox::GetEditedValue(CString& out) const {
  if (!CGXEditControl::GetEditedValue(out)) return FALSE;
  if (!m_bFillWithChoiceList || !(FitsText() || DisplaysChoice()) || !m_pCachedStyle || !HasChoices(*m_pCachedStyle))
    return TRUE;
  CString line;
  const int n = FindChoiceListItem(line, out, *m_pCachedStyle, FALSE);
  if (DisplaysChoice())
    out = n < 0 ? CString() : Decimal(n + (IndexBase() == 1 ? 1 : 0));
  else
    out = n < 0 ? CString() : line;
  return TRUE;
}

BOOL CGXComboBox::GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                                 const CGXStyle& style) const {
  if (!DisplaysChoice() || !m_bFillWithChoiceList || !HasChoices(style))
    return CGXEditControl::GetDisplayText(out, row, col, value, style);
  const CString v = value ? *value : style.GetIncludeValue() ? style.GetValue() : CString();
  out.Empty();
  if (v.IsEmpty()) return TRUE;
  GetChoiceListItem(out, style, gx::ChoiceIndex(v, IndexBase() == 1 ? 1 : 0));
  return TRUE;
}

BOOL CGXComboBox::TakesChoicesOnly(const CGXStyle& style) const {
  return m_bFillWithChoiceList && (FitsText() || DisplaysChoice()) && HasChoices(style);
}

// The entered form of a value is the grid's (a formula, a marked text); a choice is never a formula.
CString CGXComboBox::ValueToEdit(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  if (!TakesChoicesOnly(style)) return CGXEditControl::ValueToEdit(row, col, style);
  return style.GetIncludeValue() ? style.GetValue() : CString();
}

BOOL CGXComboBox::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (!TakesChoicesOnly(style)) return TRUE;
  // A text that is no choice is refused, as the editor refuses it (the cell kept nothing of it, not even its
  // own value); an empty one empties the cell.
  return TakeChoice(text, style, DisplaysChoice() ? (IndexBase() == 1 ? 1 : 0) : -1);
}

BOOL CGXComboBox::CanPasteText(const CString& text) {
  if (!AcceptsText(TextWithSelectionReplaced(text))) return RefusePaste(gx::LoadGridString(GX_IDS_PASTE_NO_VALUE));
  return CGXEditControl::CanPasteText(text);
}

// The editor holds what the cell's rule takes: typing, a paste into it and Replace in it take what a paste onto
// the cell, Replace All and a fill take.
BOOL CGXComboBox::AcceptsText(const CString& text) {
  CString taken = text;
  return ConvertTextForCell(taken, m_nRow, m_nCol, GetCachedStyle());
}

void CGXComboBox::ReplaceSelectedText(LPCTSTR text) {
  if (!m_bEditing || !m_hWnd) {
    CGXEditControl::ReplaceSelectedText(text);
    return;
  }
  if (IsCellReadOnly()) return;
  if (!AcceptsText(TextWithSelectionReplaced(text ? text : ""))) {
    RefuseReplacement();
    return;
  }
  SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text ? text : ""));
  SetModifiedState(TRUE);
  NotifyModified();
}

// ---- Mouse, keys and grid messages ---------------------------------------------------------------------------

BOOL CGXComboBox::QueryCellHit(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR answer) {
  if (!m_pPopup) return FALSE;
  if (answer) *reinterpret_cast<int*>(answer) = 2;
  SendMessage(WM_GX_LBOXCANCEL, 0, 1);
  return TRUE;
}

BOOL CGXComboBox::DropDownFromKey() {
  if (!m_hWnd || !NotifyEditStart()) return TRUE;
  SetEditingState(TRUE);
  if (!m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW)) HideAndInvalidate();
  m_pGrid->UpdateWindow();
  ShowDropDown(TRUE);
  return TRUE;
}

BOOL CGXComboBox::OnSysKeyDownInCell(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_DOWN) return DropDownFromKey();
  return CGXEditControl::OnSysKeyDownInCell(ch, repeat, flags);
}

void CGXComboBox::OnChildClicked(CGXChild* child) {
  if (!m_bEditing) {
    if (!m_hWnd || !NotifyEditStart()) return;
    SetEditingState(TRUE);
    HideAndInvalidate();
  }
  m_pGrid->UpdateWindow();
  ShowDropDown(!IsDroppedDown());
  CGXEditControl::OnChildClicked(child);
}

BOOL CGXComboBox::OnGridWindowMessage(const MSG* msg) {
  if (msg && (msg->message == WM_HSCROLL || msg->message == WM_VSCROLL)) ShowDropDown(FALSE);
  return CGXEditControl::OnGridWindowMessage(msg);
}

// ---- The popup -------------------------------------------------------------------------------------------------

CGXGridCombo* CGXComboBox::CreateGridCombo(CWnd* owner, const CRect& rect) { return new CGXGridCombo(owner, this, rect); }

CWnd* CGXComboBox::CreateListBox(CWnd* popup, UINT id) {
  auto* list = new CGXComboListBox(this);
  if (m_dwListStyle == 0) m_dwListStyle = kDefaultListStyle;
  CRect r;
  popup->GetClientRect(&r);
  r.DeflateRect(1, 0);
  list->Create(m_dwListStyle, r, popup, id);
  return list;
}

CListBox* CGXComboBox::PopupList() const {
  return m_pPopup ? dynamic_cast<CListBox*>(m_pPopup->GetListBox()) : nullptr;
}

CListBox* CGXComboBox::GetListBox() const { return PopupList(); }

void CGXComboBox::ComputeDropDownRect(CRect& out, const CRect& cell) {
  const CGXGridParam* param = m_pGrid->GetParam();
  const LONG height = param ? param->m_nDropDownHeight : 100;
  out = CRect(cell.left, cell.bottom, cell.right, cell.bottom + height);
}

CRect CGXComboBox::WorkAreaNear(HWND hwnd) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfo(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
  return CRect(monitor.rcWork);
}

void CGXComboBox::SetUpListLook(CWnd* list, const CGXStyle& style) {
  LOGFONT lf{};
  style.GetFont().GetLogFontZoomed(lf, m_pGrid->GetZoom());
  m_pListFont = std::make_unique<CFont>();
  m_pListFont->CreateFontIndirect(&lf);
  list->SetFont(m_pListFont.get());
  const CGXProperties* props = m_pGrid->GetProperties();
  if (props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting()))
    m_pPopup->SetColors(RGB(0, 0, 0), RGB(255, 255, 255));
  else
    m_pPopup->SetColors(style.GetTextColor(), style.GetInterior().GetColor());
}

CString CGXComboBox::SelectionSource() const {
  if (m_bEditing) return WindowText();
  return m_pCachedStyle && m_pCachedStyle->GetIncludeValue() ? m_pCachedStyle->GetValue() : CString();
}

void CGXComboBox::FillList(CWnd* wnd) {
  auto* list = dynamic_cast<CListBox*>(wnd);
  if (!list || !list->m_hWnd) return;
  const CGXStyle& style = GetCachedStyle();
  if (m_bFillWithChoiceList && HasChoices(style))
    for (const CString& line : SplitChoiceList(style.GetChoiceList())) list->AddString(line);
  const CString source = SelectionSource();
  if (FitsText() || (DisplaysChoice() && m_bEditing)) {
    const int exact = list->FindStringExact(-1, source);
    if (exact >= 0)
      list->SetCurSel(exact);
    else
      list->SelectString(-1, source);
  } else if (IndexBase() >= 0) {
    list->SetCurSel(gx::ChoiceIndex(source, IndexBase()));
  } else {
    list->SelectString(-1, source);
  }
}

void CGXComboBox::ShowDropDown(BOOL show) {
  if (!show) {
    if (m_pPopup && m_hWnd) SendMessage(WM_GX_LBOXCANCEL, 0, m_bEditing);
    return;
  }
  CWnd* gridWnd = GetGridWnd();
  if (m_pPopup || !m_hWnd || !m_bInit || !gridWnd) return;
  // 1. The cell, its style and the work area of the grid's monitor.
  m_pGrid->m_bListDropped = TRUE;
  const CGXStyle style = GetCachedStyle();
  const CRect cell = InnerRectWithoutButton();
  const CRect work = WorkAreaNear(gridWnd->m_hWnd);
  auto guard = m_pGrid->GuardFocus();
  CGXFlagScope inProgress(m_pGrid->m_bDropDownInProgress, TRUE);
  // 2. The popup and its list.
  m_pPopup = CreateGridCombo(gridWnd, CRect(0, 0, 1, 1));
  m_pPopup->AttachListBox(CreateListBox(m_pPopup, m_nListId));
  CListBox* list = PopupList();
  if (!m_pPopup->m_hWnd || !list || !list->m_hWnd) {
    CGXPopupActiveScope active;
    CGXGridCombo* popup = m_pPopup;
    m_pPopup = nullptr;
    DestroyGridCombo(popup);
    m_pGrid->m_bListDropped = FALSE;
    return;
  }
  // 3. The cell's font and colours.
  SetUpListLook(list, style);
  // 4-5. The items, and a rectangle under the cell no taller than they need.
  FillList(list);
  CRect r;
  ComputeDropDownRect(r, cell);
  gridWnd->ClientToScreen(&r);
  // Owner-drawn items (the check list's) can be taller than the text: the rows take the taller height.
  const int rowHeight = std::max(TextHeight(style), static_cast<int>(list->GetItemHeight(0)));
  const int wanted = list->GetCount() * rowHeight + list->GetItemHeight(0) / 2;
  if (wanted < r.Height()) r.bottom = r.top + wanted;
  // 6. On the monitor: shifted left at its right edge, above the cell at its bottom.
  if (r.right > work.right) r.OffsetRect(-(r.Width() - cell.Width()), 0);
  if (r.bottom > work.bottom) r.OffsetRect(0, -(cell.Height() + r.Height()));
  r.IntersectRect(r, work);
  // 7. Shown topmost, the list focused on its selection.
  CGXPopupActiveScope active;
  m_pPopup->SetWindowPos(&CWnd::wndTopMost, r.left, r.top, r.Width(), r.Height(), SWP_SHOWWINDOW);
  list->SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
  CRect cellOnScreen = cell;
  gridWnd->ClientToScreen(&cellOnScreen);
  FitPopupToList(list, r, r.top < cellOnScreen.top);
  list->SetFocus();
  if (list->GetCurSel() < 0) list->SetCurSel(0);
  list->UpdateWindow();
  list->SetTopIndex(list->GetCurSel());
}

void CGXComboBox::FitPopupToList(CWnd* list, const CRect& placed, BOOL above) {
  // A list that shows whole rows only may come out shorter than asked: the popup follows it, so the list
  // fills the popup, keeping the edge that touches the cell.
  CRect lr;
  list->GetWindowRect(&lr);
  if (lr.Height() == placed.Height() || lr.Height() <= 0) return;
  CRect r = placed;
  if (above)
    r.top = r.bottom - lr.Height();
  else
    r.bottom = r.top + lr.Height();
  m_pPopup->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  list->SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGXComboBox::TakeListSelection(CWnd* wnd) {
  auto* list = dynamic_cast<CListBox*>(wnd);
  if (!list || !list->m_hWnd) return;
  const int sel = list->GetCurSel();
  if (sel < 0) return;
  CString value;
  if (IndexBase() >= 0)
    value = Decimal(sel + IndexBase());
  else
    list->GetText(sel, value);
  if (!m_bEditing) SetEditingState(TRUE);
  SetEditedValue(value);
  SetSel(0, -1);
  SetModifiedState(TRUE);
  Invalidate();
}

void CGXComboBox::DestroyGridCombo(CGXGridCombo* popup) {
  if (!popup) return;
  if (popup->m_hWnd) popup->DestroyWindow();
  delete popup;
  m_pListFont.reset();
}

// ---- The list's messages -------------------------------------------------------------------------------------

LRESULT CGXComboBox::OnListEnded() {
  auto guard = m_pGrid->GuardFocus();
  m_pGrid->m_bListDropped = FALSE;
  if (!m_pPopup) return 0;
  BOOL focusInside = FALSE;
  {
    CGXPopupActiveScope active;
    if (!IsCellReadOnly()) TakeListSelection(m_pPopup->GetListBox());
    const HWND focus = ::GetFocus();
    focusInside = focus == m_hWnd || FocusWithin(focus, m_pPopup->m_hWnd);
    CGXGridCombo* popup = m_pPopup;
    m_pPopup = nullptr;
    DestroyGridCombo(popup);
  }
  if (!m_hWnd) return 0;
  NotifyModified();
  if (m_hWnd && (focusInside || ::GetFocus() == m_pGrid->GridHwnd())) SetFocus();
  return 0;
}

LRESULT CGXComboBox::OnListCancelled(LPARAM lParam) {
  m_pGrid->m_bListDropped = FALSE;
  if (!m_pPopup) return 0;
  BOOL listHadFocus = FALSE;
  {
    auto guard = m_pGrid->GuardFocus();
    CGXPopupActiveScope active;
    listHadFocus = FocusWithin(::GetFocus(), m_pPopup->m_hWnd);
    CGXGridCombo* popup = m_pPopup;
    m_pPopup = nullptr;
    DestroyGridCombo(popup);
  }
  if (!m_hWnd) return 0;
  if (lParam || (listHadFocus && m_pGrid->m_bHasFocus)) {
    {
      auto guard = m_pGrid->GuardFocus();
      SetFocus();
    }
    if (GetModifiedState()) NotifyModified();
    return 0;
  }
  // The focus went elsewhere: editing ends without storing.
  CGXEditControl::SetEditingState(FALSE);
  SetModifiedState(FALSE);
  HideAndInvalidate();
  return 0;
}

LRESULT CGXComboBox::OnListChanged() {
  if (!m_pPopup || IsCellReadOnly()) return 0;
  TakeListSelection(m_pPopup->GetListBox());
  NotifyModified();
  return 0;
}

LRESULT CGXComboBox::OnListKillFocus() {
  if (!m_pPopup || !m_hWnd) return 0;
  const HWND focus = ::GetFocus();
  const HWND grid = m_pGrid->GridHwnd();
  if (!focus) {
    SendMessage(WM_GX_LBOXCANCEL);
    return 0;
  }
  // The focus stayed in the grid or came back to the popup: the grid's own moves close the list.
  if (FocusWithin(focus, grid) || FocusWithin(focus, m_pPopup->m_hWnd)) return 0;
  {
    auto guard = m_pGrid->GuardFocus();
    ::SetFocus(grid);
  }
  SendMessage(WM_GX_LBOXCANCEL);
  if (::IsWindow(focus)) ::SetFocus(focus);
  return 0;
}

LRESULT CGXComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_bDestroying) return CGXEditControl::WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_GX_LBOXEND: return OnListEnded();
    case WM_GX_LBOXCANCEL: return OnListCancelled(lParam);
    case WM_GX_LBOXCHANGED: return OnListChanged();
    case WM_GX_LBOXKILLFOCUS: return OnListKillFocus();
    case WM_SETFOCUS:
      if (m_pPopup) SendMessage(WM_GX_LBOXCANCEL, 0, 1);
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_DOWN) {
        DropDownFromKey();
        return 0;
      }
      break;
    default: break;
  }
  return CGXEditControl::WindowProc(message, wParam, lParam);
}
