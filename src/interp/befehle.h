// Command handlers, one per command letter (A X Y Z share one). A handler
// is entered with the cursor on its letter, reads its line, leaves its
// command code in Befehl and returns an error code (0 on success).
#pragma once

#include <cstdint>

namespace vela {

using Handler = int16_t (*)();

int16_t befehlAchse();      // A X Y Z: axis moves, homing request, scale
int16_t befehlBreak();      // B: BREAK
int16_t befehlKreis();      // C: circles and position presets
int16_t befehlAnzeige();    // D: display texts and values, relative moves
int16_t befehlEnde();       // E: ENDE and the END-switch forms
int16_t befehlFrei();       // F: jog keys, axis selection, drive enable
int16_t befehlGeschw();     // G: speeds
int16_t befehlInterpol();   // I: path moves and path scale
int16_t befehlSprung();     // J: jumps, subroutine and program calls
int16_t befehlKey();        // K: key code into a value variable
int16_t befehlLoop();       // L: loops, LOAD, LVAR
int16_t befehlMarke();      // M: label line
int16_t befehlPunkt();      // P: point variables, PVAR, PRIO, program header
int16_t befehlQ();          // Q
int16_t befehlReturn();     // R: RETURN and the value forms
int16_t befehlStop();       // S: SO and STOP
int16_t befehlText();       // T: text variables and TE
int16_t befehlVar();        // V: value variables
int16_t befehlWarte();      // W: waits
int16_t befehlUngueltig();  // H N O U: not a command

}  // namespace vela
