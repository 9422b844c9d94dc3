// I command: the path index. IL queues a straight line of X, Y, Z; IS and
// IMM set the path scale; IH and the general form leave a request with its
// operands for the executor.
#include <cstdint>

#include "expr/eval.h"
#include "interp/arith.h"
#include "interp/befehle.h"
#include "interp/cursor.h"
#include "interp/fehler.h"
#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "vela.h"

namespace vela {

namespace {

uint32_t betrag(int32_t v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v); }

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
  int32_t schritte[3];
  for (uint8_t a = 0; a < 3; ++a) {
    schritte[a] = toSchritte(a, ziel[a]);
    if (betrag(wrapSub(schritte[a], SollSchritte[a])) > static_cast<uint32_t>(kMaxGeradeSchritte))
      return F_INDEX;
  }
  for (uint8_t a = 0; a < 3; ++a) {
    SollPos[a] = ziel[a];
    DeltaSchritte[a] = wrapSub(schritte[a], SollSchritte[a]);
    SollSchritte[a] = schritte[a];
  }
  planGerade();
  return F_OK;
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
    Befehl = 29;
    nextNonBlank();
    code = allgemein();
  } else if (c == 'S') {
    nextNonBlank();
    code = skala(AchsSchritte[ACHSE_I], 6);
  } else if (c == 'M' && NextBefp[1] == 'M') {
    nextNonBlank();
    nextNonBlank();
    code = skala(AchsMM[ACHSE_I], 5);
  } else {
    Befehl = 28;
    code = allgemein();
  }
  skipLine(wartet ? 1 : code);
  return code;
}

}  // namespace vela
