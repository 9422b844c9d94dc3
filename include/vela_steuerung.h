// vela_steuerung.h - the controller side of the library, for the programs
// that run the controller monitor or simulate a controller (C++).
//
// The library carries the controller's monitor: its main loop runs
// programs through the interpreter with up to three tasks, talks to a host
// over one character line and shows messages on a 4 x 20 display. The
// controller's devices reach it through a platform: a table of function
// pointers that a program binds before it starts the monitor. A null entry
// means "no such device" and selects the documented default.
#ifndef VELA_STEUERUNG_H
#define VELA_STEUERUNG_H

#include <cstddef>
#include <cstdint>

#include "vela.h"
#include "vela_befehle.h"

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
// closed after it. A read returns the next byte, KEIN_ZEICHEN while none
// has arrived (the download then idles and reads again), or KANAL_ENDE
// when the stream has ended or cannot deliver any more.
struct LadeStrom {
  bool (*oeffne)(void *objekt);  // false: the stream cannot be opened
  int16_t (*lies)(void *objekt);
  void (*schliesse)(void *objekt);
  void *objekt;
  // Silence limit: once the text of a download has begun (its first byte
  // after the preamble), a stream that delivers nothing for this many ticks
  // ends the download, which loads nothing. 0: no limit. The preamble has
  // none: a controller waits for its host for ever.
  uint32_t stilleFrist;
};

// ---- The download filter ---------------------------------------------
//
// What the download stores of a program text: outside quoted text it
// drops the lower-case letters a-z, blanks and tabs, and a ';' with the
// rest of its line (the line end is kept). A '"' opens quoted text; the
// next '"' or line end (CR, LF) closes it. The bytes NUL and 0xFF are
// dropped everywhere. Every other byte is stored as it came. The monitor's
// download, the host client's size check and its sum guess use this one
// filter.
struct LadeFilter {
  bool imText = false;       // inside quoted text
  bool imKommentar = false;  // after ';', up to the line end
  // Feeds the next byte of the text; true when the download stores it.
  bool nimmt(uint8_t c);
};
// Bytes the download stores of a text of n bytes (its NUL not counted),
// the text fed through one LadeFilter.
std::size_t ladeLaenge(const char *text, std::size_t n);
// The size rule: the RAM store holds a text of at most LADE_MAX_TEXT
// stored bytes, with its NUL behind them.
constexpr std::size_t LADE_MAX_TEXT = VELA_PROGRAMM_GROESSE - 1;
constexpr bool passtInsProgramm(std::size_t gespeichert) { return gespeichert <= LADE_MAX_TEXT; }

// Store letters of the three program stores.
constexpr char SPEICHER_RAM = 'R';
constexpr char SPEICHER_FLASH = 'F';
constexpr char SPEICHER_EEPROM = 'E';

// The devices of one binding. Every plain function of the table gets the
// binding's `kontext` as its first argument, so that a binding keeps its
// state in an object of its own (the channels, the display and the
// download stream carry their own object instead).
struct Plattform {
  Kanal host;                                          // host line; also standard character input and output
  Kanal display;                                       // display; written only
  void (*displayBefehl)(void *display, uint8_t code);  // controller command byte
  void (*displayGehe)(void *display, int16_t spalte, int16_t zeile);  // cursor position
  uint32_t (*leseTicks)(void *kontext);  // the tick counter; null: Ticks as the platform's timer leaves it
  uint8_t (*leseTaste)(void *kontext);   // key held down, KEINE_TASTE for none; null: no keypad
  // Switch input n: 0 with *zustand 1 open / 0 closed, else an error code.
  // Null: the console protocol on the host line.
  int16_t (*leseSchalter)(void *kontext, uint8_t n, uint8_t *zustand);
  // Switch output n set to wert; 0 or an error code. Null: the console protocol.
  int16_t (*setzeSchalter)(void *kontext, uint8_t n, uint8_t wert);
  // FLASH: programs one 16-bit word at an even address of the FLASH store
  // (low byte at the even address); 0 or nonzero on a failure. Null: a
  // plain memory write.
  uint8_t (*flashSchreibeWort)(void *kontext, char *adresse, uint16_t wort);
  // FLASH: erases 100 words from the address to 0xFF; 0 or nonzero.
  uint8_t (*flashLoesche)(void *kontext, char *adresse);
  // EEPROM: writes one byte. Null: a plain memory write.
  void (*eepromSchreibe)(void *kontext, char *adresse, char wert);
  // EEPROM: reads one byte back (the write discipline polls with it).
  char (*eepromLies)(void *kontext, const char *adresse);
  // Called once a save, delete or erase has changed a store and before its
  // reply goes out, so that a platform can make the store durable.
  void (*speicherFertig)(void *kontext, char speicher);
  LadeStrom lade;  // the download stream; all null: the file "test.dat"
  // Called in every wait and poll loop of the library, once per round: a
  // platform may sleep, advance simulated time or run its motors there.
  void (*leerlauf)(void *kontext);
  // True once the platform wants the monitor to end; every wait and poll
  // loop gives up then. Null: never.
  bool (*beenden)(void *kontext);
  void *kontext;  // the binding's own state, handed to the functions above
};

// ---- Stores and keypad of a platform ---------------------------------
//
// A platform that keeps the FLASH and EEPROM stores elsewhere (in files, in
// a device) loads their images before the monitor starts and takes them
// out again in its speicherFertig hook. An image is the store's
// SPEICHER_GROESSE bytes as the interpreter reads them: erased FLASH bytes
// are 0xFF, an empty EEPROM holds NUL bytes.
constexpr int SPEICHER_GROESSE = 200;
// Copies an image into the FLASH (SPEICHER_FLASH) or EEPROM
// (SPEICHER_EEPROM) store; false, changing nothing, for another letter.
// Programs found in the store before are invalid afterwards: call it
// before the monitor starts, never during a run.
bool setzeSpeicherBild(char speicher, const uint8_t (&bild)[SPEICHER_GROESSE]);
// Copies the store's current image out; false for another letter.
bool leseSpeicherBild(char speicher, uint8_t (&bild)[SPEICHER_GROESSE]);

// The keypad scan of a platform reports a key press (code 0..16): the
// keypad state that the monitor reads is set as the controller's scan sets
// it: the key's index, its code in the code table at that index, and the
// flag of a waiting key, which stays set until the monitor has taken the
// key. False, changing nothing, while the previous key still waits (a
// platform keeps the press until then) and for codes above 16.
bool meldeTaste(uint8_t code);

// The tick counter. Only the platform's timer advances it (directly, or
// through leseTicks); the library reads it, for the operand T and every
// wait, through the one tick source.
extern volatile uint32_t Ticks;

// Installs a binding; display text goes to the display.
void bindePlattform(const Plattform &p);
// The console binding the library starts with.
Plattform konsolPlattform();

// ---- The controller monitor ------------------------------------------
//
// monitorMain is the controller's program: start-up and banner, then idle,
// download and the run of the loaded programs, one command per step with up
// to three tasks, run control from the host between steps, trace, single
// and display step, the error report. Every wait and poll goes through the
// platform (tick source, leerlauf); the monitor returns only once the
// platform's beenden asks it to. With a platform that never asks it never
// returns.
void monitorMain();

// The executor: the controller side of a step. The monitor calls it
// around every execBefehl of a run, with the context it was installed with:
//
//   ergebnis = executor(kontext, VOR_SCHRITT, 0)      cursor on the line to execute
//   if ergebnis == 0:
//     ergebnis = execBefehl()
//     e = executor(kontext, NACH_SCHRITT, ergebnis)   Befehl and argument cells as
//     if ergebnis == 0: ergebnis = e                  the step left them
//
// A nonzero result is an error code of FehlerTxt: the monitor reports it
// on the line of the step as it reports a failing command (after a failing
// NACH_SCHRITT the cursor goes back to that line). The executor may wait,
// in rounds of the platform's leerlauf (where the motors run), and must
// give up once the platform's beenden asks to end. The default executor
// does what the controller does for each command code (docs/executor.md).
enum SchrittPhase : uint8_t {
  VOR_SCHRITT = 0,   // before execBefehl: set V_Handshake, let motions finish
  NACH_SCHRITT = 1,  // after execBefehl: start moves, show texts, wait, switch
};
using Ausfuehrer = int16_t (*)(void *kontext, SchrittPhase phase, int16_t ergebnis);
// Installs an executor and the context it is called with; null installs
// the default one.
void setAusfuehrer(Ausfuehrer a, void *kontext = nullptr);
// The default executor (a platform's own executor may call it for the
// codes it does not handle itself).
int16_t standardAusfuehrer(SchrittPhase phase, int16_t ergebnis);

// ---- The check walk --------------------------------------------------
//
// pruefGang walks every program of the RAM store in check mode
// (isChecking) to find its errors, loaded as a host loads it (the text in
// Programm, the stacks empty). It steps with the monitor's step: the
// installed executor before and after each execBefehl, as in a run, with
// what check mode leaves to the caller done by the step itself (RETURN
// goes back to the line after the last call, with no open call on to the
// next line; a jump into another program collects that program's labels).
// It follows the flow from the first program's labels and start, then
// starts again at every line the flow never reached, with the labels of
// the program that holds it; a failing line is reported and the walk goes
// on with the next line, as after ENDE, LOAD, a header and a line that
// would wait. A line executes at most 20 times; the motions a step starts
// end at once (a queued path is run out with the motor scheduler). Waits of
// the executor should give up at once (a platform that asks to end). Every
// error is reported where it is found, a line again each time it fails.
struct PruefMelder {
  // A failing line: the position of its command (or, for the labels of the
  // first program, where FetchMarken left the cursor) and the error code.
  void (*fehler)(void *objekt, const char *zeile, int16_t code);
  // A line that executed without an error, Befehl and UngelesenAb as the
  // step left them. May be null.
  void (*schritt)(void *objekt, const char *zeile);
  void *objekt;
};
// The steps made, at most maxSchritte.
long pruefGang(const PruefMelder &melder, long maxSchritte);

// ---- Motors: what a platform's idle hook drives ----------------------
//
// The library plans moves; the platform makes the steps, through the one
// motor scheduler below (MotorTakt), which its idle hook runs. A
// single-axis move (axes 0..3) runs while its running flag is set: one
// taktAchse per step, at the rate achsGeschw gives for the ramp stage
// reached. The path (X, Y, Z together: lines, and arcs while the monitor
// runs) runs while BahnAktiv is set: one stepBahn per lead-axis step at
// the rate BahnGeschw. A stop request (stopAchse, BREAK, an error) is
// honoured by the path tick itself; a single axis is ended by haltAchse.

// One step tick of a single-axis move of axis 0..3; the step made: -1, 0, +1.
int8_t taktAchse(uint8_t achse);
// Step rate of a single-axis move at its ramp stage (larger is faster).
uint32_t achsGeschw(uint8_t achse);
// 0..3: no single-axis move of the axis runs; 4: no path and no steps left in X Y Z.
bool isAchseFertig(int16_t achse);
// Requests a stop of axis 0..3 or of the path (4).
void stopAchse(int16_t achse);
// Ends a running single-axis move where it stands; the steps not made are
// taken off the axis's commanded position. Nothing for an axis at rest.
void haltAchse(uint8_t achse);

// The steps of one motor tick.
struct MotorSchritt {
  uint8_t quelle;       // 0..3: the single-axis move of that axis; 4: the path
  int32_t schritte[4];  // steps X Y Z A made in the tick: -1, 0, +1 (an arc's last: onto its end point)
  uint8_t segmentEnde;  // path: the tick ended the running segment
  uint8_t kreis;        // path: the tick stepped an arc
};
// One tick of the path (nothing while no path runs), with the steps it made.
void stepBahn(MotorSchritt &schritt);

// The motor scheduler. Given the time that passed, it makes the steps of
// every running single-axis move (taktAchse at achsGeschw) and of the path
// (stepBahn at BahnGeschw), ends a single-axis move whose stop was
// requested (haltAchse), counts the steps into `position` and reports
// them. Time is counted in nanoseconds; a step rate v is v steps per 1000
// ticks of nsProTick each, at most kMaxRate. A motion that starts makes
// its first step one period after the previous round.
class MotorTakt {
 public:
  static constexpr uint32_t kMaxRate = 1000000;         // fastest step rate
  static constexpr long kMaxSchritteProRunde = 100000;  // per axis and round; beyond, time is let go

  struct Melder {
    // After every tick.
    void (*schritt)(void *objekt, const MotorSchritt &s);
    // A motion of quelle (0..3 single axis, 4 path) starts (laeuft) or ends.
    void (*wechsel)(void *objekt, uint8_t quelle, bool laeuft);
    void *objekt;
  };

  explicit MotorTakt(int64_t nsProTick, Melder melder = {}) : nsProTick_(nsProTick), melder_(melder) {}

  // Makes every step due up to `jetzt`.
  void fahre(int64_t jetzt);
  // The time of the previous round (a simulation whose clock starts again).
  void setzeZeit(int64_t t) { zuletzt_ = t; }
  // With every motion at rest the axes take their commanded positions (a
  // preset or a reference run moves them without steps). The axes that
  // changed, bit a for axis a.
  uint8_t uebernimmSoll();
  // True while a single-axis move or the path runs.
  bool laeuft() const;

  int32_t position[4] = {};  // steps made by X Y Z A
  long gestoppt = 0;         // single-axis moves ended by a stop request

 private:
  int64_t periode(uint32_t rate) const;
  void wechsel(uint8_t quelle, bool laeuft);

  int64_t nsProTick_;
  Melder melder_;
  int64_t zuletzt_ = 0;
  int64_t faellig_[5] = {};
  bool laeuft_[5] = {};
};

// Read-only state of the drive, as a platform or simulator needs it.
struct AntriebsStand {
  uint8_t BahnAktiv;        // 1 while the path runs
  uint32_t BahnGeschw;      // current step rate of the path
  uint16_t AchsLaeuft[4];   // 1 while a single-axis move of X Y Z A runs
  int32_t SollSchritte[4];  // commanded positions in steps
  int32_t AchsSchritte[4];  // scale of X Y Z A: AchsSchritte steps are AchsMM user units
  int32_t AchsMM[4];
};
AntriebsStand leseAntriebsStand();

// ---- What a simulator reads besides the drive ------------------------

// Task (0..2) whose program the monitor is executing.
extern uint8_t AktTask;
// The argument cells of the step just executed (their meaning per command
// code: vela_befehle.h), as an executor reads them after the step.
extern int32_t ArgWert1;
extern int32_t ArgWert2;
extern int32_t ArgWert3;
extern int32_t ArgWert4;
// Where the last command stopped reading its line: the position from
// which the cursor skipped to the next line. Text from there to the line
// end was not read (a checker warns about it).
extern char *UngelesenAb;
// Switch numbers of the reference-run line just executed (XH d, s: [0];
// the second axis of a pair: [1]).
extern int32_t ReferenzSchalter[2];

// Writes v / 10^NachkStellen right-aligned in the DF field width, as a D
// command shows a value.
void printWert(Kanal *k, int32_t v);

// Model of the 4 x 20 character display: the cells, the write cursor and
// the state set by the controller command bytes.
//
// Characters are stored at the cursor, which then moves one column right.
// Past the end of a row (column 20) the next character goes to column 0
// of the row that follows in the display's memory order, as on the common
// 4 x 20 character-display controllers:
//
//   row 0 -> row 2 -> row 1 -> row 3 -> row 0
//
// so a text written at the position past the end of row 3 (where the idle
// state leaves it) starts at row 0, column 0. A placement off the display
// (gehe with a bad row or column) drops the characters written next. The
// monitor writes the rows of its own messages with displayLine, at most
// 20 characters each, so that they never run on. Command bytes:
//   1   clear: every cell blank, cursor home
//   3   home: cursor to row 0, column 0
//   12  display on, cursor hidden
// Any other byte changes nothing.
constexpr int kAnzeigeZeilen = 4;
constexpr int kAnzeigeSpalten = 20;

struct Anzeige {
  char zellen[kAnzeigeZeilen][kAnzeigeSpalten];  // what the display shows
  int16_t zeile;                                 // cursor row 0..3, -1 off the display
  int16_t spalte;                                // cursor column 0..20 (20: past the end of the row)
  uint8_t an;                                    // 1 once switched on by command 12
  uint8_t cursorSichtbar;                        // 1 while the cursor is shown

  constexpr Anzeige() : zellen{}, zeile(0), spalte(0), an(0), cursorSichtbar(1) { loesche(); }

  constexpr void loesche() {
    for (auto &z : zellen)
      for (char &c : z) c = ' ';
    zeile = spalte = 0;
  }
  void schreibe(char c);
  void befehl(uint8_t code);
  // Cursor to (spalte, zeile); off the display, the next characters are dropped.
  void gehe(int16_t spalte, int16_t zeile);
  // Row r as a NUL-terminated text of 20 characters (blank for a bad row).
  void zeilenText(int r, char (&text)[kAnzeigeSpalten + 1]) const;
};

// The display of the console binding; a platform may bind its display
// to it too (Anzeige::schreibe, befehl, gehe).
extern Anzeige DisplayInhalt;

}  // namespace vela

#endif  // VELA_STEUERUNG_H
