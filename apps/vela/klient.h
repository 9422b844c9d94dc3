// The host client of a controller: downloads, requests and run control
// over the host line, using the line protocol alone, so that it talks to
// any controller that implements it (`vela controller` or a real one).
//
// The client cannot see the display. It learns the controller's state
// from replies: the download option R is answered "Yes" only while the
// controller waits for a download, and a request for a program that cannot
// exist (its name is a lower-case letter, which no download stores) is
// answered by a fixed text in every state, so it marks the end of every
// reply:
//
//   host                      controller waiting        controller running
//   @R @P P z LF              Yes LF  N Programm z...N  N Programm z...N
//   @N                        ends the download         abandons the run -> download
//
// The checksum of a download covers every download byte the controller has
// read since it started, so the client keeps its best guess of that sum in
// a state file per line, and learns the sum from the mismatch report when
// the guess was wrong, sending once more.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "leitung.h"

namespace velatool {

// The controller did not answer, or answered something the protocol does
// not allow: exit status 2.
struct KlientFehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// The controller refused the request: exit status 1.
struct Ablehnung : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class Modus { Lauf, Schritt, DisplaySchritt, Fern };

struct KlientOptionen {
  std::string leitung;   // path of the line
  int baud = 115200;     // for serial devices
  int timeoutMs = 5000;  // longest wait for each part of a reply
  std::string zustand;   // state file; empty: zustandsDatei(leitung)
  // A request without an answer: wait (within timeoutMs) until the
  // controller gives up an interrupted download, and ask again.
  bool warteLeerlauf = false;
};

struct SendeOptionen {
  Modus modus = Modus::Lauf;
  bool trace = false;
  bool pruefsumme = true;
  bool zeilenQuittung = false;
};

// A program text made ready for the line: CR line ends, a blank before
// every line that begins with '$' or '@' and in every empty line (so that
// no line of the text reads as the end mark or an option, and no empty
// line draws an extra acknowledgement; the controller drops the blanks),
// and a final CR.
struct Sendetext {
  std::string bytes;
  std::size_t zeilen = 0;       // line ends, one acknowledgement each with @Q
  std::size_t gespeichert = 0;  // bytes the controller stores (vela::ladeLaenge), without the NUL
};
// Throws KlientFehler for a text with a NUL byte.
Sendetext bereiteText(std::string_view datei);

// Sum of the byte values, as the controller counts them.
uint32_t bytesumme(std::string_view bytes, uint32_t start = 0);

// The default state file of a line: $XDG_STATE_HOME/vela/lines/NAME
// (~/.local/state/... without XDG_STATE_HOME), NAME the line's path with
// every '/' as '_'.
std::string zustandsDatei(const std::string &leitung);

// One entry of the store listing.
struct Eintrag {
  char speicher;     // 'E', 'F' or 'R'
  std::string name;  // program name without "PROG"
};
// Parses the reply to the list request (the lists of E, F and R); throws
// KlientFehler when it is not one.
std::vector<Eintrag> leseListe(std::string_view antwort);

class Klient {
 public:
  explicit Klient(KlientOptionen o);
  ~Klient();

  // Each command prints its result to `aus` and returns normally, or
  // throws Ablehnung, KlientFehler or LeitungsFehler. Notes for the user
  // (a learned checksum) go to `hinweis`.
  void sende(const std::string &datei, const SendeOptionen &so, std::ostream &aus, std::ostream &hinweis);
  void liste(std::ostream &aus);
  void hole(const std::string &name, std::ostream &aus);
  void dump(char speicher, std::ostream &aus);
  void sichere(std::ostream &aus);
  void loesche(const std::string &name, std::ostream &aus);
  void loescheFlash(std::ostream &aus);
  void stoppe(std::ostream &aus);
  void neustart(std::ostream &aus);
  void schritt(std::ostream &aus);

 private:
  struct Zustand {
    uint32_t summe = 0;         // guess of the controller's download sum
    Modus modus = Modus::Lauf;  // mode of the last download
  };
  Zustand ladeZustand() const;
  void speichereZustand(const Zustand &z) const;

  Uhr::time_point frist() const;
  void sendeBytes(const std::string &b);
  int zeichen();          // next byte; KlientFehler when none comes in time
  int zeichenOhneLeer();  // the same, skipping display blanks
  // Sends a request followed by the marker request and returns what came
  // before the marker's reply.
  std::string anfrage(const std::string &bytes);
  // Brings the controller into the download preamble (option R given);
  // true when it was there at once.
  bool zumLaden(bool zuerstAbbrechen, uint32_t &summe);
  // One download: preamble, text, end mark and sum. Empty on success, else
  // the controller's report ("Host: ..., Target ...", "Programm zu gross").
  std::string lade(const Sendetext &t, const SendeOptionen &so, uint32_t &summe, bool &fehlschlag);
  std::string nameZeile(const std::string &name) const;
  // With --wait-idle: a probe, so that the controller answers before a
  // command that sends no probe of its own.
  void bereit();

  KlientOptionen opt_;
  std::unique_ptr<Verbindung> leitung_;
};

}  // namespace velatool
