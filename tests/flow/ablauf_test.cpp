// The L command, labels and the M command, ENDE and the END-switch
// settings, and the program lookup in the three stores.
#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "core/programme.h"
#include "core/zustand.h"
#include "flow/stop.h"
#include "support/ablagen.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using LoopTest = VelaTest;
using MarkenTest = VelaTest;
using StopTest = VelaTest;
using ProgrammeTest = VelaTest;

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

// A label number is an expression: "V n =" in it assigns, except while
// Befehl holds the code of a T line, which switches assignment off.
TEST_F(MarkenTest, AssignmentInALabelNumberIsOffRightAfterATLine) {
  for (const int16_t befehl : {BEF_V, BEF_T}) {
    schreibe("M V1=5\rX1\r");
    V_WertVar[1] = 2;
    Befehl = befehl;
    EXPECT_EQ(FetchMarken(Programm), 0);
    const int32_t nummer = befehl == BEF_T ? 2 : 5;
    EXPECT_EQ(std::tuple(V_WertVar[1], V_Marke[0][nummer]), std::tuple(nummer, stelle("X1"))) << befehl;
  }
}

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

TEST_F(ProgrammeTest, FirstProgramIsMainThenAnUnnamedText) {
  lade("X10\nPROG7\nY5\n");
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(lade("PROG7\nY5\n"), -1);  // FLASH and EEPROM empty as at load
  // Unnamed texts: RAM, then FLASH, then EEPROM; MAIN anywhere wins.
  eepromText("X3\n");
  EXPECT_EQ(findFirstProgramm(), EepromStart);
  flashBytes(std::string("X2\n\0", 4));
  EXPECT_EQ(findFirstProgramm(), FlashStart);
  eepromText("PROGMAIN\nX4\n");
  EXPECT_EQ(findFirstProgramm(), EepromArea + 9);
}

TEST_F(ProgrammeTest, LookupByName) {
  schreibe("PROG50\rX1\rPROG5\rX2\rPROG2\rX9\r");
  flashBytes(std::string("PROG1\nX1\n\0PROG2\nX2\n\0\xFF", 21));  // a chain of texts
  EXPECT_EQ(findProgramm("5", 'R'), stelle("X2"));
  EXPECT_EQ(findProgramm("50", 'R'), stelle("X1"));
  EXPECT_EQ(findProgramm("6", 'R'), nullptr);
  EXPECT_EQ(findProgramm("5", 'Q'), nullptr);
  char bereich = 0;
  EXPECT_EQ(findProgrammAnywhere("2", &bereich), FlashArea + 16);  // FLASH first
  EXPECT_EQ(bereich, 'F');
  EXPECT_EQ(findProgrammAnywhere("7", &bereich), nullptr);
  // CR LF line ends hide the header; a header without CR has no body.
  schreibe("X\r\nPROG5\r\nX2\rPROG6");
  EXPECT_EQ(findProgramm("5", 'R'), nullptr);
  EXPECT_EQ(findProgramm("6", 'R'), nullptr);
}

TEST_F(ProgrammeTest, SearchesStayInsideFullAreas) {
  // Areas without any end mark: neither search may leave the area.
  std::memset(FlashArea, 'X', kBereichGroesse);
  std::memset(EepromArea, 'X', kBereichGroesse);
  std::memset(Programm, 'X', sizeof Programm);
  std::memcpy(Programm + sizeof Programm - 7, "\rPROG5\r", 7);  // body would be past the store
  for (char b : {'F', 'E', 'R'}) EXPECT_EQ(findProgramm("5", b), nullptr) << b;
  EXPECT_EQ(findProgramm("ABCDEFGHIJKLMN", 'R'), nullptr);  // 14 characters
}

}  // namespace
