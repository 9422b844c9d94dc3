// Saving, deleting and erasing: replies, stores and device calls in order.
#include "monitor/speichern.h"

#include <string>
#include <vector>

#include "monitor/anfragen.h"
#include "platform/speicher.h"
#include "support/ablagen.h"
#include "support/fake_geraete.h"
#include "vela.h"

namespace {

using namespace vela;
using SpeichernTest = MaschinenTest;
using namespace std::string_literals;
using Liste = std::vector<std::string>;

// Host request on prepared stores; the store letter or name follows.
uint8_t anfrage(const std::string &eingabe) {
  fake.eingabe = eingabe;
  fake.gelesen = 0;
  fake.host.clear();
  fake.speicher.clear();
  fake.hostBeiFertig.clear();
  return hostRequest();
}

const std::string kFrei(4, '\xFF');

TEST_F(SpeichernTest, SavingIntoFlashWordByWord) {
  // Two named programs: each with its final line end and a NUL, appended.
  flashBytes("");
  ramText("PROGA\nX1\nPROGB\nY2\n");
  EXPECT_EQ(anfrage("F"), 'F');
  EXPECT_EQ(fake.host, "YY");
  EXPECT_EQ(flashInhalt(24), "PROGA\rX1\r\0PROGB\rY2\r\0"s + kFrei);
  EXPECT_EQ(fake.speicher, (Liste{"F@0=5250", "F@2=474F", "F@4=0D41", "F@6=3158", "F@8=000D", "F@10=5250",
                                  "F@12=474F", "F@14=0D42", "F@16=3259", "F@18=000D", "fertig F"}));
  EXPECT_EQ(Programm[0], '\0');                           // saved: the RAM store is emptied
  EXPECT_EQ(fake.hostBeiFertig, std::vector<size_t>{1});  // durable before the reply

  // A NUL on an even byte goes with 0xFF; the next save reads it back.
  flashBytes("");
  ramText("PROG1\nX\n");
  anfrage("F");
  ramText("PROG2\nY\n");
  anfrage("F");
  EXPECT_EQ(fake.speicher,
            (Liste{"F@8=5000", "F@10=4F52", "F@12=3247", "F@14=590D", "F@16=000D", "fertig F"}));
  EXPECT_EQ(flashInhalt(20), "PROG1\rX\r\0PROG2\rY\r\0"s + kFrei.substr(0, 2));

  // An unnamed text goes to an empty FLASH store as it is.
  flashBytes("");
  ramText("X1\n");
  anfrage("F");
  EXPECT_EQ(fake.host, "YY");
  EXPECT_EQ(fake.speicher, (Liste{"F@0=3158", "F@2=000D", "fertig F"}));
}

TEST_F(SpeichernTest, SavesThatAreRefused) {
  struct Fall {
    std::string ram, flash, eeprom;
    char speicher;
    std::string host;
    Liste geraete;
  } faelle[] = {
      {"PROG1\nX\n", "PROG1\nZ\n\0"s, "", 'F', "YF", {}},  // the name is in FLASH
      {"PROGA\nX\nPROG1\nY\n",
       "PROG1\nZ\n\0"s,
       "",
       'F',
       "YF",  // the programs before it are saved
       {"F@8=5000", "F@10=4F52", "F@12=4147", "F@14=580D", "F@16=000D", "fertig F"}},
      {"X1\n", "PROG1\n\0"s, "", 'F', "YN", {}},  // unnamed into a FLASH store in use
      {"X1\nPROG2\n", "", "", 'F', "YN", {}},     // unnamed with a header further on
      {"", "", "", 'F', "YN", {}},                // an empty RAM store: nothing to save
      {"PROGA\nX\n", "", "", 'E', "N", {}},       // EEPROM is not offered
      {"PROGA\n" + std::string(187, 'X'), "PROG1\n\0"s, "", 'F', "YN", {}},  // no room for its NUL
  };
  for (const Fall &f : faelle) {
    bindeFakes();
    ramText(f.ram);
    flashBytes(f.flash);
    eepromText(f.eeprom);
    const std::string vorher = ramInhalt(static_cast<int>(f.ram.size()) + 1);
    EXPECT_EQ(anfrage(std::string(1, f.speicher)), f.speicher) << f.ram;
    EXPECT_EQ(fake.host, f.host) << f.ram;
    EXPECT_EQ(fake.speicher, f.geraete) << f.ram;
    EXPECT_EQ(ramInhalt(static_cast<int>(f.ram.size()) + 1), vorher) << f.ram;
  }
  // A failed word write ends the save with "N"; what was written stays.
  bindeFakes();
  flashBytes("");
  ramText("PROGA\nX1\n");
  fake.flashFehlerAb = 2;
  EXPECT_EQ(saveToStore('F'), 1);
  EXPECT_EQ(fake.host, "YN");
  EXPECT_EQ(fake.speicher, (Liste{"F@0=5250", "F@2=474F", "fertig F"}));
  EXPECT_EQ(flashInhalt(5), "PROG\xFF");
  // The largest program that fits ends with its NUL on the last byte.
  bindeFakes();
  flashBytes("");
  ramText("PROGA\n" + std::string(193, 'X'));
  EXPECT_EQ(saveToStore('F'), 0);
  EXPECT_EQ(flashInhalt(kBereichGroesse + 2), "PROGA\r" + std::string(193, 'X') + "\0\0\xFF"s);
}

TEST_F(SpeichernTest, DeletingMovesTheRestDown) {
  struct Fall {
    std::string eeprom, ram, flash, name;
    std::string host, eepromDanach, ramDanach;
    Liste geraete;
  } faelle[] = {
      {"PROGA\nX\n", "", "", "A\n", "YY", "\0ROGA\rX\r\0"s, "\0"s, {"E@0=00", "P@0", "fertig E"}},
      {"PROGA\nX\nPROGB\nY\n", "", "", "B\n", "YY", "PROGA\rX\r\0"s, "\0"s, {"E@8=00", "P@8", "fertig E"}},
      {"", "PROGA\nX\nPROGB\nY\n", "", "A\n", "YY", "\0"s, "PROGB\rY\r\0"s, {"fertig R"}},
      {"", "", "PROGA\n\0"s, "A\n", "YF", "\0"s, "\0"s, {}},
      {"PROGA\n", "", "", "B\n", "YN", "PROGA\r\0"s, "\0"s, {}},
      {"PROGA\n", "", "", "\n", "N", "PROGA\r\0"s, "\0"s, {}},
  };
  for (const Fall &f : faelle) {
    bindeFakes();
    eepromText(f.eeprom);
    ramText(f.ram);
    flashBytes(f.flash);
    EXPECT_EQ(anfrage("C" + f.name), f.name == "\n" ? 2 : 'C') << f.eeprom;
    EXPECT_EQ(fake.host, f.host) << f.eeprom;
    EXPECT_EQ(eepromInhalt(static_cast<int>(f.eepromDanach.size())), f.eepromDanach) << f.eeprom;
    EXPECT_EQ(ramInhalt(static_cast<int>(f.ramDanach.size())), f.ramDanach) << f.eeprom;
    EXPECT_EQ(fake.speicher, f.geraete) << f.eeprom;
    // Durable after the "Y" that accepts the request, before the reply.
    EXPECT_EQ(fake.hostBeiFertig, f.geraete.empty() ? std::vector<size_t>{} : std::vector<size_t>{1})
        << f.eeprom;
  }
}

TEST_F(SpeichernTest, EepromPollsAtBlockBoundariesAndAfterTheLast) {
  // B (10..109) moves down to 0: the writes at 63 and 99 (the NUL) wait,
  // three reads each on a slow device.
  std::string zeile;
  for (int i = 0; i < 92; ++i) zeile += static_cast<char>('A' + i % 26);
  const std::string b = "PROGB\n" + zeile + "\n";
  eepromText("PROGA\nXX\n" + b + "\0"s);
  fake.eepromVerzoegerung = 2;
  EXPECT_EQ(deleteFromEeprom("A"), 'Y');
  Liste polls;
  for (const std::string &s : fake.speicher)
    if (s[0] == 'P' || s[0] == 'f') polls.push_back(s);
  EXPECT_EQ(polls, (Liste{"P@63", "P@63", "P@63", "P@99", "P@99", "P@99", "fertig E"}));
  EXPECT_EQ(fake.speicher.size(), 100u + 6 + 1);
  EXPECT_EQ(eepromInhalt(100), "PROGB\r" + zeile + "\r\0"s);

  // A device that never completes holds the delete only until a stop request.
  bindeFakes();
  eepromText("PROGA\n");
  fake.eepromVerzoegerung = 1 << 30;
  fake.beendenNach = 5;
  EXPECT_EQ(deleteFromEeprom("A"), 'Y');
  EXPECT_EQ(fake.leerlaeufe, 5);
}

// An erase (end to end in tests/controller) only from the store's first
// byte; an odd byte after a final one reads its partner back; bytes
// outside the store are refused.
TEST_F(SpeichernTest, FlashBytesOutsideTheStoreAreRefused) {
  EXPECT_NE(flashErase(FlashStart + 2), 0);
  flashBytes("ABC");  // as a store may hold it at start-up
  EXPECT_EQ(flashWriteByte('D', FlashStart + 3, false), 0);
  EXPECT_EQ(fake.speicher, Liste{"F@2=4443"});
  fake.speicher.clear();
  EXPECT_NE(flashWriteByte('X', FlashStart + kBereichGroesse, true), 0);
  EXPECT_NE(flashWriteByte('X', FlashStart - 1, false), 0);
  const char wort[2] = {'A', 'B'};
  EXPECT_NE(flashWriteWord(FlashStart + kBereichGroesse - 1, wort, 1), 0);
  EXPECT_TRUE(fake.speicher.empty());
}

}  // namespace
