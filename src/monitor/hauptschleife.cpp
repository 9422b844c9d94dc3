// The controller's main loop.
//
//   start-up ──► idle ──┬──► run start ──► step ──► step ...
//                 ▲     └──► download ──┬──► run start
//                 │                     └──► idle
//   step ──► idle        host K L N P, a failed step, LOAD
//   step ──► run start   host S, ENDE (or the next program's header)
//
// One command per step through execBefehl, with the executor around it
// (ausfuehrer.cpp) and up to three tasks taking turns (nextTask). Between
// steps the host may send '@' and a letter; the waits of a step (motions,
// W, WE, reference runs, single and display step) look at the host line in
// every round too (hostImWarten), so that @N, @K, @L and @S end a run that
// waits. Every wait and poll is a round of the platform's idle hook and
// gives up once the platform asks to end; only then does monitorMain return.
#include <cstdint>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/programme.h"
#include "core/zustand.h"
#include "monitor/anfragen.h"
#include "monitor/ausfuehrer.h"
#include "monitor/datensatz.h"
#include "monitor/fehlerbericht.h"
#include "monitor/laden.h"
#include "monitor/monitorzustand.h"
#include "monitor/schritt.h"
#include "monitor/speichern.h"
#include "monitor/tastatur.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/kreis.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela.h"
#include "vela_befehle.h"
#include "vela_steuerung.h"

namespace vela {

namespace {

enum class Zustand { Leerlauf, Laden, Laufstart, Schritt, Ende };

constexpr uint8_t kAusgaenge = 12;       // switch outputs 0..11, off at start-up
constexpr uint32_t kBannerPause = 1000;  // ticks the banner stays
constexpr uint32_t kFehlerPause = 100;   // ticks after an error report
constexpr int kZeilen = 4;               // display rows
constexpr int16_t kSpalten = 20;         // display columns
constexpr int kAnzeigeSchritt = 60;      // counts of program text in display step
constexpr char kBanner[kZeilen][21] = {" GRONDA             ", "VELA 12-12-02", " (Ing. Tellmark)    ",
                                       "KOR"};
constexpr char kBauDatum[] = "Dec 12 2002";
constexpr char kWeiter[] = "Weiter?             ";
constexpr int8_t kStartPrio[kTasks] = {0, 127, 127};

// A host command received in a wait that leaves the run: where the step
// goes once the wait has ended (Schritt: none).
Zustand Abgebrochen = Zustand::Schritt;
// In remote step, a host letter received in a wait that does not leave the
// run: the next step takes it as its own (0: none).
char Vorgemerkt = 0;

const char *leerzeile() { return FehlerTxt[F_LEERZEILE]; }

void antworte(char c) { kanalSchreibe(HostKanal, c); }

void putZeile(const char *t) {
  while (*t != '\0') putChar(*t++);
  putChar('\n');
}

// Start-up: devices, variables and axes to their start values, banner.
void starte() {
  AktTask = 0;
  // The platform's path tick runs the arcs: no test run inside the command.
  KreisTestlauf = 0;
  for (uint8_t i = 0; i < kAusgaenge; ++i) setSchalter(i, 0);
  clearTastatur();
  setTastaturAn(1);
  Programm[0] = '\0';
  for (int32_t &v : V_WertVar) v = 0;
  for (PunktEintrag &p : V_PunktVar) p = PunktEintrag{0, 0};
  for (auto &t : V_TextVar) {
    for (int i = 0; i < VELA_TEXTLAENGE - 1; ++i) t[i] = ' ';
    t[VELA_TEXTLAENGE - 1] = '\0';
  }
  V_xyTeached = PunktEintrag{0, 0};
  for (uint8_t a = 0; a < kMotorAchsen; ++a) {
    AchsZaehler[a] = 0;
    calcRampe(a);
  }
  PruefsummeAn = 0;
  LadeSumme = 0;
  LetztesErgebnis = F_OK;
  LaufAngehalten = 0;
  displayCmd(3);
  displayCmd(12);
  displayCmd(1);
  for (int16_t z = 0; z < kZeilen; ++z) displayLine(z, kBanner[z], kSpalten);
  for (const char *c = kBauDatum; *c != '\0'; ++c) kanalSchreibe(DisplayKanal, *c);
  delayTicks(kBannerPause);
}

Zustand leerlaufZustand() {
  leerlauf();
  AktKanal = DisplayKanal;
  Betriebsart = BETRIEB_NORMAL;
  TraceAn = 0;
  PruefsummeAn = 0;
  ZeilenQuittung = 0;
  LaufAngehalten = 0;
  Vorgemerkt = 0;
  ProgStart[0] = findFirstProgramm();
  return ProgStart[0] != nullptr && LetztesErgebnis == F_OK ? Zustand::Laufstart : Zustand::Laden;
}

Zustand laufStart() {
  for (uint8_t t = 0; t < kTasks; ++t) resetTaskStacks(t);
  ProgStart[0] = findFirstProgramm();
  if (ProgStart[0] == nullptr) return Zustand::Leerlauf;
  AktTask = 0;
  NextBefp = ProgStart[0];
  TaskPos[0] = NextBefp;
  for (int t = 0; t < kTasks; ++t) TaskPrio[t] = kStartPrio[t];
  for (int t = 1; t < kTasks; ++t) TaskPos[t] = nullptr;  // no program until a J starts one
  LetztesErgebnis = FetchMarken(ProgStart[0]);
  NextBefp = ProgStart[0];
  if (LetztesErgebnis != F_OK) {
    reportError(LetztesErgebnis);
    return Zustand::Leerlauf;
  }
  resetTaskStacks(0);
  LaufAngehalten = 0;
  return Zustand::Schritt;
}

// The poll at the start of a step: one idle round, then the host line. In remote step (and
// while STOP holds the run) the step waits for '@' and takes the letter
// after it; otherwise an '@' that has arrived is followed by its letter,
// any other character is dropped. A letter kept by a wait comes first.
// zeichen: the letter, 0 for none; false once the platform asks to end.
bool pollHost(char &zeichen) {
  zeichen = 0;
  leerlauf();
  if (beendenAngefordert()) return false;
  if (Vorgemerkt != 0) {
    zeichen = Vorgemerkt;
    Vorgemerkt = 0;
    return true;
  }
  char c = 0;
  if (Betriebsart == BETRIEB_REMOTE || LaufAngehalten != 0) {
    do {
      if (!warteHostZeichen(c)) return false;
    } while (c != '@');
    return warteHostZeichen(zeichen);
  }
  if (readHostChar(c) == 0 || c != '@') return true;
  return warteHostZeichen(zeichen);
}

// What a host command does to the run:
enum class Antwort {
  Weiter,     // the step goes on (W, any other letter)
  Nochmal,    // the step polls again, a wait waits on (U, V, a request that does not leave the run)
  Verlassen,  // the run is left for ziel, its motions stopped (K, L, N, S; P with E F C)
};

// The host's letter after '@', as the step and every wait of the run act on it.
Antwort hostBefehl(char zeichen, Zustand &ziel) {
  switch (zeichen) {
    case 'K':
      antworte('Y');
      antworte('Y');
      ziel = Zustand::Leerlauf;
      break;
    case 'L':
      antworte('Y');
      antworte(flashErase(FlashStart) != 0 ? 'N' : 'Y');
      ziel = Zustand::Leerlauf;
      break;
    case 'N':
      LetztesErgebnis = ERGEBNIS_ABBRUCH;
      ziel = Zustand::Leerlauf;
      break;
    case 'P': {
      const uint8_t r = hostRequest();
      if (r != 'E' && r != 'F' && r != 'C') return Antwort::Nochmal;
      LetztesErgebnis = F_OK;
      ProgStart[0] = findFirstProgramm();
      ziel = Zustand::Leerlauf;
      break;
    }
    case 'S': ziel = Zustand::Laufstart; break;
    case 'U':
    case 'V': return Antwort::Nochmal;
    default: return Antwort::Weiter;
  }
  stoppeAlles();
  return Antwort::Verlassen;
}

// A host command received in a wait: true when it leaves the run, which
// goes to Abgebrochen once the wait has ended.
bool verlaesst(char zeichen) {
  Zustand ziel = Zustand::Schritt;
  if (hostBefehl(zeichen, ziel) != Antwort::Verlassen) return false;
  Abgebrochen = ziel;
  return true;
}

// The look at the host line in every round of a wait of the run
// (LaufAbfrage): true once a host command has left the run. Characters
// other than '@' and its letter are dropped, as between steps (all that
// have arrived, so that a flood of them cannot hold up a command). In remote
// step a letter that does not leave the run (a request, W) is kept for the
// next step, where the host expects its answer. Where the switches are
// read over the host line (no switch device) the line carries their
// answers and is not looked at.
bool hostImWarten() {
  if (Abgebrochen != Zustand::Schritt) return true;
  if (Geraete.leseSchalter == nullptr || Vorgemerkt != 0) return false;
  char c = 0, zeichen = 0;
  do {
    if (readHostChar(c) == 0) return false;
  } while (c != '@');
  if (!warteHostZeichen(zeichen)) return false;
  if (Betriebsart == BETRIEB_REMOTE && zeichen != 'K' && zeichen != 'L' && zeichen != 'N' && zeichen != 'S') {
    Vorgemerkt = zeichen;
    return false;
  }
  return verlaesst(zeichen);
}

// After a wait that ended early: where a host command sent the run, or
// the end when the platform asks for it.
Zustand nachAbbruch() {
  if (beendenAngefordert()) return Zustand::Ende;
  const Zustand z = Abgebrochen;
  Abgebrochen = Zustand::Schritt;
  return z;
}

// Single step: the line echoed to the host, then a keypad key; false when
// the wait ended early.
bool einzelSchritt() {
  lineEcho(NextBefp);
  putZeile("Weiter?");
  putZeile("..........");
  uint8_t code = 0;
  while (readTastatur(code) == 0) {
    if (!laufRunde()) return false;
  }
  TasteGedrueckt = 0;  // the key is taken
  return true;
}

// Display step: program text from the cursor on rows 0..2 (a line end as a
// comma that counts twice), "Weiter?" on row 3, then a console key.
bool anzeigeSchritt() {
  AusgabeZiel = 1;
  int16_t zeile = 0;
  displayGoto(0, zeile);
  int zaehler = 0;
  int geschrieben = 0;
  for (const char *p = NextBefp; zaehler < kAnzeigeSchritt && *p != '\0'; ++p) {
    if (istZeilenende(*p)) {
      putChar(',');
      zaehler += 2;
    } else {
      putChar(*p);
      ++zaehler;
    }
    if (++geschrieben % kSpalten == 0) displayGoto(0, ++zeile);
  }
  displayLine(3, kWeiter, kSpalten);
  // Any character of the host line steps (its key code is not used), but
  // '@' and a letter: a host command, which may leave the run.
  for (;;) {
    char c = 0, zeichen = 0;
    if (!warteHostZeichen(c)) return false;
    if (c != '@') return true;
    if (!warteHostZeichen(zeichen) || verlaesst(zeichen)) return false;
  }
}

// The cursor as an offset from the RAM store's first byte (a program in
// FLASH or EEPROM gives an offset outside the store).
int32_t cursorStelle() {
  return static_cast<int32_t>(reinterpret_cast<uintptr_t>(NextBefp) - reinterpret_cast<uintptr_t>(Programm));
}

// The step's preparation was left: the platform asks to end, or a host
// command in one of its waits left the run.
bool vorbereitungAbgebrochen() { return beendenAngefordert() || Abgebrochen != Zustand::Schritt; }

Zustand schritt() {
  // The host's command between steps.
  char zeichen = 0;
  for (;;) {
    if (!pollHost(zeichen)) return Zustand::Ende;
    Zustand ziel = Zustand::Schritt;
    const Antwort a = hostBefehl(zeichen, ziel);
    if (a == Antwort::Verlassen) return ziel;
    if (a == Antwort::Weiter) break;
  }
  LaufAngehalten = 0;

  // The next task's turn. A task that was given a priority (PRIO p, t)
  // but never started has no program to run: it gets no turn.
  TaskPos[AktTask] = NextBefp;
  const uint8_t neu = nextTask();
  if (TaskPos[neu] != nullptr) AktTask = neu;
  NextBefp = TaskPos[AktTask];

  // Trace, single step, display step.
  if (TraceAn != 0) {
    displayLine(0, leerzeile(), kSpalten);
    displayLine(0, NextBefp, lineLength(NextBefp));
  }
  if (Betriebsart == BETRIEB_EINZEL && !einzelSchritt()) return nachAbbruch();
  if (Betriebsart == BETRIEB_DISPLAY && !anzeigeSchritt()) return nachAbbruch();

  // The command, with the executor around it (schritt.cpp); a host command
  // in one of its waits leaves the step there.
  int16_t ergebnis = F_OK;
  if (!fuehreZeileAus(ergebnis, vorbereitungAbgebrochen)) return nachAbbruch();
  if (Abgebrochen != Zustand::Schritt) return nachAbbruch();
  LetztesErgebnis = ergebnis;

  // Remote step answers with the new cursor.
  if (Betriebsart == BETRIEB_REMOTE && zeichen == 'W') {
    AusgabeZiel = 0;
    saveLong(cursorStelle());
  }

  // A failed step (the command's error or the executor's, before or after
  // it) stops the axes and the path and is shown; a download follows.
  if (LetztesErgebnis != F_OK) {
    stoppeAlles();
    reportError(LetztesErgebnis);
    char c = 0;
    while (readHostChar(c) == 0 && zeichen == '@') {
      if (beendenAngefordert()) return Zustand::Ende;
      leerlauf();
    }
    delayTicks(kFehlerPause);
    clearTastatur();
    return Zustand::Leerlauf;
  }

  // Program end and LOAD.
  if (Befehl == BEF_ENDE) return Zustand::Laufstart;
  if (Befehl == BEF_LOAD) return Zustand::Leerlauf;
  return Zustand::Schritt;
}

}  // namespace

void monitorMain() {
  Abgebrochen = Zustand::Schritt;
  Vorgemerkt = 0;
  LaufAbfrage = hostImWarten;
  starte();
  Zustand z = Zustand::Leerlauf;
  while (z != Zustand::Ende && !beendenAngefordert()) {
    switch (z) {
      case Zustand::Leerlauf: z = leerlaufZustand(); break;
      case Zustand::Laden: z = downloadState() ? Zustand::Laufstart : Zustand::Leerlauf; break;
      case Zustand::Laufstart: z = laufStart(); break;
      case Zustand::Schritt: z = schritt(); break;
      case Zustand::Ende: break;
    }
  }
  LaufAbfrage = nullptr;
}

}  // namespace vela
