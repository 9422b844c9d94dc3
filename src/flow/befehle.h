// Handlers of the flow commands, and the letter table of every handler.
#pragma once

#include <cstdint>

#include "core/befehle.h"

namespace vela {

int16_t befehlBreak();   // B: BREAK
int16_t befehlEnde();    // E: ENDE and the END-switch forms
int16_t befehlSprung();  // J: jumps, subroutine and program calls
int16_t befehlLoop();    // L: loops, LOAD, LVAR
int16_t befehlMarke();   // M: label line
int16_t befehlQ();       // Q
int16_t befehlReturn();  // R: RETURN and the value forms
int16_t befehlStop();    // S: SO and STOP

// Back to the line after the running task's last J S call, and for a
// program call to the caller's program and labels (what RETURN does
// outside check mode). 0; F_ZU_VIELE_RETURNS with no open call and
// F_LISTENENDE for an address outside the stores, and nothing moves.
int16_t kehreZurueck();

// Handler of each capital letter, index letter - 'A'.
extern const Handler kBefehlsTabelle[26];

}  // namespace vela
