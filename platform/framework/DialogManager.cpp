#include "platform/framework/DialogManager.h"

#include "platform/window/Placement.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/MulDiv.h"
#include "platform/base/ResourceTable.h"
#include "platform/controls/ControlSupport.h"
#include "platform/framework/WindowMap.h"
#include "platform/gdi/Mnemonic.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/WindowClassRegistry.h"

namespace plat {

namespace {

struct DialogState {
  DLGPROC proc = nullptr;
  LONG_PTR msgResult = 0;
  LONG_PTR user = 0;
  HFONT font = nullptr;
  bool ownsFont = false;
  int defId = 0;
  HWND savedFocus = nullptr;
  bool ended = false;
  INT_PTR result = 0;
  ModalLoop* loop = nullptr;  // DialogBox's loop
};

std::unordered_map<HWND, DialogState>& States() {
  static std::unordered_map<HWND, DialogState> states;
  return states;
}

DialogState* StateOf(HWND hwnd) {
  auto it = States().find(hwnd);
  return it == States().end() ? nullptr : &it->second;
}

// The state prepared for the dialog window being created: adopted by its first message.
DialogState* g_pending = nullptr;

UINT DlgCode(HWND hwnd, const MSG* msg = nullptr) {
  return static_cast<UINT>(::SendMessage(hwnd, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg)));
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(::GetWindowLong(hwnd, GWL_STYLE)); }
DWORD ExStyleOf(HWND hwnd) { return static_cast<DWORD>(::GetWindowLong(hwnd, GWL_EXSTYLE)); }

// A control takes part in navigation when it is visible and enabled itself; the dialog may still be hidden
// (the first focus is given before the dialog is shown).
bool IsUsable(HWND hwnd) { return (StyleOf(hwnd) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

bool IsControlParent(HWND hwnd) {
  return (ExStyleOf(hwnd) & WS_EX_CONTROLPARENT) || (IsDialogWindow(hwnd) && (StyleOf(hwnd) & DS_CONTROL));
}

// The controls of a dialog in tab order: children in creation order, with the controls of child dialogs
// that join the parent's navigation (DS_CONTROL, WS_EX_CONTROLPARENT) in place of the child dialog.
void CollectControls(HWND parent, std::vector<HWND>& out) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (IsControlParent(child)) {
      if (IsUsable(child)) CollectControls(child, out);
    } else {
      out.push_back(child);
    }
  }
}

std::vector<HWND> Controls(HWND dialog) {
  std::vector<HWND> out;
  CollectControls(dialog, out);
  return out;
}

bool IsPushButton(UINT code) { return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

// The first and one-past-last index of the group holding controls[i] among its own siblings.
std::pair<std::size_t, std::size_t> GroupBounds(const std::vector<HWND>& controls, std::size_t i) {
  HWND parent = ::GetParent(controls[i]);
  std::size_t first = i;
  while (first > 0 && !(StyleOf(controls[first]) & WS_GROUP) && ::GetParent(controls[first - 1]) == parent) --first;
  std::size_t last = i + 1;
  while (last < controls.size() && !(StyleOf(controls[last]) & WS_GROUP) && ::GetParent(controls[last]) == parent)
    ++last;
  return {first, last};
}

// A radio group is entered at its checked button.
HWND CheckedRadioOfGroup(const std::vector<HWND>& controls, std::size_t i) {
  if (!(DlgCode(controls[i]) & DLGC_RADIOBUTTON)) return controls[i];
  auto [first, last] = GroupBounds(controls, i);
  for (std::size_t k = first; k < last; ++k)
    if (IsUsable(controls[k]) && (DlgCode(controls[k]) & DLGC_RADIOBUTTON) &&
        ::SendMessage(controls[k], BM_GETCHECK, 0, 0) == BST_CHECKED)
      return controls[k];
  return controls[i];
}

void ClickButton(HWND dialog, int id, HWND button) {
  if (button && !::IsWindowEnabled(button)) {
    ::MessageBeep(0);
    return;
  }
  // The button's notification goes where a click on it sends its own: to its parent, which for a button of a
  // child dialog that joins the navigation (a wizard's button bar, a pane) is not the dialog that got the key, and
  // whose ids the outer dialog does not know or gives other meanings (IDCANCEL).
  HWND owner = button && ::IsChild(dialog, button) ? ::GetParent(button) : dialog;
  ::SendMessage(owner, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int DefaultId(HWND dialog) {
  // DM_GETDEFID shares its number with controls' own WM_USER messages: only dialogs are asked.
  if (!IsDialogWindow(dialog)) return IDOK;
  LRESULT answer = ::SendMessage(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(answer) == DC_HASDEFID ? static_cast<int>(LOWORD(answer)) : IDOK;
}

// A child dialog that joins its parent's navigation hands the keys to the outermost such dialog.
HWND NavigationDialog(HWND dialog) {
  while ((StyleOf(dialog) & WS_CHILD) && IsControlParent(dialog) && IsDialogWindow(::GetParent(dialog)))
    dialog = ::GetParent(dialog);
  return dialog;
}

// The dialog's answers to Tab, Enter and Esc, for the dialog manager and for the controls that keep every key
// and hand these back (DialogKeyRoute).
void TabToNext(HWND dialog, HWND focus, bool previous) {
  if (HWND next = ::GetNextDlgTabItem(dialog, ::IsChild(dialog, focus) ? focus : nullptr, previous))
    DialogSetFocus(dialog, next);
}

void PressDefault(HWND dialog, HWND focus) {
  int id;
  HWND button;
  if (focus && ::IsChild(dialog, focus) && IsPushButton(DlgCode(focus))) {
    button = focus;
    id = ::GetDlgCtrlID(focus);
  } else {
    id = DefaultId(dialog);
    button = ::GetDlgItem(dialog, id);
  }
  ClickButton(dialog, id, button);
}

void PressCancel(HWND dialog) { ClickButton(dialog, IDCANCEL, ::GetDlgItem(dialog, IDCANCEL)); }

bool ParentIsDialog(HWND control) { return IsDialogWindow(::GetParent(control)); }

void ControlDialogKey(HWND control, controls::DialogKey key) {
  HWND dialog = ::GetParent(control);
  if (!IsDialogWindow(dialog)) return;
  dialog = NavigationDialog(dialog);
  switch (key) {
    case controls::DialogKey::Next: TabToNext(dialog, control, false); break;
    case controls::DialogKey::Previous: TabToNext(dialog, control, true); break;
    case controls::DialogKey::Cancel: PressCancel(dialog); break;
    case controls::DialogKey::Default: PressDefault(dialog, control); break;
  }
}

[[maybe_unused]] const bool kDialogKeysRouted =
    (controls::SetDialogKeyRoute({&ParentIsDialog, &ControlDialogKey}), true);

void SetButtonLook(HWND button, bool isDefault) {
  UINT code = DlgCode(button);
  if (!IsPushButton(code)) return;
  if (((code & DLGC_DEFPUSHBUTTON) != 0) == isDefault) return;
  ::SendMessage(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool HandleMnemonic(HWND dialog, HWND focus, char ch) {
  const std::vector<HWND> controls = Controls(dialog);
  if (controls.empty()) return false;
  const char wanted = static_cast<char>(ToLower1252(static_cast<unsigned char>(ch)));
  auto start = std::find(controls.begin(), controls.end(), focus);
  std::size_t begin = start == controls.end() ? 0 : static_cast<std::size_t>(start - controls.begin()) + 1;
  for (std::size_t n = 0; n < controls.size(); ++n) {
    HWND c = controls[(begin + n) % controls.size()];
    if (!IsUsable(c)) continue;
    char text[256];
    ::GetWindowText(c, text, sizeof text);
    char m = MnemonicChar(text);
    if (!m || m != wanted) continue;
    UINT code = DlgCode(c);
    if (code & DLGC_STATIC) {
      // A label hands its mnemonic to the next control that takes the focus.
      HWND next = ::GetNextDlgTabItem(dialog, c, FALSE);
      if (next) DialogSetFocus(dialog, next);
      return true;
    }
    if (code & DLGC_BUTTON) {
      if (!IsPushButton(code)) DialogSetFocus(dialog, c);
      ::SendMessage(c, BM_CLICK, 0, 0);
      return true;
    }
    DialogSetFocus(dialog, c);
    return true;
  }
  return false;
}

HFONT MakeTemplateFont(const DialogTemplate& t) {
  if (!(t.style & DS_SETFONT) || !t.fontFace) return nullptr;
  LOGFONT lf{};
  lf.lfHeight = -::MulDiv(t.pointSize ? t.pointSize : 8, 96, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", t.fontFace);
  return ::CreateFontIndirect(&lf);
}

}  // namespace

bool IsDialogWindow(HWND hwnd) { return StateOf(hwnd) != nullptr; }

void CheckDefaultButton(HWND dialog, HWND oldFocus, HWND focus) {
  if (!IsDialogWindow(dialog)) return;
  const UINT newCode = focus ? DlgCode(focus) : 0;
  // The push button losing the focus gives up the look, also when the focus goes to another push button
  // (otherwise two buttons would look like the default).
  if (oldFocus && oldFocus != focus && ::IsChild(dialog, oldFocus) && IsPushButton(DlgCode(oldFocus)))
    SetButtonLook(oldFocus, false);
  HWND real = ::GetDlgItem(dialog, DefaultId(dialog));
  if (IsPushButton(newCode)) {
    if (real && real != focus) SetButtonLook(real, false);
    SetButtonLook(focus, true);
  } else if (real) {
    SetButtonLook(real, true);
  }
}

// The focus the dialog manager itself last moved (and fixed the default look for), so that the check after a
// dispatched message does not run a second time for it.
thread_local HWND t_focusSetByManager = nullptr;

void DialogSetFocus(HWND dialog, HWND control) {
  if (!control) return;
  CheckDefaultButton(dialog, ::GetFocus(), control);
  t_focusSetByManager = control;
  ::SetFocus(control);
  if (DlgCode(control) & DLGC_HASSETSEL) ::SendMessage(control, EM_SETSEL, 0, -1);
}

void RegisterDialogClass() {
  if (WindowClassRegistry::Instance().Find(kDialogClass, nullptr)) return;
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS;
  wc.lpfnWndProc = &DefDlgProc;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kDialogClass;
  WindowClassRegistry::Instance().Register(wc, /*system=*/true);
}

bool CreateDialogControls(HWND dialog, const DialogTemplate& t, HINSTANCE instance, HFONT font) {
  const SIZE base = DialogBaseUnits(t.style & DS_SETFONT ? t.pointSize : 8);
  for (const DialogItemTemplate& item : t.items) {
    CRect r = DialogUnitsToPixels(CRect(item.x, item.y, item.x + item.cx, item.y + item.cy), base);
    HWND control = ::CreateWindowEx(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className, item.text ? item.text : "",
                                    (item.style | WS_CHILD) & ~WS_POPUP, r.left, r.top, r.Width(), r.Height(), dialog,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!::IsWindow(dialog)) return false;
    if (!control) {
      if (t.style & DS_NOFAILCREATE) continue;
      return false;
    }
    if (font) ::SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The first control that says it is a default push button becomes the dialog's default.
    if (DialogState* s = StateOf(dialog); s && s->defId == 0 && (DlgCode(control) & DLGC_DEFPUSHBUTTON))
      s->defId = item.id;
  }
  return true;
}

}  // namespace plat

using plat::DialogState;
using plat::StateOf;

HWND CreateDialogIndirectParam(HINSTANCE instance, const DialogTemplate* t, HWND parent, DLGPROC proc, LPARAM init) {
  if (!t) return nullptr;
  plat::RegisterDialogClass();
  const bool child = (t->style & WS_CHILD) != 0;
  const SIZE base = plat::DialogBaseUnits(t->style & DS_SETFONT ? t->pointSize : 8);
  CRect client = plat::DialogUnitsToPixels(CRect(t->x, t->y, t->x + t->cx, t->y + t->cy), base);
  DWORD style = t->style & ~WS_VISIBLE;
  if (t->style & DS_MODALFRAME) style |= WS_DLGFRAME;
  CRect frame(0, 0, client.Width(), client.Height());
  ::AdjustWindowRectEx(&frame, style, FALSE, t->exStyle);
  // The template's position is the window's own top left corner (its frame's, not its client area's): in the
  // parent's client area for a child, in the owner's client area for a popup with an owner, else on the screen.
  CPoint origin = client.TopLeft();
  if (!child && (t->style & DS_CENTER)) {
    // Centred in the work area of the owner's monitor (the first monitor without an owner).
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    ::GetMonitorInfo(parent ? ::MonitorFromWindow(::GetTopLevelParent(parent), MONITOR_DEFAULTTONEAREST)
                            : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONEAREST),
                     &info);
    const RECT& area = info.rcWork;
    origin = CPoint(area.left + (area.right - area.left - frame.Width()) / 2,
                    area.top + (area.bottom - area.top - frame.Height()) / 2);
  } else if (!child && parent) {
    POINT p{origin.x, origin.y};
    ::ClientToScreen(parent, &p);
    origin = p;
  }
  if (!child) {
    // Never with part of the frame off the work area: the caption must be there to be seen and dragged.
    const RECT kept = plat::KeepOnWorkArea(RECT{origin.x, origin.y, origin.x + frame.Width(), origin.y + frame.Height()});
    origin = CPoint(kept.left, kept.top);
  }

  DialogState state;
  state.proc = proc;
  state.font = plat::MakeTemplateFont(*t);
  state.ownsFont = state.font != nullptr;
  if (!state.font) state.font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));

  DialogState* outer = plat::g_pending;
  plat::g_pending = &state;
  HWND dialog = ::CreateWindowEx(t->exStyle, t->className ? t->className : plat::kDialogClass, t->caption, style,
                                 origin.x, origin.y, frame.Width(), frame.Height(), parent, nullptr, instance, nullptr);
  plat::g_pending = outer;
  if (!dialog) {
    if (state.ownsFont) ::DeleteObject(state.font);
    return nullptr;
  }
  DialogState* s = StateOf(dialog);
  if (!s) {  // a class that is not a dialog: nothing took the state
    if (state.ownsFont) ::DeleteObject(state.font);
    ::DestroyWindow(dialog);
    return nullptr;
  }
  ::SendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), FALSE);
  if (!plat::CreateDialogControls(dialog, *t, instance, s->font)) {
    if (::IsWindow(dialog)) ::DestroyWindow(dialog);
    return nullptr;
  }
  HWND first = ::GetNextDlgTabItem(dialog, nullptr, FALSE);
  LRESULT focus = ::SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init);
  if (!::IsWindow(dialog)) return nullptr;
  if (focus) {
    first = ::GetNextDlgTabItem(dialog, nullptr, FALSE);  // the handler may have changed the controls
    if (first) plat::DialogSetFocus(dialog, first);
    if (DialogState* again = StateOf(dialog)) again->savedFocus = first;
  }
  if (t->style & WS_VISIBLE) ::ShowWindow(dialog, SW_SHOWNORMAL);
  return ::IsWindow(dialog) ? dialog : nullptr;
}

HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM init) {
  (void)instance;
  return CreateDialogIndirectParam(AfxFindResourceHandle(name, RT_DIALOG), plat::FindDialogTemplate(name), parent,
                                   proc, init);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const DialogTemplate* t, HWND parent, DLGPROC proc, LPARAM init) {
  HWND owner = parent ? ::GetTopLevelParent(parent) : nullptr;
  HWND dialog = CreateDialogIndirectParam(instance, t, owner, proc, init);
  if (!dialog) return -1;
  DialogState* s = StateOf(dialog);
  if (s->ended) {  // EndDialog inside WM_INITDIALOG
    INT_PTR result = s->result;
    ::DestroyWindow(dialog);
    return result;
  }
  plat::ModalLoop::Options options;
  options.owner = owner;
  options.window = dialog;
  options.preTranslate = [dialog](MSG& msg) { return ::IsWindow(dialog) && ::IsDialogMessage(dialog, &msg); };
  options.letGo = [dialog] {
    if (DialogState* after = StateOf(dialog)) after->loop = nullptr;
  };
  plat::ModalLoop loop(std::move(options));
  s->loop = &loop;
  if (!::IsWindowVisible(dialog)) ::ShowWindow(dialog, SW_SHOWNORMAL);
  int result = loop.Run();
  if (::IsWindow(dialog)) ::DestroyWindow(dialog);
  return result;
}

INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM init) {
  (void)instance;
  return DialogBoxIndirectParam(AfxFindResourceHandle(name, RT_DIALOG), plat::FindDialogTemplate(name), parent, proc,
                                init);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* s = StateOf(dialog);
  if (!s) return FALSE;
  s->ended = true;
  s->result = result;
  if (s->loop) s->loop->End(static_cast<int>(result));
  return TRUE;
}

LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState* s = StateOf(dialog);
  if (!s) {
    if (!plat::g_pending) return ::DefWindowProc(dialog, message, wParam, lParam);
    s = &plat::States().emplace(dialog, *plat::g_pending).first->second;
    plat::g_pending = nullptr;
  }
  if (s->proc) {
    s->msgResult = 0;
    INT_PTR handled = s->proc(dialog, message, wParam, lParam);
    s = StateOf(dialog);
    if (!s) return handled;  // the procedure destroyed the dialog
    switch (message) {
      // These messages answer through the procedure's return value itself.
      case WM_INITDIALOG:
      case WM_COMPAREITEM:
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
        if (handled) return handled;
        break;
      default:
        if (handled) return s->msgResult;
    }
  }
  switch (message) {
    case DM_GETDEFID:
      return s->defId ? static_cast<LRESULT>(MAKELONG(s->defId, DC_HASDEFID)) : 0;
    case DM_SETDEFID: {
      HWND old = s->defId ? ::GetDlgItem(dialog, s->defId) : nullptr;
      s->defId = static_cast<int>(wParam);
      if (old) plat::SetButtonLook(old, false);
      if (HWND button = ::GetDlgItem(dialog, s->defId)) plat::SetButtonLook(button, true);
      return TRUE;
    }
    case WM_NEXTDLGCTL: {
      HWND target;
      if (LOWORD(lParam)) {
        target = reinterpret_cast<HWND>(wParam);
      } else {
        HWND focus = ::GetFocus();
        target = ::GetNextDlgTabItem(dialog, ::IsChild(dialog, focus) ? focus : nullptr, wParam != 0);
      }
      if (target) plat::DialogSetFocus(dialog, target);
      return 0;
    }
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETFONT:
      if (s->ownsFont && s->font != reinterpret_cast<HFONT>(wParam)) {
        ::DeleteObject(s->font);
        s->ownsFont = false;
      }
      s->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_CLOSE: {
      HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
      if (!cancel || ::IsWindowEnabled(cancel))
        ::PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(::SendMessage(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
      if (!brush) brush = ::GetSysColorBrush(COLOR_BTNFACE);
      RECT r;
      ::GetClientRect(dialog, &r);
      ::FillRect(dc, &r, brush);
      return TRUE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(dialog, focus)) s->savedFocus = focus;
      } else if (::IsWindow(s->savedFocus) && ::IsChild(dialog, s->savedFocus)) {
        ::SetFocus(s->savedFocus);
      } else if (HWND first = ::GetNextDlgTabItem(dialog, nullptr, FALSE)) {
        plat::DialogSetFocus(dialog, first);
      }
      return 0;
    case WM_SETFOCUS: {
      HWND target = ::IsWindow(s->savedFocus) && ::IsChild(dialog, s->savedFocus)
                        ? s->savedFocus
                        : ::GetNextDlgTabItem(dialog, nullptr, FALSE);
      if (target) plat::DialogSetFocus(dialog, target);
      return 0;
    }
    case WM_SHOWWINDOW:
      if (!wParam) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(dialog, focus)) s->savedFocus = focus;
      }
      return ::DefWindowProc(dialog, message, wParam, lParam);
    case WM_NCDESTROY: {
      if (s->ownsFont) ::DeleteObject(s->font);
      if (s->loop) s->loop->End(static_cast<int>(s->ended ? s->result : IDCANCEL));
      plat::States().erase(dialog);
      return ::DefWindowProc(dialog, message, wParam, lParam);
    }
    default:
      return ::DefWindowProc(dialog, message, wParam, lParam);
  }
}

BOOL IsDialogMessage(HWND dialog, LPMSG msg) {
  if (!msg || !dialog || !::IsWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && !::IsChild(dialog, msg->hwnd)) return FALSE;
  dialog = plat::NavigationDialog(dialog);
  const UINT m = msg->message;
  if (m == WM_SYSCHAR) {
    // Alt+mnemonics belong to the dialog whatever the control asks for (a multi-line edit asks for every key).
    if (plat::HandleMnemonic(dialog, ::GetFocus(), static_cast<char>(msg->wParam))) return TRUE;
  } else if (m == WM_KEYDOWN || m == WM_CHAR) {
    const UINT code = plat::DlgCode(msg->hwnd, msg);
    HWND focus = ::GetFocus();
    if (!(code & DLGC_WANTALLKEYS)) {
      if (m == WM_CHAR) {
        if (!(code & DLGC_WANTCHARS) && msg->wParam > ' ' &&
            plat::HandleMnemonic(dialog, focus, static_cast<char>(msg->wParam)))
          return TRUE;
      } else {
        switch (static_cast<int>(msg->wParam)) {
          case VK_TAB:
            if (code & DLGC_WANTTAB) break;
            plat::TabToNext(dialog, focus, ::GetKeyState(VK_SHIFT) < 0);
            return TRUE;
          case VK_LEFT:
          case VK_UP:
          case VK_RIGHT:
          case VK_DOWN: {
            if (code & DLGC_WANTARROWS) break;
            const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
            HWND next = ::GetNextDlgGroupItem(dialog, ::IsChild(dialog, focus) ? focus : nullptr, back);
            if (next && next != focus) {
              plat::DialogSetFocus(dialog, next);
              UINT nextCode = plat::DlgCode(next);
              if ((nextCode & DLGC_RADIOBUTTON) &&
                  (plat::StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                ::SendMessage(next, BM_CLICK, 0, 0);
            }
            return TRUE;
          }
          case VK_RETURN: plat::PressDefault(dialog, focus); return TRUE;
          case VK_ESCAPE: plat::PressCancel(dialog); return TRUE;
          default: break;
        }
      }
    }
  }
  // Focus that moves while the message runs - a click on a push button, a handler's SetFocus - gets the same
  // default-button look as focus moved by the keys above. Buttons do not do it themselves on WM_SETFOCUS:
  // this is the one place, for every button class.
  HWND before = ::GetFocus();
  plat::t_focusSetByManager = nullptr;
  ::TranslateMessage(msg);
  ::DispatchMessage(msg);
  HWND after = ::GetFocus();
  if (after != before && after != plat::t_focusSetByManager && ::IsWindow(dialog))
    plat::CheckDefaultButton(dialog, before, ::IsChild(dialog, after) ? after : nullptr);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  const std::vector<HWND> controls = plat::Controls(dialog);
  if (controls.empty()) return nullptr;
  const std::size_t n = controls.size();
  auto it = control ? std::find(controls.begin(), controls.end(), control) : controls.end();
  std::size_t from;  // the search starts after (or before) this position
  if (it == controls.end()) {
    from = previous ? 0 : n - 1;  // wraps to the first (last) control
  } else {
    from = static_cast<std::size_t>(it - controls.begin());
    // Leaving a radio group: step over the whole group.
    if (plat::DlgCode(controls[from]) & DLGC_RADIOBUTTON) {
      auto [first, last] = plat::GroupBounds(controls, from);
      from = previous ? first : last - 1;
    }
  }
  for (std::size_t k = 1; k <= n; ++k) {
    std::size_t i = previous ? (from + n - k) % n : (from + k) % n;
    HWND c = controls[i];
    if ((plat::StyleOf(c) & WS_TABSTOP) && plat::IsUsable(c)) return plat::CheckedRadioOfGroup(controls, i);
  }
  return control && it != controls.end() ? control : nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  const std::vector<HWND> controls = plat::Controls(dialog);
  auto it = control ? std::find(controls.begin(), controls.end(), control) : controls.end();
  if (it == controls.end()) return controls.empty() ? nullptr : controls.front();
  const std::size_t i = static_cast<std::size_t>(it - controls.begin());
  auto [first, last] = plat::GroupBounds(controls, i);
  const std::size_t size = last - first;
  for (std::size_t k = 1; k < size; ++k) {
    std::size_t j = first + (previous ? (i - first + size - k) % size : (i - first + k) % size);
    if (plat::IsUsable(controls[j])) return controls[j];
  }
  return control;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  if (!rect || !::IsWindow(dialog)) return FALSE;
  DialogState* s = StateOf(dialog);
  LOGFONT lf{};
  WORD points = 8;
  if (s && s->font && ::GetObject(s->font, sizeof lf, &lf) && lf.lfHeight < 0)
    points = static_cast<WORD>(::MulDiv(-lf.lfHeight, 72, 96));
  *rect = plat::DialogUnitsToPixels(CRect(*rect), plat::DialogBaseUnits(points));
  return TRUE;
}

LONG_PTR SetDialogLong(HWND dialog, int index, LONG_PTR value) {
  DialogState* s = StateOf(dialog);
  if (!s) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case DWLP_MSGRESULT: old = s->msgResult; s->msgResult = value; break;
    case DWLP_DLGPROC: old = reinterpret_cast<LONG_PTR>(s->proc); s->proc = reinterpret_cast<DLGPROC>(value); break;
    case DWLP_USER: old = s->user; s->user = value; break;
    default: break;
  }
  return old;
}

LONG_PTR GetDialogLong(HWND dialog, int index) {
  DialogState* s = StateOf(dialog);
  if (!s) return 0;
  switch (index) {
    case DWLP_MSGRESULT: return s->msgResult;
    case DWLP_DLGPROC: return reinterpret_cast<LONG_PTR>(s->proc);
    case DWLP_USER: return s->user;
    default: return 0;
  }
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = ::GetDlgItem(dialog, id);
  return item ? ::SendMessage(item, message, wParam, lParam) : 0;
}

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) {
  HWND item = ::GetDlgItem(dialog, id);
  return item ? ::SetWindowText(item, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size) {
  HWND item = ::GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(::GetWindowText(item, buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  char text[16];
  if (isSigned)
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  else
    std::snprintf(text, sizeof text, "%u", value);
  return SetDlgItemText(dialog, id, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  char text[64];
  if (!GetDlgItemText(dialog, id, text, sizeof text) && !::GetDlgItem(dialog, id)) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (isSigned && *p == '-') {
    negative = true;
    ++p;
  }
  if (*p < '0' || *p > '9') return 0;
  unsigned long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p) return 0;
  if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
  if (translated) *translated = TRUE;
  return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

