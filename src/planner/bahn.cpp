// Path ring and line planning.
//
// A line's three counts are ordered so that the lead axis has the most
// steps; loadGerade sets up a three-axis Bresenham run over the lead count
// n with the error terms
//   e1 = 2*c2 - n   (second axis), stepped when e1 >= 0
//   e2 = 2*c3 - n   (third axis),  stepped when e2 >= 0
#include "planner/bahn.h"

#include <cstdint>
#include <cstring>

#include "core/arith.h"
#include "core/fehler.h"
#include "planner/achsen.h"

namespace vela {

BahnSegment BahnQueue[kBahnSlots];
uint8_t BahnLeseIndex;
uint8_t BahnSchreibIndex;

uint8_t BahnAktiv;
uint8_t SegmentLaeuft;
int32_t BahnRest;
uint32_t BahnGeschw;
uint16_t BeschlAkt;
uint16_t VerzAkt;
uint32_t GeschwMaxAkt;
uint32_t GeschwMinAkt;
uint32_t RampeAkt;
int32_t BahnX, BahnY, BahnF;
int32_t Inkr1, Inkr1b, Inkr2, Inkr2b;
int32_t TestPos[3];
uint16_t AdresseAkt[3];

const uint16_t AchsAdresse[3] = {0x126, 0x136, 0x146};

bool isBahnVoll() { return ((BahnSchreibIndex + 1) % kBahnSlots) == BahnLeseIndex; }

uint8_t countFreieSegmente() {
  return static_cast<uint8_t>(31 - ((BahnSchreibIndex - BahnLeseIndex) & (kBahnSlots - 1)));
}

namespace {

uint32_t betrag(int32_t v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v); }

}  // namespace

// Ramp parameters of a path segment from the path index's speeds.
void setzeRampe(BahnSegment &s) {
  const int32_t laenge = RampenLaenge[ACHSE_I];
  auto teile = [laenge](int32_t differenz) {
    return static_cast<uint16_t>(laenge == 0 ? 0 : differenz / laenge);
  };
  const int32_t max = MaxGeschw[ACHSE_I];
  s.Beschl = teile(max - StartGeschw[ACHSE_I]);
  s.Verz = EndGeschw[ACHSE_I] == 0 ? s.Beschl : teile(max - EndGeschw[ACHSE_I]);
  s.RampenLaenge = RampenLaenge[ACHSE_I];
  s.MaxGeschw = MaxGeschw[ACHSE_I];
  s.EndGeschw = EndGeschw[ACHSE_I];
}

// Start speed of an idle path, at least 20.
void starteBahn() {
  BahnGeschw = StartGeschw[ACHSE_I] < 20 ? 20 : StartGeschw[ACHSE_I];
  RampenStufe[ACHSE_I] = 0;
}

int16_t planGerade(const int32_t ziel[3]) {
  for (uint8_t a = 0; a < 3; ++a) {
    const int32_t delta = zielDelta(a, ziel[a]);
    if (delta > kMaxGeradeSchritte || delta < -kMaxGeradeSchritte) return F_INDEX;
  }
  for (uint8_t a = 0; a < 3; ++a) planeAchse(a, ziel[a]);
  queueGerade();
  return F_OK;
}

void queueGerade() {
  BahnSegment &s = BahnQueue[BahnSchreibIndex];
  const uint32_t c[3] = {betrag(DeltaSchritte[0]), betrag(DeltaSchritte[1]), betrag(DeltaSchritte[2])};
  // Lead: the largest count, X before Y before Z on a tie. The other two
  // by count; on a tie Z is second when X leads, X when Y or Z leads.
  uint8_t l = 0;
  if (c[1] > c[l]) l = 1;
  if (c[2] > c[l]) l = 2;
  uint8_t a = l == 0 ? 2 : 0;  // second on a tie
  uint8_t b = static_cast<uint8_t>(3 - l - a);
  if (c[b] > c[a]) {
    const uint8_t t = a;
    a = b;
    b = t;
  }
  s.Achse[0] = l;
  s.Achse[1] = a;
  s.Achse[2] = b;
  s.Anzahl[0] = c[l];
  s.Anzahl[1] = c[a];
  s.Anzahl[2] = c[b];
  for (int i = 0; i < 3; ++i) {
    s.ZielPos[i] = SollPos[i];
    s.Minus[i] = DeltaSchritte[i] <= 0 ? 1 : 0;
  }
  s.Typ = TYP_GERADE;
  s.Flags = 0;
  reiheEin(loadGerade);
}

void reiheEin(void (*lade)()) {
  setzeRampe(BahnQueue[BahnSchreibIndex]);
  if (BahnAktiv == 0) {
    starteBahn();
    lade();
    BahnAktiv = 1;
  }
  BahnSchreibIndex = static_cast<uint8_t>((BahnSchreibIndex + 1) % kBahnSlots);
}

void ladeRampe(const BahnSegment &s) {
  BeschlAkt = s.Beschl;
  VerzAkt = s.Verz;
  GeschwMaxAkt = s.MaxGeschw;
  GeschwMinAkt = s.EndGeschw;
  RampeAkt = s.RampenLaenge;
}

void loadGerade() {
  const BahnSegment &s = BahnQueue[BahnLeseIndex];
  ladeRampe(s);
  for (int i = 0; i < 3; ++i) AdresseAkt[i] = AchsAdresse[s.Achse[i]];
  const auto n = static_cast<int32_t>(s.Anzahl[0]);
  const auto c2 = static_cast<int32_t>(s.Anzahl[1]);
  const auto c3 = static_cast<int32_t>(s.Anzahl[2]);
  BahnX = n;
  Inkr1 = wrapAdd(c2, c2);
  BahnY = wrapSub(Inkr1, n);
  Inkr1b = wrapSub(BahnY, n);
  Inkr2 = wrapAdd(c3, c3);
  BahnF = wrapSub(Inkr2, n);
  Inkr2b = wrapSub(BahnF, n);
  bereiteTakt(s);
  SegmentLaeuft = 1;
  BahnRest = n;
  RestSchritte[s.Achse[0]] = n;
  RestSchritte[s.Achse[1]] = c2;
  RestSchritte[s.Achse[2]] = c3;
}

void resetBahn() {
  std::memset(BahnQueue, 0, sizeof BahnQueue);
  BahnLeseIndex = BahnSchreibIndex = 0;
  BahnAktiv = SegmentLaeuft = 0;
  BahnRest = 0;
  BahnGeschw = 0;
  BeschlAkt = VerzAkt = 0;
  GeschwMaxAkt = GeschwMinAkt = RampeAkt = 0;
  BahnX = BahnY = BahnF = 0;
  Inkr1 = Inkr1b = Inkr2 = Inkr2b = 0;
  std::memset(TestPos, 0, sizeof TestPos);
  std::memset(AdresseAkt, 0, sizeof AdresseAkt);
  resetTakt();
}

}  // namespace vela
