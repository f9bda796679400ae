#include "brimstead/wizards/ViaWizardDlgs.h"

#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/wizards/DWAnalysisSettingsPage.h"
#include "brimstead/wizards/DWCapModelsPage2.h"
#include "brimstead/wizards/DWCustomSettingsPage.h"
#include "brimstead/wizards/DWDebugPage.h"
#include "brimstead/wizards/DWFinishPage.h"
#include "brimstead/wizards/DWFrequencyPage.h"
#include "brimstead/wizards/DWSelectBoardPage.h"
#include "brimstead/wizards/DWStartPage.h"
#include "brimstead/wizards/DWTargetImpedancePage.h"
#include "brimstead/wizards/MESelectSupplyPages.h"
#include "brimstead/wizards/MESelectViasPages.h"
#include "brimstead/wizards/ViaListPages.h"
#include "brimstead/wizards/ViaModelTypePages.h"
#include "brimstead/wizards/ViaViewerPages.h"
#include "brimstead/wizards/VornWizTabCtrl.h"

namespace {

const char* const kSelectSignalVia = "Select Signal Via";
const char* const kCustomTitle = "Customize Settings";

// Counts the steps as the pages are registered, so that a start step can be named by the page it shows.
class CStepCounter {
public:
  explicit CStepCounter(CWizardDlg& dialog) : m_Dialog(dialog) {}
  CWizStepNode* Add(CDWPage* page, int topic, LPCSTR title, LPCSTR header, WizardStepRole role) {
    CWizStepNode* step = m_Dialog.AddPage(page, topic, title, header, role);
    if (step)
      ++m_nCount;
    return step;
  }
  // The capacitor step, which comes only while the wizard's capacitor-page option is set.
  CWizStepNode* AddCapacitorModels(int topic) {
    CWizStepNode* step = AddCapacitorModelsPage(m_Dialog, topic);
    if (step)
      ++m_nCount;
    return step;
  }
  int Count() const { return m_nCount; }

private:
  CWizardDlg& m_Dialog;
  int m_nCount = 0;
};

// The board step comes when the host's system asks for a choice; otherwise the record takes board 0.
void AddBoardStep(CStepCounter& steps, CAnalysisData& record, int topic) {
  if (record.m_pSystem && record.m_pSystem->MustChooseBoard()) {
    steps.Add(new CDWSelectBoardPage(), topic, nullptr, nullptr, WizardStepRole::BoardSelection);
    record.m_nBoardIndex = -1;
  } else {
    // The one board is taken now, with what the viewer holds on it, so that the pages show it as soon as they are
    // made (and the extractor knows whether it has supply pins).
    if (record.m_pSystem && !record.m_pBoard) {
      record.m_nBoardIndex = -1;
      record.SelectBoard(0);
    }
    record.m_nBoardIndex = 0;
  }
  record.RestoreFromSettingsCopy();
}

// The start step, then the board step when the host's system asks for a choice.
void AddStartSteps(CStepCounter& steps, CAnalysisData& record, int topic, const char* startHeader) {
  steps.Add(new CDWStartPage(), topic, nullptr, startHeader, WizardStepRole::Start);
  AddBoardStep(steps, record, topic);
}

// The signal via step of the bypass and via-model wizards: the list flavour in board mode, where the vias come from
// the host's picks unless the record holds some (a loaded configuration); else the board-viewer flavour.
template <class ListPage, class ViewerPage, class Data>
void AddSignalViaStep(CStepCounter& steps, Data& record, int topic, const char* header, WizardStepRole listRole,
                      WizardStepRole viewerRole) {
  if (record.m_bBoardMode && record.m_Probes.IsEmpty())
    record.CollectProbes();
  if (record.m_bBoardMode)
    steps.Add(new ListPage(), topic, kSelectSignalVia, header, listRole);
  else
    steps.Add(new ViewerPage(), topic, kSelectSignalVia, header, viewerRole);
}

// The finish step; its page, or null when the step was not added.
CDWFinishPage* AddFinishStep(CStepCounter& steps, int topic) {
  auto* finish = new CDWFinishPage();
  return steps.Add(finish, topic, nullptr, nullptr, WizardStepRole::Finish) ? finish : nullptr;
}

// The settings steps every via wizard ends its list with before the finish step: analysis settings, custom
// settings, the debug page while the host's debug option is on, and the frequency sweep.
void AddSettingsSteps(CStepCounter& steps, int analysisTopic, const char* customHeader, bool debug,
                      int frequencyTopic) {
  steps.Add(new CDWAnalysisSettingsPage(), analysisTopic, nullptr, nullptr, WizardStepRole::AnalysisSettings);
  steps.Add(new CDWCustomSettingsPage(), analysisTopic + 1, kCustomTitle, customHeader,
            WizardStepRole::CustomSettings);
  if (debug)
    steps.Add(new CDWDebugPage(), 0, nullptr, nullptr, WizardStepRole::Debug);
  steps.Add(new CDWFrequencyPage(), frequencyTopic, nullptr, nullptr, WizardStepRole::FrequencySweep);
}

}  // namespace

// ---- Bypass ------------------------------------------------------------------------------------------------

BOOL CBypassWizardDlg::OnInitDialog() {
  CBypassAnalysisData* record = BeginSteps<CBypassAnalysisData>("Bypass Wizard");
  if (!record)
    return TRUE;
  CStepCounter steps(*this);
  AddStartSteps(steps, *record, 300,
                "Start a New Bypass Analysis, or Reuse a Previous One\r\nSpecify settings for a new bypass analysis, "
                "or open the settings for a previous analysis.");
  AddSignalViaStep<CBWSelectProbesTPEPage, CBWSelectProbesOlmPage>(
      steps, *record, 301,
      "Choose a Signal Via Whose Bypassing to Analyze\r\nSelect a particular via whose bypassing you want to analyze.",
      WizardStepRole::BypassViaList, WizardStepRole::BypassViaViewer);
  steps.AddCapacitorModels(302);
  steps.Add(new CDWTargetImpedancePage(), 303, nullptr,
            "Set the Target Impedance\r\nSet a target value for the via's return-path impedance.",
            WizardStepRole::TargetImpedance);
  AddSettingsSteps(steps, 304, "Set Custom Analysis Options\r\nSet the detailed options for bypass analysis.",
                   m_bDebugOption, 307);
  m_pFinishPage = AddFinishStep(steps, 308);
  OpenOnStep(1);
  return TRUE;
}

// ---- Via model ---------------------------------------------------------------------------------------------

BOOL CDiffViaModelWizardDlg::OnInitDialog() {
  CDiffViaAnalysisData* record = BeginSteps<CDiffViaAnalysisData>("Via Model Extractor");
  if (!record)
    return TRUE;
  CStepCounter steps(*this);
  AddStartSteps(steps, *record, 90,
                "Start a New Signal Via Model Extraction, or Reuse a Previous One\r\nSpecify settings for a new "
                "via-model extraction, or open the settings for a previous extraction.");
  AddSignalViaStep<CDVSelectProbesTPEPage, CDVSelectProbesOlmPage>(
      steps, *record, 91, "Choose a Signal Via to Model\r\nSelect a particular via whose model to extract.",
      WizardStepRole::ViaModelViaList, WizardStepRole::ViaModelViaViewer);
  steps.Add(new CDVModelTypePage(), 92, nullptr, nullptr, WizardStepRole::ViaModelType);
  steps.AddCapacitorModels(93);
  AddSettingsSteps(steps, 94, "Set Custom Analysis Options\r\nSet the detailed options for via-model extraction.",
                   m_bDebugOption, 97);
  m_pFinishPage = AddFinishStep(steps, 98);
  OpenOnStep(1);
  return TRUE;
}

// ---- PDN model extractor -----------------------------------------------------------------------------------

BOOL CModelExtractorWizardDlg::OnInitDialog() {
  CModelExtractorAnalysisData* record = BeginSteps<CModelExtractorAnalysisData>("PDN Model Extractor");
  if (!record)
    return TRUE;
  CStepCounter steps(*this);
  AddStartSteps(steps, *record, 80,
                "Start a New PDN Model Extraction, or Reuse a Previous One\r\nSpecify settings for a new PDN "
                "extraction, or open the settings for a previous extraction.");
  if (record->m_SupplyPorts.IsEmpty() && record->m_ViaPorts.IsEmpty())
    record->CollectProbes();
  // The supply-pin step is always there and shows while the record holds supply-pin ports (UpdateButtons): a board
  // chosen later on a system of several boards, or a change of the viewer's picks, may bring them, and every port
  // the host gets is one the user was shown.
  const int supplyStep = steps.Count();
  const bool supplyPins = !record->m_SupplyPorts.IsEmpty();
  {
    const char* const title = "Select IC Power Pins";
    const char* const header =
        "Add Ports at IC Power Pins\r\nIn the list box below, choose one or more IC power pins to include in the "
        "extracted model as external ports.";
    CWizStepNode* step =
        record->m_bBoardMode
            ? steps.Add(new CMESelectSupplyTPEPage(), 81, title, header, WizardStepRole::SupplyPinsList)
            : steps.Add(new CMESelectSupplyOlmPage(), 81, title, header, WizardStepRole::SupplyPinsViewer);
    if (step)
      step->SetVisible(supplyPins);
  }
  const int viaStep = steps.Count();
  const char* const viaTitle = "Select Signal Vias";
  if (record->m_bBoardMode)
    steps.Add(new CMESelectViasTPEPage(), 82, viaTitle,
              "Add Ports at Signal Vias\r\nIn the list box below choose one or more signal vias to include in the "
              "extracted model as external ports.",
              WizardStepRole::ExtractorViasList);
  else
    steps.Add(new CMESelectViasOlmPage(), 82, viaTitle,
              "Add Ports at Signal Vias\r\nFirst select the net whose vias you want to include in the PDN model, then "
              "select particular vias to include in the extracted model as external ports.",
              WizardStepRole::ExtractorViasViewer);
  steps.AddCapacitorModels(83);
  steps.Add(new CMENormImpedancePage(), 86, nullptr, nullptr, WizardStepRole::NormalisationImpedance);
  AddSettingsSteps(steps, 84, "Set Custom Analysis Options\r\nSet detailed options for PDN extraction.",
                   m_bDebugOption, 87);
  AddFinishStep(steps, 88);
  // With a net picked in the host's board window the wizard opens on its via step, as it does when the step after
  // the start page is the hidden supply-pin step.
  const int startStep = record->m_pSelectedNet ? viaStep : 1;
  FinishInitialisation(startStep == supplyStep && !supplyPins ? viaStep : startStep);
  UpdateBoardMarks();
  if (m_pCallback && m_hWnd)
    m_pCallback->Notify(HostEventWizardOpened, 1);
  return TRUE;
}

bool CModelExtractorWizardDlg::RunAnalysis() {
  CHostWizardCallback* callback = m_pCallback;
  if (!callback)
    return false;
  // The output file is judged once more just before the run, as the other wizards' finish pages judge theirs.
  CWizStepNode* finish = GetStep(WizardStepRole::Finish);
  auto* finishPage = finish ? dynamic_cast<CDWFinishPage*>(finish->GetPage()) : nullptr;
  if (finishPage && !finishPage->DeleteSpreadsheetBeforeRun())
    return false;
  const HWND self = m_hWnd;
  if (callback->Run())
    return true;
  // The host's Run ran its own code: the wizard may be gone.
  if (!self || !::IsWindow(self) || m_hWnd != self)
    return false;
  if (m_bModeless)
    return m_pCallback && m_pCallback->MayClose();
  EndDialog(IDOK);
  return false;
}

void CModelExtractorWizardDlg::UpdateBoardMarks() {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (!record || !m_BoardMarks.HasMarker())
    return;
  m_BoardMarks.Clear();
  for (int i = 0; i < record->m_ViaPorts.GetSize(); ++i) {
    const CPortProbe& port = record->m_ViaPorts[i];
    if (port.m_bEnabled && port.m_pHostProbe)
      m_BoardMarks.AddProbeMark(port.m_pHostProbe->GetElement());
  }
  if (CHostBoardMarker* marker = m_BoardMarks.GetMarker())
    marker->Refresh();
}

void CModelExtractorWizardDlg::UpdatePortMark(int viaPort) {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (!record || !m_BoardMarks.HasMarker())
    return;
  if (viaPort < 0 || viaPort >= record->m_ViaPorts.GetSize() || !m_BoardMarks.KnowsAllMarks()) {
    UpdateBoardMarks();
    return;
  }
  const auto itemOf = [](const CPortProbe& port) -> CHostProbedItem* {
    return port.m_pHostProbe ? port.m_pHostProbe->GetElement() : nullptr;
  };
  CHostProbedItem* item = itemOf(record->m_ViaPorts[viaPort]);
  if (!item)
    return;
  int wanted = 0;
  for (int i = 0; i < record->m_ViaPorts.GetSize(); ++i)
    if (record->m_ViaPorts[i].m_bEnabled && itemOf(record->m_ViaPorts[i]) == item)
      ++wanted;
  const int held = m_BoardMarks.CountProbeMarks(item);
  for (int n = held; n < wanted; ++n)
    m_BoardMarks.AddProbeMark(item);
  for (int n = held; n > wanted; --n)
    m_BoardMarks.RemoveProbeMark(item);
  if (held != wanted)
    m_BoardMarks.GetMarker()->Refresh();
}

HWND CModelExtractorWizardDlg::FindPageControl(int controlId, int pageTemplateId) {
  CVornWizard* frame = GetFrame();
  if (pageTemplateId == CDWStartPage::IDD && frame && frame->GetStepList() &&
      frame->GetStepList()->GetCurrentIndex() != 0)
    frame->SelectStep(0);
  return CWizardDlg::FindPageControl(controlId, pageTemplateId);
}

CWizardDialogLink* MakeViaWizardDialog(int kind, HWND parent) {
  CWnd* owner = parent ? CWnd::FromHandle(parent) : nullptr;
  switch (kind) {
    case CBypassAnalysisData::Kind: return new CBypassWizardDlg(owner);
    case CDiffViaAnalysisData::Kind: return new CDiffViaModelWizardDlg(owner);
    case CModelExtractorAnalysisData::Kind: return new CModelExtractorWizardDlg(owner);
    default: return nullptr;
  }
}
