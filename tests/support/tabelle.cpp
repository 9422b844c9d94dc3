#include "support/tabelle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/temp_verzeichnis.h"

namespace {

std::string ohneEscapes(const std::string &s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      r += s[i];
      continue;
    }
    const char c = s[++i];
    if (c == 'x' && i + 2 < s.size()) {
      r += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      r += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == '0' ? '\0' : c;
    }
  }
  return r;
}

}  // namespace

void pruefeTabelle(const std::string &name, const std::function<std::string(const std::string &)> &fall) {
  const char *dir = std::getenv("VELA_TEST_DATA");
  const std::string pfad = std::string(dir != nullptr ? dir : "tests/data") + "/tabellen/" + name + ".txt";
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

std::string zitat(const std::string &s) {
  std::string r = "\"";
  for (const unsigned char c : s) {
    const char *kurz = c == '\r'   ? "\\r"
                       : c == '\n' ? "\\n"
                       : c == '\t' ? "\\t"
                       : c == '\0' ? "\\0"
                       : c == '"'  ? "\\\""
                       : c == '\\' ? "\\\\"
                                   : nullptr;
    char hex[8] = {static_cast<char>(c), '\0'};
    if (c < ' ' || c > '~') std::snprintf(hex, sizeof hex, "\\x%02X", c);
    r += kurz != nullptr ? kurz : hex;
  }
  return r + "\"";
}
