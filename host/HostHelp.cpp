#include "host/HostHelp.h"

#include "host/HostCallbackLog.h"
#include "platform/controls/winctrl.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/windowapi.h"

namespace host {

namespace {
constexpr int kWidth = 300;
constexpr int kHeight = 80;
constexpr const char* kTopicClass = "PdnhostHelpTopic";

// The topic window's class: a plain frame in the dialog colour; its text is a static inside it.
void RegisterTopicClass() {
  WNDCLASSEX wc{};
  if (GetClassInfoEx(nullptr, kTopicClass, &wc))
    return;
  wc = WNDCLASSEX{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_3DFACE + 1));
  wc.lpszClassName = kTopicClass;
  RegisterClassEx(&wc);
}
}  // namespace

HostHelp::HostHelp(HostCallbackLog& log, Window window) : m_log(log), m_show(window) {
  plat::HelpService::Install(this);
}

HostHelp::~HostHelp() {
  if (&plat::HelpService::Current() == this)
    plat::HelpService::Install(nullptr);
  if (m_window && IsWindow(m_window))
    DestroyWindow(m_window);
}

int HostHelp::Show(HWND owner, const std::string& file, UINT command, DWORD_PTR data) {
  plat::HelpService::Show(owner, file, command, data);
  m_log.Log("Help \"" + file + "\" " + std::to_string(command) + " " + std::to_string(data));
  if (m_show == Window::OnScreen) {
    const std::string text = "Help file \"" + file + "\", topic " + std::to_string(data);
    if (!m_window || !IsWindow(m_window)) {
      // In the desktop's top right corner, never activated: the wizard keeps the keyboard and a script's steps.
      RECT desktop{};
      GetWindowRect(GetDesktopWindow(), &desktop);
      RegisterTopicClass();
      m_window = CreateWindowEx(0, kTopicClass, "pdnhost: help", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER,
                                desktop.right - kWidth - 8, desktop.top + 8, kWidth, kHeight, nullptr, nullptr,
                                nullptr, nullptr);
      if (!m_window)
        return 0;
      RECT client{};
      GetClientRect(m_window, &client);
      m_text = CreateWindowEx(0, WC_STATIC, "", WS_CHILD | WS_VISIBLE, 8, 8, client.right - 16, client.bottom - 16,
                              m_window, nullptr, nullptr, nullptr);
    }
    if (m_text)
      SetWindowText(m_text, text.c_str());
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
  }
  return 0;
}

}  // namespace host
