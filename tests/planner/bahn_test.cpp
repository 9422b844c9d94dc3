// Line segments: axis order, the three-axis distribution, the ramp, the
// ring running segment after segment, the path stop, and queued lines run
// to their end at once. Circles: the traced test-data file, octant geometry,
// the three-point form, the path stop and the guards around the geometry.
#include "planner/bahn.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/kreis.h"
#include "support/temp_verzeichnis.h"
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

struct Punkt {
  int x, y;
  bool operator==(const Punkt &) const = default;
};

// A recorded trace of the test data.
std::string golden(const char *name) { return liesDatei(VELA_QUELLE "/tests/data/" + std::string(name)); }

class KreisTest : public VelaTest {
 protected:
  void SetUp() override {
    pfad_ = verzeichnis_.datei("testdaten.dat");
    neu();
  }
  // Load-time state, tracing into a fresh file.
  void neu() {
    vela_reset();
    std::remove(pfad_.c_str());
    vela_setTestDatei(pfad_.c_str());
  }
  // The traced points of the last arc.
  std::vector<Punkt> spur() const {
    std::vector<Punkt> p;
    std::istringstream s(liesDatei(pfad_));
    Punkt q;
    while (s >> q.x >> q.y) p.push_back(q);
    return p;
  }
  int16_t fuehreAus(const std::string &zeile) {
    lade(zeile + "\n");
    return schritt();
  }

  TempVerzeichnis verzeichnis_;
  std::string pfad_;
};

// Octants run through and the last traced point, relative to the start.
// Full circles from the axis are compared byte for byte with recorded traces.
TEST_F(KreisTest, OctantCountsAndEndPoints) {
  for (const auto &[zeile, oktanten, ende, datei] : {
           std::tuple{"CCW 100, 0", 8, Punkt{0, 0}, "kreis_ccw_100_0.dat"},
           std::tuple{"CW 100, 0", 8, Punkt{0, 0}, "kreis_cw_100_0.dat"},
           std::tuple{"CW 70, 30", 9, Punkt{0, 0}, ""},  // a full circle off the axes: its octant twice
           // Start (-100, -20) from the centre, octant 4: an end ahead
           // clockwise stays in it, one behind needs nearly the full round.
           // (0, 12) lies off the circle: the arc stops on its lead axis.
           std::tuple{"CW 100, 20, 0, 12", 1, Punkt{-2, 12}, ""},
           std::tuple{"CW 100, 20, 3, -11", 9, Punkt{3, -11}, ""},
           // Counter-clockwise from the negative X axis, slightly further
           // on is ahead (the angle jumps at 180 degrees).
           std::tuple{"CCW 100, 0, 2, -20", 1, Punkt{2, -20}, ""},
           std::tuple{"CCW 0, 50, 0, 100", 4, Punkt{0, 100}, ""},
           // Through an intermediate point: upper and lower half, clockwise.
           std::tuple{"CPP 100, 100, 200, 0", 4, Punkt{200, 0}, ""},
           std::tuple{"CPP -100, -100, -200, 0", 4, Punkt{-200, 0}, ""},
       }) {
    neu();
    ASSERT_EQ(fuehreAus(zeile), 0) << zeile;
    EXPECT_EQ(BahnSchreibIndex, oktanten) << zeile;  // one segment per octant, queued from slot 0
    EXPECT_EQ(spur().back(), ende) << zeile;
    EXPECT_TRUE(*datei == '\0' || liesDatei(pfad_) == golden(datei)) << zeile;
  }
  // Doubled centre (-3, -3): x is halved toward minus infinity, y toward zero.
  KreisPunkt start{};
  ASSERT_EQ(findKreisMitte({-3, 0}, {0, -3}, start), 0);
  EXPECT_EQ((Punkt{start.x, start.y}), (Punkt{2, 1}));
}

// Refused lines leave the cursor on the line, move nothing and trace
// nothing. Sums of squares beyond 32 bits are refused, not computed.
TEST_F(KreisTest, RefusedLines) {
  ASSERT_EQ(fuehreAus("CP X 7"), 0);
  const auto pruefe = [this](int16_t code, std::initializer_list<const char *> zeilen) {
    for (const char *zeile : zeilen) {
      EXPECT_EQ(fuehreAus(zeile), code) << zeile;
      EXPECT_EQ(NextBefp, Programm) << zeile;
      EXPECT_EQ((Punkt{SollPos[0], SollPos[1]}), (Punkt{7, 0})) << zeile;
    }
  };
  pruefe(19, {"CQ 1, 2", "CW 100, 0, 5", "CW 100, 0, !"});
  pruefe(18, {"CW 100"});
  pruefe(40, {"CW 0, 0", "CPP 10, 10, 20, 20", "CPP 10, 10, 10, 10"});
  pruefe(2, {"CW 46341, 0", "CW 40000, 30000", "CCW 100, 0, 2147483647, 0", "CPP 1000, 0, 2000, 1",
             "CPP 50000, 0, 0, 1"});
  EXPECT_TRUE(spur().empty());
}

// Queued lines run to their end at once, without ticking them; the circle
// starts where they end.
TEST_F(KreisTest, QueuedLinesRunBeforeTheArc) {
  lade("IL 30, 0, 0\nDIL 0, 1000000000, 5\nCCW 10, 0\n");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(RestSchritte[0] | RestSchritte[1] | RestSchritte[2] | BahnAktiv, 0);
  EXPECT_EQ((Punkt{KreisBasis[0], KreisBasis[1]}), (Punkt{30, 1000000000}));
  EXPECT_EQ(spur().back(), (Punkt{0, 0}));
}

TEST_F(KreisTest, StoppedCircleKeepsThePositionReached) {
  ASSERT_EQ(fuehreAus("CP X 1000"), 0);
  Kreisbogen bogen{};
  ASSERT_EQ(planKreis(false, {100, 0}, {0, 0}, RICHTUNG_CCW, bogen), 0);
  KreisBasis[0] = SollSchritte[0];
  queueKreis(bogen);
  for (int i = 0; i < 150; ++i) stepBahn();
  StopAnforderung[4] = 2;
  int ticks = 0;
  for (; BahnAktiv != 0; ++ticks) stepBahn();
  EXPECT_EQ(ticks, 10);  // one braking ramp
  EXPECT_LT(TestPos[1], -90);
  EXPECT_EQ((Punkt{SollSchritte[0], SollSchritte[1]}), (Punkt{1000 + TestPos[0], TestPos[1]}));
  EXPECT_EQ(SollPos[1], TestPos[1]);
}

// Without a usable trace file the arc still runs; too long a path is not
// cut short into another name.
TEST_F(KreisTest, FileSwitchedOffOrUnwritable) {
  const std::string lang(300, 'a');
  for (const std::string &datei : {std::string(), verzeichnis_.datei("no/such/dir/x.dat"), lang}) {
    neu();
    vela_setTestDatei(datei.c_str());
    ASSERT_EQ(fuehreAus("CW 100, 0, 100, 100"), 0);
    EXPECT_EQ((Punkt{TestPos[0], TestPos[1]}), (Punkt{100, 100}));
    EXPECT_EQ(SollPos[1], 100);
    EXPECT_TRUE(spur().empty());
  }
  EXPECT_TRUE(liesDatei(lang.substr(0, 259)).empty());
}

// Arcs from and to every octant, both directions: the trace moves one step
// at a time, the lead axis every tick, ends on the end point and takes
// exactly the arc's length in ticks, so the braking ramp ends there too.
TEST_F(KreisTest, ArcsEndOnTheirEndPoint) {
  const auto punkt = [](double r, double grad) {
    const double w = grad * 3.14159265358979 / 180.0;
    return Punkt{static_cast<int>(std::lround(r * std::cos(w))),
                 static_cast<int>(std::lround(r * std::sin(w)))};
  };
  for (int r : {9, 100, 307}) {
    for (int s = 0; s < 16; ++s) {
      // Start angles: inside every octant and on every boundary.
      const Punkt a = punkt(r, (s / 2) * 45.0 + (s % 2 == 0 ? 17.0 : 0.0));
      for (int e = 0; e < 8; ++e) {
        // The end on the circle through the rounded start, relative to it.
        const Punkt b = punkt(std::hypot(a.x, a.y), e * 45.0 + 29.0), d{b.x - a.x, b.y - a.y};
        for (const char *cmd : {"CW ", "CCW "}) {
          const std::string zeile = cmd + std::to_string(-a.x) + ", " + std::to_string(-a.y) + ", " +
                                    std::to_string(d.x) + ", " + std::to_string(d.y);
          neu();
          ASSERT_EQ(fuehreAus(zeile), 0) << zeile;
          const auto p = spur();
          ASSERT_EQ(static_cast<int32_t>(p.size()), BahnQueue[0].BahnLaenge) << zeile;
          Punkt vor{0, 0};
          for (const Punkt &q : p) {
            ASSERT_EQ(std::max(std::abs(q.x - vor.x), std::abs(q.y - vor.y)), 1) << zeile;
            vor = q;
          }
          EXPECT_LE(std::max(std::abs(vor.x - d.x), std::abs(vor.y - d.y)), 1) << zeile;
          EXPECT_LE(RampenStufe[4], 1) << zeile;  // an odd short ramp ends on stage 1
        }
      }
    }
  }
}

}  // namespace
