#include "platform/window/InputRouter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/base/VirtualClock.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

bool Down(const std::array<BYTE, 256>& keys, int vk) { return (keys[static_cast<std::size_t>(vk)] & 0x80) != 0; }

UINT ButtonMessage(MouseButton b, bool down) {
  switch (b) {
    case MouseButton::Left: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case MouseButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case MouseButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  }
  return WM_NULL;
}

int ButtonKey(MouseButton b) {
  switch (b) {
    case MouseButton::Left: return VK_LBUTTON;
    case MouseButton::Right: return VK_RBUTTON;
    case MouseButton::Middle: return VK_MBUTTON;
  }
  return 0;
}

// Client messages become non-client ones by this offset (WM_LBUTTONDOWN 0x201 -> WM_NCLBUTTONDOWN 0xA1).
constexpr UINT kClientToNonClient = WM_LBUTTONDOWN - WM_NCLBUTTONDOWN;

}  // namespace

InputRouter& InputRouter::Instance() {
  static InputRouter router;
  return router;
}

// ---- Injection ----------------------------------------------------------------------------------------

void InputRouter::ApplyKey(int vk, bool down) {
  auto set = [&](int k) {
    BYTE& b = async_[static_cast<std::size_t>(k)];
    if (down) {
      if (!(b & 0x80)) b ^= 0x01;  // the low bit toggles on each press
      b |= 0x80;
    } else {
      b &= static_cast<BYTE>(~0x80);
    }
  };
  set(vk);
  // The generic modifier keys and their left-hand twins move together.
  if (vk == VK_SHIFT) set(VK_LSHIFT);
  if (vk == VK_CONTROL) set(VK_LCONTROL);
  if (vk == VK_MENU) set(VK_LMENU);
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) set(VK_SHIFT);
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) set(VK_CONTROL);
  if (vk == VK_LMENU || vk == VK_RMENU) set(VK_MENU);
}

void InputRouter::Push(Entry e) {
  e.seq = nextSeq_++;
  e.time = static_cast<DWORD>(VirtualClock::NowMs());
  e.keys = async_;
  queue_.push_back(e);
}

void InputRouter::KeyDown(int vk, int repeat) {
  if (vk <= 0 || vk > 0xFE) return;
  Entry e{Kind::KeyDown};
  e.vk = vk;
  e.repeat = repeat < 1 ? 1 : repeat;
  e.prevDown = Down(async_, vk);
  ApplyKey(vk, true);
  Push(e);
}

void InputRouter::KeyUp(int vk) {
  if (vk <= 0 || vk > 0xFE) return;
  Entry e{Kind::KeyUp};
  e.vk = vk;
  ApplyKey(vk, false);
  Push(e);
}

void InputRouter::KeyPress(int vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void InputRouter::TypeText(std::string_view text) {
  for (char c : text) {
    KeyForChar k = KeyForCharacter(c);
    if (k.vk == 0) {
      Entry e{Kind::Char};
      e.vk = static_cast<unsigned char>(c);
      Push(e);
      continue;
    }
    bool needShift = k.shift && !Down(async_, VK_SHIFT);
    if (needShift) KeyDown(VK_SHIFT);
    KeyPress(k.vk);
    if (needShift) KeyUp(VK_SHIFT);
  }
}

void InputRouter::MouseMove(POINT screen) {
  cursor = screen;
  Entry e{Kind::Move};
  e.pt = screen;
  Push(e);
}

void InputRouter::ButtonDown(MouseButton button, POINT screen, Press press) {
  cursor = screen;
  ApplyKey(ButtonKey(button), true);
  Entry e{Kind::Down};
  e.pt = screen;
  e.button = button;
  e.separate = press == Press::Separate;
  Push(e);
}

void InputRouter::ButtonUp(MouseButton button, POINT screen) {
  cursor = screen;
  ApplyKey(ButtonKey(button), false);
  Entry e{Kind::Up};
  e.pt = screen;
  e.button = button;
  Push(e);
}

void InputRouter::Click(MouseButton button, POINT screen, Press press) {
  ButtonDown(button, screen, press);
  ButtonUp(button, screen);
}

void InputRouter::DoubleClick(MouseButton button, POINT screen) {
  Click(button, screen);
  Click(button, screen);
}

void InputRouter::Wheel(int delta, POINT screen) {
  cursor = screen;
  Entry e{Kind::Wheel};
  e.pt = screen;
  e.wheel = delta;
  Push(e);
}

POINT InputRouter::ClientPoint(HWND hwnd, int x, int y) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w) return POINT{x, y};
  CPoint o = wm.ClientOrigin(*w);
  return POINT{o.x + x, o.y + y};
}

// ---- Queue side ---------------------------------------------------------------------------------------

bool InputRouter::Take(MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
  for (std::size_t i = 0; i < queue_.size(); ++i) {
    if (queue_[i].converting) return false;  // a nested loop inside a conversion: keep the order, wait
    if (!queue_[i].converted) {
      // Converting sends messages, whose handlers may run nested loops that take or add input; work on a
      // copy and find the entry again by its number afterwards.
      const std::uint64_t seq = queue_[i].seq;
      Entry copy = queue_[i];
      queue_[i].converting = true;
      Convert(copy);
      auto it = std::find_if(queue_.begin(), queue_.end(), [&](const Entry& x) { return x.seq == seq; });
      if (it == queue_.end()) return false;
      copy.converting = false;
      if (it->dropped) copy.dropped = true;
      *it = copy;
      i = static_cast<std::size_t>(it - queue_.begin());
    }
    Entry& c = queue_[i];
    if (!c.dropped && !c.retargeted && !TakesInputNow(c.msg.hwnd)) {
      // Converted by an earlier peek that left it in the queue, for a window that has since come to take no input
      // (disabled under a box that came up in between): it is converted again, once, so that the keys go to the
      // focus of now and a press to what lies under the pointer now (the box brought up over a disabled window).
      c.converted = false;
      c.retargeted = true;
      --i;
      continue;
    }
    if (c.dropped) {
      queue_.erase(queue_.begin() + static_cast<long>(i));
      --i;
      continue;
    }
    if (!MatchesFilter(c.msg.hwnd, c.msg.message, filter, lo, hi)) continue;
    *out = c.msg;
    if (remove) {
      sync_ = c.keys;
      queue_.erase(queue_.begin() + static_cast<long>(i));
    }
    return true;
  }
  return false;
}

void InputRouter::Convert(Entry& e) {
  e.converted = true;
  e.msg.time = e.time;
  e.msg.pt = e.pt;
  if (e.kind == Kind::KeyDown || e.kind == Kind::KeyUp || e.kind == Kind::Char)
    ConvertKey(e);
  else
    ConvertMouse(e);
}

void InputRouter::ConvertKey(Entry& e) {
  WindowManager& wm = WindowManager::Instance();
  e.msg.pt = cursor;
  HWND target = wm.focus;
  bool forceSys = false;
  if (!wm.Get(target)) {
    // Without a focus window, keys go to the active window as system keys.
    target = wm.active;
    forceSys = true;
  }
  if (!TakesInputNow(target)) {
    e.dropped = true;
    return;
  }
  bool alt = Down(e.keys, VK_MENU), ctrl = Down(e.keys, VK_CONTROL);
  if (e.kind == Kind::Char) {
    e.msg = MSG{target, WM_CHAR, static_cast<WPARAM>(e.vk), 1, e.time, cursor};
    return;
  }
  bool up = e.kind == Kind::KeyUp;
  // Alt held (without Ctrl) makes system keys; F10 always is one; Alt's own release ends a system sequence.
  bool sys = forceSys || e.vk == VK_F10 || (alt && !ctrl) || (up && e.vk == VK_MENU && !ctrl);
  UINT msg = up ? (sys ? WM_SYSKEYUP : WM_KEYUP) : (sys ? WM_SYSKEYDOWN : WM_KEYDOWN);
  DWORD lp = static_cast<DWORD>(up ? 1 : (e.repeat & 0xFFFF));
  lp |= static_cast<DWORD>(ScanCode(e.vk)) << 16;
  if (IsExtendedKey(e.vk)) lp |= 1u << 24;
  if (alt) lp |= 1u << 29;
  if (up || e.prevDown) lp |= 1u << 30;
  if (up) lp |= 1u << 31;
  e.msg = MSG{target, msg, static_cast<WPARAM>(e.vk), static_cast<LPARAM>(lp), e.time, cursor};
}

WPARAM InputRouter::MouseKeys(const KeyArray& keys) const {
  WPARAM mk = 0;
  if (Down(keys, VK_LBUTTON)) mk |= MK_LBUTTON;
  if (Down(keys, VK_RBUTTON)) mk |= MK_RBUTTON;
  if (Down(keys, VK_MBUTTON)) mk |= MK_MBUTTON;
  if (Down(keys, VK_SHIFT)) mk |= MK_SHIFT;
  if (Down(keys, VK_CONTROL)) mk |= MK_CONTROL;
  return mk;
}

void InputRouter::ConvertMouse(Entry& e) {
  WindowManager& wm = WindowManager::Instance();
  const WPARAM mk = MouseKeys(e.keys);
  if (e.kind == Kind::Wheel) {
    HWND target = wm.Get(wm.focus) ? wm.focus : wm.active;
    if (!TakesInputNow(target)) {
      e.dropped = true;
      return;
    }
    e.msg = MSG{target, WM_MOUSEWHEEL, MAKEWPARAM(mk, static_cast<WORD>(static_cast<SHORT>(e.wheel))),
                MAKELPARAM(e.pt.x, e.pt.y), e.time, e.pt};
    return;
  }
  const bool press = e.kind == Kind::Down;
  UINT clientMsg = e.kind == Kind::Move ? WM_MOUSEMOVE : ButtonMessage(e.button, press);

  HWND target = nullptr;
  int hit = HTCLIENT;
  if (wm.Get(wm.capture)) {
    target = wm.capture;  // the capture window gets everything, in client coordinates, even off its area
  } else {
    target = wm.HitWindow(e.pt, &hit);
    if (!wm.Get(target)) {
      e.dropped = true;
      return;
    }
    HWND top = wm.TopLevelOf(target);
    Window* topWindow = wm.Get(top);
    if (!topWindow || (topWindow->style & WS_DISABLED) || hit == HTERROR || hit == HTNOWHERE) {
      // A disabled window (the owner of a modal box) takes no mouse input; a press there beeps and brings up
      // the box that holds it, wherever another window put it.
      if (press && topWindow && (topWindow->style & WS_DISABLED)) {
        MessageBeep(0);
        BringUpBoxOver(top);
      }
      CheckLeave(nullptr, true);
      e.dropped = true;
      return;
    }
    if (press && wm.active != top) {
      LRESULT ma = wm.Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(hit, clientMsg));
      if (ma != MA_NOACTIVATE && ma != MA_NOACTIVATEANDEAT && wm.Get(top)) wm.Activate(top, WA_CLICKACTIVE);
      if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT || !wm.Get(target)) {
        e.dropped = true;
        return;
      }
    }
    wm.Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, clientMsg));
    if (!wm.Get(target)) {
      e.dropped = true;
      return;
    }
    if (press && hit == HTCLIENT) NotifyParentsOfPress(target, clientMsg, e.pt);
    if (!wm.Get(target)) {
      e.dropped = true;
      return;
    }
  }

  Window* w = wm.Get(target);
  const bool client = hit == HTCLIENT;
  CheckLeave(target, client);
  if (tracking_.hwnd == target && (tracking_.flags & TME_HOVER) && e.kind == Kind::Move) {
    hoverDue_ = e.time + tracking_.hoverMs;  // the mouse moved: the hover time starts again
    hoverPoint_ = e.pt;
  }
  UINT msg = clientMsg;
  if (press) {
    // A second press within the time and box of the first turns into a double click, but only for
    // classes that ask for double clicks; the press after a double click starts afresh.
    bool wantsDouble = w->cls && (w->cls->style & CS_DBLCLKS);
    bool near = std::abs(e.pt.x - lastPress_.pt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                std::abs(e.pt.y - lastPress_.pt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    bool isDouble = wantsDouble && !e.separate && lastPress_.valid && lastPress_.hwnd == target && lastPress_.button == e.button &&
                    lastPress_.client == client && e.time - lastPress_.time <= GetDoubleClickTime() && near;
    if (isDouble) {
      msg = clientMsg + 2;  // WM_xBUTTONDBLCLK follows WM_xBUTTONUP
      lastPress_.valid = false;
    } else {
      lastPress_ = LastPress{target, e.button, client, e.time, e.pt, true};
    }
  }
  if (client) {
    CPoint o = wm.ClientOrigin(*w);
    e.msg = MSG{target, msg, mk, MAKELPARAM(e.pt.x - o.x, e.pt.y - o.y), e.time, e.pt};
  } else {
    e.msg = MSG{target, msg - kClientToNonClient, static_cast<WPARAM>(hit), MAKELPARAM(e.pt.x, e.pt.y), e.time, e.pt};
  }
}

bool InputRouter::TakesInputNow(HWND target) const {
  // The capture window takes the mouse whatever its state, as it took it.
  WindowManager& wm = WindowManager::Instance();
  return wm.TakesInput(target) || (target && target == wm.capture && wm.Get(target));
}

void InputRouter::BringUpBoxOver(HWND disabled) {
  WindowManager& wm = WindowManager::Instance();
  const HWND box = ModalLoop::BoxOver(disabled);
  if (!box) return;
  // The pressed window comes to the top with what it owns (the box among them), then the box above them all, and
  // the box takes the keys.
  const UINT keepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  wm.SetPos(disabled, HWND_TOP, 0, 0, 0, 0, keepPlace);
  if (wm.Get(box)) wm.SetPos(box, HWND_TOP, 0, 0, 0, 0, keepPlace);
  if (wm.Get(box)) wm.Activate(box, WA_CLICKACTIVE);
}

void InputRouter::NotifyParentsOfPress(HWND target, UINT msg, POINT screen) {
  // A press in a child tells each parent up the chain (WM_PARENTNOTIFY with the point in that parent's
  // client coordinates) unless a window on the way opts out with WS_EX_NOPARENTNOTIFY.
  WindowManager& wm = WindowManager::Instance();
  for (Window* w = wm.Get(target); w && w->IsChild() && !(w->exStyle & WS_EX_NOPARENTNOTIFY);) {
    HWND parent = w->parent;
    Window* p = wm.Get(parent);
    if (!p || wm.IsDesktop(parent)) break;
    CPoint o = wm.ClientOrigin(*p);
    wm.Send(parent, WM_PARENTNOTIFY, MAKEWPARAM(msg, 0), MAKELPARAM(screen.x - o.x, screen.y - o.y));
    w = wm.Get(parent);
  }
}

void InputRouter::CheckLeave(HWND target, bool client) {
  if (!tracking_.hwnd) return;
  bool wantClient = !(tracking_.flags & TME_NONCLIENT);
  if (target == tracking_.hwnd && client == wantClient) return;
  HWND left = tracking_.hwnd;
  tracking_ = Tracking{};
  if (WindowManager::Instance().Get(left))
    MessageQueue::Instance().Post(MSG{left, wantClient ? WM_MOUSELEAVE : WM_NCMOUSELEAVE, 0, 0, 0, cursor});
}

bool InputRouter::SetTracking(const TRACKMOUSEEVENT& tme) {
  WindowManager& wm = WindowManager::Instance();
  if (tme.dwFlags & TME_CANCEL) {
    if (tracking_.hwnd == tme.hwndTrack) tracking_ = Tracking{};
    return true;
  }
  if (!wm.Get(tme.hwndTrack)) return false;
  tracking_ = Tracking{tme.hwndTrack, tme.dwFlags & (TME_LEAVE | TME_NONCLIENT | TME_HOVER),
                       tme.dwHoverTime == HOVER_DEFAULT || tme.dwHoverTime == 0 ? kHoverMs : tme.dwHoverTime};
  hoverDue_ = static_cast<DWORD>(VirtualClock::NowMs()) + tracking_.hoverMs;
  hoverPoint_ = cursor;
  // Asking while the mouse is already elsewhere answers with the leave notice at once.
  HWND under = wm.HitWindow(cursor);
  Window* w = wm.Get(tme.hwndTrack);
  bool client = w && CRect(wm.ClientOrigin(*w), w->client.Size()).PtInRect(cursor);
  if (tme.dwFlags & TME_LEAVE) CheckLeave(under, client);
  return true;
}

bool InputRouter::TakeHover(MSG* out, HWND filter, bool remove) {
  WindowManager& wm = WindowManager::Instance();
  // A window that takes no input (disabled under a box) hears of no hover: it comes once the window takes input
  // again.
  if (!(tracking_.flags & TME_HOVER) || !wm.TakesInput(tracking_.hwnd)) return false;
  DWORD now = static_cast<DWORD>(VirtualClock::NowMs());
  if (static_cast<std::int32_t>(now - hoverDue_) < 0) return false;
  if (filter && !wm.IsAncestor(filter, tracking_.hwnd)) return false;
  Window* w = wm.Get(tracking_.hwnd);
  bool nonClient = (tracking_.flags & TME_NONCLIENT) != 0;
  CPoint o = wm.ClientOrigin(*w);
  *out = nonClient ? MSG{tracking_.hwnd, WM_NCMOUSEHOVER, static_cast<WPARAM>(HTCLIENT),
                         MAKELPARAM(hoverPoint_.x, hoverPoint_.y), now, hoverPoint_}
                   : MSG{tracking_.hwnd, WM_MOUSEHOVER, MouseKeys(async_),
                         MAKELPARAM(hoverPoint_.x - o.x, hoverPoint_.y - o.y), now, hoverPoint_};
  if (remove) tracking_.flags &= ~TME_HOVER;  // one notice per request
  return true;
}

bool InputRouter::QueryTracking(TRACKMOUSEEVENT* tme) const {
  tme->hwndTrack = tracking_.hwnd;
  tme->dwFlags = tracking_.flags;
  tme->dwHoverTime = tracking_.hoverMs;
  return true;
}

void InputRouter::ForgetWindow(HWND hwnd) {
  for (Entry& e : queue_)
    if (e.converted && e.msg.hwnd == hwnd) e.dropped = true;
  if (lastPress_.hwnd == hwnd) lastPress_.valid = false;
  if (tracking_.hwnd == hwnd) tracking_ = Tracking{};
}

void InputRouter::Reset() {
  queue_.clear();
  async_.fill(0);
  sync_.fill(0);
  lastPress_ = LastPress{};
  tracking_ = Tracking{};
  cursor = POINT{0, 0};
}

SHORT InputRouter::KeyState(int vk) const {
  if (vk < 0 || vk > 255) return 0;
  BYTE b = sync_[static_cast<std::size_t>(vk)];
  return static_cast<SHORT>(((b & 0x80) ? 0x8000 : 0) | (b & 0x01));
}

SHORT InputRouter::AsyncKeyState(int vk) const {
  if (vk < 0 || vk > 255) return 0;
  return (async_[static_cast<std::size_t>(vk)] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

void InputRouter::CopyKeyState(BYTE* out) const {
  for (std::size_t i = 0; i < 256; ++i) out[i] = sync_[i];
}

// ---- Layout tables (US) -------------------------------------------------------------------------------

namespace {
struct OemKey {
  int vk;
  char plain, shifted;
};
constexpr OemKey kOem[] = {
    {VK_OEM_1, ';', ':'},  {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'}, {VK_OEM_3, '`', '~'},   {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'}, {VK_OEM_6, ']', '}'},   {VK_OEM_7, '\'', '"'},
};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";
}  // namespace

KeyForChar KeyForCharacter(char c) {
  if (c >= 'a' && c <= 'z') return {c - 'a' + 'A', false};
  if (c >= 'A' && c <= 'Z') return {c, true};
  if (c >= '0' && c <= '9') return {c, false};
  for (int i = 0; i < 10; ++i)
    if (kShiftedDigits[i] == c) return {'0' + i, true};
  for (const OemKey& k : kOem) {
    if (k.plain == c) return {k.vk, false};
    if (k.shifted == c) return {k.vk, true};
  }
  switch (c) {
    case ' ': return {VK_SPACE, false};
    case '\n':
    case '\r': return {VK_RETURN, false};
    case '\t': return {VK_TAB, false};
    case '\b': return {VK_BACK, false};
    case 0x1B: return {VK_ESCAPE, false};
    default: return {0, false};
  }
}

char CharacterForKey(int vk, bool shift, bool capsLock) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<char>((shift != capsLock) ? vk : vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char>('0' + vk - VK_NUMPAD0);
  for (const OemKey& k : kOem)
    if (k.vk == vk) return shift ? k.shifted : k.plain;
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: return 0;
  }
}

BYTE ScanCode(int vk) {
  static const BYTE letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                   0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  if (vk >= 'A' && vk <= 'Z') return letters[vk - 'A'];
  if (vk >= '1' && vk <= '9') return static_cast<BYTE>(0x02 + vk - '1');
  if (vk >= VK_F1 && vk <= VK_F10) return static_cast<BYTE>(0x3B + vk - VK_F1);
  static const BYTE numpad[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return numpad[vk - VK_NUMPAD0];
  switch (vk) {
    case '0': return 0x0B;
    case VK_ESCAPE: return 0x01;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return 0x1D;
    case VK_SHIFT: case VK_LSHIFT: return 0x2A;
    case VK_RSHIFT: return 0x36;
    case VK_MENU: case VK_LMENU: case VK_RMENU: return 0x38;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_F11: return 0x57;
    case VK_F12: return 0x58;
    case VK_HOME: return 0x47;
    case VK_UP: return 0x48;
    case VK_PRIOR: return 0x49;
    case VK_LEFT: return 0x4B;
    case VK_RIGHT: return 0x4D;
    case VK_END: return 0x4F;
    case VK_DOWN: return 0x50;
    case VK_NEXT: return 0x51;
    case VK_INSERT: return 0x52;
    case VK_DELETE: return 0x53;
    case VK_OEM_1: return 0x27;
    case VK_OEM_7: return 0x28;
    case VK_OEM_3: return 0x29;
    case VK_OEM_5: return 0x2B;
    case VK_OEM_COMMA: return 0x33;
    case VK_OEM_PERIOD: return 0x34;
    case VK_OEM_2: case VK_DIVIDE: return 0x35;
    case VK_OEM_MINUS: return 0x0C;
    case VK_OEM_PLUS: return 0x0D;
    case VK_OEM_4: return 0x1A;
    case VK_OEM_6: return 0x1B;
    case VK_MULTIPLY: return 0x37;
    case VK_SUBTRACT: return 0x4A;
    case VK_ADD: return 0x4E;
    case VK_DECIMAL: return 0x53;
    default: return 0;
  }
}

bool IsExtendedKey(int vk) {
  switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RCONTROL: case VK_RMENU: case VK_DIVIDE:
      return true;
    default:
      return false;
  }
}

}  // namespace plat
