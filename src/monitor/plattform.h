// The seam between the monitor and the controller's devices: the host
// line, the display, its controller, the tick source and the keypad.
//
// A binding is a table of function pointers (no heap, no virtual calls);
// bindePlattform installs one. The library's own binding is the console:
// the host line is standard input and output, the display is the model in
// anzeige.h, ticks are milliseconds of the steady clock, and there is no
// keypad. Tests bind in-memory fakes instead.
//
//   putChar --AusgabeZiel 0--> HostKanal ----> host line
//           --AusgabeZiel 1--> DisplayKanal --> display
//   displayLine -------------> AktKanal (one of the two)
#pragma once

#include <cstdint>

namespace vela {

// Results of a stream read besides a character 0..255.
constexpr int16_t KEIN_ZEICHEN = -1;  // nothing has arrived yet
constexpr int16_t KANAL_ENDE = -2;    // the source has ended: nothing will arrive

// Key code of "no key held" (keypad codes are 0..16).
constexpr uint8_t KEINE_TASTE = 17;
// Key code of a keypad source that has ended (a script run out): waits
// for keys give up.
constexpr uint8_t KEINE_TASTE_MEHR = 0xFF;

// A character stream. Either function may be null: writes are then
// dropped and reads report KANAL_ENDE.
struct Kanal {
  void (*schreibe)(void *objekt, char c);
  int16_t (*lies)(void *objekt);  // a character, KEIN_ZEICHEN or KANAL_ENDE; never blocks forever
  void *objekt;                   // the binding's own state
};

// The devices of one binding. Null functions mean "no such device".
struct Plattform {
  Kanal host;                                          // host line; also standard character input and output
  Kanal display;                                       // display; written only
  void (*displayBefehl)(void *display, uint8_t code);  // controller command byte
  void (*displayGehe)(void *display, int16_t spalte, int16_t zeile);  // cursor position
  uint32_t (*leseTicks)();  // the tick counter Ticks (a source may advance it)
  uint8_t (*leseTaste)();   // key held down, KEINE_TASTE for none
};

extern Plattform Geraete;     // the bound devices
extern Kanal *HostKanal;      // &Geraete.host
extern Kanal *DisplayKanal;   // &Geraete.display
extern Kanal *AktKanal;       // where display text goes: HostKanal or DisplayKanal
extern uint16_t AusgabeZiel;  // route of standard character output: 0 host line, 1 display

// Installs a binding; AktKanal becomes the display.
void bindePlattform(const Plattform &p);
// The console binding the library starts with.
Plattform konsolPlattform();

void kanalSchreibe(Kanal *k, char c);
int16_t kanalLies(Kanal *k);

// Standard character output: to the host line or the display by AusgabeZiel.
void schreibeStandard(char c);
// Standard character input: the host line.
int16_t liesStandard();

// Console binding, AusgabeZiel 0.
void resetPlattform();

}  // namespace vela
