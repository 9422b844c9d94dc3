// The download state: the RAM store, the host bytes, display and checksum.
#include "monitor/laden.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/zustand.h"
#include "monitor/monitorzustand.h"
#include "platform/plattform.h"
#include "support/fake_geraete.h"
#include "support/tabelle.h"

namespace {

using namespace vela;
using LadenTest = MaschinenTest;
using namespace std::string_literals;

const std::string kLeer(20, ' ');
// Host bytes of a download that loads: a space per display row placed
// around the acknowledgements.
std::string geladen(const std::string &quittungen) { return "  " + quittungen + std::string(7, ' '); }

// The RAM store up to and including its NUL.
std::string ablage() { return std::string(Programm, strnlen(Programm, sizeof Programm)) + '\0'; }

std::string summe(uint32_t s) {
  return {static_cast<char>(s >> 24), static_cast<char>(s >> 16), static_cast<char>(s >> 8),
          static_cast<char>(s)};
}

uint32_t bytesumme(const std::string &s) {
  uint32_t n = 0;
  for (unsigned char c : s) n += c;
  return n;
}

// A download of `strom` on fresh devices with a 50-tick silence limit;
// `neu`: the monitor's state (and the running sum) as after start-up;
// `vorher` then prepares the devices.
bool laden(const std::string &strom, bool neu = true, const std::function<void()> &vorher = {}) {
  bindeFakes();
  if (neu) resetMonitorZustand();
  Geraete.lade.stilleFrist = 50;
  fake.lade = strom;
  if (vorher) vorher();
  return downloadState();
}

// The download's filter, as stored and as the client counts it (ladeLaenge).
TEST_F(LadenTest, FilterAndAcknowledgements) {
  pruefeTabelle("laden_filter", [&](const std::string &strom) {
    EXPECT_TRUE(laden(strom)) << strom;
    const std::string gespeichert = ablage();
    const std::size_t anfang = strom[0] == '@' ? 2 : 0;
    EXPECT_EQ(ladeLaenge(strom.data() + anfang, strom.size() - anfang - 1) + 1, gespeichert.size()) << strom;
    // Every byte counts once, the end mark twice.
    EXPECT_EQ(LadeSumme, bytesumme(strom) + '$') << strom;
    EXPECT_EQ(std::tuple(LetztesErgebnis, fake.ladeOeffnungen, fake.ladeOffen), std::tuple(0, 1, false));
    return text(zitat(gespeichert), zitat(fake.host));
  });
  EXPECT_EQ(fake.display, "Bereit z. Laden    --------Laden-------***geladen***" + std::string(60, ' ') +
                              "Programm geladen   " + kLeer);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(zeile(r), kLeer);
  EXPECT_EQ(ProgStart[0], Programm);
}

TEST_F(LadenTest, PreambleOptions) {
  pruefeTabelle("laden_optionen", [&](const std::string &optionen) {
    const bool laeuft = laden(optionen + "X1\r$");
    EXPECT_EQ(std::tuple(LetztesErgebnis, fake.ladeOffen), std::tuple(0, false)) << optionen;
    return text(laeuft, Betriebsart, ZeilenQuittung, TraceAn, zitat(fake.host)) + zitate(fake.speicher);
  });
  // An erase the device refuses is answered "N".
  EXPECT_FALSE(laden("@LX1\r$", false, [] { fake.loeschenFehlt = true; }));
  EXPECT_EQ(fake.host, " YN");
  EXPECT_EQ(fake.hostBeiFertig, std::vector<size_t>{2});
  // P counts its request's result ('F': no request letter in time).
  EXPECT_TRUE(laden("@PX\r$"));
  EXPECT_EQ(LadeSumme, bytesumme("@PX\r$$") + 'F');
}

TEST_F(LadenTest, ChecksumRunsAcrossDownloads) {
  ASSERT_TRUE(laden("X1\r$"));
  const uint32_t erste = bytesumme("X1\r$$");
  ASSERT_EQ(LadeSumme, erste);

  // The host's sum covers this download and every earlier one.
  const std::string zweite = "@CY\r$";
  const uint32_t soll = erste + bytesumme(zweite);
  EXPECT_TRUE(laden(zweite + summe(soll), false));
  EXPECT_EQ(PruefsummeAn, 1);
  EXPECT_EQ(ablage(), "Y\r\0"s);
  EXPECT_EQ(fake.host, geladen("Y"));
  EXPECT_EQ(LadeSumme, soll + (soll & 0xFF));

  // A host that starts from zero is told both sums; nothing is stored.
  const uint32_t vorher = LadeSumme;
  EXPECT_FALSE(laden(zweite + summe(bytesumme(zweite)), false));
  EXPECT_EQ(LetztesErgebnis, ERGEBNIS_LADEFEHLER);
  EXPECT_EQ(std::tuple(Programm[0], Programm[1]), std::tuple('\0', '\r'));
  const uint32_t ziel = vorher + bytesumme(zweite);
  EXPECT_EQ(fake.host, "    \rHost: " + std::to_string(bytesumme(zweite)) + ", Target " +
                           std::to_string(ziel) + "\rF   ");
  EXPECT_EQ(LadeSumme, ziel);
  EXPECT_EQ(std::tuple(zeile(0), zeile(1), zeile(3)),
            std::tuple("*** Parity-Fehler **", "Parity-Fehlerecken  ", "***geladen***-------"));
  EXPECT_FALSE(fake.ladeOffen);

  // Both sums are reported as signed 32-bit numbers.
  LadeSumme = 0x80000000u - bytesumme("@C\r$");
  EXPECT_FALSE(laden("@C\r$\xFF\xFF\xFF\xFF", false));
  EXPECT_NE(fake.host.find("\rHost: -1, Target -2147483648\rF"), std::string::npos) << fake.host;
}

TEST_F(LadenTest, DownloadsThatCannotBeStored) {
  const std::string voll(kProgrammGroesse - 2, 'X');
  struct Fall {
    std::string strom;
    bool oeffnenFehlt;
    std::string anzeige, host;
    std::size_t pauseAb = std::string::npos;  // the host falls silent here for 500 reads
  } faelle[] = {
      // A refused text is read to its end mark and sum bytes.
      {voll + "X\r$", false, "** Programm zu gross", "\rProgramm zu gross\r"},
      {voll + "XX\rD 0 \"TAIL\"\rJ M1\r$", false, "** Programm zu gross", "\rProgramm zu gross\r"},
      {"@C" + voll + "X\rM1\r$@@X\r", false, "** Programm zu gross", "\rProgramm zu gross\r"},
      {"X1\rY", false, "** Ladestrom zu Ende", "\rLadestrom zu Ende\r"},
      {"", false, "** Ladestrom zu Ende", "\rLadestrom zu Ende\r"},
      {"@", false, "** Ladestrom zu Ende", "\rLadestrom zu Ende\r"},
      {"a;b", false, "** Ladestrom zu Ende", "\rLadestrom zu Ende\r"},
      {"@CX\r$\1\2", false, "** Ladestrom zu Ende", "\rLadestrom zu Ende\r"},
      {"X1\r$", true, "** Ladestrom fehlt  ", "\rLadestrom fehlt\r"},
      // Silent beyond the limit of 50 ticks once the text has begun.
      {"X1\rY2\r$", false, "** Host schweigt    ", "\rHost schweigt\r", 3},
      {"D \"A b\"\r$", false, "** Host schweigt    ", "\rHost schweigt\r", 4},
      {"@CX\r$\1\2", false, "** Host schweigt    ", "\rHost schweigt\r", 6},
  };
  for (const Fall &f : faelle) {
    EXPECT_FALSE(laden(f.strom, true, [&] {
      std::memset(Programm, 'V', sizeof Programm);  // an earlier text must not survive
      fake.ladeOeffnenFehlt = f.oeffnenFehlt;
      fake.ladePauseAb = f.pauseAb;
      fake.ladePause = 500;
    })) << f.anzeige;
    EXPECT_EQ(Programm[0], '\0');
    EXPECT_EQ(LetztesErgebnis, ERGEBNIS_LADEFEHLER);
    EXPECT_EQ(zeile(0), f.anzeige);
    EXPECT_EQ(zeile(1), kLeer);
    EXPECT_EQ(fake.host.substr(fake.host.size() - f.host.size() - 1), f.host + "F");
    EXPECT_EQ(fake.ladeGelesen, f.oeffnenFehlt ? 0 : std::min(f.pauseAb, f.strom.size())) << f.anzeige;
    EXPECT_FALSE(fake.ladeOffen);
  }
  // A refused text counts up to its end mark once, as a mismatch does.
  EXPECT_FALSE(laden(voll + "X\r$"));
  EXPECT_EQ(LadeSumme, bytesumme(fake.lade));
  // The largest text that fits leaves its NUL on the store's last byte.
  EXPECT_TRUE(laden(voll + "\r$"));
  EXPECT_EQ(std::tuple(Programm[kProgrammGroesse - 2], Programm[kProgrammGroesse - 1]),
            std::tuple('\r', '\0'));
  // The preamble has no limit: a host may pause before its text.
  bindeFakes();
  Geraete.lade.stilleFrist = 50;
  fake.lade = "@AX1\r$";
  fake.ladePauseAb = 2;
  fake.ladePause = 500;
  EXPECT_TRUE(downloadState());
  EXPECT_EQ(fake.ladePause, 0);
  // A stop request ends a download without loading anything.
  bindeFakes();
  fake.lade = "X1\r$";
  fake.beendenNach = 0;
  EXPECT_FALSE(downloadState());
  EXPECT_EQ(std::tuple(zeile(0), Programm[0], fake.ladeOffen), std::tuple(std::string(20, ' '), '\0', false));
}

}  // namespace
