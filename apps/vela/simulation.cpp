// The simulated controller's platform. The motors follow the rule of
// docs/executor.md ("Writing a platform's motors"), in nanoseconds: a step
// rate v means one step every 1/v s. The track is recorded where a motion
// starts or ends and where a path segment changes, so that it holds the
// geometric path (not the step staircase).
#include "simulation.h"

#include <algorithm>
#include <cmath>

#include "vela.h"
#include "vela_steuerung.h"

namespace velatool {

Simulation *Simulation::aktiv = nullptr;

namespace {

// Fastest step rate simulated (steps per second), so that a huge rate
// cannot make one idle round run for ever.
constexpr uint32_t kMaxRate = 1000000;

Nanos periode(uint32_t rate) {
  if (rate == 0) rate = 1;
  if (rate > kMaxRate) rate = kMaxRate;
  return kSekunde / rate;
}

}  // namespace

// The platform's plain-function hooks, forwarding to the bound simulation.
struct Haken {
  static void hostSchreibe(void *, char c) { Simulation::aktiv->host_ += c; }
  static int16_t hostLies(void *) { return vela::KEIN_ZEICHEN; }
  static void anzeigeSchreibe(void *, char c) {
    vela::DisplayInhalt.schreibe(c);
    Simulation::aktiv->anzeige_ += c;
  }
  static void anzeigeBefehl(void *, uint8_t code) { vela::DisplayInhalt.befehl(code); }
  static void anzeigeGehe(void *, int16_t s, int16_t z) { vela::DisplayInhalt.gehe(s, z); }
  static uint32_t ticks() { return static_cast<uint32_t>(Simulation::aktiv->jetzt_ / kMilli); }
  static uint8_t taste() { return Simulation::aktiv->taste(); }
  static int16_t leseSchalter(uint8_t n, uint8_t *zustand) {
    *zustand = Simulation::aktiv->eingang(n) ? 0 : 1;
    return 0;
  }
  static int16_t setzeSchalter(uint8_t, uint8_t) { return 0; }
  static bool oeffne(void *) {
    Simulation &s = *Simulation::aktiv;
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
  static int16_t lies(void *) {
    Simulation &s = *Simulation::aktiv;
    if (s.gelesen_ < s.text_.size()) return static_cast<uint8_t>(s.text_[s.gelesen_++]);
    if (s.gelesen_++ == s.text_.size()) return '$';
    return vela::KANAL_ENDE;
  }
  static void leerlauf() { Simulation::aktiv->leerlauf(); }
  static bool beenden() { return Simulation::aktiv->beendet_; }
};

Simulation::Simulation(std::vector<Eingabe> eingaben, std::vector<Tastendruck> tasten, Nanos maxZeit)
    : eingaben_(std::move(eingaben)), tasten_(std::move(tasten)), maxZeit_(maxZeit) {
  std::stable_sort(eingaben_.begin(), eingaben_.end(),
                   [](const Eingabe &a, const Eingabe &b) { return a.ab < b.ab; });
  std::stable_sort(tasten_.begin(), tasten_.end(),
                   [](const Tastendruck &a, const Tastendruck &b) { return a.ab < b.ab; });
  spur_.push_back({Art::Achse, {0.0}, {0.0}});
}

Simulation::~Simulation() {
  if (aktiv == this) {
    vela::bindePlattform(vela::konsolPlattform());
    aktiv = nullptr;
  }
}

void Simulation::binde(const std::string &text) {
  // A line of the file that begins with the end mark '$' (a comment line)
  // would end the download there: it goes down as the other comment mark.
  text_ = text;
  for (std::size_t i = 1; i < text_.size(); ++i)
    if (text_[i] == '$' && text_[i - 1] == '\r') text_[i] = '@';
  aktiv = this;
  vela::DisplayInhalt = vela::Anzeige{};
  vela::Plattform p{};
  p.host = {Haken::hostSchreibe, Haken::hostLies, nullptr, nullptr};
  p.display = {Haken::anzeigeSchreibe, nullptr, nullptr, nullptr};
  p.displayBefehl = Haken::anzeigeBefehl;
  p.displayGehe = Haken::anzeigeGehe;
  p.leseTicks = Haken::ticks;
  if (!tasten_.empty()) p.leseTaste = Haken::taste;
  p.leseSchalter = Haken::leseSchalter;
  p.setzeSchalter = Haken::setzeSchalter;
  p.lade = {Haken::oeffne, Haken::lies, nullptr, nullptr, 0};
  p.leerlauf = Haken::leerlauf;
  p.beenden = Haken::beenden;
  vela::bindePlattform(p);
}

std::string Simulation::nimmAnzeige() {
  std::string t;
  t.swap(anzeige_);
  return t;
}

bool Simulation::eingang(int32_t n) const {
  for (const Referenz &r : referenz_)
    if (r.achse >= 0 && r.schalter == n) return r.zu;
  int32_t wert = 0;
  for (const Eingabe &e : eingaben_)
    if (e.nummer == n && e.ab <= jetzt_) wert = e.wert;
  return wert != 0;
}

uint8_t Simulation::taste() const {
  for (const Tastendruck &t : tasten_)
    if (t.ab <= jetzt_ && jetzt_ < t.ab + kTastenDauer) return t.code;
  // After the last press the script has run out: waits for keys give up.
  return jetzt_ >= tasten_.back().ab + kTastenDauer ? vela::KEINE_TASTE_MEHR : vela::KEINE_TASTE;
}

double Simulation::einheiten(int achse) const {
  const vela::AntriebsStand s = vela::leseAntriebsStand();
  const double mm = s.AchsMM[achse], schritte = s.AchsSchritte[achse] == 0 ? 1 : s.AchsSchritte[achse];
  return static_cast<double>(pos_[achse]) * mm / schritte;
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

void Simulation::schalter() {
  for (Referenz &r : referenz_) {
    if (r.achse < 0) continue;
    const int32_t weg = pos_[r.achse] - r.start;
    if (r.richtung == 0 && weg != 0) r.richtung = weg > 0 ? 1 : -1;
    const int32_t aussen = weg * r.richtung;
    if (!r.zu && aussen >= kReferenzWeg) r.zu = true;
    if (r.zu && aussen <= kReferenzWeg - kFreiWeg) r.zu = false;
  }
}

void Simulation::referenzStart(int achse, int schalterNr, int achse2, int schalter2) {
  referenz_[0] = achse >= 0 && achse < 4 ? Referenz{achse, schalterNr, pos_[achse], 0, false} : Referenz{};
  referenz_[1] = achse2 >= 0 && achse2 < 4 ? Referenz{achse2, schalter2, pos_[achse2], 0, false} : Referenz{};
}

void Simulation::referenzEnde() { referenz_[0] = referenz_[1] = Referenz{}; }

// One path tick: the axes made the steps their counts dropped by; a
// segment that ends makes its last steps in that tick.
void Simulation::bahnTakt() {
  int32_t schritte[3];
  const bool segmentEnde = vela::stepBahnSchritte(schritte);
  for (int i = 0; i < 3; ++i) pos_[i] += schritte[i];
  if (segmentEnde) merke(Art::Bahn);
}

void Simulation::motoren(Nanos bis) {
  for (uint8_t a = 0; a < 4; ++a) {
    const vela::AntriebsStand s = vela::leseAntriebsStand();
    if (s.AchsLaeuft[a] == 0) {
      if (laeuft_[a]) merke(Art::Achse);
      laeuft_[a] = false;
      continue;
    }
    if (s.StopAnforderung[a] == 2) {
      vela::haltAchse(a);
      laeuft_[a] = false;
      merke(Art::Achse);
      continue;
    }
    if (!laeuft_[a]) {
      merke(Art::Achse);
      laeuft_[a] = true;
      faellig_[a] = bis - kMilli + periode(vela::achsGeschw(a));
    }
    while (!vela::isAchseFertig(a) && faellig_[a] <= bis) {
      pos_[a] += vela::taktAchse(a);
      faellig_[a] += periode(vela::achsGeschw(a));
      schalter();
    }
    if (vela::isAchseFertig(a)) {
      laeuft_[a] = false;
      merke(Art::Achse);
    }
  }
  vela::AntriebsStand s = vela::leseAntriebsStand();
  if (s.BahnAktiv == 0) {
    laeuft_[4] = false;
    return;
  }
  if (!laeuft_[4]) {
    merke(spur_.back().art);
    laeuft_[4] = true;
    faellig_[4] = bis - kMilli + periode(s.BahnGeschw);
  }
  while (vela::leseAntriebsStand().BahnAktiv != 0 && faellig_[4] <= bis) {
    bahnTakt();
    faellig_[4] += periode(vela::leseAntriebsStand().BahnGeschw);
  }
  laeuft_[4] = vela::leseAntriebsStand().BahnAktiv != 0;
}

void Simulation::leerlauf() {
  jetzt_ += kMilli;
  motoren(jetzt_);
  if (zeitUeberschritten()) beendet_ = true;
}

bool Simulation::allesRuhig() const {
  for (int16_t a = 0; a < 5; ++a)
    if (!vela::isAchseFertig(a)) return false;
  return true;
}

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
    motoren(jetzt_);
  }
}

void Simulation::uebernimmSoll(const std::vector<std::pair<int32_t, int32_t>> &kreis) {
  const vela::AntriebsStand s = vela::leseAntriebsStand();
  if (!kreis.empty()) {
    // The arc starts where the last motion ended. Its length is measured
    // over chords of at least kSehne steps, not over the step staircase.
    constexpr int32_t kSehne = 16;
    const int32_t x0 = pos_[0], y0 = pos_[1];
    int32_t lx = 0, ly = 0;
    for (std::size_t i = 0; i < kreis.size(); ++i) {
      const auto [dx, dy] = kreis[i];
      if (i + 1 < kreis.size() && std::abs(dx - lx) < kSehne && std::abs(dy - ly) < kSehne) continue;
      pos_[0] = x0 + dx;
      pos_[1] = y0 + dy;
      lx = dx;
      ly = dy;
      merke(Art::Kreis);
    }
  }
  bool versetzt = false;
  for (int a = 0; a < 4; ++a) {
    if (pos_[a] != s.SollSchritte[a]) {
      pos_[a] = s.SollSchritte[a];
      versetzt = versetzt || a < 3;
    }
  }
  if (versetzt) {
    // A preset moves nothing: the track continues from the new position.
    for (int i = 0; i < 3; ++i) letzte_[i] = einheiten(i);
    spur_.push_back({spur_.back().art, {letzte_[0]}, {letzte_[1]}});
  }
}

}  // namespace velatool
