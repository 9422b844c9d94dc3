// The interpreter allocates nothing while it executes (counted in the plain
// builds; the sanitizers bring their own allocator).
#include <cstddef>
#include <string>

#include "support/allokationszaehler.h"
#include "support/vela_test.h"

namespace {

using AllokationTest = VelaTest;

TEST_F(AllokationTest, ExecBefehlAllocatesNothing) {
#ifdef VELA_ZAEHLT_NICHT
  GTEST_SKIP() << "allocations are counted in the plain builds";
#endif
  ASSERT_EQ(lade("V1=V1+1\nV2=(V1*3+7)/2^2\nX 100 Y 50\nV3=VV1%7\nQ\nL3\nV4=V4+1\nL\n"
                 "IL 10, 20, 30\nG 500\nD 2 V1\nCW 10, 0\nV5=XP\nJ M1\nM1\nENDE\n"),
            0);
  vela_setTestDatei("");
  allokationen::zaehler = 0;
  allokationen::aktiv = true;
  int schritte = 0;
  for (; schritte < 200 && Befehl != BEF_ENDE; ++schritte) execBefehl();
  allokationen::aktiv = false;
  EXPECT_EQ(allokationen::zaehler, 0);
  EXPECT_GT(schritte, 10);
  // The counter itself sees an allocation.
  allokationen::aktiv = true;
  std::string probe(100, 'x');
  allokationen::aktiv = false;
  EXPECT_GE(allokationen::zaehler, 1);
}

}  // namespace
