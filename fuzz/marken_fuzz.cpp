// Fuzz target: arbitrary bytes as program text, through the loading steps
// alone: findFirstProgramm and FetchMarken on the first program, then
// FetchMarken again on the whole store (a host may pass either).
#include <cstddef>
#include <cstdint>

#include "host.h"
#include "vela.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  vela::fuzz::ladeProgramm(daten, laenge);
  vela::fuzz::pruefeZustand(FetchMarken(Programm));
  return 0;
}
