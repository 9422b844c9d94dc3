// Throughput of the download's receive path: filter, sum, acknowledgement
// and store, from an in-memory download stream into the RAM store. The
// allocations made while receiving are counted (plain builds only).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "monitor/laden.h"
#include "monitor/monitorzustand.h"
#include "platform/plattform.h"
#include "support/allokationszaehler.h"
#include "vela.h"

namespace {

struct Speicherstrom {
  const char *daten;
  size_t laenge, gelesen;
};
Speicherstrom strom;

bool oeffne(void *) {
  strom.gelesen = 0;
  return true;
}
int16_t lies(void *) {
  return strom.gelesen < strom.laenge ? static_cast<uint8_t>(strom.daten[strom.gelesen++]) : vela::KANAL_ENDE;
}

// A program as a host sends it: commands with blanks, lower-case words and
// comments to drop, quoted display texts to keep, CR line ends; 100 rounds
// of these lines (9000 bytes) keep 5900 bytes in the store.
std::string programm() {
  const char *zeilen =
      "X 100 Y 50 ;anfahren\rD \"Position erreicht\"\rv1=V1+1  ; zaehler\r"
      "IL 10, 20, 30\rJ V1<V2 M5\rM5\r";
  std::string s;
  for (int i = 0; i < 100; ++i) s += zeilen;
  return s + "$";
}

void BM_DownloadReceive(benchmark::State &state) {
  vela_reset();
  vela::Plattform p{};
  p.lade = {oeffne, lies, nullptr, nullptr, 0};
  vela::bindePlattform(p);
  const std::string text = programm();
  strom = {text.data(), text.size(), 0};
  long fehler = 0;
  allokationen::zaehler = 0;
  for (auto _ : state) {
    vela::ladeDateiOeffnen();
    NextBefp = Programm;
    allokationen::aktiv = true;
    fehler += vela::receiveProgram(lies(nullptr));
    allokationen::aktiv = false;
    vela::ladeDateiSchliessen();
  }
  if (fehler != 0) state.SkipWithError("the text was not received");
  if (allokationen::zaehler != 0) state.SkipWithError("the receive path allocated");
  state.counters["allocs"] = static_cast<double>(allokationen::zaehler);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DownloadReceive);

}  // namespace
