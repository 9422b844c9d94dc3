// The built command: exit statuses and the check report format.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/temp_verzeichnis.h"

namespace {

TempVerzeichnis verzeichnis;

std::string temp(const std::string &name, const std::string &inhalt) {
  const std::string pfad = verzeichnis.datei(name);
  std::ofstream(pfad, std::ios::binary) << inhalt;
  return pfad;
}

// Runs the tool; returns its exit status and puts stdout into out.
int vela(const std::string &argumente, std::string *out = nullptr) {
  FILE *rohr = popen((std::string(VELA_TOOL) + " " + argumente + " 2>/dev/null").c_str(), "r");
  if (rohr == nullptr) return -1;
  std::string text;
  char puffer[512];
  while (std::fgets(puffer, sizeof puffer, rohr) != nullptr) text += puffer;
  const int status = pclose(rohr);
  if (out != nullptr) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(Befehlszeile, ExitStatuses) {
  const std::string gut = temp("gut.vela", "V1=1\r\nV2=2\r\n");
  const std::string schlecht = temp("schlecht.vela", "V1=1\nV2=(\nV3=1/0\n");
  EXPECT_EQ(vela("run " + gut), 0);
  EXPECT_EQ(vela("run " + schlecht), 1);
  EXPECT_EQ(vela("run --max-steps 1 " + gut), 3);
  EXPECT_EQ(vela("run /nonexistent/x.vela"), 2);
  EXPECT_EQ(vela("run " + temp("nul.vela", std::string("V1=1\n\0", 6))), 2);
  EXPECT_EQ(vela("run " + temp("gross.vela", std::string(7000, 'Q'))), 2);
  EXPECT_EQ(vela("run --input 3 " + gut), 2);
  EXPECT_EQ(vela("frobnicate"), 2);
  EXPECT_EQ(vela("check " + gut), 0);

  std::string out;
  EXPECT_EQ(vela("check " + schlecht, &out), 1);
  EXPECT_EQ(out,
            schlecht + ":2: error 18: Ausdruck unvollst\n" + schlecht + ":3: error 28: Division durch 0\n");

  const std::string svg = verzeichnis.datei("plot.svg");
  std::filesystem::remove(svg);
  EXPECT_EQ(vela("plot " + gut + " -o " + svg), 0);
  EXPECT_TRUE(std::filesystem::exists(svg));
  EXPECT_EQ(vela("plot --testdaten " + temp("daten", "1 0 \r\r\n") + " -o " + svg), 0);
  EXPECT_EQ(vela("plot --testdaten " + temp("kaputt", "1 a\n") + " -o " + svg), 2);
}
