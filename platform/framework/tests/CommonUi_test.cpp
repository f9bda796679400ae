// Message boxes (scripted and the platform's own box window), common dialogs, the application profile in
// both of its homes, and the help and launcher stand-ins.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/PrivateProfile.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/framework/ChooserBox.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/MessageBox.h"
#include "platform/base/RegistryStore.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/HelpService.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/gdi/Printers.h"
#include "platform/window/InputRouter.h"
#include "platform/window/MessageQueue.h"

namespace plat::test {
namespace {

class CommonUiTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    dir_ = temp_.Path();
  }
  void TearDown() override {
    RegistryStore::Reset();
    FrameworkTest::TearDown();
  }
  std::string Touch(const char* name) {
    std::string path = (dir_ / name).string();
    std::ofstream(path) << "x";
    return path;
  }
  TempDir temp_{"brim-fw"};   // a folder of this test's own
  std::filesystem::path dir_;
};

TEST_F(CommonUiTest, MessageBoxAsksTheProviderAndRecordsWhatItShowed) {
  automation.Reply(SystemUiKind::MessageBox, {IDNO, {}, 0}, "Save");
  HWND top = CreateWindowEx(0, "Static", "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                            nullptr, nullptr);
  HWND edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, top, nullptr, nullptr, nullptr);
  SetFocus(edit);
  SetCapture(top);
  EXPECT_EQ(MessageBox(edit, "Save changes?", nullptr, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
  ASSERT_EQ(ShownLog().size(), 1u);
  const SystemRequest& r = ShownLog()[0].request;
  EXPECT_EQ(r.kind, SystemUiKind::MessageBox);
  EXPECT_EQ(r.owner, edit);
  EXPECT_EQ(r.caption, "Error");  // a NULL caption
  EXPECT_EQ(r.text, "Save changes?");
  EXPECT_EQ(r.flags, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
  EXPECT_EQ(r.buttons, (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
  // The box took the capture and the focus away and gave the focus back.
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), edit);

  // AfxMessageBox: the application's name as caption.
  CWinApp app("Board Tool");
  automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0});
  EXPECT_EQ(AfxMessageBox("Done."), IDOK);
  EXPECT_EQ(ShownLog().back().request.caption, "Board Tool");

  // Nobody to answer: a loud failure, never a hang.
  EXPECT_THROW(MessageBox(nullptr, "lost", "Caption", MB_OK), AutomationMissing);
  SetAutomationProvider(nullptr);
  EXPECT_THROW(AfxMessageBox("lost"), AutomationMissing);
}

TEST_F(CommonUiTest, BoxTypesHaveTheirButtonsDefaultsAndEscapeAnswers) {
  struct Case {
    UINT type;
    std::vector<int> ids;
    int def;
    int escape;
  };
  const Case cases[] = {
      {MB_OK, {IDOK}, IDOK, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, 0},
      {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON3, {IDYES, IDNO}, IDNO, 0},  // a missing third button: the last one
      {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL},
  };
  for (const Case& c : cases) {
    std::vector<int> ids;
    for (const auto& b : MessageBoxButtons(c.type)) ids.push_back(b.id);
    EXPECT_EQ(ids, c.ids) << c.type;
    EXPECT_EQ(MessageBoxDefault(c.type), c.def) << c.type;
    EXPECT_EQ(MessageBoxEscape(c.type), c.escape) << c.type;
  }
}

TEST_F(CommonUiTest, TheOwnBoxWindowAnswersKeysAndClicks) {
  HWND box = CreateMessageBoxWindow(nullptr, "Replace the existing model file?", "Models", MB_YESNO | MB_ICONQUESTION);
  ASSERT_NE(box, nullptr);
  ShowWindow(box, SW_SHOW);
  SetFocus(box);
  Pump();
  Key(VK_ESCAPE);  // Yes/No has no way out but its buttons
  EXPECT_EQ(MessageBoxWindowResult(box), 0);
  Key(VK_TAB);
  Key(VK_RETURN);
  EXPECT_EQ(MessageBoxWindowResult(box), IDNO);
  DestroyWindow(box);

  box = CreateMessageBoxWindow(nullptr, "Short", "Caption", MB_OKCANCEL);
  ShowWindow(box, SW_SHOW);
  Pump();
  RECT client;
  GetClientRect(box, &client);
  // The buttons sit centred in the bottom row; the right-hand one is Cancel.
  ClickAt(box, client.right / 2 + 40, client.bottom - 11 - 11);
  EXPECT_EQ(MessageBoxWindowResult(box), IDCANCEL);
  DestroyWindow(box);
}

TEST_F(CommonUiTest, TheOwnChooserWindowTakesTypedTextListPicksAndItsButtons) {
  ChooserSpec spec;
  spec.caption = "Save As";
  spec.prompt = "File name:";
  spec.entry = true;
  spec.text = "bo";
  spec.items = {"boards/", "a.dao", "b.dao"};
  HWND chooser = CreateChooserWindow(nullptr, spec);
  ASSERT_NE(chooser, nullptr);
  ShowWindow(chooser, SW_SHOW);
  SetFocus(chooser);
  Type("ard");
  Key(VK_BACK);
  Key(VK_RETURN);
  ChooserResult result;
  ASSERT_EQ(ChooserWindowAnswer(chooser, &result), IDOK);
  EXPECT_EQ(result.text, "boar");
  EXPECT_EQ(result.index, -1);
  DestroyWindow(chooser);

  chooser = CreateChooserWindow(nullptr, spec);
  ShowWindow(chooser, SW_SHOW);
  SetFocus(chooser);
  Key(VK_DOWN);
  Key(VK_DOWN);  // the entry follows the list
  Key(VK_RETURN);
  ASSERT_EQ(ChooserWindowAnswer(chooser, &result), IDOK);
  EXPECT_EQ(result.text, "a.dao");
  EXPECT_EQ(result.index, 1);
  DestroyWindow(chooser);

  spec.entry = false;
  chooser = CreateChooserWindow(nullptr, spec);
  ShowWindow(chooser, SW_SHOW);
  SetFocus(chooser);
  Key(VK_RETURN);  // nothing chosen: OK waits
  EXPECT_EQ(ChooserWindowAnswer(chooser, nullptr), 0);
  InputRouter::Instance().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(chooser, 40, 29 + 2 + 16 * 2 + 5));
  Pump();
  ASSERT_EQ(ChooserWindowAnswer(chooser, &result), IDOK);
  EXPECT_EQ(result.text, "b.dao");
  DestroyWindow(chooser);

  chooser = CreateChooserWindow(nullptr, spec);
  ShowWindow(chooser, SW_SHOW);
  SetFocus(chooser);
  Key(VK_ESCAPE);
  EXPECT_EQ(ChooserWindowAnswer(chooser, nullptr), IDCANCEL);
  DestroyWindow(chooser);
}

TEST_F(CommonUiTest, FileDialogsApplyDefaultExtensionExistenceAndOverwriteRules) {
  const std::string existing = Touch("board.brd");
  const std::string missing = (dir_ / "nothing.brd").string();
  {
    automation.Reply(SystemUiKind::FileOpen, {IDOK, missing, 0})
        .Reply(SystemUiKind::MessageBox, {IDOK, {}, 0}, "File not found")
        .Reply(SystemUiKind::FileOpen, {IDOK, (dir_ / "board").string(), 2});  // the extension is added
    CFileDialog open(TRUE, "brd", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                     "Board files (*.brd)|*.brd|All files (*.*)|*.*||");
    ASSERT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), existing.c_str());
    EXPECT_EQ(open.GetFileName(), "board.brd");
    EXPECT_EQ(open.GetFileExt(), "brd");
    EXPECT_EQ(open.GetFileTitle(), "board");
    EXPECT_EQ(open.m_ofn.nFilterIndex, 2u);
    ASSERT_EQ(ShownLog().size(), 3u);
    EXPECT_EQ(ShownLog()[0].request.caption, "Open");
    EXPECT_EQ(ShownLog()[0].request.buttons,
              (std::vector<std::string>{"Board files (*.brd)\t*.brd", "All files (*.*)\t*.*"}));
    EXPECT_EQ(ShownLog()[1].request.text, missing + "\nFile not found.\nCheck the file name and try again.");
  }
  ClearShownLog();
  {
    automation.Reply(SystemUiKind::FileSave, {IDOK, existing, 0})
        .Reply(SystemUiKind::MessageBox, {IDNO, {}, 0}, "already exists")
        .Reply(SystemUiKind::FileSave, {IDOK, (dir_ / "copy.dao").string(), 0});
    CFileDialog save(FALSE, "dao", "settings.dao", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetFileName(), "copy.dao");
    EXPECT_EQ(ShownLog()[0].request.text, "settings.dao");
    EXPECT_EQ(ShownLog()[1].request.flags, MB_YESNO | MB_ICONEXCLAMATION);
  }
  {
    automation.Reply(SystemUiKind::FileSave, {IDCANCEL, {}, 0});
    CFileDialog save(FALSE);
    EXPECT_EQ(save.DoModal(), IDCANCEL);
  }
  {
    // Answers with folders in them name files in the folder shown, and come back in full.
    std::filesystem::create_directory(dir_ / "sub");
    automation.Reply(SystemUiKind::FileSave, {IDOK, "sub/moved.dao", 0});
    CFileDialog save(FALSE, "dao", existing.c_str(), OFN_PATHMUSTEXIST);
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), (dir_ / "sub" / "moved.dao").string().c_str());
    automation.Reply(SystemUiKind::FileSave, {IDOK, "./sub/../moved", 0});
    CFileDialog again(FALSE, "dao", existing.c_str());
    ASSERT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(again.GetPathName(), (dir_ / "moved.dao").string().c_str());
    // Without a folder to show, the working directory's.
    automation.Reply(SystemUiKind::FileSave, {IDOK, "sub/x.dao", 0});
    CFileDialog bare(FALSE);
    ASSERT_EQ(bare.DoModal(), IDOK);
    EXPECT_EQ(bare.GetPathName(), (std::filesystem::current_path() / "sub" / "x.dao").string().c_str());
  }
  {
    // A name answered as the folder's list shows it is a name in the folder shown, also when it begins with a
    // letter and a colon ("x:" is a drive only in a path that goes on with a folder); a colon elsewhere is the name's.
    // The folder of a file in a drive's root is that root.
    const struct {
      const char* answer;
      std::string path;
      const char* name;
      const char* title;
    } names[] = {{"x:proj.brd", (dir_ / "x:proj.brd").string(), "x:proj.brd", "x:proj"},
                 {"run-12:30", (dir_ / "run-12:30.brd").string(), "run-12:30.brd", "run-12:30"},
                 {"c:/brim-none:1.brd", "c:/brim-none:1.brd", "brim-none:1.brd", "brim-none:1"}};
    for (const auto& n : names) {
      automation.Reply(SystemUiKind::FileSave, {IDOK, n.answer, 0});
      CFileDialog save(FALSE, "brd", existing.c_str(), OFN_PATHMUSTEXIST);
      ASSERT_EQ(save.DoModal(), IDOK) << n.answer;
      EXPECT_STREQ(save.GetPathName(), n.path.c_str());
      EXPECT_STREQ(save.GetFileName(), n.name);
      EXPECT_STREQ(save.GetFileTitle(), n.title);
      EXPECT_STREQ(save.GetFileExt(), "brd");
    }
  }
  {
    // A path longer than the caller's buffer holds is refused with a box and the dialog asks again.
    const std::string longName = (dir_ / std::string(260, 'n')).string() + ".dao";
    automation.Reply(SystemUiKind::FileSave, {IDOK, longName, 0})
        .Reply(SystemUiKind::MessageBox, {IDOK, {}, 0}, "too long")
        .Reply(SystemUiKind::FileSave, {IDOK, "short.dao", 0});
    ClearShownLog();
    CFileDialog save(FALSE, "dao", existing.c_str());
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), (dir_ / "short.dao").string().c_str());
    ASSERT_EQ(ShownLog().size(), 3u);
    EXPECT_EQ(ShownLog()[1].request.text,
              longName + "\nThe path is too long: it may hold 259 characters at most.\nChoose a shorter name or folder.");
  }
  {
    // A folder that does not exist is refused before anything else.
    automation.Reply(SystemUiKind::FileSave, {IDOK, (dir_ / "no" / "such.dao").string(), 0})
        .Reply(SystemUiKind::MessageBox, {IDOK, {}, 0}, "Path does not exist")
        .Reply(SystemUiKind::FileSave, {IDCANCEL, {}, 0});
    CFileDialog save(FALSE, "dao", nullptr, OFN_PATHMUSTEXIST);
    EXPECT_EQ(save.DoModal(), IDCANCEL);
  }
}

UINT g_findMessage = 0;

class CFindOwner : public CWnd {
 public:
  std::vector<std::string> seen;
  afx_msg LRESULT OnFindReplace(WPARAM, LPARAM lParam) {
    CFindReplaceDialog* dlg = CFindReplaceDialog::GetNotifier(lParam);
    std::string what = dlg->IsTerminating() ? "term"
                       : dlg->ReplaceAll()  ? "all"
                       : dlg->ReplaceCurrent() ? "replace"
                                               : "next";
    seen.push_back(what + " " + dlg->GetFindString().Str() + ">" + dlg->GetReplaceString().Str() +
                   (dlg->MatchCase() ? " case" : "") + (dlg->MatchWholeWord() ? " word" : "") +
                   (dlg->SearchDown() ? " down" : " up"));
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFindOwner, CWnd)
  ON_REGISTERED_MESSAGE(g_findMessage, OnFindReplace)
END_MESSAGE_MAP()

TEST_F(CommonUiTest, FindAndReplaceReportEachActionThroughTheRegisteredMessage) {
  g_findMessage = CFindReplaceDialog::GetFindReplaceMsg();
  EXPECT_EQ(g_findMessage, RegisterWindowMessage("commdlg_FindReplace"));
  CFindOwner owner;
  ASSERT_TRUE(owner.CreateEx(0, "Static", "grid", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  automation.Reply(SystemUiKind::Find, {IDOK, "net\t", FR_FINDNEXT | FR_MATCHCASE})
      .Reply(SystemUiKind::Find, {IDOK, "via\t", FR_FINDNEXT | FR_DOWN})
      .Reply(SystemUiKind::Find, {IDCANCEL, {}, 0});
  auto* find = new CFindReplaceDialog;
  ASSERT_TRUE(find->Create(TRUE, "pin", nullptr, FR_DOWN | FR_HIDEWHOLEWORD, &owner));
  HWND findWindow = find->m_hWnd;
  Pump();
  EXPECT_FALSE(IsWindow(findWindow));  // closed and deleted itself
  EXPECT_EQ(owner.seen, (std::vector<std::string>{"next net> case up", "next via> down", "term via> down"}));
  EXPECT_EQ(ShownLog().front().request.text, "pin\t");
  EXPECT_EQ(ShownLog().front().request.flags, FR_DOWN | FR_HIDEWHOLEWORD);

  owner.seen.clear();
  automation.Reply(SystemUiKind::Replace, {IDOK, "a\tb", FR_REPLACEALL | FR_DOWN});
  auto* replace = new CFindReplaceDialog;
  ASSERT_TRUE(replace->Create(FALSE, "a", "c", FR_DOWN, &owner));
  HWND replaceWindow = replace->m_hWnd;
  Pump();  // no more answers: the dialog waits, open
  EXPECT_TRUE(IsWindow(replaceWindow));
  PostMessage(replaceWindow, WM_CLOSE, 0, 0);  // the grid closes a dialog of the other kind
  Pump();
  EXPECT_FALSE(IsWindow(replaceWindow));
  EXPECT_EQ(owner.seen, (std::vector<std::string>{"all a>b down", "term a>b down"}));
}

// With nobody scripting it (on screen), the dialogs are worked through their controls: they show the texts
// and options they were made with, take typed texts, the option boxes and the direction, and report each
// button; the buttons that act wait for a text to find.
TEST_F(CommonUiTest, FindAndReplaceDialogsAreWorkedThroughTheirControls) {
  g_findMessage = CFindReplaceDialog::GetFindReplaceMsg();
  CFindOwner owner;
  ASSERT_TRUE(owner.CreateEx(0, "Static", "grid", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  auto* replace = new CFindReplaceDialog;
  ASSERT_TRUE(replace->Create(FALSE, "VDD", "PWR", FR_DOWN | FR_MATCHCASE | FR_HIDEWHOLEWORD, &owner));
  Pump();
  HWND dlg = replace->m_hWnd;
  ASSERT_TRUE(IsWindow(dlg));
  const HWND findWhat = GetDlgItem(dlg, 0x480), replaceWith = GetDlgItem(dlg, 0x481);
  EXPECT_EQ(Text(findWhat), "VDD");
  EXPECT_EQ(Text(replaceWith), "PWR");
  EXPECT_EQ(GetFocus(), findWhat);  // the user types the text to find first
  EXPECT_EQ(SendMessage(GetDlgItem(dlg, 0x411), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, 0x410)));  // whole word hidden as asked
  SetFocus(replaceWith);
  SendMessage(replaceWith, EM_SETSEL, 0, -1);
  Type("VCC");
  ClickAt(GetDlgItem(dlg, 0x411), 5, 5);  // match case off
  ClickAt(GetDlgItem(dlg, 0x400), 5, 5);  // Replace
  ClickAt(GetDlgItem(dlg, 0x401), 5, 5);  // Replace All
  ClickAt(GetDlgItem(dlg, IDOK), 5, 5);   // Find Next
  // Without a text to find, nothing acts: the buttons are disabled and Enter does nothing.
  SetWindowText(findWhat, "");
  for (int id : {IDOK, 0x400, 0x401}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, id))) << id;
  SetFocus(findWhat);
  Key(VK_RETURN);
  ClickAt(GetDlgItem(dlg, IDCANCEL), 5, 5);
  Pump();
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ(owner.seen, (std::vector<std::string>{"replace VDD>VCC down", "all VDD>VCC down", "next VDD>VCC down",
                                                  "term VDD>VCC down"}));

  // The find dialog: Up chosen, whole word ticked, Enter is Find Next; the field takes no more than the
  // dialog can report; options can be disabled or hidden.
  owner.seen.clear();
  auto* find = new CFindReplaceDialog;
  ASSERT_TRUE(find->Create(TRUE, "pin", nullptr, FR_DOWN | FR_NOMATCHCASE, &owner));
  Pump();
  dlg = find->m_hWnd;
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, 0x411)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, 0x421)));
  EXPECT_EQ(SendMessage(GetDlgItem(dlg, 0x421), BM_GETCHECK, 0, 0), BST_CHECKED);
  ClickAt(GetDlgItem(dlg, 0x420), 5, 5);
  ClickAt(GetDlgItem(dlg, 0x410), 5, 5);
  SetFocus(GetDlgItem(dlg, 0x480));
  Key(VK_RETURN);
  Type(std::string(200, 'x').c_str());
  EXPECT_EQ(Text(GetDlgItem(dlg, 0x480)).size(), 127u);
  SendMessage(dlg, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(owner.seen, (std::vector<std::string>{"next pin> word up", "term pin> word up"}));
  auto* bare = new CFindReplaceDialog;
  ASSERT_TRUE(bare->Create(TRUE, "", nullptr, FR_HIDEUPDOWN, &owner));
  Pump();
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(bare->m_hWnd, 0x420)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(bare->m_hWnd, 0x430)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(bare->m_hWnd, IDOK)));
  SendMessage(bare->m_hWnd, WM_CLOSE, 0, 0);
  Pump();
}

TEST_F(CommonUiTest, ColourAndPrintDialogsCarryTheirAnswers) {
  automation.Reply(SystemUiKind::Color, {IDOK, {}, 0x00123456});
  CColorDialog colour(RGB(255, 0, 0), CC_FULLOPEN);
  ASSERT_EQ(colour.DoModal(), IDOK);
  EXPECT_EQ(colour.GetColor(), 0x00123456u);
  EXPECT_EQ(ShownLog().back().request.text, "0000FF");
  EXPECT_EQ(ShownLog().back().request.flags, CC_FULLOPEN | CC_RGBINIT);

  CPrintDialog defaults(TRUE);
  ASSERT_TRUE(defaults.GetDefaults());
  EXPECT_EQ(defaults.GetDeviceName(), DefaultPrinterName().c_str());

  automation.Reply(SystemUiKind::PrintSetup, {IDOK, "PNG", 0});
  CPrintDialog setup(TRUE);
  ASSERT_EQ(setup.DoModal(), IDOK);
  EXPECT_EQ(setup.GetDeviceName(), "PNG");
  EXPECT_EQ(ShownLog().back().request.caption, "Print Setup");
  ASSERT_NE(setup.GetDevMode(), nullptr);
}

// Stands for a user at each box that comes up on screen (nobody scripts the boxes: the platform's own windows
// show): whenever a loop waits for input, `act` makes the next input, told how many waits came before.
class UserAtEachBox : public EventSource {
 public:
  UserAtEachBox(AutomationProvider* scripted, std::function<void(int)> act)
      : scripted_(scripted), act_(std::move(act)) {
    MessageQueue::Instance().eventSource = this;
    SetAutomationProvider(nullptr);
  }
  ~UserAtEachBox() override {
    MessageQueue::Instance().eventSource = nullptr;
    SetAutomationProvider(scripted_);
  }
  bool WaitForEvents(std::optional<std::uint64_t>) override {
    if (waits_ > 40) return false;  // a box that the input does not close: the loop ends on a quit
    act_(waits_++);
    return true;
  }

 private:
  AutomationProvider* scripted_;
  std::function<void(int)> act_;
  int waits_ = 0;
};

const DialogItemTemplate kBoxItems[] = {
    {WC_EDIT, "", 10, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 4, 4, 80, 12},
    {WC_EDIT, "", 11, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 4, 20, 80, 12},
    {WC_BUTTON, "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 36, 40, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 0, 48, 36, 40, 14}};
const DialogTemplate kBoxTemplate{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                  0, 10, 10, 100, 60, "Box", "MS Shell Dlg", 8, kBoxItems};

INT_PTR CancelOnlyProc(HWND d, UINT m, WPARAM w, LPARAM) {
  if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(d, IDCANCEL);
  return FALSE;
}

// When a modal box or dialog ends, or a modeless one closes, the keyboard goes back to the window that had it
// when the box opened, inside a plain window and inside a dialog: before, a plain owner took it itself and the
// keys typed next went nowhere.
TEST_F(CommonUiTest, EveryBoxGivesTheKeyboardBackToTheWindowThatHadIt) {
  g_findMessage = CFindReplaceDialog::GetFindReplaceMsg();
  CFindOwner plain;
  ASSERT_TRUE(plain.CreateEx(0, "Static", "sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  HWND cell = CreateWindowEx(0, WC_EDIT, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 40, 100, 20, plain.m_hWnd,
                             nullptr, nullptr, nullptr);
  HWND page = CreateDialogIndirectParam(nullptr, &kBoxTemplate, nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR {
    return FALSE;
  }, 0);
  ASSERT_NE(page, nullptr);
  const HWND second = GetDlgItem(page, 11);  // not the dialog's first control
  UserAtEachBox user(&automation, [](int) { InputRouter::Instance().KeyPress(VK_ESCAPE); });
  for (HWND had : {cell, second}) {
    HWND owner = GetTopLevelParent(had);
    auto expectBack = [&](const char* box) {
      Pump();
      EXPECT_EQ(GetFocus(), had) << box << (had == cell ? " over a plain window" : " over a dialog");
      SetFocus(had);
    };
    SetFocus(had);
    EXPECT_EQ(MessageBox(owner, "Replace the model?", "Models", MB_OKCANCEL), IDCANCEL);
    expectBack("message box");
    CFileDialog open(TRUE, "brd", nullptr, 0, nullptr, CWnd::FromHandle(owner));
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    expectBack("file dialog");
    CPrintDialog print(FALSE, PD_ALLPAGES, CWnd::FromHandle(owner));
    EXPECT_EQ(print.DoModal(), IDCANCEL);
    expectBack("print dialog");
    CDialog modal;
    modal.InitModalIndirect(&kBoxTemplate, CWnd::FromHandle(owner));
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
    expectBack("modal dialog");
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &kBoxTemplate, owner, CancelOnlyProc, 0), IDCANCEL);
    expectBack("dialog box");
    auto* find = new CFindReplaceDialog;  // modeless: closes with Escape, deletes itself
    ASSERT_TRUE(find->Create(TRUE, "VDD", nullptr, FR_DOWN, CWnd::FromHandle(owner)));
    Pump();
    ASSERT_EQ(GetActiveWindow(), find->m_hWnd);
    Key(VK_ESCAPE);
    expectBack("find dialog");
  }
  DestroyWindow(page);
}

// A user who brought another window of the owner (a print preview) above a box finds the box again with a press
// on the window it disables, whichever kind of box it is: it comes to the top with the keys, which close it. Before,
// the press only beeped and the box stayed under the other window.
TEST_F(CommonUiTest, EveryBoxComesBackAtAPressOnTheWindowItDisables) {
  HWND owner = CreateWindowEx(0, "TestGrid", "sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 450, nullptr,
                              nullptr, nullptr, nullptr);
  HWND cell = CreateWindowEx(0, "TestGrid", "", WS_CHILD | WS_VISIBLE, 20, 360, 100, 40, owner, nullptr, nullptr,
                             nullptr);
  HWND preview = CreateWindowEx(0, "TestGrid", "preview", WS_POPUP | WS_VISIBLE, 620, 20, 150, 100, owner, nullptr,
                                nullptr, nullptr);
  const char* kind = "";
  HWND box = nullptr;
  UserAtEachBox user(&automation, [&](int wait) {
    InputRouter& in = InputRouter::Instance();
    switch (wait % 3) {
      case 0:
        box = GetActiveWindow();
        in.Click(MouseButton::Left, InputRouter::ClientPoint(preview, 10, 10));
        break;
      case 1: in.Click(MouseButton::Left, InputRouter::ClientPoint(cell, 5, 5)); break;
      default:
        EXPECT_EQ(GetActiveWindow(), box) << kind;
        EXPECT_EQ(GetTopWindow(nullptr), box) << kind;
        EXPECT_TRUE(GetFocus() == box || IsChild(box, GetFocus())) << kind;
        SetActiveWindow(box);  // closes it in any case
        in.KeyPress(VK_ESCAPE);
    }
  });
  kind = "message box";
  EXPECT_EQ(MessageBox(owner, "Replace the model?", "Models", MB_OKCANCEL), IDCANCEL);
  kind = "file dialog";
  CFileDialog open(TRUE, "brd", nullptr, 0, nullptr, CWnd::FromHandle(owner));
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  kind = "modal dialog";
  CDialog modal;
  modal.InitModalIndirect(&kBoxTemplate, CWnd::FromHandle(owner));
  EXPECT_EQ(modal.DoModal(), IDCANCEL);
  kind = "dialog box";
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, &kBoxTemplate, owner, CancelOnlyProc, 0), IDCANCEL);
}

// A window whose handler raises a box when WM_USER comes: a second box asked for while the first is up, as a
// second refused Replace All does.
class BoxRaiser : public CWnd {
 public:
  std::function<void()> raise;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER && raise) raise();
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// The platform's own boxes as a user meets them on screen: shown over `owner` under a loop, answered at a click
// on a button (both kinds lay their buttons out the same: OK left of Cancel, in the bottom row).
struct OwnBoxKind {
  const char* name;
  std::function<int(HWND owner)> show;  // the answer, IDOK or IDCANCEL (0 for none)
  int cancelX;                          // where Cancel lies, from the box's client right
};

const OwnBoxKind kOwnBoxes[] = {
    {"message box", [](HWND owner) { return MessageBox(owner, "Replace all?", "Replace", MB_OKCANCEL); }, 0},
    {"chooser",
     [](HWND owner) {
       ChooserSpec spec;
       spec.caption = "Open";
       spec.entry = true;
       spec.text = "a.dao";
       return RunChooser(owner, spec) ? IDOK : IDCANCEL;
     },
     11 + 37},
};

void ClickCancel(const OwnBoxKind& kind, HWND box) {
  RECT client;
  GetClientRect(box, &client);
  const int x = kind.cancelX ? client.right - kind.cancelX : client.right / 2 + 40;
  InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(box, x, client.bottom - 11 - 11));
}

// Two boxes over one window, the second raised while the first is up (both enabled: the second disables nothing
// more). Cancel on the first ends the first, which goes at once; the second stays up and answers its own OK, and
// the first's caller gets Cancel when the second's has returned. Before, a box ended the innermost loop: the
// first's Cancel closed the second, whose caller got it, and the first stayed.
TEST_F(CommonUiTest, EachOwnBoxEndsItsOwnLoopUnderABoxRaisedWhileItWasUp) {
  for (const OwnBoxKind& kind : kOwnBoxes) {
    SCOPED_TRACE(kind.name);
    BoxRaiser owner;
    ASSERT_TRUE(owner.CreateEx(0, "Static", "sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 450, nullptr,
                               nullptr));
    HWND first = nullptr, second = nullptr;
    int secondAnswer = -2;
    owner.raise = [&] { secondAnswer = kind.show(owner.m_hWnd); };
    UserAtEachBox user(&automation, [&](int wait) {
      switch (wait) {
        case 0:
          first = GetActiveWindow();
          PostMessage(owner.m_hWnd, WM_USER, 0, 0);
          break;
        case 1:
          second = GetActiveWindow();
          ASSERT_NE(second, first);
          SetWindowPos(second, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // dragged off the first
          ClickCancel(kind, first);
          break;
        case 2:
          EXPECT_TRUE(IsWindowVisible(second)) << "the second box went at the first one's Cancel";
          EXPECT_FALSE(IsWindowVisible(first)) << "the first box stayed up after its Cancel";
          EXPECT_EQ(secondAnswer, -2);
          SetActiveWindow(second);
          InputRouter::Instance().KeyPress(VK_RETURN);
          break;
        default: break;
      }
    });
    EXPECT_EQ(kind.show(owner.m_hWnd), IDCANCEL);
    EXPECT_EQ(secondAnswer, IDOK);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    owner.DestroyWindow();
  }
}

// A box owned by a window other than the main one (a print preview) goes when that window is destroyed under it:
// its call returns at once with the answer its close box gives (Cancel; OK for a lone OK; none for Yes/No).
// Before, the loop ran on without its box until the program quit.
TEST_F(CommonUiTest, AnOwnBoxDestroyedWithItsOwnerEndsItsLoopWithItsCloseAnswer) {
  struct Case {
    const char* name;
    std::function<int(HWND)> show;
    int answer;
  };
  const Case cases[] = {
      {kOwnBoxes[0].name, kOwnBoxes[0].show, IDCANCEL},
      {kOwnBoxes[1].name, kOwnBoxes[1].show, IDCANCEL},
      {"lone OK", [](HWND owner) { return MessageBox(owner, "Printed.", "Print", MB_OK); }, IDOK},
      {"yes/no", [](HWND owner) { return MessageBox(owner, "Print?", "Print", MB_YESNO); }, 0},
  };
  HWND main = CreateWindowEx(0, "Static", "sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 450, nullptr,
                             nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND preview = CreateWindowEx(0, "Static", "preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 400, main,
                                  nullptr, nullptr, nullptr);
    HWND box = nullptr;
    int waits = 0;
    UserAtEachBox user(&automation, [&](int wait) {
      waits = wait + 1;
      if (wait == 0) {
        box = GetActiveWindow();
        DestroyWindow(preview);
      }
    });
    EXPECT_EQ(c.show(preview), c.answer);
    EXPECT_EQ(waits, 1) << "the loop waited on without its box";
    EXPECT_FALSE(IsWindow(box));
    MSG quit;
    EXPECT_FALSE(PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  }
  DestroyWindow(main);
}

// A run left by an exception (nothing could give its loop input) leaves its box up; destroyed later, while a box
// of the same kind runs its own loop where the first one's ran, the first box touches no loop: the second stays up
// for its own answer. Before, the window still pointed at its gone loop, and its destruction ended whatever lay
// there (the second box's loop) or wrote into a dead stack frame.
TEST_F(CommonUiTest, ABoxDestroyedAfterItsLoopWasLeftTouchesNoLoop) {
  CDialog dialogs[2];
  int call = 0;
  struct Case {
    const char* name;
    std::function<int(HWND)> show;  // Escape answers IDCANCEL
  };
  const Case cases[] = {
      {kOwnBoxes[0].name, kOwnBoxes[0].show},
      {kOwnBoxes[1].name, kOwnBoxes[1].show},
      {"modal dialog",
       [&](HWND owner) {
         CDialog& dialog = dialogs[call++ % 2];
         dialog.InitModalIndirect(&kBoxTemplate, CWnd::FromHandle(owner));
         return static_cast<int>(dialog.DoModal());
       }},
      {"dialog box",
       [](HWND owner) {
         return static_cast<int>(DialogBoxIndirectParam(nullptr, &kBoxTemplate, owner, CancelOnlyProc, 0));
       }},
  };
  HWND main = CreateWindowEx(0, "Static", "sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 450, nullptr,
                             nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND first = nullptr, second = nullptr;
    int waits = 0;
    auto run = [&](std::function<void(int)> act) {
      UserAtEachBox user(&automation, std::move(act));
      return c.show(main);
    };
    EXPECT_THROW(run([&](int) {
                   first = GetActiveWindow();
                   throw MessageLoopStalled("nothing gives the box input");
                 }),
                 MessageLoopStalled);
    ASSERT_TRUE(IsWindow(first));
    EnableWindow(main, TRUE);  // a modal dialog's run left by the exception kept its owner disabled
    const int answer = run([&](int wait) {
      waits = wait + 1;
      if (wait == 0) {
        second = GetActiveWindow();
        DestroyWindow(first);
      } else if (wait == 1) {
        EXPECT_TRUE(IsWindowVisible(second)) << "the first box's destruction ended the second one's loop";
        SetActiveWindow(second);
        InputRouter::Instance().KeyPress(VK_ESCAPE);
      }
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(waits, 2);
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
  }
  DestroyWindow(main);
}

TEST_F(CommonUiTest, ProfileGoesToTheIniFileOrToTheRegistryKey) {
  CWinApp app("Grid Demo");
  const std::string ini = (dir_ / "demo.ini").string();
  app.m_pszProfileName = ini.c_str();
  EXPECT_TRUE(app.WriteProfileString("Grid", "Font", "Arial"));
  EXPECT_TRUE(app.WriteProfileInt("Grid", "Rows", -12));
  EXPECT_EQ(app.GetProfileString("grid", "font"), "Arial");
  EXPECT_EQ(static_cast<int>(app.GetProfileInt("Grid", "Rows", 0)), -12);
  EXPECT_EQ(app.GetProfileInt("Grid", "Missing", 7), 7u);
  EXPECT_TRUE(app.WriteProfileString("Grid", "Font", nullptr));  // deletes the entry
  EXPECT_EQ(app.GetProfileString("Grid", "Font", "none"), "none");
  EXPECT_TRUE(app.WriteProfileString("Grid", nullptr, nullptr));  // deletes the section
  EXPECT_EQ(app.GetProfileInt("Grid", "Rows", 3), 3u);
  EXPECT_EQ(RegistryStore::Dump(), "");

  // Registry mode, persisted in the store file and read back by a fresh load.
  const std::string store = (dir_ / "registry.txt").string();
  ASSERT_TRUE(RegistryStore::SetStoreFile(store));
  app.SetRegistryKey("Brimstead");
  EXPECT_TRUE(app.WriteProfileString("Grid", "Font", "Arial \"Bold\""));
  EXPECT_TRUE(app.WriteProfileInt("Grid\\Standard", "Height", 17));
  EXPECT_TRUE(app.WriteProfileString("Layouts", "Last", "a"));
  RegistryStore::Reset();
  ASSERT_TRUE(RegistryStore::SetStoreFile(store));
  EXPECT_EQ(app.GetProfileString("Grid", "Font"), "Arial \"Bold\"");
  EXPECT_EQ(app.GetProfileInt("Grid\\Standard", "Height", 0), 17u);
  EXPECT_EQ(app.GetProfileInt("Grid", "Font", 5), 5u);  // a string is not an int
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\BRIMSTEAD\\Grid Demo", 0, KEY_READ, &key), ERROR_SUCCESS);
  std::vector<std::string> names;
  char name[1024];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  RegCloseKey(key);
  EXPECT_EQ(names, (std::vector<std::string>{"Grid", "Layouts"}));
  EXPECT_TRUE(app.WriteProfileString("Grid", nullptr, nullptr));  // the section with its subkeys
  EXPECT_EQ(app.GetProfileInt("Grid\\Standard", "Height", 0), 0u);
  EXPECT_EQ(app.GetProfileString("Layouts", "Last"), "a");
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Brimstead\\Grid Demo\\Grid", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nobody", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  // A write the store refuses (its file would pass the size the store loads) answers FALSE with the reason.
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(app.WriteProfileString("Layouts", "Huge", std::string(RegistryStore::kMaxFileBytes, 'x').c_str()));
  EXPECT_EQ(GetLastError(), ERROR_STORE_TOO_LARGE);
  EXPECT_EQ(app.GetProfileString("Layouts", "Huge", "none"), "none");
}

// A profile write the store refuses leaves the store as it was, in memory and in its file, as a refused registry call
// does: before, the section's key, made before its value was refused, stayed (and the store file grew by its line).
TEST_F(CommonUiTest, AProfileWriteTheStoreRefusesLeavesNoKeyBehind) {
  CWinApp app("Grid Demo");
  app.SetRegistryKey("Brimstead");
  const std::string store = (dir_ / "registry.txt").string();
  const auto stored = [&] {
    std::string text(std::filesystem::file_size(store), '\0');
    std::ifstream(store, std::ios::binary).read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
  };
  const std::string text3000(3000, 't');
  // A store 2,000 bytes under its limit, and one 60 bytes under, where a new section's key (a line of 58 bytes) fits
  // and its value does not; with the application's key, and without it.
  const struct {
    const char* key;
    std::size_t room;
    std::function<BOOL()> write;
  } cases[] = {
      {"Software\\Brimstead\\Grid Demo\\Layouts", 2000, [&] { return app.WriteProfileString("NewSect", "Entry", text3000.c_str()); }},
      {"Software\\Other", 2000, [&] { return app.WriteProfileString("NewSect", "Entry", text3000.c_str()); }},
      {"Software\\Brimstead\\Grid Demo\\Layouts", 60, [&] { return app.WriteProfileInt("NewSect", "Entry", 17); }},
      {"Software\\Other", 60, [&] { return app.WriteProfileInt("NewSect", "Entry", 17); }},
      {"Software\\Brimstead\\Grid Demo\\Layouts", 60, [&] { return app.WriteProfileString("NewSect", "Entry", "x"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    RegistryStore::Reset();
    std::string text = std::string("[HKEY_CURRENT_USER\\") + c.key + "]\r\n\"Pad\"=sz:";
    text += std::string(RegistryStore::kMaxFileBytes - c.room - text.size() - 2, 'p') + "\r\n";
    std::ofstream(store, std::ios::binary | std::ios::trunc) << text;
    ASSERT_TRUE(RegistryStore::SetStoreFile(store));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(c.write());
    EXPECT_EQ(GetLastError(), ERROR_STORE_TOO_LARGE);
    EXPECT_TRUE(RegistryStore::Dump() == text);
    EXPECT_TRUE(stored() == text);
  }
  // With room, the section is made with its value, the keys on its way too.
  std::filesystem::remove(store);
  RegistryStore::Reset();
  ASSERT_TRUE(RegistryStore::SetStoreFile(store));
  EXPECT_TRUE(app.WriteProfileInt("New\\Deeper", "Entry", 17));
  EXPECT_EQ(stored(), "[HKEY_CURRENT_USER\\Software\\Brimstead\\Grid Demo\\New\\Deeper]\r\n\"Entry\"=dword:00000011\r\n");
}

TEST_F(CommonUiTest, HelpStandInRecordsWhatWasAsked) {
  HelpService help;
  help.answer = 3;
  HelpService::Install(&help);
  CWinApp app("Tool");
  app.m_pszHelpFilePath = "pdn.chm";
  app.WinHelp(0x20010, 1);
  HelpService::Install(nullptr);
  ASSERT_EQ(help.calls.size(), 1u);
  EXPECT_EQ(help.calls[0].file, "pdn.chm");
  EXPECT_EQ(help.calls[0].data, 0x20010u);

}

}  // namespace
}  // namespace plat::test
