// The decoupling-analysis wizard's option, target, frequency and finish pages driven through the running wizard by
// clicks and typing: what each page shows for a record, what it stores and when, and how it refuses bad input.
// Pages of the other wizard kinds are shown alone, on a record of that kind.
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/wizards/ControlText.h"
#include "brimstead/wizards/DWAnalysisSettingsPage.h"
#include "brimstead/wizards/DWAnalysisTypePage.h"
#include "brimstead/wizards/DWCapModelsPage2.h"
#include "brimstead/wizards/DWCustomSettingsPage.h"
#include "brimstead/wizards/DWDebugPage.h"
#include "brimstead/wizards/DWFinishPage.h"
#include "brimstead/wizards/DWFrequencyPage.h"
#include "brimstead/wizards/DWTargetImpedancePage.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "platform/base/FileFaults.h"
#include "platform/base/IniStore.h"
#include "platform/base/PrivateProfile.h"
#include "platform/controls/winctrl.h"
#include "platform/window/InputRouter.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

using namespace wiztest;
using namespace brimwiz;
namespace fs = std::filesystem;

namespace {

bool Enabled(HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; }
bool Shown(HWND hwnd) { return (GetWindowLong(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
bool Checked(HWND hwnd) { return ::SendMessage(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class WizardPages : public WizardRunTest {
protected:
  HWND Control(int pageId, int id) { return PageControl(pageId, id); }
  // Clicks into the edit, replaces its whole text by typing, and leaves the focus there.
  void TypeInto(HWND edit, const std::string& text) {
    Click(edit);
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    plat::InputRouter::Instance().TypeText(text);
    Pump();
  }
  // The message boxes shown so far with this text.
  static int BoxesSaying(const std::string& text) {
    int count = 0;
    for (const plat::ShownRecord& shown : plat::ShownLog())
      if (shown.request.kind == plat::SystemUiKind::MessageBox && shown.request.text == text)
        ++count;
    return count;
  }
  // The whole text of the edit is selected and it has the focus.
  static void ExpectFocusedAndSelected(HWND edit) {
    EXPECT_EQ(::GetFocus(), edit);
    DWORD from = 0, to = 0;
    ::SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, static_cast<DWORD>(Text(edit).size()));
  }
  // Answers every stop box (the pages' refusals and the class library's prompts) with OK.
  void AnswerBoxes() { automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true); }
  // Two supply nets of the board, so that a Quick or Lumped record checks.
  void ChooseNets() {
    auto& record = static_cast<CDecouplingAnalysisData&>(Record());
    CHostCollectionRef nets(record.m_pBoard->GetNets());
    ASSERT_GE(nets.Count(), 2);
    record.m_pNet1 = nets.Item<CHostNet>(0);
    record.m_pNet2 = nets.Item<CHostNet>(1);
  }
};

TEST_F(WizardPages, EasyShowsThePresetGreyedAndStoresNothingCustomShowsTheRecord) {
  ASSERT_TRUE(api->CreateModeless());
  Record().m_bIncludeAllNets = 0;
  Record().m_bIncludeLowFreqConnections = 1;
  GoTo(CDWCustomSettingsPage::IDD);
  const int boxes[] = {CDWCustomSettingsPage::IDC_ALL_NETS, CDWCustomSettingsPage::IDC_MOUNTING,
                       CDWCustomSettingsPage::IDC_INTER_PLANE, CDWCustomSettingsPage::IDC_LOW_FREQ};
  auto states = [&] {
    std::vector<int> checks;
    for (int id : boxes)
      checks.push_back(Checked(Control(CDWCustomSettingsPage::IDD, id)) ? 1 : 0);
    return checks;
  };
  EXPECT_EQ(states(), (std::vector<int>{1, 1, 1, 0}));
  for (int id : boxes)
    EXPECT_FALSE(Enabled(Control(CDWCustomSettingsPage::IDD, id))) << id;
  EXPECT_FALSE(Shown(Control(CDWCustomSettingsPage::IDD, CDWCustomSettingsPage::IDC_DEFAULT)));
  Click(Next());
  EXPECT_EQ(Record().m_bIncludeAllNets, 0) << "Easy stores nothing";
  EXPECT_EQ(Record().m_bIncludeLowFreqConnections, 1);

  Click(Back());
  Click(Back());
  ASSERT_EQ(ActivePageId(), CDWAnalysisSettingsPage::IDD);
  Click(Control(CDWAnalysisSettingsPage::IDD, CDWAnalysisSettingsPage::IDC_CUSTOM));
  EXPECT_EQ(Record().m_nMode, 1) << "stored by the click";
  Click(Next());
  EXPECT_EQ(states(), (std::vector<int>{0, 1, 1, 1}));
  for (int id : boxes)
    EXPECT_TRUE(Enabled(Control(CDWCustomSettingsPage::IDD, id))) << id;
  Click(Control(CDWCustomSettingsPage::IDD, CDWCustomSettingsPage::IDC_MOUNTING));
  Click(Next());
  EXPECT_EQ(Record().m_bIncludeMounting, 0);
  Click(Back());
  Click(Control(CDWCustomSettingsPage::IDD, CDWCustomSettingsPage::IDC_DEFAULT));
  EXPECT_EQ(states(), (std::vector<int>{1, 1, 1, 0}));
  ExpectMatchesReference(api->GetWizardWindow(), "page-custom");
}

TEST_F(WizardPages, TheAnalysisTypeIsStoredByItsClickAndQuickHidesTheSettingSteps) {
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWAnalysisTypePage::IDD);
  EXPECT_TRUE(Checked(Control(CDWAnalysisTypePage::IDD, CDWAnalysisTypePage::IDC_LUMPED))) << "the record's type";
  ExpectMatchesReference(api->GetWizardWindow(), "page-analysis-type");
  Click(Control(CDWAnalysisTypePage::IDD, CDWAnalysisTypePage::IDC_QUICK));
  EXPECT_EQ(Record().m_nAnalysisType, AnalysisQuick);
  for (WizardStepRole role : {WizardStepRole::TargetImpedance, WizardStepRole::AnalysisSettings,
                              WizardStepRole::CustomSettings, WizardStepRole::FrequencySweep})
    EXPECT_FALSE(Dialog().GetStep(role)->IsVisible()) << static_cast<int>(role);
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD) << "the hidden steps are skipped";
  Click(Back());
  Click(Control(CDWAnalysisTypePage::IDD, CDWAnalysisTypePage::IDC_DISTRIBUTED));
  EXPECT_EQ(Record().m_nAnalysisType, AnalysisDistributed);
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWTargetImpedancePage::IDD);
}

class DebugPage : public WizardPages {
protected:
  void Open(int type, int mode) {
    api->EnableDebugOptions();
    ASSERT_TRUE(api->CreateModeless());
    Record().m_nAnalysisType = type;
    Record().m_nMode = mode;
    GoTo(CDWDebugPage::IDD);
  }
  HWND Item(int id) { return Control(CDWDebugPage::IDD, id); }
};

TEST_F(DebugPage, QuickHidesThePreparationBoxesAndNeverChangesTheRecordsFlag) {
  Record().m_bDRCOnly = 1;
  Open(AnalysisQuick, 1);
  EXPECT_FALSE(Shown(Item(CDWDebugPage::IDC_PREPARATION_ONLY)));
  EXPECT_FALSE(Shown(Item(CDWDebugPage::IDC_SKIP_STITCHING)));
  Click(Next());
  EXPECT_EQ(Record().m_bDRCOnly, 1);
}

TEST_F(DebugPage, TimeDomainClearsAndGreysPassivityAndShowsTheInterval) {
  Open(AnalysisLumped, 1);
  EXPECT_TRUE(Checked(Item(CDWDebugPage::IDC_FORCE_PASSIVITY)));
  EXPECT_FALSE(Shown(Item(CDWDebugPage::IDC_INTERVAL)));
  Click(Item(CDWDebugPage::IDC_TIME_DOMAIN));
  EXPECT_FALSE(Checked(Item(CDWDebugPage::IDC_FORCE_PASSIVITY)));
  EXPECT_FALSE(Enabled(Item(CDWDebugPage::IDC_FORCE_PASSIVITY)));
  for (int id : {int{CDWDebugPage::IDC_INTERVAL}, int{CDWDebugPage::IDC_INTERVAL_LABEL},
                 int{CDWDebugPage::IDC_INTERVAL_UNIT}, int{CDWDebugPage::IDC_SHOW_VIEWER}})
    EXPECT_TRUE(Shown(Item(id))) << id;
  ExpectMatchesReference(api->GetWizardWindow(), "page-debug");
  TypeInto(Item(CDWDebugPage::IDC_INTERVAL), "2.5");
  Click(Next());
  EXPECT_EQ(Record().m_bUseFDTD, 1);
  EXPECT_EQ(Record().m_dFDTDInterval, 2.5);
  EXPECT_EQ(Record().m_bForcePassivity, 1) << "kept while time-domain is on";
}

TEST_F(DebugPage, ClearingPreparationOnlyClearsStitchingViasInTheRecordAtOnce) {
  Record().m_bDRCOnly = 1;
  Record().m_bSkipStitchingVias = 1;
  Open(AnalysisDistributed, 0);
  EXPECT_FALSE(Enabled(Item(CDWDebugPage::IDC_TIME_DOMAIN))) << "Easy";
  EXPECT_TRUE(Shown(Item(CDWDebugPage::IDC_SKIP_STITCHING)));
  EXPECT_TRUE(Enabled(Item(CDWDebugPage::IDC_SKIP_STITCHING)));
  Click(Item(CDWDebugPage::IDC_PREPARATION_ONLY));
  EXPECT_EQ(Record().m_bDRCOnly, 0);
  EXPECT_EQ(Record().m_bSkipStitchingVias, 0);
  EXPECT_FALSE(Checked(Item(CDWDebugPage::IDC_SKIP_STITCHING)));
  EXPECT_FALSE(Enabled(Item(CDWDebugPage::IDC_SKIP_STITCHING)));
}

TEST_F(WizardPages, TargetImpedanceIsShownInMilliohmsAndRangeChecked) {
  AnswerBoxes();
  callback.AnswerMayClose(false);
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWTargetImpedancePage::IDD);
  HWND edit = Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_TARGET);
  EXPECT_EQ(Text(edit), "1") << "0.001 ohm";
  ExpectMatchesReference(api->GetWizardWindow(), "page-target");
  TypeInto(edit, "0.0001");
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWTargetImpedancePage::IDD);
  EXPECT_EQ(BoxesSaying("Please enter a number between 0.001 and 10000."), 1);
  EXPECT_EQ(::GetFocus(), edit);
  TypeInto(edit, "abc");
  Click(Next());
  ASSERT_EQ(BoxesSaying("Please enter a number."), 1);
  EXPECT_EQ(plat::ShownLog().back().request.caption, "Brimstead") << "the class library's box names the module";
  callback.Clear();
  Key(VK_ESCAPE);
  EXPECT_TRUE(Lines().empty()) << "no Cancel while the page is invalid";
  TypeInto(edit, "0.5");
  Click(Next());
  EXPECT_EQ(Record().m_dTargetImpedance, 0.0005);
}

// A settings file's numbers that the pages would refuse reach them as the record's defaults, which they accept.
TEST_F(WizardPages, NumbersOfAFileThePagesWouldRefuseShowAsTheDefaults) {
  AnswerBoxes();
  const std::string file = (dir / "bad-numbers.dao").string();
  std::ofstream(file, std::ios::binary) << "[OPTIONS_DW]\r\nMode=Custom\r\nTargetImpedancee=nan\r\nMinFreq=-1\r\n"
                                           "MaxFreq=inf\r\n";
  ASSERT_TRUE(api->CreateModeless());
  ASSERT_TRUE(api->LoadSettings(file.c_str()));
  Pump();
  ASSERT_EQ(Record().m_nMode, 1) << "the file was loaded";
  GoTo(CDWTargetImpedancePage::IDD);
  EXPECT_EQ(Text(Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_TARGET)), "1");
  GoTo(CDWFrequencyPage::IDD);
  EXPECT_EQ(Text(Control(CDWFrequencyPage::IDD, CDWFrequencyPage::IDC_MIN)), "1");
  EXPECT_EQ(Text(Control(CDWFrequencyPage::IDD, CDWFrequencyPage::IDC_MAX)), "300");
  EXPECT_EQ(BoxesSaying("Please enter a number between 0.001 and 10000."), 0);
}

// The calculator on the target page: its pages in order, the result after going back, Cancel changes nothing.
TEST_F(WizardPages, TheCalculatorRecomputesAfterBackAndItsCancelLeavesTheTargetPageAsItWas) {
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWTargetImpedancePage::IDD);
  HWND edit = Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_TARGET);
  auto sheet = [] { return ::GetActiveWindow(); };
  auto press = [&](int id) { Click(::GetDlgItem(sheet(), id)); };
  auto pageItem = [&](int id) {
    HWND page = ::GetWindow(sheet(), GW_CHILD);
    for (; page; page = ::GetWindow(page, GW_HWNDNEXT))
      if (HWND item = ::GetDlgItem(page, id); item && Shown(page))
        return item;
    return HWND{};
  };
  std::string result;
  automation.Then([&] {
    EXPECT_EQ(Text(sheet()), "Target-Z Wizard - Specify Peak Transient Current");
    EXPECT_EQ(Text(pageItem(1156)), "1");
    press(ID_WIZNEXT);
    EXPECT_EQ(Text(sheet()), "Target-Z Wizard - Specify Supply Voltage and Max Ripple");
    press(ID_WIZNEXT);
    EXPECT_EQ(Text(pageItem(1155)), "90");
    ExpectMatchesReference(sheet(), "targetz-finish");
    press(ID_WIZBACK);
    ::SetWindowText(pageItem(1153), "0.1");
    press(ID_WIZNEXT);
    result = Text(pageItem(1155));
    press(IDCANCEL);
  });
  Click(Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_CALCULATOR));
  EXPECT_EQ(result, "5") << "0.1 V x 5 % / 1 A";
  EXPECT_EQ(Text(edit), "1") << "a cancelled calculator leaves the page's value";

  // A current of 0 is refused by the range check; 100 A, 0.1 V and 0.1 % give 1e-6 ohm.
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "Please enter a number between 1e-06 and 100.");
  automation.Then([&] {
    ::SetWindowText(pageItem(1156), "0");
    press(ID_WIZNEXT);
    EXPECT_EQ(Text(sheet()), "Target-Z Wizard - Specify Peak Transient Current");
    ::SetWindowText(pageItem(1156), "100");
    press(ID_WIZNEXT);
    ::SetWindowText(pageItem(1153), "0.1");
    ::SetWindowText(pageItem(1154), "0.1");
    press(ID_WIZNEXT);
    EXPECT_EQ(Text(pageItem(1155)), "0.001");
    press(ID_WIZFINISH);
  });
  Click(Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_CALCULATOR));
  EXPECT_EQ(Text(edit), "0.001");
  Click(Next());
  EXPECT_DOUBLE_EQ(Record().m_dTargetImpedance, 1e-6);
}

// A value typed and not yet stored survives a calculator the user cancels (with Escape or its Cancel): the edit keeps
// it, and leaving the page stores it.
TEST_F(WizardPages, ACancelledCalculatorKeepsTheTargetTheUserTyped) {
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWTargetImpedancePage::IDD);
  HWND edit = Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_TARGET);
  TypeInto(edit, "7");
  automation.Then([] { Click(::GetDlgItem(::GetActiveWindow(), IDCANCEL)); });
  Click(Control(CDWTargetImpedancePage::IDD, CDWTargetImpedancePage::IDC_CALCULATOR));
  EXPECT_EQ(Text(edit), "7");
  Click(Next());
  EXPECT_NE(ActivePageId(), CDWTargetImpedancePage::IDD);
  EXPECT_DOUBLE_EQ(Record().m_dTargetImpedance, 0.007);
}

class FrequencyPage : public WizardPages {
protected:
  void Open(int mode) {
    AnswerBoxes();
    ASSERT_TRUE(api->CreateModeless());
    Record().m_nMode = mode;
    GoTo(CDWFrequencyPage::IDD);
  }
  HWND Item(int id) { return Control(CDWFrequencyPage::IDD, id); }
};

TEST_F(FrequencyPage, TheMinimumAndMaximumAreCheckedOnceWhenTheirEditLosesTheFocus) {
  Open(0);
  HWND min = Item(CDWFrequencyPage::IDC_MIN), max = Item(CDWFrequencyPage::IDC_MAX);
  EXPECT_EQ(Text(min), "1");
  EXPECT_EQ(Text(max), "300");
  ExpectMatchesReference(api->GetWizardWindow(), "page-frequency");
  TypeInto(min, "0.0009");
  Key(VK_TAB);
  EXPECT_EQ(BoxesSaying("Enter minimum frequency 0.001 MHz or greater"), 1) << "one check, never a nested one";
  ExpectFocusedAndSelected(min);
  EXPECT_EQ(Record().m_dMinFreq, 1e6);
  TypeInto(min, "0.001");
  Key(VK_TAB);
  EXPECT_EQ(Record().m_dMinFreq, 1e3) << "exactly 0.001 MHz passes";
  TypeInto(max, "0.001");
  Key(VK_TAB);
  EXPECT_EQ(BoxesSaying("Enter maximum frequency greater the minumum"), 1);
  ExpectFocusedAndSelected(max);
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWFrequencyPage::IDD);
  EXPECT_EQ(BoxesSaying("Enter maximum frequency greater the minumum"), 2);
}

// A maximum whose hertz would overflow (1e305 MHz) is refused: the record never holds an infinite sweep, which the
// page would then show as "inf" and refuse to leave; the largest accepted maximum comes back as typed.
TEST_F(FrequencyPage, AMaximumBeyondWhatHertzCanHoldIsRefused) {
  Open(0);
  HWND max = Item(CDWFrequencyPage::IDC_MAX);
  TypeInto(max, "1e305");
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWFrequencyPage::IDD);
  EXPECT_EQ(BoxesSaying("Enter maximum frequency 1e+300 MHz or less"), 1);
  ExpectFocusedAndSelected(max);
  EXPECT_EQ(Record().m_dMaxFreq, 3e8);
  TypeInto(max, "1e300");
  Click(Next());
  EXPECT_NE(ActivePageId(), CDWFrequencyPage::IDD);
  EXPECT_EQ(Record().m_dMaxFreq, 1e306);
  Click(Back());
  EXPECT_EQ(Text(max), "1e+300");
}

TEST_F(FrequencyPage, EasyShowsFiftyGreyedSamplesAndStoresOnlyTheFrequencies) {
  Record().m_nNonAdaptiveFreqNumber = 70;
  Record().m_nFreqSweepMode = SweepLinear;
  Open(0);
  HWND samples = Item(CDWFrequencyPage::IDC_SAMPLES);
  EXPECT_EQ(Text(samples), "50");
  EXPECT_FALSE(Enabled(samples));
  EXPECT_FALSE(Enabled(Item(CDWFrequencyPage::IDC_LINEAR)));
  EXPECT_TRUE(Enabled(Item(CDWFrequencyPage::IDC_MAX)));
  TypeInto(Item(CDWFrequencyPage::IDC_MAX), "500");
  Click(Next());
  EXPECT_EQ(Record().m_dMaxFreq, 5e8);
  EXPECT_EQ(Record().m_nFreqSweepMode, SweepLinear);
  EXPECT_EQ(Record().m_nNonAdaptiveFreqNumber, 70);
}

TEST_F(FrequencyPage, SampleCountsStayApartAndOutOfRangeCountsAreRefusedAfterTheModeIsStored) {
  Record().m_nMaxAdaptiveFreqNumber = 40;
  Record().m_nNonAdaptiveFreqNumber = 70;
  Open(1);
  HWND samples = Item(CDWFrequencyPage::IDC_SAMPLES);
  EXPECT_EQ(Text(samples), "40");
  EXPECT_EQ(Text(Item(CDWFrequencyPage::IDC_SAMPLES_LABEL)), CDWFrequencyPage::AdaptiveSamplesLabel);
  TypeInto(samples, "41");
  Click(Item(CDWFrequencyPage::IDC_LINEAR));
  EXPECT_EQ(Text(samples), "70");
  EXPECT_EQ(Text(Item(CDWFrequencyPage::IDC_SAMPLES_LABEL)), CDWFrequencyPage::SamplesLabel);
  EXPECT_FALSE(Shown(Item(CDWFrequencyPage::IDC_ACCURACY)));
  Click(Item(CDWFrequencyPage::IDC_ADAPTIVE));
  EXPECT_EQ(Text(samples), "41") << "the adaptive count was kept when switching away";
  Click(Item(CDWFrequencyPage::IDC_LINEAR));

  TypeInto(samples, "10000");
  Click(Next());
  EXPECT_EQ(BoxesSaying("Enter number of samples between 0 and 9999"), 1);
  ExpectFocusedAndSelected(samples);
  EXPECT_EQ(Record().m_nFreqSweepMode, SweepLinear) << "stored before the count was refused";
  Click(Item(CDWFrequencyPage::IDC_ADAPTIVE));
  TypeInto(samples, "-1");
  Click(Next());
  EXPECT_EQ(BoxesSaying("Enter 0 to use default number of sweeps"), 1);

  // A refused frequency: mode, count and accuracy are stored, the frequencies are not.
  TypeInto(samples, "0");
  Click(Item(CDWFrequencyPage::IDC_LOGARITHMIC));
  // The maximum is set without the focus passing through its edit, so that only the page's validation checks it.
  ::SetWindowText(Item(CDWFrequencyPage::IDC_MAX), "0.5");
  TypeInto(samples, "9999");
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWFrequencyPage::IDD);
  EXPECT_EQ(Record().m_nFreqSweepMode, SweepLogarithmic);
  EXPECT_EQ(Record().m_nNonAdaptiveFreqNumber, 9999);
  EXPECT_EQ(Record().m_nMaxAdaptiveFreqNumber, 0);
  EXPECT_EQ(Record().m_dMaxFreq, 3e8);
  TypeInto(Item(CDWFrequencyPage::IDC_MAX), "600");
  Click(Next());
  EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
  EXPECT_EQ(Record().m_dMaxFreq, 6e8);
}

// Default after both numbers were typed (and stored by the focus loss's check) shows and stores both defaults.
TEST_F(FrequencyPage, DefaultAfterTypingBothNumbersResetsBoth) {
  Open(1);
  HWND min = Item(CDWFrequencyPage::IDC_MIN), max = Item(CDWFrequencyPage::IDC_MAX);
  TypeInto(min, "5");
  TypeInto(max, "500");
  Key(VK_TAB);
  ASSERT_EQ(Record().m_dMinFreq, 5e6);
  ASSERT_EQ(Record().m_dMaxFreq, 5e8);
  Click(Item(CDWFrequencyPage::IDC_DEFAULT));
  EXPECT_EQ(Text(min), "1");
  EXPECT_EQ(Text(max), "300");
  Click(Next());
  EXPECT_NE(ActivePageId(), CDWFrequencyPage::IDD);
  EXPECT_EQ(Record().m_dMinFreq, 1e6);
  EXPECT_EQ(Record().m_dMaxFreq, 3e8);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FinishPage : public WizardPages {
protected:
  HWND Item(int id) { return Control(CDWFinishPage::IDD, id); }
  void OpenQuick() {
    ASSERT_TRUE(api->CreateModeless());
    Record().m_nAnalysisType = AnalysisQuick;
    ChooseNets();
    GoTo(CDWFinishPage::IDD);
  }
  std::string Spreadsheet() { return Record().m_DRCReportFile.GetString(); }
};

TEST_F(FinishPage, TheReportIsOfferedForAQuickAnalysisAndItsFormatSetsTheExtension) {
  OpenQuick();
  EXPECT_FALSE(Enabled(Item(CDWFinishPage::IDC_AUTO_NAME))) << "a Quick analysis writes no output file";
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_OUTPUT)), "");
  EXPECT_TRUE(Checked(Item(CDWFinishPage::IDC_SPREADSHEET)));
  EXPECT_TRUE(Checked(Item(CDWFinishPage::IDC_XLS)));
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_SPREADSHEET_PATH)), "demo8.xls");
  ExpectMatchesReference(api->GetWizardWindow(), "page-finish");
  Click(Item(CDWFinishPage::IDC_CSV));
  EXPECT_EQ(Record().m_nDRCReportMode, DRCReportCSV);
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_SPREADSHEET_PATH)), "demo8.csv");
  automation.Reply(plat::SystemUiKind::FileOpen, {IDOK, (dir / "report").string(), 0});
  Click(Item(CDWFinishPage::IDC_SPREADSHEET_BROWSE));
  EXPECT_EQ(plat::ShownLog().back().request.buttons,
            (std::vector<std::string>{"Comma-separated Files (*.csv)\t*.csv", "All files (*.*)\t*.*"}));
  EXPECT_EQ(Spreadsheet(), (dir / "report.csv").string()) << "the default extension \".csv\" adds one dot";
  Click(Item(CDWFinishPage::IDC_SPREADSHEET));
  EXPECT_EQ(Record().m_nDRCReportMode, DRCNoReport);
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_SPREADSHEET_PATH)), "");
  EXPECT_FALSE(Enabled(Item(CDWFinishPage::IDC_CSV)));
  Click(Item(CDWFinishPage::IDC_SPREADSHEET));
  EXPECT_EQ(Record().m_nDRCReportMode, DRCReportCSV) << "the format chosen before";

  Click(Back());
  Click(Control(CDWAnalysisTypePage::IDD, CDWAnalysisTypePage::IDC_LUMPED));
  GoTo(CDWFinishPage::IDD);
  for (int id = CDWFinishPage::IDC_SPREADSHEET; id <= CDWFinishPage::IDC_SPREADSHEET_BROWSE;
       id = id == CDWFinishPage::IDC_SPREADSHEET ? CDWFinishPage::IDC_XLS : id + 1) {
    EXPECT_TRUE(Shown(Item(id))) << id;
    EXPECT_FALSE(Enabled(Item(id))) << id;
  }
  EXPECT_FALSE(Checked(Item(CDWFinishPage::IDC_SPREADSHEET)));
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_SPREADSHEET_PATH)), "");
  EXPECT_TRUE(Checked(Item(CDWFinishPage::IDC_AUTO_NAME)));
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_OUTPUT)), "demo8_.z1p");
  EXPECT_FALSE(Enabled(Item(CDWFinishPage::IDC_OUTPUT_BROWSE))) << "automatic naming";
}

TEST_F(FinishPage, TheOutputDialogFiltersByTheOutputExtension) {
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWFinishPage::IDD);
  Click(Item(CDWFinishPage::IDC_AUTO_NAME));
  EXPECT_EQ(Record().m_nAutoGenerateOutputFileName, 0);
  ASSERT_TRUE(Enabled(Item(CDWFinishPage::IDC_OUTPUT_BROWSE)));
  const std::string chosen = (dir / "result.z1p").string();
  automation.Reply(plat::SystemUiKind::FileSave, {IDOK, chosen, 0});
  Click(Item(CDWFinishPage::IDC_OUTPUT_BROWSE));
  const plat::SystemRequest& request = plat::ShownLog().back().request;
  EXPECT_EQ(request.buttons, (std::vector<std::string>{"Touchstone files (*.z*)\t*.z*", "(*.z1p) - files\t*.z1p",
                                                       "All files (*.*)\t*.*"}));
  EXPECT_EQ(request.flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  EXPECT_STREQ(Record().m_OutputFileName, chosen.c_str());
  EXPECT_EQ(Text(Item(CDWFinishPage::IDC_OUTPUT)), "result.z1p");

  struct Case {
    int kind;
    const char* extension;
    const char* filter;
  } cases[] = {
      {1, "", "Touchstone files (*.z*)|*.z*|(*) - files|*|All files (*.*)|*.*||"},
      {2, ".z1p", "Touchstone files (*.z1p)|*.z1p|All files (*.*)|*.*||"},
      {3, ".s2p", "Touchstone files (*.s*)|*.s*|(*.s2p) - files|*.s2p|All files (*.*)|*.*||"},
      {4, ".s4p", "Touchstone files (*.s*)|*.s*|(*.s4p) - files|*.s4p|All files (*.*)|*.*||"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(CDWFinishPage::OutputFilter(c.kind, c.extension), c.filter) << c.kind;
}

// The output and report names reach the host and a settings line: a name chosen with a control character in it
// (a file name may hold a tab here) is refused as the page is left, with a box, and the page stays.
TEST_F(FinishPage, AnOutputOrReportNameWithAControlCharacterIsRefused) {
  ASSERT_TRUE(api->CreateModeless());
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "control character", true);
  // Leaves the finish page after choosing `file` with the browse button `browse`; answers the box shown, if any.
  const auto chooseAndLeave = [&](int browse, plat::SystemUiKind kind, const char* file) {
    automation.Reply(kind, {IDOK, (dir / file).string(), 0});
    Click(Item(browse));
    plat::ClearShownLog();
    Click(Back());
    return plat::ShownLog().empty() ? std::string() : plat::ShownLog().back().request.text;
  };
  GoTo(CDWFinishPage::IDD);
  Click(Item(CDWFinishPage::IDC_AUTO_NAME));
  const std::string output =
      chooseAndLeave(CDWFinishPage::IDC_OUTPUT_BROWSE, plat::SystemUiKind::FileSave, "res\tult.z1p");
  EXPECT_EQ(output.rfind("The output file name \"", 0), 0u) << output;
  EXPECT_NE(output.find("res\\tult.z1p\" holds a control character"), std::string::npos) << output;
  EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
  EXPECT_EQ(chooseAndLeave(CDWFinishPage::IDC_OUTPUT_BROWSE, plat::SystemUiKind::FileSave, "result.z1p"), "");
  EXPECT_NE(ActivePageId(), CDWFinishPage::IDD);

  Record().m_nAnalysisType = AnalysisQuick;
  ChooseNets();
  GoTo(CDWFinishPage::IDD);
  const std::string report =
      chooseAndLeave(CDWFinishPage::IDC_SPREADSHEET_BROWSE, plat::SystemUiKind::FileOpen, "rep\tort.xls");
  EXPECT_EQ(report.rfind("The DRC spreadsheet file name \"", 0), 0u) << report;
  EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
}

TEST_F(FinishPage, TheOldSpreadsheetIsDeletedOnlyJustBeforeTheRun) {
  ASSERT_TRUE(api->CreateModeless());
  Record().m_nAnalysisType = AnalysisQuick;
  ChooseNets();
  ASSERT_TRUE(Record().Check(nullptr).empty());
  const std::string sheet = Spreadsheet();
  std::ofstream(sheet) << "old report\n";
  Click(Finish());
  EXPECT_TRUE(fs::exists(sheet)) << "a Finish before the finish page was shown deletes nothing";
  EXPECT_EQ(Lines().back(), "Notify 4 1");
  GoTo(CDWFinishPage::IDD);
  Click(Back());
  EXPECT_TRUE(fs::exists(sheet)) << "going Back keeps the user's file";
  callback.Clear();
  Click(Finish());
  EXPECT_FALSE(fs::exists(sheet));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Run", "Notify 4 1"}));

  // A report that is not asked for any more is not deleted.
  std::ofstream(sheet) << "old report\n";
  Click(Back());
  GoTo(CDWFinishPage::IDD);
  Click(Item(CDWFinishPage::IDC_SPREADSHEET));
  Click(Finish());
  EXPECT_TRUE(fs::exists(sheet));
}

TEST_F(FinishPage, ASpreadsheetThatCannotBeReplacedKeepsThePage) {
  AnswerBoxes();
  OpenQuick();
  const std::string sheet = Spreadsheet();
  std::ofstream(sheet) << "old report\n";
  ASSERT_EQ(::chmod(sheet.c_str(), 0444), 0);
  callback.Clear();
  Click(Finish());
  EXPECT_EQ(BoxesSaying("File \"" + sheet +
                        "\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet."),
            1);
  EXPECT_EQ(::GetFocus(), Item(CDWFinishPage::IDC_SPREADSHEET_PATH));
  EXPECT_TRUE(Lines().empty()) << "no Run";
  Click(Back());
  EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
  EXPECT_TRUE(fs::exists(sheet));
  ::chmod(sheet.c_str(), 0644);
}

// A report path that can never take the report is refused with the same box before anything reaches the host: a
// folder, a path in a missing folder, a file in a folder where it cannot be deleted. "Save && Close" refuses it as
// Finish does: the wizard stays open, saves nothing and does not ask the host. Finish on another page shows the
// finish page with the box.
TEST_F(FinishPage, AReportPathThatCannotTakeTheReportKeepsThePage) {
  AnswerBoxes();
  OpenQuick();
  const std::string settings = (dir / "s.dao").string();
  Record().m_SettingsPath = settings.c_str();
  Click(Item(CDWFinishPage::IDC_SAVE_SETTINGS));
  ASSERT_EQ(Text(Cancel()), "Save && Close");
  const std::string folder = (dir / "reports").string();
  fs::create_directory(folder);
  const std::string inFolder = folder + "/report.xls";
  std::ofstream(inFolder) << "old report\n";
  struct Case {
    const char* name;
    std::string path;
    plat::FileFaultHook faults;
  } cases[] = {
      {"a folder", folder, nullptr},
      {"a missing folder", (dir / "missing" / "report.xls").string(), nullptr},
      {"a read-only folder", inFolder, plat::ReadOnlyFolderFaults(folder)},
      {"a drive's current folder", "x:.", nullptr},
      {"a bare drive, which is its current folder", "x:", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::FileFaultScope faults(c.faults);
    Record().m_DRCReportFile = c.path.c_str();
    const std::string refusal =
        "File \"" + c.path + "\" can't be owerriten.\nPlease, specify another file name for DRC spreadsheet.";
    callback.Clear();
    Click(Finish());
    EXPECT_EQ(BoxesSaying(refusal), 1);
    EXPECT_EQ(::GetFocus(), Item(CDWFinishPage::IDC_SPREADSHEET_PATH));
    EXPECT_TRUE(Lines().empty()) << "no Run";
    Click(Cancel());
    EXPECT_EQ(BoxesSaying(refusal), 2);
    ASSERT_NE(api->GetWizardWindow(), nullptr) << "the wizard stays open";
    EXPECT_TRUE(Lines().empty()) << "the host is not asked to close";
    EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
    // Finish on another page, the path come from elsewhere (a settings file loaded): the finish page says why.
    Record().m_DRCReportFile = (dir / "new.xls").string().c_str();
    Click(Back());
    ASSERT_NE(ActivePageId(), CDWFinishPage::IDD);
    Record().m_DRCReportFile = c.path.c_str();
    Click(Finish());
    EXPECT_EQ(BoxesSaying(refusal), 3);
    EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
    EXPECT_EQ(::GetFocus(), Item(CDWFinishPage::IDC_SPREADSHEET_PATH));
    EXPECT_TRUE(Lines().empty()) << "no Run";
  }
  EXPECT_FALSE(fs::exists(settings)) << "no close saved the refused report path";
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::exists(inFolder));
  // A new file in an existing folder is fine.
  Record().m_DRCReportFile = (dir / "new.xls").string().c_str();
  callback.Clear();
  Click(Finish());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Run", "Notify 4 1"}));
}

// A settings file that cannot be written: the user sees the file and the reason, the wizard stays on its page, and
// neither Run nor the close goes ahead. Permission bits stop no write for a privileged user: the read-only cases go
// through the file layer's fault seam.
TEST_F(FinishPage, AFailedSaveIsShownAndNeitherRunsNorCloses) {
  AnswerBoxes();
  OpenQuick();
  Click(Item(CDWFinishPage::IDC_SAVE_SETTINGS));
  ASSERT_EQ(Record().m_bSaveSettings, 1);
  ASSERT_EQ(Text(Finish()), "Save && Run");
  const std::string folder = (dir / "settings").string();
  fs::create_directory(folder);
  const std::string file = folder + "/s.dao";
  std::ofstream(file) << "[HEADER]\r\nFileVersion=1.0\r\n";
  // A file the save's keys and its CR LF line ends would make larger than a read takes; its LF lines are within it.
  const std::string large = folder + "/large.dao";
  std::string lines = "[USER]\n";
  while (lines.size() + 2000 < plat::IniStore::kMaxFileBytes)
    lines += "Key" + std::to_string(lines.size()) + "=" + std::string(1000, 'v') + "\n";
  std::ofstream(large, std::ios::binary) << lines;
  // Another program writes the file anew between the save's read and its rename.
  const plat::FileFaultHook writtenMeanwhile = [file](plat::FileStep step, const std::string&) {
    if (step == plat::FileStep::Replace) {
      std::ofstream(file + ".other") << "[HEADER]\r\nFileVersion=1.0\r\n";
      fs::rename(file + ".other", file);
    }
    return 0;
  };
  struct Case {
    const char* name;
    std::string path;
    plat::FileFaultHook faults;
    const char* reason;
  } cases[] = {
      {"a directory", folder, nullptr, "The path is a folder, not a file."},
      {"a missing folder", (dir / "missing" / "s.dao").string(), nullptr, "No such file or directory."},
      {"a read-only file", file, plat::ReadOnlyFileFaults(file), "Permission denied."},
      {"a read-only folder", folder + "/new.dao", plat::ReadOnlyFolderFaults(folder), "Permission denied."},
      {"a full disk", file, plat::FullDiskFaults(), "No space left on device."},
      {"no file name (a host without a project)", "", nullptr, "The file name is not valid."},
      {"a file the save would make too large", large, nullptr, "File too large."},
      {"a file written anew since the save read it", file, writtenMeanwhile,
       "The file changed since it was read; save again."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::FileFaultScope faults(c.faults);
    Record().m_SettingsPath = c.path.c_str();
    const std::size_t shown = plat::ShownLog().size();
    callback.Clear();
    Click(Finish());
    ASSERT_EQ(plat::ShownLog().size(), shown + 1);
    const std::string text = plat::ShownLog().back().request.text;
    EXPECT_EQ(text, "The settings can't be saved to the file \"" + c.path + "\".\n" + c.reason);
    EXPECT_TRUE(Lines().empty()) << "no Run, no Finish notice";
    Click(Cancel());
    EXPECT_EQ(plat::ShownLog().size(), shown + 2);
    EXPECT_NE(api->GetWizardWindow(), nullptr) << "the wizard stays open";
    EXPECT_TRUE(Lines().empty()) << "the host is not asked to close";
    EXPECT_EQ(ActivePageId(), CDWFinishPage::IDD);
  }
  EXPECT_EQ(ReadFile(file), "[HEADER]\r\nFileVersion=1.0\r\n") << "the old file is as it was";
  EXPECT_TRUE(ReadFile(large) == lines) << "the large file keeps every byte";
  EXPECT_FALSE(fs::exists(folder + "/new.dao"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2) << "no temporary file left";
  // The same file saves once the fault is gone.
  Record().m_SettingsPath = file.c_str();
  callback.Clear();
  Click(Finish());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Run", "Notify 4 1"}));
}

// A file dialog's answer with folders in it ("sub/moved.dao") names a file in the folder the dialog showed; the
// record takes every such path in full, as it does a bare name, so the saved header names the full settings path.
TEST_F(FinishPage, PathsFromFileDialogsAreFull) {
  OpenQuick();
  fs::create_directory(dir / "sub");
  const fs::path cwd = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  automation.Reply(plat::SystemUiKind::FileSave, {IDOK, "sub/moved.dao", 0})
      .Reply(plat::SystemUiKind::FileSave, {IDOK, "sub/../out.z2p", 0})
      .Reply(plat::SystemUiKind::FileOpen, {IDOK, "sub/report.csv", 0});
  Click(Item(CDWFinishPage::IDC_SAVE_SETTINGS));
  Click(Item(CDWFinishPage::IDC_SETTINGS_BROWSE));
  Record().m_nAnalysisType = AnalysisLumped;
  Record().m_nAutoGenerateOutputFileName = 0;
  Dialog().GetActivePage()->RefreshControls();
  Click(Item(CDWFinishPage::IDC_OUTPUT_BROWSE));
  Record().m_nAnalysisType = AnalysisQuick;
  Record().SetDRCReportMode(DRCReportCSV);
  Dialog().GetActivePage()->RefreshControls();
  Click(Item(CDWFinishPage::IDC_SPREADSHEET_BROWSE));
  fs::current_path(cwd);
  EXPECT_EQ(std::string(Record().m_SettingsPath.GetString()), (dir / "sub" / "moved.dao").string());
  EXPECT_EQ(std::string(Record().m_OutputFileName.GetString()), (dir / "out.z2p").string());
  EXPECT_EQ(std::string(Record().m_DRCReportFile.GetString()), (dir / "sub" / "report.csv").string());
  ASSERT_TRUE(Record().Save());
  char header[MAX_PATH];
  GetPrivateProfileString("HEADER", "FileName", "", header, sizeof header, Record().m_SettingsPath);
  EXPECT_EQ(std::string(header), (dir / "sub" / "moved.dao").string());
}

// Pages of the other wizard kinds, shown alone on a record of that kind.
// The capacitor step's net filter shows its nets whole: every entry of both lists ("<All Supply Nets>", each
// supply net with its voltage) fits beside the arrow button, the chosen pair's "VDD_CORE, 0.9volt " included.
TEST_F(WizardPages, TheCapacitorStepShowsItsFilterNetsWhole) {
  ASSERT_TRUE(api->CreateModeless());
  auto& record = static_cast<CDecouplingAnalysisData&>(Record());
  record.m_pNet1 = board->FindNet("GND");
  record.m_pNet2 = board->FindNet("VDD_CORE");
  GoTo(CDWCapModelsPage2::IDD);
  for (int id : {int{CCapacitorModelsPanel::IDC_NET_A}, int{CCapacitorModelsPanel::IDC_NET_B}}) {
    const HWND combo = Control(CDWCapModelsPage2::IDD, id);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(Shown(combo));
    ASSERT_GE(::SendMessage(combo, CB_GETCOUNT, 0, 0), 5) << id;
    RECT box{};
    ::GetWindowRect(combo, &box);
    EXPECT_LE(ComboBoxWidthNeeded(combo), box.right - box.left) << id;
  }
  EXPECT_EQ(Text(Control(CDWCapModelsPage2::IDD, CCapacitorModelsPanel::IDC_NET_B)), "VDD_CORE, 0.9volt ");
}

class LonePage : public WizardWindowTest {
protected:
  void SetUp() override {
    WizardWindowTest::SetUp();
    CModuleScope scope;
    host = std::make_unique<CDialog>(IDD_WIZARD_DIALOG);
    ASSERT_TRUE(host->Create(IDD_WIZARD_DIALOG));
    host->ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    page.reset();
    host.reset();
    SetCurrentAnalysisData(nullptr);
    WizardWindowTest::TearDown();
  }
  template <class Page>
  Page& Show(CAnalysisData* record) {
    SetCurrentAnalysisData(record);
    CModuleScope scope;
    auto* made = new Page();
    page.reset(made);
    EXPECT_TRUE(made->Create(Page::IDD, host.get()));
    made->OnSetActive();
    made->ShowWindow(SW_SHOW);
    return *made;
  }
  std::unique_ptr<CDialog> host;
  std::unique_ptr<CDWPage> page;
};

TEST_F(LonePage, ALumpedBypassAnalysisStillOffersAllNets) {
  struct Case {
    int type;
    bool shown;
  } cases[] = {{AnalysisLumped, true}, {AnalysisDistributed, false}};
  for (const Case& c : cases) {
    auto* record = new CBypassAnalysisData();
    record->m_nAnalysisType = c.type;
    CDWCustomSettingsPage& custom = Show<CDWCustomSettingsPage>(record);
    EXPECT_EQ(Shown(custom.GetDlgItem(CDWCustomSettingsPage::IDC_ALL_NETS)->m_hWnd), c.shown) << c.type;
    EXPECT_EQ(Shown(custom.GetDlgItem(CDWCustomSettingsPage::IDC_ALL_NETS_TEXT)->m_hWnd), c.shown) << c.type;
  }
}

// In Custom mode the page stores what its boxes show; the inter-plane and low-frequency boxes belong to a
// Lumped analysis only, and other analyses keep the record's values for them.
TEST_F(LonePage, CustomSettingsStoreTheInterPlaneAndLowFrequencyBoxesOfALumpedAnalysisOnly) {
  for (int type : {AnalysisLumped, AnalysisDistributed}) {
    SCOPED_TRACE(type);
    auto* record = new CDecouplingAnalysisData();
    record->m_nAnalysisType = type;
    record->m_nMode = 1;
    record->m_bIncludeAllNets = 1;
    record->m_bIncludeMounting = 1;
    record->m_bIncludeInterPlane = 1;
    record->m_bIncludeLowFreqConnections = 0;
    CDWCustomSettingsPage& custom = Show<CDWCustomSettingsPage>(record);
    for (int id : {int{CDWCustomSettingsPage::IDC_ALL_NETS}, int{CDWCustomSettingsPage::IDC_MOUNTING},
                   int{CDWCustomSettingsPage::IDC_INTER_PLANE}, int{CDWCustomSettingsPage::IDC_LOW_FREQ}}) {
      HWND box = custom.GetDlgItem(id)->m_hWnd;
      ::SendMessage(box, BM_SETCHECK, Checked(box) ? BST_UNCHECKED : BST_CHECKED, 0);
    }
    ASSERT_TRUE(custom.ValidateAndStore());
    const bool lumped = type == AnalysisLumped;
    EXPECT_EQ(record->m_bIncludeAllNets, 0);
    EXPECT_EQ(record->m_bIncludeMounting, 0);
    EXPECT_EQ(record->m_bIncludeInterPlane, lumped ? 0 : 1);
    EXPECT_EQ(record->m_bIncludeLowFreqConnections, lumped ? 1 : 0);
  }
}

TEST_F(LonePage, OtherWizardsHaveNoReportAndABypassOutputGetsItsExtension) {
  for (CAnalysisData* record :
       std::initializer_list<CAnalysisData*>{new CDiffViaAnalysisData(), new CModelExtractorAnalysisData()}) {
    CDWFinishPage& finish = Show<CDWFinishPage>(record);
    for (int id : {int{CDWFinishPage::IDC_REPORT_GROUP}, int{CDWFinishPage::IDC_SPREADSHEET},
                   int{CDWFinishPage::IDC_XLS}, int{CDWFinishPage::IDC_SPREADSHEET_BROWSE}})
      EXPECT_FALSE(Shown(finish.GetDlgItem(id)->m_hWnd)) << record->GetKind() << " " << id;
  }
  auto* bypass = new CBypassAnalysisData();
  bypass->m_nAutoGenerateOutputFileName = 0;
  CDWFinishPage& finish = Show<CDWFinishPage>(bypass);
  automation.Reply(plat::SystemUiKind::FileSave, {IDOK, "/tmp/typed", 0});
  Click(finish.GetDlgItem(CDWFinishPage::IDC_OUTPUT_BROWSE)->m_hWnd);
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_EQ(plat::ShownLog().back().request.buttons,
            (std::vector<std::string>{"Touchstone files (*.z1p)\t*.z1p", "All files (*.*)\t*.*"}));
  EXPECT_STREQ(bypass->m_OutputFileName, "/tmp/typed.z1p");
}

}  // namespace
