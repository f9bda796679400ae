// The model editor's outside help: the SPICE pane's file editor and the Touchstone pane's viewer, looked up beside
// the running program and started through the platform's launcher (scripted here), and the Help button's topics.
#include "brimstead/models/editor/ModelFileList.h"
#include "brimstead/models/editor/tests/ModelEditorTestSupport.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/framework/HelpService.h"

#include <filesystem>
#include <fstream>

namespace edtest {
namespace {

class ExternalProgramTest : public ModelEditorTest {
protected:
  void SetUp() override {
    ModelEditorTest::SetUp();
    // The classic programs stand for these commands, which the scripted launcher records instead of running.
    plat::ProgramLauncher::SetMapping("VornFileEditor.exe", "file-editor");
    plat::ProgramLauncher::SetMapping("TouchstoneViewer.exe", "touchstone-viewer");
    plat::ProgramLauncher::SetScript(plat::ProgramLauncher::Script{});
    plat::ProgramLauncher::ClearLaunches();
    plat::HelpService::Install(&help);
  }
  void TearDown() override {
    plat::HelpService::Install(nullptr);
    plat::ProgramLauncher::SetScript(std::nullopt);
    plat::ProgramLauncher::ClearLaunches();
    plat::ProgramLauncher::ClearMappings();
    for (const std::filesystem::path& standIn : standIns) std::filesystem::remove(standIn);
    ModelEditorTest::TearDown();
  }
  // A stand-in program file beside the running test program.
  std::string PlaceBeside(const char* program) {
    standIns.push_back(std::filesystem::path(static_cast<const char*>(RunningProgramDirectory())) / program);
    std::ofstream(standIns.back()) << "stand-in";
    return standIns.back().string();
  }
  static void ClickView(CWnd& pane) {
    CWnd* button = pane.GetDlgItem(1152);
    ASSERT_NE(button, nullptr);
    pane.SendMessage(WM_COMMAND, MAKEWPARAM(1152, BN_CLICKED), reinterpret_cast<LPARAM>(button->m_hWnd));
  }

  std::vector<std::filesystem::path> standIns;
  plat::HelpService help;
};

TEST_F(ExternalProgramTest, ViewButtonsStartTheirProgramOnTheSelectedFileOrNameTheMissingProgram) {
  const CString directory = MakeDirectory("models");
  WriteFile(directory, "caps.cir", ".SUBCKT TWO a b\nC1 a b 1n\n.ENDS\n");
  CopyTestFile("touchstone/HFSS_2019R2_test_multiport.s2p", directory, "cap.s2p");
  struct Case {
    int kind;
    const char* program;
    const char* shownName;
    const char* file;
    const char* command;
  };
  for (const Case c :
       {Case{HostModelSPICE, "VornFileEditor.exe", "Vorn File Editor", "caps.cir", "file-editor"},
        Case{HostModelTouchstone, "TouchstoneViewer.exe", "Touchstone Viewer", "cap.s2p", "touchstone-viewer"}}) {
    SCOPED_TRACE(c.program);
    CModelEditor editor;
    SetPins(editor, {"1", "2"});
    CStringArray directories;
    directories.Add(directory);
    editor.SetModelDirectories(directories);
    editor.Record().header.kind = c.kind;
    editor.Record().spice.fileName = "caps.cir";
    editor.Record().touchstone.fileName = "cap.s2p";
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
    Open(editor);
    CWnd& pane = c.kind == HostModelSPICE ? static_cast<CWnd&>(editor.SpicePane()) : editor.TouchstonePane();
    const std::string expectedPath =
        (std::filesystem::path(static_cast<const char*>(RunningProgramDirectory())) / c.program).string();
    // None ships: the user is told where it was looked for, and nothing starts.
    plat::ClearShownLog();
    ClickView(pane);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Unable to locate the " + std::string(c.shownName) + ":\n" +
                                                   expectedPath});
    EXPECT_TRUE(plat::ProgramLauncher::Launches().empty());
    // Beside the program it starts, on the selected file in quotes, without a message.
    ASSERT_EQ(PlaceBeside(c.program), expectedPath);
    plat::ClearShownLog();
    ClickView(pane);
    EXPECT_TRUE(Messages().empty()) << Messages()[0];
    const auto launches = plat::ProgramLauncher::Launches();
    ASSERT_EQ(launches.size(), 1u);
    const std::string file = std::string(directory) + c.file;
    EXPECT_EQ(launches[0].commandLine, "\"" + expectedPath + "\" \"" + file + "\"");
    EXPECT_EQ(launches[0].argv, (std::vector<std::string>{c.command, file}));
    plat::ProgramLauncher::ClearLaunches();
    editor.DestroyWindow();
  }
}

TEST_F(ExternalProgramTest, HelpOpensTheTopicOfTheModelKindShown) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  Open(editor);
  int expectedTopic = 6;
  for (int radio : {CModelEditor::IDC_KIND_CLR, CModelEditor::IDC_KIND_SPICE, CModelEditor::IDC_KIND_TOUCHSTONE}) {
    editor.CheckRadioButton(CModelEditor::IDC_KIND_CLR, CModelEditor::IDC_KIND_PLS, radio);
    editor.OnKindClicked();
    editor.OnHelp();
    ASSERT_FALSE(help.calls.empty());
    EXPECT_EQ(help.calls.back().file, "duskmoor_useref");
    EXPECT_EQ(help.calls.back().data, static_cast<DWORD_PTR>(expectedTopic++));
  }
  EXPECT_EQ(help.calls.size(), 3u);
  editor.DestroyWindow();
}

}  // namespace
}  // namespace edtest
