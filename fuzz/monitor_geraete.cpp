#include "monitor_geraete.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela.h"

namespace vela::fuzz {

namespace {

#define pruefe(bedingung)                                             \
  do {                                                                \
    if (!(bedingung)) {                                               \
      std::fprintf(stderr, "monitor check failed: %s\n", #bedingung); \
      std::abort();                                                   \
    }                                                                 \
  } while (0)

struct Strom {
  const uint8_t *daten;
  size_t laenge, gelesen;
};
Strom host, lade;
bool ladeOffen, ladeFehlt;
uint32_t ticks;

int16_t liesStrom(Strom &s) { return s.gelesen < s.laenge ? s.daten[s.gelesen++] : KANAL_ENDE; }

void hostSchreibe(void *, char) {}
int16_t hostLies(void *) { return liesStrom(host); }
uint32_t leseTicks(void *) { return ticks++; }

bool imBereich(const char *p, const char *anfang, int n) {
  return p >= anfang && p + n <= anfang + kBereichGroesse;
}

uint8_t flashWort(void *, char *adresse, uint16_t wort) {
  pruefe(imBereich(adresse, FlashArea, 2) && (adresse - FlashArea) % 2 == 0);
  adresse[0] = static_cast<char>(wort & 0xFF);
  adresse[1] = static_cast<char>(wort >> 8);
  return 0;
}
uint8_t flashLoesche(void *, char *adresse) {
  pruefe(adresse == FlashArea);
  std::memset(adresse, '\xFF', kBereichGroesse);
  return 0;
}
void eepromSchreibe(void *, char *adresse, char wert) {
  pruefe(imBereich(adresse, EepromArea, 1));
  *adresse = wert;
}
char eepromLies(void *, const char *adresse) {
  pruefe(imBereich(adresse, EepromArea, 1));
  return *adresse;
}

bool ladeOeffne(void *) {
  pruefe(!ladeOffen);
  ladeOffen = !ladeFehlt;
  return ladeOffen;
}
int16_t ladeLies(void *) {
  pruefe(ladeOffen);
  return liesStrom(lade);
}
void ladeSchliesse(void *) {
  pruefe(ladeOffen);
  ladeOffen = false;
}

}  // namespace

void bindeGeraete(const uint8_t *h, size_t hostLaenge, const uint8_t *l, size_t ladeLaenge,
                  bool oeffnenFehlt) {
  vela_reset();
  vela_setTestDatei("");
  host = {h, hostLaenge, 0};
  lade = {l, ladeLaenge, 0};
  ladeOffen = false;
  ladeFehlt = oeffnenFehlt;
  ticks = 0;
  Plattform p{};
  p.host = {hostSchreibe, hostLies, nullptr, nullptr};
  p.leseTicks = leseTicks;
  p.flashSchreibeWort = flashWort;
  p.flashLoesche = flashLoesche;
  p.eepromSchreibe = eepromSchreibe;
  p.eepromLies = eepromLies;
  p.lade = {ladeOeffne, ladeLies, ladeSchliesse, nullptr, 0};
  bindePlattform(p);
}

size_t hostRest() { return host.laenge - host.gelesen; }
size_t ladeRest() { return lade.laenge - lade.gelesen; }

void pruefeAblagen() {
  pruefe(FlashArea[kBereichGroesse] == '\0' && FlashArea[kBereichGroesse + 1] == '\xFF');
  pruefe(EepromArea[kBereichGroesse] == '\0');
  pruefe(std::memchr(Programm, '\0', sizeof Programm) != nullptr);
  pruefe(!ladeOffen);
}

}  // namespace vela::fuzz
