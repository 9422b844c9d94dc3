// execBefehl: executes the one command line at the cursor.
//
// Blanks and empty lines before the command are consumed; a capital letter
// selects the handler from the table below; '$' and '@' lines are
// no-ops; anything else is 19 "falscher Befehl".
#include <cstdint>

#include "interp/befehle.h"
#include "interp/cursor.h"
#include "interp/fehler.h"
#include "interp/zustand.h"
#include "vela.h"

namespace vela {

namespace {

constexpr Handler kHandler[26] = {
    befehlAchse,      // A
    befehlBreak,      // B
    befehlKreis,      // C
    befehlAnzeige,    // D
    befehlEnde,       // E
    befehlFrei,       // F
    befehlGeschw,     // G
    befehlUngueltig,  // H
    befehlInterpol,   // I
    befehlSprung,     // J
    befehlKey,        // K
    befehlLoop,       // L
    befehlMarke,      // M
    befehlUngueltig,  // N
    befehlUngueltig,  // O
    befehlPunkt,      // P
    befehlQ,          // Q
    befehlReturn,     // R
    befehlStop,       // S
    befehlText,       // T
    befehlUngueltig,  // U
    befehlVar,        // V
    befehlWarte,      // W
    befehlAchse,      // X
    befehlAchse,      // Y
    befehlAchse,      // Z
};

}  // namespace

int16_t befehlUngueltig() {
  skipLine(1);
  return F_BEFEHL;
}

}  // namespace vela

extern "C" {

int16_t VELA_CALL execBefehl(void) {
  using namespace vela;
  Befehl = 0;
  // A store filled to its last byte has no NUL to end the text: refuse it
  // rather than read past the store.
  if (Programm[kProgrammGroesse - 1] != '\0') return F_LISTENENDE;
  for (;;) {
    while (isBlank(*NextBefp)) ++NextBefp;
    if (!istZeilenende(*NextBefp)) break;
    skipLine(0);
  }
  const char c = *NextBefp;
  if (c >= 'A' && c <= 'Z') return kHandler[c - 'A']();
  skipLine(0);
  return (c == '$' || c == '@') ? F_OK : F_BEFEHL;
}

void VELA_CALL DelphiInit(void) {
  using namespace vela;
  for (int t = 0; t < kTasks; ++t) ProgStart[t] = Programm;
  NextBefp = Programm;
}

}  // extern "C"
