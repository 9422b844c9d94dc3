// The seam between the library and the controller's devices: the host
// line, the display and its controller, the keypad, the switch inputs and
// outputs, the tick source, the FLASH and EEPROM stores, the download
// stream, and the run control of the platform (idle hook, stop request).
//
// A binding is a table of function pointers (no heap, no virtual calls);
// bindePlattform installs one. A null entry means "no such device" and
// selects the documented default. The library starts with the console
// binding: the host line is standard input and output, the display is the
// model in anzeige.h, a tick is a millisecond of the steady clock, the
// stores are plain memory, the download stream is the file "test.dat", and
// there is no keypad. Tests bind in-memory fakes instead.
//
//   putChar --AusgabeZiel 0--> HostKanal ----> host line
//           --AusgabeZiel 1--> DisplayKanal --> display
//   displayLine -------------> AktKanal (one of the two)
#pragma once

#include <cstdint>

#include "vela_steuerung.h"

namespace vela {

extern Plattform Geraete;     // the bound devices
extern Kanal *HostKanal;      // &Geraete.host
extern Kanal *DisplayKanal;   // &Geraete.display
extern Kanal *AktKanal;       // where display text goes: HostKanal or DisplayKanal
extern uint16_t AusgabeZiel;  // route of standard character output: 0 host line, 1 display

void kanalSchreibe(Kanal *k, char c);
int16_t kanalLies(Kanal *k);
// A character within n ticks, else KEIN_ZEICHEN once they have passed (an
// ended source is polled on until then, as a silent line would be).
int16_t kanalLiesWarte(Kanal *k, uint32_t n);

// Standard character output: to the host line or the display by AusgabeZiel.
void schreibeStandard(char c);
// Standard character input: the host line (never blocks).
int16_t liesStandard();

// The one tick source.
uint32_t getTicks();
// One round of a wait or poll loop: the platform's idle hook.
void leerlauf();
// True once the platform asks the monitor to end.
bool beendenAngefordert();

// The waits of a run (for motions, time, inputs, a reference run, a
// keypad key) look at the host line once per round through the check the
// monitor installs here: true once the host has abandoned the run. Null:
// nothing to look at.
extern bool (*LaufAbfrage)();
// One round of a wait of the run: false when the wait is to end (the
// platform asks to end, or the host has abandoned the run), else true
// after the platform's idle round.
bool laufRunde();

// Keypad state, written by the platform's keypad scan (and cleared by the
// monitor).
constexpr int kTastenCodes = 256;
extern uint8_t TastenIndex;    // index of the last key
extern uint8_t TastenReserve;  // cleared with the keypad state; unused
constexpr uint8_t kTasteGedruecktBeimLaden = 0x80;
extern volatile uint8_t TasteGedrueckt;    // nonzero while a key is waiting
extern uint8_t TastaturAn;                 // keypad enabled
extern uint16_t TastenReserveWort;         // cleared with the keypad state; unused
extern uint8_t TastenCodes[kTastenCodes];  // key code for each TastenIndex

// Load-time values of this file: the console binding, AusgabeZiel 0,
// Ticks 0, the keypad state.
void resetPlattform();

}  // namespace vela
