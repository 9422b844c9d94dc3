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
  int16_t (*lies)(void *objekt);  // a character, KEIN_ZEICHEN or KANAL_ENDE; never blocks
  // A character, or KEIN_ZEICHEN once `ticks` ticks have passed without
  // one. Null: the library polls `lies` against the tick source instead.
  int16_t (*liesWarte)(void *objekt, uint32_t ticks);
  void *objekt;  // the binding's own state
};

// The download input stream, opened at the start of every download and
// closed after it. A read waits for the next byte; KANAL_ENDE when the
// stream has ended or cannot deliver any more.
struct LadeStrom {
  bool (*oeffne)(void *objekt);  // false: the stream cannot be opened
  int16_t (*lies)(void *objekt);
  void (*schliesse)(void *objekt);
  void *objekt;
};

// Store letters of the three program stores.
constexpr char SPEICHER_RAM = 'R';
constexpr char SPEICHER_FLASH = 'F';
constexpr char SPEICHER_EEPROM = 'E';

// The devices of one binding.
struct Plattform {
  Kanal host;                                                         // host line; also standard character input and output
  Kanal display;                                                      // display; written only
  void (*displayBefehl)(void *display, uint8_t code);                 // controller command byte
  void (*displayGehe)(void *display, int16_t spalte, int16_t zeile);  // cursor position
  uint32_t (*leseTicks)();  // the tick counter; null: Ticks as the platform's timer leaves it
  uint8_t (*leseTaste)();   // key held down, KEINE_TASTE for none; null: no keypad
  // Switch input n: 0 with *zustand 1 open / 0 closed, else an error code.
  // Null: the console protocol on the host line.
  int16_t (*leseSchalter)(uint8_t n, uint8_t *zustand);
  // Switch output n set to wert; 0 or an error code. Null: the console protocol.
  int16_t (*setzeSchalter)(uint8_t n, uint8_t wert);
  // FLASH: programs one 16-bit word at an even address of the FLASH store
  // (low byte at the even address); 0 or nonzero on a failure. Null: a
  // plain memory write.
  uint8_t (*flashSchreibeWort)(char *adresse, uint16_t wort);
  // FLASH: erases 100 words from the address to 0xFF; 0 or nonzero.
  uint8_t (*flashLoesche)(char *adresse);
  // EEPROM: writes one byte. Null: a plain memory write.
  void (*eepromSchreibe)(char *adresse, char wert);
  // EEPROM: reads one byte back (the write discipline polls with it).
  char (*eepromLies)(const char *adresse);
  // Called once a save, delete or erase has changed a store and before its
  // reply goes out, so that a platform can make the store durable.
  void (*speicherFertig)(char speicher);
  LadeStrom lade;  // the download stream; all null: the file "test.dat"
  // Called in every wait and poll loop of the library, once per round: a
  // platform may sleep, advance simulated time or run its motors there.
  void (*leerlauf)();
  // True once the platform wants the monitor to end; every wait and poll
  // loop gives up then. Null: never.
  bool (*beenden)();
};

extern Plattform Geraete;     // the bound devices
extern Kanal *HostKanal;      // &Geraete.host
extern Kanal *DisplayKanal;   // &Geraete.display
extern Kanal *AktKanal;       // where display text goes: HostKanal or DisplayKanal
extern uint16_t AusgabeZiel;  // route of standard character output: 0 host line, 1 display

// The tick counter. Only the platform's timer advances it (directly, or
// through leseTicks); everything else reads it through getTicks().
extern volatile uint32_t Ticks;

// Installs a binding; AktKanal becomes the display.
void bindePlattform(const Plattform &p);
// The console binding the library starts with.
Plattform konsolPlattform();

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

// Keypad state, written by the platform's keypad scan (and cleared by the
// monitor).
constexpr int kTastenCodes = 256;
extern uint8_t TastenIndex;                // index of the last key
extern uint8_t TastenReserve;              // cleared with the keypad state; unused
extern volatile uint8_t TasteGedrueckt;    // nonzero while a key is waiting
extern uint8_t TastaturAn;                 // keypad enabled
extern uint16_t TastenReserveWort;         // cleared with the keypad state; unused
extern uint8_t TastenCodes[kTastenCodes];  // key code for each TastenIndex

// Load-time values of this file: the console binding, AusgabeZiel 0,
// Ticks 0, the keypad state.
void resetPlattform();

}  // namespace vela
