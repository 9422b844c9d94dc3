// The plot's test data and SVG escaping (traces, check reports, plots and
// exit statuses are covered by the golden runs and the command-line tests).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "laden.h"
#include "plot.h"
#include "support/temp_verzeichnis.h"

using namespace velatool;

namespace {
bool enthaelt(const std::string &s, const std::string &teil) { return s.find(teil) != std::string::npos; }
}  // namespace

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
