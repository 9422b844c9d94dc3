// The controller's display model, its log entries and frame, and the keys.
#include <gtest/gtest.h>

#include "tafel.h"

namespace {

using velatool::Tafel;

TEST(Tafel, RowsClipAndPlacementsOffTheDisplayDrop) {
  Tafel t;
  EXPECT_FALSE(t.geaendert());
  t.gehe(17, 1);
  for (char c : std::string("ABCDE")) t.schreibe(c);
  EXPECT_EQ(t.zeile(1), std::string(17, ' ') + "ABC");
  t.gehe(0, 4);
  t.schreibe('Q');
  t.gehe(-1, 0);
  t.schreibe('Q');
  EXPECT_EQ(t.zeile(0), std::string(20, ' '));
  t.gehe(0, 3);
  t.schreibe('\r');
  t.schreibe('\xE4');
  EXPECT_EQ(t.zeile(3), "?\xE4" + std::string(18, ' '));
  EXPECT_TRUE(t.geaendert());

  t.gesehen();
  t.gehe(0, 3);
  t.schreibe('\r');  // the same character: no change
  EXPECT_FALSE(t.geaendert());
  t.befehl(3);
  t.schreibe('H');
  EXPECT_EQ(t.zeile(0), "H" + std::string(19, ' '));
  t.befehl(1);
  const std::string leer(20, ' ');
  EXPECT_EQ(t.logEintrag(4711), "@4711\n" + leer + "\n" + leer + "\n" + leer + "\n" + leer + "\n");
  t.schreibe('1');  // clear homes the cursor
  EXPECT_EQ(t.rahmen({1, -22, 0, 123456}),
            "+--------------------+\n"
            "|1                   |   X           1\n"
            "|                    |   Y         -22\n"
            "|                    |   Z           0\n"
            "|                    |   A      123456\n"
            "+--------------------+\n");
}

}  // namespace
