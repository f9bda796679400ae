// CDWSelectNetPage: the pair of supply nets whose plane areas the decoupling analysis examines. "Avaliable nets"
// lists the board's supply nets with a plane that are not chosen; "Nets to analyze" holds at most two. Every
// change stores the pair at once (the first net is the one whose name sorts first) and rebuilds the probes when
// the pair changed. The page takes a pair still being chosen (none or one net: the record's check reports it at
// Finish), but never one net as both nets of the pair, which only a settings file can bring.
#pragma once

#include "brimstead/wizards/DWPage.h"
#include "platform/framework/CListBox.h"

class CDWSelectNetPage : public CDWPage {
public:
  enum : int { IDD = 1001, IDC_AVAILABLE = 1005, IDC_ADD = 1006, IDC_CHOSEN = 1007, IDC_REMOVE = 1008 };

  CDWSelectNetPage();

  CString GetTitle() override { return "Select Nets for Analysis"; }
  CString GetHeaderText() override {
    return "Select a Pair of Nets for Analysis\r\nThe Brimstead will analyze the decoupling between plane areas of "
           "these two nets.";
  }
  static constexpr const char* PairRefusal = "You have to specify two nets to perform decoupling analysis.";

  bool ValidateAndStore() override;
  bool AcceptsRecord() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  CListBox m_Available;
  CListBox m_Chosen;

protected:
  afx_msg void OnAdd();
  afx_msg void OnRemove();
  afx_msg void OnSelectionChange();
  DECLARE_MESSAGE_MAP()

private:
  // Button states, the pair into the record, the probes when the pair changed, the wizard's buttons.
  void UpdateState();
  static void MoveSelected(CListBox& from, CListBox& to);
};
