// The ".dao" settings file: golden files per wizard kind (fixed clock), read-back, missing and corrupt values,
// stale files, files of another kind, path rules and the probe sections.
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/SettingsIO.h"
#include "brimstead/tests/RecordTestSupport.h"
#include "host/HostCallbackLog.h"
#include "host/HostNet.h"
#include "host/tests/HostTestBoards.h"
#include "platform/base/CTime.h"
#include "platform/base/IniStore.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/SystemError.h"
#include "platform/base/VirtualClock.h"
#include "platform/base/tests/CommaLocale.h"
#include "platform/base/tests/TempDir.h"
#include "shared/Misc_Ini.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteBytes(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class SettingsFile : public RecordTest {
protected:
  SettingsFile() = default;
  explicit SettingsFile(const std::function<std::unique_ptr<host::HostBoard>(host::HostLedger&)>& load)
      : RecordTest(load) {}
  void SetUp() override {
    plat::VirtualClock::Reset();
    plat::VirtualClock::FixTimeOfDay();  // the golden files' stamp
    dir = temp.Path();
    project = (dir / "demo8.json").string();
  }
  void TearDown() override { RecordTest::TearDown(); }

  template <class T>
  T* MakeWithProject(bool boardMode) {
    T* record = Make<T>(boardMode);
    EXPECT_TRUE(record->SetProjectPath(project.c_str()));
    return record;
  }

  // Compares a saved file with its golden file; with BRIM_UPDATE_GOLDEN set, writes the golden file instead.
  void ExpectGolden(const std::string& name, const fs::path& file) {
    std::string text = ReadBytes(file);
    // The bypass record stores the full project path: make it independent of the temporary folder.
    for (size_t at; (at = text.find(dir.string())) != std::string::npos;)
      text.replace(at, dir.string().size(), "<DIR>");
    const fs::path golden = fs::path(std::getenv("BRIM_SOURCE_DIR")) / "brimstead/tests/golden" / name;
    if (std::getenv("BRIM_UPDATE_GOLDEN")) {
      WriteBytes(golden, text);
      return;
    }
    EXPECT_EQ(text, ReadBytes(golden)) << "golden file " << golden;
  }

  TempDir temp{"brim-dao"};   // a folder of this test's own, whatever else runs at the same time
  fs::path dir;
  std::string project;
};

// ---- golden files, one per kind and mode, each read back into a fresh record ----

TEST_F(SettingsFile, DecouplingSystemModeGoldenAndReadBack) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->m_pNet2 = board->FindNet("GND");
  d->CollectProbes();
  d->m_Probes[0].m_bEnabled = 1;
  d->m_Probes[3].m_bEnabled = 1;
  d->m_nAnalysisType = AnalysisDistributed;
  d->m_nMode = 1;
  d->m_dTargetImpedance = 0.0025;
  d->m_nFreqSweepMode = SweepLinear;
  d->m_dMinFreq = 1e5;
  d->m_dMaxFreq = 1.5e9;
  d->SetDRCReportMode(DRCReportCSV);
  ASSERT_TRUE(d->Save());
  ExpectGolden("decoupling_system.dao", d->m_SettingsPath.GetString());
  const std::string saved = ReadBytes(d->m_SettingsPath.GetString());

  // A fresh record of the same set-up reads it back: nets, probe order and states, options.
  SetCurrentAnalysisData(nullptr);
  auto* r = MakeWithProject<CDecouplingAnalysisData>(false);
  board->Pick({"U1.D4", "U1.G7", "U1.G4", "U1.D7"});   // the board view's picks in another order
  ASSERT_TRUE(r->Load(r->m_SettingsPath));
  EXPECT_EQ(r->m_pNet1, board->FindNet("VDD_CORE"));
  EXPECT_EQ(r->m_pNet2, board->FindNet("GND"));
  ASSERT_EQ(r->m_Probes.GetSize(), 4);
  EXPECT_STREQ(r->m_Probes[0].GetName(), "U1.G7");
  EXPECT_TRUE(r->m_Probes[0].m_bEnabled);
  EXPECT_STREQ(r->m_Probes[3].GetName(), "U1.D4");
  EXPECT_TRUE(r->m_Probes[3].m_bEnabled);
  EXPECT_FALSE(r->m_Probes[1].m_bEnabled);
  EXPECT_EQ(r->m_nMode, 1);
  EXPECT_DOUBLE_EQ(r->m_dTargetImpedance, 0.0025);
  EXPECT_EQ(r->m_nFreqSweepMode, SweepLinear);
  EXPECT_DOUBLE_EQ(r->m_dMaxFreq, 1.5e9);
  EXPECT_EQ(r->m_nDRCReportMode, DRCReportCSV);
  EXPECT_EQ(r->m_DRCReportFile, (dir / "demo8.csv").string().c_str());
  EXPECT_EQ(r->m_PageFlags[0], 1);
  EXPECT_EQ(r->m_PageFlags[1], 0);
  ASSERT_TRUE(r->Save());
  EXPECT_EQ(ReadBytes(r->m_SettingsPath.GetString()), saved);
}

TEST_F(SettingsFile, DecouplingBoardModeGoldenAndReadBack) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(true);
  d->m_Probes[1].m_bEnabled = 1;
  ASSERT_TRUE(d->Save());
  ExpectGolden("decoupling_board.dao", d->m_SettingsPath.GetString());
  SetCurrentAnalysisData(nullptr);
  board->Pick({"U1.D4", "V_TX0_P", "U1.G4"});
  auto* r = MakeWithProject<CDecouplingAnalysisData>(true);
  ASSERT_TRUE(r->Load(r->m_SettingsPath));
  // Named picks in file order, then the pick no line names; the lines of pins not picked are ignored.
  ASSERT_EQ(r->m_Probes.GetSize(), 3);
  EXPECT_STREQ(r->m_Probes[0].GetName(), "V_TX0_P");
  EXPECT_TRUE(r->m_Probes[0].m_bEnabled);
  EXPECT_STREQ(r->m_Probes[1].GetName(), "U1.G4");
  EXPECT_STREQ(r->m_Probes[2].GetName(), "U1.D4");
}

TEST_F(SettingsFile, BypassGoldenKeepsTheFullProjectPathAndTheChosenPair) {
  board->Pick({"V_TX0_P", "V_DQ1"});
  auto* b = MakeWithProject<CBypassAnalysisData>(true);
  ASSERT_EQ(b->m_Probes.GetSize(), 2);
  CBypassViaProbe& dq = b->m_Probes[0];
  b->CheckProbe(dq);
  dq.m_FirstLayer = "TOP";
  dq.m_SecondLayer = "L6_SIG";
  dq.m_bEnabled = 1;
  ASSERT_TRUE(b->Save());
  ExpectGolden("bypass_board.dao", b->m_SettingsPath.GetString());

  SetCurrentAnalysisData(nullptr);
  auto* r = MakeWithProject<CBypassAnalysisData>(true);
  ASSERT_TRUE(r->Load(r->m_SettingsPath));
  ASSERT_EQ(r->m_Probes.GetSize(), 2);
  EXPECT_STREQ(r->m_Probes[0].GetName(), "V_DQ1");
  EXPECT_TRUE(r->m_Probes[0].m_bEnabled);
  EXPECT_EQ(r->m_Probes[0].m_SecondLayer, "L6_SIG");
  EXPECT_TRUE(r->m_Probes[1].m_FirstLayer.IsEmpty());
}

TEST_F(SettingsFile, ViaModelGoldenAndReadBack) {
  board->Pick({"V_TX0_P", "V_DQ1"});
  auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
  v->m_bExportDifferentialMode = true;
  v->m_bDiffViaType = true;
  v->m_dNormalImpedance = 85.0;
  v->m_Probes[0].m_bEnabled = 0;
  ASSERT_TRUE(v->Save());
  ExpectGolden("diffvia_board.dao", v->m_SettingsPath.GetString());
  SetCurrentAnalysisData(nullptr);
  auto* r = MakeWithProject<CDiffViaAnalysisData>(true);
  ASSERT_TRUE(r->Load(r->m_SettingsPath));
  EXPECT_TRUE(r->m_bExportDifferentialMode);
  EXPECT_FALSE(r->m_bExportCommonMode);
  EXPECT_DOUBLE_EQ(r->m_dNormalImpedance, 85.0);
  ASSERT_EQ(r->m_Probes.GetSize(), 2);
  EXPECT_STREQ(r->m_Probes[0].GetName(), "V_DQ1");
  EXPECT_FALSE(r->m_Probes[0].m_bEnabled);
  EXPECT_TRUE(r->m_Probes[0].m_bValid);   // checked while the line was matched
}

TEST_F(SettingsFile, ExtractorListModeGoldenSelectsTheNetAgainAndTellsTheHost) {
  board->Pick({"U1.D4", "V_RESET", "V_TX0_P"});
  auto* e = MakeWithProject<CModelExtractorAnalysisData>(false);
  e->m_pSelectedNet = board->FindNet("VDD_CORE");
  e->m_ViaPorts[0].m_bEnabled = 0;
  ASSERT_TRUE(e->Save());
  ExpectGolden("extractor_list.dao", e->m_SettingsPath.GetString());

  SetCurrentAnalysisData(nullptr);
  host::HostCallbackLog callback;
  hook.SetCallback(&callback);
  board->Pick({"V_TX0_P", "V_RESET", "U1.D4"});
  auto* r = MakeWithProject<CModelExtractorAnalysisData>(false);
  ASSERT_TRUE(r->Load(r->m_SettingsPath));
  EXPECT_EQ(r->m_pSelectedNet, board->FindNet("VDD_CORE"));
  EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"SelectNet 1 VDD_CORE"}));
  ASSERT_EQ(r->m_ViaPorts.GetSize(), 2);
  EXPECT_EQ(r->m_ViaPorts[0].m_DisplayName, "V_TX0_P");
  EXPECT_FALSE(r->m_ViaPorts[0].m_bEnabled);
  EXPECT_EQ(r->m_ViaPorts[1].m_DisplayName, "RESET_N (0.025000,0.070000)");
  EXPECT_DOUBLE_EQ(r->m_dNormalImpedance, 0.1);
  hook.SetCallback(nullptr);
}

// The net line may stand anywhere among the port lines (a hand edit), once or more: the host's answer to it collects
// the ports again (its board view then holds the net's vias), and the load still gives the ports as saved, each
// once with its saved state, and saves them back as they were.
TEST_F(SettingsFile, ExtractorListModeNetLineAnywhereGivesThePortsAsSaved) {
  const std::vector<std::string> supplyPins{"U1.D4", "U1.D7", "U1.G4", "U1.G7", "U1.F2"};
  auto pickWith = [&](std::vector<std::string> vias) {
    vias.insert(vias.begin(), supplyPins.begin(), supplyPins.end());
    ASSERT_TRUE(board->Pick(vias));
  };
  pickWith({"V_RX0_P", "V_RX0_N"});
  auto* e = MakeWithProject<CModelExtractorAnalysisData>(false);
  e->m_pSelectedNet = board->FindNet("PCIE_RX0_N");
  for (CPortProbeArray* ports : {&e->m_SupplyPorts, &e->m_ViaPorts})
    for (int i = 0; i < ports->GetSize(); ++i)
      (*ports)[i].m_bEnabled = (*ports)[i].m_DisplayName != "U1.D4" && (*ports)[i].m_DisplayName != "V_RX0_N";
  ASSERT_TRUE(e->Save());
  const std::string file = e->m_SettingsPath.GetString();
  const std::string saved = ReadIniSection("PDN_CHANNEL_PROBES", file.c_str());
  std::vector<std::string> net, supply, vias;
  for (const char* entry = saved.c_str(); *entry; entry += std::strlen(entry) + 1)
    (*entry == 'N' ? net : *entry == 'S' ? supply : vias).push_back(entry);
  ASSERT_EQ(net.size(), 1u);
  ASSERT_EQ(supply.size(), 5u);
  ASSERT_EQ(vias.size(), 2u);
  auto portsOf = [](CModelExtractorAnalysisData& record) {
    std::vector<std::string> ports;
    for (CPortProbeArray* list : {&record.m_SupplyPorts, &record.m_ViaPorts})
      for (int i = 0; i < list->GetSize(); ++i)
        ports.push_back(std::string((*list)[i].m_DisplayName) + ((*list)[i].m_bEnabled ? " +" : ""));
    return ports;
  };
  const std::vector<std::string> expected = portsOf(*e);
  ASSERT_EQ(expected.size(), 7u);

  // The lines in each order: N the net line, S and V the next supply or via line.
  const struct {
    const char* what;
    const char* order;
  } cases[] = {{"as saved", "NSSSSSVV"},
               {"after the supply lines", "SSSSSNVV"},
               {"last", "SSSSSVVN"},
               {"twice", "SSNSSSNVV"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text;
    size_t nextSupply = 0, nextVia = 0;
    for (const char* at = c.order; *at; ++at)
      text += (*at == 'N' ? net[0] : *at == 'S' ? supply.at(nextSupply++) : vias.at(nextVia++)) + "\r\n";
    ASSERT_TRUE(WritePrivateProfileSection("PDN_CHANNEL_PROBES", text.c_str(), file.c_str()));

    SetCurrentAnalysisData(nullptr);
    pickWith({"V_TX0_P", "V_TX0_N"});   // the board view's own picks, before the load selects the net
    auto* r = MakeWithProject<CModelExtractorAnalysisData>(false);
    host::HostCallbackLog callback;
    callback.OnSelectNet([&](CHostNet* selected) {
      pickWith({"V_RX0_P", "V_RX0_N"});
      r->m_pSelectedNet = selected;
      r->CollectProbes();
    });
    hook.SetCallback(&callback);
    ASSERT_TRUE(r->Load(file.c_str()));
    hook.SetCallback(nullptr);
    EXPECT_EQ(r->m_pSelectedNet, board->FindNet("PCIE_RX0_N"));
    EXPECT_EQ(portsOf(*r), expected);
    ASSERT_TRUE(r->Save());
    EXPECT_EQ(ReadIniSection("PDN_CHANNEL_PROBES", file.c_str()), saved);
  }
}

TEST_F(SettingsFile, ExtractorBoardModeGoldenWritesNoNetLine) {
  board->Pick({"U1.D4", "V_TX0_P"});
  auto* e = MakeWithProject<CModelExtractorAnalysisData>(true);
  e->m_pSelectedNet = board->FindNet("VDD_CORE");
  e->m_dNormalImpedance = 0.05;
  ASSERT_TRUE(e->Save());
  ExpectGolden("extractor_board.dao", e->m_SettingsPath.GetString());
  EXPECT_EQ(ReadBytes(e->m_SettingsPath.GetString()).find("NET"), std::string::npos);
}

TEST_F(SettingsFile, SystemModeProbeSectionsOfViaRecordsAreEmptyAndNeverRead) {
  auto* b = MakeWithProject<CBypassAnalysisData>(false);
  ASSERT_TRUE(b->Save());
  EXPECT_EQ(ReadIniSection("VIA_PROBES", b->m_SettingsPath), std::string(2, '\0'));
  fs::remove(b->m_SettingsPath.GetString());
  auto* v = MakeWithProject<CDiffViaAnalysisData>(false);
  ASSERT_TRUE(v->Save());
  ExpectGolden("diffvia_system.dao", v->m_SettingsPath.GetString());
}

TEST_F(SettingsFile, UnfixedClockStampsTheRealLocalTime) {
  plat::VirtualClock::UseRealTimeOfDay();
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  const CTime before = CTime::GetCurrentTime();
  ASSERT_TRUE(d->Save());
  const CTime after = CTime::GetCurrentTime();
  char stamp[128] = {};
  GetPrivateProfileString("HEADER", "DateTime", "", stamp, sizeof stamp, d->m_SettingsPath);
  EXPECT_TRUE(stamp == before.Format("%#c") || stamp == after.Format("%#c")) << stamp;
  EXPECT_GE(before.GetYear(), 2025) << "the machine's clock, not the fixed one";
}

// ---- missing, corrupt, stale ----

TEST_F(SettingsFile, AnalysisTypeNoneWritesOnlyBoardAndHeader) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_nAnalysisType = AnalysisNone;
  ASSERT_TRUE(d->Save());
  const std::string text = ReadBytes(d->m_SettingsPath.GetString());
  EXPECT_EQ(text.find("[OPTIONS"), std::string::npos);
  EXPECT_NE(text.find("[HEADER]"), std::string::npos);
  ASSERT_TRUE(d->Load(d->m_SettingsPath));
  EXPECT_EQ(d->m_nAnalysisType, AnalysisLumped);
}

TEST_F(SettingsFile, MissingKeysGiveTheFileFormatsDefaults) {
  const fs::path file = dir / "bare.dao";
  WriteBytes(file, "[HEADER]\r\nFileVersion=1.0\r\n");
  auto* e = MakeWithProject<CModelExtractorAnalysisData>(false);
  e->m_bExportShuntModel = 0;
  ASSERT_TRUE(e->Load(file.string().c_str()));
  EXPECT_EQ(e->m_nAnalysisType, AnalysisDistributed);
  EXPECT_EQ(e->m_bExportShuntModel, 1);
  EXPECT_EQ(e->m_bUseFDTD, 1);
  EXPECT_EQ(e->m_bGenerateS, 1);
  EXPECT_DOUBLE_EQ(e->m_dTargetImpedance, 0.001) << "the file format's 0.0 is below the page's range";
  EXPECT_DOUBLE_EQ(e->m_dMinFreq, 1e6);
  EXPECT_DOUBLE_EQ(e->m_dMaxFreq, 3e8);
  EXPECT_EQ(e->m_nDRCReportMode, DRCNoReport);
  EXPECT_EQ(e->m_nBoardIndex, -1);   // no project stored: not this project
  EXPECT_EQ(e->m_SupplyPorts.GetSize(), 0);
  EXPECT_EQ(e->m_SettingsPath, file.string().c_str());

  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(d->Load(file.string().c_str()));
  EXPECT_EQ(d->m_nAnalysisType, AnalysisLumped);
  EXPECT_EQ(d->m_bGenerateS, 0);
}

TEST_F(SettingsFile, CorruptValuesAreReadSoftly) {
  const fs::path file = dir / "corrupt.dao";
  WriteBytes(file, "[OPTIONS_DW]\r\nAnalysis=distributed\r\nMode=custom\r\nAdaptiveSweepAccuracy=7\r\n"
                   "MaxAdaptiveFreqNumber=12abc\r\nMinFreq=abc\r\nMaxFreq=1e999\r\nDRCReportMode=csv\r\n"
                   "FreqSweepMode=linear\r\nTargetImpedancee=0,5\r\n");
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_nMode = 1;
  ASSERT_TRUE(d->Load(file.string().c_str()));
  EXPECT_EQ(d->m_nAnalysisType, AnalysisLumped);   // names are case-sensitive
  EXPECT_EQ(d->m_nMode, 0);
  EXPECT_EQ(d->m_nAdaptiveSweepAccuracy, 3);
  EXPECT_EQ(d->m_nMaxAdaptiveFreqNumber, 50);   // "12abc" is no count the page takes
  EXPECT_DOUBLE_EQ(d->m_dMinFreq, 1e6);   // no number, and an infinite maximum: the defaults
  EXPECT_DOUBLE_EQ(d->m_dMaxFreq, 3e8);
  EXPECT_EQ(d->m_nDRCReportMode, DRCReportXLS);   // any other word reads as XLS
  EXPECT_EQ(d->m_nFreqSweepMode, SweepAdaptive);
  EXPECT_DOUBLE_EQ(d->m_dTargetImpedance, 0.001);   // "0,5" reads as 0, which the page refuses
  CString text;
  const CPageIdList pages = d->Check(&text);
  EXPECT_EQ(std::count(pages.begin(), pages.end(), 1018), 0) << "the sweep the check gets is the default one";
  // A lone carriage return inside a value ends it, so the record can be saved again.
  WriteBytes(file, "[OPTIONS_DW]\r\nAnalysis=Quick\r\nAdaptiveSweepAccuracy=0\r\nDRCReportFile=rep\rjunk\r\n");
  ASSERT_TRUE(d->Load(file.string().c_str()));
  EXPECT_EQ(d->m_nAdaptiveSweepAccuracy, 1);
  EXPECT_EQ(d->m_nAnalysisType, AnalysisQuick);
  EXPECT_EQ(d->m_DRCReportFile, (dir / "rep").string().c_str());
  d->m_SettingsPath = (dir / "saved.dao").string().c_str();
  EXPECT_TRUE(d->Save());
}

// A number its page would refuse (no number, not finite, negative, outside the page's range, a maximum not above
// the minimum) reads as the record's default, as an unknown word does; a number the page accepts is kept. One
// file set per record kind, each through the kind's own options section.
TEST_F(SettingsFile, NumbersThePagesWouldRefuseReadAsTheRecordsDefaults) {
  const fs::path file = dir / "bad.dao";
  auto load = [&](CAnalysisData* record, const std::string& text) {
    WriteBytes(file, text);
    EXPECT_TRUE(record->Load(file.string().c_str())) << text;
  };
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  load(d, "[OPTIONS_DW]\r\nTargetImpedancee=nan\r\nMinFreq=-1\r\nMaxFreq=inf\r\nFDTDInterval=nan\r\n");
  EXPECT_EQ(d->m_dTargetImpedance, 0.001);
  EXPECT_EQ(d->m_dMinFreq, 1e6);
  EXPECT_EQ(d->m_dMaxFreq, 3e8);
  EXPECT_EQ(d->m_dFDTDInterval, 0.0);
  load(d, "[OPTIONS_DW]\r\nTargetImpedancee=10.5\r\nMinFreq=5e8\r\nMaxFreq=1e8\r\nFDTDInterval=-inf\r\n");
  EXPECT_EQ(d->m_dTargetImpedance, 0.001) << "10500 milliohms is above the page's 10000";
  EXPECT_EQ(d->m_dMinFreq, 1e6) << "no default maximum lies above 500 MHz: both defaults";
  EXPECT_EQ(d->m_dMaxFreq, 3e8);
  EXPECT_EQ(d->m_dFDTDInterval, 0.0);
  load(d, "[OPTIONS_DW]\r\nTargetImpedancee=10\r\nMinFreq=1000\r\nMaxFreq=1e306\r\nFDTDInterval=-2.5\r\n");
  EXPECT_EQ(d->m_dTargetImpedance, 10.0);
  EXPECT_EQ(d->m_dMinFreq, 1e3);
  EXPECT_EQ(d->m_dMaxFreq, 1e306);
  EXPECT_EQ(d->m_dFDTDInterval, -2.5) << "the debug page takes any number";

  auto* b = MakeWithProject<CBypassAnalysisData>(false);
  load(b, "[OPTIONS_BW]\r\nTargetImpedancee=nan\r\nMinFreq=nan\r\nMaxFreq=nan\r\n");
  EXPECT_EQ(b->m_dTargetImpedance, 0.001);
  EXPECT_EQ(b->m_dMinFreq, 1e6);
  EXPECT_EQ(b->m_dMaxFreq, 5e9);
  load(b, "[OPTIONS_BW]\r\nTargetImpedancee=-1\r\nMinFreq=999\r\nMaxFreq=1e999\r\n");
  EXPECT_EQ(b->m_dTargetImpedance, 0.001);
  EXPECT_EQ(b->m_dMinFreq, 1e6);
  EXPECT_EQ(b->m_dMaxFreq, 5e9);
  load(b, "[OPTIONS_BW]\r\nTargetImpedancee=0.002\r\nMinFreq=2e6\r\nMaxFreq=2e6\r\n");
  EXPECT_EQ(b->m_dTargetImpedance, 0.002);
  EXPECT_EQ(b->m_dMinFreq, 2e6);
  EXPECT_EQ(b->m_dMaxFreq, 5e9) << "a maximum equal to the minimum is refused";

  auto* v = MakeWithProject<CDiffViaAnalysisData>(false);
  for (const char* bad : {"nan", "inf", "-inf", "-5", "0", "10001", "1e999"}) {
    load(v, std::string("[OPTIONS_DV]\r\nNormalImpedance=") + bad + "\r\nMaxFreq=-3e9\r\n");
    EXPECT_EQ(v->m_dNormalImpedance, 50.0) << bad;
    EXPECT_EQ(v->m_dMaxFreq, 5e9) << bad;
  }
  load(v, "[OPTIONS_DV]\r\nNormalImpedance=85\r\nMaxFreq=3e9\r\n");
  EXPECT_EQ(v->m_dNormalImpedance, 85.0);
  EXPECT_EQ(v->m_dMaxFreq, 3e9);

  auto* e = MakeWithProject<CModelExtractorAnalysisData>(false);
  for (const char* bad : {"nan", "inf", "-inf", "-0.1", "0.0009", "20000", "1e999"}) {
    load(e, std::string("[OPTIONS_ME]\r\nNormalImpedance=") + bad + "\r\nMinFreq=-inf\r\n");
    EXPECT_EQ(e->m_dNormalImpedance, 0.1) << bad;
    EXPECT_EQ(e->m_dMinFreq, 1e6) << bad;
  }
  load(e, "[OPTIONS_ME]\r\nNormalImpedance=10000\r\n");
  EXPECT_EQ(e->m_dNormalImpedance, 10000.0);
}

TEST_F(SettingsFile, AFileOfAnotherProjectSelectsNoBoard) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->m_pNet2 = board->FindNet("GND");
  d->CollectProbes();
  ASSERT_TRUE(d->Save());
  const std::string saved = d->m_SettingsPath.GetString();
  SetCurrentAnalysisData(nullptr);
  auto* other = Make<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(other->SetProjectPath((dir / "other.json").string().c_str()));
  ASSERT_TRUE(other->Load(saved.c_str()));
  EXPECT_EQ(other->m_nBoardIndex, -1);
  EXPECT_EQ(other->m_pBoard, nullptr);
  EXPECT_EQ(other->m_pNet1, nullptr);
  EXPECT_EQ(other->m_Probes.GetSize(), 0);
}

TEST_F(SettingsFile, OnlySupplyNetsWithPlanesAreFoundByName) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(d->Save());
  const std::string file = d->m_SettingsPath.GetString();
  WritePrivateProfileString("BOARD", "Net1_Name", "USB_DP", file.c_str());
  WritePrivateProfileString("BOARD", "Net2_Name", "VCC_3V3", file.c_str());
  ASSERT_TRUE(d->Load(file.c_str()));
  EXPECT_EQ(d->m_pNet1, nullptr);   // a signal net
  EXPECT_EQ(d->m_pNet2, board->FindNet("VCC_3V3"));
  EXPECT_EQ(d->m_Probes.GetSize(), 0);   // without both nets nothing is collected
}

TEST_F(SettingsFile, MovingBothFilesKeepsTheBoardSection) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(d->Save());
  const fs::path moved = dir / "moved";
  fs::create_directories(moved);
  fs::rename(d->m_SettingsPath.GetString(), moved / "demo8.dao");
  SetCurrentAnalysisData(nullptr);
  auto* r = Make<CDecouplingAnalysisData>(false);
  r->SelectBoard(-1);
  ASSERT_TRUE(r->SetProjectPath((moved / "demo8.json").string().c_str()));
  ASSERT_TRUE(r->Load((moved / "demo8.dao").string().c_str()));
  EXPECT_EQ(r->m_nBoardIndex, 0);
}

// A report and a settings file come back as the user chose them, and a settings file is the project's only when
// the project it stores is this one: folders whose names differ in case only are two folders (the report in "A/"
// was stored as a bare name, which loads into "a/"), and a doubled separator changes no folder.
TEST_F(SettingsFile, ChosenPathsComeBackAndFoldersDifferingInCaseAreTwo) {
  const std::string a = (dir / "a").string(), A = (dir / "A").string();
  fs::create_directories(a);
  fs::create_directories(A);
  fs::create_directories(a + "/x:p");
  const struct {
    const char* what;
    std::string project, settings, report;   // the save's
    std::string loadProject, loaded;         // the load's project, and the path it loads
    std::string storedProject, storedReport;
    bool taken;   // the board section is read: the nets come back
  } cases[] = {
      {"settings and report in the twin folder", a + "/demo8.json", A + "/demo8.dao", A + "/report.csv",
       a + "/demo8.json", A + "/demo8.dao", a + "/demo8.json", A + "/report.csv", true},
      {"report in the twin folder", a + "/demo8.json", a + "/demo8.dao", A + "/report.csv", a + "/demo8.json",
       a + "/demo8.dao", "demo8.json", A + "/report.csv", true},
      {"report beside the project", a + "/demo8.json", A + "/demo8.dao", a + "/report.csv", a + "/demo8.json",
       A + "/demo8.dao", a + "/demo8.json", "report.csv", true},
      {"the twin folder's project", A + "/demo8.json", A + "/demo8.dao", A + "/report.csv", a + "/demo8.json",
       A + "/demo8.dao", "demo8.json", "report.csv", false},
      {"doubled separator in the project", a + "//demo8.json", a + "//demo8.dao", a + "//report.csv",
       a + "//demo8.json", a + "/demo8.dao", "demo8.json", "report.csv", true},
      {"doubled separator in the loaded path", a + "/demo8.json", a + "/demo8.dao", a + "/report.csv",
       a + "/demo8.json", a + "//./demo8.dao", "demo8.json", "report.csv", true},
      {"a colon in the report's name", a + "/demo8.json", a + "/demo8.dao", a + "/run-12:30.csv", a + "/demo8.json",
       a + "/demo8.dao", "demo8.json", "run-12:30.csv", true},
      // A bare name that begins with a letter and a colon would read back as a drive: such names are stored in full.
      {"names that begin as a drive", a + "/x:demo8.json", a + "/x:demo8.dao", a + "/x:report.csv",
       a + "/x:demo8.json", a + "/x:demo8.dao", a + "/x:demo8.json", a + "/x:report.csv", true},
      {"a colon in the folder's name", a + "/x:p/demo8.json", a + "/x:p/demo8.dao", a + "/x:p/12:30.csv",
       a + "/x:p/demo8.json", a + "/x:p/demo8.dao", "demo8.json", "12:30.csv", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetCurrentAnalysisData(nullptr);
    auto* d = Make<CDecouplingAnalysisData>(false);
    ASSERT_TRUE(d->SetProjectPath(c.project.c_str()));
    d->m_pNet1 = board->FindNet("VDD_CORE");
    d->m_pNet2 = board->FindNet("GND");
    d->m_nAnalysisType = AnalysisQuick;
    d->SetDRCReportMode(DRCReportCSV);
    d->m_DRCReportFile = c.report.c_str();
    d->m_SettingsPath = c.settings.c_str();
    ASSERT_TRUE(d->Save());
    char stored[MAX_PATH] = {};
    GetPrivateProfileString("BOARD", "ProjectPath", "", stored, sizeof stored, c.settings.c_str());
    EXPECT_EQ(std::string(stored), c.storedProject);
    GetPrivateProfileString("OPTIONS_DW", "DRCReportFile", "", stored, sizeof stored, c.settings.c_str());
    EXPECT_EQ(std::string(stored), c.storedReport);

    SetCurrentAnalysisData(nullptr);
    auto* r = Make<CDecouplingAnalysisData>(false);
    ASSERT_TRUE(r->SetProjectPath(c.loadProject.c_str()));
    ASSERT_TRUE(r->Load(c.loaded.c_str()));
    EXPECT_EQ(r->m_pNet1 != nullptr, c.taken);
    if (c.taken) {
      EXPECT_EQ(std::string(r->m_DRCReportFile.GetString()), c.report);
      EXPECT_EQ(r->m_nBoardIndex, 0);
    } else {
      EXPECT_EQ(r->m_nBoardIndex, -1);
    }
    fs::remove(c.settings);
  }
}

// The host's settings copy is read as the copy, whose stored project is not checked, whichever way the path the
// copy buffer holds is written.
TEST_F(SettingsFile, TheSettingsCopyIsKnownByItsPathWrittenAnyWay) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->m_pNet2 = board->FindNet("GND");
  d->m_SettingsPath = (dir / "copy.dao").string().c_str();
  ASSERT_TRUE(d->Save());
  SetCurrentAnalysisData(nullptr);
  auto* other = Make<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(other->SetProjectPath((dir / "other.json").string().c_str()));
  char copy[MAX_PATH] = {};
  std::snprintf(copy, sizeof copy, "%s//./copy.dao", dir.string().c_str());
  other->m_pSettingsCopyBuffer = copy;
  ASSERT_TRUE(other->Load((dir / "copy.dao").string().c_str()));
  EXPECT_EQ(other->m_pNet1, board->FindNet("VDD_CORE"));
}

TEST_F(SettingsFile, FilesOfOneKindReadByAnother) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(true);
  d->m_dTargetImpedance = 0.5;
  ASSERT_TRUE(d->Save());
  const std::string file = d->m_SettingsPath.GetString();
  auto* e = MakeWithProject<CModelExtractorAnalysisData>(true);
  ASSERT_TRUE(e->Load(file.c_str()));
  EXPECT_EQ(e->m_nAnalysisType, AnalysisDistributed);   // its own options section is missing
  EXPECT_DOUBLE_EQ(e->m_dTargetImpedance, 0.001);       // the format's 0.0, which the page refuses
  EXPECT_EQ(e->m_nBoardIndex, 0);                       // the board section is shared
  EXPECT_EQ(e->m_SupplyPorts.GetSize() + e->m_ViaPorts.GetSize(), 7);   // no probe section: all picks
  auto* b = MakeWithProject<CBypassAnalysisData>(true);
  ASSERT_TRUE(b->Load(file.c_str()));
  EXPECT_EQ(b->m_Probes.GetSize(), 2);   // the picks eligible as vias: the TX0 pair
}

// ---- Save and Load faults built soundly ----

TEST_F(SettingsFile, SaveRefusesAnEmptyPathAndReportsAWriteFailure) {
  auto* d = Make<CDecouplingAnalysisData>(false);
  EXPECT_FALSE(d->Save());
  d->m_SettingsPath = (dir / "missing-folder" / "x.dao").string().c_str();
  EXPECT_FALSE(d->Save());
}

// Every record's save, failing at each of its profile writes in turn and at the file's replace, reports the
// failure and leaves the file it saved before byte for byte.
TEST_F(SettingsFile, ASaveInterruptedAtAnyWriteLeavesTheOldFile) {
  auto interrupt = [&](CAnalysisData* record, const char* kind) {
    record->m_nAnalysisType = AnalysisDistributed;
    ASSERT_TRUE(record->Save()) << kind;
    const std::string old = ReadBytes(record->m_SettingsPath.GetString());
    record->m_dMinFreq = 2.5e5;
    int steps = 0;
    std::function<int()> count = [&] { return ++steps, 0; };
    const auto previous = plat::IniStore::SetFaultHook(count);
    ASSERT_TRUE(record->Save()) << kind;
    const std::string saved = ReadBytes(record->m_SettingsPath.GetString());
    ASSERT_NE(saved, old) << kind;
    WriteBytes(record->m_SettingsPath.GetString(), old);
    EXPECT_GT(steps, 30) << kind;
    for (int failAt = 1; failAt <= steps; ++failAt) {
      int step = 0;
      plat::IniStore::SetFaultHook([&] { return ++step == failAt ? EIO : 0; });
      EXPECT_FALSE(record->Save()) << kind << ": failure at step " << failAt;
      EXPECT_EQ(ReadBytes(record->m_SettingsPath.GetString()), old) << kind << ": failure at step " << failAt;
    }
    plat::IniStore::SetFaultHook(previous);
    EXPECT_TRUE(record->Save()) << kind;
    EXPECT_EQ(ReadBytes(record->m_SettingsPath.GetString()), saved) << kind;
    SetCurrentAnalysisData(nullptr);
  };
  interrupt(MakeWithProject<CDecouplingAnalysisData>(true), "decoupling");
  interrupt(MakeWithProject<CBypassAnalysisData>(true), "bypass");
  interrupt(MakeWithProject<CDiffViaAnalysisData>(true), "via model");
  interrupt(MakeWithProject<CModelExtractorAnalysisData>(true), "extractor");
}

// A save that cannot write one of its values or probe lines, as no line of the file holds a line break, answers
// false with its reason and the refused value, and leaves the file as it was: an output name with a line feed or a
// carriage return in every kind, and the extractor's net.
TEST_F(SettingsFile, ASaveRefusingAValueOrProbeLineChangesNothing) {
  host::HostNet broken(ledger, "PCIE_RX0\nN", host::NetType::Signal, 0);
  const char* const names[] = {"out\nname.s2p", "out\rname.s2p"};
  auto refuse = [&](CAnalysisData* record, const std::function<void()>& spoil) {
    record->m_nAnalysisType = AnalysisDistributed;
    ASSERT_TRUE(record->Save());
    const std::string old = ReadBytes(record->m_SettingsPath.GetString());
    record->m_nMode = 1;
    record->m_nAutoGenerateOutputFileName = 0;
    for (const char* name : names) {
      spoil ? spoil() : void(record->m_OutputFileName = name);
      settings_io::ForgetRefusedValue();
      EXPECT_FALSE(record->Save()) << record->GetKind() << " [" << name << "]";
      EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
      EXPECT_EQ(settings_io::LastRefusedValue().key, spoil ? "NET" : "OutputFileName");
      EXPECT_EQ(ReadBytes(record->m_SettingsPath.GetString()), old) << record->GetKind() << " [" << name << "]";
    }
    SetCurrentAnalysisData(nullptr);
  };
  refuse(MakeWithProject<CDecouplingAnalysisData>(true), nullptr);
  refuse(MakeWithProject<CBypassAnalysisData>(true), nullptr);
  refuse(MakeWithProject<CDiffViaAnalysisData>(true), nullptr);
  refuse(MakeWithProject<CModelExtractorAnalysisData>(false), nullptr);
  auto* extractor = MakeWithProject<CModelExtractorAnalysisData>(false);
  refuse(extractor, [&] { extractor->m_pSelectedNet = &broken; });
}

TEST_F(SettingsFile, LoadOfAMissingFileKeepsTheRecord) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_dTargetImpedance = 0.25;
  const CString before = d->m_SettingsPath;
  EXPECT_FALSE(d->Load((dir / "nope.dao").string().c_str()));
  EXPECT_FALSE(d->Load(""));
  EXPECT_FALSE(d->Load(nullptr));
  EXPECT_DOUBLE_EQ(d->m_dTargetImpedance, 0.25);
  EXPECT_EQ(d->m_SettingsPath, before);
}

// A file that is no settings file (random bytes, a board's project file) would read as all defaults (a target of
// 0 ohm among them): the load refuses it, says why through the last error, and the record keeps what it holds.
TEST_F(SettingsFile, LoadOfAFileThatIsNoSettingsFileKeepsTheRecord) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_dTargetImpedance = 0.25;
  d->m_nAnalysisType = AnalysisDistributed;
  const CString before = d->m_SettingsPath;
  std::string noise;
  for (int i = 0; i < 3000; ++i)
    noise += static_cast<char>((i * 7919 + 13) % 256);
  const fs::path garbage = dir / "garbage.dao", project = dir / "project.brd";
  WriteBytes(garbage, noise);
  WriteBytes(project, "board\n");
  for (const fs::path& file : {garbage, project}) {
    SCOPED_TRACE(file.filename().string());
    ::SetLastError(0);
    EXPECT_FALSE(d->Load(file.string().c_str()));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_DOUBLE_EQ(d->m_dTargetImpedance, 0.25);
    EXPECT_EQ(d->m_nAnalysisType, AnalysisDistributed);
    EXPECT_EQ(d->m_SettingsPath, before);
  }
}

TEST_F(SettingsFile, NumbersIgnoreTheProcessLocale) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_dTargetImpedance = 0.5;
  bool saved = false, loaded = false;
  {
    ScopedCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << ScopedCommaLocale::Missing();
    saved = d->Save();
    d->m_dTargetImpedance = 0;
    loaded = d->Load(d->m_SettingsPath);
  }
  ASSERT_TRUE(saved && loaded);
  EXPECT_DOUBLE_EQ(d->m_dTargetImpedance, 0.5);
  EXPECT_NE(ReadBytes(d->m_SettingsPath.GetString()).find("TargetImpedancee=0.500000"), std::string::npos);
}

// Every number the pages take, with as many digits as they show, comes back from the file as it was, and a
// second save writes the same bytes; a number the file's classic formats hold exactly is written as before.
TEST_F(SettingsFile, NumbersWithEveryDigitThePagesTakeSurviveTheRoundTrip) {
  const double target = 1.2345678e-3, minimum = 1.2345678e6, maximum = 987.654321012345e6, interval = 1.23456789e-12;
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_dTargetImpedance = target;
  d->m_dMinFreq = minimum;
  d->m_dMaxFreq = maximum;
  d->m_dFDTDInterval = interval;
  ASSERT_TRUE(d->Save());
  const std::string saved = ReadBytes(d->m_SettingsPath.GetString());
  SetCurrentAnalysisData(nullptr);
  auto* r = MakeWithProject<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(r->Load(r->m_SettingsPath));
  EXPECT_EQ(r->m_dTargetImpedance, target);
  EXPECT_EQ(r->m_dMinFreq, minimum);
  EXPECT_EQ(r->m_dMaxFreq, maximum);
  EXPECT_EQ(r->m_dFDTDInterval, interval);
  ASSERT_TRUE(r->Save());
  EXPECT_EQ(ReadBytes(r->m_SettingsPath.GetString()), saved);
  EXPECT_NE(saved.find("MinFreq=1234567.8\r\n"), std::string::npos) << saved;
  // 0.3 milliohms as the page stores them is a hair off 0.0003: the classic text shows it as the page does.
  r->m_dTargetImpedance = 0.3 * 0.001;
  ASSERT_TRUE(r->Save());
  EXPECT_NE(ReadBytes(r->m_SettingsPath.GetString()).find("TargetImpedancee=0.000300\r\n"), std::string::npos);

  for (const double impedance : {50.123456789, 0.0015, 85.0}) {
    SetCurrentAnalysisData(nullptr);
    auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
    v->m_dNormalImpedance = impedance;
    ASSERT_TRUE(v->Save());
    SetCurrentAnalysisData(nullptr);
    auto* e = MakeWithProject<CModelExtractorAnalysisData>(true);
    e->m_dNormalImpedance = impedance;
    ASSERT_TRUE(e->Save());   // the same file: its own options section
    SetCurrentAnalysisData(nullptr);
    v = MakeWithProject<CDiffViaAnalysisData>(true);
    ASSERT_TRUE(v->Load(v->m_SettingsPath));
    EXPECT_EQ(v->m_dNormalImpedance, impedance);
    SetCurrentAnalysisData(nullptr);
    e = MakeWithProject<CModelExtractorAnalysisData>(true);
    ASSERT_TRUE(e->Load(e->m_SettingsPath));
    EXPECT_EQ(e->m_dNormalImpedance, impedance);
  }
  EXPECT_NE(ReadBytes((dir / "demo8.dao")).find("NormalImpedance=85.000000\r\n"), std::string::npos);
}

// A hand-edited file: counts the frequency page would refuse read as the record's defaults, and an empty value (or
// a key without '=') is no value: the missing key's default, not 0, and no report file named by the folder alone.
TEST_F(SettingsFile, CountsOutOfRangeAndEmptyValuesReadAsTheDefaults) {
  const fs::path file = dir / "edited.dao";
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  const CString report = d->m_DRCReportFile;
  for (const char* bad : {"-5", "10000", "4294967300", "1e9", "nan", "many"}) {
    WriteBytes(file, std::string("[OPTIONS_DW]\r\nMaxAdaptiveFreqNumber=") + bad + "\r\nNonAdaptiveFreqNumber=" + bad +
                         "\r\n");
    ASSERT_TRUE(d->Load(file.string().c_str()));
    EXPECT_EQ(d->m_nMaxAdaptiveFreqNumber, 50) << bad;
    EXPECT_EQ(d->m_nNonAdaptiveFreqNumber, 50) << bad;
  }
  WriteBytes(file, "[OPTIONS_DW]\r\nMaxAdaptiveFreqNumber=9999\r\nNonAdaptiveFreqNumber=0\r\n");
  ASSERT_TRUE(d->Load(file.string().c_str()));
  EXPECT_EQ(d->m_nMaxAdaptiveFreqNumber, 9999);
  EXPECT_EQ(d->m_nNonAdaptiveFreqNumber, 0);

  WriteBytes(file, "[OPTIONS_DW]\r\nIncludeAllNets=\r\nIncludeMounting\r\nForcePassivity=  \r\nExportShuntModel=\r\n"
                   "AdaptiveSweepAccuracy=\r\nMaxAdaptiveFreqNumber=\r\nDRCReportFile=\r\nAutoGenerateOutputFileName=\r\n"
                   "IncludeInterPlane=4294967296\r\nUseFDTD=yes\r\n[BOARD]\r\nProjectPath=demo8.json\r\n");
  ASSERT_TRUE(d->Load(file.string().c_str()));
  EXPECT_EQ(d->m_bIncludeAllNets, 1);
  EXPECT_EQ(d->m_bIncludeInterPlane, 1) << "too large for an int: no value, not 0 wrapped around";
  EXPECT_EQ(d->m_bUseFDTD, 1) << "a word is no number: no value, not 0";
  EXPECT_EQ(d->m_bIncludeMounting, 1);
  EXPECT_EQ(d->m_bForcePassivity, 1);
  EXPECT_EQ(d->m_bExportShuntModel, 1);
  EXPECT_EQ(d->m_nAdaptiveSweepAccuracy, 2);
  EXPECT_EQ(d->m_nMaxAdaptiveFreqNumber, 50);
  EXPECT_EQ(d->m_DRCReportFile, report);
  EXPECT_EQ(d->m_nAutoGenerateOutputFileName, 1);
  EXPECT_EQ(d->m_nBoardIndex, 0);
}

// An integer or flag of the file reads as the number its reader reads (a decimal or "0x" number at the value's start,
// as the private-profile integers are read); a value that starts with none, or whose number is too large for an int,
// reads as the missing key's default, never as that number wrapped around.
TEST_F(SettingsFile, IntegersReadAsTheNumberTheyStartWithOrTheDefault) {
  const struct {
    const char* key;
    const char* text;
    int expected;
  } rows[] = {
      {"AdaptiveSweepAccuracy", "0x100000003", 2},  {"AdaptiveSweepAccuracy", "4294967299", 2},
      {"AdaptiveSweepAccuracy", "-4294967295", 2},  {"AdaptiveSweepAccuracy", "3abc", 3},
      {"AdaptiveSweepAccuracy", " 0x1 ", 1},        {"AdaptiveSweepAccuracy", "+3", 3},
      {"AdaptiveSweepAccuracy", "x3", 2},           {"AdaptiveSweepAccuracy", "2147483647", 3},
      {"AutoGenerateOutputFileName", "0x100000000", 1}, {"AutoGenerateOutputFileName", "0", 0},
      {"AutoGenerateOutputFileName", "1e10", 1},    {"IncludeLowFreqConnections", "1e10", 1},
      {"IncludeLowFreqConnections", "0x0", 0},      {"ExportShuntModel", "-0x80000000", 1},
      {"ExportShuntModel", "-0x80000001", 1},       {"UseFDTD", "0x100000000", 1},
  };
  const fs::path file = dir / "integers.dao";
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.key) + "=" + row.text);
    WriteBytes(file, std::string("[BOARD]\r\nProjectPath=demo8.json\r\n[OPTIONS_DW]\r\n") + row.key + "=" + row.text +
                         "\r\n");
    SetCurrentAnalysisData(nullptr);
    auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
    ASSERT_TRUE(d->Load(file.string().c_str()));
    const std::string key = row.key;
    const int read = key == "AdaptiveSweepAccuracy"        ? d->m_nAdaptiveSweepAccuracy
                     : key == "AutoGenerateOutputFileName" ? d->m_nAutoGenerateOutputFileName
                     : key == "IncludeLowFreqConnections"  ? d->m_bIncludeLowFreqConnections
                     : key == "ExportShuntModel"           ? d->m_bExportShuntModel
                                                           : d->m_bUseFDTD;
    EXPECT_EQ(read, row.expected);
  }
}

// An editor's byte-order mark, bare line feeds, a repeated section or key: the first of each is read.
TEST_F(SettingsFile, EditorsMarksLineEndsAndRepeatsReadTheFirstOfEach) {
  const fs::path file = dir / "edited.dao";
  WriteBytes(file, "\xEF\xBB\xBF[OPTIONS_DW]\nAnalysis=Quick\nMode=Custom\nMode=Easy\n[OPTIONS_DW]\nDRCOnly=1\n");
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(d->Load(file.string().c_str()));
  EXPECT_EQ(d->m_nAnalysisType, AnalysisQuick);
  EXPECT_EQ(d->m_nMode, 1);
  EXPECT_EQ(d->m_bDRCOnly, 0);
}

// Save, load into a fresh record of the same set-up, save again: the same bytes, for every kind in both modes, with
// every setting the pages can change set away from its default.
TEST_F(SettingsFile, EveryKindSavesWhatItLoadedByteForByte) {
  auto roundTrip = [&](auto* made, bool boardMode, auto adjust) {
    using Record = std::remove_pointer_t<decltype(made)>;
    adjust(made);
    made->m_nAnalysisType = AnalysisQuick;
    made->m_bDRCOnly = made->m_bSkipStitchingVias = made->m_bIncludeLowFreqConnections = 1;
    made->m_bIncludeAllNets = made->m_bIncludeMounting = made->m_bIncludeInterPlane = made->m_bForcePassivity = 0;
    made->m_bGenerateS = !made->m_bGenerateS;
    made->m_bExportShuntModel = made->m_bUseInterimTouchstone = made->m_bUseFDTD = made->m_bShowTPOscilloscope = 1;
    made->m_nMode = 1;
    made->m_dTargetImpedance = 0.0123456789;
    made->m_dFDTDInterval = 3.25e-11;
    made->m_dMinFreq = 12345.678;
    made->m_dMaxFreq = 2.5e9 + 1;
    made->m_nFreqSweepMode = SweepLogarithmic;
    made->m_nMaxAdaptiveFreqNumber = 123;
    made->m_nNonAdaptiveFreqNumber = 9999;
    made->m_nAdaptiveSweepAccuracy = 3;
    made->m_nAutoGenerateOutputFileName = 0;
    made->m_BaseOutputFileName = "base name";
    made->m_OutputFileName = (dir / "out file.s2p").string().c_str();
    made->SetDRCReportMode(DRCReportCSV);
    ASSERT_TRUE(made->Save());
    const std::string saved = ReadBytes(made->m_SettingsPath.GetString());
    SetCurrentAnalysisData(nullptr);
    Record* read = MakeWithProject<Record>(boardMode);
    ASSERT_TRUE(read->Load(read->m_SettingsPath));
    ASSERT_TRUE(read->Save());
    EXPECT_EQ(ReadBytes(read->m_SettingsPath.GetString()), saved) << Record::Kind << " board mode " << boardMode;
    SetCurrentAnalysisData(nullptr);
    fs::remove(dir / "demo8.dao");
  };
  for (const bool boardMode : {false, true}) {
    board->Pick({"U1.D4", "U1.G7", "V_TX0_P", "V_DQ1", "V_RESET"});
    roundTrip(MakeWithProject<CDecouplingAnalysisData>(boardMode), boardMode, [&](CDecouplingAnalysisData* d) {
      d->m_pNet1 = board->FindNet("VDD_CORE");
      d->m_pNet2 = board->FindNet("GND");
      d->CollectProbes();
      for (int i = 0; i < d->m_Probes.GetSize(); i += 2)
        d->m_Probes[i].m_bEnabled = 1;
    });
    roundTrip(MakeWithProject<CBypassAnalysisData>(boardMode), boardMode, [&](CBypassAnalysisData* b) {
      if (b->m_Probes.IsEmpty())
        return;
      CBypassViaProbe& via = b->m_Probes[0];
      b->CheckProbe(via);
      ASSERT_GE(via.m_ConnectedLayers.size(), 2u);
      via.m_FirstLayer = via.m_ConnectedLayers.front();
      via.m_SecondLayer = via.m_ConnectedLayers.back();
      via.m_bEnabled = 1;
    });
    roundTrip(MakeWithProject<CDiffViaAnalysisData>(boardMode), boardMode, [&](CDiffViaAnalysisData* v) {
      v->m_bExportCommonMode = v->m_bExportDifferentialMode = v->m_bDiffViaType = 1;
      v->m_dNormalImpedance = 42.4242;
      if (!v->m_Probes.IsEmpty())
        v->m_Probes[0].m_bEnabled = 0;
    });
    roundTrip(MakeWithProject<CModelExtractorAnalysisData>(boardMode), boardMode, [&](CModelExtractorAnalysisData* e) {
      e->m_pSelectedNet = board->FindNet("VDD_CORE");
      e->m_dNormalImpedance = 0.0421;
      if (!e->m_ViaPorts.IsEmpty())
        e->m_ViaPorts[0].m_bEnabled = 0;
      if (!e->m_SupplyPorts.IsEmpty())
        e->m_SupplyPorts[0].m_bEnabled = 0;
    });
  }
}

// ---- probe lines read tolerantly ----

TEST_F(SettingsFile, ProbeLinesWithDotsBlanksAndUnknownNames) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->m_pNet2 = board->FindNet("GND");
  ASSERT_TRUE(d->Save());
  const std::string file = d->m_SettingsPath.GetString();
  const std::string longLine = "PROBE_03 = U9." + std::string(400, 'p') + " Enabled AutoReference \r\n";
  WritePrivateProfileSection("BOARD_PROBES",
                              ("PROBE_00 = U1.G4 Enabled AutoReference \r\nPROBE_01 = U7.A1 Enabled AutoReference \r\n"
                               "PROBE_02 = U1.D4   Enabled\r\n" + longLine + "PROBE_04 = U1.G4 Disabled AutoReference \r\n")
                                  .c_str(),
                              file.c_str());
  ASSERT_TRUE(d->Load(file.c_str()));
  ASSERT_EQ(d->m_Probes.GetSize(), 4);
  EXPECT_STREQ(d->m_Probes[0].GetName(), "U1.G4");
  EXPECT_TRUE(d->m_Probes[0].m_bEnabled);   // the second line naming it finds nothing
  EXPECT_STREQ(d->m_Probes[1].GetName(), "U1.D4");
  EXPECT_TRUE(d->m_Probes[1].m_bEnabled);
  EXPECT_FALSE(d->m_Probes[2].m_bEnabled);
}

// A line an editor made a comment (';') names no probe, in every probe section.
TEST_F(SettingsFile, CommentedProbeLinesAreNotApplied) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->m_pNet2 = board->FindNet("GND");
  ASSERT_TRUE(d->Save());
  const std::string file = d->m_SettingsPath.GetString();
  ASSERT_TRUE(WritePrivateProfileSection(
      "BOARD_PROBES", "; PROBE_00 = U1.G4 Enabled AutoReference \r\nPROBE_01 = U1.D7 Enabled AutoReference \r\n",
      file.c_str()));
  ASSERT_TRUE(d->Load(file.c_str()));
  ASSERT_EQ(d->m_Probes.GetSize(), 4);
  EXPECT_STREQ(d->m_Probes[0].GetName(), "U1.D7");
  for (int i = 1; i < 4; ++i)
    EXPECT_FALSE(d->m_Probes[i].m_bEnabled) << d->m_Probes[i].GetName();

  SetCurrentAnalysisData(nullptr);
  board->Pick({"V_TX0_P", "V_DQ1"});
  auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
  ASSERT_TRUE(v->Save());
  ASSERT_TRUE(WritePrivateProfileSection("DIFFVIA_PROBES", ";PROBE_00 = V_TX0_P Disabled \r\n", file.c_str()));
  ASSERT_TRUE(v->Load(file.c_str()));
  ASSERT_EQ(v->m_Probes.GetSize(), 2);
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(v->m_Probes[i].m_bEnabled) << v->m_Probes[i].GetName();
}

// The via the host gave no name has a line without a name, which reads back; a line that lost its state word (a
// name alone) names no probe, not even that via.
TEST_F(SettingsFile, ALineOfAProbeWithoutANameReadsBackAndALineWithoutAStateNamesNone) {
  board->Pick({"V_DQ1", "V_RESET", "V_TX0_P"});
  auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
  ASSERT_TRUE(v->Save());
  const std::string file = v->m_SettingsPath.GetString();
  ASSERT_TRUE(WritePrivateProfileSection("DIFFVIA_PROBES", "PROBE_00 = Disabled \r\nPROBE_01 = V_DQ1 Disabled \r\n",
                                         file.c_str()));
  ASSERT_TRUE(v->Load(file.c_str()));
  ASSERT_EQ(v->m_Probes.GetSize(), 3);
  EXPECT_STREQ(v->m_Probes[0].GetName(), "");
  EXPECT_FALSE(v->m_Probes[0].m_bEnabled);
  EXPECT_STREQ(v->m_Probes[1].GetName(), "V_DQ1");
  EXPECT_FALSE(v->m_Probes[1].m_bEnabled);
  EXPECT_TRUE(v->m_Probes[2].m_bEnabled);

  ASSERT_TRUE(WritePrivateProfileSection("DIFFVIA_PROBES", "PROBE_00 = V_DQ1\r\n", file.c_str()));
  ASSERT_TRUE(v->Load(file.c_str()));
  ASSERT_EQ(v->m_Probes.GetSize(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(v->m_Probes[i].m_bEnabled) << v->m_Probes[i].GetName();
}

// The 8-layer board with full stops in its names (host::test::DottedNamesBoard: U.1 / 1, U.1 / 1.5, U1 / 1.5) and a
// further VDD_CORE pin whose "<component>.<pin>" is U.1 / 1's too: U3 renamed "U", its pin "1.1".
std::unique_ptr<host::HostBoard> LoadDottedBoard(host::HostLedger& ledger) {
  std::string json = host::test::DottedNamesBoard();
  const std::string u3 = R"({"name": "U3", "part": "RF_MODULE", "side": "TOP", "pins": [{"name": "1", "net": "VCC_3V3")";
  if (const size_t at = json.find(u3); at != std::string::npos)
    json.replace(at, u3.size(), R"({"name": "U", "part": "RF_MODULE", "side": "TOP", "pins": [{"name": "1.1", "net": "VDD_CORE")");
  return host::LoadBoardText(json, "dotted.json", ledger);
}

class DottedPinLines : public SettingsFile {
protected:
  DottedPinLines() : SettingsFile(&LoadDottedBoard) {}

  // A record between VDD_CORE and GND over the picks U.1 / 1, U / 1.1, U.1 / 1.5, U1 / 1.5 and U.1 / G4, in the
  // board's order or the other way round.
  CDecouplingAnalysisData* MakeDotted(bool reversed = false) {
    std::vector<host::HostProbe*> picks;
    for (const auto& probe : board->Probes())
      for (const char* id : {"U.1.1", "U.1.1.5", "U1.1.5", "U.1.G4"})
        if (probe->Name() == id)
          picks.push_back(probe.get());
    EXPECT_EQ(picks.size(), 5u);
    if (reversed)
      std::reverse(picks.begin(), picks.end());
    board->SetPicks(picks);
    auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
    d->m_pNet1 = board->FindNet("VDD_CORE");
    d->m_pNet2 = board->FindNet("GND");
    d->CollectProbes();
    return d;
  }
  static std::string PinOf(CDecouplingProbe& probe) {
    CHostProbeElement* pin = probe.m_pElement;
    return std::string(pin->GetComponent()->GetName()) + " / " + pin->GetPinName();
  }
  // The record's probes as "<component> / <pin>", followed by " +" when enabled.
  static std::vector<std::string> Pins(CDecouplingAnalysisData& d) {
    std::vector<std::string> pins;
    for (int i = 0; i < d.m_Probes.GetSize(); ++i)
      pins.push_back(PinOf(d.m_Probes[i]) + (d.m_Probes[i].m_bEnabled ? " +" : ""));
    return pins;
  }
};

// A pin line names the pin whose whole "<component>.<pin>" it holds, whatever full stops the designator and the pin
// name hold; where two pins give the text, the first line takes the one of the shorter designator (U / 1.1, which
// the text split at its first full stop always named) and the next line the other.
TEST_F(DottedPinLines, APinLineNamesThePinOfItsWholeText) {
  auto* d = MakeDotted();
  ASSERT_EQ(d->m_Probes.GetSize(), 5);
  // Saved in an order of the user's, every pin checked but G4, and loaded back into a fresh record whose picks come
  // in another order.
  CDecouplingProbeArray ordered;
  for (const char* name : {"U1 / 1.5", "U.1 / 1", "U.1 / 1.5", "U.1 / G4", "U / 1.1"})
    for (int i = 0; i < d->m_Probes.GetSize(); ++i)
      if (PinOf(d->m_Probes[i]) == name) {
        ordered.Add(d->m_Probes[i]);
        ordered[ordered.GetUpperBound()].m_bEnabled = std::strcmp(name, "U.1 / G4") != 0;
      }
  d->m_Probes.Copy(ordered);
  EXPECT_EQ(Pins(*d), (std::vector<std::string>{"U1 / 1.5 +", "U.1 / 1 +", "U.1 / 1.5 +", "U.1 / G4", "U / 1.1 +"}));
  ASSERT_TRUE(d->Save());
  const std::string file = d->m_SettingsPath.GetString();
  const std::string text = ReadBytes(file);
  EXPECT_NE(text.find("PROBE_00 = U1.1.5 Enabled AutoReference \r\nPROBE_01 = U.1.1 Enabled AutoReference \r\n"
                      "PROBE_02 = U.1.1.5 Enabled AutoReference \r\nPROBE_03 = U.1.G4 Disabled AutoReference \r\n"
                      "PROBE_04 = U.1.1 Enabled AutoReference \r\n"),
            std::string::npos)
      << text;
  SetCurrentAnalysisData(nullptr);
  auto* r = MakeDotted(true);
  ASSERT_TRUE(r->Load(file.c_str()));
  EXPECT_EQ(Pins(*r), (std::vector<std::string>{"U1 / 1.5 +", "U / 1.1 +", "U.1 / 1.5 +", "U.1 / G4", "U.1 / 1 +"}));
  ASSERT_TRUE(r->Save());
  EXPECT_EQ(ReadBytes(file), text);

  // Lines as any version writes them: the two pins of one text told apart by line order only, a text of the
  // designator alone naming no pin.
  ASSERT_TRUE(WritePrivateProfileSection("BOARD_PROBES",
                                         "PROBE_00 = U.1.1.5 Enabled AutoReference \r\n"
                                         "PROBE_01 = U.1.1 Disabled AutoReference \r\n"
                                         "PROBE_02 = U.1 Enabled AutoReference \r\n"
                                         "PROBE_03 = U.1.1 Enabled AutoReference \r\n"
                                         "PROBE_04 = U1.1.5 Enabled AutoReference \r\n",
                                         file.c_str()));
  ASSERT_TRUE(r->Load(file.c_str()));
  EXPECT_EQ(Pins(*r), (std::vector<std::string>{"U.1 / 1.5 +", "U / 1.1", "U.1 / 1 +", "U1 / 1.5 +", "U.1 / G4"}));
}

// The 8-layer board with three vias of one name: V_DQ2, V_DQ3 and V_CLK are all "VB" (each connected on TOP and
// L6_SIG).
std::unique_ptr<host::HostBoard> LoadSharedNameBoard(host::HostLedger& ledger) {
  std::string json = ReadBytes(SampleBoardPath("demo8.json"));
  for (const std::string id : {"V_DQ2", "V_DQ3", "V_CLK"}) {
    const std::string entry = "{\"id\": \"" + id + "\",";
    if (const size_t at = json.find(entry); at != std::string::npos)
      json.insert(at + entry.size(), " \"name\": \"VB\",");
  }
  return host::LoadBoardText(json, "shared.json", ledger);
}

class SharedNameLines : public SettingsFile {
protected:
  SharedNameLines() : SettingsFile(&LoadSharedNameBoard) {}

  // A record's probes as the nets of their vias, followed by " +" when enabled.
  template <class Array>
  static std::vector<std::string> Vias(Array& probes) {
    std::vector<std::string> vias;
    for (int i = 0; i < probes.GetSize(); ++i)
      vias.push_back(std::string(probes[i].m_pHostProbe->GetNet()->GetName()) + (probes[i].m_bEnabled ? " +" : ""));
    return vias;
  }
};

// Lines of a name that several vias share take them one by one in the record's list order, wherever the lines stand;
// a further line of the name takes none, and a via no line names stays after those named. The same in the via-model,
// bypass and extractor records.
TEST_F(SharedNameLines, LinesOfASharedNameTakeTheViasInListOrder) {
  // Listed the other way round: V_DQ0, V_CLK (VB), V_DQ3 (VB), V_DQ1, V_DQ2 (VB).
  ASSERT_TRUE(board->Pick({"V_DQ2", "V_DQ1", "V_DQ3", "V_CLK", "V_DQ0"}));
  const char* const lines[] = {"VB Disabled", "V_DQ1 Enabled", "VB Enabled", "VB Disabled", "VB Enabled"};
  // Saves the record, puts the lines into its section and loads it back.
  auto load = [&](CAnalysisData* record, const char* section, const char* key, const char* words) {
    ASSERT_TRUE(record->Save());
    const std::string file = record->m_SettingsPath.GetString();
    std::string text;
    for (size_t i = 0; i < std::size(lines); ++i)
      text += key + std::to_string(i) + " = " + lines[i] + words + " \r\n";
    ASSERT_TRUE(WritePrivateProfileSection(section, text.c_str(), file.c_str()));
    ASSERT_TRUE(record->Load(file.c_str()));
  };
  const std::vector<std::string> named{"CLK_100M", "DDR_DQ1 +", "DDR_DQ3 +", "DDR_DQ2"};
  auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
  load(v, "DIFFVIA_PROBES", "PROBE_0", "");
  std::vector<std::string> vias = Vias(v->m_Probes);
  ASSERT_EQ(vias.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(vias.begin(), vias.begin() + 4), named);
  EXPECT_EQ(vias[4].substr(0, 7), "DDR_DQ0");

  SetCurrentAnalysisData(nullptr);
  auto* b = MakeWithProject<CBypassAnalysisData>(true);
  load(b, "VIA_PROBES", "PROBE_0", " \"TOP\" - \"L6_SIG\"");
  vias = Vias(b->m_Probes);
  ASSERT_EQ(vias.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(vias.begin(), vias.begin() + 4), named);
  EXPECT_EQ(b->m_Probes[2].m_FirstLayer, "TOP");
  EXPECT_EQ(b->m_Probes[2].m_SecondLayer, "L6_SIG");

  SetCurrentAnalysisData(nullptr);
  auto* e = MakeWithProject<CModelExtractorAnalysisData>(true);
  load(e, "PDN_CHANNEL_PROBES", "VIA_0", "");
  vias = Vias(e->m_ViaPorts);
  ASSERT_EQ(vias.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(vias.begin(), vias.begin() + 4), named);
}

// A bypass via line takes only one of the via's pairs: named in either order it is the via's own pair, in the
// via's order; two names that are no pair of it (one layer twice, none) leave the via without a pair, disabled, as
// layers it does not have do. Otherwise a checked via reached the host with layers that are no pair of it.
TEST_F(SettingsFile, ABypassViaLineTakesOnlyOneOfTheViasPairs) {
  ASSERT_TRUE(board->Pick({"V_DQ1"}));
  struct Line {
    const char* words;
    const char* first;
    const char* second;
    BYTE enabled;
  };
  const Line lines[] = {
      {"Enabled \"TOP\" - \"L6_SIG\"", "TOP", "L6_SIG", 1},
      {"Enabled \"L6_SIG\" - \"L3_SIG\"", "L3_SIG", "L6_SIG", 1},
      {"Disabled \"L6_SIG\" - \"TOP\"", "TOP", "L6_SIG", 0},
      {"Enabled \"TOP\" - \"TOP\"", "", "", 0},
      {"Enabled \"\" - \"\"", "", "", 0},
      {"Enabled \"TOP\" - \"L2_GND\"", "", "", 0},
  };
  auto* b = MakeWithProject<CBypassAnalysisData>(true);
  for (const Line& l : lines) {
    SCOPED_TRACE(l.words);
    ASSERT_TRUE(b->Save());
    const std::string file = b->m_SettingsPath.GetString();
    ASSERT_TRUE(WritePrivateProfileSection("VIA_PROBES", (std::string("PROBE_00 = V_DQ1 ") + l.words + " \r\n").c_str(),
                                           file.c_str()));
    ASSERT_TRUE(b->Load(file.c_str()));
    ASSERT_EQ(b->m_Probes.GetSize(), 1);
    EXPECT_EQ(b->m_Probes[0].m_FirstLayer, l.first);
    EXPECT_EQ(b->m_Probes[0].m_SecondLayer, l.second);
    EXPECT_EQ(b->m_Probes[0].m_bEnabled, l.enabled);
  }
}

TEST_F(SettingsFile, ASectionLongerThanTheFirstBufferIsReadWhole) {
  const fs::path file = dir / "long.dao";
  std::string lines;
  for (int i = 0; i < 200; ++i)
    lines += "KEY_" + std::to_string(i) + " = some longer value to fill the section\r\n";
  ASSERT_TRUE(WritePrivateProfileSection("S", lines.c_str(), file.string().c_str()));
  const std::string block = ReadIniSection("S", file.string().c_str());
  EXPECT_GT(block.size(), 1024u * 8);
  EXPECT_NE(block.find("KEY_199"), std::string::npos);
}

// A project in a deep folder: the bypass record stores its full path, which must come back whole (cut, it named
// another project and the settings lost their board and options); so must a long report file's path.
TEST_F(SettingsFile, ValuesLongerThanTheFirstReadBufferComeBackWhole) {
  fs::path deep = dir;
  for (char c : {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i'})
    deep /= std::string(120, c);
  fs::create_directories(deep);
  project = (deep / "demo8.json").string();
  ASSERT_GT(project.size(), 1024u);

  auto* b = MakeWithProject<CBypassAnalysisData>(false);
  b->m_nAutoGenerateOutputFileName = 0;
  b->m_OutputFileName = "bypass-out";
  ASSERT_TRUE(b->Save());
  SetCurrentAnalysisData(nullptr);
  auto* rb = MakeWithProject<CBypassAnalysisData>(false);
  ASSERT_TRUE(rb->Load(rb->m_SettingsPath));
  EXPECT_EQ(rb->m_nBoardIndex, 0);
  EXPECT_EQ(rb->m_nAutoGenerateOutputFileName, 0);
  EXPECT_EQ(rb->m_OutputFileName, "bypass-out");

  SetCurrentAnalysisData(nullptr);
  auto* d = MakeWithProject<CDecouplingAnalysisData>(false);
  d->SetDRCReportMode(DRCReportCSV);
  const CString report = (deep / std::string(200, 'r')).string().c_str();
  d->m_DRCReportFile = report;
  ASSERT_TRUE(d->Save());
  SetCurrentAnalysisData(nullptr);
  auto* rd = MakeWithProject<CDecouplingAnalysisData>(false);
  ASSERT_TRUE(rd->Load(rd->m_SettingsPath));
  EXPECT_EQ(rd->m_DRCReportFile, report);
}

// ---- paths ----

TEST_F(SettingsFile, ProjectPathSettingsPathAndReportPath) {
  auto* d = Make<CDecouplingAnalysisData>(false);
  EXPECT_FALSE(d->SetProjectPath(""));
  EXPECT_FALSE(d->MakeDefaultSettingsPath());
  EXPECT_FALSE(d->MakeDefaultDRCReportPath());
  WriteBytes(dir / "demo8.xls", "");
  WriteBytes(dir / "demo8_1.xls", "");
  ASSERT_TRUE(d->SetProjectPath(project.c_str()));
  EXPECT_FALSE(d->SetProjectPath(project.c_str()));   // only once
  EXPECT_EQ(d->m_SettingsPath, (dir / "demo8.dao").string().c_str());
  EXPECT_EQ(d->m_DRCReportFile, (dir / "demo8_2.xls").string().c_str());
  EXPECT_EQ(d->GetDRCReportFileRelative(), "demo8_2.xls");
  EXPECT_EQ(d->GetSettingsPathRelative(), "demo8.dao");
  d->SetDRCReportMode(DRCReportCSV);
  EXPECT_EQ(d->GetDRCReportFileRelative(), "demo8_2.csv");
  d->m_DRCReportFile = "/elsewhere/r.xls";
  EXPECT_EQ(d->GetDRCReportFileRelative(), "/elsewhere/r.xls");

  auto* r = Make<CBypassAnalysisData>(false);
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  EXPECT_TRUE(r->SetProjectPath("rel.json"));
  fs::current_path(cwd);
  EXPECT_EQ(r->m_ProjectPath, (fs::canonical(dir) / "rel.json").string().c_str());
}

TEST_F(SettingsFile, OutputFileNames) {
  board->Pick({"V_DQ1"});
  auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
  v->m_Probes[0].Check();
  v->m_Probes[0].m_bEnabled = 1;
  // Automatic names start with "<base>_.<ext>" and then count.
  EXPECT_EQ(v->GetOutputFilePath(), (dir / "demo8_.s3p").string().c_str());
  WriteBytes(dir / "demo8_.s3p", "");
  EXPECT_EQ(v->GetOutputFilePath(), (dir / "demo8_1.s3p").string().c_str());
  v->m_BaseOutputFileName = "via";
  EXPECT_EQ(v->GetOutputFilePathRelative(), "via_.s3p");
  v->m_nAutoGenerateOutputFileName = 0;
  EXPECT_EQ(v->GetOutputFilePath(), (dir / "demo8.s3p").string().c_str());
  v->m_OutputFileName = "sub/out.txt";
  EXPECT_EQ(v->GetOutputFilePath(), (dir.string() + "/out.s3p").c_str());
  v->m_OutputFileName = "/abs/out.s2p";
  EXPECT_EQ(v->GetOutputFilePath(), "/abs/out.s3p");
  v->m_bGenerateS = 0;
  EXPECT_EQ(v->GetTouchstoneExtension(), "z3p");
}

// A chosen name's Touchstone extension follows the model's port count where it is handed on and where it is saved
// (a reader of the file goes by the extension); every other name is kept as the user gave it.
TEST_F(SettingsFile, AChosenTouchstoneNameCarriesTheModelsPortCount) {
  const struct {
    const char* name;
    int ports;
    const char* fitted;
  } cases[] = {{"/p/v.s4p", 2, "/p/v.s2p"}, {"/p/m.s13p", 8, "/p/m.s8p"}, {"C:\\p\\M.Z4P", 12, "C:\\p\\M.Z12P"},
               {"/p/m.s4p", 0, "/p/m.s4p"}, {"/p/m.txt", 2, "/p/m.txt"},  {"/p/m.s4ap", 2, "/p/m.s4ap"},
               {"/p.s4p/m", 2, "/p.s4p/m"}};
  for (const auto& c : cases)
    EXPECT_EQ(std::string(FitTouchstonePortCount(c.name, c.ports).GetString()), c.fitted) << c.name << " " << c.ports;

  board->Pick({"V_DQ1"});
  auto* v = MakeWithProject<CDiffViaAnalysisData>(true);
  v->m_Probes[0].Check();
  v->m_Probes[0].m_bEnabled = 1;
  v->m_nAutoGenerateOutputFileName = 0;
  v->m_OutputFileName = (dir / "viamodel.s4p").string().c_str();
  ASSERT_TRUE(v->MakeDefaultSettingsPath());
  ASSERT_TRUE(v->Save());
  char saved[MAX_PATH] = {};
  GetPrivateProfileString("OPTIONS_DV", "OutputFileName", "", saved, sizeof saved, v->m_SettingsPath);
  EXPECT_EQ(std::string(saved), (dir / "viamodel.s3p").string());
}

TEST_F(SettingsFile, RestoreFromTheSettingsCopyKeepsTheSettingsPath) {
  auto* d = MakeWithProject<CDecouplingAnalysisData>(true);
  char copy[MAX_PATH] = "";
  d->m_pSettingsCopyBuffer = copy;
  EXPECT_FALSE(d->RestoreFromSettingsCopy());
  const std::string copyPath = (dir / "copy.dao").string();
  std::strcpy(copy, copyPath.c_str());
  const CString settings = d->m_SettingsPath;
  d->m_SettingsPath = copyPath.c_str();
  d->m_dTargetImpedance = 0.75;
  ASSERT_TRUE(d->Save());
  d->m_SettingsPath = settings;
  d->m_dTargetImpedance = 0.001;
  EXPECT_TRUE(d->RestoreFromSettingsCopy());
  EXPECT_DOUBLE_EQ(d->m_dTargetImpedance, 0.75);
  EXPECT_EQ(d->m_SettingsPath, settings);
  d->m_pSettingsCopyBuffer = nullptr;
  EXPECT_FALSE(d->RestoreFromSettingsCopy());
}

}  // namespace
