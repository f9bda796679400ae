#include "platform/window/Pump.h"

#include <stdexcept>

#include "platform/base/VirtualClock.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Cursors.h"
#include "platform/window/Inspect.h"
#include "platform/window/MessageSpy.h"
#include "platform/window/TimerTable.h"
#include "platform/window/WindowManager.h"

namespace plat {

int RunUntilIdle(int limit, const std::function<bool(MSG&)>& preTranslate) {
  int count = 0;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the loop that owns it
      break;
    }
    if (!preTranslate || !preTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    // A window that never validates its update region would repaint forever; stop loudly instead.
    if (++count >= limit) throw std::runtime_error("RunUntilIdle: the queue never became idle");
  }
  return count;
}

void AdvanceAndPump(std::uint64_t ms) {
  const std::uint64_t end = VirtualClock::NowMs() + ms;
  RunUntilIdle();
  for (;;) {
    std::optional<std::uint64_t> due = TimerTable::Instance().NextDue();
    std::uint64_t now = VirtualClock::NowMs();
    if (!due || *due > end) {
      if (end > now) VirtualClock::Advance(end - now);
      RunUntilIdle();
      return;
    }
    if (*due > now) VirtualClock::Advance(*due - now);
    RunUntilIdle();
  }
}

void ResetWindowSystem() {
  WindowManager::Instance().Reset();
  ResetSysColorsAndMetrics();
  Cursors::Instance().Reset();
  SetAutomationProvider(nullptr);
  ClearShownLog();
  ClearRecordedBeeps();
}

}  // namespace plat
