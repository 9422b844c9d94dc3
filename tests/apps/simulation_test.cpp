// The built command on the simulated controller: runs (limits, time, tasks,
// inputs), the check walk, the outputs and the exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/temp_verzeichnis.h"

namespace {

TempVerzeichnis verzeichnis;

std::string datei(const std::string &name, const std::string &inhalt) {
  const std::string pfad = verzeichnis.datei(name);
  std::ofstream(pfad, std::ios::binary) << inhalt;
  return pfad;
}

struct Ergebnis {
  int status;
  std::string aus;
};

// Runs the tool in the temporary directory with a time-out (a hang fails
// the test with status 124); stderr goes to stdout when mitFehlern.
Ergebnis vela(const std::string &argumente, bool mitFehlern = false) {
  const std::string befehl = "cd " + verzeichnis.pfad().string() + " && timeout 60 " + VELA_TOOL + " " +
                             argumente + (mitFehlern ? " 2>&1" : " 2>/dev/null");
  FILE *rohr = popen(befehl.c_str(), "r");
  if (rohr == nullptr) return {-1, ""};
  std::string text;
  char puffer[512];
  while (std::fgets(puffer, sizeof puffer, rohr) != nullptr) text += puffer;
  const int status = pclose(rohr);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

bool enthaelt(const std::string &s, const std::string &teil) { return s.find(teil) != std::string::npos; }

}  // namespace

// Runs of one program: the exit status and pieces of the output.
TEST(Simulation, RunsOnTheSimulatedMachine) {
  const std::string lang = "X 100000\nW\nENDE\n", eingang = "J E 4 M1\nV1=1\nM1\nENDE\n";
  const struct {
    std::string argumente, text;
    int status;
    std::vector<std::string> teile;
  } faelle[] = {
      // Limits stop every run and name what was going on.
      {"run --max-steps 50", "M1\nJ M1\n", 3, {"step limit of 50 reached at line 2"}},
      {"run --max-time 2",
       lang,
       3,
       {"time limit of 2.000 s reached at line 2 (W was waiting), still moving: X",
        "path length: 1981.000 units"}},
      {"plot -o l.svg --max-time 2", lang, 3, {}},
      {"run --max-time 1", "WE 5\nENDE\n", 3, {"(WE 5 was waiting)"}},
      // Ticks advance in simulated time: the loop ends once 500 ticks have
      // passed, W 100 waits 100 more, the idle rounds before W and V2=... one each.
      {"run", "V1=T+500\nM1\nJ T<V1 M1\nW 100\nV2=T-V1\nENDE\n", 0, {"  V2 = 102\n"}},
      // Inputs and keys that change over time end their waits then.
      {"run --input 5=1@0.25", "WE 5\nV1=T\nENDE\n", 0, {"  V1 = 251\n"}},
      {"run --keys 0.55=7", "W 600\nK V1\nENDE\n", 0, {"  V1 = 7\n"}},
      {"run --input 3=1,4=1", eingang, 0, {"variables changed: none\n"}},
      {"run --input 3=1", eingang, 0, {"  V1 = 1\n"}},
      {"run", "ENDE\n", 0, {" after 1 step\n"}},
      // Tasks take turns and the run says so.
      {"run --trace",
       "PRIO 1\nJ PROG7,1,2\nM1\nV1=V1+1\nJ V1<3 M1\nENDE\nPROG7\nV2=V2+1\nJ PROG7\n",
       0,
       {"    8  V2=V2+1                   [Befehl 59, 0]  task 2\n", "tasks run: 1 2\n"}},
      // Reference runs trip their switches.
      {"run --trace",
       "X 50\nW\nXH 0, 1\nYH 1, 2 ZH 0, 3\nENDE\n",
       0,
       {"    3  XH 0, 1                   [Befehl 3, 0]  reference run X, waited ",
        "    4  YH 1, 2 ZH 0, 3           [Befehl 4, 0]  reference run Y Z, waited "}},
  };
  for (const auto &f : faelle) {
    datei("p.vela", f.text);
    const Ergebnis r = vela(f.argumente + " p.vela");
    EXPECT_EQ(r.status, f.status) << f.argumente << " " << f.text;
    for (const std::string &t : f.teile) EXPECT_TRUE(enthaelt(r.aus, t)) << r.aus;
  }
}

TEST(Simulation, CheckWalksEveryProgramWithItsOwnLabels) {
  const struct {
    const char *text;
    const char *bericht;  // with F for the file name
  } faelle[] = {
      // A restart in a program the flow never reached uses that program's labels.
      {"J M6\nM6\nJS M10\nENDE\nM10\nRETURN\nPROG7\nENDE\n", ""},
      {"J M6\nM6\nENDE\nPROG7\nJ M1\nM1\nENDE\nPROG8\nJ M6\nENDE\n", "F:9: error 22: Keine Marke\n"},
      // Only named programs: every line is still checked.
      {"PROG7\nV1=1\nFOO\nENDE\n", "F:3: error 19: falscher Befehl\n"},
      // A called program's own labels; back in the caller, the caller's.
      {"JS PROG7\nJS PROG8\nJ M1\nM1\nENDE\nPROG7\nJ M2\nM2\nRETURN\nPROG8\nRETURN\n", ""},
      // A subroutine that calls itself on its first line.
      {"JS PROG7\nENDE\nPROG7\nJS PROG7\nRETURN\n", "F:4: error 24: Zu viele Jump Sub\n"},
      // Display control output stays off the report.
      {"DP 3, 1\nENDE\n", ""},
  };
  for (const auto &f : faelle) {
    datei("c.vela", f.text);
    const Ergebnis r = vela("check c.vela");
    std::string bericht = f.bericht;
    if (!bericht.empty()) bericht.replace(0, 2, "c.vela:");
    EXPECT_EQ(r.aus, bericht) << f.text;
    EXPECT_EQ(r.status, *f.bericht == '\0' ? 0 : 1) << f.text;
  }
  const Ergebnis r = vela("run " + datei("dp.vela", "DP 3, 1\nENDE\n"));
  EXPECT_EQ(r.aus.rfind("program ended (ENDE) after 2 steps\n", 0), 0u) << r.aus;
}

TEST(Simulation, CheckWarnsAboutTextTheLanguageWrapsOrIgnores) {
  datei("w.vela",
        "\xEF\xBB\xBFV1=99999999999\nV2=V65537\nPROGABCDEFGHIJKLMN\nENDE\nPROG7\nENDE\nPROG7\nENDE\n");
  Ergebnis r = vela("check w.vela");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.aus,
            "w.vela:1: warning: UTF-8 byte-order mark at the start of the file skipped\n"
            "w.vela:1: warning: number 99999999999 does not fit in 32 bits (it wraps)\n"
            "w.vela:2: warning: V65537: the index wraps to 16 bits (V1)\n"
            "w.vela:3: warning: program name \"ABCDEFGHIJKLMN\" is longer than 13 characters\n"
            "w.vela:7: warning: program name \"7\" already defined in line 5 (calls go to the first)\n");
  EXPECT_EQ(vela("check --werror w.vela").status, 1);
  r = vela("check --json w.vela");
  EXPECT_EQ(r.aus.rfind("{\"file\":\"w.vela\",\"errors\":[],\"warnings\":[{\"line\":1,\"message\":", 0), 0u)
      << r.aus;
  // Text after a complete command; not the closing quote of a text, nor
  // what jumps, labels and headers leave; no index warning where the index
  // is refused.
  datei("rest.vela",
        "X 10 Y 20 Z 30\nV1=3 V2=4\nIL 1, 2, 3, 4\nD \"A B\"\nM1\nJ V1>0 M1\n"
        "D V65537\nJS PROG7\nENDE\nPROG7\nRETURN\n");
  r = vela("check rest.vela");
  EXPECT_EQ(r.aus,
            "rest.vela:1: warning: text after the command is ignored: \"Z 30\"\n"
            "rest.vela:2: warning: text after the command is ignored: \"V2=4\"\n"
            "rest.vela:3: warning: text after the command is ignored: \"4\"\n"
            "rest.vela:7: error 2: Zu grosser Index\n");
  // The byte-order mark is no command: the run goes through.
  EXPECT_EQ(vela("run " + datei("bom.vela", "\xEF\xBB\xBFV1=1\nENDE\n")).status, 0);
}

TEST(Simulation, OutputsForToolsAndPeople) {
  const std::string p = datei("o.vela", "D 1 \"FERTIG\"\nX 10\nW\nENDE\n");
  Ergebnis r = vela("run --json " + p);
  EXPECT_EQ(r.aus,
            "{\"file\":\"" + p +
                "\",\"end\":\"ende\",\"steps\":4,\"time_s\":0.048,"
                "\"positions\":{\"X\":10,\"Y\":0,\"Z\":0,\"A\":0},\"path_length\":10.000,\"tasks\":[1],"
                "\"errors\":[],"
                "\"display\":[\"                    \",\"FERTIG              \",\"                    \","
                "\"                    \"]}\n");
  r = vela("run --display " + p);
  EXPECT_TRUE(enthaelt(r.aus, "+--------------------+\n|                    |\n|FERTIG              |\n"))
      << r.aus;
  // Plot to standard output; the waits are marked.
  std::filesystem::remove(verzeichnis.datei("-"));
  r = vela("plot " + p + " -o -");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.aus.rfind("<?xml", 0), 0u);
  EXPECT_TRUE(enthaelt(r.aus, "class=\"wait\""));
  EXPECT_FALSE(std::filesystem::exists(verzeichnis.datei("-")));
}

TEST(Simulation, ErrorsBeforeTheFirstStepAndInTheLabels) {
  // The executor's preparation fails (no switch 300): the step's error.
  datei("io.vela", "J E 300 M1\nM1\nSO 300\nENDE\n");
  Ergebnis r = vela("run io.vela");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.aus.rfind("io.vela:1: error 29: IOnummer zu gross\n    1 | J E 300 M1\n", 0), 0u) << r.aus;
  r = vela("check io.vela");
  // The check finds the follow-up's error too.
  EXPECT_EQ(r.aus, "io.vela:1: error 29: IOnummer zu gross\nio.vela:3: error 29: IOnummer zu gross\n");
  // The monitor's label scan fails: the run never starts.
  datei("m.vela", "M1\nV1=1\nM1\nENDE\n");
  r = vela("run m.vela");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.aus, "m.vela:3: error 32: Marke schon da\n");
}

TEST(Simulation, ExitStatuses) {
  const std::string gut = datei("gut.vela", "V1=1\r\nV2=2\r\n");
  const std::string svg = verzeichnis.datei("plot.svg");
  const std::pair<std::string, int> faelle[] = {
      {"run --max-steps 1 " + gut, 3},
      {"run /nonexistent/x.vela", 2},
      {"run --input 3 " + gut, 2},
      {"frobnicate", 2},
      {"plot --testdaten " + datei("daten", "1 0 \r\r\n") + " -o " + svg, 0},
      {"plot --testdaten " + datei("kaputt", "1 a\n") + " -o " + svg, 2},
  };
  for (const auto &[argumente, status] : faelle) EXPECT_EQ(vela(argumente).status, status) << argumente;
  // A bad value is named in a line, not in the whole help (the values' parser has its own tests).
  const Ergebnis r = vela("run --keys 1=17 " + gut, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_LT(r.aus.size(), 120u) << r.aus;
  EXPECT_EQ(vela("--version").aus.rfind("vela ", 0), 0u);
}
