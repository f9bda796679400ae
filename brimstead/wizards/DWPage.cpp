#include "brimstead/wizards/DWPage.h"

#include "platform/base/SystemError.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/SettingsIO.h"
#include "brimstead/wizards/ModuleDialog.h"
#include "brimstead/wizards/WizardDlg.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/WrittenPaths.h"
#include "platform/base/FileSystem.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/MessageBox.h"

#include <optional>

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CDWPage, CPropertyPage)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CDWPage::CDWPage(UINT templateId) : CPropertyPage(templateId), m_nTemplateId(templateId) {}

LRESULT CDWPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CModuleScope scope;
  CWizardDlg::CBusy busy(m_pOwner);
  return CPropertyPage::WindowProc(message, wParam, lParam);
}

CAnalysisData& CDWPage::Record() { return *GetAnalysisData(); }

bool CDWPage::Custom() { return Record().m_nMode == 1; }

void CDWPage::UpdateOwnerButtons() {
  if (m_pOwner)
    m_pOwner->UpdateButtons();
}

BOOL CDWPage::OnKillActive() {
  // The answer is the page's valid flag too, for every page: a close reads that flag once the page was left, so a
  // page that refuses what it holds (the finish page's report file) keeps the wizard open as it keeps the page.
  m_bValid = ValidateAndStore() ? 1 : 0;
  if (!m_bValid)
    return FALSE;
  UpdateOwnerButtons();
  return CPropertyPage::OnKillActive();
}

BOOL CDWPage::OnWizardFinish() {
  const BOOL answer = CPropertyPage::OnWizardFinish();
  if (m_pOwner && m_pOwner->GetHostCallback())
    m_pOwner->GetHostCallback()->Notify(HostEventFinishPressed, 1);
  return answer;
}

void CDWPage::RefuseInput(LPCSTR text, int controlId) {
  ::MessageBox(m_hWnd, text, "Brimstead", MB_OK | MB_ICONSTOP);
  if (!m_hWnd)
    return;
  if (CWnd* control = GetDlgItem(controlId)) {
    control->SendMessage(EM_SETSEL, 0, -1);
    control->SendMessage(EM_SCROLLCARET, 0, 0);
    control->SetFocus();
  }
}

BOOL CDWPage::PreTranslateMessage(MSG* msg) {
  // The page's own OnOK and OnCancel do nothing: the keys end here.
  if (brimwiz::OwnEnterOrEscape(m_hWnd, msg))
    return TRUE;
  return CPropertyPage::PreTranslateMessage(msg);
}

void CDWPage::EnableControl(int id, bool enable) {
  CWnd* control = GetDlgItem(id);
  if (!control)
    return;
  if (!enable) {
    // A disabled window keeps no focus, and the keys would then reach no control: the focus moves first to the tab
    // stop before it (the list a move button serves, the box that switched a browse button off).
    const HWND focus = ::GetFocus();
    const HWND window = control->GetSafeHwnd();
    if (focus && (focus == window || ::IsChild(window, focus))) {
      const HWND previous = ::GetNextDlgTabItem(m_hWnd, window, TRUE);
      if (previous && previous != window)
        ::SetFocus(previous);
    }
  }
  control->EnableWindow(enable ? TRUE : FALSE);
}

void CDWPage::ShowControl(int id, bool show) {
  if (CWnd* control = GetDlgItem(id))
    control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CDWPage::MakeCaptionsBold(std::initializer_list<int> ids) {
  CWnd* first = ids.size() ? GetDlgItem(*ids.begin()) : nullptr;
  CFont* font = first ? first->GetFont() : nullptr;
  if (!font || m_BoldFont.GetSafeHandle())
    return;
  LOGFONT lf{};
  font->GetLogFont(&lf);
  lf.lfWeight = FW_BOLD;
  if (!m_BoldFont.CreateFontIndirect(&lf))
    return;
  m_BoldIds.assign(ids);
  for (int id : m_BoldIds)
    if (CWnd* button = GetDlgItem(id))
      button->SetFont(&m_BoldFont);
}

void CDWPage::OnDestroy() {
  for (int id : m_BoldIds)
    if (CWnd* button = GetDlgItem(id))
      button->SendMessage(WM_SETFONT, 0, FALSE);
  m_BoldIds.clear();
  m_BoldFont.DeleteObject();
  CPropertyPage::OnDestroy();
}

namespace {

// Saves the record to its settings path; a failure is noted (the first one only) with the system's reason and
// the value no line of the file could hold, if that was why.
bool SaveTo(CAnalysisData& record, CDWPage::SaveFailure* failure, bool& failed) {
  ::SetLastError(0);
  settings_io::ForgetRefusedValue();
  if (record.Save())
    return true;
  const DWORD error = ::GetLastError();
  if (failure && !failed) {
    failure->path = record.m_SettingsPath;
    failure->error = error ? error : static_cast<DWORD>(record.m_SettingsPath.IsEmpty() ? ERROR_INVALID_NAME
                                                                                        : ERROR_WRITE_FAULT);
    failure->refused = settings_io::LastRefusedValue();
  }
  failed = true;
  return false;
}

}  // namespace

bool CDWPage::SaveSettings(SaveFailure* failure) {
  CAnalysisData* record = GetAnalysisData();
  if (!record)
    return false;
  bool failed = false;
  if (const std::optional<PathRefusal> refusal = JudgeWrittenPath(*record, WrittenFile::Settings)) {
    if (failure) {
      failure->path = refusal->path;
      failure->refusal = refusal->reason;
    }
    failed = true;
  } else if (record->m_bSaveSettings) {
    SaveTo(*record, failure, failed);
  }
  char* buffer = record->m_pSettingsCopyBuffer;
  if (!buffer)
    return !failed;
  const bool named = !buffer[0];
  if (named) {
    char directory[MAX_PATH];
    char name[MAX_PATH];
    // The host's buffer holds MAX_PATH bytes: the name goes into it whole or not at all, never written past it nor
    // cut (the temporary name always fits).
    const DWORD length = ::GetTempPath(MAX_PATH - 1, directory);
    if (length == 0 || length >= MAX_PATH - 1 || !::GetTempFileName(directory, "dao", 0, name) ||
        !CopyWholeName(buffer, name)) {
      buffer[0] = '\0';
      return !failed;
    }
    record->m_MadeSettingsCopy = buffer;
  }
  // The copy is the host's, not the user's: one that cannot be written never keeps the wizard open and is not
  // reported. The buffer is emptied instead, so that it never names a file that does not hold these settings. A
  // temporary file a save named there (just now, still empty, or at an earlier Finish) is named to no one then: it
  // goes too. A name the host gave stays its own. The copy is judged as every written file is, here at the write:
  // a name made a link to the project, or another written file, while the wizard was open is not written through.
  bool copyFailed = JudgeWrittenPath(*record, WrittenFile::SettingsCopy).has_value();
  if (!copyFailed) {
    const CString kept = record->m_SettingsPath;
    record->m_SettingsPath = buffer;
    SaveTo(*record, nullptr, copyFailed);
    record->m_SettingsPath = kept;
  }
  if (copyFailed) {
    if (record->m_MadeSettingsCopy == buffer)
      brimwiz::DeleteRegularFile(buffer);
    record->m_MadeSettingsCopy.Empty();
    buffer[0] = '\0';
  }
  return !failed;
}

void CSettingsFilePage::ExchangeSettingsFile(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_SETTINGS_PATH, m_SettingsPathText);
  DDX_Check(pDX, IDC_SAVE_SETTINGS, m_bSaveSettings);
}

void CSettingsFilePage::ReadSettingsFile() {
  const CAnalysisData& record = Record();
  m_bSaveSettings = record.m_bSaveSettings;
  m_SettingsPathText = record.GetSettingsPathRelative();
  EnableControl(IDC_SETTINGS_BROWSE, m_bSaveSettings != 0);
}

void CSettingsFilePage::StoreSaveSettings() {
  UpdateData(TRUE);
  Record().m_bSaveSettings = m_bSaveSettings ? 1 : 0;
}

void CSettingsFilePage::OnSettingsBrowse() {
  UpdateData(TRUE);
  CFileDialog dialog(FALSE, ".dao", Record().m_SettingsPath, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, SettingsFilter,
                     this);
  if (dialog.DoModal() != IDOK || !m_hWnd)
    return;
  Record().m_SettingsPath = dialog.GetPathName();
  m_SettingsPathText = Record().GetSettingsPathRelative();
  UpdateData(FALSE);
}
