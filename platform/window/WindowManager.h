// The window manager: the one table of windows and the state that spans them (focus, activation, capture,
// the queue, hooks, timers) on the single UI thread.
//
// Index of the folder (classic entry points in windowapi.h; the implementation by concern):
//   WindowManager / WindowLifetime / WindowGeometry / Focus / Painting   windows, their tree, placement,
//                                         focus and activation, update regions (this class, several files)
//   WindowApi, PaintApi                   the classic calls for windows, messages, input and painting
//   DefWindowProc                         default handling of every message
//   MessageQueue, TimerTable, InputRouter the queue stages: posted, input, paint, timers; hooks
//   Painter, NonClient, ScrollBars        back buffers and DCs, frames, standard scroll bars
//   ModalLoop, MoveSizeLoop, AutomationProvider   nested loops and their headless answers
//   Clipboard, Menus, Caret, Cursors      the smaller services
//   MessageSpy, Inspect, Pump, Placement  test aids and helpers
//
// Call flow of the main entry points:
//   CreateWindowEx  -> Create: WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PARENTNOTIFY
//                      (children), ShowWindow when WS_VISIBLE                                   (WindowLifetime.cpp)
//   DestroyWindow   -> Destroy: WM_PARENTNOTIFY, owned popups, hide, focus/capture/activation move away,
//                      WM_DESTROY pre-order, WM_NCDESTROY post-order, handles freed             (WindowLifetime.cpp)
//   SetWindowPos    -> SetPos: WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED -> WM_MOVE/WM_SIZE (WindowGeometry.cpp)
//   Send/Post/Peek  -> MessageQueue.cpp: posted FIFO, input, WM_PAINT, WM_TIMER, WH_GETMESSAGE hooks
//   SetFocus/SetActiveWindow/SetCapture -> Focus.cpp
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/HandleTable.h"
#include "platform/window/Window.h"

namespace plat {

// Non-client insets of a window (left, top, right, bottom), scroll bars excluded.
struct FrameInsets {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class WindowManager {
 public:
  static WindowManager& Instance();

  // --- Handles -----------------------------------------------------------------------------------------
  Window* Get(HWND hwnd) const;
  std::shared_ptr<Window> Share(HWND hwnd) const;
  HWND Desktop() const { return desktop_; }
  bool IsDesktop(HWND hwnd) const { return hwnd == desktop_; }
  template <class F>
  void ForEachWindow(F&& f) const { windows_.ForEach(f); }

  // --- Life cycle (WindowLifetime.cpp) -------------------------------------------------------------------
  HWND Create(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
              HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
  bool Destroy(HWND hwnd);
  // Destroys every window and clears queue, hooks, timers, focus and application classes (test reset).
  void Reset();

  // --- Messages ------------------------------------------------------------------------------------------
  LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  int SendDepth() const { return sendDepth_; }

  // --- Geometry (WindowGeometry.cpp) ---------------------------------------------------------------------
  CRect ScreenRect(const Window& w) const;     // window rectangle in screen coordinates
  CPoint ClientOrigin(const Window& w) const;  // client top-left in screen coordinates
  FrameInsets Frame(DWORD style, DWORD exStyle) const;
  CRect DefaultClientRect(const Window& w, const CRect& windowRectInParent) const;
  bool SetPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  bool Show(HWND hwnd, int cmd);
  bool IsVisible(const Window& w) const;  // WS_VISIBLE on the window and all ancestors
  void RecalcClient(HWND hwnd);           // after a frame change (scroll bar shown or hidden)
  // The deepest visible window under a screen point that does not answer WM_NCHITTEST with HTTRANSPARENT;
  // a transparent window hands the point on to the siblings beneath it, then to its parent. Disabled
  // children are passed over (their parent answers for them), a disabled top-level window is returned and
  // the caller decides. hit, when given, receives the found window's hit-test code (HTNOWHERE if none).
  HWND HitWindow(POINT screen, int* hit = nullptr);
  // Z-order placement among siblings (HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling).
  void Reorder(Window& w, HWND insertAfter);
  // An owned top-level window lies above its owner, as the classic desktop keeps it: the windows `owner` owns
  // (directly or through others) that lie below it in `list` move to just above it, in their order.
  void KeepOwnedAbove(std::vector<HWND>& list, HWND owner);
  // Where a top-level window (or a child of the desktop) goes when it comes to the top of its band.
  std::vector<HWND>::iterator TopOfBand(const Window& w);

  // --- Update regions (Painting.cpp) ---------------------------------------------------------------------
  // region: client coordinates, null for the whole client area. Children are included by default unless
  // the window clips them (WS_CLIPCHILDREN), as RedrawWindow does without RDW_ALLCHILDREN/RDW_NOCHILDREN.
  enum class Children { None, Default, All };
  void Invalidate(HWND hwnd, const RectList* region, bool erase, Children children = Children::Default);
  void Validate(HWND hwnd, const RectList* region, Children children = Children::None);
  // The visible children under `region` (the parent's client coordinates) owe a paint there, and so on down
  // per `children`. A parent without WS_CLIPCHILDREN calls it for what it is about to erase or paint, so
  // that a child that painted ahead of it is painted again on top.
  void InvalidateChildren(HWND hwnd, const RectList& region, bool erase, Children children = Children::Default);
  // The parent and the siblings under a child's area (its current one, or `area` in parent client
  // coordinates) repaint there.
  void InvalidateParentArea(HWND hwnd, const CRect* area = nullptr);
  // The next window (parents before children, top-level windows in Z order) with something to paint.
  HWND FindPaintWindow(HWND filter) const;
  // The part of the client area not covered by clipped children or siblings, in client coordinates.
  // area: client coordinates, the client box when null (a window DC passes its whole window box).
  RectList VisibleClientRegion(const Window& w, bool clipChildren, const CRect* area = nullptr) const;

  // --- Relations -----------------------------------------------------------------------------------------
  HWND TopLevelOf(HWND hwnd) const;
  bool IsAncestor(HWND ancestor, HWND hwnd) const;  // true also when equal
  bool IsOwnedBy(HWND hwnd, HWND owner) const;       // directly or through other owned windows; not when equal

  // --- Focus, activation, capture (Focus.cpp) ------------------------------------------------------------
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  // A disabled window never takes the focus or the activation: SetFocusTo refuses a window that is disabled or
  // lies in one (answering null, the focus staying where it is); Activate hands a disabled top-level window's
  // activation to the box that holds its input (ModalLoop::BoxOver), or refuses it when none does.
  HWND SetFocusTo(HWND hwnd);
  HWND Activate(HWND hwnd, WORD how);
  // The window and every parent up to its top-level window enabled, and not on its way out.
  bool TakesInput(HWND hwnd) const;
  // Where asking to activate the top-level window `top` lands: `top` itself while it takes input, else the
  // innermost shown and enabled box of the running modal loops over it, else nowhere (null).
  HWND ActivationFor(HWND top) const;
  // Where the activation goes when the active window `leaving` hides or goes, or a box ends: its owner while that
  // takes input, else the box over the owner, else the innermost shown and enabled window of the running modal
  // loops, else the first shown top-level window in Z order that takes input. Null when there is none.
  HWND NextActive(HWND leaving) const;
  // A dialog or box that opens takes the focus from the window it comes over by deactivating or disabling it:
  // the window inside `top` that has the focus is kept for the next activation of `top`.
  void KeepFocusOf(HWND top);
  // Where activating the top-level window `top` puts the focus: back on the window kept by KeepFocusOf
  // while that one can take it (shown and enabled up to `top`), else on `top` itself.
  HWND TakeFocusOnActivation(HWND top);
  HWND SetCaptureTo(HWND hwnd);
  bool ReleaseCaptureNow();

  // --- Registered messages -------------------------------------------------------------------------------
  UINT RegisterMessage(const std::string& name);
  // The name as first registered; null for a number that was never handed out.
  const std::string* RegisteredName(UINT id) const;

  // --- Monitors and the desktop ----------------------------------------------------------------------------
  std::vector<MONITORINFO> monitors;  // the first is the primary
  void SetDesktopSize(int width, int height);

  // Called when a window area must be recomposed on screen (the display installs it).
  std::function<void(HWND)> onWindowChanged;

 private:
  WindowManager();
  void DestroyTree(HWND hwnd, std::vector<HWND>& order);
  void FinishDestroy(HWND hwnd);
  void UnlinkFromParent(Window& w);
  void MoveAwayFrom(HWND hwnd);
  HWND HitWithin(HWND hwnd, POINT screen, int& hit);
  bool ChangeShowState(HWND hwnd, int cmd);  // minimise, maximise, restore (WindowGeometry.cpp)
  CRect WorkAreaOf(HWND hwnd) const;
  CPoint IconicSlot(HWND hwnd) const;

  // The window SetFocusTo is telling of its focus loss: the focus is already on its way to another window, so a
  // hide or destroy of that window in its handler does not hand the focus on to its parent.
  HWND focusLeaving_ = nullptr;
  HandleTable<Window> windows_;
  HWND desktop_ = nullptr;
  int sendDepth_ = 0;
  std::map<std::string, UINT> registeredMessages_;  // key folded to lower case
  std::map<UINT, std::string> registeredNames_;
  UINT nextRegisteredMessage_ = 0xC000;
};

inline HWND ToHwnd(std::uintptr_t token) { return reinterpret_cast<HWND>(token); }
inline std::uintptr_t ToToken(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }

}  // namespace plat
