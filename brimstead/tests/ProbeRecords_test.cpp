// The records' probes on the sample board: collection from the board view's picks, the checks with their messages
// and the probe-record texts.
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/tests/RecordTestSupport.h"

#include <string>
#include <vector>

namespace {

class ProbeRecords : public RecordTest {};

std::vector<std::string> Names(CDecouplingProbeArray& probes) {
  std::vector<std::string> names;
  for (int i = 0; i < probes.GetSize(); ++i)
    names.push_back(probes[i].GetName() ? probes[i].GetName() : "<none>");
  return names;
}

TEST_F(ProbeRecords, DecouplingSystemModeTakesThePinsBetweenTheTwoNets) {
  auto* d = Make<CDecouplingAnalysisData>(false);
  EXPECT_EQ(d->m_Probes.GetSize(), 0);   // no nets yet
  d->m_pNet1 = board->FindNet("GND");
  d->m_pNet2 = board->FindNet("VDD_CORE");
  d->CollectProbes();
  // Picks walked from the last: the VDD_IO ball and the vias are not between the nets.
  EXPECT_EQ(Names(d->m_Probes), (std::vector<std::string>{"U1.G7", "U1.G4", "U1.D7", "U1.D4"}));
  for (int i = 0; i < d->m_Probes.GetSize(); ++i) {
    EXPECT_TRUE(d->m_Probes[i].m_bValid);
    EXPECT_FALSE(d->m_Probes[i].m_bEnabled);
  }
  CDecouplingProbe& probe = d->m_Probes[3];
  EXPECT_STREQ(probe.GetNetName(), "GND");
  EXPECT_STREQ(probe.GetReferenceNetName(), "GND");
  EXPECT_STREQ(probe.GetDescription(), "GND");
  EXPECT_STREQ(probe.GetConnectedLayers(), "\tTOP\tL4_PWR");
  EXPECT_STREQ(probe.GetConnectedLayerNames(), "TOP\tL4_PWR");
  EXPECT_STREQ(probe.GetReferenceLayers(), "\tL2_GND\tL7_GND");
  EXPECT_STREQ(probe.GetReferenceLayersText(), "L2_GND\tL7_GND");
  EXPECT_EQ(probe.GetViaLayers(), nullptr);

  // A rebuild keeps listed pins in place with their state; pins no longer picked go, new picks are appended.
  d->m_Probes[3].m_bEnabled = 1;
  board->Pick({"U1.E4", "U1.D4"});
  d->CollectProbes();
  EXPECT_EQ(Names(d->m_Probes), (std::vector<std::string>{"U1.D4", "U1.E4"}));
  EXPECT_TRUE(d->m_Probes[0].m_bEnabled);
  d->m_nAnalysisType = AnalysisDistributed;
  EXPECT_EQ(d->GetPortCount(), 1);
  EXPECT_TRUE(d->Check(nullptr).empty());
}

TEST_F(ProbeRecords, DecouplingBoardModeTakesEveryPickUnchecked) {
  auto* d = Make<CDecouplingAnalysisData>(true);
  EXPECT_EQ(Names(d->m_Probes),
            (std::vector<std::string>{"V_TX0_N", "V_TX0_P", "U1.F2", "U1.G7", "U1.G4", "U1.D7", "U1.D4"}));
  CDecouplingProbe& f2 = d->m_Probes[2];
  EXPECT_EQ(f2.m_pElement, nullptr);
  f2.m_bEnabled = 1;
  f2.Check();   // ball F2 reaches no plane on its connection layer
  EXPECT_FALSE(f2.m_bValid);
  EXPECT_FALSE(f2.m_bEnabled);
  EXPECT_EQ(f2.m_Message,
            "IC power pin is not connected to a t-plane metal areas on its reference/connection layers.");
  d->m_Probes[6].Check();
  EXPECT_TRUE(d->m_Probes[6].m_bValid);

  // Outside board mode the radio module's pin fails on its reference layer.
  CDecouplingProbe radio;
  radio.m_pHostProbe = board->FindProbe("U3.1");
  d->m_bBoardMode = 0;
  radio.Check();
  EXPECT_EQ(radio.m_Message, "IC power pin is not connected to a t-plane metal area on its reference layer.");
  CDecouplingProbe none;
  none.Check();
  EXPECT_FALSE(none.m_bValid);
  EXPECT_EQ(none.GetName(), nullptr);
  EXPECT_EQ(none.GetConnectedLayers(), nullptr);
}

TEST_F(ProbeRecords, ProbeCopiesCarryWhatTheyShould) {
  CDecouplingProbe a;
  a.m_pHostProbe = board->FindProbe("U1.D4");
  a.m_bExpanded = 1;
  a.m_Message = "m";
  CDecouplingProbe b(a);
  EXPECT_EQ(b.m_pHostProbe, a.m_pHostProbe);
  EXPECT_EQ(b.m_bExpanded, 1);
  EXPECT_EQ(b.m_Message, "m");

  CViaPairProbe fresh;
  EXPECT_FALSE(fresh.m_bValid);   // initialised, unlike the original record
  EXPECT_FALSE(fresh.m_bEnabled);
  fresh.m_TPlaneNames = "L2_GND";
  CViaPairProbe copy(fresh);
  EXPECT_TRUE(copy.m_TPlaneNames.IsEmpty());

  CBypassViaProbe via;
  via.m_PlaneLayers = {"L2"};
  via.m_LayerPairs = {"TOP", "L6"};
  CBypassViaProbe viaCopy = via;
  EXPECT_TRUE(viaCopy.m_PlaneLayers.empty());
  EXPECT_EQ(viaCopy.m_LayerPairs.size(), 2u);
}

TEST_F(ProbeRecords, BypassViaCheckFindsLayersPairsAndPlanes) {
  board->Pick({"V_TX0_P", "V_RF", "V_TP_CLK"});
  auto* b = Make<CBypassAnalysisData>(true);
  ASSERT_EQ(b->m_Probes.GetSize(), 3);
  CBypassViaProbe& tx = b->m_Probes[2];
  EXPECT_TRUE(b->CheckProbe(tx));
  EXPECT_TRUE(tx.m_bValid);
  EXPECT_EQ(tx.m_ConnectedLayers, (CNameList{"TOP", "L6_SIG"}));
  EXPECT_EQ(tx.m_PlaneLayers, (CNameList{"L2_GND", "L4_PWR", "L5_PWR"}));
  EXPECT_EQ(tx.m_LayerPairs, (CNameList{"TOP", "L6_SIG"}));
  EXPECT_TRUE(tx.m_Message.IsEmpty());
  EXPECT_EQ(tx.GetViaLayers(), nullptr);
  tx.m_FirstLayer = "TOP";
  tx.m_SecondLayer = "L6_SIG";
  EXPECT_STREQ(tx.GetViaLayers(), "TOP\tL6_SIG");
  EXPECT_STREQ(tx.GetPartnerViaLayers(), "TOP\tL6_SIG");

  CBypassViaProbe& rf = b->m_Probes[1];
  rf.m_bEnabled = 1;
  b->CheckProbe(rf);
  EXPECT_FALSE(rf.m_bEnabled);
  EXPECT_EQ(rf.m_Message, "Via doesn't pass through any T-plane and can't interact with power planes system");
  CBypassViaProbe& testPoint = b->m_Probes[0];
  b->CheckProbe(testPoint);
  EXPECT_EQ(testPoint.m_ConnectedLayers.size(), 1u);

  // Board mode reports on the last enabled via.
  EXPECT_EQ(b->GetSelectionStatusText(), "At least one via must be selected for probe.");
  rf.m_bEnabled = 1;
  EXPECT_EQ(b->GetSelectionStatusText(), "Via is badly positioned.");
  rf.m_bEnabled = 0;
  testPoint.m_bEnabled = 1;
  EXPECT_EQ(b->GetSelectionStatusText(), "Via must be connected on at least two layers.");
  testPoint.m_bEnabled = 0;
  tx.m_bEnabled = 1;
  EXPECT_EQ(b->GetSelectionStatusText(), "");
  EXPECT_TRUE(b->Check(nullptr).empty());
  EXPECT_EQ(b->GetPortCount(), 1);
  EXPECT_EQ(b->GetTouchstoneExtension(), "z1p");
  CBypassViaProbe empty;
  EXPECT_FALSE(b->CheckProbe(empty));
  EXPECT_FALSE(empty.Check());
}

TEST_F(ProbeRecords, BypassBoardModeTakesOnlyPicksEligibleAsVias) {
  // The sample board's picks: five supply balls that the board marks not eligible as vias, and the TX0 pair.
  auto* b = Make<CBypassAnalysisData>(true);
  ASSERT_EQ(b->m_Probes.GetSize(), 2);
  EXPECT_STREQ(b->m_Probes[0].GetName(), "V_TX0_N");
  EXPECT_STREQ(b->m_Probes[1].GetName(), "V_TX0_P");
  // With no eligible pick (balls and a stitching via) the record holds no via and its check asks for one.
  board->Pick({"U1.D4", "V_GND1", "U1.D7"});
  b->CollectProbes();
  EXPECT_EQ(b->m_Probes.GetSize(), 0);
  EXPECT_EQ(b->GetSelectionStatusText(), "At least one via must be selected for probe.");
  EXPECT_EQ(b->Check(nullptr), (CPageIdList{1154}));
  // A ball the board says is eligible is taken.
  board->FindProbe("U1.D7")->SetEligible(true);
  b->CollectProbes();
  ASSERT_EQ(b->m_Probes.GetSize(), 1);
  EXPECT_STREQ(b->m_Probes[0].GetName(), "U1.D7");
}

TEST_F(ProbeRecords, ViaPairsAndTheirPortCounts) {
  board->Pick({"V_DQ1", "V_TX0_P", "V_GND1"});
  auto* v = Make<CDiffViaAnalysisData>(true);
  ASSERT_EQ(v->m_Probes.GetSize(), 2);   // the stitching via is not eligible
  CViaPairProbe& tx = v->m_Probes[0];
  CViaPairProbe& dq = v->m_Probes[1];
  EXPECT_TRUE(tx.m_bEnabled);
  EXPECT_FALSE(tx.m_bValid);   // not checked yet
  tx.Check();
  EXPECT_TRUE(tx.m_bValid);
  EXPECT_TRUE(tx.m_Message.IsEmpty());
  EXPECT_EQ(tx.m_PartnerConnectedLayers, (CNameList{"TOP", "L6_SIG"}));
  EXPECT_EQ(tx.m_TPlaneNames, "L2_GND\tL4_PWR\tL5_PWR");
  EXPECT_STREQ(tx.GetViaLayers(), "\tTOP\tL6_SIG");
  dq.Check();
  EXPECT_EQ(dq.m_Message, "");

  // The status text takes the enabled record with the highest index: the single via.
  EXPECT_EQ(v->GetSelectionStatusText(), "");
  EXPECT_FALSE(v->m_bDiffViaType);
  tx.m_bEnabled = 0;
  EXPECT_EQ(v->GetPortCount(), 3);   // a single via connected on three layers
  tx.m_bEnabled = 1;
  dq.m_bEnabled = 0;
  EXPECT_EQ(v->GetSelectionStatusText(), "");
  EXPECT_TRUE(v->m_bDiffViaType);
  EXPECT_EQ(v->GetPortCount(), 4);
  v->m_bExportDifferentialMode = true;
  EXPECT_EQ(v->GetPortCount(), 2);
  v->m_bExportCommonMode = true;
  EXPECT_EQ(v->GetPortCount(), 4);
  EXPECT_EQ(v->GetTouchstoneExtension(), "s4p");
  tx.m_bEnabled = 0;
  EXPECT_EQ(v->GetSelectionStatusText(), "No signal via is selected.");
  EXPECT_EQ(v->GetPortCount(), 0);
}

TEST_F(ProbeRecords, ViaModelBoardModeTakesOnlyEligibleProbesEnabledWhenSelected) {
  // The sample board's picks: five supply balls of the processor, which the board marks as not eligible, and a pair.
  board->FindProbe("V_TX0_N")->SetSelected(false);
  auto* v = Make<CDiffViaAnalysisData>(true);
  ASSERT_EQ(v->m_Probes.GetSize(), 2);
  EXPECT_STREQ(v->m_Probes[0].GetName(), "V_TX0_N");
  EXPECT_FALSE(v->m_Probes[0].m_bEnabled);
  EXPECT_STREQ(v->m_Probes[1].GetName(), "V_TX0_P");
  EXPECT_TRUE(v->m_Probes[1].m_bEnabled);
}

TEST_F(ProbeRecords, SingleViaOnOneLayerKeepsItsValidFlag) {
  board->Pick({"V_TP_CLK"});
  auto* v = Make<CDiffViaAnalysisData>(true);
  ASSERT_EQ(v->m_Probes.GetSize(), 1);
  v->m_Probes[0].Check();
  EXPECT_EQ(v->m_Probes[0].m_Message, "Via is connected to transmission line(s) on the only layer");
  EXPECT_FALSE(v->m_Probes[0].m_bEnabled);   // it crosses no T-plane either
  EXPECT_EQ(v->GetSelectionStatusText(), "No signal via is selected.");
  v->m_Probes[0].m_bEnabled = 1;
  EXPECT_EQ(v->GetSelectionStatusText(), "Via must be connected on at least two layers.");
}

// A small board where the two vias of a pair cross different planes.
TEST(ViaPairAsymmetry, PartsCrossingDifferentTPlanesAreNotValid) {
  host::HostLedger ledger;
  auto board = host::LoadBoardText(R"({"name": "pair", "layers": [
      {"name": "TOP", "kind": "metal", "thickness": 0.035}, {"name": "A", "kind": "metal", "thickness": 0.035},
      {"name": "B", "kind": "metal", "thickness": 0.035}, {"name": "BOT", "kind": "metal", "thickness": 0.035}],
    "nets": [{"name": "GND", "type": "supply"}, {"name": "P", "type": "signal"}, {"name": "N", "type": "signal"}],
    "areas": [{"net": "GND", "layer": "A", "rect": [0, 0, 10, 10]}, {"net": "GND", "layer": "B", "rect": [0, 0, 4, 10]}],
    "vias": [{"id": "VP", "net": "P", "at": [2, 5], "size": 0.2, "connected": ["TOP", "BOT"], "partner": "VN"},
             {"id": "VN", "net": "N", "at": [8, 5], "size": 0.2, "connected": ["TOP", "BOT"], "partner": "VP"}],
    "picks": ["VP"]})", "pair.json", ledger);
  SetCurrentAnalysisData(nullptr);
  {
    CWizardSeamTestHook hook(&board->GeometryQuery());
    CFakedSingleBoardSystem system(board.get());
    auto* v = GetDiffViaAnalysisData();
    v->m_bBoardMode = 1;
    v->m_pSystem = &system;
    v->SelectBoard(0);
    ASSERT_EQ(v->m_Probes.GetSize(), 1);
    v->m_Probes[0].Check();
    EXPECT_FALSE(v->m_Probes[0].m_bValid);
    EXPECT_EQ(v->m_Probes[0].m_Message, "Differential via passes through T-plane(s) asymmetrically");
    SetCurrentAnalysisData(nullptr);
  }
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
}

TEST_F(ProbeRecords, ExtractorPortsFromThePicks) {
  board->Pick({"U1.D4", "U1.F2", "U3.1", "V_TX0_P", "V_RESET", "V_GND1"});
  auto* e = Make<CModelExtractorAnalysisData>(false);
  ASSERT_EQ(e->m_SupplyPorts.GetSize(), 3);
  ASSERT_EQ(e->m_ViaPorts.GetSize(), 2);
  CPortProbe& radio = e->m_SupplyPorts[0];
  EXPECT_EQ(radio.m_DisplayName, "U3.1");
  EXPECT_EQ(radio.m_Message, "Supply Pin doesn't refer to any layer");
  EXPECT_FALSE(radio.m_bEnabled);
  EXPECT_TRUE(e->m_SupplyPorts[1].m_bEnabled);   // F2 passes outside board mode
  EXPECT_EQ(e->m_ViaPorts[0].m_DisplayName, "RESET_N (0.025000,0.070000)");
  CPortProbe& tx = e->m_ViaPorts[1];
  EXPECT_TRUE(tx.m_bValid);
  EXPECT_EQ(tx.m_SecondLayers, (CNameList{"TOP", "L6_SIG"}));
  EXPECT_STREQ(tx.GetViaLayers(), "TOP\tL6_SIG");
  EXPECT_STREQ(tx.GetPartnerViaLayers(), "TOP\tL6_SIG");
  EXPECT_STREQ(e->m_SupplyPorts[2].GetReferenceLayers(), "L2_GND\tL7_GND");
  EXPECT_STREQ(e->m_ViaPorts[0].GetPartnerViaLayers(), "");
  // Two pins (1 each), the unnamed single via (2 layers) and the pair (2 + 2).
  EXPECT_EQ(e->GetPortCount(), 8);
  EXPECT_EQ(e->GetEnabledSupplyPortCount(), 2);

  // A rebuild keeps ports in place with their state and drops those no longer picked.
  e->m_ViaPorts[1].m_bEnabled = 0;
  board->Pick({"V_TX0_P", "U1.G4"});
  e->CollectProbes();
  ASSERT_EQ(e->m_ViaPorts.GetSize(), 1);
  EXPECT_FALSE(e->m_ViaPorts[0].m_bEnabled);
  ASSERT_EQ(e->m_SupplyPorts.GetSize(), 1);
  EXPECT_EQ(e->m_SupplyPorts[0].m_DisplayName, "U1.G4");
  EXPECT_EQ(e->GetStatusText(), "");
  e->m_SupplyPorts[0].m_bEnabled = 0;
  EXPECT_EQ(e->GetStatusText(), "SupplyPin or/and Via probes are to be selected!");
}

// Ports that share a name (the same pick twice here) each keep one of the new picks of that name at a rebuild:
// the same picks give the same ports, none added.
TEST_F(ProbeRecords, ExtractorPortsSharingANameSurviveARebuildOneForOne) {
  board->Pick({"U1.D4", "U1.D4", "U1.F2"});
  auto* e = Make<CModelExtractorAnalysisData>(false);
  ASSERT_EQ(e->m_SupplyPorts.GetSize(), 3);
  e->m_SupplyPorts[0].m_bEnabled = 0;
  e->CollectProbes();
  ASSERT_EQ(e->m_SupplyPorts.GetSize(), 3);
  EXPECT_FALSE(e->m_SupplyPorts[0].m_bEnabled);
  for (int i = 0; i < 3; ++i)
    EXPECT_NE(e->m_SupplyPorts[i].m_pHostProbe, nullptr) << i;
}

TEST_F(ProbeRecords, ExtractorBoardModeSupplyPinNeedsAConnectionWithMetal) {
  board->Pick({"U1.F2", "U1.D4"});
  auto* e = Make<CModelExtractorAnalysisData>(true);
  ASSERT_EQ(e->m_SupplyPorts.GetSize(), 2);
  EXPECT_TRUE(e->m_SupplyPorts[0].m_bValid);
  EXPECT_EQ(e->m_SupplyPorts[1].m_Message,
            "Supply Pin is far from T-Planes' and doesn't interact with power supply system");
  CPortProbe none;
  EXPECT_FALSE(none.Check());
  EXPECT_EQ(none.GetKind(), -1);
  EXPECT_EQ(none.GetViaLayers(), nullptr);
  EXPECT_FALSE(none.MakeDisplayName());
  EXPECT_EQ(none.m_DisplayName, "???");
}

TEST(RecordsWithoutInterfaceObjects, AnswerNothingEnabled) {
  SetCurrentAnalysisData(nullptr);
  auto* d = GetDecouplingAnalysisData();
  d->m_nAnalysisType = AnalysisDistributed;
  EXPECT_EQ(d->GetPortCount(), 0);
  EXPECT_EQ(d->GetTouchstoneExtension(), "z?p");
  EXPECT_EQ(GetBypassAnalysisData()->GetPortCount(), 0);
  EXPECT_EQ(GetDiffViaAnalysisData()->GetPortCount(), 0);
  EXPECT_EQ(GetModelExtractorAnalysisData()->GetPortCount(), 0);
  SetCurrentAnalysisData(nullptr);
}

}  // namespace
