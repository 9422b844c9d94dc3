// The axis commands A X Y Z, the path index command I and the position
// presets CP CE: moves, queued lines, reference-run requests, scale forms;
// and the axis model below them.
#include <initializer_list>
#include <string>
#include <vector>

#include "commands/befehle.h"
#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

class AchsbefehlTest : public VelaTest {
 protected:
  // Runs each line on its own and records "code @cursor Befehl-name ArgWert1..4"
  // and, for every axis X Y Z A the line changed, "SollPos/SollSchritte/DeltaSchritte".
  std::vector<std::string> lauf(std::initializer_list<const char *> zeilen) {
    const auto achse = [](int a) {
      return std::string(" ") + "XYZA"[a] + std::to_string(SollPos[a]) + "/" +
             std::to_string(SollSchritte[a]) + "/" + std::to_string(DeltaSchritte[a]);
    };
    std::vector<std::string> v;
    for (const char *z : zeilen) {
      std::string vorher[4];
      for (int a = 0; a < 4; ++a) vorher[a] = achse(a);
      lade(std::string(z) + "\n");
      const int16_t code = schritt();
      std::string s = std::to_string(code) + " @" + std::to_string(cursor()) + " " + vela_befehlsname(Befehl);
      for (int32_t w : {ArgWert1, ArgWert2, ArgWert3, ArgWert4}) s += " " + std::to_string(w);
      for (int a = 0; a < 4; ++a)
        if (achse(a) != vorher[a]) s += achse(a);
      v.push_back(s);
    }
    return v;
  }
};

// A second axis X Y Z A makes a two-axis move (the same axis twice: the
// last value wins, the delta counts from before the command); anything
// else ends the command. A failed expression changes no position. Planning
// from the target in units does not accumulate the truncation to steps.
// CP sets all axes or one (to 0 without a value), CE only reports. IL
// plans X Y Z in steps; an incomplete line, and one longer than the tick's
// 32-bit error terms, are refused and queue nothing.
TEST_F(AchsbefehlTest, MovesPresetsAndLines) {
  AchsSchritte[1] = 200;
  AchsMM[1] = 3;
  AchsMM[3] = 5;
  V_WertVar[1] = -8;
  EXPECT_EQ(lauf({"X 100", "X 40",     "Y 10",          "A 5 X 3",   "A 7",
                  "A 10",  "X 5 X 7",  "X 5 I 3",       "Z 1 Y V1",  "X 1 Y",
                  "X",     "CP X 100", "CP 5",          "CE 7",      "CE Y 3",
                  "CP X",  "CP",       "IL 10, 20, 30", "IL 10, 20", "IL 1073741834, 0, 0"}),
            (std::vector<std::string>{"0 @6 BEF_ACHSE 100 0 0 0 X100/100/100",
                                      "0 @5 BEF_ACHSE 40 0 0 0 X40/40/-60",
                                      "0 @5 BEF_ACHSE 666 0 1 0 Y10/666/666",
                                      "0 @8 BEF_ACHSPAAR 1 3 3 0 X3/3/-37 A5/1/1",
                                      "0 @4 BEF_ACHSE 1 3 3 0 A7/1/0",
                                      "0 @5 BEF_ACHSE 2 3 3 0 A10/2/1",
                                      "0 @8 BEF_ACHSPAAR 5 7 0 0 X7/7/4",
                                      "0 @8 BEF_ACHSE 5 7 0 0 X5/5/-2",
                                      "0 @9 BEF_ACHSPAAR 1 -533 2 1 Y-8/-533/-1199 Z1/1/1",
                                      "12 @0 BEF_ACHSPAAR 1 -533 0 1",
                                      "12 @0 BEF_KEINER 1 -533 0 1",
                                      "0 @9 BEF_CP_ACHSE 100 -533 0 1 X100/100/-2",
                                      "0 @5 BEF_CP_ALLE 5 -533 0 1 X5/5/-2 Y5/333/-1199 Z5/5/1 A5/1/1",
                                      "0 @5 BEF_CE_ALLE 7 -533 0 1",
                                      "0 @7 BEF_CE_ACHSE 3 -533 1 1",
                                      "0 @5 BEF_CP_ACHSE_NULL 3 -533 0 1 X0/0/-2",
                                      "0 @3 BEF_CP_ALLE_NULL 3 -533 0 1 Y0/0/-1199 Z0/0/1 A0/0/1",
                                      "0 @14 BEF_KEINER 10 20 30 1 X10/10/10 Y20/1333/1333 Z30/30/30",
                                      "12 @0 BEF_KEINER 10 20 30 1",
                                      "2 @0 BEF_KEINER 1073741834 0 0 1"}));
  EXPECT_EQ(countFreieSegmente(), 30);
}

// Reference-run requests take a second axis Y Z A only, and keep the
// switch number of each pair for the side that runs it (a one-axis request
// leaves the second one alone); I requests take a number or an axis. A
// scale of 0 is refused.
TEST_F(AchsbefehlTest, RequestsAndScales) {
  EXPECT_EQ(lauf({"XH 0, 3 YH 1, 4", "ZH 5, 6 AH 7, 8", "XH 1, 2 XH 3, 4", "XH 1", "I 5", "I X 5", "IH 3",
                  "I ?", "XMM 4", "YS 7", "ZMQ 2", "XMM 0", "XS 0", "AS", "IMM 4", "IS 0", "IS 3"}),
            (std::vector<std::string>{
                "0 @16 BEF_HOME_PAAR 0 1 0 1", "0 @16 BEF_HOME_PAAR 5 7 2 3", "0 @16 BEF_HOME 1 7 0 3",
                "12 @0 BEF_KEINER 1 7 0 3", "0 @4 BEF_I_ALLGEMEIN 5 1 0 3", "0 @6 BEF_I_ALLGEMEIN 5 0 0 3",
                "0 @5 BEF_IH 3 1 0 3", "19 @0 BEF_I_ALLGEMEIN 3 0 0 3", "0 @6 BEF_SKALA_MM 4 0 0 3",
                "0 @5 BEF_SKALA_SCHRITTE 7 0 1 3", "0 @6 BEF_SKALA_MM 2 0 2 3", "39 @0 BEF_KEINER 0 0 0 3",
                "39 @0 BEF_KEINER 0 0 0 3", "12 @0 BEF_KEINER 0 0 3 3", "0 @6 BEF_SKALA_MM 4 0 3 3",
                "39 @0 BEF_KEINER 0 0 3 3", "0 @5 BEF_SKALA_SCHRITTE 3 0 3 3"}));
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

}  // namespace
