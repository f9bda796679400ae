// The test dialog: a template with every control kind the test classes offer and a custom-class grid,
// and a dialog class exchanging data with each of them. Shared by the dialog, screenshot and on-screen tests.
#pragma once

#include <string>
#include <vector>

#include "platform/framework/CDataExchange.h"
#include "platform/framework/CDialog.h"
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

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
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
  BOOL OnInitDialog() override {
    for (const char* k : {"Plane", "Trace", "Via"}) SendDlgItemMessage(IDC_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(k));
    for (const char* k : {"one", "two"}) SendDlgItemMessage(IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(k));
    DialogEvents().push_back("init");
    BOOL result = CDialog::OnInitDialog();
    if (m_endInInit) EndDialog(IDABORT);
    return result;
  }
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
