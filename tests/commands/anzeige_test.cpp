// D command family and the value format.
#include "commands/anzeige.h"

#include <cstring>
#include <string>
#include <tuple>

#include "commands/anzeigetext.h"
#include "interp/zustand.h"
#include "monitor/kanal.h"
#include "monitor/plattform.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;

class AnzeigeTest : public MaschinenTest {
 protected:
  // Runs the first line; on success the cursor goes to the second, else stays.
  void erste(int16_t code, int16_t befehl, const char *zeile) {
    EXPECT_EQ(schritt(), code) << zeile;
    EXPECT_EQ(Befehl, befehl) << zeile;
    EXPECT_EQ(NextBefp, code == 0 ? std::strchr(Programm, '\r') + 1 : Programm) << zeile;
  }
  void zeigt(const std::string &text, int16_t code, int16_t befehl) {
    lade(text);
    erste(code, befehl, text.c_str());
  }
};

TEST_F(AnzeigeTest, TextAndNumberForms) {
  const std::string leer(sizeof AnzeigeText - 1, 'x');
  const struct {
    const char *zeile;
    int16_t code, befehl;
    const char *text;  // null: AnzeigeText untouched
    int32_t arg1, arg2;
  } faelle[] = {
      {"D \"HALLO\"", 0, 17, "HALLO", 11, 0},
      {"D 3 \"WELT\" rest", 0, 18, "WELT", 3, 0},
      {"D 99\"X\"", 0, 17, "X", 99, 0},  // row 99 is no row
      {"D \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 0, 17, "ABCDEFGHIJKLMNOPQRSTUVW", 11, 0},
      {"D T 1", 0, 17, "eins", 11, 0},
      {"D 2 T V0", 0, 18, "123456789012345678901", 2, 0},
      {"D T 10", 2, 0, nullptr, 11, 0},
      {"D 2 V5", 0, 19, nullptr, 2, -42},
      {"D V5", 0, 16, nullptr, -42, -42},
      {"D 3+4", 0, 16, nullptr, 7, 7},
      {"D -5", 0, 16, nullptr, 11, 11},  // no leading digit or V: nothing evaluated
      {"D", 0, 16, nullptr, 11, 11},
      {"D 2 V1/0", 28, 0, nullptr, 2, 0},
  };
  for (const auto &f : faelle) {
    std::memcpy(AnzeigeText, leer.c_str(), sizeof AnzeigeText);
    lade(std::string(f.zeile) + "\nV1=1\n");
    std::strcpy(V_TextVar[1], "eins");
    std::strcpy(V_TextVar[9], "123456789012345678901");
    V_WertVar[0] = 9, V_WertVar[5] = -42;
    ArgWert1 = 11, ArgWert2 = 0;
    erste(f.code, f.befehl, f.zeile);
    EXPECT_EQ(AnzeigeText, std::string(f.text ? f.text : leer.c_str())) << f.zeile;
    EXPECT_EQ(ArgWert1, f.arg1) << f.zeile;
    EXPECT_EQ(ArgWert2, f.arg2) << f.zeile;
  }
}

TEST_F(AnzeigeTest, ValueFormat) {
  const struct {
    const char *zeile;
    int breite, stellen;
    int32_t wert;
    const char *ausgabe;
  } faelle[] = {
      {"DF 10, 2", 10, 2, 12345, "    123.45"},
      {"DF 8, 1", 8, 1, -5, "    -0.5"},
      {"DF", 8, 0, INT32_MIN, "-2147483648"},                                  // wider than the field
      {"DF 6, V1/0", 6, 0, 7, "     7"},                                       // bad decimals: none
      {"DF 255, 12", 255, 12, INT32_MAX, "                    0.2147483647"},  // 32 wide, 10 decimals
      {"DF 3, 9", 3, 9, -1999999999, "-1.999999999"},
  };
  for (const auto &f : faelle) {
    zeigt(std::string(f.zeile) + "\nX1\n", 0, 0);
    EXPECT_EQ(FeldBreite, f.breite) << f.zeile;  // stored as given
    EXPECT_EQ(NachkStellen, f.stellen) << f.zeile;
    fake.host.clear();
    printWert(HostKanal, f.wert);
    EXPECT_EQ(fake.host, f.ausgabe) << f.zeile;
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
  schritt();
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 15);
  EXPECT_EQ(std::tuple(SollPos[0], SollSchritte[0], DeltaSchritte[0]), std::tuple(20, 20, 10));
  AchsMM[3] = 2;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 20);
  EXPECT_EQ(std::tuple(ArgWert3, ArgWert4, DeltaSchritte[2], SollPos[3], SollSchritte[3]),
            std::tuple(2, 3, 5, 7, 3));
  EXPECT_EQ(schritt(), 0);  // no second axis: nothing planned
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(SollPos[1], 0);
  EXPECT_EQ(schritt(), 28);
  EXPECT_EQ(SollPos[3], 7);
  EXPECT_EQ(BahnSchreibIndex, 0);  // single axes never queue a path
}

TEST_F(AnzeigeTest, PathLine) {
  zeigt("DIL 1, 2\n", 12, 0);
  zeigt("DIL 1073741824, 0, 0\n", 2, 0);  // too long for the tick's error terms
  EXPECT_EQ(SollPos[0], 0);
  EXPECT_EQ(BahnSchreibIndex, 0);
  zeigt("DIL 3, -4, 5\nDIL 1, 1, 1\n", 0, 0);
  EXPECT_EQ(BahnQueue[0].Achse[0], 2);  // Z has the most steps
  EXPECT_EQ(BahnQueue[0].ZielPos[1], -4);
  EXPECT_EQ(BahnQueue[0].Minus[1], 1);
  BahnLeseIndex = 2;  // full ring: the line runs again, nothing changes
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, stelle("DIL 1, 1"));
  EXPECT_EQ(SollPos[0], 3);
  BahnLeseIndex = 0;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(std::tuple(SollPos[0], SollSchritte[2]), std::tuple(4, 6));
  EXPECT_EQ(BahnSchreibIndex, 2);
  zeigt("DIL 1073741823, 0, 0\n", 0, 0);
}

}  // namespace
