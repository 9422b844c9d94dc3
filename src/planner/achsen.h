// Axis model: machine parameters per index (X Y Z A and the path I), the
// commanded and running positions of the motor axes, and the conversion
// between user units and motor steps:
//
//   steps = user * AchsSchritte / AchsMM      (32-bit product, truncated)
//   user  = steps * AchsMM / AchsSchritte
#pragma once

#include <cstdint>

// Library-internal: the tick reads this state directly, not through the
// global offset table.
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(hidden)
#endif

namespace vela {

constexpr int kAchsen = 5;       // X Y Z A and the path index I
constexpr int kMotorAchsen = 4;  // X Y Z A
constexpr uint8_t ACHSE_X = 0, ACHSE_Y = 1, ACHSE_Z = 2, ACHSE_A = 3, ACHSE_I = 4;

// Machine parameters at load time, the same for every index. The ramp
// increment is the one calcRampe gives for them: (1000 - 100) / (10 - 1).
constexpr int32_t kSkalaBeimLaden = 1;
constexpr uint16_t kRampenLaengeBeimLaden = 10;
constexpr uint16_t kStartGeschwBeimLaden = 100;
constexpr uint16_t kMaxGeschwBeimLaden = 1000;
constexpr uint16_t kRampenInkrementBeimLaden =
    (kMaxGeschwBeimLaden - kStartGeschwBeimLaden) / (kRampenLaengeBeimLaden - 1);

// Machine parameters, index 0..4.
extern int32_t AchsSchritte[kAchsen];      // scale numerator (steps), never 0
extern int32_t AchsMM[kAchsen];            // scale denominator (user units), never 0
extern uint16_t RampenLaenge[kAchsen];     // ramp stages of a move
extern uint16_t StartGeschw[kAchsen];      // speed a move starts with
extern uint16_t MaxGeschw[kAchsen];        // travel speed
extern uint16_t EndGeschw[kAchsen];        // lowest braking speed of the path (0: none)
extern uint16_t RampenInkrement[kAchsen];  // speed step per stage, from calcRampe

// Positions of the motor axes (RestSchritte, RampenStufe and
// StopAnforderung also have the path entry 4).
extern int32_t SollPos[kMotorAchsen];        // commanded position, user units
extern int32_t SollSchritte[kMotorAchsen];   // commanded position, steps
extern int32_t DeltaSchritte[kMotorAchsen];  // steps of the last planned move
extern int32_t RestSchritte[kAchsen];        // steps left of the running move
extern uint8_t AchsRichtung[kMotorAchsen];   // 1 negative, 0 positive
extern uint16_t RampenStufe[kAchsen];        // ramp stage of the running move
extern uint16_t AchsLaeuft[kMotorAchsen];    // 1 while a single-axis move runs
extern uint16_t StopAnforderung[kAchsen];    // 2 stop requested; path: 1 braking
extern int32_t AchsZaehler[kMotorAchsen];    // axis counters (advanced outside)

// User units to steps with the axis's scale.
int32_t toSchritte(uint8_t achse, int32_t wert);
// Steps to user units with the axis's scale.
int32_t toEinheiten(uint8_t achse, int32_t schritte);
// Actual position in user units (while a path runs, from its segment).
int32_t readIstPos(uint8_t achse);
// RampenInkrement[achse] from the speeds and the ramp length.
void calcRampe(uint8_t achse);
// Steps from the commanded position to a target in user units.
int32_t zielDelta(uint8_t achse, int32_t ziel);
// Plans an absolute target: SollPos, DeltaSchritte, SollSchritte.
void planeAchse(uint8_t achse, int32_t ziel);
// Plans two axes at once (a and b may be the same axis: it ends on zielB).
void planeAchsPaar(uint8_t a, int32_t zielA, uint8_t b, int32_t zielB);

void resetAchsen();

}  // namespace vela

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
