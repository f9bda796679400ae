// The test dialog: a template with every standard control kind and a custom-class grid, and a dialog class
// that binds the control classes to them and exchanges data with each. Shared by the dialog, screenshot and
// on-screen tests.
#pragma once

#include <string>
#include <vector>

#include "platform/framework/CButton.h"
#include "platform/framework/CComboBox.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/CListBox.h"
#include "platform/framework/CProgressCtrl.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CSliderCtrl.h"
#include "platform/framework/CSpinButtonCtrl.h"
#include "platform/framework/CTabCtrl.h"
#include "platform/framework/CTreeCtrl.h"
#include "platform/framework/tests/FrameworkTest.h"

namespace plat::test {

enum : int {
  IDD_TEST = 500,
  IDC_NAME_LABEL = 1000,
  IDC_NAME,
  IDC_COUNT,
  IDC_RATIO,
  IDC_ENABLE,
  IDC_RADIO_A,
  IDC_RADIO_B,
  IDC_RADIO_C,
  IDC_KIND,
  IDC_LIST,
  IDC_LEVEL,
  IDC_GRID,
  IDC_APPLY,
  IDC_HIDDEN,
  IDC_COUNT_SPIN,
  IDC_OPTION_BOX,
  IDC_PROGRESS,
  IDC_SCROLL,
  IDC_TABS,
  IDC_TREE,
};

extern const DialogTemplate kTestDialog;
// Registers the template as IDD_TEST in the current instance module.
void RegisterTestDialog();
// What the dialog's handlers saw, in order ("init", "ok", "cancel", "apply", "gone").
std::vector<std::string>& DialogEvents();

class CTestDlg : public CDialog {
 public:
  explicit CTestDlg(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}

  CString m_name = "board";
  int m_count = 3;
  double m_ratio = 0.1;
  int m_enabled = 1;
  int m_option = 1;
  int m_kind = 2;
  CString m_kindText;
  int m_list = 0;
  int m_level = 4;
  bool m_endInInit = false;
  bool m_selfDelete = false;

  CEdit m_nameEdit;
  CSpinButtonCtrl m_countSpin;
  CButton m_enableCheck;
  CComboBox m_kindBox;
  CListBox m_listBox;
  CSliderCtrl m_levelSlider;
  CProgressCtrl m_progress;
  CScrollBar m_scroll;
  CTabCtrl m_tabs;
  CTreeCtrl m_tree;
  CButton m_applyButton;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_NAME, m_nameEdit);
    DDX_Control(pDX, IDC_COUNT_SPIN, m_countSpin);
    DDX_Control(pDX, IDC_ENABLE, m_enableCheck);
    DDX_Control(pDX, IDC_KIND, m_kindBox);
    DDX_Control(pDX, IDC_LIST, m_listBox);
    DDX_Control(pDX, IDC_LEVEL, m_levelSlider);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_SCROLL, m_scroll);
    DDX_Control(pDX, IDC_TABS, m_tabs);
    DDX_Control(pDX, IDC_TREE, m_tree);
    DDX_Control(pDX, IDC_APPLY, m_applyButton);
    DDX_Text(pDX, IDC_NAME, m_name);
    DDV_MaxChars(pDX, m_name, 12);
    DDX_Text(pDX, IDC_COUNT, m_count);
    DDV_MinMaxInt(pDX, m_count, 1, 10);
    DDX_Text(pDX, IDC_RATIO, m_ratio);
    DDV_MinMaxDouble(pDX, m_ratio, 0.05, 2.5);
    DDX_Check(pDX, IDC_ENABLE, m_enabled);
    DDX_Radio(pDX, IDC_RADIO_A, m_option);
    DDX_CBIndex(pDX, IDC_KIND, m_kind);
    DDX_CBString(pDX, IDC_KIND, m_kindText);
    DDX_LBIndex(pDX, IDC_LIST, m_list);
    DDX_Slider(pDX, IDC_LEVEL, m_level);
  }
  BOOL OnInitDialog() override;
  afx_msg void OnApply() { DialogEvents().push_back("apply"); }
  void OnOK() override {
    DialogEvents().push_back("ok");
    CDialog::OnOK();
  }
  void OnCancel() override {
    DialogEvents().push_back("cancel");
    if (m_selfDelete) {
      DestroyWindow();
      return;
    }
    CDialog::OnCancel();
  }
  void PostNcDestroy() override {
    DialogEvents().push_back("gone");
    if (m_selfDelete) delete this;
  }
  DECLARE_MESSAGE_MAP()
};

}  // namespace plat::test
