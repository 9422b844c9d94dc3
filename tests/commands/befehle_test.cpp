// The D command family and the value format; the G, W and F commands; the T,
// K and P commands, PRIO and program header lines.
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "commands/anzeige.h"
#include "commands/anzeigetext.h"
#include "commands/geschw.h"
#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "support/fake_geraete.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using AnzeigeTest = MaschinenTest;
using GeschwTest = VelaTest;

TEST_F(AnzeigeTest, TextAndNumberForms) {
  // From ArgWert1=11, ArgWert2=0, AnzeigeText "xx...x" (text null: left so);
  // a text ends at the line end and is cut to 23 characters.
  const std::string leer(sizeof AnzeigeText - 1, 'x');
  const std::string lang = "D \"" + std::string(30, 'A');
  const struct {
    const char *zeile;
    int16_t code, befehl;
    const char *text;
    int32_t arg1, arg2;
  } faelle[] = {
      {"D 3 \"WELT\" rest", 0, BEF_D_TEXT_ZEILE, "WELT", 3, 0},
      {"D 99\"X\"", 0, BEF_D_TEXT, "X", 99, 0},
      {lang.c_str(), 0, BEF_D_TEXT, "AAAAAAAAAAAAAAAAAAAAAAA", 11, 0},
      {"D T 1", 0, BEF_D_TEXT, "eins", 11, 0},
      {"D 2 T V0", 0, BEF_D_TEXT_ZEILE, "123456789012345678901", 2, 0},
      {"D T 10", 2, BEF_KEINER, nullptr, 11, 0},
      {"D 2 V5", 0, BEF_D_WERT_ZEILE, nullptr, 2, -42},
      {"D 3+4", 0, BEF_D_WERT, nullptr, 7, 7},
      {"D -5", 0, BEF_D_WERT, nullptr, 11, 11},
      {"D", 0, BEF_D_WERT, nullptr, 11, 11},
      {"D 2 V1/0", 28, BEF_KEINER, nullptr, 2, 0},
  };
  std::strcpy(V_TextVar[1], "eins");
  std::strcpy(V_TextVar[9], "123456789012345678901");
  V_WertVar[0] = 9, V_WertVar[5] = -42;
  for (const auto &f : faelle) {
    std::memcpy(AnzeigeText, leer.c_str(), sizeof AnzeigeText);
    lade(std::string(f.zeile) + "\nV1=1\n");
    ArgWert1 = 11, ArgWert2 = 0;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, f.code ? Programm : stelle("V1=1"))) << f.zeile;
    EXPECT_EQ(std::tuple(std::string(AnzeigeText), ArgWert1, ArgWert2),
              std::tuple(std::string(f.text ? f.text : leer), f.arg1, f.arg2))
        << f.zeile;
  }
}

TEST_F(AnzeigeTest, ValueFormat) {
  // Bad decimals mean none, no width 8; printing stops at 32 wide and 10
  // decimals, and a wider number is not cut.
  const struct {
    const char *zeile;
    int breite, stellen;
    int32_t wert;
    const char *ausgabe;
  } faelle[] = {
      {"DF 10, 2", 10, 2, 12345, "    123.45"},
      {"DF 8, 1", 8, 1, -5, "    -0.5"},
      {"DF", 8, 0, INT32_MIN, "-2147483648"},
      {"DF 6, V1/0", 6, 0, 7, "     7"},
      {"DF 3, 9", 3, 9, -1999999999, "-1.999999999"},
      {"DF 255, 12", 255, 12, INT32_MAX, "                    0.2147483647"},
  };
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nX1\n");
    EXPECT_TRUE(schrittGibt(0, 0, stelle("X1"))) << f.zeile;
    fake.host.clear();
    printWert(HostKanal, f.wert);
    EXPECT_EQ(std::tuple(int{FeldBreite}, int{NachkStellen}, fake.host),
              std::tuple(f.breite, f.stellen, f.ausgabe))
        << f.zeile;
  }
}

TEST_F(AnzeigeTest, ChannelAndPosition) {
  lade("DCH 2\nDCH 4\nDCH 3\nDP 3, 1\nDP 4\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(*NextBefp, '\r');   // no line step
  displayLine(0, "hallo", 20);  // display text now goes to the host line
  EXPECT_EQ(fake.host, " hallo");
  EXPECT_EQ(schritt(), 37);
  EXPECT_EQ(AktKanal, HostKanal);
  EXPECT_EQ(schritt(), 0);  // DCH 3: the refused DCH 4, too, took no line step
  displayLine(0, "anzeige", 20);
  EXPECT_EQ(zeile(0), "anzeige             ");
  fake.host.clear();
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(std::tuple(CursorSpalte, CursorZeile), std::tuple(3, 1));
  EXPECT_EQ(schritt(), 12);      // row missing: no move
  EXPECT_EQ(fake.host, "    ");  // col + 1 spaces
}

TEST_F(AnzeigeTest, RelativeAxisMoves) {
  lade("DX 10\nDX 10\nDZ 5 DA 7\nDY 5 D\nDA 1/0\n");
  AchsMM[3] = 2;
  schritt();
  EXPECT_TRUE(schrittGibt(0, BEF_D_ACHSE, stelle("DZ")));
  EXPECT_EQ(std::tuple(SollPos[0], SollSchritte[0], DeltaSchritte[0]), std::tuple(20, 20, 10));
  EXPECT_TRUE(schrittGibt(0, BEF_D_ACHSPAAR, stelle("DY")));
  EXPECT_EQ(std::tuple(ArgWert3, ArgWert4, DeltaSchritte[2], SollPos[3], SollSchritte[3]),
            std::tuple(2, 3, 5, 7, 3));
  EXPECT_TRUE(schrittGibt(0, 0, stelle("DA 1")));  // no second axis: nothing planned
  EXPECT_TRUE(schrittGibt(28, 0, stelle("DA 1")));
  // Single axes never queue a path.
  EXPECT_EQ(std::tuple(SollPos[1], SollPos[3], BahnSchreibIndex), std::tuple(0, 7, 0));
}

TEST_F(AnzeigeTest, PathLine) {
  lade("DIL 1, 2\nDIL 1073741824, 0, 0\n");
  EXPECT_TRUE(schrittGibt(12, 0, Programm));
  NextBefp = stelle("DIL 1073741824");  // too long for the tick's error terms
  EXPECT_TRUE(schrittGibt(2, 0, stelle("DIL 1073741824")));
  EXPECT_EQ(std::tuple(SollPos[0], BahnSchreibIndex), std::tuple(0, 0));
  lade("DIL 3, -4, 5\nDIL 1, 1, 1\nDIL 1073741823, 0, 0\n");
  EXPECT_TRUE(schrittGibt(0, 0, stelle("DIL 1,")));
  BahnLeseIndex = 2;  // full ring: the line runs again, nothing changes
  EXPECT_TRUE(schrittGibt(0, 0, stelle("DIL 1,")));
  EXPECT_EQ(SollPos[0], 3);
  BahnLeseIndex = 0;
  EXPECT_TRUE(schrittGibt(0, 0, stelle("DIL 1073741823")));
  EXPECT_EQ(std::tuple(SollPos[0], SollSchritte[2], BahnSchreibIndex), std::tuple(4, 6, 2));
  EXPECT_EQ(schritt(), 0);
}

TEST_F(GeschwTest, Speeds) {
  // One line after the other, one index per row. G pulls the start speed
  // down to the new maximum, GS may set it above; speeds keep 16 bits.
  lade("G 50\nGS 2000\nGE 500\nGX 70000\nGEI 200\nGS Y 300\nG\nG Q\nGX 1/0\n");
  const struct {
    const char *zeile;
    int16_t code, befehl;
    int idx, max, start, end, rampe;
  } faelle[] = {
      {"G 50", 0, BEF_G_ALLE, 4, 50, 50, 0, 0},         {"GS 2000", 0, BEF_GS_ALLE, 0, 50, 2000, 0, 0},
      {"GE 500", 0, BEF_G_ALLE, 2, 500, 500, 0, 0},     {"GX 70000", 0, BEF_G_ACHSE, 0, 4464, 500, 0, 440},
      {"GEI 200", 0, BEF_GE, 4, 500, 500, 200, 0},      {"GS Y 300", 0, BEF_GS_ACHSE, 1, 500, 300, 0, 22},
      {"G\r", 19, BEF_KEINER, 1, 500, 300, 0, 22},      {"G Q", 19, BEF_KEINER, 1, 500, 300, 0, 22},
      {"GX 1/0", 28, BEF_KEINER, 0, 4464, 500, 0, 440},
  };
  for (const auto &f : faelle) {
    NextBefp = stelle(f.zeile);
    char *naechste = std::strchr(NextBefp, '\r') + 1;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, f.code ? stelle(f.zeile) : naechste)) << f.zeile;
    EXPECT_EQ(std::tuple(MaxGeschw[f.idx], StartGeschw[f.idx], EndGeschw[f.idx], RampenInkrement[f.idx]),
              std::tuple(f.max, f.start, f.end, f.rampe))
        << f.zeile;
  }
}

TEST_F(GeschwTest, OneLineForms) {
  // These forms only report; FREI... is compared by its first characters;
  // FreiOn and FreiLowActive carry over from row to row.
  const struct {
    const char *zeile;
    int16_t code, befehl;
    int32_t arg1, arg3;
    int an, low;
  } faelle[] = {
      {"W 100", 0, BEF_W_ZEIT, 100, 9, 0, 0},  {"WE 3", 0, BEF_WE, 3, 9, 0, 0},
      {"WNE 4+1", 0, BEF_WNE, 5, 9, 0, 0},     {"WX", 0, BEF_W_ACHSE, 0, 0, 0, 0},
      {"W I", 0, BEF_W_ACHSE, 0, 4, 0, 0},     {"FXZ", 0, BEF_F_ACHSE, 0, 0, 0, 0},
      {"FA", 0, BEF_F_ACHSE, 0, 3, 0, 0},      {"F", 19, BEF_KEINER, 0, 9, 0, 0},
      {"FREION", 0, BEF_FREION, 0, 9, 1, 0},   {"FREILOW", 0, BEF_KEINER, 0, 9, 1, 1},
      {"FREIOFF", 0, BEF_FREIOFF, 0, 9, 0, 1}, {"FREIHIGH", 0, BEF_KEINER, 0, 9, 0, 0},
      {"FREIONX", 0, BEF_FREION, 0, 9, 1, 0},  {"FREIO", 19, BEF_KEINER, 0, 9, 1, 0},
  };
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nV1=1\n");
    AchsLaeuft[0] = 1;
    ArgWert1 = 0, ArgWert3 = 9;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, f.code ? Programm : stelle("V1=1"))) << f.zeile;
    EXPECT_EQ(std::tuple(ArgWert1, ArgWert3, FreiOn, FreiLowActive), std::tuple(f.arg1, f.arg3, f.an, f.low))
        << f.zeile;
  }
}

TEST_F(GeschwTest, PlainWaitRepeatsUntilEverythingRests) {
  lade("W  \nW ?\nV2=2\n");
  AchsLaeuft[3] = 1;
  EXPECT_TRUE(schrittGibt(0, BEF_W, Programm));
  AchsLaeuft[3] = 0, RestSchritte[2] = 4;  // the path index still has steps in Z
  EXPECT_TRUE(schrittGibt(0, BEF_W, Programm));
  RestSchritte[2] = 0, BahnAktiv = 1;
  EXPECT_TRUE(schrittGibt(0, BEF_W, Programm));
  BahnAktiv = 0;
  EXPECT_TRUE(schrittGibt(0, BEF_W, stelle("W ?")));
  AchsLaeuft[1] = 1;  // unknown text is ignored; the W still waits
  EXPECT_TRUE(schrittGibt(0, 0, stelle("W ?")));
  AchsLaeuft[1] = 0;
  EXPECT_TRUE(schrittGibt(0, 0, stelle("V2=2")));
}

TEST_F(GeschwTest, KeyList) {
  lade("FXY 300, 4, 6\nFXY\nFXY 9, 1/0, 7\nFXY 1,2,3,4,5,6,7,8,9,10\nX1\n");
  auto tasten = [] { return std::vector<int>(TeachTasten, TeachTasten + 9); };
  EXPECT_TRUE(schrittGibt(0, BEF_F_TASTEN, stelle("FXY\r")));
  EXPECT_TRUE(schrittGibt(0, BEF_F_TASTEN, stelle("FXY 9")));  // the empty list changes nothing
  EXPECT_EQ(tasten(), (std::vector<int>{44, 4, 6, 8, 2, 13, 12, 7, 1}));
  schritt();  // a bad value ends the list
  EXPECT_EQ(tasten(), (std::vector<int>{9, 4, 6, 8, 2, 13, 12, 7, 1}));
  EXPECT_TRUE(schrittGibt(0, BEF_F_TASTEN, stelle("X1")));  // at most nine entries
  EXPECT_EQ(tasten(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

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
  EXPECT_TRUE(schrittGibt(0, BEF_ENDE, stelle("M1")));
  EXPECT_EQ(std::tuple(V_Marke[0][1], V_Marke[0][2]), std::tuple(stelle("X10"), nullptr));
  // A header at the very end of the text without a line end.
  lade("X1\nPROG5");
  NextBefp = stelle("PROG5");
  EXPECT_TRUE(schrittGibt(0, BEF_ENDE, Programm));
}

}  // namespace
