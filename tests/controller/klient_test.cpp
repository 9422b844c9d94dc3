// The client commands against a scripted controller: the test plays the
// controller's end of a pseudo-terminal, checks every byte the client
// sends and answers as a controller would (display blanks included).
#include "klient.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "controller/steuerung_helfer.h"
#include "vela.h"

namespace {

using namespace testpty;

class KlientTest : public SteuerungsTest {
 protected:
  PtyPaar leitung;

  std::unique_ptr<Vela> starte(std::vector<std::string> a) {
    a.insert(a.end(), {"--line", leitung.pfad, "--state", zustand});
    return std::make_unique<Vela>(a);
  }
  std::string erwarte(const std::string &ende) { return liesBis(*leitung.master, ende); }
  void antworte(const std::string &s) { schreibe(*leitung.master, s); }
};

TEST_F(KlientTest, RefusedDownloadsAreExitStatusOne) {
  auto v = starte({"send", datei("p.vela", "X1\n")});
  for (const char *meldung : {"\rHost: 1, Target 2\rF", "\rHost: 3, Target 4\rF"}) {
    erwarte(kMarkenAnfrage);
    antworte("Yes\n" + kMarke);
    erwarte("$");       // the sum's four bytes are read with the next request
    antworte(meldung);  // a second mismatch is the controller's answer
  }
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
  auto v = starte(
      {"send", "--line-acks", "--no-checksum", "--trace", "--mode", "step", datei("p.vela", "X1\nY2\n")});
  erwarte(kMarkenAnfrage);
  antworte("Yes\n" + kMarke);
  EXPECT_EQ(erwarte("X1\r"), "@S@T@QX1\r");
  EXPECT_EQ(liesWaehrend(*leitung.master, 0.2s), "");  // the next line waits for the Y
  antworte(" Y");
  EXPECT_EQ(erwarte("Y2\r"), "Y2\r");
  antworte("Y");
  EXPECT_EQ(erwarte("$"), "$");
  antworte("YX1, ");  // the step's echo follows the reply ...
  EXPECT_EQ(v->warte(), 0);
  velatool::Verbindung seite(::dup(leitung.slave));
  EXPECT_EQ(liesBis(seite, "X1, "), "X1, ");  // ... and stays on the line
}

TEST_F(KlientTest, FilesTheControllerCannotTakeAreRefusedBeforeSending) {
  EXPECT_EQ(starte({"send", datei("gross.vela", std::string(VELA_PROGRAMM_GROESSE, 'X'))})->warte(), 2);
  EXPECT_EQ(starte({"send", datei("nul.vela", std::string("X1\n\0", 4))})->warte(), 2);
  EXPECT_EQ(starte({"send", dir.datei("fehlt.vela")})->warte(), 2);
  EXPECT_EQ(starte({"get", "ABCDEF"})->warte(), 2);
  EXPECT_EQ(liesWaehrend(*leitung.master, 0.1s), "");
}

// Request bytes (ending with the marker request where the client asks
// with it), replies and what the client makes of them.
TEST_F(KlientTest, RequestBytesAndReplies) {
  const std::string &m = kMarkenAnfrage, &n = kMarke;
  const struct {
    std::vector<std::string> befehl;
    std::string gesendet, antwort;
    int status;
    std::string aus;
  } faelle[] = {
      {{"list"}, "@PL" + m, "E\rF\r" + n, 2, ""},  // no RAM list
      {{"list"},
       "@PL" + m,
       " E\rPROGE\rF\rR\rPROGA\rPROGB\r" + n,
       0,
       "store   program\nEEPROM  E\nFLASH   -\nRAM     A\nRAM     B\n"},
      {{"get", "ABCDE"}, "@PPABCDE" + m, " FX1\rD0\"B B\"\r" + n, 0, "X1\nD0\"B B\"\n"},  // no LF after five
      {{"get", "Q"}, "@PPQ\n" + m, "N Programm Q nicht gefunden\rN" + n, 1, ""},
      {{"dump", "E"}, "@PAE" + m, "***** EEPROM *****\r" + n, 0, "***** EEPROM *****\n"},
      {{"save"}, "@PF", "YY", 0, "saved: the programs of the RAM store are in FLASH\n"},
      {{"save"}, "@PF", "YN", 1, ""},
      {{"save"}, "@PF", "YF", 1, ""},              // the name is in FLASH
      {{"save"}, "@PF", "YQ", 2, ""},              // a reply outside the protocol
      {{"delete", "AB"}, "@PCAB\n", "N", 1, ""},   // the name did not arrive
      {{"delete", "AB"}, "@PCAB\n", "YF", 1, ""},  // in FLASH
      {{"erase"}, "@L", "YN", 1, ""},
  };
  for (const auto &f : faelle) {
    SCOPED_TRACE(f.befehl[0] + " " + f.antwort);
    auto v = starte(f.befehl);
    EXPECT_EQ(erwarte(f.gesendet), f.gesendet);
    antworte(f.antwort);
    EXPECT_EQ(v->warte(), f.status);
    EXPECT_EQ(v->aus(), f.aus);
  }
}

TEST_F(KlientTest, NoAnswerAndNoLineAreExitStatusTwo) {
  auto v = starte({"list", "--timeout", "0.3"});
  EXPECT_EQ(v->warte(), 2);
  EXPECT_NE(v->fehler().find("no answer: the controller may be inside an interrupted download"),
            std::string::npos);
  const Aufruf a = vela({"list", "--line", dir.datei("keine-leitung")});
  EXPECT_EQ(a.status, 2);
  EXPECT_NE(a.fehler.find("cannot open the line"), std::string::npos);
  EXPECT_EQ(vela({"list", "--line", datei("datei", "")}).status, 2);
  ::setenv("VELA_LINE", "", 1);
  EXPECT_EQ(vela({"list"}).status, 2);
}

// CR line ends, a blank before lines that begin with $ or @ and in empty
// lines, and a final CR.
TEST(Sendetext, WhatTheControllerStores) {
  const velatool::Sendetext t = velatool::bereiteText("PROGAB\n$ note\n\nX 1 ;c\r\n@ c");
  EXPECT_EQ(t.bytes, "PROGAB\r $ note\r \rX 1 ;c\r @ c\r");
  EXPECT_EQ(t.zeilen, 5u);
  EXPECT_EQ(t.gespeichert, std::string("PROGAB\r$\r\rX1\r@\r").size());
  EXPECT_EQ(velatool::bereiteText("").bytes, " \r");
}

}  // namespace
