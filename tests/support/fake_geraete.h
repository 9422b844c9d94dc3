// In-memory devices for tests: scripted host input, captured host and
// display output, a tick counter that advances by one on every read, and a
// scripted keypad. MaschinenTest binds them after the library reset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/anzeige.h"
#include "support/vela_test.h"

struct FakeGeraete {
  std::string eingabe;           // host input, read one character per poll; then it has ended
  std::size_t gelesen = 0;       // characters of eingabe already read
  uint32_t eingabeAb = 0;        // no character arrives before this tick
  std::string host;              // everything written to the host line
  std::string display;           // everything written to the display stream
  std::vector<uint8_t> befehle;  // display command bytes
  uint32_t letzterTick = 0;      // value returned by the last tick read
  long tickLesungen = 0;         // tick reads so far
  std::vector<uint8_t> tasten;   // keypad codes, one per read; then 0xFF
  std::size_t tastenGelesen = 0;
};

// The devices of the running test.
extern FakeGeraete fake;

// Binds the fakes (and resets them).
void bindeFakes();

// Row r of the display model, 20 characters.
std::string zeile(int r);

class MaschinenTest : public VelaTest {
 protected:
  void SetUp() override {
    VelaTest::SetUp();
    bindeFakes();
  }
};
