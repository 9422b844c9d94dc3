// Cursor primitives over the program text.
#include "core/cursor.h"

#include <cstdint>

#include "core/programme.h"
#include "core/zustand.h"

namespace vela {

const char *bereichStart(const char *p) {
  auto in = [p](const char *anfang, uintptr_t groesse) {
    auto a = reinterpret_cast<uintptr_t>(anfang);
    auto x = reinterpret_cast<uintptr_t>(p);
    return x >= a && x - a < groesse;
  };
  if (in(Programm, kProgrammGroesse)) return Programm;
  if (in(FlashArea, kBereichGroesse)) return FlashArea;
  if (in(EepromArea, kBereichGroesse)) return EepromArea;
  return nullptr;
}

char *UngelesenAb;

bool imNvSpeicher(const char *p) {
  const auto x = reinterpret_cast<uintptr_t>(p);
  return x - reinterpret_cast<uintptr_t>(FlashArea) <= kBereichGroesse ||
         x - reinterpret_cast<uintptr_t>(EepromArea) <= kBereichGroesse;
}

void zumZeilenanfang() {
  char *p = NextBefp;
  // Back to the start of the line, but never before the running program's
  // start nor before the start of the store the cursor is in.
  const auto grenze = reinterpret_cast<uintptr_t>(ProgStart[AktTask]);
  const char *bereich = bereichStart(p);
  const bool grenzeImBereich = bereich == nullptr || bereichStart(ProgStart[AktTask]) == bereich;
  auto amAnfang = [&](const char *q) {
    return q == bereich || (grenzeImBereich && reinterpret_cast<uintptr_t>(q) <= grenze);
  };
  // From the line end one step back first, and only then the comparison
  // with the program start: a line that lies before the running program
  // ends on its last character. Only the store's first byte has nothing
  // before it.
  if (istZeilenende(*p)) {
    if (p == bereich) return;
    --p;
  }
  while (!istZeilenende(*p)) {
    if (amAnfang(p)) {
      NextBefp = p;
      return;
    }
    --p;
  }
  NextBefp = p + 1;
}

// The count also ends at the NUL, so that it never reads past the text.
uint8_t lineLength(const char *p) {
  uint8_t n = 0;
  while (n < 21 && p[n] != '\0' && !istZeilenende(p[n])) ++n;
  return n;
}

char *befehlsStelle(char *p) {
  while (isBlank(*p) != 0 || istZeilenende(*p)) ++p;
  return p;
}

}  // namespace vela
