// Tick waits, output routing, display primitives and the error report,
// against the fake devices.
#include "monitor/kanal.h"

#include <string>

#include "interp/zustand.h"
#include "monitor/anzeige.h"
#include "monitor/plattform.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using KanalTest = MaschinenTest;
const std::string kLeer(20, ' ');

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
  EXPECT_FALSE(timeoutElapsed(4));  // 0
  EXPECT_FALSE(timeoutElapsed(4));  // 1
  EXPECT_TRUE(timeoutElapsed(4));   // 2: four ticks on, disarmed
  EXPECT_EQ(TimerLaeuft, 0);

  fake.tickLesungen = 0;
  delayTicks(0);
  EXPECT_EQ(fake.tickLesungen, 2);
  EXPECT_TRUE(timeoutElapsed(0));
  EXPECT_EQ(TimerLaeuft, 0);
}

TEST_F(KanalTest, HostCharacterInput) {
  fake.eingabe = "ab";
  fake.eingabeAb = 5;
  char c = 'q';
  EXPECT_EQ(readHostChar(c), 0);  // not arrived yet
  EXPECT_EQ(c, 'q');
  EXPECT_TRUE(readHostCharTimeout(c, 100));
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(readHostChar(c), 1);
  EXPECT_EQ(c, 'b');
  EXPECT_EQ(readHostChar(c), 0);  // input ended
  EXPECT_EQ(c, 'b');
}

TEST_F(KanalTest, OutputRoutingAndDisplayLines) {
  putText("Yes\nno", 3);
  AusgabeZiel = 1;
  putText("ab", 10);
  AusgabeZiel = 0;
  putChar('\xff');
  EXPECT_EQ(fake.host, "Yes\xff");
  EXPECT_EQ(fake.display, "ab");

  fake.host.clear();
  displayLine(3, "12345678901234567890", 20);
  displayLine(3, "Weiter?", 20);  // the rest of the row stays
  displayLine(1, "abcdef", 3);
  displayLine(2, "", 20);  // nothing written, position still set
  EXPECT_EQ(zeile(3), "Weiter?8901234567890");
  EXPECT_EQ(zeile(1), "abc" + kLeer.substr(3));
  EXPECT_EQ(CursorZeile, 2);
  EXPECT_EQ(CursorSpalte, 0);
  EXPECT_EQ(fake.host, "    ");  // one space per displayGoto

  AusgabeZiel = 1;  // the spaces go to the display; the text still starts at column 0
  displayLine(0, "xyz", 20);
  displayLine(0, "ab", 20);
  EXPECT_EQ(zeile(0), "abz" + kLeer.substr(3));
  AusgabeZiel = 0;

  fake.host.clear();
  displayGoto(4, 2);
  displayGoto(-3, 1);
  EXPECT_EQ(fake.host, "     ");
  EXPECT_EQ(CursorSpalte, -3);
  EXPECT_EQ(CursorZeile, 1);
}

TEST_F(KanalTest, DisplayModel) {
  displayCmd(3);
  displayCmd(12);
  displayCmd(1);
  EXPECT_EQ(fake.befehle, (std::vector<uint8_t>{3, 12, 1}));
  EXPECT_EQ(DisplayInhalt.an, 1);
  EXPECT_EQ(DisplayInhalt.cursorSichtbar, 0);
  displayTwoLines("123456789012345678901234", "x", 24);  // no wrap past column 19
  displayLine(7, "weg", 20);                             // no such row
  EXPECT_EQ(zeile(0), "12345678901234567890");
  EXPECT_EQ(zeile(1), "x" + kLeer.substr(1));
  EXPECT_EQ(zeile(2), kLeer);
  EXPECT_EQ(zeile(3), kLeer);
  displayCmd(1);
  EXPECT_EQ(zeile(0), kLeer);
}

TEST_F(KanalTest, ErrorReportShowsMessageAndLines) {
  lade("V1=1\nG Q\nV2=2\nV3=3\n");
  displayLine(3, "alt", 20);
  ASSERT_EQ(schritt(), 0);
  ASSERT_EQ(schritt(), 19);
  fake.display.clear();
  reportError(19);
  EXPECT_EQ(fake.display, std::string(80, ' ') + "falscher BefehlG QV2=2");
  EXPECT_EQ(zeile(0), "falscher Befehl     ");
  EXPECT_EQ(zeile(3), kLeer);
  EXPECT_EQ(NextBefp, stelle("V3=3"));
}

TEST_F(KanalTest, ErrorReportInTheFirstLineCutsLongLines) {
  const std::string lang = "GQ 345678901234567890123456";
  lade(lang + "\nV7=1\nV1=1\n");
  ASSERT_EQ(schritt(), 19);
  fake.display.clear();
  reportError(19);
  EXPECT_EQ(fake.display, std::string(80, ' ') + "falscher Befehl" + lang.substr(0, 21) + "V7=1");
  EXPECT_EQ(NextBefp, stelle("V1=1"));

  reportError(99);  // no such code: no message
  EXPECT_EQ(zeile(0), kLeer);
}

}  // namespace
