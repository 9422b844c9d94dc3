// The path: a ring of 32 segments (straight lines in X Y Z, circle
// octants in X Y) and the running state of the segment at BahnLeseIndex,
// which stepBahn advances by one lead-axis step per call.
//
//   BahnLeseIndex            BahnSchreibIndex
//        v                         v
//   [ running | queued | queued | free ... ]   (modulo 32, at most 31 used)
#pragma once

#include <cstdint>

// Library-internal: the tick reads this state directly, not through the
// global offset table.
#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility push(hidden)
#endif

namespace vela {

constexpr int kBahnSlots = 32;

enum SegmentTyp : uint8_t {
  TYP_VERLASSEN = 0,  // circle octant leaving an axis: local y grows each step
  TYP_NAEHERN = 1,    // circle octant approaching an axis: local x shrinks each step
  TYP_GERADE = 3,     // straight line
};
constexpr uint8_t FLAG_ERSTES = 1;   // first octant of a circle
constexpr uint8_t FLAG_LETZTES = 2;  // last octant of a circle

struct BahnSegment {
  uint16_t Beschl;        // speed increment per ramp stage while accelerating
  uint16_t Verz;          // speed decrement per ramp stage while braking
  uint32_t MaxGeschw;     // upper speed limit
  uint32_t EndGeschw;     // lower speed limit while braking
  int32_t ZielPos[3];     // user positions of X Y Z at the segment's end
  uint32_t Anzahl[3];     // line: steps of lead, second, third axis; octant: local x, y at its start
  uint32_t EndPunkt[2];   // last octant: |x|, |y| of the circle's end point, by axis
  int32_t BahnLaenge;     // first octant: lead-axis steps of the whole circle
  uint32_t RampenLaenge;  // ramp length in stages
  uint8_t Achse[3];       // axis index of lead, second, third axis
  uint8_t Minus[3];       // per axis X Y Z: 1 negative direction
  uint8_t Typ;            // SegmentTyp
  uint8_t Flags;          // FLAG_ERSTES, FLAG_LETZTES
};

extern BahnSegment BahnQueue[kBahnSlots];
extern uint8_t BahnLeseIndex;     // segment being run
extern uint8_t BahnSchreibIndex;  // next free slot

// Running state of the segment at BahnLeseIndex.
extern uint8_t BahnAktiv;       // 1 from the first queued segment until the path ends
extern uint8_t SegmentLaeuft;   // 1 from loading until a tick finds BahnRest 0
extern int32_t BahnRest;        // lead-axis steps left (may go negative)
extern uint32_t BahnGeschw;     // current speed value of the path
extern uint16_t BeschlAkt;      // segment's Beschl
extern uint16_t VerzAkt;        // segment's Verz
extern uint32_t GeschwMaxAkt;   // segment's MaxGeschw
extern uint32_t GeschwMinAkt;   // segment's EndGeschw
extern uint32_t RampeAkt;       // segment's RampenLaenge
extern int32_t BahnX;           // line: lead count n; octant: local x
extern int32_t BahnY;           // line: error term e1; octant: local y
extern int32_t BahnF;           // line: error term e2; octant: circle error f
extern int32_t Inkr1, Inkr1b;   // line: increments of e1
extern int32_t Inkr2, Inkr2b;   // line: increments of e2
extern int32_t TestPos[3];      // traced step positions of X Y Z
extern uint16_t AdresseAkt[3];  // step-output addresses of lead, second, third axis

// One step-output address per axis X Y Z.
extern const uint16_t AchsAdresse[3];

// Longest line in steps of one axis whose error terms stay in 32 bits.
constexpr int32_t kMaxGeradeSchritte = (1 << 30) - 1;

bool isBahnVoll();
uint8_t countFreieSegmente();
// Plans X Y Z to the target (user units) and queues the line; the ring must
// not be full. A line longer than kMaxGeradeSchritte on one axis is refused
// with 2 and plans nothing.
int16_t planGerade(const int32_t ziel[3]);
// Queues a line from DeltaSchritte and SollPos of X Y Z as planned.
void queueGerade();
void loadGerade();
void loadKreis();
// Prepares the tick for the segment just loaded (its kind, axes, directions).
void bereiteTakt(const BahnSegment &s);
void resetTakt();
// Ramp fields of a segment from the path index's speeds and ramp length.
void setzeRampe(BahnSegment &s);
// Start speed (at least 20) and ramp stage 0 of a path that was idle.
void starteBahn();
// Queues the segment filled at BahnSchreibIndex (its ramp from the path
// index); an idle path starts with it, loaded by 'lade'.
void reiheEin(void (*lade)());
// The running state's ramp fields from a segment.
void ladeRampe(const BahnSegment &s);
// One tick of the path.
void stepBahn();
// Runs every queued straight line to its end at once (see bahntakt.cpp).
void laufeGeradenAus();

void resetBahn();

}  // namespace vela

#if defined(__GNUC__) && !defined(_WIN32)
#pragma GCC visibility pop
#endif
