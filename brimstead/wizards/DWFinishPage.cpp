#include "brimstead/wizards/DWFinishPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/HandedText.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PathDialect.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/MessageBox.h"
#include "shared/Misc_Path.h"

#include <optional>
#include <string>

BEGIN_MESSAGE_MAP(CDWFinishPage, CSettingsFilePage)
  ON_BN_CLICKED(IDC_SAVE_SETTINGS, OnSaveSettings)
  ON_BN_CLICKED(IDC_SETTINGS_BROWSE, OnSettingsBrowse)
  ON_BN_CLICKED(IDC_AUTO_NAME, OnAutoName)
  ON_BN_CLICKED(IDC_OUTPUT_BROWSE, OnOutputBrowse)
  ON_BN_CLICKED(IDC_SPREADSHEET, OnSpreadsheet)
  ON_BN_CLICKED(IDC_XLS, OnXls)
  ON_BN_CLICKED(IDC_CSV, OnCsv)
  ON_BN_CLICKED(IDC_SPREADSHEET_BROWSE, OnSpreadsheetBrowse)
END_MESSAGE_MAP()

namespace {

// Whether the file at `path` may be replaced: it is not read-only and its folder, which deleting it changes, is
// writable.
bool CanReplace(const CString& path) {
  const std::string file = path.GetString();
  const std::string folder = plat::FolderOf(path.View());
  const DWORD attributes = ::GetFileAttributes(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY) &&
         _access(folder.c_str(), 2) == 0;
}

// Whether `report` names the file `kept`: the file itself, however either is spelt (another spelling, a link, a
// hard link). A kept file that is not there is no file, unless Finish makes it (`madeByFinish`): then a report path
// that names nothing yet names it when both are one name in one folder.
bool NamesFile(const CString& report, const CString& kept, bool madeByFinish) {
  if (report.IsEmpty() || kept.IsEmpty())
    return false;
  const std::optional<plat::FileIdentity> reportFile = plat::IdentityOf(report);
  if (const std::optional<plat::FileIdentity> keptFile = plat::IdentityOf(kept))
    return reportFile == keptFile;
  if (!madeByFinish || reportFile)
    return false;
  const std::optional<plat::FileIdentity> keptFolder = plat::IdentityOf(plat::FolderOf(kept.View()).c_str());
  return keptFolder && FileNameOfPath(report) == FileNameOfPath(kept) &&
         plat::IdentityOf(plat::FolderOf(report.View()).c_str()) == keptFolder;
}

// Whether the report path names a file that Finish keeps: the project (which the host holds open) or the settings
// file that Finish saves before the run.
bool NamesAKeptFile(const CAnalysisData& record, const CString& report) {
  return NamesFile(report, record.m_ProjectPath, false) ||
         (record.m_bSaveSettings && NamesFile(report, record.m_SettingsPath, true));
}

}  // namespace

CDWFinishPage::CDWFinishPage() : CSettingsFilePage(IDD) {}

bool CDWFinishPage::QuickDecoupling() {
  const CAnalysisData& record = Record();
  return record.GetKind() == CDecouplingAnalysisData::Kind && record.m_nAnalysisType == AnalysisQuick;
}

void CDWFinishPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  ExchangeSettingsFile(pDX);
  DDX_Check(pDX, IDC_AUTO_NAME, m_bAutoName);
  DDX_Text(pDX, IDC_OUTPUT, m_OutputText);
}

BOOL CDWFinishPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  m_bSaveSettings = 0;
  m_SettingsPathText = Record().GetSettingsPathRelative();
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDWFinishPage::OnSetActive() {
  RefreshControls();
  return CDWPage::OnSetActive();
}

void CDWFinishPage::RefreshControls() {
  CAnalysisData& record = Record();
  const bool quickDecoupling = QuickDecoupling();
  // 1. The output file: none for a Quick decoupling analysis, which writes only its report.
  if (!quickDecoupling) {
    m_bAutoName = record.m_nAutoGenerateOutputFileName;
    m_OutputText = record.GetOutputFilePathRelative();
    if (CWnd* output = GetDlgItem(IDC_OUTPUT))
      output->SendMessage(EM_SETREADONLY, TRUE, 0);
    EnableControl(IDC_OUTPUT_BROWSE, !m_bAutoName);
    EnableControl(IDC_AUTO_NAME, true);
  } else {
    m_bAutoName = 0;
    m_OutputText.Empty();
    for (int id : {int{IDC_AUTO_NAME}, int{IDC_OUTPUT}, int{IDC_OUTPUT_BROWSE}})
      EnableControl(id, false);
  }
  // 2. The settings file.
  ReadSettingsFile();
  // 3. The report.
  const bool report = quickDecoupling && record.m_nDRCReportMode != DRCNoReport;
  if (quickDecoupling)
    EnableControl(IDC_SPREADSHEET, true);
  CheckDlgButton(IDC_SPREADSHEET, report ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemText(IDC_SPREADSHEET_PATH, report ? record.GetDRCReportFileRelative() : CString());
  if (report) {
    const bool csv = record.m_nDRCReportMode == DRCReportCSV;
    CheckDlgButton(IDC_CSV, csv ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_XLS, csv ? BST_UNCHECKED : BST_CHECKED);
  }
  if (!quickDecoupling)
    EnableControl(IDC_SPREADSHEET, false);
  for (int id = IDC_XLS; id <= IDC_SPREADSHEET_BROWSE; ++id)
    EnableControl(id, report);
  // 4. Only the decoupling-analysis wizard has a report.
  const bool decoupling = record.GetKind() == CDecouplingAnalysisData::Kind;
  for (int id : {int{IDC_REPORT_GROUP}, int{IDC_SPREADSHEET}, int{IDC_XLS}, int{IDC_CSV}, int{IDC_SPREADSHEET_PATH},
                 int{IDC_SPREADSHEET_BROWSE}})
    ShowControl(id, decoupling);
  // 5.
  UpdateData(FALSE);
  UpdateOwnerButtons();
}

void CDWFinishPage::OnSaveSettings() {
  StoreSaveSettings();
  EnableControl(IDC_SETTINGS_PATH, m_bSaveSettings != 0);
  EnableControl(IDC_SETTINGS_BROWSE, m_bSaveSettings != 0);
  RefreshControls();
}

void CDWFinishPage::OnAutoName() {
  UpdateData(TRUE);
  Record().m_nAutoGenerateOutputFileName = m_bAutoName ? 1 : 0;
  RefreshControls();
}

CString CDWFinishPage::OutputFilter(int kind, const CString& extension) {
  CString filter;
  if (kind == CBypassAnalysisData::Kind)
    filter = "Touchstone files (*.z1p)|*.z1p|All files (*.*)|*.*||";
  else if (kind == CDecouplingAnalysisData::Kind)
    filter.Format("Touchstone files (*.z*)|*.z*|(*%s) - files|*%s|All files (*.*)|*.*||", extension.GetString(),
                  extension.GetString());
  else
    filter.Format("Touchstone files (*.s*)|*.s*|(*%s) - files|*%s|All files (*.*)|*.*||", extension.GetString(),
                  extension.GetString());
  return filter;
}

void CDWFinishPage::OnOutputBrowse() {
  UpdateData(TRUE);
  CAnalysisData& record = Record();
  const CString initial = record.GetOutputFilePath();
  const char* dot = FindFileExtension(initial);
  const int kind = record.GetKind();
  const CString filter = OutputFilter(kind, dot ? CString(dot) : CString());
  CFileDialog dialog(FALSE, kind == CBypassAnalysisData::Kind ? "z1p" : nullptr, initial,
                     OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, this);
  if (dialog.DoModal() != IDOK || !m_hWnd)
    return;
  Record().m_OutputFileName = dialog.GetPathName();
  RefreshControls();
}

void CDWFinishPage::SetReportMode(int mode) {
  Record().SetDRCReportMode(mode);
  RefreshControls();
}

void CDWFinishPage::OnSpreadsheet() {
  int mode = DRCNoReport;
  if (IsDlgButtonChecked(IDC_SPREADSHEET))
    mode = IsDlgButtonChecked(IDC_CSV) ? DRCReportCSV : DRCReportXLS;
  SetReportMode(mode);
}

void CDWFinishPage::OnXls() { SetReportMode(DRCReportXLS); }

void CDWFinishPage::OnCsv() { SetReportMode(DRCReportCSV); }

void CDWFinishPage::OnSpreadsheetBrowse() {
  const bool csv = Record().m_nDRCReportMode == DRCReportCSV;
  CFileDialog dialog(TRUE, csv ? ".csv" : ".xls", Record().m_DRCReportFile,
                     OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_ENABLESIZING,
                     csv ? "Comma-separated Files (*.csv)|*.csv|All files (*.*)|*.*||"
                         : "Microsoft Excel Files (*.xls)|*.xls|All files (*.*)|*.*||",
                     this);
  if (dialog.DoModal() != IDOK || !m_hWnd)
    return;
  Record().m_DRCReportFile = dialog.GetPathName();
  RefreshControls();
}

void CDWFinishPage::RefuseSpreadsheet(bool focus) {
  CString text;
  text.Format("File \"%s\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet.",
              Record().m_DRCReportFile.GetString());
  ::MessageBox(m_hWnd, text, "Brimstead", MB_OK | MB_ICONSTOP);
  if (focus && m_hWnd)
    if (CWnd* path = GetDlgItem(IDC_SPREADSHEET_PATH))
      path->SetFocus();
}

bool CDWFinishPage::RefusesReportPath() {
  const CAnalysisData& record = Record();
  if (!QuickDecoupling() || record.m_nDRCReportMode == DRCNoReport)
    return false;
  const CString& sheet = record.m_DRCReportFile;
  // A folder, a path in a missing folder and a file that may not be replaced can never take the report; nor can a
  // path without a name (a bare drive, "x:", is the drive's current folder, as "x:." is), the project or the
  // settings file that Finish saves.
  const bool nameless = !sheet.IsEmpty() && plat::NameStart(sheet.View()) == static_cast<size_t>(sheet.GetLength());
  return nameless || DirectoryExists(sheet) || !DirectoryExists(plat::FolderOf(sheet.View()).c_str()) ||
         (FileExists(sheet) && !CanReplace(sheet)) || NamesAKeptFile(record, sheet);
}

bool CDWFinishPage::RefusesControlCharacter(HWND owner) {
  const CAnalysisData& record = Record();
  // The output and report names reach the host and a settings line: a file name chosen with a control character
  // in it (possible on this system) is refused. Without an owner the names are only judged.
  auto refused = [owner](const char* what, const CString& name) {
    return owner ? brimwiz::RefusedForControlCharacter(owner, "Brimstead", what, name)
                 : brimwiz::HoldsControlCharacter(name);
  };
  const bool report = QuickDecoupling() && record.m_nDRCReportMode != DRCNoReport;
  return (!QuickDecoupling() && refused("The output file name", record.GetOutputFilePath())) ||
         (report && refused("The DRC spreadsheet file name", record.m_DRCReportFile));
}

bool CDWFinishPage::ValidateAndStore() {
  m_TestedSpreadsheet.Empty();
  BeginValidation();
  if (RefusesControlCharacter(m_hWnd))
    return false;
  if (RefusesReportPath()) {
    RefuseSpreadsheet(true);
    return false;
  }
  SetValid();
  const CAnalysisData& record = Record();
  if (QuickDecoupling() && record.m_nDRCReportMode != DRCNoReport && FileExists(record.m_DRCReportFile))
    m_TestedSpreadsheet = record.m_DRCReportFile;
  return true;
}

bool CDWFinishPage::DeleteSpreadsheetBeforeRun() {
  // Judged again by the same check at the run, once the settings are saved: a path the page refuses is neither
  // deleted nor handed to the host.
  if (RefusesReportPath()) {
    RefuseSpreadsheet(IsWindowVisible() != FALSE);
    return false;
  }
  const CAnalysisData& record = Record();
  if (m_TestedSpreadsheet.IsEmpty() || record.m_DRCReportFile != m_TestedSpreadsheet || !QuickDecoupling() ||
      record.m_nDRCReportMode == DRCNoReport || !FileExists(record.m_DRCReportFile))
    return true;
  if (::DeleteFile(record.m_DRCReportFile))
    return true;
  RefuseSpreadsheet(IsWindowVisible() != FALSE);
  return false;
}
