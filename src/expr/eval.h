// The expression evaluator: six levels of precedence over the scanner's
// tokens, 32-bit wrapping arithmetic, with the assignment forms
// V n = sum and V n = axis selector.
#pragma once

#include <cstdint>

namespace vela {

// While non-zero, "V n =" reads V n and leaves '=' as the next token
// (the J command compares with it).
extern int16_t noAssign;

// noAssign 0.
void resetEval();

// Evaluates the expression at the cursor into value; error code or 0.
// The cursor ends on the token that ended the expression (behind it when
// that token is a comma, on the opening quote when it is a text).
int16_t evalAusdruck(int32_t &value);

// a := a op b for op one of + - * / % ^, wrapping; 28 for a zero divisor
// (a is then left unchanged).
int16_t rechneOp(char op, int32_t &a, int32_t b);

// Deepest nesting of brackets and powers that one expression may have.
constexpr int kMaxTiefe = 64;

}  // namespace vela
