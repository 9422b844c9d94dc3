// The motor scheduler (MotorTakt in vela_steuerung.h): the one place where
// a platform's motors step. Each round it keeps, for every axis and for the
// path, the time of the next step:
//
//   for axis 0..3 with a running single-axis move:
//     stop requested: haltAchse (the move ends where it stands)
//     else while its step is due: taktAchse; next step 1/achsGeschw later
//   while the path runs and its step is due: stepBahn; next 1/BahnGeschw later
#include <cstdint>

#include "planner/achsen.h"
#include "planner/antrieb.h"
#include "planner/bahn.h"
#include "vela_steuerung.h"

namespace vela {

int64_t MotorTakt::periode(uint32_t rate) const {
  if (rate == 0) rate = 1;
  if (rate > kMaxRate) rate = kMaxRate;
  return nsProTick_ * 1000 / rate;
}

void MotorTakt::wechsel(uint8_t quelle, bool laeuft) {
  laeuft_[quelle] = laeuft;
  if (melder_.wechsel != nullptr) melder_.wechsel(melder_.objekt, quelle, laeuft);
}

void MotorTakt::fahre(int64_t jetzt) {
  const int64_t vorher = zuletzt_;
  zuletzt_ = jetzt;
  for (uint8_t a = 0; a < kMotorAchsen; ++a) {
    if (AchsLaeuft[a] == 0) {
      if (laeuft_[a]) wechsel(a, false);
      continue;
    }
    if (StopAnforderung[a] == 2) {
      haltAchse(a);
      ++gestoppt;
      wechsel(a, false);
      continue;
    }
    if (!laeuft_[a]) {
      faellig_[a] = vorher + periode(achsGeschw(a));
      wechsel(a, true);
    }
    for (long n = 0; AchsLaeuft[a] != 0 && faellig_[a] <= jetzt; ++n) {
      if (n == kMaxSchritteProRunde) {
        faellig_[a] = jetzt;
        break;
      }
      MotorSchritt s{a, {0, 0, 0, 0}, 0, 0};
      s.schritte[a] = taktAchse(a);
      position[a] += s.schritte[a];
      faellig_[a] += periode(achsGeschw(a));
      if (melder_.schritt != nullptr) melder_.schritt(melder_.objekt, s);
    }
    // A move started right after this one ended makes its first step a period later.
    if (AchsLaeuft[a] == 0) wechsel(a, false);
  }
  if (BahnAktiv == 0) {
    if (laeuft_[ACHSE_I]) wechsel(ACHSE_I, false);
    return;
  }
  if (!laeuft_[ACHSE_I]) {
    faellig_[ACHSE_I] = vorher + periode(BahnGeschw);
    wechsel(ACHSE_I, true);
  }
  for (long n = 0; BahnAktiv != 0 && faellig_[ACHSE_I] <= jetzt; ++n) {
    if (n == kMaxSchritteProRunde) {
      faellig_[ACHSE_I] = jetzt;
      break;
    }
    MotorSchritt s;
    stepBahn(s);
    for (int i = 0; i < 3; ++i) position[i] += s.schritte[i];
    faellig_[ACHSE_I] += periode(BahnGeschw);
    if (melder_.schritt != nullptr) melder_.schritt(melder_.objekt, s);
  }
  if (BahnAktiv == 0) wechsel(ACHSE_I, false);
}

bool MotorTakt::laeuft() const {
  if (BahnAktiv != 0) return true;
  for (int a = 0; a < kMotorAchsen; ++a)
    if (AchsLaeuft[a] != 0) return true;
  return false;
}

uint8_t MotorTakt::uebernimmSoll() {
  if (laeuft()) return 0;
  uint8_t geaendert = 0;
  for (int a = 0; a < kMotorAchsen; ++a) {
    if (position[a] != SollSchritte[a]) geaendert = static_cast<uint8_t>(geaendert | 1 << a);
    position[a] = SollSchritte[a];
  }
  return geaendert;
}

}  // namespace vela
