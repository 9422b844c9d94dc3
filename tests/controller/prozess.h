// Pseudo-terminal pairs, the vela tool as a child process, and reads that
// end at generous deadlines.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "leitung.h"

namespace testpty {

using namespace std::chrono_literals;
using Sekunden = std::chrono::duration<double>;

// A raw pseudo-terminal pair: the test plays the master, the tool opens `pfad`.
struct PtyPaar {
  PtyPaar();
  ~PtyPaar();
  std::string pfad;
  int slave;
  std::optional<velatool::Verbindung> master;  // reset() hangs up
};

void schreibe(velatool::Verbindung &leitung, const std::string &bytes);
// Everything read from the line until it ends with `ende`, or (for checks
// that nothing came) whatever arrives within the time.
std::string liesBis(velatool::Verbindung &leitung, const std::string &ende, Sekunden frist = 20s);
std::string liesWaehrend(velatool::Verbindung &leitung, Sekunden zeit);

// The vela tool as a child process with stdout and stderr in pipes.
class Vela {
 public:
  // stdin is /dev/null unless given.
  explicit Vela(const std::vector<std::string> &argumente, int stdinFd = -1);
  ~Vela();
  Vela(const Vela &) = delete;
  Vela &operator=(const Vela &) = delete;

  // The exit status, or -1 when it died of a signal or was killed at the deadline.
  int warte(Sekunden frist = 60s);
  // The first line of stdout (without its LF), read as it comes.
  std::string ersteZeile(Sekunden frist = 20s);
  void signal(int sig);
  // stdout and stderr (after warte()).
  const std::string &aus() const { return aus_; }
  const std::string &fehler() const { return fehler_; }

 private:
  void sammle(Sekunden frist);
  pid_t pid_ = -1;
  int ausFd_ = -1, fehlerFd_ = -1;
  std::string aus_, fehler_;
  int status_ = -2;
};

// A run of the tool to its end: exit status, stdout and stderr.
struct Aufruf {
  int status;
  std::string aus, fehler;
};
Aufruf vela(const std::vector<std::string> &argumente);

}  // namespace testpty
