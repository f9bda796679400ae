// The library entry: the application's start-up once every static object of the library is constructed, and its
// exit before any of them is destroyed, followed by the release of what the module made for the host.
//
// This file is linked last into the library, so its one static object is constructed after all the others (the
// grid library's process-wide state included, which the start-up fills) and, being registered for destruction
// last, is destroyed first at unload.
#include "brimstead/BrimsteadApp.h"

CBrimsteadApp& TheBrimsteadApp();
void ReleaseModuleObjects();

namespace {
class CModuleEntry {
public:
  CModuleEntry() { TheBrimsteadApp().InitInstance(); }
  ~CModuleEntry() {
    TheBrimsteadApp().ExitInstance();
    ReleaseModuleObjects();
  }
  CModuleEntry(const CModuleEntry&) = delete;
  CModuleEntry& operator=(const CModuleEntry&) = delete;
};

CModuleEntry g_moduleEntry;
}  // namespace

