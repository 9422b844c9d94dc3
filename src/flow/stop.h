// END-switch settings written by the E command. The library itself never
// reads them; they are held for the side that watches the inputs.
#pragma once

#include <cstdint>

namespace vela {

constexpr int kEndInputs = 9;

extern uint8_t EndOnMode;              // 0 off; 1 on, stored list; 2 on, list of the last ENDON
extern uint8_t EndInputs[kEndInputs];  // input numbers that act as END switches
extern uint8_t EndLowActive;           // 0 active high, 1 active low

// Restores the load-time settings.
void resetEndSchalter();

}  // namespace vela
