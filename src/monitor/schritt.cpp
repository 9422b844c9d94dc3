// The monitor's step, and the check walk that runs the store through it.
//
//   step        executor before ─► execBefehl ─► executor after; a failure
//               puts the cursor back on the line
//   check mode  the step also takes RETURN from the return stack and
//               collects the labels of a program that a jump entered
//   check walk  the step over every line of the store: the flow from the
//               first program, then again from every line it did not reach
#include "monitor/schritt.h"

#include <cstdint>
#include <cstring>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "flow/befehle.h"
#include "monitor/ausfuehrer.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "platform/speicher.h"
#include "vela.h"
#include "vela_befehle.h"
#include "vela_steuerung.h"

namespace vela {

namespace {

// Times the walk executes a line before it goes past it instead (a
// backward jump would otherwise loop for ever).
constexpr uint8_t kMaxBesuche = 20;
// Rounds of the motor scheduler that run a path queued by a walk's step out
// (each up to MotorTakt::kMaxSchritteProRunde steps per axis).
constexpr int kMaxRunden = 100;
// The walk's visit counts: one per byte of the three stores (RAM, FLASH,
// EEPROM), kept at the first byte of each line.
constexpr int kBesuchsPlaetze = kProgrammGroesse + 2 * kBereichGroesse;
uint8_t Besuche[kBesuchsPlaetze];

// Start of the line after the one that holds p (on the NUL at the end).
char *naechsteZeile(char *p) {
  while (*p != '\0' && !istZeilenende(*p)) ++p;
  if (istZeilenende(*p)) ++p;
  return p;
}

// The visit count of the line that holds p; null outside the stores.
uint8_t *besuche(const char *p) {
  const char *bereich = bereichStart(p);
  if (bereich == nullptr) return nullptr;
  while (p > bereich && !istZeilenende(p[-1])) --p;
  const int basis = bereich == Programm    ? 0
                    : bereich == FlashArea ? kProgrammGroesse
                                           : kProgrammGroesse + kBereichGroesse;
  return &Besuche[basis + (p - bereich)];
}

// Start of the program of the RAM store that holds the line at zeile: the
// line after the last header line before it (a header line starts its own
// program), or the start of the store.
char *programmVon(const char *zeile) {
  char *start = Programm;
  for (char *q = Programm; q <= zeile && *q != '\0'; q = naechsteZeile(q)) {
    const char *b = q;
    while (isBlank(*b)) ++b;
    if (folgtWort(b, "PROG")) start = naechsteZeile(q);
  }
  return start;
}

// The walk goes on in the program that starts at start, with its labels.
void betritt(char *start) {
  ProgStart[AktTask] = start;
  FetchMarken(start);
}

// The motions that a step of the walk started end at once: a single-axis
// move at its target (where a stop was requested, where it stands), a
// queued path run out with the motor scheduler, stopped if it has not
// ended after kMaxRunden rounds.
void laufeAus() {
  for (uint8_t a = 0; a < kMotorAchsen; ++a) {
    if (StopAnforderung[a] == 2) haltAchse(a);
    vollendeAchse(a);
  }
  if (BahnAktiv == 0) return;
  MotorTakt takt(1);
  constexpr int64_t kRunde = int64_t{1000} * MotorTakt::kMaxSchritteProRunde;
  int64_t jetzt = 0;
  for (int n = 0; n < kMaxRunden && BahnAktiv != 0; ++n) takt.fahre(jetzt += kRunde);
  if (BahnAktiv == 0) return;
  stopAchse(ACHSE_I);
  for (int n = 0; n < kMaxRunden && BahnAktiv != 0; ++n) takt.fahre(jetzt += kRunde);
}

}  // namespace

void resetSchritt() { std::memset(Besuche, 0, sizeof Besuche); }

bool fuehreZeileAus(int16_t &ergebnis, bool (*abgebrochen)()) {
  char *const zeile = befehlsStelle(NextBefp);
  ergebnis = fuehreAus(VOR_SCHRITT, F_OK);
  if (abgebrochen != nullptr && abgebrochen()) return false;
  if (ergebnis != F_OK) {
    NextBefp = zeile;
    return true;
  }
  char *const programm = ProgStart[AktTask];
  UngelesenAb = nullptr;
  ergebnis = execBefehl();
  const int16_t nach = fuehreAus(NACH_SCHRITT, ergebnis);
  if (ergebnis != F_OK) return true;
  if (nach != F_OK) {
    ergebnis = nach;
    NextBefp = zeile;
    return true;
  }
  if (isChecking != 0) {
    if (Befehl == BEF_RETURN) {
      // As a run returns; with no open call on to the next line.
      if (kehreZurueck() != F_OK) NextBefp = naechsteZeile(zeile);
    } else if (vela_befehl_hat(Befehl, BEF_EIG_SPRUNG) && ProgStart[AktTask] != programm) {
      FetchMarken(ProgStart[AktTask]);
    }
  }
  return true;
}

// The walk follows the flow from the first program (jumps are taken, loops
// run, calls return) and then starts again at every line of the RAM store
// that the flow never reached, with the labels of the program that holds
// it, until every line has been seen. A failing line is reported and the
// walk goes on with the next line; so does it after ENDE, LOAD, a header
// (into the next program, with its labels) and a line that would wait.
// Termination: a line executes at most kMaxBesuche times, after that the
// walk steps past it, and every restart begins at a line not seen before.
long pruefGang(const PruefMelder &melder, long maxSchritte) {
  auto melde = [&melder](const char *zeile, int16_t code) {
    if (melder.fehler != nullptr) melder.fehler(melder.objekt, zeile, code);
  };
  if (Programm[kProgrammGroesse - 1] != '\0') {
    melde(Programm, F_LISTENENDE);
    return 0;
  }
  const uint8_t warPruefen = isChecking;
  isChecking = 1;
  AktTask = 0;
  resetSchritt();
  long schritte = 0;
  char *const start = findFirstProgramm();
  if (start != nullptr) {
    NextBefp = start;
    const int16_t code = FetchMarken(start);
    if (code != F_OK) melde(NextBefp, code);
  }
  bool kalt = start == nullptr;  // walking code that the flow did not reach
  char *weiter = start != nullptr ? start : befehlsStelle(Programm);
  char *suche = Programm;  // lines before it have all been seen
  // Only named programs: the walk starts with the labels of the first one.
  if (start == nullptr) betritt(programmVon(weiter));
  while (weiter != nullptr && schritte < maxSchritte) {
    NextBefp = weiter;
    while (schritte < maxSchritte) {
      char *p = befehlsStelle(NextBefp);
      uint8_t *besucht = besuche(p);
      if (*p == '\0' || besucht == nullptr) break;
      if (*besucht <= kMaxBesuche) ++*besucht;
      if (*besucht > kMaxBesuche) {
        NextBefp = naechsteZeile(p);
        continue;
      }
      const char buchstabe = *p;
      NextBefp = p;
      int16_t code = F_OK;
      fuehreZeileAus(code, nullptr);
      ++schritte;
      laufeAus();
      if (code != F_OK) {
        // Reached without the flow, a loop end may belong to a loop start
        // the walk did not come through: not reported.
        if (!kalt || code != F_ZU_VIELE_LENDEN) melde(p, code);
        NextBefp = naechsteZeile(p);
        continue;
      }
      if (melder.schritt != nullptr) melder.schritt(melder.objekt, p);
      const int befehl = Befehl;
      if (vela_befehl_hat(befehl, BEF_EIG_KOPF) && buchstabe == 'P') {
        NextBefp = naechsteZeile(p);
        betritt(NextBefp);
      } else if (befehl != BEF_RETURN &&
                 (vela_befehl_hat(befehl, BEF_EIG_ENDE) ||
                  (!vela_befehl_hat(befehl, BEF_EIG_SPRUNG) && befehlsStelle(NextBefp) == p))) {
        // ENDE, LOAD and anything that would wait: on with the next line.
        NextBefp = naechsteZeile(p);
      }
    }
    // The next line with a command that the walk has not seen.
    weiter = nullptr;
    kalt = true;
    for (; *suche != '\0'; suche = naechsteZeile(suche)) {
      char *b = suche;
      while (isBlank(*b)) ++b;
      if (!istZeilenende(*b) && *b != '\0' && *besuche(b) == 0) {
        weiter = b;
        break;
      }
    }
    if (weiter != nullptr) {
      const int16_t ebene = V_UsedReturns[AktTask];
      betritt(programmVon(weiter));
      V_UsedReturns[AktTask] = ebene;
    }
  }
  isChecking = warPruefen;
  return schritte;
}

}  // namespace vela
