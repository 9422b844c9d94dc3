// vela run on the library's monitor, and the check walk.
#include "lauf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "laden.h"
#include "plot.h"
#include "tafel.h"
#include "vela.h"
#include "vela_befehle.h"
#include "vela_steuerung.h"

namespace velatool {

namespace {

const char kAchsName[] = "XYZAI";

// The line text padded to a column, so that the trace's results line up.
std::string spalte(std::string text) {
  if (text.size() < 24) text.resize(24, ' ');
  return text;
}

std::string nummer(int zeile) {
  const std::string z = std::to_string(zeile);
  return std::string(5 - std::min<std::size_t>(5, z.size()), ' ') + z;
}

std::string zahl(double v, int stellen) {
  char puffer[64];
  std::snprintf(puffer, sizeof puffer, "%.*f", stellen, v);
  return puffer;
}

std::string rechtsOhneBlanks(std::string t) {
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

}  // namespace

std::string formatiere(const std::string &name, const Meldung &m) {
  const char *text = m.code >= 0 && m.code < VELA_FEHLERCODES ? FehlerTxt[m.code] : "?";
  return name + ":" + std::to_string(m.zeile) + ": error " + std::to_string(m.code) + ": " + text;
}

std::string formatiere(const std::string &name, const Warnung &w) {
  return name + ":" + std::to_string(w.zeile) + ": warning: " + w.text;
}

std::string formatWert(int32_t wert) {
  std::string text;
  vela::Kanal kanal{[](void *o, char c) { static_cast<std::string *>(o)->push_back(c); }, nullptr, nullptr,
                    &text};
  vela::printWert(&kanal, wert);
  return text;
}

std::string Lauf::quellZeile(int zeile) const {
  return zeile >= 1 && static_cast<std::size_t>(zeile) <= zeilen_.size() ? zeilen_[zeile - 1] : std::string();
}

int16_t Lauf::haken(void *lauf, vela::SchrittPhase phase, int16_t ergebnis) {
  Lauf &l = *static_cast<Lauf *>(lauf);
  const int16_t r = phase == vela::VOR_SCHRITT ? l.vor() : l.nach(ergebnis);
  if (l.ende_ == Ende::Laeuft && l.sim_->zeitUeberschritten()) l.ende_ = Ende::Zeitgrenze;
  return r;
}

void Lauf::warteEnde() {
  if (warteZeile_ != nullptr && opt_.trace)
    *out_ << "        ... waited " << zahl(static_cast<double>(sim_->jetzt() - warteBeginn_) / kSekunde, 3)
          << " s (" << warteSchritte_ << (warteSchritte_ == 1 ? " retry)\n" : " retries)\n");
  warteZeile_ = nullptr;
  warteSchritte_ = 0;
}

int16_t Lauf::vor() {
  if (opt_.pruefen) isChecking = 1;
  char *p = befehlsStelle(NextBefp);
  if (*p == '\0') {
    warteEnde();
    ende_ = Ende::Textende;
    sim_->beende();
    return 0;
  }
  if (p == warteZeile_) {
    ++warteSchritte_;
  } else {
    warteEnde();
    if (schritte_ >= opt_.maxSchritte) {
      ende_ = Ende::Schrittgrenze;
      zeile_ = p;
      sim_->beende();
      return 0;
    }
    ++schritte_;
  }
  if (schritte_ == 1 && warteZeile_ == nullptr)
    sim_->nullpunkt();  // the run's time starts with its first step
  zeile_ = p;
  tasks_.insert(vela::AktTask + 1);
  const vela::AntriebsStand s = vela::leseAntriebsStand();
  std::copy(s.SollSchritte, s.SollSchritte + 4, sollVor_);
  beginn_ = sim_->jetzt();
  sim_->nimmAnzeige();
  const int16_t r = vela::standardAusfuehrer(vela::VOR_SCHRITT, 0);
  if (r != 0) {
    // The step fails before it executes; the monitor reports it on its line.
    const int zeile = zeileVon(p);
    if (opt_.trace)
      *out_ << nummer(zeile) << "  " << spalte(quellZeile(zeile)) << "  [before the step: " << r << ' '
            << (r < VELA_FEHLERCODES ? FehlerTxt[r] : "?") << "]\n";
    meldeFehler(zeile, r);
  }
  return r;
}

void Lauf::meldeFehler(int zeile, int16_t code) {
  fehler_.push_back({zeile, code, quellZeile(zeile)});
  *out_ << formatiere(opt_.name, fehler_.back()) << '\n'
        << nummer(zeile) << " | " << quellZeile(zeile) << '\n';
  ende_ = Ende::Fehler;
  sim_->beende();
}

int16_t Lauf::nach(int16_t ergebnis) {
  const int befehl = Befehl;
  char *const p = zeile_;
  const int zeile = zeileVon(p);
  const bool home = ergebnis == 0 && vela_befehl_hat(befehl, BEF_EIG_REFERENZ);
  const bool paar = vela_befehl_hat(befehl, BEF_EIG_PAAR);
  const int16_t e = sim_->nachSchritt(ergebnis);
  if (uebernimmtSoll(befehl, ergebnis)) sim_->uebernimmSoll();
  const std::vector<std::string> ausgaenge = sim_->maschine().nimmAusgangsNotizen();
  const int16_t code = ergebnis != 0 ? ergebnis : e;
  const Nanos gewartet = sim_->jetzt() - beginn_;

  // A line that waits by executing again (W, a path command on a full
  // ring): shown once, with the time it waited when it goes on.
  const bool wartet =
      code == 0 && !vela_befehl_hat(befehl, BEF_EIG_ENDE | BEF_EIG_SPRUNG) && befehlsStelle(NextBefp) == p;
  if (wartet) {
    if (warteZeile_ != p) {
      if (opt_.trace)
        *out_ << nummer(zeile) << "  " << spalte(quellZeile(zeile)) << "  [Befehl " << befehl
              << ", 0: waits]\n";
      warteZeile_ = p;
      warteSchritte_ = 0;
      warteBeginn_ = beginn_;
      if (vela_befehl_hat(befehl, BEF_EIG_WIEDERHOLT)) sim_->merkeWarten();
    }
    return e;
  }
  if (warteZeile_ == p) warteEnde();

  std::ostringstream notiz;
  auto trenne = [&notiz] {
    if (notiz.tellp() > 0) notiz << ", ";
  };
  if (code == 0) {
    const vela::AntriebsStand s = vela::leseAntriebsStand();
    for (int a = 0; a < 4; ++a) {
      const int32_t d = s.SollSchritte[a] - sollVor_[a];
      if (d == 0 || !vela_befehl_hat(befehl, BEF_EIG_FAHRT)) continue;
      notiz << (notiz.tellp() > 0 ? ", " : "move ") << kAchsName[a] << (d > 0 ? "+" : "") << d;
    }
    if (befehl == 0 && *p == 'C' && vela::leseAntriebsStand().BahnAktiv != 0) {
      trenne();
      notiz << "arc";
    }
    if (home) {
      trenne();
      notiz << "reference run " << kAchsName[vela::ArgWert3 & 3];
      if (paar) notiz << ' ' << kAchsName[vela::ArgWert4 & 3];
    }
    for (const std::string &a : ausgaenge) {
      trenne();
      notiz << a;
    }
    const bool warteBefehl = vela_befehl_hat(befehl, BEF_EIG_WARTET);
    if (warteBefehl) sim_->merkeWarten();
    if (gewartet > kMilli || warteBefehl) {
      trenne();
      notiz << "waited " << zahl(static_cast<double>(gewartet) / kSekunde, 3) << " s";
    }
  }
  std::string anzeige = sim_->nimmAnzeige();
  if (opt_.trace) {
    *out_ << nummer(zeile) << "  " << spalte(quellZeile(zeile)) << "  [Befehl " << befehl << ", " << code;
    if (code > 0 && code < VELA_FEHLERCODES) *out_ << ' ' << FehlerTxt[code];
    *out_ << ']';
    if (vela::AktTask != 0) *out_ << "  task " << vela::AktTask + 1;
    if (notiz.tellp() > 0) *out_ << "  " << notiz.str();
    *out_ << '\n';
  }
  if (code == 0) {
    switch (befehl) {
      case BEF_D_WERT:
      case BEF_D_TEXT: *out_ << "display: " << anzeige << '\n'; break;
      case BEF_D_TEXT_ZEILE:
      case BEF_D_WERT_ZEILE:
        *out_ << "display row " << vela::ArgWert1 << ": " << rechtsOhneBlanks(anzeige) << '\n';
        break;
      default: break;
    }
  }
  if (opt_.anzeige && opt_.trace) zeigeAnzeige(*out_, "        ");

  if (code != 0) {
    meldeFehler(zeile, code);
  } else if (befehl == BEF_ENDE) {
    ende_ = *p == 'P' ? Ende::Kopf : Ende::Ende;
    sim_->beende();
  } else if (befehl == BEF_LOAD) {
    ende_ = Ende::Load;
    sim_->beende();
  } else if (befehl == BEF_STOP) {
    ende_ = Ende::Stop;
    sim_->beende();
  }
  return e;
}

// Draws the display when it changed since the last drawing (always at the
// end of a run: vorsatz "").
void Lauf::zeigeAnzeige(std::ostream &out, const char *vorsatz) {
  const std::string bild = Tafel().rahmen(nullptr, vorsatz);
  if (*vorsatz != '\0' && bild == anzeigeStand_) return;
  anzeigeStand_ = bild;
  out << bild;
}

Ende Lauf::run(const std::string &text, std::ostream &out) {
  vela_reset();
  for (std::size_t a = 0, e; a <= text.size(); a = e + 1) {
    e = text.find('\r', a);
    if (e == std::string::npos) e = text.size();
    zeilen_.push_back(text.substr(a, e - a));
  }
  Simulation sim(opt_.eingaben, opt_.tasten, static_cast<Nanos>(opt_.maxZeit * kSekunde));
  sim_ = &sim;
  out_ = &out;
  sim.binde(text);
  vela::setAusfuehrer(&Lauf::haken, this);
  vela::monitorMain();
  vela::setAusfuehrer(nullptr);
  warteEnde();
  if (ende_ == Ende::Laeuft) {
    if (sim.zweiterDownload()) std::memcpy(Programm, sim.storeBeimEnde().data(), sizeof Programm);
    if (sim.zeitUeberschritten()) {
      ende_ = Ende::Zeitgrenze;
    } else if (char *start = findFirstProgramm(); start == nullptr || *befehlsStelle(start) == '\0') {
      out << opt_.name << ": no program to run\n";
      ende_ = Ende::Leer;
    } else if (const int16_t code = FetchMarken(start); code != 0) {
      // The run did not start: the monitor's label scan failed (it shows the line).
      const int zeile = zeileVon(NextBefp);
      fehler_.push_back({zeile, code, quellZeile(zeile)});
      out << formatiere(opt_.name, fehler_.back()) << '\n';
      ende_ = Ende::Marken;
    }
  }
  // Moves that were started run to their end, as they would on the machine.
  if (ende_ != Ende::Schrittgrenze && ende_ != Ende::Zeitgrenze) sim.laufeAus();
  if (sim.zeitUeberschritten() && ende_ != Ende::Schrittgrenze) ende_ = Ende::Zeitgrenze;
  sim.merkeStand();
  spur_ = sim.spur();
  warten_ = sim.wartestellen();
  weg_ = sim.weg();
  zeit_ = static_cast<double>(sim.jetzt()) / kSekunde;
  for (int a = 0; a < 4; ++a) pos_[a] = sim.position(a);
  if (ende_ != Ende::Leer && ende_ != Ende::Marken) zusammenfassung(out);
  sim_ = nullptr;
  return ende_;
}

void Lauf::zusammenfassung(std::ostream &out) {
  // Where a limit stopped the run: the line, the line that was waiting
  // (W, or a step whose executor waited), the axes still moving.
  const std::string wo = zeile_ != nullptr ? " at line " + std::to_string(zeileVon(zeile_)) : "";
  const std::string wartend = zeile_ != nullptr && (warteZeile_ == zeile_ || ende_ == Ende::Zeitgrenze)
                                  ? " (" + quellZeile(zeileVon(zeile_)) + " was waiting)"
                                  : "";
  const std::string was = sim_->bewegt();
  const std::string noch = was.empty() ? "" : ", still moving: " + was;
  switch (ende_) {
    case Ende::Ende: out << "program ended (ENDE)"; break;
    case Ende::Kopf: out << "program ended (header of the next program)"; break;
    case Ende::Textende: out << "program ended (end of the text, no ENDE)"; break;
    case Ende::Load: out << "program ended (LOAD: the controller would return to idle)"; break;
    case Ende::Stop: out << "program ended (STOP: the controller holds until the host goes on)"; break;
    case Ende::Fehler: out << "program stopped by an error"; break;
    case Ende::Schrittgrenze:
      out << "program stopped: step limit of " << opt_.maxSchritte << " reached" << wo << wartend << noch
          << " (endless loop? see --max-steps)";
      break;
    case Ende::Zeitgrenze:
      out << "program stopped: time limit of " << zahl(opt_.maxZeit, 3) << " s reached" << wo << wartend
          << noch << " (see --max-time)";
      break;
    default: break;
  }
  out << " after " << schritte_ << (schritte_ == 1 ? " step\n" : " steps\n");
  out << "positions:\n";
  for (int a = 0; a < 4; ++a) {
    char zeile[128];
    std::snprintf(zeile, sizeof zeile, "  %c %12s units %11ld steps\n", kAchsName[a],
                  zahl(sim_->einheiten(a), 3).c_str(), static_cast<long>(sim_->position(a)));
    out << zeile;
  }
  std::ostringstream geaendert;
  for (int i = 0; i < VELA_WERTVARS; ++i)
    if (V_WertVar[i] != werte_[i]) geaendert << "  V" << i << " = " << V_WertVar[i] << '\n';
  for (int i = 0; i < VELA_TEXTVARS; ++i) {
    const std::string t = rechtsOhneBlanks(std::string(V_TextVar[i], strnlen(V_TextVar[i], VELA_TEXTLAENGE)));
    if (!t.empty()) geaendert << "  T" << i << " = \"" << t << "\"\n";
  }
  for (int i = 0; i < VELA_PUNKTVARS; ++i)
    if (V_PunktVar[i].X != 0 || V_PunktVar[i].Y != 0)
      geaendert << "  P" << i << " = " << V_PunktVar[i].X << ", " << V_PunktVar[i].Y << '\n';
  out << "variables changed:" << (geaendert.tellp() > 0 ? "\n" + geaendert.str() : std::string(" none\n"));
  out << "path length: " << zahl(sim_->weg(), 3) << " units\n";
  out << "estimated run time: " << zahl(static_cast<double>(sim_->jetzt()) / kSekunde, 3) << " s\n";
  if (tasks_.size() > 1) {
    out << "tasks run:";
    for (int t : tasks_) out << ' ' << t;
    out << '\n';
  }
  if (opt_.anzeige) zeigeAnzeige(out, "");
}

// Text that the step at p left unread on its line (the library notes
// where its skip to the next line began) is ignored: a warning, once.
void Lauf::ungelesen(const char *p, int zeile) {
  const char *q = vela::UngelesenAb;
  if (q == nullptr || q <= p) return;
  for (const char *r = p; r < q; ++r)
    if (*r == '\r' || *r == '\n' || *r == '\0') return;  // the skip began on another line
  while (*q == ' ' || *q == '\t') ++q;
  const char *e = q;
  while (*e != '\0' && *e != '\r' && *e != '\n') ++e;
  // Nothing, or the quote that closes a text.
  if (e == q || (e == q + 1 && *q == '"')) return;
  const Warnung w{zeile, "text after the command is ignored: \"" + std::string(q, e) + "\""};
  if (std::none_of(warnungen_.begin(), warnungen_.end(), [&](const Warnung &x) { return x.zeile == zeile; }))
    warnungen_.push_back(w);
}

// The check walk is the library's (pruefGang): each failing line is
// collected once per code, each line that executed is looked at for text
// it left unread. Nothing in the walk waits: the executor's waits give up
// at once.
std::vector<Meldung> Lauf::pruefe(const std::string &text) {
  struct Sammler {
    Lauf *lauf;
    std::set<std::pair<int, int16_t>> gemeldet;
    std::vector<Meldung> fehler;
  } sammler{this, {}, {}};
  Simulation sim(opt_.eingaben, opt_.tasten, static_cast<Nanos>(opt_.maxZeit * kSekunde));
  ladeProgramm(text, true);
  sim.binde("");
  sim.beende();
  vela_setTestDatei("");
  auto fehler = [](void *o, const char *p, int16_t code) {
    Sammler &s = *static_cast<Sammler *>(o);
    const int zeile = zeileVon(p);
    if (s.gemeldet.insert({zeile, code}).second) s.fehler.push_back({zeile, code, zeilenText(p)});
  };
  auto schritt = [](void *o, const char *p) {
    // Jumps, labels, headers and RETURN leave their lines on purpose.
    const int befehl = Befehl;
    if (!vela_befehl_hat(befehl, BEF_EIG_SPRUNG | BEF_EIG_ENDE) && befehl != BEF_MARKE &&
        befehl != BEF_RETURN)
      static_cast<Sammler *>(o)->lauf->ungelesen(p, zeileVon(p));
  };
  schritte_ = vela::pruefGang({fehler, schritt, &sammler}, opt_.maxSchritte);
  fehler_ = sammler.fehler;
  return fehler_;
}

}  // namespace velatool
