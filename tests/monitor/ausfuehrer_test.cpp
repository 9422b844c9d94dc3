// The default executor, in runs from FLASH against the motor fake.
#include <cmath>
#include <string>
#include <vector>

#include "core/zustand.h"
#include "monitor/monitor_test.h"
#include "monitor/monitorzustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "support/tabelle.h"
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
  pruefeTabelle("ausfuehrer_fahrten", [&](const std::string &programm) {
    frisch();
    bisV9(programm);
    EXPECT_EQ(sollSchritte(), positionen()) << programm;
    const Pos p = positionen();
    return text(p[0], p[1], p[2], p[3]);
  });
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
  pruefeTabelle("ausfuehrer_anzeige", [&](const std::string &programm) {
    frisch();
    bisV9(kLeeren + programm);
    EXPECT_EQ(fake.host.substr(0, kVorspann.size()), kVorspann) << programm;
    const Zeilen z = anzeige();
    return text(zitat(z[0]), zitat(z[1]), zitat(z[2]), zitat(z[3]),
                zitat(fake.host.substr(kVorspann.size())));
  });
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
