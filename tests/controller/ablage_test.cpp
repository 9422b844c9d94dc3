// The store directory: missing images start erased, images of the wrong
// size are moved aside, a write replaces the file (the lock is checked end
// to end).
#include "ablage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_verzeichnis.h"

namespace {

using velatool::Ablage;
using velatool::Bild;

std::string alsText(const Bild &b) { return std::string(b.begin(), b.end()); }

TEST(Ablage, ImagesOfTheWrongSizeAreMovedAside) {
  TempVerzeichnis tmp;
  const std::string dir = tmp.pfad().string();
  std::string eeprom(200, '\0');
  eeprom.replace(0, 9, "PROGE\rX1\r");
  std::ofstream(dir + "/eeprom.bin", std::ios::binary) << eeprom;
  std::ofstream(dir + "/flash.bin", std::ios::binary) << "kurz";
  std::ofstream(dir + "/flash.bin.bad-1") << "an earlier one";
  std::ofstream(dir + "/eeprom.bin.tmp") << "cut short";

  std::ostringstream meldungen;
  Ablage a(dir, meldungen);
  EXPECT_EQ(alsText(a.bild('E')), eeprom);
  EXPECT_EQ(alsText(a.bild('F')), std::string(200, '\xFF'));
  EXPECT_EQ(liesDatei(dir + "/flash.bin"), std::string(200, '\xFF'));
  EXPECT_EQ(liesDatei(dir + "/flash.bin.bad-2"), "kurz");
  EXPECT_EQ(liesDatei(dir + "/flash.bin.bad-1"), "an earlier one");
  EXPECT_FALSE(std::filesystem::exists(dir + "/eeprom.bin.tmp"));
  EXPECT_EQ(meldungen.str(), "vela: " + dir + "/flash.bin has 4 bytes instead of 200; moved to " + dir +
                                 "/flash.bin.bad-2, the FLASH store starts erased\n");
}

TEST(Ablage, MissingImagesStartErasedAndAWriteLeavesOnlyTheImage) {
  TempVerzeichnis tmp;
  const std::string dir = tmp.datei("neu");
  std::ostringstream meldungen;
  Ablage a(dir, meldungen);
  EXPECT_EQ(liesDatei(dir + "/flash.bin"), std::string(200, '\xFF'));
  EXPECT_EQ(liesDatei(dir + "/eeprom.bin"), std::string(200, '\0'));
  Bild b = a.bild('E');
  b[0] = 'P';
  a.schreibe('E', b);
  EXPECT_EQ(liesDatei(dir + "/eeprom.bin"), alsText(b));
  for (const auto &e : std::filesystem::directory_iterator(dir))
    EXPECT_EQ(e.path().extension(), e.path().filename() == "lock" ? "" : ".bin") << e.path();
  EXPECT_EQ(meldungen.str(), "");
}

}  // namespace
