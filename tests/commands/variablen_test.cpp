// T, K and P commands, PRIO and program header lines.
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "commands/anzeigetext.h"
#include "core/zustand.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

// One line before "X1", from ArgWert1=ArgWert3=0, ArgWert2=33: the code,
// Befehl and the argument cells; the cursor goes to X1 on success.
struct Fall {
  const char *zeile;
  int16_t code, befehl;
  int32_t arg1, arg2, arg3;
};

class VariablenTest : public VelaTest {
 protected:
  template <size_t N>
  void pruefe(const Fall (&faelle)[N]) {
    for (const auto &f : faelle) {
      lade(std::string(f.zeile) + "\nX1\n");
      ArgWert1 = ArgWert3 = 0, ArgWert2 = 33;
      EXPECT_EQ(schritt(), f.code) << f.zeile;
      EXPECT_EQ(NextBefp, f.code == 0 ? stelle("X1") : Programm) << f.zeile;
      EXPECT_EQ(std::tuple(Befehl, ArgWert1, ArgWert2, ArgWert3),
                std::tuple(f.befehl, f.arg1, f.arg2, f.arg3))
          << f.zeile;
    }
  }
};

TEST_F(VariablenTest, TextAndKeyLines) {
  // T V2 reads V2 (5); a text needs an index. K stores what the previous
  // command left in ArgWert2; its index is never on the next line.
  const std::string tLang = "T1=\"" + std::string(40, 'A') + "\"";
  const Fall faelle[] = {
      {"T3=\"HALLO\"", 0, BEF_T, 3, 0, 0},    {"T4\"OK", 0, BEF_T, 4, 0, 0},
      {"T V2 = \"VIER\"", 0, BEF_T, 5, 0, 0}, {"T3=5", 19, BEF_T, 3, 0, 0},
      {"T10=\"X\"", 2, BEF_T, 10, 0, 0},      {"T-1=\"X\"", 2, BEF_T, -1, 0, 0},
      {"T\"X\"", 18, BEF_T, 0, 0, 0},         {tLang.c_str(), 0, BEF_T, 1, 0, 0},
      {"TE 100", 0, BEF_TE, 100, 1, 0},       {"TE Y 7", 0, BEF_TE, 7, 0, 1},
      {"KI V7", 0, BEF_KI, 7, 17, 0},         {"K V8", 0, BEF_K, 8, 33, 0},
      {"K V300", 2, BEF_K, 300, 33, 0},       {"K5", 12, BEF_K, 0, 33, 0},
      {"KI\nV1=5", 12, BEF_KI, 0, 33, 0},
  };
  std::memset(V_TextVar[2], '#', sizeof V_TextVar[2]);
  V_WertVar[2] = 5;
  pruefe(faelle);
  EXPECT_EQ(std::string(V_TextVar[3]) + "," + V_TextVar[4] + "," + V_TextVar[5], "HALLO,OK,VIER");
  EXPECT_EQ(V_TextVar[1], std::string(21, 'A'));  // cut to the buffers
  EXPECT_EQ(AnzeigeText, std::string(23, 'A'));
  EXPECT_EQ(V_TextVar[2][0], '#');
  EXPECT_EQ((std::vector<int>{V_WertVar[1], V_WertVar[2], V_WertVar[5], V_WertVar[7], V_WertVar[8]}),
            (std::vector<int>{0, 5, 0, 17, 33}));
  vela_reset();
  EXPECT_EQ(AnzeigeText[0], '\0');
}

TEST_F(VariablenTest, PointAndPriorityLines) {
  // A failed point line stores nothing; PRIO keeps the low byte; a task
  // outside 1..3 changes nothing.
  const Fall faelle[] = {
      {"P2 = 10, 20", 0, BEF_P_SETZEN, 2, 10, 20},
      {"P2", 0, BEF_P_LESEN, 2, 10, 20},
      {"P (1) = X", 0, BEF_P_TEACH, 1, -3, 4},
      {"P2 = A", 19, BEF_KEINER, 2, 33, 0},
      {"P10 = 1, 2", 2, BEF_KEINER, 10, 33, 0},
      {"P2 = 1, 5/0", 28, BEF_P_SETZEN, 2, 1, 5},
      {"PVAR", 0, BEF_PVAR, 0, 33, 0},
      {"PRIO 5", 0, BEF_KEINER, 5, 33, 0},
      {"PRIO 5, 2", 0, BEF_KEINER, 5, 1, 0},
      {"PRIO 300, 1", 0, BEF_KEINER, 300, 0, 0},
      {"PRIO 5, 4", 39, BEF_KEINER, 5, 4, 0},
  };
  V_xyTeached = PunktEintrag{-3, 4};
  pruefe(faelle);
  EXPECT_EQ(std::tuple(V_PunktVar[1].X, V_PunktVar[1].Y, V_PunktVar[2].X, V_PunktVar[2].Y),
            std::tuple(-3, 4, 10, 20));
  EXPECT_EQ(
      (std::vector<int>{TaskPrio[0], TaskPrio[1], TaskPrio[2], TaskCount[0], TaskCount[1], TaskCount[2]}),
      (std::vector<int>{44, 5, 127, 44, 5, 0}));
}

TEST_F(VariablenTest, HeaderEndsTheProgramAndKeepsItsLabels) {
  ASSERT_EQ(lade("PROGMAIN\nM1\nX10\nPROG5\nM2\nY1\n"), 0);
  NextBefp = stelle("PROG5");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, BEF_ENDE);
  EXPECT_EQ(NextBefp, stelle("M1"));
  EXPECT_EQ(V_Marke[0][1], stelle("X10"));
  EXPECT_EQ(V_Marke[0][2], nullptr);
  // A header at the very end of the text without a line end.
  lade("X1\nPROG5");
  NextBefp = stelle("PROG5");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, Programm);
}

}  // namespace
