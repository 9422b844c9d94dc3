// vela run and vela check.
//
// run: the library's monitor (monitorMain) loads the text through its
// download and runs it with its main loop and its default executor, on the
// simulated controller (simulation.h). The tool's executor wraps
// standardAusfuehrer: it records the trace and ends the run when the
// program ends (ENDE, a header, LOAD, an error, STOP) or a limit is reached.
//
// check: the library's check walk (pruefGang) over the text, on the
// simulated controller with every wait given up; see Lauf::pruefe.
#pragma once

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "simulation.h"
#include "vela_steuerung.h"

namespace velatool {

struct Optionen {
  std::string name;                 // program name in messages
  bool trace = false;               // one line per step
  bool pruefen = false;             // isChecking during the run
  bool anzeige = false;             // draw the display (at the end; each change in the trace)
  long maxSchritte = 1000000;       // steps before giving up (retries of a waiting line excluded)
  double maxZeit = 3600;            // simulated seconds before giving up
  std::vector<Eingabe> eingaben;    // input states over time (unset: 0)
  std::vector<Tastendruck> tasten;  // key presses
};

// How a run ended.
enum class Ende { Laeuft, Ende, Kopf, Textende, Load, Stop, Fehler, Schrittgrenze, Zeitgrenze, Leer, Marken };

// One error found by a run or a check walk.
struct Meldung {
  int zeile;
  int16_t code;
  std::string text;  // the line
};

// A text the language ignores or wraps without an error.
struct Warnung {
  int zeile;
  std::string text;
};

// "NAME:LINE: error CODE: TEXT"
std::string formatiere(const std::string &name, const Meldung &m);
// "NAME:LINE: warning: TEXT"
std::string formatiere(const std::string &name, const Warnung &w);

// A display value in the current DF format (the library's printWert).
std::string formatWert(int32_t wert);

class Lauf {
 public:
  explicit Lauf(Optionen opt) : opt_(std::move(opt)) {}

  // vela run: runs the text's first program to its end; writes the display
  // output, errors, trace and the summary to out.
  Ende run(const std::string &text, std::ostream &out);
  // vela check: walks the whole text in check mode and collects every error.
  std::vector<Meldung> pruefe(const std::string &text);

  long schritte() const { return schritte_; }
  const std::vector<Spur> &spur() const { return spur_; }
  const std::vector<Wartestelle> &wartestellen() const { return warten_; }
  double weg() const { return weg_; }
  double zeit() const { return zeit_; }
  int32_t position(int achse) const { return pos_[achse]; }
  const std::vector<Meldung> &fehler() const { return fehler_; }
  const std::set<int> &tasks() const { return tasks_; }
  // Text after a complete command that the walk found (pruefe).
  const std::vector<Warnung> &warnungen() const { return warnungen_; }

 private:
  static int16_t haken(void *lauf, vela::SchrittPhase phase, int16_t ergebnis);
  int16_t vor();
  int16_t nach(int16_t ergebnis);
  void warteEnde();
  void meldeFehler(int zeile, int16_t code);
  void zeigeAnzeige(std::ostream &out, const char *vorsatz);
  void zusammenfassung(std::ostream &out);
  void ungelesen(const char *p, int zeile);
  std::string quellZeile(int zeile) const;

  Optionen opt_;
  Simulation *sim_ = nullptr;
  std::ostream *out_ = nullptr;
  std::vector<std::string> zeilen_;  // the file's lines, for messages
  Ende ende_ = Ende::Laeuft;
  long schritte_ = 0;
  char *zeile_ = nullptr;    // line of the step in progress
  int32_t sollVor_[4] = {};  // commanded positions before the step
  Nanos beginn_ = 0;         // time at the start of the step
  char *warteZeile_ = nullptr;
  long warteSchritte_ = 0;
  Nanos warteBeginn_ = 0;
  std::string anzeigeStand_;
  std::set<int> tasks_;
  std::vector<Meldung> fehler_;
  std::vector<Warnung> warnungen_;
  int32_t werte_[300] = {};
  // Results kept after the simulation is gone.
  std::vector<Spur> spur_;
  std::vector<Wartestelle> warten_;
  double weg_ = 0, zeit_ = 0;
  int32_t pos_[4] = {};
};

}  // namespace velatool
