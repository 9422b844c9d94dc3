// Fuzz target: arbitrary bytes as program text, stepped the way a host
// steps a program.
//
//   input = program text [ NUL handshake bytes ]
//
// The text goes into the store (the part behind its first NUL is never
// read as program). The handshake bytes, when present, give V_Handshake
// for each step, one bit per step, cycling; without them it stays 0.
// Every input runs twice from the load-time state, once executing and once
// in check mode, each for at most kSchritte calls of execBefehl. Between
// calls the harness reacts as a host does:
//   error   run: stop            check: step past the failing line
//   21      ENDE or next header: start again from findFirstProgramm
//   40      LOAD: stop
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host.h"
#include "vela.h"

namespace {

constexpr int kSchritte = 600;

// Start of the line after the one at p, or p itself when no line follows
// inside the store.
char *naechsteZeile(char *p) {
  const char *ende = Programm + sizeof Programm;
  char *q = p;
  while (q < ende && *q != '\0' && *q != '\r') ++q;
  return (q + 1 < ende && *q == '\r') ? q + 1 : p;
}

void durchlauf(const uint8_t *daten, size_t laenge, bool pruefen) {
  const auto *nul = static_cast<const uint8_t *>(std::memchr(daten, 0, laenge));
  const uint8_t *hs = nul != nullptr ? nul + 1 : nullptr;
  const size_t hsLaenge = nul != nullptr ? laenge - (hs - daten) : 0;

  char *start = vela::fuzz::ladeProgramm(daten, laenge);
  if (start == nullptr) return;
  isChecking = pruefen ? 1 : 0;
  for (int i = 0; i < kSchritte; ++i) {
    V_Handshake = 0;
    if (hsLaenge > 0) {
      const size_t bit = static_cast<size_t>(i) % (hsLaenge * 8);
      V_Handshake = (hs[bit / 8] >> (bit % 8)) & 1;
    }
    const int16_t code = execBefehl();
    vela::fuzz::pruefeZustand(code);
    if (code != 0) {
      if (!pruefen) return;
      char *weiter = naechsteZeile(NextBefp);
      if (weiter == NextBefp) return;  // no further line to check
      NextBefp = weiter;
    } else if (Befehl == 40) {
      return;
    } else if (Befehl == 21) {
      for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
      start = findFirstProgramm();
      vela::fuzz::pruefeZeiger(start);
      if (start == nullptr) return;
      NextBefp = start;
      const int16_t m = FetchMarken(start);
      vela::fuzz::pruefeZustand(m);
      if (m != 0) return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  durchlauf(daten, laenge, false);
  durchlauf(daten, laenge, true);
  return 0;
}
