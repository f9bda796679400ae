#include "platform/framework/CCheckListBox.h"

#include <algorithm>

#include "platform/gdi/CDC.h"
#include "platform/gdi/SysColors.h"

IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!(dwStyle & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) dwStyle |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  return CListBox::Create(dwStyle, rect, pParentWnd, nID);
}

void CCheckListBox::SetCheck(int nIndex, int nCheck) {
  if (nIndex < 0 || nIndex >= static_cast<int>(m_checks.size())) return;
  m_checks[static_cast<std::size_t>(nIndex)] = std::clamp(nCheck, 0, 2);
  InvalidateCheck(nIndex);
}

int CCheckListBox::GetCheck(int nIndex) const {
  if (nIndex < 0 || nIndex >= static_cast<int>(m_checks.size())) return 0;
  return m_checks[static_cast<std::size_t>(nIndex)];
}

void CCheckListBox::Toggle(int nIndex) {
  if (nIndex < 0 || nIndex >= static_cast<int>(m_checks.size())) return;
  const UINT type = m_nStyle & BS_TYPEMASK;
  if (type != BS_AUTOCHECKBOX && type != BS_AUTO3STATE) {
    // Manual styles only tell the parent, which decides.
  } else {
    const int states = type == BS_AUTO3STATE ? 3 : 2;
    SetCheck(nIndex, (GetCheck(nIndex) + 1) % states);
  }
  HWND self = m_hWnd;
  ::SendMessage(::GetParent(self), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE),
                reinterpret_cast<LPARAM>(self));
}

void CCheckListBox::InvalidateCheck(int nIndex) {
  CRect r;
  if (GetItemRect(nIndex, &r) != LB_ERR) InvalidateRect(&r, FALSE);
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const LRESULT index = CListBox::WindowProc(message, wParam, lParam);
      if (index >= 0 && index <= static_cast<LRESULT>(m_checks.size())) m_checks.insert(m_checks.begin() + index, 0);
      return index;
    }
    case LB_APPENDITEMS: {
      const LRESULT first = CListBox::WindowProc(message, wParam, lParam);
      if (first >= 0 && first <= static_cast<LRESULT>(m_checks.size()))
        m_checks.insert(m_checks.begin() + first, static_cast<size_t>(wParam), 0);
      return first;
    }
    case LB_DELETESTRING: {
      const LRESULT left = CListBox::WindowProc(message, wParam, lParam);
      if (left != LB_ERR && wParam < m_checks.size())
        m_checks.erase(m_checks.begin() + static_cast<std::ptrdiff_t>(wParam));
      return left;
    }
    case LB_RESETCONTENT:
      m_checks.clear();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      BOOL outside = TRUE;
      const int index = static_cast<int>(ItemFromPoint(pt, outside));
      const LRESULT result = CListBox::WindowProc(message, wParam, lParam);  // focus and selection first
      if (!outside && pt.x < kBoxCell && ::IsWindow(m_hWnd)) Toggle(index);
      return result;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        Toggle(GetCaretIndex());
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == ' ') return 0;  // Space toggles; it is no search letter
      break;
    default:
      break;
  }
  return CListBox::WindowProc(message, wParam, lParam);
}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CListBox::OnChildNotify(message, wParam, lParam, pResult);
  auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
  if (static_cast<int>(dis->itemID) >= 0 && (dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect cell(dis->rcItem.left, dis->rcItem.top, dis->rcItem.left + kBoxCell, dis->rcItem.bottom);
    dc->FillSolidRect(&cell, ::GetSysColor(COLOR_WINDOW));
    CRect box(cell.left + 2, cell.top + (cell.Height() - kBoxSize) / 2, 0, 0);
    box.right = box.left + kBoxSize;
    box.bottom = box.top + kBoxSize;
    const int check = GetCheck(static_cast<int>(dis->itemID));
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (check == 1) state |= DFCS_CHECKED;
    if (check == 2) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (dis->itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
    dc->DrawFrameControl(&box, DFC_BUTTON, state);
  }
  // The rest of the item, beside the box, is the list's own drawing.
  DRAWITEMSTRUCT rest = *dis;
  rest.rcItem.left += kBoxCell;
  if (CWnd::OnChildNotify(message, wParam, reinterpret_cast<LPARAM>(&rest), pResult)) return TRUE;
  DrawItem(&rest);
  *pResult = TRUE;
  return TRUE;
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  DRAWITEMSTRUCT& dis = *lpDrawItemStruct;
  CDC* dc = CDC::FromHandle(dis.hDC);
  CRect r(dis.rcItem);
  if (static_cast<int>(dis.itemID) >= 0 && (dis.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&r, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    CString text;
    GetText(static_cast<int>(dis.itemID), text);
    const COLORREF oldText = dc->SetTextColor(::GetSysColor((dis.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                                            : selected                     ? COLOR_HIGHLIGHTTEXT
                                                                                           : COLOR_WINDOWTEXT));
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    CRect textRect = r;
    textRect.left += 2;
    dc->DrawText(text, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldText);
  }
  // The list sends the caret item's focus as ODA_FOCUS (also after a whole redraw): the rectangle is
  // inverted, so drawing it on ODS_FOCUS as well would take it off again.
  if (dis.itemAction & ODA_FOCUS) dc->DrawFocusRect(&r);
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  lpMeasureItemStruct->itemHeight = std::max<UINT>(lpMeasureItemStruct->itemHeight, kBoxSize + 2);
}
