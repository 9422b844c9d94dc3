// The default executor: what the controller does around each step.
//
//   before the step   J on an input or axis: V_Handshake from the input or
//                     the axis; K: ArgWert2 = key held; a path command (I,
//                     DIL) waits until no single-axis move of X Y Z runs; a
//                     C line waits until every axis and the path rest
//   after the step    start moves, reference runs, display output, waits,
//                     switch outputs, stops (one row per code in
//                     docs/executor.md)
//
// One motion at a time per axis: a single-axis move of an axis starts only
// when that axis rests and, for X Y Z, no path runs; the path and a
// single-axis move of the same axis would share its step count. Every wait
// is a round of the run's wait (laufRunde): the platform's idle hook, where
// the motors run, and a look at the host line, whose @N, @K, @L, @S end
// the wait (the monitor then leaves the step).
#include "monitor/ausfuehrer.h"

#include <cstdint>

#include "commands/anzeige.h"
#include "commands/anzeigetext.h"
#include "commands/befehle.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "flow/bedingung.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "platform/anzeige.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

namespace {

constexpr Ausfuehrer kStandard = nullptr;  // load-time value: the default executor
constexpr int32_t kKeineZeile = 99;        // row of a D form that names none
constexpr int32_t kMaxIoNummer = 255;      // highest switch number a platform can address

Ausfuehrer installiert = kStandard;
void *installiertKontext;  // handed to the installed executor

// Rounds of the run's wait until fertig holds; false when the platform
// asks to end or the host abandons the run first.
template <typename Bedingung>
bool warteBis(Bedingung fertig) {
  while (!fertig()) {
    if (!laufRunde()) return false;
  }
  return true;
}

bool istMotorAchse(int32_t a) { return a >= 0 && a < kMotorAchsen; }
bool istIoNummer(int32_t n) { return n >= 0 && n <= kMaxIoNummer; }

// No single-axis move of the axis runs and, for X Y Z, no path.
bool achseFrei(int32_t a) { return AchsLaeuft[a] == 0 && (a == ACHSE_A || BahnAktiv == 0); }
bool xyzFrei() { return AchsLaeuft[ACHSE_X] == 0 && AchsLaeuft[ACHSE_Y] == 0 && AchsLaeuft[ACHSE_Z] == 0; }
bool allesRuhig() {
  for (int16_t a = 0; a < kAchsen; ++a)
    if (!isAchseFertig(a)) return false;
  return true;
}

// An input is set while its switch is closed (reads 0), as a reference
// switch is actuated. A switch that cannot be read counts as open.
bool eingangGesetzt(uint8_t n) {
  uint8_t zustand = 1;
  readSchalter(n, zustand);
  return zustand == 0;
}

// V_Handshake for the J line at p: the truth of its input or axis
// condition, negated for the N forms. Other lines keep it; what the
// condition's expressions would assign is left to the step.
int16_t setzeHandshake(char *p) {
  SprungBedingung b{};
  Zuweisungen neu;
  if (leseSprungBedingung(p, b, neu) != F_OK) return F_OK;  // the J line reports its own error
  bool wahr;
  switch (b.form) {
    case BEF_JE:
    case BEF_JNE:
      if (!istIoNummer(b.wert)) return F_IONUMMER;
      wahr = eingangGesetzt(static_cast<uint8_t>(b.wert)) == (b.form == BEF_JE);
      break;
    case BEF_J_ACHSE:
    case BEF_JN_ACHSE: wahr = isAchseFertig(static_cast<int16_t>(b.wert)) == (b.form == BEF_J_ACHSE); break;
    default: return F_OK;
  }
  V_Handshake = wahr ? 1 : 0;
  return F_OK;
}

int16_t vorSchritt() {
  char *p = befehlsStelle(NextBefp);
  switch (p[0]) {
    case 'J': return setzeHandshake(p);
    case 'K': {
      // K V n stores ArgWert2: the key held down (17 for none).
      const uint8_t t = readTaste();
      ArgWert2 = t == KEINE_TASTE_MEHR ? KEINE_TASTE : t;
      break;
    }
    case 'I': warteBis(xyzFrei); break;
    case 'D':
      if (p[1] == 'I' && p[2] == 'L') warteBis(xyzFrei);
      break;
    case 'C': warteBis(allesRuhig); break;
    default: break;
  }
  return F_OK;
}

// Starts the single-axis moves of the axes a and b (b < 0: none) that have
// a step delta, once each of them is free.
void starteAchsen(int32_t a, int32_t b) {
  const bool mitA = istMotorAchse(a) && DeltaSchritte[a] != 0;
  const bool mitB = istMotorAchse(b) && b != a && DeltaSchritte[b] != 0;
  if (!warteBis([&] { return (!mitA || achseFrei(a)) && (!mitB || achseFrei(b)); })) return;
  if (mitA) startAchse(static_cast<int16_t>(a));
  if (mitB) startAchse(static_cast<int16_t>(b));
}

// A direction word: 0 stays 0, any other value stays nonzero with its sign.
int16_t richtung(int32_t r) {
  if (r > INT16_MAX) return INT16_MAX;
  if (r < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(r);
}

// Reference run of one axis (ArgWert3) or two (ArgWert3, ArgWert4), with
// the directions in ArgWert1, ArgWert2 and the switch numbers of the line.
int16_t referenz(bool paar) {
  const int32_t a1 = ArgWert3, a2 = ArgWert4;
  if (!istMotorAchse(a1) || (paar && !istMotorAchse(a2))) return F_OK;
  if (!istIoNummer(ReferenzSchalter[0]) || (paar && !istIoNummer(ReferenzSchalter[1]))) return F_IONUMMER;
  if (!warteBis([&] { return achseFrei(a1) && (!paar || achseFrei(a2)); })) return F_OK;
  const auto s1 = static_cast<uint8_t>(ReferenzSchalter[0]);
  if (!paar) {
    homeAchse(richtung(ArgWert1), static_cast<uint8_t>(a1), s1);
  } else {
    homeAchsPaar(richtung(ArgWert1), richtung(ArgWert2), static_cast<uint8_t>(a1), static_cast<uint8_t>(a2),
                 s1, static_cast<uint8_t>(ReferenzSchalter[1]));
  }
  return F_OK;
}

// A row of a D form as the display addresses it; a row that is not on the
// display becomes -1, so that the display drops the text rather than
// putting it on a row its number wraps to.
int16_t anzeigeZeile(int32_t zeile) {
  return zeile >= 0 && zeile < kAnzeigeZeilen ? static_cast<int16_t>(zeile) : int16_t{-1};
}

void zeigeText() {
  for (int i = 0; i < kAnzeigeGroesse && AnzeigeText[i] != '\0'; ++i) kanalSchreibe(AktKanal, AnzeigeText[i]);
}

// Waits until input n is set (WE) or not set (WNE); a switch that cannot
// be read any more ends the wait.
int16_t warteEingang(int32_t n, bool gesetzt) {
  if (!istIoNummer(n)) return F_IONUMMER;
  const auto nummer = static_cast<uint8_t>(n);
  warteBis([&] {
    uint8_t zustand = 1;
    return readSchalter(nummer, zustand) != 0 || (zustand == 0) == gesetzt;
  });
  return F_OK;
}

int16_t schalte(int32_t n, uint8_t wert) {
  if (!istIoNummer(n)) return F_IONUMMER;
  setSchalter(static_cast<uint8_t>(n), wert);
  return F_OK;
}

int16_t nachSchritt(int16_t ergebnis) {
  if (ergebnis != F_OK) {
    // The monitor stops the single axes of a failed step; the path stops too.
    stopAchse(ACHSE_I);
    return F_OK;
  }
  // Moves and reference runs by the command table's properties.
  const bool paar = vela_befehl_hat(Befehl, BEF_EIG_PAAR);
  if (vela_befehl_hat(Befehl, BEF_EIG_FAHRT)) starteAchsen(ArgWert3, paar ? ArgWert4 : -1);
  if (vela_befehl_hat(Befehl, BEF_EIG_REFERENZ)) return referenz(paar);
  switch (Befehl) {
    case BEF_D_WERT: printWert(AktKanal, ArgWert2); break;
    case BEF_D_TEXT: zeigeText(); break;
    case BEF_D_TEXT_ZEILE: displayLine(anzeigeZeile(ArgWert1), AnzeigeText, kAnzeigeSpalten); break;
    case BEF_D_WERT_ZEILE:
      if (ArgWert1 != kKeineZeile) displayGoto(0, anzeigeZeile(ArgWert1));
      printWert(AktKanal, ArgWert2);
      break;
    case BEF_W_ZEIT:
      if (ArgWert1 > 0) {
        const uint32_t start = getTicks();
        warteBis([&] { return getTicks() - start >= static_cast<uint32_t>(ArgWert1); });
      }
      break;
    case BEF_WE: return warteEingang(ArgWert1, true);
    case BEF_WNE: return warteEingang(ArgWert1, false);
    case BEF_W_ACHSE: warteBis([] { return isAchseFertig(static_cast<int16_t>(ArgWert3)); }); break;
    case BEF_SO: return schalte(ArgWert1, 1);
    case BEF_RO: return schalte(ArgWert1, 0);
    case BEF_BREAK: stoppeAlles(); break;
    case BEF_BREAK_ACHSE: stopAchse(static_cast<int16_t>(ArgWert3)); break;
    case BEF_STOP:
      stoppeAlles();
      LaufAngehalten = 1;
      break;
    default: break;
  }
  return F_OK;
}

}  // namespace

void stoppeAlles() {
  for (int16_t a = 0; a < kAchsen; ++a) stopAchse(a);
}

uint8_t LaufAngehalten;

int16_t standardAusfuehrer(SchrittPhase phase, int16_t ergebnis) {
  return phase == VOR_SCHRITT ? vorSchritt() : nachSchritt(ergebnis);
}

void setAusfuehrer(Ausfuehrer a, void *kontext) {
  installiert = a;
  installiertKontext = kontext;
}

int16_t fuehreAus(SchrittPhase phase, int16_t ergebnis) {
  return installiert != nullptr ? installiert(installiertKontext, phase, ergebnis)
                                : standardAusfuehrer(phase, ergebnis);
}

void resetAusfuehrer() {
  installiert = kStandard;
  installiertKontext = nullptr;
  LaufAngehalten = 0;
}

}  // namespace vela
