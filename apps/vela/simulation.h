// The simulated controller: a platform binding (vela_steuerung.h) with
// simulated time for the library's monitor.
//
//   download stream -- the program text (CR line ends), then the end mark '$'
//   host line       -- silent; what the monitor sends is collected
//   ticks           -- simulated milliseconds; every idle round is one tick
//   idle hook       -- runs the library's motor scheduler (MotorTakt) up to
//                      the new time; a step rate is steps per second
//   display         -- the library's display model (DisplayInhalt)
//   switches        -- the simulated machine (maschine.h): --input states
//                      over time, reference switches, outputs
//   keypad          -- --keys presses over time
//   beenden         -- once the run has ended (see Simulation::beende)
//
// The hooks reach their simulation through the binding's context. The
// library has one binding: a Simulation runs while it is the one bound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maschine.h"
#include "vela_steuerung.h"

namespace velatool {

// Kind of movement a piece of the recorded track belongs to.
enum class Art { Achse, Bahn, Kreis };

// One polyline of the track, in user units.
struct Spur {
  Art art;
  std::vector<double> x, y;
};

// A point where the program waited, in user units.
struct Wartestelle {
  double x, y;
};

class Simulation {
 public:
  Simulation(std::vector<Eingabe> eingaben, std::vector<Tastendruck> tasten, Nanos maxZeit);
  ~Simulation();
  Simulation(const Simulation &) = delete;
  Simulation &operator=(const Simulation &) = delete;

  // Binds the platform (until the simulation ends or another binding
  // replaces it); `text` is what the download stream delivers (without
  // the end mark).
  void binde(const std::string &text);

  // The platform's idle round: one tick of time, the motors run up to it.
  void leerlauf();
  // Asks the monitor to end (every wait and poll gives up).
  void beende() { beendet_ = true; }
  // Time 0 (the run's start; nothing moves yet). The outputs the start-up
  // cleared are not noted.
  void nullpunkt() {
    jetzt_ = 0;
    maschine_.nimmAusgangsNotizen();
    takt_.setzeZeit(0);
    gestartet_ = true;
  }
  bool beendet() const { return beendet_; }
  // Past the time limit; before the run's first step (banner, download) the
  // limit is kVorlauf.
  bool zeitUeberschritten() const { return jetzt_ > (gestartet_ ? maxZeit_ : kVorlauf); }
  // True once the monitor opened the download a second time: the run has
  // gone back to idle (LOAD, an error, a label table that failed).
  bool zweiterDownload() const { return downloads_ > 1; }
  // The program store as it stood when the run went back to idle.
  const std::string &storeBeimEnde() const { return store_; }

  // Runs idle rounds until every axis and the path rest (or the time limit).
  void laufeAus();
  bool allesRuhig() const;
  // Names of the axes still moving ("X", "path"), comma-separated; "" for none.
  std::string bewegt() const;

  // After a step that moved positions without motion (a preset, a
  // reference run): the axes at rest take their commanded step positions.
  void uebernimmSoll();
  // The default executor after a step, on this machine (reference runs).
  int16_t nachSchritt(int16_t ergebnis) { return maschine_.nachSchritt(takt_.position, ergebnis); }
  Maschine &maschine() { return maschine_; }
  void merkeWarten();
  // Records where the axes stand now (a run stopped during a motion).
  void merkeStand() { merke(spur_.back().art); }

  Nanos jetzt() const { return jetzt_; }
  int32_t position(int achse) const { return takt_.position[achse]; }
  double einheiten(int achse) const;
  double weg() const { return weg_; }
  const std::vector<Spur> &spur() const { return spur_; }
  const std::vector<Wartestelle> &wartestellen() const { return warten_; }
  const std::string &hostAusgabe() const { return host_; }
  // Display text written since the last call (characters of the display channel).
  std::string nimmAnzeige();

  // Platform hooks.
  bool eingang(int32_t n) const;
  uint8_t taste() const;

 private:
  friend struct Haken;
  void schritt(const vela::MotorSchritt &s);
  void wechsel(uint8_t quelle, bool laeuft);
  void merke(Art art);

  Maschine maschine_;
  bool mitTasten_ = false;
  Nanos maxZeit_;
  Nanos jetzt_ = 0;
  bool beendet_ = false;
  bool gestartet_ = false;
  bool gebunden_ = false;  // binde was called: the end binds the console again
  static constexpr Nanos kVorlauf = 60 * kSekunde;
  int downloads_ = 0;
  std::string text_;
  std::size_t gelesen_ = 0;
  std::string host_;
  std::string store_;
  std::string anzeige_;

  vela::MotorTakt takt_;
  int32_t kreisMarke_[2] = {};  // where the track of an arc last took a point

  double letzte_[3] = {};
  double weg_ = 0;
  std::vector<Spur> spur_;
  std::vector<Wartestelle> warten_;
};

}  // namespace velatool
