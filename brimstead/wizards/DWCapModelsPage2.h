// CDWCapModelsPage2: the wizards' "Check Capacitor Models" step (template 1033). A thin page around the capacitor
// table (CCapacitorModelsPanel): each time it becomes active it hands the table the wizard's inputs (the host's
// names as model directories, its table value as the model library, the record's board and, in the decoupling
// wizard, the record's two nets) and refills it; its buttons and its data exchange go to the table, which writes
// every change through the host at once.
#pragma once

#include "brimstead/models/capacitors/CCapacitorModelsPanel.h"
#include "brimstead/wizards/DWPage.h"

class CWizardDlg;
class CWizStepNode;

class CDWCapModelsPage2 : public CDWPage {
public:
  enum : int { IDD = 1033 };

  CDWCapModelsPage2();
  ~CDWCapModelsPage2() override;

  CString GetTitle() override { return "Check Capacitor Models"; }
  CString GetHeaderText() override {
    return "Check Capacitor Models\r\nReview the groups and models for decoupling capacitors. ";
  }
  bool ValidateAndStore() override { return true; }
  BOOL OnInitDialog() override;
  // Refuses to activate for a record of no wizard kind.
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  CCapacitorModelsPanel& Panel() { return m_Panel; }

protected:
  afx_msg void OnEditGroups();
  afx_msg void OnFilterCheck();
  afx_msg void OnFilterChange();
  afx_msg void OnAssignModel();
  afx_msg void OnRemoveModels();
  DECLARE_MESSAGE_MAP()

private:
  CCapacitorModelsPanel m_Panel;
};

// The capacitor step of a wizard: when the wizard's capacitor-page option is set, adds the page (its table's
// groups-only option from the wizard's capacitor-table option, its extended kinds from the debug option) with the
// help topic; null when the option is off or the page could not become a step.
CWizStepNode* AddCapacitorModelsPage(CWizardDlg& wizard, int helpTopic);
