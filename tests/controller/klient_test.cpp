// The client commands against a scripted controller: the test plays the
// controller's end of a pseudo-terminal, checks every byte the client
// sends and answers as a controller would (display blanks included).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "controller/prozess.h"
#include "klient.h"
#include "support/temp_verzeichnis.h"
#include "vela.h"

namespace {

using namespace testpty;

const std::string kMarkenAnfrage = "@PPz\n";
const std::string kMarke = "N Programm z nicht gefunden\rN";

// The four bytes of a sum, most significant first.
std::string be(uint32_t v) {
  std::string s;
  for (int i = 24; i >= 0; i -= 8) s += static_cast<char>((v >> i) & 0xFF);
  return s;
}

uint32_t summe(const std::string &s, uint32_t start = 0) {
  for (unsigned char c : s) start += c;
  return start;
}

// The probe's bytes as the controller counts them while it waits for a
// download: @ R @ P and the result 4 of the marker request.
const uint32_t kProbe = summe("@R@P") + 4;

class KlientTest : public ::testing::Test {
 protected:
  TempVerzeichnis dir;
  PtyPaar leitung;
  const std::string zustand = dir.datei("zustand");

  std::unique_ptr<Vela> starte(std::vector<std::string> a) {
    a.insert(a.end(), {"--line", leitung.pfad, "--state", zustand});
    return std::make_unique<Vela>(a);
  }
  std::string datei(const std::string &name, const std::string &inhalt) {
    const std::string p = dir.datei(name);
    std::ofstream(p, std::ios::binary) << inhalt;
    return p;
  }
  std::string erwarte(const std::string &ende) { return liesBis(leitung.master, ende); }
  void antworte(const std::string &s) { schreibe(leitung.master, s); }
  std::string zustandsText() {
    std::ifstream ein(zustand);
    std::stringstream s;
    s << ein.rdbuf();
    return s.str();
  }
  // A request command run against scripted replies: what the client sent
  // until `ende`, then the reply; returns the exit status.
  int anfrage(const std::vector<std::string> &befehl, const std::string &ende, const std::string &antwort,
              std::string &gesendet, std::string *aus = nullptr) {
    auto v = starte(befehl);
    gesendet = erwarte(ende);
    antworte(antwort);
    const int status = v->warte();
    if (aus != nullptr) *aus = v->aus();
    return status;
  }
};

// CR line ends, a blank before lines that begin with $ or @ and in empty
// lines, and a final CR.
const std::string kDatei = "PROGAB\n$ note\n\nX 1 ;c\r\n@ c";
const std::string kText = "PROGAB\r $ note\r \rX 1 ;c\r @ c\r";

TEST_F(KlientTest, SendToAWaitingController) {
  auto v = starte({"send", datei("p.vela", kDatei)});
  EXPECT_EQ(erwarte(kMarkenAnfrage), "@R" + kMarkenAnfrage);
  antworte(" Yes\n " + kMarke);
  const uint32_t h = summe("@A@C" + kText + "$", kProbe);
  EXPECT_EQ(erwarte("$" + be(h)), "@A@C" + kText + "$" + be(h));
  antworte("  Y    ");
  EXPECT_EQ(v->warte(), 0);
  EXPECT_EQ(v->aus(), "loaded\n");
  EXPECT_NE(zustandsText().find("\nsum " + std::to_string(h + (h & 0xFF)) + "\nmode run\n"), std::string::npos);
}

TEST_F(KlientTest, SendToARunningControllerAbandonsTheRunFirst) {
  std::ofstream(zustand) << "sum 1000\nmode run\n";
  auto v = starte({"send", "--mode", "remote", "--no-checksum", datei("p.vela", "X1\n")});
  EXPECT_EQ(erwarte(kMarkenAnfrage), "@R" + kMarkenAnfrage);
  antworte("   " + kMarke);  // no Yes: the run took the R
  EXPECT_EQ(erwarte(kMarkenAnfrage), "@N@R" + kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  EXPECT_EQ(erwarte("$"), "X1\r$");  // remote: the R of the probe is the mode
  antworte("Y");
  EXPECT_EQ(v->warte(), 0);
  // Without a checksum the controller counts the $ twice.
  EXPECT_NE(zustandsText().find("sum " + std::to_string(summe("X1\r$$", 1000 + kProbe)) + "\nmode remote\n"),
            std::string::npos);

  // The next download after a remote run abandons the run at once.
  auto w = starte({"send", datei("q.vela", "X2\n")});
  EXPECT_EQ(erwarte(kMarkenAnfrage), "@N@R" + kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  erwarte("$");
  EXPECT_EQ(liesAnzahl(leitung.master, 4), be(summe("@A@CX2\r$", summe("X1\r$$", 1000 + 2 * kProbe))));
  antworte("Y");
  EXPECT_EQ(w->warte(), 0);
}

TEST_F(KlientTest, LearnsTheSumFromTheMismatchAndSendsOnceMore) {
  std::ofstream(zustand) << "sum 5\nmode run\n";
  auto v = starte({"send", "--trace", datei("p.vela", "X1\n")});
  erwarte(kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  const uint32_t h1 = summe("@A@T@CX1\r$", 5 + kProbe);
  EXPECT_EQ(erwarte("$" + be(h1)), "@A@T@CX1\r$" + be(h1));
  antworte(" \rHost: " + std::to_string(h1) + ", Target -2\r F  ");
  // -2 is the sum 0xFFFFFFFE printed signed; the controller waits again.
  EXPECT_EQ(erwarte(kMarkenAnfrage), "@R" + kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  const uint32_t h2 = summe("@A@T@CX1\r$", 0xFFFFFFFEu + kProbe);
  EXPECT_EQ(erwarte("$" + be(h2)), "@A@T@CX1\r$" + be(h2));
  antworte("Y");
  EXPECT_EQ(v->warte(), 0);
  EXPECT_EQ(v->aus(), "loaded\n");
  EXPECT_NE(v->fehler().find("sending once more"), std::string::npos);
  EXPECT_NE(zustandsText().find("sum " + std::to_string(h2 + (h2 & 0xFF)) + "\n"), std::string::npos);
}

TEST_F(KlientTest, RefusedDownloadsAreExitStatusOne) {
  auto v = starte({"send", datei("p.vela", "X1\n")});
  erwarte(kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  erwarte("$");
  liesAnzahl(leitung.master, 4);
  antworte("\rHost: 1, Target 2\rF");
  erwarte(kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  erwarte("$");
  liesAnzahl(leitung.master, 4);
  antworte("\rHost: 3, Target 4\rF");  // a second mismatch is the controller's answer
  EXPECT_EQ(v->warte(), 1);
  EXPECT_NE(v->fehler().find("Host: 3, Target 4"), std::string::npos);

  auto w = starte({"send", "--no-checksum", datei("q.vela", "X1\n")});
  erwarte(kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  erwarte("$");
  antworte("\rProgramm zu gross\rF");
  EXPECT_EQ(w->warte(), 1);
  EXPECT_NE(w->fehler().find("Programm zu gross"), std::string::npos);
}

TEST_F(KlientTest, LineAcknowledgementsPaceTheText) {
  auto v = starte({"send", "--line-acks", "--no-checksum", "--mode", "step", datei("p.vela", "X1\nY2\n")});
  erwarte(kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  EXPECT_EQ(erwarte("X1\r"), "@S@QX1\r");
  EXPECT_EQ(liesWaehrend(leitung.master, 0.2s), "");  // the next line waits for the Y
  antworte(" Y");
  EXPECT_EQ(erwarte("Y2\r"), "Y2\r");
  antworte("Y");
  EXPECT_EQ(erwarte("$"), "$");
  antworte("Y");
  EXPECT_EQ(v->warte(), 0);
}

TEST_F(KlientTest, FilesTheControllerCannotTakeAreRefusedBeforeSending) {
  EXPECT_EQ(starte({"send", datei("gross.vela", std::string(VELA_PROGRAMM_GROESSE, 'X'))})->warte(), 2);
  EXPECT_EQ(starte({"send", datei("nul.vela", std::string("X1\n\0", 4))})->warte(), 2);
  EXPECT_EQ(starte({"send", dir.datei("fehlt.vela")})->warte(), 2);
  EXPECT_EQ(starte({"get", "ABCDEF"})->warte(), 2);
  EXPECT_EQ(liesWaehrend(leitung.master, 0.1s), "");
}

// The bytes of the requests; their replies as a real controller gives them
// are in the end-to-end tests.
TEST_F(KlientTest, RequestBytesAndReplyEnds) {
  std::string gesendet, aus;
  EXPECT_EQ(anfrage({"list"}, kMarkenAnfrage, "  E\rF\rPROGMAIN\rPROGSUB\rR\r" + kMarke, gesendet, &aus), 0);
  EXPECT_EQ(gesendet, "@PL" + kMarkenAnfrage);
  EXPECT_EQ(aus, "store   program\nEEPROM  -\nFLASH   MAIN\nFLASH   SUB\nRAM     -\n");
  EXPECT_EQ(anfrage({"list"}, kMarkenAnfrage, "E\rF\r" + kMarke, gesendet), 2);  // no RAM list

  EXPECT_EQ(anfrage({"get", "ABCDE"}, kMarkenAnfrage, " FX1\rD \"A B\"" + kMarke, gesendet, &aus), 0);
  EXPECT_EQ(gesendet, "@PPABCDE" + kMarkenAnfrage);  // five characters need no LF
  EXPECT_EQ(aus, "X1\nD \"A B\"\n");
  EXPECT_EQ(anfrage({"get", "Q"}, kMarkenAnfrage, "N Programm Q nicht gefunden\rN" + kMarke, gesendet), 1);
  EXPECT_EQ(gesendet, "@PPQ\n" + kMarkenAnfrage);
  EXPECT_EQ(anfrage({"dump", "E"}, kMarkenAnfrage, "***** EEPROM *****\r" + kMarke, gesendet), 0);
  EXPECT_EQ(gesendet, "@PAE" + kMarkenAnfrage);
}

// Saves, deletes and erases that the real controller does not refuse in
// the end-to-end tests, and a reply outside the protocol.
TEST_F(KlientTest, SaveDeleteEraseReplies) {
  std::string gesendet, aus;
  EXPECT_EQ(anfrage({"save"}, "@PF", " Y Y", gesendet, &aus), 0);
  EXPECT_EQ(aus, "saved: the programs of the RAM store are in FLASH\n");
  EXPECT_EQ(anfrage({"save"}, "@PF", "YN", gesendet), 1);
  EXPECT_EQ(anfrage({"delete", "AB"}, "\n", "YY", gesendet), 0);
  EXPECT_EQ(gesendet, "@PCAB\n");
  EXPECT_EQ(anfrage({"delete", "AB"}, "\n", "N", gesendet), 1);  // the name did not arrive
  EXPECT_EQ(anfrage({"erase"}, "@L", "YN", gesendet), 1);
  EXPECT_EQ(anfrage({"save"}, "@PF", "YQ", gesendet), 2);
}

TEST_F(KlientTest, StopAndRestart) {
  std::ofstream(zustand) << "sum 7\nmode remote\n";
  std::string gesendet;
  auto v = starte({"stop"});
  EXPECT_EQ(erwarte(kMarkenAnfrage), "@N@R" + kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  EXPECT_EQ(erwarte("@A"), "@A");  // back to the normal run mode
  EXPECT_EQ(v->warte(), 0);
  EXPECT_NE(zustandsText().find("sum " + std::to_string(summe("@A", 7 + kProbe)) + "\nmode run\n"),
            std::string::npos);

  EXPECT_EQ(anfrage({"restart"}, kMarkenAnfrage, kMarke, gesendet), 0);
  EXPECT_EQ(gesendet, "@R" + kMarkenAnfrage);
  EXPECT_EQ(erwarte("@S"), "@S");
}

TEST_F(KlientTest, NoAnswerAndNoLineAreExitStatusTwo) {
  auto v = starte({"list", "--timeout", "0.3"});
  EXPECT_EQ(v->warte(), 2);
  EXPECT_NE(v->fehler().find("does not answer"), std::string::npos);
  std::string fehler;
  EXPECT_EQ(vela({"list", "--line", dir.datei("keine-leitung")}, nullptr, &fehler), 2);
  EXPECT_NE(fehler.find("cannot open the line"), std::string::npos);
  EXPECT_EQ(vela({"list", "--line", datei("datei", "")}, nullptr, &fehler), 2);
  EXPECT_EQ(vela({"list"}, nullptr, &fehler, {"VELA_LINE="}), 2);
}

TEST(Sendetext, WhatTheControllerStores) {
  using velatool::gespeicherteLaenge;
  EXPECT_EQ(gespeicherteLaenge("X 100 ; move\r"), 5u);         // X100 CR
  EXPECT_EQ(gespeicherteLaenge("D \"A b\"\r"), 7u);            // D"A b" CR
  EXPECT_EQ(gespeicherteLaenge("v1=5\rD \"open\r"), 11u);      // 1=5 CR D"open CR
  EXPECT_EQ(gespeicherteLaenge("abc"), 0u);

  const velatool::Sendetext t = velatool::bereiteText(kDatei);
  EXPECT_EQ(t.bytes, kText);
  EXPECT_EQ(t.zeilen, 5u);
  EXPECT_EQ(t.gespeichert, std::string("PROGAB\r$\r\rX1\r@\r").size());
  EXPECT_EQ(velatool::bereiteText("").bytes, " \r");
}

}  // namespace
