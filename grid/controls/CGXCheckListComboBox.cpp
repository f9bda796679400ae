#include "grid/controls/CGXCheckListComboBox.h"

#include <algorithm>
#include <cstdio>

#include "grid/core/CGXGridCore.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXCheckListComboBox, CGXComboBox)

const CGXControlClass CGXCheckListComboBox::gxClassCGXCheckListComboBox = {"CGXCheckListComboBox",
                                                                           &CGXComboBox::gxClassCGXComboBox};

// ---- The list ---------------------------------------------------------------------------------------------

// LBS_NOINTEGRALHEIGHT besides the list's own bits: the list fills its popup, which the drop-down already
// sized to the rows (a list that cut itself to whole rows left a band of the popup showing under it).
BOOL CGXCheckListComboLBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CCheckListBox::Create(style | WS_VISIBLE | WS_BORDER | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, rect, parent,
                               id);
}

// The message to the owner comes last: the owner destroys the list while it handles it.
LRESULT CGXCheckListComboLBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: m_bKeyDown = TRUE; break;
    case WM_KEYUP: {
      const LRESULT r = CCheckListBox::WindowProc(message, wParam, lParam);
      if (!m_bKeyDown) return r;
      if (wParam == VK_TAB) {
        m_pMsgWnd->PostMessage(WM_KEYDOWN, VK_TAB, 1);
        m_pMsgWnd->PostMessage(WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001u));
        m_pMsgWnd->SendMessage(WM_GX_LBOXEND);
      } else if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        m_pMsgWnd->SendMessage(WM_GX_LBOXEND);
      } else {
        m_bKeyDown = FALSE;
      }
      return r;
    }
    case WM_SYSKEYUP:
      if (m_bKeyDown && wParam == VK_DOWN) {
        m_pMsgWnd->SendMessage(WM_GX_LBOXEND);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN: m_bLButtonDown = TRUE; break;
    case WM_LBUTTONUP: {
      const LRESULT r = CCheckListBox::WindowProc(message, wParam, lParam);
      m_bLButtonDown = FALSE;  // a click ticks without closing the list
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = CCheckListBox::WindowProc(message, wParam, lParam);
      m_pMsgWnd->PostMessage(WM_GX_LBOXEND);
      return r;
    }
    default: break;
  }
  return CCheckListBox::WindowProc(message, wParam, lParam);
}

// ---- The control ------------------------------------------------------------------------------------------

CGXCheckListComboBox::CGXCheckListComboBox(CGXGridCore* grid, UINT id, UINT listId)
    : CGXComboBox(grid, id, listId, GXCOMBO_NOTEXTFIT) {}

CRuntimeClass* CGXCheckListComboBox::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXCheckListComboBox); }

std::optional<DWORD> CGXCheckListComboBox::ParseMask(const CString& text) {
  if (text.IsEmpty()) return DWORD{0};
  unsigned long long value = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<DWORD>(value);
}

CString CGXCheckListComboBox::FormatMask(DWORD mask) {
  if (mask == 0) return CString();
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%lu", static_cast<unsigned long>(mask));
  return buffer;
}

void CGXCheckListComboBox::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                                    const CGXStyle* standard) {
  if (IsBoundToCell(row, col) && GetEditingState() && !m_pGrid->m_bDrawAllCellsInactive) {
    HideWindowPart();
    CGXStatic::DrawCell(dc, rect, row, col, style, standard);
    DrawBackground(dc, rect, style);
    return;
  }
  CGXStatic::DrawCell(dc, rect, row, col, style, standard);
}

BOOL CGXCheckListComboBox::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString*, const CGXStyle& style) const {
  out.Empty();
  if (style.IsIncluded(GX_IN_CHOICELIST)) GetChoiceListItem(out, style, 0);
  return TRUE;
}

int CGXCheckListComboBox::ItemCount(const CGXStyle& style) const {
  if (!style.IsIncluded(GX_IN_CHOICELIST)) return 0;
  const size_t lines = SplitChoiceListKept(style).Count();
  return lines <= 1 ? 0 : static_cast<int>(std::min<size_t>(lines - 1, kMaxItems));
}

DWORD CGXCheckListComboBox::ItemBits(int count) {
  return count >= kMaxItems ? ~DWORD{0} : (DWORD{1} << count) - 1;
}

// The items are those of the cell's own choice list as it is now: a mask copied from a longer list may tick
// items this one does not have, and such a tick could neither be shown nor be taken off.
BOOL CGXCheckListComboBox::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  const std::optional<DWORD> mask = ParseMask(text);
  if (!mask || (*mask & ~ItemBits(ItemCount(style))) != 0) return FALSE;
  text = FormatMask(*mask);
  return TRUE;
}

BOOL CGXCheckListComboBox::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  return CGXControl::OnLButtonUpInCell(flags, x, y, hit);
}

BOOL CGXCheckListComboBox::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  if (message != WM_SYSKEYDOWN) return FALSE;
  return CGXComboBox::OnKeyMessage(message, ch, repeat, flags);
}

BOOL CGXCheckListComboBox::FilterChar(UINT, UINT, UINT) {
  m_strPending.Empty();
  return FALSE;
}

DWORD CGXCheckListComboBox::CalcWindowStyle(CRect& format, int& lineHeight) {
  return CGXComboBox::CalcWindowStyle(format, lineHeight) | ES_READONLY;
}

CWnd* CGXCheckListComboBox::CreateListBox(CWnd* popup, UINT id) {
  auto* list = new CGXCheckListComboLBox(this);
  if (m_dwListStyle == 0) m_dwListStyle = WS_VSCROLL | LBS_NOTIFY;
  CRect r;
  popup->GetClientRect(&r);
  r.DeflateRect(1, 0);
  list->Create(m_dwListStyle, r, popup, id);
  return list;
}

void CGXCheckListComboBox::FillList(CWnd* wnd) {
  auto* list = dynamic_cast<CCheckListBox*>(wnd);
  m_nCount = 0;
  if (!list || !list->m_hWnd || !m_bInit) return;
  CGXStyle style;
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
  if (style.IsIncluded(GX_IN_CHOICELIST)) {
    const std::vector<CString> lines = SplitChoiceList(style.GetChoiceList());
    for (size_t i = 1; i < lines.size() && m_nCount < kMaxItems; ++i, ++m_nCount) list->AddString(lines[i]);
  }
  if (!style.GetIncludeValue()) return;
  const DWORD mask = ParseMask(style.GetValue()).value_or(0);
  for (int i = 0; i < m_nCount; ++i)
    if (mask & (DWORD{1} << i)) list->SetCheck(i, 1);
}

void CGXCheckListComboBox::TakeListSelection(CWnd* wnd) {
  auto* list = dynamic_cast<CCheckListBox*>(wnd);
  if (!list || !list->m_hWnd || !m_bInit) return;
  CGXStyle style;
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
  const std::optional<DWORD> old = ParseMask(style.GetIncludeValue() ? style.GetValue() : CString());
  // Bits of the value that the list has no line for (a value set for a longer list) stay as they were:
  // closing the list changes only what it shows.
  const DWORD shown = ItemBits(m_nCount);
  DWORD mask = old ? *old & ~shown : 0;
  for (int i = 0; i < m_nCount && i < kMaxItems; ++i)
    if (list->GetCheck(i) == 1) mask |= DWORD{1} << i;
  if (old && *old == mask) return;
  SetModifiedState(TRUE);
  m_pGrid->SetCellValue(m_nRow, m_nCol, FormatMask(mask), GX_INVALIDATE);
}

LRESULT CGXCheckListComboBox::OnCloseList() {
  m_pGrid->m_bListDropped = FALSE;
  // The list also says it is done when it loses the focus, after the popup may be gone already.
  if (!m_pPopup) return 0;
  {
    auto guard = m_pGrid->GuardFocus();
    {
      CGXPopupActiveScope active;
      DropCachedStyle();
      if (!IsCellReadOnly()) TakeListSelection(m_pPopup->GetListBox());
      CGXGridCombo* popup = m_pPopup;
      m_pPopup = nullptr;
      DestroyGridCombo(popup);
    }
    if (!m_hWnd) return 0;
    NotifyModified();
    // The focus stays with the grid: the read-only edit would only pass it back (and taking it could
    // re-create the edit window under a Tab the list has just posted to it).
  }
  if (!m_hWnd) return 0;
  SetModifiedState(FALSE);
  CGXEditControl::SetEditingState(FALSE);
  HideAndInvalidate();
  return 0;
}

LRESULT CGXCheckListComboBox::OnFocusLeft() {
  const HWND focus = ::GetFocus(), grid = m_pGrid->GridHwnd();
  if (!(focus && (focus == grid || ::IsChild(grid, focus)))) SendMessage(WM_GX_LBOXCANCEL);
  return 0;
}

LRESULT CGXCheckListComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_bDestroying) return CGXComboBox::WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_GX_LBOXEND:
    case WM_GX_LBOXCANCEL: return OnCloseList();
    case WM_GX_LBOXKILLFOCUS: return OnFocusLeft();
    case WM_SETFOCUS: {
      // The read-only edit never keeps the focus: it goes on to the grid.
      const LRESULT r = CGXComboBox::WindowProc(message, wParam, lParam);
      if (m_hWnd)
        if (CWnd* parent = GetParent()) parent->SetFocus();
      return r;
    }
    default: break;
  }
  return CGXComboBox::WindowProc(message, wParam, lParam);
}
