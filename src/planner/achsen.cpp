// Machine parameters, axis positions and the unit conversions.
#include "planner/achsen.h"

#include <cstdint>
#include <cstring>

#include "core/arith.h"
#include "planner/bahn.h"
#include "planner/kreis.h"

namespace vela {

// Every index starts with the same parameters.
#define VELA_FUENFMAL(w) \
  { w, w, w, w, w }
static_assert(kAchsen == 5);
int32_t AchsSchritte[kAchsen] = VELA_FUENFMAL(kSkalaBeimLaden);
int32_t AchsMM[kAchsen] = VELA_FUENFMAL(kSkalaBeimLaden);
uint16_t RampenLaenge[kAchsen] = VELA_FUENFMAL(kRampenLaengeBeimLaden);
uint16_t StartGeschw[kAchsen] = VELA_FUENFMAL(kStartGeschwBeimLaden);
uint16_t MaxGeschw[kAchsen] = VELA_FUENFMAL(kMaxGeschwBeimLaden);
uint16_t EndGeschw[kAchsen];
uint16_t RampenInkrement[kAchsen] = VELA_FUENFMAL(kRampenInkrementBeimLaden);
#undef VELA_FUENFMAL

int32_t SollPos[kMotorAchsen];
int32_t SollSchritte[kMotorAchsen];
int32_t DeltaSchritte[kMotorAchsen];
int32_t RestSchritte[kAchsen];
uint8_t AchsRichtung[kMotorAchsen];
uint16_t RampenStufe[kAchsen];
uint16_t AchsLaeuft[kMotorAchsen];
uint16_t StopAnforderung[kAchsen];
int32_t AchsZaehler[kMotorAchsen];

int32_t toSchritte(uint8_t achse, int32_t wert) {
  return wrapDiv(wrapMul(wert, AchsSchritte[achse]), AchsMM[achse]);
}

int32_t toEinheiten(uint8_t achse, int32_t schritte) {
  return wrapDiv(wrapMul(schritte, AchsMM[achse]), AchsSchritte[achse]);
}

// While a path runs, X, Y and Z stand at the running segment's target less
// the steps still to go, and the path index reports the remaining path
// length. Otherwise a motor axis stands at its commanded position less the
// steps its single-axis move still has to make; the path index is then 0.
int32_t readIstPos(uint8_t achse) {
  if (BahnAktiv != 0 && achse != ACHSE_A) {
    if (achse == ACHSE_I) return toEinheiten(ACHSE_I, BahnRest);
    const BahnSegment &s = BahnQueue[BahnLeseIndex];
    // An arc counts no steps left: X and Y stand where its trace is.
    if (s.Typ != TYP_GERADE && achse != ACHSE_Z)
      return toEinheiten(achse, wrapAdd(KreisBasis[achse], TestPos[achse]));
    const int32_t rest = toEinheiten(achse, RestSchritte[achse]);
    return s.Minus[achse] == 0 ? wrapSub(s.ZielPos[achse], rest) : wrapAdd(s.ZielPos[achse], rest);
  }
  if (achse >= kMotorAchsen) return 0;
  const int32_t rest = toEinheiten(achse, RestSchritte[achse]);
  return DeltaSchritte[achse] < 0 ? wrapAdd(SollPos[achse], rest) : wrapSub(SollPos[achse], rest);
}

void calcRampe(uint8_t achse) {
  const int32_t v = MaxGeschw[achse];
  int32_t s = StartGeschw[achse];
  if (s < 4) s = 4;
  int32_t n = static_cast<int16_t>(RampenLaenge[achse]);
  if (n < 2) n = 2;
  RampenInkrement[achse] = v < s ? 0 : static_cast<uint16_t>((v - s) / (n - 1));
}

int32_t zielDelta(uint8_t achse, int32_t ziel) {
  return wrapSub(toSchritte(achse, ziel), SollSchritte[achse]);
}

void planeAchse(uint8_t achse, int32_t ziel) {
  SollPos[achse] = ziel;
  const int32_t s = toSchritte(achse, ziel);
  DeltaSchritte[achse] = wrapSub(s, SollSchritte[achse]);
  SollSchritte[achse] = s;
}

// Both deltas are taken before either position changes, so that a pair
// naming one axis twice ends on the second target with the delta from the
// position before the command.
void planeAchsPaar(uint8_t a, int32_t zielA, uint8_t b, int32_t zielB) {
  SollPos[a] = zielA;
  SollPos[b] = zielB;
  const int32_t sa = toSchritte(a, zielA);
  const int32_t sb = toSchritte(b, zielB);
  DeltaSchritte[a] = wrapSub(sa, SollSchritte[a]);
  DeltaSchritte[b] = wrapSub(sb, SollSchritte[b]);
  SollSchritte[a] = sa;
  SollSchritte[b] = sb;
}

void resetAchsen() {
  for (int i = 0; i < kAchsen; ++i) {
    AchsSchritte[i] = kSkalaBeimLaden;
    AchsMM[i] = kSkalaBeimLaden;
    RampenLaenge[i] = kRampenLaengeBeimLaden;
    StartGeschw[i] = kStartGeschwBeimLaden;
    MaxGeschw[i] = kMaxGeschwBeimLaden;
    EndGeschw[i] = 0;
    RampenInkrement[i] = kRampenInkrementBeimLaden;
  }
  std::memset(SollPos, 0, sizeof SollPos);
  std::memset(SollSchritte, 0, sizeof SollSchritte);
  std::memset(DeltaSchritte, 0, sizeof DeltaSchritte);
  std::memset(RestSchritte, 0, sizeof RestSchritte);
  std::memset(AchsRichtung, 0, sizeof AchsRichtung);
  std::memset(RampenStufe, 0, sizeof RampenStufe);
  std::memset(AchsLaeuft, 0, sizeof AchsLaeuft);
  std::memset(StopAnforderung, 0, sizeof StopAnforderung);
  std::memset(AchsZaehler, 0, sizeof AchsZaehler);
}

}  // namespace vela
