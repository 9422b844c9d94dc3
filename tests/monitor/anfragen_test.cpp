// Host requests that read the stores: listing, dump, program transfer,
// and the dispatcher's results, against the fake devices.
#include "monitor/anfragen.h"

#include <string>

#include "core/zustand.h"
#include "platform/speicher.h"
#include "support/ablagen.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using AnfragenTest = MaschinenTest;
using namespace std::string_literals;

struct Fall {
  std::string ram, eeprom, flash;  // store contents ('\n' is CR)
  std::string eingabe;             // the request on the host line
  std::string host;                // everything the request sends
  uint8_t ergebnis;
};

void pruefe(const Fall &f) {
  bindeFakes();
  ramText(f.ram);
  eepromText(f.eeprom);
  flashBytes(f.flash);
  fake.eingabe = f.eingabe;
  EXPECT_EQ(hostRequest(), f.ergebnis) << f.eingabe;
  EXPECT_EQ(fake.host, f.host) << f.eingabe;
}

TEST_F(AnfragenTest, ListingAndDump) {
  const std::string zwei = "PROGA\nX1\nPROGB\nY1\n";
  const std::string flash = "PROG1\nX1\n\0X9\n\0PROG2\n\0"s;
  const Fall faelle[] = {
      {zwei, "", "", "L", "E\rF\rR\rPROGA\rPROGB\r", 0},
      {"X1\nPROGB\nY\n", "PROG7\n", flash, "L", "E\rPROG7\rF\rPROG1\rPROG2\rR\rPROGB\r", 0},
      {"PROGA\nPROGB", "", "", "L", "E\rF\rR\rPROGA\rPROGB\r", 0},  // a header without a body, one without CR
      {"", "", "", "AF", "***** FLASH *****\r", 0},
      {"", "", flash, "AF", "***** FLASH *****\rPROG1\rX1\rX9\rPROG2\r", 0},  // NUL bytes left out
      {zwei, "PROG7\nX\n", "", "AE", "***** EEPROM *****\rPROG7\rX\r", 0},
      {zwei, "", "", "AR", "***** RAM *****\r" + std::string("PROGA\rX1\rPROGB\rY1\r"), 0},
      {zwei, "", "", "AX", "***** RAM *****\r", 0},
      {zwei, "", "", "A", "", 1},   // no store letter
      {zwei, "", "", "", "", 'F'},  // no request letter
      {zwei, "", "", "Z", "", 0},
  };
  for (const Fall &f : faelle) pruefe(f);
  // A FLASH dump waits a tick after every byte, a dump 1100 ticks at its end.
  bindeFakes();
  flashBytes("AB\0"s);
  fake.eingabe = "AF";
  hostRequest();
  EXPECT_GE(fake.tickLesungen, 3 + 1100);
  EXPECT_LT(fake.tickLesungen, 3 * 2 + 1100 + 10);
}

TEST_F(AnfragenTest, SendingOneProgram) {
  const std::string zwei = "PROGA\nX1\nPROGB\nY1\n";
  const Fall faelle[] = {
      {zwei, "", "", "PA\n", "RX1", 0},                           // without the CR before the next header
      {zwei, "", "", "PB\n", "RY1", 0},                           // without the text's last character
      {zwei, "PROGB\nZ2\n", "PROGB\nW3\n\0"s, "PB\n", "FW3", 0},  // FLASH first, then EEPROM
      {zwei, "PROGB\nZ2\nPROGC\n", "", "PB\n", "EZ2", 0},
      {"PROGA\n", "", "", "PA\n", "R\0"s, 0},  // an empty body: its NUL is sent
      {zwei, "", "", "PQ\n", "N Programm Q nicht gefunden\rN", 4},
      {zwei, "", "", "PA\r\n", "N Programm A\r nicht gefunden\rN", 4},  // the CR is part of the name
      {zwei, "", "", "P\n", "N", 2},
      {zwei, "", "", "P", "N", 2},
      {"PROGABCDE\nX\n", "", "", "PABCDEF\n", "RX", 0},  // five characters, the rest stays
  };
  for (const Fall &f : faelle) pruefe(f);
  EXPECT_EQ(fake.eingabe.substr(fake.gelesen), "F\n");
  pruefe({zwei, "", "", "PA\nLX", "RX1", 0});  // the LF ends the name
  EXPECT_EQ(fake.eingabe.substr(fake.gelesen), "LX");
}

}  // namespace
