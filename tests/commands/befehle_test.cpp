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
#include "support/tabelle.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using AnzeigeTest = MaschinenTest;
using GeschwTest = VelaTest;

TEST_F(AnzeigeTest, TextAndNumberForms) {
  std::strcpy(V_TextVar[1], "eins");
  std::strcpy(V_TextVar[9], "123456789012345678901");
  V_WertVar[0] = 9, V_WertVar[5] = -42;
  pruefeTabelle("anzeige_formen", [&](const std::string &zeile) {
    std::memset(AnzeigeText, 'x', sizeof AnzeigeText - 1);
    lade(zeile + "\nV1=1\n");
    ArgWert1 = 11, ArgWert2 = 0;
    const std::string schritt = schrittText();
    return text(schritt, zitat(AnzeigeText), ArgWert1, ArgWert2);
  });
}

TEST_F(AnzeigeTest, ValueFormat) {
  pruefeTabelle("anzeige_df", [&](const std::string &fall) {
    const auto [eingabe, extra] = teile(fall);
    lade(eingabe + "\nX1\n");
    const std::string schritt = schrittText();
    fake.host.clear();
    printWert(HostKanal, std::stoi(extra));
    return text(schritt, FeldBreite, NachkStellen, zitat(fake.host));
  });
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
  const auto stand = [](int i) {
    return std::to_string(i) + ":" + std::to_string(MaxGeschw[i]) + "/" + std::to_string(StartGeschw[i]) +
           "/" + std::to_string(EndGeschw[i]) + "/" + std::to_string(RampenInkrement[i]);
  };
  pruefeTabelle("geschw", [&](const std::string &zeile) {
    lade(zeile + "\nX1\n");
    std::string vorher[5];
    for (int i = 0; i < 5; ++i) vorher[i] = stand(i);
    std::string s = schrittText();
    for (int i = 0; i < 5; ++i)
      if (stand(i) != vorher[i]) s += " " + stand(i);
    return s;
  });
}

TEST_F(GeschwTest, OneLineForms) {
  pruefeTabelle("geschw_formen", [&](const std::string &zeile) {
    lade(zeile + "\nV1=1\n");
    AchsLaeuft[0] = 1;
    ArgWert1 = 0, ArgWert3 = 9;
    const std::string schritt = schrittText();
    return text(schritt, ArgWert1, ArgWert3, FreiOn, FreiLowActive);
  });
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

// One line before "X1", from ArgWert1=ArgWert3=0, ArgWert2=33: the step and
// ArgWert1..3.
class VariablenTest : public VelaTest {
 protected:
  void pruefe(const char *tabelle) {
    pruefeTabelle(tabelle, [&](const std::string &zeile) {
      lade(zeile + "\nX1\n");
      ArgWert1 = ArgWert3 = 0, ArgWert2 = 33;
      const std::string schritt = schrittText();
      return text(schritt, ArgWert1, ArgWert2, ArgWert3);
    });
  }
};

TEST_F(VariablenTest, TextAndKeyLines) {
  std::memset(V_TextVar[2], '#', sizeof V_TextVar[2]);
  V_WertVar[2] = 5;
  pruefe("variablen_text");
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
  V_xyTeached = PunktEintrag{-3, 4};
  pruefe("variablen_punkte");
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
