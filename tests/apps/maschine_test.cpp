// The simulated machine: ramp, step clock, restarts, reference runs and
// the recorded track.
#include "maschine.h"

#include <gtest/gtest.h>

#include "planner/achsen.h"
#include "vela.h"

using namespace velatool;

class MaschineTest : public ::testing::Test {
 protected:
  void SetUp() override { vela_reset(); }
  void plane(int achse, int32_t ziel) { vela::planeAchse(static_cast<uint8_t>(achse), ziel); }
  Maschine m;
};

TEST_F(MaschineTest, ShortMoveFollowsTheRampRuleAndTheTimeBase) {
  // Ramp increment 100 from the initial speeds: stage 0 steps at 100/s,
  // stage 1 at 200/s.
  for (uint8_t a = 0; a < 4; ++a) vela::calcRampe(a);
  plane(1, 3);
  m.starteAchse(1);
  EXPECT_EQ(vela::AchsLaeuft[1], 1);
  EXPECT_EQ(vela::RestSchritte[1], 3);
  m.laufe(10 * kMilli);  // first step: stage 1
  EXPECT_EQ(vela::RampenStufe[1], 1);
  EXPECT_EQ(m.position(1), 1);
  m.laufe(5 * kMilli);  // second step: stage capped at the steps left - 1
  EXPECT_EQ(vela::RampenStufe[1], 0);
  EXPECT_FALSE(m.ruhig(1));
  EXPECT_TRUE(m.laufeBisRuhig(1));
  EXPECT_EQ(m.jetzt(), 25 * kMilli);
  EXPECT_EQ(m.position(1), 3);
  EXPECT_EQ(vela::RestSchritte[1], 0);
}

TEST_F(MaschineTest, NegativeMovesAndRestartsKeepThePosition) {
  plane(3, -5);
  m.starteAchse(3);
  EXPECT_EQ(vela::AchsRichtung[3], 1);
  plane(3, 7);  // planned while the first move still runs
  m.starteAchse(3);
  EXPECT_TRUE(m.laufeBisAllesRuhig());
  EXPECT_EQ(m.position(3), 7);
  vela::DeltaSchritte[0] = 0;
  m.starteAchse(0);
  EXPECT_TRUE(m.ruhig(0));
}

TEST_F(MaschineTest, ReferenceRunMakesTheReleasePointZero) {
  plane(2, 40);
  m.starteAchse(2);
  m.referenz(2, 1);
  EXPECT_EQ(m.position(2), 0);
  EXPECT_EQ(vela::SollPos[2], 0);
  EXPECT_EQ(vela::SollSchritte[2], 0);
  // 40 steps of the move, then search and back-off at the start speed 100.
  EXPECT_GT(m.jetzt(), (kReferenzWeg + kFreiWeg) * kSekunde / 100);
}

TEST_F(MaschineTest, TrackAndPathLengthInUserUnits) {
  vela::AchsSchritte[0] = 2;  // 2 steps per unit on X
  plane(0, 30);
  m.starteAchse(0);
  m.laufeBisRuhig(0);
  plane(1, 40);
  m.starteAchse(1);
  m.laufeBisRuhig(1);
  EXPECT_EQ(m.position(0), 60);
  EXPECT_DOUBLE_EQ(m.weg(), 70.0);
  ASSERT_EQ(m.spur().size(), 1u);
  EXPECT_EQ(m.spur()[0].x, (std::vector<double>{0, 30, 30}));
  EXPECT_EQ(m.spur()[0].y, (std::vector<double>{0, 0, 40}));

  // A circle traced by the library: steps relative to the start point.
  vela::SollSchritte[0] = 62;
  vela::SollSchritte[1] = 41;
  m.kreisGelaufen({{1, 0}, {2, 1}});
  ASSERT_EQ(m.spur().size(), 2u);
  EXPECT_EQ(m.spur()[1].art, Art::Kreis);
  EXPECT_EQ(m.spur()[1].x, (std::vector<double>{30, 30.5, 31}));
  EXPECT_EQ(m.position(1), 41);
}
