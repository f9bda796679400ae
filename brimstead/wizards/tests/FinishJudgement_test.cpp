// Finish and "Save && Run" on any page of the four wizards judge the whole record by the checks of the pages the run
// goes through, before anything is saved or run: settings the host loads may hold what a page refuses although the
// page was never shown.
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/wizards/DWDebugPage.h"
#include "brimstead/wizards/DWFinishPage.h"
#include "brimstead/wizards/DWFrequencyPage.h"
#include "brimstead/wizards/DWSelectNetPage.h"
#include "brimstead/wizards/DWStartPage.h"
#include "brimstead/wizards/DWTargetImpedancePage.h"
#include "brimstead/wizards/ViaModelTypePages.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/VornWizTabCtrl.h"
#include "brimstead/wizards/WizStepNode.h"
#include "brimstead/wizards/WizardDlg.h"
#include "brimstead/wizards/WrittenPaths.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "platform/base/FileFaults.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace wiztest;
namespace fs = std::filesystem;

namespace {

enum class Wizard { Decoupling, Bypass, ViaModel, Extractor };
// The ways that run: Finish clicked on the page the wizard opens on, "Save && Run" clicked on another page, the
// host's Run (which clicks Finish), Finish clicked on the finish page.
enum class Way { FinishOnFirstPage, SaveAndRunOnAnotherPage, HostsRun, FinishOnTheFinishPage };

class FinishJudgement : public SampleProjectTest {
protected:
  FinishJudgement() : SampleProjectTest("finishjudge") {}
  void TearDown() override {
    CloseWizard();
    SampleProjectTest::TearDown();
  }

  void Open(Wizard kind, bool debug) {
    switch (kind) {
      case Wizard::Decoupling: Take(CBrimsteadAPI::Create()); break;
      case Wizard::Bypass: Take(CBypassWizardAPI::Create()); break;
      case Wizard::ViaModel: Take(CDiffViaModelWizardAPI::Create()); break;
      case Wizard::Extractor: Take(CModelExtractorWizardAPI::Create()); break;
    }
    api->SetCallback(&callback);
    api->SetGeometryQuery(&board->GeometryQuery());
    if (debug)
      api->EnableDebugOptions();
    api->SetSystem(&system);
    api->SetProjectFile(project.c_str());
    ASSERT_TRUE(api->CreateModeless());
    Pump();
  }
  // Opens the wizard on the settings of this file.
  bool OpenOn(Wizard kind, bool debug, const fs::path& settings) {
    Open(kind, debug);
    const bool loaded = api && api->LoadSettings(settings.string().c_str());
    Pump();
    return loaded;
  }
  template <class Api>
  void Take(Api* made) {
    api = made;
    m_Link = [made] { return made->Dialog(); };
  }
  void CloseWizard() {
    if (!api)
      return;
    api->Close();
    Pump();
    api = nullptr;
  }
  CWizardDlg& Dialog() { return *dynamic_cast<CWizardDlg*>(m_Link()); }
  HWND FinishButton() { return m_Link()->GetFinishButton(); }
  HWND CancelButton() { return m_Link()->GetCancelButton(); }
  CVornWizTabCtrl& Steps() { return *Dialog().GetFrame()->GetStepList(); }
  int ActivePageId() {
    CDWPage* page = Dialog().GetActivePage();
    return page ? static_cast<int>(page->GetTemplateId()) : 0;
  }
  HWND BarButton(int id) { return ::GetDlgItem(Steps().GetButtonBar()->m_hWnd, id); }
  // The page of this template among the steps (null when none), made current through the step list when `select`.
  CDWPage* Page(int templateId, bool select) {
    for (int i = 0; i < Steps().GetStepCount(); ++i) {
      auto* page = dynamic_cast<CDWPage*>(Steps().GetPage(i));
      if (page && static_cast<int>(page->GetTemplateId()) == templateId) {
        if (select) {
          EXPECT_TRUE(Steps().SelectStep(i));
          Pump();
        }
        return page;
      }
    }
    return nullptr;
  }
  // Makes the last shown step other than the start page and `avoid` current.
  void GoToAnotherPage(int avoid) {
    for (int i = Steps().GetStepCount() - 1; i > 0; --i) {
      auto* page = dynamic_cast<CDWPage*>(Steps().GetPage(i));
      if (Steps().GetStep(i)->IsVisible() && page && static_cast<int>(page->GetTemplateId()) != avoid) {
        ASSERT_TRUE(Steps().SelectStep(i));
        ASSERT_EQ(ActivePageId(), static_cast<int>(page->GetTemplateId()));
        return;
      }
    }
    FAIL() << "no other page";
  }
  static int BoxesSaying(const std::string& text) {
    return static_cast<int>(std::count_if(plat::ShownLog().begin(), plat::ShownLog().end(), [&](const auto& shown) {
      return shown.request.kind == plat::SystemUiKind::MessageBox && shown.request.text == text;
    }));
  }
  static std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  CWizardAPI* api = nullptr;

private:
  std::function<CWizardDialogLink*()> m_Link;
};

// The options section of each wizard's settings.
const char* SectionOf(Wizard kind) {
  switch (kind) {
    case Wizard::Decoupling: return "OPTIONS_DW";
    case Wizard::Bypass: return "OPTIONS_BW";
    case Wizard::ViaModel: return "OPTIONS_DV";
    case Wizard::Extractor: return "OPTIONS_ME";
  }
  return "";
}

// The sample project's settings with these lines in the wizard's options section.
std::string SettingsText(Wizard kind, const std::string& options, const std::string& net2) {
  std::string text = "[BOARD]\r\nProjectPath=demo8.brd\r\nBoardIdx=0\r\n";
  if (kind == Wizard::Decoupling)
    text += "Net1_Name=GND\r\nNet2_Name=" + net2 + "\r\n";
  return text + "[HEADER]\r\nFileVersion=1.0\r\n[" + SectionOf(kind) + "]\r\n" + options;
}

// Frequencies of the record, in hertz, put into it after the load.
struct Frequencies {
  double minimum, maximum;
};

// A row: settings of the sample project that one line changes, and the page whose check refuses them with its box
// (0: none refuses; the host's Run follows).
struct Row {
  const char* name;
  Wizard kind;
  bool debug;
  std::string options;   // lines of the options section
  std::string net2;      // the decoupling record's second net
  int page;
  std::string box;
  // Numbers no settings file brings, since the load takes a number as its page does: put into the record after the
  // load, they stand for a record that holds them however it came to.
  std::optional<Frequencies> frequencies = std::nullopt;
  std::optional<double> interval = std::nullopt;
};

// Each row, the settings loaded anew for each way that runs; after "Save && Run" the close box. A refused record
// reaches neither the host's Run nor the settings file.
TEST_F(FinishJudgement, LoadedSettingsThatAPageRefusesShowThatPageWithItsBoxAndRunAndSaveNothing) {
  const std::string missing = (dir / "missing" / "report.xls").string();
  // 1 MHz and the next double above it read back as one number in the frequency edits.
  const Frequencies sameFrequencies{1000000, 1000000.0000000002};
  const std::string lumped = "Analysis=Lumped\r\n";
  // A file name may hold a character nobody can type; a settings line brings it whole.
  const std::string controlName = (dir / "out\x01put.s1p").string();
  const std::string shownControlName = (dir / "out\\x01put.s1p").string();
  const std::vector<Row> rows = {
      {"one net twice", Wizard::Decoupling, false, lumped, "GND", CDWSelectNetPage::IDD,
       CDWSelectNetPage::PairRefusal},
      {"a report path in a missing folder", Wizard::Decoupling, false,
       "Analysis=Quick\r\nDRCReportMode=XLS\r\nDRCReportFile=" + missing + "\r\n", "VCC_3V3", CDWFinishPage::IDD,
       "File \"" + missing + "\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet."},
      {"an output name holding a control character", Wizard::Decoupling, false,
       lumped + "AutoGenerateOutputFileName=0\r\nOutputFileName=" + controlName + "\r\n", "VCC_3V3",
       CDWFinishPage::IDD,
       "The output file name \"" + shownControlName +
           "\" holds a control character (a line break, a tab or another character that cannot be typed), which no "
           "name or text handed on may hold. Please enter it without one."},
      {"frequencies that read back as one", Wizard::Decoupling, false, lumped, "VCC_3V3", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum", sameFrequencies},
      {"an interval the edit cannot show", Wizard::Decoupling, true, lumped + "Mode=Custom\r\nUseFDTD=1\r\n",
       "VCC_3V3", CDWDebugPage::IDD, "Please enter a number.", std::nullopt, 1.7976931348623157e308},
      {"bypass frequencies", Wizard::Bypass, false, "", "", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum", sameFrequencies},
      {"via-model frequencies", Wizard::ViaModel, false, "", "", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum", sameFrequencies},
      {"extractor frequencies", Wizard::Extractor, false, "", "", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum", sameFrequencies},
      // A Quick analysis skips the frequency step, whose check then judges nothing.
      {"frequencies of a skipped step", Wizard::Decoupling, false, "Analysis=Quick\r\nDRCReportMode=NoReport\r\n",
       "VCC_3V3", 0, "", sameFrequencies},
      {"settings every page takes", Wizard::Decoupling, false, lumped, "VCC_3V3", 0, ""},
  };
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  // The project's own settings file, which a save writes.
  const fs::path settings = dir / "demo8.dao";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = SettingsText(row.kind, row.options, row.net2);
    for (const Way way : {Way::FinishOnFirstPage, Way::SaveAndRunOnAnotherPage, Way::HostsRun}) {
      const bool onAnotherPage = way == Way::SaveAndRunOnAnotherPage;
      SCOPED_TRACE(static_cast<int>(way));
      std::ofstream(settings, std::ios::binary | std::ios::trunc) << text;
      ASSERT_TRUE(OpenOn(row.kind, row.debug, settings));
      ASSERT_EQ(fs::path(GetAnalysisData()->m_SettingsPath.GetString()), settings);
      if (row.frequencies) {
        GetAnalysisData()->m_dMinFreq = row.frequencies->minimum;
        GetAnalysisData()->m_dMaxFreq = row.frequencies->maximum;
      }
      if (row.interval)
        GetAnalysisData()->m_dFDTDInterval = *row.interval;
      if (onAnotherPage) {
        GetAnalysisData()->m_bSaveSettings = 1;
        GoToAnotherPage(row.page);
        EXPECT_EQ(Text(FinishButton()).rfind("Save && ", 0), 0u);
      }
      const int boxes = row.page ? BoxesSaying(row.box) : 0;
      callback.Clear();
      if (way == Way::HostsRun)
        api->Run();
      else
        Click(FinishButton());
      Pump();
      const std::vector<std::string>& lines = callback.Lines();
      const bool ran = std::count(lines.begin(), lines.end(), "Run") > 0;
      if (row.page) {
        EXPECT_EQ(ActivePageId(), row.page);
        EXPECT_EQ(BoxesSaying(row.box), boxes + 1);
        EXPECT_FALSE(ran);
        EXPECT_EQ(Contents(settings), text) << "nothing saved";
        if (onAnotherPage) {
          // The close box keeps what it does: the page refuses again as it is left, and nothing closes or saves.
          ::SendMessage(api->GetWizardWindow(), WM_CLOSE, 0, 0);
          Pump();
          EXPECT_EQ(BoxesSaying(row.box), boxes + 2);
          EXPECT_NE(api->GetWizardWindow(), nullptr);
          EXPECT_EQ(std::count(callback.Lines().begin(), callback.Lines().end(), "MayClose"), 0);
          EXPECT_EQ(Contents(settings), text) << "nothing saved by the close";
        }
      } else {
        EXPECT_TRUE(ran);
        if (onAnotherPage) {
          EXPECT_NE(Contents(settings), text) << "saved with the run";
        }
      }
      CloseWizard();
    }
  }
}

// A Quick report path that names the project file or the settings file that Finish saves, however it is spelt, is
// refused with the finish page's box at every way that runs: the project and the settings keep every byte, and the
// host is told nothing. The report path comes from the loaded settings, or from the host (SetDRCReportFile) for its
// Run. Another file holding the project's bytes is no project: the host's Run gets it.
TEST_F(FinishJudgement, AReportPathNamingTheProjectOrTheSettingsFileIsRefusedAtEveryWay) {
  struct ReportRow {
    const char* spelling;
    bool refused;
    const char* settings = "demo8.dao";   // the settings file Finish saves; the loaded file unless another name
  };
  const std::vector<ReportRow> rows = {
      {"demo8.brd", true},
      {"./demo8.brd", true},
      {"sub/../demo8.brd", true},
      {"link.brd", true},   // a link to the project
      {"hard.brd", true},   // a hard link of the project
      {"alias/demo8.brd", true},   // the project in a link to its folder
      {"demo8.dao", true},
      {"./demo8.dao", true},
      {"new.dao", true, "new.dao"},   // a settings file that Finish would make
      {"alias/new.dao", true, "new.dao"},
      {"copy.brd", false},
  };
  fs::create_directory(dir / "sub");
  fs::create_symlink("demo8.brd", dir / "link.brd");
  fs::create_hard_link(project, dir / "hard.brd");
  fs::create_directory_symlink(dir, dir / "alias");
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  const fs::path loaded = dir / "demo8.dao";
  for (const ReportRow& row : rows) {
    SCOPED_TRACE(row.spelling);
    for (const Way way : {Way::FinishOnTheFinishPage, Way::SaveAndRunOnAnotherPage, Way::HostsRun}) {
      SCOPED_TRACE(static_cast<int>(way));
      // The host sets its path at its Run; the other ways take the loaded one.
      const std::string inFile = way == Way::HostsRun ? "other.xls" : row.spelling;
      const std::string text = SettingsText(
          Wizard::Decoupling, "Analysis=Quick\r\nDRCReportMode=XLS\r\nDRCReportFile=" + inFile + "\r\n", "VCC_3V3");
      std::ofstream(loaded, std::ios::binary | std::ios::trunc) << text;
      std::ofstream(dir / "copy.brd") << "board\n";
      ASSERT_TRUE(OpenOn(Wizard::Decoupling, false, loaded));
      const fs::path settings = dir / row.settings;
      GetAnalysisData()->m_SettingsPath = settings.string().c_str();
      GetAnalysisData()->m_bSaveSettings = 1;
      if (way == Way::SaveAndRunOnAnotherPage) {
        GoToAnotherPage(CDWFinishPage::IDD);
      } else if (way == Way::FinishOnTheFinishPage) {
        ASSERT_NE(Page(CDWFinishPage::IDD, true), nullptr);
      }
      // The path as the load and the host's Run read it against the project's folder.
      const std::string report = GetAnalysisData()->ReportPathOfProject(row.spelling).GetString();
      const std::string refusal =
          "File \"" + report + "\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet.";
      const int refusals = BoxesSaying(refusal);
      const std::size_t boxes = plat::ShownLog().size();
      callback.Clear();
      if (way == Way::HostsRun) {
        ASSERT_TRUE(dynamic_cast<CBrimsteadAPI*>(api)->SetDRCReportFile(row.spelling));
        api->Run();
      } else {
        Click(FinishButton());
      }
      Pump();
      EXPECT_EQ(GetAnalysisData()->m_DRCReportFile.GetString(), report);
      const bool ran = std::count(callback.Lines().begin(), callback.Lines().end(), "Run") > 0;
      EXPECT_EQ(ran, !row.refused);
      EXPECT_EQ(Contents(project), "board\n") << "the project keeps every byte";
      if (row.refused) {
        EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
        EXPECT_EQ(BoxesSaying(refusal), refusals + 1);
        EXPECT_EQ(plat::ShownLog().size(), boxes + 1) << "no other box";
        if (settings == loaded) {
          EXPECT_EQ(Contents(loaded), text) << "the settings file keeps every byte";
        } else {
          EXPECT_FALSE(fs::exists(settings)) << "nothing saved";
        }
      }
      CloseWizard();
    }
  }
}

// Every path a run writes, deletes or hands the host for writing (the Quick report, the output file, the settings
// file, the host's settings copy) is judged by one rule at every way out: leaving the finish page (Back), Finish
// there, "Save && Run" on another page, the host's Run (after its Set... call where it has one) and, for the settings
// file and the copy, "Save && Close". A path brought by a settings file or by the host that is no regular file or
// nothing, has no name, has a name the file system does not take, or is the project or another of these files, is
// refused with a box: nothing is saved, deleted or run, and every node keeps what it is. A copy the rule refuses is
// not written, without a box: the buffer is emptied and the run goes on. A path taken reaches the host whole, and an
// automatic name passes over folders and links to nothing. With "Save settings to file" clear no settings file is
// judged.
TEST_F(FinishJudgement, EveryWrittenPathIsARegularFileOrNoneWholeAndNoOtherAtEveryWayOut) {
  enum class File { Report, Output, Settings, Copy };
  // What is put under the first automatic name (the Quick report's before the wizard opens, the output's while it
  // is open) or the copy's name (while the wizard is open).
  enum class Meanwhile { Nothing, Removed, Folder, LinkToProject, LinkToNothing };
  // The start page's choice the user makes again after the host took its buffer back (its CloseWizard, MayClose
  // answered no: the wizard stays open); after "New" the row's path is put into the record as its page stores it.
  enum class Again { Nothing, New, UseLast };
  struct PathRow {
    const char* name;
    Wizard kind;
    File file;
    std::string value;   // the path as a settings file (or, where it has a Set... call, the host) gives it; the copy's
                         // name in the project's folder
    std::string reason;  // empty: taken
    std::string atRun = "";   // taken: the whole path the host gets at its Run (empty: any, a regular file or none)
    bool hostSets = true;   // whether the host's Run way gives the value through its Set... call
    // The host's last configuration, loaded from this name in the project's folder: the decoupling and extractor
    // loads ("Use last configuration") name it as the settings copy. Empty: the settings file's name, demo8.dao.
    std::string copy = "";
    Meanwhile meanwhile = Meanwhile::Nothing;
    bool save = true;   // "Save settings to file"
    Again again = Again::Nothing;
  };
  ASSERT_TRUE(board->Pick({"V_DQ1"}));
  const std::string inDir = dir.string() + "/";
  fs::create_directory(dir / "sub");
  ASSERT_EQ(::mkfifo((dir / "fifo.xls").c_str(), 0600), 0);
  ASSERT_EQ(::mknod((dir / "nul").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0) << "the tests run as root";
  fs::create_symlink("last.dao", dir / "copylink.xls");
  // A whole path of 261 characters in a folder that is there.
  const std::string deep = inDir + std::string(250 - dir.string().size(), 'd');
  fs::create_directory(deep);
  // A last configuration of 267 characters whose first 259 name another settings file, which a cut name would load.
  const std::string cutFolder = std::string(253 - inDir.size(), 'c');
  fs::create_directory(dir / cutFolder);
  const std::string cutName = cutFolder + "/x.dao", uncutName = cutName + ".new.dao";
  ASSERT_EQ((inDir + cutName).size(), 259u);
  const std::string notRegular = "The file is not a regular file (a FIFO, a device or a socket).";
  const std::string noName = "The file name is not valid.", tooLong = "File name too long.";
  const std::string longName(300, 'b');
  const std::string copyOfLast = "It is the settings copy the host keeps \"" + inDir + "last.dao\".";
  const std::string ofProject = "It is the project file \"" + project + "\".";
  const std::vector<PathRow> rows = {
      {"a FIFO as the report", Wizard::Decoupling, File::Report, "fifo.xls", notRegular},
      {"a device as the report", Wizard::Decoupling, File::Report, "nul", notRegular},
      {"an old report", Wizard::Decoupling, File::Report, "old.xls", "", inDir + "old.xls"},
      {"the default report beside a folder of its name", Wizard::Decoupling, File::Report, "", "",
       inDir + "demo8_1.xls", false, "", Meanwhile::Folder},
      {"the default report beside a link to nothing of its name", Wizard::Decoupling, File::Report, "", "",
       inDir + "demo8_1.xls", false, "", Meanwhile::LinkToNothing},
      {"the project as the output", Wizard::Decoupling, File::Output, project, ofProject},
      {"the settings file as the output", Wizard::Bypass, File::Output, inDir + "demo8.dao",
       "It is the settings file that Finish saves \"" + inDir + "demo8.dao\"."},
      {"a folder as the output", Wizard::ViaModel, File::Output, inDir + "sub", "The path is a folder, not a file."},
      {"a device as the output", Wizard::Extractor, File::Output, inDir + "nul", notRegular},
      {"a FIFO as the output", Wizard::Decoupling, File::Output, inDir + "fifo.xls", notRegular},
      {"a bare drive as the output", Wizard::Decoupling, File::Output, "x:", noName},
      {"a folder's name as the output", Wizard::Bypass, File::Output, "sub/", noName},
      {"an output name of 300 letters", Wizard::Decoupling, File::Output, longName, tooLong},
      {"an output path of 261 characters", Wizard::Decoupling, File::Output, deep + "/model.txt", "",
       deep + "/model.txt"},
      {"an automatic name of a long base", Wizard::Decoupling, File::Output, "", tooLong, "", false},
      {"an automatic via-model name of a long base", Wizard::ViaModel, File::Output, "", tooLong, "", false},
      {"an automatic extractor name of a long base", Wizard::Extractor, File::Output, "", tooLong, "", false},
      {"an automatic name beside a folder of its name", Wizard::Bypass, File::Output, "", "", "", false, "",
       Meanwhile::Folder},
      {"an automatic name beside a link to nothing of its name", Wizard::Bypass, File::Output, "", "", "", false, "",
       Meanwhile::LinkToNothing},
      {"the project as the settings file", Wizard::Decoupling, File::Settings, project, ofProject, "", false},
      {"a FIFO as the settings file", Wizard::Bypass, File::Settings, inDir + "fifo.xls", notRegular, "", false},
      // The host's settings copy, named by its last configuration's load, as the report or the output. At the host's
      // Run no copy is written (the host takes its buffer back first), and the name is still the host's file.
      {"the copy as the report", Wizard::Decoupling, File::Report, "last.dao", copyOfLast, "", true, "last.dao"},
      {"the copy through a link as the report", Wizard::Decoupling, File::Report, "copylink.xls", copyOfLast, "", true,
       "last.dao"},
      {"the copy still to be made as the report", Wizard::Decoupling, File::Report, "last.dao", copyOfLast, "", true,
       "last.dao", Meanwhile::Removed},
      {"the copy as the output", Wizard::Extractor, File::Output, inDir + "last.dao", copyOfLast, "", true,
       "last.dao"},
      // The copy itself, its name made something else while the wizard is open.
      {"the copy made a link to the project", Wizard::Decoupling, File::Copy, "last.dao", ofProject, "", false, "",
       Meanwhile::LinkToProject},
      {"the copy made a link to nothing", Wizard::Decoupling, File::Copy, "last.dao", "The path is a link to no file.",
       "", false, "", Meanwhile::LinkToNothing},
      {"the copy naming the settings file", Wizard::Decoupling, File::Copy, "demo8.dao", "", "", false},
      {"a copy's name longer than the buffer", Wizard::Decoupling, File::Copy, uncutName, "", "", false},
      // The host took the buffer back, and the user starts anew: the name stays the host's file.
      {"the copy as the report after the take-back and New", Wizard::Decoupling, File::Report, "last.dao",
       copyOfLast, "", true, "last.dao", Meanwhile::Nothing, true, Again::New},
      {"the copy as the output after the take-back and New", Wizard::Decoupling, File::Output, inDir + "last.dao",
       copyOfLast, "", true, "last.dao", Meanwhile::Nothing, true, Again::New},
      {"the copy as the extractor's output after the take-back and New", Wizard::Extractor, File::Output,
       inDir + "last.dao", copyOfLast, "", true, "last.dao", Meanwhile::Nothing, true, Again::New},
      {"the copy as the report after the take-back and Use last configuration", Wizard::Decoupling, File::Report,
       "last.dao", copyOfLast, "", true, "last.dao", Meanwhile::Nothing, true, Again::UseLast},
      // "Save settings to file" clear: no settings file is written, so none is judged.
      {"a FIFO as the settings file not saved", Wizard::Bypass, File::Settings, inDir + "fifo.xls", "", "", false, "",
       Meanwhile::Nothing, false},
      {"the settings file not saved as the report", Wizard::Decoupling, File::Report, "demo8.dao", "",
       inDir + "demo8.dao", true, "last.dao", Meanwhile::Nothing, false},
      {"the settings file not saved as the output", Wizard::Bypass, File::Output, inDir + "demo8.dao", "",
       inDir + "demo8.dao", true, "", Meanwhile::Nothing, false},
  };
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  enum class Exit { Back, Finish, SaveAndRun, HostsRun, SaveAndClose };
  for (const PathRow& row : rows) {
    SCOPED_TRACE(row.name);
    const bool automatic = row.file == File::Output && row.value.empty();
    const bool copyRow = row.file == File::Copy;
    const fs::path loaded = dir / (copyRow ? row.value : row.copy.empty() ? "demo8.dao" : row.copy);
    // A name the host's buffer does not hold whole loads nothing: the file its cut names keeps its settings.
    const bool cut = loaded.string().size() >= MAX_PATH;
    std::string options = row.kind == Wizard::Decoupling ? "Analysis=Lumped\r\n" : "";
    if (row.file == File::Report)
      options = "Analysis=Quick\r\nDRCReportMode=XLS\r\n" +
                (row.value.empty() ? "" : "DRCReportFile=" + row.value + "\r\n");
    else if (automatic)
      options += "AutoGenerateOutputFileName=1\r\nBaseOutputFileName=" + (row.reason.empty() ? "" : longName) + "\r\n";
    else if (row.file == File::Output)
      options += "AutoGenerateOutputFileName=0\r\nOutputFileName=" + row.value + "\r\n";
    std::vector<Exit> exits = {Exit::Finish, Exit::SaveAndRun, Exit::HostsRun};
    exits.push_back(row.file == File::Settings || copyRow ? Exit::SaveAndClose : Exit::Back);
    for (const Exit exit : exits) {
      SCOPED_TRACE(static_cast<int>(exit));
      // The host's Run takes its own value: the file then holds another that every rule takes.
      const bool hostSets = exit == Exit::HostsRun && row.hostSets && row.file != File::Settings;
      std::string text = options;
      if (hostSets)
        text = row.file == File::Report ? "Analysis=Quick\r\nDRCReportMode=XLS\r\nDRCReportFile=other.xls\r\n"
                                        : options.substr(0, options.find("AutoGenerate"));
      text = SettingsText(row.kind, text, "VCC_3V3");
      std::ofstream(loaded, std::ios::binary | std::ios::trunc) << text;
      std::ofstream(dir / "old.xls") << "old report\n";
      // What the row puts under a name: the node made there, removed again after the way out.
      fs::path made;
      const auto put = [&](const fs::path& at) {
        if (row.meanwhile == Meanwhile::Nothing)
          return;
        made = at;
        fs::remove(at);
        switch (row.meanwhile) {
          case Meanwhile::Nothing:
          case Meanwhile::Removed: break;
          case Meanwhile::Folder: fs::create_directory(at); break;
          case Meanwhile::LinkToProject: fs::create_symlink(project, at); break;
          case Meanwhile::LinkToNothing: fs::create_symlink(dir / "nothing", at); break;
        }
      };
      if (row.file == File::Report && row.value.empty())
        put(dir / "demo8.xls");
      const std::string older = SettingsText(row.kind, "Analysis=Quick\r\n", "GND");
      if (cut)
        std::ofstream(inDir + cutName, std::ios::binary | std::ios::trunc) << older;
      ASSERT_EQ(OpenOn(row.kind, false, loaded), !cut);
      CAnalysisData& record = *GetAnalysisData();
      if (cut) {
        // The same settings from a file the buffer holds whole, so that the ways out run.
        std::ofstream(dir / "short.dao", std::ios::binary | std::ios::trunc) << text;
        ASSERT_TRUE(record.Load((dir / "short.dao").string().c_str()));
        ::SendMessage(api->GetWizardWindow(), WM_WIZARD_REREAD_RECORD, 0, 0);
      }
      record.m_bSaveSettings = row.save ? 1 : 0;
      if (row.file == File::Settings)
        record.m_SettingsPath = row.value.c_str();
      const char* copy = record.m_pSettingsCopyBuffer;
      std::string first;   // the first automatic name, taken by something now
      if (automatic && row.reason.empty()) {
        first = record.GetOutputFilePath().GetString();
        put(first);
      } else if (cut) {
        ASSERT_EQ(copy, nullptr) << "no buffer";
      } else if (copyRow || !row.copy.empty()) {
        ASSERT_NE(copy, nullptr);
        ASSERT_EQ(std::string(copy), loaded.string());
        put(loaded);
      }
      if (row.again != Again::Nothing) {
        callback.AnswerMayClose(false);
        api->CloseWizard();
        Pump();
        callback.AnswerMayClose(true);
        ASSERT_EQ(record.m_pSettingsCopyBuffer, nullptr);
        ASSERT_NE(Page(CDWStartPage::IDD, ActivePageId() != CDWStartPage::IDD), nullptr);
        const std::size_t shown = plat::ShownLog().size();
        callback.Clear();
        ::SendMessage(Dialog().FindPageControl(row.again == Again::New ? CDWStartPage::IDC_NEW
                                                                       : CDWStartPage::IDC_USE_LAST,
                                               CDWStartPage::IDD),
                      BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(plat::ShownLog().size(), shown) << "no box";
        if (row.again == Again::UseLast) {
          EXPECT_EQ(callback.Lines(), std::vector<std::string>{"Notify 2 1"}) << "the host's file loaded again";
        } else {
          if (auto* decoupling = dynamic_cast<CDecouplingAnalysisData*>(&record)) {
            decoupling->m_pNet1 = board->FindNet("GND");
            decoupling->m_pNet2 = board->FindNet("VCC_3V3");
            decoupling->CollectProbes();
          }
          if (row.file == File::Report) {
            record.m_nAnalysisType = AnalysisQuick;
            record.m_DRCReportFile = record.ReportPathOfProject(row.value.c_str());
          } else {
            record.m_nAutoGenerateOutputFileName = 0;
            record.m_OutputFileName = row.value.c_str();
          }
        }
        record.m_bSaveSettings = row.save ? 1 : 0;
      }
      if (exit == Exit::SaveAndRun || exit == Exit::SaveAndClose) {
        GoToAnotherPage(CDWFinishPage::IDD);
      } else if (exit != Exit::HostsRun) {
        ASSERT_NE(Page(CDWFinishPage::IDD, true), nullptr);
      }
      std::string atRun, reportAtRun;
      callback.onRun = [&] {
        atRun = api->GetOutputFileName();
        reportAtRun = GetAnalysisData()->m_DRCReportFile.GetString();
      };
      const std::size_t boxes = plat::ShownLog().size();
      callback.Clear();
      switch (exit) {
        case Exit::Back: Click(BarButton(brimwiz::IDC_WIZ_BACK)); break;
        case Exit::SaveAndClose: Click(CancelButton()); break;
        case Exit::HostsRun:
          if (hostSets && row.file == File::Report)
            ASSERT_TRUE(dynamic_cast<CBrimsteadAPI*>(api)->SetDRCReportFile(row.value.c_str()));
          else if (hostSets)
            api->SetOutputFileName(row.value.c_str());
          api->Run();
          break;
        default: Click(FinishButton()); break;
      }
      Pump();
      callback.onRun = nullptr;
      // The decoupling and extractor objects keep a name the host set for every later Run: it goes again.
      if (hostSets && row.file == File::Report)
        dynamic_cast<CBrimsteadAPI*>(api)->SetDRCReportFile("");
      else if (hostSets && (row.kind == Wizard::Decoupling || row.kind == Wizard::Extractor))
        api->SetOutputFileName("");
      const bool ran = std::count(callback.Lines().begin(), callback.Lines().end(), "Run") > 0;
      EXPECT_EQ(Contents(project), "board\n") << "the project keeps every byte";
      EXPECT_TRUE(fs::is_fifo(dir / "fifo.xls") && fs::is_character_file(dir / "nul")) << "no node deleted";
      EXPECT_FALSE(fs::exists(dir / "nothing")) << "nothing written through a link to nothing";
      // The host's Run takes its copy buffer back before it clicks Finish: no copy is made, and none judged.
      const bool noCopy = exit == Exit::HostsRun && copyRow;
      if (!row.reason.empty() && !copyRow && !noCopy) {
        EXPECT_EQ(plat::ShownLog().size(), boxes + 1) << "one box";
        const std::string box = plat::ShownLog().size() > boxes ? plat::ShownLog().back().request.text : "";
        if (row.file == File::Report)
          EXPECT_EQ(box, "File \"" + std::string(record.ReportPathOfProject(row.value.c_str())) +
                             "\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet.");
        else if (row.file == File::Output)
          EXPECT_EQ(box, "The output file \"" + std::string(record.GetOutputFilePath()) + "\" can't be written.\n" +
                             row.reason + "\nPlease specify another output file name.");
        else
          EXPECT_EQ(box, "The settings can't be saved to the file \"" + row.value + "\".\n" + row.reason);
        EXPECT_FALSE(ran);
        // (A refused settings file still leaves the host its copy, which the load named: the loaded file.)
        if (row.file != File::Settings) {
          EXPECT_EQ(fs::exists(loaded) ? Contents(loaded) : "", row.meanwhile == Meanwhile::Removed ? "" : text)
              << "nothing saved";
        }
        EXPECT_TRUE(fs::exists(dir / "old.xls")) << "nothing deleted";
        EXPECT_NE(api->GetWizardWindow(), nullptr);
        if (row.file != File::Settings) {
          EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
        }
      } else if (exit == Exit::Back || exit == Exit::SaveAndClose) {
        EXPECT_EQ(plat::ShownLog().size(), boxes) << "no box";
      } else {
        EXPECT_EQ(plat::ShownLog().size(), boxes) << "no box";
        EXPECT_TRUE(ran) << (plat::ShownLog().size() > boxes ? plat::ShownLog().back().request.text : "");
        const std::string written = row.file == File::Report ? reportAtRun : atRun;
        if (!row.atRun.empty()) {
          EXPECT_EQ(written, row.atRun) << "whole";
        }
        if (!first.empty()) {
          EXPECT_NE(written, first) << "an automatic name passes over what is under it";
        }
        EXPECT_TRUE(!fs::exists(written) || fs::is_regular_file(written)) << written;
        // The old report goes once the finish page was left with it.
        if (exit == Exit::Finish && row.file == File::Report) {
          EXPECT_FALSE(fs::exists(written)) << "the old report went before the run";
        }
      }
      if (cut) {
        EXPECT_EQ(record.m_pSettingsCopyBuffer, nullptr);
        EXPECT_EQ(Contents(inDir + cutName), older) << "the cut name's file is neither loaded nor written";
        EXPECT_EQ(Contents(loaded), text) << "nor is the host's";
      } else if (copyRow) {
        // A copy the rule refuses is not written and leaves the buffer empty; one taken names the settings written.
        // A name the host gave stays what it is.
        const bool refused = !row.reason.empty() && !noCopy;
        EXPECT_EQ(std::string(copy), refused ? "" : loaded.string());
        if (row.meanwhile == Meanwhile::Nothing) {
          EXPECT_NE(Contents(loaded).find("DateTime"), std::string::npos) << "saved";
        } else {
          EXPECT_TRUE(fs::exists(fs::symlink_status(loaded))) << "the host's name is not removed";
        }
      }
      CloseWizard();
      if (!made.empty())
        fs::remove(made);
    }
  }
}

// The old report's delete removes only a regular file, judged at the delete itself (whatever judged the path before):
// a FIFO and a device stay, with a false answer; a link stays too, and so does the project it leads to.
TEST_F(FinishJudgement, TheOldReportsDeleteRemovesOnlyARegularFile) {
  ASSERT_EQ(::mkfifo((dir / "fifo.xls").c_str(), 0600), 0);
  ASSERT_EQ(::mknod((dir / "nul").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0) << "the tests run as root";
  std::ofstream(dir / "old.xls") << "old report\n";
  fs::create_symlink(project, dir / "link.xls");
  const struct {
    const char* name;
    bool answer, stays;
  } rows[] = {{"old.xls", true, false}, {"missing.xls", true, false}, {"fifo.xls", false, true},
              {"nul", false, true},     {"link.xls", true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(brimwiz::DeleteRegularFile((dir / row.name).string().c_str()), row.answer);
    EXPECT_EQ(fs::exists(fs::symlink_status(dir / row.name)), row.stays);
  }
  EXPECT_EQ(Contents(project), "board\n");

  // What another program does between the look and the delete: the folder on the way exchanged for a link to
  // another folder, whose file of that name stays (the file looked at goes, in the folder it was in); the file
  // exchanged for a FIFO, which stays, with a false answer.
  fs::create_directories(dir / "sub");
  fs::create_directories(dir / "other");
  std::ofstream(dir / "sub" / "r.xls") << "old report\n";
  std::ofstream(dir / "other" / "r.xls") << "another file\n";
  std::ofstream(dir / "x.xls") << "old report\n";
  const struct {
    const char* name;
    std::function<void()> meanwhile;
    bool answer;
  } races[] = {
      {"sub/r.xls",
       [&] {
         fs::rename(dir / "sub", dir / "sub.away");
         fs::create_directory_symlink(dir / "other", dir / "sub");
       },
       true},
      {"x.xls",
       [&] {
         fs::rename(dir / "x.xls", dir / "x.away");
         ASSERT_EQ(::mkfifo((dir / "x.xls").c_str(), 0600), 0);
       },
       false},
  };
  for (const auto& race : races) {
    SCOPED_TRACE(race.name);
    const std::string path = (dir / race.name).string();
    int looks = 0;
    plat::FileFaultScope between([&](plat::FileStep step, const std::string&) {
      if (step == plat::FileStep::Remove && looks++ == 0) race.meanwhile();
      return 0;
    });
    EXPECT_EQ(brimwiz::DeleteRegularFile(path.c_str()), race.answer);
    EXPECT_EQ(looks, 1);
  }
  EXPECT_FALSE(fs::exists(dir / "sub.away" / "r.xls"));
  EXPECT_EQ(Contents(dir / "other" / "r.xls"), "another file\n");
  EXPECT_TRUE(fs::is_fifo(dir / "x.xls"));
  EXPECT_EQ(Contents(dir / "x.away"), "old report\n");
}

// With AutoGenerateOutputFileName=1 the output name the host gets, after the load and at its Run, is a file of the
// project's folder named after the base's name alone, whatever folders the base brings, on every wizard.
TEST_F(FinishJudgement, AnAutomaticOutputNameIsAFileOfTheProjectsFolder) {
  const std::vector<std::string> bases = {(dir / "some" / "folder" / "b").string(), "../b", "sub/b", "sub\\b", "x:b"};
  ASSERT_TRUE(board->Pick({"V_DQ1"}));
  const fs::path settings = dir / "demo8.dao";
  // The name the host gets: "<project folder>/b_.<extension>".
  const auto inProjectFolder = [&](const std::string& name) {
    const std::string start = (dir / "b_.").string();
    return name.rfind(start, 0) == 0 && name.find_first_of("\\/", start.size()) == std::string::npos;
  };
  for (const Wizard kind : {Wizard::Decoupling, Wizard::Bypass, Wizard::ViaModel, Wizard::Extractor}) {
    for (const std::string& base : bases) {
      SCOPED_TRACE(std::string(SectionOf(kind)) + " " + base);
      const std::string options = std::string(kind == Wizard::Decoupling ? "Analysis=Lumped\r\n" : "") +
                                  "AutoGenerateOutputFileName=1\r\nBaseOutputFileName=" + base + "\r\n";
      std::ofstream(settings, std::ios::binary | std::ios::trunc) << SettingsText(kind, options, "VCC_3V3");
      ASSERT_TRUE(OpenOn(kind, false, settings));
      EXPECT_PRED1(inProjectFolder, std::string(api->GetOutputFileName())) << "after the load";
      std::string atRun;
      callback.onRun = [&] { atRun = api->GetOutputFileName(); };
      callback.Clear();
      api->Run();
      Pump();
      callback.onRun = nullptr;
      ASSERT_EQ(std::count(callback.Lines().begin(), callback.Lines().end(), "Run"), 1);
      EXPECT_PRED1(inProjectFolder, atRun) << "at the Run";
      CloseWizard();
    }
  }
}

// A typed number put into the record as its page stores it, in the record's unit.
void StoreAsItsPage(int page, int edit, double number) {
  CAnalysisData& record = *GetAnalysisData();
  switch (page) {
    case CDWFrequencyPage::IDD:
      if (edit == CDWFrequencyPage::IDC_SAMPLES)
        (record.m_nFreqSweepMode == SweepAdaptive ? record.m_nMaxAdaptiveFreqNumber : record.m_nNonAdaptiveFreqNumber) =
            static_cast<int>(number);
      else
        (edit == CDWFrequencyPage::IDC_MIN ? record.m_dMinFreq : record.m_dMaxFreq) = number * 1e6;
      break;
    case CDWDebugPage::IDD: record.m_dFDTDInterval = number; break;
    case CDWTargetImpedancePage::IDD: record.m_dTargetImpedance = number * 0.001; break;
    case CDVModelTypePage::IDD: GetDiffViaAnalysisData()->m_dNormalImpedance = number; break;
    case CMENormImpedancePage::IDD: GetModelExtractorAnalysisData()->m_dNormalImpedance = number; break;
    default: ADD_FAILURE() << "no number of page " << page;
  }
}

// Every number field of the four wizards, with numbers at the edge of what its edit shows (15 significant digits):
// Next takes what the page's check of the record (AcceptsRecord) then takes, and refuses, with the box Finish gives,
// what that check refuses of the record holding the typed number. A number Next takes is stored as the edit shows
// it: shown again after Back, Next takes it again.
TEST_F(FinishJudgement, NextTakesExactlyTheNumbersFinishTakesAndRefusesTheRestWithFinishsBox) {
  struct Typed {
    int edit;
    const char* text;
  };
  struct NumberRow {
    const char* name;
    Wizard kind;
    std::string options;
    int page;
    std::vector<Typed> typed;
    std::string box;   // empty: Next takes the numbers
  };
  // Custom settings, the time domain on: every number field shows.
  const std::string custom = "Mode=Custom\r\nUseFDTD=1\r\n";
  const std::string lumped = "Analysis=Lumped\r\n" + custom;
  constexpr int kFrequencies = CDWFrequencyPage::IDD, kMin = CDWFrequencyPage::IDC_MIN,
                kMax = CDWFrequencyPage::IDC_MAX;
  const std::string notAboveMinimum = "Enter maximum frequency greater the minumum";
  const std::string impedanceRange = "Please enter a number between 0.001 and 10000.";
  const std::vector<Typed> oneAndNextAbove = {{kMin, "1"}, {kMax, "1.000000000000001"}};
  const std::vector<NumberRow> rows = {
      {"a maximum that shows as the minimum", Wizard::Decoupling, lumped, kFrequencies,
       oneAndNextAbove, notAboveMinimum},
      {"a minimum that shows as the maximum", Wizard::Decoupling, lumped, kFrequencies,
       {{kMin, "299.99999999999997"}, {kMax, "300"}}, notAboveMinimum},
      {"a maximum a last shown digit above", Wizard::Decoupling, lumped, kFrequencies,
       {{kMin, "1"}, {kMax, "1.00000000000001"}}, ""},
      {"a minimum that shows as the least", Wizard::Decoupling, lumped, kFrequencies,
       {{kMin, "0.0009999999999999999"}, {kMax, "300"}}, ""},
      {"a minimum a last shown digit below the least", Wizard::Decoupling, lumped, kFrequencies,
       {{kMin, "0.000999999999999999"}, {kMax, "300"}}, "Enter minimum frequency 0.001 MHz or greater"},
      {"a maximum that shows as the greatest", Wizard::Decoupling, lumped, kFrequencies,
       {{kMin, "1"}, {kMax, "1.000000000000004e300"}}, ""},
      {"a maximum a last shown digit above the greatest", Wizard::Decoupling, lumped, kFrequencies,
       {{kMin, "1"}, {kMax, "1.00000000000001e300"}}, "Enter maximum frequency 1e+300 MHz or less"},
      {"the most samples", Wizard::Decoupling, lumped + "FreqSweepMode=Linear\r\n", kFrequencies,
       {{CDWFrequencyPage::IDC_SAMPLES, "9999"}}, ""},
      {"one sample too many", Wizard::Decoupling, lumped + "FreqSweepMode=Linear\r\n", kFrequencies,
       {{CDWFrequencyPage::IDC_SAMPLES, "10000"}}, "Enter number of samples between 0 and 9999"},
      {"the largest double as an interval", Wizard::Decoupling, lumped, CDWDebugPage::IDD,
       {{CDWDebugPage::IDC_INTERVAL, "17976931348623157e292"}}, "Please enter a number."},
      {"the largest interval that shows", Wizard::Decoupling, lumped, CDWDebugPage::IDD,
       {{CDWDebugPage::IDC_INTERVAL, "-1.79769313486231e308"}}, ""},
      {"a target that shows as the least", Wizard::Decoupling, lumped, CDWTargetImpedancePage::IDD,
       {{CDWTargetImpedancePage::IDC_TARGET, "0.0009999999999999999"}}, ""},
      {"a target that shows as the greatest", Wizard::Decoupling, lumped, CDWTargetImpedancePage::IDD,
       {{CDWTargetImpedancePage::IDC_TARGET, "10000.00000000001"}}, ""},
      {"a target a last shown digit above the greatest", Wizard::Decoupling, lumped, CDWTargetImpedancePage::IDD,
       {{CDWTargetImpedancePage::IDC_TARGET, "10000.0000000001"}}, impedanceRange},
      {"bypass frequencies", Wizard::Bypass, custom, kFrequencies, oneAndNextAbove, notAboveMinimum},
      {"a bypass interval", Wizard::Bypass, custom, CDWDebugPage::IDD,
       {{CDWDebugPage::IDC_INTERVAL, "-17976931348623157e292"}}, "Please enter a number."},
      {"a bypass target", Wizard::Bypass, custom, CDWTargetImpedancePage::IDD,
       {{CDWTargetImpedancePage::IDC_TARGET, "10000.00000000001"}}, ""},
      {"via-model frequencies", Wizard::ViaModel, custom, kFrequencies, oneAndNextAbove, notAboveMinimum},
      {"a via-model impedance that shows as the least", Wizard::ViaModel, custom, CDVModelTypePage::IDD,
       {{CDVModelTypePage::IDC_IMPEDANCE, "0.0009999999999999999"}}, ""},
      {"a via-model impedance a last shown digit below", Wizard::ViaModel, custom, CDVModelTypePage::IDD,
       {{CDVModelTypePage::IDC_IMPEDANCE, "0.000999999999999999"}}, impedanceRange},
      {"extractor frequencies", Wizard::Extractor, custom, kFrequencies, oneAndNextAbove, notAboveMinimum},
      {"an extractor impedance that shows as the greatest", Wizard::Extractor, custom, CMENormImpedancePage::IDD,
       {{CMENormImpedancePage::IDC_IMPEDANCE, "10000.00000000001"}}, ""},
      {"an extractor impedance a last shown digit above", Wizard::Extractor, custom, CMENormImpedancePage::IDD,
       {{CMENormImpedancePage::IDC_IMPEDANCE, "10000.0000000001"}}, impedanceRange},
  };
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  const fs::path settings = dir / "numbers.dao";
  for (const NumberRow& row : rows) {
    SCOPED_TRACE(row.name);
    const bool takes = row.box.empty();
    std::ofstream(settings, std::ios::binary | std::ios::trunc) << SettingsText(row.kind, row.options, "VCC_3V3");
    ASSERT_TRUE(OpenOn(row.kind, true, settings));
    CDWPage* page = Page(row.page, true);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(ActivePageId(), row.page);
    for (const Typed& typed : row.typed)
      ::SetWindowText(Dialog().FindPageControl(typed.edit, row.page), typed.text);
    const int boxes = BoxesSaying(row.box);
    const std::size_t allBoxes = plat::ShownLog().size();
    Click(BarButton(brimwiz::IDC_WIZ_NEXT));
    Pump();
    EXPECT_EQ(ActivePageId() != row.page, takes) << "Next";
    if (takes) {
      EXPECT_EQ(plat::ShownLog().size(), allBoxes) << "no box";
      EXPECT_TRUE(page->AcceptsRecord()) << "the record Next stored";
      Click(BarButton(brimwiz::IDC_WIZ_BACK));
      Pump();
      ASSERT_EQ(ActivePageId(), row.page);
      Click(BarButton(brimwiz::IDC_WIZ_NEXT));
      Pump();
      EXPECT_NE(ActivePageId(), row.page) << "the number shown again is taken again";
      EXPECT_EQ(plat::ShownLog().size(), allBoxes);
    } else {
      EXPECT_EQ(BoxesSaying(row.box), boxes + 1);
      for (const Typed& typed : row.typed)
        EXPECT_EQ(Text(Dialog().FindPageControl(typed.edit, row.page)), typed.text) << "the edit keeps what was typed";
    }
    CloseWizard();
    // The record holding the typed numbers as the page stores them: the page's check answers as Next did, and Finish
    // shows the page with Next's box.
    ASSERT_TRUE(OpenOn(row.kind, true, settings));
    for (const Typed& typed : row.typed)
      StoreAsItsPage(row.page, typed.edit, std::strtod(typed.text, nullptr));
    ASSERT_NE(Page(row.page, false), nullptr);
    EXPECT_EQ(Page(row.page, false)->AcceptsRecord(), takes) << "the page's check of the record";
    if (!takes) {
      callback.Clear();
      Click(FinishButton());
      Pump();
      EXPECT_EQ(ActivePageId(), row.page);
      EXPECT_EQ(BoxesSaying(row.box), boxes + 2);
      EXPECT_EQ(std::count(callback.Lines().begin(), callback.Lines().end(), "Run"), 0);
    }
    CloseWizard();
  }
}

// A number field of a record, the key that stores it and the page whose edit shows it.
enum class Field { Target, MinFreq, MaxFreq, Interval, AdaptiveCount, NonAdaptiveCount, NormalImpedance };

struct FieldPlace {
  const char* key;
  int page;
  int edit;
};

FieldPlace PlaceOf(Field field) {
  switch (field) {
    case Field::Target: return {"TargetImpedancee", CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_TARGET};
    case Field::MinFreq: return {"MinFreq", CDWFrequencyPage::IDD, CDWFrequencyPage::IDC_MIN};
    case Field::MaxFreq: return {"MaxFreq", CDWFrequencyPage::IDD, CDWFrequencyPage::IDC_MAX};
    case Field::Interval: return {"FDTDInterval", CDWDebugPage::IDD, CDWDebugPage::IDC_INTERVAL};
    case Field::AdaptiveCount:
      return {"MaxAdaptiveFreqNumber", CDWFrequencyPage::IDD, CDWFrequencyPage::IDC_SAMPLES};
    case Field::NonAdaptiveCount:
      return {"NonAdaptiveFreqNumber", CDWFrequencyPage::IDD, CDWFrequencyPage::IDC_SAMPLES};
    case Field::NormalImpedance: break;
  }
  if (dynamic_cast<CDiffViaAnalysisData*>(GetAnalysisData()))
    return {"NormalImpedance", CDVModelTypePage::IDD, CDVModelTypePage::IDC_IMPEDANCE};
  return {"NormalImpedance", CMENormImpedancePage::IDD, CMENormImpedancePage::IDC_IMPEDANCE};
}

// The current record's normalisation impedance (the via-model's or the extractor's).
double& NormalImpedanceOfRecord() {
  if (auto* via = dynamic_cast<CDiffViaAnalysisData*>(GetAnalysisData()))
    return via->m_dNormalImpedance;
  return dynamic_cast<CModelExtractorAnalysisData&>(*GetAnalysisData()).m_dNormalImpedance;
}

double ValueOfRecord(Field field) {
  const CAnalysisData& record = *GetAnalysisData();
  switch (field) {
    case Field::Target: return record.m_dTargetImpedance;
    case Field::MinFreq: return record.m_dMinFreq;
    case Field::MaxFreq: return record.m_dMaxFreq;
    case Field::Interval: return record.m_dFDTDInterval;
    case Field::AdaptiveCount: return record.m_nMaxAdaptiveFreqNumber;
    case Field::NonAdaptiveCount: return record.m_nNonAdaptiveFreqNumber;
    case Field::NormalImpedance: return NormalImpedanceOfRecord();
  }
  return 0;
}

// Puts the number of a text its page took as a number into the record, in the record's unit.
void PutIntoRecord(Field field, const std::string& text) {
  CAnalysisData& record = *GetAnalysisData();
  const double number = std::strtod(text.c_str(), nullptr);
  const int count = static_cast<int>(std::strtoll(text.c_str(), nullptr, 10));
  switch (field) {
    case Field::Target: record.m_dTargetImpedance = number; break;
    case Field::MinFreq: record.m_dMinFreq = number; break;
    case Field::MaxFreq: record.m_dMaxFreq = number; break;
    case Field::Interval: record.m_dFDTDInterval = number; break;
    case Field::AdaptiveCount: record.m_nMaxAdaptiveFreqNumber = count; break;
    case Field::NonAdaptiveCount: record.m_nNonAdaptiveFreqNumber = count; break;
    case Field::NormalImpedance: NormalImpedanceOfRecord() = number; break;
  }
}

// A number a settings file holds loads as its page makes of it: read as the page reads a typed number (the whole
// text one decimal number, blanks at its ends allowed), judged as the page's edit shows it and kept as Next on the
// page stores it; what the page refuses, as no number or as a number, loads as the file's missing key does. The
// page is driven: the text typed into its edit (Next refuses no number with the exchange's prompt), then, for a
// number, the record holding it shown by the page and Next clicked.
TEST_F(FinishJudgement, ALoadedNumberIsWhatItsPageMakesOfItOrTheDefault) {
  // A row: a ranged setting of a record and the file texts tried, at the edges of what its page shows and reads.
  struct LoadRow {
    Wizard kind;
    Field field;
    std::vector<const char*> texts;
  };
  const std::vector<LoadRow> rows = {
      {Wizard::Decoupling, Field::Target,
       {"10.000000000000002", "0.0000009999999999999998", "10.0000000000001", "0.000000999999999999999", "0.012abc",
        " 5 ", "+5", "0x10", "1,5", "nan", "1e309", "-0", ""}},
      {Wizard::Decoupling, Field::MinFreq, {"999.9999999999999", "999.999999999999", "2e6Hz", "1234567.8", "1e-320"}},
      {Wizard::Decoupling, Field::MaxFreq,
       {"1.0000000000000002e306", "1.00000000000001e306", "1000000.0000000002", "3e8 ", "1.7976931348623157e308"}},
      {Wizard::Decoupling, Field::Interval,
       {"1.7976931348623157e308", "-1.79769313486231e308", "0.1000000000000000055", "4.9e-324", "5s", "0x1p4"}},
      {Wizard::Decoupling, Field::AdaptiveCount,
       {"0x10", "12abc", "40.9", "9999", "10000", " +7 ", "-0", "4294967300", "1e3"}},
      {Wizard::Decoupling, Field::NonAdaptiveCount, {"40.9", "0"}},
      {Wizard::Bypass, Field::Target, {"10.000000000000002"}},
      {Wizard::Bypass, Field::MinFreq, {"999.9999999999999"}},
      {Wizard::Bypass, Field::MaxFreq, {"1.0000000000000002e306"}},
      {Wizard::Bypass, Field::Interval, {"nan"}},
      {Wizard::Bypass, Field::AdaptiveCount, {"12abc"}},
      {Wizard::ViaModel, Field::NormalImpedance,
       {"10000.000000000002", "0.0009999999999999998", "10000.0000000001", "85abc"}},
      {Wizard::ViaModel, Field::MinFreq, {"2e6Hz"}},
      {Wizard::ViaModel, Field::MaxFreq, {"1.0000000000000002e306"}},
      {Wizard::ViaModel, Field::Interval, {"-0"}},
      {Wizard::ViaModel, Field::NonAdaptiveCount, {"0x10"}},
      {Wizard::Extractor, Field::NormalImpedance,
       {"10000.000000000002", "0.0009999999999999998", "0.000999999999999999", " 1e-3 ", "0x10"}},
      {Wizard::Extractor, Field::MinFreq, {"999.9999999999999"}},
      {Wizard::Extractor, Field::MaxFreq, {"2e6Hz"}},
      {Wizard::Extractor, Field::Interval, {"1e-320"}},
      {Wizard::Extractor, Field::AdaptiveCount, {"40.9"}},
  };
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  const fs::path withKey = dir / "number.dao", withoutKey = dir / "default.dao";
  const auto noNumberBoxes = [] {
    return BoxesSaying("Please enter a number.") + BoxesSaying("Please enter an integer.");
  };
  for (const LoadRow& row : rows) {
    for (const char* text : row.texts) {
      SCOPED_TRACE(std::string(SectionOf(row.kind)) + " " + std::to_string(static_cast<int>(row.field)) + " \"" +
                   text + "\"");
      std::string options = "Mode=Custom\r\nUseFDTD=1\r\n";
      if (row.kind == Wizard::Decoupling)
        options = "Analysis=Lumped\r\n" + options;
      if (row.field == Field::NonAdaptiveCount)
        options += "FreqSweepMode=Linear\r\n";
      std::ofstream(withoutKey, std::ios::binary | std::ios::trunc) << SettingsText(row.kind, options, "VCC_3V3");
      // The default (the file without the key), and the page's reading of the text typed into its edit: Next
      // refuses no number with the exchange's prompt.
      ASSERT_TRUE(OpenOn(row.kind, true, withoutKey));
      const FieldPlace place = PlaceOf(row.field);
      const double fallback = ValueOfRecord(row.field);
      ASSERT_NE(Page(place.page, true), nullptr);
      ::SetWindowText(Dialog().FindPageControl(place.edit, place.page), text);
      const int refusals = noNumberBoxes();
      Click(BarButton(brimwiz::IDC_WIZ_NEXT));
      Pump();
      const bool number = noNumberBoxes() == refusals;
      CloseWizard();
      // The load's answer.
      std::ofstream(withKey, std::ios::binary | std::ios::trunc)
          << SettingsText(row.kind, options + place.key + "=" + text + "\r\n", "VCC_3V3");
      ASSERT_TRUE(OpenOn(row.kind, true, withKey));
      const double loaded = ValueOfRecord(row.field);
      CloseWizard();
      double expected = fallback;
      // The page's answer for a number: the record holding it, shown by the page; Next stores it or refuses it.
      if (number) {
        ASSERT_TRUE(OpenOn(row.kind, true, withoutKey));
        PutIntoRecord(row.field, text);
        ASSERT_NE(Page(place.page, true), nullptr);
        const std::size_t boxes = plat::ShownLog().size();
        Click(BarButton(brimwiz::IDC_WIZ_NEXT));
        Pump();
        if (plat::ShownLog().size() == boxes && ActivePageId() != place.page)
          expected = ValueOfRecord(row.field);
        CloseWizard();
      }
      EXPECT_EQ(loaded, expected) << (number ? "a number" : "no number") << "; the default is " << fallback;
    }
  }
}

}  // namespace
