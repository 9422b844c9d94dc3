// Tick waits, character output routing, display primitives and the error
// report, against the fake devices.
#include "monitor/kanal.h"

#include <string>

#include "commands/anzeige.h"
#include "interp/zustand.h"
#include "monitor/anzeige.h"
#include "monitor/plattform.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using KanalTest = MaschinenTest;

TEST_F(KanalTest, WaitsAreCorrectAcrossTheTickWrap) {
  Ticks = 0xFFFFFFF0u;
  delayTicks(32);
  EXPECT_EQ(fake.letzterTick, 0x10u);

  Ticks = 0xFFFFFFF0u;
  fake.offen = true;  // nothing ever arrives
  char c = 'q';
  EXPECT_FALSE(readHostCharTimeout(c, 32));
  EXPECT_EQ(fake.letzterTick, 0x10u);
  EXPECT_EQ(c, 'q');

  Ticks = 0xFFFFFFFEu;
  EXPECT_FALSE(timeoutElapsed(4));  // armed at 0xFFFFFFFE, reads 0xFFFFFFFF
  EXPECT_EQ(TimerStart, 0xFFFFFFFEu);
  EXPECT_FALSE(timeoutElapsed(4));  // reads 0
  EXPECT_FALSE(timeoutElapsed(4));  // reads 1
  EXPECT_TRUE(timeoutElapsed(4));   // reads 2: four ticks on
  EXPECT_EQ(TimerLaeuft, 0);
}

TEST_F(KanalTest, ZeroLengthWaits) {
  delayTicks(0);
  EXPECT_EQ(fake.tickLesungen, 2);
  EXPECT_TRUE(timeoutElapsed(0));
  EXPECT_EQ(TimerLaeuft, 0);
  char c = 'q';
  EXPECT_FALSE(readHostCharTimeout(c, 0));
}

TEST_F(KanalTest, HostCharacterInput) {
  fake.eingabe = "ab";
  fake.eingabeAb = 5;
  char c = 'q';
  EXPECT_EQ(readHostChar(c), 0);  // not yet arrived
  EXPECT_EQ(c, 'q');
  EXPECT_TRUE(readHostCharTimeout(c, 100));
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(readHostChar(c), 1);
  EXPECT_EQ(c, 'b');
  EXPECT_EQ(readHostChar(c), 0);  // input ended
  EXPECT_EQ(c, 'b');
}

TEST_F(KanalTest, StandardOutputFollowsTheRoute) {
  putText("Yes\nno", 3);
  AusgabeZiel = 1;
  putChar('D');
  putText("ab", 10);
  AusgabeZiel = 0;
  putChar('\xff');
  EXPECT_EQ(fake.host, "Yes\xff");
  EXPECT_EQ(fake.display, "Dab");
}

TEST_F(KanalTest, DisplayLineWritesOnlyItsText) {
  displayLine(3, "12345678901234567890", 20);
  displayLine(3, "Weiter?", 20);
  EXPECT_EQ(zeile(3), "Weiter?8901234567890");
  EXPECT_EQ(CursorZeile, 3);
  EXPECT_EQ(CursorSpalte, 0);
  EXPECT_EQ(fake.host, "  ");  // one space per displayGoto, to the host line

  fake.display.clear();
  displayLine(1, "abcdef", 3);
  displayLine(2, "", 20);
  EXPECT_EQ(fake.display, "abc");
  EXPECT_EQ(CursorZeile, 2);
  EXPECT_EQ(fake.host, "    ");

  displayTwoLines("oben", "unten", 20);
  EXPECT_EQ(zeile(0), "oben                ");
  EXPECT_EQ(zeile(1), "unten               ");
}

TEST_F(KanalTest, DisplayGotoWritesColumnPlusOneSpaces) {
  displayGoto(4, 2);
  EXPECT_EQ(fake.host, "     ");
  EXPECT_EQ(CursorSpalte, 4);
  EXPECT_EQ(CursorZeile, 2);
  fake.host.clear();
  displayGoto(-3, 1);
  EXPECT_EQ(fake.host, "");
  EXPECT_EQ(CursorSpalte, -3);
}

TEST_F(KanalTest, DisplayTextFollowsTheChosenChannel) {
  lade("DCH 2\nDCH 3\n");
  ASSERT_EQ(schritt(), 0);
  displayLine(0, "hallo", 20);
  EXPECT_EQ(fake.host, " hallo");
  ASSERT_EQ(schritt(), 0);
  displayLine(0, "anzeige", 20);
  EXPECT_EQ(zeile(0), "anzeige             ");
}

TEST_F(KanalTest, DisplayModel) {
  displayCmd(3);
  displayCmd(12);
  displayCmd(1);
  EXPECT_EQ(fake.befehle, (std::vector<uint8_t>{3, 12, 1}));
  EXPECT_EQ(DisplayInhalt.an, 1);
  EXPECT_EQ(DisplayInhalt.cursorSichtbar, 0);

  displayLine(0, "123456789012345678901234", 24);  // no wrap past column 19
  EXPECT_EQ(zeile(0), "12345678901234567890");
  EXPECT_EQ(zeile(1), std::string(20, ' '));
  displayLine(7, "weg", 20);  // no such row
  for (int r = 1; r < 4; ++r) EXPECT_EQ(zeile(r), std::string(20, ' '));

  displayCmd(1);
  EXPECT_EQ(zeile(0), std::string(20, ' '));
  EXPECT_EQ(DisplayInhalt.zeile, 0);
  EXPECT_EQ(DisplayInhalt.spalte, 0);
}

TEST_F(KanalTest, ErrorReportShowsMessageAndLines) {
  lade("V1=1\nG Q\nV2=2\nV3=3\n");
  displayLine(3, "alt", 20);
  ASSERT_EQ(schritt(), 0);
  const int16_t code = schritt();
  ASSERT_EQ(code, 19);
  fake.display.clear();
  reportError(code);
  EXPECT_EQ(zeile(0), "falscher Befehl     ");
  EXPECT_EQ(zeile(1), "G Q                 ");
  EXPECT_EQ(zeile(2), "V2=2                ");
  EXPECT_EQ(zeile(3), std::string(20, ' '));
  EXPECT_EQ(fake.display, std::string(80, ' ') + "falscher BefehlG QV2=2");
  EXPECT_EQ(NextBefp, stelle("V3=3"));
}

TEST_F(KanalTest, ErrorReportInTheFirstLineCutsLongLines) {
  const std::string lang = "GQ 345678901234567890123456";
  lade(lang + "\nV7=1\nV1=1\n");
  const int16_t code = schritt();
  ASSERT_EQ(code, 19);
  ASSERT_EQ(cursor(), 0);
  fake.display.clear();
  reportError(code);
  EXPECT_EQ(fake.display, std::string(80, ' ') + "falscher Befehl" + lang.substr(0, 21) + "V7=1");
  EXPECT_EQ(zeile(1), lang.substr(0, 20));
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(KanalTest, ErrorReportOfAnUnknownCodeShowsNoMessage) {
  lade("V1=1\n");
  displayLine(0, "alt", 20);
  reportError(99);
  EXPECT_EQ(zeile(0), std::string(20, ' '));
  EXPECT_EQ(zeile(1), "V1=1                ");
  reportError(-1);
  EXPECT_EQ(zeile(0), std::string(20, ' '));
}

}  // namespace
