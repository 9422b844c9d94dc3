// Jumps, conditions, subroutine and program calls, task starts, RETURN and
// the R value forms.
#include "flow/ablauf_test.h"
#include "flow/programme.h"
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using vela::ArgWert1;
using vela::ArgWert3;
using vela::ProgStart;

using SprungTest = VelaTest;

TEST_F(SprungTest, LabelJumps) {
  lade("J M5\nX1\nM5\nY2\nJ M6\nJ M200\nJ M-1\nJE 1 Q\n");
  EXPECT_TRUE(schrittGibt(0, 30, stelle("Y2")));
  const struct {
    const char *zeile;
    int16_t code, befehl;
  } faelle[] = {{"J M6", 22, 30}, {"J M200", 2, 30}, {"J M-1", 2, 30}, {"JE 1 Q", 21, 31}};
  for (const auto &f : faelle) {
    NextBefp = stelle(f.zeile);
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, stelle(f.zeile))) << f.zeile;
  }
}

TEST_F(SprungTest, Conditions) {
  const struct {
    const char *zeile;
    int16_t handshake, befehl;
    bool springt;
  } faelle[] = {
      {"J V1<V2 M3", 0, 33, true}, {"J V1>V2 M3", 0, 33, false}, {"J V1=V2 M3", 0, 33, false},
      {"J V1!V2 M3", 0, 33, true}, {"J V1 = 1 M3", 0, 33, true}, {"JE 5 M3", 1, 31, true},
      {"JE 5 M3", 0, 31, false},   {"JNE 5 M3", 1, 32, true},    {"JY M3", 1, 34, true},
      {"JNA M3", 0, 35, false},    {"JNQ M3", 0, 0, false},
  };
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nX1\nM3\nX2\n");
    V_WertVar[1] = 1, V_WertVar[2] = 2;
    V_Handshake = f.handshake;
    const bool fehler = f.befehl == 0;
    EXPECT_TRUE(schrittGibt(fehler ? 19 : 0, f.befehl,
                            stelle(fehler      ? "J"
                                   : f.springt ? "X2"
                                               : "X1")))
        << f.zeile;
    EXPECT_EQ(V_WertVar[1], 1) << f.zeile;  // '=' compares, never assigns
  }
  lade("J V1<V2 M3\nM3\n");
  V_WertVar[2] = 2;
  schritt();
  EXPECT_EQ(ArgWert3, '<');
  EXPECT_EQ(vela::ArgWert2, 2);
}

TEST_F(SprungTest, SubroutineCallsAndReturn) {
  lade("JS M5\nX1\nM5\nRETURN\n");
  EXPECT_TRUE(schrittGibt(0, 30, stelle("RETURN")));
  EXPECT_EQ(V_UsedReturns[0], 0);
  EXPECT_EQ(V_ReturnAdr[0][0].RueckAdresse, stelle("X1"));
  EXPECT_EQ(V_ReturnAdr[0][0].ProgStart, nullptr);
  EXPECT_TRUE(schrittGibt(0, 53, stelle("X1")));
  EXPECT_EQ(V_UsedReturns[0], -1);
  NextBefp = stelle("RETURN");
  EXPECT_TRUE(schrittGibt(26, 53, stelle("ETURN")));

  // Check mode: RETURN neither pops nor moves.
  lade("JS M5\nX1\nM5\nRETURN\n");
  isChecking = 1;
  schritt();
  EXPECT_TRUE(schrittGibt(0, 53, stelle("ETURN")));
  EXPECT_EQ(V_UsedReturns[0], 0);

  // The eleventh open call is refused.
  lade("M1\nJS M1\n");
  NextBefp = stelle("JS");
  for (int i = 0; i < 10; ++i) schritt();
  EXPECT_TRUE(schrittGibt(24, 30, stelle("JS")));
  EXPECT_EQ(V_UsedReturns[0], 9);

  // A stack top as at load (0, before the host set -1) or outside the
  // stack holds no call.
  for (int16_t oben : {0, 12}) {
    vela_reset();
    lade("RETURN\n");
    V_UsedReturns[0] = oben;
    EXPECT_TRUE(schrittGibt(26, 53, Programm + 1)) << oben;
  }
}

// Three programs in RAM: MAIN calls 7 as a subroutine and jumps to ABC.
constexpr const char *kProgramme =
    "PROGMAIN\nM1\nJS PROG7\nJ PROGABC\nPROG7\nM1\nM2\nV1=V1+1\nJ M3\nM3\nRETURN\n"
    "PROGABC\nM9\nJ PROG 7\n";

TEST_F(SprungTest, ProgramCallsSwitchProgramStartAndLabels) {
  ASSERT_EQ(lade(kProgramme), 0);
  char *main = stelle("M1");
  char *p7 = stelle("M1", 2);
  EXPECT_EQ(V_Marke[0][1], stelle("JS PROG7"));
  schritt();
  EXPECT_TRUE(schrittGibt(0, 30, p7));
  EXPECT_EQ(ProgStart[0], p7);
  EXPECT_EQ(V_Marke[0][3], stelle("RETURN"));
  EXPECT_EQ(V_ReturnAdr[0][0].ProgStart, main);
  for (int i = 0; i < 4; ++i) schritt();  // M1 M2 V1 J M3
  EXPECT_TRUE(schrittGibt(0, 53, stelle("J PROGABC")));
  EXPECT_EQ(ProgStart[0], main);
  EXPECT_EQ(V_Marke[0][3], nullptr);
  EXPECT_EQ(V_Marke[0][1], stelle("JS PROG7"));
  EXPECT_TRUE(schrittGibt(0, 30, stelle("M9")));
  EXPECT_EQ(V_Marke[0][9], stelle("J PROG 7"));
  EXPECT_EQ(V_Marke[0][1], nullptr);
  EXPECT_EQ(V_WertVar[1], 1);

  // In check mode the jump is taken but the labels stay.
  isChecking = 1;
  NextBefp = stelle("J PROG 7");
  EXPECT_TRUE(schrittGibt(0, 30, p7));
  EXPECT_EQ(ProgStart[0], p7);
  EXPECT_EQ(V_Marke[0][9], stelle("J PROG 7"));

  // A duplicate label in the target: the jump is made, the error shown.
  isChecking = 0;
  lade("J PROG7\nPROG7\nM1\nX1\nM1\n");
  EXPECT_TRUE(schrittGibt(32, 30, stelle("M1")));
  EXPECT_EQ(ProgStart[0], stelle("M1"));
}

TEST_F(SprungTest, ProgramNames) {
  lade(std::string(kProgramme) +
       "J PROGV5\nJ PROG AB\nJ PROG8\nJ PROG\nJ PROG100000\nJ PROGABCDEFGHIJKLMN\nJ PROGMAIN\n");
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
    EXPECT_TRUE(schrittGibt(f.code, 30, stelle(f.ziel ? f.ziel : f.zeile))) << f.zeile;
  }
}

TEST_F(SprungTest, PriorityAndTaskStart) {
  lade(std::string(kProgramme) + "J PROG7,3,2\nJ PROG7,3\nJ PROG7,3,4\nJS PROG7,3,2\nX5\n");
  char *p7 = stelle("M1", 2);
  NextBefp = stelle("J PROG7,3,2");
  V_UsedLoops[1] = 4;
  EXPECT_TRUE(schrittGibt(0, 30, stelle("J PROG7,3\r")));
  EXPECT_EQ(ProgStart[1], p7);
  EXPECT_EQ(vela::TaskPos[1], p7);
  EXPECT_EQ(vela::TaskPrio[1], 3);
  EXPECT_EQ(vela::TaskCount[1], 3);
  EXPECT_EQ(V_UsedLoops[1], -1);
  EXPECT_EQ(V_Marke[1][3], stelle("RETURN"));
  EXPECT_EQ(V_Marke[0][1], stelle("JS PROG7"));  // task 0 keeps its labels
  EXPECT_EQ(vela::AktTask, 0);

  NextBefp = stelle("J PROG7,3,4");
  EXPECT_TRUE(schrittGibt(39, 30, stelle("J PROG7,3,4")));
  NextBefp = stelle("JS PROG7,3,2");  // the priority part is not read
  EXPECT_TRUE(schrittGibt(0, 30, p7));
  EXPECT_EQ(V_ReturnAdr[0][0].RueckAdresse, stelle("X5"));
  EXPECT_EQ(vela::TaskPrio[0], 0);
  NextBefp = stelle("J PROG7,3\r");
  EXPECT_TRUE(schrittGibt(0, 30, p7));
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
    int16_t code, befehl;
    int32_t arg1;
  } faelle[] = {{"R 200000", 0, 50, 199999},   {"R -5", 19, 0, 0},  {"RX 5", 0, 51, 5},
                {"R O 200000", 0, 52, 200000}, {"R V1", 0, 50, -7}, {"R O", 12, 0, 0}};
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nX1\n");
    V_WertVar[1] = -7;
    ArgWert1 = 0, ArgWert3 = 9;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, stelle("X1"))) << f.zeile;
    EXPECT_EQ(ArgWert1, f.arg1) << f.zeile;
    EXPECT_EQ(ArgWert3, f.befehl == 51 ? 0 : 9) << f.zeile;
  }
}

}  // namespace
