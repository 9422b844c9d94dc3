// The controller's main loop. A run mode comes with a download (text it
// stores unchanged); host output is compared from the download's end on.
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
#include "support/tabelle.h"
#include "vela.h"
#include "vela_befehle.h"

namespace {

using namespace vela;
using HauptschleifeTest = MonitorTest;
using Zeilen = std::vector<std::string>;

// Start-up: outputs 0..11 off, keypad cleared and on, store and variables
// cleared, display commands 3 12 1 and the banner for 1000 ticks.
TEST_F(HauptschleifeTest, StartUpShowsTheBannerForAThousandTicks) {
  Programm[0] = 'X';
  V_WertVar[7] = 5;
  AchsZaehler[2] = 9;
  TastenIndex = 4;
  fake.imLeerlauf = nullptr;  // no motors: the rounds read no ticks
  fake.beendenNach = 999;
  monitorMain();
  EXPECT_EQ(anzeige(), (Zeilen{" GRONDA             ", "VELA 12-12-02       ", " (Ing. Tellmark)    ",
                               "KORDec 12 2002      "}));
  EXPECT_EQ(fake.befehle, (std::vector<uint8_t>{3, 12, 1}));
  EXPECT_EQ(Ticks, 1001u);
  EXPECT_EQ(fake.schalterAus.back(), (std::pair<uint8_t, uint8_t>{11, 0}));
  EXPECT_EQ(std::tuple(Programm[0], V_WertVar[7], AchsZaehler[2]), std::tuple('\0', 0, 0));
  EXPECT_EQ(std::tuple(TastenIndex, TasteGedrueckt, TastaturAn), std::tuple(0, 0, 1));
}

// LOAD goes through idle, which resets the mode and starts the program
// again (ENDE keeps the mode: checked end to end).
TEST_F(HauptschleifeTest, LoadResetsTheMode) {
  ladeStrom("@T", "V1=V1+1\nLOAD\n");
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

// Host commands between single steps: K and L answer and go to idle (L
// erases FLASH, durable before the reply); P without a request letter in
// time goes to idle, a request the dispatcher does not know steps on.
TEST_F(HauptschleifeTest, HostCommandsBetweenSteps) {
  pruefeTabelle("hauptschleife_einzel", [&](const std::string &eingabe) {
    frisch();
    ladeStrom("@S", "V1=V1+1\nV2=V2+1\nV9=1\nENDE\n");
    fake.eingabe = eingabe.substr(0, eingabe.find(' '));
    fake.loeschenFehlt = eingabe.ends_with("refused");
    fake.beendenWenn = [] { return V_WertVar[2] == 2 || fake.host.ends_with("Weiter?\n..........\n"); };
    monitorMain();
    return text(zitat(fake.hostNachLaden()), V_WertVar[1], V_WertVar[2]) + zitate(fake.speicher);
  });
}

// Every wait of a run looks at the host line as the step does (N, S, K
// leave it and stop the motions, a request is answered, U lets the wait
// end); in remote step a request waits until after the next cursor.
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
      {"", "V1=V1+1\nWE 3\nV2=1\n", "@N", imBefehl(BEF_WE), 2, 1, 0, ""},       // an input never set
      {"", "V1=V1+1\nXH 0, 4\nV2=1\n", "@N", imBefehl(BEF_HOME), 2, 1, 0, ""},  // a switch never met
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

// With PRIO 1 the main program shares the steps with task 2 (priority 1),
// one step each, the main program first.
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

// A failing command stops the axes, is shown with its line and the next,
// and a download follows; so does a label error at run start.
TEST_F(HauptschleifeTest, ErrorReportAndDownload) {
  flashProgramme("PROGMAIN\nX 500\nJ M5\nV2=2\n");
  fake.beendenWenn = [] { return fake.ladeOeffnungen == 1; };
  monitorMain();
  EXPECT_EQ(anzeige(), (Zeilen{"Keine Marke         ", "J M5                ", "V2=2                ",
                               "Bereit z. Laden     "}));  // row 3: the download's
  EXPECT_EQ(std::tuple(StopAnforderung[0], StopAnforderung[3], AchsLaeuft[0]), std::tuple(0, 2, 0));
  EXPECT_EQ(fake.host.substr(0, 10), std::string(kStartHost) + "      ");

  frisch();
  flashProgramme("PROGMAIN\nM1\nV1=1\nM1\n");
  fake.beendenWenn = [] { return fake.ladeOeffnungen == 1; };
  monitorMain();
  EXPECT_EQ(std::vector<std::string>({zeile(0), zeile(1), zeile(2)}),
            (Zeilen{"Marke schon da      ", "M1                  ", "V1=1                "}));
  EXPECT_EQ(V_WertVar[1], 0);
}

}  // namespace
