// The test-data file of the circle test run: one line per circle tick with
// the traced X and Y step positions, "x y " and the bytes CR CR LF.
#pragma once

#include <cstdint>

// Library-internal: the tick reads this state directly, not through the
// global offset table.
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(hidden)
#endif

namespace vela {

// Open while a circle test run writes; false when writing is off or the
// file could not be opened (the run then goes on without it).
extern bool TestDatei;

// Opens (creates or truncates) the file at the configured path.
void oeffneTestDatei();
void schliesseTestDatei();
// Appends one line; nothing when the file is not open.
void schreibeTestZeile(int32_t x, int32_t y);

void resetTestDatei();

}  // namespace vela

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
