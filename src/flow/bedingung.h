// The condition of a J line, read without any write: what the J command
// acts on, and what an executor needs to decide V_Handshake before the
// step that jumps.
#pragma once

#include <cstdint>

#include "expr/eval.h"

namespace vela {

struct SprungBedingung {
  // BEF_JE, BEF_JNE (input), BEF_J_ACHSE, BEF_JN_ACHSE (axis),
  // BEF_J_VERGLEICH, BEF_J (no condition); BEF_KEINER for a line that is
  // not a J line, or whose condition has none of these forms.
  int16_t form;
  bool unterprogramm;  // J S
  // Input number, axis index 0..4, or the left side of a comparison, and
  // the right side of a comparison. A field the condition does not set
  // keeps what the caller put there.
  int32_t wert;
  int32_t rechts;
  char vergleich;  // the comparison's operator = < > !, else 0
  char *ende;      // behind the condition, where the target begins
};

// Reads "J [S] condition" at p (on the command letter) as the J command
// does, and changes nothing: not the cursor, not Befehl, not the argument
// cells, not the value variables. What the condition's expressions assign
// is left in neu (neu.uebernimm() stores it). An expression that fails
// leaves wert or rechts as the evaluator leaves a value: where an operand
// fails, with what the field held before (the J command hands in its
// argument cells). 0, or the code with which the condition fails; form,
// the values and ende are then those read so far.
int16_t leseSprungBedingung(char *p, SprungBedingung &b, Zuweisungen &neu);

}  // namespace vela
