#include "support/fake_motoren.h"

#include "platform/plattform.h"
#include "support/fake_geraete.h"
#include "vela_steuerung.h"

FakeMotoren motoren;

namespace {

constexpr int64_t kNsProTick = 1000000;

void schalter() {
  for (int a = 0; a < 4; ++a) {
    const auto &r = motoren.referenz[a];
    if (r.schalter < 0 || static_cast<std::size_t>(r.schalter) >= fake.schalterEin.size()) continue;
    const bool zu = r.richtung > 0 ? motoren.position[a] >= r.bei : motoren.position[a] <= r.bei;
    fake.schalterEin[r.schalter] = zu ? 0 : 1;
  }
}

void takt() {
  motoren.takt->fahre(int64_t{vela::getTicks()} * kNsProTick);
  schalter();
}

}  // namespace

void bindeMotoren() {
  motoren.takt = std::make_unique<vela::MotorTakt>(
      kNsProTick,
      vela::MotorTakt::Melder{[](void *, const vela::MotorSchritt &) { schalter(); }, nullptr, nullptr});
  motoren.position = motoren.takt->position;
  for (auto &r : motoren.referenz) r = FakeMotoren::Referenz{};
  fake.imLeerlauf = takt;
  schalter();
}
