// SO, STOP, BREAK, Q, ENDE and the END-switch forms.
#include "flow/stop.h"

#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using StopTest = VelaTest;

struct Fall {
  const char *zeile;
  int16_t code;
  int16_t befehl;
  int32_t arg1, arg3;  // expected ArgWert1 and ArgWert3 (-9: not checked)
};

TEST_F(StopTest, RecordingForms) {
  const Fall faelle[] = {
      {"STOP 2", 0, 55, 2, -9}, {"STOP", 12, 55, -9, -9}, {"SO 1", 0, 54, 1, -9},    {"S X", 19, 0, -9, -9},
      {"BREAK", 0, 7, -9, -9},  {"BREAK Y", 0, 8, -9, 1}, {"BREAK A", 0, 8, -9, 3},  {"BRAKE", 19, 0, -9, -9},
      {"Q 123", 0, 49, -9, -9}, {"ENDX", 19, 0, -9, -9},  {"ENDOFF", 0, 69, -9, -9},
  };
  for (const Fall &f : faelle) {
    lade(std::string("X1\n") + f.zeile + "\nX2\n");
    NextBefp = stelle(f.zeile);
    EXPECT_EQ(schritt(), f.code) << f.zeile;
    EXPECT_EQ(Befehl, f.befehl) << f.zeile;
    EXPECT_EQ(NextBefp, f.code == 0 ? stelle("X2") : stelle(f.zeile)) << f.zeile;
    if (f.arg1 != -9) {
      EXPECT_EQ(vela::ArgWert1, f.arg1) << f.zeile;
    }
    if (f.arg3 != -9) {
      EXPECT_EQ(vela::ArgWert3, f.arg3) << f.zeile;
    }
  }
}

TEST_F(StopTest, EndeReturnsToTheProgramStart) {
  lade("PROGMAIN\nX10\nENDE\n");
  NextBefp = stelle("ENDE");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 21);
  EXPECT_EQ(NextBefp, stelle("X10"));
}

TEST_F(StopTest, EndSwitchSettings) {
  const uint8_t standard[9] = {99, 12, 13, 14, 15, 16, 17, 18, 19};
  lade("ENDON\nENDON 3,4\nENDON 300\nENDLOW\nENDHIGH\nENDOFF\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 68);
  EXPECT_EQ(vela::EndOnMode, 1);
  EXPECT_TRUE(std::equal(standard, standard + 9, vela::EndInputs));
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::EndOnMode, 2);
  EXPECT_EQ(vela::EndInputs[0], 3);
  EXPECT_EQ(vela::EndInputs[1], 4);
  EXPECT_EQ(vela::EndInputs[2], 13);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::EndInputs[0], 44);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::EndLowActive, 1);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::EndLowActive, 0);
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::EndOnMode, 0);
  // At most nine items are read.
  lade("ENDON 1,2,3,4,5,6,7,8,9,10\n");
  EXPECT_EQ(schritt(), 0);
  EXPECT_EQ(vela::EndInputs[8], 9);
  vela_reset();
  EXPECT_TRUE(std::equal(standard, standard + 9, vela::EndInputs));
}

}  // namespace
