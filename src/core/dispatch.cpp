// The dispatcher: executes the one command line at the cursor.
//
// Blanks and empty lines before the command are consumed; a capital letter
// selects the handler from the letter table; '$' and '@' lines are
// no-ops; anything else is 19 "falscher Befehl".
#include <cstdint>

#include "core/befehle.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

int16_t befehlUngueltig() {
  skipLine(1);
  return F_BEFEHL;
}

int16_t dispatchBefehl(const Handler (&tabelle)[26]) {
  // A cursor that a host has set outside the program stores is not followed.
  if (!imSpeicher(NextBefp)) return F_LISTENENDE;
  Befehl = BEF_KEINER;
  // A store filled to its last byte has no NUL to end the text: refuse it
  // rather than read past the store.
  if (Programm[kProgrammGroesse - 1] != '\0') return F_LISTENENDE;
  // Blanks and line ends before the command (skipLine 0 from a line end
  // steps over the run of line ends).
  char *p = NextBefp;
  for (;;) {
    while (isBlank(*p)) ++p;
    if (!istZeilenende(*p)) break;
    while (istZeilenende(*p)) ++p;
  }
  NextBefp = p;
  const char c = *p;
  if (c >= 'A' && c <= 'Z') return tabelle[c - 'A']();
  skipLine(0);
  return (c == '$' || c == '@') ? F_OK : F_BEFEHL;
}

}  // namespace vela

extern "C" {

void VELA_CALL DelphiInit(void) {
  using namespace vela;
  for (int t = 0; t < kTasks; ++t) ProgStart[t] = Programm;
  NextBefp = Programm;
}

}  // extern "C"
