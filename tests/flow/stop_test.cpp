// ENDE and the END-switch settings.
#include "flow/stop.h"

#include <vector>

#include "core/zustand.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using StopTest = VelaTest;

TEST_F(StopTest, EndSwitchSettings) {
  auto eingaenge = [] { return std::vector<int>(EndInputs, EndInputs + 9); };
  const std::vector<int> vorher = eingaenge();
  lade("ENDON\nENDON 3,4\nENDON 300\nENDLOW\nENDHIGH\nENDON 1,2,3,4,5,6,7,8,9,10\n");
  EXPECT_TRUE(schrittGibt(0, BEF_ENDON, stelle("ENDON 3")));
  EXPECT_EQ(EndOnMode, 1);
  EXPECT_EQ(eingaenge(), vorher);  // ENDON without items keeps the inputs
  schritt();
  EXPECT_EQ(EndOnMode, 2);
  schritt();  // only the low byte of 300 is kept
  EXPECT_EQ(eingaenge(), (std::vector<int>{44, 4, 13, 14, 15, 16, 17, 18, 19}));
  EXPECT_TRUE(schrittGibt(0, BEF_KEINER, stelle("ENDHIGH")));
  EXPECT_EQ(EndLowActive, 1);
  schritt();
  EXPECT_EQ(EndLowActive, 0);
  schritt();  // at most nine items are read
  EXPECT_EQ(eingaenge(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
