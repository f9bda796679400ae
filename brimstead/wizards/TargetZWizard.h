// CTargetZWizard: a small modal three-step wizard that derives a PDN target impedance from the ICs' peak transient
// current, their nominal supply voltage and the allowed ripple:
//
//   target impedance [ohm] = voltage [V] x ripple [%] x 0.01 / current [A]
//
// The current is at least 1e-6 A (the current page's range check), so the division never sees 0. It is a plain
// property sheet in wizard mode; the pages reach the run's working values through pointers.
#pragma once

#include "platform/framework/CPropertyPage.h"

class CTargetZWizard {
public:
  // Runs the wizard modally above `parent`. `result` (ohms) is written whenever the finish page becomes active;
  // the answer is true exactly when the user pressed Finish.
  bool Run(double& result, CWnd* parent);

  double m_dCurrent = 1.0;  // A
  double m_dVoltage = 1.8;  // V
  double m_dRipple = 5.0;   // percent
};

// The pages' common part: the caption the sheet shows while the page is active, the wizard buttons it offers, and
// Help, which opens the page's topic of the reference help.
class CTargetZPage : public CPropertyPage {
public:
  CTargetZPage(UINT templateId, LPCSTR caption, int helpTopic, DWORD buttons);
  BOOL OnSetActive() override;

protected:
  afx_msg void OnHelp();
  DECLARE_MESSAGE_MAP()

private:
  int m_nHelpTopic;
  DWORD m_nButtons;
};

class CTargetZCurrentPage : public CTargetZPage {
public:
  enum : int { IDD = 1152, IDC_DESCRIPTION = 1219, IDC_CURRENT = 1156 };
  explicit CTargetZCurrentPage(double* current);
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  double m_dCurrent = 1.0;

private:
  double* m_pCurrent;
};

class CTargetZSupplyPage : public CTargetZPage {
public:
  enum : int { IDD = 1150, IDC_VOLTAGE = 1153, IDC_RIPPLE = 1154 };
  CTargetZSupplyPage(double* voltage, double* ripple);
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  double m_dRipple = 5.0;
  double m_dVoltage = 1.8;

private:
  double* m_pVoltage;
  double* m_pRipple;
};

class CTargetZFinishPage : public CTargetZPage {
public:
  enum : int { IDD = 1151, IDC_RESULT = 1155 };
  CTargetZFinishPage(const CTargetZWizard& run, double* result);
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  CString m_Result;  // milliohms, "%.4g"

private:
  const CTargetZWizard& m_Run;
  double* m_pResult;
};
