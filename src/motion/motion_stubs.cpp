// Placeholders for the motion handlers until they exist.
#include "interp/befehle.h"
#include "motion/bahn.h"
#include "vela.h"

namespace vela {

int16_t befehlAchse() { return befehlUngueltig(); }
int16_t befehlKreis() { return befehlUngueltig(); }
int16_t befehlInterpol() { return befehlUngueltig(); }
void loadKreis() {}
void stepBahn() {}

}  // namespace vela

extern "C" void VELA_CALL vela_setTestDatei(const char *) {}
