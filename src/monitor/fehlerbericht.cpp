// The error report:
//   row 0  message of the code
//   row 1  the failing line  (up to 21 characters)
//   row 2  the line after it
//   row 3  blank
// The cursor ends at the start of the second line after the failing one.
#include "monitor/fehlerbericht.h"

#include <cstdint>

#include "core/cursor.h"
#include "core/fehler.h"
#include "platform/kanal.h"
#include "vela.h"

namespace vela {

void reportError(int16_t code) {
  for (int16_t z = 0; z < 4; ++z) displayLine(z, FehlerTxt[F_LEERZEILE], 20);
  // A code outside the table has no message: row 0 stays blank.
  if (code >= 0 && code < VELA_FEHLERCODES) displayLine(0, FehlerTxt[code], 20);
  skipLine(1);
  for (int16_t z = 1; z <= 2; ++z) {
    displayLine(z, NextBefp, lineLength(NextBefp));
    skipLine(0);
  }
}

}  // namespace vela
