// Token scanner.
//
// The scanner works in place on the program text: a token's characters are
// copied into Token (at most 79; a longer token is still consumed whole,
// and TokenLaenge keeps its true length so that the evaluator can give it
// back exactly).
#include "expr/scanner.h"

#include <cstdint>

namespace vela {

char Token[kTokenGroesse];
uint8_t TokenTyp;
uint16_t TokenLaenge;

char *liesText(char *p) {
  for (++p; !(kZeichen[*p] & Z_ENDET_TEXT); ++p) {
  }
  return p;
}

void schreibeToken(const Leser &l) {
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

void getToken() {
  Leser l;
  l.p = NextBefp;
  lies(l);
  schreibeToken(l);
  NextBefp = l.p;
}

}  // namespace vela
