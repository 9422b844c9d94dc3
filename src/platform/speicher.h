// The two non-volatile program stores of the controller and their write
// disciplines. The interpreter reads programs in them in place (labels and
// stacks point into them); every write goes through the platform's store
// devices and is refused outside the store.
//
//   FLASH   FlashArea, 200 bytes: texts ending in NUL, erased bytes 0xFF;
//           programmed in 16-bit words at even offsets, erased whole
//   EEPROM  EepromArea, 200 bytes: one NUL-terminated text; written byte
//           by byte, a write is complete when the byte reads back
#pragma once

#include <cstdint>

namespace vela {

constexpr int kBereichGroesse = 200;  // bytes of the FLASH and of the EEPROM store
constexpr char kGeloescht = '\xFF';   // an erased FLASH byte

// The stores carry guard bytes behind their 200 bytes (a NUL, and for FLASH
// an erased 0xFF), so that a full store never lets a scan run past it.
extern char (&FlashArea)[kBereichGroesse + 2];
extern char EepromArea[kBereichGroesse + 1];
extern char *FlashStart;   // first byte of the FLASH store
extern char *EepromStart;  // first byte of the EEPROM store

// True when [p, p + n) lies inside the FLASH (EEPROM) store.
bool imFlash(const char *p, int n);
bool imEeprom(const char *p, int n);

// Programs the word (low byte at the even address); nonzero on a failure,
// also for an odd address or one outside the store.
uint8_t flashSchreibeWort(char *adresse, uint16_t wort);
// Erases the 100 words from the address (0xFF); nonzero on a failure.
uint8_t flashLoesche(char *adresse);
// Writes one EEPROM byte; an address outside the store writes nothing.
void eepromSchreibe(char *adresse, char wert);
// Reads one EEPROM byte back.
char eepromLies(const char *adresse);
// Tells the platform that a store operation is complete.
void speicherFertig(char speicher);

// Load-time contents: FLASH erased, EEPROM empty.
void resetSpeicher();

}  // namespace vela
