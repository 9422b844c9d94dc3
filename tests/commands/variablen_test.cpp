// T, K and P commands, PRIO and program header lines.
#include <cstring>

#include "commands/anzeigetext.h"
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using vela::AnzeigeText;
using vela::ArgWert1;
using vela::ArgWert2;
using vela::ArgWert3;

class VariablenTest : public VelaTest {
 protected:
  // Executes the one line and checks where the cursor went.
  int16_t zeile(const std::string &text) {
    lade(text + "\nX1\n");
    const int16_t code = schritt();
    EXPECT_EQ(NextBefp, code == 0 ? stelle("X1") : Programm) << text;
    return code;
  }
};

TEST_F(VariablenTest, TextAssignments) {
  EXPECT_EQ(zeile("T3=\"HALLO\""), 0);
  EXPECT_STREQ(V_TextVar[3], "HALLO");
  EXPECT_STREQ(AnzeigeText, "HALLO");
  EXPECT_EQ(Befehl, 57);
  EXPECT_EQ(zeile("T4\"OK"), 0);  // no '=', text ended by the line end
  EXPECT_STREQ(V_TextVar[4], "OK");

  lade("T V2 = \"VIER\"\nX1\n");
  V_WertVar[2] = 4;
  EXPECT_EQ(schritt(), 0);
  EXPECT_STREQ(V_TextVar[4], "VIER");
  EXPECT_EQ(V_WertVar[2], 4);

  EXPECT_EQ(zeile("T3=5"), 19);
  EXPECT_EQ(zeile("T10=\"X\""), 2);
  EXPECT_EQ(zeile("T-1=\"X\""), 2);
  EXPECT_EQ(zeile("T\"X\""), 18);  // no index: refused
  EXPECT_STREQ(V_TextVar[3], "HALLO");
}

TEST_F(VariablenTest, LongTextsAreCutToTheirBuffers) {
  const std::string lang(40, 'A');
  std::memset(V_TextVar[2], '#', sizeof V_TextVar[2]);
  EXPECT_EQ(zeile("T1=\"" + lang + "\""), 0);
  EXPECT_EQ(std::string(V_TextVar[1]), lang.substr(0, 21));
  EXPECT_EQ(std::string(AnzeigeText), lang.substr(0, 23));
  EXPECT_EQ(V_TextVar[2][0], '#');
  vela_reset();
  EXPECT_EQ(AnzeigeText[0], '\0');
}

TEST_F(VariablenTest, TextE) {
  EXPECT_EQ(zeile("TE 100"), 0);
  EXPECT_EQ(Befehl, 56);
  EXPECT_EQ(ArgWert1, 100);
  EXPECT_EQ(ArgWert2, 1);
  EXPECT_EQ(zeile("TE Y 7"), 0);
  EXPECT_EQ(ArgWert3, 1);
  EXPECT_EQ(ArgWert1, 7);
  EXPECT_EQ(ArgWert2, 0);
}

TEST_F(VariablenTest, KeyCodes) {
  ArgWert2 = 0;
  EXPECT_EQ(zeile("KI V7"), 0);
  EXPECT_EQ(V_WertVar[7], 17);
  EXPECT_EQ(Befehl, 36);
  EXPECT_EQ(zeile("K V8"), 0);  // stores what the previous command left
  EXPECT_EQ(V_WertVar[8], 17);
  EXPECT_EQ(Befehl, 37);
  EXPECT_EQ(zeile("K V300"), 2);
  EXPECT_EQ(zeile("K5"), 12);
  lade("KI\nV1=5\n");  // the next line is no index
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(V_WertVar[1], 0);
  EXPECT_EQ(V_WertVar[5], 0);
}

TEST_F(VariablenTest, PointVariables) {
  EXPECT_EQ(zeile("P2 = 10, 20"), 0);
  EXPECT_EQ(Befehl, 44);
  EXPECT_EQ(V_PunktVar[2].X, 10);
  EXPECT_EQ(V_PunktVar[2].Y, 20);
  ArgWert2 = ArgWert3 = 0;
  EXPECT_EQ(zeile("P2"), 0);
  EXPECT_EQ(Befehl, 45);
  EXPECT_EQ(ArgWert2, 10);
  EXPECT_EQ(ArgWert3, 20);
  V_xyTeached = PunktEintrag{-3, 4};
  EXPECT_EQ(zeile("P (1) = X"), 0);
  EXPECT_EQ(Befehl, 46);
  EXPECT_EQ(V_PunktVar[1].X, -3);
  EXPECT_EQ(ArgWert3, 4);
  EXPECT_EQ(zeile("P2 = A"), 19);
  EXPECT_EQ(zeile("P10 = 1, 2"), 2);
  EXPECT_EQ(zeile("P2 = 1, 5/0"), 28);
  EXPECT_EQ(V_PunktVar[2].X, 10);  // nothing stored
  EXPECT_EQ(zeile("PVAR"), 0);
  EXPECT_EQ(Befehl, 48);
}

TEST_F(VariablenTest, Priorities) {
  const struct {
    const char *zeile;
    int16_t code;
    int task;
    int8_t prio;
  } faelle[] = {
      {"PRIO 5", 0, 0, 5}, {"PRIO 5, 2", 0, 1, 5}, {"PRIO 300, 1", 0, 0, 44}, {"PRIO 5, 4", 39, -1, 0}};
  for (const auto &f : faelle) {
    EXPECT_EQ(zeile(f.zeile), f.code) << f.zeile;
    EXPECT_EQ(Befehl, 0) << f.zeile;
    for (int t = 0; t < 3; ++t) {
      const int8_t erwartet = t == f.task ? f.prio : (t == 0 ? 0 : 127);
      EXPECT_EQ(vela::TaskPrio[t], erwartet) << f.zeile << " task " << t;
      EXPECT_EQ(vela::TaskCount[t], t == f.task ? f.prio : 0) << f.zeile << " task " << t;
    }
    vela_reset();
  }
}

TEST_F(VariablenTest, HeaderEndsTheProgramAndKeepsItsLabels) {
  ASSERT_EQ(lade("PROGMAIN\nM1\nX10\nPROG5\nM2\nY1\n"), 0);
  NextBefp = stelle("PROG5");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 21);
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
