// Scenarios of the controller monitor: monitorMain against the fake devices
// with switch devices and the motor fake, ended by the fake's stop request.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "support/ablagen.h"
#include "support/fake_geraete.h"
#include "support/fake_motoren.h"
#include "vela_steuerung.h"

// The display's four rows.
inline std::vector<std::string> anzeige() { return {zeile(0), zeile(1), zeile(2), zeile(3)}; }

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
  static void flashProgramme(std::string texte) {
    std::replace(texte.begin(), texte.end(), '|', '\0');
    flashBytes(texte + '\0');
  }
};
