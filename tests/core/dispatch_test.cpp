// Dispatch, cursor primitives and the command table.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

#include "core/cursor.h"
#include "core/zustand.h"
#include "support/vela_test.h"

namespace {

using DispatchTest = VelaTest;

// One step from the start of each text: result, Befehl, cursor offset.
TEST_F(DispatchTest, OneStep) {
  struct {
    const char *text;
    int16_t code;
    int16_t befehl;
    long cursor;
  } const faelle[] = {
      {"\r\r  \rV1=1\rX", 0, BEF_V, 10},  // empty and blank lines go in the same call
      {"\t V1=1\rX", 0, BEF_V, 7},        // indented command
      {"$xyz\rX", 0, BEF_KEINER, 5},      // no-op lines
      {"@abc\rX", 0, BEF_KEINER, 5},
      {"q\rX", 19, BEF_KEINER, 2},  // not a capital letter: 19 on the next line
      {"5\rX", 19, BEF_KEINER, 2},
      {"V1=1\rH5\r", 0, BEF_V, 5},
      {"", 19, BEF_KEINER, 0},  // at the NUL: 19, the cursor stays
  };
  for (const auto &f : faelle) {
    schreibe(f.text);
    DelphiInit();
    EXPECT_EQ(execBefehl(), f.code) << f.text;
    EXPECT_EQ(Befehl, f.befehl) << f.text;
    EXPECT_EQ(cursor(), f.cursor) << f.text;
  }
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

// skipLine back and forth (offsets).
TEST_F(DispatchTest, SkipLine) {
  struct {
    const char *text;
    long von;
    int16_t modus;
    long progStart;
    long nach;
  } const faelle[] = {
      {"A\r\r\n\r B", 0, 0, 0, 5},     // runs of line ends are skipped
      {"X100", 1, 0, 0, 4},            // last line: onto the NUL
      {"V1=1\rX100\rY", 9, 1, 0, 5},   // from the CR that ends X100
      {"X100\rY", 2, 1, 0, 0},         // first line: the program start
      {"V1=1\rX100\rY", 7, 1, 6, 6},   // never before the program start
      {"V1=1\rX100\rY", 9, 1, 10, 8},  // a line before it: off the CR, then the comparison
      {"V\r\nX", 2, 1, 0, 2},          // on the LF of CR LF: stays
      {"\rX", 0, 1, 0, 0},             // never before the store
  };
  for (const auto &f : faelle) {
    schreibe(f.text);
    vela::ProgStart[0] = Programm + f.progStart;
    NextBefp = Programm + f.von;
    vela::skipLine(f.modus);
    EXPECT_EQ(cursor(), f.nach) << f.text << " from " << f.von;
  }
}

// docs/executor.md lists each code once with its name, forms and properties.
TEST(Befehlstabelle, DocsExecutorListsEveryCode) {
  const std::string hier = __FILE__;
  std::ifstream datei(hier.substr(0, hier.rfind('/')) + "/../../docs/executor.md");
  std::map<int, std::string> doc;
  for (std::string z; std::getline(datei, z);) {
    int code = -1;
    if (std::sscanf(z.c_str(), "| %d |", &code) != 1) continue;
    std::erase(z, '`');
    EXPECT_TRUE(doc.emplace(code, z).second) << z;
  }
  const char *const worte[] = {"moves", "reference run", "two axes", "waits",   "repeats",
                               "jumps", "ends",          "header",   "prepared"};
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
