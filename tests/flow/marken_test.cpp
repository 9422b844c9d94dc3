// Label collection and the M command.
#include <algorithm>

#include "support/vela_test.h"

namespace {

using MarkenTest = VelaTest;

int gesetzt(int task) { return 200 - std::count(V_Marke[task], V_Marke[task] + 200, nullptr); }

TEST_F(MarkenTest, LabelsPointAtTheLineAfterThemUpToTheNextHeader) {
  EXPECT_EQ(lade("M1\nX10\n \tM2\nY5\nPROG2\nM3\n"), 0);
  EXPECT_EQ(V_Marke[0][1], stelle("X10"));
  EXPECT_EQ(V_Marke[0][2], stelle("Y5"));
  EXPECT_EQ(gesetzt(0), 2);  // M3 belongs to the next program
  schreibe("X\r\nM4\r");     // a label after an LF is not seen
  EXPECT_EQ(FetchMarken(Programm), 0);
  EXPECT_EQ(gesetzt(0), 0);
}

TEST_F(MarkenTest, Failures) {
  EXPECT_EQ(lade("M3\nJ M3\nM3\nX1\n"), 32);
  EXPECT_EQ(NextBefp, stelle("M3", 3));
  EXPECT_EQ(V_Marke[0][3], stelle("J M3"));
  // Numbers outside 0..199 are refused; no other row is touched.
  V_Marke[1][0] = Programm;
  for (const char *text : {"M1\nM200\n", "M1\nM-1\n", "M1\nM 99999\n", "M1\nM\n"}) {
    EXPECT_EQ(lade(text), text[4] == '\n' ? 12 : 2) << text;
    EXPECT_EQ(NextBefp, Programm) << text;
    EXPECT_EQ(V_Marke[0][1], stelle("M", 2)) << text;
  }
  EXPECT_EQ(V_Marke[1][0], Programm);
}

TEST_F(MarkenTest, TextEndWithoutLineEndStopsTheScan) {
  schreibe("X1\rM7");
  EXPECT_EQ(FetchMarken(Programm), 0);
  EXPECT_EQ(V_Marke[0][7], Programm + 5);  // the end of the text
  schreibe("X1\rPROG");
  EXPECT_EQ(FetchMarken(Programm), 0);
  std::fill(Programm, Programm + sizeof Programm, 'X');  // no closing NUL
  EXPECT_EQ(FetchMarken(Programm), 20);
}

}  // namespace
