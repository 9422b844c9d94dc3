// The L command: loops, the zero-count skip, LOAD and LVAR.
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

class LoopTest : public VelaTest {
 protected:
  // Steps until the cursor reaches the NUL; returns the number of times
  // "V1=V1+1" ran, or -1 on an error.
  int zaehle() {
    V_WertVar[1] = 0;
    for (int i = 0; i < 200000 && *NextBefp != '\0'; ++i)
      if (schritt() != 0) return -1;
    return V_WertVar[1];
  }
};

TEST_F(LoopTest, HostRunOfTwoPassLoopThenEnde) {
  ASSERT_EQ(lade("L2\nQ\nL\nENDE\n"), 0);
  EXPECT_EQ(NextBefp, Programm);
  const int16_t befehle[] = {39, 49, 38, 49, 38, 21};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(schritt(), 0) << i;
    EXPECT_EQ(Befehl, befehle[i]) << i;
    if (i == 0) {
      EXPECT_EQ(V_UsedLoops[0], 0);
      EXPECT_EQ(V_Loop[0][0].StartAdresse, Programm + 2);
    }
    if (i == 2) {
      EXPECT_EQ(NextBefp, stelle("Q"));
      EXPECT_EQ(V_Loop[0][0].Anzahl, 1);
    }
    if (i == 4) {
      EXPECT_EQ(V_UsedLoops[0], -1);
    }
  }
  EXPECT_EQ(NextBefp, Programm);
}

TEST_F(LoopTest, PassCounts) {
  const struct {
    const char *kopf;
    int laeufe;
  } faelle[] = {{"L3", 3}, {"L1", 1}, {"L-5", 1}, {"L65536", 1}, {"L70000", 4464}, {"L V3", 2}, {"L0", 0}};
  for (const auto &f : faelle) {
    lade(std::string(f.kopf) + "\nV1=V1+1\nL\n");
    V_WertVar[3] = 2;
    EXPECT_EQ(zaehle(), f.laeufe) << f.kopf;
    EXPECT_EQ(V_UsedLoops[0], -1) << f.kopf;
  }
}

TEST_F(LoopTest, ZeroCountSkipsToTheNextLineStartingWithL) {
  lade("L0\nX10\n  L2\nV1=V1+1\nL\nL\n");
  V_UsedLoops[0] = -1;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, stelle("V1"));
  // L2 was skipped, not opened: the L lines after it find nothing open.
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(schritt(), 25);
}

TEST_F(LoopTest, StackLimits) {
  std::string text;
  for (int i = 0; i < 11; ++i) text += "L2\n";
  lade(text);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(schritt(), 0);
  char *elfte = NextBefp;
  EXPECT_EQ(schritt(), 23);
  EXPECT_EQ(V_UsedLoops[0], 9);
  EXPECT_EQ(NextBefp, elfte);

  lade("X1\n  L  \n");
  NextBefp = stelle("L");
  EXPECT_EQ(schritt(), 25);
  EXPECT_EQ(Befehl, 38);
  EXPECT_EQ(V_UsedLoops[0], -1);
  EXPECT_EQ(NextBefp, stelle("  L"));
  // A stack top outside the stack, as a host may write it, is no loop.
  V_UsedLoops[0] = 10;
  NextBefp = stelle("L");
  EXPECT_EQ(schritt(), 25);
}

TEST_F(LoopTest, MalformedCountClosesTheLoop) {
  lade("L2\nV1=V1+1\nL )\n");
  EXPECT_EQ(zaehle(), 2);
}

TEST_F(LoopTest, LoadAndLvar) {
  lade("LOAD\nLVAR\nX1\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 40);
  EXPECT_EQ(NextBefp, Programm + 1);
  NextBefp = stelle("LVAR");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 42);
  EXPECT_EQ(NextBefp, stelle("X1"));
}

}  // namespace
