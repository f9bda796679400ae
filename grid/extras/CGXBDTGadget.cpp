#include "grid/extras/CGXBDTGadget.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "foundation/VisualStyles.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/extras/CGXBDateTimeCtrl.h"
#include "grid/extras/GXThemeOwner.h"
#include "platform/base/StringApi.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CGXBDTGadget, CObject)
IMPLEMENT_DYNAMIC(CGXBDTStaticGadget, CGXBDTGadget)
IMPLEMENT_DYNAMIC(CGXBDTNumericGadget, CGXBDTGadget)
IMPLEMENT_DYNAMIC(CGXBDTListGadget, CGXBDTGadget)
IMPLEMENT_DYNAMIC(CGXBDTSpinGadget, CGXBDTGadget)
IMPLEMENT_DYNAMIC(CGXBDTButtonGadget, CGXBDTGadget)

namespace {

constexpr UINT kDrawFlags = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;  // 2592

// Timer id -> gadget, for the thread timers of every gadget.
std::map<UINT_PTR, CGXBDTGadget*>& TimerMap() {
  static std::map<UINT_PTR, CGXBDTGadget*> map;
  return map;
}

void GadgetTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto& map = TimerMap();
  const auto it = map.find(id);
  if (it != map.end()) it->second->OnTimer();
}

HWND ThemedWindow(CDC& dc) { return gx::ThemedOwner(dc); }

bool IsStepKey(UINT key) {
  return key == VK_END || key == VK_HOME || key == VK_UP || key == VK_ADD || key == VK_DOWN || key == VK_SUBTRACT;
}

bool IsDigitKey(UINT key) { return (key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9); }

// Case-insensitive "begins with", a double-byte character compared as a whole.
bool BeginsWith(const CString& entry, const CString& prefix) {
  if (prefix.GetLength() > entry.GetLength()) return false;
  CString a = entry.Left(prefix.GetLength()), b = prefix;
  a.MakeUpper();
  b.MakeUpper();
  return a == b;
}

}  // namespace

// ---- Base

CGXBDTGadget::~CGXBDTGadget() { StopTimer(); }

BOOL CGXBDTGadget::SetActive(BOOL active) {
  if (!IsEditable()) return FALSE;
  if ((active != FALSE) != (m_bActive != FALSE)) {
    m_bActive = active;
    Redraw();
  }
  return TRUE;
}

void CGXBDTGadget::SetValue(int value, BOOL redraw) {
  m_nValue = value;
  if (redraw) Redraw();
}

BOOL CGXBDTGadget::NotifyStepKey(UINT key) {
  switch (key) {
    case VK_END: return Notify(GXDT_LAST);
    case VK_HOME: return Notify(GXDT_FIRST);
    case VK_UP: case VK_ADD: return Notify(GXDT_UP);
    case VK_DOWN: case VK_SUBTRACT: return Notify(GXDT_DOWN);
    default: return FALSE;
  }
}

BOOL CGXBDTGadget::Notify(UINT code, int value) {
  return m_pOwner ? m_pOwner->OnGadgetNotify(code, m_nFieldId, value) : FALSE;
}

void CGXBDTGadget::Redraw() {
  if (m_pOwner) m_pOwner->InvalidateGadget(this, TRUE);
}

BOOL CGXBDTGadget::StartTimer(UINT ms) {
  StopTimer();
  const UINT_PTR id = SetTimer(nullptr, 0, ms, GadgetTimerProc);
  if (!id) return FALSE;
  TimerMap()[id] = this;
  return TRUE;
}

void CGXBDTGadget::StopTimer() {
  auto& map = TimerMap();
  for (auto it = map.begin(); it != map.end(); ++it)
    if (it->second == this) {
      KillTimer(nullptr, it->first);
      map.erase(it);
      return;
    }
}

BOOL CGXBDTGadget::HasTimer() const {
  for (const auto& entry : TimerMap())
    if (entry.second == this) return TRUE;
  return FALSE;
}

CSize CGXBDTGadget::MeasureText(CDC& dc, const CString& text) {
  CRect r(0, 0, 0, 0);
  dc.DrawText(text, &r, DT_CALCRECT | kDrawFlags);
  return r.Size();
}

void CGXBDTGadget::DrawFieldText(CDC& dc, const CString& text) {
  CRect r = m_rect;
  if (m_bActive) {
    const COLORREF oldText = dc.SetTextColor(CGXSysColorTable::GetColor(COLOR_HIGHLIGHTTEXT));
    const COLORREF oldBk = dc.SetBkColor(CGXSysColorTable::GetColor(COLOR_HIGHLIGHT));
    const int oldMode = dc.SetBkMode(OPAQUE);
    dc.FillSolidRect(&r, CGXSysColorTable::GetColor(COLOR_HIGHLIGHT));
    dc.DrawText(text, &r, kDrawFlags | DT_CENTER);
    dc.SetBkMode(oldMode);
    dc.SetBkColor(oldBk);
    dc.SetTextColor(oldText);
  } else {
    dc.DrawText(text, &r, kDrawFlags | DT_CENTER);
  }
}

// ---- Literal text

void CGXBDTStaticGadget::Init(CGXBDateTimeCtrl* owner, const CString& text, int fieldId) {
  m_pOwner = owner;
  m_strText = text;
  m_nFieldId = fieldId;
}

void CGXBDTStaticGadget::CalcSize(CDC& dc) {
  const CSize size = MeasureText(dc, m_strText);
  m_rect.SetRect(0, 0, size.cx, size.cy);
}

void CGXBDTStaticGadget::Draw(CDC& dc) {
  CRect r = m_rect;
  dc.DrawText(m_strText, &r, kDrawFlags);
}

// ---- Numeric field

void CGXBDTNumericGadget::Init(CGXBDateTimeCtrl* owner, int minimum, int maximum, int value, BOOL leadingZeros,
                               int fieldId) {
  m_pOwner = owner;
  m_nMin = minimum;
  m_nMax = maximum;
  m_nValue = value;
  m_bLeadingZeros = leadingZeros;
  m_nFieldId = fieldId;
  m_nDigits = maximum < 10 ? 1 : maximum < 100 ? 2 : maximum < 1000 ? 3 : 4;
}

CString CGXBDTNumericGadget::Format(int value) const {
  // Formatted directly: every cell drawn formats its fields.
  char text[24];
  if (m_bLeadingZeros)
    std::snprintf(text, sizeof text, "%0*d", m_nDigits, value);
  else
    std::snprintf(text, sizeof text, "%d", value);
  return CString(text);
}

CString CGXBDTNumericGadget::GetText() const { return Format(m_nValue); }

void CGXBDTNumericGadget::CalcSize(CDC& dc) {
  const CSize size = MeasureText(dc, CString("00000").Left(m_nDigits));
  m_rect.SetRect(0, 0, size.cx, size.cy);
}

void CGXBDTNumericGadget::Draw(CDC& dc) {
  const CString text = Format(IsTyping() ? m_nTyped : m_nValue);
  if (m_bActive || !m_pOwner) {
    DrawFieldText(dc, text);
    return;
  }
  const COLORREF oldText = dc.SetTextColor(CGXSysColorTable::GetColor(COLOR_WINDOWTEXT));
  const COLORREF oldBk = dc.SetBkColor(m_pOwner->GetBackColor());
  DrawFieldText(dc, text);
  dc.SetBkColor(oldBk);
  dc.SetTextColor(oldText);
}

BOOL CGXBDTNumericGadget::Commit() {
  m_nTypedCount = 0;
  BOOL result = FALSE;
  if (Notify(GXDT_ACCEPTS, m_nTyped)) {
    const int old = m_nValue;
    m_nValue = m_nTyped;
    result = Notify(GXDT_SET, m_nTyped);
    if (!result) m_nValue = old;
  }
  if (!result) {
    MessageBeep(0xFFFFFFFF);
    Redraw();
  }
  Notify(GXDT_TYPING, 0);
  return result;
}

BOOL CGXBDTNumericGadget::SetActive(BOOL active) {
  if (!active && IsTyping()) Commit();
  return CGXBDTGadget::SetActive(active);
}

void CGXBDTNumericGadget::OnCancelMode() {
  if (IsTyping()) Commit();
}

void CGXBDTNumericGadget::OnKeyDown(UINT key) {
  if (IsTyping() && !IsDigitKey(key) && !Commit()) return;
  NotifyStepKey(key);
}

void CGXBDTNumericGadget::OnChar(UINT ch) {
  if (ch >= '0' && ch <= '9') {
    const int digit = static_cast<int>(ch - '0');
    if (!IsTyping()) {
      Notify(GXDT_TYPING, 1);
      m_nTyped = 0;
    } else if (m_nTyped == 0 && digit == 0) {
      return;
    }
    m_nTyped = m_nTyped * 10 + digit;
    ++m_nTypedCount;
    if (m_nTypedCount >= m_nDigits && Commit()) Notify(GXDT_COMPLETE);
    Redraw();
  } else if (IsTyping()) {
    MessageBeep(0xFFFFFFFF);
    m_nTypedCount = 0;
    Redraw();
    Notify(GXDT_TYPING, 0);
  }
}

// ---- List of names

void CGXBDTListGadget::Init(CGXBDateTimeCtrl* owner, const CStringArray& entries, int value, int fieldId) {
  m_pOwner = owner;
  m_entries.Copy(entries);
  m_nValue = value;
  m_nFieldId = fieldId;
}

CString CGXBDTListGadget::GetText() const {
  return m_nValue >= 0 && m_nValue < m_entries.GetSize() ? m_entries.GetAt(m_nValue) : CString();
}

void CGXBDTListGadget::CalcSize(CDC& dc) {
  int w = 0, h = 0;
  for (INT_PTR i = 0; i < m_entries.GetSize(); ++i) {
    const CSize size = MeasureText(dc, m_entries.GetAt(i));
    w = std::max<int>(w, size.cx), h = std::max<int>(h, size.cy);
  }
  m_rect.SetRect(0, 0, w, h);
}

void CGXBDTListGadget::Draw(CDC& dc) { DrawFieldText(dc, GetText()); }

void CGXBDTListGadget::EndTypeAhead() {
  StopTimer();
  m_bTimer = FALSE;
  m_strPrefix.Empty();
}

BOOL CGXBDTListGadget::SetActive(BOOL active) {
  EndTypeAhead();
  return CGXBDTGadget::SetActive(active);
}

void CGXBDTListGadget::OnKeyDown(UINT key) {
  // A key stops the type-ahead timer (its character, if any, follows as WM_CHAR and restarts it); a key that
  // moves the value also forgets the typed prefix.
  StopTimer();
  m_bTimer = FALSE;
  if (IsStepKey(key)) m_strPrefix.Empty();
  NotifyStepKey(key);
}

void CGXBDTListGadget::OnTimer() { EndTypeAhead(); }

int CGXBDTListGadget::FindEntry(const CString& prefix, int start) {
  const int n = GetEntryCount();
  if (start < 0 || start >= n) start = 0;
  for (int i = 0; i < n; ++i) {
    const int index = (start + i) % n;
    if (BeginsWith(m_entries.GetAt(index), prefix) && Notify(GXDT_ACCEPTS, index)) {
      Notify(GXDT_SET, index);
      return index;
    }
  }
  return -1;
}

void CGXBDTListGadget::OnChar(UINT ch) {
  const char c = static_cast<char>(ch);
  if (m_pending[0] && IsDBCSLeadByte(static_cast<BYTE>(m_pending[0])) && !m_pending[1]) {
    m_pending[1] = c;
  } else {
    m_pending[0] = c, m_pending[1] = 0;
    if (IsDBCSLeadByte(static_cast<BYTE>(c))) return;  // waits for the trail byte
  }
  const CString typed(m_pending);
  m_pending[0] = m_pending[1] = m_pending[2] = 0;
  auto restart = [&] {
    Redraw();
    m_bTimer = StartTimer(kTypeAheadMs);
  };
  if (m_strPrefix.IsEmpty()) {
    if (FindEntry(typed, m_nValue + 1) < 0) {
      MessageBeep(0xFFFFFFFF);
      return;
    }
    m_strPrefix = typed;
    restart();
  } else if (m_strPrefix.GetLength() == 1 && typed.GetLength() == 1 &&
             std::tolower(static_cast<unsigned char>(m_strPrefix[0])) == std::tolower(static_cast<unsigned char>(c))) {
    FindEntry(m_strPrefix, m_nValue + 1);
    restart();
  } else {
    m_strPrefix += typed;
    if (FindEntry(m_strPrefix, m_nValue) < 0) {
      EndTypeAhead();
      MessageBeep(0xFFFFFFFF);
      return;
    }
    restart();
  }
}

// ---- Spin buttons

UINT CGXBDTSpinGadget::GetInitialDelay() { return m_pOwner ? m_pOwner->GetSpinDelay() : 500; }
UINT CGXBDTSpinGadget::GetRepeatDelay() { return m_pOwner ? m_pOwner->GetSpinRepeat() : 100; }

void CGXBDTSpinGadget::CalcSize(CDC&) { m_rect.SetRect(0, 0, 16, -1); }

int CGXBDTSpinGadget::ArrowRows(int height) { return std::max(0, std::min((height - 1) / 4 + 1, 4)); }

void CGXBDTSpinGadget::DrawSpin(CDC& dc, const CRect& rect, UINT state) {
  dc.FillSolidRect(&rect, CGXSysColorTable::GetColor(COLOR_BTNFACE));
  const int middle = rect.top + rect.Height() / 2;
  const CRect halves[2] = {CRect(rect.left, rect.top, rect.right, middle), CRect(rect.left, middle, rect.right, rect.bottom)};
  const bool pressed[2] = {(state & kUpPressed) != 0, (state & kDownPressed) != 0};
  if (const HWND owner = ThemedWindow(dc)) {
    if (HTHEME theme = SafeOpenThemeData(owner, u"SPIN")) {
      for (int i = 0; i < 2; ++i) {
        CRect r = halves[i];
        SafeDrawThemeBackground(theme, dc.GetSafeHdc(), i + 1, pressed[i] ? 3 : 1, &r, nullptr);
      }
      SafeCloseThemeData(theme);
      return;
    }
  }
  const COLORREF face = CGXSysColorTable::GetColor(COLOR_BTNFACE), dark = CGXSysColorTable::GetColor(COLOR_3DDKSHADOW);
  const COLORREF light = CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT), shadow = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
  for (int i = 0; i < 2; ++i) {
    CRect r = halves[i];
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    if (pressed[i]) {
      dc.Draw3dRect(&r, shadow, light);
      r.DeflateRect(1, 1);
      dc.Draw3dRect(&r, dark, face);
    } else {
      dc.Draw3dRect(&r, face, dark);
      r.DeflateRect(1, 1);
      dc.Draw3dRect(&r, light, shadow);
    }
    r.DeflateRect(2, 2);
    const int n = ArrowRows(r.Height());
    if (n <= 0 || r.Width() <= 0) continue;
    const int offset = pressed[i] ? 1 : 0;
    const int cx = r.left + r.Width() / 2 + offset;
    const int top = r.top + (r.Height() - n) / 2 + offset;
    if (n == 1) {
      dc.SetPixel(cx, top, RGB(0, 0, 0));
      continue;
    }
    // Up: the tip on the top row; down: on the bottom row. The base is 2n - 1 pixels.
    POINT pts[3];
    if (i == 0) {
      pts[0] = {cx, top};
      pts[1] = {cx - (n - 1), top + n - 1};
      pts[2] = {cx + (n - 1), top + n - 1};
    } else {
      pts[0] = {cx - (n - 1), top};
      pts[1] = {cx + (n - 1), top};
      pts[2] = {cx, top + n - 1};
    }
    CBrush black;
    black.CreateSolidBrush(RGB(0, 0, 0));
    CBrush* oldBrush = dc.SelectObject(&black);
    CGdiObject* oldPen = dc.SelectStockObject(NULL_PEN);
    dc.Polygon(pts, 3);
    // The polygon's fill leaves its right and bottom edges out; the rows are completed pixel by pixel.
    for (int row = 0; row < n; ++row) {
      const int half = i == 0 ? row : n - 1 - row;
      for (int x = cx - half; x <= cx + half; ++x) dc.SetPixel(x, top + row, RGB(0, 0, 0));
    }
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
  }
}

void CGXBDTSpinGadget::Draw(CDC& dc) { DrawSpin(dc, m_rect, m_nState); }

void CGXBDTSpinGadget::OnLButtonDown(UINT, CPoint point) {
  const bool up = point.y < m_rect.top + m_rect.Height() / 2;
  m_nState = up ? (kUpPressed | kUpCaptured) : (kDownPressed | kDownCaptured);
  Notify(up ? GXDT_UP_STEP : GXDT_DOWN_STEP, 1);
  Redraw();
  if (m_pOwner) m_pOwner->CaptureMouse(this);
  m_nRepeat = 0;
  if (StartTimer(GetInitialDelay())) m_nState |= kTimerOn | kFirstDelay;
}

void CGXBDTSpinGadget::OnTimer() {
  if (m_nState & kFirstDelay) {
    m_nState &= ~kFirstDelay;
    StartTimer(GetRepeatDelay());
  }
  if (!(m_nState & (kUpPressed | kDownPressed))) {
    // The pointer left the button during the first delay: no step.
    StopTimer();
    m_nState &= ~kTimerOn;
    return;
  }
  ++m_nRepeat;
  const int step = m_nRepeat <= 20 ? 1 : m_nRepeat <= 50 ? 2 : 5;
  Notify((m_nState & kUpPressed) ? GXDT_UP_STEP : GXDT_DOWN_STEP, step);
}

void CGXBDTSpinGadget::OnMouseMove(UINT, CPoint point) {
  if (!(m_nState & (kUpCaptured | kDownCaptured))) return;
  const int middle = m_rect.top + m_rect.Height() / 2;
  const bool upHalf = (m_nState & kUpCaptured) != 0;
  const CRect half = upHalf ? CRect(m_rect.left, m_rect.top, m_rect.right, middle)
                            : CRect(m_rect.left, middle, m_rect.right, m_rect.bottom);
  const UINT bit = upHalf ? kUpPressed : kDownPressed;
  const UINT old = m_nState;
  if (half.PtInRect(point))
    m_nState |= bit;
  else
    m_nState &= ~bit;
  if (old != m_nState) Redraw();
  if (!(m_nState & (kUpPressed | kDownPressed))) {
    if ((m_nState & kTimerOn) && !(m_nState & kFirstDelay)) {
      StopTimer();
      m_nState &= ~kTimerOn;
    }
  } else if (!(m_nState & kTimerOn)) {
    m_nRepeat = 0;
    if (StartTimer(GetRepeatDelay())) m_nState |= kTimerOn;
  }
}

void CGXBDTSpinGadget::Release() {
  if (m_pOwner) m_pOwner->ReleaseMouse(this);
  const bool pressed = (m_nState & (kUpPressed | kDownPressed)) != 0;
  m_nState = 0;
  StopTimer();
  if (pressed) Redraw();
}

void CGXBDTSpinGadget::OnLButtonUp(UINT, CPoint) { Release(); }
void CGXBDTSpinGadget::OnCancelMode() { Release(); }

// ---- Drop-down button

BOOL CGXBDTButtonGadget::Init(CGXBDateTimeCtrl* owner, UINT bitmapId, int fieldId) {
  m_pOwner = owner;
  m_nBitmapId = bitmapId;
  m_nFieldId = fieldId;
  m_bitmap.DeleteObject();
  return LoadSysColorBitmap(m_bitmap, MAKEINTRESOURCE(bitmapId));
}

void CGXBDTButtonGadget::OnSysColorChange() {
  m_bitmap.DeleteObject();
  LoadSysColorBitmap(m_bitmap, MAKEINTRESOURCE(m_nBitmapId));
}

void CGXBDTButtonGadget::CalcSize(CDC&) { m_rect.SetRect(0, 0, 16, -1); }

void CGXBDTButtonGadget::DrawButton(CDC& dc, const CRect& rect, BOOL pressed, CBitmap* bitmap) {
  CRect r = rect;
  bool themed = false;
  if (const HWND owner = ThemedWindow(dc)) {
    if (HTHEME theme = SafeOpenThemeData(owner, u"BUTTON")) {
      SafeDrawThemeBackground(theme, dc.GetSafeHdc(), 1, pressed ? 3 : 1, &r, nullptr);
      SafeCloseThemeData(theme);
      r.DeflateRect(2, 2);
      themed = true;
    }
  }
  if (!themed) {
    const COLORREF face = CGXSysColorTable::GetColor(COLOR_BTNFACE), shadow = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
    if (pressed) {
      dc.Draw3dRect(&r, shadow, shadow);
      r.DeflateRect(1, 1);
      dc.Draw3dRect(&r, face, face);
    } else {
      dc.Draw3dRect(&r, face, CGXSysColorTable::GetColor(COLOR_3DDKSHADOW));
      r.DeflateRect(1, 1);
      dc.Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT), shadow);
    }
    r.DeflateRect(1, 1);
    dc.FillSolidRect(&r, face);
  }
  if (!bitmap || !bitmap->GetSafeHandle()) return;
  BITMAP bm{};
  bitmap->GetBitmap(&bm);
  CDC memory;
  if (!memory.CreateCompatibleDC(&dc)) return;
  CBitmap* old = memory.SelectObject(bitmap);
  const int offset = pressed ? 1 : 0;
  const int x = r.left + (r.Width() - bm.bmWidth) / 2 + offset, y = r.top + (r.Height() - bm.bmHeight) / 2 + offset;
  dc.BitBlt(x, y, bm.bmWidth, bm.bmHeight, &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}

void CGXBDTButtonGadget::Draw(CDC& dc) { DrawButton(dc, m_rect, (m_nState & kPressed) != 0, &m_bitmap); }

void CGXBDTButtonGadget::OnLButtonDown(UINT, CPoint) {
  m_nState = kCaptured | kPressed;
  Redraw();
  if (m_pOwner) m_pOwner->CaptureMouse(this);
}

void CGXBDTButtonGadget::OnMouseMove(UINT, CPoint point) {
  if (!(m_nState & kCaptured)) return;
  const UINT old = m_nState;
  if (m_rect.PtInRect(point))
    m_nState |= kPressed;
  else
    m_nState &= ~kPressed;
  if (old != m_nState) Redraw();
}

void CGXBDTButtonGadget::OnLButtonUp(UINT, CPoint point) {
  if (!(m_nState & kCaptured)) return;
  m_nState &= ~kCaptured;
  if (m_pOwner) m_pOwner->ReleaseMouse(this);
  if (m_rect.PtInRect(point)) Notify(GXDT_CLICKED);
  if (m_nState & kPressed) {
    m_nState &= ~kPressed;
    Redraw();
  }
}

void CGXBDTButtonGadget::OnCancelMode() {
  if (!(m_nState & kCaptured)) return;
  m_nState = 0;
  if (m_pOwner) m_pOwner->ReleaseMouse(this);
  Redraw();
}
