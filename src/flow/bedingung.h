// The condition of a J line, read without executing the line: what an
// executor needs to decide V_Handshake before the step that jumps.
#pragma once

#include <cstdint>

namespace vela {

struct SprungBedingung {
  // BEF_JE, BEF_JNE (input), BEF_J_ACHSE, BEF_JN_ACHSE (axis),
  // BEF_J_VERGLEICH, BEF_J (no condition); BEF_KEINER for a line that is
  // not a J line.
  int16_t form;
  int32_t wert;  // input number, or axis index 0..4; 0 for the other forms
};

// Reads the condition of the command line that execBefehl would execute
// next, with the J command's own parser. Nothing changes: the cursor,
// Befehl, the argument cells and the value variables (an assignment inside
// the condition included) are as before. 0, or the code with which the
// line's condition would fail.
int16_t leseSprungBedingung(SprungBedingung &b);

}  // namespace vela
