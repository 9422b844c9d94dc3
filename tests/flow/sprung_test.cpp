// Jumps, conditions, subroutine and program calls, task starts, RETURN and
// the R value forms.
#include "flow/programme.h"
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using vela::ArgWert1;
using vela::ArgWert2;
using vela::ArgWert3;
using vela::ProgStart;

using SprungTest = VelaTest;

TEST_F(SprungTest, LabelJumps) {
  lade("J M5\nX1\nM5\nY2\nJ M6\nJ M200\nJ M-1\nJ X5\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 30);
  EXPECT_EQ(NextBefp, stelle("Y2"));
  const struct {
    const char *zeile;
    int16_t code;
  } fehler[] = {{"J M6", 22}, {"J M200", 2}, {"J M-1", 2}, {"J X5", 21}};
  for (const auto &f : fehler) {
    NextBefp = stelle(f.zeile);
    EXPECT_EQ(schritt(), f.code) << f.zeile;
    EXPECT_EQ(NextBefp, stelle(f.zeile)) << f.zeile;
  }
}

TEST_F(SprungTest, Conditions) {
  const struct {
    const char *zeile;
    int16_t handshake;
    bool springt;
    int16_t befehl;
  } faelle[] = {
      {"J V1<V2 M3", 0, true, 33}, {"J V1>V2 M3", 0, false, 33}, {"J V1=V2 M3", 0, false, 33},
      {"J V1!V2 M3", 0, true, 33}, {"J V1 = 1 M3", 0, true, 33}, {"JE 5 M3", 1, true, 31},
      {"JE 5 M3", 0, false, 31},   {"JNE 5 M3", 1, true, 32},    {"JY M3", 1, true, 34},
      {"JNA M3", 0, false, 35},
  };
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nX1\nM3\nX2\n");
    V_WertVar[1] = 1, V_WertVar[2] = 2;
    V_Handshake = f.handshake;
    EXPECT_EQ(schritt(), 0) << f.zeile;
    EXPECT_EQ(Befehl, f.befehl) << f.zeile;
    EXPECT_EQ(NextBefp, stelle(f.springt ? "X2" : "X1")) << f.zeile;
    EXPECT_EQ(V_WertVar[1], 1) << f.zeile;  // '=' compares, never assigns
  }
  EXPECT_EQ(ArgWert1, 3);  // axis index of A
  lade("J V1<V2 M3\nM3\n");
  V_WertVar[1] = 1, V_WertVar[2] = 2;
  schritt();
  EXPECT_EQ(ArgWert3, '<');
  EXPECT_EQ(ArgWert2, 2);
  lade("JNQ M3\n");
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(NextBefp, Programm);
}

TEST_F(SprungTest, SubroutineCallsAndReturn) {
  lade("JS M5\nX1\nM5\nRETURN\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_UsedReturns[0], 0);
  EXPECT_EQ(V_ReturnAdr[0][0].RueckAdresse, stelle("X1"));
  EXPECT_EQ(V_ReturnAdr[0][0].ProgStart, nullptr);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 53);
  EXPECT_EQ(NextBefp, stelle("X1"));
  EXPECT_EQ(V_UsedReturns[0], -1);
  NextBefp = stelle("RETURN");
  EXPECT_EQ(schritt(), 26);
  EXPECT_EQ(NextBefp, stelle("RETURN") + 1);

  // Check mode: RETURN neither pops nor moves.
  lade("JS M5\nX1\nM5\nRETURN\n");
  isChecking = 1;
  schritt();
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, stelle("ETURN"));
  EXPECT_EQ(V_UsedReturns[0], 0);
  EXPECT_EQ(schritt(), 19);

  // The eleventh open call is refused.
  lade("M1\nJS M1\n");
  NextBefp = stelle("JS");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(schritt(), 24);
  EXPECT_EQ(V_UsedReturns[0], 9);
  EXPECT_EQ(NextBefp, stelle("JS"));
}

TEST_F(SprungTest, ReturnRefusesAStackThatHoldsNoCall) {
  lade("RETURN\n");
  V_UsedReturns[0] = 0;  // as at load, before the host set it to -1
  EXPECT_EQ(schritt(), 26);
  V_UsedReturns[0] = 12;
  NextBefp = Programm;
  EXPECT_EQ(schritt(), 26);
  EXPECT_EQ(NextBefp, Programm + 1);
}

// Three programs in RAM: MAIN calls 7 as a subroutine and jumps to ABC.
constexpr const char *kProgramme =
    "PROGMAIN\nM1\nJS PROG7\nJ PROGABC\nPROG7\nM1\nM2\nV1=V1+1\nJ M3\nM3\nRETURN\n"
    "PROGABC\nM9\nJ PROG 7\n";

TEST_F(SprungTest, ProgramCallsSwitchProgramStartAndLabels) {
  ASSERT_EQ(lade(kProgramme), 0);
  char *main = stelle("M1");
  EXPECT_EQ(ProgStart[0], main);
  EXPECT_EQ(V_Marke[0][1], stelle("JS PROG7"));
  EXPECT_EQ(schritt(), 0);  // M1
  EXPECT_EQ(schritt(), 0);  // JS PROG7
  EXPECT_EQ(Befehl, 30);
  char *p7 = stelle("M1", 2);
  EXPECT_EQ(NextBefp, p7);
  EXPECT_EQ(ProgStart[0], p7);
  EXPECT_EQ(V_Marke[0][3], stelle("RETURN"));
  EXPECT_EQ(V_ReturnAdr[0][0].ProgStart, main);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(schritt(), 0);  // M1 M2 V1 J M3
  EXPECT_EQ(NextBefp, stelle("RETURN"));
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, stelle("J PROGABC"));
  EXPECT_EQ(ProgStart[0], main);
  EXPECT_EQ(V_Marke[0][3], nullptr);
  EXPECT_EQ(V_Marke[0][1], stelle("JS PROG7"));
  EXPECT_EQ(schritt(), 0);  // J PROGABC
  EXPECT_EQ(NextBefp, stelle("M9"));
  EXPECT_EQ(V_Marke[0][9], stelle("J PROG 7"));
  EXPECT_EQ(V_Marke[0][1], nullptr);
  EXPECT_EQ(V_WertVar[1], 1);

  // In check mode the jump is taken but the labels stay.
  isChecking = 1;
  NextBefp = stelle("J PROG 7");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, p7);
  EXPECT_EQ(ProgStart[0], p7);
  EXPECT_EQ(V_Marke[0][9], stelle("J PROG 7"));
}

TEST_F(SprungTest, DuplicateLabelInTheTargetProgramStillJumps) {
  lade("J PROG7\nPROG7\nM1\nX1\nM1\n");
  EXPECT_EQ(schritt(), 32);
  EXPECT_EQ(NextBefp, stelle("M1"));
  EXPECT_EQ(vela::ProgStart[0], stelle("M1"));
}

TEST_F(SprungTest, ProgramNames) {
  lade(std::string(kProgramme) +
       "J PROGV5\nJ PROG AB\nJ PROG8\nJ PROG\nJ PROG100000\n"
       "J PROGABCDEFGHIJKLMN\nJ PROGMAIN\n");
  V_WertVar[5] = 7;
  const struct {
    const char *zeile;
    int16_t code;
    const char *ziel;
  } faelle[] = {{"J PROGV5", 0, "M1\rM2"},    {"J PROG AB", 2, nullptr},
                {"J PROG8", 38, nullptr},     {"J PROG\r", 38, nullptr},
                {"J PROG100000", 2, nullptr}, {"J PROGABCDEFGHIJKLMN", 38, nullptr},
                {"J PROGMAIN", 0, "M1\rJS"}};
  for (const auto &f : faelle) {
    NextBefp = stelle(f.zeile);
    ProgStart[0] = stelle("PROGABC");
    EXPECT_EQ(schritt(), f.code) << f.zeile;
    EXPECT_EQ(NextBefp, f.ziel ? stelle(f.ziel) : stelle(f.zeile)) << f.zeile;
  }
}

TEST_F(SprungTest, PriorityAndTaskStart) {
  lade(std::string(kProgramme) + "J PROG7,3,2\nJ PROG7,3\nJ PROG7,3,4\nJS PROG7,3,2\nX5\n");
  char *p7 = stelle("M1", 2);
  NextBefp = stelle("J PROG7,3,2");
  V_UsedLoops[1] = 4;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, stelle("J PROG7,3\r"));
  EXPECT_EQ(ProgStart[1], p7);
  EXPECT_EQ(vela::TaskPos[1], p7);
  EXPECT_EQ(vela::TaskPrio[1], 3);
  EXPECT_EQ(vela::TaskCount[1], 3);
  EXPECT_EQ(V_UsedLoops[1], -1);
  EXPECT_EQ(V_Marke[1][3], stelle("RETURN"));
  EXPECT_EQ(V_Marke[0][1], stelle("JS PROG7"));  // task 0 keeps its labels
  EXPECT_EQ(vela::AktTask, 0);

  NextBefp = stelle("J PROG7,3,4");
  EXPECT_EQ(schritt(), 39);
  EXPECT_EQ(NextBefp, stelle("J PROG7,3,4"));

  NextBefp = stelle("JS PROG7,3,2");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, p7);
  EXPECT_EQ(V_ReturnAdr[0][0].RueckAdresse, stelle("X5"));
  EXPECT_EQ(vela::TaskPrio[0], 0);

  NextBefp = stelle("J PROG7,3\r");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, p7);
  EXPECT_EQ(vela::TaskPrio[0], 3);
  EXPECT_EQ(vela::TaskCount[0], 3);
}

TEST_F(SprungTest, TwoTasksRunSideBySide) {
  // Task 0 counts V1 up in a loop, task 2 counts V2; the controller saves
  // the cursor, asks nextTask and restores the cursor before each step.
  ASSERT_EQ(lade("PROGMAIN\nJ PROG5,1,3\nM1\nV1=V1+1\nJ M1\nPROG5\nM1\nV2=V2+1\nJ M1\n"), 0);
  vela::TaskPrio[0] = vela::TaskCount[0] = 1;
  for (int i = 0; i < 40; ++i) {
    vela::TaskPos[vela::AktTask] = NextBefp;
    vela::AktTask = vela::nextTask();
    NextBefp = vela::TaskPos[vela::AktTask];
    ASSERT_EQ(schritt(), 0) << i;
  }
  // Equal priorities: the two tasks take turns, one command each.
  // Equal priorities: after the start the tasks take turns, one command
  // each, and each of them spends every second command on its V line.
  EXPECT_EQ(V_WertVar[1], 9);  // task 0 also ran the J line
  EXPECT_EQ(V_WertVar[2], 10);
  EXPECT_EQ(V_Marke[2][1], stelle("V2="));
  EXPECT_EQ(V_Marke[0][1], stelle("V1="));
}

TEST_F(SprungTest, ValueForms) {
  const struct {
    const char *zeile;
    int16_t code;
    int16_t befehl;
    int32_t arg1;
  } faelle[] = {
      {"R 200000", 0, 50, 199999}, {"R -5", 19, 0, 0}, {"RX 5", 0, 51, 5}, {"R O 200000", 0, 52, 200000},
      {"R V1", 0, 50, -7},         {"R O", 12, 0, 0},  {"RQ", 19, 0, 0}};
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nX1\n");
    V_WertVar[1] = -7;
    ArgWert1 = 0;
    ArgWert3 = 9;
    EXPECT_EQ(schritt(), f.code) << f.zeile;
    EXPECT_EQ(Befehl, f.befehl) << f.zeile;
    EXPECT_EQ(ArgWert1, f.arg1) << f.zeile;
    EXPECT_EQ(NextBefp, stelle("X1")) << f.zeile;
  }
  EXPECT_EQ(ArgWert3, 9);
  lade("RX 5\n");
  schritt();
  EXPECT_EQ(ArgWert3, 0);
}

}  // namespace
