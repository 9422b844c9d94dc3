// Test-data file: the path (settable by the host), a file descriptor with
// a static buffer (so that writing it allocates nothing), and the line format
//
//   <x> ' ' <y> ' ' CR CR LF
//
// written byte for byte, so that the file is the same on every platform.
#include "platform/testdatei.h"

#include <fcntl.h>

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#define VELA_OPEN(pfad) _open((pfad), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0644)
#define VELA_WRITE(fd, daten, n) _write((fd), (daten), static_cast<unsigned>(n))
#define VELA_CLOSE(fd) _close(fd)
#else
#include <unistd.h>
#define VELA_OPEN(pfad) open((pfad), O_WRONLY | O_CREAT | O_TRUNC, 0644)
#define VELA_WRITE(fd, daten, n) write((fd), (daten), (n))
#define VELA_CLOSE(fd) close(fd)
#endif

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
char Puffer[4096];                         // lines not yet written
size_t Fuellung;                           // bytes in Puffer
int Datei = -1;                            // descriptor of the open file, or -1

// Pfad holds exactly the path (zeros behind it), or nothing when it is
// longer than the limit. At most one character more than fits is read, to
// tell a long path apart.
void setzePfad(const char *pfad) {
  size_t n = 0;
  while (n <= kPfadMax && pfad[n] != '\0') ++n;
  if (n > kPfadMax) n = 0;
  std::memset(Pfad, 0, sizeof Pfad);
  std::memcpy(Pfad, pfad, n);
}

void leere() {
  size_t geschrieben = 0;
  while (geschrieben < Fuellung) {
    const auto n = VELA_WRITE(Datei, Puffer + geschrieben, Fuellung - geschrieben);
    if (n <= 0) break;  // a write error drops the rest, as a failed open does
    geschrieben += static_cast<size_t>(n);
  }
  Fuellung = 0;
}

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

bool TestDatei;

void oeffneTestDatei() {
  schliesseTestDatei();
  if (Pfad[0] == '\0') return;
  Datei = VELA_OPEN(Pfad);
  TestDatei = Datei >= 0;
  Fuellung = 0;
}

void schliesseTestDatei() {
  if (!TestDatei) return;
  leere();
  VELA_CLOSE(Datei);
  Datei = -1;
  TestDatei = false;
}

void schreibeTestZeile(int32_t x, int32_t y) {
  if (!TestDatei) return;
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
  const auto n = static_cast<size_t>(zeile + sizeof zeile - ende);
  if (Fuellung + n > sizeof Puffer) leere();
  std::memcpy(Puffer + Fuellung, ende, n);
  Fuellung += n;
}

void resetTestDatei() {
  schliesseTestDatei();
  setzePfad(kStandardPfad);
  std::memset(Puffer, 0, sizeof Puffer);
}

}  // namespace vela

// Null restores the default path, an empty text switches the file off. A
// path longer than the limit switches it off as well rather than writing
// to a truncated name.
extern "C" void VELA_CALL vela_setTestDatei(const char *pfad) {
  vela::setzePfad(pfad != nullptr ? pfad : vela::kStandardPfad);
}
