#include "support/ablagen.h"

#include <algorithm>
#include <cstring>

#include "platform/speicher.h"
#include "vela.h"

std::string mitCr(std::string text) {
  std::replace(text.begin(), text.end(), '\n', '\r');
  return text;
}

namespace {

void fuelle(char *ziel, int groesse, char rest, const std::string &s) {
  std::memset(ziel, rest, static_cast<size_t>(groesse));
  std::memcpy(ziel, s.data(), std::min<size_t>(s.size(), static_cast<size_t>(groesse)));
}

}  // namespace

void ramText(const std::string &text) { fuelle(Programm, sizeof Programm, '\0', mitCr(text)); }
void eepromText(const std::string &text) {
  fuelle(vela::EepromStart, vela::kBereichGroesse, '\0', mitCr(text));
}
void flashBytes(const std::string &bytes) {
  fuelle(vela::FlashStart, vela::kBereichGroesse, '\xFF', mitCr(bytes));
}
std::string flashInhalt(int n) { return {vela::FlashStart, static_cast<size_t>(n)}; }
std::string eepromInhalt(int n) { return {vela::EepromStart, static_cast<size_t>(n)}; }
std::string ramInhalt(int n) { return {Programm, static_cast<size_t>(n)}; }
