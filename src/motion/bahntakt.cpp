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

#include "interp/arith.h"
#include "motion/achsen.h"
#include "motion/bahn.h"
#include "motion/kreis.h"
#include "motion/oktant.h"
#include "motion/testdatei.h"

namespace vela {

// Overrun guard: an octant ends at the latest this many ticks after its
// step count is used up.
constexpr int32_t kUeberlauf = 6;

void loadKreis() {
  const BahnSegment &s = BahnQueue[BahnLeseIndex];
  BeschlAkt = s.Beschl;
  VerzAkt = s.Verz;
  GeschwMaxAkt = s.MaxGeschw;
  GeschwMinAkt = s.EndGeschw;
  RampeAkt = s.RampenLaenge;
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
  SegmentLaeuft = 1;
}

namespace {

inline void schritt(int32_t &pos, uint8_t minus) { pos = minus ? wrapSub(pos, 1) : wrapAdd(pos, 1); }

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

}  // namespace

void stepBahn() {
  const BahnSegment &s = BahnQueue[BahnLeseIndex];
  uint16_t &stufe = RampenStufe[ACHSE_I];
  // A stop request cuts the rest of the path to a braking ramp as long as
  // the stage reached.
  if (StopAnforderung[ACHSE_I] == 2) {
    BahnRest = stufe;
    StopAnforderung[ACHSE_I] = 1;
  }
  const int32_t rest = BahnRest;
  bool fertig = false;
  if (rest == 0) {
    SegmentLaeuft = 0;
  } else {
    const uint8_t l = s.Achse[0];
    const uint8_t m = s.Achse[1];
    schritt(TestPos[l], s.Minus[l]);
    if (s.Typ == TYP_GERADE) {
      RestSchritte[l] = wrapSub(RestSchritte[l], 1);
      if (BahnY < 0) {
        BahnY = wrapAdd(BahnY, Inkr1);
      } else {
        BahnY = wrapAdd(BahnY, Inkr1b);
        RestSchritte[m] = wrapSub(RestSchritte[m], 1);
      }
      if (BahnF < 0) {
        BahnF = wrapAdd(BahnF, Inkr2);
      } else {
        BahnF = wrapAdd(BahnF, Inkr2b);
        RestSchritte[s.Achse[2]] = wrapSub(RestSchritte[s.Achse[2]], 1);
      }
    } else {
      const bool verlassen = s.Typ == TYP_VERLASSEN;
      const bool quer =
          verlassen ? kreisSchrittVerlassen(BahnX, BahnY, BahnF) : kreisSchrittNaehern(BahnX, BahnY, BahnF);
      if (quer) schritt(TestPos[m], s.Minus[m]);
      schreibeTestZeile(TestPos[0], TestPos[1]);
      fertig = oktantFertig(verlassen, (s.Flags & FLAG_LETZTES) != 0, BahnX, BahnY, s.EndPunkt[l]);
    }
    // Ramp: climb while more than a ramp's length remains (up to the top
    // stage), then never hold a stage more than the steps left.
    if (static_cast<uint32_t>(rest) > RampeAkt ? stufe < RampeAkt : static_cast<int32_t>(stufe) < rest) {
      ++stufe;
      BahnGeschw += BeschlAkt;
      if (BahnGeschw > GeschwMaxAkt) BahnGeschw = GeschwMaxAkt;
    } else if (static_cast<uint32_t>(rest) <= RampeAkt) {
      if (stufe != 0) --stufe;
      BahnGeschw = BahnGeschw > VerzAkt ? BahnGeschw - VerzAkt : 0;
      if (BahnGeschw < GeschwMinAkt) BahnGeschw = GeschwMinAkt;
    }
  }
  BahnRest = wrapSub(rest, 1);
  // A line ends when its lead count is used up, and so does any segment
  // whose braking ramp after a stop is used up; an octant ends by its end
  // test or the overrun guard.
  if (s.Typ == TYP_GERADE || StopAnforderung[ACHSE_I] == 1) {
    fertig = fertig || BahnRest <= 0;
  } else {
    fertig = fertig || BahnRest < -kUeberlauf;
  }
  if (!fertig) return;
  if (StopAnforderung[ACHSE_I] == 1) {
    beendeStop(s);
  } else {
    naechstesSegment();
  }
}

}  // namespace vela
