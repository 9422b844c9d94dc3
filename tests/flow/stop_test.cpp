// SO, STOP, BREAK, Q, ENDE and the END-switch forms.
#include "flow/stop.h"

#include <vector>

#include "flow/ablauf_test.h"
#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using StopTest = VelaTest;

TEST_F(StopTest, RecordingForms) {
  const struct {
    const char *zeile;
    int16_t code, befehl;
    int32_t arg1, arg3;
  } faelle[] = {
      {"STOP 2", 0, 55, 2, 0}, {"STOP", 12, 55, 0, 0},  {"SO 1", 0, 54, 1, 0},   {"S X", 19, 0, 0, 0},
      {"BREAK", 0, 7, 0, 0},   {"BREAK Y", 0, 8, 0, 1}, {"BREAK A", 0, 8, 0, 3}, {"BRAKE", 19, 0, 0, 0},
      {"Q 123", 0, 49, 0, 0},  {"ENDX", 19, 0, 0, 0},   {"ENDOFF", 0, 69, 0, 0},
  };
  for (const auto &f : faelle) {
    lade(std::string("X1\n") + f.zeile + "\nX2\n");
    NextBefp = stelle(f.zeile);
    ArgWert1 = ArgWert3 = 0;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, stelle(f.code == 0 ? "X2" : f.zeile))) << f.zeile;
    EXPECT_EQ(ArgWert1, f.arg1) << f.zeile;
    EXPECT_EQ(ArgWert3, f.arg3) << f.zeile;
  }
  lade("PROGMAIN\nX10\nENDE\n");
  NextBefp = stelle("ENDE");
  EXPECT_TRUE(schrittGibt(0, 21, stelle("X10")));
}

TEST_F(StopTest, EndSwitchSettings) {
  auto eingaenge = [] { return std::vector<int>(EndInputs, EndInputs + 9); };
  const std::vector<int> standard{99, 12, 13, 14, 15, 16, 17, 18, 19};
  lade("ENDON\nENDON 3,4\nENDON 300\nENDLOW\nENDHIGH\nENDON 1,2,3,4,5,6,7,8,9,10\n");
  EXPECT_TRUE(schrittGibt(0, 68, stelle("ENDON 3")));
  EXPECT_EQ(EndOnMode, 1);
  EXPECT_EQ(eingaenge(), standard);
  schritt();
  EXPECT_EQ(EndOnMode, 2);
  schritt();  // only the low byte of 300 is kept
  EXPECT_EQ(eingaenge(), (std::vector<int>{44, 4, 13, 14, 15, 16, 17, 18, 19}));
  EXPECT_TRUE(schrittGibt(0, 0, stelle("ENDHIGH")));
  EXPECT_EQ(EndLowActive, 1);
  schritt();
  EXPECT_EQ(EndLowActive, 0);
  schritt();  // at most nine items are read
  EXPECT_EQ(eingaenge(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  vela_reset();
  EXPECT_EQ(eingaenge(), standard);
}

}  // namespace
