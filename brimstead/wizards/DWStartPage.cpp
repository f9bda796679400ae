#include "brimstead/wizards/DWStartPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/wizards/WizardDlg.h"
#include "platform/base/SystemError.h"
#include "platform/framework/CDataExchange.h"
#include "shared/Errorbox.h"
#include "shared/Misc_Path.h"
#include "platform/framework/CommonDialogs.h"

BEGIN_MESSAGE_MAP(CDWStartPage, CSettingsFilePage)
  ON_BN_CLICKED(IDC_NEW, OnChoice)
  ON_BN_CLICKED(IDC_USE_LAST, OnUseLast)
  ON_BN_CLICKED(IDC_LOAD_SAVED, OnLoadSaved)
  ON_BN_CLICKED(IDC_LOAD, OnLoad)
  ON_BN_CLICKED(IDC_SAVE_SETTINGS, OnSaveSettings)
  ON_BN_CLICKED(IDC_BROWSE, OnSettingsBrowse)
END_MESSAGE_MAP()

CDWStartPage::CDWStartPage() : CSettingsFilePage(IDD) {}

CString CDWStartPage::GetHeaderText() {
  return "Start a New Decoupling Analysis, or Reuse a Previous One\r\nSpecify settings for a new decoupling "
         "analysis, or open the settings for a previous analysis.";
}

void CDWStartPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_NEW, m_nStartChoice);
  ExchangeSettingsFile(pDX);
}

BOOL CDWStartPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  MakeCaptionsBold({IDC_NEW, IDC_USE_LAST, IDC_LOAD_SAVED});
  m_nStartChoice = 0;
  const CAnalysisData& record = Record();
  if (record.m_pSettingsCopyBuffer && record.m_pSettingsCopyBuffer[0]) {
    m_nStartChoice = 1;
  } else {
    EnableControl(IDC_USE_LAST, false);
    EnableControl(IDC_USE_LAST_LABEL, false);
  }
  EnableControl(IDC_LOAD, m_nStartChoice == 2);
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDWStartPage::OnSetActive() {
  RefreshControls();
  return CDWPage::OnSetActive();
}

void CDWStartPage::RefreshControls() {
  ReadSettingsFile();
  UpdateData(FALSE);
  UpdateOwnerButtons();
}

void CDWStartPage::ResetToDefaults(CAnalysisData& record) {
  // Only the user's settings go back to their defaults: everything the host handed in, and what the module made for
  // the host (the settings copy it named, the name of the host's last configuration), stays as one group.
  const CHostHandedIn host = record;
  switch (record.GetKind()) {
    case CDecouplingAnalysisData::Kind:
      static_cast<CDecouplingAnalysisData&>(record) = CDecouplingAnalysisData();
      break;
    case CBypassAnalysisData::Kind:
      static_cast<CBypassAnalysisData&>(record) = CBypassAnalysisData();
      break;
    case CDiffViaAnalysisData::Kind:
      static_cast<CDiffViaAnalysisData&>(record) = CDiffViaAnalysisData();
      break;
    case CModelExtractorAnalysisData::Kind: {
      auto& extractor = static_cast<CModelExtractorAnalysisData&>(record);
      CHostNet* selectedNet = extractor.m_pSelectedNet;
      extractor = CModelExtractorAnalysisData();
      extractor.m_pSelectedNet = selectedNet;
      break;
    }
    default:
      break;
  }
  static_cast<CHostHandedIn&>(record) = host;
  record.m_pBoard = nullptr;
  record.m_nBoardIndex = -1;
}

void CDWStartPage::OnChoice() {
  UpdateData(TRUE);
  EnableControl(IDC_LOAD, m_nStartChoice == 2);
  CAnalysisData& record = Record();
  if (m_nStartChoice == 0 || m_nStartChoice == 1) {
    ResetToDefaults(record);
    if (record.m_pSystem && !record.m_pSystem->MustChooseBoard())
      record.SelectBoard(0);
    record.MakeDefaultSettingsPath();
    record.MakeDefaultDRCReportPath();
    record.m_PageFlags[0] = 0;
  }
  record.m_PageFlags[1] = m_nStartChoice == 0 ? 1 : 0;
  RefreshControls();
  UpdateOwnerButtons();
}

void CDWStartPage::OnUseLast() {
  // The host's last configuration, also once the host took its buffer back (the name it held is still the host's
  // file). The choice resets the record for it only once it is known to load, so that one that does not leaves the
  // record, and the page's choice, as the user had them.
  const CString path = Record().LastConfiguration();
  const bool loads = !path.IsEmpty() && Record().CanLoad(path);
  if (loads)
    OnChoice();
  if (!m_hWnd)
    return;
  if (!loads || !Record().RestoreFrom(path)) {
    // Nothing was loaded: the user is told which file, and the host hears of no load.
    DWORD error = ::GetLastError();
    if (path.IsEmpty())
      error = ERROR_INVALID_NAME;
    else if (DirectoryExists(path))
      error = ERROR_DIRECTORY_NOT_SUPPORTED;
    else if (error == ERROR_SUCCESS)
      error = ERROR_FILE_NOT_FOUND;
    RefreshControls();
    ReportLoadFailure(path, error);
    return;
  }
  RefreshControls();
  if (m_pOwner) {
    // The loaded record's check decides Finish's caption and the steps' states.
    m_pOwner->UpdateButtons();
    m_pOwner->UpdateBoardMarks();
    if (CHostWizardCallback* callback = m_pOwner->GetHostCallback())
      callback->Notify(HostEventSettingsLoaded, 1);
  }
}

void CDWStartPage::ReportLoadFailure(const CString& path, DWORD error) {
  if (error == ERROR_INVALID_DATA) {
    ErrorBoxF(m_hWnd,
              "The settings can't be loaded from the file \"%s\".\nIt is no settings file; the settings are as they "
              "were.\n",
              path.GetString());
    return;
  }
  ErrorBoxSystemError(error, m_hWnd, "The settings can't be loaded from the file \"%s\".\n", path.GetString());
}

void CDWStartPage::OnLoadSaved() {
  Record().m_PageFlags[0] = 0;
  OnChoice();
}

void CDWStartPage::OnLoad() {
  UpdateData(TRUE);
  CFileDialog dialog(TRUE, ".dao", Record().m_SettingsPath, OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR, Filter, this);
  if (dialog.DoModal() != IDOK || !m_hWnd)
    return;
  const CString path = dialog.GetPathName();
  if (!Record().Load(path)) {
    // Nothing was loaded: the settings stay as they were, and the user is told why.
    ReportLoadFailure(path, ::GetLastError());
    return;
  }
  if (m_pOwner) {
    m_pOwner->UpdateButtons();
    m_pOwner->UpdateBoardMarks();
  }
  OnChoice();
}

void CDWStartPage::OnSaveSettings() {
  StoreSaveSettings();
  RefreshControls();
}
