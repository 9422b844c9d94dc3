// Calls the reset of every subsystem that keeps state of its own.
#include "subsysteme.h"

#include "commands/anzeigetext.h"
#include "monitor/maschinenseite.h"

namespace vela {

void resetSubsysteme() {
  resetAnzeigeText();
  resetMaschinenseite();
}

}  // namespace vela
