// `vela controller` and the client end to end, on real pseudo-terminals.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "controller/steuerung_helfer.h"
#include "leitung.h"

namespace {

using namespace testpty;

class SteuerungTest : public SteuerungsTest {
 protected:
  const std::string log = dir.datei("anzeige.log");

  void starte(int stdinFd = -1) { steuerung = std::make_unique<Steuerung>(ablage, log, stdinFd); }
  bool zeigt(const std::function<bool(const Zeilen &)> &b) { return warteAufAnzeige(log, b); }
};

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
  EXPECT_TRUE(zeigt([&](const Zeilen &z) {
    ende = z;
    return z[2] == zeile("FERTIG");
  }));
  EXPECT_EQ(ende[0].substr(0, 5), "HALLO");
  const long zeit = std::stol(ende[1]);
  EXPECT_GE(zeit, 14142);
  // Within 15 %: the ramp, and the rounds a loaded machine holds the
  // controller back (an arc at half its speed takes twice as long).
  EXPECT_LE(zeit, 16300);
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
  EXPECT_TRUE(zeigt([](const Zeilen &z) { return z[0] == zeile("ZWEI"); }));

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
  EXPECT_TRUE(zeigt([](const Zeilen &z) { return z[0] == zeile("EINS"); }));

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
  velatool::Verbindung leitung(velatool::oeffneLeitung(steuerung->pfad(), 0));
  // Before each command: the line echoed, then the prompt; a key steps.
  EXPECT_NE(liesBis(leitung, "Weiter?\n..........\n").find("V1=1, "), std::string::npos);
  EXPECT_EQ(liesWaehrend(leitung, 0.1s), "");
  ASSERT_EQ(::write(tasten[1], "7", 1), 1);
  EXPECT_NE(liesBis(leitung, "Weiter?\n..........\n").find("D0\"EINS\", "), std::string::npos);
  ASSERT_EQ(::write(tasten[1], "\r\n", 2), 2);  // Enter, once
  EXPECT_NE(liesBis(leitung, "Weiter?\n..........\n").find("ENDE, "), std::string::npos);
  EXPECT_TRUE(zeigt([](const Zeilen &z) { return z[0] == zeile("EINS"); }));
  ASSERT_EQ(::write(tasten[1], "c", 1), 1);
  // After ENDE the run starts again, and waits: the LF was no second key.
  EXPECT_NE(liesBis(leitung, "Weiter?\n..........\n").find("V1=1, "), std::string::npos);
  EXPECT_EQ(liesWaehrend(leitung, 0.1s), "");
  ::close(tasten[1]);
}

TEST_F(SteuerungTest, ExitStatuses) {
  starte();
  Aufruf a = vela({"controller", "--pty", "--store", ablage});  // locked
  EXPECT_EQ(a.status, 2);
  EXPECT_NE(a.fehler.find("another controller uses the store directory"), std::string::npos);
  a = vela({"controller", "--line", dir.datei("keine"), "--store", dir.datei("b")});
  EXPECT_EQ(a.status, 2);
  EXPECT_NE(a.fehler.find("cannot open the line"), std::string::npos);
  EXPECT_EQ(vela({"controller", "--store", dir.datei("c")}).status, 2);
  EXPECT_EQ(
      vela({"controller", "--pty", "--store", dir.datei("d"), "--display-log", dir.datei("x/y/z")}).status,
      2);
  EXPECT_EQ(steuerung->beende(SIGTERM), 0);
  steuerung.reset();

  // A pseudo-terminal made by someone else as the line; when it hangs up
  // the controller ends.
  PtyPaar paar;
  Vela v({"controller", "--line", paar.pfad, "--tick-us", "10", "--store", ablage});
  schreibe(*paar.master, "@K");
  EXPECT_EQ(liesBis(*paar.master, "YY").find("YY") != std::string::npos, true);
  paar.master.reset();
  EXPECT_EQ(v.warte(), 2);
  EXPECT_EQ(v.fehler(), "vela: the line has hung up\n");
}

}  // namespace
