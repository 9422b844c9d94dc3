// Tick waits, output routing and display primitives; store images and key
// presses through the public controller header.
#include "platform/plattform.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/programme.h"
#include "platform/anzeige.h"
#include "platform/kanal.h"
#include "platform/speicher.h"
#include "support/fake_geraete.h"
#include "vela_steuerung.h"

namespace {

using namespace vela;
using KanalTest = MaschinenTest;
using SpeicherBildTest = VelaTest;

const std::string kLeer(20, ' ');

TEST_F(KanalTest, WaitsAreCorrectAcrossTheTickWrap) {
  Ticks = 0xFFFFFFF0u;
  delayTicks(32);
  EXPECT_EQ(fake.letzterTick, 0x10u);
  Ticks = 0xFFFFFFF0u;  // nothing ever arrives
  char c = 'q';
  EXPECT_FALSE(readHostCharTimeout(c, 32));
  EXPECT_EQ(fake.letzterTick, 0x10u);
  EXPECT_EQ(c, 'q');

  Ticks = 0xFFFFFFFEu;
  std::string folge;
  for (int i = 0; i < 4; ++i) folge += timeoutElapsed(4) ? '1' : '0';
  EXPECT_EQ(folge, "0001");  // armed at 0xFFFFFFFE, true four ticks on, at 2
  EXPECT_EQ(TimerLaeuft, 0);

  fake.tickLesungen = 0;
  delayTicks(0);
  EXPECT_EQ(fake.tickLesungen, 2);
  EXPECT_TRUE(timeoutElapsed(0));
}

TEST_F(KanalTest, OutputRoutingAndDisplay) {
  putText("Yes\nno", 3);
  AusgabeZiel = 1;
  putText("ab", 10);
  AusgabeZiel = 0;
  putChar('\xff');
  EXPECT_EQ(fake.host + "|" + fake.display, "Yes\xff|ab");
  for (uint8_t code : {3, 12, 1}) displayCmd(code);
  EXPECT_EQ(fake.befehle, (std::vector<uint8_t>{3, 12, 1}));
  EXPECT_EQ(std::tuple(DisplayInhalt.an, DisplayInhalt.cursorSichtbar), std::tuple(1, 0));

  fake.host.clear();
  displayTwoLines("123456789012345678901234", "abcdef", 24);  // no wrap past column 19
  displayLine(3, "12345678901234567890", 20);
  displayLine(3, "Weiter?", 20);  // the rest of the row stays
  displayLine(1, "XYZ", 2);
  displayLine(7, "weg", 20);  // no such row
  displayLine(2, "", 20);     // nothing written, position still set
  EXPECT_EQ(CursorZeile, 2);
  EXPECT_EQ(fake.host, std::string(7, ' '));  // one space per displayGoto to column 0
  AusgabeZiel = 1;  // the space goes to the display; the text still starts at column 0
  displayLine(0, "ab", 20);
  AusgabeZiel = 0;
  EXPECT_EQ(zeile(0) + "|" + zeile(1) + "|" + zeile(2) + "|" + zeile(3),
            "ab345678901234567890|XYcdef              |" + kLeer + "|Weiter?8901234567890");
}

TEST_F(SpeicherBildTest, ImagesGoInAndComeOutByteForByte) {
  uint8_t flash[SPEICHER_GROESSE];
  std::memset(flash, 0xFF, sizeof flash);
  const char text[] = "PROGAB\rX1\r";  // with its NUL
  std::memcpy(flash, text, sizeof text);
  uint8_t eeprom[SPEICHER_GROESSE] = {};
  std::memcpy(eeprom, "PROGE\rY2\r", 9);
  eeprom[SPEICHER_GROESSE - 1] = 0x7E;  // the last byte belongs to the image

  ASSERT_TRUE(setzeSpeicherBild(SPEICHER_FLASH, flash));
  ASSERT_TRUE(setzeSpeicherBild(SPEICHER_EEPROM, eeprom));
  EXPECT_EQ(std::tuple(findProgramm("AB", SPEICHER_FLASH), findProgramm("E", SPEICHER_EEPROM)),
            std::tuple(FlashArea + 7, EepromArea + 6));
  EXPECT_EQ(EepromArea[SPEICHER_GROESSE], '\0');  // the guard stays

  flashSchreibeWort(FlashArea + 12, 0x3231);
  uint8_t aus[SPEICHER_GROESSE];
  ASSERT_TRUE(leseSpeicherBild(SPEICHER_FLASH, aus));
  std::memcpy(flash + 12, "12", 2);
  EXPECT_EQ(std::memcmp(aus, flash, sizeof aus), 0);
  ASSERT_TRUE(leseSpeicherBild(SPEICHER_EEPROM, aus));
  EXPECT_EQ(std::memcmp(aus, eeprom, sizeof aus), 0);

  std::memset(aus, 0x55, sizeof aus);
  EXPECT_FALSE(setzeSpeicherBild(SPEICHER_RAM, aus) || leseSpeicherBild('X', aus));
  EXPECT_EQ(std::tuple(aus[0], Programm[0]), std::tuple(0x55, '\0'));
}

TEST_F(SpeicherBildTest, KeyPressSetsTheKeypadStateOnceTheLastKeyIsTaken) {
  TasteGedrueckt = 0;
  EXPECT_TRUE(meldeTaste(11));
  EXPECT_FALSE(meldeTaste(4));  // 11 still waits
  EXPECT_EQ(std::tuple(TastenIndex, TastenCodes[11], TasteGedrueckt), std::tuple(11, 11, 1));
  TasteGedrueckt = 0;
  EXPECT_FALSE(meldeTaste(KEINE_TASTE) || meldeTaste(200));  // not keys
  EXPECT_EQ(TasteGedrueckt, 0);
  EXPECT_TRUE(meldeTaste(0));
  EXPECT_EQ(TastenIndex, 0);
}

}  // namespace
