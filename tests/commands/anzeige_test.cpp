// D command family and the value format.
#include "commands/anzeige.h"

#include <cstring>
#include <string>
#include <utility>

#include "commands/anzeigetext.h"
#include "interp/zustand.h"
#include "monitor/kanal.h"
#include "monitor/plattform.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using Ergebnis = std::pair<int, int>;  // error code, command code

class AnzeigeTest : public MaschinenTest {
 protected:
  void SetUp() override {
    MaschinenTest::SetUp();
    std::memset(AnzeigeText, 'x', sizeof AnzeigeText);
  }
  Ergebnis los() {
    const int code = schritt();
    return {code, Befehl};
  }
  std::string wert(int32_t v) {
    fake.host.clear();
    printWert(HostKanal, v);
    return fake.host;
  }
};

TEST_F(AnzeigeTest, TextForms) {
  lade("D \"HALLO\"\nD 3 \"WELT\" rest\nD 99\"X\"\nD \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\nV1=1\n");
  EXPECT_EQ(los(), Ergebnis(0, 17));
  EXPECT_STREQ(AnzeigeText, "HALLO");
  EXPECT_EQ(los(), Ergebnis(0, 18));
  EXPECT_EQ(ArgWert1, 3);
  EXPECT_STREQ(AnzeigeText, "WELT");
  EXPECT_EQ(los(), Ergebnis(0, 17));  // row 99 is no row
  EXPECT_EQ(los(), Ergebnis(0, 17));  // ended by the line end, cut to 23
  EXPECT_STREQ(AnzeigeText, "ABCDEFGHIJKLMNOPQRSTUVW");
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(AnzeigeTest, TextVariableForms) {
  lade("D T 1\nD 2 T V0\nD T 10\n");
  std::strcpy(V_TextVar[1], "eins");
  std::strcpy(V_TextVar[9], "123456789012345678901");
  V_WertVar[0] = 9;
  EXPECT_EQ(los(), Ergebnis(0, 17));
  EXPECT_STREQ(AnzeigeText, "eins");
  EXPECT_EQ(los(), Ergebnis(0, 18));
  EXPECT_STREQ(AnzeigeText, "123456789012345678901");
  EXPECT_EQ(los(), Ergebnis(2, 0));
  EXPECT_STREQ(AnzeigeText, "123456789012345678901");
  EXPECT_EQ(NextBefp, stelle("D T 10"));
}

TEST_F(AnzeigeTest, NumberForms) {
  lade("D 2 V5\nD V5\nD 3+4\nD -5\nD\nD 2 V1/0\n");
  V_WertVar[5] = -42;
  EXPECT_EQ(los(), Ergebnis(0, 19));
  EXPECT_EQ(ArgWert1, 2);
  EXPECT_EQ(ArgWert2, -42);
  EXPECT_EQ(los(), Ergebnis(0, 16));
  EXPECT_EQ(ArgWert1, -42);
  EXPECT_EQ(ArgWert2, -42);
  EXPECT_EQ(los(), Ergebnis(0, 16));
  EXPECT_EQ(ArgWert2, 7);
  ArgWert1 = 11;
  EXPECT_EQ(los(), Ergebnis(0, 16));  // no leading digit or V: nothing evaluated
  EXPECT_EQ(ArgWert2, 11);
  ArgWert1 = 12;
  EXPECT_EQ(los(), Ergebnis(0, 16));
  EXPECT_EQ(ArgWert2, 12);
  EXPECT_EQ(los(), Ergebnis(28, 0));
  EXPECT_EQ(NextBefp, stelle("D 2 V1/0"));
}

TEST_F(AnzeigeTest, ValueFormat) {
  lade("DF 10, 2\nDF 8, 1\nDF\nDF 6, V1/0\n");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(wert(12345), "    123.45");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(wert(-5), "    -0.5");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(FeldBreite, 8);
  EXPECT_EQ(NachkStellen, 0);
  EXPECT_EQ(wert(INT32_MIN), "-2147483648");  // wider than the field
  EXPECT_EQ(los(), Ergebnis(0, 0));           // bad decimals: none
  EXPECT_EQ(FeldBreite, 6);
  EXPECT_EQ(NachkStellen, 0);
}

TEST_F(AnzeigeTest, ValueFormatIsBounded) {
  lade("DF 255, 12\nDF 3, 9\n");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(FeldBreite, 255);  // stored as given
  EXPECT_EQ(NachkStellen, 12);
  EXPECT_EQ(wert(2147483647), std::string(20, ' ') + "0.2147483647");  // 32 wide, 10 decimals
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(wert(-1999999999), "-1.999999999");
}

TEST_F(AnzeigeTest, ChannelAndPosition) {
  lade("DCH 2\nDCH 4\nDCH 3\nDP 3, 1\nDP 4\n");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(*NextBefp, '\r');   // no line step
  displayLine(0, "hallo", 20);  // display text now goes to the host line
  EXPECT_EQ(fake.host, " hallo");
  fake.host.clear();
  EXPECT_EQ(los(), Ergebnis(37, 0));
  EXPECT_EQ(ArgWert1, 4);
  EXPECT_EQ(AktKanal, HostKanal);
  NextBefp = stelle("DCH 3");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  displayLine(0, "anzeige", 20);
  EXPECT_EQ(zeile(0), "anzeige             ");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(CursorSpalte, 3);
  EXPECT_EQ(CursorZeile, 1);
  EXPECT_EQ(fake.host, "     ");      // after the " " of the display line
  EXPECT_EQ(los(), Ergebnis(12, 0));  // row missing: no move
  EXPECT_EQ(fake.host, "     ");
}

TEST_F(AnzeigeTest, RelativeAxisMoves) {
  lade("DX 10\nDX 10\nDZ 5 DA 7\nDY 5 D\nDA 1/0\n");
  EXPECT_EQ(los(), Ergebnis(0, 15));
  EXPECT_EQ(los(), Ergebnis(0, 15));
  EXPECT_EQ(SollPos[0], 20);
  EXPECT_EQ(SollSchritte[0], 20);
  EXPECT_EQ(DeltaSchritte[0], 10);
  AchsMM[3] = 2;
  EXPECT_EQ(los(), Ergebnis(0, 20));
  EXPECT_EQ(ArgWert3, 2);
  EXPECT_EQ(ArgWert4, 3);
  EXPECT_EQ(DeltaSchritte[2], 5);
  EXPECT_EQ(SollPos[3], 7);
  EXPECT_EQ(SollSchritte[3], 3);
  EXPECT_EQ(los(), Ergebnis(0, 0));  // no second axis: nothing planned
  EXPECT_EQ(SollPos[1], 0);
  EXPECT_EQ(los(), Ergebnis(28, 0));
  EXPECT_EQ(SollPos[3], 7);
  EXPECT_EQ(BahnSchreibIndex, 0);  // single axes never queue a path
}

TEST_F(AnzeigeTest, PathLine) {
  lade("DIL 1, 2\nDIL 3, -4, 5\nDIL 1, 1, 1\n");
  EXPECT_EQ(los(), Ergebnis(12, 0));
  EXPECT_EQ(cursor(), 0);
  EXPECT_EQ(BahnSchreibIndex, 0);
  NextBefp = stelle("DIL 3");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(BahnSchreibIndex, 1);
  const BahnSegment &s = BahnQueue[0];
  EXPECT_EQ(s.Achse[0], 2);  // Z has the most steps
  EXPECT_EQ(s.ZielPos[1], -4);
  EXPECT_EQ(s.Minus[1], 1);

  BahnLeseIndex = 2;  // full ring: the line runs again, nothing changes
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(NextBefp, stelle("DIL 1, 1"));
  EXPECT_EQ(SollPos[0], 3);
  BahnLeseIndex = 0;
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(SollPos[0], 4);
  EXPECT_EQ(SollSchritte[2], 6);
  EXPECT_EQ(BahnSchreibIndex, 2);
}

TEST_F(AnzeigeTest, PathLineTooLongForTheTickIsRefused) {
  lade("DIL 1073741824, 0, 0\nDIL 1073741823, 0, 0\n");
  EXPECT_EQ(los(), Ergebnis(2, 0));
  EXPECT_EQ(cursor(), 0);
  EXPECT_EQ(SollPos[0], 0);
  EXPECT_EQ(BahnSchreibIndex, 0);
  NextBefp = stelle("DIL 1073741823");
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(BahnSchreibIndex, 1);
}

}  // namespace
