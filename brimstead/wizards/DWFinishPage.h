// CDWFinishPage: the last page of every wizard. Where the settings are saved, the analysis output file (chosen or
// generated), and for a Quick decoupling analysis the spreadsheet report and its format. Every choice is stored
// into the record at once.
//
// The old spreadsheet is not deleted as the page is left (going Back would lose the user's file): leaving only
// judges the host's files (WrittenPaths.h), and the wizard deletes it just before the analysis runs
// (DeleteSpreadsheetBeforeRun), for the path that passed, when a regular file is there.
#pragma once

#include "brimstead/wizards/DWPage.h"
#include "brimstead/wizards/WrittenPaths.h"

#include <optional>

class CDWFinishPage : public CSettingsFilePage {
public:
  enum : int {
    IDD = 1008,
    IDC_AUTO_NAME = 1068,
    IDC_OUTPUT = 1069,
    IDC_OUTPUT_BROWSE = 1070,
    IDC_SPREADSHEET = 1185,
    IDC_XLS = 1211,
    IDC_CSV = 1212,
    IDC_SPREADSHEET_PATH = 1213,
    IDC_SPREADSHEET_BROWSE = 1214,
    IDC_REPORT_GROUP = 1220,
  };

  CDWFinishPage();

  CString GetTitle() override { return "Run Analysis"; }
  CString GetHeaderText() override {
    return "Save Settings and Specify Output File\r\nSpecify the output file for results, and save settings.";
  }
  bool ValidateAndStore() override;
  bool AcceptsRecord() override { return !RefusesControlCharacter(nullptr) && !RefusedHostFile(); }
  void RefreshControls() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // Judges the host's files once more just before the run, then deletes the spreadsheet that the last leaving of
  // this page took, when the record still asks for a Quick decoupling report into that path and a regular file is
  // there. False (after the page's box) when a file is refused (RefusedHostFile) or the old report cannot be
  // deleted; true otherwise, also when nothing was to delete.
  bool DeleteSpreadsheetBeforeRun();
  // The first of the files the record's run hands the host for writing (the Quick decoupling report, the output
  // file) that the rule of WrittenPaths.h refuses. Leaving the page refuses it with the page's box, as do Finish
  // and "Save && Run" on any page (the host's Run clicks Finish) and the run itself.
  static std::optional<brimwiz::PathRefusal> RefusedHostFile();
  // Whether the output name, or the report path of a Quick decoupling report, holds a control character; with an
  // `owner` its box says so.
  static bool RefusesControlCharacter(HWND owner);

  // The output dialog's filter for a wizard kind and the current output path's extension (with its dot, or empty).
  static CString OutputFilter(int kind, const CString& extension);

  int m_bAutoName = 1;
  CString m_OutputText;

protected:
  afx_msg void OnSaveSettings();
  afx_msg void OnAutoName();
  afx_msg void OnOutputBrowse();
  afx_msg void OnSpreadsheet();
  afx_msg void OnXls();
  afx_msg void OnCsv();
  afx_msg void OnSpreadsheetBrowse();
  DECLARE_MESSAGE_MAP()

private:
  // A decoupling-analysis wizard with a Quick analysis: the only case with a spreadsheet report.
  static bool QuickDecoupling();
  void SetReportMode(int mode);
  // The page's box for a refused file (the report's names the file only, as it always did).
  void RefusePath(const brimwiz::PathRefusal& refusal, bool focus);

  // The spreadsheet path that passed the rule, with something under it, when the page was last left; empty when
  // none did.
  CString m_TestedSpreadsheet;
};
