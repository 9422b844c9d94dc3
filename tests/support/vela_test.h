// Test fixture: every test starts from the library's load-time state and
// loads its program text the way a host does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "vela.h"
#include "vela_befehle.h"

class VelaTest : public ::testing::Test {
 protected:
  void SetUp() override { vela_reset(); }

  // Copies text into Programm ('\n' becomes the store's CR line end),
  // then follows the host calling order up to FetchMarken.
  int16_t lade(const std::string &text);
  // Copies the text as it is, without converting line ends or initialising.
  void schreibe(const std::string &text);
  // Address of the first occurrence of s in Programm (fails the test if absent).
  char *stelle(const std::string &s, int vorkommen = 1);
  // Offset of the cursor in Programm.
  long cursor() const { return NextBefp - Programm; }
  // Executes one command.
  int16_t schritt() { return execBefehl(); }
  // Executes one command: "code BEF_NAME @offset "text from the cursor to its line end"".
  std::string schrittText();
  // "@offset "text from p to its line end"" of a place in Programm.
  std::string stelleText(const char *p) const;
  // Evaluates one V line "V<n>=<ausdruck>" and returns V<n>; the code goes to *code.
  int32_t rechne(const std::string &ausdruck, int16_t *code = nullptr);
};

// The name of a command code, or its number.
std::string befehlsText(int code);

// Executes one command and compares its code, Befehl and the cursor.
inline ::testing::AssertionResult schrittGibt(int16_t code, int16_t befehl, const char *cursor) {
  const int16_t c = execBefehl();
  if (c == code && Befehl == befehl && NextBefp == cursor) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got code " << c << ", Befehl " << Befehl << ", cursor +" << (NextBefp - Programm)
         << "; expected " << code << ", " << befehl << ", +" << (cursor - Programm);
}
