// Driver of the callgrind measurement of the path tick: runs N ticks
// (argument 2, default 100000) of a long line ("gerade") or of a large
// circle ("kreis"), re-queuing the segment when it ends. The test-data
// file is off, so the circle tick measures the stepping alone.
#include <cstdlib>
#include <cstring>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "planner/kreis.h"
#include "vela.h"

namespace {

using namespace vela;

void neueGerade() {
  for (uint8_t a = 0; a < 3; ++a) SollPos[a] = SollSchritte[a] = 0;
  const int32_t ziel[3] = {kMaxGeradeSchritte, kMaxGeradeSchritte / 3, -kMaxGeradeSchritte / 7};
  planGerade(ziel);
}

void neuerKreis() {
  vela::Kreisbogen bogen{};
  planKreis(false, {40000, 0}, {0, 0}, RICHTUNG_CCW, bogen);
  vela::queueKreis(bogen);
}

}  // namespace

int main(int argc, char **argv) {
  const bool kreis = argc > 1 && std::strcmp(argv[1], "kreis") == 0;
  const long n = argc > 2 ? std::atol(argv[2]) : 100000;
  vela_reset();
  vela_setTestDatei("");
  void (*queue)() = kreis ? neuerKreis : neueGerade;
  // Called through a volatile pointer, so that no optimisation inlines the
  // tick into this loop: callgrind counts it as a function of its own.
  void (*volatile tick)() = stepBahn;
  queue();
  for (long i = 0; i < n; ++i) {
    tick();
    if (BahnAktiv == 0) queue();
  }
  return 0;
}
