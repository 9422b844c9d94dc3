// The error report on the display, against the fake devices.
#include "monitor/fehlerbericht.h"

#include <string>

#include "platform/kanal.h"
#include "support/fake_geraete.h"

namespace {

using namespace vela;
using FehlerberichtTest = MaschinenTest;
const std::string kLeer(20, ' ');

TEST_F(FehlerberichtTest, ErrorReportShowsMessageAndTwoLinesCutToTheRow) {
  const std::string lang = "GQ 345678901234567890123456";
  for (const std::string vorher : {"", "V1=1\n"}) {
    lade(vorher + lang + "\nV7=1\nV1=1\n");
    displayLine(3, "alt", 20);
    ASSERT_EQ(vorher.empty() ? 0 : schritt(), 0);
    ASSERT_EQ(schritt(), 19);
    fake.display.clear();
    reportError(19);
    EXPECT_EQ(fake.display, std::string(80, ' ') + "falscher Befehl" + lang.substr(0, 20) + "V7=1") << vorher;
    EXPECT_EQ(zeile(0), "falscher Befehl     ");
    EXPECT_EQ(zeile(3), kLeer);
    EXPECT_EQ(NextBefp, stelle("V1=1", vorher.empty() ? 1 : 2));
  }
  reportError(99);  // no such code: no message
  EXPECT_EQ(zeile(0), kLeer);
}

}  // namespace
