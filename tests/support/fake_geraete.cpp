#include "support/fake_geraete.h"

#include <cstdio>
#include <cstring>

#include "platform/plattform.h"
#include "platform/speicher.h"

FakeGeraete fake;

namespace {

void hostSchreibe(void *, char c) { fake.host.push_back(c); }

int16_t hostLies(void *) {
  if (vela::Ticks < fake.eingabeAb) return vela::KEIN_ZEICHEN;
  if (fake.eingabeWenn && !fake.eingabeWenn()) return vela::KEIN_ZEICHEN;
  if (fake.gelesen < fake.eingabe.size()) return static_cast<uint8_t>(fake.eingabe[fake.gelesen++]);
  return vela::KANAL_ENDE;
}

vela::Anzeige *anzeige(void *objekt) { return static_cast<vela::Anzeige *>(objekt); }
void displaySchreibe(void *o, char c) { fake.display.push_back(c), anzeige(o)->schreibe(c); }
void displayBefehl(void *o, uint8_t code) { fake.befehle.push_back(code), anzeige(o)->befehl(code); }
void displayGehe(void *o, int16_t s, int16_t z) { anzeige(o)->gehe(s, z); }

// Returns the counter, then advances it, as a timer running between reads.
uint32_t ticks() {
  const uint32_t t = vela::Ticks;
  vela::Ticks = t + 1;
  ++fake.tickLesungen;
  return fake.letzterTick = t;
}

uint8_t taste() {
  return fake.tastenGelesen < fake.tasten.size() ? fake.tasten[fake.tastenGelesen++] : vela::KEINE_TASTE_MEHR;
}

int16_t leseSchalter(uint8_t n, uint8_t *zustand) {
  *zustand = n < fake.schalterEin.size() ? fake.schalterEin[n] : 1;
  return 0;
}

int16_t setzeSchalter(uint8_t n, uint8_t wert) {
  fake.schalterAus.emplace_back(n, wert);
  return 0;
}

std::string eintrag(const char *art, const char *adresse, const char *basis, int wert, int stellen) {
  char text[32];
  if (stellen == 0)
    std::snprintf(text, sizeof text, "%s@%ld", art, static_cast<long>(adresse - basis));
  else
    std::snprintf(text, sizeof text, "%s@%ld=%0*X", art, static_cast<long>(adresse - basis), stellen, wert);
  return text;
}

uint8_t flashWort(char *adresse, uint16_t wort) {
  const int n = fake.flashWorte++;
  if (fake.flashFehlerAb >= 0 && n >= fake.flashFehlerAb) return 1;
  fake.speicher.push_back(eintrag("F", adresse, vela::FlashStart, wort, 4));
  adresse[0] = static_cast<char>(wort & 0xFF);
  adresse[1] = static_cast<char>(wort >> 8);
  return 0;
}

uint8_t flashLoesche(char *adresse) {
  fake.speicher.push_back(eintrag("L", adresse, vela::FlashStart, 0, 0));
  if (fake.loeschenFehlt) return 1;
  std::memset(adresse, '\xFF', vela::kBereichGroesse);
  return 0;
}

// An EEPROM byte reads back as the old one for eepromVerzoegerung polls.
char *eepromOffen;
char eepromAlt, eepromNeu;
int eepromNochAlt;

void eepromSchreibe(char *adresse, char wert) {
  fake.speicher.push_back(eintrag("E", adresse, vela::EepromStart, static_cast<uint8_t>(wert), 2));
  eepromOffen = adresse;
  eepromAlt = *adresse;
  eepromNeu = wert;
  eepromNochAlt = fake.eepromVerzoegerung;
  *adresse = wert;
}

char eepromLies(const char *adresse) {
  fake.speicher.push_back(eintrag("P", adresse, vela::EepromStart, 0, 0));
  if (adresse == eepromOffen && eepromNochAlt > 0) {
    --eepromNochAlt;
    return eepromAlt;
  }
  return *adresse;
}

void speicherFertig(char speicher) {
  fake.speicher.push_back(std::string("fertig ") + speicher);
  fake.hostBeiFertig.push_back(fake.host.size());
}

bool ladeOeffne(void *) {
  ++fake.ladeOeffnungen;
  if (fake.ladeOeffnenFehlt) return false;
  fake.ladeOffen = true;
  return true;
}

int16_t ladeLies(void *) {
  if (!fake.ladeOffen || fake.ladeGelesen >= fake.lade.size()) return vela::KANAL_ENDE;
  if (fake.ladeGelesen == fake.ladePauseAb && fake.ladePause > 0) {
    --fake.ladePause;
    return vela::KEIN_ZEICHEN;
  }
  return static_cast<uint8_t>(fake.lade[fake.ladeGelesen++]);
}

void ladeSchliesse(void *) {
  fake.ladeOffen = false;
  fake.hostBeiLadeEnde = fake.host.size();
}

void leerlauf() {
  ++fake.leerlaeufe;
  if (vela::TasteGedrueckt == 0 && fake.gedruecktGenommen < fake.gedrueckt.size()) {
    vela::TastenIndex = fake.gedrueckt[fake.gedruecktGenommen++];
    vela::TasteGedrueckt = 1;
  }
  if (fake.imLeerlauf != nullptr) fake.imLeerlauf();
}

bool beenden() {
  const bool runden = fake.beendenNach >= 0 && fake.leerlaeufe >= fake.beendenNach;
  return runden || (fake.beendenWenn && fake.beendenWenn());
}

}  // namespace

void bindeFakes(bool schalter) {
  fake = FakeGeraete{};
  eepromOffen = nullptr;
  vela::Plattform p{};
  p.host = {hostSchreibe, hostLies, nullptr, nullptr};
  p.display = {displaySchreibe, nullptr, nullptr, &vela::DisplayInhalt};
  p.displayBefehl = displayBefehl;
  p.displayGehe = displayGehe;
  p.leseTicks = ticks;
  p.leseTaste = taste;
  if (schalter) {
    p.leseSchalter = leseSchalter;
    p.setzeSchalter = setzeSchalter;
  }
  p.flashSchreibeWort = flashWort;
  p.flashLoesche = flashLoesche;
  p.eepromSchreibe = eepromSchreibe;
  p.eepromLies = eepromLies;
  p.speicherFertig = speicherFertig;
  p.lade = {ladeOeffne, ladeLies, ladeSchliesse, nullptr, 0};
  p.leerlauf = leerlauf;
  p.beenden = beenden;
  vela::bindePlattform(p);
}

std::string zeile(int r) {
  char text[vela::kAnzeigeSpalten + 1];
  vela::DisplayInhalt.zeilenText(r, text);
  return text;
}
