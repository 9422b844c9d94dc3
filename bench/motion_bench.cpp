// Path tick for line segments and circle octants, and the planning of a
// line and of an arc. The test-data file is switched off, so the circle
// tick measures the stepping alone.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "planner/kreis.h"
#include "vela.h"

namespace {

using namespace vela;

// A line long enough that the benchmark never sees its end; re-queued if it does.
void queueLangeGerade() {
  for (uint8_t a = 0; a < 3; ++a) SollPos[a] = SollSchritte[a] = 0;
  const int32_t ziel[3] = {kMaxGeradeSchritte, kMaxGeradeSchritte / 3, -kMaxGeradeSchritte / 7};
  planGerade(ziel);
}

void BM_StepBahnGerade(benchmark::State &state) {
  vela_reset();
  queueLangeGerade();
  for (auto _ : state) {
    stepBahn();
    if (BahnAktiv == 0) queueLangeGerade();
  }
  benchmark::DoNotOptimize(BahnRest);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepBahnGerade);

// A full circle of radius 40000 (about 226000 ticks) cut into octants.
void queueGrosserKreis() {
  Kreisbogen bogen{};
  planKreis(false, {40000, 0}, {0, 0}, RICHTUNG_CCW, bogen);
  queueKreis(bogen);
}

void BM_StepBahnKreis(benchmark::State &state) {
  vela_reset();
  vela_setTestDatei("");
  queueGrosserKreis();
  for (auto _ : state) {
    stepBahn();
    if (BahnAktiv == 0) queueGrosserKreis();
  }
  benchmark::DoNotOptimize(BahnRest);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepBahnKreis);

void BM_PlanGerade(benchmark::State &state) {
  vela_reset();
  int32_t i = 0;
  for (auto _ : state) {
    ++i;
    const int32_t ziel[3] = {i & 1023, (i * 7) & 511, -(i & 255)};
    planGerade(ziel);
    if (isBahnVoll()) BahnSchreibIndex = BahnLeseIndex;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlanGerade);

// Planning an arc of radius r through five octants; the step count of an
// arc is found by walking it, so the cost grows with r.
void BM_PlanKreis(benchmark::State &state) {
  vela_reset();
  const auto r = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    Kreisbogen bogen{};
    benchmark::DoNotOptimize(planKreis(false, {r, r / 3}, {r + r / 2, r + r / 4}, RICHTUNG_CW, bogen));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlanKreis)->Arg(100)->Arg(10000);

// The whole C command: parsing, planning and the test run (file off).
void BM_KreisBefehl(benchmark::State &state) {
  vela_reset();
  vela_setTestDatei("");
  std::strcpy(Programm, "CW 100, 0\r");
  for (auto _ : state) {
    NextBefp = Programm;
    benchmark::DoNotOptimize(execBefehl());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KreisBefehl);

}  // namespace
