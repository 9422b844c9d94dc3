#include "monitor/tastatur.h"

#include <cstdint>

#include "core/cursor.h"
#include "planner/antrieb.h"
#include "platform/kanal.h"
#include "platform/plattform.h"

namespace vela {

int32_t TastenWiederholung = kWiederholungStart;

namespace {

constexpr int kEchoLaenge = 80;
// UTF-8, as the host line carries the prompt.
constexpr char kFertigFrage[] = "Bitte Eingabe 1 f\xC3\xBCr fertig,sonst 0:";

}  // namespace

void clearTastatur() {
  TastenIndex = 0;
  TastenReserve = 0;
  TasteGedrueckt = 0;
  TastenReserveWort = 0;
}

void setTastaturAn(uint8_t v) { TastaturAn = v; }

uint8_t readTastatur(uint8_t &code) {
  const uint8_t gedrueckt = TasteGedrueckt;
  if (TastaturAn == 0 || gedrueckt == 0) {
    code = 0;
    return 0;
  }
  code = TastenCodes[TastenIndex];
  return gedrueckt;
}

bool warteHostZeichen(char &c) {
  for (;;) {
    if (readHostChar(c) != 0) return true;
    if (beendenAngefordert()) return false;
    leerlauf();
  }
}

uint8_t readKonsolenTaste() {
  char c = 0;
  if (!warteHostZeichen(c)) return KEINE_TASTE;
  if (istZiffer(c)) return static_cast<uint8_t>(c - '0');
  if (c == 'c') return 10;
  if (istZeilenende(c)) return 11;
  return KEINE_TASTE;
}

//   wait for a key (code 0..16)
//   hold: count polls; released first -> the key, delay back to the start
//         count reaches the delay  -> the key again, next delay shorter
uint8_t readTasteRepeat() {
  if (Geraete.leseTaste == nullptr) return KEINE_TASTE;  // no keypad: no key will come
  uint8_t t = KEINE_TASTE;
  for (;;) {
    t = readTaste();
    if (t == KEINE_TASTE_MEHR) return KEINE_TASTE;
    if (t < KEINE_TASTE) break;
    if (beendenAngefordert()) return KEINE_TASTE;
    leerlauf();
  }
  for (int32_t gehalten = 0;;) {
    const uint8_t jetzt = readTaste();
    if (jetzt == KEINE_TASTE || jetzt == KEINE_TASTE_MEHR || beendenAngefordert()) {
      TastenWiederholung = kWiederholungStart;
      return t;
    }
    if (++gehalten >= TastenWiederholung) {
      const int32_t kuerzer = TastenWiederholung - kWiederholungSchritt;
      TastenWiederholung = kuerzer < kWiederholungMin ? kWiederholungMin : kuerzer;
      return t;
    }
    leerlauf();
  }
}

char askFertig() {
  putText(kFertigFrage, static_cast<int16_t>(sizeof kFertigFrage));
  char antwort = 0;
  char zeilenende = 0;
  if (!warteHostZeichen(antwort) || !warteHostZeichen(zeilenende)) return '\0';
  return antwort;
}

void lineEcho(const char *p) {
  AusgabeZiel = 0;
  for (int i = 0; i < kEchoLaenge && p[i] != '\0'; ++i) {
    if (istZeilenende(p[i])) {
      putChar(',');
      putChar(' ');
    } else {
      putChar(p[i]);
    }
  }
}

void resetTastatur() { TastenWiederholung = kWiederholungStart; }

}  // namespace vela
