// What the fuzz targets share: loading bytes into the program store the way
// a host does, and the checks that hold after every call into the library
// whatever the program text. A failed check aborts, which the fuzzer and
// the replay test report as a crash.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::fuzz {

// Puts the library in its load-time state with the test-data file off,
// copies at most the whole store of text into Programm (the rest stays
// NUL; a text that fills the store has no terminator, which the library
// must refuse) and follows the host calling order up to FetchMarken.
// Returns the start of the first program, or null when there is none or
// FetchMarken failed.
char *ladeProgramm(const uint8_t *text, size_t laenge);

// Aborts unless p is null or points into the program store or one of the
// library's program areas.
void pruefeZeiger(const char *p);

// Aborts unless the label table, both stack tops of every task and the
// cursor are in their ranges, and code indexes the message table.
void pruefeZustand(int16_t code);

}  // namespace vela::fuzz
