// A chaos host against a real `vela controller` (fixed seed): random bytes,
// truncated, oversized and wrongly summed downloads, requests inside a text,
// hang-ups and killed clients, with clean saves and erases now and then.
// After every round a clean send and list succeed, and the image files hold
// what the last save put there. VELA_CHAOS_RUNDEN (default 100) or
// VELA_CHAOS_SEKUNDEN sets the length; the figures go to stdout.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

#include "controller/steuerung_helfer.h"
#include "leitung.h"

namespace {

using namespace testpty;
using Uhr = std::chrono::steady_clock;

// Bytes that may follow an '@' in the random damage: none that erases,
// saves or deletes (L, P), and no Q, whose line acknowledgements a client
// that did not ask for them takes for its answer.
char ohneSpeicherBefehl(char c) { return c == 'L' || c == 'P' || c == 'Q' ? 'X' : c; }

class Chaos : public SteuerungsTest {
 protected:
  std::mt19937 zufall{19191919};

  int zahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(zufall); }
  std::string zufallsBytes(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
      const char c = static_cast<char>(zahl(0, 255));
      s += !s.empty() && s.back() == '@' ? ohneSpeicherBefehl(c) : c;
    }
    return s;
  }
  std::string programm(int zeilen) {
    std::string t;
    for (int i = 0; i < zeilen; ++i) t += "V" + std::to_string(zahl(0, 299)) + "=" + std::to_string(i) + "\r";
    return t;
  }
  Aufruf k(std::vector<std::string> a) {
    a.insert(a.end(), {"--wait-idle", "--timeout", "10"});
    return SteuerungsTest::k(a);
  }

  // One piece of damage, written by a host that opens the line, writes and
  // hangs up.
  void schade() {
    std::string b;
    switch (zahl(0, 7)) {
      case 0: b = zufallsBytes(zahl(1, 300)); break;
      case 1: b = "@A" + programm(zahl(1, 5)).substr(0, static_cast<std::size_t>(zahl(0, 30))); break;
      case 2: b = "@A" + programm(1500) + "$"; break;  // larger than the store
      case 3: b = "@C" + programm(3) + "$" + zufallsBytes(4); break;
      case 4: b = "@A" + programm(2) + "@PPz\n@PL" + programm(1) + (zahl(0, 1) ? "\r$" : ""); break;
      case 5: b = "@C" + programm(2500) + "$" + zufallsBytes(zahl(0, 4)); break;
      case 6: {
        // A client killed with SIGKILL while it talks to the controller.
        Vela v({"send", datei("k.vela", "V1=1\nW 100000000\n"), "--line", steuerung->pfad(), "--state",
                zustand});
        std::this_thread::sleep_for(std::chrono::microseconds(zahl(0, 50000)));
        v.signal(SIGKILL);
        v.warte();
        return;
      }
      default: b = programm(zahl(1, 3)) + zufallsBytes(zahl(0, 20)); break;
    }
    velatool::Verbindung leitung(velatool::oeffneLeitung(steuerung->pfad(), 0));
    schreibe(leitung, b.substr(0, static_cast<std::size_t>(zahl(1, static_cast<int>(b.size())))));
  }
};

TEST_F(Chaos, TheControllerSurvivesARandomHost) {
  std::string flash(200, '\xFF');
  std::string eeprom = bild("PROGEE\rV7=7\r", '\0');
  setzeBilder(flash, eeprom);
  steuerung = std::make_unique<Steuerung>(ablage, dir.datei("log"), -1,
                                          std::vector<std::string>{"--download-timeout", "0.6"});

  const char *r = std::getenv("VELA_CHAOS_RUNDEN");
  const char *s = std::getenv("VELA_CHAOS_SEKUNDEN");
  const int runden = r != nullptr ? std::atoi(r) : 100;
  const auto dauer = std::chrono::seconds(s != nullptr ? std::atoi(s) : 0);
  const auto start = Uhr::now();
  const std::string sauber = datei("p.vela", "V1=1\nW 100000000\n");
  int n = 0, gespeichert = 0;
  for (; s != nullptr ? Uhr::now() - start < dauer : n < runden; ++n) {
    SCOPED_TRACE("round " + std::to_string(n));
    schade();
    if (zahl(0, 9) == 0) {
      // The clean way to change the stores: their files follow it.
      const std::string name = "S" + std::to_string(n % 1000);
      ASSERT_EQ(k({"send", datei("s.vela", "PROG" + name + "\nV2=2\n")}).status, 0);
      const Aufruf a = k({zahl(0, 3) == 0 ? "erase" : "save"});
      ASSERT_NE(a.status, 2) << a.fehler;
      flash = liesDatei(ablage + "/flash.bin");
      eeprom = liesDatei(ablage + "/eeprom.bin");
      gespeichert += a.status == 0;
    }
    const Aufruf a = k({"send", sauber});
    ASSERT_EQ(a.status, 0) << a.fehler;
    const Aufruf l = k({"list"});
    ASSERT_EQ(l.status, 0) << l.fehler;
    ASSERT_NE(l.aus.find("EEPROM  EE\n"), std::string::npos) << l.aus;
    ASSERT_EQ(liesDatei(ablage + "/flash.bin"), flash);
    ASSERT_EQ(liesDatei(ablage + "/eeprom.bin"), eeprom);
  }
  const double sekunden = std::chrono::duration<double>(Uhr::now() - start).count();
  std::cout << "chaos: " << n << " rounds in " << sekunden << " s, " << gespeichert << " saves and erases\n";
}

}  // namespace
