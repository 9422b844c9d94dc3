// Token scanner and operand values.
//
// The scanner works in place on the program text: a token's characters are
// copied into Token (at most 79; a longer token is still consumed whole,
// and TokenLaenge keeps its true length so that the evaluator can give it
// back exactly).
#include "expr/scanner.h"

#include <cstdint>

#include "interp/cursor.h"
#include "interp/fehler.h"
#include "interp/zustand.h"

namespace vela {

char Token[kTokenGroesse];
uint8_t TokenTyp;
uint16_t TokenLaenge;

namespace {

// The 24 characters (and TAB, CR, LF, NUL) that end a number token.
struct DelimTabelle {
  bool ist[256] = {};
  constexpr DelimTabelle() {
    for (const char c : " ,+/-*%=!()^MP<>V\"DXYZAT\t\r\n")
      ist[static_cast<uint8_t>(c)] = true;  // the loop also marks the NUL
  }
};
constexpr DelimTabelle kDelim;

void einzeichen(uint8_t typ) {
  Token[0] = *NextBefp++;
  Token[1] = '\0';
  TokenLaenge = 1;
  TokenTyp = typ;
}

// Copies characters while 'weiter' holds; keeps at most 79 of them.
template <typename Weiter>
void kopiere(Weiter weiter) {
  uint16_t n = 0;
  uint16_t gelesen = 0;
  while (weiter(*NextBefp)) {
    if (n < kTokenGroesse - 1) Token[n++] = *NextBefp;
    ++NextBefp;
    if (gelesen < UINT16_MAX) ++gelesen;
  }
  Token[n] = '\0';
  TokenLaenge = gelesen;
}

}  // namespace

bool isDelim(char c) { return kDelim.ist[static_cast<uint8_t>(c)]; }

int32_t zahlWert(const char *text) {
  uint32_t wert = 0;
  for (; istZiffer(*text); ++text) wert = wert * 10u + static_cast<uint32_t>(*text - '0');
  return static_cast<int32_t>(wert);
}

void getToken() {
  TokenTyp = TOK_NONE;
  while (isBlank(*NextBefp)) ++NextBefp;
  const char c = *NextBefp;
  if (istZiffer(c)) {
    kopiere([](char z) { return !isDelim(z); });
    TokenTyp = TOK_NUMBER;
  } else if (c == 'V') {
    einzeichen(TOK_VARIABLE);
  } else if (c != '\0' && isInSet(c, ",+-*/%=()^")) {
    einzeichen(TOK_DELIM);
  } else if (c != '\0' && isInSet(c, "XYZAI")) {
    einzeichen(TOK_AXIS);
  } else if (c != '\0' && isInSet(c, "ETPC")) {
    einzeichen(TOK_SELECTOR);
  } else if (c == '"') {
    ++NextBefp;
    kopiere([](char z) { return z != '"' && z != '\0' && !istZeilenende(z); });
    TokenTyp = TOK_TEXT;
  } else {
    Token[0] = '\0';
    TokenLaenge = 0;
    TokenTyp = TOK_UNKNOWN;
  }
}

// index := digits | V index ; an indirect reference V V ... n reads the
// variables from the inside out. Counting the V's first and resolving them
// in a loop keeps the stack flat however long the chain is.
int16_t readVarIndex(int32_t &value) {
  uint32_t indirekt = 0;
  while (*NextBefp == 'V') {
    nextNonBlank();
    ++indirekt;
  }
  if (!istZiffer(*NextBefp)) return F_INDEX_V;
  uint32_t index = 0;
  while (istZiffer(*NextBefp)) index = index * 10u + static_cast<uint32_t>(*NextBefp++ - '0');
  index &= 0xFFFFu;  // the direct index is a 16-bit number
  if (index >= static_cast<uint32_t>(kWertVars)) return F_INDEX;
  int32_t wert = V_WertVar[index];
  for (; indirekt > 0; --indirekt) {
    if (wert < 0 || wert >= kWertVars) return F_INDEX;
    wert = V_WertVar[wert];
  }
  value = wert;
  return F_OK;
}

// operand := T | V index | number
int16_t evalOperand(int32_t &value) {
  if (TokenTyp == TOK_SELECTOR && Token[0] == 'T') {
    value = static_cast<int32_t>(Ticks);
    getToken();
    return F_OK;
  }
  if (TokenTyp == TOK_VARIABLE) {
    const int16_t code = readVarIndex(value);
    getToken();
    return code;
  }
  if (TokenTyp == TOK_NUMBER) {
    value = zahlWert(Token);
    getToken();
    return F_OK;
  }
  return F_UNVOLLST;
}

}  // namespace vela
