// Jumps, conditions, subroutine and program calls, task starts and RETURN;
// with them the other one-line flow commands (R, S, B, Q, END, LOAD, LVAR, M).
#include <cstring>
#include <string>
#include <tuple>

#include "core/cursor.h"
#include "core/programme.h"
#include "core/zustand.h"
#include "flow/bedingung.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
// One line run before "X1\nM3\nX2" and the programs 7, 9, ABC and
// ABCDEFGHIJKLM, with
// V1=1, V2=2, V3=-7, from ArgWert1=0, ArgWert3=9; ziel null: the cursor
// stays on the line. No line may start a task or change a priority.
struct Fall {
  const char *zeile;
  int16_t handshake, code, befehl;
  const char *ziel;
  int32_t arg1, arg3;
};

class SprungTest : public VelaTest {
 protected:
  template <size_t N>
  void pruefe(const Fall (&faelle)[N]) {
    for (const auto &f : faelle) {
      lade(std::string(f.zeile) +
           "\nX1\nM3\nX2\nPROG7\nM1\nX7\nPROG9\nM4\nM4\nPROGABC\nX9\nPROGABCDEFGHIJKLM\nX13\n");
      V_WertVar[1] = 1, V_WertVar[2] = 2, V_WertVar[3] = -7;
      V_Handshake = f.handshake;
      ArgWert1 = 0, ArgWert3 = 9;
      EXPECT_TRUE(schrittGibt(f.code, f.befehl, f.ziel ? stelle(f.ziel) : Programm)) << f.zeile;
      EXPECT_EQ(std::tuple(ArgWert1, ArgWert3, V_WertVar[1]), std::tuple(f.arg1, f.arg3, 1)) << f.zeile;
      EXPECT_EQ(std::tuple(TaskPrio[0], TaskPrio[1], TaskPrio[2]), std::tuple(0, 127, 127)) << f.zeile;
    }
  }
};

TEST_F(SprungTest, JumpLines) {
  // '=' in a condition compares, never assigns; a label line is stepped over.
  const Fall faelle[] = {
      {"J M3", 0, 0, BEF_J, "X2", 0, 0},
      {"J M6", 0, 22, BEF_J, nullptr, 0, 0},
      {"J M200", 0, 2, BEF_J, nullptr, 0, 0},
      {"J M-1", 0, 2, BEF_J, nullptr, 0, 0},
      {"JE 1 Q", 0, 21, BEF_JE, nullptr, 1, 0},
      {"JNQ M3", 0, 19, BEF_KEINER, nullptr, 0, 0},
      {"J V1<V2 M3", 0, 0, BEF_J_VERGLEICH, "X2", 1, '<'},
      {"J V1>V2 M3", 0, 0, BEF_J_VERGLEICH, "X1", 1, '>'},
      {"J V1!V2 M3", 0, 0, BEF_J_VERGLEICH, "X2", 1, '!'},
      {"J V1 = 5 M3", 0, 0, BEF_J_VERGLEICH, "X1", 1, '='},
      {"JE 5 M3", 1, 0, BEF_JE, "X2", 5, 0},
      {"JE 5 M3", 0, 0, BEF_JE, "X1", 5, 0},
      {"JNE 5 M3", 1, 0, BEF_JNE, "X2", 5, 0},
      {"JY M3", 1, 0, BEF_J_ACHSE, "X2", 1, 0},
      {"JNA M3", 0, 0, BEF_JN_ACHSE, "X1", 3, 0},
      {"M7", 0, 0, BEF_MARKE, "X1", 0, 9},
  };
  pruefe(faelle);
}

TEST_F(SprungTest, ProgramTargets) {
  // A name that does not evaluate is read up to ',' or the line end; one of
  // 14 characters finds no program, not even one named by its first 13. A
  // duplicate label in the target is shown, and the jump made.
  const Fall faelle[] = {
      {"J PROG V2+5", 0, 0, BEF_J, "M1\rX7", 0, 0}, {"J PROG 9", 0, 32, BEF_J, "M4", 0, 0},
      {"J PROGABC", 0, 0, BEF_J, "X9", 0, 0},       {"J PROG AB", 0, 2, BEF_J, nullptr, 0, 0},
      {"J PROG8", 0, 38, BEF_J, nullptr, 0, 0},     {"J PROG", 0, 38, BEF_J, nullptr, 0, 0},
      {"J PROG100000", 0, 2, BEF_J, nullptr, 0, 0}, {"J PROGABCDEFGHIJKLMN", 0, 38, BEF_J, nullptr, 0, 0},
      {"J PROG7,3,4", 0, 39, BEF_J, nullptr, 3, 0}, {"JS PROG7,3,2", 0, 0, BEF_J, "M1\rX7", 0, 0},
  };
  pruefe(faelle);
}

TEST_F(SprungTest, OtherOneLineCommands) {
  // The R value forms go on to the next line even after an error, and pass
  // numbers only up to 199999; LOAD stays on its line.
  const Fall faelle[] = {
      {"R 200000", 0, 0, BEF_R_WERT, "X1", 199999, 9},
      {"R -5", 0, 19, BEF_KEINER, "X1", 0, 9},
      {"RX 5", 0, 0, BEF_R_ACHSE, "X1", 5, 0},
      {"R O 200000", 0, 0, BEF_RO, "X1", 200000, 9},
      {"R V3", 0, 0, BEF_R_WERT, "X1", -7, 9},
      {"R O", 0, 12, BEF_KEINER, "X1", 0, 9},
      {"STOP 2", 0, 0, BEF_STOP, "X1", 2, 9},
      {"STOP", 0, 12, BEF_STOP, nullptr, 0, 9},
      {"SO 1", 0, 0, BEF_SO, "X1", 1, 9},
      {"S X", 0, 19, BEF_KEINER, nullptr, 0, 9},
      {"BREAK", 0, 0, BEF_BREAK, "X1", 0, 9},
      {"BREAK Y", 0, 0, BEF_BREAK_ACHSE, "X1", 0, 1},
      {"BRAKE", 0, 19, BEF_KEINER, nullptr, 0, 9},
      {"Q 123", 0, 0, BEF_Q, "X1", 0, 9},
      {"ENDX", 0, 19, BEF_KEINER, nullptr, 0, 9},
      {"ENDOFF", 0, 0, BEF_ENDOFF, "X1", 0, 9},
      {"LOAD", 0, 0, BEF_LOAD, "OAD", 0, 9},
      {"LVAR", 0, 0, BEF_LVAR, "X1", 0, 9},
  };
  pruefe(faelle);
}

TEST_F(SprungTest, ReturnStack) {
  // The eleventh open call is refused.
  lade("M1\nJS M1\n");
  NextBefp = stelle("JS");
  for (int i = 0; i < 10; ++i) schritt();
  EXPECT_TRUE(schrittGibt(24, BEF_J, stelle("JS")));
  EXPECT_EQ(V_UsedReturns[0], 9);
  // Nothing open, a stack top as at load (0, before the host set -1) or
  // one outside the stack: no call to return to.
  for (int16_t oben : {-1, 0, 12}) {
    vela_reset();
    lade("RETURN\n");
    V_UsedReturns[0] = oben;
    EXPECT_TRUE(schrittGibt(26, BEF_RETURN, Programm + 1)) << oben;
  }
}

TEST_F(SprungTest, CheckModeNeitherReturnsNorLoadsLabels) {
  lade("JS M5\nX1\nM5\nRETURN\nJ PROG7\nPROG7\nM2\nX7\n");
  isChecking = 1;
  schritt();
  EXPECT_TRUE(schrittGibt(0, BEF_RETURN, stelle("ETURN")));
  EXPECT_EQ(V_UsedReturns[0], 0);
  NextBefp = stelle("J PROG7");
  EXPECT_TRUE(schrittGibt(0, BEF_J, stelle("M2")));  // the jump is taken
  EXPECT_EQ(ProgStart[0], stelle("M2"));
  EXPECT_EQ(V_Marke[0][5], stelle("RETURN"));
  EXPECT_EQ(V_Marke[0][2], nullptr);
}

// A failing line that lies before the running program's start: the cursor
// steps off the line's CR before it is compared with that start.
TEST_F(SprungTest, FailingLineBeforeTheProgramStart) {
  lade("J PROGXY1\nM3\nF\nPROGXY1\nJ M3\nENDE\n");
  isChecking = 1;
  EXPECT_TRUE(schrittGibt(0, BEF_J, stelle("J M3")));
  EXPECT_TRUE(schrittGibt(0, BEF_J, stelle("F\r")));
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(cursor(), 13);
  EXPECT_EQ(NextBefp, stelle("F\r"));
}

TEST_F(SprungTest, ProgramsCallEachOtherAndStartATask) {
  // MAIN calls 7 twice as a subroutine (both have a label 1), starts 5 as
  // task 2 (its own labels, empty stacks) and goes on in ABC with priority 1.
  ASSERT_EQ(lade("PROGMAIN\nM1\nJS PROG7\nV1=V1+1\nJ V1<2 M1\nJ PROG5,1,2\nJ PROGABC,1\n"
                 "PROG7\nM1\nV2=V2+1\nRETURN\nPROGABC\nM2\nV3=V3+1\nJ M2\nPROG5\nM2\nV4=V4+1\nJ M2\n"),
            0);
  V_UsedLoops[1] = 4;  // left over: the started task begins with empty stacks
  std::string spur;
  for (int i = 0; i < 19; ++i) {
    spur += std::string(NextBefp, std::strcspn(NextBefp, "\r")) + " ";
    ASSERT_EQ(schritt(), 0) << spur;
  }
  EXPECT_EQ(spur,
            "M1 JS PROG7 M1 V2=V2+1 RETURN V1=V1+1 J V1<2 M1 JS PROG7 M1 V2=V2+1 RETURN V1=V1+1 J V1<2 M1 "
            "J PROG5,1,2 J PROGABC,1 M2 V3=V3+1 J M2 V3=V3+1 ");
  EXPECT_EQ(std::tuple(TaskPos[1], V_Marke[1][2], V_UsedLoops[1]),
            std::tuple(stelle("M2\rV4"), stelle("V4"), -1));
  EXPECT_EQ(std::tuple(TaskPrio[0], TaskPrio[1], TaskPrio[2]), std::tuple(1, 1, 127));
}

// The condition of the next J line, read without executing it: the form,
// the values and where the target begins as the J command itself finds
// them, nothing moved or assigned; the assignments the command makes come
// apart, and running the line makes the same ones.
TEST_F(SprungTest, ConditionIsReadWithoutExecutingTheLine) {
  struct Bedingung {
    const char *text;
    int16_t code, form;
    int32_t wert, rechts;  // from -1, -2
    const char *ende;
    int32_t v1;  // after the assignments
  };
  const Bedingung faelle[] = {
      {"JE 2*V2+1 M3", 0, BEF_JE, 5, -2, "M3", 1},
      {"J N E V1 M3", 0, BEF_JNE, 1, -2, "M3", 1},
      {"JS Z M3", 0, BEF_J_ACHSE, 2, -2, "M3", 1},
      {"J N I M3", 0, BEF_JN_ACHSE, 4, -2, "M3", 1},
      {"\n  \n\tJ A M3", 0, BEF_J_ACHSE, 3, -2, "M3", 1},
      {"J V1=V2 M3", 0, BEF_J_VERGLEICH, 1, 2, "M3", 1},
      {"JE (V1=9)+V1 M3", 0, BEF_JE, 18, -2, "M3", 9},
      {"J V1<(V1=7)+V1 M3", 0, BEF_J_VERGLEICH, 1, 14, "M3", 7},
      {"J V1=V1=4 M3", 0, BEF_J_VERGLEICH, 1, 4, "M3", 4},  // the right side assigns
      {"J M3", 0, BEF_J, -1, -2, "M3", 1},
      {"JNQ M3", 19, BEF_KEINER, -1, -2, "Q", 1},
      {"JE (V1=6/0)+V1 M3", 28, BEF_JE, 12, -2, "M3", 6},  // assigned despite the error
      {"X 5", 0, BEF_KEINER, -1, -2, "X 5", 1},
  };
  for (const auto &f : faelle) {
    lade(std::string(f.text) + "\nX1\nM3\nX2\n");
    V_WertVar[1] = 1, V_WertVar[2] = 2;
    Befehl = 77, ArgWert1 = 11, ArgWert2 = 12, ArgWert3 = 13, ArgWert4 = 14;
    SprungBedingung b{99, false, -1, -2, '?', nullptr};
    Zuweisungen neu;
    EXPECT_EQ(leseSprungBedingung(befehlsStelle(NextBefp), b, neu), f.code) << f.text;
    EXPECT_EQ(std::tuple(b.form, b.wert, b.rechts, b.ende),
              std::tuple(f.form, f.wert, f.rechts, stelle(f.ende)))
        << f.text;
    EXPECT_EQ(std::tuple(NextBefp, Befehl, ArgWert1, ArgWert2, ArgWert3, ArgWert4, V_WertVar[1]),
              std::tuple(Programm, int16_t{77}, 11, 12, 13, 14, 1))
        << f.text;
    neu.uebernimm();
    EXPECT_EQ(V_WertVar[1], f.v1) << f.text;
    V_WertVar[1] = 1;
    schritt();
    EXPECT_EQ(V_WertVar[1], f.v1) << f.text;
  }
}

}  // namespace
