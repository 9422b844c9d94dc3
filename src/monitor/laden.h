// The program download: preamble options, input filter, end mark and
// checksum, from the host's download stream into the RAM store.
//
//   @X ... @Y   options (each counts into LadeSumme)
//   text        lower case, blanks and ;comments outside quotes dropped
//   CR/LF $     end mark at the start of a line
//   h h h h     with option C: the host's sum, most significant byte first
#pragma once

#include <cstdint>

namespace vela {

// LetztesErgebnis after a download that did not load a program (checksum
// mismatch, store full, stream ended or missing): the idle state goes to a
// new download.
constexpr int16_t ERGEBNIS_LADEFEHLER = 1;

// Ticks the display shows "Programm geladen" or a download failure.
constexpr uint32_t kGeladenPause = 1000;

// Results of receiveProgram.
constexpr uint8_t EMPFANG_OK = 0;          // text stored, NUL-terminated
constexpr uint8_t EMPFANG_PRUEFSUMME = 1;  // the host's sum differs
constexpr uint8_t EMPFANG_VOLL = 2;        // the text does not fit the RAM store
constexpr uint8_t EMPFANG_ENDE = 3;        // the stream ended before the end mark
constexpr uint8_t EMPFANG_STILLE = 4;      // the stream was silent longer than its limit

// The download state, from its first message to its last: true when a
// program was received and the run starts; false when the monitor goes back
// to idle (options L and N, a checksum mismatch, a download that could not
// be stored, a stream silent beyond its limit). Sets LetztesErgebnis.
bool downloadState();

// Opens the download stream (the binding's, or the file "test.dat" when the
// binding has none); false when it cannot be opened.
bool ladeDateiOeffnen();
void ladeDateiSchliessen();
// Receives the program body into the RAM store from NextBefp on, starting
// with the byte c already read: acknowledgements, end mark and checksum.
uint8_t receiveProgram(int16_t c);

// Load-time state: no stream open.
void resetLaden();

}  // namespace vela
