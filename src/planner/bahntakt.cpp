// The path tick: one lead-axis step of the running segment per call.
//
//   line:   e1 += (e1 < 0) ? 2*c2 : 2*c2 - 2n   (second axis steps when e1 >= 0)
//           e2 += (e2 < 0) ? 2*c3 : 2*c3 - 2n   (third axis likewise)
//   octant: midpoint circle step (oktant.h)
//
// and a linear ramp counted in steps: one stage up per step until RampeAkt
// stages are climbed, and in the last RampeAkt steps never a stage more
// than steps remain. Only additions, subtractions, doublings and
// comparisons happen here; everything else is done when a segment is
// planned.
#include <cstdint>

#include "core/arith.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "planner/kreis.h"
#include "planner/oktant.h"
#include "platform/testdatei.h"
#include "vela_steuerung.h"

namespace vela {

// Overrun guard: an octant ends at the latest this many ticks after its
// step count is used up.
constexpr int32_t kUeberlauf = 6;

namespace {

// Prepared by bereiteTakt when a segment is loaded, so that the tick reads
// nothing of the segment itself.
void taktLeer() {}
void (*TaktAkt)() = taktLeer;                      // tick of the running segment's kind
uint32_t EndeAkt;                                  // last octant: lead coordinate of the end point
int32_t *SpurAkt[2] = {&TestPos[0], &TestPos[1]};  // TestPos of lead and second axis
int32_t RichtungAkt[2] = {1, 1};                   // their steps: +1 or -1
int32_t *RestAkt[3] = {&RestSchritte[0], &RestSchritte[1], &RestSchritte[2]};  // lead, second, third
// TestPos of X and Y as the last segment to end left it (the next one may
// start its trace again from 0).
int32_t SpurEnde[2];

}  // namespace

void loadKreis() {
  const BahnSegment &s = BahnQueue[BahnLeseIndex];
  ladeRampe(s);
  AdresseAkt[0] = AchsAdresse[s.Achse[0]];
  AdresseAkt[1] = AchsAdresse[s.Achse[1]];
  if (s.Flags & FLAG_ERSTES) {
    BahnRest = s.BahnLaenge;
    TestPos[0] = TestPos[1] = 0;
  }
  // An approaching octant after the first continues from the point where
  // the leaving octant before it reached the diagonal.
  if ((s.Flags & FLAG_ERSTES) || s.Typ == TYP_VERLASSEN) {
    BahnX = static_cast<int32_t>(s.Anzahl[0]);
    BahnY = static_cast<int32_t>(s.Anzahl[1]);
    BahnF = 0;
  }
  bereiteTakt(s);
  SegmentLaeuft = 1;
}

namespace {

// The path stop is complete: the ring is emptied and X, Y, Z take the
// positions reached as their commanded positions. No single-axis move
// follows: DeltaSchritte and RestSchritte of X, Y, Z become 0.
void beendeStop(const BahnSegment &s) {
  StopAnforderung[ACHSE_I] = 0;
  BahnAktiv = 0;
  BahnRest = 0;
  BahnSchreibIndex = BahnLeseIndex;
  if (s.Typ == TYP_GERADE) {
    for (uint8_t i = 0; i < 3; ++i) {
      const int32_t u = toEinheiten(i, RestSchritte[i]);
      SollPos[i] = s.Minus[i] == 0 ? wrapSub(s.ZielPos[i], u) : wrapAdd(s.ZielPos[i], u);
      SollSchritte[i] = toSchritte(i, SollPos[i]);
    }
  } else {
    // A circle counts no RestSchritte; its trace from the start is exact.
    for (uint8_t i = 0; i < 2; ++i) {
      SollSchritte[i] = wrapAdd(KreisBasis[i], TestPos[i]);
      SollPos[i] = toEinheiten(i, SollSchritte[i]);
    }
  }
  for (int i = 0; i < 3; ++i) DeltaSchritte[i] = RestSchritte[i] = 0;
}

// The running segment is done: load the next one, or end the path.
void naechstesSegment() {
  BahnLeseIndex = static_cast<uint8_t>((BahnLeseIndex + 1) % kBahnSlots);
  if (BahnLeseIndex == BahnSchreibIndex) {
    BahnAktiv = 0;
    BahnRest = 0;
  } else if (BahnQueue[BahnLeseIndex].Typ == TYP_GERADE) {
    loadGerade();
  } else {
    loadKreis();
  }
}

// The running segment ended: a pending stop completes, otherwise the ring
// moves on. Out of line, so that the tick itself stays a leaf.
__attribute__((noinline)) void segmentFertig() {
  SpurEnde[0] = TestPos[0];
  SpurEnde[1] = TestPos[1];
  if (StopAnforderung[ACHSE_I] == 1) {
    beendeStop(BahnQueue[BahnLeseIndex]);
  } else {
    naechstesSegment();
  }
}

// Ramp of one tick, rest being the lead steps left before it: climb while
// more than a ramp's length remains (up to the top stage), then never hold
// a stage more than the steps left.
inline void rampe(int32_t rest) {
  uint16_t &stufe = RampenStufe[ACHSE_I];
  const uint32_t k = stufe;
  if (static_cast<uint32_t>(rest) > RampeAkt) {
    if (k >= RampeAkt) return;
  } else if (static_cast<int32_t>(k) >= rest) {
    if (k != 0) stufe = static_cast<uint16_t>(k - 1);
    const uint32_t v = BahnGeschw > VerzAkt ? BahnGeschw - VerzAkt : 0;
    BahnGeschw = v < GeschwMinAkt ? GeschwMinAkt : v;
    return;
  }
  stufe = static_cast<uint16_t>(k + 1);
  const uint32_t v = BahnGeschw + BeschlAkt;
  BahnGeschw = v > GeschwMaxAkt ? GeschwMaxAkt : v;
}

inline void zaehle(int32_t *p, int32_t d) { *p = wrapAdd(*p, d); }

// Line: one lead step, the other two by their error terms. A line ends
// when its lead count is used up (also when a stop cut it short).
void taktGerade() {
  const int32_t rest = BahnRest;
  if (rest != 0) {
    zaehle(SpurAkt[0], RichtungAkt[0]);
    zaehle(RestAkt[0], -1);
    if (BahnY < 0) {
      BahnY = wrapAdd(BahnY, Inkr1);
    } else {
      BahnY = wrapAdd(BahnY, Inkr1b);
      zaehle(RestAkt[1], -1);
    }
    if (BahnF < 0) {
      BahnF = wrapAdd(BahnF, Inkr2);
    } else {
      BahnF = wrapAdd(BahnF, Inkr2b);
      zaehle(RestAkt[2], -1);
    }
    rampe(rest);
  } else {
    SegmentLaeuft = 0;
  }
  BahnRest = wrapSub(rest, 1);
  if (BahnRest <= 0) segmentFertig();
}

// Writing the trace line and ending the octant, out of line so that a
// circle tick without a file stays a leaf.
__attribute__((noinline)) void kreisNachlauf(bool fertig) {
  schreibeTestZeile(TestPos[0], TestPos[1]);
  if (fertig) segmentFertig();
}

// Circle octant: one lead step, the second axis by the midpoint rule, one
// line of the trace. It ends by its end test, by the overrun guard, or
// after a stop when the braking ramp is used up. One instance per kind of
// octant, chosen when the octant is loaded.
template <bool verlassen, bool letztes>
void taktKreis() {
  const int32_t rest = BahnRest;
  bool fertig = false;
  if (rest != 0) {
    int32_t x = BahnX, y = BahnY, f = BahnF;
    const bool quer = verlassen ? kreisSchrittVerlassen(x, y, f) : kreisSchrittNaehern(x, y, f);
    fertig = oktantFertig(verlassen, letztes, x, y, EndeAkt);
    BahnX = x;
    BahnY = y;
    BahnF = f;
    zaehle(SpurAkt[0], RichtungAkt[0]);
    if (quer) zaehle(SpurAkt[1], RichtungAkt[1]);
    rampe(rest);
  } else {
    SegmentLaeuft = 0;
  }
  const int32_t neu = wrapSub(rest, 1);
  BahnRest = neu;
  fertig = fertig || neu < -kUeberlauf || (StopAnforderung[ACHSE_I] == 1 && neu <= 0);
  if (rest != 0 && TestDatei) {
    kreisNachlauf(fertig);
  } else if (fertig) {
    segmentFertig();
  }
}

}  // namespace

void bereiteTakt(const BahnSegment &s) {
  const bool letztes = (s.Flags & FLAG_LETZTES) != 0;
  if (s.Typ == TYP_GERADE) {
    TaktAkt = taktGerade;
  } else if (s.Typ == TYP_VERLASSEN) {
    TaktAkt = letztes ? taktKreis<true, true> : taktKreis<true, false>;
  } else {
    TaktAkt = letztes ? taktKreis<false, true> : taktKreis<false, false>;
  }
  EndeAkt = s.EndPunkt[s.Achse[0] == ACHSE_X ? 0 : 1];
  for (int i = 0; i < 2; ++i) {
    SpurAkt[i] = &TestPos[s.Achse[i]];
    RichtungAkt[i] = s.Minus[s.Achse[i]] != 0 ? -1 : 1;
  }
  for (int i = 0; i < 3; ++i) RestAkt[i] = &RestSchritte[s.Achse[i]];
}

void resetTakt() {
  TaktAkt = taktLeer;
  EndeAkt = 0;
  for (int i = 0; i < 2; ++i) {
    SpurAkt[i] = &TestPos[i];
    RichtungAkt[i] = 1;
  }
  for (int i = 0; i < 3; ++i) RestAkt[i] = &RestSchritte[i];
  SpurEnde[0] = SpurEnde[1] = 0;
}

void stepBahn() {
  if (BahnAktiv == 0) return;
  // A stop request cuts the rest of the path to a braking ramp as long as
  // the stage reached.
  if (StopAnforderung[ACHSE_I] == 2) {
    BahnRest = RampenStufe[ACHSE_I];
    StopAnforderung[ACHSE_I] = 1;
  }
  TaktAkt();
}

// The steps of a line's tick follow from the state before it: the lead
// axis steps while lead steps are left, the other two when their error
// terms are not negative (taktGerade). An arc's X and Y steps are the
// change of its trace; when its last octant ends (not by a stop), X and Y
// make in that tick what the trace missed of the end point, so that the
// platform stands where the commanded position does (the midpoint walk may
// end a step off it, and an end point off the circle further).
void stepBahn(MotorSchritt &t) {
  t = MotorSchritt{ACHSE_I, {0, 0, 0, 0}, 0, 0};
  if (BahnAktiv == 0) return;
  const uint8_t segment = BahnLeseIndex;
  const BahnSegment &s = BahnQueue[segment];
  if (s.Typ == TYP_GERADE) {
    const int32_t rest = StopAnforderung[ACHSE_I] == 2 ? int32_t{RampenStufe[ACHSE_I]} : BahnRest;
    if (rest != 0) {
      const bool schritt[3] = {true, BahnY >= 0, BahnF >= 0};
      for (int i = 0; i < 3; ++i) {
        const uint8_t a = s.Achse[i];
        if (schritt[i]) t.schritte[a] = s.Minus[a] != 0 ? -1 : 1;
      }
    }
    stepBahn();
  } else {
    const int32_t vorher[2] = {TestPos[0], TestPos[1]};
    const bool mitStop = StopAnforderung[ACHSE_I] != 0;
    stepBahn();
    const bool ende = BahnAktiv == 0 || BahnLeseIndex != segment;
    for (uint8_t i = 0; i < 2; ++i) {
      t.schritte[i] = wrapSub(ende ? SpurEnde[i] : TestPos[i], vorher[i]);
      if (ende && !mitStop && (s.Flags & FLAG_LETZTES) != 0)
        t.schritte[i] =
            wrapAdd(t.schritte[i], wrapSub(toSchritte(i, s.ZielPos[i]), wrapAdd(KreisBasis[i], SpurEnde[i])));
    }
    t.kreis = 1;
  }
  t.segmentEnde = BahnAktiv == 0 || BahnLeseIndex != segment ? 1 : 0;
}

// Runs the queued straight lines to their end at once. The state they
// leave is the one ticking them would leave: every axis has made all its
// steps (a line's Bresenham run steps each axis exactly its count), the
// traced position of each lead axis has moved by its count, the ring is
// empty and the path idle.
// Ticking a line of up to 2^30 steps one by one would hold the caller for
// seconds. A pending stop, or a queued circle octant, is ticked as usual:
// a stop ends within one braking ramp.
void laufeGeradenAus() {
  if (BahnAktiv == 0) return;
  bool nurGeraden = StopAnforderung[ACHSE_I] == 0;
  for (uint8_t i = BahnLeseIndex; i != BahnSchreibIndex; i = static_cast<uint8_t>((i + 1) % kBahnSlots))
    if (BahnQueue[i].Typ != TYP_GERADE) nurGeraden = false;
  if (!nurGeraden) {
    while (BahnAktiv != 0) stepBahn();
    return;
  }
  auto fahre = [](const BahnSegment &s, int32_t schritte) {
    const uint8_t l = s.Achse[0];
    TestPos[l] = wrapAdd(TestPos[l], s.Minus[l] != 0 ? wrapNeg(schritte) : schritte);
  };
  if (BahnRest > 0) fahre(BahnQueue[BahnLeseIndex], BahnRest);
  for (uint8_t i = static_cast<uint8_t>((BahnLeseIndex + 1) % kBahnSlots); i != BahnSchreibIndex;
       i = static_cast<uint8_t>((i + 1) % kBahnSlots))
    fahre(BahnQueue[i], static_cast<int32_t>(BahnQueue[i].Anzahl[0]));
  for (uint8_t a = 0; a < 3; ++a) RestSchritte[a] = 0;
  BahnLeseIndex = BahnSchreibIndex;
  BahnAktiv = 0;
  BahnRest = 0;
  SegmentLaeuft = 0;
  RampenStufe[ACHSE_I] = 0;
}

}  // namespace vela
