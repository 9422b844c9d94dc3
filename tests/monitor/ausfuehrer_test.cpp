// The default executor, in runs from FLASH against the motor fake.
#include <cmath>
#include <string>
#include <vector>

#include "core/zustand.h"
#include "monitor/monitor_test.h"
#include "monitor/monitorzustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "vela.h"

namespace {

using namespace vela;
using Zeilen = std::vector<std::string>;
using Pos = std::vector<int32_t>;

Pos positionen() { return Pos(motoren.position, motoren.position + 4); }
Pos sollSchritte() { return Pos(SollSchritte, SollSchritte + 4); }

// Clears the display rows with the text variable T0 (21 blanks after start-up).
const std::string kLeeren = "D 0 T0\nD 1 T0\nD 2 T0\nD 3 T0\n";
// Host output up to there: the banner's and the clearing's row placements.
const std::string kVorspann(8, ' ');
const std::string kLeer(20, ' ');

class AusfuehrerTest : public MonitorTest {
 protected:
  // Runs PROGMAIN until it sets V9 to 1 or a step fails.
  static void bisV9(const std::string &programm) {
    flashProgramme("PROGMAIN\n" + programm + "V9=1\nENDE\n");
    fake.beendenWenn = [] { return V_WertVar[9] == 1 || LetztesErgebnis != 0; };
    monitorMain();
  }
};

// One motion per axis at a time (X Y Z and the path wait for each other);
// each axis ends where the program sent it.
TEST_F(AusfuehrerTest, MovesEndWhereTheProgramSendsThem) {
  struct Fall {
    const char *programm;
    Pos ziel;
  };
  const Fall faelle[] = {
      {"X 100\nX 20\nY -50\nW\n", {20, -50, 0, 0}},
      {"X 20 Y 30\nDX 5\nDX 5 DY -10\nA 7\nW\n", {30, 20, 0, 7}},
      {"IL 10, 20, 30\nX 50\nW\n", {50, 20, 30, 0}},
      {"X 5\nIL 10, 10, 0\nDIL 0, 0, -4\nW\n", {10, 10, -4, 0}},
      {"X 40\nXS 2\nX 10\nW\n", {20, 0, 0, 0}},
      {"X 10\nCCW 50, 0, 100, 0\nY 5\nW\n", {110, 5, 0, 0}},
      {"IL 0, 30, 0\nCW 0, -30, 30, -30\nCPP 20, 20, 0, 60\nW\n", {30, 60, 0, 0}},
  };
  for (const auto &f : faelle) {
    frisch();
    bisV9(f.programm);
    EXPECT_EQ(positionen(), f.ziel) << f.programm;
    EXPECT_EQ(sollSchritte(), f.ziel) << f.programm;
  }
}

// W n waits n ticks, W axis until it rests, WE/WNE until the input is set
// or not (switch 3 closes while X stands at 40 or beyond).
TEST_F(AusfuehrerTest, WaitsForTimeAxesAndInputs) {
  bisV9("V1=T\nW 200\nV2=T\nW 0\nW -5\nV3=T\n");
  EXPECT_GE(V_WertVar[2] - V_WertVar[1], 200);
  EXPECT_LE(V_WertVar[2] - V_WertVar[1], 205);
  EXPECT_LE(V_WertVar[3] - V_WertVar[2], 5);

  frisch();
  motoren.referenz[0] = {3, 40, 1};
  bisV9("G 100\nX 100\nWE 3\nV1=X P\nX 0\nWNE 3\nV2=X P\nW X\nV3=X P\nIL 30, 0, 0\nW I\nV4=X P\n");
  EXPECT_EQ(std::vector<int32_t>(V_WertVar + 1, V_WertVar + 5), (std::vector<int32_t>{40, 39, 0, 30}));
}

// The display forms on the row given (none off the display) or at the
// position, values in the DF format; DCH 2 sends them to the host line.
TEST_F(AusfuehrerTest, DisplayFormsShowTextsAndValues) {
  struct Fall {
    const char *programm;
    Zeilen zeilen;
    std::string host;  // after the clearing
  };
  const Fall faelle[] = {
      {"DP 4, 1\nDF 6, 1\nD 12345\n", {kLeer, "    1234.5          ", kLeer, kLeer}, "     "},
      {"DP 2, 3\nD \"AB\"\nDP 0, 2\nD 99 V7\n",
       {kLeer, kLeer, "       0            ", "  AB                "},
       "    "},
      {"T3=\"TEXT\"\nD 0 T3\nD 7 \"X\"\n", {"TEXT                ", kLeer, kLeer, kLeer}, "  "},
      {"DCH 2\nD \"AB\"\nD 2 \"CD\"\nD 9\nDCH 3\n", {kLeer, kLeer, kLeer, kLeer}, "AB CD       9"},
      // From past row 3's end on at row 0; rows in the order 0, 2, 1, 3.
      {"D \"HALLO\"\nD 1234\nDP 15, 0\nD \"ABCDEFGH\"\n",
       {"HALLO    1234  ABCDE", kLeer, "FGH" + kLeer.substr(3), kLeer},
       std::string(16, ' ')},
  };
  for (const auto &f : faelle) {
    frisch();
    bisV9(kLeeren + f.programm);
    EXPECT_EQ(anzeige(), f.zeilen) << f.programm;
    EXPECT_EQ(fake.host, kVorspann + f.host) << f.programm;
  }
}

// SO/RO switch outputs; J on an input (closed) or an axis (at rest) jumps
// by V_Handshake, set before the step; numbers beyond 255 are reported.
TEST_F(AusfuehrerTest, SwitchesAndConditions) {
  using Schaltungen = std::vector<std::pair<uint8_t, uint8_t>>;
  bisV9("SO 3\nRO 4\n");
  EXPECT_EQ(Schaltungen(fake.schalterAus.begin() + 12, fake.schalterAus.end()),
            (Schaltungen{{3, 1}, {4, 0}}));

  const std::string eingang = "JE 3 M1\nV1=1\nM1\nJ N E 3 M2\nV2=1\nM2\n";
  for (uint8_t zustand : {0, 1}) {
    frisch();
    fake.schalterEin[3] = zustand;
    bisV9(eingang);
    EXPECT_EQ(std::tuple(V_WertVar[1], V_WertVar[2]), std::tuple(zustand, 1 - zustand));
  }
  frisch();
  bisV9("X 300\nJ X M1\nV1=1\nM1\nJ N X M2\nV2=1\nM2\nW\nJ X M3\nV3=1\nM3\n");
  EXPECT_EQ(std::vector<int32_t>(V_WertVar + 1, V_WertVar + 4), (std::vector<int32_t>{1, 0, 0}));

  for (const char *zeile : {"SO 256", "RO -1", "WE 300", "J N E 999 M1", "XH 0, 256"}) {
    frisch();
    bisV9(std::string(zeile) + "\nM1\n");
    EXPECT_EQ(anzeige(),
              (Zeilen{"IOnummer zu gross   ", (zeile + kLeer).substr(0, 20), "M1" + kLeer.substr(2), kLeer}))
        << zeile;
    EXPECT_EQ(fake.schalterAus.size(), 12u) << zeile;
  }
}

// BREAK (and STOP, which holds the run until a host command) stops the
// axes where they stand.
TEST_F(AusfuehrerTest, BreakAndStop) {
  for (const char *abbruch : {"BREAK", "BREAK X", "STOP 1"}) {
    frisch();
    fake.eingabe = "@W";
    fake.eingabeWenn = [] { return motoren.takt->gestoppt == 1; };  // once the run holds
    bisV9(std::string("X 1000\nY 10\nW 100\nV1=1\n") + abbruch + "\nW\nV2=X P\n");
    EXPECT_EQ(motoren.takt->gestoppt, 1) << abbruch;
    EXPECT_GT(motoren.position[0], 0) << abbruch;
    EXPECT_LT(motoren.position[0], 100) << abbruch;
    EXPECT_EQ(positionen(), (Pos{motoren.position[0], 10, 0, 0})) << abbruch;
    EXPECT_EQ(sollSchritte(), positionen()) << abbruch;
    EXPECT_EQ(V_WertVar[2], motoren.position[0]) << abbruch;
  }
  // The path, a line or an arc, brakes on BREAK I and on a failed step.
  for (const char *bahn : {"IL 1000, 0, 0", "CCW 500, 0, 1000, 0"}) {
    for (const char *abbruch : {"BREAK I\nW", "J M9", "SO 300", "J E 300 M9"}) {
      frisch();
      flashProgramme(std::string("PROGMAIN\n") + bahn + "\nW 100\n" + abbruch + "\nV9=1\nENDE\n");
      fake.beendenWenn = [] { return BahnAktiv == 0 && (V_WertVar[9] == 1 || LetztesErgebnis != 0); };
      monitorMain();
      const int64_t x = 500 - motoren.position[0], y = motoren.position[1];
      EXPECT_GT(motoren.position[0], 0) << bahn << abbruch;
      EXPECT_LT(motoren.position[0], 130) << bahn << abbruch;
      if (bahn[0] == 'C') {
        EXPECT_NEAR(std::sqrt(double(x * x + y * y)), 500.0, 1.0) << abbruch;
      }
      EXPECT_EQ(sollSchritte(), positionen()) << bahn << abbruch;
    }
  }

  // Without a command from the host the run stays held.
  frisch();
  fake.beendenNach = 3000;
  flashProgramme("PROGMAIN\nX 1000\nSTOP 0\nV1=1\nENDE\n");
  monitorMain();
  EXPECT_EQ(std::tuple(V_WertVar[1], motoren.takt->gestoppt), std::tuple(0, 1));
}

// A reference run goes out to its switch (direction, number) and back until
// it opens; that point is 0.
TEST_F(AusfuehrerTest, ReferenceRuns) {
  motoren.referenz[0] = {5, 300, 1};
  bisV9("XH 0, 5\nX 10\nW\n");
  EXPECT_EQ(positionen(), (Pos{309, 0, 0, 0}));
  EXPECT_EQ(sollSchritte(), (Pos{10, 0, 0, 0}));
  EXPECT_EQ(fake.host, std::string(kStartHost) + "ri 0 ,Achse 0 ,Sch 5");

  frisch();
  motoren.referenz[0] = {5, 300, 1};
  motoren.referenz[1] = {6, -200, -1};
  bisV9("X 20\nXH 0, 5 YH 1, 6\nW\n");
  EXPECT_EQ(positionen(), (Pos{299, -199, 0, 0}));
  EXPECT_EQ(sollSchritte(), (Pos{0, 0, 0, 0}));
}

// An installed executor runs around every step, with its context; its
// error before a step keeps it from running, after it is reported on the
// step's line.
TEST_F(AusfuehrerTest, InstalledExecutorRunsAroundEveryStep) {
  std::vector<std::string> protokoll;
  static constexpr Ausfuehrer kProtokoll = [](void *kontext, SchrittPhase phase,
                                              int16_t ergebnis) -> int16_t {
    auto &protokoll = *static_cast<std::vector<std::string> *>(kontext);
    const char *p = NextBefp;
    while (*p == '\r') ++p;
    protokoll.push_back((phase == VOR_SCHRITT ? "vor " : "nach ") + std::to_string(ergebnis) + " " +
                        std::to_string(Befehl) + " " + std::string(p, 2));
    if (phase == VOR_SCHRITT && p[0] == 'S') return 36;
    if (phase == NACH_SCHRITT && Befehl == BEF_Q) return 35;
    return 0;
  };
  setAusfuehrer(kProtokoll, &protokoll);
  flashProgramme("PROGMAIN\nX 5\nQ\nV1=1\n");
  fake.beendenWenn = [] { return LetztesErgebnis != 0; };
  monitorMain();
  EXPECT_EQ(protokoll,
            (std::vector<std::string>{"vor 0 0 X ", "nach 0 1 Q\r", "vor 0 1 Q\r", "nach 0 49 V1"}));
  EXPECT_EQ(anzeige(),
            (Zeilen{"Kein Ausgang        ", "Q                   ", "V1=1                ", kLeer}));
  EXPECT_EQ(motoren.position[0], 0);

  frisch();  // the library as loaded has the default executor again
  setAusfuehrer(kProtokoll, &protokoll);
  protokoll.clear();
  flashProgramme("PROGMAIN\nSO 2\n");
  fake.beendenWenn = [] { return LetztesErgebnis != 0; };
  monitorMain();
  EXPECT_EQ(protokoll, (std::vector<std::string>{"vor 0 0 SO"}));
  EXPECT_EQ(zeile(0), "!!Keine Freigabe!!  ");
  EXPECT_EQ(fake.schalterAus.size(), 12u);
}

}  // namespace
