#include "grid/controls/CGXTabbedComboBox.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXTabbedComboBox, CGXComboBox)

const CGXControlClass CGXTabbedComboBox::gxClassCGXTabbedComboBox = {"CGXTabbedComboBox",
                                                                     &CGXComboBox::gxClassCGXComboBox};

namespace {

constexpr WORD kCheckBox3d = 52523;
constexpr DWORD kListStyle = WS_VSCROLL | LBS_NOTIFY;

int AttributeInt(const CGXStyle& style, WORD id, int absent) {
  return style.HasUserAttribute(id) ? std::atoi(style.GetUserAttributeText(id)) : absent;
}

BOOL TouchesChoices(const CGXStyle& style) {
  if (style.IsIncluded(GX_IN_CHOICELIST) || style.HasUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID)) return TRUE;
  for (WORD id = GX_IDS_UA_TABLIST_KEYCOL; id <= GX_IDS_UA_TABLIST_SORTCOL; ++id)
    if (style.HasUserAttribute(id)) return TRUE;
  return FALSE;
}

}  // namespace

GXTabbedSettings GXTabbedSettings::FromStyle(const CGXStyle& style) {
  GXTabbedSettings s;
  s.keyCol = AttributeInt(style, GX_IDS_UA_TABLIST_KEYCOL, 0);
  s.textCol = AttributeInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0);
  s.showAll = AttributeInt(style, GX_IDS_UA_TABLIST_SHOWALLCOLS, 1) != 0;
  s.titles = AttributeInt(style, GX_IDS_UA_TABLIST_TITLES, 0) != 0;
  s.widths = style.GetUserAttributeText(GX_IDS_UA_TABLIST_COLWIDTHS);
  s.sortCol = AttributeInt(style, GX_IDS_UA_TABLIST_SORTCOL, -1);
  return s;
}

// ---- The list ---------------------------------------------------------------------------------------------

BOOL CGXTabbedComboLBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CGXComboListBox::Create(style | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, rect, parent, id);
}

void CGXTabbedComboLBox::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (static_cast<int>(dis->itemID) < 0) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const CGXTabbedComboBox& o = *m_pOwner;
  const BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
  const COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : o.m_rgbListBack;
  const COLORREF text = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : o.m_rgbListText;
  if (dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    CString row;
    GetText(static_cast<int>(dis->itemID), row);
    DrawTabbedRow(dc, CRect(dis->rcItem), row, !o.m_settings.showAll, o.m_settings.textCol, o.m_layout.separators,
                  o.m_layout.rightEdges, o.m_rgbSeparator, back, text);
  }
  if (dis->itemAction & ODA_FOCUS) dc->DrawFocusRect(&dis->rcItem);
}

void CGXTabbedComboLBox::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  if (static_cast<int>(mis->itemID) < 0) return;
  const CGXTabbedComboBox& o = *m_pOwner;
  // While a row is being added the list may not hold its text yet: the owner keeps it.
  CString row = o.m_strAdding;
  if (row.IsEmpty() && static_cast<int>(mis->itemID) < GetCount()) GetText(static_cast<int>(mis->itemID), row);
  int height = o.m_nItemHeight;
  MeasureTabbedRowHeight(row, height, !o.m_settings.showAll, o.m_settings.textCol > 0, o.m_layout.separators);
  mis->itemHeight = static_cast<UINT>(std::max(1, height));
}

// ---- Construction -------------------------------------------------------------------------------------------

CGXTabbedComboBox::CGXTabbedComboBox(CGXGridCore* grid, UINT id, UINT listId)
    : CGXComboBox(grid, id, listId, GXCOMBO_NOTEXTFIT), m_pHeader(std::make_unique<CGXTabbedLBoxHeader>()) {
  m_bSizeToText = FALSE;
  m_settings.titles = TRUE;
}

CGXTabbedComboBox::~CGXTabbedComboBox() {
  m_pHeader.reset();
  if (m_pPopup == m_pKeptPopup) m_pPopup = nullptr;
  if (m_pKeptPopup) {
    CGXPopupActiveScope active;
    delete m_pKeptPopup;
    m_pKeptPopup = nullptr;
  }
}

CRuntimeClass* CGXTabbedComboBox::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXTabbedComboBox); }

void CGXTabbedComboBox::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  CGXStyle check;
  check.SetControl(kCheckBox3d).SetVerticalAlignment(GX_DT_VCENTER).SetHorizontalAlignment(GX_DT_CENTER);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_KEYCOL);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, &check);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_TITLES, &check);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_SORTCOL);
  map->AddUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID);
}

// ---- Lines and maps -----------------------------------------------------------------------------------------

std::vector<CString> CGXTabbedComboBox::ChoiceLines(const CGXStyle& style, BOOL sorted) {
  if (!style.IsIncluded(GX_IN_CHOICELIST)) return {};
  std::vector<CString> lines = SplitChoiceList(style.GetChoiceList());
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  if (sorted && s.sortCol >= 0) lines = SortTabbedLines(std::move(lines), s.sortCol, s.titles);
  return lines;
}

CMapStringToString* CGXTabbedComboBox::MapOf(const CGXStyle& style, BOOL keys) const {
  CGXGridParam* param = m_pGrid->GetParam();
  const int id = AttributeInt(style, GX_IDS_UA_TABLIST_UNIQUEID, 0);
  if (!param || id <= 0 || id > GX_MAX_CHOICE_MAP_ID) return nullptr;
  auto& maps = keys ? param->m_keyMaps : param->m_displayMaps;
  if (maps.size() <= static_cast<size_t>(id)) maps.resize(static_cast<size_t>(id) + 1);
  std::unique_ptr<CMapStringToString>& map = maps[static_cast<size_t>(id)];
  if (map) return map.get();
  map = std::make_unique<CMapStringToString>(10);
  map->InitHashTable(257);
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  const std::vector<CString> lines = ChoiceLines(style, FALSE);
  for (size_t i = FirstRow(s); i < lines.size(); ++i) map->SetAt(GetTabField(lines[i], keys ? s.keyCol : s.textCol), lines[i]);
  return map.get();
}

CMapStringToString* CGXTabbedComboBox::GetKeyMap(const CGXStyle& style) const { return MapOf(style, TRUE); }
CMapStringToString* CGXTabbedComboBox::GetDisplayMap(const CGXStyle& style) const { return MapOf(style, FALSE); }

void CGXTabbedComboBox::ReleaseChoiceMaps(CGXGridParam* param, int id) {
  if (!param) return;
  if (id == -1) {
    param->m_keyMaps.clear();
    param->m_displayMaps.clear();
  } else if (id >= 1) {
    for (auto* maps : {&param->m_keyMaps, &param->m_displayMaps})
      if (static_cast<size_t>(id) < maps->size()) (*maps)[static_cast<size_t>(id)].reset();
  } else {
    return;
  }
  ++param->m_nChoiceMapChangeCount;
}

// The map answers exact texts; a prefix is looked for in the lines in list order (first match wins), so the
// answer never depends on the map's hash order and the shared map never grows.
BOOL CGXTabbedComboBox::FindLine(const CGXStyle& style, CMapStringToString* map, const CString& text, int column,
                                 BOOL prefix, CString& line) const {
  if (map && map->Lookup(text, line)) return TRUE;
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  // Asked for every cell drawn: the lines are read where they lie in the list's text, none copied.
  const GXChoiceLines lines = style.IsIncluded(GX_IN_CHOICELIST) ? SplitChoiceListKept(style) : GXChoiceLines({});
  int at = map ? -1 : FindTabbedLine(lines, FirstRow(s), text, column, FALSE);
  if (at < 0 && prefix) at = FindTabbedLine(lines, FirstRow(s), text, column, TRUE);
  std::string_view found;
  if (at < 0 || !lines.Line(FirstRow(s) + static_cast<size_t>(at), found)) return FALSE;
  line = CString(found);
  return TRUE;
}

BOOL CGXTabbedComboBox::ReadOnlyNow() const {
  return IsCellReadOnly() || (m_pCachedStyle && gx::StyleReadOnly(*m_pCachedStyle));
}

// ---- Binding and values ---------------------------------------------------------------------------------------

void CGXTabbedComboBox::InitForCell(ROWCOL row, ROWCOL col) {
  CGXComboBox::InitForCell(row, col);
  const CGXStyle& style = GetCachedStyle();
  m_settings = GXTabbedSettings::FromStyle(style);
  SetEditedValue(style.GetIncludeValue() ? style.GetValue() : CString());
  SetModifiedState(FALSE);
  m_bListFilled = FALSE;
  const CGXGridParam* param = m_pGrid->GetParam();
  if (param && (param->m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
  if (m_hWnd) SetReadOnly(m_pGrid->IsLocked() || gx::StyleReadOnly(style));
  if (!GetEditingState() && m_pButton) m_pButton->Invalidate();
}

BOOL CGXTabbedComboBox::ValidateValue() {
  CString value;
  if (GetEditingState() && GetModifiedState() && !GetEditedValue(value)) return FALSE;
  return CGXComboBox::ValidateValue();
}

BOOL CGXTabbedComboBox::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value,
                                       const CGXStyle& style) const {
  const CString v = value ? *value : style.GetIncludeValue() ? style.GetValue() : CString();
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  CString line;
  if (!FindLine(style, GetKeyMap(style), v, s.keyCol, FALSE, line)) return FALSE;
  out = GetTabField(line, s.textCol);
  return TRUE;
}

BOOL CGXTabbedComboBox::GetEditedValue(CString& out) const {
  if (!m_bInit || !m_pCachedStyle) return FALSE;
  const CString text = WindowText();
  if (text.IsEmpty()) {
    out.Empty();
    return TRUE;
  }
  CString line;
  if (!FindLine(*m_pCachedStyle, GetDisplayMap(*m_pCachedStyle), text, m_settings.textCol, TRUE, line)) return FALSE;
  out = GetTabField(line, m_settings.keyCol);
  return TRUE;
}

void CGXTabbedComboBox::SetEditedValue(const CString& value) {
  if (!m_hWnd || !m_bInit) return;
  const CGXStyle& style = GetCachedStyle();
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  CString line;
  if (!FindLine(style, GetKeyMap(style), value, s.keyCol, FALSE, line)) {
    SetWindowText("");
    return;
  }
  const CString shown = GetTabField(line, s.textCol);
  SetWindowText(shown);
  SetSel(0, -1);
  if (m_bListFilled)
    if (CListBox* list = PopupList() ? PopupList() : dynamic_cast<CListBox*>(m_pKeptPopup ? m_pKeptPopup->GetListBox() : nullptr))
      SelectRowShowing(list, shown);
}

BOOL CGXTabbedComboBox::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (text.IsEmpty()) return TRUE;
  CMapStringToString* map = GetDisplayMap(style);
  if (!map && !style.IsIncluded(GX_IN_CHOICELIST)) return FALSE;
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  // As the editor takes a text: a line's display field equal to it, else the first beginning with it.
  CString line;
  if (!FindLine(style, map, text, s.textCol, TRUE, line)) return FALSE;
  text = GetTabField(line, s.keyCol);
  return TRUE;
}

BOOL CGXTabbedComboBox::AcceptsText(const CString& text) {
  if (text.IsEmpty() || !m_bFillWithChoiceList) return TRUE;
  const CGXStyle& style = GetCachedStyle();
  CString line;
  return FindLine(style, GetDisplayMap(style), text, GXTabbedSettings::FromStyle(style).textCol, TRUE, line);
}

BOOL CGXTabbedComboBox::ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                                         const CGXStyle* current) {
  const BOOL modified = GetModifiedState();
  if (!CGXComboBox::ApplyStyleToCell(row, col, style, mode, flags, current)) return FALSE;
  if (!style || (mode != gxOverride && mode != gxApplyNew) || !m_pGrid->MatchesCurrentCell(row, col)) return TRUE;
  if (TouchesChoices(*style)) {
    const int id = AttributeInt(*style, GX_IDS_UA_TABLIST_UNIQUEID, AttributeInt(GetCachedStyle(), GX_IDS_UA_TABLIST_UNIQUEID, 0));
    ReleaseChoiceMaps(m_pGrid->GetParam(), id);
    InitForCell(row, col);
    HideAndInvalidate();
  } else if ((style->GetIncludeValue() && !modified) || style->IsIncluded(GX_IN_CONTROLID)) {
    HideAndInvalidate();
  }
  return TRUE;
}

// ---- Sizes and drawing ----------------------------------------------------------------------------------------

CSize CGXTabbedComboBox::ComputeCellSize(CDC* dc, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*, BOOL) {
  if (!dc) return CSize(0, 0);
  const GXTabbedSettings s = GXTabbedSettings::FromStyle(style);
  gx::CellFontScope font(m_pGrid, dc, style);
  const std::vector<CString> lines = m_bFillWithChoiceList ? ChoiceLines(style, FALSE) : std::vector<CString>();
  const CSize size = MeasureTabbedDisplayFields(dc, lines, s.titles, s.textCol);
  return AddBordersToSize(size, style);
}

void CGXTabbedComboBox::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                                 const CGXStyle* standard) {
  const BOOL own = IsBoundToCell(row, col) && !m_pGrid->m_bDrawAllCellsInactive;
  if (own) {
    m_rgbListBack = style.GetInterior().GetColor();
    m_rgbListText = style.GetTextColor();
  }
  if (own && GetEditingState()) {
    gx::CellFontScope font(m_pGrid, dc, style);
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    m_nItemHeight = tm.tmHeight;
    CGXComboBox::DrawCell(dc, rect, row, col, style, standard);
    return;
  }
  CString shown;
  const HGLOBAL dib = GetDisplayText(shown, row, col, nullptr, style) ? GetTabbedBitmap(shown) : nullptr;
  if (!dib) {
    CGXComboBox::DrawCell(dc, rect, row, col, style, standard);
    return;
  }
  DrawCellBackground(dc, rect, style, FALSE);
  CRect inner = ComputeInnerRect(row, col, &rect, &style);
  BYTE align = 0;
  const UINT horizontal = style.GetHorizontalAlignment();
  const UINT vertical = style.IsIncluded(GX_IN_VERTALIGN) ? style.GetVerticalAlignment() : GX_DT_TOP;
  if (horizontal == GX_DT_CENTER) align |= CGXDIB::hCenter;
  if (horizontal == GX_DT_RIGHT) align |= CGXDIB::hRight;
  if (vertical == GX_DT_VCENTER) align |= CGXDIB::vCenter;
  if (vertical == GX_DT_BOTTOM) align |= CGXDIB::vBottom;
  CGXDIB::Draw(dc, dib, &inner, CGXDIB::natural, align);
  DrawChildren(dc, rect, row, col, style);
}

// ---- Typing ---------------------------------------------------------------------------------------------------

BOOL CGXTabbedComboBox::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  const BOOL handled = CGXComboBox::OnKeyMessage(message, ch, repeat, flags);
  if (message == WM_CHAR && ch >= 32 && !ReadOnlyNow()) AutoComplete();
  return handled;
}

void CGXTabbedComboBox::AutoComplete() {
  if (!m_bAutoComplete || !m_bFillWithChoiceList || !GetEditingState() || ReadOnlyNow() || !m_hWnd) return;
  const CString typed = WindowText();
  if (typed.IsEmpty()) return;
  const CGXStyle& style = GetCachedStyle();
  CString line;
  if (!FindLine(style, GetDisplayMap(style), typed, m_settings.textCol, TRUE, line)) return;
  SetEditText(GetTabField(line, m_settings.textCol));
  SetSel(typed.GetLength(), -1);
}

LRESULT CGXTabbedComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && !m_bDestroying && wParam >= 32 && !ReadOnlyNow()) {
    // The completed tail goes first, so the character extends what the user typed.
    ReplaceSelectedText("");
    OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    if (m_hWnd) AutoComplete();
    return 0;
  }
  return CGXComboBox::WindowProc(message, wParam, lParam);
}

// ---- The list -------------------------------------------------------------------------------------------------

CGXGridCombo* CGXTabbedComboBox::CreateGridCombo(CWnd* owner, const CRect& rect) {
  if (!m_pKeptPopup || !m_pKeptPopup->m_hWnd) {
    delete m_pKeptPopup;
    m_pKeptPopup = CGXComboBox::CreateGridCombo(owner, rect);
  }
  return m_pKeptPopup;
}

CWnd* CGXTabbedComboBox::CreateListBox(CWnd* popup, UINT id) {
  auto* kept = dynamic_cast<CGXGridCombo*>(popup);
  if (kept && kept->GetListBox() && kept->GetListBox()->m_hWnd) return kept->GetListBox();
  auto* list = new CGXTabbedComboLBox(this, this);
  if (m_dwListStyle == 0) m_dwListStyle = kListStyle;
  list->Create(m_dwListStyle, CRect(0, 0, 1, 1), popup, id);
  return list;
}

void CGXTabbedComboBox::SelectRowShowing(CListBox* list, const CString& text) {
  // The shown text leads every row: field 0 equal first, so "Reddish" never wins over an exact "Red".
  int prefix = -1;
  for (int i = 0; i < list->GetCount(); ++i) {
    CString row;
    list->GetText(i, row);
    const CString shown = GetTabField(row, 0);
    if (shown == text) {
      list->SetCurSel(i);
      return;
    }
    if (prefix < 0 && shown.GetLength() >= text.GetLength() && shown.Left(text.GetLength()).CompareNoCase(text) == 0)
      prefix = i;
  }
  if (prefix >= 0) list->SetCurSel(prefix);
}

void CGXTabbedComboBox::FillList(CWnd* wnd) {
  auto* list = dynamic_cast<CListBox*>(wnd);
  if (!list || !list->m_hWnd) return;
  CGXStyle& style = const_cast<CGXStyle&>(GetCachedStyle());
  const int id = AttributeInt(style, GX_IDS_UA_TABLIST_UNIQUEID, 0);
  const CGXGridParam* param = m_pGrid->GetParam();
  const int changes = param ? param->m_nChoiceMapChangeCount : 0;
  if (!GetDisplayMap(style) || id != m_nFilledForId || m_nMapChangeSeen < changes) {
    m_nMapChangeSeen = changes;
    if (!m_bListFilled && m_bFillWithChoiceList) {
      list->ResetContent();
      m_layout = GXTabbedLayout();
      m_pHeader->m_strTitle.Empty();
      std::vector<CString> lines = ChoiceLines(style, TRUE);
      if (m_settings.sortCol >= 0 && !lines.empty()) {
        // The cached style keeps the sorted list and sorts no more.
        CString joined;
        for (size_t i = 0; i < lines.size(); ++i) joined += (i ? "\r\n" : "") + lines[i];
        style.SetChoiceList(joined);
        style.SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "-1");
      }
      CClientDC dc(GetGridWnd());
      gx::CellFontScope font(m_pGrid, &dc, style);
      GXTabbedRows made =
          MakeTabbedRows(&dc, lines, m_settings.widths, m_settings.showAll, m_settings.textCol, m_settings.titles);
      m_layout = std::move(made.layout);
      m_pHeader->m_strTitle = made.title;
      for (const CString& row : made.rows) {
        m_strAdding = row;
        list->AddString(row);
        m_strAdding.Empty();
      }
    }
  }
  SelectRowShowing(list, WindowText());
  m_bListFilled = TRUE;
  m_nFilledForId = id;
}

void CGXTabbedComboBox::ComputeDropDownRect(CRect& out, const CRect& cell) {
  CGXComboBox::ComputeDropDownRect(out, cell);
  out.right = std::max<LONG>(cell.left + m_layout.totalWidth, cell.right);
}

void CGXTabbedComboBox::ShowDropDown(BOOL show) {
  if (!show) {
    CGXComboBox::ShowDropDown(FALSE);
    return;
  }
  CWnd* gridWnd = GetGridWnd();
  if (m_pPopup || !m_hWnd || !m_bInit || !gridWnd) return;
  auto guard = m_pGrid->GuardFocus();
  m_pGrid->m_bListDropped = TRUE;
  CGXFlagScope inProgress(m_pGrid->m_bDropDownInProgress, TRUE);
  // 1-2. The cell, the work area, the kept popup and list.
  const CGXStyle style = GetCachedStyle();
  const CRect cell = InnerRectWithoutButton();
  CRect cellOnScreen = cell;
  gridWnd->ClientToScreen(&cellOnScreen);
  const CRect work = WorkAreaNear(m_hWnd);
  m_pPopup = CreateGridCombo(gridWnd, CRect(0, 0, 1, 1));
  m_pPopup->AttachListBox(CreateListBox(m_pPopup, m_nListId));
  CListBox* list = PopupList();
  if (!m_pPopup->m_hWnd || !list || !list->m_hWnd) {
    m_pPopup = nullptr;
    m_pGrid->m_bListDropped = FALSE;
    return;
  }
  // 3-4. Look, rows and rectangle. The row height comes from the cell's font now, not from the last
  // editing draw (which a list dropped at once has not had).
  SetUpListLook(list, style);
  if (CDC* dc = m_pGrid->GetCachedDC()) {
    gx::CellFontScope font(m_pGrid, dc, style);
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    if (tm.tmHeight > 0) m_nItemHeight = tm.tmHeight;
  }
  FillList(list);
  CRect r;
  ComputeDropDownRect(r, cell);
  gridWnd->ClientToScreen(&r);
  // 5-6. Height to the rows; moved left at the right edge, above the cell at the bottom.
  // Rows with a bitmap field are taller than the text: the rows' own heights count (as far as they fit).
  int rows = 0;
  for (int i = 0, n = list->GetCount(); i < n && rows <= r.Height(); ++i)
    rows += std::max(m_nItemHeight, static_cast<int>(list->GetItemHeight(i)));
  const int wanted = rows + list->GetItemHeight(0) / 2;
  if (wanted < r.Height()) r.bottom = r.top + wanted;
  if (r.right > work.right) r.OffsetRect(cellOnScreen.right - r.right, 0);
  auto moveAbove = [&] { r.OffsetRect(0, -(r.Height() + cellOnScreen.Height())); };
  if (r.bottom > work.bottom) moveAbove();
  CGXPopupActiveScope active;
  // 8. The header bar: over the rows below the cell, over the list above it.
  if (m_settings.titles) {
    if (!m_pHeader->m_hWnd) m_pHeader->CreateHeaderWindow();
    m_pHeader->m_bShowAll = m_settings.showAll;
    m_pHeader->m_nTextCol = m_settings.textCol;
    m_pHeader->m_nSeparators = m_layout.separators;
    m_pHeader->m_pRightEdges = &m_layout.rightEdges;
    m_pHeader->m_pFont = m_pListFont.get();
    int hh = m_nItemHeight;
    MeasureTabbedRowHeight(m_pHeader->m_strTitle, hh, !m_settings.showAll, m_settings.textCol > 0, m_layout.separators);
    hh += 4;
    if (r.top >= cellOnScreen.bottom && r.bottom + hh > work.bottom) moveAbove();
    if (m_pHeader->m_hWnd) {
      if (r.top >= cellOnScreen.bottom) {
        m_pHeader->SetWindowPos(&CWnd::wndTop, r.left, r.top, r.Width(), hh, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        r.OffsetRect(0, hh);
      } else {
        m_pHeader->SetWindowPos(&CWnd::wndTop, r.left, r.top - hh, r.Width(), hh, SWP_SHOWWINDOW | SWP_NOACTIVATE);
      }
      m_pHeader->Invalidate();
      m_pHeader->UpdateWindow();
    }
  }
  // 9. Placed, shown and focused.
  r.IntersectRect(r, work);
  m_pPopup->SetWindowPos(&CWnd::wndTopMost, r.left, r.top, r.Width(), r.Height(), SWP_SHOWWINDOW);
  list->SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
  list->SetFocus();
  if (list->GetCurSel() < 0) list->SetCurSel(0);
  list->UpdateWindow();
  list->SetTopIndex(list->GetCurSel());
}

void CGXTabbedComboBox::DestroyGridCombo(CGXGridCombo* popup) {
  if (!popup) return;
  if (popup->m_hWnd) popup->ShowWindow(SW_HIDE);
  if (m_pHeader->m_hWnd && m_pHeader->IsWindowVisible()) m_pHeader->ShowWindow(SW_HIDE);
  if (auto* list = dynamic_cast<CGXComboListBox*>(popup->GetListBox())) list->ResetPresses();
}

void CGXTabbedComboBox::TakeListSelection(CWnd* wnd) {
  auto* list = dynamic_cast<CListBox*>(wnd);
  if (!list || !list->m_hWnd) return;
  const int sel = list->GetCurSel();
  if (sel < 0) return;
  CString row;
  list->GetText(sel, row);
  SetWindowText(GetTabField(row, 0));
  if (!GetEditingState()) SetEditingState(TRUE);
  SetModifiedState(TRUE);
}
