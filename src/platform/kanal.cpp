// Terminal output and timing. Every wait compares unsigned 32-bit tick
// differences,
//   elapsed = now - start  (mod 2^32),
// so a wrap of the counter during a wait changes nothing.
#include "platform/kanal.h"

#include <cstdint>

#include "platform/plattform.h"

namespace vela {

int16_t CursorSpalte;
int16_t CursorZeile;
uint32_t TimerStart;
uint8_t TimerLaeuft;

bool timeoutElapsed(uint32_t n) {
  if (TimerLaeuft == 0) {
    TimerStart = getTicks();
    TimerLaeuft = 1;
  }
  if (getTicks() - TimerStart < n) return false;
  TimerLaeuft = 0;
  return true;
}

// Gives up early only when the platform asks to end.
void delayTicks(uint32_t n) {
  const uint32_t start = getTicks();
  while (getTicks() - start < n && !beendenAngefordert()) leerlauf();
}

void spinWait(int32_t n) {
  volatile int32_t i = n;
  while (i > 0) i = i - 1;
}

void putChar(char c) { schreibeStandard(c); }

void putText(const char *t, int16_t n) {
  for (int16_t i = 0; i < n && t[i] != '\0'; ++i) putChar(t[i]);
}

void displayCmd(uint8_t code) {
  if (Geraete.displayBefehl != nullptr) Geraete.displayBefehl(Geraete.display.objekt, code);
}

// The display cursor is placed before and again after the spaces: when
// standard output is routed to the display the spaces blank the cells
// from the column on (up to the row's end: the display would run on into
// the next row), and the text that follows still starts at the column.
void displayGoto(int16_t col, int16_t row) {
  CursorSpalte = col;
  CursorZeile = row;
  auto gehe = [col, row] {
    if (Geraete.displayGehe != nullptr) Geraete.displayGehe(Geraete.display.objekt, col, row);
  };
  gehe();
  int32_t n = int32_t{col} + 1;
  if (AusgabeZiel == 1 && n > kAnzeigeSpalten - col) n = kAnzeigeSpalten - col;
  for (int32_t i = 0; i < n; ++i) putChar(' ');
  gehe();
}

// On the display a row takes at most its 20 characters; the rest of a
// longer text would run on into the next row.
void displayLine(int16_t row, const char *t, int16_t max) {
  displayGoto(0, row);
  if (AktKanal == DisplayKanal && max > kAnzeigeSpalten) max = kAnzeigeSpalten;
  for (int16_t i = 0; i < max && t[i] != '\0'; ++i) kanalSchreibe(AktKanal, t[i]);
}

void displayTwoLines(const char *t0, const char *t1, int16_t max) {
  displayLine(0, t0, max);
  displayLine(1, t1, max);
}

int16_t readHostChar(char &c) {
  const int16_t z = liesStandard();
  if (z < 0) return 0;
  c = static_cast<char>(z);
  return 1;
}

bool readHostCharTimeout(char &c, uint32_t n) {
  const int16_t z = kanalLiesWarte(HostKanal, n);
  if (z < 0) return false;
  c = static_cast<char>(z);
  return true;
}

void resetKanal() {
  CursorSpalte = CursorZeile = 0;
  TimerStart = 0;
  TimerLaeuft = 0;
}

}  // namespace vela
