#include "brimstead/BrimsteadApp.h"

#include "grid/controls/GXCellControls.h"
#include "grid/features/gxfeatures.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/gxlayoutresources.h"
#include "platform/base/ResourceTable.h"

// The application handles no message of its own; the map exists so that derived maps chain through it.
BEGIN_MESSAGE_MAP(CBrimsteadApp, CModuleApp)
END_MESSAGE_MAP()

void StartGridLibrary() {
  // The cell controls and the editing features first (their creators, installers, attributes, texts and
  // bitmaps), then the default cell-control
  // factory, the grid window classes, the "Grid Styles %08x" clipboard format and the
  // system-colour table; the three numbers are the ones the module has always passed.
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
  gx::RegisterGridLayouts();   // the layouts the module's grids are made from (the port map's)
  InitGridLibrary(0x710, 0, 0);
}

void StopGridLibrary() {
  // Nothing to release: the grid's process-wide state goes with the static objects.
  TerminateGridLibrary();
}

BOOL CBrimsteadApp::InitInstance() {
  StartGridLibrary();
  // The module's title string is there before the class library's start-up names the application from it.
  plat::ResourceTable::AddString(m_hInstance, AFX_IDS_APP_TITLE, "Brimstead");
  CWinApp::InitInstance();
  m_bStarted = true;
  return TRUE;
}

int CBrimsteadApp::ExitInstance() {
  StopGridLibrary();
  m_bStarted = false;
  return CModuleApp::ExitInstance();
}
