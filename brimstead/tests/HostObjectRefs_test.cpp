#include "brimstead/HostObjectRefs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CountingCollection : CHostCollection {
  int releases = 0;
  int items[2] = {10, 20};
  void Release() override { ++releases; }
  int GetCount() override { return 2; }
  void* GetItem(int index) override { return &items[index]; }
};

struct CountingProbes : CHostPIProbes {
  CHostCollection* GetSelectedProbes() override { return nullptr; }
};

struct CountingBoard : CHostBoard {
  CountingProbes probes;
  int given = 0;
  int returned = 0;
  CHostBoardInterface* last = nullptr;
  CHostBoardInterface* GetInterface(const char* name) override {
    if (std::string(name) != HostInterfacePIProbes)
      return nullptr;
    ++given;
    return &probes;
  }
  void ReleaseInterface(CHostBoardInterface* i) override {
    ++returned;
    last = i;
  }
  CHostCollection* GetComponents() override { return nullptr; }
  CHostCollection* GetNets() override { return nullptr; }
  CHostCollection* GetLayers() override { return nullptr; }
};

TEST(HostObjectRefs, CollectionIsReleasedOnceOnEveryPath) {
  CountingCollection c;
  {
    CHostCollectionRef a(&c);
    CHostCollectionRef b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Count(), 2);
    EXPECT_EQ(*b.Item<int>(1), 20);
    CHostCollectionRef d;
    d = std::move(b);
    EXPECT_EQ(c.releases, 0);
  }
  EXPECT_EQ(c.releases, 1);

  CountingCollection first, second;
  {
    CHostCollectionRef r(&first);
    r.Reset(&second);
    EXPECT_EQ(first.releases, 1);
  }
  EXPECT_EQ(second.releases, 1);
  CHostCollectionRef none;
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.Item<int>(0), nullptr);
}

TEST(HostObjectRefs, InterfaceIsGivenBackToItsBoardOnlyWhenObtained) {
  CountingBoard board;
  {
    CHostInterfaceRef<CHostPIProbes> probes(&board, HostInterfacePIProbes);
    ASSERT_TRUE(probes);
    EXPECT_EQ(probes.Get(), &board.probes);
  }
  EXPECT_EQ(board.given, 1);
  EXPECT_EQ(board.returned, 1);
  EXPECT_EQ(board.last, static_cast<CHostBoardInterface*>(&board.probes));
  {
    CHostInterfaceRef<CHostDecoupling> missing(&board, HostInterfaceDecoupling);
    EXPECT_FALSE(missing);
    CHostInterfaceRef<CHostDecoupling> noBoard(nullptr, HostInterfaceDecoupling);
    EXPECT_FALSE(noBoard);
  }
  EXPECT_EQ(board.returned, 1);
}

}  // namespace
