// Fuzz target: the download state on random streams.
//
//   input = k  host bytes (k >> 1 of them)  download stream
//
// Bit 0 of k makes the stream impossible to open. The host bytes answer the
// requests of option P. Downloads follow one another on the same stream
// (LadeSumme runs on) until it has ended. After each: the stores' guards,
// a NUL in the RAM store, the stream closed; a download that loaded leaves
// a text that the input filter could have produced, one that did not load
// a program and left an error an empty store.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "monitor/laden.h"
#include "monitor/monitorzustand.h"
#include "monitor_geraete.h"
#include "vela.h"

namespace {

constexpr int kDownloads = 4;

void pruefeText() {
  bool imText = false;
  for (const char *p = Programm; *p != '\0'; ++p) {
    const char c = *p;
    if (imText) {
      if (c == '"' || c == '\r' || c == '\n') imText = false;
      continue;
    }
    if ((c >= 'a' && c <= 'z') || c == ' ' || c == '\t' || c == ';') {
      std::fprintf(stderr, "download kept a filtered byte 0x%02X at %ld\n", static_cast<unsigned char>(c),
                   static_cast<long>(p - Programm));
      std::abort();
    }
    if (c == '"') imText = true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  if (laenge == 0) return 0;
  const size_t hostLaenge = std::min<size_t>(daten[0] >> 1, laenge - 1);
  vela::fuzz::bindeGeraete(daten + 1, hostLaenge, daten + 1 + hostLaenge, laenge - 1 - hostLaenge,
                           (daten[0] & 1) != 0);
  for (int i = 0; i < kDownloads; ++i) {
    // As the idle state leaves them; LadeSumme runs on.
    vela::Betriebsart = vela::BETRIEB_NORMAL;
    vela::PruefsummeAn = vela::ZeilenQuittung = vela::TraceAn = 0;
    const bool geladen = vela::downloadState();
    vela::fuzz::pruefeAblagen();
    if (geladen) {
      if (vela::LetztesErgebnis != 0) std::abort();
      pruefeText();
    } else if (vela::LetztesErgebnis != 0 && Programm[0] != '\0') {
      std::fprintf(stderr, "a failed download left a runnable store\n");
      std::abort();
    }
    if (vela::fuzz::ladeRest() == 0) break;
  }
  return 0;
}
