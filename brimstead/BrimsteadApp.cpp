#include "brimstead/BrimsteadApp.h"

// The application handles no message of its own; the map exists so that derived maps chain through it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-local-typedefs"
BEGIN_MESSAGE_MAP(CBrimsteadApp, CModuleApp)
END_MESSAGE_MAP()
#pragma GCC diagnostic pop

void StartGridLibrary() {
  // FIXME(grid start-up): the grid library's start-up - InitGridLibrary with (0x710, 0, 0): the default cell-control
  // factory, the grid window classes, the "Grid Styles %08x" clipboard format and the system-colour table - is not
  // in the grid model yet. Call it here once grid/core has it.
}

void StopGridLibrary() {
  // The grid library's termination has nothing to release: its process-wide state goes with the static objects.
}

BOOL CBrimsteadApp::InitInstance() {
  StartGridLibrary();
  CWinApp::InitInstance();
  m_bStarted = true;
  return TRUE;
}

int CBrimsteadApp::ExitInstance() {
  StopGridLibrary();
  m_bStarted = false;
  return CModuleApp::ExitInstance();
}
