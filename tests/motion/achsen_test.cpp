// Unit conversion and ramp increments of the axis model.
#include "motion/achsen.h"

#include "support/vela_test.h"

namespace {

using AchsenTest = VelaTest;
using namespace vela;

TEST_F(AchsenTest, ConversionTruncatesTowardZero) {
  AchsSchritte[0] = 1;
  AchsMM[0] = 3;
  EXPECT_EQ(toSchritte(0, 10), 3);
  EXPECT_EQ(toSchritte(0, -10), -3);
  AchsSchritte[1] = 200;
  AchsMM[1] = 3;
  EXPECT_EQ(toSchritte(1, 10), 666);
  EXPECT_EQ(toEinheiten(1, 666), 9);
  AchsMM[2] = -1;
  EXPECT_EQ(toSchritte(2, INT32_MIN), INT32_MIN);  // no overflow trap
}

TEST_F(AchsenTest, RelativePlanningDoesNotAccumulateTruncation) {
  AchsMM[0] = 2;
  planeAchse(0, SollPos[0] + 1);
  EXPECT_EQ(DeltaSchritte[0], 0);
  planeAchse(0, SollPos[0] + 1);
  EXPECT_EQ(DeltaSchritte[0], 1);
  EXPECT_EQ(SollSchritte[0], 1);
}

TEST_F(AchsenTest, Ramp) {
  calcRampe(0);
  EXPECT_EQ(RampenInkrement[0], 100);
  MaxGeschw[1] = 50;
  StartGeschw[1] = 50;
  calcRampe(1);
  EXPECT_EQ(RampenInkrement[1], 0);
  StartGeschw[2] = 2;
  calcRampe(2);
  EXPECT_EQ(RampenInkrement[2], (1000 - 4) / 9);
  EXPECT_EQ(StartGeschw[2], 2);
  RampenLaenge[3] = 0;
  calcRampe(3);
  EXPECT_EQ(RampenInkrement[3], 900);
}

TEST_F(AchsenTest, ActualPositionOfAMovingAxis) {
  SollPos[0] = 100;
  DeltaSchritte[0] = 40;
  RestSchritte[0] = 15;
  EXPECT_EQ(readIstPos(0), 85);
  DeltaSchritte[0] = -40;
  EXPECT_EQ(readIstPos(0), 115);
  EXPECT_EQ(readIstPos(4), 0);
}

}  // namespace
