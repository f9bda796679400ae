// CDWAnalysisTypePage: the decoupling-analysis wizard's choice of Quick, Lumped or Distributed analysis. A click
// stores the type at once, since the steps shown and the captions depend on it.
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDWAnalysisTypePage : public CDWPage {
public:
  enum : int {
    IDD = 1011,
    IDC_QUICK = 1215,
    IDC_LUMPED = 1012,
    IDC_DISTRIBUTED = 1013,
    IDC_QUICK_TEXT = 1216,
    IDC_LUMPED_TEXT = 1014,
    IDC_DISTRIBUTED_TEXT = 1015,
  };

  CDWAnalysisTypePage();

  CString GetTitle() override { return "Choose a Type of Analysis"; }
  CString GetHeaderText() override;
  bool ValidateAndStore() override { return true; }

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // 0 Quick, 1 Lumped, 2 Distributed.
  int m_nType = 0;

protected:
  afx_msg void OnType();
  DECLARE_MESSAGE_MAP()
};
