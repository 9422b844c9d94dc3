// Calls the reset of every subsystem that keeps state of its own.
#include "subsysteme.h"

#include "monitor/maschinenseite.h"

namespace vela {

void resetSubsysteme() { resetMaschinenseite(); }

}  // namespace vela
