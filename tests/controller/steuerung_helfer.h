// A running `vela controller --pty` for the end-to-end tests, its display
// log, and the client commands against it.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controller/prozess.h"
#include "support/temp_verzeichnis.h"

namespace testpty {

using Zeilen = std::array<std::string, 4>;

std::vector<Zeilen> leseAnzeigeLog(const std::string &pfad);
// Waits until an entry of the log satisfies the condition; true then.
bool warteAufAnzeige(const std::string &log, const std::function<bool(const Zeilen &)> &bedingung,
                     Sekunden frist = 30s);
// Row text padded to the 20 columns of the display.
std::string zeile(const std::string &text);

// The marker request a host sends after its bytes, and the reply to it.
inline const std::string kMarkenAnfrage = "@PPz\n";
inline const std::string kMarke = "N Programm z nicht gefunden\rN";
// A store image: the text, then the filler up to 200 bytes.
inline std::string bild(const std::string &text, char fueller) {
  return text + std::string(200 - text.size(), fueller);
}

class Steuerung {
 public:
  // Starts a controller on a new pseudo-terminal with 10 us ticks (unless
  // `mehr` gives --tick-us).
  Steuerung(const std::string &ablage, const std::string &log, int stdinFd = -1,
            const std::vector<std::string> &mehr = {});
  // Ends it with the signal; its exit status.
  int beende(int sig);
  const std::string &pfad() const { return pfad_; }
  Vela &prozess() { return *prozess_; }

 private:
  std::unique_ptr<Vela> prozess_;
  std::string pfad_;
};

// A client command against the line with the state file.
inline Aufruf klient(const std::string &leitung, const std::string &zustand,
                     std::vector<std::string> argumente) {
  argumente.insert(argumente.end(), {"--line", leitung, "--state", zustand});
  return vela(argumente);
}

// A test with its own directory and state file; a controller it started
// must end with status 0 on SIGTERM.
class SteuerungsTest : public ::testing::Test {
 protected:
  TempVerzeichnis dir;
  const std::string ablage = dir.datei("ablage");
  const std::string zustand = dir.datei("zustand");
  std::unique_ptr<Steuerung> steuerung;

  // The store directory with these images.
  void setzeBilder(const std::string &flash, const std::string &eeprom) {
    std::filesystem::create_directories(ablage);
    schreibeDatei(ablage + "/flash.bin", flash);
    schreibeDatei(ablage + "/eeprom.bin", eeprom);
  }

  // Writes the file into the directory and returns its path.
  std::string datei(const std::string &name, const std::string &inhalt) {
    return schreibeDatei(dir.datei(name), inhalt);
  }
  Aufruf k(const std::vector<std::string> &a) { return klient(steuerung->pfad(), zustand, a); }
  void TearDown() override {
    if (steuerung) {
      EXPECT_EQ(steuerung->beende(SIGTERM), 0);
    }
  }
};

}  // namespace testpty
