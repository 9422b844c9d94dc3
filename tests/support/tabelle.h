// Case tables kept as data: tests/data/tabellen/NAME.txt holds one case a
// line, "input => expected"; blank lines and lines starting with '#' are
// comments. The input is written with the escapes \n \r \t \0 \\ \xHH (a
// trailing blank as \x20: inputs are padded into columns). The
// test turns each input into a text that must equal the expected one. With
// VELA_UPDATE_TABELLEN set, the expected sides are written anew from what
// the test gives (scripts/update-golden; review the diff).
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

void pruefeTabelle(const std::string &name,
                   const std::function<std::string(const std::string &eingabe)> &fall);

// A case "input | extra" taken apart: the input and the extra ("" without " | ").
std::pair<std::string, std::string> teile(const std::string &fall);

// The bytes in double quotes, with '"', '\\' and bytes outside ' '..'~' escaped.
std::string zitat(const std::string &s);
// Each text quoted, each after a blank ("" for none).
std::string zitate(const std::vector<std::string> &texte);

// The values separated by blanks, integers as numbers (also int8_t and uint8_t).
template <typename... T>
std::string text(const T &...werte) {
  std::ostringstream s;
  const auto eins = [&s](const auto &w) {
    if constexpr (std::is_integral_v<std::decay_t<decltype(w)>>)
      s << ' ' << static_cast<long long>(w);
    else
      s << ' ' << w;
  };
  (eins(werte), ...);
  return s.str().substr(1);
}
