// The token scanner: reads one token at the cursor. getToken leaves it in
// the shared Token/TokenTyp; the evaluator scans with a reader of its own
// (Leser) and leaves Token/TokenTyp alone.
#pragma once

#include <cstdint>

#include "core/cursor.h"
#include "vela.h"

namespace vela {

enum TokenKlasse : uint8_t {
  TOK_NONE = 0,      // no token read yet
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

// Reads the token at the cursor into Token/TokenTyp/TokenLaenge.
void getToken();

// The token as loaded: empty, of class 0.
void resetScanner();

// A scan in progress: the cursor and the token just read.
struct Leser {
  char *p;       // cursor, behind the token (on the closing quote of a text)
  char *anfang;  // the token's first character, behind the blanks
  int32_t wert;  // number: the value of its leading digits, wrapping
  uint8_t typ;   // TokenKlasse
  char zeichen;  // the token's first character (a text's opening quote)
  int tiefe;     // the evaluator's nesting of brackets and powers
};

// One entry per character: the class of token it begins (low three bits)
// and the sets it belongs to.
constexpr uint8_t Z_KLASSE = 0x07;
constexpr uint8_t Z_LEER = 0x08;        // space or tab: skipped before a token
constexpr uint8_t Z_ENDET_ZAHL = 0x10;  // ends a number token
constexpr uint8_t Z_ENDET_TEXT = 0x20;  // ends a quoted text: '"', CR, LF, NUL
constexpr uint8_t Z_EINZELN = 0x40;     // a token of this one character

struct Zeichenklassen {
  uint8_t z[256] = {};
  constexpr Zeichenklassen() {
    for (auto &k : z) k = TOK_UNKNOWN;
    for (const char c : ",+-*/%=()^") setze(c, TOK_DELIM | Z_EINZELN);
    for (const char c : "XYZAI") setze(c, TOK_AXIS | Z_EINZELN);
    for (const char c : "ETPC") setze(c, TOK_SELECTOR | Z_EINZELN);
    for (char c = '0'; c <= '9'; ++c) setze(c, TOK_NUMBER);
    setze('V', TOK_VARIABLE | Z_EINZELN);
    setze('"', TOK_TEXT);
    z[0] = TOK_UNKNOWN;  // the loops above also visit the NUL of each literal
    z[static_cast<uint8_t>(' ')] |= Z_LEER;
    z[static_cast<uint8_t>('\t')] |= Z_LEER;
    // The 24 characters (and TAB, CR, LF, NUL) that end a number token.
    for (const char c : " ,+/-*%=!()^MP<>V\"DXYZAT\t\r\n")
      z[static_cast<uint8_t>(c)] |= Z_ENDET_ZAHL;                              // the loop also marks the NUL
    for (const char c : "\"\r\n") z[static_cast<uint8_t>(c)] |= Z_ENDET_TEXT;  // and the NUL
  }
  constexpr void setze(char c, int klasse) {
    uint8_t &k = z[static_cast<uint8_t>(c)];
    k = static_cast<uint8_t>((k & ~(Z_KLASSE | Z_EINZELN)) | klasse);
  }
  constexpr uint8_t operator[](char c) const { return z[static_cast<uint8_t>(c)]; }
};
inline constexpr Zeichenklassen kZeichen;

// The rest of a text token behind its opening quote at p: the cursor on
// the closing quote, CR, LF or NUL.
char *liesText(char *p);

// Reads the token at l.p: skips spaces and tabs, classifies the first
// character, and for a number reads its value in the same pass.
inline void lies(Leser &l) {
  char *p = l.p;
  uint8_t z = kZeichen[*p];
  while (z & Z_LEER) z = kZeichen[*++p];
  l.anfang = p;
  l.zeichen = *p;
  l.typ = static_cast<uint8_t>(z & Z_KLASSE);
  if (z & Z_EINZELN) {
    ++p;
  } else if (l.typ == TOK_NUMBER) {
    auto wert = static_cast<uint32_t>(*p - '0');
    for (++p; istZiffer(*p); ++p) wert = wert * 10u + static_cast<uint32_t>(*p - '0');
    while (!(kZeichen[*p] & Z_ENDET_ZAHL)) ++p;  // 12.75, 3E2: the rest of the token
    l.wert = static_cast<int32_t>(wert);
  } else if (l.typ == TOK_TEXT) {
    p = liesText(p);
  }
  l.p = p;
}

// Characters the reader's token took from the text (TokenLaenge).
inline uint16_t tokenLaenge(const Leser &l) {
  uintptr_t n;
  switch (l.typ) {
    case TOK_NUMBER: n = static_cast<uintptr_t>(l.p - l.anfang); break;
    case TOK_TEXT: n = static_cast<uintptr_t>(l.p - l.anfang - 1); break;
    case TOK_UNKNOWN: n = 0; break;
    default: n = 1; break;
  }
  return static_cast<uint16_t>(n < UINT16_MAX ? n : UINT16_MAX);
}

// True when the token has an empty text: a character that begins no
// token, or "".
inline bool tokenLeer(const Leser &l) {
  return l.typ == TOK_UNKNOWN || (l.typ == TOK_TEXT && l.p == l.anfang + 1);
}

// Token, TokenTyp and TokenLaenge become the reader's token.
inline void schreibeToken(const Leser &l) {
  TokenTyp = l.typ;
  TokenLaenge = tokenLaenge(l);
  switch (l.typ) {
    case TOK_NUMBER:
    case TOK_TEXT: {
      const char *text = l.typ == TOK_TEXT ? l.anfang + 1 : l.anfang;
      const uint16_t n = TokenLaenge < kTokenGroesse - 1 ? TokenLaenge : kTokenGroesse - 1;
      for (uint16_t i = 0; i < n; ++i) Token[i] = text[i];
      Token[n] = '\0';
      break;
    }
    case TOK_UNKNOWN: Token[0] = '\0'; break;
    default:
      Token[0] = l.zeichen;
      Token[1] = '\0';
      break;
  }
}

}  // namespace vela
