// In-memory devices for tests: scripted inputs, captured outputs, a tick
// counter that advances on every read, recorded switch and store writes
// with injectable failures, and a stop request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/anzeige.h"
#include "support/vela_test.h"

struct FakeGeraete {
  std::string eingabe;                // host input, read one character per poll; then it has ended
  std::size_t gelesen = 0;            // characters of eingabe already read
  std::function<bool()> eingabeWenn;  // set: no character arrives before this holds
  std::string host;                   // everything written to the host line
  std::string display;                // everything written to the display stream
  std::vector<uint8_t> befehle;       // display command bytes
  uint32_t letzterTick = 0;           // value returned by the last tick read
  long tickLesungen = 0;              // tick reads so far
  std::vector<uint8_t> tasten;        // keypad codes, one per read; then 0xFF
  std::size_t tastenGelesen = 0;
  vela::Anzeige *anzeige = &vela::DisplayInhalt;  // the display model the display writes go to

  // Download stream, opened once per download.
  std::string lade;
  std::size_t ladeGelesen = 0;
  int ladeOeffnungen = 0;         // opens so far
  bool ladeOeffnenFehlt = false;  // true: the stream cannot be opened
  bool ladeOffen = false;
  std::size_t ladePauseAb = std::string::npos;  // at this byte the stream is silent ...
  int ladePause = 0;                            // ... for this many reads

  // Switch devices (bindeFakes(true)): inputs by number (missing: open, 1).
  std::vector<uint8_t> schalterEin = std::vector<uint8_t>(64, 1);
  std::vector<std::pair<uint8_t, uint8_t>> schalterAus;  // (number, value) in order

  // Store writes in order: "F@off=XXXX" for a FLASH word (hex, low byte at
  // off), "L@off" for a FLASH erase, "E@off=XX" for an EEPROM byte, "P@off"
  // for an EEPROM read-back, "fertig X" for a completed store operation.
  std::vector<std::string> speicher;
  std::vector<std::size_t> hostBeiFertig;  // bytes on the host line at each completed store operation
  int flashFehlerAb = -1;      // the n-th FLASH word write (0-based) and all later ones fail; -1 none
  int flashWorte = 0;          // FLASH word writes so far
  bool loeschenFehlt = false;  // the FLASH erase reports a failure
  int eepromVerzoegerung = 0;  // read-backs that still show the old byte after each EEPROM write
  // The EEPROM byte written last, its old value, and the read-backs that
  // will still show that.
  const char *eepromOffen = nullptr;
  char eepromAlt = 0;
  int eepromNochAlt = 0;

  long leerlaeufe = 0;                // rounds of wait and poll loops
  long beendenNach = -1;              // the stop request is made after this many rounds; -1 never
  std::function<bool()> beendenWenn;  // the stop request is made once this holds
  void (*imLeerlauf)() = nullptr;     // runs in every round (the motor fake)

  // TastenIndex values pressed by the rounds whenever no key waits.
  std::vector<uint8_t> gedrueckt;
  std::size_t gedruecktGenommen = 0;

  std::size_t hostBeiLadeEnde = 0;  // size of host when the download stream was last closed
  std::string hostNachLaden() const { return host.substr(hostBeiLadeEnde); }
};

// The devices of the running test (the binding's context).
extern FakeGeraete fake;

// Binds the fakes (and resets them); without schalter the switches use the
// console protocol on the host line.
void bindeFakes(bool schalter = false);

// Row r of the display model, 20 characters.
std::string zeile(int r);

class MaschinenTest : public VelaTest {
 protected:
  void SetUp() override {
    VelaTest::SetUp();
    bindeFakes();
  }
};
