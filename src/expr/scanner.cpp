// Token scanner and operand values.
//
// The scanner works in place on the program text: a token's characters are
// copied into Token (at most 79; a longer token is still consumed whole,
// and TokenLaenge keeps its true length so that the evaluator can give it
// back exactly). A number token's value is read in the same pass.
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
int32_t TokenWert;

namespace {

// One entry per character: the class of token it begins (low three bits)
// and the sets it belongs to.
constexpr uint8_t Z_KLASSE = 0x07;
constexpr uint8_t Z_LEER = 0x08;         // space or tab: skipped before a token
constexpr uint8_t Z_ENDET_ZAHL = 0x10;   // ends a number token
constexpr uint8_t Z_ENDET_TEXT = 0x20;   // ends a quoted text: '"', CR, LF, NUL

struct Zeichenklassen {
  uint8_t z[256] = {};
  constexpr Zeichenklassen() {
    for (auto &k : z) k = TOK_UNKNOWN;
    for (const char c : ",+-*/%=()^") setze(c, TOK_DELIM);
    for (const char c : "XYZAI") setze(c, TOK_AXIS);
    for (const char c : "ETPC") setze(c, TOK_SELECTOR);
    for (char c = '0'; c <= '9'; ++c) setze(c, TOK_NUMBER);
    setze('V', TOK_VARIABLE);
    setze('"', TOK_TEXT);
    z[0] = TOK_UNKNOWN;  // the loops above also visit the NUL of each literal
    z[static_cast<uint8_t>(' ')] |= Z_LEER;
    z[static_cast<uint8_t>('\t')] |= Z_LEER;
    // The 24 characters (and TAB, CR, LF, NUL) that end a number token.
    for (const char c : " ,+/-*%=!()^MP<>V\"DXYZAT\t\r\n")
      z[static_cast<uint8_t>(c)] |= Z_ENDET_ZAHL;  // the loop also marks the NUL
    for (const char c : "\"\r\n") z[static_cast<uint8_t>(c)] |= Z_ENDET_TEXT;  // and the NUL
  }
  constexpr void setze(char c, uint8_t klasse) {
    uint8_t &k = z[static_cast<uint8_t>(c)];
    k = static_cast<uint8_t>((k & ~Z_KLASSE) | klasse);
  }
  constexpr uint8_t operator[](char c) const { return z[static_cast<uint8_t>(c)]; }
};
constexpr Zeichenklassen kZeichen;

// Token becomes the text [anfang, ende), cut to 79 characters.
void kopiere(const char *anfang, const char *ende) {
  const auto laenge = static_cast<uintptr_t>(ende - anfang);
  const uintptr_t n = laenge < kTokenGroesse - 1 ? laenge : kTokenGroesse - 1;
  for (uintptr_t i = 0; i < n; ++i) Token[i] = anfang[i];
  Token[n] = '\0';
  TokenLaenge = static_cast<uint16_t>(laenge < UINT16_MAX ? laenge : UINT16_MAX);
}

}  // namespace

void getToken() {
  char *p = NextBefp;
  while (kZeichen[*p] & Z_LEER) ++p;
  const char c = *p;
  const auto klasse = static_cast<uint8_t>(kZeichen[c] & Z_KLASSE);
  switch (klasse) {
    case TOK_NUMBER: {
      // The leading digits give the value; a number token runs on to the
      // first character that ends it.
      const char *anfang = p;
      uint32_t wert = 0;
      for (; istZiffer(*p); ++p) wert = wert * 10u + static_cast<uint32_t>(*p - '0');
      while (!(kZeichen[*p] & Z_ENDET_ZAHL)) ++p;
      kopiere(anfang, p);
      TokenWert = static_cast<int32_t>(wert);
      break;
    }
    case TOK_TEXT: {
      const char *anfang = ++p;
      while (!(kZeichen[*p] & Z_ENDET_TEXT)) ++p;
      kopiere(anfang, p);
      break;
    }
    case TOK_UNKNOWN:
      Token[0] = '\0';
      TokenLaenge = 0;
      break;
    default:  // one character: V, a delimiter, an axis letter or a selector
      Token[0] = c;
      Token[1] = '\0';
      TokenLaenge = 1;
      ++p;
      break;
  }
  TokenTyp = klasse;
  NextBefp = p;
}

// index := digits | V index ; an indirect reference V V ... n reads the
// variables from the inside out. Counting the V's first and resolving them
// in a loop keeps the stack flat however long the chain is.
int16_t readVarIndex(int32_t &value) {
  char *p = NextBefp;
  uint32_t indirekt = 0;
  while (*p == 'V') {
    ++p;
    while (*p == ' ') ++p;
    ++indirekt;
  }
  if (!istZiffer(*p)) {
    NextBefp = p;
    return F_INDEX_V;
  }
  uint32_t index = 0;
  for (; istZiffer(*p); ++p) index = index * 10u + static_cast<uint32_t>(*p - '0');
  NextBefp = p;
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
  switch (TokenTyp) {
    case TOK_VARIABLE: {
      const int16_t code = readVarIndex(value);
      getToken();
      return code;
    }
    case TOK_NUMBER:
      value = TokenWert;
      getToken();
      return F_OK;
    case TOK_SELECTOR:
      if (Token[0] != 'T') break;
      value = static_cast<int32_t>(getTicks());
      getToken();
      return F_OK;
    default: break;
  }
  return F_UNVOLLST;
}

}  // namespace vela
