// A, X, Y, Z commands: point-to-point moves of one or two axes, the
// reference-run request and the axis scale. The handler only plans: it
// leaves targets in steps and the step deltas for the drive layer.
#include <cstdint>

#include "commands/befehle.h"
#include "core/arith.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "planner/achsen.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

int32_t ReferenzSchalter[2];

void resetReferenzSchalter() { ReferenzSchalter[0] = ReferenzSchalter[1] = 0; }

namespace {

// Evaluates two expressions, the direction into wert and the switch number
// into schalter; the first error counts.
int16_t paar(int32_t &wert, int32_t &schalter) {
  const int16_t erster = evalAusdruck(wert);
  const int16_t zweiter = evalAusdruck(schalter);
  return erster != F_OK ? erster : zweiter;
}

// home := axis "H" expr "," expr [("Y" | "Z" | "A") any expr "," expr]
int16_t referenz() {
  nextNonBlank();
  int16_t code = paar(ArgWert1, ReferenzSchalter[0]);
  if (code != F_OK) return code;
  if (!isInSet(*NextBefp, "YZA")) {
    Befehl = BEF_HOME;
    return F_OK;
  }
  ArgWert4 = axisIndex(*NextBefp);
  nextNonBlank();
  nextNonBlank();
  Befehl = BEF_HOME_PAAR;
  code = paar(ArgWert2, ReferenzSchalter[1]);
  return code;
}

// scale := axis ("M" any | "S") expr      (0 is refused)
int16_t skala(int32_t *tabelle, uint8_t achse, int16_t befehl) {
  const int16_t code = evalAusdruck(ArgWert1);
  if (code != F_OK) return code;
  if (ArgWert1 == 0) return F_PROGNR;
  tabelle[achse] = ArgWert1;
  Befehl = befehl;
  return F_OK;
}

// move := axis expr [("X" | "Y" | "Z" | "A") expr]
int16_t fahre(uint8_t a) {
  int32_t erster = 0;
  int16_t code = evalAusdruck(erster);
  if (code != F_OK) return code;
  if (!isInSet(*NextBefp, "XYZA")) {
    Befehl = BEF_ACHSE;
    planeAchse(a, erster);
    ArgWert1 = SollSchritte[a];
    return F_OK;
  }
  Befehl = BEF_ACHSPAAR;
  const uint8_t b = axisIndex(*NextBefp);
  ArgWert4 = b;
  nextNonBlank();
  int32_t zweiter = 0;
  code = evalAusdruck(zweiter);
  if (code != F_OK) return code;
  planeAchsPaar(a, erster, b, zweiter);
  ArgWert1 = toSchritte(a, erster);
  ArgWert2 = toSchritte(b, zweiter);
  return F_OK;
}

}  // namespace

int16_t befehlAchse() {
  const char c = *NextBefp;
  const uint8_t a = c == 'X' ? ACHSE_X : c == 'Y' ? ACHSE_Y : c == 'Z' ? ACHSE_Z : ACHSE_A;
  ArgWert3 = a;
  nextNonBlank();
  int16_t code;
  switch (*NextBefp) {
    case 'H': code = referenz(); break;
    case 'M':
      nextNonBlank();
      nextNonBlank();
      code = skala(AchsMM, a, BEF_SKALA_MM);
      break;
    case 'S':
      nextNonBlank();
      code = skala(AchsSchritte, a, BEF_SKALA_SCHRITTE);
      break;
    default: code = fahre(a); break;
  }
  skipLine(code);
  return code;
}

}  // namespace vela
