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

// Handler of each capital letter, index letter - 'A'.
extern const Handler kBefehlsTabelle[26];

}  // namespace vela
