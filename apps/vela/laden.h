// Loading a program file into the interpreter's program store, the way a
// host does it: read the file, turn its line ends (LF, CR LF or CR) into
// the store's CR, check that it fits, copy it into Programm and follow the
// host calling order up to FetchMarken.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "vela_steuerung.h"

namespace velatool {

// A file that cannot be loaded; what() is the message for the user.
struct LadeFehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Longest program text the store holds (one byte stays for the NUL).
constexpr std::size_t kMaxText = vela::LADE_MAX_TEXT;

// Text with every LF, CR LF and CR line end replaced by one CR.
std::string wandleZeilenenden(std::string_view roh);

// A program file as loaded.
struct Datei {
  std::string text;          // line ends converted to CR
  bool bomEntfernt = false;  // a UTF-8 byte-order mark was skipped
};

// Reads and converts a program file, skipping a UTF-8 byte-order mark;
// throws LadeFehler when the file is missing or unreadable, holds a NUL
// byte, or is larger than the store.
Datei ladeDatei(const std::string &pfad);

// Result of starting a program in the store.
struct Start {
  char *start = nullptr;  // first line of the first program; null: nothing to run
  int16_t marken = 0;     // FetchMarken's code (non-zero: the run must not start)
};

// Resets the library, copies text (already converted, at most kMaxText
// characters) into Programm and follows the host calling order: DelphiInit,
// empty stacks, findFirstProgramm, FetchMarken, isChecking.
Start ladeProgramm(const std::string &text, bool pruefen);

// 1-based line number of a position in Programm (every CR ends a line).
int zeileVon(const char *p);
// Text of the line that holds p, without its line end.
std::string zeilenText(const char *p);
// The position at which execBefehl finds the command: blanks, tabs and line
// ends skipped from p.
char *befehlsStelle(char *p);

}  // namespace velatool
