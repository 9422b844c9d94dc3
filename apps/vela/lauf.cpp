// The host loop of vela run and vela check.
//
// Conditional jumps: before a step whose line is J E n, J N E n, J axis or
// J N axis, V_Handshake is set from the simulated machine: input n is set
// when --input gave it a non-zero state; an axis condition holds when the
// axis (or, for I, the path) is at rest. The N forms get the negated value.
//
// Waits: a command that waits by re-execution (W alone, IL, DIL and C on a
// full ring) returns with the cursor on its own line; before stepping it
// again the loop runs the machine until the wait can end (everything at
// rest for W, a free ring slot otherwise), at least kBefehlsZeit.
#include "lauf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "commands/anzeige.h"
#include "commands/anzeigetext.h"
#include "core/cursor.h"
#include "core/zustand.h"
#include "expr/eval.h"
#include "laden.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "plot.h"
#include "vela.h"
#include "vela_befehle.h"

namespace velatool {

namespace {

// Times a line may be executed in a check walk before the walk goes past it
// instead (a backward jump would otherwise loop for ever).
constexpr int kMaxBesuche = 20;

// Command codes whose action belongs to the host and that the simulated
// machine does not carry out.
const std::map<int, const char *> kNichtSimuliert = {
    {BEF_BREAK, "BREAK"},         {BEF_BREAK_ACHSE, "BREAK axis"},
    {BEF_F_ACHSE, "F axis"},      {BEF_F_TASTEN, "FXY key table"},
    {BEF_I_ALLGEMEIN, "I value"}, {BEF_IH, "IH"},
    {BEF_LVAR, "LVAR"},           {BEF_Q, "Q"},
    {BEF_R_WERT, "R value"},      {BEF_R_ACHSE, "R axis value"},
    {BEF_RO, "R O value"},        {BEF_SO, "SO"},
    {BEF_STOP, "STOP"},           {BEF_FREION, "FREION"},
    {BEF_FREIOFF, "FREIOFF"},     {BEF_ENDON, "ENDON"},
    {BEF_ENDOFF, "ENDOFF"},
};

const char kAchsName[] = "XYZAI";

// The line text padded to a column, so that the trace's results line up.
std::string spalte(std::string text) {
  if (text.size() < 24) text.resize(24, ' ');
  return text;
}

bool istAchse(int32_t a) { return a >= 0 && a < 4; }

std::string zahl(double v, int stellen) {
  char puffer[64];
  std::snprintf(puffer, sizeof puffer, "%.*f", stellen, v);
  return puffer;
}

// The line of the first label that FetchMarken finds twice, or 0.
int doppelteMarke(const char *start) {
  std::set<long> gesehen;
  for (const char *p = start; *p != '\0';) {
    if (p != start && std::strncmp(p, "PROG", 4) == 0) break;
    if (*p == 'M') {
      const char *q = p + 1;
      while (*q == ' ') ++q;
      if (*q >= '0' && *q <= '9') {
        const long n = std::strtol(q, nullptr, 10);
        if (!gesehen.insert(n).second) return zeileVon(p);
      }
    }
    while (*p != '\0' && *p != '\r') ++p;
    if (*p == '\r') ++p;
  }
  return 0;
}

}  // namespace

std::string formatiere(const std::string &name, const Meldung &m) {
  const char *text = m.code >= 0 && m.code < VELA_FEHLERCODES ? FehlerTxt[m.code] : "?";
  return name + ":" + std::to_string(m.zeile) + ": error " + std::to_string(m.code) + ": " + text;
}

// A value as the display shows it: the library's printWert in the current
// DF format, written into a string.
std::string formatWert(int32_t wert) {
  std::string text;
  vela::Kanal kanal{[](void *o, char c) { static_cast<std::string *>(o)->push_back(c); }, nullptr, nullptr,
                    &text};
  vela::printWert(&kanal, wert);
  return text;
}

int Lauf::zeileNr(const char *p) const {
  const auto nach = std::upper_bound(anfaenge_.begin(), anfaenge_.end(), p);
  return static_cast<int>(nach - anfaenge_.begin());
}

void Lauf::merkeZeilen() {
  anfaenge_.clear();
  for (char *q = Programm;; q = naechsteZeile(q)) {
    anfaenge_.push_back(q);
    if (*q == '\0') break;
  }
}

void Lauf::setzeHandshake(const char *p) {
  if (*p != 'J') return;
  const char *q = p + 1;
  auto blanks = [&q] {
    while (*q == ' ') ++q;
  };
  blanks();
  if (*q == 'S') {
    ++q;
    blanks();
  }
  bool nicht = false;
  if (*q == 'N') {
    nicht = true;
    ++q;
    blanks();
  }
  bool wahr;
  if (*q == 'E') {
    // The input number is an expression: evaluate it without assignments
    // and without moving the cursor.
    char *cursor = NextBefp;
    const int16_t ohne = vela::noAssign;
    vela::noAssign = 1;
    NextBefp = const_cast<char *>(q + 1);
    vela::skipBlanks();
    int32_t nummer = 0;
    const int16_t code = vela::evalAusdruck(nummer);
    NextBefp = cursor;
    vela::noAssign = ohne;
    const auto e = opt_.eingaenge.find(nummer);
    wahr = code == 0 && e != opt_.eingaenge.end() && e->second != 0;
  } else if (const char *a = std::strchr(kAchsName, *q); *q != '\0' && a != nullptr) {
    wahr = maschine_.ruhig(static_cast<int>(a - kAchsName));
  } else {
    return;  // a comparison or a plain jump: the library decides
  }
  V_Handshake = static_cast<int16_t>((wahr != nicht) ? 1 : 0);
}

std::string Lauf::fuehreAus(char buchstabe, std::ostream &out) {
  std::ostringstream notiz;
  const int befehl = Befehl;
  auto starte = [&](int32_t a) {
    if (!istAchse(a) || vela::DeltaSchritte[a] == 0) return;
    notiz << (notiz.tellp() > 0 ? ", " : "move ") << kAchsName[a] << (vela::DeltaSchritte[a] > 0 ? "+" : "")
          << vela::DeltaSchritte[a];
    maschine_.starteAchse(a);
  };
  switch (befehl) {
    case BEF_ACHSE:
    case BEF_D_ACHSE: starte(vela::ArgWert3); break;
    case BEF_ACHSPAAR:
    case BEF_D_ACHSPAAR:
      starte(vela::ArgWert3);
      starte(vela::ArgWert4);
      break;
    case BEF_HOME:
    case BEF_HOME_PAAR: {
      const int32_t achse[2] = {vela::ArgWert3, vela::ArgWert4};
      const int32_t richtung[2] = {vela::ArgWert1, vela::ArgWert2};
      notiz << "reference run";
      for (int i = 0; i < (befehl == BEF_HOME_PAAR ? 2 : 1); ++i) {
        if (!istAchse(achse[i])) continue;
        maschine_.referenz(achse[i], richtung[i]);
        notiz << ' ' << kAchsName[achse[i]] << (richtung[i] == 0 ? "+" : "-");
      }
      break;
    }
    case BEF_D_WERT:
    case BEF_D_WERT_ZEILE: {
      out << "display";
      if (befehl == BEF_D_WERT_ZEILE) out << " row " << vela::ArgWert1;
      out << ": " << formatWert(vela::ArgWert2) << '\n';
      break;
    }
    case BEF_D_TEXT:
    case BEF_D_TEXT_ZEILE:
      out << "display";
      if (befehl == BEF_D_TEXT_ZEILE) out << " row " << vela::ArgWert1;
      out << ": " << std::string(vela::AnzeigeText, strnlen(vela::AnzeigeText, vela::kAnzeigeGroesse - 1))
          << '\n';
      break;
    case BEF_W_ZEIT:
      if (vela::ArgWert1 > 0) maschine_.laufe(Nanos{vela::ArgWert1} * kMilli);
      notiz << "waited " << vela::ArgWert1 << " ms";
      break;
    case BEF_WE:
    case BEF_WNE: {
      const auto e = opt_.eingaenge.find(vela::ArgWert1);
      const bool gesetzt = e != opt_.eingaenge.end() && e->second != 0;
      if (gesetzt == (befehl == BEF_WE)) {
        notiz << "input " << vela::ArgWert1 << (gesetzt ? " is set" : " is not set");
      } else {
        // Inputs never change during a simulated run: waiting would never end.
        notiz << "input " << vela::ArgWert1 << (gesetzt ? " is set" : " is not set")
              << ", the simulation never changes it: not waited";
        ++offen_[befehl == BEF_WE ? "WE" : "WNE"];
      }
      break;
    }
    case BEF_W_ACHSE:
      if (vela::ArgWert3 >= 0 && vela::ArgWert3 <= 4) {
        maschine_.laufeBisRuhig(vela::ArgWert3);
        notiz << "axis " << kAchsName[vela::ArgWert3] << " at rest";
      }
      break;
    default:
      if (const auto n = kNichtSimuliert.find(befehl); n != kNichtSimuliert.end()) {
        notiz << "not simulated: " << n->second;
        // The operands: an axis for BREAK axis, F axis and R axis (BREAK axis
        // has no value), a value for the others that take one.
        const bool achse = befehl == BEF_BREAK_ACHSE || befehl == BEF_F_ACHSE || befehl == BEF_R_ACHSE;
        if (achse && vela::ArgWert3 >= 0 && vela::ArgWert3 <= 4) notiz << ' ' << kAchsName[vela::ArgWert3];
        if (befehl == BEF_F_TASTEN || befehl == BEF_I_ALLGEMEIN || befehl == BEF_IH || befehl == BEF_R_WERT ||
            befehl == BEF_R_ACHSE || befehl == BEF_RO || befehl == BEF_SO || befehl == BEF_STOP)
          notiz << ' ' << vela::ArgWert1;
        ++offen_[n->second];
      }
      break;
  }
  if (buchstabe == 'C') {
    // The library has run the circle itself and traced it into the
    // test-data file; position presets only set the commanded position.
    std::vector<std::pair<int32_t, int32_t>> kreis;
    if (!opt_.testDatei.empty()) {
      std::ifstream datei(opt_.testDatei, std::ios::binary);
      if (datei) {
        try {
          kreis = leseTestdaten(datei);
        } catch (const std::exception &) {
          kreis.clear();
        }
      }
      std::remove(opt_.testDatei.c_str());
    }
    if (!kreis.empty()) notiz << "circle, " << kreis.size() << " steps";
    maschine_.kreisGelaufen(kreis);
  }
  return notiz.str();
}

Ende Lauf::run(const std::string &text, std::ostream &out) {
  const Start s = ladeProgramm(text, opt_.pruefen);
  merkeZeilen();
  vela_setTestDatei(opt_.testDatei.c_str());
  std::memcpy(werte_, V_WertVar, sizeof werte_);
  if (s.start == nullptr) {
    out << opt_.name << ": no program to run\n";
    return Ende::Leer;
  }
  if (s.marken != 0) {
    const int z = doppelteMarke(s.start);
    const Meldung m{z != 0 ? z : zeileVon(s.start), s.marken, ""};
    out << formatiere(opt_.name, m) << '\n';
    return Ende::Marken;
  }
  Ende ende = Ende::Schrittgrenze;
  int warteZeile = 0;  // line of the wait being collapsed in the trace
  long warteSchritte = 0;
  Nanos warteBeginn = 0;
  auto warteEnde = [&] {
    if (warteSchritte > 0 && opt_.trace)
      out << "        ... waited " << zahl(static_cast<double>(maschine_.jetzt() - warteBeginn) / kSekunde, 3)
          << " s (" << warteSchritte << (warteSchritte == 1 ? " retry)\n" : " retries)\n");
    warteSchritte = 0;
  };
  while (schritte_ < opt_.maxSchritte) {
    char *p = befehlsStelle(NextBefp);
    if (*p == '\0') {
      ende = Ende::Textende;
      break;
    }
    const int zeile = zeileNr(p);
    const char buchstabe = *p;
    // A circle runs the path itself and starts from an emptied ring: let
    // the queued path finish first.
    if (buchstabe == 'C') maschine_.laufeBisRuhig(4);
    setzeHandshake(p);
    const int16_t code = execBefehl();
    ++schritte_;
    const bool wartet = code == 0 && Befehl != BEF_ENDE && Befehl != BEF_LOAD && befehlsStelle(NextBefp) == p;
    if (wartet) {
      if (warteSchritte == 0 || warteZeile != zeile) {
        warteEnde();
        if (opt_.trace)
          out << std::string(5 - std::min<std::size_t>(5, std::to_string(zeile).size()), ' ') << zeile << "  "
              << spalte(zeilenText(p)) << "  [Befehl " << Befehl << ", 0: waits]\n";
        warteZeile = zeile;
        warteBeginn = maschine_.jetzt();
      }
      // Run the machine up to the point where the wait can end (all at
      // rest for W, a free ring slot for the path commands), then retry.
      ++warteSchritte;
      const Nanos vorher = maschine_.jetzt();
      if (Befehl == BEF_W) {
        maschine_.laufeBisAllesRuhig();
      } else {
        maschine_.laufeBisBahnFrei();
      }
      if (maschine_.jetzt() - vorher < kBefehlsZeit)
        maschine_.laufe(kBefehlsZeit - (maschine_.jetzt() - vorher));
      continue;
    }
    warteEnde();
    std::string notiz;
    std::ostringstream anzeige;  // shown after the step's trace line
    if (code == 0) notiz = fuehreAus(buchstabe, anzeige);
    if (opt_.trace) {
      std::string z = std::to_string(zeile);
      out << std::string(5 - std::min<std::size_t>(5, z.size()), ' ') << z << "  " << spalte(zeilenText(p))
          << "  [Befehl " << Befehl << ", " << code;
      if (code != 0) out << ' ' << FehlerTxt[code];
      out << ']';
      if (!notiz.empty()) out << "  " << notiz;
      out << '\n';
    }
    out << anzeige.str();
    if (code != 0) {
      out << formatiere(opt_.name, {zeile, code, zeilenText(p)}) << '\n';
      out << std::string(5 - std::min<std::size_t>(5, std::to_string(zeile).size()), ' ') << zeile << " | "
          << zeilenText(p) << '\n';
      ende = Ende::Fehler;
      break;
    }
    if (Befehl == BEF_ENDE) {
      ende = buchstabe == 'P' ? Ende::Kopf : Ende::Ende;
      break;
    }
    if (Befehl == BEF_LOAD) {
      ende = Ende::Load;
      break;
    }
    if (Befehl == BEF_RETURN && isChecking != 0) rueckkehr(p);  // check mode leaves RETURN to the host
    maschine_.laufe(kBefehlsZeit);
  }
  warteEnde();
  // Moves that were started run to their end, as they would on the machine.
  maschine_.laufeBisAllesRuhig();
  zusammenfassung(ende, out);
  return ende;
}

void Lauf::zusammenfassung(Ende ende, std::ostream &out) {
  switch (ende) {
    case Ende::Ende: out << "program ended (ENDE)"; break;
    case Ende::Kopf: out << "program ended (header of the next program)"; break;
    case Ende::Textende: out << "program ended (end of the text, no ENDE)"; break;
    case Ende::Load: out << "program ended (LOAD: the controller would return to idle)"; break;
    case Ende::Fehler: out << "program stopped by an error"; break;
    case Ende::Schrittgrenze:
      out << "program stopped: step limit of " << opt_.maxSchritte
          << " reached (endless loop? see --max-steps)";
      break;
    default: break;
  }
  out << " after " << schritte_ << " steps\n";
  out << "positions:\n";
  for (int a = 0; a < 4; ++a) {
    const int32_t s = maschine_.position(a);
    char zeile[128];
    std::snprintf(zeile, sizeof zeile, "  %c %12s units %11ld steps\n", kAchsName[a],
                  zahl(static_cast<double>(s) * vela::AchsMM[a] / vela::AchsSchritte[a], 3).c_str(),
                  static_cast<long>(s));
    out << zeile;
  }
  std::ostringstream geaendert;
  for (int i = 0; i < VELA_WERTVARS; ++i)
    if (V_WertVar[i] != werte_[i]) geaendert << "  V" << i << " = " << V_WertVar[i] << '\n';
  for (int i = 0; i < VELA_TEXTVARS; ++i)
    if (V_TextVar[i][0] != '\0')
      geaendert << "  T" << i << " = \"" << std::string(V_TextVar[i], strnlen(V_TextVar[i], VELA_TEXTLAENGE))
                << "\"\n";
  for (int i = 0; i < VELA_PUNKTVARS; ++i)
    if (V_PunktVar[i].X != 0 || V_PunktVar[i].Y != 0)
      geaendert << "  P" << i << " = " << V_PunktVar[i].X << ", " << V_PunktVar[i].Y << '\n';
  out << "variables changed:" << (geaendert.tellp() > 0 ? "\n" + geaendert.str() : std::string(" none\n"));
  out << "path length: " << zahl(maschine_.weg(), 3) << " units\n";
  out << "estimated run time: " << zahl(static_cast<double>(maschine_.jetzt()) / kSekunde, 3) << " s\n";
  if (!offen_.empty()) {
    out << "host actions not simulated:";
    for (const auto &[name, n] : offen_) out << ' ' << name << " x" << n;
    out << '\n';
  }
  if (!maschine_.bahnHinweis().empty()) out << "note: " << maschine_.bahnHinweis() << '\n';
}

// Check mode does not take RETURN: the host does, from the return stack
// that J S filled as in a run, so that the walk goes on behind the call.
// With an empty stack it goes on with the next line.
void Lauf::rueckkehr(char *p) {
  const int16_t oben = V_UsedReturns[0];
  if (oben < 0 || oben >= VELA_STACKTIEFE || V_ReturnAdr[0][oben].RueckAdresse == nullptr) {
    NextBefp = naechsteZeile(p);
    return;
  }
  const ReturnEintrag &e = V_ReturnAdr[0][oben];
  NextBefp = e.RueckAdresse;
  if (e.ProgStart != nullptr) {
    vela::ProgStart[0] = e.ProgStart;
    FetchMarken(e.ProgStart);
  }
  V_UsedReturns[0] = static_cast<int16_t>(oben - 1);
}

// The check walk follows the program's flow from its start (jumps are
// taken, loops run, calls return), and then starts again at every line the
// flow never reached, until every line has been seen. Termination: a line
// executes at most kMaxBesuche times; after that the walk steps past it,
// and every restart begins at a line not seen before.
std::vector<Meldung> Lauf::pruefe(const std::string &text) {
  std::vector<Meldung> fehler;
  const Start s = ladeProgramm(text, true);
  merkeZeilen();
  vela_setTestDatei("");
  if (s.start == nullptr) return fehler;
  if (s.marken != 0) {
    const int z = doppelteMarke(s.start);
    fehler.push_back({z != 0 ? z : zeileVon(s.start), s.marken, ""});
  }
  std::map<int, int> besuche;
  std::set<std::pair<int, int16_t>> gemeldet;
  bool kalt = false;  // walking code that the program's flow did not reach
  char *weiter = s.start;
  char *suche = Programm;  // lines before it have all been seen
  while (weiter != nullptr && schritte_ < opt_.maxSchritte) {
    NextBefp = weiter;
    while (schritte_ < opt_.maxSchritte) {
      char *p = befehlsStelle(NextBefp);
      if (*p == '\0') break;
      const int zeile = zeileNr(p);
      if (++besuche[zeile] > kMaxBesuche) {
        NextBefp = naechsteZeile(p);
        continue;
      }
      const char buchstabe = *p;
      char *const programm = vela::ProgStart[0];
      setzeHandshake(p);
      const int16_t code = execBefehl();
      ++schritte_;
      if (code != 0) {
        // Reached without the flow, a loop end may belong to a loop start
        // the walk did not come through: not reported.
        const bool fremd = kalt && code == 25;
        if (!fremd && gemeldet.insert({zeile, code}).second) fehler.push_back({zeile, code, zeilenText(p)});
        NextBefp = naechsteZeile(p);
        continue;
      }
      std::ostringstream still;
      fuehreAus(buchstabe, still);
      maschine_.laufeBisAllesRuhig();
      const int befehl = Befehl;
      if (befehl == BEF_ENDE && buchstabe == 'P') {
        // A header: the walk goes on into the next program, with its labels.
        NextBefp = naechsteZeile(p);
        vela::ProgStart[0] = NextBefp;
        FetchMarken(NextBefp);
      } else if (befehl == BEF_RETURN) {
        rueckkehr(p);
      } else if (befehl == BEF_ENDE || befehl == BEF_LOAD || befehlsStelle(NextBefp) == p) {
        // ENDE, LOAD and anything that would wait: on with the next line.
        NextBefp = naechsteZeile(p);
      } else if (vela::ProgStart[0] != programm) {
        // Check mode keeps the caller's labels on a program jump; the walk
        // needs the labels of the program it is in.
        FetchMarken(vela::ProgStart[0]);
      }
    }
    // The next line with a command that the walk has not seen.
    weiter = nullptr;
    kalt = true;
    for (; *suche != '\0'; suche = naechsteZeile(suche)) {
      char *b = suche;
      while (*b == ' ' || *b == '\t') ++b;
      if (*b != '\r' && *b != '\n' && *b != '\0' && besuche.count(zeileNr(b)) == 0) {
        weiter = b;
        break;
      }
    }
  }
  return fehler;
}

}  // namespace velatool
