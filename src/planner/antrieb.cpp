// Drive layer over the axis tables of achsen.h.
//
// A single-axis move counts RestSchritte down; its ramp stage climbs one
// per step up to RampenLaenge and, in the last RampenLaenge steps, never
// exceeds the steps that remain:
//
//   stage
//   L |    ______________
//     |   /              \     up one stage per step,
//   0 |__/                \__  down one per step at the end
//        start          end
//
// The switch inputs and outputs go to the platform's switch devices; where a
// platform has none, the console versions here ask for a switch on
// standard output and read the answer from standard input.
#include "planner/antrieb.h"

#include <cstdint>
#include <cstdio>

#include "core/arith.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "vela.h"

namespace vela {

// Teach-in keys at load time.
constexpr uint8_t kTeachTastenBeimLaden[kTeachTasten] = {12, 4, 6, 8, 2, 13, 12, 7, 1};
uint8_t TeachTasten[kTeachTasten] = {
    kTeachTastenBeimLaden[0], kTeachTastenBeimLaden[1], kTeachTastenBeimLaden[2],
    kTeachTastenBeimLaden[3], kTeachTastenBeimLaden[4], kTeachTastenBeimLaden[5],
    kTeachTastenBeimLaden[6], kTeachTastenBeimLaden[7], kTeachTastenBeimLaden[8]};

namespace {

constexpr int32_t kHomeWeg = 2147483647;  // "endless" run towards the switch
constexpr int32_t kRueckWeg = 10000;      // back-off distance
constexpr int32_t kJogWeg = 2000000;      // jog distance of the teach-in
constexpr uint32_t kHomePause = 100;      // ticks of settling after each stop

bool istMotorAchse(int16_t a) { return a >= 0 && a < kMotorAchsen; }

// Writes a formatted text to a stream or standard output.
template <typename... Args>
void schreibeFormat(Kanal *k, const char *format, Args... args) {
  char text[64];
  const int n = std::snprintf(text, sizeof text, format, args...);
  for (int i = 0; i < n && i < static_cast<int>(sizeof text) - 1; ++i) {
    if (k != nullptr)
      kanalSchreibe(k, text[i]);
    else
      putChar(text[i]);
  }
}

// Next character of standard input, waiting for it; KANAL_ENDE at the end
// (or when the platform asks to end).
int16_t warteZeichen() {
  for (;;) {
    const int16_t c = liesStandard();
    if (c != KEIN_ZEICHEN) return c;
    if (beendenAngefordert()) return KANAL_ENDE;
    leerlauf();
  }
}

// Reads switch s until it shows the wanted state, one round of the run's
// wait between reads (the motors run there); false when the input ended,
// the platform asks to end or the host abandoned the run.
bool warteSchalter(uint8_t s, uint8_t gewollt) {
  uint8_t zustand = 1;
  for (;;) {
    if (readSchalter(s, zustand) != 0) return false;
    if (zustand == gewollt) return true;
    if (!laufRunde()) return false;
  }
}

void stopAchsPaar(int16_t achse1, int16_t achse2) {
  stopAchse(achse1);
  stopAchse(achse2);
}

// Runs two axes until each switch shows the wanted state, stopping each axis
// as its switch does; false (both axes stopped) when a switch cannot be
// read, the platform asks to end or the host abandoned the run.
bool paarBisSchalter(uint8_t achse1, uint8_t achse2, uint8_t schalter1, uint8_t schalter2, uint8_t gewollt) {
  uint8_t z1 = 1, z2 = 1;
  do {
    if (readSchalter(schalter1, z1) != 0) break;
    if (z1 == gewollt) stopAchse(achse1);
    if (readSchalter(schalter2, z2) != 0) break;
    if (z2 == gewollt) stopAchse(achse2);
    if (z1 == gewollt && z2 == gewollt) {
      if (beendenAngefordert()) break;
      return true;
    }
  } while (laufRunde());
  stopAchsPaar(achse1, achse2);
  return false;
}

}  // namespace

void startAchse(int16_t achse) {
  if (!istMotorAchse(achse) || DeltaSchritte[achse] == 0) return;
  const int32_t d = DeltaSchritte[achse];
  // The most negative delta has no positive counterpart: it runs one step short.
  RestSchritte[achse] = d > 0 ? d : (d == INT32_MIN ? INT32_MAX : -d);
  AchsRichtung[achse] = d < 0 ? 1 : 0;
  RampenStufe[achse] = 0;
  AchsLaeuft[achse] = 1;
  StopAnforderung[achse] = 0;
}

void startAchsPaar(int16_t achse1, int16_t achse2) {
  startAchse(achse1);
  startAchse(achse2);
}

void stopAchse(int16_t achse) {
  if (achse >= 0 && achse < kAchsen) StopAnforderung[achse] = 2;
}

bool isAchseFertig(int16_t achse) {
  if (achse == ACHSE_I)
    return BahnAktiv == 0 && RestSchritte[ACHSE_X] == 0 && RestSchritte[ACHSE_Y] == 0 &&
           RestSchritte[ACHSE_Z] == 0;
  return !istMotorAchse(achse) || AchsLaeuft[achse] == 0;
}

int8_t taktAchse(uint8_t achse) {
  if (achse >= kMotorAchsen) return 0;
  int32_t &rest = RestSchritte[achse];
  uint16_t &stufe = RampenStufe[achse];
  int8_t schritt = 0;
  if (rest != 0) {
    --rest;
    schritt = AchsRichtung[achse] != 0 ? -1 : 1;
  }
  if (rest == 0) {
    if (AchsLaeuft[achse] != 0) --AchsLaeuft[achse];
  } else if (rest > RampenLaenge[achse]) {
    if (stufe < RampenLaenge[achse]) ++stufe;
  } else if (stufe < rest) {
    ++stufe;
  } else {
    stufe = static_cast<uint16_t>(rest - 1);
  }
  return schritt;
}

uint32_t achsGeschw(uint8_t achse) {
  if (achse >= kAchsen) return 0;
  uint32_t v = StartGeschw[achse] + uint32_t{RampenStufe[achse]} * RampenInkrement[achse];
  if (MaxGeschw[achse] >= StartGeschw[achse] && v > MaxGeschw[achse]) v = MaxGeschw[achse];
  return v;
}

void haltAchse(uint8_t achse) {
  if (achse >= kMotorAchsen || AchsLaeuft[achse] == 0) return;
  const int32_t rest = RestSchritte[achse];
  SollSchritte[achse] =
      AchsRichtung[achse] != 0 ? wrapAdd(SollSchritte[achse], rest) : wrapSub(SollSchritte[achse], rest);
  SollPos[achse] = toEinheiten(achse, SollSchritte[achse]);
  RestSchritte[achse] = 0;
  RampenStufe[achse] = 0;
  AchsLaeuft[achse] = 0;
  StopAnforderung[achse] = 0;
}

void vollendeAchse(uint8_t achse) {
  if (achse >= kMotorAchsen || AchsLaeuft[achse] == 0) return;
  RestSchritte[achse] = 0;
  RampenStufe[achse] = 0;
  AchsLaeuft[achse] = 0;
}

AntriebsStand leseAntriebsStand() {
  AntriebsStand s{};
  s.BahnAktiv = BahnAktiv;
  s.BahnGeschw = BahnGeschw;
  for (int a = 0; a < kMotorAchsen; ++a) {
    s.AchsLaeuft[a] = AchsLaeuft[a];
    s.SollSchritte[a] = SollSchritte[a];
    s.AchsSchritte[a] = AchsSchritte[a];
    s.AchsMM[a] = AchsMM[a];
  }
  return s;
}

void stepAchse() {
  if (taktAchse(ACHSE_X) != 0) putChar('!');
}

void homeAchse(int16_t richtung, uint8_t achse, uint8_t schalter) {
  schreibeFormat(HostKanal, "ri %d ,Achse %d ,Sch %d", richtung, achse, schalter);
  if (!istMotorAchse(achse)) return;
  DeltaSchritte[achse] = richtung == 0 ? kHomeWeg : INT32_MIN;
  startAchse(achse);
  const bool erreicht = warteSchalter(schalter, 0);
  stopAchse(achse);
  if (!erreicht) return;  // no switch input any more: the axis keeps its position
  delayTicks(kHomePause);
  DeltaSchritte[achse] = richtung == 0 ? -kRueckWeg : kRueckWeg;
  startAchse(achse);
  const bool frei = warteSchalter(schalter, 1);
  stopAchse(achse);
  if (!frei) return;
  delayTicks(kHomePause);
  SollSchritte[achse] = 0;
  SollPos[achse] = 0;
}

//   out:  both run towards their switches; each stops when its switch
//         closes, until neither is open
//   back: both back off; each stops when its switch opens, until neither
//         is closed; after the settling pause the release points become 0
void homeAchsPaar(int16_t richtung1, int16_t richtung2, uint8_t achse1, uint8_t achse2, uint8_t schalter1,
                  uint8_t schalter2) {
  if (!istMotorAchse(achse1) || !istMotorAchse(achse2)) return;
  DeltaSchritte[achse1] = richtung1 == 0 ? kHomeWeg : INT32_MIN;
  DeltaSchritte[achse2] = richtung2 == 0 ? kHomeWeg : INT32_MIN;
  startAchse(achse1);
  startAchse(achse2);
  if (!paarBisSchalter(achse1, achse2, schalter1, schalter2, 0)) return;
  delayTicks(kHomePause);
  DeltaSchritte[achse1] = richtung1 == 0 ? -kRueckWeg : kRueckWeg;
  DeltaSchritte[achse2] = richtung2 == 0 ? -kRueckWeg : kRueckWeg;
  startAchse(achse1);
  startAchse(achse2);
  if (!paarBisSchalter(achse1, achse2, schalter1, schalter2, 1)) return;
  // The release points become 0 once the axes have settled, as in the
  // one-axis run: a platform that ends a stopped move in the pause takes the
  // steps not made off the commanded position, which must not undo the zero.
  delayTicks(kHomePause);
  SollPos[achse1] = SollSchritte[achse1] = 0;
  SollPos[achse2] = SollSchritte[achse2] = 0;
}

int16_t readSchalter(uint8_t n, uint8_t &zustand) {
  zustand = 1;
  if (Geraete.leseSchalter != nullptr) return Geraete.leseSchalter(Geraete.kontext, n, &zustand);
  schreibeFormat(nullptr, "E %d :\n", n);
  const int16_t c = warteZeichen();
  if (c == KANAL_ENDE) return 1;
  if (c == '0') zustand = 0;
  warteZeichen();  // the line end
  return 0;
}

int16_t setSchalter(uint8_t n, uint8_t wert) {
  if (Geraete.setzeSchalter != nullptr) return Geraete.setzeSchalter(Geraete.kontext, n, wert);
  schreibeFormat(nullptr, "Schalter %d wird %d \n", n, wert);
  return 0;
}

uint8_t readTaste() {
  return Geraete.leseTaste != nullptr ? Geraete.leseTaste(Geraete.kontext) : KEINE_TASTE;
}

uint8_t calcTastenCode(uint8_t zeile, uint8_t spaltenBit) {
  const int zeilenAnteil = zeile % 4;
  switch (spaltenBit) {
    case 0x10: return static_cast<uint8_t>(zeilenAnteil);
    case 0x20: return static_cast<uint8_t>(zeilenAnteil + 4);
    case 0x40: return static_cast<uint8_t>(zeilenAnteil + 8);
    case 0x80: return static_cast<uint8_t>(zeilenAnteil + 12);
    default: return KEINE_TASTE;
  }
}

void clearAchsen() {
  for (int i = 0; i < kMotorAchsen; ++i) DeltaSchritte[i] = 0;
}

// Jog keys: entry j (1..8) moves axis (j-1)/2, negative for odd j.
// Without a keypad there is nothing to wait for, and the teach-in ends.
// Every read of the keys is a round of the platform's idle hook (where the
// motors run); the teach-in ends once the platform asks to end.
void teachIn() {
  V_xyTeached.X = 0;
  V_xyTeached.Y = 0;
  if (Geraete.leseTaste == nullptr) return;
  for (;;) {
    const uint8_t taste = readTaste();
    if (taste == TeachTasten[0] || taste == KEINE_TASTE_MEHR) return;
    if (taste >= KEINE_TASTE) {
      if (!laufRunde()) return;
      continue;
    }
    for (int j = 1; j < kTeachTasten; ++j) {
      if (TeachTasten[j] != taste) continue;
      const int16_t achse = static_cast<int16_t>((j - 1) / 2);
      const int32_t weg = (j % 2 == 1) ? -kJogWeg : kJogWeg;
      DeltaSchritte[achse] = weg;
      SollSchritte[achse] = wrapAdd(SollSchritte[achse], weg);
      startAchse(achse);
      uint8_t t;
      bool ende = false;
      do {
        t = readTaste();
      } while (t != KEINE_TASTE && t != KEINE_TASTE_MEHR && !(ende = !laufRunde()));
      stopAchse(achse);
      if (t == KEINE_TASTE_MEHR || ende) return;
      break;
    }
  }
}

void resetAntrieb() {
  for (int i = 0; i < kTeachTasten; ++i) TeachTasten[i] = kTeachTastenBeimLaden[i];
}

}  // namespace vela
