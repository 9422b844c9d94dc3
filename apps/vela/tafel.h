// The controller's 4 x 20 character display as `vela controller` keeps it:
// the cells and the write cursor, changed by the monitor's display stream,
// its cursor placement and its controller command bytes, and shown as log
// entries and as a framed box in a terminal.
//
// Characters go to the cursor cell, which then moves one column right;
// past column 19, or after a placement off the display, they are dropped
// (the display does not wrap). Command bytes: 1 clears every cell and
// homes the cursor, 3 homes it, 12 switches the display on; others change
// nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velatool {

constexpr int kTafelZeilen = 4;
constexpr int kTafelSpalten = 20;

class Tafel {
 public:
  Tafel();
  void schreibe(char c);
  void befehl(uint8_t code);
  void gehe(int16_t spalte, int16_t zeile);

  // Row r as exactly 20 characters; control characters show as '?'.
  std::string zeile(int r) const;
  // One entry of the display log: "@TICKS" and the four rows, one line each.
  std::string logEintrag(uint32_t ticks) const;
  // The display in a frame of 6 lines, the positions of X Y Z A beside it.
  std::string rahmen(const std::array<int32_t, 4> &positionen) const;

  // True when a cell has changed since the last call of gesehen().
  bool geaendert() const { return geaendert_; }
  void gesehen() { geaendert_ = false; }

 private:
  std::array<std::array<char, kTafelSpalten>, kTafelZeilen> zellen_;
  int zeile_ = 0;
  int spalte_ = 0;
  bool geaendert_ = false;
};

// Key code of a character typed on the controller's standard input: a digit
// its value, 'c' 10, CR or LF 11; 17 (no key) for anything else.
uint8_t tastenCode(char c);

}  // namespace velatool
