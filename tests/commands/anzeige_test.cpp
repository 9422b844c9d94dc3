// D command family and the value format.
#include "commands/anzeige.h"

#include <cstring>
#include <string>
#include <tuple>

#include "commands/anzeigetext.h"
#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;

using AnzeigeTest = MaschinenTest;

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
  NextBefp = stelle("DCH 3");
  EXPECT_EQ(schritt(), 0);
  displayLine(0, "anzeige", 20);
  EXPECT_EQ(zeile(0), "anzeige             ");
  fake.host.clear();
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(std::tuple(CursorSpalte, CursorZeile), std::tuple(3, 1));
  EXPECT_EQ(fake.host, "    ");  // col + 1 spaces
  EXPECT_EQ(schritt(), 12);      // row missing: no move
  EXPECT_EQ(fake.host, "    ");
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

}  // namespace
