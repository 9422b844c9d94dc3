// The store directory: erased images for missing files, images of the
// wrong size moved aside, atomic replacement, the lock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ablage.h"
#include "support/temp_verzeichnis.h"

namespace {

using velatool::Ablage;
using velatool::AblageFehler;
using velatool::Bild;

std::string lies(const std::string &pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  std::stringstream s;
  s << ein.rdbuf();
  return s.str();
}

std::string alsText(const Bild &b) { return std::string(b.begin(), b.end()); }

TEST(Ablage, MissingImagesStartErased) {
  TempVerzeichnis tmp;
  const std::string dir = tmp.datei("tief/unten");
  std::ostringstream meldungen;
  Ablage a(dir, meldungen);
  EXPECT_EQ(lies(dir + "/flash.bin"), std::string(200, '\xFF'));
  EXPECT_EQ(lies(dir + "/eeprom.bin"), std::string(200, '\0'));
  EXPECT_EQ(alsText(a.bild('F')), std::string(200, '\xFF'));
  EXPECT_EQ(alsText(a.bild('E')), std::string(200, '\0'));
  EXPECT_EQ(meldungen.str(), "");
}

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
  EXPECT_EQ(lies(dir + "/flash.bin"), std::string(200, '\xFF'));
  EXPECT_EQ(lies(dir + "/flash.bin.bad-2"), "kurz");
  EXPECT_EQ(lies(dir + "/flash.bin.bad-1"), "an earlier one");
  EXPECT_FALSE(std::filesystem::exists(dir + "/eeprom.bin.tmp"));
  EXPECT_EQ(meldungen.str(), "vela: " + dir + "/flash.bin has 4 bytes instead of 200; moved to " + dir +
                                 "/flash.bin.bad-2, the FLASH store starts erased\n");
}

TEST(Ablage, WritesReplaceTheFileAndTheLockKeepsOthersOut) {
  TempVerzeichnis tmp;
  const std::string dir = tmp.pfad().string();
  std::ostringstream meldungen;
  {
    Ablage a(dir, meldungen);
    Bild b = a.bild('F');
    b[0] = 'P';
    b[199] = 0;
    a.schreibe('F', b);
    EXPECT_EQ(lies(dir + "/flash.bin"), alsText(b));
    EXPECT_EQ(alsText(a.bild('F')), alsText(b));
    EXPECT_FALSE(std::filesystem::exists(dir + "/flash.bin.tmp"));

    try {
      Ablage zweite(dir, meldungen);
      ADD_FAILURE() << "a second controller took the directory";
    } catch (const AblageFehler &e) {
      EXPECT_EQ(std::string(e.what()), "another controller uses the store directory " + dir);
    }
  }
  Ablage danach(dir, meldungen);  // the lock went with the first
  EXPECT_EQ(danach.bild('F')[0], 'P');
}

}  // namespace
