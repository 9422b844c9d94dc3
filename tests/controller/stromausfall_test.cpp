// Power loss during store writes: the controller is killed (SIGKILL) at
// random instants (fixed seed) while it saves, deletes and erases, and
// after every kill each image file must be whole and either the old image
// or the new one; a controller started on the directory then holds exactly
// what the files hold.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "controller/steuerung_helfer.h"
#include "leitung.h"

namespace {

using namespace testpty;
using Uhr = std::chrono::steady_clock;

std::string mitNul(const std::string &s) { return s + '\0'; }

struct Szenario {
  const char *name;
  std::string flashAlt, eepromAlt;
  std::string flashNeu, eepromNeu;
  std::string programm;  // downloaded before the request; empty: none
  std::string anfrage;
};

std::vector<Szenario> szenarien() {
  const std::string eeprom2 = bild("PROGCD\rV3=3\rPROGEF\rV4=4\r", '\0');
  std::string eeprom2Neu = eeprom2;
  eeprom2Neu.replace(0, 13, eeprom2.substr(12, 13));  // PROGEF moved down with its NUL
  std::string eeprom1Neu = bild("PROGAB\rV2=2\r", '\0');
  eeprom1Neu[0] = '\0';
  return {
      // Saving PROGAB into FLASH also deletes PROGAB from EEPROM: two files.
      {"save", std::string(200, '\xFF'), bild("PROGAB\rV2=2\r", '\0'), bild(mitNul("PROGAB\rV1=1\r"), '\xFF'),
       eeprom1Neu, "PROGAB\rV1=1\r$", "@PF"},
      {"delete", bild(mitNul("PROGFL\rV9=9\r"), '\xFF'), eeprom2, bild(mitNul("PROGFL\rV9=9\r"), '\xFF'),
       eeprom2Neu, "", "@PCCD\n"},
      {"erase", bild(mitNul("PROGFL\rV9=9\r") + mitNul("PROGFM\rV8=8\r"), '\xFF'), std::string(200, '\0'),
       std::string(200, '\xFF'), std::string(200, '\0'), "", "@L"},
  };
}

// What a dump shows of an image: FLASH up to its first erased byte without
// the NULs between texts, EEPROM up to its NUL.
std::string dumpVon(char speicher, const std::string &b) {
  std::string d;
  for (char c : b) {
    if (speicher == 'F' && c == '\xFF') break;
    if (speicher == 'E' && c == '\0') break;
    if (c != '\0') d += c;
  }
  return d;
}

class Stromausfall : public SteuerungsTest {
 protected:
  // Starts a controller, downloads the scenario's program and sends its
  // request; returns the controller and the line, and the instant the
  // request went out.
  struct Lauf {
    std::unique_ptr<Steuerung> steuerung;
    std::optional<velatool::Verbindung> leitung;
    Uhr::time_point gesendet;
  };
  std::unique_ptr<Lauf> starte(const Szenario &s) {
    auto l = std::make_unique<Lauf>();
    l->steuerung = std::make_unique<Steuerung>(ablage, dir.datei("log"));
    l->leitung.emplace(velatool::oeffneLeitung(l->steuerung->pfad(), 0));
    if (!s.programm.empty()) {
      schreibe(*l->leitung, s.programm);
      EXPECT_EQ(liesBis(*l->leitung, "Y").back(), 'Y');
    }
    l->gesendet = Uhr::now();
    schreibe(*l->leitung, s.anfrage);
    return l;
  }

  // The dumps of FLASH and EEPROM from a controller started on the files.
  std::pair<std::string, std::string> dumpsNachNeustart() {
    Steuerung st(ablage, dir.datei("log"));
    velatool::Verbindung leitung(velatool::oeffneLeitung(st.pfad(), 0));
    auto dump = [&leitung](char s, const std::string &titel) {
      schreibe(leitung, std::string("@PA") + s + kMarkenAnfrage);
      std::string a = liesBis(leitung, kMarke);
      const std::size_t t = a.find(titel);
      if (t == std::string::npos || a.size() < kMarke.size()) return std::string("(no dump: ") + a + ")";
      return a.substr(t + titel.size(), a.size() - kMarke.size() - t - titel.size());
    };
    auto d = std::make_pair(dump('F', "***** FLASH *****\r"), dump('E', "***** EEPROM *****\r"));
    st.prozess().signal(SIGKILL);
    st.prozess().warte();
    return d;
  }
};

TEST_F(Stromausfall, EachImageIsTheOldOrTheNewOne) {
  const int proSzenario = 100;
  std::mt19937 zufall(20021212);
  int alt = 0, neu = 0, gemischt = 0;

  for (const Szenario &s : szenarien()) {
    SCOPED_TRACE(s.name);
    // Without a kill: the new images, and how long the request takes.
    setzeBilder(s.flashAlt, s.eepromAlt);
    Uhr::duration dauer{};
    {
      auto l = starte(s);
      EXPECT_EQ(liesBis(*l->leitung, "Y", 20s).find('Y') != std::string::npos, true);
      EXPECT_EQ(liesBis(*l->leitung, "Y", 20s).find('Y') != std::string::npos, true);
      dauer = Uhr::now() - l->gesendet;
      EXPECT_EQ(l->steuerung->beende(SIGTERM), 0);
    }
    ASSERT_EQ(liesDatei(ablage + "/flash.bin"), s.flashNeu);
    ASSERT_EQ(liesDatei(ablage + "/eeprom.bin"), s.eepromNeu);

    const auto spanne = std::chrono::duration_cast<std::chrono::microseconds>(dauer).count() * 3 / 2 + 200;
    std::uniform_int_distribution<long> verzoegerung(0, spanne);
    for (int i = 0; i < proSzenario; ++i) {
      setzeBilder(s.flashAlt, s.eepromAlt);
      {
        auto l = starte(s);
        std::this_thread::sleep_until(l->gesendet + std::chrono::microseconds(verzoegerung(zufall)));
        l->steuerung->prozess().signal(SIGKILL);
        l->steuerung->prozess().warte();
      }
      const std::string f = liesDatei(ablage + "/flash.bin");
      const std::string e = liesDatei(ablage + "/eeprom.bin");
      ASSERT_TRUE(f == s.flashAlt || f == s.flashNeu) << "kill " << i << ": FLASH image torn";
      ASSERT_TRUE(e == s.eepromAlt || e == s.eepromNeu) << "kill " << i << ": EEPROM image torn";
      const bool istAlt = f == s.flashAlt && e == s.eepromAlt;
      const bool istNeu = f == s.flashNeu && e == s.eepromNeu;
      (istAlt ? alt : istNeu ? neu : gemischt) += 1;
      // Every fourth kill: the restarted controller holds what the files hold.
      if (i % 4 == 0) {
        const auto [flashDump, eepromDump] = dumpsNachNeustart();
        ASSERT_EQ(flashDump, dumpVon('F', f)) << "kill " << i;
        ASSERT_EQ(eepromDump, dumpVon('E', e)) << "kill " << i;
      }
    }
  }
  std::cout << "kills: " << alt << " before the change, " << neu << " after it, " << gemischt
            << " between the two files of a save\n";
}

}  // namespace
