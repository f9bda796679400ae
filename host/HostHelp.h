// The bundled host's online help. The module's help calls (its Help buttons) reach the platform's help service;
// pdnhost installs this one, which logs every call as a callback line, `Help "<file>" <command> <topic>`, and on
// screen shows a small window that names the file and topic, so that a person sees the call arrive.
#pragma once

#include "platform/framework/HelpService.h"

#include <string>

namespace host {

class HostCallbackLog;

class HostHelp final : public plat::HelpService {
public:
  enum class Window { None, OnScreen };
  HostHelp(HostCallbackLog& log, Window window);
  ~HostHelp() override;
  HostHelp(const HostHelp&) = delete;
  HostHelp& operator=(const HostHelp&) = delete;

  int Show(HWND owner, const std::string& file, UINT command, DWORD_PTR data) override;


private:
  HostCallbackLog& m_log;
  Window m_show;
  HWND m_window = nullptr;   // the topic window and its text
  HWND m_text = nullptr;
};

}  // namespace host
