#include "grid/controls/CGXTabbedComboBoxWnd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/framework/CPaintDC.h"
#include "platform/base/StringApi.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXTabbedComboBoxWnd, CGXComboBoxWnd)

const CGXControlClass CGXTabbedComboBoxWnd::gxClassCGXTabbedComboBoxWnd = {"CGXTabbedComboBoxWnd",
                                                                           &CGXComboBoxWnd::gxClassCGXComboBoxWnd};

BOOL CGXTabbedComboBoxWnd::s_bPlacing = FALSE;

namespace {

constexpr DWORD kBoxStyle = 0x00200622;  // WS_VSCROLL, CBS_NOINTEGRALHEIGHT, CBS_HASSTRINGS, owner-drawn
constexpr int kMaxDroppedItems = 8;
constexpr UINT kCtlColorEdit = 1, kCtlColorListBox = 2;

}  // namespace

// ---- The edit child ---------------------------------------------------------------------------------------

void CGXTabbedCBEditWnd::OnChar(UINT ch, WPARAM wParam, LPARAM lParam) {
  if (m_pBox->IsCellReadOnly()) return;
  CString before;
  GetWindowText(before);
  int start = 0, end = 0;
  GetSel(start, end);
  CEdit::WindowProc(WM_CHAR, wParam, lParam);
  if (!m_hWnd || ch < 32) return;
  CString typed;
  GetWindowText(typed);
  const int row = m_pBox->FindRow(typed);
  if (row < 0) {
    // No row begins so: the character is refused.
    SetWindowText(before);
    SetSel(start, end);
    return;
  }
  SetWindowText(GetTabField(m_pBox->ItemText(row), 0));
  SetSel(typed.GetLength(), -1);
}

LRESULT CGXTabbedCBEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      // Only a row's first field (its display text) shows in the edit.
      const char* text = reinterpret_cast<const char*>(lParam);
      const char* tab = text ? static_cast<const char*>(std::memchr(text, '\t', strnlen(text, 255))) : nullptr;
      if (tab) {
        const CString cut(text, static_cast<int>(tab - text));
        return CEdit::WindowProc(message, wParam, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(cut)));
      }
      break;
    }
    case WM_KEYDOWN:
      if (m_pBox->ProcessGridKey(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))) return 0;
      break;
    case WM_CHAR: OnChar(static_cast<UINT>(wParam), wParam, lParam); return 0;
    case WM_KILLFOCUS: {
      const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
      const HWND to = reinterpret_cast<HWND>(wParam);
      if (m_pBox->m_hWnd && to != m_pBox->m_hWnd && !(to && ::IsChild(m_pBox->m_hWnd, to)))
        m_pBox->SendMessage(WM_KILLFOCUS, wParam);
      return r;
    }
    default: break;
  }
  return CEdit::WindowProc(message, wParam, lParam);
}

// ---- Construction ---------------------------------------------------------------------------------------------

CGXTabbedComboBoxWnd::CGXTabbedComboBoxWnd(CGXGridCore* grid)
    : CGXComboBoxWnd(grid), m_pHeader(std::make_unique<CGXTabbedLBoxHeader>()) {
  m_bDropDownOnClick = FALSE;
  m_settings.titles = TRUE;
}

CGXTabbedComboBoxWnd::~CGXTabbedComboBoxWnd() {
  m_pHeader.reset();
  if (m_tabbedEdit.m_hWnd) m_tabbedEdit.UnsubclassWindow();
}

CRuntimeClass* CGXTabbedComboBoxWnd::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXTabbedComboBoxWnd); }

void CGXTabbedComboBoxWnd::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  CGXStyle check;
  check.SetControl(52523).SetVerticalAlignment(GX_DT_VCENTER).SetHorizontalAlignment(GX_DT_CENTER);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_KEYCOL);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, &check);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_TITLES, &check);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_SORTCOL);
}

BOOL CGXTabbedComboBoxWnd::CreateComboBox(DWORD style, UINT id) {
  m_pButton = new CGXComboBoxWndButton(this);
  AppendChild(m_pButton);
  CWnd* grid = GetGridWnd();
  if (!grid || !CreateEx(0, "COMBOBOX", nullptr, style | kBoxStyle | WS_CHILD, CRect(0, 0, 0, 0), grid, id))
    return FALSE;
  if (CWnd* child = GetWindow(GW_CHILD)) m_tabbedEdit.SubclassWindow(child->m_hWnd);
  // Found, replaced and selected like a text box although owner-drawn.
  m_bNotOwnerDrawn = TRUE;
  return TRUE;
}

// ---- Rows -----------------------------------------------------------------------------------------------------

CString CGXTabbedComboBoxWnd::ItemText(int index) const {
  CString text;
  if (m_hWnd && index >= 0 && index < GetCount() && GetLBTextLen(index) > 0) GetLBText(index, text);
  return text;
}

int CGXTabbedComboBoxWnd::FindRow(const CString& text) const {
  if (!m_hWnd || text.IsEmpty()) return -1;
  int prefix = -1;
  for (int i = 0; i < GetCount(); ++i) {
    const CString shown = GetTabField(ItemText(i), 0);
    if (shown == text) return i;
    if (prefix < 0 && shown.GetLength() >= text.GetLength() && shown.Left(text.GetLength()).CompareNoCase(text) == 0)
      prefix = i;
  }
  return prefix;
}

void CGXTabbedComboBoxWnd::FillFromChoiceList() {
  m_layout = GXTabbedLayout();
  m_pHeader->m_strTitle.Empty();
  if (!m_hWnd) return;
  ResetContent();
  const CGXStyle& style = GetCachedStyle();
  if (!m_bFillWithChoiceList || !style.IsIncluded(GX_IN_CHOICELIST) || style.GetChoiceList().IsEmpty()) return;
  std::vector<CString> lines = SplitChoiceList(style.GetChoiceList());
  if (m_settings.sortCol >= 0) lines = SortTabbedLines(std::move(lines), m_settings.sortCol, m_settings.titles);
  GXTabbedRows made;
  {
    CClientDC dc(GetGridWnd());
    gx::CellFontScope font(m_pGrid, &dc, style);
    made = MakeTabbedRows(&dc, lines, m_settings.widths, m_settings.showAll, m_settings.textCol, m_settings.titles);
  }
  m_layout = std::move(made.layout);
  m_pHeader->m_strTitle = made.title;
  for (const CString& row : made.rows) {
    m_strAdding = row;
    AddString(row);
    m_strAdding.Empty();
  }
}

void CGXTabbedComboBoxWnd::SetReadOnlyState(BOOL readOnly) {
  if (!m_hWnd) return;
  // The box is disabled; its edit stays usable, read-only, so the value can still be selected and copied.
  EnableWindow(!readOnly);
  if (m_tabbedEdit.m_hWnd) {
    m_tabbedEdit.EnableWindow(TRUE);
    m_tabbedEdit.SetReadOnly(readOnly);
  }
}

// ---- Binding and values ---------------------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::InitForCell(ROWCOL row, ROWCOL col) {
  m_nTextHeight = 0;
  CGXStatic::InitForCell(row, col);
  SetEditSel(0, -1);
  m_bDropDownPending = FALSE;
  SetReadOnlyState(FALSE);
  SetEditingState(FALSE);
  DropCachedStyle();
  const CGXStyle& style = GetCachedStyle();
  m_settings = GXTabbedSettings::FromStyle(style);
  FillFromChoiceList();
  SetEditedValue(style.GetIncludeValue() ? style.GetValue() : CString());
  m_bModified = FALSE;
  const CGXGridParam* param = m_pGrid->GetParam();
  if (param && (param->m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
  SetReadOnlyState(m_pGrid->IsLocked() || gx::StyleReadOnly(style));
  if (!m_bEditing && m_pButton) m_pButton->Invalidate();
}

BOOL CGXTabbedComboBoxWnd::ValidateValue() {
  CString value;
  if (m_bEditing && m_bModified && !GetEditedValue(value)) return FALSE;
  return CGXComboBoxWnd::ValidateValue();
}

void CGXTabbedComboBoxWnd::GetEditText(CString& out) const {
  out.Empty();
  if (!m_hWnd) return;
  if (IsDropDownList()) {
    out = GetTabField(ItemText(GetCurSel()), 0);
    return;
  }
  out = GetBoxText();
}

BOOL CGXTabbedComboBoxWnd::GetEditedValue(CString& out) const {
  if (!m_bInit) return FALSE;
  CString text;
  GetEditText(text);
  if (text.IsEmpty()) {
    out.Empty();
    return TRUE;
  }
  const int row = FindRow(GetTabField(text, 0));
  if (row < 0) return FALSE;
  out = GetTabField(ItemText(row), m_settings.keyCol + (m_settings.textCol > 0 ? 1 : 0));
  return TRUE;
}

void CGXTabbedComboBoxWnd::SetEditedValue(const CString& value) {
  if (!m_hWnd || !m_bInit) return;
  const CGXStyle& style = GetCachedStyle();
  std::vector<CString> lines = style.IsIncluded(GX_IN_CHOICELIST) ? SplitChoiceList(style.GetChoiceList())
                                                                   : std::vector<CString>();
  if (m_settings.sortCol >= 0) lines = SortTabbedLines(std::move(lines), m_settings.sortCol, m_settings.titles);
  const int at = value.IsEmpty() ? -1 : FindTabbedLine(lines, m_settings.titles ? 1 : 0, value, m_settings.keyCol, FALSE);
  SetCurSel(at);
  if (at < 0 && !IsDropDownList()) SetWindowText("");
}

BOOL CGXTabbedComboBoxWnd::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value,
                                          const CGXStyle& style) const {
  if (!style.IsIncluded(GX_IN_CHOICELIST)) return FALSE;
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  const CString v = value ? *value : style.GetIncludeValue() ? style.GetValue() : CString();
  // Asked for every cell drawn: the lines are read where they lie in the list's text, none copied.
  const GXChoiceLines lines = SplitChoiceListKept(style);
  const size_t first = s.titles ? 1 : 0;
  const int at = FindTabbedLine(lines, first, v, s.keyCol, FALSE);
  std::string_view line;
  if (at < 0 || !lines.Line(first + static_cast<size_t>(at), line)) return FALSE;
  out = GetTabField(line, s.textCol);
  return TRUE;
}

BOOL CGXTabbedComboBoxWnd::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (text.IsEmpty()) return TRUE;
  if (!style.IsIncluded(GX_IN_CHOICELIST)) return FALSE;
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  const GXChoiceLines lines = SplitChoiceListKept(style);
  const size_t first = s.titles ? 1 : 0;
  // As the box's edit takes a text (FindRow): a row's display field equal to it, else the first beginning with it.
  int at = FindTabbedLine(lines, first, text, s.textCol, FALSE);
  if (at < 0) at = FindTabbedLine(lines, first, text, s.textCol, TRUE);
  std::string_view line;
  if (at < 0 || !lines.Line(first + static_cast<size_t>(at), line)) return FALSE;
  text = GetTabField(line, s.keyCol);
  return TRUE;
}

BOOL CGXTabbedComboBoxWnd::AcceptsText(const CString& text) {
  if (text.IsEmpty() || !m_bFillWithChoiceList) return TRUE;
  const CGXStyle& style = GetCachedStyle();
  if (!style.IsIncluded(GX_IN_CHOICELIST)) return FALSE;
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  return FindTabbedLine(SplitChoiceList(style.GetChoiceList()), s.titles ? 1 : 0, text, s.textCol, TRUE) >= 0;
}

BOOL CGXTabbedComboBoxWnd::ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                                            const CGXStyle* current) {
  const BOOL modified = m_bModified;
  if (!CGXComboBoxWnd::ApplyStyleToCell(row, col, style, mode, flags, current)) return FALSE;
  if (!style || (mode != gxOverride && mode != gxApplyNew) || !m_pGrid->MatchesCurrentCell(row, col)) return TRUE;
  BOOL touched = style->IsIncluded(GX_IN_CHOICELIST) || style->IsIncluded(GX_IN_CONTROLID) ||
                 (style->GetIncludeValue() && !modified);
  for (WORD id = GX_IDS_UA_TABLIST_KEYCOL; id <= GX_IDS_UA_TABLIST_SORTCOL; ++id) touched |= style->HasUserAttribute(id);
  if (touched && IsBoundToCell(row, col)) {
    InitForCell(row, col);
    HideAndInvalidate();
  }
  return TRUE;
}

// ---- Sizes and drawing ----------------------------------------------------------------------------------------

CSize CGXTabbedComboBoxWnd::ComputeCellSize(CDC* dc, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*, BOOL) {
  if (!dc) return CSize(0, 0);
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  gx::CellFontScope font(m_pGrid, dc, style);
  const std::vector<CString> lines = m_bFillWithChoiceList && style.IsIncluded(GX_IN_CHOICELIST)
                                         ? SplitChoiceList(style.GetChoiceList())
                                         : std::vector<CString>();
  const CSize size = MeasureTabbedDisplayFields(dc, lines, s.titles, s.textCol);
  CSize out = size;
  m_pGrid->AddBorders(&out, size.cx, size.cy, style);
  return out;
}

void CGXTabbedComboBoxWnd::AdjustWindowRect(CRect& rect) {
  if (m_pGrid->DrawsHorzLines()) rect.top -= 1;
  if (m_pGrid->DrawsVertLines()) rect.left -= 1;
}

void CGXTabbedComboBoxWnd::SetDroppedHeight() {
  // The box keeps its field's height and drops the rest: 3 + (text height + 2) per item, at most 8 items.
  const int items = std::min(GetCount(), kMaxDroppedItems);
  CRect field;
  GetWindowRect(&field);
  SetWindowPos(nullptr, 0, 0, field.Width(), field.Height() + 3 + (m_nTextHeight + 2) * items,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CGXTabbedComboBoxWnd::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                                    const CGXStyle* standard) {
  if (IsEditedCell(row, col) && m_hWnd && !m_pGrid->m_bDrawAllCellsInactive && !m_pGrid->IsPrinting()) {
    m_rgbListBack = style.GetInterior().GetColor();
    m_rgbListText = style.GetTextColor();
    m_rgbWndBack = m_rgbListBack;
    CGXComboBoxWnd::DrawCell(dc, rect, row, col, style, standard);
    if (!m_hWnd) return;
    for (int i = 0; i < GetCount(); ++i) SetItemHeight(i, static_cast<UINT>(std::max(1, m_nTextHeight)));
    SetDroppedHeight();
    SetReadOnlyState(IsCellReadOnly() || gx::StyleReadOnly(style));
    return;
  }
  CString shown;
  const HGLOBAL dib = GetDisplayText(shown, row, col, nullptr, style) ? GetTabbedBitmap(shown) : nullptr;
  if (!dib) {
    if (m_bSizeToText) MeasureTextHeight(dc, style);
    CGXStatic::DrawCell(dc, rect, row, col, style, standard);
    return;
  }
  DrawCellBackground(dc, rect, style, FALSE);
  CRect inner = ComputeInnerRect(row, col, &rect, &style);
  CGXDIB::Draw(dc, dib, &inner, CGXDIB::natural, CGXDIB::vCenter);
  DrawChildren(dc, rect, row, col, style);
}

void CGXTabbedComboBoxWnd::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (static_cast<int>(dis->itemID) < 0) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
  const COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : m_rgbListBack;
  const COLORREF text = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : m_rgbListText;
  if (dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    // The closed box's selection field shows the display field alone.
    const BOOL single = !m_settings.showAll || (dis->itemState & ODS_COMBOBOXEDIT);
    DrawTabbedRow(dc, CRect(dis->rcItem), ItemText(static_cast<int>(dis->itemID)), single, m_settings.textCol,
                  m_layout.separators, m_layout.rightEdges, m_rgbSeparator, back, text);
  }
  if (dis->itemAction & ODA_FOCUS) dc->DrawFocusRect(&dis->rcItem);
}

void CGXTabbedComboBoxWnd::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  if (static_cast<int>(mis->itemID) < 0) return;
  CString row = m_strAdding;
  if (row.IsEmpty()) row = ItemText(static_cast<int>(mis->itemID));
  if (row.IsEmpty()) return;
  int height = static_cast<int>(mis->itemHeight);
  MeasureTabbedRowHeight(row, height, !m_settings.showAll, m_settings.textCol > 0, m_layout.separators);
  mis->itemHeight = static_cast<UINT>(height);
}

// ---- The dropped list and its header ----------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::HideHeader() {
  if (m_pHeader->m_hWnd && m_pHeader->IsWindowVisible()) m_pHeader->ShowWindow(SW_HIDE);
}

void CGXTabbedComboBoxWnd::HideWindowPart() {
  HideHeader();
  CGXComboBoxWnd::HideWindowPart();
}

BOOL CGXTabbedComboBoxWnd::OnGridMessageExtra(CDC*, CWnd* wnd, UINT kind) {
  if (!m_bEditing || !m_hWnd) return FALSE;
  if (kind == kCtlColorEdit && !GetDroppedState()) {
    HideHeader();
    return FALSE;
  }
  char name[32] = {};
  if (kind != kCtlColorListBox || !wnd || !wnd->m_hWnd || s_bPlacing) return FALSE;
  ::GetClassName(wnd->m_hWnd, name, sizeof name);
  if (::_stricmp(name, "ComboLBox") != 0) return FALSE;
  CGXFlagScope placing(s_bPlacing, TRUE);
  // 1. At least as wide as the columns.
  CRect list, box;
  wnd->GetWindowRect(&list);
  GetClientRect(&box);
  ClientToScreen(&box);
  list.right = list.left + std::max<LONG>(box.Width(), m_layout.totalWidth);
  // 2. On the box's monitor.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfo(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
  const CRect work(monitor.rcWork);
  if (list.right > work.right) list.OffsetRect(box.right - list.right, 0);
  // 3. The header bar over the rows (a list below the box) or over the list (above it).
  if (m_settings.titles && !(m_pHeader->m_hWnd && m_pHeader->IsWindowVisible())) {
    int hh = m_nTextHeight;
    MeasureTabbedRowHeight(m_pHeader->m_strTitle, hh, !m_settings.showAll, m_settings.textCol > 0, m_layout.separators);
    hh += 4;
    if (!m_pHeader->m_hWnd) m_pHeader->CreateHeaderWindow();
    m_pHeader->m_bShowAll = m_settings.showAll;
    m_pHeader->m_nTextCol = m_settings.textCol;
    m_pHeader->m_nSeparators = m_layout.separators;
    m_pHeader->m_pRightEdges = &m_layout.rightEdges;
    m_pHeader->m_pFont = m_pFont.get();
    if (m_pHeader->m_hWnd) {
      if (list.top >= box.bottom) {
        m_pHeader->SetWindowPos(&CWnd::wndTop, list.left, list.top, list.Width(), hh, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        list.OffsetRect(0, hh);
      } else {
        m_pHeader->SetWindowPos(&CWnd::wndTop, list.left, list.top - hh, list.Width(), hh,
                                SWP_SHOWWINDOW | SWP_NOACTIVATE);
      }
    }
  }
  // 4. Clipped to the work area, moved when it changed.
  list.IntersectRect(list, work);
  if (list != m_rectList) {
    m_rectList = list;
    CRect inParent = list;
    if (CWnd* parent = wnd->GetParent(); parent && (wnd->GetStyle() & WS_CHILD)) parent->ScreenToClient(&inParent);
    wnd->MoveWindow(&inParent, TRUE);
    if (m_settings.titles && m_pHeader->m_hWnd) m_pHeader->UpdateWindow();
  }
  return FALSE;
}

BOOL CGXTabbedComboBoxWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (m_hWnd && reinterpret_cast<HWND>(lParam) == m_hWnd && m_bEditing) {
    const UINT code = HIWORD(wParam);
    if (code == CBN_CLOSEUP) HideHeader();
    if (code == CBN_CLOSEUP || code == CBN_DROPDOWN) m_rectList.SetRectEmpty();
  }
  return CGXComboBoxWnd::OnCommand(wParam, lParam);
}

LRESULT CGXTabbedComboBoxWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT r = CGXComboBoxWnd::WindowProc(message, wParam, lParam);
  if (message == WM_SHOWWINDOW && !wParam && m_pHeader) HideHeader();
  return r;
}

// ---- Activation and keys ------------------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::PostClickAtButton(const CRect& button, const CRect& inner) {
  PostClick(CPoint(button.left - inner.left + 5, button.top - inner.top + 5));
}

void CGXTabbedComboBoxWnd::TabbedActivateAndDropDown() {
  if (!m_hWnd) return;
  const CRect button = m_pButton ? m_pButton->GetRect() : CRect();
  const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
  if (!m_bEditing) {
    if (!NotifyEditStart()) return;
    SetEditingState(TRUE);
    HideAndInvalidate();
  }
  if (GetDroppedState()) return;
  if (CGXGridGlobals::Get().m_bWin4) {
    m_pGrid->UpdateWindow();
    PostClickAtButton(button, inner);
  } else {
    m_bDropDownPending = TRUE;
  }
}

BOOL CGXTabbedComboBoxWnd::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  const BOOL result = CGXStatic::OnLButtonUpInCell(flags, x, y, hit);
  if (flags & MK_RBUTTON) return result;
  if (m_bDropDownOnClick) {
    TabbedActivateAndDropDown();
  } else if (const CGXGridParam* param = m_pGrid->GetParam(); param && (param->m_wActivateFlags & 7) && !m_bEditing &&
                                                              m_hWnd && NotifyEditStart()) {
    SetEditingState(TRUE);
    HideAndInvalidate();
  }
  return TRUE;
}

// Decision: the button's click draws the edited box before posting its click (no skipped drawing), so the
// click always lands on a box in place over the cell.
void CGXTabbedComboBoxWnd::OnChildClicked(CGXChild* child) {
  if (!m_bEditing && m_bDropDownOnClick) {
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
  if (!GetDroppedState() && !m_bDropDownOnClick) {
    m_pGrid->UpdateWindow();
    PostClickAtButton(button, inner);
  }
  CGXStatic::OnChildClicked(child);
}

BOOL CGXTabbedComboBoxWnd::ProcessGridKey(UINT ch, UINT repeat, UINT flags) {
  if (!m_hWnd) return FALSE;
  m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW);
  if (GetKeyState(VK_CONTROL) & 0x8000) return m_pGrid->ProcessKeyMessage(this, WM_KEYDOWN, ch, repeat, flags);
  if (ch != VK_ESCAPE) return CGXComboBoxWnd::ProcessGridKey(ch, repeat, flags);
  if (GetDroppedState()) ShowDropDown(FALSE);
  if (NotifyEditEnd()) {
    InitForCell(m_nRow, m_nCol);
    HideAndInvalidate();
    NotifyEditCancel();
    auto guard = m_pGrid->GuardFocus();
    ::SetFocus(m_pGrid->GridHwnd());
  }
  return TRUE;
}
