// J command (jumps, subroutine calls, program calls, task starts) and the
// R command (RETURN and the value forms).
//
//   J [S] condition target
//   condition := <none> | 'E' expr | 'N' 'E' expr | axis | 'N' axis
//              | expr ('=' | '<' | '>' | '!') expr
//   target    := 'M' expr | "PROG" ( expr | name ) [ ',' prio [ ',' task ] ]
//
// Input and axis conditions are decided by the host through V_Handshake.
// A J S call pushes the line after the J line (and, for a program call, the
// caller's program start) onto the task's return stack; RETURN pops it.
#include <cstdint>
#include <cstdio>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/programme.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "flow/bedingung.h"
#include "flow/befehle.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

namespace {

constexpr int32_t kProgNummerMax = 99999;
constexpr int32_t kRWertMax = 199999;

enum class Ziel { Marke, Programm };

// What the target part of a J line asks for.
struct Sprungziel {
  Ziel art = Ziel::Marke;
  bool mitPrio = false;  // ", prio" given
  int32_t prio = 0;      // the priority's value
  int8_t neueTask = -1;  // task to start, or -1
};

bool istNamenZeichen(char c) { return (c >= 'A' && c <= 'Z') || istZiffer(c); }

int8_t low8(int32_t v) { return static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF)); }

constexpr Zeilensuche kVergleiche{"=<>!"};
constexpr Zeichenmenge kAchsen{"XYZAI"};

// condition, from p; b.ende behind what was read.
int16_t leseBedingung(char *p, SprungBedingung &b, Zuweisungen &neu) {
  b.ende = p;
  // N negates an input or axis condition.
  const bool nicht = *p == 'N';
  if (nicht) {
    nextNonBlankIn(p);
    b.ende = p;
  }
  const char c = *p;
  if (c == 'E') {
    nextNonBlankIn(p);
    b.form = nicht ? BEF_JNE : BEF_JE;
    return werteAus(p, b.wert, b.ende, /*noAssign=*/false, neu);
  }
  if (kAchsen.enthaelt(c)) {
    b.wert = axisIndex(c);
    b.form = nicht ? BEF_JN_ACHSE : BEF_J_ACHSE;
    nextNonBlankIn(b.ende);
    return F_OK;
  }
  if (nicht) return F_BEFEHL;
  const char op = findInLine(p, kVergleiche);
  if (op != '\0') {
    b.form = BEF_J_VERGLEICH;
    b.vergleich = op;
    // '=' ends the left side instead of assigning.
    char *hinterLinks = p;
    const int16_t links = werteAus(p, b.wert, hinterLinks, /*noAssign=*/true, neu);
    nextNonBlankIn(hinterLinks);
    const int16_t rechts = werteAus(hinterLinks, b.rechts, b.ende, /*noAssign=*/false, neu);
    return links != F_OK ? links : rechts;
  }
  if (c == 'M' || folgtWort(p, "PROG")) {
    b.form = BEF_J;
    return F_OK;
  }
  return F_BEFEHL;
}

// Whether the jump of a condition read without error is taken. The host
// decides input and axis conditions through V_Handshake (for the N forms
// it supplies the negated truth).
bool springt(const SprungBedingung &b) {
  switch (b.vergleich) {
    case '\0': return b.form == BEF_J || V_Handshake != 0;
    case '=': return b.wert == b.rechts;
    case '<': return b.wert < b.rechts;
    case '>': return b.wert > b.rechts;
    default: return b.wert != b.rechts;
  }
}

// 'M' expr: the label's line in the running task's table.
int16_t leseMarke() {
  nextNonBlank();
  int32_t nummer = 0;
  const int16_t code = evalAusdruck(nummer);
  if (code != F_OK) return code;
  if (nummer < 0 || nummer >= kMarken) return F_INDEX;
  if (V_Marke[AktTask][nummer] == nullptr) return F_KEINE_MARKE;
  if (!imSpeicher(V_Marke[AktTask][nummer])) return F_LISTENENDE;  // a host-written entry
  SprungAdr = V_Marke[AktTask][nummer];
  return F_OK;
}

// "PROG" ( expr | name ) [ ',' prio [ ',' task ] ]
//
// An expression names the program by its number; what does not evaluate is
// read as a name of capital letters and digits up to ',' or the line end.
int16_t leseProgramm(bool unterprogramm, Sprungziel &ziel) {
  ziel.art = Ziel::Programm;
  NextBefp += 4;
  char name[kNameMax + 1];
  char *hinterProg = NextBefp;
  int32_t nummer = 0;
  if (evalAusdruck(nummer) == F_OK) {
    if (nummer < 0 || nummer > kProgNummerMax) return F_INDEX;
    std::snprintf(name, sizeof name, "%d", static_cast<int>(nummer));
    // The evaluator stands behind an ending comma; step back onto it.
    --NextBefp;
  } else {
    NextBefp = hinterProg;
    int laenge = 0;
    char *p = hinterProg;
    for (; *p != '\0' && *p != ',' && !istZeilenende(*p); ++p) {
      if (!istNamenZeichen(*p)) return F_INDEX;
      if (laenge < kNameMax) name[laenge] = *p;
      ++laenge;
    }
    // No program has an empty name or one longer than 13 characters.
    if (laenge == 0 || laenge > kNameMax) return F_NICHT_GEFUNDEN;
    name[laenge] = '\0';
    NextBefp = p;
  }
  char bereich = 0;
  char *body = findProgrammAnywhere(name, &bereich);
  if (body == nullptr) return F_NICHT_GEFUNDEN;
  SprungAdr = body;

  if (unterprogramm || *NextBefp != ',') return F_OK;
  nextNonBlank();
  const int16_t code = evalAusdruck(ArgWert1);
  if (code != F_OK) return code;
  ziel.mitPrio = true;
  ziel.prio = ArgWert1;
  if (evalAusdruck(ArgWert2) != F_OK) return F_OK;  // no task number: the running task
  if (ArgWert2 < 1 || ArgWert2 > kTasks) return F_PROGNR;
  ArgWert2 -= 1;
  if (ArgWert2 != AktTask) ziel.neueTask = static_cast<int8_t>(ArgWert2);
  return F_OK;
}

// Starts the target program in another task; the running task goes on
// after the J line.
int16_t starteTask(const Sprungziel &ziel) {
  const uint8_t neu = static_cast<uint8_t>(ziel.neueTask);
  char *cursor = NextBefp;
  const uint8_t alt = AktTask;
  AktTask = neu;
  const int16_t code = FetchMarken(SprungAdr);
  AktTask = alt;
  resetTaskStacks(neu);
  TaskPos[neu] = ProgStart[neu] = SprungAdr;
  TaskPrio[neu] = TaskCount[neu] = low8(ziel.prio);
  NextBefp = cursor;
  skipLine(0);
  return code;
}

}  // namespace

int16_t befehlSprung() {
  SprungBedingung b;
  b.wert = ArgWert1;
  b.rechts = ArgWert2;
  Zuweisungen neu;
  int16_t code = leseSprungBedingung(NextBefp, b, neu);
  neu.uebernimm();
  Befehl = b.form;  // BEF_KEINER, as the dispatcher left it, when no form was read
  ArgWert1 = b.wert;
  ArgWert2 = b.rechts;
  ArgWert3 = static_cast<unsigned char>(b.vergleich);
  NextBefp = b.ende;
  const bool unterprogramm = b.unterprogramm;

  Sprungziel ziel;
  if (code == F_OK) {
    if (*NextBefp == 'M')
      code = leseMarke();
    else if (folgtWort("PROG"))
      code = leseProgramm(unterprogramm, ziel);
    else
      code = F_SPRUNG_OHNE_MARKE;
  }
  if (code != F_OK || !springt(b)) {
    skipLine(code);
    return code;
  }

  const uint8_t t = AktTask;
  if (unterprogramm) {
    int16_t &oben = V_UsedReturns[t];
    if (oben < -1) oben = -1;  // a host-written value below -1 means empty
    if (oben >= kStackTiefe - 1) {
      skipLine(F_ZU_VIELE_JUMPSUB);
      return F_ZU_VIELE_JUMPSUB;
    }
    ++oben;
    skipLine(0);
    V_ReturnAdr[t][oben].RueckAdresse = NextBefp;
    V_ReturnAdr[t][oben].ProgStart = ziel.art == Ziel::Programm ? ProgStart[t] : nullptr;
  }

  if (ziel.neueTask >= 0) return starteTask(ziel);

  NextBefp = SprungAdr;
  if (ziel.art == Ziel::Programm) {
    ProgStart[t] = SprungAdr;
    if (!isChecking) {
      code = FetchMarken(SprungAdr);
      NextBefp = SprungAdr;
    }
    if (ziel.mitPrio) TaskPrio[t] = TaskCount[t] = low8(ziel.prio);
  }
  return code;
}

int16_t leseSprungBedingung(char *p, SprungBedingung &b, Zuweisungen &neu) {
  b.form = BEF_KEINER;
  b.unterprogramm = false;
  b.vergleich = '\0';
  b.ende = p;
  if (*p != 'J') return F_OK;
  nextNonBlankIn(p);
  b.unterprogramm = *p == 'S';
  if (b.unterprogramm) nextNonBlankIn(p);
  return leseBedingung(p, b, neu);
}

namespace {

// RETURN. In check mode nothing moves.
int16_t zurueck() {
  Befehl = BEF_RETURN;
  if (isChecking) return F_OK;
  return kehreZurueck();
}

int32_t begrenzt(int32_t v) { return v > kRWertMax ? kRWertMax : v; }

}  // namespace

int16_t kehreZurueck() {
  const uint8_t t = AktTask;
  int16_t &oben = V_UsedReturns[t];
  // An index outside the stack, or an entry without address (as a host that
  // never set the stack top would leave), is no open call.
  if (oben < 0 || oben >= kStackTiefe || V_ReturnAdr[t][oben].RueckAdresse == nullptr)
    return F_ZU_VIELE_RETURNS;
  const ReturnEintrag e = V_ReturnAdr[t][oben];
  // Addresses a host wrote outside the program stores are not followed.
  if (!imSpeicher(e.RueckAdresse) || (e.ProgStart != nullptr && !imSpeicher(e.ProgStart)))
    return F_LISTENENDE;
  if (e.ProgStart != nullptr) {
    ProgStart[t] = e.ProgStart;
    FetchMarken(e.ProgStart);
  }
  NextBefp = e.RueckAdresse;
  --oben;
  return F_OK;
}

// r := 'R' ( expr | 'O' expr | "ETURN" | axis expr )
int16_t befehlReturn() {
  nextNonBlank();
  const char c = *NextBefp;
  int16_t code = F_OK;
  if (isNumberStart(c)) {
    code = evalAusdruck(ArgWert1);
    ArgWert1 = begrenzt(ArgWert1);
    Befehl = BEF_R_WERT;
  } else if (c == 'O') {
    nextNonBlank();
    code = evalAusdruck(ArgWert1);
    if (code == F_OK) Befehl = BEF_RO;
  } else if (folgtWort("ETURN")) {
    return zurueck();
  } else if (isInSet(c, "XYZAI")) {
    ArgWert3 = axisIndex(c);
    nextNonBlank();
    code = evalAusdruck(ArgWert1);
    ArgWert1 = begrenzt(ArgWert1);
    Befehl = BEF_R_ACHSE;
  } else {
    code = F_BEFEHL;
  }
  // The value forms always go on to the next line.
  skipLine(0);
  return code;
}

}  // namespace vela
