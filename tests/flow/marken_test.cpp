// Label collection and the M command.
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using MarkenTest = VelaTest;

int gesetzt(int task) {
  int n = 0;
  for (char *m : V_Marke[task]) n += m != nullptr;
  return n;
}

TEST_F(MarkenTest, LabelsPointAtTheLineAfterThemUpToTheNextHeader) {
  EXPECT_EQ(lade("M1\nX10\n \tM2\nY5\nPROG2\nM3\n"), 0);
  EXPECT_EQ(V_Marke[0][1], stelle("X10"));
  EXPECT_EQ(V_Marke[0][2], stelle("Y5"));
  EXPECT_EQ(gesetzt(0), 2);
  // A rebuild clears the row first; an empty text leaves it all null.
  schreibe("");
  EXPECT_EQ(FetchMarken(Programm), 0);
  EXPECT_EQ(gesetzt(0), 0);
}

TEST_F(MarkenTest, OnlyLinesAfterACrAreSeen) {
  schreibe("X1\r\nM4\rM5\r");
  EXPECT_EQ(FetchMarken(Programm), 0);
  EXPECT_EQ(V_Marke[0][4], nullptr);
  EXPECT_EQ(V_Marke[0][5], Programm + 10);
}

TEST_F(MarkenTest, DuplicateShowsTheSecondDefinition) {
  EXPECT_EQ(lade("M3\nJ M3\nM3\nX1\n"), 32);
  EXPECT_EQ(NextBefp, stelle("M3", 3));
  EXPECT_EQ(V_Marke[0][3], stelle("J M3"));
}

TEST_F(MarkenTest, BadLabelNumbersAreRefusedWithoutTouchingOtherRows) {
  V_Marke[1][0] = Programm;
  for (const char *text : {"M1\nM200\n", "M1\nM-1\n", "M1\nM 99999\n"}) {
    EXPECT_EQ(lade(text), 2) << text;
    EXPECT_EQ(V_Marke[0][1], stelle("M", 2)) << text;
  }
  EXPECT_EQ(V_Marke[1][0], Programm);
  schreibe("M1\rM\r");
  NextBefp = Programm + 1;
  EXPECT_EQ(FetchMarken(Programm), 12);
  EXPECT_EQ(NextBefp, Programm + 1);
}

TEST_F(MarkenTest, TextEndWithoutLineEndStopsTheScan) {
  schreibe("X1\rM7");
  EXPECT_EQ(FetchMarken(Programm), 0);
  EXPECT_EQ(V_Marke[0][7], Programm + 5);  // the end of the text
  schreibe("X1\rPROG");
  EXPECT_EQ(FetchMarken(Programm), 0);
  // A store without its closing NUL is refused.
  std::fill(Programm, Programm + sizeof Programm, 'X');
  EXPECT_EQ(FetchMarken(Programm), 20);
}

TEST_F(MarkenTest, LabelLineIsSteppedOverAtRunTime) {
  lade("M7\nV1=1\n");
  V_Marke[0][7] = nullptr;  // the number is not looked at
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 43);
  EXPECT_EQ(NextBefp, stelle("V1"));
}

}  // namespace
