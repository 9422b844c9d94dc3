// The protocol's edges, from a host that writes raw bytes to the
// controller's line: the input filter, a '$' inside a line, CR LF text,
// names longer than five characters, requests without their arguments, a
// download larger than the program store.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "controller/steuerung_helfer.h"
#include "leitung.h"
#include "support/temp_verzeichnis.h"

namespace {

using namespace testpty;

std::string ohneLeer(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}

class ProtokollTest : public ::testing::Test {
 protected:
  TempVerzeichnis dir;
  Steuerung steuerung{dir.datei("ablage"), dir.datei("log")};
  int fd = velatool::oeffneLeitung(steuerung.pfad(), 0);

  // The display blanks of the banner and of "Bereit z. Laden" are on the
  // line before the first request is answered.
  void SetUp() override { anfrage(""); }
  ~ProtokollTest() override {
    ::close(fd);
    EXPECT_EQ(steuerung.beende(SIGTERM), 0);
  }
  // The reply to the bytes, up to the reply to the marker request that
  // follows them.
  std::string anfrage(const std::string &bytes) {
    schreibe(fd, bytes + kMarkenAnfrage);
    const std::string a = liesBis(fd, kMarke);
    EXPECT_GE(a.size(), kMarke.size()) << "no marker in " << a;
    return a.substr(0, a.size() - std::min(a.size(), kMarke.size()));
  }
  // The RAM store as the controller dumps it.
  std::string ram() {
    std::string d = anfrage("@PAR");
    return d.substr(std::min(d.size(), d.find('*')));
  }
};

TEST_F(ProtokollTest, FilteredTextAndADollarInsideALine) {
  schreibe(fd, "X 100 ; move\rv1=5\rD \"A b;c\"\rV2=3$4\r$");
  EXPECT_EQ(ohneLeer(liesBis(fd, "Y")), "Y");
  EXPECT_EQ(ram(), "***** RAM *****\rX100\r1=5\rD\"A b;c\"\rV2=3$4\r");
}

TEST_F(ProtokollTest, CrLfTextIsAcknowledgedOncePerLine) {
  schreibe(fd, "V1=1\r\nV2=2\r\n$");
  std::string antwort;
  while (std::count(antwort.begin(), antwort.end(), 'Y') < 3 && antwort.size() < 100) {
    const std::string teil = liesBis(fd, "Y");
    if (teil.empty()) break;
    antwort += teil;
  }
  EXPECT_EQ(ohneLeer(antwort), "YYY");
  EXPECT_EQ(ram(), "***** RAM *****\rV1=1\r\nV2=2\r\n");
}

TEST_F(ProtokollTest, ANameOfMoreThanFiveCharactersIsCut) {
  // The controller reads ABCDE; the rest stays on the line and, as the
  // controller waits for a download, begins the next program text.
  schreibe(fd, "@PPABCDEV1=7\n");
  EXPECT_EQ(liesBis(fd, "N Programm ABCDE nicht gefunden\rN"), "N Programm ABCDE nicht gefunden\rN");
  schreibe(fd, "$");
  EXPECT_EQ(ohneLeer(liesBis(fd, "Y")), "Y");
  EXPECT_EQ(ram(), "***** RAM *****\rV1=7\n");
}

TEST_F(ProtokollTest, RequestsWithoutTheirArguments) {
  // Each waits out the controller's deadline for its argument (a few
  // hundred ticks of 10 us) before the marker follows.
  const std::pair<std::string, std::string> faelle[] = {
      {"@PP", "N"},  // no name
      {"@PC", "N"},  // no name
      {"@PA", ""},   // no store letter: nothing
      {"@P", ""},    // no request letter: nothing
  };
  for (const auto &[bytes, erwartet] : faelle) {
    SCOPED_TRACE(bytes);
    schreibe(fd, bytes);
    std::this_thread::sleep_for(0.5s);
    EXPECT_EQ(anfrage(""), erwartet);
  }
  EXPECT_EQ(anfrage("@R"), "Yes\n");  // still waiting for the download
}

TEST_F(ProtokollTest, ADownloadLargerThanTheProgramStore) {
  // Refused as a whole: the tail of the stream is read with it and neither
  // stored nor run, and the controller waits for the next download.
  std::string text = "@A";
  for (int i = 0; i < 1400; ++i) text += "V1=1\r";
  schreibe(fd, text + "D 0 \"TAIL RAN\"\rM1\rJ M1\r$");
  const std::string meldung = liesBis(fd, "\rProgramm zu gross\r");
  EXPECT_NE(meldung.find("\rProgramm zu gross\r"), std::string::npos);
  EXPECT_EQ(ohneLeer(liesBis(fd, "F")), "F");
  EXPECT_EQ(ohneLeer(anfrage("@R")), "Yes\n");
  EXPECT_EQ(ram(), "***** RAM *****\r");
}

}  // namespace
