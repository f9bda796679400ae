#include "brimstead/BoardGeometry.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/tests/RecordTestSupport.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// A geometry query that answers fixed texts and records how it was asked.
struct ScriptedQuery : CHostGeometryQuery {
  const char* metal = nullptr;
  const char* tplanes = nullptr;
  double lastSize = -1.0;
  int lastZero = -1;
  int metalQueries = 0;
  int tplaneQueries = 0;
  const char* QueryMetalAreas(double, double, double size, int zero) override {
    lastSize = size;
    lastZero = zero;
    ++metalQueries;
    return metal;
  }
  const char* QueryTPlanes(double, double, double size, int zero) override {
    lastSize = size;
    lastZero = zero;
    ++tplaneQueries;
    return tplanes;
  }
};

// A probe whose layer predicates are given by layer name.
struct FakeProbe : CHostProbe {
  std::set<std::string> connected, reference;
  CHostNet* net = nullptr;
  CHostProbeElement* element = nullptr;
  int GetKind() override { return HostProbeSupplyPin; }
  CHostProbeElement* GetElement() override { return element; }
  const char* GetName() override { return "P"; }
  CHostPosition GetPosition() override { return {1.0, 2.0}; }
  CHostNet* GetReferenceNet() override { return nullptr; }
  bool IsConnectedOn(CHostLayer* layer) override { return connected.count(layer->GetName()) != 0; }
  bool IsReferenceLayer(CHostLayer* layer) override { return reference.count(layer->GetName()) != 0; }
  CHostNet* GetNet() override { return net; }
  bool IsSelected() override { return true; }
  CHostProbe* GetPartner() override { return nullptr; }
  bool IsEligible() override { return true; }
  void PanTo(int, const RECT*, CHostProbe*) override {}
};

// The sensor board's stack: 0 TOP, 1 PREPREG1 (dielectric), 2 GND, 3 CORE (dielectric), 4 PWR, 5 PREPREG2, 6 BOTTOM.
class BoardGeometry : public RecordTest {
protected:
  BoardGeometry() : RecordTest("sensor4.json") { Make<CDecouplingAnalysisData>(false); }
  ScriptedQuery query;
};

TEST(NextToken, SplitsTrimsAndLeavesTheLastTokenAlone) {
  const char* text = " a\tb \nc \r\n last ";
  int position = 0;
  EXPECT_EQ(NextToken(position, text, "\n"), "a\tb");
  EXPECT_EQ(position, 6);
  EXPECT_EQ(NextToken(position, text, "\n"), "c");
  EXPECT_EQ(NextToken(position, text, "\n"), " last ");
  EXPECT_EQ(position, 16);
  EXPECT_EQ(NextToken(position, text, "\n"), "");
  EXPECT_EQ(position, 16);
  int zero = 0;
  EXPECT_EQ(NextToken(zero, nullptr, "\n"), "");
  EXPECT_EQ(zero, 0);
}

TEST(FindEqualRange, FindsTheWholeRunOfEqualKeys) {
  CStringPairArray pairs;
  for (const char* key : {"A", "B", "B", "B", "C"})
    pairs.Add(CStringPair{key, ""});
  int first = -1, last = -1;
  EXPECT_TRUE(FindEqualRange(pairs, "B", CompareKeyWithPair, &first, &last));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 3);
  EXPECT_TRUE(FindEqualRange(pairs, "C", CompareKeyWithPair, nullptr, &last));
  EXPECT_EQ(last, 4);
  EXPECT_FALSE(FindEqualRange(pairs, "BB", CompareKeyWithPair, &first, &last));
  EXPECT_FALSE(FindEqualRange(CStringPairArray(), "A", CompareKeyWithPair, nullptr, nullptr));
}

TEST_F(BoardGeometry, MetalAreaLinesWithOddShapes) {
  // CR-LF, a line without a TAB, an empty line, a net name with a TAB in it, and no final line feed.
  query.metal = "PWR\tVCC\r\nnotab\n\nGND\tGND\nTOP\tSIG\tX ";
  CStringPairArray areas;
  GetMetalAreasAt(&query, 0, 0, 0.5, areas);
  ASSERT_EQ(areas.GetSize(), 3);
  EXPECT_EQ(areas[0].key, "GND");
  EXPECT_EQ(areas[1].key, "PWR");
  EXPECT_EQ(areas[1].value, "VCC");
  EXPECT_EQ(areas[2].value, "SIG\tX ");   // the last line is not trimmed
  EXPECT_EQ(query.lastZero, 0);
  EXPECT_DOUBLE_EQ(query.lastSize, 0.5);
  query.metal = nullptr;
  GetMetalAreasAt(&query, 0, 0, 0, areas);
  EXPECT_EQ(areas.GetSize(), 0);
  GetMetalAreasAt(nullptr, 0, 0, 0, areas);
  EXPECT_EQ(areas.GetSize(), 0);
}

TEST_F(BoardGeometry, TPlaneSpansSkipShortLinesUnknownAndDielectricLayers) {
  query.tplanes = "GND\tx\tTOP\nPWR\ty\nCORE\tz\tBOTTOM\nBOTTOM\tw\tPWR\r\nNOPE\tq\tTOP\n\tq\tTOP";
  CSpanList spans;
  GetTPlaneSpansAt(&query, 0, 0, 0, spans);
  EXPECT_EQ(spans, (CSpanList{0, 2, 4, 6}));
  query.tplanes = "";
  GetTPlaneSpansAt(&query, 0, 0, 0, spans);
  EXPECT_TRUE(spans.empty());
}

TEST_F(BoardGeometry, InBetweenLayersAndSpans) {
  query.metal = "GND\tGND\nPWR\tVCC\nCORE\tX\n";
  CString names;
  EXPECT_TRUE(PassesThroughTPlane(&query, 0, 0, 0, 0, 6, &names));
  EXPECT_EQ(names, "GND\tPWR");   // the dielectric named by the query never matches
  EXPECT_TRUE(PassesThroughTPlane(&query, 0, 0, 0, 0, 6, nullptr));
  // TOP and GND have only a dielectric between them: only a span can succeed, and bounds equal to the ends count.
  EXPECT_FALSE(PassesThroughTPlane(&query, 0, 0, 0, 0, 2, &names));
  EXPECT_TRUE(names.IsEmpty());
  query.tplanes = "TOP\t-\tGND\n";
  EXPECT_TRUE(PassesThroughTPlane(&query, 0, 0, 0, 0, 2, nullptr));
  query.metal = nullptr;
  EXPECT_FALSE(PassesThroughTPlane(&query, 0, 0, 0, 0, 4, nullptr));   // the span (0, 2) does not enclose (0, 4)
}

TEST_F(BoardGeometry, ViaConnectedNowhereSpansTheWholeStack) {
  FakeProbe via;
  query.tplanes = "TOP\t-\tBOTTOM\n";
  EXPECT_TRUE(ViaPassesThroughTPlane(&query, &via, nullptr, nullptr));
  query.tplanes = "TOP\t-\tMISSING\n";
  EXPECT_FALSE(ViaPassesThroughTPlane(&query, &via, nullptr, nullptr));
  via.connected = {"TOP", "BOTTOM"};
  query.metal = "PWR\tVCC";
  CString names;
  EXPECT_TRUE(ViaPassesThroughTPlane(&query, &via, nullptr, &names));
  EXPECT_EQ(names, "PWR");
  EXPECT_TRUE(SegmentPassesThroughTPlane(&query, &via, nullptr, "BOTTOM", "TOP"));
  EXPECT_FALSE(SegmentPassesThroughTPlane(&query, &via, nullptr, "TOP", "GND"));
}

// The segments of one via tested at its point answer as each tested alone, with one question of each kind.
TEST_F(BoardGeometry, SegmentsAtOnePointAskTheHostOnceForEachKind) {
  FakeProbe via;
  query.metal = "PWR\tVCC\n";
  query.tplanes = "TOP\t-\tGND\n";
  const std::pair<const char*, const char*> segments[] = {
      {"TOP", "BOTTOM"}, {"TOP", "GND"}, {"GND", "BOTTOM"}, {"TOP", "PWR"}, {"PWR", "BOTTOM"}, {"GND", "TOP"}};
  std::vector<bool> alone;
  for (const auto& [a, b] : segments) alone.push_back(SegmentPassesThroughTPlane(&query, &via, nullptr, a, b));
  EXPECT_EQ(alone, (std::vector<bool>{true, true, true, false, false, true}));
  query.metalQueries = query.tplaneQueries = 0;
  CPlanesAtPoint planes = CPlanesAtPoint::AtProbe(&query, &via, nullptr);
  std::vector<bool> shared;
  for (const auto& [a, b] : segments) shared.push_back(planes.SegmentPassesThroughTPlane(a, b));
  EXPECT_EQ(shared, alone);
  EXPECT_EQ(query.metalQueries, 1);
  EXPECT_EQ(query.tplaneQueries, 1);
  ASSERT_EQ(planes.MetalAreas().GetSize(), 1);
  EXPECT_EQ(planes.MetalAreas()[0].key, "PWR");
  // Over a layer collection the caller holds, the same answers and names.
  CHostCollectionRef layers(GetAnalysisData()->m_pBoard->GetLayers());
  for (int low = 0; low < 6; ++low)
    for (int high = low + 1; high <= 6; ++high) {
      CString own, held;
      EXPECT_EQ(planes.PassesThroughTPlane(low, high, &own), planes.PassesThroughTPlane(layers.Get(), low, high, &held))
          << low << "-" << high;
      EXPECT_EQ(own, held);
    }
  // A point where the metal answers every test asks no T-planes at all.
  query.metalQueries = query.tplaneQueries = 0;
  CPlanesAtPoint metalOnly(&query, 0, 0, 0);
  EXPECT_TRUE(metalOnly.SegmentPassesThroughTPlane("TOP", "BOTTOM"));
  EXPECT_EQ(query.tplaneQueries, 0);
}

TEST_F(BoardGeometry, SupplyPinNeedsItsNetOnAReferenceLayerAndInBoardModeAConnection) {
  FakeProbe pin;
  pin.reference = {"GND"};
  pin.connected = {"TOP"};
  pin.net = board->FindNet("GND");
  query.metal = "GND\tVCC_3V3\nGND\tGND\n";
  EXPECT_TRUE(SupplyPinTouchesTPlane(&query, &pin, nullptr));
  pin.net = board->FindNet("VDD_1V2");
  EXPECT_FALSE(SupplyPinTouchesTPlane(&query, &pin, nullptr));
  pin.net = nullptr;   // a pin without a net accepts any net on its reference layers
  EXPECT_TRUE(SupplyPinTouchesTPlane(&query, &pin, nullptr));
  GetAnalysisData()->m_bBoardMode = 1;
  EXPECT_FALSE(SupplyPinTouchesTPlane(&query, &pin, nullptr));
  query.metal = "GND\tGND\nTOP\tANY\n";
  EXPECT_TRUE(SupplyPinTouchesTPlane(&query, &pin, nullptr));
  EXPECT_FALSE(SupplyPinTouchesTPlane(nullptr, &pin, nullptr));
  EXPECT_FALSE(SupplyPinTouchesTPlane(&query, nullptr, nullptr));
}

TEST_F(BoardGeometry, SizeComesFromTheGivenElementThenTheProbesOwn) {
  FakeProbe pin;
  host::HostElement* element = board->FindProbe("U1.1")->Element();
  SupplyPinTouchesTPlane(&query, &pin, element);
  EXPECT_DOUBLE_EQ(query.lastSize, element->GetSize());
  SupplyPinTouchesTPlane(&query, &pin, nullptr);
  EXPECT_DOUBLE_EQ(query.lastSize, 0.0);
  pin.element = element;
  SupplyPinTouchesTPlane(&query, &pin, nullptr);
  EXPECT_DOUBLE_EQ(query.lastSize, element->GetSize());
}

TEST(BoardGeometryWithoutBoard, NothingIsThere) {
  SetCurrentAnalysisData(nullptr);
  ScriptedQuery query;
  query.metal = "GND\tGND\n";
  query.tplanes = "TOP\t-\tBOTTOM\n";
  EXPECT_FALSE(PassesThroughTPlane(&query, 0, 0, 0, -1, 10, nullptr));
  CSpanList spans;
  GetTPlaneSpansAt(&query, 0, 0, 0, spans);
  EXPECT_TRUE(spans.empty());
}

}  // namespace
