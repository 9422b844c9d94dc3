// The FLASH and EEPROM stores. Without store devices in the binding, a
// write is a plain memory write; a binding's devices may record, delay or
// fail writes, or keep a copy of the stores elsewhere.
#include "platform/speicher.h"

#include <cstdint>
#include <cstring>

#include "platform/plattform.h"

namespace vela {

namespace {

// The FLASH store's bytes with its guard bytes. At load the first word is
// erased (no program) and the rest holds zeros; the guard NUL and the
// guard 0xFF follow the 200 bytes.
struct FlashBild {
  char bytes[kBereichGroesse + 2];
};

constexpr FlashBild flashBeimLaden() {
  FlashBild f{};
  f.bytes[0] = f.bytes[1] = kGeloescht;
  f.bytes[kBereichGroesse + 1] = kGeloescht;
  return f;
}
constexpr FlashBild kFlashBeimLaden = flashBeimLaden();

FlashBild flashSpeicher = kFlashBeimLaden;

}  // namespace

char (&FlashArea)[kBereichGroesse + 2] = flashSpeicher.bytes;
// The EEPROM store begins on a 64-byte page, as the device's does: its
// write discipline finds the page boundaries by address (newBlock).
alignas(64) char EepromArea[kBereichGroesse + 1];
char *FlashStart = FlashArea;
char *EepromStart = EepromArea;

namespace {

bool innerhalb(const char *p, int n, const char *anfang) {
  const auto a = reinterpret_cast<uintptr_t>(anfang);
  const auto x = reinterpret_cast<uintptr_t>(p);
  return n >= 0 && x >= a && x - a <= static_cast<uintptr_t>(kBereichGroesse - n);
}

}  // namespace

bool imFlash(const char *p, int n) { return innerhalb(p, n, FlashArea); }
bool imEeprom(const char *p, int n) { return innerhalb(p, n, EepromArea); }

uint8_t flashSchreibeWort(char *adresse, uint16_t wort) {
  if (!imFlash(adresse, 2) || ((adresse - FlashArea) & 1) != 0) return 1;
  if (Geraete.flashSchreibeWort != nullptr) return Geraete.flashSchreibeWort(Geraete.kontext, adresse, wort);
  adresse[0] = static_cast<char>(wort & 0xFF);
  adresse[1] = static_cast<char>(wort >> 8);
  return 0;
}

uint8_t flashLoesche(char *adresse) {
  if (!imFlash(adresse, kBereichGroesse)) return 1;
  if (Geraete.flashLoesche != nullptr) return Geraete.flashLoesche(Geraete.kontext, adresse);
  std::memset(adresse, kGeloescht, kBereichGroesse);
  return 0;
}

void eepromSchreibe(char *adresse, char wert) {
  if (!imEeprom(adresse, 1)) return;
  if (Geraete.eepromSchreibe != nullptr)
    Geraete.eepromSchreibe(Geraete.kontext, adresse, wert);
  else
    *adresse = wert;
}

char eepromLies(const char *adresse) {
  if (!imEeprom(adresse, 1)) return '\0';
  return Geraete.eepromLies != nullptr ? Geraete.eepromLies(Geraete.kontext, adresse) : *adresse;
}

void speicherFertig(char speicher) {
  if (Geraete.speicherFertig != nullptr) Geraete.speicherFertig(Geraete.kontext, speicher);
}

void resetSpeicher() {
  flashSpeicher = kFlashBeimLaden;
  std::memset(EepromArea, 0, sizeof EepromArea);
  FlashStart = FlashArea;
  EepromStart = EepromArea;
}

}  // namespace vela
