// Queued lines run to their end at once leave exactly the state that
// ticking them leaves.
#include <array>
#include <random>

#include "planner/achsen.h"
#include "planner/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using GeradenAusTest = VelaTest;

// TestPos, RestSchritte of X Y Z, BahnAktiv, BahnRest and the ring indices.
std::array<int32_t, 10> stand() {
  return {TestPos[0],      TestPos[1],      TestPos[2], RestSchritte[0],
          RestSchritte[1], RestSchritte[2], BahnAktiv,  BahnRest > 0 ? BahnRest : 0,
          BahnLeseIndex,   BahnSchreibIndex};
}

void setze(const std::array<int32_t, 10> &s) {
  for (int i = 0; i < 3; ++i) {
    TestPos[i] = s[i];
    RestSchritte[i] = s[3 + i];
  }
  BahnAktiv = static_cast<uint8_t>(s[6]);
  BahnRest = s[7];
  BahnLeseIndex = static_cast<uint8_t>(s[8]);
}

TEST_F(GeradenAusTest, SameEndStateAsTicking) {
  std::mt19937 zufall(7);
  std::uniform_int_distribution<int32_t> ziel(-300, 300);
  for (int runde = 0; runde < 50; ++runde) {
    vela_reset();
    for (int l = 0; l <= runde % 6; ++l) {
      const int32_t z[3] = {ziel(zufall), ziel(zufall), ziel(zufall)};
      ASSERT_EQ(planGerade(z), 0);
    }
    for (int t = runde % 40; t > 0 && BahnAktiv; --t) stepBahn();  // part of the first line done
    const auto vorher = stand();
    while (BahnAktiv) stepBahn();
    const auto getickt = stand();
    setze(vorher);
    laufeGeradenAus();
    EXPECT_EQ(stand(), getickt) << "round " << runde;
  }
}

TEST_F(GeradenAusTest, ArcAfterAHugeLineNeedNotTickIt) {
  vela_setTestDatei("");
  ASSERT_EQ(lade("DIL 0, 1000000000, 0\nCW 10, 0\n"), 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(BahnAktiv, 0);
  EXPECT_EQ(SollPos[1], 1000000000);
  EXPECT_EQ(RestSchritte[1], 0);
}

}  // namespace
