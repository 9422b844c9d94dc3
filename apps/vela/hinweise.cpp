// Warnings about program text that the language accepts without an error
// but does not take as written: numbers beyond 32 bits (they wrap),
// variable indices of 65536 and more (the index wraps to 16 bits), header
// names longer than the 13 characters a program name holds, a program name
// given twice (the first one is found), and a byte-order mark.
#include "hinweise.h"

#include <map>

namespace velatool {

namespace {

constexpr std::size_t kMaxName = 13;
constexpr unsigned long long kMax32 = 4294967295ULL;

}  // namespace

std::vector<Warnung> warnungenVon(const Datei &datei) {
  std::vector<Warnung> w;
  if (datei.bomEntfernt) w.push_back({1, "UTF-8 byte-order mark at the start of the file skipped"});
  std::map<std::string, int> namen;
  int zeile = 1;
  const std::string &t = datei.text;
  for (std::size_t a = 0; a <= t.size();) {
    std::size_t e = t.find('\r', a);
    if (e == std::string::npos) e = t.size();
    const std::string z = t.substr(a, e - a);
    const std::size_t b = z.find_first_not_of(" \t");
    const bool kommentar = b == std::string::npos || z[b] == '$' || z[b] == '@';
    if (!kommentar && z.compare(b, 4, "PROG") == 0) {
      std::string name = z.substr(b + 4);
      while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
      if (name.size() > kMaxName)
        w.push_back({zeile, "program name \"" + name + "\" is longer than " + std::to_string(kMaxName) +
                                " characters"});
      const auto [vorher, neu] = namen.emplace(name, zeile);
      if (!neu)
        w.push_back({zeile, "program name \"" + name + "\" already defined in line " +
                                std::to_string(vorher->second) + " (calls go to the first)"});
    } else if (!kommentar) {
      bool imText = false;
      for (std::size_t i = b; i < z.size(); ++i) {
        if (z[i] == '"') imText = !imText;
        if (imText || z[i] < '0' || z[i] > '9' || (i > 0 && z[i - 1] >= '0' && z[i - 1] <= '9')) continue;
        std::size_t j = i;
        unsigned long long wert = 0;
        bool gross = false;
        for (; j < z.size() && z[j] >= '0' && z[j] <= '9'; ++j) {
          wert = wert * 10 + static_cast<unsigned>(z[j] - '0');
          if (wert > kMax32) gross = true;
          if (gross) wert = kMax32 + 1;
        }
        const bool index = i > 0 && (z[i - 1] == 'V' || z[i - 1] == 'T' || z[i - 1] == 'P');
        if (gross) {
          w.push_back({zeile, "number " + z.substr(i, j - i) + " does not fit in 32 bits (it wraps)"});
        } else if (index && wert >= 65536) {
          w.push_back({zeile, std::string(1, z[i - 1]) + z.substr(i, j - i) +
                                  ": the index wraps to 16 bits (" + std::string(1, z[i - 1]) +
                                  std::to_string(wert % 65536) + ")"});
        }
        i = j;
      }
    }
    ++zeile;
    a = e + 1;
  }
  return w;
}

}  // namespace velatool
