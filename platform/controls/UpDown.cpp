#include "platform/controls/UpDown.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;

struct UpDownState {
  int lower = 100, upper = 0;
  int pos = 0;
  int base = 10;
  HWND buddy = nullptr;
  int pressed = 0;  // +1 up arrow, -1 down arrow, 0 none
};

StateTable<UpDownState>& States() { return StateTable<UpDownState>::Instance(); }

bool Horizontal(HWND hwnd) { return (StyleOf(hwnd) & UDS_HORZ) != 0; }

std::string Format(HWND hwnd, const UpDownState& s, int value) {
  if (s.base == 16) {
    char buf[16];
    std::snprintf(buf, sizeof(buf), "0x%X", static_cast<unsigned>(value));
    return buf;
  }
  std::string digits = std::to_string(std::abs(static_cast<long long>(value)));
  if (!(StyleOf(hwnd) & UDS_NOTHOUSANDS))
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return (value < 0 ? "-" : "") + digits;
}

// The buddy's number, when it holds one.
bool ReadBuddy(const UpDownState& s, int* value) {
  if (!s.buddy || !IsWindow(s.buddy)) return false;
  char buf[64]{};
  GetWindowText(s.buddy, buf, sizeof(buf));
  std::string t;
  for (const char* p = buf; *p; ++p)
    if (*p != ',') t += *p;
  if (t.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(t.c_str(), &end, s.base == 16 ? 16 : 10);
  if (*end) return false;
  *value = static_cast<int>(v);
  return true;
}

void WriteBuddy(HWND hwnd, const UpDownState& s) {
  if ((StyleOf(hwnd) & UDS_SETBUDDYINT) && s.buddy && IsWindow(s.buddy))
    SetWindowText(s.buddy, Format(hwnd, s, s.pos).c_str());
}

int Clamp(const UpDownState& s, int v) { return std::clamp(v, std::min(s.lower, s.upper), std::max(s.lower, s.upper)); }

void Step(HWND hwnd, UpDownState& s, int direction);

// Buddies of UDS_ARROWKEYS controls: their original procedure and their up-down control.
struct BuddyHook {
  WNDPROC original = nullptr;
  HWND updown = nullptr;
};
std::map<HWND, BuddyHook>& Buddies() {
  static std::map<HWND, BuddyHook> map;
  return map;
}

LRESULT BuddyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = Buddies().find(hwnd);
  if (it == Buddies().end()) return DefWindowProc(hwnd, msg, wParam, lParam);
  const BuddyHook hook = it->second;
  if (msg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
    if (auto s = States().Get(hook.updown)) {
      Step(hook.updown, *s, wParam == VK_UP ? 1 : -1);
      return 0;
    }
  }
  if (msg == WM_NCDESTROY) Buddies().erase(hwnd);
  return CallWindowProc(hook.original, hwnd, msg, wParam, lParam);
}

void HookBuddy(HWND hwnd, HWND buddy) {
  if (!buddy || Buddies().count(buddy)) return;
  BuddyHook hook;
  hook.updown = hwnd;
  hook.original =
      reinterpret_cast<WNDPROC>(SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc)));
  Buddies()[buddy] = hook;
}

void UnhookBuddy(HWND hwnd) {
  for (auto it = Buddies().begin(); it != Buddies().end();) {
    if (it->second.updown == hwnd) {
      if (IsWindow(it->first))
        SetWindowLongPtr(it->first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.original));
      it = Buddies().erase(it);
    } else {
      ++it;
    }
  }
}

void AttachBuddy(HWND hwnd, UpDownState& s, HWND buddy) {
  UnhookBuddy(hwnd);
  s.buddy = buddy;
  if (!buddy) return;
  // With UDS_ARROWKEYS the buddy's Up and Down keys step the control.
  if (StyleOf(hwnd) & UDS_ARROWKEYS) HookBuddy(hwnd, buddy);
  const DWORD style = StyleOf(hwnd);
  if (!(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
  // The control moves into the buddy's edge; the buddy gives up that much width.
  RECT br{};
  GetWindowRect(buddy, &br);
  HWND parent = GetParent(hwnd);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&br), 2);
  RECT me{};
  GetWindowRect(hwnd, &me);
  const int width = me.right - me.left;
  const int height = br.bottom - br.top;
  if (style & UDS_ALIGNRIGHT) {
    MoveWindow(buddy, br.left, br.top, br.right - br.left - width + 2, height, TRUE);
    MoveWindow(hwnd, br.right - width, br.top, width, height, TRUE);
  } else {
    MoveWindow(buddy, br.left + width - 2, br.top, br.right - br.left - width + 2, height, TRUE);
    MoveWindow(hwnd, br.left, br.top, width, height, TRUE);
  }
}

void Step(HWND hwnd, UpDownState& s, int direction) {
  auto keep = States().Get(hwnd);
  int current = s.pos;
  if (StyleOf(hwnd) & UDS_SETBUDDYINT) {
    int v = 0;
    if (ReadBuddy(s, &v)) current = Clamp(s, v);
  }
  const int delta = direction * (s.upper >= s.lower ? 1 : -1);
  NMUPDOWN nm{};
  nm.iPos = current;
  nm.iDelta = delta;
  if (SendNotify(hwnd, &nm.hdr, UDN_DELTAPOS) != 0) return;
  if (!IsWindow(hwnd)) return;
  int next = current + nm.iDelta;
  const int lo = std::min(s.lower, s.upper), hi = std::max(s.lower, s.upper);
  if (next > hi || next < lo) {
    if (StyleOf(hwnd) & UDS_WRAP)
      next = next > hi ? lo : hi;
    else
      next = std::clamp(next, lo, hi);
  }
  s.pos = next;
  WriteBuddy(hwnd, s);
  if (HWND parent = GetParent(hwnd))
    SendMessage(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(s.pos)), reinterpret_cast<LPARAM>(hwnd));
}

int ArrowAt(HWND hwnd, LPARAM lParam) {
  const CRect c = ClientRectOf(hwnd);
  if (Horizontal(hwnd)) return GET_X_LPARAM(lParam) >= c.Width() / 2 ? 1 : -1;
  return GET_Y_LPARAM(lParam) < c.Height() / 2 ? 1 : -1;
}

LRESULT OnButtonDown(HWND hwnd, UpDownState& s, LPARAM lParam) {
  if (!IsWindowEnabled(hwnd)) return 0;
  s.pressed = ArrowAt(hwnd, lParam);
  SetCapture(hwnd);
  InvalidateRect(hwnd, nullptr, FALSE);
  Step(hwnd, s, s.pressed);
  if (IsWindow(hwnd)) SetTimer(hwnd, kRepeatTimer, kFirstRepeatMs, nullptr);
  return 0;
}

void EndPress(HWND hwnd, UpDownState& s, bool release) {
  if (!s.pressed) return;
  s.pressed = 0;
  KillTimer(hwnd, kRepeatTimer);
  if (release && GetCapture() == hwnd) ReleaseCapture();
  InvalidateRect(hwnd, nullptr, FALSE);
  if (HWND parent = GetParent(hwnd))
    SendMessage(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(s.pos)),
                reinterpret_cast<LPARAM>(hwnd));
}

void Paint(HWND hwnd, HDC dc, const UpDownState& s) {
  const CRect c = ClientRectOf(hwnd);
  const bool h = Horizontal(hwnd);
  CRect first = h ? CRect(c.left, c.top, c.left + c.Width() / 2, c.bottom)
                  : CRect(c.left, c.top, c.right, c.top + c.Height() / 2);
  CRect second = h ? CRect(first.right, c.top, c.right, c.bottom) : CRect(c.left, first.bottom, c.right, c.bottom);
  const UINT off = IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE;
  // Vertical: up on top; horizontal: the "up" arrow is the right one.
  DrawFrameControl(
      dc, &first, DFC_SCROLL,
      (h ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | off | ((h ? s.pressed == -1 : s.pressed == 1) ? DFCS_PUSHED : 0));
  DrawFrameControl(
      dc, &second, DFC_SCROLL,
      (h ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | off | ((h ? s.pressed == 1 : s.pressed == -1) ? DFCS_PUSHED : 0));
}

LRESULT Dispatch(HWND hwnd, UpDownState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case WM_CREATE:
      if (StyleOf(hwnd) & UDS_AUTOBUDDY) AttachBuddy(hwnd, s, GetWindow(hwnd, GW_HWNDPREV));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s, lParam);
    case WM_LBUTTONUP: EndPress(hwnd, s, true); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) EndPress(hwnd, s, false);
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer && s.pressed) {
        SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
        Step(hwnd, s, s.pressed);
      }
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_DESTROY: UnhookBuddy(hwnd); break;
    case UDM_SETRANGE:
      s.upper = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
      s.lower = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)));
      return 0;
    case UDM_GETRANGE: return MAKELONG(static_cast<WORD>(s.upper), static_cast<WORD>(s.lower));
    case UDM_SETRANGE32:
      s.lower = static_cast<int>(wParam);
      s.upper = static_cast<int>(lParam);
      return 0;
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = s.lower;
      if (lParam) *reinterpret_cast<int*>(lParam) = s.upper;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      const int old = s.pos;
      s.pos = Clamp(
          s, msg == UDM_SETPOS ? static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))) : static_cast<int>(lParam));
      WriteBuddy(hwnd, s);
      return old;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
      // With a number-holding buddy, the buddy's text is the position; a text that is no number is an error.
      bool error = false;
      if (StyleOf(hwnd) & UDS_SETBUDDYINT) {
        int v = 0;
        if (ReadBuddy(s, &v))
          s.pos = Clamp(s, v);
        else
          error = s.buddy != nullptr;
      }
      if (msg == UDM_GETPOS32) {
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = error;
        return s.pos;
      }
      return MAKELONG(static_cast<WORD>(s.pos), error ? 1 : 0);
    }
    case UDM_SETBUDDY: {
      HWND old = s.buddy;
      AttachBuddy(hwnd, s, reinterpret_cast<HWND>(wParam));
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s.buddy);
    case UDM_SETBASE: {
      if (wParam != 10 && wParam != 16) return 0;
      const int old = s.base;
      s.base = static_cast<int>(wParam);
      return old;
    }
    case UDM_GETBASE: return s.base;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterUpDownClass() {
  RegisterControlClass(UPDOWN_CLASS, ControlWndProc<UpDownState, Dispatch>, CS_GLOBALCLASS);
}

}  // namespace plat::controls
