#include "brimstead/HostObjectRefs.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostBoardMarker.h"
#include "host/HostLedger.h"
#include "host/HostRecordGeometryQuery.h"
#include "host/HostSystem.h"
#include "host/tests/HostTestBoards.h"

#include <gtest/gtest.h>

namespace host {
namespace {

class DemoBoard : public testing::Test {
protected:
  void TearDown() override { EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report(); }
  HostLedger ledger;
  std::unique_ptr<HostBoard> board = LoadBoardFile(test::SampleBoard("demo8.json"), ledger);
  CHostGeometryQuery& query = board->GeometryQuery();
};

constexpr double mm = 0.001;

TEST_F(DemoBoard, MetalAreasAndTPlanesUnderTheProcessor) {
  EXPECT_STREQ(query.QueryMetalAreas(45 * mm, 35 * mm, 0.0, 0), "L2_GND\tGND\nL4_PWR\tVDD_CORE\nL7_GND\tGND\n");
  EXPECT_STREQ(query.QueryTPlanes(45 * mm, 35 * mm, 0.0, 0),
               "L2_GND\tGND/VDD_CORE\tL4_PWR\nL4_PWR\tVDD_CORE/GND\tL7_GND\n");
  // Below the processor the DDR plane on L5 joins: three T-planes.
  EXPECT_STREQ(query.QueryTPlanes(45 * mm, 31 * mm, 0.0, 0),
               "L2_GND\tGND/VDD_CORE\tL4_PWR\nL4_PWR\tVDD_CORE/VDD_DDR\tL5_PWR\nL5_PWR\tVDD_DDR/GND\tL7_GND\n");
}

TEST_F(DemoBoard, SizeWidensThePointAndTheAntennaCornerIsBare) {
  EXPECT_STREQ(query.QueryMetalAreas(35.9 * mm, 35 * mm, 0.0, 0), "L2_GND\tGND\nL7_GND\tGND\n");
  EXPECT_STREQ(query.QueryMetalAreas(35.9 * mm, 35 * mm, 0.4 * mm, 0),
               "L2_GND\tGND\nL4_PWR\tVDD_CORE\nL7_GND\tGND\n");
  EXPECT_STREQ(query.QueryMetalAreas(90 * mm, 70 * mm, 0.0, 0), "");
  EXPECT_STREQ(query.QueryTPlanes(90 * mm, 70 * mm, 0.0, 0), "");
}

TEST_F(DemoBoard, SupplyPinProbeIsMeasuredAgainstItsReferenceNet) {
  HostProbe* pin = board->FindProbe("U1.D4");
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(pin->GetKind(), HostProbeSupplyPin);
  EXPECT_STREQ(pin->GetName(), "U1.D4");
  EXPECT_STREQ(pin->GetElement()->GetNet()->GetName(), "VDD_CORE");
  EXPECT_STREQ(pin->GetNet()->GetName(), "GND");
  EXPECT_STREQ(pin->GetReferenceNet()->GetName(), "GND");
  EXPECT_STREQ(pin->GetElement()->GetComponent()->GetName(), "U1");
  EXPECT_STREQ(pin->GetElement()->GetPinName(), "D4");
  EXPECT_DOUBLE_EQ(pin->GetPosition().x, 43.5 * mm);
  EXPECT_TRUE(pin->IsConnectedOn(board->FindLayer("TOP")));
  EXPECT_TRUE(pin->IsConnectedOn(board->FindLayer("L4_PWR")));
  EXPECT_FALSE(pin->IsConnectedOn(board->FindLayer("L2_GND")));
  EXPECT_TRUE(pin->IsReferenceLayer(board->FindLayer("L2_GND")));
  EXPECT_TRUE(pin->IsReferenceLayer(board->FindLayer("L7_GND")));
  EXPECT_FALSE(pin->IsReferenceLayer(board->FindLayer("L4_PWR")));
  // Capacitor pins and ground pins are not probes.
  EXPECT_EQ(board->FindProbe("C1.1"), nullptr);
  EXPECT_EQ(board->FindProbe("U1.E5"), nullptr);
  // The radio module's supply pin lies where no ground plane is: it refers to no layer.
  EXPECT_FALSE(board->FindProbe("U3.1")->HasReferences());
}

TEST_F(DemoBoard, ViaProbesKnowPartnersEligibilityAndNames) {
  HostProbe* tx = board->FindProbe("V_TX0_P");
  EXPECT_EQ(tx->GetKind(), HostProbeVia);
  EXPECT_EQ(tx->GetPartner(), board->FindProbe("V_TX0_N"));
  EXPECT_TRUE(tx->IsEligible());
  EXPECT_STREQ(tx->GetNet()->GetName(), "PCIE_TX0_P");
  EXPECT_EQ(tx->GetReferenceNet(), nullptr);
  EXPECT_STREQ(board->FindProbe("V_RESET")->GetName(), "");   // a via without a name
  EXPECT_FALSE(board->FindProbe("V_GND1")->IsEligible());     // stitching vias are not offered
  CHostPadShape* pad = tx->GetElement()->GetPad(board->FindLayer("TOP"));
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(pad->GetKind(), HostPadRound);
  EXPECT_DOUBLE_EQ(pad->GetDiameter(), 0.5 * mm);
  EXPECT_EQ(tx->GetElement()->GetPad(board->FindLayer("L2_GND")), nullptr);
}

TEST_F(DemoBoard, SupplyNetsCarryPlaneItemsAndVoltages) {
  CHostCollectionRef nets(board->GetNets());
  int withPlane = 0;
  for (int i = 0; i < nets.Count(); ++i) {
    CHostNet* net = nets.Item<CHostNet>(i);
    CHostCollectionRef items(net->GetItems());
    for (int k = 0; k < items.Count(); ++k)
      if (items.Item<CHostNetItem>(k)->GetKind() == HostNetItemKindPlane) {
        ++withPlane;
        break;
      }
  }
  EXPECT_EQ(withPlane, 5);
  double volts = -1;
  EXPECT_TRUE(board->FindNet("VDD_DDR")->IsSupply(&volts));
  EXPECT_DOUBLE_EQ(volts, 1.2);
  EXPECT_FALSE(board->FindNet("USB_DP")->IsSupply(&volts));
  EXPECT_TRUE(board->FindNet("GND")->IsSupply(nullptr));
}

TEST_F(DemoBoard, PicksAreHandedOutThroughThePIProbesInterface) {
  CHostInterfaceRef<CHostPIProbes> probes(board.get(), HostInterfacePIProbes);
  ASSERT_TRUE(probes);
  CHostCollectionRef picks(probes->GetSelectedProbes());
  ASSERT_EQ(picks.Count(), 7);
  EXPECT_STREQ(picks.Item<CHostProbe>(0)->GetName(), "U1.D4");
  EXPECT_EQ(picks.Item<CHostProbe>(7), nullptr);
  board->SetPicks({});
  EXPECT_EQ(probes->GetSelectedProbes(), nullptr);
  EXPECT_FALSE(board->Pick({"V_TX0_P", "NOPE"}));
  EXPECT_TRUE(board->Pick({"V_RX0_N"}));
  EXPECT_EQ(board->Picks().size(), 1u);
  EXPECT_EQ(board->GetInterface("iBoadData/Unknown"), nullptr);
}

TEST_F(DemoBoard, APairsNetsAreMembersOfEachOtherAndPansAreLogged) {
  HostNet* positive = board->FindNet("PCIE_TX0_P");
  ASSERT_NE(positive, nullptr);
  {
    CHostCollectionRef members(positive->GetMembers());
    ASSERT_EQ(members.Count(), 2);
    EXPECT_TRUE(positive->IsOwnMember(members.Item<CHostNet>(0)));
    EXPECT_EQ(std::string(members.Item<CHostNet>(1)->GetName()), "PCIE_TX0_N");
    EXPECT_FALSE(positive->IsOwnMember(members.Item<CHostNet>(1)));
  }
  {
    // A net of single vias is its only member.
    CHostCollectionRef members(board->FindNet("DDR_DQ1")->GetMembers());
    EXPECT_EQ(members.Count(), 1);
  }
  const RECT wizard{10, 20, 300, 400};
  board->FindProbe("V_TX0_P")->PanTo(2, &wizard, board->FindProbe("V_TX0_N"));
  board->FindProbe("V_DQ1")->PanTo(3, nullptr, nullptr);
  EXPECT_EQ(board->ViewLog(), (std::vector<std::string>{"PanTo V_TX0_P mode 2 wizard (10,20,300,400) second V_TX0_N",
                                                       "PanTo V_DQ1 mode 3 wizard none second none"}));
}

TEST(HostLedger, ReportsWhatIsStillOutAndWhatWasGivenBackTwice) {
  HostLedger ledger;
  auto board = LoadBoardFile(test::SampleBoard("sensor4.json"), ledger);
  CHostCollection* layers = board->GetLayers();
  CHostBoardInterface* decoupling = board->GetInterface(HostInterfaceDecoupling);
  EXPECT_FALSE(ledger.IsBalanced());
  EXPECT_EQ(ledger.Report(), "collections of layers still out: 1\ninterface iBoadData/Decoupling(00275) still out: 1\n");
  layers->Release();
  board->ReleaseInterface(decoupling);
  EXPECT_TRUE(ledger.IsBalanced());
  layers->Release();
  board->ReleaseInterface(decoupling);
  EXPECT_EQ(ledger.Faults(), 2);
  EXPECT_EQ(ledger.Report(), "collection of layers released twice\ninterface iBoadData/Decoupling(00275) given back but "
                             "not out\n");
}

// A model the way the module's editor hands one out: a view whose answers die with it.
struct TemporaryModel : CHostCapacitorModel {
  int GetKind() override { return HostModelSPICE; }
  bool IncludesViaMounting() override { return true; }
  bool IsLibraryModel() override { return false; }
  const char* GetLibraryText() override { return nullptr; }
  const char* GetLibraryModelName() override { return "edited"; }
  double GetESR() override { return 0; }
  const char* GetFileName() override { return "caps.lib"; }
  double GetESL() override { return 0; }
  const char* GetSubcircuitName() override { return "C10N"; }
  bool IsSeries() override { return false; }
  double GetCapacitance() override { return 0; }
  const char* GetPortPin(int port) override { return port == 2 ? "2" : nullptr; }
};

TEST_F(DemoBoard, AssignedModelsAreCopiedGroupsEditableAndEachChangeLogged) {
  HostDecoupling& d = board->Decoupling();
  HostCapacitorGroup* group = d.FindGroup("IO_HF");
  bool disabled = true;
  CHostCapacitorModel* before = d.GetGroupModel(group, &disabled);
  ASSERT_NE(before, nullptr);
  EXPECT_EQ(before->GetKind(), HostModelTouchstone);
  EXPECT_FALSE(disabled);
  EXPECT_STREQ(before->GetFileName(), "cap_100n_0402.s2p");
  EXPECT_FALSE(before->IsSeries());
  {
    TemporaryModel view;
    EXPECT_TRUE(d.SetGroupModel(group, &view, true));
  }
  CHostCapacitorModel* after = d.GetGroupModel(group, &disabled);
  EXPECT_TRUE(disabled);
  EXPECT_STREQ(after->GetSubcircuitName(), "C10N");
  EXPECT_EQ(after->GetPortPin(1), nullptr);
  EXPECT_STREQ(after->GetPortPin(2), "2");
  EXPECT_TRUE(after->IncludesViaMounting());
  EXPECT_TRUE(d.SetGroupModel(group, nullptr, false));
  EXPECT_EQ(d.GetGroupModel(group, &disabled), nullptr);

  // Only decoupling capacitors take models of their own.
  TemporaryModel view;
  EXPECT_FALSE(d.SetComponentModel(board->FindComponent("U1"), &view, false));
  EXPECT_TRUE(d.IsDecouplingCapacitor(board->FindComponent("C60")));
  EXPECT_NE(d.GetComponentModel(board->FindComponent("C60"), &disabled), nullptr);
  EXPECT_FALSE(disabled);
  EXPECT_NE(d.GetComponentModel(board->FindComponent("C59"), &disabled), nullptr);
  EXPECT_TRUE(disabled);

  CHostCapacitorGroup* made = d.CreateGroup();
  made->SetName("NEW");
  made->AddMember(board->FindComponent("C57"));
  made->AddMember(board->FindComponent("C57"));
  {
    CHostCollectionRef members(made->GetMembers());
    EXPECT_EQ(members.Count(), 1);
  }
  made->RemoveMember(board->FindComponent("C58"));
  d.DeleteGroup(made);
  EXPECT_EQ(d.FindGroup("NEW"), nullptr);
  d.DeleteGroup(made);
  // Loading the board's groups and assignments was no change; every call through the interfaces since was.
  EXPECT_EQ(board->Changes().Lines(), (std::vector<std::string>{
                                          "Decoupling SetGroupModel \"IO_HF\" edited disabled",
                                          "Decoupling SetGroupModel \"IO_HF\" null",
                                          "Decoupling SetComponentModel U1 edited (refused)",
                                          "Decoupling CreateGroup",
                                          "Group \"\" SetName \"NEW\"",
                                          "Group \"NEW\" AddMember C57",
                                          "Group \"NEW\" AddMember C57 (already a member)",
                                          "Group \"NEW\" RemoveMember C58 (not a member)",
                                          "Decoupling DeleteGroup \"NEW\"",
                                          "Decoupling DeleteGroup (not a group of this board)",
                                      }));
}

TEST_F(DemoBoard, LibraryKeepsACopyOfWhatItIsGivenAndLogsEachChange) {
  HostModelLibrary& library = board->ModelLibrary();
  const int count = library.GetCount();
  library.Add(new TemporaryModel);
  EXPECT_EQ(library.GetCount(), count + 1);
  EXPECT_STREQ(library.GetItem(count)->GetLibraryModelName(), "edited");
  library.Add(library.GetItem(0));   // its own object: nothing happens
  EXPECT_EQ(library.GetCount(), count + 1);
  library.Remove("edited");
  EXPECT_EQ(library.GetCount(), count);
  EXPECT_EQ(library.GetItem(count), nullptr);
  library.Remove("edited");
  // The board file's models are not changes; its own object given back changes nothing.
  EXPECT_EQ(board->Changes().Lines(), (std::vector<std::string>{"ModelLibrary Add edited SPICE",
                                                                "ModelLibrary Remove edited",
                                                                "ModelLibrary Remove edited (not found)"}));
}

struct Circle : CBoardMarkShape {
  double centre[2] = {1.0, 2.0};
  void Reserved0() override {}
  int GetPointCount() override { return 0; }
  const double* GetPoint(int) override { return nullptr; }
  CBoardMarkShape* GetShape(int) override { return this; }
  int GetShapeCode() override { return 0; }
  bool IsClosed() override { return true; }
  bool IsFilled() override { return false; }
  const double* GetCentre() override { return centre; }
  double GetSize() override { return 3.0; }
  double GetReserved9() override { return 0; }
  double GetReserved10() override { return 0; }
  double GetReserved11() override { return 0; }
  double GetReserved12() override { return 0; }
};

TEST(HostBoardMarker, RecordsMarksAndRemovesGroupsByIndex) {
  HostBoardMarker marker;
  CHostMarkGroup* group = marker.CreateMarkGroup(1);
  Circle circle;
  CHostMark* mark = group->AddMark(group->MakeGeometry(&circle));
  ASSERT_NE(mark, nullptr);
  mark->SetColour(0xFFFFFF, 0);
  mark->SetLineWidth(0.5);
  const HostMark& recorded = *static_cast<HostMarkGroup*>(group)->Marks()[0];
  EXPECT_TRUE(recorded.Shape().circle);
  EXPECT_DOUBLE_EQ(recorded.Shape().size, 3.0);
  EXPECT_DOUBLE_EQ(recorded.Shape().centre.y, 2.0);
  EXPECT_EQ(recorded.Colour(), 0xFFFFFFu);
  HostMarkGeometry foreign(MarkShape{});
  EXPECT_EQ(group->AddMark(&foreign), nullptr);
  marker.CreateMarkGroup(1);
  EXPECT_EQ(marker.GetMarkCount(), 2);
  marker.RemoveMark(5);
  EXPECT_EQ(marker.GetMarkCount(), 2);
  marker.RemoveMark(0);
  marker.RemoveMark(0);
  EXPECT_EQ(marker.GetMarkCount(), 0);
}

TEST(HostSystem, BoardsOfASystem) {
  HostLedger ledger;
  auto demo = LoadBoardFile(test::SampleBoard("demo8.json"), ledger);
  auto sensor = LoadBoardFile(test::SampleBoard("sensor4.json"), ledger);
  HostSystem system(ledger, "Project");
  system.AddBoard(demo.get());
  EXPECT_FALSE(system.MustChooseBoard());
  system.AddBoard(sensor.get());
  EXPECT_TRUE(system.MustChooseBoard());
  {
    CHostCollectionRef boards(system.GetBoards());
    EXPECT_EQ(boards.Count(), 2);
    EXPECT_EQ(boards.Item<CHostBoard>(1), static_cast<CHostBoard*>(sensor.get()));
  }
  EXPECT_STREQ(system.GetBoardFileName(1), "sensor4.json");
  EXPECT_STREQ(system.GetBoardInfoText(0), "8-layer processor board, BGA-100 processor");
  EXPECT_STREQ(system.GetBoardInfoText(9), "");
  EXPECT_EQ(system.GetActiveBoard(), static_cast<CHostBoard*>(demo.get()));
  EXPECT_STREQ(system.GetComponentText(demo->FindComponent("U2")), "U2");
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
}

}  // namespace
}  // namespace host

namespace host {
namespace {

TEST(HostLedger, ReleasedCollectionsAreReusedSoMemoryStaysBounded) {
  HostLedger ledger;
  auto board = LoadBoardFile(test::SampleBoard("sensor4.json"), ledger);
  CHostCollection* first = board->GetLayers();
  first->Release();
  bool reused = false;
  for (int i = 0; i < 1000; ++i) {
    CHostCollection* layers = board->GetLayers();
    reused |= layers == first;
    EXPECT_EQ(layers->GetCount(), 7);
    layers->Release();
  }
  EXPECT_TRUE(reused);
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
}

// The query a wizard gets in a system answers for the board its record holds, asked at the time of each question;
// an index outside the system (no board chosen yet) finds nothing, and a single board answers whatever the index.
TEST(HostRecordGeometryQuery, AnswersForTheRecordsBoard) {
  HostLedger ledger;
  auto demo = LoadBoardFile(test::SampleBoard("demo8.json"), ledger);
  auto sensor = LoadBoardFile(test::SampleBoard("sensor4.json"), ledger);
  int index = 1;
  HostRecordGeometryQuery query({demo.get(), sensor.get()}, [&] { return index; });
  // sensor4's U1.24 at (32, 18) mm: its GND plane and its VDD_1V2 area on PWR.
  EXPECT_STREQ(query.QueryMetalAreas(0.032, 0.018, 0.0003, 0), "GND\tGND\nPWR\tVDD_1V2\n");
  EXPECT_STREQ(query.QueryTPlanes(0.032, 0.018, 0.0003, 0), "GND\tGND/VDD_1V2\tPWR\n");
  index = 0;
  EXPECT_STREQ(query.QueryMetalAreas(0.032, 0.018, 0.0003, 0),
               demo->GeometryQuery().QueryMetalAreas(0.032, 0.018, 0.0003, 0));
  for (int outside : {-1, 2}) {
    index = outside;
    EXPECT_STREQ(query.QueryMetalAreas(0.032, 0.018, 0.0003, 0), "");
    EXPECT_STREQ(query.QueryTPlanes(0.032, 0.018, 0.0003, 0), "");
  }
  HostRecordGeometryQuery single({sensor.get()}, [] { return -1; });
  EXPECT_STREQ(single.QueryMetalAreas(0.032, 0.018, 0.0003, 0), "GND\tGND\nPWR\tVDD_1V2\n");
}

}  // namespace
}  // namespace host
