#include "brimstead/wizards/WizardDlg.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/ModuleApp.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/wizards/DWFinishPage.h"
#include "brimstead/wizards/DWPage.h"
#include "brimstead/wizards/WizardResources.h"
#include "shared/Errorbox.h"
#include "shared/Misc_Help.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/ModalLoop.h"

#include <algorithm>

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CWizardDlg, CDialog)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightRed = RGB(255, 200, 200);
constexpr COLORREF kGrey = RGB(127, 127, 127);
}  // namespace

CWizardDlg::CBusy::CBusy(CWizardDlg* dialog) : m_pDialog(dialog) {
  if (m_pDialog)
    ++m_pDialog->m_nBusy;
}

CWizardDlg::CBusy::~CBusy() {
  if (m_pDialog && --m_pDialog->m_nBusy == 0)
    m_pDialog->RunDeferred();
}

CWizardDlg::CWizardDlg(CWnd* parent) : CDialog(IDD_WIZARD_DIALOG, parent) {}

CWizardDlg::~CWizardDlg() {
  // A window still there is destroyed first, so that no window is left pointing at a freed dialog.
  if (m_hWnd) {
    ++m_nBusy;
    DestroyWindow();
    --m_nBusy;
  }
  TearDownPages();
}

LRESULT CWizardDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CModuleScope scope;
  CBusy busy(this);
  if (message == WM_WIZARD_REREAD_RECORD) {
    // The interface object changed the record: the buttons (Finish's caption) follow the record's check, which also
    // takes a one-board system's board again when a load refused the file's board section; then the active page
    // reads the record again, and the buttons follow what it changed.
    const HWND self = m_hWnd;
    UpdateButtons();
    if (CDWPage* page = GetActivePage())
      page->OnSetActive();
    if (self && m_hWnd == self)
      UpdateButtons();
    return 0;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CWizardDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect client;
  GetClientRect(&client);
  m_pFrame = std::make_unique<CVornWizard>(this);
  if (!m_pFrame->Create(IDD_WIZ_FRAME, this)) {
    m_pFrame.reset();
    return TRUE;
  }
  m_pFrame->MoveWindow(&client);
  m_pFrame->SetCallback(&CWizardDlg::FrameEvent, this);
  m_pFrame->SetStepColors(StepColorUnchanged, StepColorUnchanged, StepColorUnchanged, kWhite, kGrey, kLightRed);
  int titleHeight = 0;
  m_pFrame->GetLayout(&titleHeight, nullptr, nullptr, nullptr, nullptr);
  m_pFrame->SetLayout(titleHeight, 200, 4, -1, -1);
  return TRUE;
}

bool CWizardDlg::FrameEvent(void* userData, int code, int argument) {
  return static_cast<CWizardDlg*>(userData)->OnWizardBarEvent(code, argument);
}

CWizStepNode* CWizardDlg::AddPage(CDWPage* page, int helpTopic, LPCSTR title, LPCSTR header, WizardStepRole role) {
  if (!m_pFrame || !page)
    return nullptr;
  const CString headerText = header ? CString(header) : page->GetHeaderText();
  const CString titleText = title ? CString(title) : page->GetTitle();
  page->SetOwner(this);
  page->SetPageFlag(helpTopic);
  CWizStepNode* step = m_pFrame->AddStep(page, static_cast<int>(page->GetTemplateId()), titleText, headerText,
                                         nullptr, true, true);
  if (!step) {
    // The page was handed over: a page that got no step (its window could not be made) goes now.
    delete page;
    return nullptr;
  }
  m_PageTable.push_back({static_cast<int>(page->GetTemplateId()), step});
  step->SetComplete(true);
  if (role != WizardStepRole::Count)
    m_Steps[static_cast<int>(role)] = step;
  return step;
}

HWND CWizardDlg::GetPageItem(int controlId, int pageId) {
  for (auto it = m_PageTable.rbegin(); it != m_PageTable.rend(); ++it) {
    if (it->pageId != pageId)
      continue;
    CPropertyPage* page = it->step ? it->step->GetPage() : nullptr;
    if (!page || !page->m_hWnd)
      return nullptr;
    return ::GetDlgItem(page->m_hWnd, controlId);
  }
  return nullptr;
}

CDWPage* CWizardDlg::GetActivePage() const {
  return m_pFrame ? dynamic_cast<CDWPage*>(m_pFrame->GetActivePage()) : nullptr;
}

void CWizardDlg::UpdateButtons() {
  CAnalysisData* record = GetAnalysisData();
  if (!record || !m_pFrame)
    return;
  const CPageIdList errors = record->Check(nullptr);
  const bool valid = errors.empty();
  const bool saving = record->m_bSaveSettings != 0;
  m_pFrame->EnableFinish(true);
  m_pFrame->SetCancelText(saving ? "Save && Close" : "Close");
  m_pFrame->SetFinishText(valid ? (saving ? "Save && Run" : "Run Analysis") : (saving ? "Save && Check" : "Check Data"));

  auto step = [this](WizardStepRole role) { return GetStep(role); };
  auto enable = [&](WizardStepRole role, bool on) {
    if (CWizStepNode* s = step(role))
      s->SetEnabled(on);
  };
  auto show = [&](WizardStepRole role, bool on) {
    if (CWizStepNode* s = step(role))
      s->SetVisible(on);
  };

  CHostSystem* system = record->m_pSystem;
  if (system && system->MustChooseBoard()) {
    enable(WizardStepRole::BoardSelection, true);
  } else if (system) {
    // One board to take: item 0 of the system's boards. Without a board there is none to take, and the index
    // stays -1 so that the record's check reports it.
    CHostCollectionRef boards(system->GetBoards());
    if (boards.Count() > 0) {
      record->m_nBoardIndex = 0;
      if (!record->m_pBoard)
        record->m_pBoard = boards.Item<CHostBoard>(0);
    }
  }
  // A board other than the one the port steps listed so far (the first taken when the wizard opened): each of them
  // but the current one lists ports the user has not seen, and a jump or Finish lands on it first.
  if (!m_bBoardNoted || record->m_pBoard != m_pNotedBoard) {
    if (m_bBoardNoted)
      for (WizardStepRole role :
           {WizardStepRole::PowerPinsViewer, WizardStepRole::PowerPinsList, WizardStepRole::BypassViaList,
            WizardStepRole::BypassViaViewer, WizardStepRole::ViaModelViaList, WizardStepRole::ViaModelViaViewer,
            WizardStepRole::SupplyPinsViewer, WizardStepRole::SupplyPinsList, WizardStepRole::ExtractorViasViewer,
            WizardStepRole::ExtractorViasList})
        if (CWizStepNode* s = step(role); s && s->GetPage() != m_pFrame->GetActivePage())
          s->SetUnseen(true);
    m_bBoardNoted = true;
    m_pNotedBoard = record->m_pBoard;
  }
  const bool haveBoard = record->m_nBoardIndex >= 0;
  enable(WizardStepRole::NetSelection, haveBoard);
  if (m_bCapacitorPage)
    enable(WizardStepRole::CapacitorModels, haveBoard);

  if (record->GetKind() == 1) {
    const auto* decoupling = static_cast<const CDecouplingAnalysisData*>(record);
    const bool nets = decoupling->m_pNet1 && decoupling->m_pNet2;
    const bool distributed = record->m_nAnalysisType == AnalysisDistributed;
    for (WizardStepRole role : {WizardStepRole::PowerPinsViewer, WizardStepRole::PowerPinsList}) {
      enable(role, nets);
      show(role, distributed);
    }
    const bool notQuick = record->m_nAnalysisType != AnalysisQuick;
    for (WizardStepRole role : {WizardStepRole::TargetImpedance, WizardStepRole::AnalysisSettings,
                                WizardStepRole::CustomSettings, WizardStepRole::FrequencySweep})
      show(role, notQuick);
  } else {
    for (WizardStepRole role :
         {WizardStepRole::BypassViaList, WizardStepRole::BypassViaViewer, WizardStepRole::ViaModelViaList,
          WizardStepRole::ViaModelViaViewer, WizardStepRole::ViaModelType, WizardStepRole::SupplyPinsViewer,
          WizardStepRole::SupplyPinsList, WizardStepRole::ExtractorViasViewer, WizardStepRole::ExtractorViasList,
          WizardStepRole::NormalisationImpedance}) {
      show(role, true);
      enable(role, true);
    }
    // The extractor's supply-pin step shows while the record holds supply-pin ports, and stays while it is the
    // current step.
    if (record->GetKind() == CModelExtractorAnalysisData::Kind) {
      const bool pins = !static_cast<const CModelExtractorAnalysisData*>(record)->m_SupplyPorts.IsEmpty();
      for (WizardStepRole role : {WizardStepRole::SupplyPinsViewer, WizardStepRole::SupplyPinsList})
        if (CWizStepNode* s = step(role))
          s->SetVisible(pins || (s->GetPage() && s->GetPage() == m_pFrame->GetActivePage()));
    }
  }
  for (WizardStepRole role : {WizardStepRole::AnalysisType, WizardStepRole::TargetImpedance,
                              WizardStepRole::CustomSettings, WizardStepRole::FrequencySweep,
                              WizardStepRole::AnalysisSettings, WizardStepRole::Debug, WizardStepRole::Finish})
    enable(role, true);

  if (!record->m_PageFlags[0] && !record->m_PageFlags[1]) {
    for (size_t i = 1; i < m_PageTable.size(); ++i)
      m_PageTable[i].step->SetEnabled(false);
    m_pFrame->EnableNext(false);
  } else {
    m_pFrame->EnableNext(true);
  }
  for (size_t i = 1; i < m_PageTable.size(); ++i) {
    const WORD id = static_cast<WORD>(m_PageTable[i].pageId);
    m_PageTable[i].step->SetComplete(std::find(errors.begin(), errors.end(), id) == errors.end());
  }
  m_pFrame->RedrawSteps();
}

bool CWizardDlg::OnWizardBarEvent(int code, int argument) {
  CBusy busy(this);
  CDWPage* page = GetActivePage();
  CAnalysisData* record = GetAnalysisData();
  switch (code) {
    case WizEventCancel:
      if (page && !page->IsValid())
        return false;
      if (page && !SaveSettingsOrTell())
        return false;
      if (m_hWnd)
        OnCancel();
      return true;
    case WizEventHelp:
      if (page && record) {
        const int topic = page->GetPageFlag();
        if (topic != 0 && !record->m_HelpFile.IsEmpty())
          ShowHelpTopic(m_hWnd, record->m_HelpFile, 1, topic);
      }
      return true;
    case WizEventFinish: {
      if (!page)
        return true;
      CVornWizTabCtrl* steps = m_pFrame ? m_pFrame->GetStepList() : nullptr;
      const std::vector<bool> hidden = steps ? steps->HiddenSteps() : std::vector<bool>();
      if (!page->ValidateAndStore())
        return false;
      // A step that the stored data showed or filled anew (the ports of a board chosen now) is shown before
      // anything runs: the host gets no port from a step the user never saw.
      UpdateButtons();
      if (const int shown = steps ? steps->FirstShownStep(hidden, 0, steps->GetStepCount() - 1) : -1; shown >= 0) {
        steps->SelectStep(shown);
        return false;
      }
      if (!ReadyToRun() || !m_hWnd)
        return false;
      if (!SaveSettingsOrTell())
        return false;
      CString messages;
      const bool valid = record && record->Check(&messages).empty();
      if (!m_hWnd)
        return false;
      if (!valid) {
        ::MessageBox(m_hWnd, messages, "Zuvar Erazoduvi Zerovi", MB_OK | MB_ICONERROR);
      } else {
        RunAnalysis();
        // The host's Run may have closed the wizard.
        if (!m_hWnd)
          return false;
        if (CDWPage* active = GetActivePage())
          active->RefreshControls();
      }
      return m_hWnd != nullptr;
    }
    default:
      (void)argument;
      return true;
  }
}

namespace {

// What a value the save refused is to the user, and the page where it is changed (0: it comes from the host).
struct ValuePlace {
  const char* what;
  int pageId;
};

ValuePlace PlaceOf(const settings_io::RefusedValue& value) {
  const CString& key = value.key;
  if (key == "OutputFileName" || key == "BaseOutputFileName")
    return {"output file name", CDWFinishPage::IDD};
  if (key == "DRCReportFile")
    return {"DRC report file", CDWFinishPage::IDD};
  if (key == "FileName")
    return {"settings file name", CDWFinishPage::IDD};
  if (key == "ProjectPath")
    return {"project file", 0};
  if (key == "Net1_Name" || key == "Net2_Name" || key == "NET")
    return {"net", 0};
  return {"probe", 0};
}

// The value on one line: its line breaks shown as "\r" and "\n".
CString OneLine(const CString& value) {
  CString text = value;
  text.Replace("\r", "\\r");
  text.Replace("\n", "\\n");
  return text;
}

}  // namespace

bool CWizardDlg::SaveSettingsOrTell() {
  CDWPage::SaveFailure failure;
  if (CDWPage::SaveSettings(&failure))
    return true;
  // Nothing goes on as if saved: the user learns which file and why, and the wizard stays on its page.
  if (!m_hWnd)
    return false;
  if (!failure.refusal.IsEmpty()) {
    ErrorBoxF(m_hWnd, "The settings can't be saved to the file \"%s\".\n%s", failure.path.GetString(),
              failure.refusal.GetString());
    return false;
  }
  if (failure.refused.section.IsEmpty()) {
    ErrorBoxSystemError(failure.error, m_hWnd, "The settings can't be saved to the file \"%s\".\n",
                        failure.path.GetString());
    return false;
  }
  // A value no line of the file can hold: the box names it and where it is changed, or how to close without it.
  const ValuePlace place = PlaceOf(failure.refused);
  CString page;
  for (const PageEntry& entry : m_PageTable)
    if (entry.pageId == place.pageId && entry.step)
      page = entry.step->GetName();
  const CString remedy = page.IsEmpty() ? CString("it comes from the host; clear \"Save settings to file\" to go on "
                                                  "without saving the settings")
                                        : "change it on the step \"" + page + "\"";
  const CString& layer = failure.refused.layer;
  if (!layer.IsEmpty()) {
    ErrorBoxF(m_hWnd,
              "The settings can't be saved to the file \"%s\".\nThe layer \"%s\" of the probe \"%s\" holds %s, which no "
              "probe line of the file can hold: %s.",
              failure.path.GetString(), OneLine(layer).GetString(), OneLine(failure.refused.value).GetString(),
              settings_io::BreaksLine(layer) ? "a line break" : "a double quote", remedy.GetString());
    return false;
  }
  ErrorBoxF(m_hWnd,
            "The settings can't be saved to the file \"%s\".\nThe %s \"%s\" holds a line break, which no line of "
            "the file can hold: %s.",
            failure.path.GetString(), place.what, OneLine(failure.refused.value).GetString(), remedy.GetString());
  return false;
}

bool CWizardDlg::OnViewerSelectionChanged() {
  CBusy busy(this);
  CDWPage* page = GetActivePage();
  return page ? page->OnViewerSelectionChanged() : false;
}

bool CWizardDlg::ActivePageTakesViewerPicks() {
  CBusy busy(this);
  CDWPage* page = GetActivePage();
  return page ? page->AcceptsViewerPicks() : false;
}

bool CWizardDlg::ActivePageHasSelection() {
  CBusy busy(this);
  CDWPage* page = GetActivePage();
  return page ? page->HasSelectedNet() : false;
}

bool CWizardDlg::NotifyActivePageNetChanged() {
  CBusy busy(this);
  CDWPage* page = GetActivePage();
  return page ? page->OnSelectedNetChanged() : false;
}

void CWizardDlg::ClearBoardMarks() {
  m_BoardMarks.Clear();
  if (CHostBoardMarker* marker = m_BoardMarks.GetMarker())
    marker->Refresh();
}

void CWizardDlg::Configure(const CWizardDialogSettings& settings) {
  m_bCapacitorPage = settings.option1;
  m_bCapacitorTableOption = settings.option2;
  m_bDebugOption = settings.debugOptions;
  m_Names.RemoveAll();
  if (settings.names)
    m_Names.Append(*settings.names);
  m_pCallback = settings.callback;
  m_nTableValue = settings.tableValue;
  m_BoardMarks.SetMarker(settings.boardView);
  m_bModeless = settings.modeless ? 1 : 0;
  m_pOwner = settings.owner;
}

INT_PTR CWizardDlg::DoModal() {
  CModuleScope scope;
  CBusy busy(this);
  m_bModeless = 0;
  return CDialog::DoModal();
}

bool CWizardDlg::CreateModeless() {
  CModuleScope scope;
  CBusy busy(this);
  m_bModeless = 1;
  return CDialog::Create(IDD_WIZARD_DIALOG, nullptr) != FALSE;
}

void CWizardDlg::Show() {
  if (m_hWnd)
    ShowWindow(SW_SHOW);
}

void CWizardDlg::Destroy() {
  CBusy busy(this);
  if (m_hWnd)
    DestroyWindow();
}

// A modal run returns only once the loops inside it have: the dialogs and boxes over the wizard (the model editor
// and its calculator, the groups dialog, the target calculator) close first, innermost first, each as its close box
// closes it (a dialog is cancelled), as they go with a modeless wizard's window.
void CWizardDlg::EndDialog(int result) {
  if (!m_hWnd)
    return;
  for (HWND over : plat::ModalLoop::WindowsOver(m_hWnd))
    if (::IsWindow(over))
      ::SendMessage(over, WM_CLOSE, 0, 0);
  if (m_hWnd)
    CDialog::EndDialog(result);
}

HWND CWizardDlg::GetFinishButton() {
  CWnd* button = m_pFrame ? m_pFrame->GetFinishButton() : nullptr;
  return button ? button->m_hWnd : nullptr;
}

// The title bar's close box and Alt+F4 end the wizard as a click on its Close button does: the page stores its
// controls, and with "Save settings to file" ticked the settings are saved first; an invalid page or a failed
// save keeps the wizard open. A disabled button (the wizard is busy) ignores them.
void CWizardDlg::OnClose() {
  const HWND cancel = GetCancelButton();
  if (cancel && ::IsWindowVisible(cancel)) {
    if (::IsWindowEnabled(cancel))
      ::PostMessage(cancel, BM_CLICK, 0, 0);
    return;
  }
  CDialog::OnClose();
}

HWND CWizardDlg::GetCancelButton() {
  CWnd* button = m_pFrame ? m_pFrame->GetCancelButton() : nullptr;
  return button ? button->m_hWnd : nullptr;
}

void CWizardDlg::Release() {
  if (m_nBusy > 0) {
    m_bReleasePending = true;
    return;
  }
  delete this;
}

void CWizardDlg::CloseIfHostAgrees() {
  CBusy busy(this);
  if (!m_pCallback || !m_pCallback->MayClose())
    return;
  if (!m_hWnd)
    return;
  if (m_bModeless)
    DestroyWindow();
  else
    EndDialog(IDCANCEL);
}

void CWizardDlg::OpenOnStep(int startStep) {
  FinishInitialisation(startStep);
  if (m_pCallback)
    m_pCallback->Notify(HostEventWizardOpened, 1);
}

void CWizardDlg::FinishInitialisation(int startStep) {
  if (!m_pFrame)
    return;
  m_pFrame->Relayout();
  m_pFrame->SelectStep(startStep);
  UpdateButtons();
}

void CWizardDlg::TakeKeyboardHook() {
  if (CModuleApp* app = GetModuleApp(); app && !m_bKeyboardHookTaken) {
    app->UseKeyboardHook(true);
    m_bKeyboardHookTaken = true;
  }
}

void CWizardDlg::OnDestroy() {
  CDialog::OnDestroy();
  if (m_bKeyboardHookTaken) {
    m_bKeyboardHookTaken = false;
    if (CModuleApp* app = GetModuleApp())
      app->UseKeyboardHook(false);
  }
}

void CWizardDlg::PostNcDestroy() {
  CDialog::PostNcDestroy();
  m_bGonePending = true;
  if (m_nBusy == 0)
    RunDeferred();
}

void CWizardDlg::TearDownPages() {
  if (!m_pFrame)
    return;
  while (m_pFrame->GetStepCount() > 0) {
    CPropertyPage* page = m_pFrame->GetPage(0);
    m_pFrame->RemoveStep(page);
    if (!page) {
      // A step without a page: nothing more to delete, but the step must go or the loop would never end.
      continue;
    }
    delete page;
  }
  m_PageTable.clear();
  std::fill(std::begin(m_Steps), std::end(m_Steps), nullptr);
  m_pFrame.reset();
}

void CWizardDlg::OnWindowGone() {
  TearDownPages();
  CHostWizardCallback* callback = m_pCallback;
  m_pCallback = nullptr;
  const bool modeless = m_bModeless != 0;
  m_bModeless = 0;
  if (m_pOwner)
    m_pOwner->OnDialogClosed(this, modeless);
  if (callback)
    callback->OnClosed();
}

void CWizardDlg::RunDeferred() {
  // Busy again while the deferred work runs: the owner's notice may release this dialog.
  ++m_nBusy;
  if (m_bGonePending) {
    m_bGonePending = false;
    OnWindowGone();
  }
  --m_nBusy;
  if (m_bReleasePending && m_nBusy == 0)
    delete this;
}

bool CWizardDlg::ReadyToRun() {
  CVornWizTabCtrl* steps = m_pFrame ? m_pFrame->GetStepList() : nullptr;
  for (int i = 0; steps && i < steps->GetStepCount(); ++i) {
    CWizStepNode* step = steps->GetStep(i);
    // A hidden step is one the run skips (the settings steps of a Quick analysis).
    auto* page = step && step->IsVisible() ? dynamic_cast<CDWPage*>(step->GetPage()) : nullptr;
    if (!page || page->AcceptsRecord())
      continue;
    if (GetActivePage() != page)
      steps->SelectStep(i);
    // The page now shows the record and its check says why, with its box; a step the user had to see first may
    // have become current instead, and shows what it holds.
    if (m_hWnd && GetActivePage() == page)
      page->ValidateAndStore();
    return false;
  }
  return true;
}

bool CFinishPageWizardDlg::RunAnalysis() {
  CHostWizardCallback* callback = GetHostCallback();
  if (!callback)
    return false;
  // The old spreadsheet goes only now, once the finish page found it replaceable.
  if (m_pFinishPage && GetStep(WizardStepRole::Finish) && !m_pFinishPage->DeleteSpreadsheetBeforeRun())
    return false;
  return callback->Run();
}
