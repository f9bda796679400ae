#include "platform/base/Terminate.h"

#include <cstdlib>
#include <mutex>

namespace plat {
namespace {

std::mutex& HookMutex() {
  static std::mutex m;
  return m;
}

std::function<void(int)>& Hook() {
  static std::function<void(int)> hook;
  return hook;
}

}  // namespace

void Exit(int code) {
  std::function<void(int)> hook;
  {
    std::lock_guard lock(HookMutex());
    hook = Hook();
  }
  if (hook) hook(code);  // a test hook throws; one that returns still ends the process below
  std::exit(code);
}

std::function<void(int)> SetTerminateHook(std::function<void(int)> hook) {
  std::lock_guard lock(HookMutex());
  std::swap(Hook(), hook);
  return hook;
}

}  // namespace plat
