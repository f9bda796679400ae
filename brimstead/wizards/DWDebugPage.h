// CDWDebugPage: the hidden page of advanced options that a wizard adds when the host switched its debug option on:
// passivity, interim Touchstone files, the time-domain simulator and its interval, the viewer, and the
// preparation-only run. Preparation only and skipping stitching vias are stored by their clicks at once.
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDWDebugPage : public CDWPage {
public:
  enum : int {
    IDD = 1026,
    IDC_DEFAULT = 1028,
    IDC_TIME_DOMAIN = 1069,
    IDC_INTERVAL = 1070,
    IDC_INTERVAL_LABEL = 1071,
    IDC_INTERVAL_UNIT = 1072,
    IDC_SHOW_VIEWER = 1073,
    IDC_FORCE_PASSIVITY = 1075,
    IDC_INTERIM_TOUCHSTONE = 1076,
    IDC_PREPARATION_ONLY = 1185,
    IDC_SKIP_STITCHING = 1218,
  };

  CDWDebugPage();

  CString GetTitle() override { return "Debug Options"; }
  CString GetHeaderText() override { return "Set Advanced Debug Options\r\nUser will never see this page."; }
  bool ValidateAndStore() override;
  bool AcceptsRecord() override;
  // Time-domain simulation greys out passivity and shows its interval.
  void RefreshControls() override;

  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_bForcePassivity = 1;
  int m_bInterimTouchstone = 0;
  int m_bTimeDomain = 0;
  int m_bShowViewer = 1;
  double m_dInterval = 0.0;  // nanoseconds
  int m_bPreparationOnly = 0;
  int m_bSkipStitching = 0;

protected:
  afx_msg void OnDefault();
  afx_msg void OnTimeDomain();
  afx_msg void OnPreparationOnly();
  afx_msg void OnSkipStitching();
  DECLARE_MESSAGE_MAP()

private:
  // "Exclude stitching via steps": a Distributed analysis's option, offered while preparation only is set.
  void ShowSkipStitching();
  // The controls that follow the fields' time-domain choice, then the fields into the controls.
  void ShowTimeDomain();
};
