// The stand-in for online help: a small replaceable service that records what was asked. The module's own
// code decides the document key and topic; the default service records each call (owner, help file or
// document key, command, topic) and answers a configured code (0 = success; the module gives 2..9 its own
// error meanings). External programs go through the base layer's program launcher (CreateProcess).
#pragma once

#include <string>
#include <vector>

#include "platform/base/wintypes.h"

namespace plat {

struct HelpCall {
  HWND owner;
  std::string file;  // help file or document key
  UINT command;
  DWORD_PTR data;    // topic
};

class HelpService {
 public:
  virtual ~HelpService() = default;
  virtual int Show(HWND owner, const std::string& file, UINT command, DWORD_PTR data);

  static HelpService& Current();
  // Null restores the default service.
  static void Install(HelpService* service);

  std::vector<HelpCall> calls;
  int answer = 0;
};

}  // namespace plat
