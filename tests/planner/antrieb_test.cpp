// Drive layer: single-axis moves, console switches, keypad,
// reference runs and the teach-in, against the fake devices.
#include "planner/antrieb.h"

#include <iterator>
#include <vector>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "platform/plattform.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using AntriebTest = MaschinenTest;
using V = std::vector<int64_t>;

// Whole axis tables, one after another, for one comparison.
template <typename... T>
V werte(const T &...feld) {
  V v;
  (v.insert(v.end(), std::begin(feld), std::end(feld)), ...);
  return v;
}

TEST_F(AntriebTest, StartAndStop) {
  DeltaSchritte[1] = INT32_MIN;  // no positive counterpart: one step short
  StopAnforderung[2] = 2;
  startAchsPaar(1, 2);  // a zero delta stays idle
  startAchse(4);        // not a motor axis
  stopAchse(5);         // no axis at all
  stopAchse(4);
  EXPECT_EQ(werte(RestSchritte, StopAnforderung), (V{0, INT32_MAX, 0, 0, 0, 0, 0, 2, 0, 2}));
  EXPECT_EQ(werte(AchsRichtung, AchsLaeuft), (V{0, 1, 0, 0, 0, 1, 0, 0}));
}

// Ramp stage after each tick; near the end it is capped at the steps left minus one.
TEST_F(AntriebTest, StepTickRampsAndFinishes) {
  const auto stufen = [](int32_t delta) {
    DeltaSchritte[0] = delta;
    startAchse(0);
    V v;
    while (AchsLaeuft[0] != 0 && v.size() < 100) {
      stepAchse();
      v.push_back(RampenStufe[0]);
    }
    return v;
  };
  EXPECT_EQ(stufen(3), (V{1, 0, 0}));
  stepAchse();  // nothing left: no step
  EXPECT_EQ(fake.host, "!!!");
  RampenLaenge[0] = 3;
  EXPECT_EQ(stufen(-8), (V{1, 2, 3, 3, 2, 1, 0, 0}));
}

TEST_F(AntriebTest, ConsoleSwitchesOutputsAndKeys) {
  fake.eingabe = "0\n1\nx\n";
  uint8_t z[4] = {7, 7, 7, 7};
  EXPECT_EQ(readSchalter(5, z[0]) + readSchalter(6, z[1]) + readSchalter(200, z[2]), 0);
  EXPECT_EQ(readSchalter(1, z[3]), 1);  // input ended
  EXPECT_EQ(werte(z), (V{0, 1, 1, 1}));
  EXPECT_EQ(setSchalter(11, 0), 0);
  EXPECT_EQ(fake.host, "E 5 :\nE 6 :\nE 200 :\nE 1 :\nSchalter 11 wird 0 \n");

  const int tasten[][3] = {{5, 0x40, 9}, {3, 0x80, 15}, {1, 0x20, 5}, {2, 0x30, 17}};
  for (const auto &t : tasten) EXPECT_EQ(calcTastenCode(t[0], t[1]), t[2]) << t[0] << " " << t[1];
  bindePlattform(konsolPlattform());
  EXPECT_EQ(readTaste(), 17);  // the console has no keypad
}

TEST_F(AntriebTest, ReferenceRuns) {
  SollPos[1] = SollSchritte[1] = SollPos[2] = SollSchritte[2] = 40;
  fake.eingabe = "1\n1\n0\n0\n1\n";  // open, open, closed; closed, released
  Ticks = 0xFFFFFF80u;               // the settling waits cross the wrap
  homeAchse(0, 1, 3);
  EXPECT_EQ(fake.host, "ri 0 ,Achse 1 ,Sch 3E 3 :\nE 3 :\nE 3 :\nE 3 :\nE 3 :\n");
  EXPECT_GE(fake.tickLesungen, 202);  // two waits of 100 ticks
  bindeFakes();
  fake.eingabe = "0\n1\n";  // negative: backs off in the positive direction
  homeAchse(1, 2, 0);
  EXPECT_EQ(werte(SollPos, SollSchritte), V(8, 0));
  EXPECT_EQ(werte(DeltaSchritte, StopAnforderung), (V{0, -10000, 10000, 0, 0, 2, 2, 0, 0}));

  // Input ends before the switch closes: the axis is stopped, its position kept.
  bindeFakes();
  fake.eingabe = "1\n";
  SollPos[0] = SollSchritte[0] = 12;
  homeAchse(0, 0, 4);
  EXPECT_EQ(StopAnforderung[0], 2);
  EXPECT_EQ(werte(SollPos, SollSchritte), (V{12, 0, 0, 0, 12, 0, 0, 0}));
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
  EXPECT_EQ(fake.host, "E 7 :\nE 8 :\nE 7 :\nE 8 :\nE 7 :\nE 8 :\nE 7 :\nE 8 :\n");  // no trace line
  EXPECT_EQ(werte(SollPos, SollSchritte), V(8, 0));
  EXPECT_EQ(werte(DeltaSchritte, StopAnforderung), (V{-10000, 0, 0, 10000, 2, 0, 0, 2, 0}));
}

// A halted move keeps the steps made: the commanded position becomes the
// one reached. An axis at rest is left alone (the path may count its steps).
TEST_F(AntriebTest, HaltEndsAMoveWhereItStands) {
  AchsSchritte[1] = 2;
  planeAchse(0, 100);
  planeAchse(1, 50);  // 100 steps
  startAchsPaar(0, 1);
  for (int i = 0; i < 3; ++i) taktAchse(0), taktAchse(1);
  haltAchse(0);
  planeAchse(1, 10);  // back by 80 from the 100 planned
  startAchse(1);
  for (int i = 0; i < 5; ++i) taktAchse(1);
  haltAchse(1);
  RestSchritte[2] = 7;  // a path's count
  haltAchse(2);
  haltAchse(4);
  EXPECT_EQ(werte(SollSchritte, SollPos), (V{3, 95, 0, 0, 3, 47, 0, 0}));
  EXPECT_EQ(werte(RestSchritte, AchsLaeuft, RampenStufe), (V{0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Switch devices answer at once: the waits for a switch are idle rounds of
// the platform, and they end when it asks to end.
TEST_F(AntriebTest, SwitchWaitsEndWhenThePlatformAsks) {
  bindeFakes(true);
  fake.beendenNach = 40;
  homeAchse(0, 0, 3);
  EXPECT_EQ(fake.leerlaeufe, 40);
  EXPECT_EQ(StopAnforderung[0], 2);
  fake.beendenNach = 90;
  homeAchsPaar(0, 0, 1, 2, 4, 5);
  EXPECT_EQ(fake.leerlaeufe, 90);
  EXPECT_EQ(werte(StopAnforderung), (V{2, 2, 2, 0, 0}));
}

TEST_F(AntriebTest, TeachInJogsUntilTheEndKey) {
  // X- held for two reads and released; A+ and released; 16 is no jog key; end key.
  fake.tasten = {4, 4, 17, 1, 17, 16, 12, 2};
  teachIn();
  EXPECT_EQ(fake.tastenGelesen, 7u);
  EXPECT_EQ(werte(SollSchritte, RestSchritte, StopAnforderung),
            (V{-2000000, 0, 0, 2000000, 2000000, 0, 0, 2000000, 0, 2, 0, 0, 2, 0}));
  bindePlattform(konsolPlattform());
  teachIn();  // no keypad: nothing to wait for
}

TEST_F(AntriebTest, TeachInEndsWhenThePlatformAsks) {
  // Reads of the keys are idle rounds; it ends when the platform asks to,
  // with no key held and with a jog key held.
  for (uint8_t taste : {17, 4}) {
    fake.leerlaeufe = 0;
    fake.beendenNach = 30;
    fake.tasten = decltype(fake.tasten)(1000, taste);
    fake.tastenGelesen = 0;
    teachIn();
    EXPECT_EQ(fake.leerlaeufe, 30) << int{taste};
    EXPECT_LE(fake.tastenGelesen, 32u) << int{taste};
  }
}

}  // namespace
