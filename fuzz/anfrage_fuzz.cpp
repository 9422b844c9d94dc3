// Fuzz target: the request dispatcher between steps, on random stores.
//
//   input = f e r1 r0  FLASH bytes (f % 201)  EEPROM bytes (e % 201)
//           RAM bytes ((r1 r0) % 6400)  host bytes
//
// The rest of FLASH reads 0xFF, of EEPROM and RAM 0 (the RAM text always
// has its NUL; the others may fill their store). Requests are carried out
// until the host bytes are used up; after each the stores' guards hold and
// the RAM store keeps a NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "monitor/anfragen.h"
#include "monitor_geraete.h"
#include "platform/speicher.h"
#include "vela.h"

namespace {

constexpr int kAnfragen = 16;

// Copies up to n bytes from the input into a store.
void kopiere(char *ziel, size_t n, const uint8_t *&daten, size_t &laenge) {
  n = std::min(n, laenge);
  std::memcpy(ziel, daten, n);
  daten += n;
  laenge -= n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  if (laenge < 4) return 0;
  const size_t f = daten[0] % (vela::kBereichGroesse + 1);
  const size_t e = daten[1] % (vela::kBereichGroesse + 1);
  const size_t r = (static_cast<size_t>(daten[2]) << 8 | daten[3]) % sizeof Programm;
  const uint8_t *inhalt = daten + 4;
  size_t rest = laenge - 4;
  const size_t n = std::min(f + e + r, rest);
  vela::fuzz::bindeGeraete(inhalt + n, rest - n, nullptr, 0, false);
  std::memset(vela::FlashArea, '\xFF', vela::kBereichGroesse);
  kopiere(vela::FlashArea, f, inhalt, rest);
  kopiere(vela::EepromArea, e, inhalt, rest);
  kopiere(Programm, r, inhalt, rest);
  for (int i = 0; i < kAnfragen && vela::fuzz::hostRest() > 0; ++i) {
    vela::hostRequest();
    vela::fuzz::pruefeAblagen();
  }
  return 0;
}
