// Host requests: the request dispatcher, the listing and dump of the
// program stores and the transfer of one program to the host.
#pragma once

#include <cstdint>

namespace vela {

// Reads and carries out one host request; its result goes to the main loop.
uint8_t hostRequest();

}  // namespace vela
