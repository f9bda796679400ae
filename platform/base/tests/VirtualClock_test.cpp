#include "platform/base/VirtualClock.h"

#include <gtest/gtest.h>

#include <thread>

using plat::VirtualClock;

class VirtualClockTest : public ::testing::Test {
 protected:
  void SetUp() override { VirtualClock::Reset(); }
  void TearDown() override { VirtualClock::Reset(); }
};

TEST_F(VirtualClockTest, StandsStillUntilAdvanced) {
  EXPECT_EQ(VirtualClock::NowMs(), 0u);
  VirtualClock::Advance(1500);
  EXPECT_EQ(VirtualClock::NowMs(), 1500u);
  EXPECT_EQ(GetTickCount(), 1500u);
  // A fixed time of day moves with the ticks.
  VirtualClock::FixTimeOfDay(1000);
  EXPECT_EQ(VirtualClock::TimeOfDay(), 1001);
  VirtualClock::Advance(1000);
  EXPECT_EQ(VirtualClock::TimeOfDayMs(), 1002500);
}

TEST_F(VirtualClockTest, TickCountWrapsAt32Bits) {
  VirtualClock::Advance(0xFFFFFFFFull + 11);
  EXPECT_EQ(GetTickCount(), 10u);
  EXPECT_EQ(GetTickCount64(), 0xFFFFFFFFull + 11);
}

TEST_F(VirtualClockTest, RealTimeStaysMonotonicAcrossSwitches) {
  VirtualClock::Advance(100);
  VirtualClock::UseRealTime(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const auto during = VirtualClock::NowMs();
  EXPECT_GE(during, 115u);
  VirtualClock::UseRealTime(false);
  const auto after = VirtualClock::NowMs();
  EXPECT_GE(after, during);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(VirtualClock::NowMs(), after);  // frozen again
}
