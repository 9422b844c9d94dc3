// Placeholders for the machine-side handlers until they exist.
#include "interp/befehle.h"

namespace vela {

int16_t befehlAnzeige() { return befehlUngueltig(); }
int16_t befehlFrei() { return befehlUngueltig(); }
int16_t befehlGeschw() { return befehlUngueltig(); }
int16_t befehlWarte() { return befehlUngueltig(); }

}  // namespace vela
