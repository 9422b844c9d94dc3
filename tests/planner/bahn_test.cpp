// Line segments: axis order, the three-axis distribution, the ramp, the
// ring running segment after segment, the path stop, and queued lines run
// to their end at once.
#include "planner/bahn.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using Geschw = std::vector<uint32_t>;

class BahnTest : public VelaTest {
 protected:
  // Queues a line by its step deltas, as IL does.
  static void gerade(int32_t dx, int32_t dy, int32_t dz) {
    const int32_t ziel[3] = {SollPos[0] + dx, SollPos[1] + dy, SollPos[2] + dz};
    ASSERT_EQ(planGerade(ziel), 0);
  }
  // Speed after each tick until the path is idle.
  static Geschw geschwindigkeiten() {
    Geschw v;
    while (BahnAktiv != 0 && v.size() < 100000) {
      stepBahn();
      v.push_back(BahnGeschw);
    }
    return v;
  }
};

// Every line counts all three axes down to 0 in lead-count ticks; an
// empty line takes one tick without a step.
TEST_F(BahnTest, StepsAddUpToTheDeltas) {
  gerade(10, 5, 0);
  std::vector<int> yTicks;
  for (int tick = 1; BahnAktiv != 0; ++tick) {
    const int32_t y = RestSchritte[1];
    stepBahn();
    if (RestSchritte[1] != y) yTicks.push_back(tick);
  }
  EXPECT_EQ(yTicks, (std::vector<int>{1, 3, 5, 7, 9}));
  const int32_t faelle[][3] = {{7, -3, 2}, {-13, 13, -1}, {1, 100, 99}, {0, 0, 0}, {37, 36, 35}};
  for (const auto &f : faelle) {
    gerade(f[0], f[1], f[2]);
    const size_t n = std::max({std::abs(f[0]), std::abs(f[1]), std::abs(f[2]), 1});
    EXPECT_EQ(geschwindigkeiten().size(), n) << f[0] << " " << f[1] << " " << f[2];
    EXPECT_EQ(RestSchritte[0] | RestSchritte[1] | RestSchritte[2], 0) << f[0] << " " << f[1] << " " << f[2];
  }
}

// IL waits (cursor back on its line) while all 31 free segments are
// queued; queued lines then run one after another.
TEST_F(BahnTest, FullRingMakesTheLineWait) {
  lade("IL V1, 0, 0\n");
  for (int i = 1; i <= 32; ++i) {
    V_WertVar[1] = i;
    NextBefp = Programm;
    ASSERT_EQ(schritt(), 0);
  }
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(SollPos[0], 31);
  EXPECT_EQ(countFreieSegmente(), 0);
  EXPECT_EQ(geschwindigkeiten().size(), 31u);
  EXPECT_EQ(countFreieSegmente(), 31);
}

TEST_F(BahnTest, RampClimbsAndDescendsByTheSameStages) {
  gerade(100, 0, 0);
  EXPECT_EQ(BahnGeschw, 100u);
  Geschw lang(100, 1000);
  for (uint32_t i = 0; i < 10; ++i) lang[i] = 190 + 90 * i, lang[99 - i] = 100 + 90 * i;
  EXPECT_EQ(geschwindigkeiten(), lang);
  gerade(12, 0, 0);
  EXPECT_EQ(geschwindigkeiten(), (Geschw{190, 280, 370, 460, 550, 640, 550, 460, 370, 280, 190, 100}));
  gerade(-5, 0, 0);
  EXPECT_EQ(geschwindigkeiten(), (Geschw{190, 280, 370, 280, 190}));
  // An end speed bounds the braking; the decrement then comes from it.
  EndGeschw[4] = 400;
  gerade(30, 0, 0);
  EXPECT_EQ(BahnQueue[BahnLeseIndex].Verz, 60);
  EXPECT_EQ(geschwindigkeiten().back(), 400u);
}

TEST_F(BahnTest, StopBrakesAndSetsTheReachedPosition) {
  AchsMM[0] = 2;
  gerade(100, 40, 0);  // X: 50 steps
  gerade(5, 5, 5);
  for (int i = 0; i < 20; ++i) stepBahn();
  StopAnforderung[4] = 2;
  EXPECT_EQ(geschwindigkeiten(), (Geschw{910, 820, 730, 640, 550, 460, 370, 280, 190, 100}));
  EXPECT_EQ(StopAnforderung[4], 0);
  EXPECT_EQ(countFreieSegmente(), 31);
  // 30 of the 50 X steps and 24 of the 40 Y steps were made; nothing is left to run.
  EXPECT_EQ((std::vector<int32_t>{SollPos[0], SollSchritte[0], SollSchritte[1], SollPos[2]}),
            (std::vector<int32_t>{60, 30, 24, 0}));
  for (int a = 0; a < 3; ++a) EXPECT_EQ(DeltaSchritte[a] | RestSchritte[a], 0);
}

// Running queued lines to their end at once leaves exactly the state that
// ticking them leaves: TestPos, RestSchritte, BahnAktiv, BahnRest, the ring.
TEST_F(BahnTest, LinesRunAtOnceEndAsTicked) {
  const auto lauf = [](int runde, bool ticken) {
    std::mt19937 zufall(runde);
    std::uniform_int_distribution<int32_t> ziel(-300, 300);
    vela_reset();
    for (int l = 0; l <= runde % 6; ++l) {
      const int32_t z[3] = {ziel(zufall), ziel(zufall), ziel(zufall)};
      EXPECT_EQ(planGerade(z), 0);
    }
    for (int t = runde % 40; t > 0 && BahnAktiv; --t) stepBahn();  // part of the first line done
    if (!ticken) laufeGeradenAus();
    for (; ticken && BahnAktiv;) stepBahn();
    return std::vector<int32_t>{TestPos[0],      TestPos[1],      TestPos[2], RestSchritte[0],
                                RestSchritte[1], RestSchritte[2], BahnAktiv,  std::max(BahnRest, int32_t{0}),
                                BahnLeseIndex,   BahnSchreibIndex};
  };
  for (int runde = 0; runde < 50; ++runde) EXPECT_EQ(lauf(runde, false), lauf(runde, true)) << runde;
}

}  // namespace
