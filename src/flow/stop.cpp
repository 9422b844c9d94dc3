// Commands that stop, interrupt or end a program, and the END-switch
// settings: SO, STOP, BREAK, Q, ENDE, ENDON, ENDOFF, ENDHIGH, ENDLOW.
//
// Except for ENDE these only record their arguments and leave a command
// code; stopping the axes is the business of the side that reads Befehl.
#include "flow/stop.h"

#include <cstdint>
#include <cstring>

#include "core/cursor.h"
#include "core/fehler.h"
#include "core/programme.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "expr/scanner.h"
#include "flow/befehle.h"
#include "vela.h"
#include "vela_befehle.h"

namespace vela {

uint8_t EndOnMode;
// Input numbers of the END switches at load time.
constexpr uint8_t kEndInputsBeimLaden[kEndInputs] = {99, 12, 13, 14, 15, 16, 17, 18, 19};
uint8_t EndInputs[kEndInputs] = {kEndInputsBeimLaden[0], kEndInputsBeimLaden[1], kEndInputsBeimLaden[2],
                                 kEndInputsBeimLaden[3], kEndInputsBeimLaden[4], kEndInputsBeimLaden[5],
                                 kEndInputsBeimLaden[6], kEndInputsBeimLaden[7], kEndInputsBeimLaden[8]};
uint8_t EndLowActive;

void resetEndSchalter() {
  EndOnMode = 0;
  std::memcpy(EndInputs, kEndInputsBeimLaden, sizeof EndInputs);
  EndLowActive = 0;
}

// stop := 'S' ( 'O' expr | "TOP" expr )
int16_t befehlStop() {
  int16_t code = F_OK;
  nextNonBlank();
  if (*NextBefp == 'O') {
    nextNonBlank();
    code = evalAusdruck(ArgWert1);
    Befehl = BEF_SO;
  } else if (folgtWort("TOP")) {
    Befehl = BEF_STOP;
    NextBefp += 3;
    code = evalAusdruck(ArgWert1);
  } else {
    code = F_BEFEHL;
  }
  skipLine(code);
  return code;
}

// break := 'B' "REAK" [ axis ]
int16_t befehlBreak() {
  int16_t code = F_OK;
  nextNonBlank();
  if (folgtWort("REAK")) {
    NextBefp += 4;
    getToken();
    if (TokenTyp == TOK_AXIS) {
      ArgWert3 = axisIndex(Token[0]);
      Befehl = BEF_BREAK_ACHSE;
    } else {
      Befehl = BEF_BREAK;
    }
  } else {
    code = F_BEFEHL;
  }
  skipLine(code);
  return code;
}

// q := 'Q' { any }
int16_t befehlQ() {
  Befehl = BEF_Q;
  skipLine(0);
  return F_OK;
}

// ende := "ENDE" | "ENDON" [ expr { ',' expr } ] | "ENDOFF" | "ENDHIGH" | "ENDLOW"
int16_t befehlEnde() {
  int16_t code = F_OK;
  if (folgtWort("ENDE")) {
    // The end of the program: back to its first line, no line step.
    Befehl = BEF_ENDE;
    zumProgrammStart();
    return F_OK;
  }
  if (folgtWort("ENDON")) {
    Befehl = BEF_ENDON;
    NextBefp += 5;
    EndOnMode = 1;
    // An item that does not evaluate ends the list; it is no error.
    for (int i = 0; i < kEndInputs; ++i) {
      if (evalAusdruck(ArgWert1) != F_OK) break;
      EndInputs[i] = static_cast<uint8_t>(ArgWert1 & 0xFF);
      EndOnMode = 2;
    }
  } else if (folgtWort("ENDOFF")) {
    EndOnMode = 0;
    Befehl = BEF_ENDOFF;
  } else if (folgtWort("ENDHIGH")) {
    EndLowActive = 0;
  } else if (folgtWort("ENDLOW")) {
    EndLowActive = 1;
  } else {
    code = F_BEFEHL;
  }
  skipLine(code);
  return code;
}

}  // namespace vela
