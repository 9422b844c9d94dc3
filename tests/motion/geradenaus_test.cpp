// Queued lines run to their end at once leave exactly the state that
// ticking them leaves.
#include <cstring>
#include <random>

#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

struct Stand {
  int32_t testPos[3], rest[3];
  uint8_t aktiv, lese, schreib;
  bool operator==(const Stand &o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};

Stand stand() {
  Stand s{};
  for (int i = 0; i < 3; ++i) {
    s.testPos[i] = TestPos[i];
    s.rest[i] = RestSchritte[i];
  }
  s.aktiv = BahnAktiv;
  s.lese = BahnLeseIndex;
  s.schreib = BahnSchreibIndex;
  return s;
}

using GeradenAusTest = VelaTest;

TEST_F(GeradenAusTest, SameEndStateAsTicking) {
  std::mt19937 zufall(7);
  std::uniform_int_distribution<int32_t> ziel(-300, 300);
  for (int runde = 0; runde < 50; ++runde) {
    vela_reset();
    const int linien = 1 + runde % 6;
    for (int l = 0; l < linien; ++l) {
      for (uint8_t a = 0; a < 3; ++a) planeAchse(a, ziel(zufall));
      planGerade();
    }
    for (int t = runde % 40; t > 0 && BahnAktiv; --t) stepBahn();  // part of the first line done
    const Stand vorher = stand();
    const int32_t tp[3] = {TestPos[0], TestPos[1], TestPos[2]};
    const int32_t rs[3] = {RestSchritte[0], RestSchritte[1], RestSchritte[2]};
    const uint8_t lese = BahnLeseIndex;
    const int32_t bahnRest = BahnRest;
    while (BahnAktiv) stepBahn();
    const Stand getickt = stand();
    // Back to the state before, then all at once.
    for (int i = 0; i < 3; ++i) {
      TestPos[i] = tp[i];
      RestSchritte[i] = rs[i];
    }
    BahnLeseIndex = lese;
    BahnAktiv = vorher.aktiv;
    BahnRest = bahnRest;
    laufeGeradenAus();
    EXPECT_TRUE(stand() == getickt) << "round " << runde;
    EXPECT_EQ(BahnAktiv, 0);
  }
}

TEST_F(GeradenAusTest, ArcAfterAHugeLineNeedNotTickIt) {
  vela_setTestDatei("");
  ASSERT_EQ(lade("DIL 0, 1000000000, 0\nCW 10, 0\n"), 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(BahnAktiv, 1);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(BahnAktiv, 0);
  EXPECT_EQ(SollPos[1], 1000000000);
  EXPECT_EQ(RestSchritte[1], 0);
  EXPECT_EQ(*NextBefp, '\0');
}

}  // namespace
