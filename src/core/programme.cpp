// Program areas, program lookup by header line, the first program to run,
// and the task table with its scheduler.
//
// A program is found by its header line "PROG<name>" CR; the body starts
// on the line after it. Every scan of an area stops at the area's size, so
// that a store filled to its last byte is never read past.
//
//   RAM, EEPROM:  text NUL                       one text, headers inside
//   FLASH:        text NUL text NUL ... 0xFF     each text begins with its header
#include "core/programme.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "core/cursor.h"
#include "core/zustand.h"
#include "vela.h"

namespace vela {

namespace {

// Longest search text: CR "PROG" name CR, and its NUL.
constexpr int kSuchLaenge = 1 + 4 + kNameMax + 1 + 1;

// True when the n characters at p (p + n within the area) equal muster.
bool beginntMit(const char *p, const char *ende, const char *muster, int n) {
  return ende - p >= n && std::memcmp(p, muster, static_cast<size_t>(n)) == 0;
}

// First occurrence of muster in the NUL-terminated text [anfang, ende),
// or null; never reads at or past ende.
const char *sucheIn(const char *anfang, const char *ende, const char *muster, int n) {
  for (const char *p = anfang; p < ende && *p != '\0'; ++p)
    if (beginntMit(p, ende, muster, n)) return p;
  return nullptr;
}

// RAM and EEPROM: one text; the header is either at the start or follows
// a CR.
const char *sucheText(const char *bereich, int groesse, const char *kopf, int kopfLaenge, const char *zeile,
                      int zeileLaenge) {
  const char *ende = bereich + groesse;
  if (bereich[0] == '\0') return nullptr;
  if (beginntMit(bereich, ende, kopf, kopfLaenge)) return bereich + kopfLaenge;
  const char *p = sucheIn(bereich, ende, zeile, zeileLaenge);
  return p == nullptr ? nullptr : p + zeileLaenge;
}

// FLASH: a chain of texts, each starting with its header, ended by 0xFF.
const char *sucheFlash(const char *kopf, int kopfLaenge) {
  const char *p = FlashStart;
  const char *ende = FlashStart + kBereichGroesse;
  while (p < ende && *p != kGeloescht) {
    if (beginntMit(p, ende, kopf, kopfLaenge)) return p + kopfLaenge;
    while (p < ende && *p != '\0') ++p;
    ++p;  // past the NUL
  }
  return nullptr;
}

bool beginntMitProg(const char *bereich) { return std::strncmp(bereich, "PROG", 4) == 0; }

}  // namespace

// The two search texts are "PROG<name>" CR (at the start of an area) and
// CR "PROG<name>" CR (anywhere else); the closing CR makes the match exact,
// so that 5 does not find PROG50. The result is the start of the line
// after the header.
char *findProgramm(const char *name, char bereich) {
  if (name == nullptr) return nullptr;
  const size_t laenge = strnlen(name, kNameMax + 1);
  if (laenge > static_cast<size_t>(kNameMax)) return nullptr;

  char zeile[kSuchLaenge];
  zeile[0] = '\r';
  std::memcpy(zeile + 1, "PROG", 4);
  std::memcpy(zeile + 5, name, laenge);
  zeile[5 + laenge] = '\r';
  zeile[6 + laenge] = '\0';
  const char *kopf = zeile + 1;
  const int kopfLaenge = static_cast<int>(laenge) + 5;
  const int zeileLaenge = kopfLaenge + 1;

  const char *body = nullptr;
  const char *ende = nullptr;
  switch (bereich) {
    case 'R':
      body = sucheText(Programm, kProgrammGroesse, kopf, kopfLaenge, zeile, zeileLaenge);
      ende = Programm + kProgrammGroesse;
      break;
    case 'E':
      body = sucheText(EepromStart, kBereichGroesse, kopf, kopfLaenge, zeile, zeileLaenge);
      ende = EepromStart + kBereichGroesse;
      break;
    case 'F':
      body = sucheFlash(kopf, kopfLaenge);
      ende = FlashStart + kBereichGroesse;
      break;
    default: return nullptr;
  }
  // A header that ends on the area's last byte has no body inside the area.
  if (body == nullptr || body >= ende) return nullptr;
  return const_cast<char *>(body);
}

char *findProgrammAnywhere(const char *name, char *bereich) {
  for (const char b : {'F', 'E', 'R'}) {
    char *p = findProgramm(name, b);
    if (p != nullptr) {
      if (bereich != nullptr) *bereich = b;
      return p;
    }
  }
  return nullptr;
}

// Each task whose priority is below 127 counts down; the first one that
// reaches 0 runs next and reloads with priority + 1, a later one that
// reaches 0 in the same step is set to 1 so that it runs at the next step.
uint8_t nextTask() {
  uint8_t gewaehlt = AktTask;
  bool vergeben = false;
  if (TaskCount[AktTask] == 0) return AktTask;
  for (uint8_t i = 0; i < kTasks; ++i) {
    if (TaskPrio[i] >= 127) continue;
    TaskCount[i] = static_cast<int8_t>(TaskCount[i] - 1);
    if (TaskCount[i] != 0) continue;
    if (!vergeben) {
      gewaehlt = i;
      vergeben = true;
      TaskCount[i] = static_cast<int8_t>(TaskPrio[i] + 1);
    } else {
      TaskCount[i] = 1;
    }
  }
  return gewaehlt;
}

void resetTaskStacks(uint8_t task) {
  if (task >= kTasks) return;
  V_UsedLoops[task] = -1;
  V_UsedReturns[task] = -1;
  for (int i = 0; i < kStackTiefe; ++i) {
    V_ReturnAdr[task][i] = ReturnEintrag{nullptr, nullptr};
    V_Loop[task][i].Anzahl = 0;
    V_Loop[task][i].StartAdresse = nullptr;
  }
}

uint8_t newBlock(const char *a, const char *b) {
  const auto blockA = reinterpret_cast<uintptr_t>(a) & ~static_cast<uintptr_t>(63);
  const auto blockB = reinterpret_cast<uintptr_t>(b) & ~static_cast<uintptr_t>(63);
  return blockA != blockB ? 1 : 0;
}

void zumProgrammStart() { NextBefp = ProgStart[AktTask] != nullptr ? ProgStart[AktTask] : Programm; }

}  // namespace vela

extern "C" {

// The main program is MAIN, sought in RAM, FLASH, EEPROM; without one, the
// unnamed program at the start of the first area that has one.
char *VELA_CALL findFirstProgramm(void) {
  using namespace vela;
  char *start = nullptr;
  for (const char b : {'R', 'F', 'E'}) {
    start = findProgramm("MAIN", b);
    if (start != nullptr) break;
  }
  if (start == nullptr) {
    if (Programm[0] != '\0' && !beginntMitProg(Programm))
      start = Programm;
    else if (FlashStart[0] != kGeloescht && !beginntMitProg(FlashStart))
      start = FlashStart;
    else if (EepromStart[0] != '\0' && !beginntMitProg(EepromStart))
      start = EepromStart;
  }
  ProgStart[0] = start;
  return start;
}

}  // extern "C"
