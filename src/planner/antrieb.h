// Drive layer: starting, stopping and stepping single-axis moves, the idle
// test of the axes and the path, the switch inputs and outputs, the
// keypad, the reference runs and the teach-in.
#pragma once

#include <cstdint>

namespace vela {

constexpr int kTeachTasten = 9;
// Key codes of the teach-in: entry 0 ends it, entries 1..8 jog
// X-, X+, Y-, Y+, Z-, Z+, A-, A+.
extern uint8_t TeachTasten[kTeachTasten];

// Starts a move of DeltaSchritte[achse] steps (axes 0..3; none for a zero delta).
void startAchse(int16_t achse);
void startAchsPaar(int16_t achse1, int16_t achse2);
// Requests a stop (0..4; 4 is the path).
void stopAchse(int16_t achse);
// 0..3: no single-axis move runs; 4: no path and no steps left in X Y Z.
bool isAchseFertig(int16_t achse);
// One step tick of a single-axis move: one step while steps remain, and
// the ramp stage climbs one per step up to RampenLaenge and, in the last
// RampenLaenge steps, never exceeds the steps that remain. The step made:
// -1, 0 or +1.
int8_t taktAchse(uint8_t achse);
// Step rate of a single-axis move at its ramp stage: StartGeschw plus one
// RampenInkrement per stage, at most MaxGeschw (when that is not below the
// start speed).
uint32_t achsGeschw(uint8_t achse);
// Ends a running single-axis move where it stands (a platform's answer to
// a stop request): the steps not made are taken off SollSchritte and
// SollPos. An axis at rest (the path may be using its RestSchritte) is left
// alone.
void haltAchse(uint8_t achse);
// Ends a running single-axis move at its target at once, as its last step
// would (the check walk's moves take no time). An axis at rest is left alone.
void vollendeAchse(uint8_t achse);
// One step tick of axis X, "!" on standard output for each step.
void stepAchse();

// Reference run against switch s: out in direction d (0 positive) until the
// switch closes, back until it opens; that point becomes 0.
void homeAchse(int16_t richtung, uint8_t achse, uint8_t schalter);
void homeAchsPaar(int16_t richtung1, int16_t richtung2, uint8_t achse1, uint8_t achse2, uint8_t schalter1,
                  uint8_t schalter2);

// Asks for switch n on standard output and reads its state: 1 open, 0 closed.
// 0, or 1 when standard input has ended (the state is then 1).
int16_t readSchalter(uint8_t n, uint8_t &zustand);
// Reports output n set to wert on standard output; 0.
int16_t setSchalter(uint8_t n, uint8_t wert);
// Key held down on the keypad, 17 for none.
uint8_t readTaste();
// Key code 0..15 from a keypad row and column bit (0x10..0x80), else 17.
uint8_t calcTastenCode(uint8_t zeile, uint8_t spaltenBit);
// DeltaSchritte of X Y Z A = 0.
void clearAchsen();
// Jogs the axes from the keypad until the end key.
void teachIn();

void resetAntrieb();

}  // namespace vela
