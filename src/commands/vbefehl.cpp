// V command: the line is one expression that begins with its own V, so
// that V5=V3+2 is an assignment the evaluator performs.
#include <cstdint>

#include "commands/befehle.h"
#include "core/cursor.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "vela_befehle.h"

namespace vela {

int16_t befehlVar() {
  const int16_t code = evalAusdruck(ArgWert1);
  Befehl = BEF_V;
  ArgWert3 = 0;
  skipLine(code);
  return code;
}

}  // namespace vela
