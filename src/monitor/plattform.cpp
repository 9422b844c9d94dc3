// Device binding and the console binding of the library.
//
// Console: the host line writes to stdout and reads stdin (a read blocks
// until a character arrives; end of input is KANAL_ENDE), the display is
// DisplayInhalt, the tick source adds the milliseconds of the steady clock
// since its last read to Ticks, and no keypad is attached.
#include "monitor/plattform.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "interp/zustand.h"
#include "monitor/anzeige.h"

namespace vela {

namespace {

void konsolSchreibe(void *, char c) { std::fputc(static_cast<unsigned char>(c), stdout); }

int16_t konsolLies(void *) {
  std::fflush(stdout);  // a prompt must be out before its answer is awaited
  const int c = std::getchar();
  return c == EOF ? KANAL_ENDE : static_cast<int16_t>(c);
}

void modellSchreibe(void *objekt, char c) { static_cast<Anzeige *>(objekt)->schreibe(c); }
void modellBefehl(void *objekt, uint8_t code) { static_cast<Anzeige *>(objekt)->befehl(code); }
void modellGehe(void *objekt, int16_t s, int16_t z) { static_cast<Anzeige *>(objekt)->gehe(s, z); }

// Last clock reading, in milliseconds; 0 before the first read.
int64_t letzteMs;

uint32_t konsolTicks() {
  using namespace std::chrono;
  const int64_t jetzt = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  if (letzteMs != 0 && jetzt > letzteMs) Ticks = Ticks + static_cast<uint32_t>(jetzt - letzteMs);
  letzteMs = jetzt;
  return Ticks;
}

constexpr Plattform konsole() {
  return {{konsolSchreibe, konsolLies, nullptr},
          {modellSchreibe, nullptr, &DisplayInhalt},
          modellBefehl,
          modellGehe,
          konsolTicks,
          nullptr};
}

}  // namespace

constinit Plattform Geraete = konsole();
Kanal *HostKanal = &Geraete.host;
Kanal *DisplayKanal = &Geraete.display;
Kanal *AktKanal = &Geraete.display;
uint16_t AusgabeZiel;

Plattform konsolPlattform() { return konsole(); }

void bindePlattform(const Plattform &p) {
  Geraete = p;
  HostKanal = &Geraete.host;
  DisplayKanal = &Geraete.display;
  AktKanal = DisplayKanal;
}

void kanalSchreibe(Kanal *k, char c) {
  if (k != nullptr && k->schreibe != nullptr) k->schreibe(k->objekt, c);
}

int16_t kanalLies(Kanal *k) {
  if (k == nullptr || k->lies == nullptr) return KANAL_ENDE;
  return k->lies(k->objekt);
}

void schreibeStandard(char c) { kanalSchreibe(AusgabeZiel == 1 ? DisplayKanal : HostKanal, c); }

int16_t liesStandard() { return kanalLies(HostKanal); }

void resetPlattform() {
  bindePlattform(konsolPlattform());
  AusgabeZiel = 0;
  letzteMs = 0;
  DisplayInhalt = Anzeige();
}

}  // namespace vela
