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

extern KreisPunkt KreisStart;  // start relative to the centre, steps (made absolute by planKreis)
extern KreisPunkt KreisEnde;   // end relative to the centre, steps (made absolute by planKreis)
extern int32_t KreisRadius;    // radius in steps, rounded
extern int32_t KreisLaenge;    // lead-axis steps of the whole arc
extern uint8_t KreisOktanten;  // octant segments, 1..9
extern uint8_t StartOktant;    // octant of the start point
extern uint8_t EndOktant;      // octant of the end point
extern int32_t KreisBasis[2];  // step positions of X and Y where the running circle began

// Geometry from ArgWert1..4 (centre or intermediate point, end point, all
// relative to the start in steps); the three-point form sets the direction.
// 0, 40 for collinear points, 2 for a radius out of range.
int16_t planKreis(bool dreiPunkt, uint8_t &richtung);
// Centre of the circle through the start, ArgWert1/2 and ArgWert3/4; 0, 40 or 2.
int16_t findKreisMitte();
// Angle of (x, y) in radians.
double calcWinkel(double y, double x);
// Octant of a point; a point on a boundary belongs to the octant a move in
// the given direction enters.
uint8_t findOktant(int32_t x, int32_t y, uint8_t richtung);
// KreisRadius and KreisLaenge from the absolute start and end.
void calcKreisLaenge(uint8_t richtung);
// Queues the octants of the planned arc into the emptied ring.
void queueKreis(uint8_t richtung);
// queueKreis, then the test run: ticks the path to its end, tracing it
// into the test-data file.
void runKreis(uint8_t richtung);

void resetKreis();

}  // namespace vela
