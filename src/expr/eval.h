// The expression evaluator: six levels of precedence over the scanner's
// tokens, 32-bit wrapping arithmetic, with the assignment forms
// V n = sum and V n = axis selector.
#pragma once

#include <cstdint>

#include "core/zustand.h"

namespace vela {

// Evaluates the expression at the cursor into value; error code or 0.
// The cursor ends on the token that ended the expression (behind it when
// that token is a comma, on the opening quote when it is a text).
int16_t evalAusdruck(int32_t &value);
// The same, told by noAssign whether "V n =" assigns: with noAssign it
// reads V n and leaves '=' as the token that ends the expression (the left
// side of a J comparison, the index of a T line).
int16_t evalAusdruck(int32_t &value, bool noAssign);

// The value variables as an evaluation that must not store leaves them:
// V_WertVar with the evaluation's assignments on top, which uebernimm
// stores afterwards, in the end the same as the evaluation storing them
// itself.
class Zuweisungen {
 public:
  int32_t lese(uint32_t i) const { return benutzt_ && gesetzt(i) ? wert_[i] : V_WertVar[i]; }
  void schreibe(uint32_t i, int32_t v) {
    if (!benutzt_) beginne();
    gesetzt_[i >> 6] |= uint64_t{1} << (i & 63);
    wert_[i] = v;
  }
  // Stores the assigned values into V_WertVar.
  void uebernimm() const {
    if (benutzt_) speichere();
  }

 private:
  bool gesetzt(uint32_t i) const { return ((gesetzt_[i >> 6] >> (i & 63)) & 1u) != 0; }
  void beginne();  // at the first assignment: gesetzt_ cleared, benutzt_ set
  void speichere() const;

  static constexpr int kWoerter = (kWertVars + 63) / 64;
  bool benutzt_ = false;        // an assignment was made; gesetzt_ is valid only then
  uint64_t gesetzt_[kWoerter];  // the variables assigned
  int32_t wert_[kWertVars];     // valid where the bit in gesetzt_ is set
};

// evalAusdruck of the text at p without any write: the end in ende, the
// assignments in neu; the cursor and V_WertVar stay as they are.
int16_t werteAus(char *p, int32_t &value, char *&ende, bool noAssign, Zuweisungen &neu);

// a := a op b for op one of + - * / % ^, wrapping; 28 for a zero divisor
// (a is then left unchanged).
int16_t rechneOp(char op, int32_t &a, int32_t b);

// Deepest nesting of brackets and powers that one expression may have.
constexpr int kMaxTiefe = 64;

}  // namespace vela
