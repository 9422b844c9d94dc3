// The controller's front panel over HTTP (`vela controller --web`): the
// page and a small JSON interface (docs/controller.md).
//
//   monitor thread                        server threads (cpp-httplib)
//   --------------                        ----------------------------
//   nimmAnfragen() <-- queue of keys,  <-- POST /api/key, /api/input,
//                      inputs, stops       /api/stop
//   veroeffentliche(stand) --> snapshot --> GET /api/state, /api/events,
//                              and track    /api/track, GET /
//
// Only the monitor's thread touches the library: it drains the queue and
// publishes a snapshot once per idle round; the server threads see nothing
// but the snapshot, the track and the queue, all behind one mutex. While
// no browser is connected a round costs a comparison of the snapshot with
// the last one and a lock without contention.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "vela_steuerung.h"

namespace httplib {
class Server;
}

namespace velatool {

struct WebFehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Where the panel listens: "[ADDRESS:]PORT", ADDRESS 127.0.0.1 unless
// given (an IPv6 address in brackets: "[::1]:8080"). Throws WebFehler.
struct WebAdresse {
  std::string host;
  int port = 0;
};
WebAdresse leseWebAdresse(const std::string &text);
// True for 127.0.0.0/8, ::1 and localhost.
bool istLoopback(const std::string &host);

constexpr int kEingaenge = 256;  // switch inputs and outputs 0..255

// What the monitor shows of itself, filled by the controller each round.
struct PanelStand {
  std::array<std::string, 4> anzeige;          // the display rows, 20 characters each
  std::array<int32_t, 4> schritte{};           // positions of X Y Z A in steps
  std::array<int8_t, kEingaenge> eingaenge{};  // -1 not known yet, else 0 / 1 (set)
  std::array<int8_t, kEingaenge> ausgaenge{};  // -1 never switched, else the value
  bool kreis = false;                          // the path stepped an arc since the last snapshot
  uint32_t ticks = 0;
};

// A request of a browser, carried out by the monitor's thread.
struct PanelAnfrage {
  enum Art : uint8_t { Taste, Eingang, Stop } art;
  int n = 0;  // key code, or input number
  int wert = 0;
};

class Frontplatte {
 public:
  // Binds the address (port 0: a free one) and starts serving. An address
  // other than the loopback needs a token; with a token every request must
  // carry it (Authorization: Bearer TOKEN, or ?token=TOKEN). Throws
  // WebFehler when the address cannot be bound or lacks its token.
  Frontplatte(const std::string &adresse, const std::string &token);
  ~Frontplatte();
  Frontplatte(const Frontplatte &) = delete;
  Frontplatte &operator=(const Frontplatte &) = delete;

  // The page's URL.
  const std::string &url() const { return url_; }

  // ---- the monitor's thread ----
  // Requests that arrived since the last call, oldest first.
  std::vector<PanelAnfrage> nimmAnfragen();
  // Adds the library's state (drive, task, run state) to the controller's
  // and publishes it; extends the track.
  void veroeffentliche(const PanelStand &stand);
  // Run state, from the controller's download stream and its executor.
  void downloadBeginnt();
  void downloadEndet();  // the track starts afresh
  // Installs the executor that follows steps, errors and STOP; it hands
  // every phase on to `weiter` with its context (null: the default
  // executor). The panel's end installs the default executor again.
  void beobachteSchritte(vela::Ausfuehrer weiter, void *kontext);

 private:
  struct Zustand;
  void bediene();
  std::unique_ptr<httplib::Server> server_;
  std::unique_ptr<Zustand> z_;
  std::thread faden_;
  std::atomic<bool> fertig_{false};  // the server has stopped listening
  std::string url_;
};

}  // namespace velatool
