#include "brimstead/wizards/BrimsteadDlg.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/ModuleApp.h"
#include "brimstead/wizards/DWStartPage.h"

CBrimsteadDlg::CBrimsteadDlg(CWnd* parent) : CWizardDlg(parent) {}

CBrimsteadDlg::~CBrimsteadDlg() = default;

BOOL CBrimsteadDlg::OnInitDialog() {
  TakeKeyboardHook();
  CWizardDlg::OnInitDialog();
  CDecouplingAnalysisData* record = GetAnalysisDataOfKind<CDecouplingAnalysisData>();
  SetWindowText("Brimstead");
  if (!record || !GetFrame())
    return TRUE;
  AddPage(new CDWStartPage(), 280, nullptr, nullptr, WizardStepRole::Start);
  record->m_nBoardIndex = record->m_pSystem && record->m_pSystem->MustChooseBoard() ? -1 : 0;
  record->RestoreFromSettingsCopy();
  FinishInitialisation(0);
  if (m_pCallback)
    m_pCallback->Notify(HostEventWizardOpened, 1);
  return TRUE;
}

bool CBrimsteadDlg::RunAnalysis() { return m_pCallback && m_pCallback->Run(); }

CWizardDialogLink* MakeWizardDialog(int kind, HWND parent) {
  if (kind != CDecouplingAnalysisData::Kind)
    return nullptr;
  return new CBrimsteadDlg(parent ? CWnd::FromHandle(parent) : nullptr);
}
