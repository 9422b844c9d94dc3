// Handlers of the variable, speed, display and motion commands.
#pragma once

#include <cstdint>

namespace vela {

int16_t befehlAchse();     // A X Y Z: axis moves, homing request, scale
int16_t befehlKreis();     // C: circles and position presets
int16_t befehlAnzeige();   // D: display texts and values, relative moves
int16_t befehlFrei();      // F: jog keys, axis selection, drive enable
int16_t befehlGeschw();    // G: speeds
int16_t befehlInterpol();  // I: path moves and path scale
int16_t befehlKey();       // K: key code into a value variable
int16_t befehlPunkt();     // P: point variables, PVAR, PRIO, program header
int16_t befehlText();      // T: text variables and TE
int16_t befehlVar();       // V: value variables
int16_t befehlWarte();     // W: waits

// Switch numbers of the last reference-run request XH d, s [YH d, s]: the
// second expression of each pair, which the request itself does not use.
extern int32_t ReferenzSchalter[2];
void resetReferenzSchalter();

}  // namespace vela
