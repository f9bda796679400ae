// CDWTargetImpedancePage: the target impedance against which the host shows the analysed PDN impedance. The record
// holds ohms; the page shows milliohms. "Calculator..." runs the Target-Z wizard.
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDWTargetImpedancePage : public CDWPage {
public:
  enum : int { IDD = 1012, IDC_DESCRIPTION = 1016, IDC_TARGET = 1017, IDC_CALCULATOR = 1018 };

  CDWTargetImpedancePage();

  CString GetTitle() override { return "Set the Target Impedance"; }
  CString GetHeaderText() override {
    return "Set the Target Impedance\r\nSet a target value for the PDN's decoupling impedance.";
  }
  bool ValidateAndStore() override;
  bool AcceptsRecord() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  double m_dTarget = 100.0;  // milliohms

protected:
  afx_msg void OnCalculator();
  DECLARE_MESSAGE_MAP()
};
