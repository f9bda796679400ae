// Registration of the standard control classes as system classes, once, when the library loads, so that
// any module can create them by name without a start-up call (and they survive the test reset, which keeps
// system classes).
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ProgressBar.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/controls/Static.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/ToolTip.h"
#include "platform/controls/Trackbar.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/UpDown.h"

namespace plat::controls {

void RegisterControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterButtonClass();
  RegisterStaticClass();
  RegisterEditClass();
  RegisterListBoxClasses();
  RegisterComboBoxClass();
  RegisterScrollBarClass();
  RegisterTrackbarClass();
  RegisterProgressClass();
  RegisterUpDownClass();
  RegisterTabControlClass();
  RegisterToolTipClass();
  RegisterTreeViewClass();
  RegisterRichEditClass();
}

namespace {
struct RegisterAtLoad {
  RegisterAtLoad() { RegisterControlClasses(); }
} registerAtLoad;
}  // namespace

}  // namespace plat::controls
