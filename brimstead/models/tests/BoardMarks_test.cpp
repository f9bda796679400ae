#include "brimstead/models/BoardMarks.h"
#include "brimstead/models/BoardMarkShapes.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostBoardMarker.h"
#include "host/HostLedger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A via of 0.3 mm with round 0.6 mm pads on the two metal layers, and a bare one without pads.
const char* const kBoard = R"({
  "name": "marks test board",
  "layers": [{"name": "TOP", "kind": "metal", "thickness": 0.035},
             {"name": "D1", "kind": "dielectric", "thickness": 0.2},
             {"name": "BOT", "kind": "metal", "thickness": 0.035}],
  "nets": [{"name": "SIG", "type": "signal"}],
  "vias": [{"id": "V1", "net": "SIG", "at": [10, 20], "size": 0.3, "pad": {"shape": "round", "diameter": 0.6},
            "connected": ["TOP", "BOT"]},
           {"id": "V2", "net": "SIG", "at": [5, 5], "size": 0.4, "connected": ["TOP"]},
           {"id": "V3", "net": "SIG", "at": [0, 0], "size": 0.4, "pad": {"shape": "rectangle", "width": 0.5, "height": 0.9},
            "connected": ["BOT"]}]
})";

// A marker that counts its calls and can refuse to remove.
class CountingMarker final : public CHostBoardMarker {
public:
    explicit CountingMarker(int groups, bool removes = true) : count(groups), removes(removes) {}
    CHostMarkGroup* CreateMarkGroup(int) override { return nullptr; }
    void RemoveMark(int index) override
    {
        removed.push_back(index);
        if (removes && count > 0)
            --count;
    }
    int GetMarkCount() override
    {
        ++countCalls;
        return count;
    }
    void Refresh() override {}

    int count;
    bool removes;
    int countCalls = 0;
    std::vector<int> removed;
};

// A probed item on a board whose only layers are a dielectric with a huge pad and a metal layer without one.
class FakeLayer final : public CHostLayer {
public:
    explicit FakeLayer(int kind) : kind(kind) {}
    int GetKind() override { return kind; }
    const char* GetName() override { return "L"; }
    double GetThickness() override { return 0.0; }
    int kind;
};
class FakePad final : public CHostPadShape {
public:
    int GetKind() override { return HostPadRound; }
    double GetDiameter() override { return 5.0; }
    double GetSide() override { return 0.0; }
    double GetWidth() override { return 0.0; }
    double GetHeight() override { return 0.0; }
};
class FakeLayers final : public CHostCollection {
public:
    explicit FakeLayers(std::vector<CHostLayer*> items, int& released) : items(std::move(items)), released(released) {}
    void Release() override
    {
        ++released;
        delete this;
    }
    int GetCount() override { return static_cast<int>(items.size()); }
    void* GetItem(int i) override { return static_cast<void*>(items[static_cast<std::size_t>(i)]); }
    std::vector<CHostLayer*> items;
    int& released;
};
class FakeBoard final : public CHostBoard {
public:
    CHostBoardInterface* GetInterface(const char*) override { return nullptr; }
    void ReleaseInterface(CHostBoardInterface*) override {}
    CHostCollection* GetComponents() override { return nullptr; }
    CHostCollection* GetNets() override { return nullptr; }
    CHostCollection* GetLayers() override { return new FakeLayers({&dielectric, &metal}, released); }
    FakeLayer dielectric{HostLayerKindSkipped}, metal{0};
    int released = 0;
};
class FakeItem final : public CHostProbeElement {
public:
    CHostBoard* GetBoard() override { return &board; }
    CHostNet* GetNet() override { return nullptr; }
    CHostPadShape* GetPad(CHostLayer* layer) override { return layer == &board.dielectric ? &pad : nullptr; }
    const CHostPosition* GetPositionPtr() override { return &position; }
    double GetX() override { return position.x; }
    double GetY() override { return position.y; }
    double GetSize() override { return 1.0; }
    const char* GetPinName() override { return ""; }
    CHostComponent* GetComponent() override { return nullptr; }
    const char* GetGroupName() override { return nullptr; }
    FakeBoard board;
    FakePad pad;
    CHostPosition position{2.0, 3.0};
};

void ExpectPoint(const CHostPosition& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
}

class BoardMarksTest : public ::testing::Test {
protected:
    void SetUp() override { board = host::LoadBoardText(kBoard, "marks.json", ledger); }
    void TearDown() override { EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report(); }
    CHostProbedItem* Via(const char* id) { return board->FindProbe(id)->GetElement(); }

    host::HostLedger ledger;
    std::unique_ptr<host::HostBoard> board;
    host::HostBoardMarker marker;
};

} // namespace

TEST_F(BoardMarksTest, CircleAroundThePadsAndTicksPointingOutwards)
{
    CBoardMarks marks(&marker);
    marks.AddProbeMark(Via("V1"));
    ASSERT_EQ(marker.GetMarkCount(), 1);
    const auto& group = *marker.Groups()[0];
    ASSERT_EQ(group.Marks().size(), 5u);

    const double x = 0.010, y = 0.020, size = 0.0003, d = 0.0006; // metres
    const auto& circle = group.Marks()[0]->Shape();
    EXPECT_TRUE(circle.circle);
    EXPECT_NEAR(circle.size, d, 1e-15) << "the pads are larger than the via";
    ExpectPoint(circle.centre, x, y);

    const double dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const auto& tick = group.Marks()[static_cast<std::size_t>(k) + 1]->Shape();
        EXPECT_FALSE(tick.circle);
        ExpectPoint(tick.start, x + d / 2 * dx[k], y + d / 2 * dy[k]);
        ExpectPoint(tick.end, x + (d / 2 + size / 2) * dx[k], y + (d / 2 + size / 2) * dy[k]);
    }
    for (const auto& mark : group.Marks()) {
        EXPECT_EQ(mark->Colour(), 0xFFFFFFu);
        EXPECT_NEAR(mark->LineWidth(), size * 0.1, 1e-15);
        EXPECT_EQ(mark->Style(), 0);
    }
}

TEST_F(BoardMarksTest, ItemsWithoutLargerPadsUseTheirOwnSize)
{
    CBoardMarks marks(&marker);
    marks.AddProbeMark(Via("V2")); // no pads
    marks.AddProbeMark(Via("V3")); // 0.5 x 0.9 mm rectangle
    ASSERT_EQ(marker.GetMarkCount(), 2);

    const auto& bare = *marker.Groups()[0];
    EXPECT_NEAR(bare.Marks()[0]->Shape().size, 0.0004, 1e-15);
    const auto& tick = bare.Marks()[1]->Shape();
    EXPECT_NEAR(tick.end.x - tick.start.x, 0.0002, 1e-15) << "ticks keep half the item's size as their length";

    EXPECT_NEAR(marker.Groups()[1]->Marks()[0]->Shape().size, 0.0009, 1e-15) << "the larger of a pad's two sides";
}

TEST_F(BoardMarksTest, PadsOnLayersThatAreNotMetalAreIgnored)
{
    FakeItem item;
    CBoardMarks marks(&marker);
    marks.AddProbeMark(&item);
    ASSERT_EQ(marker.GetMarkCount(), 1);
    EXPECT_DOUBLE_EQ(marker.Groups()[0]->Marks()[0]->Shape().size, 1.0);
    EXPECT_EQ(item.board.released, 1) << "the layer collection is given back";
}

TEST_F(BoardMarksTest, NothingWithoutMarkerOrItem)
{
    CBoardMarks none;
    none.AddProbeMark(Via("V1"));
    none.Clear();
    CBoardMarks marks(&marker);
    marks.AddProbeMark(nullptr);
    EXPECT_EQ(marker.GetMarkCount(), 0);
}

TEST(BoardMarksClear, RemovesEntryZeroUntilNoneAreLeft)
{
    CountingMarker empty(0);
    CBoardMarks(&empty).Clear();
    EXPECT_TRUE(empty.removed.empty());

    CountingMarker three(3);
    {
        CBoardMarks marks(&three);
        marks.Clear();
        EXPECT_EQ(three.removed, (std::vector<int>{0, 0, 0}));
        EXPECT_EQ(three.countCalls, 4);
        three.count = 2;
    } // the destructor clears as well
    EXPECT_EQ(three.removed.size(), 5u);
    EXPECT_EQ(three.count, 0);
}

TEST(BoardMarksClear, StopsWhenTheMarkerDoesNotRemove)
{
    CountingMarker stubborn(2, false);
    CBoardMarks marks(&stubborn);
    marks.Clear();
    EXPECT_EQ(stubborn.removed.size(), 1u);
    marks.SetMarker(nullptr); // the destructor must not try again
}
