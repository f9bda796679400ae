#include "platform/framework/tests/TestDialog.h"

#include "platform/base/ResourceTable.h"
#include "platform/framework/tests/FrameworkTest.h"

namespace plat::test {

namespace {
constexpr DWORD kTab = WS_TABSTOP | WS_VISIBLE;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, "&Name:", IDC_NAME_LABEL, WS_VISIBLE, 0, 7, 9, 40, 8},
    {WC_EDIT, "", IDC_NAME, kTab | WS_GROUP | WS_BORDER | ES_AUTOHSCROLL, 0, 50, 7, 110, 12},
    {WC_EDIT, "", IDC_COUNT, kTab | WS_BORDER | ES_AUTOHSCROLL, 0, 50, 22, 44, 12},
    {UPDOWN_CLASS, "", IDC_COUNT_SPIN, WS_VISIBLE | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT, 0, 84, 22, 10, 12},
    {WC_EDIT, "", IDC_RATIO, kTab | WS_BORDER | ES_AUTOHSCROLL, 0, 100, 22, 60, 12},
    {WC_BUTTON, "&Enabled", IDC_ENABLE, kTab | BS_AUTOCHECKBOX, 0, 7, 38, 60, 10},
    // The frame comes before its radios and so lies above them; it lets their clicks through.
    {WC_BUTTON, "Option", IDC_OPTION_BOX, WS_VISIBLE | WS_GROUP | BS_GROUPBOX, 0, 4, 49, 158, 22},
    {WC_BUTTON, "Option &A", IDC_RADIO_A, kTab | WS_GROUP | BS_AUTORADIOBUTTON, 0, 10, 58, 46, 10},
    {WC_BUTTON, "Option &B", IDC_RADIO_B, WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 60, 58, 46, 10},
    {WC_BUTTON, "Option &C", IDC_RADIO_C, WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 110, 58, 46, 10},
    {WC_COMBOBOX, "", IDC_KIND, kTab | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 7, 76, 80, 60},
    {WC_LISTBOX, "", IDC_LIST, kTab | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 95, 76, 65, 34},
    {TRACKBAR_CLASS, "", IDC_LEVEL, kTab | TBS_AUTOTICKS, 0, 7, 92, 80, 14},
    {WC_TABCONTROL, "", IDC_TABS, kTab, 0, 170, 7, 74, 62},
    {WC_TREEVIEW, "", IDC_TREE, kTab | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 0,
     170, 76, 74, 62},
    {"TestGrid", "", IDC_GRID, kTab, 0, 95, 112, 65, 26},
    {PROGRESS_CLASS, "", IDC_PROGRESS, WS_VISIBLE | WS_BORDER, 0, 7, 110, 80, 8},
    {WC_SCROLLBAR, "", IDC_SCROLL, WS_VISIBLE | SBS_HORZ, 0, 7, 121, 80, 9},
    {WC_BUTTON, "Hidden", IDC_HIDDEN, WS_TABSTOP | BS_PUSHBUTTON, 0, 7, 132, 40, 14},
    {WC_BUTTON, "A&pply", IDC_APPLY, kTab | BS_PUSHBUTTON, 0, 84, 145, 50, 14},
    {WC_BUTTON, "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 137, 145, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kTab | BS_PUSHBUTTON, 0, 190, 145, 54, 14},
};

}  // namespace

const DialogTemplate kTestDialog{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                 0, 0, 0, 251, 166, "Test Dialog", "MS Shell Dlg", 8, kItems};

void RegisterTestDialog() { RegisterDialogTemplate(AfxGetInstanceHandle(), IDD_TEST, kTestDialog); }

std::vector<std::string>& DialogEvents() {
  static std::vector<std::string> events;
  return events;
}

BOOL CTestDlg::OnInitDialog() {
  // The first exchange binds the control objects; the lists are filled through them and loaded again.
  BOOL result = CDialog::OnInitDialog();
  for (const char* k : {"Plane", "Trace", "Via"}) m_kindBox.AddString(k);
  for (const char* k : {"one", "two"}) m_listBox.AddString(k);
  m_countSpin.SetRange(1, 10);
  m_levelSlider.SetRange(0, 10);
  m_progress.SetRange(0, 10);
  m_progress.SetPos(6);
  m_scroll.SetScrollRange(0, 20, FALSE);
  m_scroll.SetScrollPos(5);
  m_tabs.InsertItem(0, "Board");
  m_tabs.InsertItem(1, "Nets");
  HTREEITEM board = m_tree.InsertItem("Board");
  m_tree.InsertItem("GND", board);
  m_tree.InsertItem("VCC", board);
  m_tree.Expand(board, TVE_EXPAND);
  UpdateData(FALSE);
  DialogEvents().push_back("init");
  if (m_endInInit) EndDialog(IDABORT);
  return result;
}

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
  ON_BN_CLICKED(IDC_APPLY, OnApply)
END_MESSAGE_MAP()

}  // namespace plat::test
