// The one renderer of the controller's 4 x 20 display for the tool: it
// shows the library's display model (vela::Anzeige, DisplayInhalt) as log
// entries and as a framed box, for the terminal frame of `vela
// controller`, its --display-log and `vela run --display`, and notes when
// the model's cells have changed since it last looked.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "vela_steuerung.h"

namespace velatool {

constexpr int kTafelZeilen = vela::kAnzeigeZeilen;
constexpr int kTafelSpalten = vela::kAnzeigeSpalten;

class Tafel {
 public:
  explicit Tafel(const vela::Anzeige &anzeige = vela::DisplayInhalt)
      : anzeige_(&anzeige), gesehen_(anzeige) {}

  // Row r as exactly 20 characters; control characters show as '?'.
  std::string zeile(int r) const;
  // One entry of the display log: "@TICKS" and the four rows, one line each.
  std::string logEintrag(uint32_t ticks) const;
  // The display in a frame of 6 lines, each line after `vorsatz`; with
  // positions, those of X Y Z A beside it.
  std::string rahmen(const std::array<int32_t, 4> *positionen, const std::string &vorsatz = "") const;
  std::string rahmen(const std::array<int32_t, 4> &positionen) const { return rahmen(&positionen); }

  // True when a cell has changed since the last call of gesehen().
  bool geaendert() const;
  void gesehen() { gesehen_ = *anzeige_; }

 private:
  const vela::Anzeige *anzeige_;
  vela::Anzeige gesehen_;
};

// Key code of a character typed on the controller's standard input: a digit
// its value, 'c' 10, CR or LF 11; 17 (no key) for anything else.
uint8_t tastenCode(char c);

}  // namespace velatool
