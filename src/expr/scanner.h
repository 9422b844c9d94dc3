// The token scanner: reads one token at the cursor into Token/TokenTyp,
// and the operand forms of expressions (numbers, V references, T).
#pragma once

#include <cstdint>

namespace vela {

enum TokenKlasse : uint8_t {
  TOK_NONE = 0,      // set at the start of every scan
  TOK_DELIM = 1,     // , + - * / % = ( ) ^
  TOK_VARIABLE = 2,  // V (the index is not part of the token)
  TOK_NUMBER = 3,    // a digit and everything up to a delimiter
  TOK_TEXT = 4,      // the characters between double quotes
  TOK_AXIS = 5,      // X Y Z A I
  TOK_SELECTOR = 6,  // E T P C
  TOK_UNKNOWN = 7,   // anything else; empty text, cursor unmoved
};

constexpr int kTokenGroesse = 80;  // 79 characters and the NUL

extern char Token[kTokenGroesse];  // text of the current token (cut to 79)
extern uint8_t TokenTyp;           // class of the current token
extern uint16_t TokenLaenge;       // characters the token took from the text
extern int32_t TokenWert;          // a number token's value (its leading digits, wrapping)

// Reads the token at the cursor.
void getToken();
// Reads the index behind a V (the cursor stands behind it), direct or
// indirect, and stores that variable's value; error code or 0.
int16_t readVarIndex(int32_t &value);
// Value of the operand that the current token begins; reads the token
// after it.
int16_t evalOperand(int32_t &value);

}  // namespace vela
