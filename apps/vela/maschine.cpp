// The simulated machine: an event clock over four single-axis step clocks
// and the path clock.
//
//   uhr_ ──► earliest of faellig_[X Y Z A I] ──► tick that clock ──► reschedule
//
// The single-axis tick follows the ramp rule of the library's tick of axis
// X (stage up one per step, never above the ramp length, and near the end
// never above the steps that remain); the path tick is the library's
// stepBahn. Moves are recorded for the plot at their start and end points,
// path lines at their segment ends, circles step by step.
#include "maschine.h"

#include <cmath>
#include <cstdlib>

#include "planner/achsen.h"
#include "planner/bahn.h"

namespace velatool {

namespace {

// Events one wait may process before the machine gives up on it (a move of
// 2^31 steps would otherwise keep the tool busy for hours).
constexpr long kMaxEreignisse = 20000000;
// Path ticks in a row that change nothing before the path is dropped.
constexpr int kMaxStillstand = 10000;

}  // namespace

Maschine::Maschine() { spur_.push_back({Art::Achse, {0.0}, {0.0}}); }

double Maschine::einheiten(int achse) const {
  return static_cast<double>(pos_[achse]) * vela::AchsMM[achse] / vela::AchsSchritte[achse];
}

void Maschine::merke(Art art) {
  const double p[3] = {einheiten(0), einheiten(1), einheiten(2)};
  weg_ += std::sqrt((p[0] - letzte_[0]) * (p[0] - letzte_[0]) + (p[1] - letzte_[1]) * (p[1] - letzte_[1]) +
                    (p[2] - letzte_[2]) * (p[2] - letzte_[2]));
  if (spur_.back().art != art) spur_.push_back({art, {letzte_[0]}, {letzte_[1]}});
  Spur &s = spur_.back();
  if (s.x.back() != p[0] || s.y.back() != p[1]) {
    s.x.push_back(p[0]);
    s.y.push_back(p[1]);
  }
  for (int i = 0; i < 3; ++i) letzte_[i] = p[i];
}

bool Maschine::ruhig(int achse) const {
  if (achse < 4) return vela::AchsLaeuft[achse] == 0;
  return vela::BahnAktiv == 0 && vela::RestSchritte[0] == 0 && vela::RestSchritte[1] == 0 &&
         vela::RestSchritte[2] == 0;
}

Nanos Maschine::schrittDauer(int achse) const {
  int64_t v = vela::StartGeschw[achse] + int64_t{vela::RampenStufe[achse]} * vela::RampenInkrement[achse];
  if (vela::MaxGeschw[achse] >= vela::StartGeschw[achse] && v > vela::MaxGeschw[achse])
    v = vela::MaxGeschw[achse];
  return kSekunde / (v < 1 ? 1 : v);
}

Nanos Maschine::bahnDauer() const {
  const int64_t v = vela::BahnGeschw;
  return kSekunde / (v < 1 ? 1 : v);
}

void Maschine::starteAchse(int achse) {
  const int32_t delta = vela::DeltaSchritte[achse];
  if (delta == 0) return;
  if (!ruhig(achse)) laufeBisRuhig(achse);
  const int64_t betrag = std::llabs(int64_t{delta});
  vela::RestSchritte[achse] = betrag > INT32_MAX ? INT32_MAX : static_cast<int32_t>(betrag);
  vela::AchsRichtung[achse] = delta < 0 ? 1 : 0;
  vela::RampenStufe[achse] = 0;
  vela::AchsLaeuft[achse] = 1;
  vela::StopAnforderung[achse] = 0;
  faellig_[achse] = uhr_ + schrittDauer(achse);
}

// One step of a single axis, with the ramp stage of the library's X tick.
void Maschine::tickAchse(int a) {
  int32_t &rest = vela::RestSchritte[a];
  uint16_t &stufe = vela::RampenStufe[a];
  const uint16_t rampe = vela::RampenLaenge[a];
  if (rest != 0) {
    --rest;
    pos_[a] += vela::AchsRichtung[a] != 0 ? -1 : 1;
  }
  if (rest == 0) {
    if (vela::AchsLaeuft[a] != 0) --vela::AchsLaeuft[a];
    merke(Art::Achse);
  } else if (rest > rampe) {
    if (stufe < rampe) ++stufe;
  } else if (stufe < rest) {
    ++stufe;
  } else {
    stufe = static_cast<uint16_t>(rest - 1);
  }
  faellig_[a] = uhr_ + schrittDauer(a);
}

// One path tick. Line segments end where the library's ring says so (the
// read index moves on, or the path goes idle); the axes then stand at the
// segment's target.
void Maschine::tickBahn() {
  const uint8_t index = vela::BahnLeseIndex;
  const vela::BahnSegment seg = vela::BahnQueue[index];
  const int32_t rest = vela::BahnRest;
  int32_t vorher[3];
  for (int i = 0; i < 3; ++i) vorher[i] = vela::TestPos[i];
  vela::stepBahn();
  bool fortschritt = rest != vela::BahnRest;
  for (int i = 0; i < 3; ++i) {
    if (vela::TestPos[i] != vorher[i]) fortschritt = true;
    pos_[i] += vela::TestPos[i] - vorher[i];
  }
  if (vela::BahnLeseIndex != index || vela::BahnAktiv == 0) {
    fortschritt = true;
    const int achsen = seg.Typ == vela::TYP_GERADE ? 3 : 2;
    for (int i = 0; i < achsen; ++i) pos_[i] = vela::toSchritte(static_cast<uint8_t>(i), seg.ZielPos[i]);
    merke(Art::Bahn);
  }
  stillstand_ = fortschritt ? 0 : stillstand_ + 1;
  if (stillstand_ > kMaxStillstand || vela::BahnRest < -kMaxStillstand) {
    // A tick that never ends its segment would hold the program forever.
    hinweis_ = "the path tick made no progress; the queued path was dropped";
    vela::BahnAktiv = 0;
    vela::BahnSchreibIndex = vela::BahnLeseIndex;
    for (int i = 0; i < 3; ++i) vela::RestSchritte[i] = 0;
    stillstand_ = 0;
  }
  faellig_[4] = uhr_ + bahnDauer();
}

// Processes the earliest due event if it is due by the limit; false when
// nothing runs or nothing is due by then.
bool Maschine::tick(Nanos grenze) {
  if (vela::BahnAktiv != 0 && !bahnLief_) faellig_[4] = uhr_ + bahnDauer();
  bahnLief_ = vela::BahnAktiv != 0;
  int naechste = -1;
  for (int a = 0; a < 5; ++a) {
    const bool aktiv = a < 4 ? vela::AchsLaeuft[a] != 0 : vela::BahnAktiv != 0;
    if (aktiv && (naechste < 0 || faellig_[a] < faellig_[naechste])) naechste = a;
  }
  if (naechste < 0 || faellig_[naechste] > grenze) return false;
  uhr_ = faellig_[naechste];
  if (naechste < 4) {
    tickAchse(naechste);
  } else {
    tickBahn();
  }
  return true;
}

void Maschine::laufe(Nanos dauer) {
  const Nanos ende = uhr_ + dauer;
  for (long n = 0; n < kMaxEreignisse && tick(ende); ++n) {
  }
  if (uhr_ < ende) uhr_ = ende;
}

bool Maschine::laufeBisRuhig(int achse) {
  for (long n = 0; n < kMaxEreignisse && !ruhig(achse) && tick(INT64_MAX); ++n) {
  }
  return ruhig(achse);
}

bool Maschine::laufeBisBahnFrei() {
  for (long n = 0; n < kMaxEreignisse && vela::isBahnVoll() && tick(INT64_MAX); ++n) {
  }
  return !vela::isBahnVoll();
}

bool Maschine::laufeBisAllesRuhig() {
  bool ok = true;
  for (int a = 0; a < 5; ++a) ok = laufeBisRuhig(a) && ok;
  return ok;
}

void Maschine::referenz(int achse, int32_t richtung) {
  laufeBisRuhig(achse);
  const int32_t sinn = richtung == 0 ? 1 : -1;
  const int64_t v = vela::StartGeschw[achse] < 1 ? 1 : vela::StartGeschw[achse];
  pos_[achse] += sinn * kReferenzWeg;
  merke(Art::Achse);
  pos_[achse] -= sinn * kFreiWeg;
  merke(Art::Achse);
  uhr_ += (kReferenzWeg + kFreiWeg) * kSekunde / v;
  // The release point is the new zero: the track starts afresh there.
  pos_[achse] = 0;
  vela::SollPos[achse] = 0;
  vela::SollSchritte[achse] = 0;
  if (achse < 3) letzte_[achse] = 0;
  spur_.push_back({Art::Achse, {einheiten(0)}, {einheiten(1)}});
}

void Maschine::kreisGelaufen(const std::vector<std::pair<int32_t, int32_t>> &schritte) {
  const int32_t x0 = pos_[0], y0 = pos_[1];
  for (const auto &[dx, dy] : schritte) {
    pos_[0] = x0 + dx;
    pos_[1] = y0 + dy;
    merke(Art::Kreis);
  }
  const int64_t v = vela::MaxGeschw[4] < 1 ? 1 : vela::MaxGeschw[4];
  uhr_ += static_cast<Nanos>(schritte.size()) * kSekunde / v;
  uebernehmeSollSchritte();
}

void Maschine::uebernehmeSollSchritte() {
  bool versetzt = false;
  for (int a = 0; a < 4; ++a) {
    if (ruhig(a) && pos_[a] != vela::SollSchritte[a]) {
      pos_[a] = vela::SollSchritte[a];
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
