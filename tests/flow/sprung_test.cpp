// Jumps, conditions, subroutine and program calls, task starts and RETURN;
// with them the other one-line flow commands (R, S, B, Q, END, LOAD, LVAR, M).
#include <cstring>
#include <string>
#include <tuple>

#include "core/cursor.h"
#include "core/programme.h"
#include "core/zustand.h"
#include "flow/bedingung.h"
#include "support/tabelle.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
// One line run before "X1\nM3\nX2" and the programs 7, 9, ABC and
// ABCDEFGHIJKLM, with V1=1, V2=2, V3=-7, from ArgWert1=0, ArgWert3=9 and
// V_Handshake as the case gives it ("line | handshake", else 0): the step,
// ArgWert1, ArgWert3. No line may start a task or change a priority.
class SprungTest : public VelaTest {
 protected:
  void pruefe(const char *tabelle) {
    pruefeTabelle(tabelle, [&](const std::string &fall) {
      const auto [eingabe, extra] = teile(fall);
      lade(eingabe + "\nX1\nM3\nX2\nPROG7\nM1\nX7\nPROG9\nM4\nM4\nPROGABC\nX9\nPROGABCDEFGHIJKLM\nX13\n");
      V_WertVar[1] = 1, V_WertVar[2] = 2, V_WertVar[3] = -7;
      V_Handshake = static_cast<int16_t>(extra.empty() ? 0 : std::stoi(extra));
      ArgWert1 = 0, ArgWert3 = 9;
      const std::string schritt = schrittText();
      EXPECT_EQ(std::tuple(V_WertVar[1], TaskPrio[0], TaskPrio[1], TaskPrio[2]), std::tuple(1, 0, 127, 127))
          << fall;
      return text(schritt, ArgWert1, ArgWert3);
    });
  }
};

TEST_F(SprungTest, OneLineCommands) {
  pruefe("sprung_zeilen");
  pruefe("sprung_programme");
  pruefe("sprung_andere");
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
  pruefeTabelle("sprung_bedingung", [&](const std::string &fall) {
    lade(fall + "\nX1\nM3\nX2\n");
    V_WertVar[1] = 1, V_WertVar[2] = 2;
    Befehl = 77, ArgWert1 = 11, ArgWert2 = 12, ArgWert3 = 13, ArgWert4 = 14;
    SprungBedingung b{99, false, -1, -2, '?', nullptr};
    Zuweisungen neu;
    const int16_t code = leseSprungBedingung(befehlsStelle(NextBefp), b, neu);
    EXPECT_EQ(std::tuple(NextBefp, Befehl, ArgWert1, ArgWert2, ArgWert3, ArgWert4, V_WertVar[1]),
              std::tuple(Programm, int16_t{77}, 11, 12, 13, 14, 1))
        << fall;
    neu.uebernimm();
    const int32_t v1 = V_WertVar[1];
    V_WertVar[1] = 1;
    schritt();
    EXPECT_EQ(V_WertVar[1], v1) << fall;
    return text(code, befehlsText(b.form), b.wert, b.rechts, stelleText(b.ende), v1);
  });
}

}  // namespace
