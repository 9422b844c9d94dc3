// State of the controller monitor shared by its parts: the run mode and
// flags that the download preamble sets, the result of the last step or
// download, and the running download sum.
#pragma once

#include <cstdint>

namespace vela {

// Run modes (Betriebsart).
constexpr uint16_t BETRIEB_NORMAL = 0;   // steps run one after another
constexpr uint16_t BETRIEB_A = 1;        // option A: runs like normal
constexpr uint16_t BETRIEB_REMOTE = 6;   // remote step: one step per host '@' 'W'
constexpr uint16_t BETRIEB_DISPLAY = 7;  // display step: program text on the display, a console key per step
constexpr uint16_t BETRIEB_EINZEL = 8;   // single step: line echo, a keypad key per step

// LetztesErgebnis after the host's N between steps: a new download follows.
constexpr int16_t ERGEBNIS_ABBRUCH = 98;

extern uint16_t Betriebsart;     // run mode for the loaded program; 0 on every return to idle
extern uint8_t PruefsummeAn;     // 1: compare LadeSumme with the host's sum at the end mark
extern uint8_t ZeilenQuittung;   // 1: acknowledge every stored line end
extern uint8_t TraceAn;          // 1: show each command line on display row 0 before it runs
extern int16_t LetztesErgebnis;  // result of the last step or download; idle starts a run only at 0
extern uint32_t LadeSumme;       // running sum of every download byte since start-up

// Load-time values of this file.
void resetMonitorZustand();

}  // namespace vela
