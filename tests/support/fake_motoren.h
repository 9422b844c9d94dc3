// A motor fake for the platform's idle hook: the library's motor scheduler
// (MotorTakt) counted in ticks of the fake's tick source, a step rate v
// being v steps per 1000 ticks. Each idle round reads the tick source once
// (so that time passes) and lets the scheduler make the steps that are due.
// Reference switches close when their axis has moved far enough.
#pragma once

#include <cstdint>
#include <memory>

#include "vela_steuerung.h"

struct FakeMotoren {
  // The scheduler; its position holds the steps made by X Y Z A.
  std::unique_ptr<vela::MotorTakt> takt;
  int32_t *position = nullptr;

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
