// Expressions, observed through V lines as a host sees them.
#include "expr/eval.h"

#include <cstring>
#include <string>

#include "expr/scanner.h"
#include "interp/zustand.h"
#include "motion/achsen.h"
#include "support/vela_test.h"

namespace {

using EvalTest = VelaTest;

struct Fall {
  const char *ausdruck;
  int32_t wert;
};

TEST_F(EvalTest, ArithmeticAndPrecedence) {
  const Fall faelle[] = {
      {"2+3*4", 14},
      {"(2+3)*4", 20},
      {"10-3-2", 5},
      {"100/10/5", 2},
      {"2^3^2", 512},
      {"-2^2", 4},
      {"2^0", 1},
      {"0^0", 1},
      {"2^-1", 2},
      {"7/2", 3},
      {"-7/2", -3},
      {"-7%2", -1},
      {"7%-2", 1},
      {"12.75+1", 13},
      {"3E2", 3},
      {"+5", 5},
      {"2 * ( 3 + 4 )", 14},
      {"3^40", 689956897 /* 3^40 mod 2^32 */},
  };
  for (const Fall &f : faelle) {
    int16_t code = -1;
    EXPECT_EQ(rechne(f.ausdruck, &code), f.wert) << f.ausdruck;
    EXPECT_EQ(code, 0) << f.ausdruck;
  }
}

TEST_F(EvalTest, WrappingWithoutOverflow) {
  EXPECT_EQ(rechne("2147483647+1"), INT32_MIN);
  EXPECT_EQ(rechne("4294967297"), 1);  // the number itself wraps
  EXPECT_EQ(rechne("65536*65536+7"), 7);
  EXPECT_EQ(rechne("0-2147483647-1"), INT32_MIN);
  EXPECT_EQ(rechne("(0-2147483647-1)/-1"), INT32_MIN);
  EXPECT_EQ(rechne("(0-2147483647-1)%-1"), 0);
  EXPECT_EQ(rechne("-(0-2147483647-1)"), INT32_MIN);
  EXPECT_EQ(rechne("2^2147483647"), 0);  // a long exponent ends at once
}

TEST_F(EvalTest, Errors) {
  int16_t code = 0;
  EXPECT_EQ(rechne("(1+2", &code), 3);
  EXPECT_EQ(code, 9);
  rechne("--5", &code);
  EXPECT_EQ(code, 18);
  rechne("5/0", &code);
  EXPECT_EQ(code, 28);
  rechne("5%0", &code);
  EXPECT_EQ(code, 28);
  rechne("V300+1", &code);
  EXPECT_EQ(code, 2);
  rechne("\"AB\"", &code);
  EXPECT_EQ(code, 18);
  // Nothing behind the '=': no operand.
  lade("V1=\n");
  EXPECT_EQ(schritt(), 18);
  EXPECT_EQ(cursor(), 0);  // the failing line
}

TEST_F(EvalTest, Assignments) {
  lade("V5=3+4\nV1=(V2=3)+1\nV 6 = 1\nV300=1\nV5\nV\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[5], 7);
  EXPECT_EQ(vela::ArgWert1, 7);
  EXPECT_EQ(Befehl, 59);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[2], 3);
  EXPECT_EQ(V_WertVar[1], 4);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[6], 1);
  EXPECT_EQ(schritt(), 2);
  EXPECT_EQ(NextBefp, stelle("V300"));
  NextBefp = stelle("V5\r");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::ArgWert1, 7);
  EXPECT_EQ(schritt(), 7);
}

TEST_F(EvalTest, VariableReferences) {
  V_WertVar[5] = 7;
  V_WertVar[7] = 70;
  V_WertVar[1] = 11;
  EXPECT_EQ(rechne("VV5"), 70);
  EXPECT_EQ(rechne("V V5"), 70);  // blanks after an inner V
  EXPECT_EQ(rechne("V65537"), 11);
  V_WertVar[298] = 298;
  EXPECT_EQ(rechne("V298"), 298);
  int16_t code = 0;
  for (const char *fall : {"V 5", "V-1"}) {
    rechne(fall, &code);
    EXPECT_EQ(code, 7) << fall;
  }
  for (int32_t falsch : {300, -1}) {
    V_WertVar[5] = falsch;
    rechne("VV5", &code);
    EXPECT_EQ(code, 2);
  }
  // An indirect target: V V5 = 9 stores into V7.
  V_WertVar[5] = 7;
  lade("VV5=9\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[7], 9);
  // A long chain of indirections needs no deep recursion.
  V_WertVar[0] = 0;
  EXPECT_EQ(rechne(std::string(5000, 'V') + "0"), 0);
}

TEST_F(EvalTest, FailedAssignmentStillStoresWhatWasReached) {
  V_WertVar[1] = 0;
  lade("V1=V300+1\n");
  vela::ArgWert1 = 40;
  EXPECT_EQ(schritt(), 2);
  EXPECT_EQ(V_WertVar[1], 41);  // the failed operand left the cell unchanged
}

TEST_F(EvalTest, TickCounterOperand) {
  vela::Ticks = 0xFFFFFFFFu;
  EXPECT_EQ(rechne("T"), -1);
  vela::Ticks = 10;
  EXPECT_EQ(rechne("T5"), 10);  // the 5 is the next token, not consumed
}

TEST_F(EvalTest, AxisReadOut) {
  vela::SollPos[0] = 42;
  vela::AchsZaehler[1] = 17;
  V_WertVar[1] = -5;
  lade("V1=XP\nV2=YT\nV1=XE\nV1=XC\nV3=X5\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[1], 42);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[2], 17);
  V_WertVar[1] = -5;
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[1], -5);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(V_WertVar[3], 0);
  EXPECT_EQ(vela::ArgWert1, 5);
}

TEST_F(EvalTest, NoAssignReadsAndStopsOnTheEquals) {
  V_WertVar[5] = 4;
  schreibe("V5=3+4\r");
  NextBefp = Programm;
  vela::noAssign = 1;
  int32_t wert = 0;
  EXPECT_EQ(vela::evalAusdruck(wert), 0);
  vela::noAssign = 0;
  EXPECT_EQ(wert, 4);
  EXPECT_EQ(V_WertVar[5], 4);
  EXPECT_EQ(*NextBefp, '=');
}

TEST_F(EvalTest, CursorContract) {
  struct {
    const char *text;
    int32_t wert;
    long ende;
  } const faelle[] = {
      {"5, 6\r", 5, 2},      // behind the comma
      {"5 6\r", 5, 2},       // on the 6
      {"5)\r", 5, 1},        // on the )
      {"5 \"AB\"\r", 5, 2},  // on the opening quote
      {"7 X\r", 7, 2},       // on the axis letter
      {"\r", 0, 0},          // empty: on the CR
  };
  for (const auto &f : faelle) {
    schreibe(f.text);
    NextBefp = Programm;
    int32_t wert = 0;
    vela::evalAusdruck(wert);
    EXPECT_EQ(wert, f.wert) << f.text;
    EXPECT_EQ(NextBefp - Programm, f.ende) << f.text;
  }
}

TEST_F(EvalTest, LongTokensAreCutButConsumedWhole) {
  const std::string ziffern(100, '1');
  schreibe(ziffern + "+1,\r");
  NextBefp = Programm;
  int32_t wert = 0;
  EXPECT_EQ(vela::evalAusdruck(wert), 0);
  EXPECT_EQ(NextBefp - Programm, 103);
  EXPECT_EQ(std::strlen(vela::Token), 1u);
  schreibe("5 \"" + std::string(200, 'x') + "\"\r");
  NextBefp = Programm;
  vela::evalAusdruck(wert);
  EXPECT_EQ(NextBefp - Programm, 2);
  vela::getToken();
  EXPECT_EQ(std::strlen(vela::Token), 79u);
  EXPECT_EQ(vela::TokenTyp, vela::TOK_TEXT);
}

TEST_F(EvalTest, DeepNestingIsRefusedNotOverflowed) {
  const std::string tief(6000, '(');
  int16_t code = 0;
  rechne(tief + "1", &code);
  EXPECT_EQ(code, 18);
  std::string potenz;
  for (int i = 0; i < 3000; ++i) potenz += "1^";
  rechne(potenz + "1", &code);
  EXPECT_EQ(code, 18);
  std::string erlaubt(vela::kMaxTiefe - 1, '(');
  EXPECT_EQ(rechne(erlaubt + "6" + std::string(vela::kMaxTiefe - 1, ')'), &code), 6);
  EXPECT_EQ(code, 0);
}

TEST_F(EvalTest, ScannerClasses) {
  struct {
    const char *text;
    uint8_t typ;
    const char *token;
    long ende;
  } const faelle[] = {
      {"  12.75+1", vela::TOK_NUMBER, "12.75", 7},
      {"5I", vela::TOK_NUMBER, "5I", 2},
      {"5X", vela::TOK_NUMBER, "5", 1},
      {"V12", vela::TOK_VARIABLE, "V", 1},
      {"\"AB\r", vela::TOK_TEXT, "AB", 3},
      {"\"\"", vela::TOK_TEXT, "", 1},
      {"A", vela::TOK_AXIS, "A", 1},
      {"E", vela::TOK_SELECTOR, "E", 1},
      {"v1", vela::TOK_UNKNOWN, "", 0},
      {"^", vela::TOK_DELIM, "^", 1},
      {"<", vela::TOK_UNKNOWN, "", 0},
  };
  for (const auto &f : faelle) {
    schreibe(f.text);
    NextBefp = Programm;
    vela::getToken();
    EXPECT_EQ(vela::TokenTyp, f.typ) << f.text;
    EXPECT_STREQ(vela::Token, f.token) << f.text;
    EXPECT_EQ(NextBefp - Programm, f.ende) << f.text;
  }
}

}  // namespace
