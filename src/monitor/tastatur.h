// Keypad and console input of the monitor, and the line echo of single
// step. The keypad state bytes (TastenIndex, TasteGedrueckt, ...) belong to
// the platform's keypad scan (platform/plattform.h); the monitor reads and
// clears them.
#pragma once

#include <cstdint>

namespace vela {

// Auto-repeat of readTasteRepeat, counted in polls: the first repeat after
// kWiederholungStart polls, each further one 767 polls sooner, never sooner
// than kWiederholungMin.
constexpr int32_t kWiederholungStart = 8191;
constexpr int32_t kWiederholungSchritt = 767;
constexpr int32_t kWiederholungMin = 1791;
extern int32_t TastenWiederholung;

// TastenIndex, the reserved byte, TasteGedrueckt and the reserved word = 0.
void clearTastatur();
void setTastaturAn(uint8_t v);
// With the keypad on and a key waiting: code = TastenCodes[TastenIndex],
// result TasteGedrueckt. Otherwise code = 0, result 0.
uint8_t readTastatur(uint8_t &code);
// One character of standard character input as a key: a digit its value,
// 'c' 10, CR or LF 11, anything else 17 (also when the platform asks to
// end while it waits).
uint8_t readKonsolenTaste();
// The key held down, with auto-repeat: returned once it is released, or
// again each time it has been held for TastenWiederholung polls. 17 when
// the keypad has ended or the platform asks to end.
uint8_t readTasteRepeat();
// Asks "Bitte Eingabe 1 für fertig,sonst 0:" and returns the answer's
// first character (the line end after it is read and dropped); NUL when
// the platform asks to end.
char askFertig();
// Up to 80 characters from p through standard character output, routed to
// the host line, each line end as ", "; stops at a NUL.
void lineEcho(const char *p);

// Waits for the next character of standard character input, one idle
// round of the platform per empty poll; false once the platform asks to
// end.
bool warteHostZeichen(char &c);

// Load-time values of this file.
void resetTastatur();

}  // namespace vela
