// Program lookup in the three areas, the choice of the first program, and
// the task scheduler.
#include "flow/programme.h"

#include <cstring>

#include "interp/zustand.h"
#include "support/vela_test.h"

namespace {

using vela::findProgramm;

class ProgrammeTest : public VelaTest {
 protected:
  // Writes text (with '\n' as CR) into an area from its start.
  static void inBereich(char *bereich, const std::string &text) {
    for (size_t i = 0; i < text.size(); ++i) bereich[i] = text[i] == '\n' ? '\r' : text[i];
  }
};

TEST_F(ProgrammeTest, FirstProgramIsMainThenUnnamedThenNothing) {
  EXPECT_EQ(lade("X10\nPROGMAIN\nY5\n"), 0);
  EXPECT_EQ(NextBefp, stelle("Y5"));
  EXPECT_EQ(vela::ProgStart[0], stelle("Y5"));

  lade("X10\nPROG7\nY5\n");
  EXPECT_EQ(NextBefp, Programm);

  EXPECT_EQ(lade("PROG7\nY5\n"), -1);
  EXPECT_EQ(vela::ProgStart[0], nullptr);

  schreibe("");
  EXPECT_EQ(findFirstProgramm(), nullptr);  // FLASH as at load: 0xFF first
  EXPECT_EQ(vela::FlashArea[vela::kBereichGroesse + 1], '\xFF');
}

TEST_F(ProgrammeTest, FirstProgramFallsBackToFlashThenEeprom) {
  schreibe("PROG7\rY5\r");
  inBereich(vela::EepromArea, "X3\n");
  EXPECT_EQ(findFirstProgramm(), vela::EepromStart);
  inBereich(vela::FlashArea, "X2\n");
  vela::FlashArea[3] = '\0';
  EXPECT_EQ(findFirstProgramm(), vela::FlashStart);
  // MAIN anywhere wins, sought in RAM before FLASH and EEPROM.
  inBereich(vela::EepromArea, "PROGMAIN\nX4\n");
  EXPECT_EQ(findFirstProgramm(), vela::EepromArea + 9);
}

TEST_F(ProgrammeTest, NameMatchIsExactAndBodyFollowsHeader) {
  schreibe("PROG50\rX1\rPROG5\rX2\r");
  EXPECT_EQ(findProgramm("5", 'R'), stelle("X2"));
  EXPECT_EQ(findProgramm("50", 'R'), stelle("X1"));
  EXPECT_EQ(findProgramm("6", 'R'), nullptr);
  EXPECT_EQ(findProgramm("5", 'Q'), nullptr);
  // CR LF line ends hide the header; a header without CR has no body.
  schreibe("X\r\nPROG5\r\nX2\rPROG6");
  EXPECT_EQ(findProgramm("5", 'R'), nullptr);
  EXPECT_EQ(findProgramm("6", 'R'), nullptr);
}

TEST_F(ProgrammeTest, FlashIsAChainOfTextsAndCallsSearchFlashFirst) {
  inBereich(vela::FlashArea, std::string("PROG1\nX1\n\0PROG2\nX2\n\0\xFF", 21));
  EXPECT_EQ(findProgramm("2", 'F'), vela::FlashArea + 16);
  EXPECT_EQ(findProgramm("3", 'F'), nullptr);
  schreibe("PROG2\rX9\r");
  char bereich = 0;
  EXPECT_EQ(vela::findProgrammAnywhere("2", &bereich), vela::FlashArea + 16);
  EXPECT_EQ(bereich, 'F');
  EXPECT_EQ(vela::findProgrammAnywhere("7", &bereich), nullptr);
  EXPECT_EQ(bereich, 'F');
}

TEST_F(ProgrammeTest, SearchesStayInsideFullAreas) {
  // Areas without any end mark: neither search may leave the area.
  std::memset(vela::FlashArea, 'X', vela::kBereichGroesse);
  std::memset(vela::EepromArea, 'X', vela::kBereichGroesse);
  std::memset(Programm, 'X', sizeof Programm);
  std::memcpy(Programm + sizeof Programm - 7, "\rPROG5\r", 7);  // body would be past the store
  for (char b : {'F', 'E', 'R'}) EXPECT_EQ(findProgramm("5", b), nullptr) << b;
  EXPECT_EQ(findProgramm("ABCDEFGHIJKLMN", 'R'), nullptr);  // 14 characters
}

TEST_F(ProgrammeTest, NextTaskFollowsPrioritiesAndCounts) {
  vela::TaskPrio[0] = 1, vela::TaskPrio[1] = 0, vela::TaskPrio[2] = 127;
  vela::TaskCount[0] = 2, vela::TaskCount[1] = 1, vela::TaskCount[2] = 0;
  EXPECT_EQ(vela::nextTask(), 1);
  EXPECT_EQ(vela::TaskCount[0], 1);
  vela::AktTask = 1;
  EXPECT_EQ(vela::nextTask(), 0);
  EXPECT_EQ(vela::TaskCount[1], 1);
  EXPECT_EQ(vela::TaskCount[0], 2);
  // The current task's count at 0: no switching, nothing counts.
  vela::AktTask = 0;
  vela::TaskCount[0] = 0;
  EXPECT_EQ(vela::nextTask(), 0);
  EXPECT_EQ(vela::TaskCount[1], 1);
}

}  // namespace
