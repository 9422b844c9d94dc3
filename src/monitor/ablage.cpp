#include "monitor/ablage.h"

#include <cstring>

#include "core/cursor.h"
#include "platform/speicher.h"
#include "vela.h"

namespace vela {

bool beginntMitProg(const char *p, const char *ende) {
  return ende - p >= 4 && std::memcmp(p, "PROG", 4) == 0;
}

Ablage ablageVon(const char *p) {
  const char *anfang = bereichStart(p);
  if (anfang == nullptr) return {nullptr, nullptr};
  char *a = const_cast<char *>(anfang);
  return {a, a + (a == Programm ? kProgrammGroesse : kBereichGroesse)};
}

char *textEnde(const char *p) {
  const Ablage a = ablageVon(p);
  if (a.anfang == nullptr) return const_cast<char *>(p);
  const void *nul = std::memchr(p, '\0', static_cast<size_t>(a.ende - p));
  return nul != nullptr ? static_cast<char *>(const_cast<void *>(nul)) : a.ende;
}

char *naechsterKopf(const char *p, const char *ende) {
  for (; ende - p >= 5; ++p) {
    const void *cr = std::memchr(p, '\r', static_cast<size_t>(ende - p - 4));
    if (cr == nullptr) return nullptr;
    p = static_cast<const char *>(cr);
    if (std::memcmp(p + 1, "PROG", 4) == 0) return const_cast<char *>(p);
  }
  return nullptr;
}

}  // namespace vela
