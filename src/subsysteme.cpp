// Calls the reset of every subsystem that keeps state of its own.
#include "subsysteme.h"

#include "motion/kreis.h"
#include "motion/testdatei.h"

namespace vela {

void resetSubsysteme() {
  resetKreis();
  resetTestDatei();
}

}  // namespace vela
