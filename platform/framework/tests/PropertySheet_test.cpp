// Property pages outside a sheet (the module's wizard frame calls them directly) and a wizard-mode sheet
// stepping Back / Next / Finish, nested in another modal dialog.
#include <string>
#include <vector>

#include "platform/base/ResourceTable.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CPropertyPage.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/window/InputRouter.h"

namespace plat::test {
namespace {

enum : int { IDD_PAGE1 = 601, IDD_PAGE2, IDD_PAGE3, IDD_HOST, IDC_VALUE = 1100, IDC_RUN = 1101 };

const DialogItemTemplate kPageItems[] = {
    {"Static", "&Value:", IDC_STATIC, WS_VISIBLE, 0, 7, 9, 40, 8},
    {"Edit", "", IDC_VALUE, WS_VISIBLE | WS_TABSTOP, 0, 50, 7, 60, 12},
};
constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;
const DialogTemplate kPage1{kPageStyle, 0, 0, 0, 180, 60, "One", "MS Shell Dlg", 8, kPageItems};
const DialogTemplate kPage2{kPageStyle, 0, 0, 0, 180, 70, "Two", "MS Shell Dlg", 8, kPageItems};
const DialogTemplate kPage3{kPageStyle, 0, 0, 0, 160, 60, "Three", "MS Shell Dlg", 8, kPageItems};
const DialogItemTemplate kHostItems[] = {
    {"Button", "&Run wizard", IDC_RUN, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 7, 7, 60, 14},
};
const DialogTemplate kHost{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 40, "Host",
                           "MS Shell Dlg", 8, kHostItems};

std::vector<std::string> g_log;

class CNumberPage : public CPropertyPage {
 public:
  CNumberPage(UINT id, const char* name, DWORD buttons) : CPropertyPage(id), name_(name), buttons_(buttons) {}
  int m_value = 5;
  bool m_skipOnNext = false;

  BOOL OnSetActive() override {
    g_log.push_back(name_ + " set");
    if (auto* sheet = dynamic_cast<CPropertySheet*>(GetParent())) sheet->SetWizardButtons(buttons_);
    return CPropertyPage::OnSetActive();
  }
  BOOL OnKillActive() override {
    g_log.push_back(name_ + " kill");
    return CPropertyPage::OnKillActive();
  }
  LRESULT OnWizardNext() override {
    g_log.push_back(name_ + " next");
    return m_skipOnNext ? LRESULT{IDD_PAGE3} : CPropertyPage::OnWizardNext();
  }
  LRESULT OnWizardBack() override {
    g_log.push_back(name_ + " back");
    return CPropertyPage::OnWizardBack();
  }
  BOOL OnWizardFinish() override {
    g_log.push_back(name_ + " finish");
    return CPropertyPage::OnWizardFinish();
  }
  afx_msg void OnHelp() { g_log.push_back(name_ + " help"); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_VALUE, m_value);
    DDV_MinMaxInt(pDX, m_value, 1, 9);
  }
  DECLARE_MESSAGE_MAP()

 private:
  std::string name_;
  DWORD buttons_;
};

BEGIN_MESSAGE_MAP(CNumberPage, CPropertyPage)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

class CHost : public CDialog {
 public:
  CHost(CNumberPage* a, CNumberPage* b, CNumberPage* c, INT_PTR* result)
      : CDialog(IDD_HOST), a_(a), b_(b), c_(c), result_(result) {}
  afx_msg void OnRun() {
    CPropertySheet sheet("Wizard", this);
    sheet.m_psh.dwFlags |= PSH_HASHELP;
    sheet.AddPage(a_);
    sheet.AddPage(b_);
    sheet.AddPage(c_);
    sheet.SetWizardMode();
    *result_ = sheet.DoModal();
    g_log.push_back("sheet done");
    EndDialog(IDOK);
  }
  DECLARE_MESSAGE_MAP()

 private:
  CNumberPage *a_, *b_, *c_;
  INT_PTR* result_;
};

BEGIN_MESSAGE_MAP(CHost, CDialog)
  ON_BN_CLICKED(IDC_RUN, OnRun)
END_MESSAGE_MAP()

class PropertySheetTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    HINSTANCE module = AfxGetInstanceHandle();
    RegisterDialogTemplate(module, IDD_PAGE1, kPage1);
    RegisterDialogTemplate(module, IDD_PAGE2, kPage2);
    RegisterDialogTemplate(module, IDD_PAGE3, kPage3);
    RegisterDialogTemplate(module, IDD_HOST, kHost);
    g_log.clear();
  }
  void TearDown() override {
    ResourceTable::RemoveModule(AfxGetInstanceHandle());
    FrameworkTest::TearDown();
  }
  static HWND Sheet() { return GetActiveWindow(); }
  static HWND Button(int id) { return GetDlgItem(Sheet(), id); }
  static void Press(int id) {
    RECT r;
    GetClientRect(Button(id), &r);
    InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(Button(id), r.right / 2, r.bottom / 2));
  }
};

TEST_F(PropertySheetTest, PageOutsideASheetFollowsTheClassLibraryDefaults) {
  automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0});
  HWND frame = CreateWindowEx(0, "Static", "frame", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                              nullptr, nullptr);
  CNumberPage page(IDD_PAGE1, "p", 0);
  ASSERT_TRUE(page.Create(IDD_PAGE1, CWnd::FromHandle(frame)));
  HWND edit = GetDlgItem(page, IDC_VALUE);
  EXPECT_EQ(Text(edit), "5");  // OnInitDialog filled it
  SetWindowText(edit, "7");
  EXPECT_TRUE(page.OnSetActive());  // the first activation leaves the controls alone
  EXPECT_EQ(Text(edit), "7");
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(page.m_value, 7);
  page.m_value = 2;
  EXPECT_TRUE(page.OnSetActive());  // later ones show the members again
  EXPECT_EQ(Text(edit), "2");
  SetWindowText(edit, "12");
  EXPECT_FALSE(page.OnKillActive());  // refused: the frame keeps the page
  ASSERT_EQ(ShownLog().size(), 1u);
  EXPECT_EQ(ShownLog()[0].request.text, "Please enter an integer between 1 and 9.");
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(page.OnWizardNext(), 0);
  EXPECT_EQ(page.OnWizardBack(), 0);
  EXPECT_TRUE(page.OnWizardFinish());
}

TEST_F(PropertySheetTest, WizardStepsBackNextFinishInsideAnotherModalDialog) {
  automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0});
  CNumberPage one(IDD_PAGE1, "one", PSWIZB_NEXT);
  CNumberPage two(IDD_PAGE2, "two", PSWIZB_BACK | PSWIZB_NEXT);
  CNumberPage three(IDD_PAGE3, "three", PSWIZB_BACK | PSWIZB_FINISH);
  two.m_psp.dwFlags |= PSP_HASHELP;

  struct Seen {
    bool backEnabled = true, finishVisible = false, nextVisible = false, helpEnabled = false;
    std::string prompt;
  } onOne, onThree, onTwo;
  INT_PTR sheetResult = 0;


  automation
      .Then([&] { InputRouter::Instance().KeyPress(VK_RETURN); })  // the host's default button runs the wizard
      .Then([&] {
        onOne.backEnabled = IsWindowEnabled(Button(ID_WIZBACK)) != FALSE;
        onOne.nextVisible = IsWindowVisible(Button(ID_WIZNEXT)) != FALSE;
        onOne.helpEnabled = IsWindowEnabled(Button(IDHELP)) != FALSE;
        InputRouter::Instance().TypeText("3");
        InputRouter::Instance().KeyPress(VK_RETURN);  // Enter = Next
      })
      .Then([&] {
        onTwo.helpEnabled = IsWindowEnabled(Button(IDHELP)) != FALSE;
        InputRouter::Instance().TypeText("42");  // out of range
        Press(IDHELP);
        Press(ID_WIZNEXT);
      })
      .Then([&] {
        onTwo.prompt = ShownLog().empty() ? "" : ShownLog().back().request.text;
        SetWindowText(GetFocus(), "8");  // the refused edit has the focus
        Press(ID_WIZNEXT);
      })
      .Then([&] {
        onThree.finishVisible = IsWindowVisible(Button(ID_WIZFINISH)) != FALSE;
        onThree.nextVisible = IsWindowVisible(Button(ID_WIZNEXT)) != FALSE;
        Press(ID_WIZBACK);
      })
      .Then([&] { Press(ID_WIZNEXT); })
      .Then([&] {
        InputRouter::Instance().TypeText("6");
        Press(ID_WIZFINISH);
      });

  CHost host(&one, &two, &three, &sheetResult);
  EXPECT_EQ(host.DoModal(), IDOK);
  EXPECT_EQ(sheetResult, ID_WIZFINISH);
  EXPECT_EQ(automation.PendingSteps(), 0u);
  EXPECT_FALSE(onOne.backEnabled);
  EXPECT_TRUE(onOne.nextVisible);
  EXPECT_FALSE(onOne.helpEnabled);
  EXPECT_TRUE(onTwo.helpEnabled);
  EXPECT_EQ(onTwo.prompt, "Please enter an integer between 1 and 9.");
  EXPECT_TRUE(onThree.finishVisible);
  EXPECT_FALSE(onThree.nextVisible);
  EXPECT_EQ(one.m_value, 3);
  EXPECT_EQ(two.m_value, 8);
  EXPECT_EQ(three.m_value, 6);
  EXPECT_EQ(g_log, (std::vector<std::string>{
                       "one set", "one next", "one kill", "two set", "two help", "two next", "two kill",  //
                       "two next", "two kill", "three set", "three back", "two set",                       //
                       "two next", "two kill", "three set", "three kill", "three finish", "sheet done"}));
}

TEST_F(PropertySheetTest, EscapeCancelsAndAPageMayJumpAhead) {
  CNumberPage one(IDD_PAGE1, "one", PSWIZB_NEXT);
  CNumberPage two(IDD_PAGE2, "two", PSWIZB_BACK | PSWIZB_NEXT);
  CNumberPage three(IDD_PAGE3, "three", PSWIZB_BACK | PSWIZB_FINISH);
  one.m_skipOnNext = true;
  CPropertySheet sheet("Wizard");
  sheet.AddPage(&one);
  sheet.AddPage(&two);
  sheet.AddPage(&three);
  sheet.SetWizardMode();
  int focusId = 0;
  automation.Then([&] { InputRouter::Instance().KeyPress(VK_RETURN); })
      .Then([&] {
        focusId = GetDlgCtrlID(GetFocus());
        InputRouter::Instance().KeyPress(VK_ESCAPE);
      });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(g_log, (std::vector<std::string>{"one set", "one next", "one kill", "three set"}));
  EXPECT_EQ(focusId, IDC_VALUE);
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(three.m_hWnd, nullptr);  // pages go with the sheet; the objects stay
}

}  // namespace
}  // namespace plat::test
