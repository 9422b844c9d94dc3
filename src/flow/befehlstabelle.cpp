// The letter table and execBefehl, the one entry through which a host or
// the monitor executes a command line.
#include <cstdint>

#include "commands/befehle.h"
#include "core/befehle.h"
#include "flow/befehle.h"
#include "vela.h"

namespace vela {

constexpr Handler kBefehlsTabelle[26] = {
    befehlAchse,      // A
    befehlBreak,      // B
    befehlKreis,      // C
    befehlAnzeige,    // D
    befehlEnde,       // E
    befehlFrei,       // F
    befehlGeschw,     // G
    befehlUngueltig,  // H
    befehlInterpol,   // I
    befehlSprung,     // J
    befehlKey,        // K
    befehlLoop,       // L
    befehlMarke,      // M
    befehlUngueltig,  // N
    befehlUngueltig,  // O
    befehlPunkt,      // P
    befehlQ,          // Q
    befehlReturn,     // R
    befehlStop,       // S
    befehlText,       // T
    befehlUngueltig,  // U
    befehlVar,        // V
    befehlWarte,      // W
    befehlAchse,      // X
    befehlAchse,      // Y
    befehlAchse,      // Z
};

}  // namespace vela

extern "C" int16_t VELA_CALL execBefehl(void) { return vela::dispatchBefehl(vela::kBefehlsTabelle); }
