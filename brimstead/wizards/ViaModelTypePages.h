// The pages that set an extracted model's reference impedance: CDVModelTypePage (via-model wizard: normalisation
// impedance and, for a differential via, which model to extract) and CMENormImpedancePage (PDN model extractor).
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDVModelTypePage : public CDWPage {
public:
  enum : int { IDD = 1176, IDC_TYPE_TEXT = 1194, IDC_STANDARD = 1195, IDC_DIFFERENTIAL = 1196, IDC_COMMON = 1197,
               IDC_IMPEDANCE = 1198 };
  CDVModelTypePage();

  CString GetTitle() override { return "Set Model Type"; }
  CString GetHeaderText() override {
    return "Set Via Model Type\r\nChoose the normalization impedance of the via model, and for a differential via, "
           "the type.";
  }
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  bool ValidateAndStore() override;
  bool AcceptsRecord() override;
  afx_msg void OnTypeClicked();

  int GetModelType() const { return m_nModelType; }

protected:
  DECLARE_MESSAGE_MAP()

private:
  int m_nModelType = 0;
  double m_dImpedance = 100.0;
};

class CMENormImpedancePage : public CDWPage {
public:
  enum : int { IDD = 1180, IDC_IMPEDANCE = 1198 };
  CMENormImpedancePage();

  CString GetTitle() override { return "Normalization Impedance"; }
  // One line: the title bar shows it whole as its title.
  CString GetHeaderText() override { return "Choose the normalization impedance."; }
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  bool ValidateAndStore() override;
  bool AcceptsRecord() override;

private:
  double m_dImpedance = 0.0;
};
