// Scenarios of the controller monitor: monitorMain against the fake devices
// with switch devices and the motor fake, ended by the fake's stop request.
#pragma once

#include <string>

#include "platform/speicher.h"
#include "support/fake_geraete.h"
#include "support/fake_motoren.h"
#include "vela_steuerung.h"

class MonitorTest : public MaschinenTest {
 protected:
  // Host output of the start-up: one space per banner row placed.
  static constexpr const char *kStartHost = "    ";

  void SetUp() override {
    MaschinenTest::SetUp();
    frisch();
  }

  // The library as loaded, with the fakes and the motors bound.
  static void frisch() {
    vela_reset();
    bindeFakes(true);
    bindeMotoren();
    fake.beendenNach = 200000;  // a scenario that never ends on its own still ends
  }

  // Appends a download: options, the text ('\n' as CR) and '$'.
  static void ladeStrom(const std::string &optionen, const std::string &text) {
    fake.lade += optionen + mitCr(text) + "$";
  }
  // Programs in FLASH ('|' between two texts).
  static void flashProgramme(const std::string &texte) {
    std::string t = mitCr(texte);
    for (char &c : t)
      if (c == '|') c = '\0';
    for (std::size_t i = 0; i < t.size() && i < vela::kBereichGroesse - 1; ++i) vela::FlashStart[i] = t[i];
    vela::FlashStart[t.size()] = '\0';
  }
  static std::string mitCr(std::string t) {
    for (char &c : t)
      if (c == '\n') c = '\r';
    return t;
  }
};
