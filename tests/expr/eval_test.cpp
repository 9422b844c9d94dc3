// Expressions, observed through V lines as a host sees them, and the
// scanner's tokens and cursor positions.
#include "expr/eval.h"

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/zustand.h"
#include "expr/scanner.h"
#include "planner/achsen.h"
#include "platform/plattform.h"
#include "support/vela_test.h"

namespace {

using EvalTest = VelaTest;

TEST_F(EvalTest, ValuesAndErrorCodes) {
  V_WertVar[1] = 11, V_WertVar[5] = 7, V_WertVar[7] = 70, V_WertVar[8] = 300, V_WertVar[9] = -1;
  vela::Ticks = 0xFFFFFFFFu;
  struct {
    const char *ausdruck;
    int32_t wert;
    int16_t code;
  } const faelle[] = {
      // clang-format off
      {"2+3*4", 14, 0}, {"(2+3)*4", 20, 0}, {"10-3-2", 5, 0}, {"100/10/5", 2, 0},
      {"2^3^2", 512, 0}, {"-2^2", 4, 0}, {"0^0", 1, 0}, {"2^-1", 2, 0},
      {"-7/2", -3, 0}, {"-7%2", -1, 0}, {"7%-2", 1, 0}, {"12.75+1", 13, 0}, {"3E2", 3, 0},
      {"3^40", 689956897, 0},            // modulo 2^32, by squaring
      {"2^2147483647", 0, 0},            // a long exponent ends at once
      {"2147483647+1", INT32_MIN, 0}, {"4294967297", 1, 0}, {"65536*65536+7", 7, 0},
      {"(0-2147483647-1)/-1", INT32_MIN, 0}, {"(0-2147483647-1)%-1", 0, 0},
      {"-(0-2147483647-1)", INT32_MIN, 0},
      {"VV5", 70, 0}, {"VV 5", 70, 0}, {"V65537", 11, 0}, {"T", -1, 0}, {"T5", -1, 0},
      {"(1+2", 3, 9}, {"--5", -5, 18}, {"5/0", 5, 28}, {"5%0", 5, 28}, {"\"AB\"", 0, 18},
      {"V300+1", 1, 2}, {"VV8", 0, 2}, {"VV9", 0, 2}, {"V 5", 0, 7}, {"V V5", 0, 7}, {"V-1", -1, 7},
      // clang-format on
  };
  // A failing operand leaves the value as it was (0 here); the operators
  // still combine what was read, and the assignment stores it.
  for (const auto &f : faelle) {
    V_WertVar[299] = 0;
    lade(std::string("V299=") + f.ausdruck + "\n");
    vela::ArgWert1 = 0;
    const int16_t code = schritt();
    EXPECT_EQ(V_WertVar[299], f.wert) << f.ausdruck;
    EXPECT_EQ(code, f.code) << f.ausdruck;
    EXPECT_EQ(cursor(), code == 0 ? static_cast<long>(std::strlen(f.ausdruck)) + 6 : 0) << f.ausdruck;
  }
}

TEST_F(EvalTest, AssignmentForms) {
  vela::SollPos[0] = 42, vela::AchsZaehler[1] = 17, V_WertVar[5] = 7, V_WertVar[6] = -5;
  lade("V1=(V2=3)+1\nV 3 = 1\nVV5=9\nV4=XP\nV5=YT\nV6=XE\nV6=XC\nV8=X5\nV300=1\nV\n");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(schritt(), 0) << i;
  EXPECT_EQ(std::tuple(Befehl, vela::ArgWert1), std::tuple(BEF_V, 5));  // V8=X5 yields 5 and stores nothing
  EXPECT_EQ(std::vector<int32_t>(V_WertVar + 1, V_WertVar + 9),
            (std::vector<int32_t>{4, 3, 1, 42, 17, -5, 9, 0}));
  EXPECT_EQ(schritt(), 2);
  EXPECT_EQ(NextBefp, stelle("V300"));
  NextBefp = stelle("V\r");
  EXPECT_EQ(schritt(), 7);
}

// Value, code, cursor and target V1, also after a failure: the ending token
// is given back as the scanner took it. First the short path's shapes, then
// their neighbours, which go through the levels.
TEST_F(EvalTest, CursorContract) {
  struct {
    const char *text;
    int16_t keineZuweisung, code;
    int32_t wert;
    long ende;
    int32_t v1;
  } const faelle[] = {
      // clang-format off
      {"V1.5=2\r", 0, 0, 2, 6, 2},
      {"V1 = V2 * (3 - V3) % 4\r", 0, 0, -2, 22, -2},
      {"(V1=5)+1\r", 0, 0, 6, 8, 5},
      {"(V1=2)+VV1+V1\r", 0, 0, 14, 13, 2},  // later operands read the assigned value
      {"2*(3+(4-1)*2)%5\r", 0, 0, 3, 15, 3},
      {"9\t-1 M1\r", 0, 0, 8, 5, 3},
      {"V1=V2<5\r", 0, 0, 10, 5, 10},
      {"V1=V2<5\r", 1, 0, 3, 2, 3},   // a comparison's left side: V1 is read, '=' stays
      {"V5=3+4\r", 1, 0, 7, 2, 3},
      {"5(\r", 0, 0, 5, 1, 3},         // on the (
      {"5)\r", 0, 0, 5, 1, 3},         // on the )
      {"V3 ) \r", 0, 0, 4, 3, 3},
      {"5, 6\r", 0, 0, 5, 2, 3},       // behind the comma
      {"8*2,3\r", 0, 0, 16, 4, 3},
      {"5 6\r", 0, 0, 5, 2, 3},        // on the 6
      {"7 Y 5\r", 0, 0, 7, 2, 3},      // on the axis letter
      {"V1 5\r", 0, 0, 3, 3, 3},
      {"5 \"AB\"\r", 0, 0, 5, 2, 3},   // on the opening quote
      {"V1=2^3\r", 0, 0, 8, 6, 8},
      {"6/(2-2)\r", 0, 28, 6, 7, 3},
      {"  \r", 0, 12, 0, 2, 3},        // empty: on the CR
      {"\r", 0, 12, 0, 0, 3},
      {"\"\"\r", 0, 12, 0, 1, 3},      // an empty text: on its closing quote
      {"5+\"AB\"\r", 0, 18, 5, 2, 3},  // a text where an operand is due: on its opening quote
      {"(1+2\r", 0, 9, 3, 4, 3},       // an open bracket: on the CR
      {"VV 9=1\r", 0, 2, 0, 3, 3},     // V9 = 400 as a target index: one back from behind the 9
      {"V 5+1\r", 0, 7, 0, 2, 3},      // no assignment: as an operand the V fails, the 5 ends it
      {"V300=1\r", 0, 2, 0, 1, 3},     // on the index
      // clang-format on
  };
  // The same by werteAus, which writes nothing until its assignments are
  // taken over.
  for (const bool rein : {false, true}) {
    for (const auto &f : faelle) {
      V_WertVar[1] = 3, V_WertVar[2] = 10, V_WertVar[3] = 4, V_WertVar[5] = 7, V_WertVar[9] = 400;
      schreibe(f.text);
      NextBefp = Programm;
      const bool z = f.keineZuweisung;
      int32_t wert = 0;
      int16_t code;
      if (rein) {
        vela::Zuweisungen neu;
        char *ende = nullptr;
        code = vela::werteAus(Programm, wert, ende, z, neu);
        EXPECT_EQ(std::tuple(NextBefp, V_WertVar[1]), std::tuple(Programm, 3)) << f.text;
        neu.uebernimm();
        NextBefp = ende;
      } else {
        code = vela::evalAusdruck(wert, z);
      }
      EXPECT_EQ(code, f.code) << f.text;
      EXPECT_EQ(wert, f.wert) << f.text;
      EXPECT_EQ(cursor(), f.ende) << f.text;
      EXPECT_EQ(V_WertVar[1], f.v1) << f.text;
      EXPECT_EQ(V_WertVar[5], 7) << f.text;
    }
  }
}

TEST_F(EvalTest, LongAndDeepTextsStayBounded) {
  // Tokens longer than the token buffer are consumed whole.
  schreibe(std::string(100, '1') + "+1,\r");
  NextBefp = Programm;
  int32_t wert = 0;
  EXPECT_EQ(vela::evalAusdruck(wert), 0);
  EXPECT_EQ(cursor(), 103);
  // Nesting beyond the limit is refused, not recursed into; chains of
  // indirections need no recursion at all.
  int16_t code = 0;
  rechne(std::string(6000, '(') + "1", &code);
  EXPECT_EQ(code, 18);
  std::string potenz;
  for (int i = 0; i < 3000; ++i) potenz += "1^";
  rechne(potenz + "1", &code);
  EXPECT_EQ(code, 18);
  const std::string tief(vela::kMaxTiefe - 1, '(');
  EXPECT_EQ(rechne(tief + "6" + std::string(vela::kMaxTiefe - 1, ')'), &code), 6);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(rechne(std::string(5000, 'V') + "0"), 0);
}

}  // namespace
