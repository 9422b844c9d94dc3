// Saving programs to FLASH, deleting them from EEPROM, erasing FLASH.
//
// FLASH takes whole 16-bit words at even offsets of the store (the even
// byte is the word's low byte) and is erased to 0xFF; the bytes of a save
// arrive one by one, so an even byte waits in a word buffer for its odd
// partner. EEPROM takes single bytes; a write is awaited by reading the
// byte back before a 64-byte block boundary is crossed and after the last
// byte of an operation.
#pragma once

#include <cstdint>

namespace vela {

// Erases the FLASH store from the address (the store's first byte); 0 on
// success.
uint8_t flashErase(char *adresse);
// Programs `anzahl` words from the buffer (even byte first) at the address;
// 0 on success, else the first failure.
uint8_t flashWriteWord(char *adresse, const char *wortPuffer, uint16_t anzahl);
// Places one byte of a save at its FLASH address: an even byte waits for
// its partner, unless it is the final one (then 0xFF is its partner); an
// odd byte completes the word. 0 on success.
uint8_t flashWriteByte(char byte, char *adresse, bool letztes);
// Writes one EEPROM byte and awaits it at a block boundary or as the last.
void eepromWriteByte(char *adresse, char wert, bool letztes);
// Removes the named program from the store it is found in (EEPROM, else
// RAM): 'Y' removed, 'N' no such program, 'F' the program lies in FLASH.
char deleteFromEeprom(const char *name);
// Copies the RAM store's programs into the store ('F'; 'E' is refused) and
// sends the replies on the host line: 0 saved, 1 refused or failed, 16 for
// 'E'.
uint8_t saveToStore(char speicher);

// Load-time state of the FLASH word buffer.
void resetSpeichern();

}  // namespace vela
