#include "platform/framework/HelpService.h"

namespace plat {

namespace {
HelpService* g_help = nullptr;
}  // namespace

int HelpService::Show(HWND owner, const std::string& file, UINT command, DWORD_PTR data) {
  calls.push_back({owner, file, command, data});
  return answer;
}

HelpService& HelpService::Current() {
  static HelpService fallback;
  return g_help ? *g_help : fallback;
}

void HelpService::Install(HelpService* service) { g_help = service; }

}  // namespace plat
