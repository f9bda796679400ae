// Message-loop helpers for tests and headless runs.
//
// RunUntilIdle delivers what is queued in the queue's own order (posted messages, input, paints, due
// timers) until nothing is left, and returns how many messages it dispatched. AdvanceAndPump moves the
// virtual clock forward in steps, stopping at every timer due time on the way, so that timers fire in
// their order and at their times, and pumps until idle at each stop.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/window/windowapi.h"

namespace plat {

// preTranslate, when given, sees each message first (as a loop's pre-translation does); true consumes it.
int RunUntilIdle(int limit = 100000, const std::function<bool(MSG&)>& preTranslate = nullptr);
void AdvanceAndPump(std::uint64_t ms);
// Destroys every window and returns the window system to its start state (test isolation).
void ResetWindowSystem();

}  // namespace plat
