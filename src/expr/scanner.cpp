// Token scanner and operand values.
//
// The scanner works in place on the program text: a token's characters are
// copied into Token (at most 79; a longer token is still consumed whole,
// and TokenLaenge keeps its true length so that the evaluator can give it
// back exactly).
#include "expr/scanner.h"

#include <cstdint>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "platform/plattform.h"

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

// The class of token that each first character begins (number and text
// tokens are told by their own rules below).
struct StartTabelle {
  uint8_t klasse[256] = {};
  constexpr StartTabelle() {
    for (auto &k : klasse) k = TOK_UNKNOWN;
    for (const char c : ",+-*/%=()^") klasse[static_cast<uint8_t>(c)] = TOK_DELIM;
    for (const char c : "XYZAI") klasse[static_cast<uint8_t>(c)] = TOK_AXIS;
    for (const char c : "ETPC") klasse[static_cast<uint8_t>(c)] = TOK_SELECTOR;
    for (char c = '0'; c <= '9'; ++c) klasse[static_cast<uint8_t>(c)] = TOK_NUMBER;
    klasse[static_cast<uint8_t>('V')] = TOK_VARIABLE;
    klasse[static_cast<uint8_t>('"')] = TOK_TEXT;
    klasse[0] = TOK_UNKNOWN;  // the loops above also visit the NUL of each literal
  }
};
constexpr StartTabelle kStart;

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
  const uint8_t klasse = kStart.klasse[static_cast<uint8_t>(*NextBefp)];
  switch (klasse) {
    case TOK_NUMBER:
      kopiere([](char z) { return !isDelim(z); });
      TokenTyp = TOK_NUMBER;
      break;
    case TOK_TEXT:
      ++NextBefp;
      kopiere([](char z) { return z != '"' && z != '\0' && !istZeilenende(z); });
      TokenTyp = TOK_TEXT;
      break;
    case TOK_UNKNOWN:
      Token[0] = '\0';
      TokenLaenge = 0;
      TokenTyp = TOK_UNKNOWN;
      break;
    default:  // one character: V, a delimiter, an axis letter or a selector
      einzeichen(klasse);
      break;
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
    value = static_cast<int32_t>(getTicks());
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
