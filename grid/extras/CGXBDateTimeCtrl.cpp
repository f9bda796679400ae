#include "grid/extras/CGXBDateTimeCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/CGXSysColorTable.h"
#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/GXExtras.h"
#include "grid/extras/GXThemeOwner.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/OleDate.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CGXBDateTimeCtrl, CWnd)

namespace {

struct Parts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = 0;
};

bool Split(const COleDateTime& value, Parts& p) {
  if (value.GetStatus() != COleDateTime::valid) return false;
  p = {value.GetYear(), value.GetMonth(), value.GetDay(), value.GetHour(), value.GetMinute(), value.GetSecond(),
       value.GetDayOfWeek()};
  return p.year >= 0;
}

COleDateTime Build(const Parts& p) {
  COleDateTime out;
  out.SetDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second);
  return out;
}

CString LocaleText(LCTYPE type) {
  char buffer[256] = {0};
  if (GetLocaleInfo(GetUserDefaultLCID(), type, buffer, sizeof buffer) <= 0) return CString();
  return CString(buffer);
}

int Wrap(int value, int count) { return ((value % count) + count) % count; }

}  // namespace

CGXBDateTimeCtrl::CGXBDateTimeCtrl() : m_value(COleDateTime::GetCurrentTime()) {
  m_crRowText = CGXSysColorTable::GetColor(COLOR_WINDOWTEXT);
  m_crRowBack = CGXSysColorTable::GetColor(COLOR_WINDOW);
  m_crBack = m_crRowBack;
}

CGXBDateTimeCtrl::~CGXBDateTimeCtrl() {
  DeletePopupCalendar();
  if (m_hWnd) DestroyWindow();
  for (int i = 0; i < GetGadgetCount(); ++i) delete GetGadget(i);
  m_gadgets.RemoveAll();
}

BOOL CGXBDateTimeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  LPCSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  if (!CreateEx(0, cls, "", style | WS_CHILD, rect, parent, id)) return FALSE;
  HFONT font = parent ? reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)) : nullptr;
  m_hFont = font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  if (m_nFixed == 0) {
    if (style & kDropDown) {
      auto* button = new CGXBDTButtonGadget;
      button->Init(this, m_nArrowBitmap, GXDT_DROPDOWN);
      button->SetFlags(button->GetFlags() | CGXBDTGadget::kFixed);
      m_gadgets.Add(button);
      ++m_nFixed;
    }
    if (style & kSpin) {
      auto* spin = new CGXBDTSpinGadget;
      spin->SetOwner(this);
      spin->SetFieldId(GXDT_SPIN);
      spin->SetFlags(spin->GetFlags() | CGXBDTGadget::kFixed);
      m_gadgets.Add(spin);
      ++m_nFixed;
    }
  }
  m_nCurrent = m_nFixed;
  DeleteFieldGadgets();
  BuildGadgets();
  LayoutGadgets();
  return TRUE;
}

// ---- Value and range

BOOL CGXBDateTimeCtrl::SetDateTime(const COleDateTime& value) {
  if (value.GetStatus() != COleDateTime::valid) return FALSE;
  if (m_hWnd)
    ApplyDateTime(value);
  else
    m_value = value;
  return TRUE;
}

void CGXBDateTimeCtrl::ApplyDateTime(const COleDateTime& value) {
  Parts a, b;
  UINT mask = 0xFFFF;
  if (Split(m_value, a) && Split(value, b)) {
    mask = 0;
    if (a.hour != b.hour) mask |= GXDT_HOUR12 | GXDT_HOUR24 | GXDT_AMPM;
    if (a.minute != b.minute) mask |= GXDT_MINUTE;
    if (a.second != b.second) mask |= GXDT_SECOND;
    if (a.day != b.day) mask |= GXDT_DAY;
    if (a.weekday != b.weekday) mask |= GXDT_WEEKDAY;
    if (a.month != b.month) mask |= GXDT_MONTH | GXDT_MONTHNAME;
    if (a.year != b.year) mask |= GXDT_YEAR2 | GXDT_YEAR4;
  }
  m_value = value;
  UpdateGadgets(mask);
}

void CGXBDateTimeCtrl::UpdateGadgets(UINT mask) {
  Parts p;
  if (!Split(m_value, p)) return;
  m_bPM = p.hour >= 12;
  for (int i = m_nFixed; i < GetGadgetCount(); ++i) {
    CGXBDTGadget* g = GetGadget(i);
    const int id = g->GetFieldId();
    if (id <= 0 || !(static_cast<UINT>(id) & mask)) continue;
    int v = 0;
    switch (id) {
      case GXDT_DAY: v = p.day; break;
      case GXDT_HOUR12: v = p.hour % 12 == 0 ? 12 : p.hour % 12; break;
      case GXDT_HOUR24: v = p.hour; break;
      case GXDT_MINUTE: v = p.minute; break;
      case GXDT_SECOND: v = p.second; break;
      case GXDT_AMPM: v = m_bPM ? 1 : 0; break;
      case GXDT_WEEKDAY: v = p.weekday - 1; break;
      case GXDT_MONTH: v = p.month; break;
      case GXDT_MONTHNAME: v = p.month - 1; break;
      case GXDT_YEAR2: v = p.year % 100; break;
      case GXDT_YEAR4: v = p.year; break;
      default: continue;
    }
    g->SetValue(v, m_hWnd != nullptr);
  }
}

COleDateTime CGXBDateTimeCtrl::Reduced(const COleDateTime& value) const {
  Parts p;
  if (m_nValidationMode == 3 || !Split(value, p)) return value;
  if (m_nValidationMode == 1) return COleDateTime(1899, 12, 30, p.hour, p.minute, p.second);
  return COleDateTime(p.year, p.month, p.day, 0, 0, 0);
}

BOOL CGXBDateTimeCtrl::IsInRange(const COleDateTime& value) const {
  if (m_nValidationMode == 0) return TRUE;
  const COleDateTime r = Reduced(value);
  if (r.GetStatus() != COleDateTime::valid) return FALSE;
  if (r >= m_min && r <= m_max) return TRUE;
  const double distance = r < m_min ? (m_min - r).GetTotalSeconds() : (r - m_max).GetTotalSeconds();
  return static_cast<long long>(std::abs(distance) + 0.5) == 0;
}

BOOL CGXBDateTimeCtrl::Validate(COleDateTime& value, int level) {
  if (value.GetStatus() != COleDateTime::valid) return FALSE;
  if (m_nValidationMode == 0 || IsInRange(value)) return TRUE;
  const COleDateTime reduced = Reduced(value);
  const COleDateTime& bound = reduced < m_min ? m_min : m_max;
  if (level == 0 || level < -1 || level > 5) return FALSE;
  Parts r, b, v;
  if (!Split(reduced, r) || !Split(bound, b) || !Split(value, v)) return FALSE;
  const bool agrees[6] = {true,
                          r.minute == b.minute && r.hour == b.hour && r.day == b.day && r.month == b.month &&
                              r.year == b.year,
                          r.hour == b.hour && r.day == b.day && r.month == b.month && r.year == b.year,
                          r.day == b.day && r.month == b.month && r.year == b.year,
                          r.month == b.month && r.year == b.year,
                          r.year == b.year};
  if (level > 0 && !agrees[level]) return FALSE;
  // The fields at and below the level come from the bound; a range of times only keeps the value's date and
  // a range of dates only its time.
  const bool dates = m_nValidationMode != 1, times = m_nValidationMode != 2;
  const int depth = level == -1 ? 6 : level;
  if (times && depth >= 1) v.second = b.second;
  if (times && depth >= 2) v.minute = b.minute;
  if (times && depth >= 3) v.hour = b.hour;
  if (dates && depth >= 4) v.day = b.day;
  if (dates && depth >= 5) v.month = b.month;
  if (dates && depth >= 6) v.year = b.year;
  const COleDateTime rebuilt = Build(v);
  if (rebuilt.GetStatus() != COleDateTime::valid || !IsInRange(rebuilt)) return FALSE;
  value = rebuilt;
  return TRUE;
}

BOOL CGXBDateTimeCtrl::SetValidationRange(const COleDateTime& minimum, const COleDateTime& maximum, UINT mode) {
  if (minimum.GetStatus() != COleDateTime::valid || maximum.GetStatus() != COleDateTime::valid || maximum < minimum)
    return FALSE;
  COleDateTime lo = minimum, hi = maximum;
  Parts a, b;
  Split(lo, a), Split(hi, b);
  if (mode == 1) {
    lo = COleDateTime(1899, 12, 30, a.hour, a.minute, a.second);
    hi = COleDateTime(1899, 12, 30, b.hour, b.minute, b.second);
  } else if (mode == 2) {
    lo = COleDateTime(a.year, a.month, a.day, 0, 0, 0);
    hi = COleDateTime(b.year, b.month, b.day, 0, 0, 0);
  }
  // Times alone can come out in the wrong order (18:00 on one day to 8:00 on the next): refused.
  if (lo.GetStatus() != COleDateTime::valid || hi.GetStatus() != COleDateTime::valid || hi < lo) return FALSE;
  const COleDateTime oldMin = m_min, oldMax = m_max;
  const UINT oldMode = m_nValidationMode;
  m_min = lo, m_max = hi, m_nValidationMode = mode;
  COleDateTime value = m_value;
  if (!Validate(value, -1)) {
    m_min = oldMin, m_max = oldMax, m_nValidationMode = oldMode;
    return FALSE;
  }
  if (m_hWnd)
    ApplyDateTime(value);
  else
    m_value = value;
  return TRUE;
}

BOOL CGXBDateTimeCtrl::OnChanging(const COleDateTime&) { return TRUE; }

void CGXBDateTimeCtrl::OnChanged() {
  if (!m_hWnd || (GetExStyle() & WS_EX_NOPARENTNOTIFY)) return;
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), GXDT_CHANGED), reinterpret_cast<LPARAM>(m_hWnd));
}

int CGXBDateTimeCtrl::GetCentury(int twoDigitYear) {
  if (GetStyle() & kCenturyOfValue) {
    const int year = m_value.GetStatus() == COleDateTime::valid ? m_value.GetYear()
                                                                  : COleDateTime::GetCurrentTime().GetYear();
    return year / 100 * 100;
  }
  CString text = COleDateTime(1999, 1, 1, 0, 0, 0).Format(VAR_DATEVALUEONLY, LANG_USER_DEFAULT);
  CString year;
  year.Format("%d", twoDigitYear);
  int at = text.Find("1999");
  int length = 4;
  if (at < 0) at = text.Find("99"), length = 2;
  if (at < 0) return 1900;
  text = text.Left(at) + year + text.Mid(at + length);
  COleDateTime parsed;
  if (!parsed.ParseDateTime(text, 0, LANG_USER_DEFAULT)) return 1900;
  return parsed.GetYear() - twoDigitYear;
}

// ---- Format and gadgets

void CGXBDateTimeCtrl::SetFormatType(int type) {
  m_strCustomFormat.Empty();
  m_nFormatType = type;
  Rebuild();
}

void CGXBDateTimeCtrl::SetCustomFormat(const CString& format) {
  m_strCustomFormat = format;
  m_nFormatType = Custom;
  Rebuild();
}

void CGXBDateTimeCtrl::SetNoEditFields(UINT mask) {
  m_nNoEdit = mask;
  Rebuild();
}

CString CGXBDateTimeCtrl::FormatText() const {
  switch (m_nFormatType) {
    case Custom: return m_strCustomFormat;
    case Time: return LocaleText(LOCALE_STIMEFORMAT);
    case ShortDate: return LocaleText(LOCALE_SSHORTDATE);
    case LongDate: return LocaleText(LOCALE_SLONGDATE);
    case DateTime: return LocaleText(LOCALE_SSHORTDATE) + " " + LocaleText(LOCALE_STIMEFORMAT);
    default: return CString();
  }
}

void CGXBDateTimeCtrl::DeleteFieldGadgets() {
  for (int i = GetGadgetCount() - 1; i >= m_nFixed; --i) {
    delete GetGadget(i);
    m_gadgets.RemoveAt(i);
  }
}

void CGXBDateTimeCtrl::Rebuild() {
  if (!m_hWnd) return;
  if (m_pCapture) ReleaseMouse(m_pCapture);
  DeletePopupCalendar();
  m_nCurrent = 0;
  m_nScroll = 0;
  DeleteFieldGadgets();
  BuildGadgets();
  LayoutGadgets();
  Invalidate();
}

void CGXBDateTimeCtrl::BuildGadgets() {
  const CString format = FormatText();
  m_bDateFormat = FALSE;
  CString literal;
  auto flush = [&] {
    if (literal.IsEmpty()) return;
    auto* g = new CGXBDTStaticGadget;
    g->Init(this, literal);
    m_gadgets.Add(g);
    literal.Empty();
  };
  auto numeric = [&](int lo, int hi, BOOL zeros, int id, UINT noEdit) {
    auto* g = new CGXBDTNumericGadget;
    g->Init(this, lo, hi, 0, zeros, id);
    if (m_nNoEdit & noEdit) g->SetFlags(g->GetFlags() & ~CGXBDTGadget::kEditable);
    m_gadgets.Add(g);
  };
  auto list = [&](const CStringArray& entries, int id, UINT noEdit) {
    auto* g = new CGXBDTListGadget;
    g->Init(this, entries, 0, id);
    if (m_nNoEdit & noEdit) g->SetFlags(g->GetFlags() & ~CGXBDTGadget::kEditable);
    m_gadgets.Add(g);
  };
  const int length = format.GetLength();
  for (int i = 0; i < length;) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const int end = format.Find(c, i + 1);
      const int stop = end < 0 ? length : end;
      flush();
      literal = format.Mid(i + 1, stop - i - 1);
      flush();
      i = stop + 1;
      continue;
    }
    if (!strchr("hHmstdMyg", c) || c == '\0') {
      const int n = (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < length) ? 2 : 1;
      literal += format.Mid(i, n);
      i += n;
      continue;
    }
    int repeat = 1;
    while (i + repeat < length && format[i + repeat] == c) ++repeat;
    i += repeat;
    if (c == 'd' || c == 'M' || c == 'y' || c == 'g') m_bDateFormat = TRUE;
    if (c == 'g') continue;  // the era is not shown
    flush();
    switch (c) {
      case 'h': numeric(1, 12, repeat >= 2, GXDT_HOUR12, kNoHour); break;
      case 'H': numeric(0, 23, repeat >= 2, GXDT_HOUR24, kNoHour); break;
      case 'm': numeric(0, 59, repeat >= 2, GXDT_MINUTE, kNoMinute); break;
      case 's': numeric(0, 59, repeat >= 2, GXDT_SECOND, kNoSecond); break;
      case 't': {
        CStringArray entries;
        for (LCTYPE type : {LOCALE_S1159, LOCALE_S2359}) {
          const CString text = LocaleText(type);
          entries.Add(repeat == 1 ? text.Left(1) : text);
        }
        list(entries, GXDT_AMPM, kNoHour);
        break;
      }
      case 'd':
        if (repeat <= 2) {
          numeric(1, 31, repeat == 2, GXDT_DAY, kNoDay);
        } else {
          CStringArray entries;
          for (int day = 1; day <= 7; ++day) {
            CString name;
            CGXBCalendar::GetLocaleDayName(name, day, repeat >= 4);
            entries.Add(name);
          }
          list(entries, GXDT_WEEKDAY, kNoDay);
        }
        break;
      case 'M':
        if (repeat <= 2) {
          numeric(1, 12, repeat == 2, GXDT_MONTH, kNoMonth);
        } else {
          CStringArray entries;
          for (int month = 1; month <= 12; ++month) {
            CString name;
            CGXBCalendar::GetLocaleMonthName(name, month, repeat >= 4);
            entries.Add(name);
          }
          list(entries, GXDT_MONTHNAME, kNoMonth);
        }
        break;
      case 'y':
        if (repeat <= 2)
          numeric(0, 99, repeat == 2, GXDT_YEAR2, kNoYear);
        else
          numeric(0, 9999, FALSE, GXDT_YEAR4, kNoYear);
        break;
      default: break;
    }
  }
  flush();
  UpdateGadgets(0xFFFF);
  if (m_nCurrent < m_nFixed || m_nCurrent >= GetGadgetCount() || !GetGadget(m_nCurrent)->IsEditable()) {
    const int first = FirstEditable();
    m_nCurrent = first >= 0 ? first : m_nFixed;
  }
}

CGXBDTGadget* CGXBDateTimeCtrl::CurrentGadget() const {
  return m_nCurrent >= m_nFixed && m_nCurrent < GetGadgetCount() ? GetGadget(m_nCurrent) : nullptr;
}

int CGXBDateTimeCtrl::NextEditable(int from) const {
  for (int i = std::max(from + 1, m_nFixed); i < GetGadgetCount(); ++i)
    if (GetGadget(i)->IsEditable()) return i;
  return -1;
}

int CGXBDateTimeCtrl::PrevEditable(int from) const {
  for (int i = std::min(from - 1, GetGadgetCount() - 1); i >= m_nFixed; --i)
    if (GetGadget(i)->IsEditable()) return i;
  return -1;
}

void CGXBDateTimeCtrl::SetCurrentGadget(int index, BOOL activate) {
  if (index < m_nFixed || index >= GetGadgetCount()) return;
  if (CGXBDTGadget* old = CurrentGadget(); old && index != m_nCurrent) old->SetActive(FALSE);
  m_nCurrent = index;
  if (activate) GetGadget(index)->SetActive(TRUE);
  MakeCurrentVisible();
}

void CGXBDateTimeCtrl::LayoutGadgets() {
  if (!m_hWnd) return;
  CClientDC dc(this);
  const HGDIOBJ old = dc.SelectObject(static_cast<HGDIOBJ>(m_hFont ? m_hFont : GetStockObject(SYSTEM_FONT)));
  CRect client;
  GetClientRect(&client);
  int x = 1;
  for (int i = m_nFixed; i < GetGadgetCount(); ++i) {
    CGXBDTGadget* g = GetGadget(i);
    g->CalcSize(dc);
    const int w = g->GetRect().Width();
    const int h = g->GetRect().Height() == -1 ? client.Height() : g->GetRect().Height();
    g->SetRect(CRect(x, 1, x + w, 1 + h));
    x += w;
  }
  int right = client.right;
  m_nFixedWidth = 0;
  for (int i = 0; i < m_nFixed; ++i) {
    CGXBDTGadget* g = GetGadget(i);
    g->CalcSize(dc);
    const int w = g->GetRect().Width();
    const int h = g->GetRect().Height() == -1 ? client.Height() : g->GetRect().Height();
    g->SetRect(CRect(right - w, 0, right, h));
    right -= w;
    m_nFixedWidth += w;
  }
  dc.SelectObject(old);
  MakeCurrentVisible();
}

void CGXBDateTimeCtrl::MakeCurrentVisible() {
  CGXBDTGadget* g = CurrentGadget();
  if (!g || !m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  const int left = client.left + 1 + m_nScroll, right = client.right - 1 - m_nFixedWidth + m_nScroll;
  const CRect& r = g->GetRect();
  if (r.left >= left && r.right <= right) return;
  if (r.left < left) {
    m_nScroll = r.left;
  } else {
    m_nScroll += r.right - right;
    if (r.left < client.left + 1 + m_nScroll) m_nScroll = r.left;
  }
  Invalidate();
}

int CGXBDateTimeCtrl::GadgetAt(CPoint point) const {
  for (int i = 0; i < m_nFixed; ++i) {
    const CGXBDTGadget* g = GetGadget(i);
    if ((g->IsEditable() || g->TakesMouse()) && g->GetRect().PtInRect(point)) return i;
  }
  int last = -1;
  for (int i = m_nFixed; i < GetGadgetCount(); ++i) {
    const CGXBDTGadget* g = GetGadget(i);
    if (!(g->IsEditable() || g->TakesMouse())) continue;
    if (g->GetRect().right >= point.x + m_nScroll) return i;
    last = i;
  }
  return last;
}

void CGXBDateTimeCtrl::InvalidateGadget(CGXBDTGadget* gadget, BOOL now) {
  if (!m_hWnd) return;
  CRect r = gadget->GetRect();
  if (!gadget->IsFixed()) r.OffsetRect(-m_nScroll, 0);
  InvalidateRect(&r, FALSE);
  if (now) UpdateWindow();
}

void CGXBDateTimeCtrl::CaptureMouse(CGXBDTGadget* gadget) {
  m_pCapture = gadget;
  if (m_hWnd) SetCapture();
}

void CGXBDateTimeCtrl::ReleaseMouse(CGXBDTGadget* gadget) {
  if (m_pCapture != gadget) return;
  m_pCapture = nullptr;
  if (m_hWnd && ::GetCapture() == m_hWnd) ReleaseCapture();
}

// ---- Changes

BOOL CGXBDateTimeCtrl::OnGadgetNotify(UINT code, int fieldId, int value) {
  if (code == GXDT_TYPING) {
    value ? m_nState |= kTyping : m_nState &= ~kTyping;
    return TRUE;
  }
  if (code == GXDT_COMPLETE && IsFastInput()) {
    const int next = NextEditable(m_nCurrent);
    if (next >= 0) SetCurrentGadget(next, ::GetFocus() == m_hWnd);
    return TRUE;
  }
  if (fieldId == GXDT_DROPDOWN) return code == GXDT_CLICKED ? PopupCalendar(0, 0, 0) : FALSE;
  if (fieldId == GXDT_SPIN) {
    const CGXBDTGadget* current = CurrentGadget();
    return current && current->GetFieldId() > 0 ? ChangeField(code, current->GetFieldId(), value) : FALSE;
  }
  return ChangeField(code, fieldId, value);
}

BOOL CGXBDateTimeCtrl::ChangeField(UINT code, int fieldId, int value) {
  Parts p;
  if (!Split(m_value, p)) return FALSE;
  COleDateTime next;
  bool dateChanged = false, direct = false;
  int level = 0;
  const bool up = code == GXDT_UP || code == GXDT_UP_STEP, down = code == GXDT_DOWN || code == GXDT_DOWN_STEP;
  const bool set = code == GXDT_ACCEPTS || code == GXDT_SET;
  const int given = (code == GXDT_UP_STEP || code == GXDT_DOWN_STEP) ? value : 1;
  const int step = std::min(given, 2);
  switch (fieldId) {
    case GXDT_HOUR12:
    case GXDT_HOUR24:
      level = (code == GXDT_FIRST || code == GXDT_LAST) ? 3 : 2;
      if (up) p.hour = Wrap(p.hour + step, 24);
      if (down) p.hour = Wrap(p.hour - step, 24);
      if (set) {
        if (fieldId == GXDT_HOUR24) {
          if (value < 0 || value > 23) return FALSE;
          p.hour = value;
        } else {
          if (value < 1 || value > 12) return FALSE;
          p.hour = value % 12 + (p.hour >= 12 ? 12 : 0);
        }
      }
      if (code == GXDT_FIRST) p.hour = 0;
      if (code == GXDT_LAST) p.hour = 23;
      break;
    case GXDT_MINUTE:
    case GXDT_SECOND: {
      int& part = fieldId == GXDT_MINUTE ? p.minute : p.second;
      level = (fieldId == GXDT_MINUTE ? 1 : 0) + ((code == GXDT_FIRST || code == GXDT_LAST) ? 1 : 0);
      if (up) part = Wrap(part + step, 60);
      if (down) part = Wrap(part - step, 60);
      if (set) {
        if (value < 0 || value > 59) return FALSE;
        part = value;
      }
      if (code == GXDT_FIRST) part = 0;
      if (code == GXDT_LAST) part = 59;
      break;
    }
    case GXDT_AMPM:
      level = 2;
      if (up || down) p.hour = Wrap(p.hour + 12, 24);
      if (set) {
        if (value != 0 && value != 1) return FALSE;
        if (value == 1 && p.hour < 12) p.hour += 12;
        if (value == 0 && p.hour >= 12) p.hour -= 12;
      }
      if (code == GXDT_FIRST && p.hour >= 12) p.hour -= 12;
      if (code == GXDT_LAST && p.hour < 12) p.hour += 12;
      break;
    case GXDT_DAY:
    case GXDT_WEEKDAY: {
      level = (code == GXDT_FIRST || code == GXDT_LAST) ? 4 : 3;
      dateChanged = true;
      if (up) {
        p.day += step;
        if (Build(p).GetStatus() != COleDateTime::valid) p.day = 1;
      }
      if (down) {
        p.day -= step;
        if (p.day < 1) p.day = 31;
      }
      if (fieldId == GXDT_DAY) {
        if (set) {
          p.day = value;
          if (Build(p).GetStatus() != COleDateTime::valid) return FALSE;
        }
        if (code == GXDT_FIRST) p.day = 1;
        if (code == GXDT_LAST) p.day = 31;
      } else if (set || code == GXDT_FIRST || code == GXDT_LAST) {
        // The weekday moves the date within its week (Sunday first).
        if (set && (value < 0 || value > 6)) return FALSE;
        const int target = set ? value : code == GXDT_FIRST ? 0 : 6;
        next = m_value + COleDateTimeSpan(target - (p.weekday - 1), 0, 0, 0);
        direct = true;
        dateChanged = false;
      }
      break;
    }
    case GXDT_MONTH:
    case GXDT_MONTHNAME:
      level = (code == GXDT_FIRST || code == GXDT_LAST) ? 5 : 4;
      dateChanged = true;
      if (up) p.month = p.month % 12 + 1;
      if (down) p.month = p.month == 1 ? 12 : p.month - 1;
      if (set) {
        const int month = fieldId == GXDT_MONTH ? value : value + 1;
        if (month < 1 || month > 12) return FALSE;
        p.month = month;
      }
      if (code == GXDT_FIRST) p.month = 1;
      if (code == GXDT_LAST) p.month = 12;
      break;
    case GXDT_YEAR2:
    case GXDT_YEAR4:
      level = 5;
      dateChanged = true;
      if (up) p.year = std::min(p.year + given, 9999);
      if (down) p.year = std::max(p.year - given, 100);
      if (set) p.year = fieldId == GXDT_YEAR4 ? value : value + GetCentury(value);
      if (code == GXDT_FIRST) p.year = m_min.GetYear();
      if (code == GXDT_LAST) p.year = m_max.GetYear();
      break;
    default: return FALSE;
  }
  if (!direct) {
    // A day the new month lacks is lowered to fit, except after a typed year: 29 February typed into a
    // year without it is refused (the date typed does not exist), never made the 28th without a word.
    const bool typedYear = set && (fieldId == GXDT_YEAR2 || fieldId == GXDT_YEAR4);
    if (dateChanged)
      while (p.day > (typedYear ? 29 : 28) && Build(p).GetStatus() != COleDateTime::valid) --p.day;
    next = Build(p);
  }
  if (next.GetStatus() != COleDateTime::valid) return FALSE;
  if (!Validate(next, level)) return FALSE;
  if (code == GXDT_ACCEPTS) return TRUE;
  if (!OnChanging(next)) return FALSE;
  m_nState |= kModified;
  ApplyDateTime(next);
  OnChanged();
  if (m_hWnd) UpdateWindow();
  return TRUE;
}

// ---- Popup calendar

CGXBPopupCalendar* CGXBDateTimeCtrl::CreatePopupCalendar() {
  m_pPopup = new CGXBPopupCalendar;
  return m_pPopup;
}

void CGXBDateTimeCtrl::DeletePopupCalendar() {
  CGXBPopupCalendar* popup = m_pPopup;
  m_pPopup = nullptr;
  if (!popup) return;
  if (popup->m_hWnd) popup->DestroyWindow();
  delete popup;
}

BOOL CGXBDateTimeCtrl::PopupCalendar(UINT, int, int) {
  if (CGXBDTGadget* current = CurrentGadget()) current->OnCancelMode();
  gx::SetPopupActive(TRUE);
  DeletePopupCalendar();
  CGXBPopupCalendar* popup = CreatePopupCalendar();
  popup->SetDeactivateMode(2);
  popup->SetCalendarFlags(popup->GetCalendarFlags() | 0x1000200);
  popup->SetOtherMonthStyle(popup->GetOtherMonthStyle() | 0x102);
  popup->SetDisplayDate(m_value, FALSE);
  popup->HighlightDate(m_value, TRUE);
  CRect r;
  GetWindowRect(&r);
  if (!popup->CreatePopup(0x90040001, r, this)) DeletePopupCalendar();
  gx::SetPopupActive(FALSE);
  return TRUE;
}

// ---- Messages

void CGXBDateTimeCtrl::OnKeyDownMessage(UINT key) {
  switch (key) {
    case VK_LEFT: {
      const int prev = PrevEditable(m_nCurrent);
      if (prev >= 0) SetCurrentGadget(prev);
      break;
    }
    case VK_RIGHT: {
      const int next = NextEditable(m_nCurrent);
      if (next >= 0) SetCurrentGadget(next);
      break;
    }
    case VK_F4:
      if (GetStyle() & kDropDown) PopupCalendar(0, 0, 0);
      break;
    case VK_TAB: {
      const int to = GetKeyState(VK_SHIFT) < 0 ? PrevEditable(m_nCurrent) : NextEditable(m_nCurrent);
      if (to >= 0) SetCurrentGadget(to);
      break;
    }
    default:
      if (CGXBDTGadget* g = CurrentGadget()) g->OnKeyDown(key);
      break;
  }
}

void CGXBDateTimeCtrl::OnCharMessage(UINT ch) {
  if (ch == '\t') return;
  if (m_nCurrent + 1 < GetGadgetCount() && m_nCurrent >= m_nFixed) {
    const CGXBDTGadget* next = GetGadget(m_nCurrent + 1);
    if (next->GetFieldId() == GXDT_LITERAL) {
      CString text = next->GetText();
      text.Trim();
      if ((text.GetLength() == 1 && static_cast<unsigned char>(text[0]) == ch) || (text.IsEmpty() && ch == ' ')) {
        const int to = NextEditable(m_nCurrent);
        if (to >= 0) SetCurrentGadget(to);
        return;
      }
    }
  }
  if (CGXBDTGadget* g = CurrentGadget()) g->OnChar(ch);
}

void CGXBDateTimeCtrl::OnSetFocusMessage() {
  if (GetGadgetCount() <= m_nFixed) return;
  if (GetKeyState(VK_TAB) < 0) {
    if (CGXBDTGadget* g = CurrentGadget()) g->SetActive(FALSE);
    const int to = GetKeyState(VK_SHIFT) < 0 ? LastEditable() : FirstEditable();
    if (to >= 0) SetCurrentGadget(to);
  } else if (CGXBDTGadget* g = CurrentGadget()) {
    g->SetActive(TRUE);
  }
}

void CGXBDateTimeCtrl::OnLButtonDownMessage(UINT flags, CPoint point) {
  const int hit = GadgetAt(point);
  if (hit < 0) return;
  CGXBDTGadget* g = GetGadget(hit);
  if (::GetFocus() != m_hWnd) {
    if (g->IsEditable() && !g->IsFixed()) {
      if (CGXBDTGadget* old = CurrentGadget()) old->SetActive(FALSE);
      m_nCurrent = hit;
      MakeCurrentVisible();
    }
    SetFocus();
  } else if (g->IsEditable() && !g->IsFixed() && hit != m_nCurrent) {
    SetCurrentGadget(hit);
  }
  if (g->TakesMouse()) g->OnLButtonDown(flags, g->IsFixed() ? point : CPoint(point.x + m_nScroll, point.y));
}

void CGXBDateTimeCtrl::Paint() {
  CPaintDC paint(this);
  m_crBack = IsWindowEnabled() ? CGXSysColorTable::GetColor(COLOR_WINDOW) : CGXSysColorTable::GetColor(m_nDisabledColor);
  CRect client;
  GetClientRect(&client);
  CRect clip;
  paint.GetClipBox(&clip);
  CDC memory;
  CBitmap bitmap;
  if (client.Width() > 0 && client.Height() > 0 && memory.CreateCompatibleDC(&paint) &&
      bitmap.CreateCompatibleBitmap(&paint, client.Width(), client.Height())) {
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(&client, m_crBack);
    gx::ThemeOwnerScope owner(m_hWnd);
    Draw(memory);
    paint.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &memory, clip.left, clip.top, SRCCOPY);
    memory.SelectObject(old);
  } else {
    paint.FillSolidRect(&client, m_crBack);
    Draw(paint);
  }
}

void CGXBDateTimeCtrl::Draw(CDC& dc) {
  const HGDIOBJ oldFont = dc.SelectObject(static_cast<HGDIOBJ>(m_hFont ? m_hFont : GetStockObject(SYSTEM_FONT)));
  const int saved = dc.SaveDC();
  for (int i = 0; i < m_nFixed; ++i) {
    CGXBDTGadget* g = GetGadget(i);
    CRect r = g->GetRect();
    if (!dc.RectVisible(&r)) continue;
    g->Draw(dc);
    dc.ExcludeClipRect(&r);
  }
  const CPoint origin = dc.SetViewportOrg(-m_nScroll, 0);
  const int oldMode = dc.SetBkMode(TRANSPARENT);
  const COLORREF oldText = dc.SetTextColor(m_crRowText), oldBk = dc.SetBkColor(m_crRowBack);
  for (int i = m_nFixed; i < GetGadgetCount(); ++i) {
    CGXBDTGadget* g = GetGadget(i);
    CRect r = g->GetRect();
    if (dc.RectVisible(&r)) g->Draw(dc);
  }
  dc.SetBkColor(oldBk), dc.SetTextColor(oldText), dc.SetBkMode(oldMode);
  dc.SetViewportOrg(origin);
  dc.RestoreDC(saved);
  dc.SelectObject(oldFont);
}

LRESULT CGXBDateTimeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  const bool hasFields = GetGadgetCount() > m_nFixed;
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_SETFOCUS: {
      const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
      OnSetFocusMessage();
      return result;
    }
    case WM_KILLFOCUS:
      if (CGXBDTGadget* g = CurrentGadget()) g->SetActive(FALSE);
      break;
    case WM_KEYDOWN:
      if (!hasFields) break;
      OnKeyDownMessage(static_cast<UINT>(wParam));
      return 0;
    case WM_SYSKEYDOWN:
      if (hasFields && wParam == VK_DOWN) {
        if (GetStyle() & kDropDown) PopupCalendar(0, 0, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (!hasFields) break;
      OnCharMessage(static_cast<UINT>(wParam));
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
      if (GetGadgetCount() == 0) break;
      OnLButtonDownMessage(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_CANCELMODE:
      if (CGXBDTGadget* g = m_pCapture) {
        const CPoint at = g->IsFixed() ? pt : CPoint(pt.x + m_nScroll, pt.y);
        if (message == WM_LBUTTONUP) g->OnLButtonUp(static_cast<UINT>(wParam), at);
        if (message == WM_MOUSEMOVE) g->OnMouseMove(static_cast<UINT>(wParam), at);
        if (message == WM_CANCELMODE) g->OnCancelMode();
        return 0;
      }
      break;
    case WM_SIZE:
      LayoutGadgets();
      Invalidate();
      break;
    case WM_SETFONT:
      m_hFont = reinterpret_cast<HFONT>(wParam);
      LayoutGadgets();
      Invalidate();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_ENABLE: Invalidate(); break;
    case WM_SYSCOLORCHANGE:
      CGXSysColorTable::Refresh();
      for (int i = 0; i < GetGadgetCount(); ++i) GetGadget(i)->OnSysColorChange();
      break;
    case WM_SETTINGCHANGE: Rebuild(); return 0;
    case WM_DESTROY:
      if (m_pCapture) ReleaseMouse(m_pCapture);
      DeletePopupCalendar();
      m_nCurrent = m_nFixed;
      m_nScroll = 0;
      break;
    case WM_NCCALCSIZE:
      if (GetExStyle() & WS_EX_CLIENTEDGE) {
        RECT& r = *reinterpret_cast<RECT*>(lParam);
        InflateRect(&r, -2, -2);
        return 0;
      }
      break;
    case WM_NCPAINT:
      if (GetExStyle() & WS_EX_CLIENTEDGE) {
        if (HDC hdc = GetDCEx(m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE)) {
          CDC* dc = CDC::FromHandle(hdc);
          CRect r;
          GetWindowRect(&r);
          r.OffsetRect(-r.left, -r.top);
          dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_BTNSHADOW), CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT));
          r.DeflateRect(1, 1);
          dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_3DDKSHADOW), CGXSysColorTable::GetColor(COLOR_BTNFACE));
          ::ReleaseDC(m_hWnd, hdc);
        }
        return 0;
      }
      break;
    case GX_WM_CAL_CHOSEN: {
      if (!m_pPopup) return 0;
      const COleDateTime date = m_pPopup->GetHighlightedDate();
      Parts p;
      if (date.GetStatus() == COleDateTime::valid && Split(m_value, p)) {
        const COleDateTime next(date.GetYear(), date.GetMonth(), date.GetDay(), p.hour, p.minute, p.second);
        if (next.GetStatus() == COleDateTime::valid && IsInRange(next) && OnChanging(next)) {
          m_nState |= kModified;
          ApplyDateTime(next);
          OnChanged();
        }
      }
      DeletePopupCalendar();
      if (m_hWnd && IsWindowVisible()) SetFocus();
      return 0;
    }
    case GX_WM_CAL_CANCELLED:
      if (!m_pPopup) return 0;
      DeletePopupCalendar();
      if (m_hWnd && IsWindowVisible()) SetFocus();
      return 0;
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
