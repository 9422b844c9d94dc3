// C command: arcs (CW, CCW, CPP) and the position presets (CP, CE).
#include <cstdint>

#include "commands/befehle.h"
#include "core/arith.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "planner/kreis.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

namespace {

enum class Kopf { E, P, Bogen };

// axis-form := ("E" | "P" | arc-head) axis [expr]
// CP sets one commanded position (BEF_CP_ACHSE), or zeroes it without a
// value (BEF_CP_ACHSE_NULL); CE only reports the axis (BEF_CE_ACHSE).
void einzelAchse(Kopf kopf) {
  const uint8_t achse = axisIndex(*NextBefp);
  nextNonBlank();
  ArgWert3 = achse;
  const int16_t code = evalAusdruck(ArgWert1);
  if (kopf == Kopf::E) {
    Befehl = BEF_CE_ACHSE;
  } else if (code == F_OK) {
    SollPos[achse] = ArgWert1;
    SollSchritte[achse] = toSchritte(achse, ArgWert1);
    Befehl = BEF_CP_ACHSE;
  } else {
    SollPos[achse] = SollSchritte[achse] = 0;
    Befehl = BEF_CP_ACHSE_NULL;
  }
}

// all-form := ("E" | "P") [expr]
// CP sets all four axes (BEF_CP_ALLE) or zeroes them (BEF_CP_ALLE_NULL);
// CE reports only (BEF_CE_ALLE).
void alleAchsen(Kopf kopf) {
  const int16_t code = evalAusdruck(ArgWert1);
  if (kopf == Kopf::E) {
    Befehl = BEF_CE_ALLE;
    return;
  }
  for (uint8_t a = 0; a < kMotorAchsen; ++a) {
    SollPos[a] = code == F_OK ? ArgWert1 : 0;
    SollSchritte[a] = code == F_OK ? toSchritte(a, ArgWert1) : 0;
  }
  Befehl = code == F_OK ? BEF_CP_ALLE : BEF_CP_ALLE_NULL;
}

// arc := ("W" | "CW" | "PP") expr "," expr ["," expr "," expr]
// The first pair is the centre (CW, CCW) or the intermediate point (CPP),
// the second the end point, both relative to the current position in user
// units; without an end point the arc is a full circle.
int16_t bogen(bool dreiPunkt, uint8_t richtung) {
  // Segments still queued run to their end before the arc, so that the
  // arc starts where they end and nothing queued is lost. Without the test
  // run the platform runs them: the arc waits for the idle path.
  if (KreisTestlauf != 0) laufeGeradenAus();

  if (evalAusdruck(ArgWert1) != F_OK || evalAusdruck(ArgWert2) != F_OK) return F_UNVOLLST;
  ArgWert1 = toSchritte(ACHSE_X, ArgWert1);
  ArgWert2 = toSchritte(ACHSE_Y, ArgWert2);

  int32_t endeX = 0, endeY = 0;
  char *p = NextBefp;
  const bool zeilenende = isLineEndAfterBlanks(p) != 0 || *p == '\0';
  if (!zeilenende) {
    // Something other than the line end after the first pair must be a
    // complete end point.
    if (evalAusdruck(endeX) != F_OK || evalAusdruck(endeY) != F_OK) return F_BEFEHL;
  }
  const int32_t ziel[2] = {wrapAdd(SollPos[ACHSE_X], endeX), wrapAdd(SollPos[ACHSE_Y], endeY)};
  ArgWert3 = zielDelta(ACHSE_X, ziel[0]);
  ArgWert4 = zielDelta(ACHSE_Y, ziel[1]);

  bool wartet = false;
  const int16_t code =
      fahreKreis(dreiPunkt, {ArgWert1, ArgWert2}, {ArgWert3, ArgWert4}, ziel, richtung, wartet);
  if (code != F_OK) return code;
  skipLine(wartet ? 1 : 0);
  return F_OK;
}

}  // namespace

// C-line := "C" head ...   head := "E" | "W" | "CW" | "PP" | "P"
int16_t befehlKreis() {
  nextNonBlank();
  Kopf kopf = Kopf::Bogen;
  uint8_t richtung = 0;
  bool dreiPunkt = false;
  const char c = *NextBefp;
  if (c == 'E') {
    kopf = Kopf::E;
    nextNonBlank();
  } else if (c == 'W') {
    richtung = RICHTUNG_CW;
    nextNonBlank();
  } else if (c == 'C' && NextBefp[1] == 'W') {
    richtung = RICHTUNG_CCW;
    NextBefp += 2;
  } else if (c == 'P' && NextBefp[1] == 'P') {
    richtung = RICHTUNG_CW;
    dreiPunkt = true;
    NextBefp += 2;
  } else if (c == 'P') {
    kopf = Kopf::P;
    nextNonBlank();
  } else {
    skipLine(F_BEFEHL);
    return F_BEFEHL;
  }

  if (isInSet(*NextBefp, "AXYZ")) {
    einzelAchse(kopf);
  } else if (kopf != Kopf::Bogen) {
    alleAchsen(kopf);
  } else {
    const int16_t code = bogen(dreiPunkt, richtung);
    // A full ring sends the cursor back to the line from inside.
    if (code != F_OK) skipLine(code);
    return code;
  }
  skipLine(0);
  return F_OK;
}

}  // namespace vela
