// L command: loops, LOAD and LVAR.
//
//   L3        push {count 3, address behind the "3"}      BEF_L_START
//   X10       block
//   L         count > 1: back behind the "3", count - 1   BEF_L_ENDE
//             count <= 1: pop
//
// The count is kept as its low 16 bits read as signed, so counts of 1 or
// less give one pass; a count of 0 (tested on the full value) skips
// forward to the next line that begins with L.
#include <cstdint>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "flow/befehle.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

namespace {

// Loop end: repeat the innermost loop or pop it.
int16_t loopEnde() {
  Befehl = BEF_L_ENDE;
  int16_t &oben = V_UsedLoops[AktTask];
  if (oben < 0 || oben >= kStackTiefe) return F_ZU_VIELE_LENDEN;
  LoopEintrag &e = V_Loop[AktTask][oben];
  if (e.Anzahl > 1 && e.StartAdresse != nullptr) {
    if (!imSpeicher(e.StartAdresse)) return F_LISTENENDE;  // a host-written address
    NextBefp = e.StartAdresse;
    --e.Anzahl;
  } else {
    --oben;
  }
  return F_OK;
}

// Loop start with a count that is not 0.
int16_t loopStart(int32_t anzahl) {
  int16_t &oben = V_UsedLoops[AktTask];
  if (oben < -1) oben = -1;  // a host-written value below -1 means empty
  if (oben >= kStackTiefe - 1) return F_ZU_VIELE_LOOPS;
  ++oben;
  V_Loop[AktTask][oben].Anzahl = static_cast<int16_t>(static_cast<uint16_t>(anzahl & 0xFFFF));
  V_Loop[AktTask][oben].StartAdresse = NextBefp;
  return F_OK;
}

// Count 0: on to the first following line whose first non-blank is L.
void ueberspringe() {
  while (*NextBefp != '\0' && *NextBefp != 'L') {
    skipLine(0);
    while (isBlank(*NextBefp)) ++NextBefp;
  }
}

}  // namespace

// loop := 'L' ( "OAD" | "VAR" | expr | <nothing or no expression> )
int16_t befehlLoop() {
  nextNonBlank();
  if (folgtWort("OAD")) {
    // The controller goes idle; the cursor stays for it to see.
    Befehl = BEF_LOAD;
    return F_OK;
  }
  if (folgtWort("VAR")) {
    nextNonBlank();
    Befehl = BEF_LVAR;
    skipLine(0);
    return F_OK;
  }
  int16_t code = F_OK;
  if (evalAusdruck(ArgWert1) != F_OK) {
    // Whatever does not evaluate closes a loop.
    code = loopEnde();
  } else {
    Befehl = BEF_L_START;
    if (ArgWert1 == 0)
      ueberspringe();
    else
      code = loopStart(ArgWert1);
  }
  skipLine(code);
  return code;
}

}  // namespace vela
