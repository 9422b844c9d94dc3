// A motor fake for the platform's idle hook, driven by the library's tick
// functions of the public header, counted in ticks: a step rate v means
// v steps per 1000 ticks (at least one tick per step). Each idle round
// reads the tick source once (so that time passes) and makes the steps
// that are due: taktAchse for every running single-axis move at achsGeschw,
// stepBahn for the path at BahnGeschw. A stop request ends a single-axis
// move at once (haltAchse). Reference switches close when their axis has
// moved far enough.
#pragma once

#include <cstdint>

struct FakeMotoren {
  int32_t position[4] = {};  // steps made by X Y Z A (single-axis moves and the path)
  long bahnTakte = 0;        // calls of stepBahn
  long gestoppt = 0;         // single-axis moves ended by a stop request
  uint32_t faellig[5] = {};  // tick of the next step of each axis and of the path
  bool laeuft[5] = {};

  // Reference switch of an axis: switch `schalter` reads closed (0) while
  // the axis stands at or beyond `bei` (beyond in the direction `richtung`,
  // +1 or -1); -1: none.
  struct Referenz {
    int schalter = -1;
    int32_t bei = 0;
    int richtung = 1;
  };
  Referenz referenz[4];
};

extern FakeMotoren motoren;

// Resets the motors and hooks them into the fake devices' idle rounds
// (bind the fakes first; with switch devices for reference runs).
void bindeMotoren();
