// Helpers shared by the standard controls: per-window state, notifications, colour requests, fonts and the
// few drawing steps every control repeats.
//
// State lives outside the window record, keyed by handle, held by shared_ptr: a handler keeps its own
// reference for its whole run, so a control destroyed by a parent's answer to one of its notifications
// stays readable until the handler returns (the handler then checks IsWindow and stops).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/base/geometry.h"
#include "platform/controls/winctrl.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/gdiapi.h"

namespace plat::controls {

template <class State>
class StateTable {
 public:
  // The table of one state type; every control keeps a state type of its own, so this is its table.
  static StateTable& Instance() {
    static StateTable table;
    return table;
  }
  std::shared_ptr<State> Get(HWND hwnd) const {
    auto it = map_.find(hwnd);
    return it == map_.end() ? nullptr : it->second;
  }
  std::shared_ptr<State> Create(HWND hwnd) {
    auto s = std::make_shared<State>();
    map_[hwnd] = s;
    return s;
  }
  void Drop(HWND hwnd) { map_.erase(hwnd); }

 private:
  // States that outlive the program's last message free their fonts and brushes when the table goes at
  // exit: the GDI table is made first, so it goes after this one.
  StateTable() { (void)GdiTable::instance(); }
  std::unordered_map<HWND, std::shared_ptr<State>> map_;
};

// The window procedure every control shares around its own message switch: the state is made on
// WM_NCCREATE (and handed to `OnCreate`, when given, with the creation lParam), a window without state gets
// DefWindowProc, WM_NCDESTROY drops the state, and every other message goes to `Dispatch` with the state
// held for the whole call.
template <class State, LRESULT (*Dispatch)(HWND, State&, UINT, WPARAM, LPARAM),
          void (*OnCreate)(HWND, State&, LPARAM) = nullptr>
LRESULT ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& states = StateTable<State>::Instance();
  if (msg == WM_NCCREATE) {
    auto fresh = states.Create(hwnd);
    if constexpr (OnCreate != nullptr) OnCreate(hwnd, *fresh, lParam);
  }
  auto s = states.Get(hwnd);
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    states.Drop(hwnd);
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  return Dispatch(hwnd, *s, msg, wParam, lParam);
}

// Registers a control's window class as a global class, so any module creates it by name.
void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor = IDC_ARROW);

DWORD StyleOf(HWND hwnd);
int IdOf(HWND hwnd);
// WM_COMMAND(MAKEWPARAM(id, code), hwnd) to the parent. Returns false when the control did not survive it.
bool NotifyParent(HWND hwnd, UINT code);
// WM_NOTIFY to the parent with the header filled in (hwndFrom, idFrom, code); returns the parent's answer.
LRESULT SendNotify(HWND hwnd, NMHDR* header, UINT code);
// The parent's answer to WM_CTLCOLOR*; the DC's colours are whatever the parent set.
HBRUSH ControlColor(HWND hwnd, UINT msg, HDC dc);
// The window's whole text.
std::string WindowTextOf(HWND hwnd);
// The control's font: WM_SETFONT's, else the system font.
HFONT FontOr(HFONT font);

// Keys a control that asks for every key (DLGC_WANTALLKEYS: multi-line edits) turns into its dialog's actions
// itself. The dialog manager sits above the controls, so it installs the route when it loads; without it (or
// when the parent is no dialog: a grid's cell edit) the control keeps the key.
enum class DialogKey { Next, Previous, Cancel, Default };
struct DialogKeyRoute {
  bool (*parentIsDialog)(HWND control) = nullptr;
  void (*act)(HWND control, DialogKey key) = nullptr;  // Tab, Shift+Tab, Esc, Enter as the dialog manager does them
};
void SetDialogKeyRoute(DialogKeyRoute route);
// The multi-line text controls' dialog keys (edit and rich edit): Tab, Shift+Tab, Esc and Enter without
// ES_WANTRETURN go to the dialog when the parent is one; Ctrl keeps them as text. True when the key went.
bool MultilineDialogKeyDown(HWND hwnd, WPARAM vk, bool shift, bool ctrl);
// The character of a key MultilineDialogKeyDown gave to the dialog is no text.
bool IsMultilineDialogChar(HWND hwnd, unsigned char c);
bool ParentIsDialog(HWND control);
void DialogAction(HWND control, DialogKey key);

// Selects a GDI object for a scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectScope() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint/EndPaint for a scope; a WM_PAINT wParam DC (WM_PRINTCLIENT-style painting) is used as given.
class PaintScope {
 public:
  PaintScope(HWND hwnd, WPARAM wParam);
  ~PaintScope();
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
  bool own_;
};

// The painting of a control drawn whole by `paint(hwnd, dc, s)`: WM_PAINT, and WM_ERASEBKGND with nothing
// to erase. Nothing for the other messages.
template <class State, class PaintFn>
std::optional<LRESULT> PaintMessage(HWND hwnd, State& s, UINT msg, WPARAM wParam, PaintFn paint) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return std::nullopt;
  PaintScope scope(hwnd, wParam);
  paint(hwnd, scope.dc(), s);
  return 0;
}

// PaintMessage for a control that also shows its focus: WM_SETFOCUS and WM_KILLFOCUS (`s.focused`, the
// control repainted), and, when its state keeps a font, WM_SETFONT (repainted when asked) and WM_GETFONT
// (`s.font`). Nothing for the other messages.
template <class State, class PaintFn>
std::optional<LRESULT> PaintedControlMessage(HWND hwnd, State& s, UINT msg, WPARAM wParam, LPARAM lParam,
                                             PaintFn paint) {
  if (auto painted = PaintMessage(hwnd, s, msg, wParam, paint)) return painted;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      s.focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    default: break;
  }
  if constexpr (requires { s.font; }) {
    if (msg == WM_SETFONT) {
      s.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(s.font);
  }
  return std::nullopt;
}

// A client DC for synchronous redraws of state changes (GetDC/ReleaseDC).
class ClientDC {
 public:
  explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ClientDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

CRect ClientRectOf(HWND hwnd);
int FontHeight(HFONT font);  // tmHeight of the font on the screen DC

// Registration of every control class (done once when the library loads; idempotent).
void RegisterControlClasses();

}  // namespace plat::controls
