// One step of the monitor: the line at the cursor with the executor around
// it. The main loop runs its steps through it, and the check walk
// (pruefGang, vela_steuerung.h) walks the store with it.
#pragma once

#include <cstdint>

namespace vela {

// Executes the line at the cursor: the executor's preparation, execBefehl,
// the executor's follow-up. A step that fails (the command or the executor,
// before or after it) leaves the cursor on the start of its line. In check
// mode the step also does what check mode leaves to its caller: RETURN
// goes back to the line after the last call (with an empty stack on to the
// next line), and a jump into another program collects that program's
// labels. abgebrochen, when given, is asked once the preparation is done:
// true leaves the line unexecuted, and the result is false.
bool fuehreZeileAus(int16_t &ergebnis, bool (*abgebrochen)());

// Load-time values: no line visited by a check walk.
void resetSchritt();

}  // namespace vela
