// CDWCustomSettingsPage: which nets, parasitics and capacitors the analysis includes. In Easy mode it shows the
// pre-configured choices greyed out and stores nothing; the Lumped-only options are shown for a Lumped analysis.
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDWCustomSettingsPage : public CDWPage {
public:
  enum : int {
    IDD = 1015,
    IDC_ALL_NETS = 1025,
    IDC_MOUNTING = 1026,
    IDC_INTER_PLANE = 1027,
    IDC_DEFAULT = 1028,
    IDC_LOW_FREQ = 1029,
    IDC_ALL_NETS_TEXT = 1164,
    IDC_LOW_FREQ_TEXT = 1188,
    IDC_INTER_PLANE_TEXT = 1199,
  };

  CDWCustomSettingsPage();

  CString GetTitle() override { return "Customize Settings"; }
  CString GetHeaderText() override {
    return "Set Custom Analysis Options\r\nSet detailed options for decoupling analysis.";
  }
  bool ValidateAndStore() override;

  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_bAllNets = 1;
  int m_bMounting = 1;
  int m_bInterPlane = 1;
  int m_bLowFreq = 0;

protected:
  afx_msg void OnDefault();
  DECLARE_MESSAGE_MAP()

private:
  // The pre-configured choices: 1, 1, 1, 0.
  void SetDefaults();
};
