// Command handlers and the dispatcher. A handler is entered with the cursor
// on its letter, reads its line, leaves its command code in Befehl and
// returns an error code (0 on success). The letter table itself is built
// where every handler is known (the flow layer).
#pragma once

#include <cstdint>

namespace vela {

using Handler = int16_t (*)();

// H N O U: not a command (19, cursor back at the line start).
int16_t befehlUngueltig();

// Executes the command line at the cursor with the handler of its letter
// in tabelle (index letter - 'A').
int16_t dispatchBefehl(const Handler (&tabelle)[26]);

}  // namespace vela
