#include "maschine.h"

#include <algorithm>

#include "vela.h"
#include "vela_befehle.h"

namespace velatool {

Maschine::Maschine(std::vector<Eingabe> eingaben) : eingaben_(std::move(eingaben)) {
  std::stable_sort(eingaben_.begin(), eingaben_.end(),
                   [](const Eingabe &a, const Eingabe &b) { return a.ab < b.ab; });
}

bool Maschine::eingang(int32_t n, Nanos jetzt) const {
  for (const Referenz &r : referenz_)
    if (r.achse >= 0 && r.schalter == n) return r.zu;
  int32_t wert = 0;
  for (const Eingabe &e : eingaben_)
    if (e.nummer == n && e.ab <= jetzt) wert = e.wert;
  return wert != 0;
}

void Maschine::setzeEingang(int32_t n, int32_t wert, Nanos ab) {
  const auto hinter = std::upper_bound(eingaben_.begin(), eingaben_.end(), ab,
                                       [](Nanos t, const Eingabe &e) { return t < e.ab; });
  eingaben_.insert(hinter, Eingabe{n, wert, ab});
}

void Maschine::setzeAusgang(uint8_t n, uint8_t wert) {
  ausgaenge_[n] = wert;
  notizen_.push_back("output " + std::to_string(n) + (wert != 0 ? " on" : " off"));
}

std::string Maschine::ausgaengeAn() const {
  std::string t;
  for (int n = 0; n < kAusgaenge; ++n)
    if (ausgaenge_[n] != 0) t += (t.empty() ? "" : " ") + std::to_string(n);
  return t;
}

std::vector<std::string> Maschine::nimmAusgangsNotizen() {
  std::vector<std::string> n;
  n.swap(notizen_);
  return n;
}

void Maschine::setzeTasten(std::vector<Tastendruck> tasten, bool endlich) {
  std::stable_sort(tasten.begin(), tasten.end(),
                   [](const Tastendruck &a, const Tastendruck &b) { return a.ab < b.ab; });
  druecke_.clear();
  for (const Tastendruck &t : tasten) druecke_.push_back({t.ab, t.ab + kTastenDauer, t.code});
  gemeldet_ = 0;
  endlich_ = endlich;
}

void Maschine::drueckeTaste(uint8_t code, Nanos jetzt, Nanos dauer) {
  // Presses reported and released are forgotten; beyond kMaxTasten waiting
  // the oldest waiting one is.
  std::size_t weg = 0;
  while (weg < gemeldet_ && druecke_[weg].bis <= jetzt) ++weg;
  druecke_.erase(druecke_.begin(), druecke_.begin() + static_cast<std::ptrdiff_t>(weg));
  gemeldet_ -= weg;
  if (druecke_.size() - gemeldet_ >= kMaxTasten)
    druecke_.erase(druecke_.begin() + static_cast<std::ptrdiff_t>(gemeldet_));
  druecke_.push_back({jetzt, jetzt + dauer, code});
}

uint8_t Maschine::taste(Nanos jetzt) const {
  // The latest press that holds its key.
  for (auto d = druecke_.rbegin(); d != druecke_.rend(); ++d)
    if (d->ab <= jetzt && jetzt < d->bis) return d->code;
  if (endlich_ && (druecke_.empty() || jetzt >= druecke_.back().bis)) return vela::KEINE_TASTE_MEHR;
  return vela::KEINE_TASTE;
}

void Maschine::meldeTasten(Nanos jetzt) {
  while (gemeldet_ < druecke_.size() && druecke_[gemeldet_].ab <= jetzt &&
         vela::meldeTaste(druecke_[gemeldet_].code))
    ++gemeldet_;
}

void Maschine::schalter(const int32_t position[4]) {
  for (Referenz &r : referenz_) {
    if (r.achse < 0) continue;
    const int32_t weg = position[r.achse] - r.start;
    if (r.richtung == 0 && weg != 0) r.richtung = weg > 0 ? 1 : -1;
    const int32_t aussen = weg * r.richtung;
    if (!r.zu && aussen >= kReferenzWeg) r.zu = true;
    if (r.zu && aussen <= kReferenzWeg - kFreiWeg) r.zu = false;
  }
}

void Maschine::referenzStart(const int32_t position[4], int achse, int schalterNr, int achse2,
                             int schalter2) {
  referenz_[0] =
      achse >= 0 && achse < 4 ? Referenz{achse, schalterNr, position[achse], 0, false} : Referenz{};
  referenz_[1] =
      achse2 >= 0 && achse2 < 4 ? Referenz{achse2, schalter2, position[achse2], 0, false} : Referenz{};
}

int16_t Maschine::nachSchritt(const int32_t position[4], int16_t ergebnis) {
  const int befehl = Befehl;
  const bool home = ergebnis == 0 && vela_befehl_hat(befehl, BEF_EIG_REFERENZ);
  if (home)
    referenzStart(position, vela::ArgWert3, vela::ReferenzSchalter[0],
                  vela_befehl_hat(befehl, BEF_EIG_PAAR) ? vela::ArgWert4 : -1, vela::ReferenzSchalter[1]);
  const int16_t e = vela::standardAusfuehrer(vela::NACH_SCHRITT, ergebnis);
  if (home) referenz_[0] = referenz_[1] = Referenz{};
  return e;
}

}  // namespace velatool
