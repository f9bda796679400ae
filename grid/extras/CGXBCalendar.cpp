#include "grid/extras/CGXBCalendar.h"

#include <algorithm>
#include <cstring>

#include "foundation/VisualStyles.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/gxstrings.h"
#include "platform/base/LocaleTable.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNCREATE(CGXBPanel, CObject)
IMPLEMENT_DYNCREATE(CGXBCalTitle, CGXBPanel)
IMPLEMENT_DYNCREATE(CGXBDayBox, CGXBPanel)
IMPLEMENT_DYNCREATE(CGXBCalendar, CWnd)
IMPLEMENT_DYNCREATE(CGXBPopupCalendar, CGXBCalendar)

namespace {

// Column edges of the day grid and the weekday bar, as fractions of the width.
constexpr double kColumnEdges[8] = {0.0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0};
// Row edges of the day grid, as fractions of the client height.
constexpr double kRowEdges[7] = {0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1.0};

bool SameMonth(const COleDateTime& a, const COleDateTime& b) {
  return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth();
}

COleDateTime FromCTime(const CTime& t) { return COleDateTime(t.GetYear(), t.GetMonth(), t.GetDay(), 12, 0, 0); }

COleDateTimeSpan FromCTimeSpan(const CTimeSpan& s) {
  return COleDateTimeSpan(static_cast<LONG>(s.GetDays()), s.GetHours(), s.GetMinutes(), s.GetSeconds());
}

// The same day `years` later (29 February becomes 28 February in a year without it), at 12:00.
COleDateTime ShiftYears(const COleDateTime& date, int years) {
  const int year = date.GetYear() + years, month = date.GetMonth();
  int day = date.GetDay();
  COleDateTime out;
  while (day >= 28 && out.SetDateTime(year, month, day, 12, 0, 0) != 0) --day;
  if (day < 28) out.SetStatus(COleDateTime::invalid);
  return out;
}

COleDateTime FirstOfMonth(int year, int month) {
  if (month > 12) ++year, month = 1;
  if (month < 1) --year, month = 12;
  COleDateTime out;
  out.SetDateTime(year, month, 1, 12, 0, 0);
  return out;
}

bool Themed(CDC* dc, HWND* owner) {
  if (!SafeIsAppThemed() || !SafeIsThemeActive()) return false;
  *owner = WindowFromDC(dc->GetSafeHdc());
  return *owner != nullptr;
}

// A copy of the stock system font's description with another face, quality and precision.
LOGFONT FontTemplate(BYTE quality, BYTE precision, BYTE pitch) {
  LOGFONT lf{};
  ::GetObject(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
  std::strncpy(lf.lfFaceName, "Arial", sizeof lf.lfFaceName - 1);
  lf.lfQuality = quality;
  lf.lfOutPrecision = precision;
  if (pitch) lf.lfPitchAndFamily = pitch;
  return lf;
}

CSize Extent(CDC* dc, HFONT font, const CString& text) {
  const HGDIOBJ old = dc->SelectObject(static_cast<HGDIOBJ>(font));
  const CSize size = dc->GetTextExtent(text);
  dc->SelectObject(old);
  return size;
}

}  // namespace

// ---- Panels

CGXBPanel::CGXBPanel() = default;

BOOL CGXBPanel::Create(CGXBCalendar* calendar, DWORD style, DWORD flags, int bevel) {
  m_pCalendar = calendar;
  SetStyle(style);
  SetFlags(flags);
  SetBevelWidth(bevel);
  m_bCreated = TRUE;
  return TRUE;
}

void CGXBPanel::SetStyle(DWORD style) {
  m_dwStyle = style;
  m_bInsetsDirty = TRUE;
}

void CGXBPanel::SetFlags(DWORD flags) {
  m_dwFlags = flags;
  m_bInsetsDirty = TRUE;
}

void CGXBPanel::SetBevelWidth(int width) {
  m_nBevel = width;
  m_bInsetsDirty = TRUE;
}

void CGXBPanel::SetHighlight(BOOL on) {
  if (on && !CanHighlight()) return;
  m_bHighlighted = on;
  m_bInsetsDirty = TRUE;
}

void CGXBPanel::SetSelected(BOOL on) {
  if (on && !CanSelect()) return;
  m_bSelected = on;
  m_bInsetsDirty = TRUE;
}

void CGXBPanel::ComputeInsets() {
  const bool h = m_bHighlighted != FALSE;
  m_insets[0] = 0;
  m_insets[1] = (m_dwStyle & (h ? kFrameHighlighted : kFrameNormal)) ? 1 : 0;
  m_insets[2] = m_insets[1] + ((m_dwStyle & (h ? kBevelHighlighted : kBevelNormal)) ? m_nBevel : 0);
  m_insets[3] = m_insets[2] + ((m_bSelected && (m_dwStyle & (h ? kSelectHighlighted : kSelectNormal))) ? m_nBevel : 0);
  m_bInsetsDirty = FALSE;
}

int CGXBPanel::GetInset(int index) {
  if (m_bInsetsDirty) ComputeInsets();
  return m_insets[std::clamp(index, 0, 3)];
}

CRect CGXBPanel::GetInterior() {
  const int inset = GetInset(3);
  CRect r = m_rect;
  r.DeflateRect(inset, inset);
  if (r.right < r.left || r.bottom < r.top) r.SetRectEmpty();
  return r;
}

void CGXBPanel::DrawBand(CDC* dc, int from, int to, COLORREF topLeft, COLORREF bottomRight) {
  if (from == to) return;
  for (int i = from; i <= to; ++i) {
    CRect r(m_rect.left + i, m_rect.top + i, m_rect.right - i + 1, m_rect.bottom - i + 1);
    if (r.Width() <= 0 || r.Height() <= 0) break;
    dc->Draw3dRect(&r, topLeft, bottomRight);
  }
}

void CGXBPanel::DrawOuterFrame(CDC* dc) { DrawBand(dc, GetInset(0), GetInset(1), m_crFrame, m_crFrame); }

void CGXBPanel::DrawBevel(CDC* dc) {
  const COLORREF light = CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
  if (m_bHighlighted)
    DrawBand(dc, GetInset(1), GetInset(2), shadow, light);
  else
    DrawBand(dc, GetInset(1), GetInset(2), light, shadow);
}

void CGXBPanel::DrawSelectionFrame(CDC* dc) { DrawBand(dc, GetInset(2), GetInset(3), m_crSelect, m_crSelect); }

void CGXBPanel::FillInterior(CDC* dc) {
  CRect r = GetInterior();
  if (r.IsRectNull()) return;
  r.right += 1, r.bottom += 1;
  dc->FillSolidRect(&r, CGXSysColorTable::GetColor(COLOR_BTNFACE));
}

void CGXBPanel::DrawText(CDC* dc) {
  const CRect r = GetInterior();
  if (m_dwStyle & kCentred) {
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    const UINT old = dc->SetTextAlign(TA_CENTER | TA_BASELINE);
    dc->TextOut(r.left + r.Width() / 2, r.top + r.Height() / 2 + tm.tmHeight / 2, m_strText);
    dc->SetTextAlign(old);
  } else {
    dc->TextOut(r.left + r.Width() / 10, r.top + r.Height() / 10, m_strText);
  }
}

void CGXBPanel::Draw(CDC* dc) {
  if (m_bInsetsDirty) ComputeInsets();
  const COLORREF oldBk = dc->SetBkColor(CGXSysColorTable::GetColor(COLOR_BTNFACE));
  const COLORREF oldText = dc->SetTextColor(m_crText);
  const int oldMode = dc->GetBkMode();
  HWND owner = nullptr;
  HTHEME theme = Themed(dc, &owner) ? SafeOpenThemeData(owner, u"Button") : nullptr;
  m_bThemed = theme != nullptr;
  if (theme) {
    const int state = m_bHighlighted ? 3 : !CanHighlight() ? 4 : 1;
    CRect r = GetPaintRect();
    SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, state, &r, nullptr);
    dc->SetBkMode(TRANSPARENT);
  } else {
    DrawOuterFrame(dc);
    DrawBevel(dc);
    FillInterior(dc);
    dc->SetBkMode(OPAQUE);
  }
  DrawText(dc);
  DrawSelectionFrame(dc);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
  dc->SetBkColor(oldBk);
  if (theme) SafeCloseThemeData(theme);
}

// ---- Title

CGXBCalTitle::CGXBCalTitle() = default;

CGXBCalTitle::~CGXBCalTitle() { DestroyButtons(); }

void CGXBCalTitle::DestroyButtons() {
  for (CButton* b : {&m_prevYear, &m_prevMonth, &m_nextMonth, &m_nextYear})
    if (b->m_hWnd) b->DestroyWindow();
}

CButton* CGXBCalTitle::GetButton(UINT command) {
  switch (command) {
    case GX_IDS_CAL_PREVYEAR: return &m_prevYear;
    case GX_IDS_CAL_PREVMONTH: return &m_prevMonth;
    case GX_IDS_CAL_NEXTMONTH: return &m_nextMonth;
    case GX_IDS_CAL_NEXTYEAR: return &m_nextYear;
    default: return nullptr;
  }
}

BOOL CGXBCalTitle::CreateButtons(BOOL yearButtons, BOOL monthButtons) {
  m_nYearShow = yearButtons ? 1 : 0;
  m_nMonthShow = monthButtons ? 1 : 0;
  const CRect tiny(0, 0, 1, 1);
  for (UINT command : {GX_IDS_CAL_PREVYEAR, GX_IDS_CAL_PREVMONTH, GX_IDS_CAL_NEXTMONTH, GX_IDS_CAL_NEXTYEAR}) {
    CString caption;
    if (!gx::LoadGridString(caption, command)) return FALSE;
    if (!GetButton(command)->Create(caption, WS_CHILD | BS_PUSHBUTTON, tiny, m_pCalendar, command)) return FALSE;
  }
  return TRUE;
}

void CGXBCalTitle::SetTitleRect(const CRect& r) {
  SetRect(r);
  const int w = r.Width(), h = r.Height();
  const int top = r.top + h / 5, bottom = r.bottom - h / 5;
  const int a = w * 10 / 200, b = w * 30 / 200, c = w * 50 / 200;
  auto place = [&](CButton& button, int from, int to, int show) {
    if (!button.m_hWnd) return;
    button.MoveWindow(from, top, to - from, bottom - top, FALSE);
    button.ShowWindow(show > 0 ? SW_SHOWNA : SW_HIDE);
    button.EnableWindow(TRUE);
  };
  if (m_nYearShow > 0) {
    place(m_prevYear, r.left + a, r.left + b, m_nYearShow);
    place(m_nextYear, r.right - b, r.right - a, m_nYearShow);
    place(m_prevMonth, r.left + b, r.left + c, m_nMonthShow);
    place(m_nextMonth, r.right - c, r.right - b, m_nMonthShow);
  } else {
    place(m_prevYear, r.left + a, r.left + b, 0);
    place(m_nextYear, r.right - b, r.right - a, 0);
    place(m_prevMonth, r.left + a, r.left + b, m_nMonthShow);
    place(m_nextMonth, r.right - b, r.right - a, m_nMonthShow);
  }
}

void CGXBCalTitle::SetTitleDate(const COleDateTime& date) {
  CString month;
  CGXBCalendar::GetLocaleMonthName(month, date.GetMonth(), (m_dwStyle & kLongMonthNames) != 0);
  CString text;
  text.Format("%s %d", static_cast<LPCSTR>(month), date.GetYear());
  SetText(text);
}

void CGXBCalTitle::Draw(CDC* dc) {
  CGXBPanel::Draw(dc);
  const HGDIOBJ font = dc->GetCurrentFont() ? dc->GetCurrentFont()->GetSafeHandle() : nullptr;
  for (CButton* b : {&m_prevYear, &m_prevMonth, &m_nextMonth, &m_nextYear})
    if (b->m_hWnd && b->IsWindowVisible()) {
      b->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      b->Invalidate();
      b->UpdateWindow();
    }
}

// ---- Weekday bar and day boxes

void CGXBDayBar::DrawText(CDC* dc) {
  const CRect r = GetInterior();
  const UINT old = dc->SetTextAlign(TA_CENTER | TA_TOP);
  const int textHeight = dc->GetTextExtent("X", 1).cy;
  for (int i = 0; i < 7; ++i) {
    const int left = r.left + static_cast<int>(r.Width() * kColumnEdges[i]);
    const int right = r.left + static_cast<int>(r.Width() * kColumnEdges[i + 1]);
    CString name;
    CGXBCalendar::GetLocaleDayName(name, (m_nFirstDay - 1 + i) % 7 + 1, (m_dwStyle & kLongDayNames) != 0);
    dc->TextOut((left + right) / 2, r.top + (r.Height() - textHeight) / 2, name);
  }
  dc->SetTextAlign(old);
}

void CGXBDayBox::SetOtherMonth(BOOL other) {
  m_bOtherMonth = other;
  DWORD flags = m_dwFlags;
  if (other) {
    flags &= ~CGXBCalendar::kSelectable;
    if (!(flags & CGXBCalendar::kKeepMonthOnOtherDay)) flags &= ~CGXBCalendar::kHighlightable;
  } else {
    flags |= CGXBCalendar::kSelectable | CGXBCalendar::kHighlightable;
  }
  SetFlags(flags);
}

void CGXBDayBox::DrawText(CDC* dc) {
  CString text;
  text.Format("%d", m_date.GetDay());
  const CRect r = GetInterior();
  const COLORREF old = dc->SetTextColor((m_bOtherMonth && (m_dwStyle & kGreyOtherMonth)) ? m_crGrey : m_crText);
  if (m_dwStyle & kCentred) {
    const CSize size = dc->GetTextExtent(text);
    dc->TextOut(r.left + (r.Width() - size.cx) / 2, r.top + (r.Height() - size.cy) / 2, text);
  } else {
    dc->TextOut(r.left + r.Width() / 10, r.top + r.Height() / 10, text);
  }
  dc->SetTextColor(old);
}

// ---- The calendar

CGXBCalendar::CGXBCalendar() {
  m_lfTitle = FontTemplate(DRAFT_QUALITY, OUT_CHARACTER_PRECIS, VARIABLE_PITCH);
  m_lfDayBar = FontTemplate(DRAFT_QUALITY, OUT_TT_ONLY_PRECIS, 0);
  m_lfDay = FontTemplate(DRAFT_QUALITY, OUT_TT_ONLY_PRECIS, 0);
  m_highlightDate.SetStatus(COleDateTime::invalid);
  m_anchorDate.SetStatus(COleDateTime::invalid);
}

CGXBCalendar::~CGXBCalendar() {
  m_title.DestroyButtons();
  if (m_hWnd) DestroyWindow();
}

COleDateTime CGXBCalendar::NormalizeDate(const COleDateTime& date) {
  if (date.GetStatus() != COleDateTime::valid) return date;
  COleDateTime out;
  out.SetDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), 12, 0, 0);
  return out;
}

BOOL CGXBCalendar::GetLocaleDayName(CString& out, int day, BOOL longName) {
  if (day < 1 || day > 7) return FALSE;
  // Day 1 is Sunday, which the locale lists last.
  const LCTYPE first = longName ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1;
  const LCTYPE type = first + (day == 1 ? 6 : day - 2);
  char buffer[256];
  if (GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) <= 0) return FALSE;
  out = buffer;
  return TRUE;
}

BOOL CGXBCalendar::GetLocaleMonthName(CString& out, int month, BOOL longName) {
  if (month < 1 || month > 12) return FALSE;
  const LCTYPE type = (longName ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + (month - 1);
  char buffer[256];
  if (GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) <= 0) return FALSE;
  out = buffer;
  return TRUE;
}

COleDateTime CGXBCalendar::GetHighlightedDate() const {
  if (m_pCurrent) return m_pCurrent->GetDate();
  COleDateTime none;
  none.SetStatus(COleDateTime::invalid);
  return none;
}

void CGXBCalendar::LoadSysColors() {
  m_crText = CGXSysColorTable::GetColor(COLOR_WINDOWTEXT);
  m_crGrey = CGXSysColorTable::GetColor(COLOR_GRAYTEXT);
}

void CGXBCalendar::OnInvalidDate() { MessageBeep(MB_ICONEXCLAMATION); }

BOOL CGXBCalendar::IsValidMonth(int year, int month, int) {
  const bool fromStart = year > 100 || (year == 100 && month >= 2);
  const bool toEnd = year < 9999 || (year == 9999 && month <= 11);
  return fromStart && toEnd;
}

BOOL CGXBCalendar::CreateWindowPart(DWORD style, const RECT& rect, CWnd* parent, UINT id, void* context) {
  LPCSTR cls = AfxRegisterWndClass(GetClassStyle(), LoadCursor(nullptr, IDC_ARROW),
                                   GetSysColorBrush(COLOR_BTNFACE));
  DWORD ws = style | WS_CLIPCHILDREN;
  if (!(ws & WS_POPUP)) ws |= WS_CHILD;
  return CreateEx(0, cls, "CGXBCalendar", ws, rect, parent, id, context);
}

BOOL CGXBCalendar::Create(DWORD style, RECT& rect, CWnd* parent, UINT id, void* context) {
  CGXSysColorTable::Refresh();
  LoadSysColors();
  m_pNotify = parent;
  if (!CreateWindowPart(style, rect, parent, id, context)) return FALSE;
  LOGFONT system{};
  ::GetObject(GetStockObject(SYSTEM_FONT), sizeof system, &system);
  for (CFont* font : {&m_titleFont, &m_dayBarFont, &m_dayFont}) {
    font->DeleteObject();
    font->CreateFontIndirect(&system);
  }
  CClientDC dc(parent ? parent : this);
  if (m_dwFlags & kSizeToContent) {
    const CSize size = ComputeSize(&dc);
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
  }
  BOOL ok = TRUE;
  for (CGXBDayBox& box : m_days) {
    ok &= box.Create(this, m_dwOtherMonthStyle, m_dwFlags, m_nBevel);
    box.SetHighlight(FALSE);
  }
  const DWORD panelFlags = m_dwFlags & ~(kHighlightable | kSelectable);
  ok &= m_dayBar.Create(this, m_dwInMonthStyle, panelFlags, m_nBevel);
  ok &= m_title.Create(this, m_dwInMonthStyle | CGXBPanel::kCentred, panelFlags, m_nBevel);
  ok &= m_title.CreateButtons((m_dwFlags & kYearButtons) != 0, (m_dwFlags & kMonthButtons) != 0);
  if (m_displayDate.GetStatus() != COleDateTime::valid || static_cast<DATE>(m_displayDate) == 0.0)
    m_displayDate = COleDateTime::GetCurrentTime();
  SetDisplayDate(m_displayDate, FALSE);
  if (ok) {
    LayoutPanels();
    if (m_dwFlags & kFitFonts) FitFonts(&dc);
    m_title.SetTextColors(m_crText, m_crGrey);
    m_dayBar.SetTextColors(m_crText, m_crGrey);
    for (CGXBDayBox& box : m_days) box.SetTextColors(m_crText, m_crGrey);
  }
  m_bCreated = TRUE;
  UpdateWindow();
  SetFocus();
  return ok;
}

void CGXBCalendar::LayoutPanels() {
  CRect client;
  GetClientRect(&client);
  const int w = client.Width() - 1, fullW = client.Width(), fullH = client.Height();
  const int h = fullH - 1;
  m_title.SetTitleRect(CRect(0, 0, w, static_cast<int>(0.175 * h)));
  m_dayBar.SetRect(CRect(0, static_cast<int>(0.175 * h), w, static_cast<int>(0.25 * h)));
  for (int row = 0; row < 6; ++row)
    for (int col = 0; col < 7; ++col) {
      const int left = static_cast<int>(kColumnEdges[col] * fullW), right = static_cast<int>(kColumnEdges[col + 1] * fullW);
      const int top = static_cast<int>(kRowEdges[row] * fullH), bottom = static_cast<int>(kRowEdges[row + 1] * fullH);
      m_days[row * 7 + col].SetRect(CRect(left, top, right - 1, bottom - 1));
    }
}

void CGXBCalendar::LayoutDays() {
  COleDateTime date = m_displayDate;
  const COleDateTimeSpan oneDay(1, 0, 0, 0);
  while (date.GetDay() != 1) date -= oneDay;
  while (date.GetDayOfWeek() != m_dayBar.m_nFirstDay) date -= oneDay;
  BOOL inMonth = FALSE;
  for (CGXBDayBox& box : m_days) {
    const COleDateTime day = NormalizeDate(date);
    if (day.GetDay() == 1) inMonth = !inMonth;
    box.SetDate(day);
    box.SetStyle(inMonth ? m_dwInMonthStyle : m_dwOtherMonthStyle);
    box.SetOtherMonth(!inMonth);
    BOOL selected = FALSE;
    for (const COleDateTime& entry : m_selected) selected |= entry == day;
    box.SetSelected(FALSE);
    box.SetSelected(selected);
    if (m_bHighlight && m_highlightDate == day) {
      box.SetHighlight(TRUE);
      m_anchorDate = day;
    } else {
      box.SetHighlight(FALSE);
    }
    date += oneDay;
  }
}

BOOL CGXBCalendar::SetDisplayDate(const COleDateTime& date, BOOL repaint) {
  if ((m_bCreated && (m_dwFlags & kLockMonth)) || date.GetStatus() != COleDateTime::valid ||
      !IsValidMonth(date.GetYear(), date.GetMonth(), date.GetDay())) {
    OnInvalidDate();
    return FALSE;
  }
  m_displayDate = NormalizeDate(date);
  m_title.SetTitleDate(m_displayDate);
  LayoutDays();
  if (repaint && m_hWnd) {
    Invalidate();
    UpdateWindow();
  }
  return TRUE;
}

void CGXBCalendar::Notify(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pNotify && ::IsWindow(m_pNotify->GetSafeHwnd())) m_pNotify->PostMessage(message, wParam, lParam);
}

void CGXBCalendar::Report(UINT message, WPARAM wParam, LPARAM lParam) {
  Notify(message, wParam, lParam);
  if (m_hWnd) ShowWindow(SW_HIDE);
}

BOOL CGXBCalendar::HighlightDate(COleDateTime date, BOOL highlight) {
  date = NormalizeDate(date);
  if (highlight) {
    m_anchorDate = m_highlightDate = date;
    m_bHighlight = TRUE;
  } else {
    m_bHighlight = FALSE;
  }
  for (CGXBDayBox& box : m_days) {
    const CRect paint = box.GetPaintRect();
    if (box.GetDate() == date) {
      box.SetHighlight(highlight);
      if (m_hWnd) InvalidateRect(&paint, FALSE);
      m_pCurrent = &box;
      const LPARAM lp = reinterpret_cast<LPARAM>(&box);
      if (m_bCreated) Notify(GX_WM_CAL_HIGHLIGHT, highlight, lp);
      if (m_dwFlags & kChooseOnHighlight) Notify(GX_WM_CAL_CHOSEN, highlight, lp);
    } else if (box.IsHighlighted()) {
      box.SetHighlight(FALSE);
      if (m_hWnd) InvalidateRect(&paint, FALSE);
    }
  }
  if (m_bCreated && m_hWnd) SetFocus();
  return TRUE;
}

BOOL CGXBCalendar::ToggleHighlight(const COleDateTime& date) {
  const COleDateTime day = NormalizeDate(date);
  for (CGXBDayBox& box : m_days)
    if (box.GetDate() == day) {
      HighlightDate(day, !box.IsHighlighted());
      if (m_dwFlags & kChooseOnHighlight) Report(GX_WM_CAL_CHOSEN, 0, 0);
      return TRUE;
    }
  return FALSE;
}

BOOL CGXBCalendar::SelectDate(const COleDateTime& date, BOOL select) {
  const COleDateTime day = NormalizeDate(date);
  for (CGXBDayBox& box : m_days)
    if (box.GetDate() == day) {
      box.SetSelected(select);
      if (m_hWnd) {
        const CRect paint = box.GetPaintRect();
        InvalidateRect(&paint, FALSE);
      }
      Notify(GX_WM_CAL_SELECT, box.IsSelected(), reinterpret_cast<LPARAM>(&box));
    }
  auto at = m_selected.begin();
  for (; at != m_selected.end(); ++at) {
    if (*at == day) {
      if (!select) m_selected.erase(at);
      return TRUE;
    }
    if (day < *at) break;
  }
  if (select) m_selected.insert(at, day);
  return TRUE;
}

BOOL CGXBCalendar::ToggleSelection(const COleDateTime& date) {
  const COleDateTime day = NormalizeDate(date);
  BOOL selected = FALSE;
  for (CGXBDayBox& box : m_days)
    if (box.GetDate() == day) selected = box.IsSelected();
  return SelectDate(day, !selected);
}

BOOL CGXBCalendar::ScrollBy(const COleDateTimeSpan& span) {
  if (span.GetStatus() != COleDateTimeSpan::valid) return FALSE;
  const LONG days = span.GetDays();
  const int years = days / 365, months = (days % 365) / 28;
  if (!IsValidMonth(m_displayDate.GetYear() + years, m_displayDate.GetMonth() + months, 1)) {
    OnInvalidDate();
    return FALSE;
  }
  return SetDisplayDate(m_displayDate + span, TRUE);
}

BOOL CGXBCalendar::MoveHighlight(const COleDateTimeSpan& span) {
  if (!m_pCurrent) {
    OnInvalidDate();
    return FALSE;
  }
  if (span.GetStatus() != COleDateTimeSpan::valid) return FALSE;
  const COleDateTime from = m_pCurrent->GetDate();
  const LONG days = span.GetDays();
  const int years = days / 365, months = (days % 365) / 28;
  if (!IsValidMonth(from.GetYear() + years, from.GetMonth() + months, 1)) {
    OnInvalidDate();
    return FALSE;
  }
  const COleDateTime target = from + span;
  if (!SameMonth(target, from) && !SetDisplayDate(target, TRUE)) return FALSE;
  return HighlightDate(target, TRUE);
}

BOOL CGXBCalendar::MoveHighlight(const CTimeSpan& span) { return MoveHighlight(FromCTimeSpan(span)); }
BOOL CGXBCalendar::ScrollBy(const CTimeSpan& span) { return ScrollBy(FromCTimeSpan(span)); }
BOOL CGXBCalendar::SelectDate(const CTime& date, BOOL select) { return SelectDate(FromCTime(date), select); }
BOOL CGXBCalendar::HighlightDate(const CTime& date, BOOL on) { return HighlightDate(FromCTime(date), on); }
BOOL CGXBCalendar::ToggleHighlight(const CTime& date) { return ToggleHighlight(FromCTime(date)); }
BOOL CGXBCalendar::ToggleSelection(const CTime& date) { return ToggleSelection(FromCTime(date)); }

COleDateTime CGXBCalendar::StepBase(BOOL highlight) const {
  if (highlight && m_pCurrent) return m_pCurrent->GetDate();
  return m_displayDate;
}

BOOL CGXBCalendar::NextDay(BOOL highlight) {
  return highlight ? MoveHighlight(COleDateTimeSpan(1, 0, 0, 0)) : ScrollBy(COleDateTimeSpan(1, 0, 0, 0));
}

BOOL CGXBCalendar::PrevDay(BOOL highlight) {
  return highlight ? MoveHighlight(COleDateTimeSpan(-1, 0, 0, 0)) : ScrollBy(COleDateTimeSpan(-1, 0, 0, 0));
}

BOOL CGXBCalendar::NextWeek(BOOL highlight) {
  if (m_hWnd) SetFocus();
  return highlight ? MoveHighlight(COleDateTimeSpan(7, 0, 0, 0)) : ScrollBy(COleDateTimeSpan(7, 0, 0, 0));
}

BOOL CGXBCalendar::PrevWeek(BOOL highlight) {
  if (m_hWnd) SetFocus();
  return highlight ? MoveHighlight(COleDateTimeSpan(-7, 0, 0, 0)) : ScrollBy(COleDateTimeSpan(-7, 0, 0, 0));
}

BOOL CGXBCalendar::StepMonthOrYear(BOOL highlight, const COleDateTime& target, const COleDateTime& base) {
  if (target.GetStatus() != COleDateTime::valid || base.GetStatus() != COleDateTime::valid) return FALSE;
  const COleDateTimeSpan span = target - base;
  const BOOL result = highlight ? MoveHighlight(span) : ScrollBy(span);
  if (m_pCurrent) HighlightDate(m_pCurrent->GetDate(), TRUE);
  return result;
}

BOOL CGXBCalendar::NextMonth(BOOL highlight) {
  if (m_hWnd) SetFocus();
  if (highlight && !m_pCurrent) return MoveHighlight(COleDateTimeSpan(0.0));
  const COleDateTime base = StepBase(highlight);
  return StepMonthOrYear(highlight, FirstOfMonth(base.GetYear(), base.GetMonth() + 1), base);
}

BOOL CGXBCalendar::PrevMonth(BOOL highlight) {
  if (m_hWnd) SetFocus();
  if (highlight && !m_pCurrent) return MoveHighlight(COleDateTimeSpan(0.0));
  const COleDateTime base = StepBase(highlight);
  return StepMonthOrYear(highlight, FirstOfMonth(base.GetYear(), base.GetMonth() - 1), base);
}

BOOL CGXBCalendar::NextYear(BOOL highlight) {
  if (m_hWnd) SetFocus();
  if (highlight && !m_pCurrent) return MoveHighlight(COleDateTimeSpan(0.0));
  const COleDateTime base = StepBase(highlight);
  if (base.GetYear() < 100 || base.GetYear() > 9998) {
    OnInvalidDate();
    return FALSE;
  }
  return StepMonthOrYear(highlight, ShiftYears(base, 1), base);
}

BOOL CGXBCalendar::PrevYear(BOOL highlight) {
  if (m_hWnd) SetFocus();
  if (highlight && !m_pCurrent) return MoveHighlight(COleDateTimeSpan(0.0));
  const COleDateTime base = StepBase(highlight);
  if (base.GetYear() < 101 || base.GetYear() > 9999) {
    OnInvalidDate();
    return FALSE;
  }
  return StepMonthOrYear(highlight, ShiftYears(base, -1), base);
}

// ---- Size and fonts

namespace {

// What a panel needs in a font: the day box, the weekday bar or the title.
CSize DayNeed(CDC* dc, HFONT font, CGXBDayBox& box) {
  const CSize text = Extent(dc, font, "88");
  double w = text.cx * 1.25, h = text.cy * 1.25;
  if (!(box.GetStyle() & CGXBPanel::kCentred)) w *= 1.5, h *= 1.5;
  int inset = 0;
  const BOOL wasHighlighted = box.IsHighlighted(), wasSelected = box.IsSelected();
  const DWORD flags = box.GetFlags();
  box.SetFlags(flags | CGXBCalendar::kHighlightable | CGXBCalendar::kSelectable);
  box.SetSelected(TRUE);
  for (BOOL on : {FALSE, TRUE}) {
    box.SetHighlight(on);
    inset = std::max(inset, box.GetInset(3));
  }
  box.SetHighlight(wasHighlighted), box.SetSelected(wasSelected), box.SetFlags(flags);
  return CSize(std::max(static_cast<int>(w), text.cx + 2 * inset), std::max(static_cast<int>(h), text.cy + 2 * inset));
}

CSize BarNeed(CDC* dc, HFONT font, const CGXBDayBar& bar) {
  CString name;
  CGXBCalendar::GetLocaleDayName(name, 4, (bar.GetStyle() & CGXBPanel::kLongDayNames) != 0);
  const CSize text = Extent(dc, font, name);
  return CSize(7 * text.cx, text.cy);
}

CSize TitleNeed(CDC* dc, HFONT font, const CGXBCalTitle& title) {
  const bool longNames = (title.GetStyle() & CGXBPanel::kLongMonthNames) != 0;
  const CSize text = Extent(dc, font, longNames ? "September, 2000" : "Sep, 2000");
  return CSize(static_cast<int>(text.cx * (title.AnyButtonShown() ? 2.2 : 1.2)), static_cast<int>(text.cy * 1.2));
}

}  // namespace

CSize CGXBCalendar::ComputeSize(CDC* dc) {
  CGXBDayBox& first = m_days[0];
  first.SetFlags(m_dwFlags);
  first.SetStyle(m_dwOtherMonthStyle);
  first.SetBevelWidth(m_nBevel);
  const HFONT system = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  auto font = [&](CFont& f) { return f.GetSafeHandle() ? static_cast<HFONT>(f.GetSafeHandle()) : system; };
  m_dayBar.SetStyle(m_dwInMonthStyle);
  m_title.SetStyle(m_dwInMonthStyle | CGXBPanel::kCentred);
  m_title.m_nYearShow = (m_dwFlags & kYearButtons) ? 1 : 0;
  m_title.m_nMonthShow = (m_dwFlags & kMonthButtons) ? 1 : 0;
  const CSize day = DayNeed(dc, font(m_dayFont), first);
  const CSize bar = BarNeed(dc, font(m_dayBarFont), m_dayBar);
  const CSize title = TitleNeed(dc, font(m_titleFont), m_title);
  return CSize(std::max({7 * day.cx, bar.cx, title.cx}), bar.cy + title.cy + 6 * day.cy);
}

void CGXBCalendar::FitFonts(CDC* dc) {
  LOGFONT system{};
  ::GetObject(GetStockObject(SYSTEM_FONT), sizeof system, &system);
  auto fit = [&](LOGFONT& lf, CFont& font, CGXBPanel& panel, auto need, double shrink, int stopBelow) {
    lf.lfHeight = system.lfHeight;
    lf.lfWidth = system.lfWidth;
    const CRect interior = panel.GetInterior();
    auto needFor = [&]() {
      CFont trial;
      trial.CreateFontIndirect(&lf);
      return need(static_cast<HFONT>(trial.GetSafeHandle()));
    };
    if (interior.IsRectEmpty()) {
      lf.lfHeight = lf.lfWidth = 0;
    } else {
      // Bounded: a font mapping that stops growing must not keep the loop going.
      for (int i = 0; i < 16; ++i) {
        const CSize n = needFor();
        if (!(n.cx < interior.Width() && n.cy < interior.Height())) break;
        lf.lfHeight *= 2, lf.lfWidth *= 2;
      }
      for (;;) {
        const CSize n = needFor();
        if (!(n.cx > interior.Width() || n.cy > interior.Height())) break;
        // Heights below zero ask for a character height: the magnitude shrinks, the sign stays.
        const LONG sign = lf.lfHeight < 0 ? -1 : 1, height = lf.lfHeight * sign;
        const LONG h = std::min<LONG>(height - 1, static_cast<LONG>(height * shrink));
        const LONG w = lf.lfWidth > 0 ? std::min<LONG>(lf.lfWidth - 1, static_cast<LONG>(lf.lfWidth * shrink)) : 0;
        if (h < stopBelow) break;
        lf.lfHeight = h * sign, lf.lfWidth = std::max<LONG>(w, 0);
      }
    }
    font.DeleteObject();
    font.CreateFontIndirect(&lf);
  };
  fit(m_lfDay, m_dayFont, m_days[0], [&](HFONT f) { return DayNeed(dc, f, m_days[0]); }, 0.9, 1);
  fit(m_lfDayBar, m_dayBarFont, m_dayBar, [&](HFONT f) { return BarNeed(dc, f, m_dayBar); }, 0.9, 1);
  fit(m_lfTitle, m_titleFont, m_title, [&](HFONT f) { return TitleNeed(dc, f, m_title); }, 0.95, 2);
}

// ---- Painting and input

CGXBDayBox* CGXBCalendar::DayBoxAt(CPoint point) {
  for (CGXBDayBox& box : m_days)
    if (box.GetPaintRect().PtInRect(point)) return &box;
  return nullptr;
}

void CGXBCalendar::Paint(CDC* dc) {
  CFont* old = dc->SelectObject(&m_titleFont);
  CRect r = m_title.GetPaintRect();
  if (dc->RectVisible(&r)) m_title.Draw(dc);
  dc->SelectObject(&m_dayBarFont);
  r = m_dayBar.GetPaintRect();
  if (dc->RectVisible(&r)) m_dayBar.Draw(dc);
  dc->SelectObject(&m_dayFont);
  for (CGXBDayBox& box : m_days) {
    r = box.GetPaintRect();
    if (dc->RectVisible(&r)) box.Draw(dc);
  }
  dc->SelectObject(old);
}

void CGXBCalendar::ClickDayBox(CGXBDayBox* box) {
  if (box->IsOtherMonth() && !(m_dwFlags & kKeepMonthOnOtherDay)) {
    // The box is laid out again for the new month: find the date's box afresh.
    const COleDateTime date = box->GetDate();
    if (!SetDisplayDate(date, TRUE)) return;
    for (CGXBDayBox& b : m_days)
      if (b.GetDate() == date) box = &b;
  }
  if (m_dwFlags & kTrackClick) {
    HighlightDate(box->GetDate(), TRUE);
    if (box->IsHighlighted()) {
      SetCapture();
      m_bTracking = TRUE;
    }
  } else {
    ToggleHighlight(box->GetDate());
  }
}

void CGXBCalendar::RestoreSavedHighlight() {
  if (m_bSavedHighlight) HighlightDate(m_savedHighlight, TRUE);
}

void CGXBCalendar::OnKeyDown(UINT key) {
  switch (key) {
    case VK_RIGHT: case VK_NUMPAD0 + 6: NextDay(TRUE); break;
    case VK_LEFT: case VK_NUMPAD0 + 4: PrevDay(TRUE); break;
    case VK_DOWN: case VK_NUMPAD0 + 2: NextWeek(TRUE); break;
    case VK_UP: case VK_NUMPAD0 + 8: PrevWeek(TRUE); break;
    case VK_NEXT: NextMonth(TRUE); break;
    case VK_PRIOR: PrevMonth(TRUE); break;
    case VK_HOME: HighlightDate(FirstOfMonth(m_displayDate.GetYear(), m_displayDate.GetMonth()), TRUE); break;
    case VK_END: {
      COleDateTime last;
      last.SetDateTime(m_displayDate.GetYear(), m_displayDate.GetMonth(), 28, 12, 0, 0);
      last += COleDateTimeSpan(4, 0, 0, 0);
      while (last.GetMonth() != m_displayDate.GetMonth()) last -= COleDateTimeSpan(1, 0, 0, 0);
      HighlightDate(last, TRUE);
      break;
    }
    case VK_SPACE: ToggleHighlight(m_anchorDate); break;
    case VK_RETURN: Report(m_pCurrent ? GX_WM_CAL_CHOSEN : GX_WM_CAL_CANCELLED, 0, 0); break;
    case VK_ESCAPE: case VK_CANCEL: Report(GX_WM_CAL_CANCELLED, 0, 0); break;
    default: break;
  }
}

BOOL CGXBCalendar::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case GX_IDS_CAL_PREVYEAR: PrevYear(FALSE); return TRUE;
    case GX_IDS_CAL_NEXTYEAR: NextYear(FALSE); return TRUE;
    case GX_IDS_CAL_PREVMONTH: PrevMonth(FALSE); return TRUE;
    case GX_IDS_CAL_NEXTMONTH: NextMonth(FALSE); return TRUE;
    default: return CWnd::OnCommand(wParam, lParam);
  }
}

LRESULT CGXBCalendar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_PAINT: {
      CPaintDC dc(this);
      Paint(&dc);
      return 0;
    }
    case GX_WM_CAL_CHOSEN:
    case GX_WM_CAL_CANCELLED: Report(message, wParam, lParam); return 0;
    case WM_KEYDOWN:
      if (m_dwFlags & kKeyboard) OnKeyDown(static_cast<UINT>(wParam));
      break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN: {
      CGXBDayBox* box = DayBoxAt(pt);
      if (!box) return 0;
      m_bSavedHighlight = m_bHighlight && SameMonth(m_highlightDate, m_displayDate);
      if (m_bSavedHighlight) m_savedHighlight = m_highlightDate;
      ClickDayBox(box);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (m_bTracking) {
        CRect client;
        GetClientRect(&client);
        if (CGXBDayBox* box = DayBoxAt(pt)) {
          if (!box->IsHighlighted()) ClickDayBox(box);
        } else if (!client.PtInRect(pt) && m_pCurrent) {
          HighlightDate(m_pCurrent->GetDate(), FALSE);
        }
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (m_bTracking) {
        ReleaseCapture();
        m_bTracking = FALSE;
        CRect client;
        GetClientRect(&client);
        if (CGXBDayBox* box = DayBoxAt(pt)) {
          ClickDayBox(box);
          if (m_bTracking) ReleaseCapture(), m_bTracking = FALSE;
          if (m_dwFlags & kChooseOnRelease) Report(GX_WM_CAL_CHOSEN, 0, 0);
        } else if (client.PtInRect(pt)) {
          if (m_dwFlags & kChooseOnRelease) Report(GX_WM_CAL_CHOSEN, 0, 0);
        } else {
          RestoreSavedHighlight();
        }
        return 0;
      }
      break;
    case WM_CANCELMODE:
      if (m_bTracking) {
        ReleaseCapture();
        m_bTracking = FALSE;
        RestoreSavedHighlight();
      }
      break;
    case WM_LBUTTONDBLCLK: {
      if (CGXBDayBox* box = DayBoxAt(pt)) {
        if (!box->IsHighlighted()) ClickDayBox(box);
        if (m_bTracking) ReleaseCapture(), m_bTracking = FALSE;
        if (m_dwFlags & kChooseOnRelease) PostMessage(GX_WM_CAL_CHOSEN, 0, 0);
      }
      return 0;
    }
    case WM_RBUTTONDOWN: {
      CGXBDayBox* box = DayBoxAt(pt);
      if (!box) return 0;
      const COleDateTime date = box->GetDate();
      if (box->IsOtherMonth() && !SetDisplayDate(date, TRUE)) return 0;
      ToggleSelection(date);
      return 0;
    }
    case WM_NCHITTEST: {
      const LRESULT hit = CWnd::WindowProc(message, wParam, lParam);
      if (!(m_dwFlags & kSizingBorders) && ((hit >= HTLEFT && hit <= HTBOTTOMRIGHT) || hit == HTBORDER))
        return HTCLIENT;
      return hit;
    }
    case WM_SYSCOLORCHANGE:
      CGXSysColorTable::Refresh();
      LoadSysColors();
      m_title.SetTextColors(m_crText, m_crGrey);
      m_dayBar.SetTextColors(m_crText, m_crGrey);
      for (CGXBDayBox& box : m_days) box.SetTextColors(m_crText, m_crGrey);
      break;
    case WM_DESTROY:
      if (m_bTracking) ReleaseCapture(), m_bTracking = FALSE;
      break;
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

// ---- The popup

CGXBPopupCalendar::CGXBPopupCalendar() {
  m_dwFlags = 0x39C100;
  m_dwInMonthStyle = 0x83;
  m_dwOtherMonthStyle = 0x181;
}

int CGXBPopupCalendar::SetDeactivateMode(int mode) {
  const int previous = GetDeactivateMode();
  m_bAcceptOnDeactivate = mode == 1;
  return previous;
}

BOOL CGXBPopupCalendar::CreatePopup(DWORD style, const RECT& anchor, CWnd* parent, void* context) {
  m_dwFlags |= kSizeToContent;
  CSize content;
  {
    CClientDC dc(parent);
    content = ComputeSize(&dc);
  }
  CRect r(0, 0, content.cx, content.cy);
  AdjustWindowRectEx(&r, style | WS_POPUP, FALSE, 0);
  r.OffsetRect(-r.left, -r.top);
  const int w = r.Width(), h = r.Height();
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfo(MonitorFromPoint(POINT{anchor.left, anchor.top}, MONITOR_DEFAULTTONEAREST), &info);
  const RECT& work = info.rcWork;
  int top = anchor.bottom;
  if (top + h >= work.bottom) top = anchor.top - h;
  int left;
  if (style & 1) {
    left = anchor.left;
    if (left + w >= work.right) left = anchor.right - w;
  } else {
    left = anchor.right;
    if (left + w >= work.right) left = anchor.left - w;
  }
  RECT placed{left, top, left + w, top + h};
  if (!Create(style | WS_POPUP, placed, parent, 0, context)) return FALSE;
  SetFocus();
  return TRUE;
}

LRESULT CGXBPopupCalendar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && m_bCreated && IsWindowVisible()) {
    const LRESULT result = CGXBCalendar::WindowProc(message, wParam, lParam);
    Report(m_bAcceptOnDeactivate && m_pCurrent ? GX_WM_CAL_CHOSEN : GX_WM_CAL_CANCELLED, 0, 0);
    return result;
  }
  return CGXBCalendar::WindowProc(message, wParam, lParam);
}

void CGXBPopupCalendar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}
