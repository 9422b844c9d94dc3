#include "tafel.h"

#include <cstdio>

namespace velatool {

Tafel::Tafel() {
  for (auto &z : zellen_) z.fill(' ');
}

void Tafel::schreibe(char c) {
  if (zeile_ < 0 || zeile_ >= kTafelZeilen || spalte_ < 0 || spalte_ >= kTafelSpalten) return;
  char &zelle = zellen_[zeile_][spalte_++];
  if (zelle != c) geaendert_ = true;
  zelle = c;
}

void Tafel::befehl(uint8_t code) {
  switch (code) {
    case 1:
      for (auto &z : zellen_)
        for (char &c : z) {
          if (c != ' ') geaendert_ = true;
          c = ' ';
        }
      zeile_ = spalte_ = 0;
      break;
    case 3: zeile_ = spalte_ = 0; break;
    default: break;
  }
}

void Tafel::gehe(int16_t spalte, int16_t zeile) {
  const bool gueltig = spalte >= 0 && spalte < kTafelSpalten && zeile >= 0 && zeile < kTafelZeilen;
  spalte_ = gueltig ? spalte : kTafelSpalten;
  zeile_ = gueltig ? zeile : 0;
}

std::string Tafel::zeile(int r) const {
  std::string z;
  for (char c : zellen_[r]) {
    const auto u = static_cast<unsigned char>(c);
    z += (u < 0x20 || u == 0x7F) ? '?' : c;
  }
  return z;
}

std::string Tafel::logEintrag(uint32_t ticks) const {
  std::string e = "@" + std::to_string(ticks) + "\n";
  for (int r = 0; r < kTafelZeilen; ++r) e += zeile(r) + "\n";
  return e;
}

std::string Tafel::rahmen(const std::array<int32_t, 4> &positionen) const {
  static constexpr char kAchsen[] = "XYZA";
  const std::string kante = "+" + std::string(kTafelSpalten, '-') + "+";
  std::string r = kante + "\n";
  for (int z = 0; z < kTafelZeilen; ++z) {
    char achse[32];
    std::snprintf(achse, sizeof achse, "   %c %11ld", kAchsen[z], static_cast<long>(positionen[z]));
    r += "|" + zeile(z) + "|" + achse + "\n";
  }
  return r + kante + "\n";
}

uint8_t tastenCode(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c == 'c') return 10;
  if (c == '\r' || c == '\n') return 11;
  return 17;
}

}  // namespace velatool
