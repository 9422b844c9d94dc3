// The character line between a host and the controller: a serial device or
// a pseudo-terminal, raw 8-bit in both directions (no translation of CR or
// LF, no echo, no flow control characters), opened by both ends of the
// line, `vela controller` and the client commands.
#pragma once

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velatool {

// A line that cannot be opened or set up, or has failed; what() is the
// message for the user.
struct LeitungsFehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Opens an existing serial device or pseudo-terminal for reading and
// writing (non-blocking, not as controlling terminal) and makes it raw at
// the baud rate (ignored by pseudo-terminals). Throws LeitungsFehler.
int oeffneLeitung(const std::string &pfad, int baud);

// Makes a terminal raw (cfmakeraw, receiver on, modem lines ignored) at the
// baud rate; 0 keeps the rate. Throws LeitungsFehler for a rate the system
// does not know; a file that is no terminal is left as it is.
void macheRoh(int fd, int baud);

// A new pseudo-terminal: the controller keeps the master side, hosts open
// the path of the slave side. The controller also holds the slave open
// itself, so that the line stays up while no host has it open.
struct Pty {
  int master = -1;
  int slave = -1;
  std::string pfad;
};
Pty oeffnePty();

using Uhr = std::chrono::steady_clock;

// A connection over an open line: writes and reads end at a deadline,
// nothing waits for ever, and nothing is read ahead of what is asked for.
class Verbindung {
 public:
  explicit Verbindung(int fd) : fd_(fd) {}
  ~Verbindung();
  Verbindung(const Verbindung &) = delete;
  Verbindung &operator=(const Verbindung &) = delete;

  // Writes all bytes; throws LeitungsFehler when the line takes none of
  // them until the deadline or fails.
  void schreibe(const std::string &bytes, Uhr::time_point frist);
  // The next byte, or -1 once the deadline has passed without one. Throws
  // LeitungsFehler when the line fails.
  int lies(Uhr::time_point frist);
  // Drops whatever has arrived and not been read yet.
  void verwirf();
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace velatool
