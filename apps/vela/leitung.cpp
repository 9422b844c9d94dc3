// Opening the line and the connection's reads and writes, all through
// poll() with deadlines.
#include "leitung.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velatool {

namespace {

std::string fehlerText(const std::string &was) { return was + ": " + std::strerror(errno); }

speed_t baudKonstante(int baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: throw LeitungsFehler("unsupported baud rate " + std::to_string(baud));
  }
}

int msBis(Uhr::time_point frist) {
  const auto rest = std::chrono::ceil<std::chrono::milliseconds>(frist - Uhr::now()).count();
  return rest <= 0 ? 0 : static_cast<int>(std::min<long long>(rest, 1000));
}

}  // namespace

void macheRoh(int fd, int baud) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) {
    if (errno == ENOTTY || errno == EINVAL) return;
    throw LeitungsFehler(fehlerText("cannot read the line settings"));
  }
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (baud > 0) {
    const speed_t b = baudKonstante(baud);
    ::cfsetispeed(&t, b);
    ::cfsetospeed(&t, b);
  }
  if (::tcsetattr(fd, TCSANOW, &t) != 0) throw LeitungsFehler(fehlerText("cannot set up the line"));
}

int oeffneLeitung(const std::string &pfad, int baud) {
  if (pfad.empty()) throw LeitungsFehler("no line given (--line PATH or VELA_LINE)");
  const int fd = ::open(pfad.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw LeitungsFehler(fehlerText("cannot open the line " + pfad));
  if (!::isatty(fd)) {
    ::close(fd);
    throw LeitungsFehler(pfad + " is not a serial line or terminal");
  }
  try {
    macheRoh(fd, baud);
  } catch (...) {
    ::close(fd);
    throw;
  }
  return fd;
}

Pty oeffnePty() {
  Pty p;
  p.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (p.master < 0) throw LeitungsFehler(fehlerText("cannot make a pseudo-terminal"));
  const char *name = nullptr;
  if (::grantpt(p.master) != 0 || ::unlockpt(p.master) != 0 || (name = ::ptsname(p.master)) == nullptr) {
    const std::string text = fehlerText("cannot set up the pseudo-terminal");
    ::close(p.master);
    throw LeitungsFehler(text);
  }
  p.pfad = name;
  p.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (p.slave < 0) {
    const std::string text = fehlerText("cannot open " + p.pfad);
    ::close(p.master);
    throw LeitungsFehler(text);
  }
  macheRoh(p.slave, 0);
  ::fcntl(p.master, F_SETFL, ::fcntl(p.master, F_GETFL) | O_NONBLOCK);
  return p;
}

Verbindung::~Verbindung() {
  if (fd_ >= 0) ::close(fd_);
}

void Verbindung::schreibe(const std::string &bytes, Uhr::time_point frist) {
  std::size_t gesendet = 0;
  while (gesendet < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + gesendet, bytes.size() - gesendet);
    if (n > 0) {
      gesendet += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      throw LeitungsFehler(fehlerText("cannot write to the line"));
    if (Uhr::now() >= frist) throw LeitungsFehler("the controller does not take what is sent (line blocked)");
    pollfd p{fd_, POLLOUT, 0};
    ::poll(&p, 1, msBis(frist));
  }
}

// One byte per read: what follows a reply (the echo of a program that
// steps, text a running program sends) stays on the line for whoever reads
// it next instead of leaving with this connection.
int Verbindung::lies(Uhr::time_point frist) {
  for (;;) {
    unsigned char c = 0;
    const ssize_t n = ::read(fd_, &c, 1);
    if (n > 0) return c;
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      throw LeitungsFehler(fehlerText("cannot read from the line"));
    if (n == 0 && !::isatty(fd_)) throw LeitungsFehler("the line has closed");
    if (Uhr::now() >= frist) return -1;
    pollfd p{fd_, POLLIN, 0};
    ::poll(&p, 1, msBis(frist));
  }
}

void Verbindung::verwirf() {
  ::tcflush(fd_, TCIFLUSH);
  unsigned char puffer[512];
  while (::read(fd_, puffer, sizeof puffer) > 0) {
  }
}

}  // namespace velatool
