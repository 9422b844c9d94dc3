// Saving, deleting and erasing. Every write goes through the store devices
// of the platform; every operation checks beforehand that it stays inside
// its store, and after a change calls speicherFertig before the reply that
// reports it goes out.
#include "monitor/speichern.h"

#include <cstdint>
#include <cstring>

#include "core/programme.h"
#include "core/zustand.h"
#include "monitor/ablage.h"
#include "monitor/anfragen.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela.h"

namespace vela {

namespace {

// The word buffer: [0] the even byte, [1] the odd one.
constexpr bool kVorherFinalAnfang = true;
char WortPuffer[2];
// The previous byte was the final one of a save: its even byte is already
// programmed and is read back when the odd byte beside it comes.
bool VorherFinal = kVorherFinalAnfang;

constexpr int kNamensLaenge = 11;  // name characters a save takes from a header

void sende(char c) { kanalSchreibe(HostKanal, c); }

// Writes n bytes and the final NUL from ziel on; the first failure ends it.
uint8_t schreibeFlash(const char *quelle, int n, char *ziel) {
  for (int i = 0; i < n; ++i) {
    const uint8_t r = flashWriteByte(quelle[i], ziel + i, false);
    if (r != 0) return r;
  }
  return flashWriteByte('\0', ziel + n, true);
}

// First erased byte of the FLASH store, or null when it is full.
char *ersterFreier() {
  void *p = std::memchr(FlashStart, static_cast<unsigned char>(kGeloescht), kBereichGroesse);
  return static_cast<char *>(p);
}

// A RAM text without a header goes to an empty FLASH store as one text.
// An empty RAM store is refused: its lone NUL would become an empty
// program in FLASH that every start-up would run and fail on.
bool sichereOhneKopf(const char *ramEnde, bool &geschrieben) {
  const int n = static_cast<int>(ramEnde - Programm);
  if (n == 0 || FlashStart[0] != kGeloescht || naechsterKopf(Programm, ramEnde) != nullptr ||
      n + 1 > kBereichGroesse)
    return false;
  geschrieben = true;
  return schreibeFlash(Programm, n, FlashStart) == 0;
}

// A RAM text of named programs: each is appended to FLASH after its name
// has been checked against FLASH (stop with 'F') and removed from EEPROM.
char sichereProgramme(const char *ramEnde, bool &geschrieben) {
  const char *p = Programm;
  while (p < ramEnde) {
    char name[kNamensLaenge + 1] = {};
    for (int i = 0; i < kNamensLaenge && ramEnde - p > 4 + i && p[4 + i] != '\r'; ++i) name[i] = p[4 + i];
    if (findProgramm(name, SPEICHER_FLASH) != nullptr) return 'F';
    if (findProgramm(name, SPEICHER_EEPROM) != nullptr) {
      const char r = deleteFromEeprom(name);
      if (r != 'Y') return r;
    }
    // The program runs to the CR before the next header or to the text's
    // last character; the search starts behind "PROG" and one name character.
    const char *letztes = ramEnde - p > 5 ? programEnd(p + 5) : ramEnde - 1;
    const int n = static_cast<int>(letztes + 1 - p);
    char *frei = ersterFreier();
    if (frei == nullptr || n + 1 > FlashStart + kBereichGroesse - frei) return 'N';
    geschrieben = true;
    if (schreibeFlash(p, n, frei) != 0) return 'N';
    p = letztes + 1;
  }
  return 'Y';
}

}  // namespace

uint8_t flashErase(char *adresse) {
  const uint8_t r = flashLoesche(adresse);
  if (imFlash(adresse, kBereichGroesse)) speicherFertig(SPEICHER_FLASH);
  return r;
}

uint8_t flashWriteWord(char *adresse, const char *wortPuffer, uint16_t anzahl) {
  if (!imFlash(adresse, 2 * anzahl)) return 1;
  for (uint16_t i = 0; i < anzahl; ++i) {
    const auto wort = static_cast<uint16_t>(static_cast<uint8_t>(wortPuffer[2 * i]) |
                                            static_cast<uint8_t>(wortPuffer[2 * i + 1]) << 8);
    const uint8_t r = flashSchreibeWort(adresse + 2 * i, wort);
    if (r != 0) return r;
  }
  return 0;
}

uint8_t flashWriteByte(char byte, char *adresse, bool letztes) {
  if (!imFlash(adresse, 1)) return 1;
  uint8_t ergebnis = 0;
  if (((adresse - FlashStart) & 1) == 0) {
    WortPuffer[0] = byte;
    if (letztes) {
      WortPuffer[1] = kGeloescht;
      ergebnis = flashWriteWord(adresse, WortPuffer, 1);
    }
  } else {
    if (VorherFinal) WortPuffer[0] = adresse[-1];
    WortPuffer[1] = byte;
    ergebnis = flashWriteWord(adresse - 1, WortPuffer, 1);
  }
  VorherFinal = letztes;
  return ergebnis;
}

void eepromWriteByte(char *adresse, char wert, bool letztes) {
  eepromSchreibe(adresse, wert);
  if (!letztes && newBlock(adresse, adresse + 1) == 0) return;
  while (eepromLies(adresse) != wert && !beendenAngefordert()) leerlauf();
}

// The program runs from its header's P (the body start less the name and
// "PROG" CR) to programEnd of its body; everything behind it, up to the
// text's NUL, moves down over it.
char deleteFromEeprom(const char *name) {
  char bereich = 0;
  char *body = findProgrammAnywhere(name, &bereich);
  if (body == nullptr) return 'N';
  if (bereich == SPEICHER_FLASH) return 'F';
  char *ziel = body - std::strlen(name) - 5;
  const char *von = programEnd(body) + 1;
  const char *nul = textEnde(body);  // von lies at or before it
  if (bereich == SPEICHER_EEPROM) {
    for (; von < nul; ++von, ++ziel) eepromWriteByte(ziel, *von, false);
    eepromWriteByte(ziel, '\0', true);
  } else {
    const auto n = static_cast<size_t>(nul - von);
    std::memmove(ziel, von, n);
    ziel[n] = '\0';
  }
  speicherFertig(bereich);
  return 'Y';
}

uint8_t saveToStore(char speicher) {
  if (speicher == SPEICHER_EEPROM) {
    sende('N');
    return 16;
  }
  sende('Y');
  // A save always begins behind a programmed byte or at an even offset, so
  // an odd first byte reads its partner back, whatever an earlier failed
  // save left in the buffer.
  VorherFinal = true;
  const char *ramEnde = textEnde(Programm);
  bool geschrieben = false;
  char antwort;
  if (!beginntMitProg(Programm, ramEnde))
    antwort = sichereOhneKopf(ramEnde, geschrieben) ? 'Y' : 'N';
  else
    antwort = sichereProgramme(ramEnde, geschrieben);
  if (geschrieben) speicherFertig(SPEICHER_FLASH);
  sende(antwort);
  return antwort == 'Y' ? 0 : 1;
}

void resetSpeichern() {
  WortPuffer[0] = WortPuffer[1] = 0;
  VorherFinal = kVorherFinalAnfang;
}

}  // namespace vela
