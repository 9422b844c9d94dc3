// `vela controller` and the client end to end, on real pseudo-terminals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "controller/steuerung_helfer.h"
#include "leitung.h"
#include "support/temp_verzeichnis.h"

namespace {

using namespace testpty;

class SteuerungTest : public ::testing::Test {
 protected:
  TempVerzeichnis dir;
  const std::string ablage = dir.datei("ablage");
  const std::string log = dir.datei("anzeige.log");
  const std::string zustand = dir.datei("zustand");
  std::unique_ptr<Steuerung> steuerung;

  void starte(int stdinFd = -1) { steuerung = std::make_unique<Steuerung>(ablage, log, stdinFd); }
  Aufruf k(const std::vector<std::string> &a) { return klient(steuerung->pfad(), zustand, a); }
  std::string datei(const std::string &name, const std::string &inhalt) {
    return schreibeDatei(dir.datei(name), inhalt);
  }
  // Waits for a display entry after the first `ab` entries of the log.
  bool zeigt(std::size_t ab, const std::function<bool(const Zeilen &)> &b) {
    std::size_t n = 0;
    return warteAufAnzeige(log, [&](const Zeilen &z) { return n++ >= ab && b(z); });
  }
  void TearDown() override {
    if (steuerung) {
      EXPECT_EQ(steuerung->beende(SIGTERM), 0);
    }
  }
};

TEST_F(SteuerungTest, StartsWithErasedStores) {
  starte();
  ASSERT_TRUE(zeigt(0, [](const Zeilen &z) { return z[3] == zeile("Bereit z. Laden"); }));
  EXPECT_EQ(lies(ablage + "/flash.bin"), std::string(200, '\xFF'));
  EXPECT_EQ(lies(ablage + "/eeprom.bin"), std::string(200, '\0'));
  const std::string kopf = lies(log).substr(0, lies(log).find('\n'));
  EXPECT_EQ(kopf.find_first_not_of("0123456789", 1), std::string::npos) << kopf;  // "@" and the tick count
  EXPECT_EQ(kopf[0], '@');
}

TEST_F(SteuerungTest, EveryExampleRuns) {
  starte();
  // With trace each line shows on row 0 before it runs: the examples that
  // end show their ENDE once every move they wait for has been made.
  for (const std::string f : {"fehler.vela", "lochbild.vela", "programme.vela", "rundrechteck.vela"}) {
    SCOPED_TRACE(f);
    const std::size_t ab = leseAnzeigeLog(log).size();
    const Aufruf a = k({"send", "--trace", std::string(VELA_EXAMPLES) + "/" + f});
    EXPECT_EQ(a.status, 0) << a.fehler;
    EXPECT_EQ(a.aus, "loaded\n");
    const Zeilen fehler{zeile("Division durch 0"), zeile("V2=V1/0"), zeile("JM5"), zeile("")};
    EXPECT_TRUE(zeigt(ab, [&](const Zeilen &z) {
      return f == "fehler.vela" ? std::equal(z.begin(), z.begin() + 3, fehler.begin())
                                : z[0] == zeile("ENDE");
    }));
  }
  // The last one is still running and starts again after ENDE.
  const Aufruf l = k({"list"});
  EXPECT_EQ(l.aus, "store   program\nEEPROM  -\nFLASH   -\nRAM     -\n");
}

// The machine of vela run: an arc takes its time in path ticks (4 octants
// of 3536 lead steps at 1 step per tick after the ramp), a reference run
// finds its switch, an input given by --input is set; a text without a row
// after the idle state shows from row 0.
TEST_F(SteuerungTest, ArcsReferenceRunsAndInputsOnTheSimulatedMachine) {
  // 100 us ticks: a loaded machine's pauses stay small against the arc's time.
  steuerung = std::make_unique<Steuerung>(ablage, log, -1,
                                          std::vector<std::string>{"--tick-us", "100", "--input", "3=1@0.5"});
  const std::string programm = datei("maschine.vela",
                                     "D \"HALLO\"\nV1=T\nCCW 5000, 0, 10000, 0\nW\nV2=T-V1\nXH 1, 0\nWE 3\n"
                                     "D 1 V2\nD 2 \"FERTIG\"\nENDE\n");
  const Aufruf a = k({"send", programm});
  EXPECT_EQ(a.status, 0) << a.fehler;
  Zeilen ende;
  EXPECT_TRUE(zeigt(0, [&](const Zeilen &z) {
    ende = z;
    return z[2] == zeile("FERTIG");
  }));
  EXPECT_EQ(ende[0].substr(0, 5), "HALLO");
  const long zeit = std::stol(ende[1]);
  EXPECT_GE(zeit, 14142);
  EXPECT_LE(zeit, 14850);  // within 5 %: the ramp, and the rounds of a loaded machine
}

TEST_F(SteuerungTest, StoresRoundTripIntoTheImageFiles) {
  std::filesystem::create_directories(ablage);
  std::ofstream(ablage + "/eeprom.bin", std::ios::binary) << bild("PROGEE\rV5=5\r", '\0');
  starte();

  ASSERT_EQ(k({"send", datei("zwei.vela", "PROGAA\nV1=1\nPROGBB\nD 0 \"B B\"\n")}).status, 0);
  EXPECT_EQ(k({"list"}).aus, "store   program\nEEPROM  EE\nFLASH   -\nRAM     AA\nRAM     BB\n");
  Aufruf a = k({"get", "BB"});
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.aus, "D0\"B B\"\n");

  a = k({"save"});
  EXPECT_EQ(a.status, 0) << a.fehler;
  const std::string gesichert = std::string("PROGAA\rV1=1\r") + '\0' + "PROGBB\rD0\"B B\"\r" + '\0';
  EXPECT_EQ(lies(ablage + "/flash.bin"), bild(gesichert, '\xFF'));
  EXPECT_EQ(k({"list"}).aus, "store   program\nEEPROM  EE\nFLASH   AA\nFLASH   BB\nRAM     -\n");
  EXPECT_EQ(k({"get", "AA"}).aus, "V1=1\n");

  // The same names again: refused, FLASH unchanged.
  ASSERT_EQ(k({"send", datei("eins.vela", "PROGBB\nV2=2\n")}).status, 0);
  a = k({"save"});
  EXPECT_EQ(a.status, 1);
  EXPECT_NE(a.fehler.find("already in FLASH"), std::string::npos);
  EXPECT_EQ(lies(ablage + "/flash.bin"), bild(gesichert, '\xFF'));

  a = k({"delete", "EE"});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_EQ(lies(ablage + "/eeprom.bin"), bild(std::string("\0ROGEE\rV5=5\r", 12), '\0'));
  EXPECT_EQ(k({"delete", "AA"}).status, 1);  // in FLASH

  a = k({"erase"});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_EQ(lies(ablage + "/flash.bin"), std::string(200, '\xFF'));
  for (const auto &e : std::filesystem::directory_iterator(ablage))
    EXPECT_EQ(e.path().extension(), e.path().filename() == "lock" ? "" : ".bin") << e.path();
}

TEST_F(SteuerungTest, TwoChecksumDownloadsInOneRunAndALearnedSum) {
  starte();
  const std::string p1 = datei("p1.vela", "V1=1\nW 10\nENDE\n");
  const std::string p2 = datei("p2.vela", "V2=2\nD 0 \"ZWEI\"\nW 10\nENDE\n");
  Aufruf a = k({"send", p1});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_EQ(a.fehler, "");  // the client knew the sum of a controller that has just started
  a = k({"send", p2});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_EQ(a.fehler, "");  // ... and after the first download
  EXPECT_TRUE(zeigt(0, [](const Zeilen &z) { return z[0] == zeile("ZWEI"); }));

  // A client without the state learns the sum from the mismatch report.
  a = klient(steuerung->pfad(), dir.datei("anderer"), {"send", p1});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_NE(a.fehler.find("sending once more"), std::string::npos);
  a = k({"send", "--line-acks", p2});  // the first client's guess is stale now
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_NE(a.fehler.find("sending once more"), std::string::npos);
  a = k({"send", "--no-checksum", p1});
  EXPECT_EQ(a.status, 0) << a.fehler;
  a = k({"send", p2});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_EQ(a.fehler, "");
}

TEST_F(SteuerungTest, RemoteStepping) {
  starte();
  ASSERT_EQ(k({"send", "--mode", "remote", datei("p.vela", "V1=1\nD 0 \"EINS\"\nV2=V1+1\nENDE\n")}).status,
            0);
  std::string schritte;
  for (int i = 0; i < 5; ++i) {
    const Aufruf a = k({"step"});
    EXPECT_EQ(a.status, 0) << a.fehler;
    schritte += a.aus;
  }
  EXPECT_EQ(schritte,
            "position 5: D0\"EINS\"\n"
            "position 14: V2=V1+1\n"
            "position 22: ENDE\n"
            "position 0: V1=1\n"  // ENDE: the run starts again
            "position 5: D0\"EINS\"\n");
  EXPECT_TRUE(zeigt(0, [](const Zeilen &z) { return z[0] == zeile("EINS"); }));

  const Aufruf r = k({"restart"});
  EXPECT_EQ(r.status, 0) << r.fehler;
  EXPECT_EQ(k({"step"}).aus, "position 5: D0\"EINS\"\n");
  EXPECT_EQ(k({"stop"}).status, 0);
  const Aufruf n = k({"step"});  // waiting for a download: no step
  EXPECT_EQ(n.status, 1);
  EXPECT_EQ(k({"restart"}).status, 1);
}

TEST_F(SteuerungTest, SingleStepTakesKeysFromStdin) {
  int tasten[2];
  ASSERT_EQ(::pipe(tasten), 0);
  starte(tasten[0]);
  ::close(tasten[0]);
  ASSERT_EQ(k({"send", "--mode", "step", datei("p.vela", "V1=1\nD 0 \"EINS\"\nENDE\n")}).status, 0);
  const int fd = velatool::oeffneLeitung(steuerung->pfad(), 0);
  // Before each command: the line echoed, then the prompt; a key steps.
  EXPECT_NE(liesBis(fd, "Weiter?\n..........\n").find("V1=1, "), std::string::npos);
  EXPECT_EQ(liesWaehrend(fd, 0.1s), "");
  ASSERT_EQ(::write(tasten[1], "7", 1), 1);
  EXPECT_NE(liesBis(fd, "Weiter?\n..........\n").find("D0\"EINS\", "), std::string::npos);
  ASSERT_EQ(::write(tasten[1], "\r\n", 2), 2);  // Enter, once
  EXPECT_NE(liesBis(fd, "Weiter?\n..........\n").find("ENDE, "), std::string::npos);
  EXPECT_TRUE(zeigt(0, [](const Zeilen &z) { return z[0] == zeile("EINS"); }));
  ASSERT_EQ(::write(tasten[1], "c", 1), 1);
  // After ENDE the run starts again, and waits: the LF was no second key.
  EXPECT_NE(liesBis(fd, "Weiter?\n..........\n").find("V1=1, "), std::string::npos);
  EXPECT_EQ(liesWaehrend(fd, 0.1s), "");
  ::close(fd);
  ::close(tasten[1]);
}

// A run that waits for ever still answers the host: `vela stop` (@N)
// brings it to the download within a second, during a long W, a WE whose
// input never comes, and a reference run whose switch never closes.
TEST_F(SteuerungTest, AHostCommandEndsAWaitingRun) {
  starte();
  for (const char *text : {"V1=1\nW 100000000\n", "V1=1\nWE 3\n", "V1=1\nXH 0, 4\n"}) {
    SCOPED_TRACE(text);
    ASSERT_EQ(k({"send", datei("p.vela", text)}).status, 0);
    std::this_thread::sleep_for(0.2s);
    const auto start = std::chrono::steady_clock::now();
    const Aufruf a = k({"stop"});
    EXPECT_EQ(a.status, 0) << a.fehler;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  }
}

// A host that dies inside its text: the controller gives the download up
// once the line has been silent for --download-timeout seconds; a client
// with --wait-idle stays silent until then and is answered within 5 s.
TEST_F(SteuerungTest, AnInterruptedDownloadEndsAfterTheSilenceLimit) {
  steuerung =
      std::make_unique<Steuerung>(ablage, log, -1, std::vector<std::string>{"--download-timeout", "2"});
  ASSERT_EQ(k({"list"}).status, 0);
  const int fd = velatool::oeffneLeitung(steuerung->pfad(), 0);
  schreibe(fd, "@AV1=1\rV2=2\r");
  ::close(fd);
  const auto start = std::chrono::steady_clock::now();
  const Aufruf a = k({"list", "--wait-idle"});
  EXPECT_EQ(a.status, 0) << a.fehler;
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_TRUE(zeigt(0, [](const Zeilen &z) { return z[0] == zeile("** Host schweigt"); }));
  EXPECT_EQ(k({"dump", "R"}).aus, "***** RAM *****\n");
}

TEST_F(SteuerungTest, ARestartFindsTheSavedProgramAndRunsIt) {
  starte();
  ASSERT_EQ(k({"send", datei("p.vela", "PROGMAIN\nD 0 \"GESTARTET\"\nW 100\nENDE\n")}).status, 0);
  ASSERT_EQ(k({"save"}).status, 0);
  EXPECT_EQ(steuerung->beende(SIGINT), 0);
  steuerung.reset();

  std::filesystem::remove(log);
  starte();
  EXPECT_TRUE(zeigt(0, [](const Zeilen &z) { return z[0] == zeile("GESTARTET"); }));
  for (const Zeilen &z : leseAnzeigeLog(log)) EXPECT_NE(z[3], zeile("Bereit z. Laden"));
  EXPECT_EQ(k({"list"}).aus, "store   program\nEEPROM  -\nFLASH   MAIN\nRAM     -\n");
}

TEST_F(SteuerungTest, ExitStatuses) {
  starte();
  std::string fehler;
  EXPECT_EQ(vela({"controller", "--pty", "--store", ablage}, nullptr, &fehler), 2);  // locked
  EXPECT_NE(fehler.find("another controller uses the store directory"), std::string::npos);
  EXPECT_EQ(vela({"controller", "--line", dir.datei("keine"), "--store", dir.datei("b")}, nullptr, &fehler),
            2);
  EXPECT_NE(fehler.find("cannot open the line"), std::string::npos);
  EXPECT_EQ(vela({"controller", "--store", dir.datei("c")}, nullptr, &fehler), 2);
  EXPECT_EQ(vela({"controller", "--pty", "--store", dir.datei("d"), "--display-log", dir.datei("x/y/z")},
                 nullptr, &fehler),
            2);
  EXPECT_EQ(steuerung->beende(SIGTERM), 0);
  steuerung.reset();

  // A pseudo-terminal made by someone else as the line; when it hangs up
  // the controller ends.
  PtyPaar paar;
  Vela v({"controller", "--line", paar.pfad, "--tick-us", "10", "--store", ablage});
  schreibe(paar.master, "@K");
  EXPECT_EQ(liesBis(paar.master, "YY").find("YY") != std::string::npos, true);
  ::close(paar.master);
  paar.master = -1;
  EXPECT_EQ(v.warte(), 2);
  EXPECT_EQ(v.fehler(), "vela: the line has hung up\n");
}

}  // namespace
