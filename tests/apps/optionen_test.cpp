// The command-line values that the tool parses itself.
#include "optionen.h"

#include <gtest/gtest.h>

using namespace velatool;

TEST(Optionen, InputsOverTimeAndKeys) {
  const auto e = leseEingaben("3=1,4=-2@0.25,3=0@1");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].nummer, 3);
  EXPECT_EQ(e[0].wert, 1);
  EXPECT_EQ(e[0].ab, 0);
  EXPECT_EQ(e[1].nummer, 4);
  EXPECT_EQ(e[1].wert, -2);
  EXPECT_EQ(e[1].ab, 250 * kMilli);
  EXPECT_EQ(e[2].ab, kSekunde);
  for (const char *schlecht :
       {"", "3=", "=1", "3=1,", "3=1x", "3=1@", "3=1@-1", "256=1", "3=4294967296", " 3=1"})
    EXPECT_THROW(leseEingaben(schlecht), OptionsFehler) << schlecht;

  const auto t = leseTasten("0.5=7,2=16");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].ab, 500 * kMilli);
  EXPECT_EQ(t[0].code, 7);
  EXPECT_EQ(t[1].code, 16);
  for (const char *schlecht : {"1=17", "1=-1", "x=1", "1", "1=2,"})
    EXPECT_THROW(leseTasten(schlecht), OptionsFehler);

  EXPECT_EQ(lesePositiv("12", "--max-steps"), 12);
  for (const char *schlecht : {"0", "-1", "1e3", "12x", ""})
    EXPECT_THROW(lesePositiv(schlecht, "--max-steps"), OptionsFehler) << schlecht;
  EXPECT_DOUBLE_EQ(leseSekunden("0.5", "--max-time"), 0.5);
  EXPECT_THROW(leseSekunden("0", "--max-time"), OptionsFehler);
}
