// The text cursor NextBefp and the primitives every handler reads its line
// with. They never move the cursor past the NUL that ends a text, and
// never back before the start of the running program or of the store.
//
// The small primitives are defined here so that every caller inlines them:
// they run for nearly every character the interpreter reads.
#pragma once

#include <cstdint>

#include "vela.h"

namespace vela {

inline bool istZeilenende(char c) { return c == '\r' || c == '\n'; }
inline bool istZiffer(char c) { return c >= '0' && c <= '9'; }

// 1 for space or tab.
inline int16_t isBlank(char c) { return (c == ' ' || c == '\t') ? 1 : 0; }

// Steps over spaces (not tabs) at the cursor.
inline void skipBlanks() {
  char *p = NextBefp;
  while (*p == ' ') ++p;
  NextBefp = p;
}

// Steps p over one character (never over the NUL), then over spaces.
inline void nextNonBlankIn(char *&p) {
  if (*p != '\0') ++p;
  while (*p == ' ') ++p;
}

// The same at the cursor.
inline void nextNonBlank() { nextNonBlankIn(NextBefp); }

// A set of characters, built from a NUL-terminated literal when the
// program is compiled: a test is one table lookup.
struct Zeichenmenge {
  uint64_t bits[4] = {};
  consteval Zeichenmenge(const char *set) {
    for (; *set != '\0'; ++set) {
      const auto c = static_cast<uint8_t>(*set);
      bits[c >> 6] |= uint64_t{1} << (c & 63);
    }
  }
  constexpr bool enthaelt(char c) const {
    const auto z = static_cast<uint8_t>(c);
    return ((bits[z >> 6] >> (z & 63)) & 1u) != 0;
  }
};

// 1 when c is one of the characters of the set (never for the NUL).
inline int16_t isInSet(char c, Zeichenmenge set) { return set.enthaelt(c) ? 1 : 0; }

// I 4, X 0, Y 1, Z 2, every other character (A among them) 3.
inline uint8_t axisIndex(char c) {
  switch (c) {
    case 'X': return 0;
    case 'Y': return 1;
    case 'Z': return 2;
    case 'I': return 4;
    default: return 3;
  }
}

// 1 for a digit 0..9 or the letter V.
inline int16_t isNumberStart(char c) { return (istZiffer(c) || c == 'V') ? 1 : 0; }

// The characters a search in the line stops at: those of a set, and the
// line end (CR, LF, NUL). Keep one as a constant: a lookup per character.
struct Zeilensuche {
  uint8_t halt[256] = {};
  consteval Zeilensuche(const char *set) {
    for (; *set != '\0'; ++set) halt[static_cast<uint8_t>(*set)] = 1;
    halt[0] = halt[static_cast<uint8_t>('\r')] = halt[static_cast<uint8_t>('\n')] = 1;
  }
};

// First character of the set in the rest of the line from p, or NUL.
inline char findInLine(const char *p, const Zeilensuche &suche) {
  while (suche.halt[static_cast<uint8_t>(*p)] == 0) ++p;
  return istZeilenende(*p) ? '\0' : *p;
}

// The same from the cursor.
inline char findInLine(const Zeilensuche &suche) { return findInLine(NextBefp, suche); }

// Steps *p over spaces; 1 when it then stands on CR or LF.
inline uint8_t isLineEndAfterBlanks(char *&p) {
  while (*p == ' ') ++p;
  return istZeilenende(*p) ? 1 : 0;
}

// True when the text at p begins with the keyword (compared
// character by character, upper case, with no test for the end of a word).
inline bool folgtWort(const char *p, const char *wort) {
  for (; *wort != '\0'; ++wort, ++p)
    if (*p != *wort) return false;  // also ends at the text's NUL
  return true;
}

// The same at the cursor.
inline bool folgtWort(const char *wort) { return folgtWort(NextBefp, wort); }

// Back to the start of the current line (skipLine with a mode other than 0).
void zumZeilenanfang();

// Where the last skip to the next line began (public: vela_steuerung.h).
extern char *UngelesenAb;

// Mode 0: to the start of the next non-empty line (or onto the NUL),
// noting in UngelesenAb where the skip began; any other mode: back to the
// start of the current line.
inline void skipLine(int16_t mode) {
  if (mode != 0) {
    zumZeilenanfang();
    return;
  }
  char *p = NextBefp;
  UngelesenAb = p;
  while (*p != '\0' && !istZeilenende(*p)) ++p;
  while (istZeilenende(*p)) ++p;
  NextBefp = p;
}

// Characters before the first CR or LF, at most 21.
uint8_t lineLength(const char *p);
// The command letter execBefehl finds from p: p past blanks and line ends.
char *befehlsStelle(char *p);

// Start of the store (RAM, FLASH or EEPROM area) that holds p, or null.
const char *bereichStart(const char *p);

// True when p lies in the FLASH or EEPROM store, or on the NUL that guards
// its end.
bool imNvSpeicher(const char *p);

// True when p lies in one of the three program stores, where every scan
// ends at a NUL inside the store. A pointer that a host can write (the
// cursor, the loop and return stacks, the label table, the argument of
// FetchMarken) is followed only when this holds; otherwise the command
// fails with 20 and changes nothing.
inline bool imSpeicher(const char *p) {
  const auto x = reinterpret_cast<uintptr_t>(p);
  if (x - reinterpret_cast<uintptr_t>(Programm) < VELA_PROGRAMM_GROESSE) return true;
  return imNvSpeicher(p);
}

}  // namespace vela
