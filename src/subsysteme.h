// Load-time reset hooks of the subsystems whose state is not reset
// elsewhere. Each subsystem adds its own call in subsysteme.cpp.
#pragma once

namespace vela {

void resetSubsysteme();

}  // namespace vela
