// Store images and key presses through the public controller header.
#include <cstdint>
#include <cstring>

#include "core/programme.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "support/vela_test.h"
#include "vela_steuerung.h"

namespace {

using namespace vela;
using SpeicherBildTest = VelaTest;

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
  EXPECT_EQ(findProgramm("AB", SPEICHER_FLASH), FlashArea + 7);
  EXPECT_EQ(findProgramm("E", SPEICHER_EEPROM), EepromArea + 6);
  EXPECT_EQ(EepromArea[SPEICHER_GROESSE], '\0');  // the guard stays

  flashSchreibeWort(FlashArea + 12, 0x3231);
  uint8_t aus[SPEICHER_GROESSE];
  ASSERT_TRUE(leseSpeicherBild(SPEICHER_FLASH, aus));
  flash[12] = '1';
  flash[13] = '2';
  EXPECT_EQ(std::memcmp(aus, flash, sizeof aus), 0);
  ASSERT_TRUE(leseSpeicherBild(SPEICHER_EEPROM, aus));
  EXPECT_EQ(std::memcmp(aus, eeprom, sizeof aus), 0);

  std::memset(aus, 0x55, sizeof aus);
  EXPECT_FALSE(setzeSpeicherBild(SPEICHER_RAM, aus));
  EXPECT_FALSE(leseSpeicherBild('X', aus));
  EXPECT_EQ(aus[0], 0x55);
  EXPECT_EQ(Programm[0], '\0');
}

TEST_F(SpeicherBildTest, KeyPressSetsTheKeypadStateOnceTheLastKeyIsTaken) {
  TasteGedrueckt = 0;
  EXPECT_TRUE(meldeTaste(11));
  EXPECT_EQ(TastenIndex, 11);
  EXPECT_EQ(TastenCodes[11], 11);
  EXPECT_EQ(TasteGedrueckt, 1);
  EXPECT_FALSE(meldeTaste(4));  // 11 still waits
  EXPECT_EQ(TastenIndex, 11);

  TasteGedrueckt = 0;
  EXPECT_FALSE(meldeTaste(KEINE_TASTE));  // not a key
  EXPECT_FALSE(meldeTaste(200));
  EXPECT_EQ(TasteGedrueckt, 0);
  EXPECT_TRUE(meldeTaste(0));
  EXPECT_EQ(TastenIndex, 0);
}

}  // namespace
