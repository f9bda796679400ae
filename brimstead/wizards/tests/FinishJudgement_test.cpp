// Finish and "Save && Run" on any page of the four wizards judge the whole record by the checks of the pages the run
// goes through, before anything is saved or run: settings the host loads may hold what a page refuses although the
// page was never shown.
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/wizards/DWDebugPage.h"
#include "brimstead/wizards/DWFinishPage.h"
#include "brimstead/wizards/DWFrequencyPage.h"
#include "brimstead/wizards/DWSelectNetPage.h"
#include "brimstead/wizards/VornWizTabCtrl.h"
#include "brimstead/wizards/WizStepNode.h"
#include "brimstead/wizards/WizardDlg.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace wiztest;
namespace fs = std::filesystem;

namespace {

enum class Wizard { Decoupling, Bypass, ViaModel, Extractor };
// The ways that run: Finish clicked on the page the wizard opens on, "Save && Run" clicked on another page, the
// host's Run (which clicks Finish).
enum class Way { FinishOnFirstPage, SaveAndRunOnAnotherPage, HostsRun };

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
  CVornWizTabCtrl& Steps() { return *Dialog().GetFrame()->GetStepList(); }
  int ActivePageId() {
    CDWPage* page = Dialog().GetActivePage();
    return page ? static_cast<int>(page->GetTemplateId()) : 0;
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
};

// Each row, the settings loaded anew for each way that runs; after "Save && Run" the close box. A refused record
// reaches neither the host's Run nor the settings file.
TEST_F(FinishJudgement, LoadedSettingsThatAPageRefusesShowThatPageWithItsBoxAndRunAndSaveNothing) {
  const std::string missing = (dir / "missing" / "report.xls").string();
  // 1 MHz and the next double above it read back as one number in the frequency edits.
  const std::string sameFrequencies = "MinFreq=1000000\r\nMaxFreq=1000000.0000000002\r\n";
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
      {"frequencies that read back as one", Wizard::Decoupling, false, lumped + sameFrequencies, "VCC_3V3",
       CDWFrequencyPage::IDD, "Enter maximum frequency greater the minumum"},
      {"an interval the edit cannot show", Wizard::Decoupling, true,
       lumped + "Mode=Custom\r\nUseFDTD=1\r\nFDTDInterval=1.7976931348623157e308\r\n", "VCC_3V3", CDWDebugPage::IDD,
       "Please enter a number."},
      {"bypass frequencies", Wizard::Bypass, false, sameFrequencies, "", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum"},
      {"via-model frequencies", Wizard::ViaModel, false, sameFrequencies, "", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum"},
      {"extractor frequencies", Wizard::Extractor, false, sameFrequencies, "", CDWFrequencyPage::IDD,
       "Enter maximum frequency greater the minumum"},
      // A Quick analysis skips the frequency step, whose check then judges nothing.
      {"frequencies of a skipped step", Wizard::Decoupling, false,
       "Analysis=Quick\r\nDRCReportMode=NoReport\r\n" + sameFrequencies, "VCC_3V3", 0, ""},
      {"settings every page takes", Wizard::Decoupling, false, lumped, "VCC_3V3", 0, ""},
  };
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  // The project's own settings file, which a save writes.
  const fs::path settings = dir / "demo8.dao";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = "[BOARD]\r\nProjectPath=demo8.brd\r\nBoardIdx=0\r\n";
    if (row.kind == Wizard::Decoupling)
      text += "Net1_Name=GND\r\nNet2_Name=" + row.net2 + "\r\n";
    text += "[HEADER]\r\nFileVersion=1.0\r\n[" + std::string(SectionOf(row.kind)) + "]\r\n" + row.options;
    for (const Way way : {Way::FinishOnFirstPage, Way::SaveAndRunOnAnotherPage, Way::HostsRun}) {
      const bool onAnotherPage = way == Way::SaveAndRunOnAnotherPage;
      SCOPED_TRACE(static_cast<int>(way));
      std::ofstream(settings, std::ios::binary | std::ios::trunc) << text;
      Open(row.kind, row.debug);
      ASSERT_TRUE(api->LoadSettings(settings.string().c_str()));
      Pump();
      ASSERT_EQ(fs::path(GetAnalysisData()->m_SettingsPath.GetString()), settings);
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

}  // namespace
