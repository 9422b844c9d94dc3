// G, W and F commands.
#include "commands/geschw.h"

#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/antrieb.h"
#include "motion/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using GeschwTest = VelaTest;

TEST_F(GeschwTest, SpeedOfAllIndices) {
  lade("G 50\nGS 2000\nGE 500\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 24);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(MaxGeschw[i], 50);
    EXPECT_EQ(StartGeschw[i], 50);  // pulled down with the maximum
    EXPECT_EQ(RampenInkrement[i], 0);
  }
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 25);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(StartGeschw[i], 2000);  // a start speed above the maximum stays
    EXPECT_EQ(MaxGeschw[i], 50);
  }
  ASSERT_EQ(schritt(), 0);  // GE with no axis is the plain form
  EXPECT_EQ(Befehl, 24);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(MaxGeschw[i], 500);
    EXPECT_EQ(StartGeschw[i], 500);
    EXPECT_EQ(EndGeschw[i], 0);
  }
}

TEST_F(GeschwTest, SpeedOfOneIndex) {
  lade("GX 70000\nGEI 200\nGS Y 300\nGZ V3\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 27);
  EXPECT_EQ(ArgWert3, 0);
  EXPECT_EQ(MaxGeschw[0], 4464);  // low 16 bits
  EXPECT_EQ(StartGeschw[0], 100);
  EXPECT_EQ(RampenInkrement[0], (4464 - 100) / 9);
  EXPECT_EQ(MaxGeschw[1], 1000);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 70);
  EXPECT_EQ(EndGeschw[4], 200);
  EXPECT_EQ(EndGeschw[0], 0);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 26);
  EXPECT_EQ(ArgWert3, 1);
  EXPECT_EQ(StartGeschw[1], 300);
  EXPECT_EQ(RampenInkrement[1], 77);  // (1000 - 300) / 9
  V_WertVar[3] = 20;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(MaxGeschw[2], 20);
  EXPECT_EQ(StartGeschw[2], 20);
}

TEST_F(GeschwTest, BadSpeedForms) {
  lade("G\nG Q\nGX 1/0\n");
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(cursor(), 0);  // back at the failing line
  NextBefp = stelle("G Q");
  EXPECT_EQ(schritt(), 19);
  NextBefp = stelle("GX");
  EXPECT_EQ(schritt(), 28);
  EXPECT_EQ(NextBefp, stelle("GX"));
  EXPECT_EQ(MaxGeschw[0], 1000);
  EXPECT_EQ(Befehl, 0);
}

TEST_F(GeschwTest, WaitFormsThatOnlyReport) {
  lade("W 100\nWE 3\nWNE 4+1\nWX\nW I\nV1=1\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 62);
  EXPECT_EQ(ArgWert1, 100);
  EXPECT_EQ(NextBefp, stelle("WE"));
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 63);
  EXPECT_EQ(ArgWert1, 3);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 64);
  EXPECT_EQ(ArgWert1, 5);
  AchsLaeuft[0] = 1;  // the reporting forms never wait
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 65);
  EXPECT_EQ(ArgWert3, 0);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(ArgWert3, 4);
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(GeschwTest, PlainWaitRepeatsUntilEverythingRests) {
  lade("V1=1\nW  \nV2=2\n");
  ASSERT_EQ(schritt(), 0);
  char *w = stelle("W");
  AchsLaeuft[3] = 1;
  RestSchritte[2] = 4;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(schritt(), 0);
    EXPECT_EQ(Befehl, 61);
    EXPECT_EQ(NextBefp, w);
  }
  AchsLaeuft[3] = 0;
  ASSERT_EQ(schritt(), 0);  // the path index still has steps in Z
  EXPECT_EQ(NextBefp, w);
  RestSchritte[2] = 0;
  BahnAktiv = 1;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(NextBefp, w);
  BahnAktiv = 0;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 61);
  EXPECT_EQ(NextBefp, stelle("V2=2"));
}

TEST_F(GeschwTest, WaitWithUnknownTextStillWaits) {
  lade("W ?\nV2=2\n");
  AchsLaeuft[0] = 1;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(cursor(), 0);
  AchsLaeuft[0] = 0;
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(NextBefp, stelle("V2=2"));
}

TEST_F(GeschwTest, KeyListAndAxisSelection) {
  lade("FXY 12, 4, 6\nFXY\nFXY 1,2,3,4,5,6,7,8,9,10\nFX\nFXZ\nFA\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 23);
  const uint8_t erwartet[9] = {12, 4, 6, 8, 2, 13, 12, 7, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(TeachTasten[i], erwartet[i]) << i;
  ASSERT_EQ(schritt(), 0);  // an empty list changes nothing
  EXPECT_EQ(Befehl, 23);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(TeachTasten[i], erwartet[i]) << i;
  ASSERT_EQ(schritt(), 0);  // at most nine entries
  for (int i = 0; i < 9; ++i) EXPECT_EQ(TeachTasten[i], i + 1) << i;
  EXPECT_EQ(NextBefp, stelle("FX\r"));
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 22);
  EXPECT_EQ(ArgWert3, 0);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 22);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(ArgWert3, 3);
}

TEST_F(GeschwTest, KeyListStoresLowByteAndStopsAtABadValue) {
  lade("FXY 300, 1/0, 7\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(TeachTasten[0], 44);
  EXPECT_EQ(TeachTasten[1], 4);
  EXPECT_EQ(TeachTasten[2], 6);
}

TEST_F(GeschwTest, DriveEnable) {
  lade("FREION\nFREILOW\nFREIOFF\nFREIHIGH\nFREIONX\nFREIO\nF\n");
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 66);
  EXPECT_EQ(FreiOn, 1);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(FreiLowActive, 1);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 67);
  EXPECT_EQ(FreiOn, 0);
  ASSERT_EQ(schritt(), 0);
  EXPECT_EQ(Befehl, 0);
  EXPECT_EQ(FreiLowActive, 0);
  ASSERT_EQ(schritt(), 0);  // compared by its characters only
  EXPECT_EQ(FreiOn, 1);
  EXPECT_EQ(schritt(), 19);
  EXPECT_EQ(NextBefp, stelle("FREIO\r"));
  NextBefp = stelle("F\r");
  EXPECT_EQ(schritt(), 19);
}

}  // namespace
