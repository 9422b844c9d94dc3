// The host loop: steps a loaded program with execBefehl, feeds the
// conditional jumps their input and axis states, acts on the command codes
// that the library leaves to its host (moves, reference runs, waits,
// display texts) on the simulated machine, and reports what happened.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "maschine.h"

namespace velatool {

struct Optionen {
  std::string name;                      // program name in messages
  bool trace = false;                    // one line per step
  bool pruefen = false;                  // isChecking during the run
  long maxSchritte = 1000000;            // execBefehl calls before giving up
  std::map<int32_t, int32_t> eingaenge;  // input number -> state (unset: 0)
  std::string testDatei;                 // circle test data ("" = none)
};

// How a run ended.
enum class Ende { Ende, Kopf, Textende, Load, Fehler, Schrittgrenze, Leer, Marken };

// One error found by a run or a check walk.
struct Meldung {
  int zeile;
  int16_t code;
  std::string text;  // the line
};

// "NAME:LINE: error CODE: TEXT"
std::string formatiere(const std::string &name, const Meldung &m);

// A display value in the current DF format, as the library's printWert
// writes it.
std::string formatWert(int32_t wert);

class Lauf {
 public:
  explicit Lauf(Optionen opt) : opt_(std::move(opt)) {}

  // vela run: runs the text's first program to its end; writes the display
  // output, errors, trace and the summary to out.
  Ende run(const std::string &text, std::ostream &out);
  // vela check: walks the whole text in check mode and collects every error.
  std::vector<Meldung> pruefe(const std::string &text);

  const Maschine &maschine() const { return maschine_; }
  long schritte() const { return schritte_; }

 private:
  // Sets V_Handshake for a conditional J at p from the inputs or axes.
  void setzeHandshake(const char *p);
  // Acts on the command code of a step that succeeded; returns a note for
  // the trace (what the machine did, or what it left undone).
  std::string fuehreAus(char buchstabe, std::ostream &out);
  void zusammenfassung(Ende ende, std::ostream &out);
  // 1-based line of a position in Programm, from the line index.
  int zeileNr(const char *p) const;
  void merkeZeilen();
  // RETURN in check mode: taken by the host from the return stack.
  void rueckkehr(char *p);

  Optionen opt_;
  Maschine maschine_;
  long schritte_ = 0;
  std::map<std::string, int> offen_;    // host actions not simulated, counted
  int32_t werte_[300] = {};             // value variables at the start
  std::vector<const char *> anfaenge_;  // start of every line of Programm
};

}  // namespace velatool
