// The process end after a fatal error. The module calls plat::Exit where the classic code called exit(),
// so that tests can replace the ending (a hook that throws) and check what led to it.
#pragma once

#include <functional>

namespace plat {

// Runs the hook when one is set (it may throw to unwind instead of ending), else std::exit(code).
[[noreturn]] void Exit(int code);
// Null restores the default. Returns the previous hook.
std::function<void(int)> SetTerminateHook(std::function<void(int)> hook);

}  // namespace plat
