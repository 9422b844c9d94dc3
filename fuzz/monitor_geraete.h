// In-memory devices for the monitor's fuzz targets, and the checks that
// hold after every input whatever the host sent: nothing written outside
// the stores, the store devices called only with addresses inside them,
// the RAM store NUL-terminated. A failed check aborts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::fuzz {

// Puts the library in its load-time state and binds the devices: the host
// line reads `host` (then it has ended) and swallows what is written, the
// download stream reads `lade` (it cannot be opened when oeffnenFehlt), a
// tick passes with every read of the tick counter.
void bindeGeraete(const uint8_t *host, size_t hostLaenge, const uint8_t *lade, size_t ladeLaenge,
                  bool oeffnenFehlt);
// Bytes of the host input and of the download stream not yet read.
size_t hostRest();
size_t ladeRest();
// Aborts unless the guard bytes behind the FLASH and EEPROM stores hold
// their load-time values, the RAM store has a NUL, and no stream is left
// open.
void pruefeAblagen();

}  // namespace vela::fuzz
