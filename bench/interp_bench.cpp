// Throughput of execBefehl on a mixed program and of evalAusdruck alone.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_lade.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "vela.h"

namespace {

using benchlade::lade;
using benchlade::stepping;

void BM_Increment(benchmark::State &state) { stepping(state, "V1=V1+1\r"); }
BENCHMARK(BM_Increment);

void BM_MixedProgram(benchmark::State &state) {
  stepping(state,
           "V1=V1+1\rV2=(V1*3+7)/2\rV3=V2%5-V1^2\rX 100 Y 50\rV4=VV3\r"
           "X 0 Y 0\rV5=V4*V4\r");
}
BENCHMARK(BM_MixedProgram);

void BM_MoveTwoAxes(benchmark::State &state) { stepping(state, "X 100 Y 50\rX 0 Y 0\r"); }
BENCHMARK(BM_MoveTwoAxes);

void BM_EvalAusdruck(benchmark::State &state) {
  lade("(V1+3)*V2-7/2+V3^2\r");
  int32_t wert = 0;
  for (auto _ : state) {
    NextBefp = Programm;
    benchmark::DoNotOptimize(vela::evalAusdruck(wert));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvalAusdruck);

}  // namespace
