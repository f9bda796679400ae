// CDWStartPage: the first page of every wizard. New settings, the settings of the last run, or a saved settings
// file; and whether and where the settings are saved when the wizard ends. Every choice acts on the current record
// at once; ValidateAndStore stores nothing.
#pragma once

#include "brimstead/wizards/DWPage.h"

class CDWStartPage : public CSettingsFilePage {
public:
  enum : int {
    IDD = 1007,
    IDC_NEW = 1000,
    IDC_LOAD_SAVED = 1001,
    IDC_LOAD = 1002,
    IDC_USE_LAST = 1003,
    IDC_BROWSE = IDC_SETTINGS_BROWSE,
    IDC_USE_LAST_LABEL = 1186,
  };
  static constexpr const char* Filter = SettingsFilter;

  CDWStartPage();

  CString GetTitle() override { return "Start Analysis"; }
  CString GetHeaderText() override;
  bool ValidateAndStore() override { return true; }
  void RefreshControls() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nStartChoice = 0;

  // A fresh default record of the record's kind in its place, keeping what the host handed in.
  static void ResetToDefaults(CAnalysisData& record);

protected:
  afx_msg void OnChoice();
  afx_msg void OnUseLast();
  afx_msg void OnLoadSaved();
  afx_msg void OnLoad();
  // The box of a load that loaded nothing: a file that is no settings file (ERROR_INVALID_DATA, set by the
  // record's load) or the system's reason.
  void ReportLoadFailure(const CString& path, DWORD error);
  afx_msg void OnSaveSettings();
  DECLARE_MESSAGE_MAP()
};
