// Registration of the standard control classes as system classes, once, when the library loads, so that
// any module can create them by name without a start-up call (and they survive the test reset, which keeps
// system classes).
#include "platform/controls/Button.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"

namespace plat::controls {

void RegisterControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterButtonClass();
  RegisterStaticClass();
  RegisterEditClass();
}

namespace {
struct RegisterAtLoad {
  RegisterAtLoad() { RegisterControlClasses(); }
} registerAtLoad;
}  // namespace

}  // namespace plat::controls
