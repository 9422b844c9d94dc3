// Token scanner.
//
// The scanner works in place on the program text: a token's characters are
// copied into Token (at most 79; a longer token is still consumed whole,
// and TokenLaenge keeps its true length so that the evaluator can give it
// back exactly).
#include "expr/scanner.h"

#include <cstdint>
#include <cstring>

namespace vela {

char Token[kTokenGroesse];
uint8_t TokenTyp;
uint16_t TokenLaenge;

char *liesText(char *p) {
  for (++p; !(kZeichen[*p] & Z_ENDET_TEXT); ++p) {
  }
  return p;
}

void resetScanner() {
  std::memset(Token, 0, sizeof Token);
  TokenTyp = 0;
  TokenLaenge = 0;
}

void getToken() {
  Leser l;
  l.p = NextBefp;
  lies(l);
  schreibeToken(l);
  NextBefp = l.p;
}

}  // namespace vela
