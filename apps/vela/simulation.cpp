// The simulated controller's platform. The motors are the library's
// scheduler, in nanoseconds: a step rate v means one step every 1/v s. The
// track is recorded where a motion starts or ends, where a path segment
// changes and along an arc every kSehne steps, so that it holds the
// geometric path (not the step staircase).
#include "simulation.h"

#include <cmath>

#include "vela.h"
#include "vela_steuerung.h"

namespace velatool {

namespace {

// An arc's track takes a point once X or Y moved this many steps.
constexpr int32_t kSehne = 16;

}  // namespace

// The platform's hooks; the binding's context and every object of its
// channels is the simulation.
struct Haken {
  static Simulation &sim(void *k) { return *static_cast<Simulation *>(k); }
  static void hostSchreibe(void *k, char c) { sim(k).host_ += c; }
  static int16_t hostLies(void *) { return vela::KEIN_ZEICHEN; }
  static void anzeigeSchreibe(void *k, char c) {
    vela::DisplayInhalt.schreibe(c);
    sim(k).anzeige_ += c;
  }
  static void anzeigeBefehl(void *, uint8_t code) { vela::DisplayInhalt.befehl(code); }
  static void anzeigeGehe(void *, int16_t s, int16_t z) { vela::DisplayInhalt.gehe(s, z); }
  static uint32_t ticks(void *k) { return static_cast<uint32_t>(sim(k).jetzt_ / kMilli); }
  static uint8_t taste(void *k) { return sim(k).taste(); }
  static int16_t leseSchalter(void *k, uint8_t n, uint8_t *zustand) {
    *zustand = sim(k).eingang(n) ? 0 : 1;
    return 0;
  }
  static int16_t setzeSchalter(void *k, uint8_t n, uint8_t wert) {
    sim(k).maschine_.setzeAusgang(n, wert);
    return 0;
  }
  static bool oeffne(void *k) {
    Simulation &s = sim(k);
    if (++s.downloads_ > 1) {
      // Back to idle: the run is over. The store is kept as it stands (the
      // failed download that follows empties it).
      s.beendet_ = true;
      s.store_.assign(Programm, sizeof Programm);
      return false;
    }
    s.gelesen_ = 0;
    return true;
  }
  static int16_t lies(void *k) {
    Simulation &s = sim(k);
    if (s.gelesen_ < s.text_.size()) return static_cast<uint8_t>(s.text_[s.gelesen_++]);
    if (s.gelesen_++ == s.text_.size()) return '$';
    return vela::KANAL_ENDE;
  }
  static void leerlauf(void *k) { sim(k).leerlauf(); }
  static bool beenden(void *k) { return sim(k).beendet_; }
};

Simulation::Simulation(std::vector<Eingabe> eingaben, std::vector<Tastendruck> tasten, Nanos maxZeit)
    : maschine_(std::move(eingaben)),
      mitTasten_(!tasten.empty()),
      maxZeit_(maxZeit),
      takt_(kMilli, {[](void *o, const vela::MotorSchritt &m) { static_cast<Simulation *>(o)->schritt(m); },
                     [](void *o, uint8_t q, bool l) { static_cast<Simulation *>(o)->wechsel(q, l); }, this}) {
  maschine_.setzeTasten(std::move(tasten), true);
  spur_.push_back({Art::Achse, {0.0}, {0.0}});
}

Simulation::~Simulation() {
  if (gebunden_) vela::bindePlattform(vela::konsolPlattform());
}

void Simulation::binde(const std::string &text) {
  // A line of the file that begins with the end mark '$' (a comment line)
  // would end the download there: it goes down as the other comment mark.
  text_ = text;
  for (std::size_t i = 1; i < text_.size(); ++i)
    if (text_[i] == '$' && text_[i - 1] == '\r') text_[i] = '@';
  vela::DisplayInhalt = vela::Anzeige{};
  vela::Plattform p{};
  p.host = {Haken::hostSchreibe, Haken::hostLies, nullptr, this};
  p.display = {Haken::anzeigeSchreibe, nullptr, nullptr, this};
  p.displayBefehl = Haken::anzeigeBefehl;
  p.displayGehe = Haken::anzeigeGehe;
  p.leseTicks = Haken::ticks;
  if (mitTasten_) p.leseTaste = Haken::taste;
  p.leseSchalter = Haken::leseSchalter;
  p.setzeSchalter = Haken::setzeSchalter;
  p.lade = {Haken::oeffne, Haken::lies, nullptr, this, 0};
  p.leerlauf = Haken::leerlauf;
  p.beenden = Haken::beenden;
  p.kontext = this;
  vela::bindePlattform(p);
  gebunden_ = true;
}

std::string Simulation::nimmAnzeige() {
  std::string t;
  t.swap(anzeige_);
  return t;
}

bool Simulation::eingang(int32_t n) const { return maschine_.eingang(n, jetzt_); }

uint8_t Simulation::taste() const { return maschine_.taste(jetzt_); }

double Simulation::einheiten(int achse) const {
  const vela::AntriebsStand s = vela::leseAntriebsStand();
  const double mm = s.AchsMM[achse], schritte = s.AchsSchritte[achse] == 0 ? 1 : s.AchsSchritte[achse];
  return static_cast<double>(takt_.position[achse]) * mm / schritte;
}

void Simulation::merke(Art art) {
  const double p[3] = {einheiten(0), einheiten(1), einheiten(2)};
  weg_ += std::sqrt((p[0] - letzte_[0]) * (p[0] - letzte_[0]) + (p[1] - letzte_[1]) * (p[1] - letzte_[1]) +
                    (p[2] - letzte_[2]) * (p[2] - letzte_[2]));
  if (spur_.back().art != art) spur_.push_back({art, {spur_.back().x.back()}, {spur_.back().y.back()}});
  Spur &s = spur_.back();
  if (s.x.back() != p[0] || s.y.back() != p[1]) {
    s.x.push_back(p[0]);
    s.y.push_back(p[1]);
  }
  for (int i = 0; i < 3; ++i) letzte_[i] = p[i];
}

void Simulation::merkeWarten() {
  const Wartestelle w{einheiten(0), einheiten(1)};
  if (warten_.empty() || warten_.back().x != w.x || warten_.back().y != w.y) warten_.push_back(w);
}

void Simulation::schritt(const vela::MotorSchritt &m) {
  if (m.quelle < 4) {
    maschine_.schalter(takt_.position);
    return;
  }
  const int32_t *pos = takt_.position;
  if (m.kreis != 0 && m.segmentEnde == 0) {
    if (std::abs(pos[0] - kreisMarke_[0]) < kSehne && std::abs(pos[1] - kreisMarke_[1]) < kSehne) return;
  } else if (m.segmentEnde == 0) {
    return;
  }
  kreisMarke_[0] = pos[0];
  kreisMarke_[1] = pos[1];
  merke(m.kreis != 0 ? Art::Kreis : Art::Bahn);
}

void Simulation::wechsel(uint8_t quelle, bool laeuft) {
  if (quelle < 4) {
    merke(Art::Achse);
  } else if (laeuft) {
    kreisMarke_[0] = takt_.position[0];
    kreisMarke_[1] = takt_.position[1];
    merke(spur_.back().art);
  }
}

void Simulation::leerlauf() {
  jetzt_ += kMilli;
  takt_.fahre(jetzt_);
  maschine_.meldeTasten(jetzt_);
  if (zeitUeberschritten()) beendet_ = true;
}

bool Simulation::allesRuhig() const { return !takt_.laeuft(); }

std::string Simulation::bewegt() const {
  std::string t;
  const char *namen[5] = {"X", "Y", "Z", "A", "path"};
  const vela::AntriebsStand s = vela::leseAntriebsStand();
  for (int a = 0; a < 5; ++a) {
    const bool aktiv = a < 4 ? s.AchsLaeuft[a] != 0 : s.BahnAktiv != 0;
    if (aktiv) t += (t.empty() ? "" : ", ") + std::string(namen[a]);
  }
  return t;
}

void Simulation::laufeAus() {
  while (!allesRuhig() && !zeitUeberschritten()) {
    jetzt_ += kMilli;
    takt_.fahre(jetzt_);
  }
}

void Simulation::uebernimmSoll() {
  if ((takt_.uebernimmSoll() & 7) != 0) {
    // A preset moves nothing: the track continues from the new position.
    for (int i = 0; i < 3; ++i) letzte_[i] = einheiten(i);
    spur_.push_back({spur_.back().art, {letzte_[0]}, {letzte_[1]}});
  }
}

}  // namespace velatool
