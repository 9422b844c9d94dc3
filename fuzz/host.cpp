// Host side of the fuzz targets: loading and the state checks.
#include "host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/programme.h"
#include "vela.h"

namespace vela::fuzz {

namespace {

bool innerhalb(const char *p, const char *anfang, size_t groesse) {
  const auto a = reinterpret_cast<uintptr_t>(anfang);
  const auto q = reinterpret_cast<uintptr_t>(p);
  return q >= a && q < a + groesse;
}

// Names the broken rule on stderr before aborting, so that a finding says
// what went wrong and not only where.
#define pruefe(bedingung)                                           \
  do {                                                              \
    if (!(bedingung)) {                                             \
      std::fprintf(stderr, "state check failed: %s\n", #bedingung); \
      std::abort();                                                 \
    }                                                               \
  } while (0)

}  // namespace

char *ladeProgramm(const uint8_t *text, size_t laenge) {
  vela_reset();
  vela_setTestDatei("");
  if (laenge > sizeof Programm) laenge = sizeof Programm;
  std::memcpy(Programm, text, laenge);
  DelphiInit();
  for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  char *start = findFirstProgramm();
  pruefeZeiger(start);
  if (start == nullptr) return nullptr;
  NextBefp = start;
  const int16_t code = FetchMarken(start);
  pruefeZustand(code);
  return code == 0 ? start : nullptr;
}

void pruefeZeiger(const char *p) {
  pruefe(p == nullptr || innerhalb(p, Programm, sizeof Programm) ||
         innerhalb(p, FlashArea, sizeof FlashArea) || innerhalb(p, EepromArea, sizeof EepromArea));
}

void pruefeZustand(int16_t code) {
  pruefe(code >= 0 && code < VELA_FEHLERCODES && FehlerTxt[code] != nullptr);
  pruefe(NextBefp != nullptr);
  pruefeZeiger(NextBefp);
  for (int t = 0; t < VELA_TASKS; ++t) {
    pruefe(V_UsedLoops[t] >= -1 && V_UsedLoops[t] < VELA_STACKTIEFE);
    pruefe(V_UsedReturns[t] >= -1 && V_UsedReturns[t] < VELA_STACKTIEFE);
    for (int m = 0; m < VELA_MARKEN; ++m) pruefeZeiger(V_Marke[t][m]);
    for (int e = 0; e < VELA_STACKTIEFE; ++e) {
      pruefeZeiger(V_ReturnAdr[t][e].RueckAdresse);
      pruefeZeiger(V_ReturnAdr[t][e].ProgStart);
      pruefeZeiger(V_Loop[t][e].StartAdresse);
    }
  }
  for (int i = 0; i < VELA_TEXTVARS; ++i) pruefe(std::memchr(V_TextVar[i], '\0', VELA_TEXTLAENGE) != nullptr);
}

}  // namespace vela::fuzz
