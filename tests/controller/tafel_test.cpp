// The display model of the library as the tool renders it: rows that run
// on in the display's memory order, placements off the display, log
// entries and the frame.
#include "tafel.h"

#include <gtest/gtest.h>

namespace {

using velatool::Tafel;

TEST(Tafel, RowsRunOnAndPlacementsOffTheDisplayDrop) {
  vela::Anzeige a;
  Tafel t(a);
  EXPECT_FALSE(t.geaendert());
  // Past the end of a row: row 0 -> 2 -> 1 -> 3 -> 0.
  a.gehe(17, 0);
  for (char c : std::string("ABCDEFGH")) a.schreibe(c);
  a.gehe(18, 3);
  for (char c : std::string("WXYZ")) a.schreibe(c);
  EXPECT_EQ(t.zeile(0), "YZ" + std::string(15, ' ') + "ABC");
  EXPECT_EQ(t.zeile(2), "DEFGH" + std::string(15, ' '));
  a.gehe(0, 4);
  a.schreibe('Q');
  a.gehe(-1, 0);
  a.schreibe('Q');
  a.gehe(0, 1);
  a.schreibe('\r');
  a.schreibe('\xE4');
  EXPECT_EQ(t.zeile(1), "?\xE4" + std::string(18, ' '));
  EXPECT_EQ(t.zeile(3), std::string(18, ' ') + "WX");
  EXPECT_TRUE(t.geaendert());

  t.gesehen();
  a.gehe(0, 1);
  a.schreibe('\r');  // the same character: no change
  EXPECT_FALSE(t.geaendert());
  a.befehl(1);
  const std::string leer(20, ' ');
  EXPECT_EQ(t.logEintrag(4711), "@4711\n" + leer + "\n" + leer + "\n" + leer + "\n" + leer + "\n");
  a.schreibe('1');  // clear homes the cursor
  EXPECT_EQ(t.rahmen({1, -22, 0, 123456}),
            "+--------------------+\n"
            "|1                   |   X           1\n"
            "|                    |   Y         -22\n"
            "|                    |   Z           0\n"
            "|                    |   A      123456\n"
            "+--------------------+\n");
  EXPECT_EQ(t.rahmen(nullptr, "  ").substr(0, 50), "  +--------------------+\n  |1                   |\n");
}

}  // namespace
