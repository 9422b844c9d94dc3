// Dispatch, cursor primitives and the error table, observed through the
// exported interface.
#include <cstring>

#include "interp/cursor.h"
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using DispatchTest = VelaTest;

TEST_F(DispatchTest, DelphiInitSetsCursorAndStartsOnly) {
  V_WertVar[3] = 7;
  isChecking = 1;
  NextBefp = Programm + 10;
  vela::ProgStart[1] = Programm + 5;
  DelphiInit();
  EXPECT_EQ(NextBefp, Programm);
  for (int t = 0; t < 3; ++t) EXPECT_EQ(vela::ProgStart[t], Programm);
  EXPECT_EQ(V_WertVar[3], 7);
  EXPECT_EQ(isChecking, 1);
}

TEST_F(DispatchTest, EmptyStoreGives19AndKeepsCursorOnNul) {
  schreibe("");
  DelphiInit();
  EXPECT_EQ(findFirstProgramm(), nullptr);
  NextBefp = Programm;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(execBefehl(), 19);
    EXPECT_EQ(NextBefp, Programm);
  }
}

TEST_F(DispatchTest, BlankLinesAndIndentationAreConsumedInOneCall) {
  lade("V1=1\n\n  \n\t V2=2\nV3=3");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[2], 2);
  EXPECT_EQ(Befehl, 59);
  EXPECT_EQ(NextBefp, stelle("V3=3"));
}

TEST_F(DispatchTest, DollarAndAtLinesAreNoOps) {
  lade("$xyz\n@abc\nV1=1\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(NextBefp, stelle("@abc"));
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(DispatchTest, LowerCaseAndDigitsGive19OnTheNextLine) {
  lade("q\n5\nV1=1\n");
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(NextBefp, stelle("5\r"));
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(DispatchTest, InvalidLettersGive19AtTheirOwnLine) {
  lade("V1=1\nH5\n");
  schritt();
  for (const char *zeile : {"H5", "N5", "O5", "U5"}) {
    std::strncpy(stelle("\r") + 1, zeile, 2);
    NextBefp = stelle("\r") + 1;
    EXPECT_EQ(schritt(), 19) << zeile;
    EXPECT_EQ(Befehl, 0);
    EXPECT_EQ(NextBefp, stelle("\r") + 1) << zeile;
  }
}

TEST_F(DispatchTest, FullStoreWithoutNulIsRefused) {
  std::memset(Programm, 'Q', sizeof Programm);
  NextBefp = Programm + sizeof Programm - 1;
  EXPECT_EQ(execBefehl(), 20);
  EXPECT_EQ(NextBefp, Programm + sizeof Programm - 1);
}

TEST_F(DispatchTest, ErrorTable) {
  EXPECT_STREQ(FehlerTxt[0], "Ausdruck OK");
  EXPECT_STREQ(FehlerTxt[19], "falscher Befehl");
  EXPECT_STREQ(FehlerTxt[30], "                    ");
  EXPECT_STREQ(FehlerTxt[39], "Progammnr. falsch");
  EXPECT_STREQ(FehlerTxt[40], "Null nicht erlaubt");
  EXPECT_EQ(sizeof FehlerTxt / sizeof FehlerTxt[0], 41u);
  EXPECT_STREQ(DllVersion, "12-12-02");
}

// ---- cursor primitives ----

class CursorTest : public VelaTest {
 protected:
  void text(const char *t, const char *an) {
    schreibe(t);
    DelphiInit();
    NextBefp = std::strstr(Programm, an);
  }
};

TEST_F(CursorTest, NextNonBlankAndSkipBlanks) {
  text("J  M5", "J");
  vela::nextNonBlank();
  EXPECT_EQ(*NextBefp, 'M');
  text("JM5", "J");
  vela::nextNonBlank();
  EXPECT_EQ(*NextBefp, 'M');
  text("J \tM", "J");
  vela::nextNonBlank();
  EXPECT_EQ(*NextBefp, '\t');
  EXPECT_EQ(vela::isBlank('\t'), 1);
  text("X", "X");
  vela::nextNonBlank();
  vela::nextNonBlank();  // never past the NUL
  EXPECT_EQ(NextBefp, Programm + 1);
}

TEST_F(CursorTest, SkipLineForward) {
  text("A\r\r\n\r B", "A");
  vela::skipLine(0);
  EXPECT_EQ(NextBefp, Programm + 5);
  text("X100", "X");
  vela::skipLine(0);
  EXPECT_EQ(NextBefp, Programm + 4);
}

TEST_F(CursorTest, SkipLineBack) {
  text("V1=1\rX100\rY", "\rY");
  vela::skipLine(1);
  EXPECT_EQ(NextBefp, Programm + 5);
  text("X100\rY", "00");
  vela::skipLine(1);
  EXPECT_EQ(NextBefp, Programm);
  // Never before the running program's start.
  text("V1=1\rX100\rY", "100");
  vela::ProgStart[0] = Programm + 6;
  vela::skipLine(1);
  EXPECT_EQ(NextBefp, Programm + 6);
  // On the LF of a CR LF pair the cursor stays on that LF.
  text("V\r\nX", "\n");
  vela::ProgStart[0] = Programm;
  vela::skipLine(1);
  EXPECT_EQ(NextBefp, Programm + 2);
  // A CR as the store's first byte: no step before the store.
  text("\rX", "\r");
  vela::skipLine(1);
  EXPECT_EQ(NextBefp, Programm);
}

TEST_F(CursorTest, FindInLineAndLineLength) {
  text("V1<V2\r", "V1");
  EXPECT_EQ(vela::findInLine("=<>!"), '<');
  text("M5\rV3=1", "M5");
  EXPECT_EQ(vela::findInLine("=<>!"), '\0');
  EXPECT_EQ(vela::lineLength("123456789012345678901234567890\r"), 21);
  EXPECT_EQ(vela::lineLength("\r"), 0);
  EXPECT_EQ(vela::lineLength("X10"), 3);  // the NUL ends the count
  EXPECT_EQ(vela::axisIndex('A'), 3);
  EXPECT_EQ(vela::axisIndex('Q'), 3);
  EXPECT_EQ(vela::axisIndex('I'), 4);
  EXPECT_EQ(vela::axisIndex('Z'), 2);
  EXPECT_EQ(vela::isNumberStart('V'), 1);
  EXPECT_EQ(vela::isNumberStart('-'), 0);
  EXPECT_EQ(vela::isInSet('\0', "abc"), 0);
}

}  // namespace
