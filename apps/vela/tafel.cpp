#include "tafel.h"

#include <cstdio>
#include <cstring>

namespace velatool {

std::string Tafel::zeile(int r) const {
  char text[kTafelSpalten + 1];
  anzeige_->zeilenText(r, text);
  std::string z(text, kTafelSpalten);
  for (char &c : z) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '?';
  }
  return z;
}

std::string Tafel::logEintrag(uint32_t ticks) const {
  std::string e = "@" + std::to_string(ticks) + "\n";
  for (int r = 0; r < kTafelZeilen; ++r) e += zeile(r) + "\n";
  return e;
}

std::string Tafel::rahmen(const std::array<int32_t, 4> *positionen, const std::string &vorsatz) const {
  static constexpr char kAchsen[] = "XYZA";
  const std::string kante = vorsatz + "+" + std::string(kTafelSpalten, '-') + "+";
  std::string r = kante + "\n";
  for (int z = 0; z < kTafelZeilen; ++z) {
    char achse[32] = "";
    if (positionen != nullptr)
      std::snprintf(achse, sizeof achse, "   %c %11ld", kAchsen[z], static_cast<long>((*positionen)[z]));
    r += vorsatz + "|" + zeile(z) + "|" + achse + "\n";
  }
  return r + kante + "\n";
}

bool Tafel::geaendert() const {
  return std::memcmp(gesehen_.zellen, anzeige_->zellen, sizeof gesehen_.zellen) != 0;
}

uint8_t tastenCode(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c == 'c') return 10;
  if (c == '\r' || c == '\n') return 11;
  return 17;
}

}  // namespace velatool
