// The text cursor NextBefp and the primitives every handler reads its line
// with. They never move the cursor past the NUL that ends a text, and
// never back before the start of the running program or of the store.
#pragma once

#include <cstdint>

namespace vela {

inline bool istZeilenende(char c) { return c == '\r' || c == '\n'; }
inline bool istZiffer(char c) { return c >= '0' && c <= '9'; }

// 1 for space or tab.
int16_t isBlank(char c);
// Steps over spaces (not tabs) at the cursor.
void skipBlanks();
// Steps over one character (never over the NUL), then over spaces.
void nextNonBlank();
// 1 when c is one of the characters of the NUL-terminated set.
int16_t isInSet(char c, const char *set);
// I 4, X 0, Y 1, Z 2, every other character (A among them) 3.
uint8_t axisIndex(char c);
// 1 for a digit 0..9 or the letter V.
int16_t isNumberStart(char c);
// First character of the set in the rest of the line, or NUL.
char findInLine(const char *set);
// Steps *p over spaces; 1 when it then stands on CR or LF.
uint8_t isLineEndAfterBlanks(char *&p);
// Mode 0: to the start of the next non-empty line (or onto the NUL);
// any other mode: back to the start of the current line.
void skipLine(int16_t mode);
// True when the text at the cursor begins with the keyword (compared
// character by character, upper case, with no test for the end of a word).
bool folgtWort(const char *wort);
// Characters before the first CR or LF, at most 21.
uint8_t lineLength(const char *p);
// The command letter execBefehl finds from p: p past blanks and line ends.
char *befehlsStelle(char *p);

// Start of the store (RAM, FLASH or EEPROM area) that holds p, or null.
const char *bereichStart(const char *p);

}  // namespace vela
