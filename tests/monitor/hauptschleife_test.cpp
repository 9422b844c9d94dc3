// The controller's main loop. A scenario that needs a run mode loads its
// program by download, in text the download stores unchanged (upper case,
// no blanks), and compares the host output from the download's end on.
#include <functional>
#include <string>
#include <vector>

#include "core/zustand.h"
#include "monitor/monitor_test.h"
#include "monitor/monitorzustand.h"
#include "monitor/tastatur.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "vela.h"
#include "vela_befehle.h"

namespace {

using namespace vela;
using HauptschleifeTest = MonitorTest;
using Zeilen = std::vector<std::string>;

Zeilen anzeige() { return {zeile(0), zeile(1), zeile(2), zeile(3)}; }

// Start-up (the banner is checked end to end): outputs 0..11 off, keypad
// cleared and on, store and variables cleared, 1000 ticks.
TEST_F(HauptschleifeTest, StartUpClearsTheMachineForAThousandTicks) {
  Programm[0] = 'X';
  V_WertVar[7] = 5;
  AchsZaehler[2] = 9;
  TastenIndex = 4;
  fake.imLeerlauf = nullptr;  // no motors: the rounds read no ticks
  fake.beendenNach = 999;
  monitorMain();
  EXPECT_EQ(Ticks, 1001u);
  EXPECT_EQ(fake.schalterAus.back(), (std::pair<uint8_t, uint8_t>{11, 0}));
  EXPECT_EQ(std::tuple(Programm[0], V_WertVar[7], AchsZaehler[2]), std::tuple('\0', 0, 0));
  EXPECT_EQ(std::tuple(TastenIndex, TasteGedrueckt, TastaturAn), std::tuple(0, 0, 1));
}

// ENDE starts the program again with the same run mode, without a new
// download; LOAD goes through idle, which resets the mode and flags and
// starts the program again.
TEST_F(HauptschleifeTest, EndeRepeatsTheRunLoadResetsTheMode) {
  ladeStrom("@T", "V1=V1+1\nENDE\n");
  fake.beendenWenn = [] { return V_WertVar[1] == 2; };
  monitorMain();
  EXPECT_EQ(fake.ladeOeffnungen, 1);
  EXPECT_EQ(TraceAn, 1);
  EXPECT_EQ(zeile(0), "V1=V1+1             ");

  bindeFakes(true);
  ladeStrom("@T", "V1=V1+1\nLOAD\n");
  V_WertVar[1] = 0;
  fake.beendenWenn = [] { return V_WertVar[1] == 2; };
  monitorMain();
  EXPECT_EQ(fake.ladeOeffnungen, 1);
  EXPECT_EQ(TraceAn, 0);
  EXPECT_EQ(zeile(0), "LOAD                ");  // the last line traced
}

// Display step: up to 60 counts of program text over rows 0..2, a line end
// as a comma that counts twice, a new row after every 20 characters;
// "Weiter?" on row 3, then a key from the console. Nothing goes to the host.
TEST_F(HauptschleifeTest, DisplayStepShowsTheTextAndWaitsForTheConsole) {
  ladeStrom("@D", "V1=(1+2)*3-4+5*6-78\n@2CDEFGHIJKLMNOPQRST\n@3CDEFGHIJKLMNOPQRST\nV9=1\n");
  fake.eingabe = "x";
  fake.beendenWenn = [] { return V_WertVar[1] == -43; };
  monitorMain();
  EXPECT_EQ(anzeige(), (Zeilen{"V1=(1+2)*3-4+5*6-78,", "@2CDEFGHIJKLMNOPQRST", ",@3CDEFGHIJKLMNOPQ  ",
                               "Weiter?             "}));
  EXPECT_EQ(fake.hostNachLaden(), "");
  EXPECT_EQ(AusgabeZiel, 1);
}

// Remote step: a step only on the host's '@' and 'W', answered by the new
// cursor as four bytes; '@' 'U' runs nothing; anything before an '@' is dropped.
TEST_F(HauptschleifeTest, RemoteStepRunsOneCommandPerHostW) {
  ladeStrom("@R", "V1=1\nV2=2\nV9=1\n");
  fake.eingabe = "x@W@UU@W";
  fake.beendenWenn = [] { return fake.gelesen == fake.eingabe.size() && V_WertVar[2] == 2; };
  monitorMain();
  EXPECT_EQ(fake.hostNachLaden(), std::string("\0\0\0\x05\0\0\0\x0A", 8));
  EXPECT_EQ(std::tuple(V_WertVar[1], V_WertVar[2], V_WertVar[9]), std::tuple(1, 2, 0));
}

// Host commands between steps in a normal run. K and L answer on the host
// line and go to idle (which ends the single-step mode of the download);
// N abandons the run for a new download; S starts the run afresh; P with
// no request letter in time goes to idle, a request the dispatcher does not
// know goes on with the step.
TEST_F(HauptschleifeTest, HostCommandsBetweenSteps) {
  struct Fall {
    const char *eingabe;
    bool loeschenFehlt;
    const char *host;  // after the download
    int32_t v1, v2;    // at the end
  };
  const Fall faelle[] = {
      {"@K", false, "YY", 2, 2},
      {"@L", false, "YY", 2, 2},
      {"@L", true, "YN", 2, 2},
      {"@P", false, "", 2, 2},
      {"@PX", false, "V1=V1+1, V2=V2+1, V9=1, ENDE, Weiter?\n..........\n", 0, 0},
  };
  for (const auto &f : faelle) {
    bindeFakes(true);
    resetSpeicher();
    V_WertVar[1] = V_WertVar[2] = 0;
    ladeStrom("@S", "V1=V1+1\nV2=V2+1\nV9=1\nENDE\n");
    fake.eingabe = f.eingabe;
    fake.loeschenFehlt = f.loeschenFehlt;
    fake.beendenWenn = [] { return V_WertVar[2] == 2 || fake.host.ends_with("Weiter?\n..........\n"); };
    monitorMain();
    EXPECT_EQ(fake.hostNachLaden(), f.host) << f.eingabe;
    EXPECT_EQ(std::tuple(V_WertVar[1], V_WertVar[2]), std::tuple(f.v1, f.v2)) << f.eingabe;
    // L erases FLASH through the platform's FLASH device, which makes the
    // store durable before the reply.
    const bool loescht = f.host[0] == 'Y' && f.eingabe[1] == 'L';
    const std::vector<std::string> erwartet =
        loescht ? std::vector<std::string>{"L@0", "fertig F"} : std::vector<std::string>{};
    EXPECT_EQ(fake.speicher, erwartet) << f.eingabe;
  }
}

// Every wait of a run looks at the host line as the step does: N ends it
// for a new download, S starts the run afresh, K answers and goes to idle
// (which starts the run again), a request is answered and the wait goes
// on, U lets the wait end on its own; a command that leaves the run stops
// its motions. In remote step a request waits for the next step, after the
// cursor the host expects. Each host command arrives once the wait began.
TEST_F(HauptschleifeTest, HostCommandsInTheWaitsOfARun) {
  const auto imBefehl = [](uint8_t b) { return [b] { return Befehl == b; }; };
  const auto gefragt = [] { return fake.host.ends_with("Weiter?\n..........\n"); };
  const std::string marke = "N Programm z nicht gefunden\rN";
  struct Fall {
    std::string optionen, text, eingabe;
    std::function<bool()> wann;
    int oeffnungen;
    int32_t v1, v2;
    std::string host;  // after the (last) download
  } faelle[] = {
      {"", "V1=V1+1\nX 100000\nW X\nV2=1\n", "@N", imBefehl(BEF_W_ACHSE), 2, 1, 0, ""},
      {"@S", "V1=V1+1\nV2=1\n", "@N", gefragt, 2, 0, 0, ""},
      {"", "V1=V1+1\nW 100000\nV2=1\n", "x@S", imBefehl(BEF_W_ZEIT), 1, 2, 0, ""},
      {"", "V1=V1+1\nW 100000\nV2=1\n", "@K", imBefehl(BEF_W_ZEIT), 1, 2, 0, "YY"},
      {"", "V1=V1+1\nW 100000\nV2=1\n", "@PPz\n", imBefehl(BEF_W_ZEIT), 1, 1, 0, marke},
      {"", "V1=V1+1\nW 1000\nV2=1\n", "@U", imBefehl(BEF_W_ZEIT), 1, 1, 1, ""},
      {"@R", "W 1000\nV2=1\n", "@W@PPz\n", nullptr, 1, 0, 0, std::string("\0\0\0\x06", 4) + marke},
  };
  for (const Fall &f : faelle) {
    frisch();
    V_WertVar[1] = V_WertVar[2] = 0;
    ladeStrom(f.optionen, f.text);
    fake.eingabe = f.eingabe;
    fake.eingabeWenn = f.wann;
    fake.beendenWenn = [&] {
      return fake.ladeOeffnungen == 2 || V_WertVar[1] == 2 || V_WertVar[2] == 1 || fake.host.ends_with(marke);
    };
    monitorMain();
    EXPECT_EQ(std::tuple(fake.ladeOeffnungen, V_WertVar[1], V_WertVar[2]),
              std::tuple(f.oeffnungen, f.v1, f.v2))
        << f.text << f.eingabe;
    EXPECT_EQ(fake.hostNachLaden(), f.host) << f.text << f.eingabe;
    EXPECT_LT(Ticks, 20000u) << f.text << f.eingabe;
    EXPECT_EQ(std::tuple(AchsLaeuft[0], BahnAktiv), std::tuple(0, 0)) << f.text << f.eingabe;
  }
}

// Three tasks take turns by their priorities (nextTask): the main program
// runs every step while its countdown is 0; with PRIO 1 it shares the
// steps with task 2 started at priority 1, one step each, the main program
// first: its twentieth V1 step comes before the twentieth V2 step.
TEST_F(HauptschleifeTest, TasksTakeTurns) {
  flashProgramme("PROGMAIN\nJ PROG7,1,2\nPRIO 1\nM1\nV1=V1+1\nJ M1\n|PROG7\nM2\nV2=V2+1\nJ M2\n");
  fake.beendenWenn = [] { return V_WertVar[1] == 20; };
  monitorMain();
  EXPECT_EQ(V_WertVar[2], 19);

  // A priority for a task that was never started gives it no turn.
  frisch();
  flashProgramme("PROGMAIN\nPRIO 1\nPRIO 1, 3\nM1\nV1=V1+1\nJ M1\n");
  fake.beendenWenn = [] { return V_WertVar[1] == 20; };
  monitorMain();
  EXPECT_EQ(std::tuple(AktTask, TaskPrio[2]), std::tuple(0, 1));
}

// A failing command: the axes stop, the message and the failing line with
// the next one are shown, and a download is awaited (row 3 shows the
// download's message). A label error is shown at run start in the same way.
TEST_F(HauptschleifeTest, ErrorReportAndDownload) {
  flashProgramme("PROGMAIN\nX 500\nJ M5\nV2=2\n");
  fake.beendenWenn = [] { return fake.ladeOeffnungen == 1; };
  monitorMain();
  EXPECT_EQ(anzeige(), (Zeilen{"Keine Marke         ", "J M5                ", "V2=2                ",
                               "Bereit z. Laden     "}));  // row 3: the download's
  EXPECT_EQ(std::tuple(StopAnforderung[0], StopAnforderung[3], AchsLaeuft[0]), std::tuple(0, 2, 0));
  EXPECT_EQ(fake.host.substr(0, 10), std::string(kStartHost) + "      ");

  bindeFakes(true);
  resetSpeicher();
  flashProgramme("PROGMAIN\nM1\nV1=1\nM1\n");
  fake.beendenWenn = [] { return fake.ladeOeffnungen == 1; };
  monitorMain();
  EXPECT_EQ(std::vector<std::string>({zeile(0), zeile(1), zeile(2)}),
            (Zeilen{"Marke schon da      ", "M1                  ", "V1=1                "}));
  EXPECT_EQ(V_WertVar[1], 0);
}

}  // namespace
