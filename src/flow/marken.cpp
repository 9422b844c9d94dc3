// Label collection and the M command.
//
// FetchMarken scans a program once, from its start up to the next header
// line, and records for each label line "M<n>" the start of the line after
// it in the running task's row of V_Marke. A label line is recognised at
// the start of the text and after a CR, behind any blanks.
//
//   M1 CR X10 CR M2 CR Y5 CR PROG2 CR M3 ...
//         ^V_Marke[t][1]  ^[2]   scan stops at the header
#include <cstdint>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "flow/befehle.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

namespace {

// Moves p past the next CR, or onto the NUL when the text ends first.
char *hinterCR(char *p) {
  while (*p != '\0' && *p != '\r') ++p;
  return *p == '\r' ? p + 1 : p;
}

}  // namespace

// marke := 'M' { any }    (the number is read when labels are collected)
int16_t befehlMarke() {
  skipLine(0);
  Befehl = BEF_MARKE;
  return F_OK;
}

}  // namespace vela

extern "C" {

// marken := { blanks ( 'M' expr | "PROG" ... | any ) CR }
int16_t VELA_CALL FetchMarken(char *start) {
  using namespace vela;
  // A start outside the program stores is refused before anything changes.
  if (start != nullptr && !imSpeicher(start)) return F_LISTENENDE;
  char **zeile = V_Marke[AktTask < kTasks ? AktTask : 0];
  for (int n = 0; n < kMarken; ++n) zeile[n] = nullptr;
  if (start == nullptr) return F_OK;
  // A RAM store without its closing NUL cannot be scanned safely.
  if (bereichStart(start) == Programm && Programm[kProgrammGroesse - 1] != '\0') return F_LISTENENDE;

  char *p = start;
  while (*p != '\0') {
    while (isBlank(*p)) ++p;
    if (*p == 'M') {
      char *alt = NextBefp;
      NextBefp = p + 1;
      int32_t nummer = 0;
      // A label number is read as the expressions of the command that ran
      // last: right after a T line (Befehl 57), "V n =" reads V n.
      const int16_t code = evalAusdruck(nummer, /*noAssign=*/Befehl == BEF_T);
      p = NextBefp;
      NextBefp = alt;
      if (code != F_OK) return code;
      if (nummer < 0 || nummer >= kMarken) return F_INDEX;
      if (zeile[nummer] != nullptr) {
        // Show the second definition.
        NextBefp = p;
        skipLine(1);
        return F_MARKE_DA;
      }
      p = hinterCR(p);
      zeile[nummer] = p;
    } else if (*p == 'P') {
      ++p;
      if (p[0] == 'R' && p[1] == 'O' && p[2] == 'G') break;  // the next program begins
    } else {
      p = hinterCR(p);
    }
  }
  return F_OK;
}

}  // extern "C"
