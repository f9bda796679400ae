// Message boxes: MessageBox and AfxMessageBox.
//
// Opening one sends WM_CANCELMODE to the capture window and takes the focus away (the focus window gets
// WM_KILLFOCUS); the answer comes from the automation provider when one is installed (headless runs,
// tests), else from the platform's own box window on screen under a nested loop (the presenter). The
// focus returns to where it was when the box closes. With neither, the request fails loudly
// (AutomationMissing) instead of hanging.
#pragma once

#include <string>
#include <vector>

#include "platform/framework/ControlCodes.h"

constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_HELP = 0x00004000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
inline int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) { return MessageBox(owner, text, caption, type); }
// The caption is the application's name; the owner the active window (else the main window).
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

namespace plat {

struct MessageBoxButton {
  int id;
  const char* text;
};
// The buttons of a box type, in order.
std::vector<MessageBoxButton> MessageBoxButtons(UINT type);
// The button that starts as the default (MB_DEFBUTTONn, clamped to the buttons there are).
int MessageBoxDefault(UINT type);
// The answer Esc and the close box give: IDCANCEL when there is such a button, IDOK for a lone OK; 0 when
// the box has no way out but its buttons (MB_YESNO, MB_ABORTRETRYIGNORE). A box destroyed unanswered (its
// owner went) answers the same.
int MessageBoxEscape(UINT type);

// The platform's own box window, modeless (the on-screen path runs a nested loop around it; tests take
// screenshots of it). Under MessageBox its answer ends that call's own loop, not any loop run inside it.
HWND CreateMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type);
// The answer the box window gave; 0 while it has none.
int MessageBoxWindowResult(HWND box);

}  // namespace plat
