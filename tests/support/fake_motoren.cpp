#include "support/fake_motoren.h"

#include "platform/plattform.h"
#include "support/fake_geraete.h"
#include "vela_steuerung.h"

FakeMotoren motoren;

namespace {

uint32_t periode(uint32_t geschw) { return geschw >= 1000 ? 1 : 1000 / (geschw == 0 ? 1 : geschw); }

bool faellig(uint32_t wann, uint32_t jetzt) { return static_cast<int32_t>(jetzt - wann) >= 0; }

void schalter() {
  for (int a = 0; a < 4; ++a) {
    const auto &r = motoren.referenz[a];
    if (r.schalter < 0 || static_cast<std::size_t>(r.schalter) >= fake.schalterEin.size()) continue;
    const bool zu = r.richtung > 0 ? motoren.position[a] >= r.bei : motoren.position[a] <= r.bei;
    fake.schalterEin[r.schalter] = zu ? 0 : 1;
  }
}

// One path tick. Within a segment the axes made the steps their counts
// dropped by; a segment that ends makes its last steps in that tick (a stop
// that ends the path: at most one per axis).
void bahnTakt() {
  const vela::AntriebsStand v = vela::leseAntriebsStand();
  vela::stepBahn();
  ++motoren.bahnTakte;
  const vela::AntriebsStand n = vela::leseAntriebsStand();
  const bool weiter = n.BahnAktiv != 0 && n.BahnSegment == v.BahnSegment;
  for (int i = 0; i < 3; ++i) {
    int32_t gemacht = weiter ? v.RestSchritte[i] - n.RestSchritte[i] : v.RestSchritte[i];
    if (!weiter && v.StopAnforderung[4] != 0 && gemacht > 1) gemacht = 1;
    motoren.position[i] += v.BahnMinus[i] != 0 ? -gemacht : gemacht;
  }
}

void takt() {
  const uint32_t jetzt = vela::getTicks();
  for (uint8_t a = 0; a < 4; ++a) {
    vela::AntriebsStand s = vela::leseAntriebsStand();
    if (s.AchsLaeuft[a] == 0) {
      motoren.laeuft[a] = false;
      continue;
    }
    if (s.StopAnforderung[a] == 2) {
      vela::haltAchse(a);
      ++motoren.gestoppt;
      motoren.laeuft[a] = false;
      continue;
    }
    if (!motoren.laeuft[a]) {
      motoren.laeuft[a] = true;
      motoren.faellig[a] = jetzt + periode(vela::achsGeschw(a));
    }
    while (!vela::isAchseFertig(a) && faellig(motoren.faellig[a], jetzt)) {
      motoren.position[a] += vela::taktAchse(a);
      motoren.faellig[a] += periode(vela::achsGeschw(a));
      schalter();
    }
    // A move started right after this one ended makes its first step a period later.
    if (vela::isAchseFertig(a)) motoren.laeuft[a] = false;
  }
  if (vela::leseAntriebsStand().BahnAktiv == 0) {
    motoren.laeuft[4] = false;
  } else {
    if (!motoren.laeuft[4]) {
      motoren.laeuft[4] = true;
      motoren.faellig[4] = jetzt + periode(vela::leseAntriebsStand().BahnGeschw);
    }
    while (vela::leseAntriebsStand().BahnAktiv != 0 && faellig(motoren.faellig[4], jetzt)) {
      bahnTakt();
      motoren.faellig[4] += periode(vela::leseAntriebsStand().BahnGeschw);
    }
    motoren.laeuft[4] = vela::leseAntriebsStand().BahnAktiv != 0;
  }
  schalter();
}

}  // namespace

void bindeMotoren() {
  motoren = FakeMotoren{};
  fake.imLeerlauf = takt;
  schalter();
}
