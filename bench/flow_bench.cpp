// Cost of the control-flow paths: a counted loop, a label jump, label
// collection over a full store, and a program search through it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench_lade.h"
#include "core/programme.h"
#include "vela.h"

namespace {

using benchlade::lade;
using benchlade::stepping;

// A store filled with 199 labelled lines and a last program PROG99 at its end.
std::string vollerSpeicher() {
  std::string text;
  char zeile[32];
  for (int n = 0; n < 199; ++n) {
    std::snprintf(zeile, sizeof zeile, "M%d\rV1=V1+%d\r", n, n);
    text += zeile;
  }
  while (text.size() < VELA_PROGRAMM_GROESSE - 40) text += "X1\r";
  return text + "PROG99\rQ\r";
}

void BM_LoopStep(benchmark::State &state) {
  lade("L30000\rL\r");
  for (auto _ : state) {
    if (*NextBefp == '\0') NextBefp = Programm;
    benchmark::DoNotOptimize(execBefehl());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoopStep);

void BM_LabelJump(benchmark::State &state) {
  lade("M1\rJ M1\r");
  for (auto _ : state) benchmark::DoNotOptimize(execBefehl());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LabelJump);

void BM_FetchMarkenFullStore(benchmark::State &state) {
  lade(vollerSpeicher());
  for (auto _ : state) benchmark::DoNotOptimize(FetchMarken(Programm));
}
BENCHMARK(BM_FetchMarkenFullStore);

void BM_FindProgrammAtStoreEnd(benchmark::State &state) {
  lade(vollerSpeicher());
  for (auto _ : state) benchmark::DoNotOptimize(vela::findProgrammAnywhere("99", nullptr));
}
BENCHMARK(BM_FindProgrammAtStoreEnd);

}  // namespace
