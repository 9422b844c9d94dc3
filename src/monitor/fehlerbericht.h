// The error report of the monitor on the display.
#pragma once

#include <cstdint>

namespace vela {

// Shows the message of an error and the failing line with the next.
void reportError(int16_t code);

}  // namespace vela
