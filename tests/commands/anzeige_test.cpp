// D command family and the value format.
#include "commands/anzeige.h"

#include <cstring>
#include <string>

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
  void SetUp() override {
    MaschinenTest::SetUp();
    std::memset(AnzeigeText, 0, sizeof AnzeigeText);
  }
  std::string wert(int32_t v) {
    fake.host.clear();
    printWert(HostKanal, v);
    return fake.host;
  }
};

TEST_F(AnzeigeTest, TextForms) {
  lade("D \"HALLO\"\nD 3 \"WELT\" rest\nD 99\"X\"\nD \"offen\nV1=1\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 17);
  EXPECT_STREQ(AnzeigeText, "HALLO");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 18);
  EXPECT_EQ(ArgWert1, 3);
  EXPECT_STREQ(AnzeigeText, "WELT");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 17);  // row 99 is no row
  EXPECT_EQ(ArgWert1, 99);
  ASSERT_EQ(schritt(), 0);  // ended by the line end
  EXPECT_STREQ(AnzeigeText, "offen");
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(AnzeigeTest, LongTextIsCutTo23Characters) {
  lade("D \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\"\nV1=1\n");
  std::memset(AnzeigeText, 'x', sizeof AnzeigeText);
  ASSERT_EQ(schritt(), 0);
  EXPECT_STREQ(AnzeigeText, "ABCDEFGHIJKLMNOPQRSTUVW");
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(AnzeigeTest, TextVariableForms) {
  lade("D T 1\nD 2 T V0\nD T 10\n");
  std::strcpy(V_TextVar[1], "eins");
  std::strcpy(V_TextVar[9], "123456789012345678901");
  V_WertVar[0] = 9;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 17);
  EXPECT_STREQ(AnzeigeText, "eins");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 18);
  EXPECT_EQ(ArgWert1, 2);
  EXPECT_STREQ(AnzeigeText, "123456789012345678901");
  EXPECT_EQ(schritt(), 2);
  EXPECT_EQ(Befehl, 0);
  EXPECT_STREQ(AnzeigeText, "123456789012345678901");
  EXPECT_EQ(NextBefp, stelle("D T 10"));
}

TEST_F(AnzeigeTest, NumberForms) {
  lade("D 2 V5\nD V5\nD 3+4\nD -5\nD\nD 2 V1/0\n");
  V_WertVar[5] = -42;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 19);
  EXPECT_EQ(ArgWert1, 2);
  EXPECT_EQ(ArgWert2, -42);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 16);
  EXPECT_EQ(ArgWert1, -42);
  EXPECT_EQ(ArgWert2, -42);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 16);
  EXPECT_EQ(ArgWert1, 7);
  EXPECT_EQ(ArgWert2, 7);
  ArgWert1 = 11;
  ASSERT_EQ(schritt(), 0);  // no leading digit or V: nothing evaluated
  EXPECT_EQ(Befehl, 16);
  EXPECT_EQ(ArgWert2, 11);
  ArgWert1 = 12;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(ArgWert2, 12);
  EXPECT_EQ(schritt(), 28);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(NextBefp, stelle("D 2 V1/0"));
}

TEST_F(AnzeigeTest, ValueFormat) {
  lade("DF 10, 2\nDF 8, 1\nDF\nDF 6, V1/0\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(FeldBreite, 10);
  EXPECT_EQ(NachkStellen, 2);
  EXPECT_EQ(wert(12345), "    123.45");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(wert(-5), "    -0.5");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(FeldBreite, 8);
  EXPECT_EQ(NachkStellen, 0);
  EXPECT_EQ(wert(-2147483647 - 1), "-2147483648");  // wider than the field
  EXPECT_EQ(schritt(), 0);                          // bad decimals: none
  EXPECT_EQ(FeldBreite, 6);
  EXPECT_EQ(NachkStellen, 0);
  EXPECT_EQ(Befehl, 0);
}

TEST_F(AnzeigeTest, ValueFormatIsBounded) {
  lade("DF 255, 12\nDF 3, 9\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(FeldBreite, 255);  // stored as given
  EXPECT_EQ(NachkStellen, 12);
  const std::string s = wert(2147483647);
  EXPECT_EQ(s, std::string(20, ' ') + "0.2147483647");  // 32 wide, 10 decimals
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(wert(-1999999999), "-1.999999999");  // 10^9 is still exact
  FeldBreite = 0;
  NachkStellen = 0;
  EXPECT_EQ(wert(0), "0");
}

TEST_F(AnzeigeTest, ChannelChoice) {
  lade("DCH 2\nDCH 4\nDCH 3\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(AktKanal, HostKanal);
  EXPECT_EQ(ArgWert1, 2);
  EXPECT_EQ(*NextBefp, '\r');  // no line step
  EXPECT_EQ(schritt(), 37);
  EXPECT_EQ(ArgWert1, 4);
  EXPECT_EQ(AktKanal, HostKanal);
  NextBefp = stelle("DCH 3");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(AktKanal, DisplayKanal);
  EXPECT_EQ(Befehl, 0);
}

TEST_F(AnzeigeTest, DisplayPosition) {
  lade("DP 3, 1\nDP 4\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(CursorSpalte, 3);
  EXPECT_EQ(CursorZeile, 1);
  EXPECT_EQ(fake.host, "    ");
  EXPECT_EQ(schritt(), 12);  // row missing: no move
  EXPECT_EQ(CursorSpalte, 3);
}

TEST_F(AnzeigeTest, RelativeAxisMoves) {
  lade("DX 10\nDX 10\nDZ 5 DA 7\nDY 5 D\nDA 1/0\n");
  ASSERT_EQ(schritt(), 0);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 15);
  EXPECT_EQ(SollPos[0], 20);
  EXPECT_EQ(SollSchritte[0], 20);
  EXPECT_EQ(DeltaSchritte[0], 10);
  EXPECT_EQ(ArgWert3, 0);
  AchsMM[3] = 2;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 20);
  EXPECT_EQ(ArgWert3, 2);
  EXPECT_EQ(ArgWert4, 3);
  EXPECT_EQ(ArgWert1, 5);
  EXPECT_EQ(ArgWert2, 7);
  EXPECT_EQ(SollPos[2], 5);
  EXPECT_EQ(DeltaSchritte[2], 5);
  EXPECT_EQ(SollPos[3], 7);
  EXPECT_EQ(SollSchritte[3], 3);
  ASSERT_EQ(schritt(), 0);  // no second axis: nothing planned
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(SollPos[1], 0);
  EXPECT_EQ(schritt(), 28);
  EXPECT_EQ(SollPos[3], 7);
  EXPECT_EQ(BahnSchreibIndex, 0);  // single axes never queue a path
}

TEST_F(AnzeigeTest, RelativeAxisMovesDoNotAccumulateTruncation) {
  lade("DX 1\nDX 1\n");
  AchsMM[0] = 2;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(DeltaSchritte[0], 0);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(DeltaSchritte[0], 1);
  EXPECT_EQ(SollSchritte[0], 1);
}

TEST_F(AnzeigeTest, PathLine) {
  lade("DIL 1, 2\nDIL 3, -4, 5\nDIL 1, 1, 1\n");
  EXPECT_EQ(schritt(), 12);
  EXPECT_EQ(cursor(), 0);
  EXPECT_EQ(BahnSchreibIndex, 0);
  EXPECT_EQ(SollPos[0], 0);
  NextBefp = stelle("DIL 3");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(BahnSchreibIndex, 1);
  EXPECT_EQ(BahnAktiv, 1);
  const BahnSegment &s = BahnQueue[0];
  EXPECT_EQ(s.Achse[0], 2);  // Z has the most steps
  EXPECT_EQ(s.Anzahl[0], 5u);
  EXPECT_EQ(s.ZielPos[1], -4);
  EXPECT_EQ(s.Minus[1], 1);
  EXPECT_EQ(SollSchritte[2], 5);

  // A full ring: the line is executed again, nothing changes.
  BahnLeseIndex = static_cast<uint8_t>((BahnSchreibIndex + 1) % kBahnSlots);
  char *zeile3 = NextBefp;
  ASSERT_EQ(zeile3, stelle("DIL 1, 1"));
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, zeile3);
  EXPECT_EQ(SollPos[0], 3);
  EXPECT_EQ(SollPos[2], 5);
  BahnLeseIndex = 0;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(SollPos[0], 4);
  EXPECT_EQ(BahnSchreibIndex, 2);
}

}  // namespace
