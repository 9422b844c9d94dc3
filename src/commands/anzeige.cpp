// D command: texts and values put up for display, the output channel, the
// number format, the display position, and relative moves (one or two
// axes planned, or a straight path line queued).
//
// A value v with d decimals is shown as the fixed-point number v / 10^d,
// formatted "%<width>.<d>f".
#include "commands/anzeige.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "commands/anzeigetext.h"
#include "commands/befehle.h"
#include "core/arith.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

uint8_t FeldBreite = kFeldBreiteBeimLaden;
uint8_t NachkStellen;

namespace {

constexpr int32_t kKeineZeile = 99;
constexpr int kAnzeigeTextMax = sizeof AnzeigeText - 1;

void merke(int16_t &code, int16_t neu) {
  if (code == F_OK) code = neu;
}

bool istMotorBuchstabe(char c) { return c != '\0' && isInSet(c, "XYZA") != 0; }

// Adds a user offset to the commanded position and plans the axis from it,
// so that truncation never accumulates over a chain of relative moves.
void planeRelativ(uint8_t achse, int32_t offset) { planeAchse(achse, wrapAdd(SollPos[achse], offset)); }

// DIL x, y, z
int16_t dil() {
  NextBefp += 3;
  int32_t *ziel[3] = {&ArgWert1, &ArgWert2, &ArgWert3};
  for (int32_t *z : ziel) {
    const int16_t code = evalAusdruck(*z);
    if (code != F_OK) {
      skipLine(code);
      return code;
    }
  }
  if (isBahnVoll()) {
    skipLine(1);  // executed again on the next step
    return F_OK;
  }
  // Each offset is added to the commanded position, so that truncation
  // never accumulates over a chain of relative lines.
  int32_t absolut[3];
  for (uint8_t i = 0; i < 3; ++i) absolut[i] = wrapAdd(SollPos[i], *ziel[i]);
  const int16_t code = planGerade(absolut);
  skipLine(code);
  return code;
}

// DCH n: no line step; the dispatcher takes the line end on the next call.
int16_t dch() {
  NextBefp += 3;
  int32_t n = 0;
  const int16_t code = evalAusdruck(n);
  if (code != F_OK) return code;
  ArgWert1 = n;
  if (n == 2) {
    AktKanal = HostKanal;
  } else if (n == 3) {
    AktKanal = DisplayKanal;
  } else {
    return F_KANAL;
  }
  return F_OK;
}

// The quoted text at the cursor into AnzeigeText, cut to 23 characters;
// the cursor ends on the closing quote or the line end.
void kopiereText() {
  ++NextBefp;
  int n = 0;
  while (*NextBefp != '"' && *NextBefp != '\0' && !istZeilenende(*NextBefp)) {
    if (n < kAnzeigeTextMax) AnzeigeText[n++] = *NextBefp;
    ++NextBefp;
  }
  AnzeigeText[n] = '\0';
}

// D axis offset [D axis2 offset2]
void achsForm(int16_t &code) {
  const uint8_t a1 = axisIndex(*NextBefp);
  ArgWert3 = a1;
  nextNonBlank();
  const int16_t c1 = evalAusdruck(ArgWert1);
  merke(code, c1);
  if (c1 != F_OK) return;
  if (*NextBefp != 'D') {
    Befehl = BEF_D_ACHSE;
    planeRelativ(a1, ArgWert1);
    return;
  }
  nextNonBlank();
  if (!istMotorBuchstabe(*NextBefp)) return;
  const uint8_t a2 = axisIndex(*NextBefp);
  ArgWert4 = a2;
  nextNonBlank();
  const int16_t c2 = evalAusdruck(ArgWert2);
  merke(code, c2);
  Befehl = BEF_D_ACHSPAAR;
  if (c2 != F_OK) return;
  SollPos[a1] = wrapAdd(SollPos[a1], ArgWert1);
  SollPos[a2] = wrapAdd(SollPos[a2], ArgWert2);
  planeAchse(a1, SollPos[a1]);
  planeAchse(a2, SollPos[a2]);
}

}  // namespace

//   D ["text" | T index | row V... | axis offset [D axis offset] | F [w [, d]] | P col, row | expr]
//   with an optional row (an expression beginning with a digit or V) in front.
int16_t befehlAnzeige() {
  if (folgtWort("DIL")) return dil();
  if (folgtWort("DCH")) return dch();

  nextNonBlank();
  int32_t zeile = kKeineZeile;
  int16_t code = F_OK;
  if (isNumberStart(*NextBefp) != 0) {
    code = evalAusdruck(zeile);
    ArgWert1 = zeile;
    skipBlanks();
  }
  const int16_t textForm = zeile == kKeineZeile ? BEF_D_TEXT : BEF_D_TEXT_ZEILE;
  const char c = *NextBefp;
  if (c == '"') {
    kopiereText();
    Befehl = textForm;
  } else if (c == 'T') {
    nextNonBlank();
    int32_t index = 0;
    const int16_t ci = evalAusdruck(index);
    if (ci != F_OK) {
      merke(code, ci);
    } else if (index < 0 || index >= VELA_TEXTVARS) {
      merke(code, F_INDEX);
    } else {
      std::memcpy(AnzeigeText, V_TextVar[index], VELA_TEXTLAENGE);
      AnzeigeText[VELA_TEXTLAENGE - 1] = '\0';
      Befehl = textForm;
    }
  } else if (c == 'V') {
    const int16_t cv = evalAusdruck(ArgWert2);
    merke(code, cv);
    if (cv == F_OK) Befehl = BEF_D_WERT_ZEILE;
  } else if (istMotorBuchstabe(c)) {
    achsForm(code);
  } else if (c == 'F') {
    nextNonBlank();
    if (evalAusdruck(ArgWert1) == F_OK) {
      FeldBreite = static_cast<uint8_t>(ArgWert1);
      NachkStellen = evalAusdruck(ArgWert2) == F_OK ? static_cast<uint8_t>(ArgWert2) : 0;
    } else {
      FeldBreite = kFeldBreiteBeimLaden;
      NachkStellen = 0;
    }
    code = F_OK;  // a bad format restores the default and is no error
  } else if (c == 'P') {
    nextNonBlank();
    int16_t cp = evalAusdruck(ArgWert1);
    if (cp == F_OK) cp = evalAusdruck(ArgWert2);
    merke(code, cp);
    if (cp == F_OK) displayGoto(static_cast<int16_t>(ArgWert1), static_cast<int16_t>(ArgWert2));
  } else if (code == F_OK) {
    Befehl = BEF_D_WERT;
    ArgWert2 = ArgWert1;
  }
  skipLine(code);
  return code;
}

void printWert(Kanal *k, int32_t v) {
  const int breite = FeldBreite > kMaxFeldBreite ? kMaxFeldBreite : FeldBreite;
  const int stellen = NachkStellen > kMaxNachkStellen ? kMaxNachkStellen : NachkStellen;
  double teiler = 1.0;  // 10^stellen, exact in double up to 10^22
  for (int i = 0; i < stellen; ++i) teiler *= 10.0;
  char text[kMaxFeldBreite + kMaxNachkStellen + 16];
  const int n = std::snprintf(text, sizeof text, "%*.*f", breite, stellen, v / teiler);
  for (int i = 0; i < n && i < static_cast<int>(sizeof text) - 1; ++i) kanalSchreibe(k, text[i]);
}

void resetAnzeigeFormat() {
  FeldBreite = kFeldBreiteBeimLaden;
  NachkStellen = 0;
}

}  // namespace vela
