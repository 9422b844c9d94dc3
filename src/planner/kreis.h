// Circular moves: the geometry of an arc (centre, octants, step count) and
// its cutting into one path segment per octant.
//
// Octants are numbered counter-clockwise from the positive X axis:
//
//        2  |  1          each quadrant is split by its diagonal;
//      3    |    0        the lead axis, which steps every tick,
//     ------+------ X     is Y in 0, 3, 4, 7 and X in 1, 2, 5, 6
//      4    |    7
//        5  |  6
#pragma once

#include <cstdint>

namespace vela {

constexpr uint8_t RICHTUNG_CW = 2;   // clockwise
constexpr uint8_t RICHTUNG_CCW = 4;  // counter-clockwise

struct KreisPunkt {
  int32_t x, y;
};

// The geometry of a planned arc: what planKreis finds and the octant queue
// cuts into segments.
struct Kreisbogen {
  KreisPunkt KreisStart;  // start relative to the centre, absolute values, steps
  KreisPunkt KreisEnde;   // end relative to the centre, absolute values, steps
  int32_t KreisRadius;    // radius in steps, rounded
  int32_t KreisLaenge;    // lead-axis steps of the whole arc
  uint8_t KreisOktanten;  // octant segments, 1..9
  uint8_t StartOktant;    // octant of the start point
  uint8_t EndOktant;      // octant of the end point
  uint8_t richtung;       // RICHTUNG_CW or RICHTUNG_CCW
};

extern int32_t KreisBasis[2];  // step positions of X and Y where the running circle began
// 1 (at load): an arc runs at once inside its command, the test run that
// traces it into the test-data file; 0 (set by the monitor): an arc is
// queued as its octants and stepped by the platform's path tick like a line.
extern uint8_t KreisTestlauf;

// Geometry of an arc from the centre (or, in the three-point form, an
// intermediate point) and the end point, both relative to the start in
// steps; an end point 0, 0 is a full circle. The offset form runs in the
// given direction, the three-point form finds its own. 0, 40 for
// collinear points or radius 0, 2 for a radius out of range; bogen is
// then not fully set.
int16_t planKreis(bool dreiPunkt, KreisPunkt punkt, KreisPunkt ende, uint8_t richtung, Kreisbogen &bogen);
// The start relative to the centre of the circle through the start, p1
// and p2 (relative to the start); 0, 40 or 2.
int16_t findKreisMitte(KreisPunkt p1, KreisPunkt p2, KreisPunkt &start);
// Angle of (x, y) in radians.
double calcWinkel(double y, double x);
// Octant of a point; a point on a boundary belongs to the octant a move in
// the given direction enters.
uint8_t findOktant(int32_t x, int32_t y, uint8_t richtung);
// The radius and length of the arc from its absolute start and end.
void calcKreisLaenge(Kreisbogen &bogen, bool voll);
// Queues the octants of the arc into the emptied ring.
void queueKreis(const Kreisbogen &bogen);
// queueKreis, then the test run: ticks the path to its end, tracing it
// into the test-data file.
void runKreis(const Kreisbogen &bogen);
// An arc from the commanded X Y position: planKreis of punkt and ende
// (steps, relative to the start), then, when the ring has room for its
// octants, X and Y planned to ziel (user units) and the arc run by
// runKreis (KreisTestlauf) or queued into the idle path. Without room, or
// without the test run while the path still runs, nothing changes and
// wartet is set.
int16_t fahreKreis(bool dreiPunkt, KreisPunkt punkt, KreisPunkt ende, const int32_t ziel[2], uint8_t richtung,
                   bool &wartet);

void resetKreis();

}  // namespace vela
