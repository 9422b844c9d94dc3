// The axis commands A X Y Z, the path index command I and the position
// presets CP CE (moves, queued lines, reference-run requests, scale forms),
// the axis model below them, and the drive layer: single-axis moves, console
// switches, keypad, reference runs and the teach-in, against the fake devices.
#include "planner/achsen.h"

#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "commands/befehle.h"
#include "core/zustand.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "platform/plattform.h"
#include "support/fake_geraete.h"
#include "support/tabelle.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using AntriebTest = MaschinenTest;
using V = std::vector<int64_t>;

class AchsbefehlTest : public VelaTest {
 protected:
  // Runs each line on its own: the step, ArgWert1..4 and, for every axis
  // X Y Z A the line changed, "SollPos/SollSchritte/DeltaSchritte".
  void pruefe(const char *tabelle) {
    const auto achse = [](int a) {
      return std::string(1, "XYZA"[a]) + std::to_string(SollPos[a]) + "/" + std::to_string(SollSchritte[a]) +
             "/" + std::to_string(DeltaSchritte[a]);
    };
    pruefeTabelle(tabelle, [&](const std::string &zeile) {
      std::string vorher[4];
      for (int a = 0; a < 4; ++a) vorher[a] = achse(a);
      lade(zeile + "\n");
      std::string s = schrittText();
      s += " " + text(ArgWert1, ArgWert2, ArgWert3, ArgWert4);
      for (int a = 0; a < 4; ++a)
        if (achse(a) != vorher[a]) s += " " + achse(a);
      return s;
    });
  }
};

TEST_F(AchsbefehlTest, MovesPresetsAndLines) {
  AchsSchritte[1] = 200;
  AchsMM[1] = 3;
  AchsMM[3] = 5;
  V_WertVar[1] = -8;
  pruefe("achsbefehle");
  EXPECT_EQ(countFreieSegmente(), 30);
}

TEST_F(AchsbefehlTest, RequestsAndScales) {
  pruefe("achsbefehle_referenz");
  EXPECT_EQ(std::vector<int32_t>(ReferenzSchalter, ReferenzSchalter + 2), (std::vector<int32_t>{2, 8}));
  EXPECT_EQ(std::vector<int32_t>(AchsMM, AchsMM + 5), (std::vector<int32_t>{4, 1, 2, 1, 4}));
  EXPECT_EQ(std::vector<int32_t>(AchsSchritte, AchsSchritte + 5), (std::vector<int32_t>{1, 7, 1, 1, 3}));
}

// Conversion truncates toward zero without an overflow trap.
TEST_F(AchsbefehlTest, AxisModel) {
  AchsSchritte[1] = 200;
  AchsMM[1] = 3;
  AchsMM[2] = -1;
  EXPECT_EQ(toEinheiten(1, 666), 9);
  EXPECT_EQ(toSchritte(2, INT32_MIN), INT32_MIN);

  // Ramp increments: a start speed above the travel speed gives 0; the
  // start speed counts as at least 4, the ramp as at least 2 stages.
  StartGeschw[1] = 2000;
  StartGeschw[2] = 2;
  RampenLaenge[3] = 0;
  for (uint8_t a = 0; a < 4; ++a) calcRampe(a);
  EXPECT_EQ(std::vector<int>(RampenInkrement, RampenInkrement + 4), (std::vector<int>{100, 0, 110, 900}));
  EXPECT_EQ(StartGeschw[2], 2);

  // The actual position of a moving axis counts back the steps left.
  SollPos[0] = 100;
  DeltaSchritte[0] = 40;
  RestSchritte[0] = 15;
  EXPECT_EQ(readIstPos(0), 85);
  DeltaSchritte[0] = -40;
  EXPECT_EQ(readIstPos(0), 115);
  EXPECT_EQ(readIstPos(4), 0);
}

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
  EXPECT_EQ(std::tuple(fake.leerlaeufe, StopAnforderung[0]), std::tuple(40, 2));
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
    EXPECT_TRUE(fake.leerlaeufe == 30 && fake.tastenGelesen <= 32u) << int{taste};
  }
}

}  // namespace
