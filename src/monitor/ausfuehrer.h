// The executor hook of the run (declared for programs in vela_steuerung.h):
// the installed executor, and the hold that STOP puts on the run.
#pragma once

#include <cstdint>

#include "vela_steuerung.h"

namespace vela {

// 1 after STOP: the run holds until the host sends a command ('@' and a
// letter) between steps; cleared at run start and in idle.
extern uint8_t LaufAngehalten;

// Calls the installed executor, or the default one when none is installed.
int16_t fuehreAus(SchrittPhase phase, int16_t ergebnis);

// Stop requests for the single axes and the path.
void stoppeAlles();

// Load-time values: the default executor, no hold.
void resetAusfuehrer();

}  // namespace vela
