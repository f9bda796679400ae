#include "brimstead/FakedSingleBoardSystem.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/tests/RecordTestSupport.h"

namespace {

class FakedSingleBoardSystem : public RecordTest {};

TEST_F(FakedSingleBoardSystem, AnswersEveryPositionForItsOneBoard) {
  CHostSystem& s = oneBoard;
  EXPECT_STREQ(s.GetName(), "Faked Single Board System");
  EXPECT_FALSE(s.MustChooseBoard());
  EXPECT_EQ(s.GetActiveBoard(), static_cast<CHostBoard*>(board.get()));
  EXPECT_STREQ(s.GetBoardInfoText(3), "Single Board");
  EXPECT_STREQ(s.GetBoardFileName(0), "");
  EXPECT_TRUE(s.ReservedOp7());
  EXPECT_TRUE(s.ReservedOp8());
  EXPECT_TRUE(s.ReservedOp15(1, 2));
  EXPECT_TRUE(s.ReservedOp17(1, 2));
  EXPECT_EQ(s.ReservedOp1() + s.ReservedOp2() + s.ReservedOp12() + s.ReservedOp16(1) + s.ReservedOp18(1) +
                s.ReservedOp19(1),
            0);
  EXPECT_STREQ(s.GetComponentText(board->FindComponent("U2")), "U2");
  EXPECT_STREQ(s.GetNetText(board->FindNet("GND")), "GND");
}

TEST_F(FakedSingleBoardSystem, ItsCollectionAnswersTheBoardForAnyIndexAndSurvivesReleases) {
  CHostCollection* boards = oneBoard.GetBoards();
  for (int i = 0; i < 3; ++i)
    boards->Release();
  EXPECT_EQ(boards->GetCount(), 1);
  EXPECT_EQ(HostItemAs<CHostBoard>(boards, 5), static_cast<CHostBoard*>(board.get()));
  EXPECT_EQ(oneBoard.GetBoards(), boards);
}

}  // namespace
