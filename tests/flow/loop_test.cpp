// The L command: loops and the zero-count skip.
#include "core/zustand.h"
#include "support/vela_test.h"

namespace {

using LoopTest = VelaTest;

TEST_F(LoopTest, PassCounts) {
  // Passes of the body for each loop head; "L )" still closes the loop.
  const std::pair<const char *, int> faelle[] = {
      {"L3", 3},        {"L1", 1},   {"L-5", 1}, {"L65536", 1},
      {"L70000", 4464}, {"L V3", 2}, {"L0", 0},  {"L2\nV1=V1+1\nL )\nL0", 2}};
  for (auto [kopf, laeufe] : faelle) {
    lade(std::string(kopf) + "\nV1=V1+1\nL\n");
    V_WertVar[1] = 0, V_WertVar[3] = 2;
    for (int i = 0; i < 20000 && *NextBefp != '\0'; ++i) ASSERT_EQ(schritt(), 0) << kopf;
    EXPECT_EQ(V_WertVar[1], laeufe) << kopf;
    EXPECT_EQ(V_UsedLoops[0], -1) << kopf;
  }
}

TEST_F(LoopTest, ZeroCountSkipsToTheNextLineStartingWithL) {
  lade("L0\nX10\n  L2\nV1=V1+1\nL\nL\n");
  EXPECT_TRUE(schrittGibt(0, BEF_L_START, stelle("V1")));
  // L2 was skipped, not opened: the L lines after it find nothing open.
  schritt();
  EXPECT_TRUE(schrittGibt(25, BEF_L_ENDE, stelle("L\r")));
}

TEST_F(LoopTest, StackLimits) {
  lade("L2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\nL2\n");
  for (int i = 0; i < 10; ++i) schritt();
  EXPECT_TRUE(schrittGibt(23, BEF_L_START, Programm + 30));
  EXPECT_EQ(V_UsedLoops[0], 9);
  // A stack top outside the stack, as a host may write it, is no loop.
  for (int16_t oben : {-1, 10}) {
    lade("X1\n  L  \n");
    V_UsedLoops[0] = oben;
    NextBefp = stelle("L");
    EXPECT_TRUE(schrittGibt(25, BEF_L_ENDE, stelle("  L"))) << oben;
    EXPECT_EQ(V_UsedLoops[0], oben);
  }
}

}  // namespace
