// The display-text buffer: the last text a T command assigned, or the text
// a display form of the D command built.
#pragma once

namespace vela {

constexpr int kAnzeigeGroesse = 24;  // 23 characters and the NUL

extern char AnzeigeText[kAnzeigeGroesse];

// Empties the buffer (its load-time state).
void resetAnzeigeText();

}  // namespace vela
