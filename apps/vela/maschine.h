// The simulated machine: the executor that the library leaves to its host.
// It carries out planned moves with a step clock per axis and one for the
// path, keeps the library's drive tables (RestSchritte, AchsLaeuft, ...) up
// to date so that W and the axis conditions see a real machine, and records
// the X/Y track for the plot.
//
// Time base: a speed value v means v steps per second, so one step at speed
// v takes 1/v s. A single-axis move steps at
//
//   v = StartGeschw + RampenStufe * RampenInkrement   (at most MaxGeschw)
//
// and the path at BahnGeschw. Each interpreter step takes kBefehlsZeit of
// machine time; "W n" waits n milliseconds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velatool {

using Nanos = int64_t;
constexpr Nanos kMilli = 1000000;
constexpr Nanos kSekunde = 1000 * kMilli;
constexpr Nanos kBefehlsZeit = kMilli;  // one execBefehl call

// Simulated reference switches: a reference run trips its switch after
// kReferenzWeg steps in the search direction and releases it after
// kFreiWeg steps of back-off; the release point becomes position 0.
constexpr int32_t kReferenzWeg = 200;
constexpr int32_t kFreiWeg = 10;

// Kind of movement a piece of the recorded track belongs to.
enum class Art { Achse, Bahn, Kreis };

// One polyline of the track, in user units.
struct Spur {
  Art art;
  std::vector<double> x, y;
};

class Maschine {
 public:
  Maschine();

  // Starts the single-axis move of DeltaSchritte[achse] (nothing for 0).
  // A move of an axis that is still running starts once the running one
  // has ended (the machine runs until then).
  void starteAchse(int achse);
  // Reference run of an axis (direction 0: positive search); afterwards the
  // axis stands at 0 and SollPos and SollSchritte of it are 0.
  void referenz(int achse, int32_t richtung);
  // Runs the machine for the given time.
  void laufe(Nanos dauer);
  // Runs until the axis (0..3) or the path (4) is at rest; false when it
  // did not come to rest within the limit.
  bool laufeBisRuhig(int achse);
  // Runs until the path ring has a free slot.
  bool laufeBisBahnFrei();
  // Runs until every axis and the path are at rest.
  bool laufeBisAllesRuhig();
  // Takes over a circle that the library has run itself: the traced steps
  // (relative to the start point) go into the track, the time is estimated
  // at the path's travel speed, and X and Y stand at their targets.
  void kreisGelaufen(const std::vector<std::pair<int32_t, int32_t>> &schritte);
  // After commands that redefine positions (presets): axes at rest take
  // over their commanded step position.
  void uebernehmeSollSchritte();

  bool ruhig(int achse) const;  // axis 0..3 or path 4 at rest
  Nanos jetzt() const { return uhr_; }
  int32_t position(int achse) const { return pos_[achse]; }  // steps
  double weg() const { return weg_; }                        // XYZ path length, user units
  const std::vector<Spur> &spur() const { return spur_; }
  // A message about the path (e.g. the tick made no progress), or empty.
  const std::string &bahnHinweis() const { return hinweis_; }

 private:
  bool tick(Nanos grenze);
  void tickAchse(int achse);
  void tickBahn();
  Nanos schrittDauer(int achse) const;
  Nanos bahnDauer() const;
  void merke(Art art);  // records the current X/Y position
  double einheiten(int achse) const;

  Nanos uhr_ = 0;          // machine time
  Nanos faellig_[5] = {};  // next step time of each axis and of the path
  int32_t pos_[4] = {};    // actual axis positions in steps
  double letzte_[3] = {};  // last recorded X Y Z (user units), for the length
  double weg_ = 0;
  std::vector<Spur> spur_;
  bool bahnLief_ = false;
  int stillstand_ = 0;  // path ticks without progress
  std::string hinweis_;
};

}  // namespace velatool
