// Dispatch, cursor primitives and the command table.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "core/cursor.h"
#include "core/zustand.h"
#include "support/tabelle.h"
#include "support/vela_test.h"

namespace {

using DispatchTest = VelaTest;

// One step from the start of each text.
TEST_F(DispatchTest, OneStep) {
  pruefeTabelle("dispatch", [&](const std::string &text) {
    schreibe(text);
    DelphiInit();
    return schrittText();
  });
  // Letters without a command return to the start of their line.
  for (const char *zeile : {"H5\r", "N5\r", "O5\r", "U5\r"}) {
    schreibe(std::string("V1=1\r") + zeile);
    NextBefp = Programm + 5;
    EXPECT_EQ(execBefehl(), 19) << zeile;
    EXPECT_EQ(cursor(), 5) << zeile;
  }
  // A store filled to its last byte has no end: refused, nothing read.
  std::memset(Programm, 'Q', sizeof Programm);
  NextBefp = Programm + sizeof Programm - 1;
  EXPECT_EQ(execBefehl(), 20);
  EXPECT_EQ(NextBefp, Programm + sizeof Programm - 1);
}

// skipLine back and forth: "text | from mode program-start" gives the new
// cursor offset.
TEST_F(DispatchTest, SkipLine) {
  pruefeTabelle("skipline", [&](const std::string &fall) {
    const auto [eingabe, extra] = teile(fall);
    std::istringstream zahlen(extra);
    long von = 0, progStart = 0;
    int16_t modus = 0;
    zahlen >> von >> modus >> progStart;
    schreibe(eingabe);
    vela::ProgStart[0] = Programm + progStart;
    NextBefp = Programm + von;
    vela::skipLine(modus);
    return std::to_string(cursor());
  });
}

// docs/executor.md lists each code once with its name, forms and properties.
TEST(Befehlstabelle, DocsExecutorListsEveryCode) {
  std::ifstream datei(VELA_QUELLE "/docs/executor.md");
  std::map<int, std::string> doc;
  for (std::string z; std::getline(datei, z);) {
    int code = -1;
    if (std::sscanf(z.c_str(), "| %d |", &code) != 1) continue;
    std::erase(z, '`');
    EXPECT_TRUE(doc.emplace(code, z).second) << z;
  }
  const char *const worte[] = {"moves", "reference run", "two axes", "waits",    "repeats",
                               "jumps", "ends",          "header",   "prepared", "presets"};
  int codes = 0;
  for (int code = 0; code < 100; ++code) {
    if (vela_befehlsname(code) == nullptr) {
      EXPECT_EQ(doc.count(code), 0u) << code;
      continue;
    }
    ++codes;
    std::string eig;
    for (unsigned bit = 0; bit < std::size(worte); ++bit)
      if (vela_befehl_hat(code, 1u << bit)) eig += (eig.empty() ? "" : ", ") + std::string(worte[bit]);
    const std::string zeile = "| " + std::to_string(code) + " | " + vela_befehlsname(code) + " | " +
                              vela_befehlsform(code) + " | " + eig + " | ";
    EXPECT_EQ(doc[code].substr(0, zeile.size()), zeile);
  }
  EXPECT_EQ(codes, 67);
}

}  // namespace
