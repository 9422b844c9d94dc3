// Line segments: axis order, the three-axis distribution, the ramp, the
// ring running segment after segment, and the path stop.
#include "motion/bahn.h"

#include <vector>

#include "interp/zustand.h"
#include "motion/achsen.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

class BahnTest : public VelaTest {
 protected:
  // Queues a line by its step deltas, as IL does.
  void gerade(int32_t dx, int32_t dy, int32_t dz) {
    const int32_t d[3] = {dx, dy, dz};
    for (uint8_t a = 0; a < 3; ++a) planeAchse(a, SollPos[a] + d[a]);
    planGerade();
  }
  // Speed after each tick until the path is idle.
  std::vector<uint32_t> geschwindigkeiten() {
    std::vector<uint32_t> v;
    while (BahnAktiv != 0 && v.size() < 100000) {
      stepBahn();
      v.push_back(BahnGeschw);
    }
    return v;
  }
};

TEST_F(BahnTest, AxisOrder) {
  gerade(3, 3, 3);
  EXPECT_EQ(BahnQueue[0].Achse[0], 0);
  EXPECT_EQ(BahnQueue[0].Achse[1], 2);
  EXPECT_EQ(BahnQueue[0].Achse[2], 1);
  gerade(-1, 4, -4);  // Y leads on the tie with Z; X second on none
  EXPECT_EQ(BahnQueue[1].Achse[0], 1);
  EXPECT_EQ(BahnQueue[1].Achse[1], 2);
  EXPECT_EQ(BahnQueue[1].Achse[2], 0);
  EXPECT_EQ(BahnQueue[1].Minus[0], 1);
  EXPECT_EQ(BahnQueue[1].Minus[1], 0);
  EXPECT_EQ(BahnQueue[1].Minus[2], 1);
  gerade(0, 2, 2);  // Y before Z on a tie
  EXPECT_EQ(BahnQueue[2].Achse[0], 1);
  gerade(0, 0, 5);
  EXPECT_EQ(BahnQueue[3].Achse[0], 2);
  EXPECT_EQ(BahnQueue[3].Achse[1], 0);
  EXPECT_EQ(BahnQueue[3].Achse[2], 1);
  EXPECT_EQ(BahnQueue[3].Minus[0], 1);  // a zero delta counts as negative
}

TEST_F(BahnTest, ThreeAxisDistribution) {
  gerade(10, 5, 0);
  std::vector<int> yTicks;
  for (int tick = 1; tick <= 10; ++tick) {
    EXPECT_EQ(BahnRest, 11 - tick);
    const int32_t y = RestSchritte[1];
    stepBahn();
    if (RestSchritte[1] != y) yTicks.push_back(tick);
    EXPECT_EQ(RestSchritte[2], 0);
  }
  EXPECT_EQ(yTicks, (std::vector<int>{1, 3, 5, 7, 9}));
  EXPECT_EQ(RestSchritte[0], 0);
  EXPECT_EQ(RestSchritte[1], 0);
  EXPECT_EQ(BahnAktiv, 0);
  EXPECT_EQ(TestPos[0], 10);

  // Every line's steps add up to its counts, whatever the proportions.
  const int32_t faelle[][3] = {{7, -3, 2}, {-13, 13, -1}, {1, 100, 99}, {0, -1, 0}, {37, 36, 35}};
  for (const auto &f : faelle) {
    gerade(f[0], f[1], f[2]);
    int ticks = 0;
    while (BahnAktiv != 0) {
      stepBahn();
      ++ticks;
    }
    const int n = std::max({std::abs(f[0]), std::abs(f[1]), std::abs(f[2])});
    EXPECT_EQ(ticks, n);
    for (int a = 0; a < 3; ++a) EXPECT_EQ(RestSchritte[a], 0) << f[0] << " " << f[1] << " " << f[2];
  }
}

TEST_F(BahnTest, EmptyLineTakesOneTickWithoutStep) {
  gerade(0, 0, 0);
  EXPECT_EQ(BahnRest, 0);
  stepBahn();
  EXPECT_EQ(SegmentLaeuft, 0);
  EXPECT_EQ(BahnAktiv, 0);
  EXPECT_EQ(TestPos[0], 0);
}

TEST_F(BahnTest, RampSpeeds) {
  gerade(100, 0, 0);
  EXPECT_EQ(BahnGeschw, 100u);
  const auto v = geschwindigkeiten();
  ASSERT_EQ(v.size(), 100u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(v[i], 190u + 90u * i);
    EXPECT_EQ(v[90 + i], 910u - 90u * i);
  }
  for (int i = 10; i < 90; ++i) EXPECT_EQ(v[i], 1000u);
  EXPECT_EQ(RampenStufe[4], 0);

  gerade(12, 0, 0);
  EXPECT_EQ(geschwindigkeiten(),
            (std::vector<uint32_t>{190, 280, 370, 460, 550, 640, 550, 460, 370, 280, 190, 100}));
  gerade(-5, 0, 0);
  EXPECT_EQ(geschwindigkeiten(), (std::vector<uint32_t>{190, 280, 370, 280, 190}));

  // An end speed bounds the braking; Verz then comes from it.
  EndGeschw[4] = 400;
  gerade(30, 0, 0);
  EXPECT_EQ(BahnQueue[BahnLeseIndex].Verz, 60);
  const auto w = geschwindigkeiten();
  EXPECT_EQ(w[9], 1000u);
  EXPECT_EQ(w[29], 400u);
}

TEST_F(BahnTest, QueuedLinesRunOneAfterAnother) {
  gerade(4, 0, 0);
  gerade(0, -3, 0);
  gerade(0, 0, 2);
  EXPECT_EQ(countFreieSegmente(), 28);
  int ticks = 0;
  while (BahnAktiv != 0) {
    stepBahn();
    ++ticks;
  }
  EXPECT_EQ(ticks, 9);
  EXPECT_EQ(TestPos[0], 4);
  EXPECT_EQ(TestPos[1], -3);
  EXPECT_EQ(TestPos[2], 2);
  EXPECT_EQ(BahnLeseIndex, 3);
  EXPECT_EQ(countFreieSegmente(), 31);
  // The speed carries over from segment to segment.
  gerade(50, 0, 0);
  EXPECT_EQ(BahnGeschw, 100u);
}

TEST_F(BahnTest, StopBrakesAndSetsTheReachedPosition) {
  AchsMM[0] = 2;       // two user units per step on X
  gerade(100, 40, 0);  // X: 50 steps
  gerade(5, 5, 5);
  for (int i = 0; i < 20; ++i) stepBahn();
  EXPECT_EQ(RampenStufe[4], 10);
  StopAnforderung[4] = 2;
  const auto v = geschwindigkeiten();
  EXPECT_EQ(v, (std::vector<uint32_t>{910, 820, 730, 640, 550, 460, 370, 280, 190, 100}));
  EXPECT_EQ(StopAnforderung[4], 0);
  EXPECT_EQ(BahnSchreibIndex, BahnLeseIndex);
  // 30 of the 50 X steps and 24 of the 40 Y steps were made.
  EXPECT_EQ(SollSchritte[0], 30);
  EXPECT_EQ(SollPos[0], 60);
  EXPECT_EQ(SollSchritte[1], 24);
  EXPECT_EQ(SollPos[1], 24);
  EXPECT_EQ(SollSchritte[2], 0);
  for (int a = 0; a < 3; ++a) {
    EXPECT_EQ(DeltaSchritte[a], 0);
    EXPECT_EQ(RestSchritte[a], 0);
  }
}

}  // namespace
