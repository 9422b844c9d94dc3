// Loading program files: line-end conversion, the bad-file cases, and the
// line arithmetic that error reports rely on.
#include "laden.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/temp_verzeichnis.h"
#include "vela.h"

using namespace velatool;

namespace {

TempVerzeichnis verzeichnis;

std::string temp(const std::string &name, const std::string &inhalt) {
  return schreibeDatei(verzeichnis.datei(name), inhalt);
}

}  // namespace

TEST(Laden, EveryLineEndBecomesOneCr) {
  EXPECT_EQ(wandleZeilenenden("a\r\nb\nc\rd"), "a\rb\rc\rd");
  EXPECT_EQ(wandleZeilenenden("\r\n\r\n"), "\r\r");
  EXPECT_EQ(wandleZeilenenden("\n\r"), "\r\r");  // LF then CR: two line ends
  EXPECT_EQ(wandleZeilenenden("x\r"), "x\r");
  EXPECT_EQ(wandleZeilenenden(""), "");
}

TEST(Laden, SizeLimitCountsConvertedText) {
  EXPECT_EQ(ladeDatei(temp("voll", std::string(6399, 'Q'))).text.size(), 6399u);
  EXPECT_THROW(ladeDatei(temp("zugross", std::string(6400, 'Q'))), LadeFehler);
  // 2133 lines "QQ" CR LF are 8532 bytes but 6399 characters in the store.
  std::string crlf;
  for (int i = 0; i < 2133; ++i) crlf += "QQ\r\n";
  EXPECT_EQ(ladeDatei(temp("crlf", crlf)).text.size(), 6399u);
}

TEST(Laden, BadFilesAreRefusedWithoutTouchingTheStore) {
  std::strcpy(Programm, "V1=1\r");
  try {
    ladeDatei(temp("nul", std::string("V1=1\nV2=2\nV3\0=3\n", 17)));
    FAIL() << "NUL byte accepted";
  } catch (const LadeFehler &e) {
    EXPECT_NE(std::string(e.what()).find("NUL byte in line 3"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ladeDatei("/nonexistent/vela/prog.vela"), LadeFehler);
  EXPECT_THROW(ladeDatei(verzeichnis.pfad().string()), LadeFehler);  // a directory
  EXPECT_STREQ(Programm, "V1=1\r");
}

TEST(Laden, LinePositions) {
  ASSERT_EQ(ladeProgramm("V1=1\r\r  V2=2\r", true).start, Programm);
  char *v2 = std::strstr(Programm, "V2");
  EXPECT_EQ(befehlsStelle(Programm + 4), v2);  // over the empty line and the blanks
  EXPECT_EQ(zeileVon(v2), 3);
  EXPECT_EQ(zeilenText(v2), "  V2=2");
  EXPECT_EQ(zeilenText(Programm + 2), "V1=1");
  EXPECT_EQ(ladeProgramm("", false).start, nullptr);
}
