// Circles: octant geometry, the traced test-data file, the three-point
// form, position presets and the guards around the geometry.
#include "motion/kreis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

struct Punkt {
  int x, y;
};

class KreisTest : public VelaTest {
 protected:
  void SetUp() override {
    VelaTest::SetUp();
    pfad_ = ::testing::TempDir() + "vela_kreis_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dat";
    std::remove(pfad_.c_str());
    vela_setTestDatei(pfad_.c_str());
  }
  void TearDown() override { std::remove(pfad_.c_str()); }

  static std::string liesDatei(const std::string &pfad) {
    std::ifstream f(pfad, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // The traced points of the last test run.
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

  std::string pfad_;
};

std::string golden(const char *name) {
  const char *dir = std::getenv("VELA_TEST_DATA");
  if (dir != nullptr) return std::string(dir) + "/" + name;
  const std::string hier = __FILE__;
  return hier.substr(0, hier.rfind('/')) + "/../data/" + name;
}

TEST_F(KreisTest, FullCircleFromTheAxisMatchesTheRecordedTrace) {
  ASSERT_EQ(fuehreAus("CCW 100, 0"), 0);
  EXPECT_EQ(StartOktant, 4);
  EXPECT_EQ(EndOktant, 3);
  EXPECT_EQ(KreisOktanten, 8);
  EXPECT_EQ(KreisRadius, 100);
  EXPECT_EQ(KreisLaenge, 565);
  EXPECT_EQ(Befehl, 0);
  const std::string ccw = liesDatei(pfad_);
  EXPECT_EQ(ccw.substr(0, 18), "0 -1 \r\r\n0 -2 \r\r\n0 ");
  EXPECT_TRUE(ccw == liesDatei(golden("kreis_ccw_100_0.dat")));
  EXPECT_EQ(spur().size(), 564u);
  EXPECT_EQ(BahnAktiv, 0);

  ASSERT_EQ(fuehreAus("CW 100, 0"), 0);
  EXPECT_EQ(StartOktant, 3);
  EXPECT_EQ(EndOktant, 4);
  EXPECT_TRUE(liesDatei(pfad_) == liesDatei(golden("kreis_cw_100_0.dat")));
}

TEST_F(KreisTest, OctantCounts) {
  // A full circle starting inside an octant runs through it twice.
  ASSERT_EQ(fuehreAus("CW 70, 30"), 0);
  EXPECT_EQ(KreisOktanten, 9);
  EXPECT_EQ(TestPos[0] | TestPos[1], 0);
  // Start at (-100, -20) from the centre, octant 4. Ahead clockwise
  // (toward 180 degrees) the end stays in the octant: one segment.
  ASSERT_EQ(fuehreAus("CW 100, 20, 0, 12"), 0);
  EXPECT_EQ(StartOktant, 4);
  EXPECT_EQ(KreisOktanten, 1);
  // Behind it, the arc goes almost all the way round.
  ASSERT_EQ(fuehreAus("CW 100, 20, 3, -11"), 0);
  EXPECT_EQ(KreisOktanten, 9);
  // Starting on the negative X axis counter-clockwise, an end a little
  // further on is ahead, not behind (the angle jumps at 180 degrees).
  ASSERT_EQ(fuehreAus("CCW 100, 0, 2, -20"), 0);
  EXPECT_EQ(StartOktant, 4);
  EXPECT_EQ(KreisOktanten, 1);
  EXPECT_EQ(spur().size(), 20u);
  // A half circle from axis to axis.
  ASSERT_EQ(fuehreAus("CCW 0, 50, 0, 100"), 0);
  EXPECT_EQ(StartOktant, 6);
  EXPECT_EQ(EndOktant, 1);
  EXPECT_EQ(KreisOktanten, 4);
}

TEST_F(KreisTest, BoundaryPointsBelongToTheOctantEntered) {
  struct Fall {
    int x, y, cw, ccw;
  };
  for (const Fall f :
       {Fall{-5, 0, 3, 4}, Fall{5, 0, 7, 0}, Fall{0, -5, 5, 6}, Fall{0, 5, 1, 2}, Fall{-5, -5, 4, 5},
        Fall{5, 5, 0, 1}, Fall{-5, 5, 2, 3}, Fall{5, -5, 6, 7}, Fall{3, -5, 6, 6}}) {
    EXPECT_EQ(findOktant(f.x, f.y, RICHTUNG_CW), f.cw) << f.x << " " << f.y;
    EXPECT_EQ(findOktant(f.x, f.y, RICHTUNG_CCW), f.ccw) << f.x << " " << f.y;
  }
}

TEST_F(KreisTest, ThreePointCircle) {
  // Through (100, 100) to (200, 0): the upper half, clockwise.
  ASSERT_EQ(fuehreAus("CPP 100, 100, 200, 0"), 0);
  EXPECT_EQ(KreisRadius, 100);
  EXPECT_EQ(KreisOktanten, 4);
  EXPECT_EQ(TestPos[0], 200);
  EXPECT_EQ(TestPos[1], 0);
  EXPECT_EQ(SollPos[0], 200);
  // Back through (100, -100): the lower half, clockwise again.
  ASSERT_EQ(fuehreAus("CPP -100, -100, -200, 0"), 0);
  EXPECT_EQ(StartOktant, 7);
  EXPECT_EQ(KreisOktanten, 4);
  EXPECT_EQ(SollPos[0], 0);

  // Doubled centre (-3, -3): x is halved toward minus infinity, y toward zero.
  ArgWert1 = -3;
  ArgWert2 = 0;
  ArgWert3 = 0;
  ArgWert4 = -3;
  ASSERT_EQ(findKreisMitte(), 0);
  EXPECT_EQ(KreisStart.x, 2);
  EXPECT_EQ(KreisStart.y, 1);

  // Collinear or coinciding points.
  ASSERT_EQ(fuehreAus("CP X 7"), 0);
  EXPECT_EQ(fuehreAus("CPP 10, 10, 20, 20"), 40);
  EXPECT_EQ(fuehreAus("CPP 10, 10, 10, 10"), 40);
  EXPECT_EQ(SollPos[0], 7);
  EXPECT_EQ(NextBefp, Programm);
}

TEST_F(KreisTest, CommandErrorsAndRangeGuards) {
  EXPECT_EQ(fuehreAus("CQ 1, 2"), 19);
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(fuehreAus("CW 100"), 18);
  EXPECT_EQ(fuehreAus("CW 100, 0, 5"), 19);
  EXPECT_EQ(fuehreAus("CW 100, 0, !"), 19);
  EXPECT_EQ(fuehreAus("CW 0, 0"), 40);  // radius 0
  // Sums of squares beyond 32 bits are refused, not computed.
  EXPECT_EQ(fuehreAus("CW 46341, 0"), 2);
  EXPECT_EQ(fuehreAus("CW 40000, 30000"), 2);
  EXPECT_EQ(fuehreAus("CCW 100, 0, 2147483647, 0"), 2);
  EXPECT_EQ(fuehreAus("CPP 1000, 0, 2000, 1"), 2);  // centre far outside
  EXPECT_EQ(fuehreAus("CPP 50000, 0, 0, 1"), 2);
  for (int a = 0; a < 2; ++a) EXPECT_EQ(SollPos[a], 0);
  EXPECT_TRUE(spur().empty());
}

TEST_F(KreisTest, PositionPresets) {
  ASSERT_EQ(fuehreAus("CP X 100"), 0);
  EXPECT_EQ(Befehl, 13);
  EXPECT_EQ(SollPos[0], 100);
  EXPECT_EQ(SollSchritte[0], 100);
  EXPECT_EQ(DeltaSchritte[0], 0);
  ASSERT_EQ(fuehreAus("CP X"), 0);
  EXPECT_EQ(Befehl, 11);
  EXPECT_EQ(SollPos[0], 0);
  EXPECT_EQ(SollSchritte[0], 0);
  AchsMM[3] = 5;
  ASSERT_EQ(fuehreAus("CP 5"), 0);
  EXPECT_EQ(Befehl, 14);
  EXPECT_EQ(SollPos[3], 5);
  EXPECT_EQ(SollSchritte[3], 1);
  ASSERT_EQ(fuehreAus("CE 7"), 0);
  EXPECT_EQ(Befehl, 9);
  EXPECT_EQ(SollPos[1], 5);
  ASSERT_EQ(fuehreAus("CE Y 3"), 0);
  EXPECT_EQ(Befehl, 10);
  EXPECT_EQ(ArgWert3, 1);
  ASSERT_EQ(fuehreAus("CP"), 0);
  EXPECT_EQ(Befehl, 12);
  EXPECT_EQ(SollSchritte[3], 0);
}

TEST_F(KreisTest, QueuedLinesRunBeforeTheArc) {
  lade("IL 30, 0, 0\nIL 30, 40, 5\nCCW 10, 0\n");
  ASSERT_EQ(schritt(), 0);
  ASSERT_EQ(schritt(), 0);
  ASSERT_EQ(schritt(), 0);
  for (int a = 0; a < 3; ++a) EXPECT_EQ(RestSchritte[a], 0);
  EXPECT_EQ(TestPos[2], 0);  // the circle's trace starts at its own start
  EXPECT_EQ(KreisBasis[0], 30);
  EXPECT_EQ(KreisBasis[1], 40);
  EXPECT_EQ(spur().back().x, 0);
  EXPECT_EQ(BahnAktiv, 0);
}

TEST_F(KreisTest, StoppedCircleKeepsThePositionReached) {
  ASSERT_EQ(fuehreAus("CP X 1000"), 0);
  ArgWert1 = 100;
  ArgWert2 = ArgWert3 = ArgWert4 = 0;
  uint8_t richtung = RICHTUNG_CCW;
  ASSERT_EQ(planKreis(false, richtung), 0);
  KreisBasis[0] = SollSchritte[0];
  queueKreis(richtung);
  for (int i = 0; i < 150; ++i) stepBahn();
  StopAnforderung[4] = 2;
  int ticks = 0;
  for (; BahnAktiv != 0; ++ticks) stepBahn();
  EXPECT_EQ(ticks, 10);  // one braking ramp
  EXPECT_EQ(SollSchritte[0], 1000 + TestPos[0]);
  EXPECT_EQ(SollSchritte[1], TestPos[1]);
  EXPECT_EQ(SollPos[1], TestPos[1]);
  EXPECT_LT(TestPos[1], -90);
}

TEST_F(KreisTest, FileSwitchedOffOrUnwritable) {
  vela_setTestDatei("");
  ASSERT_EQ(fuehreAus("CCW 100, 0"), 0);
  EXPECT_EQ(BahnAktiv, 0);
  EXPECT_EQ(TestPos[1], 0);
  EXPECT_TRUE(spur().empty());
  vela_setTestDatei((::testing::TempDir() + "no/such/dir/x.dat").c_str());
  ASSERT_EQ(fuehreAus("CW 100, 0, 100, 100"), 0);
  EXPECT_EQ(SollPos[1], 100);
  EXPECT_EQ(TestPos[0], 100);
  EXPECT_EQ(TestPos[1], 100);
  // Too long a path is not cut short: no file is written.
  vela_setTestDatei(std::string(300, 'a').c_str());
  ASSERT_EQ(fuehreAus("CW 10, 0"), 0);
  EXPECT_TRUE(liesDatei(std::string(259, 'a')).empty());
}

// Arcs from and to every octant, both directions: the trace moves one step
// at a time, the lead axis every tick, ends on the end point and takes
// exactly KreisLaenge ticks, so the braking ramp ends there too.
TEST_F(KreisTest, ArcsEndOnTheirEndPoint) {
  const double pi = 3.14159265358979;
  int boegen = 0;
  for (int r : {9, 100, 307}) {
    for (int s = 0; s < 16; ++s) {
      // Start angles: inside every octant and on every boundary.
      const double as = (s % 2 == 0 ? s / 2 * 45.0 + 17.0 : (s / 2) * 45.0) * pi / 180.0;
      for (int e = 0; e < 8; ++e) {
        const double ae = (e * 45.0 + 29.0) * pi / 180.0;
        for (const char *cmd : {"CW", "CCW"}) {
          const int sx = static_cast<int>(std::lround(r * std::cos(as)));
          const int sy = static_cast<int>(std::lround(r * std::sin(as)));
          // The end on the circle through the rounded start.
          const double rs = std::hypot(sx, sy);
          const int ex = static_cast<int>(std::lround(rs * std::cos(ae))) - sx;
          const int ey = static_cast<int>(std::lround(rs * std::sin(ae))) - sy;
          const std::string zeile = std::string(cmd) + " " + std::to_string(-sx) + ", " +
                                    std::to_string(-sy) + ", " + std::to_string(ex) + ", " +
                                    std::to_string(ey);
          vela_reset();
          vela_setTestDatei(pfad_.c_str());
          ASSERT_EQ(fuehreAus(zeile), 0) << zeile;
          const auto p = spur();
          ASSERT_EQ(static_cast<int32_t>(p.size()), KreisLaenge) << zeile;
          Punkt vor{0, 0};
          for (const Punkt &q : p) {
            const int dx = std::abs(q.x - vor.x), dy = std::abs(q.y - vor.y);
            ASSERT_TRUE(dx <= 1 && dy <= 1 && dx + dy >= 1) << zeile;
            vor = q;
          }
          EXPECT_LE(std::abs(vor.x - ex), 1) << zeile;
          EXPECT_LE(std::abs(vor.y - ey), 1) << zeile;
          // Braked to the last stage (an odd short ramp ends on stage 1).
          EXPECT_LE(RampenStufe[4], 1) << zeile;
          ++boegen;
        }
      }
    }
  }
  EXPECT_EQ(boegen, 768);
}

}  // namespace
