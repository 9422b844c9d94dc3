// One step of the midpoint circle algorithm inside an octant, in the
// octant's local coordinates: x and y are the absolute coordinates of the
// point relative to the centre (x the one that starts large), f the error
// of x^2 + y^2 against the square of the radius.
//
//   leaving an axis (y grows):      f += 2y + 1;  f - x > 0  ->  x -= 1, f -= 2x
//   approaching an axis (x shrinks): f += 1 - 2x; f + y < 0  ->  y += 1, f += 2y
//
// Shared by the path tick and the planner that counts an arc's steps, so
// that both walk the same points.
#pragma once

#include <cstdint>

#include "core/arith.h"

namespace vela {

// Octant leaving an axis: y += 1 every step. True when x stepped too.
inline bool kreisSchrittVerlassen(int32_t &x, int32_t &y, int32_t &f) {
  f = wrapAdd(f, wrapAdd(wrapAdd(y, y), 1));
  const bool quer = wrapSub(f, x) > 0;
  if (quer) {
    x = wrapSub(x, 1);
    f = wrapSub(f, wrapAdd(x, x));
  }
  y = wrapAdd(y, 1);
  return quer;
}

// Octant approaching an axis: x -= 1 every step. True when y stepped too.
inline bool kreisSchrittNaehern(int32_t &x, int32_t &y, int32_t &f) {
  f = wrapAdd(f, wrapSub(1, wrapAdd(x, x)));
  const bool quer = wrapAdd(f, y) < 0;
  if (quer) {
    y = wrapAdd(y, 1);
    f = wrapAdd(f, wrapAdd(y, y));
  }
  x = wrapSub(x, 1);
  return quer;
}

// End test of an octant after a step. A middle octant ends on the diagonal
// (leaving) or on the axis (approaching); the last one ends when its lead
// coordinate reaches the end point's.
inline bool oktantFertig(bool verlassen, bool letztes, int32_t x, int32_t y, uint32_t endeFuehrung) {
  if (verlassen) return letztes ? static_cast<uint32_t>(y) >= endeFuehrung : x <= y;
  return letztes ? static_cast<uint32_t>(x) <= endeFuehrung : x <= 0;
}

}  // namespace vela
