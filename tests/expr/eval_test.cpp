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
#include "support/tabelle.h"
#include "support/vela_test.h"

namespace {

using EvalTest = VelaTest;

TEST_F(EvalTest, ValuesAndErrorCodes) {
  V_WertVar[1] = 11, V_WertVar[5] = 7, V_WertVar[7] = 70, V_WertVar[8] = 300, V_WertVar[9] = -1;
  vela::Ticks = 0xFFFFFFFFu;
  pruefeTabelle("ausdruck_werte", [&](const std::string &ausdruck) {
    V_WertVar[299] = 0;
    lade("V299=" + ausdruck + "\n");
    vela::ArgWert1 = 0;
    const std::string schritt = schrittText();
    return text(schritt, V_WertVar[299]);
  });
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

// Code, value, cursor and target V1, by evalAusdruck and by werteAus, which
// writes nothing until its assignments are taken over.
TEST_F(EvalTest, CursorContract) {
  pruefeTabelle("ausdruck_cursor", [&](const std::string &fall) {
    const auto [eingabe, extra] = teile(fall);
    const bool keineZuweisung = !extra.empty();
    std::string ergebnis[2];
    for (const bool rein : {false, true}) {
      V_WertVar[1] = 3, V_WertVar[2] = 10, V_WertVar[3] = 4, V_WertVar[5] = 7, V_WertVar[9] = 400;
      schreibe(eingabe);
      NextBefp = Programm;
      int32_t wert = 0;
      int16_t code;
      if (rein) {
        vela::Zuweisungen neu;
        char *ende = nullptr;
        code = vela::werteAus(Programm, wert, ende, keineZuweisung, neu);
        EXPECT_EQ(std::tuple(NextBefp, V_WertVar[1]), std::tuple(Programm, 3)) << fall;
        neu.uebernimm();
        NextBefp = ende;
      } else {
        code = vela::evalAusdruck(wert, keineZuweisung);
      }
      EXPECT_EQ(V_WertVar[5], 7) << fall;
      ergebnis[rein] = text(code, wert, cursor(), V_WertVar[1]);
    }
    EXPECT_EQ(ergebnis[1], ergebnis[0]) << fall;
    return ergebnis[0];
  });
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
