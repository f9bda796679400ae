#include "brimstead/wizards/DWFinishPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/HandedText.h"
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

void CDWFinishPage::RefusePath(const brimwiz::PathRefusal& refusal, bool focus) {
  CString text;
  if (refusal.file == brimwiz::WrittenFile::Report)
    text.Format("File \"%s\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet.",
                refusal.path.GetString());
  else
    text.Format("The output file \"%s\" can't be written.\n%s\nPlease specify another output file name.",
                refusal.path.GetString(), refusal.reason.GetString());
  ::MessageBox(m_hWnd, text, "Brimstead", MB_OK | MB_ICONSTOP);
  const int control = refusal.file == brimwiz::WrittenFile::Report ? IDC_SPREADSHEET_PATH : IDC_OUTPUT;
  if (focus && m_hWnd)
    if (CWnd* path = GetDlgItem(control))
      path->SetFocus();
}

std::optional<brimwiz::PathRefusal> CDWFinishPage::RefusedHostFile() {
  for (const brimwiz::WrittenFile file : {brimwiz::WrittenFile::Report, brimwiz::WrittenFile::Output})
    if (std::optional<brimwiz::PathRefusal> refusal = brimwiz::JudgeWrittenPath(Record(), file))
      return refusal;
  return std::nullopt;
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
  if (const std::optional<brimwiz::PathRefusal> refusal = RefusedHostFile()) {
    RefusePath(*refusal, true);
    return false;
  }
  SetValid();
  const std::optional<CString> report = brimwiz::WrittenPathOf(Record(), brimwiz::WrittenFile::Report);
  if (report && NameTaken(*report))
    m_TestedSpreadsheet = *report;
  return true;
}

bool CDWFinishPage::DeleteSpreadsheetBeforeRun() {
  // Judged again by the same rule at the run, once the settings are saved: a path the page refuses is neither
  // deleted nor handed to the host.
  if (const std::optional<brimwiz::PathRefusal> refusal = RefusedHostFile()) {
    RefusePath(*refusal, IsWindowVisible() != FALSE);
    return false;
  }
  const std::optional<CString> report = brimwiz::WrittenPathOf(Record(), brimwiz::WrittenFile::Report);
  if (!report || m_TestedSpreadsheet.IsEmpty() || *report != m_TestedSpreadsheet)
    return true;
  // Only a regular file goes, judged at the delete itself.
  if (brimwiz::DeleteRegularFile(*report))
    return true;
  RefusePath({brimwiz::WrittenFile::Report, *report, CString()}, IsWindowVisible() != FALSE);
  return false;
}
