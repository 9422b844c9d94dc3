#include "support/tabelle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/temp_verzeichnis.h"

namespace {

// Pairs of a byte and the letter that stands for it after a backslash.
constexpr char kKurz[] = "\rr\nn\tt\0000\"\"\\\\";

std::string ohneEscapes(const std::string &s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      r += s[i];
    } else if (s[++i] == 'x' && i + 2 < s.size()) {
      r += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      std::size_t k = 1;
      while (k < sizeof kKurz && kKurz[k] != s[i]) k += 2;
      r += k < sizeof kKurz ? kKurz[k - 1] : s[i];
    }
  }
  return r;
}

}  // namespace

void pruefeTabelle(const std::string &name, const std::function<std::string(const std::string &)> &fall) {
  const std::string pfad = VELA_QUELLE "/tests/data/tabellen/" + name + ".txt";
  std::istringstream ein(liesDatei(pfad));
  ASSERT_TRUE(ein.rdbuf()->in_avail() > 0) << "no cases in " << pfad;
  std::string zeile, neu;
  for (int nummer = 1; std::getline(ein, zeile); ++nummer) {
    const std::size_t pfeil = zeile.find(" => ");
    if (zeile.empty() || zeile[0] == '#' || pfeil == std::string::npos) {
      EXPECT_TRUE(zeile.empty() || zeile[0] == '#') << pfad << ":" << nummer << ": no \" => \"";
      neu += zeile + "\n";
      continue;
    }
    std::size_t ende = pfeil;
    while (ende > 0 && zeile[ende - 1] == ' ') --ende;  // inputs are padded into columns
    const std::string eingabe = zeile.substr(0, ende), ergebnis = fall(ohneEscapes(eingabe));
    EXPECT_EQ(ergebnis, zeile.substr(pfeil + 4)) << pfad << ":" << nummer << ": " << eingabe;
    neu += zeile.substr(0, pfeil + 4) + ergebnis + "\n";
  }
  if (std::getenv("VELA_UPDATE_TABELLEN") != nullptr) schreibeDatei(pfad, neu);
}

std::pair<std::string, std::string> teile(const std::string &fall) {
  const std::size_t strich = fall.find(" | ");
  if (strich == std::string::npos) return {fall, ""};
  return {fall.substr(0, strich), fall.substr(strich + 3)};
}

std::string zitate(const std::vector<std::string> &texte) {
  std::string s;
  for (const std::string &t : texte) s += " " + zitat(t);
  return s;
}

std::string zitat(const std::string &s) {
  std::string r = "\"";
  for (const unsigned char c : s) {
    std::size_t k = 0;
    while (k < sizeof kKurz && static_cast<unsigned char>(kKurz[k]) != c) k += 2;
    char hex[8] = {static_cast<char>(c), '\0'};
    if (k < sizeof kKurz)
      hex[0] = '\\', hex[1] = kKurz[k + 1];
    else if (c < ' ' || c > '~')
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
    r += hex;
  }
  return r + "\"";
}
