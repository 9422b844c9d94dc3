// C command: arcs (CW, CCW, CPP) and the position presets (CP, CE).
#include <cstdint>

#include "expr/eval.h"
#include "interp/arith.h"
#include "interp/befehle.h"
#include "interp/cursor.h"
#include "interp/fehler.h"
#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "motion/kreis.h"
#include "vela.h"

namespace vela {

namespace {

enum class Kopf { E, P, Bogen };

// axis-form := ("E" | "P" | arc-head) axis [expr]
// CP sets one commanded position (13), or zeroes it without a value (11);
// CE only reports the axis (10).
void einzelAchse(Kopf kopf) {
  const uint8_t achse = axisIndex(*NextBefp);
  nextNonBlank();
  ArgWert3 = achse;
  const int16_t code = evalAusdruck(ArgWert1);
  if (kopf == Kopf::E) {
    Befehl = 10;
  } else if (code == F_OK) {
    SollPos[achse] = ArgWert1;
    SollSchritte[achse] = toSchritte(achse, ArgWert1);
    Befehl = 13;
  } else {
    SollPos[achse] = SollSchritte[achse] = 0;
    Befehl = 11;
  }
}

// all-form := ("E" | "P") [expr]
// CP sets all four axes (14) or zeroes them (12); CE reports only (9).
void alleAchsen(Kopf kopf) {
  const int16_t code = evalAusdruck(ArgWert1);
  if (kopf == Kopf::E) {
    Befehl = 9;
    return;
  }
  for (uint8_t a = 0; a < kMotorAchsen; ++a) {
    SollPos[a] = code == F_OK ? ArgWert1 : 0;
    SollSchritte[a] = code == F_OK ? toSchritte(a, ArgWert1) : 0;
  }
  Befehl = code == F_OK ? 14 : 12;
}

// arc := ("W" | "CW" | "PP") expr "," expr ["," expr "," expr]
// The first pair is the centre (CW, CCW) or the intermediate point (CPP),
// the second the end point, both relative to the current position in user
// units; without an end point the arc is a full circle.
int16_t bogen(bool dreiPunkt, uint8_t richtung) {
  // Segments still queued run to their end before the arc, so that the
  // arc starts where they end and nothing queued is lost.
  laufeGeradenAus();

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
  const int32_t neuX = wrapAdd(SollPos[ACHSE_X], endeX);
  const int32_t neuY = wrapAdd(SollPos[ACHSE_Y], endeY);
  const int32_t schritteX = toSchritte(ACHSE_X, neuX);
  const int32_t schritteY = toSchritte(ACHSE_Y, neuY);
  ArgWert3 = wrapSub(schritteX, SollSchritte[ACHSE_X]);
  ArgWert4 = wrapSub(schritteY, SollSchritte[ACHSE_Y]);

  const int16_t code = planKreis(dreiPunkt, richtung);
  if (code != F_OK) return code;
  if (countFreieSegmente() < KreisOktanten) {
    skipLine(1);
    return F_OK;
  }
  KreisBasis[0] = SollSchritte[ACHSE_X];
  KreisBasis[1] = SollSchritte[ACHSE_Y];
  SollPos[ACHSE_X] = neuX;
  SollPos[ACHSE_Y] = neuY;
  SollSchritte[ACHSE_X] = schritteX;
  SollSchritte[ACHSE_Y] = schritteY;
  runKreis(richtung);
  skipLine(0);
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
