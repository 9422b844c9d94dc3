// Error codes of the interpreter, by the names the library uses: F_name for
// the public FEHLER_name of vela.h, both made from the one table
// VELA_FEHLER there. A code indexes FehlerTxt; 0 is success.
#pragma once

#include <cstdint>

#include "vela.h"

namespace vela {

enum Fehler : int16_t {
#define VELA_FEHLER_INTERN(name, code, text) F_##name = code,
  VELA_FEHLER(VELA_FEHLER_INTERN)
#undef VELA_FEHLER_INTERN
};

}  // namespace vela
