// Placeholders for the control-flow and variable handlers until they exist.
#include "flow/programme.h"
#include "interp/befehle.h"
#include "interp/zustand.h"
#include "vela.h"

namespace vela {

int16_t befehlBreak() { return befehlUngueltig(); }
int16_t befehlEnde() { return befehlUngueltig(); }
int16_t befehlSprung() { return befehlUngueltig(); }
int16_t befehlKey() { return befehlUngueltig(); }
int16_t befehlLoop() { return befehlUngueltig(); }
int16_t befehlMarke() { return befehlUngueltig(); }
int16_t befehlPunkt() { return befehlUngueltig(); }
int16_t befehlQ() { return befehlUngueltig(); }
int16_t befehlReturn() { return befehlUngueltig(); }
int16_t befehlStop() { return befehlUngueltig(); }
int16_t befehlText() { return befehlUngueltig(); }

char FlashArea[kBereichGroesse + 2];
char EepromArea[kBereichGroesse + 1];
char *FlashStart = FlashArea;
char *EepromStart = EepromArea;
char *findProgramm(const char *, char) { return nullptr; }
char *findProgrammAnywhere(const char *, char *) { return nullptr; }
uint8_t nextTask() { return 0; }
void resetTaskStacks(uint8_t) {}
void resetProgramme() {}

}  // namespace vela

extern "C" {
int16_t VELA_CALL FetchMarken(char *) { return 0; }
char *VELA_CALL findFirstProgramm(void) {
  vela::ProgStart[0] = Programm;
  return Programm[0] != '\0' ? Programm : nullptr;
}
}
