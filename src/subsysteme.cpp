// Calls the reset of every subsystem that keeps state of its own.
#include "subsysteme.h"

#include "commands/anzeigetext.h"
#include "monitor/maschinenseite.h"
#include "motion/kreis.h"
#include "motion/testdatei.h"

namespace vela {

void resetSubsysteme() {
  resetAnzeigeText();
  resetMaschinenseite();
  resetKreis();
  resetTestDatei();
}

}  // namespace vela
