// Motors in the idle hook: the library's scheduler (MotorTakt) in ticks of
// the fake's tick source (v steps per 1000 ticks), one tick read per round;
// reference switches close when their axis has moved far enough.
#pragma once

#include <cstdint>
#include <memory>

#include "vela_steuerung.h"

struct FakeMotoren {
  // The scheduler; its position holds the steps made by X Y Z A.
  std::unique_ptr<vela::MotorTakt> takt;
  int32_t *position = nullptr;

  // Switch `schalter` (-1: none) reads closed (0) while the axis stands at
  // or beyond `bei` in the direction `richtung` (+1 or -1).
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
