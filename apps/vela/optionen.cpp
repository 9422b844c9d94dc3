#include "optionen.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace velatool {

namespace {

std::vector<std::string> teile(const std::string &text, char trenner) {
  std::vector<std::string> teile;
  std::stringstream ein(text);
  for (std::string t; std::getline(ein, t, trenner);) teile.push_back(t);
  if (text.empty() || text.back() == trenner) teile.emplace_back();  // an empty part: refused
  return teile;
}

// A whole integer that fills the text, within [min, max].
bool ganzzahl(const std::string &t, long min, long max, long &wert) {
  if (t.empty() || (t[0] != '-' && (t[0] < '0' || t[0] > '9'))) return false;
  char *ende = nullptr;
  errno = 0;
  wert = std::strtol(t.c_str(), &ende, 10);
  return errno == 0 && *ende == '\0' && wert >= min && wert <= max;
}

bool sekunden(const std::string &t, double &wert) {
  if (t.empty() || t[0] < '0' || t[0] > '9') return false;
  char *ende = nullptr;
  wert = std::strtod(t.c_str(), &ende);
  return *ende == '\0' && std::isfinite(wert) && wert < 1e9;
}

}  // namespace

std::vector<Eingabe> leseEingaben(const std::string &text) {
  std::vector<Eingabe> eingaben;
  for (const std::string &teil : teile(text, ',')) {
    const auto gleich = teil.find('=');
    const auto bei = teil.find('@');
    long n = 0, v = 0;
    double t = 0;
    const std::string wert = teil.substr(gleich == std::string::npos ? 0 : gleich + 1,
                                         bei == std::string::npos ? std::string::npos : bei - gleich - 1);
    if (gleich == std::string::npos || !ganzzahl(teil.substr(0, gleich), 0, 255, n) ||
        !ganzzahl(wert, INT32_MIN, INT32_MAX, v) ||
        (bei != std::string::npos && !sekunden(teil.substr(bei + 1), t)))
      throw OptionsFehler("--input expects N=V[@SECONDS] with N 0..255, got \"" + teil + "\"");
    eingaben.push_back(
        {static_cast<int32_t>(n), static_cast<int32_t>(v), static_cast<Nanos>(std::llround(t * 1e9))});
  }
  return eingaben;
}

std::vector<Eingabe> leseEingaben(const std::vector<std::string> &texte) {
  std::vector<Eingabe> eingaben;
  for (const std::string &t : texte)
    for (const Eingabe &e : leseEingaben(t)) eingaben.push_back(e);
  return eingaben;
}

std::vector<Tastendruck> leseTasten(const std::string &text) {
  std::vector<Tastendruck> tasten;
  for (const std::string &teil : teile(text, ',')) {
    const auto gleich = teil.find('=');
    double t = 0;
    long k = 0;
    if (gleich == std::string::npos || !sekunden(teil.substr(0, gleich), t) ||
        !ganzzahl(teil.substr(gleich + 1), 0, 16, k))
      throw OptionsFehler("--keys expects SECONDS=KEY with KEY 0..16, got \"" + teil + "\"");
    tasten.push_back({static_cast<Nanos>(std::llround(t * 1e9)), static_cast<uint8_t>(k)});
  }
  return tasten;
}

long lesePositiv(const std::string &text, const std::string &option) {
  long wert = 0;
  if (!ganzzahl(text, 1, LONG_MAX, wert))
    throw OptionsFehler(option + " expects a whole number of at least 1, got \"" + text + "\"");
  return wert;
}

double leseSekunden(const std::string &text, const std::string &option) {
  double wert = 0;
  if (!sekunden(text, wert) || wert <= 0)
    throw OptionsFehler(option + " expects a number of seconds above 0, got \"" + text + "\"");
  return wert;
}

}  // namespace velatool
