// G, W and F commands.
#include "commands/geschw.h"

#include <utility>

#include "interp/zustand.h"
#include "motion/achsen.h"
#include "motion/antrieb.h"
#include "motion/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using Ergebnis = std::pair<int, int>;  // error code, command code

class GeschwTest : public VelaTest {
 protected:
  Ergebnis los() {
    const int code = schritt();
    return {code, Befehl};
  }
};

TEST_F(GeschwTest, SpeedOfAllIndices) {
  lade("G 50\nGS 2000\nGE 500\n");
  EXPECT_EQ(los(), Ergebnis(0, 24));
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(MaxGeschw[i], 50);
    EXPECT_EQ(StartGeschw[i], 50);  // pulled down with the maximum
    EXPECT_EQ(RampenInkrement[i], 0);
  }
  EXPECT_EQ(los(), Ergebnis(0, 25));
  EXPECT_EQ(StartGeschw[4], 2000);  // a start speed above the maximum stays
  EXPECT_EQ(MaxGeschw[4], 50);
  EXPECT_EQ(los(), Ergebnis(0, 24));  // GE without an axis is the plain form
  EXPECT_EQ(MaxGeschw[2], 500);
  EXPECT_EQ(StartGeschw[2], 500);
  EXPECT_EQ(EndGeschw[2], 0);
}

TEST_F(GeschwTest, SpeedOfOneIndex) {
  lade("GX 70000\nGEI 200\nGS Y 300\nG\nG Q\nGX 1/0\n");
  EXPECT_EQ(los(), Ergebnis(0, 27));
  EXPECT_EQ(ArgWert3, 0);
  EXPECT_EQ(MaxGeschw[0], 4464);  // low 16 bits
  EXPECT_EQ(RampenInkrement[0], (4464 - 100) / 9);
  EXPECT_EQ(MaxGeschw[1], 1000);
  EXPECT_EQ(los(), Ergebnis(0, 70));
  EXPECT_EQ(EndGeschw[4], 200);
  EXPECT_EQ(EndGeschw[0], 0);
  EXPECT_EQ(los(), Ergebnis(0, 26));
  EXPECT_EQ(StartGeschw[1], 300);
  EXPECT_EQ(RampenInkrement[1], 77);  // (1000 - 300) / 9
  EXPECT_EQ(los(), Ergebnis(19, 0));
  EXPECT_EQ(NextBefp, stelle("G\r"));
  NextBefp = stelle("G Q");
  EXPECT_EQ(los(), Ergebnis(19, 0));
  NextBefp = stelle("GX 1");
  EXPECT_EQ(los(), Ergebnis(28, 0));
  EXPECT_EQ(MaxGeschw[0], 4464);
}

TEST_F(GeschwTest, WaitFormsThatOnlyReport) {
  lade("W 100\nWE 3\nWNE 4+1\nWX\nW I\nV1=1\n");
  AchsLaeuft[0] = 1;  // these forms never wait
  EXPECT_EQ(los(), Ergebnis(0, 62));
  EXPECT_EQ(ArgWert1, 100);
  EXPECT_EQ(NextBefp, stelle("WE"));
  EXPECT_EQ(los(), Ergebnis(0, 63));
  EXPECT_EQ(ArgWert1, 3);
  EXPECT_EQ(los(), Ergebnis(0, 64));
  EXPECT_EQ(ArgWert1, 5);
  EXPECT_EQ(los(), Ergebnis(0, 65));
  EXPECT_EQ(ArgWert3, 0);
  EXPECT_EQ(los(), Ergebnis(0, 65));
  EXPECT_EQ(ArgWert3, 4);
  EXPECT_EQ(NextBefp, stelle("V1=1"));
}

TEST_F(GeschwTest, PlainWaitRepeatsUntilEverythingRests) {
  lade("W  \nW ?\nV2=2\n");
  AchsLaeuft[3] = 1;
  RestSchritte[2] = 4;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(los(), Ergebnis(0, 61));
    EXPECT_EQ(cursor(), 0);
  }
  AchsLaeuft[3] = 0;
  EXPECT_EQ(los(), Ergebnis(0, 61));  // the path index still has steps in Z
  EXPECT_EQ(cursor(), 0);
  RestSchritte[2] = 0;
  BahnAktiv = 1;
  EXPECT_EQ(los(), Ergebnis(0, 61));
  EXPECT_EQ(cursor(), 0);
  BahnAktiv = 0;
  EXPECT_EQ(los(), Ergebnis(0, 61));
  EXPECT_EQ(NextBefp, stelle("W ?"));
  AchsLaeuft[1] = 1;
  EXPECT_EQ(los(), Ergebnis(0, 0));  // unknown text is ignored; the W still waits
  EXPECT_EQ(NextBefp, stelle("W ?"));
  AchsLaeuft[1] = 0;
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(NextBefp, stelle("V2=2"));
}

TEST_F(GeschwTest, KeyListAndAxisSelection) {
  lade("FXY 300, 4, 6\nFXY\nFXY 9, 1/0, 7\nFXY 1,2,3,4,5,6,7,8,9,10\nFXZ\nFA\n");
  const uint8_t erwartet[9] = {44, 4, 6, 8, 2, 13, 12, 7, 1};
  for (int n = 0; n < 2; ++n) {  // the empty list changes nothing
    EXPECT_EQ(los(), Ergebnis(0, 23));
    for (int i = 0; i < 9; ++i) EXPECT_EQ(TeachTasten[i], erwartet[i]) << i;
  }
  EXPECT_EQ(los(), Ergebnis(0, 23));  // a bad value ends the list
  EXPECT_EQ(TeachTasten[0], 9);
  EXPECT_EQ(TeachTasten[1], 4);
  EXPECT_EQ(TeachTasten[2], 6);
  EXPECT_EQ(los(), Ergebnis(0, 23));  // at most nine entries
  for (int i = 0; i < 9; ++i) EXPECT_EQ(TeachTasten[i], i + 1) << i;
  EXPECT_EQ(NextBefp, stelle("FXZ"));
  EXPECT_EQ(los(), Ergebnis(0, 22));
  EXPECT_EQ(ArgWert3, 0);
  EXPECT_EQ(los(), Ergebnis(0, 22));
  EXPECT_EQ(ArgWert3, 3);
}

TEST_F(GeschwTest, DriveEnable) {
  lade("FREION\nFREILOW\nFREIOFF\nFREIHIGH\nFREIONX\nFREIO\nF\n");
  EXPECT_EQ(los(), Ergebnis(0, 66));
  EXPECT_EQ(FreiOn, 1);
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(FreiLowActive, 1);
  EXPECT_EQ(los(), Ergebnis(0, 67));
  EXPECT_EQ(FreiOn, 0);
  EXPECT_EQ(los(), Ergebnis(0, 0));
  EXPECT_EQ(FreiLowActive, 0);
  EXPECT_EQ(los(), Ergebnis(0, 66));  // compared by its characters only
  EXPECT_EQ(los(), Ergebnis(19, 0));
  EXPECT_EQ(NextBefp, stelle("FREIO\r"));
  NextBefp = stelle("F\r");
  EXPECT_EQ(los(), Ergebnis(19, 0));
}

}  // namespace
