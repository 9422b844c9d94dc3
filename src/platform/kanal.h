// Terminal output and timing: the tick waits, standard character output,
// the display primitives, and reading characters from the host line.
#pragma once

#include <cstdint>

#include "platform/plattform.h"

namespace vela {

extern int16_t CursorSpalte;  // column last given to displayGoto
extern int16_t CursorZeile;   // row last given to displayGoto
extern uint32_t TimerStart;   // tick at which the one-shot timeout was armed
extern uint8_t TimerLaeuft;   // 1 while the one-shot timeout is armed

// Arms the one timeout on the first call; true (and disarmed) once n ticks passed.
bool timeoutElapsed(uint32_t n);
// Busy-waits until n ticks have passed (at least one more read).
void delayTicks(uint32_t n);
// A pause of no defined length: counts n down.
void spinWait(int32_t n);

// Standard character output (routed by AusgabeZiel).
void putChar(char c);
// Up to n characters of t, stopping at its NUL.
void putText(const char *t, int16_t n);
// A command byte for the display controller.
void displayCmd(uint8_t code);
// Stores the position and writes col + 1 spaces to standard output.
void displayGoto(int16_t col, int16_t row);
// Text t on a row through AktKanal, at most max characters.
void displayLine(int16_t row, const char *t, int16_t max);
void displayTwoLines(const char *t0, const char *t1, int16_t max);

// 1 and the character in c when one has arrived, else 0 (c unchanged).
int16_t readHostChar(char &c);
// Polls for a character until n ticks have passed; false on timeout.
bool readHostCharTimeout(char &c, uint32_t n);

void resetKanal();

}  // namespace vela
