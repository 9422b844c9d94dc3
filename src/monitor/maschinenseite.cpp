// Load-time reset of the machine side.
#include "monitor/maschinenseite.h"

#include "commands/anzeige.h"
#include "commands/geschw.h"
#include "monitor/kanal.h"
#include "monitor/plattform.h"
#include "motion/antrieb.h"

namespace vela {

void resetMaschinenseite() {
  resetPlattform();
  resetKanal();
  resetAntrieb();
  resetGeschw();
  resetAnzeigeFormat();
}

}  // namespace vela
