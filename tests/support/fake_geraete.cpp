#include "support/fake_geraete.h"

#include <cstdio>
#include <cstring>

#include "platform/plattform.h"
#include "platform/speicher.h"

FakeGeraete fake;

namespace {

FakeGeraete &von(void *k) { return *static_cast<FakeGeraete *>(k); }

void hostSchreibe(void *k, char c) { von(k).host.push_back(c); }

int16_t hostLies(void *k) {
  FakeGeraete &f = von(k);
  if (f.eingabeWenn && !f.eingabeWenn()) return vela::KEIN_ZEICHEN;
  if (f.gelesen < f.eingabe.size()) return static_cast<uint8_t>(f.eingabe[f.gelesen++]);
  return vela::KANAL_ENDE;
}

void displaySchreibe(void *k, char c) { von(k).display.push_back(c), von(k).anzeige->schreibe(c); }
void displayBefehl(void *k, uint8_t code) { von(k).befehle.push_back(code), von(k).anzeige->befehl(code); }
void displayGehe(void *k, int16_t s, int16_t z) { von(k).anzeige->gehe(s, z); }

// Returns the counter, then advances it, as a timer running between reads.
uint32_t ticks(void *k) {
  const uint32_t t = vela::Ticks;
  vela::Ticks = t + 1;
  ++von(k).tickLesungen;
  return von(k).letzterTick = t;
}

uint8_t taste(void *k) {
  FakeGeraete &f = von(k);
  return f.tastenGelesen < f.tasten.size() ? f.tasten[f.tastenGelesen++] : vela::KEINE_TASTE_MEHR;
}

int16_t leseSchalter(void *k, uint8_t n, uint8_t *zustand) {
  const FakeGeraete &f = von(k);
  *zustand = n < f.schalterEin.size() ? f.schalterEin[n] : 1;
  return 0;
}

int16_t setzeSchalter(void *k, uint8_t n, uint8_t wert) {
  von(k).schalterAus.emplace_back(n, wert);
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

uint8_t flashWort(void *k, char *adresse, uint16_t wort) {
  FakeGeraete &f = von(k);
  const int n = f.flashWorte++;
  if (f.flashFehlerAb >= 0 && n >= f.flashFehlerAb) return 1;
  f.speicher.push_back(eintrag("F", adresse, vela::FlashStart, wort, 4));
  adresse[0] = static_cast<char>(wort & 0xFF);
  adresse[1] = static_cast<char>(wort >> 8);
  return 0;
}

uint8_t flashLoesche(void *k, char *adresse) {
  FakeGeraete &f = von(k);
  f.speicher.push_back(eintrag("L", adresse, vela::FlashStart, 0, 0));
  if (f.loeschenFehlt) return 1;
  std::memset(adresse, '\xFF', vela::kBereichGroesse);
  return 0;
}

// An EEPROM byte reads back as the old one for eepromVerzoegerung polls.
void eepromSchreibe(void *k, char *adresse, char wert) {
  FakeGeraete &f = von(k);
  f.speicher.push_back(eintrag("E", adresse, vela::EepromStart, static_cast<uint8_t>(wert), 2));
  f.eepromOffen = adresse;
  f.eepromAlt = *adresse;
  f.eepromNochAlt = f.eepromVerzoegerung;
  *adresse = wert;
}

char eepromLies(void *k, const char *adresse) {
  FakeGeraete &f = von(k);
  f.speicher.push_back(eintrag("P", adresse, vela::EepromStart, 0, 0));
  if (adresse == f.eepromOffen && f.eepromNochAlt > 0) {
    --f.eepromNochAlt;
    return f.eepromAlt;
  }
  return *adresse;
}

void speicherFertig(void *k, char speicher) {
  FakeGeraete &f = von(k);
  f.speicher.push_back(std::string("fertig ") + speicher);
  f.hostBeiFertig.push_back(f.host.size());
}

bool ladeOeffne(void *k) {
  FakeGeraete &f = von(k);
  ++f.ladeOeffnungen;
  if (f.ladeOeffnenFehlt) return false;
  f.ladeOffen = true;
  return true;
}

int16_t ladeLies(void *k) {
  FakeGeraete &f = von(k);
  if (!f.ladeOffen || f.ladeGelesen >= f.lade.size()) return vela::KANAL_ENDE;
  if (f.ladeGelesen == f.ladePauseAb && f.ladePause > 0) {
    --f.ladePause;
    return vela::KEIN_ZEICHEN;
  }
  return static_cast<uint8_t>(f.lade[f.ladeGelesen++]);
}

void ladeSchliesse(void *k) {
  FakeGeraete &f = von(k);
  f.ladeOffen = false;
  f.hostBeiLadeEnde = f.host.size();
}

void leerlauf(void *k) {
  FakeGeraete &f = von(k);
  ++f.leerlaeufe;
  if (vela::TasteGedrueckt == 0 && f.gedruecktGenommen < f.gedrueckt.size()) {
    vela::TastenIndex = f.gedrueckt[f.gedruecktGenommen++];
    vela::TasteGedrueckt = 1;
  }
  if (f.imLeerlauf != nullptr) f.imLeerlauf();
}

bool beenden(void *k) {
  const FakeGeraete &f = von(k);
  const bool runden = f.beendenNach >= 0 && f.leerlaeufe >= f.beendenNach;
  return runden || (f.beendenWenn && f.beendenWenn());
}

}  // namespace

void bindeFakes(bool schalter) {
  fake = FakeGeraete{};
  vela::Plattform p{};
  p.host = {hostSchreibe, hostLies, nullptr, &fake};
  p.display = {displaySchreibe, nullptr, nullptr, &fake};
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
  p.lade = {ladeOeffne, ladeLies, ladeSchliesse, &fake, 0};
  p.leerlauf = leerlauf;
  p.beenden = beenden;
  p.kontext = &fake;
  vela::bindePlattform(p);
}

std::string zeile(int r) {
  char text[vela::kAnzeigeSpalten + 1];
  vela::DisplayInhalt.zeilenText(r, text);
  return text;
}
