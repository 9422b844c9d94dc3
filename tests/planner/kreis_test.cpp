// Circles: the traced test-data file, octant geometry, the three-point
// form, the path stop and the guards around the geometry.
#include "planner/kreis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "support/temp_verzeichnis.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

struct Punkt {
  int x, y;
  bool operator==(const Punkt &) const = default;
};

std::string liesDatei(const std::string &pfad) {
  std::ifstream f(pfad, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A recorded trace of the test data (ctest names its directory).
std::string golden(const char *name) {
  const char *dir = std::getenv("VELA_TEST_DATA");
  return liesDatei(std::string(dir != nullptr ? dir : "tests/data") + "/" + name);
}

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
    EXPECT_EQ(KreisOktanten, oktanten) << zeile;
    EXPECT_EQ(spur().back(), ende) << zeile;
    EXPECT_TRUE(*datei == '\0' || liesDatei(pfad_) == golden(datei)) << zeile;
  }
  // Doubled centre (-3, -3): x is halved toward minus infinity, y toward zero.
  ASSERT_EQ(findKreisMitte({-3, 0}, {0, -3}), 0);
  EXPECT_EQ((Punkt{KreisStart.x, KreisStart.y}), (Punkt{2, 1}));
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
  uint8_t richtung = RICHTUNG_CCW;
  ASSERT_EQ(planKreis(false, {100, 0}, {0, 0}, richtung), 0);
  KreisBasis[0] = SollSchritte[0];
  queueKreis(richtung);
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
// exactly KreisLaenge ticks, so the braking ramp ends there too.
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
          ASSERT_EQ(static_cast<int32_t>(p.size()), KreisLaenge) << zeile;
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
