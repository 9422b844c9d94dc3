// The three program stores as address ranges, for the monitor's scans and
// moves: every scan stops at the end of its store, so that a text without
// its NUL (a store filled to its last byte) is never read past.
#pragma once

#include "core/zustand.h"

namespace vela {

// The text of a store begins with a program header.
bool beginntMitProg(const char *p, const char *ende);
// The store (RAM, FLASH, EEPROM) that holds p: its first byte and the byte
// after its last; both null when p lies in none.
struct Ablage {
  char *anfang;
  char *ende;
};
Ablage ablageVon(const char *p);
// The NUL that ends the text at p, or the end of the store when the text
// runs to it; p itself when p lies in no store.
char *textEnde(const char *p);
// The first CR followed by "PROG" in [p, ende), or null.
char *naechsterKopf(const char *p, const char *ende);

}  // namespace vela
