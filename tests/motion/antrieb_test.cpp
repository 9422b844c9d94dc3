// Drive layer: single-axis moves, idle tests, console switches, keypad,
// reference runs and the teach-in, against the fake devices.
#include "motion/antrieb.h"

#include <string>
#include <vector>

#include "interp/zustand.h"
#include "monitor/plattform.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using AntriebTest = MaschinenTest;

std::string mal(const std::string &text, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += text;
  return s;
}

TEST_F(AntriebTest, StartAndStop) {
  DeltaSchritte[1] = -5;
  DeltaSchritte[3] = INT32_MIN;  // no positive counterpart: one step short
  startAchsPaar(1, 3);
  EXPECT_EQ(RestSchritte[1], 5);
  EXPECT_EQ(AchsRichtung[1], 1);
  EXPECT_EQ(AchsLaeuft[1], 1);
  EXPECT_EQ(RestSchritte[3], INT32_MAX);

  StopAnforderung[2] = 2;
  startAchse(2);  // zero delta: stays idle
  startAchse(4);  // not a motor
  stopAchse(5);
  EXPECT_EQ(AchsLaeuft[2], 0);
  EXPECT_EQ(StopAnforderung[2], 2);
  EXPECT_EQ(RestSchritte[4], 0);
  stopAchse(4);
  EXPECT_EQ(StopAnforderung[4], 2);
}

TEST_F(AntriebTest, StepTickRampsAndFinishes) {
  DeltaSchritte[0] = 3;
  startAchse(0);
  stepAchse();
  EXPECT_EQ(RampenStufe[0], 1);
  stepAchse();
  EXPECT_EQ(RampenStufe[0], 0);  // capped at the steps left minus one
  stepAchse();
  EXPECT_EQ(AchsLaeuft[0], 0);
  stepAchse();  // nothing left: no step
  EXPECT_EQ(fake.host, "!!!");

  RampenLaenge[0] = 3;
  DeltaSchritte[0] = -8;
  startAchse(0);
  std::vector<int> stufen;
  for (int i = 0; i < 8; ++i) {
    stepAchse();
    stufen.push_back(RampenStufe[0]);
  }
  EXPECT_EQ(stufen, (std::vector<int>{1, 2, 3, 3, 2, 1, 0, 0}));
  EXPECT_TRUE(isAchseFertig(0));
}

TEST_F(AntriebTest, IdleTests) {
  for (int16_t a = 0; a < 5; ++a) EXPECT_TRUE(isAchseFertig(a));
  RestSchritte[1] = 1;  // steps left in Y without a queued path
  EXPECT_FALSE(isAchseFertig(4));
  EXPECT_TRUE(isAchseFertig(1));  // a motor axis looks at its run flag only
  RestSchritte[1] = 0;
  RestSchritte[3] = 9;  // A is not part of the path
  EXPECT_TRUE(isAchseFertig(4));
  BahnAktiv = 1;
  EXPECT_FALSE(isAchseFertig(4));
}

TEST_F(AntriebTest, ConsoleSwitchesOutputsAndKeys) {
  fake.eingabe = "0\n1\nx\n";
  uint8_t z = 7;
  EXPECT_EQ(readSchalter(5, z), 0);
  EXPECT_EQ(z, 0);
  EXPECT_EQ(readSchalter(6, z), 0);
  EXPECT_EQ(z, 1);
  EXPECT_EQ(readSchalter(200, z), 0);
  EXPECT_EQ(z, 1);
  EXPECT_EQ(readSchalter(1, z), 1);  // input ended
  EXPECT_EQ(setSchalter(11, 0), 0);
  EXPECT_EQ(fake.host, "E 5 :\nE 6 :\nE 200 :\nE 1 :\nSchalter 11 wird 0 \n");

  EXPECT_EQ(calcTastenCode(5, 0x40), 9);
  EXPECT_EQ(calcTastenCode(3, 0x80), 15);
  EXPECT_EQ(calcTastenCode(1, 0x20), 5);
  EXPECT_EQ(calcTastenCode(2, 0x30), 17);
  bindePlattform(konsolPlattform());
  EXPECT_EQ(readTaste(), 17);  // the console has no keypad
}

TEST_F(AntriebTest, ReferenceRunPositive) {
  SollPos[1] = 40;
  SollSchritte[1] = 80;
  fake.eingabe = "1\n1\n0\n0\n1\n";  // open, open, closed; closed, released
  Ticks = 0xFFFFFF80u;               // the settling waits cross the wrap
  homeAchse(0, 1, 3);
  EXPECT_EQ(fake.host, "ri 0 ,Achse 1 ,Sch 3" + mal("E 3 :\n", 5));
  EXPECT_EQ(SollPos[1], 0);
  EXPECT_EQ(SollSchritte[1], 0);
  EXPECT_EQ(DeltaSchritte[1], -10000);  // backed off negative
  EXPECT_EQ(StopAnforderung[1], 2);
  EXPECT_EQ(fake.gelesen, fake.eingabe.size());
  EXPECT_GE(fake.tickLesungen, 202);  // two waits of 100 ticks
}

TEST_F(AntriebTest, ReferenceRunNegativeAndLostInput) {
  fake.eingabe = "0\n1\n";
  homeAchse(1, 2, 0);
  EXPECT_EQ(DeltaSchritte[2], 10000);
  EXPECT_EQ(SollPos[2], 0);

  // Input ends before the switch closes: the axis is stopped, its position kept.
  bindeFakes();
  fake.eingabe = "1\n";
  SollPos[0] = SollSchritte[0] = 12;
  homeAchse(0, 0, 4);
  EXPECT_EQ(RestSchritte[0], INT32_MAX);
  EXPECT_EQ(AchsRichtung[0], 0);
  EXPECT_EQ(StopAnforderung[0], 2);
  EXPECT_EQ(SollPos[0], 12);
  EXPECT_EQ(SollSchritte[0], 12);

  bindeFakes();
  homeAchse(0, 9, 1);  // no such axis: only the trace
  EXPECT_EQ(fake.host, "ri 0 ,Achse 9 ,Sch 1");
}

TEST_F(AntriebTest, ReferenceRunOfTwoAxes) {
  SollPos[0] = SollSchritte[0] = 5;
  SollPos[3] = SollSchritte[3] = 6;
  // out: (open, closed), (closed, closed); back: (open, closed), (open, open)
  fake.eingabe = "1\n0\n0\n0\n1\n0\n1\n1\n";
  homeAchsPaar(0, 1, 0, 3, 7, 8);
  EXPECT_EQ(fake.host, mal("E 7 :\nE 8 :\n", 4));  // no trace line
  EXPECT_EQ(DeltaSchritte[0], -10000);
  EXPECT_EQ(DeltaSchritte[3], 10000);
  for (int a : {0, 3}) {
    EXPECT_EQ(SollPos[a], 0);
    EXPECT_EQ(SollSchritte[a], 0);
    EXPECT_EQ(StopAnforderung[a], 2);
  }
}

TEST_F(AntriebTest, TeachInJogsUntilTheEndKey) {
  V_xyTeached = PunktEintrag{4, 5};
  // X- held for two reads and released; A+ and released; 16 is no jog key; end key.
  fake.tasten = {4, 4, 17, 1, 17, 16, 12, 2};
  teachIn();
  EXPECT_EQ(V_xyTeached.X, 0);
  EXPECT_EQ(V_xyTeached.Y, 0);
  EXPECT_EQ(SollSchritte[0], -2000000);
  EXPECT_EQ(RestSchritte[0], 2000000);
  EXPECT_EQ(StopAnforderung[0], 2);
  EXPECT_EQ(SollSchritte[3], 2000000);
  EXPECT_EQ(fake.tastenGelesen, 7u);

  bindeFakes();
  fake.tasten = {12, 8};  // with the initial table, Z+ is the end key
  teachIn();
  EXPECT_EQ(fake.tastenGelesen, 1u);
  bindePlattform(konsolPlattform());
  teachIn();  // no keypad: nothing to wait for
  clearAchsen();
  for (int a = 0; a < 4; ++a) EXPECT_EQ(DeltaSchritte[a], 0);
}

}  // namespace
