// Test-data file: the path (settable by the host), opening in binary mode
// with a static stream buffer, and the line format
//
//   <x> ' ' <y> ' ' CR CR LF
//
// written byte for byte, so that the file is the same on every platform.
#include "motion/testdatei.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "vela.h"

namespace vela {

namespace {

#ifdef _WIN32
#define VELA_TESTDATEI "c:\\vela-ns\\dll\\testdaten.dat"
#else
#define VELA_TESTDATEI "testdaten.dat"
#endif
constexpr const char *kStandardPfad = VELA_TESTDATEI;
constexpr size_t kPfadMax = 259;

char Pfad[kPfadMax + 1] = VELA_TESTDATEI;  // configured path; empty: no file is written
char Puffer[4096];                         // stream buffer, so that stdio allocates none

// Decimal digits of v at the end of the buffer that ends at ende; returns
// the first character.
char *dezimal(char *ende, int32_t v) {
  uint32_t u = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  do {
    *--ende = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (v < 0) *--ende = '-';
  return ende;
}

}  // namespace

std::FILE *TestDatei;

void oeffneTestDatei() {
  schliesseTestDatei();
  if (Pfad[0] == '\0') return;
  TestDatei = std::fopen(Pfad, "wb");
  if (TestDatei != nullptr) std::setvbuf(TestDatei, Puffer, _IOFBF, sizeof Puffer);
}

void schliesseTestDatei() {
  if (TestDatei == nullptr) return;
  std::fclose(TestDatei);
  TestDatei = nullptr;
}

void schreibeTestZeile(int32_t x, int32_t y) {
  if (TestDatei == nullptr) return;
  // Two numbers of at most 11 characters, two blanks and three line-end bytes.
  char zeile[32];
  char *ende = zeile + sizeof zeile;
  *--ende = '\n';
  *--ende = '\r';
  *--ende = '\r';
  *--ende = ' ';
  ende = dezimal(ende, y);
  *--ende = ' ';
  ende = dezimal(ende, x);
  std::fwrite(ende, 1, static_cast<size_t>(zeile + sizeof zeile - ende), TestDatei);
}

void resetTestDatei() {
  schliesseTestDatei();
  std::strcpy(Pfad, kStandardPfad);
}

}  // namespace vela

// Null restores the default path, an empty text switches the file off. A
// path longer than the limit switches it off as well rather than writing
// to a truncated name.
extern "C" void VELA_CALL vela_setTestDatei(const char *pfad) {
  using namespace vela;
  if (pfad == nullptr) {
    std::strcpy(Pfad, kStandardPfad);
    return;
  }
  // Copy at most one character more than fits, to tell a long path apart.
  size_t n = 0;
  while (n <= kPfadMax && pfad[n] != '\0') ++n;
  if (n > kPfadMax) n = 0;
  std::memcpy(Pfad, pfad, n);
  Pfad[n] = '\0';
}
