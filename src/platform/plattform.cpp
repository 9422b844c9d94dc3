// Device binding and the console binding of the library.
//
// Console: the host line writes to stdout and reads stdin without waiting
// where poll() exists (a character that has arrived, KANAL_ENDE at the end
// of input, else none; on Windows a read waits for the next character);
// the display is the model DisplayInhalt; the idle hook advances Ticks by
// the milliseconds of the steady clock since its last round, so time
// passes only while the library waits. The binding has no switch, keypad
// or store devices: readSchalter and setSchalter then ask and report on
// the host line (planner/antrieb.cpp), no key is ever held, and FLASH and
// EEPROM writes go to plain memory and are not kept. The download stream
// is the file "test.dat".
#include "platform/plattform.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/anzeige.h"

#if !defined(_WIN32)
#include <poll.h>
#include <unistd.h>
#endif

namespace vela {

namespace {

void konsolSchreibe(void *, char c) { std::fputc(static_cast<unsigned char>(c), stdout); }

// Polls standard input: a character that is there (or end of input) is
// read, otherwise nothing has arrived. Where no poll is available the read
// waits for the character.
int16_t konsolLies(void *) {
  std::fflush(stdout);  // a prompt must be out before its answer is awaited
#if !defined(_WIN32)
  pollfd p{STDIN_FILENO, POLLIN, 0};
  if (::poll(&p, 1, 0) == 0) return KEIN_ZEICHEN;
  unsigned char c = 0;
  return ::read(STDIN_FILENO, &c, 1) == 1 ? static_cast<int16_t>(c) : KANAL_ENDE;
#else
  const int c = std::getchar();
  return c == EOF ? KANAL_ENDE : static_cast<int16_t>(c);
#endif
}

void modellSchreibe(void *objekt, char c) { static_cast<Anzeige *>(objekt)->schreibe(c); }
void modellBefehl(void *objekt, uint8_t code) { static_cast<Anzeige *>(objekt)->befehl(code); }
void modellGehe(void *objekt, int16_t s, int16_t z) { static_cast<Anzeige *>(objekt)->gehe(s, z); }

// Last clock reading, in milliseconds; 0 before the first read.
int64_t letzteMs;

// The console's timer: a host that loads the library has none, so Ticks
// advances only while the library waits, by the milliseconds of the steady
// clock since the last round of a wait.
void konsolTakt(void *) {
  using namespace std::chrono;
  const int64_t jetzt = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  if (letzteMs != 0 && jetzt > letzteMs) Ticks = Ticks + static_cast<uint32_t>(jetzt - letzteMs);
  letzteMs = jetzt;
}

// The download stream of the console: the file "test.dat".
std::FILE *ladeDatei;
bool ladeOeffne(void *) {
  ladeDatei = std::fopen("test.dat", "r");
  return ladeDatei != nullptr;
}
int16_t ladeLies(void *) {
  if (ladeDatei == nullptr) return KANAL_ENDE;
  const int c = std::fgetc(ladeDatei);
  return c == EOF ? KANAL_ENDE : static_cast<int16_t>(c);
}
void ladeSchliesse(void *) {
  if (ladeDatei != nullptr) std::fclose(ladeDatei);
  ladeDatei = nullptr;
}

constexpr Plattform konsole() {
  Plattform p{};
  p.host = {konsolSchreibe, konsolLies, nullptr, nullptr};
  p.display = {modellSchreibe, nullptr, nullptr, &DisplayInhalt};
  p.displayBefehl = modellBefehl;
  p.displayGehe = modellGehe;
  p.leerlauf = konsolTakt;
  p.lade = {ladeOeffne, ladeLies, ladeSchliesse, nullptr, 0};
  return p;
}

}  // namespace

constinit Plattform Geraete = konsole();
Kanal *HostKanal = &Geraete.host;
Kanal *DisplayKanal = &Geraete.display;
Kanal *AktKanal = &Geraete.display;
uint16_t AusgabeZiel;
volatile uint32_t Ticks;

uint8_t TastenIndex;
uint8_t TastenReserve;
volatile uint8_t TasteGedrueckt = kTasteGedruecktBeimLaden;
uint8_t TastaturAn;
uint16_t TastenReserveWort;
uint8_t TastenCodes[kTastenCodes];

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

int16_t kanalLiesWarte(Kanal *k, uint32_t n) {
  if (k != nullptr && k->liesWarte != nullptr) return k->liesWarte(k->objekt, n);
  const uint32_t start = getTicks();
  while (getTicks() - start < n && !beendenAngefordert()) {
    const int16_t z = kanalLies(k);
    if (z >= 0) return z;
    leerlauf();
  }
  return KEIN_ZEICHEN;
}

void schreibeStandard(char c) { kanalSchreibe(AusgabeZiel == 1 ? DisplayKanal : HostKanal, c); }

int16_t liesStandard() { return kanalLies(HostKanal); }

uint32_t getTicks() { return Geraete.leseTicks != nullptr ? Geraete.leseTicks(Geraete.kontext) : Ticks; }

void leerlauf() {
  if (Geraete.leerlauf != nullptr) Geraete.leerlauf(Geraete.kontext);
}

bool beendenAngefordert() { return Geraete.beenden != nullptr && Geraete.beenden(Geraete.kontext); }

bool (*LaufAbfrage)();

bool laufRunde() {
  if (beendenAngefordert() || (LaufAbfrage != nullptr && LaufAbfrage())) return false;
  leerlauf();
  return true;
}

void resetPlattform() {
  bindePlattform(konsolPlattform());
  LaufAbfrage = nullptr;
  AusgabeZiel = 0;
  Ticks = 0;
  letzteMs = 0;
  ladeSchliesse(nullptr);
  DisplayInhalt = Anzeige();
  TastenIndex = TastenReserve = 0;
  TasteGedrueckt = kTasteGedruecktBeimLaden;
  TastaturAn = 0;
  TastenReserveWort = 0;
  std::memset(TastenCodes, 0, sizeof TastenCodes);
}

}  // namespace vela
