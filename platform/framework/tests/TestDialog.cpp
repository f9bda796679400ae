#include "platform/framework/tests/TestDialog.h"

#include "platform/base/ResourceTable.h"
#include "platform/framework/tests/FrameworkTest.h"

namespace plat::test {

namespace {
constexpr DWORD kTab = WS_TABSTOP | WS_VISIBLE;

const DialogItemTemplate kItems[] = {
    {"TestStatic", "&Name:", IDC_NAME_LABEL, WS_VISIBLE, 0, 7, 9, 40, 8},
    {"TestEdit", "", IDC_NAME, kTab | WS_GROUP, 0, 50, 7, 100, 12},
    {"TestEdit", "", IDC_COUNT, kTab, 0, 50, 22, 40, 12},
    {"TestEdit", "", IDC_RATIO, kTab, 0, 100, 22, 50, 12},
    {"TestButton", "&Enabled", IDC_ENABLE, kTab | BS_AUTOCHECKBOX, 0, 7, 38, 60, 10},
    {"TestButton", "Option &A", IDC_RADIO_A, kTab | WS_GROUP | BS_AUTORADIOBUTTON, 0, 7, 52, 50, 10},
    {"TestButton", "Option &B", IDC_RADIO_B, WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 60, 52, 50, 10},
    {"TestButton", "Option &C", IDC_RADIO_C, WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 113, 52, 50, 10},
    {"TestCombo", "", IDC_KIND, kTab | WS_GROUP, 0, 7, 66, 80, 40},
    {"TestList", "", IDC_LIST, kTab, 0, 95, 66, 60, 40},
    {"TestSlider", "", IDC_LEVEL, kTab, 0, 7, 110, 80, 12},
    {"TestGrid", "", IDC_GRID, kTab, 0, 95, 110, 60, 30},
    {"TestButton", "Hidden", IDC_HIDDEN, WS_TABSTOP | BS_PUSHBUTTON, 0, 7, 126, 40, 14},
    {"TestButton", "A&pply", IDC_APPLY, kTab | BS_PUSHBUTTON, 0, 7, 145, 50, 14},
    {"TestButton", "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 60, 145, 50, 14},
    {"TestButton", "Cancel", IDCANCEL, kTab | BS_PUSHBUTTON, 0, 113, 145, 50, 14},
};

}  // namespace

const DialogTemplate kTestDialog{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                 0, 0, 0, 170, 166, "Test Dialog", "MS Shell Dlg", 8, kItems};

void RegisterTestDialog() { RegisterDialogTemplate(AfxGetInstanceHandle(), IDD_TEST, kTestDialog); }

std::vector<std::string>& DialogEvents() {
  static std::vector<std::string> events;
  return events;
}

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
  ON_BN_CLICKED(IDC_APPLY, OnApply)
END_MESSAGE_MAP()

}  // namespace plat::test
