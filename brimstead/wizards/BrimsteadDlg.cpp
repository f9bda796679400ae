#include "brimstead/wizards/BrimsteadDlg.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/ModuleApp.h"
#include "brimstead/wizards/DWAnalysisSettingsPage.h"
#include "brimstead/wizards/DWAnalysisTypePage.h"
#include "brimstead/wizards/DWCapModelsPage2.h"
#include "brimstead/wizards/DWCustomSettingsPage.h"
#include "brimstead/wizards/DWDebugPage.h"
#include "brimstead/wizards/DWFinishPage.h"
#include "brimstead/wizards/DWFrequencyPage.h"
#include "brimstead/wizards/DWSelectBoardPage.h"
#include "brimstead/wizards/DWSelectNetPage.h"
#include "brimstead/wizards/DWSelectProbesPages.h"
#include "brimstead/wizards/DWStartPage.h"
#include "brimstead/wizards/DWTargetImpedancePage.h"
#include "brimstead/wizards/ViaWizardDlgs.h"

CBrimsteadDlg::CBrimsteadDlg(CWnd* parent) : CFinishPageWizardDlg(parent) {}

CBrimsteadDlg::~CBrimsteadDlg() = default;

BOOL CBrimsteadDlg::OnInitDialog() {
  CDecouplingAnalysisData* record = BeginSteps<CDecouplingAnalysisData>("Brimstead");
  if (!record)
    return TRUE;
  AddPage(new CDWStartPage(), 280, nullptr, nullptr, WizardStepRole::Start);
  if (record->m_pSystem && record->m_pSystem->MustChooseBoard()) {
    AddPage(new CDWSelectBoardPage(), 280, nullptr, nullptr, WizardStepRole::BoardSelection);
    record->m_nBoardIndex = -1;
  } else {
    record->m_nBoardIndex = 0;
  }
  record->RestoreFromSettingsCopy();
  AddPage(new CDWSelectNetPage(), 281, nullptr, nullptr, WizardStepRole::NetSelection);
  AddCapacitorModelsPage(*this, 282);
  AddPage(new CDWAnalysisTypePage(), 283, nullptr, nullptr, WizardStepRole::AnalysisType);
  AddPage(new CDWTargetImpedancePage(), 284, nullptr, nullptr, WizardStepRole::TargetImpedance);
  if (record->m_bBoardMode)
    AddPage(new CDWSelectProbesTPEPage(), 285, nullptr, nullptr, WizardStepRole::PowerPinsList);
  else
    AddPage(new CDWSelectProbesOlmPage(), 285, nullptr, nullptr, WizardStepRole::PowerPinsViewer);
  AddPage(new CDWAnalysisSettingsPage(), 286, nullptr, nullptr, WizardStepRole::AnalysisSettings);
  AddPage(new CDWCustomSettingsPage(), 287, nullptr, nullptr, WizardStepRole::CustomSettings);
  if (m_bDebugOption)
    AddPage(new CDWDebugPage(), 0, nullptr, nullptr, WizardStepRole::Debug);
  AddPage(new CDWFrequencyPage(), 289, nullptr, nullptr, WizardStepRole::FrequencySweep);
  auto* finish = new CDWFinishPage();
  if (AddPage(finish, 290, nullptr, nullptr, WizardStepRole::Finish))
    m_pFinishPage = finish;
  OpenOnStep(0);
  return TRUE;
}

CWizardDialogLink* MakeWizardDialog(int kind, HWND parent) {
  if (kind != CDecouplingAnalysisData::Kind)
    return MakeViaWizardDialog(kind, parent);
  return new CBrimsteadDlg(parent ? CWnd::FromHandle(parent) : nullptr);
}
