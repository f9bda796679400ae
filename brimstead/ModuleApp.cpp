#include "brimstead/ModuleApp.h"

#include "platform/base/ResourceTable.h"

namespace {
// The process-wide application pointer that the hook procedure reads: the hook has no other way to reach its
// object, and exactly one application object serves it.
CModuleApp* g_pModuleApp = nullptr;
}  // namespace

CModuleApp* GetModuleApp() { return g_pModuleApp; }

CModuleApp::CModuleApp() : CWinApp(nullptr) {
  // The module's application object belongs to the module: its instance is the module's, whose title string
  // names it (no name goes to the class library).
  m_hInstance = plat::ResourceTable::ModuleHandle("brimstead");
  g_pModuleApp = this;
}

CModuleApp::~CModuleApp() {
  // A hook left behind would call into an object (and, after unloading, code) that no longer exists.
  RemoveKeyboardHook();
  if (g_pModuleApp == this)
    g_pModuleApp = nullptr;
}

int CModuleApp::ExitInstance() {
  RemoveKeyboardHook();
  return CWinApp::ExitInstance();
}

void CModuleApp::UseKeyboardHook(bool use) {
  if (use) {
    if (!m_hKeyboardHook)
      m_hKeyboardHook = ::SetWindowsHookExA(WH_GETMESSAGE, &KeyboardHookProc, nullptr, m_nThreadID);
    if (m_hKeyboardHook)
      ++m_nKeyboardHookUses;
    return;
  }
  if (!m_hKeyboardHook)
    return;
  const int before = m_nKeyboardHookUses--;
  if (before == 1)
    RemoveKeyboardHook();
}

void CModuleApp::RemoveKeyboardHook() {
  if (m_hKeyboardHook)
    ::UnhookWindowsHookEx(m_hKeyboardHook);
  m_hKeyboardHook = nullptr;
  m_nKeyboardHookUses = 0;
}

LRESULT KeyboardHookProc(int code, WPARAM removeFlag, LPARAM msg) {
  MSG* message = reinterpret_cast<MSG*>(msg);
  if (code >= 0 && removeFlag == PM_REMOVE && message && message->message >= WM_KEYFIRST &&
      message->message <= WM_KEYLAST && g_pModuleApp && g_pModuleApp->PreTranslateMessage(message)) {
    // Handled: the host's loop dispatches a null message in its place.
    message->message = 0;
    message->wParam = 0;
    message->lParam = 0;
  }
  return ::CallNextHookEx(nullptr, code, removeFlag, msg);
}
