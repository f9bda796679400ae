#include "brimstead/WizardAPIBase.h"

#include "platform/base/FileSystem.h"

#include <algorithm>

template <class Table>
CWizardAPIBase<Table>::CWizardAPIBase(int kind) : m_nKind(kind) {}

template <class Table>
CWizardAPIBase<Table>::~CWizardAPIBase() {
  // Only reached at unload. A wizard window left open would point into code that is about to go.
  DestroyDialog();
  DestroyForgottenDialogs();
}

template <class Table>
void CWizardAPIBase<Table>::CDialogOwner::OnDialogClosed(CWizardDialogLink* dialog, bool modeless) {
  CWizardAPIBase& api = m_Api;
  if (dialog == api.m_pDialog) {
    api.m_bModeless = 0;
    if (modeless) {
      // The user closed a modeless wizard: the spent dialog goes, so that a new modeless run can start.
      api.m_pDialog = nullptr;
      dialog->Release();
    }
    return;
  }
  auto& forgotten = api.m_ForgottenDialogs;
  auto it = std::find(forgotten.begin(), forgotten.end(), dialog);
  if (it != forgotten.end() && modeless) {
    forgotten.erase(it);
    dialog->Release();
  }
}

template <class Table>
void CWizardAPIBase<Table>::DestroyForgottenDialogs() {
  std::vector<CWizardDialogLink*> dialogs;
  dialogs.swap(m_ForgottenDialogs);
  for (CWizardDialogLink* dialog : dialogs) {
    if (dialog->GetWindow())
      dialog->Destroy();
    dialog->Release();
  }
}

template <class Table>
CAnalysisData& CWizardAPIBase<Table>::Rec() {
  return Required(Record());
}

template <class Table>
void CWizardAPIBase<Table>::Reset() {
  m_bModeless = 0;
  // An open dialog is forgotten, not closed: the host closes its modeless wizard before asking for a new object.
  // It is freed when its window goes (or at unload); a dialog without a window is freed now.
  if (m_pDialog) {
    if (m_pDialog->GetWindow())
      m_ForgottenDialogs.push_back(m_pDialog);
    else
      m_pDialog->Release();
  }
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
  Rec().SetSettingsCopyBuffer(buffer);
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
  settings.owner = &m_DialogOwner;
  dialog->Configure(settings);
  return dialog;
}

template <class Table>
void CWizardAPIBase<Table>::DestroyDialog() {
  CWizardDialogLink* dialog = m_pDialog;
  if (!dialog)
    return;
  // Forgotten first, so that the dialog's notice from its destroyed window finds nothing to free.
  m_pDialog = nullptr;
  m_bModeless = 0;
  if (dialog->GetWindow())
    dialog->Destroy();
  dialog->Release();
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
  CWizardDialogLink* dialog = MakeDialog(m_hParent, false);
  m_pDialog = dialog;
  if (!dialog)
    return false;
  OnDialogReady(*dialog);
  const INT_PTR result = dialog->DoModal();
  // The host may have closed the wizard, or asked for a new object, from inside the run: only a dialog still
  // held, or forgotten by a reset, is freed here (a destroyed one was freed by DestroyDialog).
  if (m_pDialog == dialog) {
    m_pDialog = nullptr;
    dialog->Release();
  } else if (auto it = std::find(m_ForgottenDialogs.begin(), m_ForgottenDialogs.end(), dialog);
             it != m_ForgottenDialogs.end()) {
    m_ForgottenDialogs.erase(it);
    dialog->Release();
  }
  return result == IDOK;
}

template <class Table>
bool CWizardAPIBase<Table>::CreateModeless() {
  // A second wizard while one is held would orphan the first one's window.
  if (!m_pCallback || m_pDialog)
    return false;
  Rec().m_bBoardMode = m_bBoardMode;
  CWizardDialogLink* dialog = MakeDialog(nullptr, true);
  m_pDialog = dialog;
  if (!dialog)
    return false;
  if (!dialog->CreateModeless()) {
    if (m_pDialog == dialog) {
      m_pDialog = nullptr;
      dialog->Release();
    }
    return false;
  }
  // The host may have closed the wizard while it opened (its Notify).
  if (m_pDialog != dialog || !dialog->GetWindow())
    return false;
  dialog->Show();
  OnDialogReady(*dialog);
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
  // A path the buffer does not hold whole loads nothing: its cut would be another file, loaded and then written as the
  // copy.
  if (!CopyWholeName(pathBuffer, path) || !pathBuffer[0] || !WizardWindow())
    return false;
  // A missing file, a folder, a path in a missing folder or a file that is no settings file loads nothing: no
  // click, and the host hears so.
  const DWORD attributes = ::GetFileAttributes(pathBuffer);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !Rec().IsSettingsFile(pathBuffer))
    return false;
  Rec().SetSettingsCopyBuffer(pathBuffer);
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
