// CBrimsteadApp: the module's one application object. Its start-up starts the grid library; its exit stops it and
// removes the keyboard hook. Nothing else happens at load: no window, no file, no call to the host.
#pragma once

#include "brimstead/ModuleApp.h"

class CBrimsteadApp : public CModuleApp {
  DECLARE_MESSAGE_MAP()

public:
  CBrimsteadApp() = default;

  BOOL InitInstance() override;
  int ExitInstance() override;

  // Whether InitInstance has run and ExitInstance has not run since.
  bool IsStarted() const { return m_bStarted; }

private:
  bool m_bStarted = false;
};

// The grid library's start-up and termination as the application calls them.
void StartGridLibrary();
void StopGridLibrary();
