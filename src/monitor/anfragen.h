// Host requests: the request dispatcher, the listing and dump of the
// program stores and the transfer of one program to the host.
//
//   request   argument           replies on the host line         result
//   A         store letter       dump of the store                0; 1 no letter
//   L                            E list, F list, R list           0
//   P         name, LF           store letter + program text,     0; 4 not found;
//                                or "N Programm .. nicht gefunden\r" "N"   2 no name
//   C         name, LF           "Y", then Y / N / F              'C'; 2 no name
//   E, F                         "Y", then Y / N / F (or "N")     the letter
//   none in 300 ticks            nothing                          'F'
#pragma once

#include <cstdint>

namespace vela {

// Ticks the dispatcher waits for the request letter and for a store letter.
constexpr uint32_t kAnfrageFrist = 300;
constexpr uint32_t kSpeicherFrist = 100;
// Ticks before a program name is read, and the longest pause the name
// read waits for its next character.
constexpr uint32_t kNamensPause = 100;
constexpr uint32_t kNamensFrist = 300;
// Ticks after a dump, and after each byte of a FLASH dump.
constexpr uint32_t kDumpPause = 1100;
constexpr uint32_t kFlashBytePause = 1;
constexpr int kNameZeichen = 5;  // longest name a request reads

// Reads and carries out one host request; its result goes to the main loop.
uint8_t hostRequest();
// The store letter, then CR and header line of each of its programs, then CR.
void listStore(char speicher);
// CR and header line of each program of one text, then CR.
void listHeaders(const char *text);
// A title line and the store's whole text.
void dumpStore(char speicher);
// The program text from p to its final line end (the character at p is
// always sent).
void sendProgram(const char *p);
// The final line end of the program that contains p: the CR before the
// next header, else the text's last character.
char *programEnd(const char *p);

}  // namespace vela
