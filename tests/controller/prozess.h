// Test support for the controller and its client: pseudo-terminal pairs,
// the vela tool as a child process, and reads with deadlines. Every wait
// ends at a generous deadline; no test depends on timing otherwise.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace testpty {

using namespace std::chrono_literals;
using Sekunden = std::chrono::duration<double>;

// A pseudo-terminal pair made raw (openpty): a test plays one end on the
// master, the tool opens the slave's path.
struct PtyPaar {
  int master = -1;
  int slave = -1;
  std::string pfad;
  PtyPaar();
  ~PtyPaar();
  PtyPaar(const PtyPaar &) = delete;
  PtyPaar &operator=(const PtyPaar &) = delete;
};

// Writes all bytes to fd.
void schreibe(int fd, const std::string &bytes);
// Reads from fd until the bytes read end with `ende` or the deadline has
// passed; returns everything read.
std::string liesBis(int fd, const std::string &ende, Sekunden frist = 20s);
// Reads from fd until n bytes have arrived or the deadline has passed.
std::string liesAnzahl(int fd, std::size_t n, Sekunden frist = 20s);
// Bytes that arrive within the (short) time; for checks that nothing came.
std::string liesWaehrend(int fd, Sekunden zeit);

// The vela tool as a child process with stdout and stderr in pipes.
class Vela {
 public:
  // Starts VELA_TOOL with the arguments; `env` entries NAME=VALUE are added
  // to the environment; stdin is /dev/null unless a descriptor is given.
  explicit Vela(const std::vector<std::string> &argumente, const std::vector<std::string> &env = {},
                int stdinFd = -1);
  ~Vela();
  Vela(const Vela &) = delete;
  Vela &operator=(const Vela &) = delete;

  // Waits for the end (killing the child after the deadline); its exit
  // status, or -1 when it was killed or died of a signal.
  int warte(Sekunden frist = 60s);
  // The first line of standard output (without its LF), read as it comes.
  std::string ersteZeile(Sekunden frist = 20s);
  void signal(int sig);
  // Everything written to stdout and stderr (after warte()).
  const std::string &aus() const { return aus_; }
  const std::string &fehler() const { return fehler_; }

 private:
  void sammle(Sekunden frist);
  pid_t pid_ = -1;
  int ausFd_ = -1, fehlerFd_ = -1;
  std::string aus_, fehler_;
  int status_ = -2;
};

// Runs the tool to its end; stdout into *aus, the exit status as result.
int vela(const std::vector<std::string> &argumente, std::string *aus = nullptr, std::string *fehler = nullptr,
         const std::vector<std::string> &env = {});

}  // namespace testpty
