// Store images and key presses for platforms: the public way into the
// FLASH and EEPROM stores and into the keypad state.
#include <cstdint>
#include <cstring>

#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela_steuerung.h"

namespace vela {

static_assert(SPEICHER_GROESSE == kBereichGroesse, "an image is exactly one store");

namespace {

char *speicherAnfang(char speicher) {
  if (speicher == SPEICHER_FLASH) return FlashArea;
  if (speicher == SPEICHER_EEPROM) return EepromArea;
  return nullptr;
}

}  // namespace

bool setzeSpeicherBild(char speicher, const uint8_t (&bild)[SPEICHER_GROESSE]) {
  char *ziel = speicherAnfang(speicher);
  if (ziel == nullptr) return false;
  std::memcpy(ziel, bild, SPEICHER_GROESSE);
  return true;
}

bool leseSpeicherBild(char speicher, uint8_t (&bild)[SPEICHER_GROESSE]) {
  const char *quelle = speicherAnfang(speicher);
  if (quelle == nullptr) return false;
  std::memcpy(bild, quelle, SPEICHER_GROESSE);
  return true;
}

bool meldeTaste(uint8_t code) {
  if (code >= KEINE_TASTE || TasteGedrueckt != 0) return false;
  TastenIndex = code;
  TastenCodes[code] = code;
  TasteGedrueckt = 1;
  return true;
}

}  // namespace vela
