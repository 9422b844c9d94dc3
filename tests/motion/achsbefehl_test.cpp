// The axis commands A X Y Z: moves, reference-run requests, scale forms.
#include "interp/zustand.h"
#include "motion/achsen.h"
#include "support/vela_test.h"

namespace {

using AchsbefehlTest = VelaTest;
using namespace vela;

TEST_F(AchsbefehlTest, Moves) {
  AchsSchritte[1] = 200;
  AchsMM[1] = 3;
  lade("X 100\nX 40\nY 10\nA 5 X 3\nX 5 X 7\nX 5 I 3\nZ 1 Y V1\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 1);
  EXPECT_EQ(ArgWert1, 100);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(DeltaSchritte[0], -60);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(SollSchritte[1], 666);  // 2000 / 3, truncated
  EXPECT_EQ(ArgWert3, 1);

  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 2);
  EXPECT_EQ(ArgWert3, 3);
  EXPECT_EQ(ArgWert4, 0);
  EXPECT_EQ(SollPos[3], 5);
  EXPECT_EQ(ArgWert2, 3);
  EXPECT_EQ(DeltaSchritte[0], -37);

  // The same axis twice: the last value wins, the delta counts from before.
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(SollSchritte[0], 7);
  EXPECT_EQ(DeltaSchritte[0], 4);

  // I is no second axis: a one-axis move, the rest of the line is skipped.
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 1);
  EXPECT_EQ(SollPos[0], 5);
  EXPECT_EQ(NextBefp, stelle("Z 1"));

  V_WertVar[1] = -8;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(SollPos[2], 1);
  EXPECT_EQ(SollPos[1], -8);
  EXPECT_EQ(DeltaSchritte[1], -533 - 666);
}

TEST_F(AchsbefehlTest, FailedEvaluationChangesNoPosition) {
  lade("X 1 Y\nX\n");
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(Befehl, 2);  // the second axis was seen
  EXPECT_EQ(SollPos[0], 0);
  EXPECT_EQ(NextBefp, Programm);
  NextBefp = stelle("X\r");
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(NextBefp, stelle("X\r"));
}

TEST_F(AchsbefehlTest, ScaleForms) {
  lade("XMM 4\nYS 7\nZMQ 2\nXMM 0\nXS 0\nAS\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 5);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 6);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(AchsMM[0], 4);
  EXPECT_EQ(AchsSchritte[1], 7);
  EXPECT_EQ(AchsMM[2], 2);
  EXPECT_EQ(schritt(), 39);
  EXPECT_EQ(NextBefp, stelle("XMM 0"));
  NextBefp = stelle("XS 0");
  EXPECT_EQ(schritt(), 39);
  NextBefp = stelle("AS");
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(AchsMM[0], 4);
  EXPECT_EQ(AchsSchritte[0], 1);
  EXPECT_EQ(AchsSchritte[3], 1);
}

TEST_F(AchsbefehlTest, ReferenceRunRequests) {
  lade("XH 0, 3 YH 1, 4\nXH 1, 2 XH 3, 4\nZH 5, 6 AH 7, 8\nXH 1\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 4);
  EXPECT_EQ(ArgWert1, 0);
  EXPECT_EQ(ArgWert2, 1);
  EXPECT_EQ(ArgWert4, 1);
  // X is not a second axis of a request: the rest of the line is not read.
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 3);
  EXPECT_EQ(ArgWert1, 1);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(ArgWert3, 2);
  EXPECT_EQ(ArgWert4, 3);
  EXPECT_EQ(ArgWert2, 7);
  EXPECT_EQ(schritt(), 12);  // the second expression of a pair is required
  for (int i = 0; i < 4; ++i) EXPECT_EQ(SollPos[i], 0);
}

}  // namespace
