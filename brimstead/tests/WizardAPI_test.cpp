// The four wizard interface objects without a wizard window: setters and their refusals, the factory's reset, the
// getters' defaults, the probe lists, and the record's values read back through the getters after a trip through
// the ".dao" file.
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostCallbackLog.h"
#include "host/HostLedger.h"
#include "host/HostProbe.h"
#include "host/HostSystem.h"
#include "host/tests/HostTestBoards.h"
#include "platform/base/CException.h"
#include "platform/base/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>

namespace {

namespace fs = std::filesystem;

// Every getter of the shared table, one line each, as the host reads them when it runs the analysis.
std::string AllGetters(CWizardAPI& api) {
  std::ostringstream out;
  out << api.GetBoardIndex() << ' ' << api.GetIncludeAllNets() << api.GetUnkeyedFlag() << api.GetIncludeInterPlane()
      << api.GetIncludeLowFreqConnections() << ' ' << api.GetTargetImpedance() << ' ' << api.GetDRCOnly()
      << api.GetSkipStitchingVias() << api.GetGenerateS() << api.GetExportShuntModel() << ' ' << api.GetMinFreq()
      << ' ' << api.GetMaxFreq() << ' ' << api.IsAdaptiveSweep() << api.IsLinearSweep() << api.IsLogarithmicSweep()
      << ' ' << api.GetAdaptiveSweepAccuracy() << ' ' << api.GetMaxAdaptiveFreqNumber() << ' '
      << api.GetNonAdaptiveFreqNumber() << ' ' << api.GetUseFDTD() << api.GetShowTPOscilloscope() << ' '
      << api.GetFDTDInterval() << ' ' << api.IsQuickAnalysis() << api.IsLumpedAnalysis()
      << api.IsDistributedAnalysis() << api.GetIncludeMounting() << api.GetUseInterimTouchstone()
      << api.GetForcePassivity();
  return out.str();
}

// Runs `call` and answers whether it raised the class library's invalid-argument exception (which the catcher
// deletes).
template <class Call>
bool RaisesInvalidArgument(Call call) {
  try {
    call();
  } catch (CInvalidArgException* e) {
    e->Delete();
    return true;
  }
  return false;
}

// Values unlike every default, so that a getter answering a default is told from one answering the field.
void FillCustom(CAnalysisData& record, int mode) {
  record.m_nMode = mode;
  record.m_bIncludeAllNets = 0;
  record.m_bUnkeyedFlag = 0;
  record.m_bIncludeInterPlane = 0;
  record.m_bIncludeLowFreqConnections = 1;
  record.m_dTargetImpedance = 0.25;
  record.m_bDRCOnly = 1;
  record.m_bSkipStitchingVias = 1;
  record.m_bGenerateS = 0;
  record.m_dMinFreq = 2e6;
  record.m_dMaxFreq = 4e8;
  record.m_nFreqSweepMode = SweepLogarithmic;
  record.m_nAdaptiveSweepAccuracy = 3;
  record.m_nMaxAdaptiveFreqNumber = 77;
  record.m_nNonAdaptiveFreqNumber = 88;
  record.m_bUseFDTD = 1;
  record.m_bShowTPOscilloscope = 1;
  record.m_dFDTDInterval = 1.5;
  record.m_bIncludeMounting = 0;
  record.m_bUseInterimTouchstone = 1;
  record.m_bForcePassivity = 0;
}

class WizardAPI : public ::testing::Test {
protected:
  WizardAPI() : board(host::LoadBoardFile(host::test::SampleBoard("demo8.json"), ledger)) {
    system.AddBoard(board.get());
    dir = MakeTempFolder("brim_wizardapi");
    project = (dir / "demo8.brd").string();
    std::ofstream(project) << "board\n";
  }
  ~WizardAPI() override {
    SetCurrentAnalysisData(nullptr);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;
  host::HostSystem system{ledger, "Project"};
  host::HostCallbackLog callback;
  fs::path dir;
  std::string project;
};

// The setter refusals of one kind's object.
template <class Api>
void CheckSetterRefusals(host::HostBoard& board, host::HostSystem& system, const fs::path& dir,
                         const std::string& project) {
  Api* api = Api::Create();
  constexpr bool decoupling = std::is_same_v<Api, CBrimsteadAPI>;
  EXPECT_FALSE(api->SetBoard(&board));   // not in board mode
  EXPECT_FALSE(api->SetSystem(nullptr));
  api->EnableBoardMode();
  EXPECT_FALSE(api->SetBoard(nullptr));
  // Only the decoupling object takes a system in board mode.
  EXPECT_EQ(api->SetSystem(&system), decoupling);
  if (decoupling) {
    EXPECT_FALSE(api->SetBoard(&board));   // the record has a system
    Api::Create();
    api->EnableBoardMode();
  }
  ASSERT_TRUE(api->SetBoard(&board));
  CAnalysisData* record = GetAnalysisData();
  ASSERT_NE(api->OneBoardSystem(), nullptr);
  EXPECT_EQ(record->m_pSystem, api->OneBoardSystem());
  EXPECT_EQ(record->m_pBoard, &board);
  EXPECT_FALSE(api->SetSystem(&system));
  EXPECT_FALSE(api->SetBoard(&board));

  EXPECT_FALSE(api->SetProjectFile((dir / "missing.brd").string().c_str()));
  EXPECT_FALSE(api->SetProjectFile(nullptr));
  EXPECT_TRUE(record->m_ProjectPath.IsEmpty());
  EXPECT_TRUE(api->SetProjectFile(project.c_str()));
  EXPECT_EQ(std::string(record->m_SettingsPath.GetString()), (dir / "demo8.dao").string());
}

TEST_F(WizardAPI, ProjectFileTakesEitherSeparator) {
  fs::create_directories(dir / "sub");
  std::ofstream(dir / "sub" / "demo8.brd") << "board\n";
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  CBypassWizardAPI* api = CBypassWizardAPI::Create();
  const bool taken = api->SetProjectFile("sub\\demo8.brd");
  const bool saved = taken && GetAnalysisData()->Save();
  fs::current_path(cwd);
  ASSERT_TRUE(taken);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(fs::exists(dir / "sub" / "demo8.dao"));
  EXPECT_FALSE(CBypassWizardAPI::Create()->SetProjectFile((dir / "sub\\missing.brd").string().c_str()));
}

TEST_F(WizardAPI, SystemAndBoardSettersRefuseWhatTheyMust) {
  CheckSetterRefusals<CBrimsteadAPI>(*board, system, dir, project);
  CheckSetterRefusals<CBypassWizardAPI>(*board, system, dir, project);
  CheckSetterRefusals<CDiffViaModelWizardAPI>(*board, system, dir, project);
  CheckSetterRefusals<CModelExtractorWizardAPI>(*board, system, dir, project);
}

TEST_F(WizardAPI, FactoryResetsTheObjectButKeepsItsNames) {
  CBypassWizardAPI* api = CBypassWizardAPI::Create();
  api->EnableBoardMode();
  ASSERT_TRUE(api->SetBoard(board.get()));
  api->SetCallback(&callback);
  api->SetWizardOption1(false);
  api->EnableDebugOptions();
  EXPECT_TRUE(api->AddNames("VCC\r\nGND\t\tVDD_1V2\n"));
  GetAnalysisData()->m_nMode = 1;

  EXPECT_EQ(CBypassWizardAPI::Create(), api);
  EXPECT_EQ(api->GetOption1(), 1);
  EXPECT_EQ(api->GetDebugOptions(), 0);
  EXPECT_FALSE(api->IsBoardMode());
  EXPECT_EQ(api->Callback(), nullptr);
  // The one-board system went with the reset, and the record points at nothing of the old set-up.
  EXPECT_EQ(api->OneBoardSystem(), nullptr);
  EXPECT_EQ(GetAnalysisData()->m_pSystem, nullptr);
  EXPECT_EQ(GetAnalysisData()->m_nMode, 0);
  EXPECT_EQ(GetAnalysisData()->m_nAnalysisType, AnalysisDistributed);
  api->AddNames("VTT");
  ASSERT_EQ(api->GetNames().GetSize(), 4);
  EXPECT_STREQ(api->GetNames().GetAt(0), "VCC");
  EXPECT_STREQ(api->GetNames().GetAt(1), "GND");
  EXPECT_STREQ(api->GetNames().GetAt(2), "VDD_1V2");
  EXPECT_STREQ(api->GetNames().GetAt(3), "VTT");
  // A second board replaces the first one-board system.
  api->EnableBoardMode();
  ASSERT_TRUE(api->SetBoard(board.get()));
  GetAnalysisData()->m_pSystem = nullptr;
  GetAnalysisData()->m_pBoard = nullptr;
  ASSERT_TRUE(api->SetBoard(board.get()));
  EXPECT_NE(api->OneBoardSystem(), nullptr);
  EXPECT_EQ(GetAnalysisData()->m_pSystem, api->OneBoardSystem());
}

TEST_F(WizardAPI, EasyModeAnswersFixedDefaultsAndCustomModeTheFields) {
  CDiffViaModelWizardAPI* via = CDiffViaModelWizardAPI::Create();
  FillCustom(*GetAnalysisData(), 0);
  // Easy: the fixed defaults whatever the record holds; the frequencies and FDTD view fields as they are.
  EXPECT_EQ(AllGetters(*via), "-1 1110 0 0010 2e+06 4e+08 100 2 50 50 01 1.5 001101");
  FillCustom(*GetAnalysisData(), 1);
  EXPECT_EQ(AllGetters(*via), "-1 1000 0 0000 2e+06 4e+08 001 3 77 88 01 1.5 001001");
  // The debug options let the FDTD, interim Touchstone and passivity fields through.
  via->EnableDebugOptions();
  EXPECT_EQ(AllGetters(*via), "-1 1000 0 0000 2e+06 4e+08 001 3 77 88 11 1.5 001010");

  CBypassWizardAPI* bypass = CBypassWizardAPI::Create();
  FillCustom(*GetAnalysisData(), 0);
  EXPECT_EQ(AllGetters(*bypass), "-1 1110 0.25 0001 2e+06 4e+08 100 2 50 50 01 1.5 001101");
  FillCustom(*GetAnalysisData(), 1);
  EXPECT_EQ(AllGetters(*bypass), "-1 0000 0.25 0001 2e+06 4e+08 001 3 77 88 01 1.5 001001");

  CModelExtractorWizardAPI* extractor = CModelExtractorWizardAPI::Create();
  FillCustom(*GetAnalysisData(), 1);
  EXPECT_EQ(AllGetters(*extractor), "-1 1000 0 0000 2e+06 4e+08 001 3 77 88 01 1.5 001001");
}

TEST_F(WizardAPI, DecouplingGettersTreatQuickLikeEasy) {
  CBrimsteadAPI* api = CBrimsteadAPI::Create();
  CAnalysisData& record = *GetAnalysisData();
  FillCustom(record, 1);
  record.m_nAnalysisType = AnalysisQuick;
  // Quick in custom mode: the defaults, but the two frequency counts from the record; DRC only and low-frequency
  // connections on.
  EXPECT_EQ(AllGetters(*api), "-1 1111 0.25 1100 2e+06 4e+08 100 2 77 88 01 1.5 100101");
  record.m_nAnalysisType = AnalysisLumped;
  EXPECT_EQ(AllGetters(*api), "-1 0001 0.25 1100 2e+06 4e+08 001 3 77 88 01 1.5 010001");
  record.m_nAnalysisType = AnalysisDistributed;
  EXPECT_FALSE(api->GetIncludeLowFreqConnections());   // whatever the record's flag
  EXPECT_TRUE(api->GetIncludeAllNets());
  record.m_nMode = 0;
  EXPECT_EQ(api->GetMaxAdaptiveFreqNumber(), 50);

  // The DRC report is a Quick analysis's only.
  record.m_nDRCReportMode = DRCReportCSV;
  record.m_DRCReportFile = "drc.csv";
  record.m_nAnalysisType = AnalysisLumped;
  EXPECT_EQ(api->GetDRCReportMode(), 0);
  EXPECT_EQ(api->GetDRCReportFile(), nullptr);
  record.m_nAnalysisType = AnalysisQuick;
  EXPECT_EQ(api->GetDRCReportMode(), 2);
  EXPECT_STREQ(api->GetDRCReportFile(), "drc.csv");
  record.m_nDRCReportMode = DRCNoReport;
  EXPECT_EQ(api->GetDRCReportMode(), 0);
}

// Saves a record full of custom values, makes the object again and loads the file: every getter answers as before.
template <class Api>
void CheckSettingsRoundTrip(host::HostBoard& board, host::HostCallbackLog& callback, const fs::path& dir,
                            const std::string& project) {
  Api* api = Api::Create();
  api->EnableBoardMode();
  api->EnableDebugOptions();
  ASSERT_TRUE(api->SetBoard(&board));
  ASSERT_TRUE(api->SetProjectFile(project.c_str()));
  CAnalysisData& record = *GetAnalysisData();
  record.SelectBoard(0);
  FillCustom(record, 1);
  record.m_nAnalysisType = std::is_same_v<Api, CBrimsteadAPI> ? AnalysisLumped : AnalysisDistributed;
  record.m_bUnkeyedFlag = 1;   // not a key of the file: every load sets it
  const std::string before = AllGetters(*api);
  ASSERT_TRUE(record.Save());

  api = Api::Create();
  api->EnableBoardMode();
  api->EnableDebugOptions();
  ASSERT_TRUE(api->SetBoard(&board));
  ASSERT_TRUE(api->SetProjectFile(project.c_str()));
  ASSERT_NE(AllGetters(*api), before);
  api->SetCallback(&callback);
  callback.Clear();
  const std::string settings = (dir / "demo8.dao").string();
  if constexpr (std::is_same_v<Api, CBypassWizardAPI> || std::is_same_v<Api, CDiffViaModelWizardAPI>) {
    // The bypass and via-model objects load the file themselves and tell the host. A path relative to the working
    // folder finds the project (and so the board) as the absolute one does.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const bool loaded = api->LoadSettings("demo8.dao");
    fs::current_path(cwd);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(std::string(GetAnalysisData()->m_SettingsPath.GetString()), settings);
    ASSERT_EQ(callback.Lines().size(), 1u);
    EXPECT_EQ(callback.Lines()[0], "Notify 2 1");
  } else {
    ASSERT_TRUE(GetAnalysisData()->Load(settings.c_str()));
  }
  EXPECT_EQ(AllGetters(*api), before);
}

TEST_F(WizardAPI, RecordValuesComeBackThroughTheSettingsFile) {
  CheckSettingsRoundTrip<CBrimsteadAPI>(*board, callback, dir, project);
  CheckSettingsRoundTrip<CBypassWizardAPI>(*board, callback, dir, project);
  CheckSettingsRoundTrip<CDiffViaModelWizardAPI>(*board, callback, dir, project);
  CheckSettingsRoundTrip<CModelExtractorWizardAPI>(*board, callback, dir, project);
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// What the host reads of a record's names: the output and report names, the decoupling nets and the enabled
// probes in order.
template <class Api>
std::string NameGetters(Api& api) {
  std::ostringstream out;
  out << '[' << api.GetOutputFileName() << "] [" << GetAnalysisData()->GetDRCReportFileRelative() << ']';
  if constexpr (std::is_same_v<Api, CBrimsteadAPI>) {
    const char* first = api.QueryFirstNet();
    const char* second = api.QuerySecondNet();
    out << " [" << (first ? first : "-") << "] [" << (second ? second : "-") << ']';
  }
  for (int i = 0; i < api.GetProbeCount(); ++i) {
    CProbeRecord* probe = api.GetProbeRecord(i);
    out << " [" << (probe && probe->GetName() ? probe->GetName() : "-") << ']';
  }
  return out.str();
}

template <class Api>
Api* OpenOnBoard(host::HostBoard& board, const std::string& project) {
  Api* api = Api::Create();
  api->EnableBoardMode();
  api->SetGeometryQuery(&board.GeometryQuery());
  EXPECT_TRUE(api->SetBoard(&board));
  EXPECT_TRUE(api->SetProjectFile(project.c_str()));
  GetAnalysisData()->m_bBoardMode = 1;   // as the wizard sets it when it opens
  GetAnalysisData()->SelectBoard(0);
  return api;
}

// The probes of the current record, as its pages list them; those named `name` take the state the board does not
// give them.
template <class Api>
void TurnProbesNamed(const char* name) {
  auto turn = [&](auto& probes) {
    for (int i = 0; i < probes.GetSize(); ++i)
      if (std::string(probes[i].GetName() ? probes[i].GetName() : "") == name)
        probes[i].m_bEnabled = !probes[i].m_bEnabled;
  };
  if constexpr (std::is_same_v<Api, CBrimsteadAPI>) {
    GetDecouplingAnalysisData()->CollectProbes();
    turn(GetDecouplingAnalysisData()->m_Probes);
  } else if constexpr (std::is_same_v<Api, CBypassWizardAPI>) {
    CBypassAnalysisData& record = *GetBypassAnalysisData();
    record.CollectProbes();
    for (int i = 0; i < record.m_Probes.GetSize(); ++i) {
      CBypassViaProbe& via = record.m_Probes[i];
      record.CheckProbe(via);
      if (std::string(via.GetName()) == name && via.m_ConnectedLayers.size() >= 2) {
        via.m_FirstLayer = via.m_ConnectedLayers.front();
        via.m_SecondLayer = via.m_ConnectedLayers.back();
      }
    }
    turn(record.m_Probes);
  } else if constexpr (std::is_same_v<Api, CDiffViaModelWizardAPI>) {
    GetDiffViaAnalysisData()->CollectProbes();
    turn(GetDiffViaAnalysisData()->m_Probes);
  } else {
    GetModelExtractorAnalysisData()->CollectProbes();
    turn(GetModelExtractorAnalysisData()->m_SupplyPorts);
    turn(GetModelExtractorAnalysisData()->m_ViaPorts);
  }
}

// One kind's record with every name set to `value` (the output and report names, the first net, the probes the
// host named so) is saved, loaded into a fresh wizard as the host loads it, and read through the getters.
template <class Api>
void CheckNamesComeBack(host::HostBoard& board, const fs::path& dir, const std::string& project, const char* value,
                        host::HostNet* net) {
  Api* api = OpenOnBoard<Api>(board, project);
  CAnalysisData& record = *GetAnalysisData();
  record.m_nAutoGenerateOutputFileName = 0;
  record.m_OutputFileName = value;
  record.m_DRCReportFile = (dir / value).string().c_str();
  if constexpr (std::is_same_v<Api, CBrimsteadAPI>) {
    GetDecouplingAnalysisData()->m_pNet1 = net;
    GetDecouplingAnalysisData()->m_pNet2 = board.FindNet("GND");
  }
  TurnProbesNamed<Api>(value);
  const std::string before = NameGetters(*api);
  ASSERT_TRUE(record.Save()) << before;

  api = OpenOnBoard<Api>(board, project);
  ASSERT_NE(NameGetters(*api), before);
  const std::string settings = (dir / "demo8.dao").string();
  if constexpr (std::is_same_v<Api, CBypassWizardAPI> || std::is_same_v<Api, CDiffViaModelWizardAPI>)
    ASSERT_TRUE(api->LoadSettings(settings.c_str()));
  else
    ASSERT_TRUE(GetAnalysisData()->Load(settings.c_str()));   // what their LoadSettings has the open wizard do
  EXPECT_EQ(NameGetters(*api), before) << ReadText(settings);
}

// Names with blanks at an end, a tab in front or quotes of their own, as the host hands them in (an output and a
// report name; a net, a via and a supply pin of its board): each one comes back from the settings file as it was,
// in every kind.
TEST_F(WizardAPI, NamesWithEdgeBlanksAndQuotesComeBackThroughTheSettingsFile) {
  host::HostProbe* via = board->FindProbe("V_TX0_P");
  host::HostProbe* pin = board->FindProbe("U1.D4");
  ASSERT_TRUE(via && pin);
  // A probe as `like` is, under another id and name.
  auto copy = [&](host::HostProbe* like, const std::string& id, const char* name) {
    host::HostProbe* made =
        board->AddProbe(id, static_cast<HostProbeKind>(like->GetKind()), name, like->Element(),
                        board->FindNet(like->GetNet()->GetName()),
                        like->GetReferenceNet() ? board->FindNet(like->GetReferenceNet()->GetName()) : nullptr);
    for (const auto& layer : board->Layers()) {
      if (like->IsConnectedOn(layer.get()))
        made->Connect(layer.get());
      if (like->IsReferenceLayer(layer.get()))
        made->Refer(layer.get());
    }
    made->SetEligible(like->IsEligible());
  };
  const char* const values[] = {" x", "x ", "\"x\"", "\tx", "\" x \""};
  for (size_t i = 0; i < std::size(values); ++i) {
    const char* value = values[i];
    SCOPED_TRACE(std::string("[") + value + "]");
    const std::string id = std::to_string(i);
    copy(via, "VIA" + id, value);
    copy(pin, "PIN" + id, value);
    host::HostNet* net = board->AddNet(value, host::NetType::Supply, 1.0);
    net->AddItem(host::NetItemKind::Plane);
    ASSERT_TRUE(board->Pick({"PIN" + id, "U1.G7", "VIA" + id, "V_TX0_P", "V_DQ1"}));
    CheckNamesComeBack<CBrimsteadAPI>(*board, dir, project, value, net);
    CheckNamesComeBack<CBypassWizardAPI>(*board, dir, project, value, net);
    CheckNamesComeBack<CDiffViaModelWizardAPI>(*board, dir, project, value, net);
    CheckNamesComeBack<CModelExtractorWizardAPI>(*board, dir, project, value, net);
  }
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
}

TEST_F(WizardAPI, NamesPathsAndKeptTexts) {
  CBrimsteadAPI* api = CBrimsteadAPI::Create();
  CAnalysisData& record = *GetAnalysisData();
  EXPECT_TRUE(api->SetHelpFile("help.chm"));
  EXPECT_STREQ(record.m_HelpFile, "help.chm");
  EXPECT_TRUE(api->SetHelpFile(nullptr));
  EXPECT_TRUE(record.m_HelpFile.IsEmpty());

  char buffer[MAX_PATH] = "copy.dao";
  EXPECT_TRUE(api->SetSettingsCopyBuffer(buffer));
  EXPECT_EQ(record.m_pSettingsCopyBuffer, buffer);
  // "Use last configuration" without a path, or without a wizard, leaves the record alone.
  EXPECT_FALSE(api->UseLastConfiguration(nullptr));
  EXPECT_FALSE(api->UseLastConfiguration(""));
  EXPECT_FALSE(api->UseLastConfiguration("last.dao"));
  EXPECT_EQ(record.m_pSettingsCopyBuffer, buffer);

  EXPECT_FALSE(api->SetOutputFileName(nullptr));
  EXPECT_FALSE(api->SetDRCReportFile(""));
  EXPECT_TRUE(api->SetOutputFileName("x"));
  EXPECT_TRUE(api->SetDRCReportFile("report.xls"));
  EXPECT_FALSE(api->Run());   // no wizard to click, but the names are applied
  EXPECT_EQ(record.m_nAutoGenerateOutputFileName, 0);
  EXPECT_STREQ(record.m_OutputFileName, "x");
  EXPECT_STREQ(record.m_DRCReportFile, "report.xls");
  EXPECT_EQ(record.m_pSettingsCopyBuffer, nullptr);
  EXPECT_FALSE(api->CloseWizard());

  // The bypass object applies the output name at once and tells the host.
  CBypassWizardAPI* bypass = CBypassWizardAPI::Create();
  bypass->SetCallback(&callback);
  callback.Clear();
  EXPECT_TRUE(bypass->SetOutputFileName("bypass_out"));
  EXPECT_STREQ(GetAnalysisData()->m_OutputFileName, "bypass_out");
  EXPECT_FALSE(bypass->SetDRCReportFile("r.xls"));
  EXPECT_TRUE(bypass->Run());          // nothing to click: still true
  EXPECT_TRUE(bypass->CloseWizard());
  EXPECT_FALSE(bypass->LoadSettings(""));
  ASSERT_EQ(callback.Lines().size(), 1u);
  EXPECT_EQ(callback.Lines()[0], "Notify 3 1");
  EXPECT_EQ(std::string(bypass->GetOutputFileName()).rfind("bypass_out", 0), 0u);
}

// The name the host's settings-copy buffer held, as the record keeps it in a copy made by construction and one made
// by assignment (its kind's own).
template <class Data>
std::string KeptThroughCopies() {
  const Data& record = static_cast<const Data&>(*GetAnalysisData());
  const Data constructed(record);
  Data assigned;
  assigned = record;
  return std::string(constructed.m_TakenBackSettingsCopy.GetString()) + "|" +
         assigned.m_TakenBackSettingsCopy.GetString();
}

template <class Api>
CWizardAPI* MakeAgain() {
  return Api::Create();
}

// The host's Run and CloseWizard take its settings-copy buffer back on every object, with a wizard window or without
// one, as a null buffer does: no copy is written from then on, and the name the buffer held stays the host's last
// configuration through every copy of the record, until a new buffer names another. A wizard made again from the
// factory has neither.
TEST_F(WizardAPI, RunAndCloseWizardTakeTheCopyBufferBackAndTheNameStaysUntilTheFactory) {
  const struct {
    const char* name;
    CWizardAPI* (*make)();
    std::string (*copies)();
  } rows[] = {
      {"decoupling", &MakeAgain<CBrimsteadAPI>, &KeptThroughCopies<CDecouplingAnalysisData>},
      {"bypass", &MakeAgain<CBypassWizardAPI>, &KeptThroughCopies<CBypassAnalysisData>},
      {"via model", &MakeAgain<CDiffViaModelWizardAPI>, &KeptThroughCopies<CDiffViaAnalysisData>},
      {"extractor", &MakeAgain<CModelExtractorWizardAPI>, &KeptThroughCopies<CModelExtractorAnalysisData>},
  };
  enum class Way { Run, CloseWizard, NullBuffer };
  const std::string last = (dir / "last.dao").string();
  for (const auto& row : rows) {
    for (const Way way : {Way::Run, Way::CloseWizard, Way::NullBuffer}) {
      SCOPED_TRACE(std::string(row.name) + " " + std::to_string(static_cast<int>(way)));
      CWizardAPI* api = row.make();
      char buffer[MAX_PATH] = {}, next[MAX_PATH] = {};
      std::snprintf(buffer, sizeof buffer, "%s", last.c_str());
      ASSERT_TRUE(api->SetSettingsCopyBuffer(buffer));
      if (way == Way::Run)
        api->Run();
      else if (way == Way::CloseWizard)
        api->CloseWizard();
      else
        api->SetSettingsCopyBuffer(nullptr);
      EXPECT_EQ(GetAnalysisData()->m_pSettingsCopyBuffer, nullptr) << "taken back: no copy is written";
      EXPECT_EQ(std::string(GetAnalysisData()->LastConfiguration()), last);
      EXPECT_EQ(row.copies(), last + "|" + last);
      ASSERT_TRUE(api->SetSettingsCopyBuffer(next));
      EXPECT_TRUE(GetAnalysisData()->m_TakenBackSettingsCopy.IsEmpty()) << "a new buffer, a new last configuration";
      api->SetSettingsCopyBuffer(buffer);
      api->Run();
      EXPECT_EQ(row.make(), api);
      EXPECT_EQ(GetAnalysisData()->m_pSettingsCopyBuffer, nullptr);
      EXPECT_TRUE(GetAnalysisData()->m_TakenBackSettingsCopy.IsEmpty()) << "forgotten by the factory";
    }
  }
}

TEST_F(WizardAPI, RunsOpenNothingUntilTheWizardDialogsExist) {
  RegisterWizardDialogFactory(nullptr);
  CModelExtractorWizardAPI* api = CModelExtractorWizardAPI::Create();
  EXPECT_FALSE(api->RunModal());
  EXPECT_FALSE(api->CreateModeless());   // no callback yet
  api->SetCallback(&callback);
  EXPECT_FALSE(api->CreateModeless());
  EXPECT_EQ(api->GetWizardWindow(), nullptr);
  EXPECT_FALSE(api->IsModeless());
  EXPECT_FALSE(api->Close());
  api->Release();
  EXPECT_TRUE(callback.Lines().empty());
}

TEST_F(WizardAPI, ProbeListsOfEachObject) {
  std::vector<CHostProbe*> vias;
  for (const auto& probe : board->Probes())
    if (probe->GetKind() == HostProbeVia)
      vias.push_back(probe.get());
  ASSERT_GE(vias.size(), 3u);

  CBrimsteadAPI* decoupling = CBrimsteadAPI::Create();
  EXPECT_EQ(decoupling->BuildEnabledProbeList(), 0);
  EXPECT_TRUE(RaisesInvalidArgument([&] { decoupling->GetEnabledProbe(0); }));

  CBypassWizardAPI* bypass = CBypassWizardAPI::Create();
  CBypassAnalysisData& bypassRecord = *GetBypassAnalysisData();
  bypassRecord.m_Probes.SetSize(3);
  bypassRecord.m_Probes[1].m_bEnabled = 1;
  bypassRecord.m_Probes[2].m_bEnabled = 1;
  EXPECT_EQ(bypass->HasEnabledProbe(), 1);
  EXPECT_EQ(bypass->GetEnabledProbe(0), &bypassRecord.m_Probes[1]);
  EXPECT_EQ(bypass->GetEnabledProbe(1), nullptr);

  CDiffViaModelWizardAPI* via = CDiffViaModelWizardAPI::Create();
  CDiffViaAnalysisData& viaRecord = *GetDiffViaAnalysisData();
  viaRecord.m_Probes.SetSize(2);
  viaRecord.m_Probes[1].m_bEnabled = 1;
  EXPECT_EQ(via->HasProbes(), 2);   // outside board mode: disabled pairs count too
  EXPECT_EQ(via->GetProbe(0), &viaRecord.m_Probes[0]);
  EXPECT_EQ(via->GetProbe(2), nullptr);
  via->EnableBoardMode();
  EXPECT_EQ(via->HasProbes(), 1);
  EXPECT_EQ(via->GetProbe(0), &viaRecord.m_Probes[1]);
  EXPECT_EQ(via->GetProbe(1), nullptr);

  CModelExtractorWizardAPI* extractor = CModelExtractorWizardAPI::Create();
  CModelExtractorAnalysisData& portRecord = *GetModelExtractorAnalysisData();
  portRecord.m_ViaPorts.SetSize(3);
  portRecord.m_ViaPorts[0].m_pHostProbe = vias[0];
  portRecord.m_ViaPorts[1].m_pHostProbe = vias[1];
  portRecord.m_ViaPorts[2].m_pHostProbe = vias[1];   // the same via twice: the later one is the one switched
  portRecord.m_ViaPorts[0].m_bEnabled = 1;
  portRecord.m_SupplyPorts.SetSize(2);
  portRecord.m_SupplyPorts[1].m_bEnabled = 1;
  // Without a dialog the flag changes but the answer is false.
  EXPECT_FALSE(extractor->SetViaPortEnabled(vias[1]->GetElement(), true));
  EXPECT_FALSE(portRecord.m_ViaPorts[1].m_bEnabled);
  EXPECT_TRUE(portRecord.m_ViaPorts[2].m_bEnabled);
  EXPECT_TRUE(extractor->IsViaPortEnabled(vias[1]->GetElement()));
  EXPECT_FALSE(extractor->SetViaPortEnabled(vias[2]->GetElement(), true));
  EXPECT_FALSE(extractor->IsViaPortEnabled(vias[2]->GetElement()));
  ASSERT_EQ(extractor->BuildEnabledPortList(), 3);
  EXPECT_EQ(extractor->GetEnabledPort(0), &portRecord.m_SupplyPorts[1]);   // supply pins first
  EXPECT_EQ(extractor->GetEnabledPort(1), &portRecord.m_ViaPorts[0]);
  EXPECT_EQ(extractor->GetEnabledPort(2), &portRecord.m_ViaPorts[2]);
  EXPECT_TRUE(RaisesInvalidArgument([&] { extractor->GetEnabledPort(3); }));
  // A factory call replaces the ports; the list must not hand out the old ones.
  CModelExtractorWizardAPI::Create();
  EXPECT_TRUE(RaisesInvalidArgument([&] { extractor->GetEnabledPort(0); }));
}

TEST_F(WizardAPI, NetsOfTheDecouplingObjectAndTheOthersEndTheProcess) {
  CBrimsteadAPI* api = CBrimsteadAPI::Create();
  EXPECT_EQ(api->QueryFirstNet(), nullptr);
  CDecouplingAnalysisData& record = *GetDecouplingAnalysisData();
  record.m_pNet1 = board->FindNet("VDD_CORE");
  record.m_pNet2 = board->FindNet("GND");
  ASSERT_NE(record.m_pNet1, nullptr);
  ASSERT_NE(record.m_pNet2, nullptr);
  EXPECT_STREQ(api->QueryFirstNet(), "VDD_CORE");
  EXPECT_STREQ(api->QuerySecondNet(), "GND");
  CHostNet* first = nullptr;
  CHostNet* second = nullptr;
  api->GetNets(&first, &second);
  EXPECT_EQ(first, record.m_pNet1);
  EXPECT_EQ(second, record.m_pNet2);

  CWizardAPI* bypass = CBypassWizardAPI::Create();
  EXPECT_EXIT(bypass->QueryFirstNet(), ::testing::ExitedWithCode(1), "FATAL ERROR: Line:[0-9]+,   File:.*BypassWizardAPI.cpp   File date:");
  CWizardAPI* extractor = CModelExtractorWizardAPI::Create();
  EXPECT_EXIT(extractor->QuerySecondNet(), ::testing::ExitedWithCode(1), "FATAL ERROR");
}

}  // namespace
