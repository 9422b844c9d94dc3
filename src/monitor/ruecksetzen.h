// The reset registry.
#pragma once

namespace vela {

// Restores every layer's state to its load-time values (vela_reset).
void resetAlles();

}  // namespace vela
