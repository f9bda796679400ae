#include "brimstead/WizardAPIBase.h"

#include "platform/base/FileSystem.h"

#include <cstring>

template <class Table>
CWizardAPIBase<Table>::CWizardAPIBase(int kind) : m_nKind(kind) {}

template <class Table>
CWizardAPIBase<Table>::~CWizardAPIBase() {
  // Only reached at unload. A wizard window left open would point into code that is about to go.
  DestroyDialog();
}

template <class Table>
CAnalysisData& CWizardAPIBase<Table>::Rec() {
  return Required(Record());
}

template <class Table>
void CWizardAPIBase<Table>::Reset() {
  m_bModeless = 0;
  // An open dialog is forgotten, not closed: the host closes its modeless wizard before asking for a new object.
  m_pDialog = nullptr;
  ResetRecordToDefaults();
  m_bOption1 = 1;
  m_bOption2 = 0;
  m_bDebugOptions = 0;
  m_bBoardMode = 0;
  DropOneBoardSystem();
  m_pCallback = nullptr;
  m_pGeometryQuery = nullptr;
  m_pBoardView = nullptr;
  m_hParent = nullptr;
  m_nTableValue = 0;
  ResetOwnMembers();
}

template <class Table>
void CWizardAPIBase<Table>::DropOneBoardSystem() {
  if (!m_pOneBoardSystem)
    return;
  const CAnalysisData* record = GetAnalysisData();
  if (record && record->m_pSystem == m_pOneBoardSystem.get())
    m_RetainedSystems.push_back(std::move(m_pOneBoardSystem));
  m_pOneBoardSystem.reset();
}

template <class Table>
bool CWizardAPIBase<Table>::SetParentWindow(HWND parent) {
  m_hParent = parent;
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::SetProjectFile(const char* path) {
  // The platform's test takes the module's path dialect: "sub\\demo8.brd" names the same file as "sub/demo8.brd".
  if (!path || _access(path, 0) != 0)
    return false;
  return Rec().SetProjectPath(path);
}

template <class Table>
bool CWizardAPIBase<Table>::SetSystem(CHostSystem* system) {
  CAnalysisData& record = Rec();
  if (!system || record.m_pSystem || record.m_pBoard)
    return false;
  if (m_bBoardMode && !AcceptsSystemInBoardMode())
    return false;
  record.m_pSystem = system;
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::SetBoard(CHostBoard* board) {
  CAnalysisData& record = Rec();
  if (!m_bBoardMode || !board || record.m_pSystem || record.m_pBoard)
    return false;
  auto system = std::make_unique<CFakedSingleBoardSystem>(board);
  DropOneBoardSystem();
  m_pOneBoardSystem = std::move(system);
  record.m_pSystem = m_pOneBoardSystem.get();
  record.m_pBoard = board;
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::AddNames(const char* text) {
  if (!text)
    return true;
  const char* piece = text;
  for (const char* p = text;; ++p) {
    if (*p == '\r' || *p == '\t' || *p == '\n' || *p == '\0') {
      if (p > piece)
        m_Names.Add(CString(piece, static_cast<int>(p - piece)));
      if (*p == '\0')
        break;
      piece = p + 1;
    }
  }
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::SetCallback(CHostWizardCallback* callback) {
  m_pCallback = callback;
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::SetGeometryQuery(CHostGeometryQuery* query) {
  m_pGeometryQuery = query;
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::SetBoardView(CHostBoardMarker* boardView) {
  if (KeepsBoardView())
    m_pBoardView = boardView;
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::SetSettingsCopyBuffer(char* buffer) {
  Rec().m_pSettingsCopyBuffer = buffer;
  return true;
}

template <class Table>
void CWizardAPIBase<Table>::SetTableText(const char* text) { Rec().m_pHostTableText = text; }

template <class Table>
CWizardDialogLink* CWizardAPIBase<Table>::MakeDialog(HWND parent, bool modeless) {
  WizardDialogFactory factory = GetWizardDialogFactory();
  CWizardDialogLink* dialog = factory ? factory(m_nKind, parent) : nullptr;
  if (!dialog)
    return nullptr;
  CWizardDialogSettings settings;
  settings.option1 = m_bOption1;
  settings.option2 = m_bOption2;
  settings.debugOptions = m_bDebugOptions;
  settings.names = &m_Names;
  settings.callback = m_pCallback;
  settings.tableValue = m_nTableValue;
  settings.boardView = KeepsBoardView() ? m_pBoardView : nullptr;
  settings.modeless = modeless;
  dialog->Configure(settings);
  return dialog;
}

template <class Table>
void CWizardAPIBase<Table>::DestroyDialog() {
  if (!m_pDialog)
    return;
  if (m_pDialog->GetWindow())
    m_pDialog->Destroy();
  delete m_pDialog;
  m_pDialog = nullptr;
  m_bModeless = 0;
}

template <class Table>
void CWizardAPIBase<Table>::CloseWizardWindow() {
  if (!WizardWindow())
    return;
  if (m_bModeless)
    DestroyDialog();
  else
    m_pDialog->EndDialog(IDCANCEL);
}

template <class Table>
bool CWizardAPIBase<Table>::RunModal() {
  // A dialog still held goes first; a modeless one's window is destroyed before the object is deleted, so that no
  // window is left pointing at a freed dialog.
  DestroyDialog();
  Rec().m_bBoardMode = m_bBoardMode;
  m_pDialog = MakeDialog(m_hParent, false);
  if (!m_pDialog)
    return false;
  OnDialogReady(*m_pDialog);
  const INT_PTR result = m_pDialog->DoModal();
  delete m_pDialog;
  m_pDialog = nullptr;
  return result == IDOK;
}

template <class Table>
bool CWizardAPIBase<Table>::CreateModeless() {
  // A second wizard while one is held would orphan the first one's window.
  if (!m_pCallback || m_pDialog)
    return false;
  Rec().m_bBoardMode = m_bBoardMode;
  m_pDialog = MakeDialog(nullptr, true);
  if (!m_pDialog)
    return false;
  if (!m_pDialog->CreateModeless()) {
    delete m_pDialog;
    m_pDialog = nullptr;
    return false;
  }
  m_pDialog->Show();
  OnDialogReady(*m_pDialog);
  m_bModeless = 1;
  return true;
}

template <class Table>
HWND CWizardAPIBase<Table>::WizardWindow() { return m_pDialog ? m_pDialog->GetWindow() : nullptr; }

template <class Table>
HWND CWizardAPIBase<Table>::GetWizardWindow() { return WizardWindow(); }

template <class Table>
bool CWizardAPIBase<Table>::PostClick(HWND button) {
  if (!button)
    return false;
  ::PostMessageA(button, BM_CLICK, 0, 0);
  return true;
}

template <class Table>
bool CWizardAPIBase<Table>::ClickUseLastConfiguration(const char* path, char* pathBuffer) {
  pathBuffer[0] = '\0';
  if (path) {
    std::strncpy(pathBuffer, path, MAX_PATH - 1);
    pathBuffer[MAX_PATH - 1] = '\0';
  }
  HWND wizard = WizardWindow();
  if (!pathBuffer[0] || !wizard)
    return false;
  Rec().m_pSettingsCopyBuffer = pathBuffer;
  HWND button = m_pDialog->FindPageControl(WizardUseLastConfigurationControl, WizardStartPageTemplate);
  if (!button)
    return false;
  ::EnableWindow(button, TRUE);
  return PostClick(button);
}

template <class Table>
void CWizardAPIBase<Table>::NotifyHost(int event) {
  if (m_pCallback)
    m_pCallback->Notify(event, 1);
}

template <class Table>
int CWizardAPIBase<Table>::GetBoardIndex() { return Rec().m_nBoardIndex; }

template <class Table>
bool CWizardAPIBase<Table>::SetHelpFile(const char* path) {
  Rec().m_HelpFile = path ? path : "";
  return true;
}

template <class Table>
const char* CWizardAPIBase<Table>::GetOutputFileName() {
  m_OutputFileName = Rec().GetOutputFilePath();
  return m_OutputFileName;
}

// The four objects' tables.
template class CWizardAPIBase<CBrimsteadAPITable>;
template class CWizardAPIBase<CBypassWizardAPITable>;
template class CWizardAPIBase<CDiffViaModelWizardAPITable>;
template class CWizardAPIBase<CModelExtractorWizardAPITable>;
