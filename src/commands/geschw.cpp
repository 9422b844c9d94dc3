// G, W and F commands: speeds, waits and the jog keypad / drive enable.
#include "commands/geschw.h"

#include <cstdint>

#include "commands/befehle.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

uint8_t FreiOn;
uint8_t FreiLowActive;

namespace {

bool istAchsBuchstabe(char c) { return c != '\0' && isInSet(c, "XYZAI") != 0; }
bool istMotorBuchstabe(char c) { return c != '\0' && isInSet(c, "XYZA") != 0; }
// Maximum speed of one index; a start speed above it is pulled down.
void setzeMax(int idx, int32_t speed) {
  MaxGeschw[idx] = static_cast<uint16_t>(speed);
  if (StartGeschw[idx] > MaxGeschw[idx]) StartGeschw[idx] = MaxGeschw[idx];
}

}  // namespace

// G [S|E] speed         all five indices (GE speed acts as G speed)
// G [S|E] axis speed    one index
int16_t befehlGeschw() {
  nextNonBlank();
  char form = ' ';
  if (*NextBefp == 'S' || *NextBefp == 'E') {
    form = *NextBefp;
    nextNonBlank();
  }
  int16_t code = F_OK;
  if (isNumberStart(*NextBefp) != 0) {
    code = evalAusdruck(ArgWert1);
    if (code == F_OK) {
      for (int i = 0; i < kAchsen; ++i) {
        if (form == 'S') {
          Befehl = BEF_GS_ALLE;
          StartGeschw[i] = static_cast<uint16_t>(ArgWert1);
        } else {
          Befehl = BEF_G_ALLE;
          setzeMax(i, ArgWert1);
        }
        calcRampe(static_cast<uint8_t>(i));
      }
    }
  } else if (istAchsBuchstabe(*NextBefp)) {
    const uint8_t idx = axisIndex(*NextBefp);
    ArgWert3 = idx;
    nextNonBlank();
    code = evalAusdruck(ArgWert1);
    if (code == F_OK) {
      if (form == 'S') {
        Befehl = BEF_GS_ACHSE;
        StartGeschw[idx] = static_cast<uint16_t>(ArgWert1);
      } else if (form == 'E') {
        Befehl = BEF_GE;
        EndGeschw[idx] = static_cast<uint16_t>(ArgWert1);
      } else {
        Befehl = BEF_G_ACHSE;
        setzeMax(idx, ArgWert1);
      }
      calcRampe(idx);
    }
  } else {
    code = F_BEFEHL;
  }
  skipLine(code);
  return code;
}

// W time | WE input | WNE input | W axis   reported, no wait
// W                                         repeats until every axis and the path rest
int16_t befehlWarte() {
  char *w = NextBefp;
  nextNonBlank();
  int16_t code = F_OK;
  const char c = *NextBefp;
  if (isNumberStart(c) != 0) {
    code = evalAusdruck(ArgWert1);
    if (code == F_OK) Befehl = BEF_W_ZEIT;
  } else if (c == 'E') {
    nextNonBlank();
    Befehl = BEF_WE;
    code = evalAusdruck(ArgWert1);
  } else if (folgtWort("NE")) {
    ++NextBefp;
    nextNonBlank();
    Befehl = BEF_WNE;
    code = evalAusdruck(ArgWert1);
  } else if (istAchsBuchstabe(c)) {
    Befehl = BEF_W_ACHSE;
    ArgWert3 = axisIndex(c);
  } else {
    // Anything but a line end after the W is ignored, and the W still waits.
    if (istZeilenende(c)) Befehl = BEF_W;
    for (int16_t i = 0; i < kAchsen; ++i) {
      if (!isAchseFertig(i)) {
        NextBefp = w;
        return F_OK;
      }
    }
  }
  skipLine(code);
  return code;
}

// FXY k0, ..., k8   teach-in keys (a failed value ends the list)
// F axis            axis selection
// FREION | FREIOFF | FREIHIGH | FREILOW
int16_t befehlFrei() {
  nextNonBlank();
  int16_t code = F_OK;
  if (folgtWort("XY")) {
    NextBefp += 2;
    for (int i = 0; i < kTeachTasten; ++i) {
      if (evalAusdruck(ArgWert1) != F_OK) break;
      TeachTasten[i] = static_cast<uint8_t>(ArgWert1);
    }
    Befehl = BEF_F_TASTEN;
  } else if (istMotorBuchstabe(*NextBefp)) {
    Befehl = BEF_F_ACHSE;
    ArgWert3 = axisIndex(*NextBefp);
  } else if (folgtWort("REION")) {
    Befehl = BEF_FREION;
    FreiOn = 1;
  } else if (folgtWort("REIOFF")) {
    Befehl = BEF_FREIOFF;
    FreiOn = 0;
  } else if (folgtWort("REIHIGH")) {
    FreiLowActive = 0;
  } else if (folgtWort("REILOW")) {
    FreiLowActive = 1;
  } else {
    code = F_BEFEHL;
  }
  skipLine(code);
  return code;
}

void resetGeschw() {
  FreiOn = 0;
  FreiLowActive = 0;
}

}  // namespace vela
