// The wizard dialog base through the decoupling-analysis wizard as the interface object runs it: captions and step
// states from the record, the Finish order, Cancel, the settings save, message 1315, and the lifetimes of modal
// and modeless wizards, also when the host closes the wizard from inside its own callback.
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/BrimsteadDlg.h"
#include "brimstead/wizards/DWStartPage.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/VornWizTabCtrl.h"
#include "brimstead/wizards/WizStepNode.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"

#include "platform/base/tests/FileKinds.h"
#include "platform/display/Desktop.h"
#include "platform/window/InputRouter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace wiztest;
using namespace brimwiz;
namespace fs = std::filesystem;

namespace {

using WizardDialog = WizardRunTest;

// The centre of a caption box of a top-level window, in screen coordinates.
POINT CaptionBox(HWND hwnd, int hit) {
  RECT r;
  GetWindowRect(hwnd, &r);
  for (int x = r.right - 1; x > r.left; --x)
    if (SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, r.top + 10)) == hit) return POINT{x - 4, r.top + 10};
  ADD_FAILURE() << "no caption box " << hit;
  return POINT{};
}

TEST_F(WizardDialog, OpensOnTheStartPageWithCaptionsFromTheRecord) {
  ASSERT_TRUE(api->CreateModeless());
  Pump();
  EXPECT_EQ(Text(api->GetWizardWindow()), "Brimstead");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Notify 1 1"}));
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 1);
  EXPECT_EQ(Record().m_nBoardIndex, 0) << "one board: taken without a board step";
  // No nets chosen: the record does not check. The 2 x 2 caption table follows the save box.
  EXPECT_EQ(Text(Finish()), "Check Data");
  EXPECT_EQ(Text(Cancel()), "Close");
  Click(StartControl(CDWStartPage::IDC_SAVE_SETTINGS));
  EXPECT_EQ(Record().m_bSaveSettings, 1);
  EXPECT_EQ(Text(Finish()), "Save && Check");
  EXPECT_EQ(Text(Cancel()), "Save && Close");
  EXPECT_TRUE(IsWindowEnabled(StartControl(CDWStartPage::IDC_BROWSE)));
  EXPECT_FALSE(IsWindowEnabled(StartControl(CDWStartPage::IDC_USE_LAST))) << "no settings copy to use";
  ExpectMatchesReference(api->GetWizardWindow(), "wizard-start");
}

// The start page's browse button (enabled with the save box) chooses where the settings are saved, as the finish
// page's does: a save dialog whose choice the record takes and the path box shows; a cancelled dialog keeps it.
TEST_F(WizardDialog, TheStartPagesBrowseButtonChoosesWhereTheSettingsAreSaved) {
  ASSERT_TRUE(api->CreateModeless());
  Pump();
  EXPECT_FALSE(IsWindowEnabled(StartControl(CDWStartPage::IDC_BROWSE)));
  Click(StartControl(CDWStartPage::IDC_SAVE_SETTINGS));
  ASSERT_TRUE(IsWindowEnabled(StartControl(CDWStartPage::IDC_BROWSE)));
  const std::string chosen = (dir / "chosen.dao").string();
  automation.Reply(plat::SystemUiKind::FileSave, {IDOK, chosen, 0});
  Click(StartControl(CDWStartPage::IDC_BROWSE));
  EXPECT_EQ(std::string(Record().m_SettingsPath.GetString()), chosen);
  EXPECT_EQ(Text(StartControl(CDWStartPage::IDC_SETTINGS_PATH)), std::string(Record().GetSettingsPathRelative()));
  automation.Reply(plat::SystemUiKind::FileSave, {0, "", 0});
  Click(StartControl(CDWStartPage::IDC_BROWSE));
  EXPECT_EQ(std::string(Record().m_SettingsPath.GetString()), chosen);
  EXPECT_EQ(Record().m_bSaveSettings, 1);
}

TEST_F(WizardDialog, ReloadMarkersGateTheStepsAndNext) {
  ASSERT_TRUE(api->CreateModeless());
  CVornWizTabCtrl& list = *Dialog().GetFrame()->GetStepList();
  HWND next = ::GetDlgItem(list.GetButtonBar()->m_hWnd, IDC_WIZ_NEXT);
  EXPECT_TRUE(IsWindowEnabled(next)) << "a fresh record has the New marker set";
  Click(StartControl(CDWStartPage::IDC_LOAD_SAVED));
  EXPECT_EQ(Record().m_PageFlags[0], 0);
  EXPECT_EQ(Record().m_PageFlags[1], 0);
  EXPECT_FALSE(IsWindowEnabled(next)) << "until a file is loaded nothing after the start step";
  EXPECT_TRUE(IsWindowEnabled(Finish()));
  EXPECT_TRUE(IsWindowEnabled(StartControl(CDWStartPage::IDC_LOAD)));
  Click(StartControl(CDWStartPage::IDC_NEW));
  EXPECT_TRUE(IsWindowEnabled(next));
  EXPECT_FALSE(IsWindowEnabled(StartControl(CDWStartPage::IDC_LOAD)));
}

TEST_F(WizardDialog, FinishSavesChecksAndShowsTheCheckBeforeTheHostHearsFinish) {
  callback.AnswerMayClose(false);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "Zuvar Erazoduvi Zerovi");
  ASSERT_TRUE(api->CreateModeless());
  Click(StartControl(CDWStartPage::IDC_SAVE_SETTINGS));
  callback.Clear();
  Click(Finish());
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_EQ(plat::ShownLog().back().request.caption, "Zuvar Erazoduvi Zerovi");
  EXPECT_FALSE(plat::ShownLog().back().request.text.empty());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Notify 4 1"})) << "no Run for a record that does not check";
  EXPECT_TRUE(fs::exists(Record().m_SettingsPath.GetString())) << "the save box writes the settings at Finish";
}

TEST_F(WizardDialog, CancelAsksTheHostAndAModelessRunCanFollow) {
  callback.AnswerMayClose(false);
  ASSERT_TRUE(api->CreateModeless());
  callback.Clear();
  Click(Cancel());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"MayClose"}));
  EXPECT_NE(api->GetWizardWindow(), nullptr);
  callback.AnswerMayClose(true);
  Click(Cancel());
  EXPECT_EQ(api->GetWizardWindow(), nullptr);
  EXPECT_EQ(api->Dialog(), nullptr) << "the spent dialog is freed";
  EXPECT_FALSE(api->IsModeless());
  EXPECT_EQ(Lines().back(), "OnClosed");
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
  EXPECT_TRUE(api->CreateModeless()) << "a new modeless run after the user closed one";
}

TEST_F(WizardDialog, AHostClosingTheWizardInsideItsCallbackFreesItAfterTheHandler) {
  callback.onMayClose = [&] { api->Close(); };
  ASSERT_TRUE(api->CreateModeless());
  Click(Cancel());
  EXPECT_EQ(api->GetWizardWindow(), nullptr);
  EXPECT_EQ(api->Dialog(), nullptr);
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
  EXPECT_EQ(Lines().back(), "OnClosed");
  callback.onMayClose = nullptr;
  // A factory call inside the callback forgets the dialog; it is freed when its window goes.
  ASSERT_TRUE(api->CreateModeless());
  callback.onMayClose = [&] {
    api = CBrimsteadAPI::Create();
    api->SetCallback(&callback);
  };
  Click(Cancel());
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
}

// Template 1000 gives the wizard a minimise box and a system menu. Minimised, the wizard keeps its page, its
// record and its layout and the host hears nothing; restored through the system menu it comes back as it was,
// with the focus where the user left it; Close in that menu asks the host as Cancel does.
TEST_F(WizardDialog, MinimiseAndRestoreKeepTheWizardAsItWas) {
  ASSERT_TRUE(api->CreateModeless());
  HWND wizard = api->GetWizardWindow();
  ASSERT_EQ(GetWindowLong(wizard, GWL_STYLE) & (WS_MINIMIZEBOX | WS_SYSMENU), WS_MINIMIZEBOX | WS_SYSMENU);
  HWND save = StartControl(CDWStartPage::IDC_SAVE_SETTINGS);
  Click(save);
  ASSERT_EQ(::GetFocus(), save);
  RECT placed, frame;
  GetWindowRect(wizard, &placed);
  GetWindowRect(Dialog().GetFrame()->m_hWnd, &frame);
  callback.Clear();

  // The minimise box, clicked.
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, CaptionBox(wizard, HTMINBUTTON));
  Pump();
  EXPECT_TRUE(Dialog().IsIconic());
  RECT client;
  GetClientRect(wizard, &client);
  EXPECT_TRUE(IsRectEmpty(&client));
  EXPECT_EQ(ActivePageId(), 1007);
  EXPECT_TRUE(Lines().empty()) << "minimising is no business of the host";

  // Restore from the system menu that a click on the minimised caption opens.
  automation.Reply(plat::SystemUiKind::PopupMenu, {static_cast<int>(SC_RESTORE), {}, 0});
  RECT iconic;
  GetWindowRect(wizard, &iconic);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, POINT{iconic.left + 20, iconic.top + 8});
  Pump();
  EXPECT_FALSE(Dialog().IsIconic());
  RECT restored, frameAfter;
  GetWindowRect(wizard, &restored);
  GetWindowRect(Dialog().GetFrame()->m_hWnd, &frameAfter);
  EXPECT_TRUE(EqualRect(&restored, &placed));
  EXPECT_TRUE(EqualRect(&frameAfter, &frame)) << "the frame was not squeezed into the empty client area";
  EXPECT_EQ(::GetFocus(), save);
  EXPECT_EQ(Record().m_bSaveSettings, 1);
  EXPECT_TRUE(Lines().empty());
  ExpectMatchesReference(wizard, "wizard-start");  // every pixel painted again

  // Close from the system menu (opened with Alt+Space) asks the host whether the wizard may close.
  callback.AnswerMayClose(false);
  automation.Reply(plat::SystemUiKind::PopupMenu, {static_cast<int>(SC_CLOSE), {}, 0});
  plat::InputRouter::Instance().KeyDown(VK_MENU);
  plat::InputRouter::Instance().KeyPress(VK_SPACE);
  plat::InputRouter::Instance().KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"MayClose"}));
  EXPECT_NE(api->GetWizardWindow(), nullptr);
}

TEST_F(WizardDialog, AModalRunMinimisedAndRestoredEndsThroughCancel) {
  automation.Then([&] { ::ShowWindow(api->GetWizardWindow(), SW_MINIMIZE); })
      .Then([&] {
        EXPECT_TRUE(::IsIconic(api->GetWizardWindow()));
        ::SendMessage(api->GetWizardWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
      })
      .Then([&] {
        EXPECT_FALSE(::IsIconic(api->GetWizardWindow()));
        Click(Cancel());
      });
  EXPECT_FALSE(api->RunModal());
  EXPECT_EQ(api->Dialog(), nullptr);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Notify 1 1", "MayClose", "OnClosed"}));
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
}

TEST_F(WizardDialog, RereadMessageRefreshesTheActivePage) {
  ASSERT_TRUE(api->CreateModeless());
  Record().m_bSaveSettings = 1;
  EXPECT_EQ(::SendMessage(api->GetWizardWindow(), WM_WIZARD_REREAD_RECORD, 0, 0), 0);
  EXPECT_EQ(::SendMessage(StartControl(CDWStartPage::IDC_SAVE_SETTINGS), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(Cancel()), "Save && Close");
}

TEST_F(WizardDialog, NewResetsOnlyTheUsersSettings) {
  char buffer[MAX_PATH] = "";
  api->SetSettingsCopyBuffer(buffer);
  api->SetHelpFile("help.chm");
  ASSERT_TRUE(api->CreateModeless());
  Record().m_dTargetImpedance = 0.5;
  Record().m_bSaveSettings = 1;
  Click(StartControl(CDWStartPage::IDC_NEW));
  EXPECT_EQ(Record().m_dTargetImpedance, 0.001);
  EXPECT_EQ(Record().m_bSaveSettings, 0);
  EXPECT_EQ(Record().m_pSettingsCopyBuffer, buffer);
  EXPECT_STREQ(Record().m_HelpFile, "help.chm");
  EXPECT_EQ(Record().m_pSystem, &system);
  EXPECT_EQ(Record().m_nBoardIndex, 0);
  EXPECT_EQ(Record().m_SettingsPath, (dir / "demo8.dao").string().c_str());
}

// Every start choice that resets or loads the record keeps what the host handed in and what the module made for it,
// also once the host took its buffer back: the temporary copy a save named in the buffer and the name the buffer held
// stay the host's, and "Use last configuration" loads that name again.
TEST_F(WizardDialog, EveryStartChoiceKeepsWhatTheHostHandedInAndTheNameItTookBack) {
  const struct {
    const char* name;
    std::vector<int> clicks;
    double target;   // reset or loaded: the default the copy holds too
  } rows[] = {{"New", {CDWStartPage::IDC_NEW}, 0.001},
              {"Use last configuration", {CDWStartPage::IDC_USE_LAST}, 0.001},
              {"Load saved configuration", {CDWStartPage::IDC_LOAD_SAVED}, 0.5},
              {"Load...", {CDWStartPage::IDC_LOAD_SAVED, CDWStartPage::IDC_LOAD}, 0.001}};
  const auto hostPart = [](const CHostHandedIn& host) {
    std::ostringstream out;
    out << int{host.m_bBoardMode} << '|' << host.m_ProjectPath.GetString() << '|'
        << static_cast<const void*>(host.m_pSettingsCopyBuffer) << '|' << host.m_MadeSettingsCopy.GetString() << '|'
        << host.m_TakenBackSettingsCopy.GetString() << '|' << host.m_pSystem << '|' << host.m_HelpFile.GetString()
        << '|' << static_cast<const void*>(host.m_pHostTableText);
    return out.str();
  };
  static const char tableText[] = "table";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    char buffer[MAX_PATH] = "";
    api->SetSettingsCopyBuffer(buffer);
    api->SetHelpFile("help.chm");
    api->SetTableText(tableText);
    callback.AnswerMayClose(false);
    ASSERT_TRUE(api->CreateModeless());
    Click(Cancel());   // the save names a temporary copy; the host keeps the wizard open
    api->CloseWizard();
    Pump();
    const std::string copy = Record().m_MadeSettingsCopy.GetString();
    ASSERT_FALSE(copy.empty());
    ASSERT_EQ(std::string(Record().m_TakenBackSettingsCopy.GetString()), copy);
    ASSERT_EQ(Record().m_pSettingsCopyBuffer, nullptr);
    const std::string before = hostPart(Record());
    Record().m_dTargetImpedance = 0.5;
    automation.Reply(plat::SystemUiKind::FileOpen, {IDOK, copy, 0});
    const std::size_t boxes = plat::ShownLog().size();
    callback.Clear();
    // The choice is offered as the host's "Use last configuration" offers it (the buffer was empty at the start).
    ::EnableWindow(StartControl(CDWStartPage::IDC_USE_LAST), TRUE);
    for (const int control : row.clicks)
      ::SendMessage(StartControl(control), BM_CLICK, 0, 0);
    // No box; "Load..." shows its file dialog.
    EXPECT_EQ(plat::ShownLog().size(), boxes + (row.clicks.back() == CDWStartPage::IDC_LOAD));
    EXPECT_EQ(hostPart(Record()), before);
    EXPECT_EQ(Record().m_dTargetImpedance, row.target);
    EXPECT_EQ(Lines() == std::vector<std::string>{"Notify 2 1"}, row.clicks[0] == CDWStartPage::IDC_USE_LAST);
    api->Close();
    Pump();
    fs::remove(copy);
    api = CBrimsteadAPI::Create();
    api->SetCallback(&callback);
    api->SetSystem(&system);
    api->SetProjectFile(project.c_str());
  }
}

// "Use last configuration" on a copy that cannot be loaded tells the user which file, keeps the record, and sends the
// host no "settings loaded"; a copy that loads does.
TEST_F(WizardDialog, UseLastConfigurationReportsWhatItCouldNotLoad) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  char buffer[MAX_PATH] = "";
  api->SetSettingsCopyBuffer(buffer);
  ASSERT_TRUE(api->CreateModeless());
  Record().m_dTargetImpedance = 0.25;
  const std::string saved = (dir / "last.dao").string();
  const CString kept = Record().m_SettingsPath;
  Record().m_SettingsPath = saved.c_str();
  ASSERT_TRUE(Record().Save());
  Record().m_SettingsPath = kept;
  struct Case {
    std::string path;
    const char* reason;
  };
  std::vector<Case> cases = {{(dir / "none.dao").string(), "No such file or directory."},
                             {dir.string(), "The path is a folder, not a file."},
                             {(dir / "none" / "last.dao").string(), "No such file or directory."}};
  // Files of other kinds say why, as every reader does (a FIFO or a device said "Permission denied.", a socket
  // "Input/output error.", a file whose read failed that it was no settings file).
  const FileKinds kinds(dir, ".dao", "[HEADER]\r\n");
  for (const FileKinds::Kind& kind : kinds.kinds()) cases.push_back({(dir / kind.name).string(), kind.reason.c_str()});
  for (const Case& c : cases) {
    std::snprintf(buffer, sizeof buffer, "%s", c.path.c_str());
    ::EnableWindow(StartControl(CDWStartPage::IDC_USE_LAST), TRUE);
    callback.Clear();
    plat::ClearShownLog();
    // BM_CLICK: two mouse clicks in a row on one spot would make a double click.
    ::SendMessage(StartControl(CDWStartPage::IDC_USE_LAST), BM_CLICK, 0, 0);
    ASSERT_EQ(plat::ShownLog().size(), 1u) << c.path;
    EXPECT_EQ(plat::ShownLog().back().request.text,
              "The settings can't be loaded from the file \"" + c.path + "\".\n" + c.reason);
    EXPECT_TRUE(Lines().empty()) << c.path;
  }
  std::snprintf(buffer, sizeof buffer, "%s", saved.c_str());
  Record().m_dTargetImpedance = 0.5;
  ::EnableWindow(StartControl(CDWStartPage::IDC_USE_LAST), TRUE);
  callback.Clear();
  ::SendMessage(StartControl(CDWStartPage::IDC_USE_LAST), BM_CLICK, 0, 0);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Notify 2 1"}));
  EXPECT_EQ(Record().m_dTargetImpedance, 0.25);
}

// "Use last configuration" on a copy that does not load (missing, or no settings file) leaves the record and the
// start page's choice as the user had them: nothing is reset before the copy is known to load.
TEST_F(WizardDialog, UseLastConfigurationThatCannotLoadKeepsTheUsersRecord) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  char buffer[MAX_PATH] = "";
  api->SetSettingsCopyBuffer(buffer);
  ASSERT_TRUE(api->CreateModeless());
  Record().m_dTargetImpedance = 0.25;
  Record().m_nMode = 1;
  std::ofstream(dir / "junk.dao") << "no settings here\r\n";
  for (const fs::path& copy : {dir / "none.dao", dir / "junk.dao"}) {
    std::snprintf(buffer, sizeof buffer, "%s", copy.string().c_str());
    ::EnableWindow(StartControl(CDWStartPage::IDC_USE_LAST), TRUE);
    ::SendMessage(StartControl(CDWStartPage::IDC_USE_LAST), BM_CLICK, 0, 0);
    EXPECT_EQ(Record().m_dTargetImpedance, 0.25) << copy;
    EXPECT_EQ(Record().m_nMode, 1) << copy;
    EXPECT_EQ(::SendMessage(StartControl(CDWStartPage::IDC_NEW), BM_GETCHECK, 0, 0), BST_CHECKED) << copy;
    EXPECT_EQ(::SendMessage(StartControl(CDWStartPage::IDC_USE_LAST), BM_GETCHECK, 0, 0), BST_UNCHECKED) << copy;
  }
}

TEST_F(WizardDialog, SettingsAreSavedByTheFlagAndCopiedIntoTheHostsBuffer) {
  SetCurrentAnalysisData(new CDecouplingAnalysisData());
  Record().SetProjectPath(project.c_str());
  Record().MakeDefaultSettingsPath();
  const std::string settings = Record().m_SettingsPath.GetString();
  struct Case {
    bool flag;
    const char* buffer;   // null: none; "": empty; else a named copy
    bool settingsWritten, copyWritten;
  } cases[] = {{false, nullptr, false, false}, {true, nullptr, true, false}, {false, "", false, true},
               {true, "", true, true},         {false, "named", false, true}};
  for (const Case& c : cases) {
    fs::remove(settings);
    char buffer[MAX_PATH] = "";
    if (c.buffer && c.buffer[0])
      std::snprintf(buffer, sizeof buffer, "%s", (dir / "copy.dao").string().c_str());
    Record().m_pSettingsCopyBuffer = c.buffer ? buffer : nullptr;
    Record().m_bSaveSettings = c.flag ? 1 : 0;
    EXPECT_TRUE(CDWPage::SaveSettings());
    EXPECT_EQ(fs::exists(settings), c.settingsWritten) << c.flag << " " << (c.buffer ? c.buffer : "none");
    if (c.buffer) {
      EXPECT_EQ(fs::file_size(buffer) > 0, c.copyWritten);
      EXPECT_STREQ(Record().m_SettingsPath, settings.c_str()) << "the settings path is put back";
    }
    if (c.buffer && !c.buffer[0]) {
      EXPECT_NE(std::string(buffer).find("dao"), std::string::npos);
      const std::string first = buffer;
      EXPECT_TRUE(CDWPage::SaveSettings());
      EXPECT_EQ(first, buffer) << "a second Finish reuses the name";
      fs::remove(first);
    }
  }
}

}  // namespace

namespace {

// Tab and Shift+Tab go round one order across the page, the step list and the button bar, so a keyboard user
// reaches "Next >" and the other buttons; Enter and Escape inside a page still do nothing.
TEST_F(WizardDialog, TabGoesRoundThePageTheStepsAndTheButtons) {
  ASSERT_TRUE(api->CreateModeless());
  Pump();
  HWND wizard = api->GetWizardWindow();
  HWND first = StartControl(CDWStartPage::IDC_NEW);
  ::SetFocus(first);
  std::vector<HWND> forward{::GetFocus()};
  for (int i = 0; i < 40; ++i) {
    Key(VK_TAB);
    if (::GetFocus() == forward.front()) break;
    forward.push_back(::GetFocus());
  }
  ASSERT_EQ(::GetFocus(), forward.front()) << "Tab comes back round";
  auto reached = [&](HWND control) { return std::find(forward.begin(), forward.end(), control) != forward.end(); };
  HWND next = Next();
  EXPECT_TRUE(reached(next)) << "Next >";
  EXPECT_TRUE(reached(Cancel()));
  EXPECT_TRUE(reached(Finish()));
  EXPECT_TRUE(reached(StartControl(CDWStartPage::IDC_SAVE_SETTINGS)));
  // The buttons in the order they stand, left to right.
  const auto at = [&](HWND control) { return std::find(forward.begin(), forward.end(), control) - forward.begin(); };
  EXPECT_LT(at(next), at(Finish()));
  EXPECT_LT(at(Finish()), at(Cancel()));
  for (HWND h : forward) EXPECT_TRUE(::IsChild(wizard, h));
  // The step list is a stop of its own: after the buttons, and the last before the page comes round again.
  HWND steps = Dialog().GetFrame()->GetStepList()->GetStepColumn()->m_hWnd;
  EXPECT_TRUE(reached(steps));
  EXPECT_LT(at(Cancel()), at(steps));
  EXPECT_EQ(forward.back(), steps);
  // Shift+Tab walks the same order backwards.
  std::vector<HWND> backward{::GetFocus()};
  for (std::size_t i = 1; i < forward.size(); ++i) {
    plat::InputRouter::Instance().KeyDown(VK_SHIFT);
    Key(VK_TAB);
    plat::InputRouter::Instance().KeyUp(VK_SHIFT);
    backward.push_back(::GetFocus());
  }
  std::reverse(backward.begin() + 1, backward.end());
  EXPECT_EQ(backward, forward);
  // Enter and Escape on a page control neither move on nor close.
  ::SetFocus(first);
  callback.Clear();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(ActivePageId(), CDWStartPage::IDD);
  EXPECT_NE(api->GetWizardWindow(), nullptr);
  EXPECT_TRUE(Lines().empty());
}

// With the focus on the step list a dotted frame marks a step; the arrows, Home and End move it over the enabled
// visible steps, and Enter or Space moves to the marked step as a click on it would, keeping the focus on the list.
TEST_F(WizardDialog, TheStepListTakesTheKeysOfAClickWhileItHasTheFocus) {
  ASSERT_TRUE(api->CreateModeless());
  Pump();
  CVornWizTabCtrl& list = *Dialog().GetFrame()->GetStepList();
  HWND steps = list.GetStepColumn()->m_hWnd;
  const int nets = list.GetCurrentIndex() + 1;
  ASSERT_EQ(list.GetStep(nets)->GetPage(), Dialog().GetStep(WizardStepRole::NetSelection)->GetPage());

  // The mark's frame shows only while the list has the focus: the band's top line just inside it is broken up.
  const CWizStepColors colours = list.GetStepColors();
  int left = 0, top = 0, line = 0;
  list.GetGeometry(nullptr, &left, &top, &line);
  auto framed = [&] {
    Pump();
    auto image = plat::Desktop::Capture(steps);
    EXPECT_TRUE(image);
    int broken = 0;
    const int y = top + 1 + (list.VisibleRowOf(list.GetMarkedStep())) * line;
    for (int x = left + 2; image && x < image->width() - 3; ++x)
      broken += plat::colorFromPixel(image->pixel(x, y)) != colours.highlight &&
                plat::colorFromPixel(image->pixel(x, y)) != colours.background;
    return broken > 0;
  };
  ::SetFocus(StartControl(CDWStartPage::IDC_NEW));
  EXPECT_FALSE(framed());
  ::SetFocus(steps);
  EXPECT_EQ(list.GetMarkedStep(), list.GetCurrentIndex());
  EXPECT_TRUE(framed());

  // Down marks the next step without moving there; Enter moves; the focus stays on the list.
  Key(VK_DOWN);
  EXPECT_EQ(list.GetMarkedStep(), nets);
  EXPECT_EQ(ActivePageId(), CDWStartPage::IDD);
  Key(VK_RETURN);
  EXPECT_EQ(list.GetCurrentIndex(), nets);
  EXPECT_EQ(::GetFocus(), steps);
  // Up and Space: back to the start page, as a click on it.
  Key(VK_UP);
  Key(VK_SPACE);
  EXPECT_EQ(ActivePageId(), CDWStartPage::IDD);
  // End marks the last enabled step; hidden steps (the pin pages of a Lumped analysis) are never marked.
  Key(VK_END);
  const int last = list.GetMarkedStep();
  EXPECT_TRUE(list.GetStep(last)->IsEnabled() && list.GetStep(last)->IsVisible());
  for (int i = last + 1; i < list.GetStepCount(); ++i)
    EXPECT_FALSE(list.GetStep(i)->IsEnabled() && list.GetStep(i)->IsVisible()) << i;
  for (int i = 0; i < list.GetStepCount(); ++i) {
    Key(VK_UP);
    EXPECT_TRUE(list.GetStep(list.GetMarkedStep())->IsVisible());
  }
  EXPECT_EQ(list.GetMarkedStep(), 0);
  Key(VK_HOME);
  EXPECT_EQ(list.GetMarkedStep(), 0);

  // A disabled step is never marked: without a board the steps after the board's are off.
  Dialog().GetStep(WizardStepRole::NetSelection)->SetEnabled(false);
  Key(VK_DOWN);
  EXPECT_NE(list.GetMarkedStep(), nets);
  EXPECT_TRUE(list.GetStep(list.GetMarkedStep())->IsEnabled());
  // Enter on the current step does nothing, as a click on it does.
  Key(VK_HOME);
  callback.Clear();
  Key(VK_RETURN);
  EXPECT_EQ(ActivePageId(), CDWStartPage::IDD);
  EXPECT_TRUE(Lines().empty());
}

}  // namespace
