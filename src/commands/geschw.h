// State of the drive-enable commands.
#pragma once

#include <cstdint>

namespace vela {

extern uint8_t FreiOn;         // drive enable: 1 after FREION, 0 after FREIOFF
extern uint8_t FreiLowActive;  // enable signal level: 1 active low, 0 active high

void resetGeschw();

}  // namespace vela
