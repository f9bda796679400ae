// Input: injection (tests and the presenter), the raw input queue, keyboard state, mouse routing.
//
// Injected events are queued raw, with the key state as it stands after each event. They become messages
// only when the queue reaches them (InputRouter::Take), so that the focus, capture and window layout of
// that moment decide the target, as with real type-ahead: typing "a<Tab>b" sends the "b" to whichever
// window the Tab moved the focus to. Converting a mouse event sends WM_NCHITTEST, WM_MOUSEACTIVATE (a press
// into an inactive top-level window) and WM_SETCURSOR (when not captured) before the mouse message itself
// is handed out. GetKeyState answers the state stored with the message last removed from the queue;
// GetAsyncKeyState the state after the last injected event. A disabled window, or one inside it, takes no input: an
// event converted for a window by a peek that left it queued is converted again as it is taken when its window has
// since come to take none (a box came up over it), and keys without a window that takes them go nowhere.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string_view>

#include "platform/window/windowapi.h"

namespace plat {

enum class MouseButton { Left, Right, Middle };

class InputRouter {
 public:
  static InputRouter& Instance();

  // --- Injection ---------------------------------------------------------------------------------------
  void KeyDown(int vk, int repeat = 1);
  void KeyUp(int vk);
  void KeyPress(int vk);  // down and up
  // Types text: each character as its key (with Shift around it when the US layout needs it); Enter for
  // '\n' and '\r', Tab, Backspace and Esc for their control characters; characters without a key arrive
  // as a bare WM_CHAR.
  void TypeText(std::string_view text);
  void MouseMove(POINT screen);
  // A press pairs with the one before into a double click when it comes soon enough (below); a Separate press is
  // an action of its own, however soon it follows (each step of a script is one, as a person's next action would
  // be): it starts afresh.
  enum class Press { MayPair, Separate };
  void ButtonDown(MouseButton button, POINT screen, Press press = Press::MayPair);
  void ButtonUp(MouseButton button, POINT screen);
  void Click(MouseButton button, POINT screen, Press press = Press::MayPair);
  void DoubleClick(MouseButton button, POINT screen);  // two clicks at the same point and time
  void Wheel(int delta, POINT screen);
  // A point given in a window's client coordinates, as a screen point.
  static POINT ClientPoint(HWND hwnd, int x, int y);

  // --- Queue side --------------------------------------------------------------------------------------
  bool HasInput() const { return !queue_.empty(); }
  bool Take(MSG* out, HWND filter, UINT lo, UINT hi, bool remove);
  void ForgetWindow(HWND hwnd);
  void Reset();

  // --- State -------------------------------------------------------------------------------------------
  SHORT KeyState(int vk) const;
  SHORT AsyncKeyState(int vk) const;
  void CopyKeyState(BYTE* out) const;
  POINT cursor{0, 0};
  bool SetTracking(const TRACKMOUSEEVENT& tme);
  // WM_MOUSEHOVER (or WM_NCMOUSEHOVER) once the mouse rested over the tracked window for the hover time.
  bool TakeHover(MSG* out, HWND filter, bool remove);
  static constexpr DWORD kHoverMs = 400;  // HOVER_DEFAULT
  bool QueryTracking(TRACKMOUSEEVENT* tme) const;

  // Double clicks: a second press of the same button on the same window within the double-click time
  // (GetDoubleClickTime, 500 ms) and box (SM_CXDOUBLECLK x SM_CYDOUBLECLK, 4 x 4, centred on the first).

 private:
  enum class Kind { KeyDown, KeyUp, Char, Move, Down, Up, Wheel };
  using KeyArray = std::array<BYTE, 256>;
  struct Entry {
    Kind kind;
    int vk = 0;
    int repeat = 1;
    bool prevDown = false;
    POINT pt{0, 0};
    MouseButton button = MouseButton::Left;
    int wheel = 0;
    DWORD time = 0;
    KeyArray keys{};
    std::uint64_t seq = 0;
    bool converted = false;
    bool converting = false;
    bool dropped = false;
    bool separate = false;   // a Separate press
    bool retargeted = false; // converted again, its first window having come to take no input
    MSG msg{};
  };

  void Push(Entry e);
  void ApplyKey(int vk, bool down);
  void Convert(Entry& e);
  void ConvertKey(Entry& e);
  void ConvertMouse(Entry& e);
  void CheckLeave(HWND target, bool client);
  void NotifyParentsOfPress(HWND target, UINT msg, POINT screen);
  // Whether input may go to the window: it takes input (enabled, in enabled windows), or holds the capture.
  bool TakesInputNow(HWND target) const;
  // A press on a disabled top-level window: the box of the modal loop over it comes to the top, active.
  void BringUpBoxOver(HWND disabled);
  WPARAM MouseKeys(const KeyArray& keys) const;

  std::deque<Entry> queue_;
  std::uint64_t nextSeq_ = 0;
  KeyArray async_{};
  KeyArray sync_{};

  struct LastPress {
    HWND hwnd = nullptr;
    MouseButton button = MouseButton::Left;
    bool client = true;
    DWORD time = 0;
    POINT pt{0, 0};
    bool valid = false;
  } lastPress_;

  struct Tracking {
    HWND hwnd = nullptr;
    DWORD flags = 0;
    DWORD hoverMs = kHoverMs;
  } tracking_;
  DWORD hoverDue_ = 0;
  POINT hoverPoint_{0, 0};
};

// The US-layout key and Shift need for a character; vk 0 when no key types it.
struct KeyForChar {
  int vk;
  bool shift;
};
KeyForChar KeyForCharacter(char c);
// The character a key gives under the given shift and caps-lock state; 0 when none.
char CharacterForKey(int vk, bool shift, bool capsLock);
BYTE ScanCode(int vk);
bool IsExtendedKey(int vk);

}  // namespace plat
