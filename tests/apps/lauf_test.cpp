// The inputs of conditional jumps, the plot's test data and SVG escaping
// (traces, check reports, plots and exit statuses are covered by the golden
// runs and the command-line tests).
#include "lauf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "laden.h"
#include "plot.h"
#include "support/temp_verzeichnis.h"
#include "vela.h"

using namespace velatool;

namespace {

void lauf(const std::string &text, Optionen opt) {
  opt.name = "p.vela";
  std::ostringstream out;
  Lauf(opt).run(wandleZeilenenden(text), out);
}

bool enthaelt(const std::string &s, const std::string &teil) { return s.find(teil) != std::string::npos; }

}  // namespace

TEST(Lauf, ConditionalJumpsGetInputAndAxisStates) {
  // The J line itself may still fail; V_Handshake is set before it runs.
  Optionen opt;
  opt.eingaben.push_back({3, 1, 0});
  const struct {
    const char *zeile;
    int16_t erwartet;
  } faelle[] = {
      {"JE 3 M1", 1}, {"JNE 3 M1", 0}, {"JE 4 M1", 0},     {"JNE 4 M1", 1},
      {"J X M1", 1},  {"J N I M1", 0}, {"JS E 1+2 M1", 1}, {"JE V1 M1", 1},
  };
  for (const auto &f : faelle) {
    V_Handshake = -1;
    lauf(std::string("V1=3\n") + f.zeile + "\n", opt);
    EXPECT_EQ(V_Handshake, f.erwartet) << f.zeile;
  }
  // The tool reads the input number without assigning; only the J command
  // itself performs the assignment, once.
  lauf("V1=3\nJE V1=V1+1 M1\n", opt);
  EXPECT_EQ(V_WertVar[1], 4);
}

TEST(Plot, TestDataAndWellFormedSvg) {
  std::istringstream daten("1 0 \r\r\n2 1 \r\r\n\r\r\n-3 -4 \r\r\n");
  const auto punkte = leseTestdaten(daten);
  ASSERT_EQ(punkte.size(), 3u);
  EXPECT_EQ(punkte[2], std::make_pair(-3, -4));
  std::istringstream kaputt("1 0\nx 2\n");
  EXPECT_THROW(leseTestdaten(kaputt), LadeFehler);
  std::istringstream zuviel("1 2 3\n");
  EXPECT_THROW(leseTestdaten(zuviel), LadeFehler);

  const std::vector<Spur> spur = {
      {Art::Achse, {0, 10}, {0, 0}}, {Art::Bahn, {10, 10}, {0, 5}}, {Art::Kreis, {10, 9, 8}, {5, 6, 6}}};
  const std::string svg = zeichneSvg(spur, "a<b & \"c\"", "units");
  EXPECT_TRUE(enthaelt(svg, "<title>a&lt;b &amp; &quot;c&quot;</title>"));
  EXPECT_TRUE(enthaelt(svg, "X [units]"));
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint not installed";
  for (const auto &s : {svg, zeichneSvg({}, "leer", "steps")}) {
    const TempVerzeichnis verzeichnis;
    const std::string pfad = verzeichnis.datei("plot.svg");
    std::ofstream(pfad) << s;
    EXPECT_EQ(std::system(("xmllint --noout " + pfad).c_str()), 0);
  }
}
