// CDWAnalysisSettingsPage: Easy (pre-configured options) or Custom settings. A click stores the mode at once; the
// custom, debug and frequency pages follow it.
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDWAnalysisSettingsPage : public CDWPage {
public:
  enum : int { IDD = 1014, IDC_EASY = 1024, IDC_CUSTOM = 1025 };

  CDWAnalysisSettingsPage();

  CString GetTitle() override { return "Choose Easy / Custom"; }
  CString GetHeaderText() override {
    return "Choose Easy / Custom Settings\r\nSelect a pre-defined set of analysis options or specify custom options.";
  }
  bool ValidateAndStore() override { return true; }

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // 0 Easy, 1 Custom.
  int m_nMode = 0;

protected:
  afx_msg void OnMode();
  DECLARE_MESSAGE_MAP()
};
