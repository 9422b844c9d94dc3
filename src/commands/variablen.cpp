// T, K and P commands: text variables (and TE), key codes into value
// variables, point variables with PVAR and PRIO, and program header lines.
//
//   T index [delim] "text"     text variable and AnzeigeText   BEF_T
//   TE value | TE axis value   argument cells only             BEF_TE
//   K V index | KI V index     V[index] = ArgWert2 | 17        BEF_K | BEF_KI
//   P index = X | = x, y       point variable set              BEF_P_TEACH | BEF_P_SETZEN
//   P index                    point variable read             BEF_P_LESEN
//   PVAR                                                       BEF_PVAR
//   PRIO prio [, task]         priority and countdown of a task
//   PROG...                    header of the next program      BEF_ENDE
#include <cstdint>
#include <cstring>

#include "commands/anzeigetext.h"
#include "commands/befehle.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/programme.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "expr/scanner.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

char AnzeigeText[kAnzeigeGroesse];

void resetAnzeigeText() { std::memset(AnzeigeText, 0, sizeof AnzeigeText); }

namespace {

constexpr int32_t kTastenCodeLeer = 17;  // keypad read-out with no key held

// Copies at most groesse - 1 characters of text and a NUL; a longer text
// is cut.
void kopiereText(char *ziel, int groesse, const char *text) {
  const size_t n = strnlen(text, static_cast<size_t>(groesse - 1));
  std::memcpy(ziel, text, n);
  ziel[n] = '\0';
}

// TE value | TE axis value
int16_t textE() {
  Befehl = BEF_TE;
  nextNonBlank();
  const char c = *NextBefp;
  if (isNumberStart(c)) {
    const int16_t code = evalAusdruck(ArgWert1);
    ArgWert2 = 1;
    return code;
  }
  if (isInSet(c, "XYZA")) {
    ArgWert3 = axisIndex(c);
    nextNonBlank();
    return evalAusdruck(ArgWert1);
  }
  return F_OK;
}

}  // namespace

// text := 'T' ( 'E' ... | index [delim] quoted-text )
int16_t befehlText() {
  nextNonBlank();
  ArgWert2 = 0;
  int16_t code;
  if (*NextBefp == 'E') {
    code = textE();
  } else {
    // The index is read without assignment: "T V2 = ..." reads V2.
    Befehl = BEF_T;
    code = evalAusdruck(ArgWert1, /*noAssign=*/true);
    // A text with no readable index (code 18) is refused rather than
    // stored under whatever index the argument cell still holds.
    if (code == F_OK) {
      getToken();
      if (TokenTyp == TOK_DELIM) getToken();
      if (TokenTyp != TOK_TEXT) {
        code = F_BEFEHL;
      } else if (ArgWert1 < 0 || ArgWert1 >= VELA_TEXTVARS) {
        code = F_INDEX;
      } else {
        kopiereText(V_TextVar[ArgWert1], VELA_TEXTLAENGE, Token);
        kopiereText(AnzeigeText, kAnzeigeGroesse, Token);
      }
    }
  }
  skipLine(code);
  return code;
}

// key := 'K' [ 'I' ] 'V' index    (the V is stepped over unexamined)
int16_t befehlKey() {
  nextNonBlank();
  const bool leer = *NextBefp == 'I';
  if (leer) {
    Befehl = BEF_KI;
    nextNonBlank();
  } else {
    Befehl = BEF_K;
  }
  // Step over the target's V, but never over the line end: a K line
  // without a target must not take its index from the next line.
  if (!istZeilenende(*NextBefp)) nextNonBlank();
  int16_t code = evalAusdruck(ArgWert1);
  if (code == F_OK) {
    if (ArgWert1 < 0 || ArgWert1 >= kWertVars) {
      code = F_INDEX;
    } else {
      if (leer) ArgWert2 = kTastenCodeLeer;
      V_WertVar[ArgWert1] = ArgWert2;
    }
  }
  skipLine(code);
  return code;
}

namespace {

// "RIO" prio [ ',' task ]: without a task number the running task.
int16_t prio() {
  NextBefp += 3;
  int16_t code = evalAusdruck(ArgWert1);
  if (code != F_OK) return code;
  uint8_t task = AktTask;
  if (evalAusdruck(ArgWert2) == F_OK) {
    if (ArgWert2 < 1 || ArgWert2 > kTasks) return F_PROGNR;
    ArgWert2 -= 1;
    task = static_cast<uint8_t>(ArgWert2);
  }
  TaskPrio[task] = TaskCount[task] = static_cast<int8_t>(static_cast<uint8_t>(ArgWert1 & 0xFF));
  return F_OK;
}

// index [ '=' ( 'X' | x ',' y ) ]
int16_t punkt() {
  int16_t code = evalAusdruck(ArgWert1);
  if (code != F_OK) return code;
  if (ArgWert1 < 0 || ArgWert1 >= VELA_PUNKTVARS) return F_INDEX;
  PunktEintrag &p = V_PunktVar[ArgWert1];
  skipBlanks();
  if (*NextBefp != '=') {
    ArgWert2 = p.X;
    ArgWert3 = p.Y;
    Befehl = BEF_P_LESEN;
    return F_OK;
  }
  nextNonBlank();
  const char c = *NextBefp;
  if (c == 'X') {
    p = V_xyTeached;
    ArgWert2 = p.X;
    ArgWert3 = p.Y;
    Befehl = BEF_P_TEACH;
    return F_OK;
  }
  if (!isNumberStart(c)) return F_BEFEHL;
  Befehl = BEF_P_SETZEN;
  code = evalAusdruck(ArgWert2);
  const int16_t y = evalAusdruck(ArgWert3);
  if (code == F_OK) code = y;
  if (code == F_OK) p = PunktEintrag{ArgWert2, ArgWert3};
  return code;
}

}  // namespace

// punkt := 'P' ( "VAR" | "RIO" ... | "ROG" name | index ... )
int16_t befehlPunkt() {
  nextNonBlank();
  int16_t code = F_OK;
  if (folgtWort("VAR")) {
    Befehl = BEF_PVAR;
  } else if (folgtWort("RIO")) {
    code = prio();
  } else if (folgtWort("ROG")) {
    // The header of the next program ends the running one: back to its
    // start, with the labels of the program the cursor returns to.
    skipLine(0);
    zumProgrammStart();
    char *start = NextBefp;
    FetchMarken(start);
    NextBefp = start;
    Befehl = BEF_ENDE;
    return F_OK;
  } else {
    code = punkt();
  }
  skipLine(code);
  return code;
}

}  // namespace vela
