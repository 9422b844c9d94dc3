// Shared set-up of the benchmarks: load a program text the way a host does,
// and step through it one command per iteration.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "vela.h"

namespace benchlade {

inline void lade(const std::string &text) {
  vela_reset();
  vela_setTestDatei("");
  std::memcpy(Programm, text.data(), std::min(text.size(), sizeof Programm - 1));
  DelphiInit();
  for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  NextBefp = findFirstProgramm();
  FetchMarken(NextBefp);
}

// One command per iteration; the cursor is rewound at the end of the text.
inline void stepping(benchmark::State &state, const char *text) {
  lade(text);
  for (auto _ : state) {
    if (*NextBefp == '\0') NextBefp = Programm;
    benchmark::DoNotOptimize(execBefehl());
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace benchlade
