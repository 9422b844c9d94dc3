// Program lookup in the three areas, the choice of the first program, and
// the task scheduler.
#include "core/programme.h"

#include <cstring>

#include "core/zustand.h"
#include "support/vela_test.h"

namespace {

using namespace vela;

class ProgrammeTest : public VelaTest {
 protected:
  // Writes text (with '\n' as CR) into an area from its start.
  static void inBereich(char *bereich, const std::string &text) {
    for (size_t i = 0; i < text.size(); ++i) bereich[i] = text[i] == '\n' ? '\r' : text[i];
  }
};

TEST_F(ProgrammeTest, FirstProgramIsMainThenAnUnnamedText) {
  lade("X10\nPROG7\nY5\n");
  EXPECT_EQ(NextBefp, Programm);
  EXPECT_EQ(lade("PROG7\nY5\n"), -1);  // FLASH and EEPROM empty as at load
  // Unnamed texts: RAM, then FLASH, then EEPROM; MAIN anywhere wins.
  inBereich(EepromArea, "X3\n");
  EXPECT_EQ(findFirstProgramm(), EepromStart);
  inBereich(FlashArea, std::string("X2\n\0", 4));
  EXPECT_EQ(findFirstProgramm(), FlashStart);
  inBereich(EepromArea, "PROGMAIN\nX4\n");
  EXPECT_EQ(findFirstProgramm(), EepromArea + 9);
}

TEST_F(ProgrammeTest, LookupByName) {
  schreibe("PROG50\rX1\rPROG5\rX2\rPROG2\rX9\r");
  inBereich(FlashArea, std::string("PROG1\nX1\n\0PROG2\nX2\n\0\xFF", 21));  // a chain of texts
  EXPECT_EQ(findProgramm("5", 'R'), stelle("X2"));
  EXPECT_EQ(findProgramm("50", 'R'), stelle("X1"));
  EXPECT_EQ(findProgramm("6", 'R'), nullptr);
  EXPECT_EQ(findProgramm("5", 'Q'), nullptr);
  char bereich = 0;
  EXPECT_EQ(findProgrammAnywhere("2", &bereich), FlashArea + 16);  // FLASH first
  EXPECT_EQ(bereich, 'F');
  EXPECT_EQ(findProgrammAnywhere("7", &bereich), nullptr);
  // CR LF line ends hide the header; a header without CR has no body.
  schreibe("X\r\nPROG5\r\nX2\rPROG6");
  EXPECT_EQ(findProgramm("5", 'R'), nullptr);
  EXPECT_EQ(findProgramm("6", 'R'), nullptr);
}

TEST_F(ProgrammeTest, SearchesStayInsideFullAreas) {
  // Areas without any end mark: neither search may leave the area.
  std::memset(FlashArea, 'X', kBereichGroesse);
  std::memset(EepromArea, 'X', kBereichGroesse);
  std::memset(Programm, 'X', sizeof Programm);
  std::memcpy(Programm + sizeof Programm - 7, "\rPROG5\r", 7);  // body would be past the store
  for (char b : {'F', 'E', 'R'}) EXPECT_EQ(findProgramm("5", b), nullptr) << b;
  EXPECT_EQ(findProgramm("ABCDEFGHIJKLMN", 'R'), nullptr);  // 14 characters
}

}  // namespace
