// The simulated machine around the controller, the same for `vela run`,
// `plot`, `check` and `vela controller`: the switch inputs, the reference
// switches of the axes and the switch outputs (docs/vela-tool.md,
// "The simulated machine").
//
//   inputs      input n reads set (its switch closed, 0) from the time its
//               last --input N=V@T with V != 0 applies; unset inputs read 0
//   reference   during a reference run (XH d, s) the run's switch s belongs
//   switches    to its axis: it closes once the axis has moved kReferenzWeg
//               steps out from where the run started, and opens again when
//               it is back to kReferenzWeg - kFreiWeg steps out
//   outputs     SO / R O set and clear them; each change is kept
//   keypad      a press holds its key down for a while (--keys: 100 ms, a
//               key typed on the controller's stdin: 300 ms) and is
//               reported to the keypad state once the monitor has taken
//               the press before it (up to kMaxTasten wait); a scripted
//               keypad (--keys of vela run) has ended after its last press
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vela_befehle.h"
#include "vela_steuerung.h"

namespace velatool {

using Nanos = int64_t;
constexpr Nanos kMilli = 1000000;
constexpr Nanos kSekunde = 1000 * kMilli;

constexpr int32_t kReferenzWeg = 200;
constexpr int32_t kFreiWeg = 10;
constexpr int kAusgaenge = 256;

// Input n reads `wert` (non-zero: set, the switch closed) from time `ab` on.
struct Eingabe {
  int32_t nummer;
  int32_t wert;
  Nanos ab;
};

// Key `code` (0..16) is held from `ab` for kTastenDauer.
struct Tastendruck {
  Nanos ab;
  uint8_t code;
};
constexpr Nanos kTastenDauer = 100 * kMilli;
constexpr std::size_t kMaxTasten = 16;

// After a step: true when the axes now stand at the commanded position
// without having stepped there (a preset, the end of a reference run).
// Only then: at any other moment the commanded position may already hold
// the target of a move about to start.
inline bool uebernimmtSoll(int befehl, int16_t ergebnis) {
  return ergebnis == 0 && vela_befehl_hat(befehl, BEF_EIG_REFERENZ | BEF_EIG_SETZT);
}

class Maschine {
 public:
  explicit Maschine(std::vector<Eingabe> eingaben);

  // Switch n at time jetzt: true while closed (a set input, a tripped
  // reference switch).
  bool eingang(int32_t n, Nanos jetzt) const;
  // Input n reads wert from ab on (a change while running).
  void setzeEingang(int32_t n, int32_t wert, Nanos ab);
  // Output n set to wert; the change is noted ("output 3 on").
  void setzeAusgang(uint8_t n, uint8_t wert);
  uint8_t ausgang(int n) const { return n >= 0 && n < kAusgaenge ? ausgaenge_[n] : 0; }
  // The outputs that are on, "3 5 17" ("" for none).
  std::string ausgaengeAn() const;
  // Notes of the output changes since the last call.
  std::vector<std::string> nimmAusgangsNotizen();

  // The keypad: the presses of a script (endlich: after the last one the
  // keypad has ended, waits for keys give up) ...
  void setzeTasten(std::vector<Tastendruck> tasten, bool endlich);
  // ... and one press now, held for `dauer`.
  void drueckeTaste(uint8_t code, Nanos jetzt, Nanos dauer);
  // The key held down at jetzt: its code, KEINE_TASTE, or KEINE_TASTE_MEHR
  // once a scripted keypad has ended.
  uint8_t taste(Nanos jetzt) const;
  // Reports the presses due by jetzt to the keypad state (vela::meldeTaste).
  void meldeTasten(Nanos jetzt);

  // After every step of the motors: the reference switches follow the axes.
  void schalter(const int32_t position[4]);
  // The default executor after a step; while a reference run (XH, XH YH)
  // runs, its switches are the reference switches of its axes.
  int16_t nachSchritt(const int32_t position[4], int16_t ergebnis);

 private:
  void referenzStart(const int32_t position[4], int achse, int schalter, int achse2, int schalter2);

  std::vector<Eingabe> eingaben_;
  struct Referenz {
    int achse = -1, schalter = -1;
    int32_t start = 0;
    int richtung = 0;  // +1 / -1 once the axis has made its first step
    bool zu = false;
  } referenz_[2];
  uint8_t ausgaenge_[kAusgaenge] = {};
  struct Druck {
    Nanos ab, bis;
    uint8_t code;
  };
  std::vector<Druck> druecke_;  // in time order
  std::size_t gemeldet_ = 0;    // presses reported to the keypad state
  bool endlich_ = false;
  std::vector<std::string> notizen_;
};

}  // namespace velatool
