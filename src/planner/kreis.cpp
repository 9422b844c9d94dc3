// Arc geometry and the cutting of an arc into octant segments.
//
// The centre comes as an offset from the start (CW, CCW) or from three
// points: with the start at the origin, P1 = (x1, y1), P2 = (x2, y2),
//
//   a = x1^2 + y1^2,  b = x2^2 + y2^2,  det = x1*y2 - x2*y1
//   centre = ((y2*a - y1*b) / det, (x1*b - x2*a) / det) / 2
//
// The arc is run as one segment per octant it touches; each octant
// alternately leaves an axis and approaches one (oktant.h). The length,
// the lead-axis steps of the whole arc, drives the braking ramp; for an arc
// it is counted by walking the octants exactly as the tick does, so that
// the ramp ends on the end point.
#include "planner/kreis.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/arith.h"
#include "core/fehler.h"
#include "planner/achsen.h"
#include "planner/bahn.h"
#include "planner/oktant.h"
#include "platform/testdatei.h"

namespace vela {

int32_t KreisBasis[2];
uint8_t KreisTestlauf = 1;

namespace {

constexpr double kPi = 3.1415926535898;
constexpr double kVollkreis = 5.656854249492381;  // 8 octants of r * sqrt(1/2)

// Largest coordinate whose square still fits: sums of squares are kept in
// the 32-bit range so that the radius and the octant arithmetic are exact.
constexpr int64_t kMaxKoordinate = 46340;

bool imBereich(int64_t x, int64_t y) {
  if (x < -kMaxKoordinate || x > kMaxKoordinate || y < -kMaxKoordinate || y > kMaxKoordinate) return false;
  return x * x + y * y <= INT32_MAX;
}

uint32_t betrag(int32_t v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v); }

// The lead axis of an octant: X where the path is steeper than 45 degrees.
uint8_t fuehrungsAchse(uint8_t k) { return (k == 1 || k == 2 || k == 5 || k == 6) ? ACHSE_X : ACHSE_Y; }

// Typ of the first octant: it leaves an axis when the direction runs away
// from the octant's axis side.
uint8_t ersterTyp(uint8_t k, uint8_t richtung) {
  const bool ungerade = (k & 1) != 0;
  return (ungerade && richtung == RICHTUNG_CW) || (!ungerade && richtung == RICHTUNG_CCW) ? TYP_VERLASSEN
                                                                                          : TYP_NAEHERN;
}

uint8_t naechsterOktant(uint8_t k, uint8_t richtung) {
  return static_cast<uint8_t>(richtung == RICHTUNG_CCW ? (k + 1) & 7 : (k + 7) & 7);
}

// Local x and y of the first octant: the larger coordinate is x for an
// octant that leaves an axis, y for one that approaches an axis.
void startLokal(const Kreisbogen &b, uint8_t typ, uint32_t &x, uint32_t &y) {
  const uint32_t sx = static_cast<uint32_t>(b.KreisStart.x), sy = static_cast<uint32_t>(b.KreisStart.y);
  const uint32_t gross = sx > sy ? sx : sy, klein = sx > sy ? sy : sx;
  x = typ == TYP_VERLASSEN ? gross : klein;
  y = typ == TYP_VERLASSEN ? klein : gross;
}

// Walks the octants of the arc with the tick's own steps and end tests and
// returns the number of lead-axis steps.
int32_t zaehleBogen(const Kreisbogen &b) {
  uint8_t k = b.StartOktant;
  uint8_t typ = ersterTyp(k, b.richtung);
  const int64_t grenze = 4 * (int64_t{b.KreisRadius} + b.KreisEnde.x + b.KreisEnde.y) + 64;
  int32_t x = 0, y = 0, f = 0, n = 0;
  for (uint8_t i = 0; i < b.KreisOktanten; ++i) {
    const bool letztes = i + 1 == b.KreisOktanten;
    if (i == 0) {
      uint32_t lx, ly;
      startLokal(b, typ, lx, ly);
      x = static_cast<int32_t>(lx);
      y = static_cast<int32_t>(ly);
      f = 0;
    } else if (typ == TYP_VERLASSEN) {
      x = b.KreisRadius;
      y = 0;
      f = 0;
    }
    const uint8_t l = fuehrungsAchse(k);
    const uint32_t ende = letztes ? static_cast<uint32_t>(l == ACHSE_X ? b.KreisEnde.x : b.KreisEnde.y) : 0;
    const bool verlassen = typ == TYP_VERLASSEN;
    for (int64_t j = 0; j < grenze; ++j) {
      if (verlassen) {
        kreisSchrittVerlassen(x, y, f);
      } else {
        kreisSchrittNaehern(x, y, f);
      }
      ++n;
      if (oktantFertig(verlassen, letztes, x, y, ende)) break;
    }
    typ = verlassen ? TYP_NAEHERN : TYP_VERLASSEN;
    k = naechsterOktant(k, b.richtung);
  }
  return n;
}

// Is the end, in the same octant as the start, behind the start in the
// direction of travel? The angle from start to end is taken in the
// direction of travel, so that the jump of the angles at 180 degrees does
// not matter.
bool endeDahinter(double as, double ae, uint8_t richtung) {
  double d = richtung == RICHTUNG_CCW ? ae - as : as - ae;
  if (d < 0.0) d += 2.0 * kPi;
  return d > kPi;
}

}  // namespace

double calcWinkel(double y, double x) {
  if (x == 0.0) return y >= 0.0 ? kPi / 2.0 : -kPi / 2.0;
  return std::atan2(y, x);
}

uint8_t findOktant(int32_t x, int32_t y, uint8_t richtung) {
  const bool ccw = richtung == RICHTUNG_CCW;
  const bool cw = richtung == RICHTUNG_CW;
  if (y == 0) return x <= 0 ? (ccw ? 4 : 3) : (ccw ? 0 : 7);
  if (x == 0) return y < 0 ? (ccw ? 6 : 5) : (ccw ? 2 : 1);
  if (x == y) return x <= 0 ? (cw ? 4 : 5) : (cw ? 0 : 1);
  if (x == -y) return x <= 0 ? (cw ? 2 : 3) : (cw ? 6 : 7);
  if (x > 0 && y > 0) return x > y ? 0 : 1;
  if (x < 0 && y > 0) return -x < y ? 2 : 3;
  if (x < 0 && y < 0) return x < y ? 4 : 5;
  return -y < x ? 7 : 6;
}

int16_t findKreisMitte(KreisPunkt p1, KreisPunkt p2, KreisPunkt &start) {
  const int64_t x1 = p1.x, y1 = p1.y, x2 = p2.x, y2 = p2.y;
  if (!imBereich(x1, y1) || !imBereich(x2, y2)) return F_INDEX;
  const int64_t a = x1 * x1 + y1 * y1;
  const int64_t b = x2 * x2 + y2 * y2;
  const int64_t det = x1 * y2 - x2 * y1;
  if (det == 0) return F_NULL;
  const double dd = static_cast<double>(det);
  const double qxd = std::trunc((static_cast<double>(y2 * a) - static_cast<double>(y1 * b)) / dd);
  const double qyd = std::trunc((static_cast<double>(x1 * b) - static_cast<double>(x2 * a)) / dd);
  // Nearly collinear points put the centre far outside the range.
  constexpr double kGrenze = 2.0 * kMaxKoordinate + 2.0;
  if (!(std::fabs(qxd) <= kGrenze && std::fabs(qyd) <= kGrenze)) return F_INDEX;
  const auto qx = static_cast<int32_t>(qxd);
  const auto qy = static_cast<int32_t>(qyd);
  // The doubled centre is halved toward minus infinity in x and toward
  // zero in y.
  start.x = -(qx >> 1);
  start.y = -(qy / 2);
  return F_OK;
}

void calcKreisLaenge(Kreisbogen &bogen, bool voll) {
  const int64_t sx = bogen.KreisStart.x, sy = bogen.KreisStart.y;
  const double r = std::sqrt(static_cast<double>(sx * sx + sy * sy));
  bogen.KreisRadius = static_cast<int32_t>(r + 0.5);
  if (voll) {
    bogen.KreisLaenge = static_cast<int32_t>(r * kVollkreis);
  } else {
    bogen.KreisLaenge = zaehleBogen(bogen);
  }
}

int16_t planKreis(bool dreiPunkt, KreisPunkt punkt, KreisPunkt ende, uint8_t richtung, Kreisbogen &bogen) {
  int64_t sx, sy, ex, ey;
  if (dreiPunkt) {
    KreisPunkt start{};
    const int16_t code = findKreisMitte(punkt, ende, start);
    if (code != F_OK) return code;
    sx = start.x;
    sy = start.y;
    ex = int64_t{ende.x} + sx;
    ey = int64_t{ende.y} + sy;
  } else {
    sx = -int64_t{punkt.x};
    sy = -int64_t{punkt.y};
    ex = int64_t{ende.x} - punkt.x;
    ey = int64_t{ende.y} - punkt.y;
  }
  if (!imBereich(sx, sy) || !imBereich(ex, ey)) return F_INDEX;
  if (sx == 0 && sy == 0) return F_NULL;  // the centre is the start: radius 0
  const KreisPunkt start{static_cast<int32_t>(sx), static_cast<int32_t>(sy)};
  const KreisPunkt zuEnde{static_cast<int32_t>(ex), static_cast<int32_t>(ey)};
  const double as = calcWinkel(static_cast<double>(sy), static_cast<double>(sx));
  const double ae = calcWinkel(static_cast<double>(ey), static_cast<double>(ex));
  if (dreiPunkt) {
    const double am = calcWinkel(static_cast<double>(sy + punkt.y), static_cast<double>(sx + punkt.x));
    double dm = am - as, de = ae - as;
    if (dm < 0.0) dm += 2.0 * kPi;
    if (de < 0.0) de += 2.0 * kPi;
    richtung = de <= dm ? RICHTUNG_CW : RICHTUNG_CCW;
  }
  const uint8_t gegen = richtung == RICHTUNG_CCW ? RICHTUNG_CW : RICHTUNG_CCW;
  bogen.richtung = richtung;
  bogen.StartOktant = findOktant(start.x, start.y, richtung);
  bogen.EndOktant = findOktant(zuEnde.x, zuEnde.y, gegen);
  const int d =
      richtung == RICHTUNG_CCW ? bogen.EndOktant - bogen.StartOktant : bogen.StartOktant - bogen.EndOktant;
  bogen.KreisOktanten = static_cast<uint8_t>((d & 7) + 1);
  const bool voll = ende.x == 0 && ende.y == 0;
  // A full circle starting inside an octant enters that octant twice.
  if (voll && bogen.KreisOktanten < 2) bogen.KreisOktanten = static_cast<uint8_t>(bogen.KreisOktanten + 8);
  if (!voll && bogen.KreisOktanten == 1 && endeDahinter(as, ae, richtung)) bogen.KreisOktanten = 9;
  bogen.KreisStart = {static_cast<int32_t>(betrag(start.x)), static_cast<int32_t>(betrag(start.y))};
  bogen.KreisEnde = {static_cast<int32_t>(betrag(zuEnde.x)), static_cast<int32_t>(betrag(zuEnde.y))};
  calcKreisLaenge(bogen, voll);
  return F_OK;
}

void queueKreis(const Kreisbogen &bogen) {
  BahnSchreibIndex = BahnLeseIndex = 0;
  uint8_t k = bogen.StartOktant;
  uint8_t typ = ersterTyp(k, bogen.richtung);
  for (uint8_t i = 0; i < bogen.KreisOktanten; ++i) {
    BahnSegment &s = BahnQueue[BahnSchreibIndex];
    std::memset(&s, 0, sizeof s);
    for (int a = 0; a < 3; ++a) s.ZielPos[a] = SollPos[a];
    const bool letztes = i + 1 == bogen.KreisOktanten;
    s.Flags = static_cast<uint8_t>((i == 0 ? FLAG_ERSTES : 0) | (letztes ? FLAG_LETZTES : 0));
    const uint8_t umkehr = bogen.richtung == RICHTUNG_CW ? 1 : 0;
    s.Minus[ACHSE_X] = static_cast<uint8_t>((k < 4 ? 1 : 0) ^ umkehr);
    s.Minus[ACHSE_Y] = static_cast<uint8_t>((k >= 2 && k <= 5 ? 1 : 0) ^ umkehr);
    s.Achse[0] = fuehrungsAchse(k);
    s.Achse[1] = s.Achse[0] == ACHSE_X ? ACHSE_Y : ACHSE_X;
    s.Achse[2] = ACHSE_Z;
    if (i == 0) {
      startLokal(bogen, typ, s.Anzahl[0], s.Anzahl[1]);
      s.BahnLaenge = bogen.KreisLaenge;
    } else {
      // A leaving octant starts on the axis; an approaching one continues.
      s.Anzahl[0] = static_cast<uint32_t>(bogen.KreisRadius);
    }
    if (letztes) {
      s.EndPunkt[0] = static_cast<uint32_t>(bogen.KreisEnde.x);
      s.EndPunkt[1] = static_cast<uint32_t>(bogen.KreisEnde.y);
    }
    s.Typ = typ;
    typ = typ == TYP_VERLASSEN ? TYP_NAEHERN : TYP_VERLASSEN;
    reiheEin(loadKreis);
    k = naechsterOktant(k, bogen.richtung);
  }
}

void runKreis(const Kreisbogen &bogen) {
  queueKreis(bogen);
  oeffneTestDatei();
  while (BahnAktiv != 0) stepBahn();
  schliesseTestDatei();
}

int16_t fahreKreis(bool dreiPunkt, KreisPunkt punkt, KreisPunkt ende, const int32_t ziel[2], uint8_t richtung,
                   bool &wartet) {
  wartet = false;
  Kreisbogen bogen;
  const int16_t code = planKreis(dreiPunkt, punkt, ende, richtung, bogen);
  if (code != F_OK) return code;
  if (countFreieSegmente() < bogen.KreisOktanten || (KreisTestlauf == 0 && BahnAktiv != 0)) {
    wartet = true;
    return F_OK;
  }
  KreisBasis[0] = SollSchritte[ACHSE_X];
  KreisBasis[1] = SollSchritte[ACHSE_Y];
  // X and Y end at the end point; the path moves them there, not a
  // single-axis move.
  for (uint8_t a = ACHSE_X; a <= ACHSE_Y; ++a) {
    SollPos[a] = ziel[a];
    SollSchritte[a] = toSchritte(a, ziel[a]);
  }
  if (KreisTestlauf != 0) {
    runKreis(bogen);
  } else {
    queueKreis(bogen);
  }
  return F_OK;
}

void resetKreis() {
  KreisBasis[0] = KreisBasis[1] = 0;
  KreisTestlauf = 1;
}

}  // namespace vela
