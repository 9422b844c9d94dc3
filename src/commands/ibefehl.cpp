// I command: the path index. IL queues a straight line of X, Y, Z; IS and
// IMM set the path scale; IH and the general form leave a request with its
// operands for the executor.
#include <cstdint>

#include "commands/befehle.h"
#include "core/arith.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

namespace {

// line := "IL" expr "," expr "," expr
// Waits (cursor back on the line, code 0) while the ring is full. A line
// longer than the tick's error terms can carry is refused with 2.
int16_t gerade(bool &wartet) {
  nextNonBlank();
  int16_t code = evalAusdruck(ArgWert1);
  if (code == F_OK) code = evalAusdruck(ArgWert2);
  if (code == F_OK) code = evalAusdruck(ArgWert3);
  if (code != F_OK) return code;
  if (isBahnVoll()) {
    wartet = true;
    return F_OK;
  }
  const int32_t ziel[3] = {ArgWert1, ArgWert2, ArgWert3};
  return planGerade(ziel);
}

// scale := ("IS" | "IMM") expr      (0 is refused)
int16_t skala(int32_t &faktor, int16_t befehl) {
  const int16_t code = evalAusdruck(ArgWert1);
  if (code != F_OK) return code;
  if (ArgWert1 == 0) return F_PROGNR;
  faktor = ArgWert1;
  Befehl = befehl;
  return F_OK;
}

// general := ("H" | other) (number | axis expr)
int16_t allgemein() {
  const char c = *NextBefp;
  if (isNumberStart(c)) {
    const int16_t code = evalAusdruck(ArgWert1);
    if (code == F_OK) ArgWert2 = 1;
    return code;
  }
  if (isInSet(c, "XYZA")) {
    ArgWert3 = axisIndex(c);
    nextNonBlank();
    return evalAusdruck(ArgWert1);
  }
  return F_BEFEHL;
}

}  // namespace

int16_t befehlInterpol() {
  nextNonBlank();
  ArgWert2 = 0;
  int16_t code;
  bool wartet = false;
  const char c = *NextBefp;
  if (c == 'L') {
    code = gerade(wartet);
  } else if (c == 'H') {
    Befehl = BEF_IH;
    nextNonBlank();
    code = allgemein();
  } else if (c == 'S') {
    nextNonBlank();
    code = skala(AchsSchritte[ACHSE_I], BEF_SKALA_SCHRITTE);
  } else if (c == 'M' && NextBefp[1] == 'M') {
    nextNonBlank();
    nextNonBlank();
    code = skala(AchsMM[ACHSE_I], BEF_SKALA_MM);
  } else {
    Befehl = BEF_I_ALLGEMEIN;
    code = allgemein();
  }
  skipLine(wartet ? 1 : code);
  return code;
}

}  // namespace vela
