// Keypad and console operations of the monitor and the line echo.
#include "monitor/tastatur.h"

#include <string>
#include <tuple>
#include <vector>

#include "platform/kanal.h"
#include "platform/plattform.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using TastaturTest = MaschinenTest;

TEST_F(TastaturTest, KeypadStateIsReadOnlyWhenOnAndAKeyWaits) {
  TastenCodes[4] = 9;
  TastenIndex = 4;
  struct Fall {
    uint8_t an, gedrueckt, ergebnis, code;
  };
  for (const Fall &f : {Fall{1, 0x80, 0x80, 9}, Fall{0, 0x80, 0, 0}, Fall{1, 0, 0, 0}}) {
    setTastaturAn(f.an);
    TasteGedrueckt = f.gedrueckt;
    uint8_t code = 77;
    EXPECT_EQ(readTastatur(code), f.ergebnis);
    EXPECT_EQ(code, f.code);
  }
}

TEST_F(TastaturTest, ConsoleKeysAndTheFinishedQuestion) {
  fake.eingabe = "07c\r\nx";
  std::vector<int> codes;
  for (int i = 0; i < 6; ++i) codes.push_back(readKonsolenTaste());
  EXPECT_EQ(codes, (std::vector<int>{0, 7, 10, 11, 11, 17}));
  fake.beendenNach = 5;  // input ended: the wait ends on the stop request
  EXPECT_EQ(readKonsolenTaste(), 17);

  bindeFakes();
  fake.eingabe = "1\r0";
  EXPECT_EQ(askFertig(), '1');
  EXPECT_EQ(fake.host, "Bitte Eingabe 1 f\xC3\xBCr fertig,sonst 0:");
  EXPECT_EQ(fake.gelesen, 2u);
}

// A key is returned on release, or again each time it has been held for
// TastenWiederholung polls, which shortens by 767 down to 1791.
TEST_F(TastaturTest, KeyRepeatShortensWhileHeld) {
  fake.tasten = {17, 17, 5, 5, 5, 17};
  EXPECT_EQ(readTasteRepeat(), 5);
  EXPECT_EQ(fake.tastenGelesen, 6u);
  EXPECT_EQ(TastenWiederholung, kWiederholungStart);

  for (const auto &[vorher, nachher] :
       {std::pair{8191, 7424}, std::pair{2055, 1791}, std::pair{1791, 1791}}) {
    bindeFakes();
    TastenWiederholung = vorher;
    fake.tasten.assign(static_cast<std::size_t>(vorher) + 1, 3);  // the key, then held
    EXPECT_EQ(readTasteRepeat(), 3);
    EXPECT_EQ(fake.tastenGelesen, fake.tasten.size());
    EXPECT_EQ(TastenWiederholung, nachher);
  }
  bindeFakes();
  EXPECT_EQ(readTasteRepeat(), 17);  // the keypad has ended
  bindePlattform(konsolPlattform());
  EXPECT_EQ(readTasteRepeat(), 17);  // no keypad
}

}  // namespace
