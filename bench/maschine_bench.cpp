// Throughput of the speed and display commands and of the value format.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_lade.h"
#include "commands/anzeige.h"
#include "platform/plattform.h"
#include "vela.h"

namespace {

using benchlade::lade;
using benchlade::stepping;

void BM_SpeedCommands(benchmark::State &state) { stepping(state, "G 800\rGSX 120\rGEI 50\r"); }
BENCHMARK(BM_SpeedCommands);

void BM_DisplayCommands(benchmark::State &state) {
  stepping(state, "D 2 \"Position\"\rD 3 V1\rDF 8, 2\rDX 1 DY -1\r");
}
BENCHMARK(BM_DisplayCommands);

long zeichen;
void zaehle(void *, char) { ++zeichen; }

void BM_PrintWert(benchmark::State &state) {
  vela_reset();
  vela::Kanal senke{zaehle, nullptr, nullptr, nullptr};
  vela::FeldBreite = 10;
  vela::NachkStellen = 2;
  int32_t v = 0;
  for (auto _ : state) vela::printWert(&senke, v++);
  benchmark::DoNotOptimize(zeichen);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PrintWert);

}  // namespace
