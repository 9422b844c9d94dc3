// Load-time reset of the machine side: devices, terminal output, drive
// layer and the speed, enable and display-format commands.
#pragma once

namespace vela {

void resetMaschinenseite();

}  // namespace vela
