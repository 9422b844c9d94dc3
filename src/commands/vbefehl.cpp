// V command: the line is one expression that begins with its own V, so
// that V5=V3+2 is an assignment the evaluator performs.
#include <cstdint>

#include "expr/eval.h"
#include "interp/befehle.h"
#include "interp/cursor.h"
#include "interp/zustand.h"

namespace vela {

int16_t befehlVar() {
  const int16_t code = evalAusdruck(ArgWert1);
  Befehl = 59;
  ArgWert3 = 0;
  skipLine(code);
  return code;
}

}  // namespace vela
