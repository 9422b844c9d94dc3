// The I command: queued lines, path scale, requests.
#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/vela_test.h"

namespace {

using IBefehlTest = VelaTest;
using namespace vela;

TEST_F(IBefehlTest, LineQueuesOneSegmentAndKeepsBefehl) {
  lade("IL 10, 20, 30\n");
  Befehl = 77;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);  // cleared by the dispatcher, not set by IL
  EXPECT_EQ(DeltaSchritte[0], 10);
  EXPECT_EQ(DeltaSchritte[1], 20);
  EXPECT_EQ(DeltaSchritte[2], 30);
  EXPECT_EQ(SollPos[2], 30);
  EXPECT_EQ(BahnSchreibIndex, 1);
  EXPECT_EQ(BahnAktiv, 1);
  const BahnSegment &s = BahnQueue[0];
  EXPECT_EQ(s.Achse[0], 2);
  EXPECT_EQ(s.Achse[1], 1);
  EXPECT_EQ(s.Achse[2], 0);
  EXPECT_EQ(s.Anzahl[0], 30u);
  EXPECT_EQ(BahnRest, 30);
  EXPECT_EQ(*NextBefp, '\0');
}

TEST_F(IBefehlTest, FullRingMakesTheLineWait) {
  lade("IL V1, 0, 0\n");
  for (int i = 1; i <= 31; ++i) {
    V_WertVar[1] = i;
    NextBefp = Programm;
    ASSERT_EQ(schritt(), 0);
  }
  EXPECT_TRUE(isBahnVoll());
  EXPECT_EQ(countFreieSegmente(), 0);
  V_WertVar[1] = 99;
  NextBefp = Programm;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(SollPos[0], 31);
  EXPECT_EQ(BahnSchreibIndex, 31);
}

TEST_F(IBefehlTest, LineErrorsChangeNothing) {
  lade("IL 10, 20\nIL 1073741824, 0, 0\n");
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(SollPos[0], 0);
  EXPECT_EQ(BahnSchreibIndex, 0);
  // Longer than the tick's 32-bit error terms allow.
  NextBefp = stelle("IL 1073741824");
  EXPECT_EQ(schritt(), 2);
  EXPECT_EQ(SollPos[0], 0);
  EXPECT_EQ(BahnAktiv, 0);
}

TEST_F(IBefehlTest, ScaleAndRequestForms) {
  lade("IMM 4\nIS 0\nIS 3\nI 5\nI X 5\nIH 3\nI ?\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 5);
  EXPECT_EQ(AchsMM[4], 4);
  EXPECT_EQ(schritt(), 39);
  EXPECT_EQ(AchsSchritte[4], 1);
  NextBefp = stelle("IS 3");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 6);
  EXPECT_EQ(AchsSchritte[4], 3);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 28);
  EXPECT_EQ(ArgWert1, 5);
  EXPECT_EQ(ArgWert2, 1);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 28);
  EXPECT_EQ(ArgWert3, 0);
  EXPECT_EQ(ArgWert1, 5);
  EXPECT_EQ(ArgWert2, 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 29);
  EXPECT_EQ(ArgWert1, 3);
  EXPECT_EQ(ArgWert2, 1);
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(NextBefp, stelle("I ?"));
}

}  // namespace
