// The library entry: the application's start-up at load, and at unload the release of what the module made for
// the host (the wizard windows it left open first) followed by the application's exit.
//
// Where this object falls among the library's other unprioritised static objects is up to the linker (archives
// pulled in after this file's contribute initialisers that run after it), so neither end depends on that place:
// - the start-up uses only what exists before any unprioritised object, whatever the link order: the application
//   object (constructed with an explicit priority, ModuleInitOrder.h) and the grid library's process-wide state,
//   which is constructed on first use, i.e. by the start-up itself;
// - at unload, objects whose construction completed before this one's are destroyed after it: the application,
//   the prioritised objects and the grid's state all do, so the wizard windows and the exit still find them.
#include "brimstead/BrimsteadApp.h"

CBrimsteadApp& TheBrimsteadApp();
void ReleaseModuleObjects();

namespace {
class CModuleEntry {
public:
  CModuleEntry() { TheBrimsteadApp().InitInstance(); }
  ~CModuleEntry() {
    // The windows the host left open go while the grid library and the keyboard hook they use are still there.
    ReleaseModuleObjects();
    TheBrimsteadApp().ExitInstance();
  }
  CModuleEntry(const CModuleEntry&) = delete;
  CModuleEntry& operator=(const CModuleEntry&) = delete;
};

CModuleEntry g_moduleEntry;
}  // namespace
