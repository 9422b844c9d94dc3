// The program download: preamble options, input filter, end mark and
// checksum, from the host's download stream into the RAM store.
#pragma once

#include <cstdint>

namespace vela {

// The download state, from its first message to its last: true when a
// program was received and the run starts; false when the monitor goes back
// to idle (options L and N, a checksum mismatch, a download that could not
// be stored). Sets LetztesErgebnis.
bool downloadState();

}  // namespace vela
