// The reset registry: every layer's load-time reset, bottom to top. Each
// reset restores the load-time values of its own module, so that
// vela_reset() leaves the library as it was loaded.
#include "commands/anzeige.h"
#include "commands/anzeigetext.h"
#include "commands/befehle.h"
#include "commands/geschw.h"
#include "core/zustand.h"
#include "expr/scanner.h"
#include "flow/stop.h"
#include "monitor/ausfuehrer.h"
#include "monitor/datensatz.h"
#include "monitor/laden.h"
#include "monitor/monitorzustand.h"
#include "monitor/schritt.h"
#include "monitor/speichern.h"
#include "monitor/tastatur.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "planner/kreis.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "platform/testdatei.h"
#include "vela.h"

namespace vela {

namespace {

using Ruecksetzer = void (*)();

constexpr Ruecksetzer kRuecksetzer[] = {
    // platform
    resetPlattform,
    resetKanal,
    resetSpeicher,
    resetTestDatei,
    // core
    resetInterp,
    // planner
    resetAchsen,
    resetBahn,
    resetKreis,
    resetAntrieb,
    // expressions
    resetScanner,
    // commands
    resetGeschw,
    resetAnzeigeFormat,
    resetAnzeigeText,
    resetReferenzSchalter,
    // flow
    resetEndSchalter,
    // monitor
    resetMonitorZustand,
    resetLaden,
    resetSpeichern,
    resetDatensatz,
    resetTastatur,
    resetAusfuehrer,
    resetSchritt,
};

}  // namespace

void resetAlles() {
  for (Ruecksetzer r : kRuecksetzer) r();
}

}  // namespace vela

extern "C" void VELA_CALL vela_reset(void) { vela::resetAlles(); }
