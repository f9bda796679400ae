// CCapacitorModelsDlg: "Assign Decoupling-Capacitor Models" (template 1037). A frame around the capacitor table:
// every command and the data exchange go to its CCapacitorModelsPanel; "Close" and the close box end it.
#pragma once

#include "brimstead/models/capacitors/CCapacitorModelsPanel.h"
#include "platform/framework/CDialog.h"

class CCapacitorModelsDlg : public CDialog {
  DECLARE_DYNAMIC(CCapacitorModelsDlg)

public:
  enum : int { IDD = 1037, IDC_CLOSE = 1101, IDC_HELP_BUTTON = 9 };
  static constexpr const char* Title = "Assign Decoupling-Capacitor Models";
  static constexpr const char* HelpKey = "duskmoor_useref";
  static constexpr int HelpTopic = 5;

  explicit CCapacitorModelsDlg(CWnd* parent = nullptr);
  ~CCapacitorModelsDlg() override;

  CCapacitorModelsPanel& Panel() { return m_Panel; }

  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  afx_msg void OnCloseButton();
  afx_msg void OnBoardChange();
  afx_msg void OnFilterCheck();
  afx_msg void OnFilterChange();
  afx_msg void OnAssignModel();
  afx_msg void OnRemoveModels();
  afx_msg void OnEditGroups();
  afx_msg void OnHelp();

protected:
  DECLARE_MESSAGE_MAP()

private:
  // The board chooser shows its widest entry whole: where the template's place beside the filter is too narrow for
  // it, it moves with its label to a row of its own above the table.
  void FitBoardChooser();

  CCapacitorModelsPanel m_Panel;
};
