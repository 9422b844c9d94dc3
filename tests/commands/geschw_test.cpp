// G, W and F commands.
#include "commands/geschw.h"

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/zustand.h"
#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "support/vela_test.h"

namespace {

using namespace vela;
using GeschwTest = VelaTest;

TEST_F(GeschwTest, Speeds) {
  // One line after the other, one index per row. G pulls the start speed
  // down to the new maximum, GS may set it above; speeds keep 16 bits.
  lade("G 50\nGS 2000\nGE 500\nGX 70000\nGEI 200\nGS Y 300\nG\nG Q\nGX 1/0\n");
  const struct {
    const char *zeile;
    int16_t code, befehl;
    int idx, max, start, end, rampe;
  } faelle[] = {
      {"G 50", 0, BEF_G_ALLE, 4, 50, 50, 0, 0},         {"GS 2000", 0, BEF_GS_ALLE, 0, 50, 2000, 0, 0},
      {"GE 500", 0, BEF_G_ALLE, 2, 500, 500, 0, 0},     {"GX 70000", 0, BEF_G_ACHSE, 0, 4464, 500, 0, 440},
      {"GEI 200", 0, BEF_GE, 4, 500, 500, 200, 0},      {"GS Y 300", 0, BEF_GS_ACHSE, 1, 500, 300, 0, 22},
      {"G\r", 19, BEF_KEINER, 1, 500, 300, 0, 22},      {"G Q", 19, BEF_KEINER, 1, 500, 300, 0, 22},
      {"GX 1/0", 28, BEF_KEINER, 0, 4464, 500, 0, 440},
  };
  for (const auto &f : faelle) {
    NextBefp = stelle(f.zeile);
    char *naechste = std::strchr(NextBefp, '\r') + 1;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, f.code ? stelle(f.zeile) : naechste)) << f.zeile;
    EXPECT_EQ(std::tuple(MaxGeschw[f.idx], StartGeschw[f.idx], EndGeschw[f.idx], RampenInkrement[f.idx]),
              std::tuple(f.max, f.start, f.end, f.rampe))
        << f.zeile;
  }
}

TEST_F(GeschwTest, OneLineForms) {
  // These forms only report; FREI... is compared by its first characters;
  // FreiOn and FreiLowActive carry over from row to row.
  const struct {
    const char *zeile;
    int16_t code, befehl;
    int32_t arg1, arg3;
    int an, low;
  } faelle[] = {
      {"W 100", 0, BEF_W_ZEIT, 100, 9, 0, 0},  {"WE 3", 0, BEF_WE, 3, 9, 0, 0},
      {"WNE 4+1", 0, BEF_WNE, 5, 9, 0, 0},     {"WX", 0, BEF_W_ACHSE, 0, 0, 0, 0},
      {"W I", 0, BEF_W_ACHSE, 0, 4, 0, 0},     {"FXZ", 0, BEF_F_ACHSE, 0, 0, 0, 0},
      {"FA", 0, BEF_F_ACHSE, 0, 3, 0, 0},      {"F", 19, BEF_KEINER, 0, 9, 0, 0},
      {"FREION", 0, BEF_FREION, 0, 9, 1, 0},   {"FREILOW", 0, BEF_KEINER, 0, 9, 1, 1},
      {"FREIOFF", 0, BEF_FREIOFF, 0, 9, 0, 1}, {"FREIHIGH", 0, BEF_KEINER, 0, 9, 0, 0},
      {"FREIONX", 0, BEF_FREION, 0, 9, 1, 0},  {"FREIO", 19, BEF_KEINER, 0, 9, 1, 0},
  };
  for (const auto &f : faelle) {
    lade(std::string(f.zeile) + "\nV1=1\n");
    AchsLaeuft[0] = 1;
    ArgWert1 = 0, ArgWert3 = 9;
    EXPECT_TRUE(schrittGibt(f.code, f.befehl, f.code ? Programm : stelle("V1=1"))) << f.zeile;
    EXPECT_EQ(std::tuple(ArgWert1, ArgWert3, FreiOn, FreiLowActive), std::tuple(f.arg1, f.arg3, f.an, f.low))
        << f.zeile;
  }
}

TEST_F(GeschwTest, PlainWaitRepeatsUntilEverythingRests) {
  lade("W  \nW ?\nV2=2\n");
  AchsLaeuft[3] = 1;
  EXPECT_TRUE(schrittGibt(0, BEF_W, Programm));
  AchsLaeuft[3] = 0, RestSchritte[2] = 4;  // the path index still has steps in Z
  EXPECT_TRUE(schrittGibt(0, BEF_W, Programm));
  RestSchritte[2] = 0, BahnAktiv = 1;
  EXPECT_TRUE(schrittGibt(0, BEF_W, Programm));
  BahnAktiv = 0;
  EXPECT_TRUE(schrittGibt(0, BEF_W, stelle("W ?")));
  AchsLaeuft[1] = 1;  // unknown text is ignored; the W still waits
  EXPECT_TRUE(schrittGibt(0, 0, stelle("W ?")));
  AchsLaeuft[1] = 0;
  EXPECT_TRUE(schrittGibt(0, 0, stelle("V2=2")));
}

TEST_F(GeschwTest, KeyList) {
  lade("FXY 300, 4, 6\nFXY\nFXY 9, 1/0, 7\nFXY 1,2,3,4,5,6,7,8,9,10\nX1\n");
  auto tasten = [] { return std::vector<int>(TeachTasten, TeachTasten + 9); };
  EXPECT_TRUE(schrittGibt(0, BEF_F_TASTEN, stelle("FXY\r")));
  EXPECT_EQ(tasten(), (std::vector<int>{44, 4, 6, 8, 2, 13, 12, 7, 1}));
  EXPECT_TRUE(schrittGibt(0, BEF_F_TASTEN, stelle("FXY 9")));  // the empty list changes nothing
  EXPECT_EQ(tasten(), (std::vector<int>{44, 4, 6, 8, 2, 13, 12, 7, 1}));
  schritt();  // a bad value ends the list
  EXPECT_EQ(tasten(), (std::vector<int>{9, 4, 6, 8, 2, 13, 12, 7, 1}));
  EXPECT_TRUE(schrittGibt(0, BEF_F_TASTEN, stelle("X1")));  // at most nine entries
  EXPECT_EQ(tasten(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
