// The I command: queued lines, path scale, requests.
#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/vela_test.h"

namespace {

using IBefehlTest = VelaTest;
using namespace vela;

TEST_F(IBefehlTest, LineQueuesOneSegment) {
  lade("IL 10, 20, 30\nIL 10, 20\nIL 1073741834, 0, 0\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(DeltaSchritte[1], 20);
  EXPECT_EQ(SollPos[2], 30);
  EXPECT_EQ(BahnSchreibIndex, 1);
  EXPECT_EQ(BahnQueue[0].Achse[0], 2);  // Z leads
  EXPECT_EQ(BahnRest, 30);
  // An incomplete line, and one longer than the tick's 32-bit error terms.
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(NextBefp, stelle("IL 10, 20\r"));
  NextBefp = stelle("IL 1073741834");
  EXPECT_EQ(schritt(), 2);
  EXPECT_EQ(SollPos[0], 10);
  EXPECT_EQ(BahnSchreibIndex, 1);
}

TEST_F(IBefehlTest, FullRingMakesTheLineWait) {
  lade("IL V1, 0, 0\n");
  for (int i = 1; i <= 31; ++i) {
    V_WertVar[1] = i;
    NextBefp = Programm;
    ASSERT_EQ(schritt(), 0);
  }
  EXPECT_EQ(countFreieSegmente(), 0);
  V_WertVar[1] = 99;
  NextBefp = Programm;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(SollPos[0], 31);
  EXPECT_EQ(BahnSchreibIndex, 31);
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
  struct Fall {
    int16_t befehl;
    int32_t a1, a2, a3;
  };
  ArgWert3 = 9;
  for (const Fall f : {Fall{28, 5, 1, 9}, Fall{28, 5, 0, 0}, Fall{29, 3, 1, 0}}) {
    EXPECT_EQ(schritt(), 0);
    EXPECT_EQ(Befehl, f.befehl);
    EXPECT_EQ(ArgWert1, f.a1);
    EXPECT_EQ(ArgWert2, f.a2);
    EXPECT_EQ(ArgWert3, f.a3);
  }
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(NextBefp, stelle("I ?"));
}

}  // namespace
