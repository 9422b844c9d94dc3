#include "prozess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

extern char **environ;

namespace testpty {

namespace {

using Uhr = std::chrono::steady_clock;

int msBis(Uhr::time_point t) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - Uhr::now()).count();
  return ms < 0 ? 0 : ms > 1000 ? 1000 : static_cast<int>(ms) + 1;
}

Uhr::time_point ab(Sekunden s) { return Uhr::now() + std::chrono::duration_cast<Uhr::duration>(s); }

// One read of whatever is there within the deadline; false at its end.
bool liesEtwas(int fd, std::string &ziel, Uhr::time_point frist) {
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, msBis(frist));
    if (r > 0) {
      char puffer[4096];
      const ssize_t n = ::read(fd, puffer, sizeof puffer);
      if (n > 0) {
        ziel.append(puffer, static_cast<std::size_t>(n));
        return true;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      return false;  // end of the pipe, or a line that has gone
    }
    if (r < 0 && errno == EINTR) continue;
    if (Uhr::now() >= frist) return false;
  }
}

}  // namespace

PtyPaar::PtyPaar() {
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
  termios t{};
  ::tcgetattr(slave, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(slave, TCSANOW, &t);
  pfad = ::ttyname(slave);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
}

PtyPaar::~PtyPaar() {
  ::close(master);
  ::close(slave);
}

void schreibe(int fd, const std::string &bytes) {
  std::size_t n = 0;
  while (n < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + n, bytes.size() - n);
    if (w > 0) n += static_cast<std::size_t>(w);
    else if (w < 0 && errno != EINTR && errno != EAGAIN) throw std::runtime_error("write to the line");
  }
}

std::string liesBis(int fd, const std::string &ende, Sekunden frist) {
  const auto bis = ab(frist);
  std::string gelesen;
  while (gelesen.size() < ende.size() || gelesen.compare(gelesen.size() - ende.size(), ende.size(), ende) != 0) {
    // one byte at a time, so that nothing after `ende` is taken
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, msBis(bis));
    if (r > 0) {
      char c;
      const ssize_t n = ::read(fd, &c, 1);
      if (n == 1) {
        gelesen += c;
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      break;
    }
    if (r < 0 && errno == EINTR) continue;
    if (Uhr::now() >= bis) break;
  }
  return gelesen;
}

std::string liesAnzahl(int fd, std::size_t n, Sekunden frist) {
  const auto bis = ab(frist);
  std::string gelesen;
  while (gelesen.size() < n) {
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, msBis(bis));
    if (r > 0) {
      char c;
      if (::read(fd, &c, 1) == 1) gelesen += c;
      else if (errno != EAGAIN && errno != EINTR) break;
      continue;
    }
    if (Uhr::now() >= bis) break;
  }
  return gelesen;
}

std::string liesWaehrend(int fd, Sekunden zeit) {
  const auto bis = ab(zeit);
  std::string gelesen;
  while (liesEtwas(fd, gelesen, bis)) {
  }
  return gelesen;
}

Vela::Vela(const std::vector<std::string> &argumente, const std::vector<std::string> &env, int stdinFd) {
  int aus[2], fehler[2];
  if (::pipe2(aus, O_CLOEXEC) != 0 || ::pipe2(fehler, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  std::vector<std::string> umgebung;
  for (char **e = environ; *e != nullptr; ++e) umgebung.emplace_back(*e);
  umgebung.insert(umgebung.end(), env.begin(), env.end());
  std::vector<char *> argv{const_cast<char *>(VELA_TOOL)};
  for (const auto &a : argumente) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char *> envp;
  for (auto &e : umgebung) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ == 0) {
    const int ein = stdinFd >= 0 ? stdinFd : ::open("/dev/null", O_RDONLY);
    ::dup2(ein, 0);
    ::dup2(aus[1], 1);
    ::dup2(fehler[1], 2);
    ::execve(VELA_TOOL, argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(aus[1]);
  ::close(fehler[1]);
  ausFd_ = aus[0];
  fehlerFd_ = fehler[0];
}

Vela::~Vela() {
  if (status_ == -2 && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(ausFd_);
  ::close(fehlerFd_);
}

void Vela::sammle(Sekunden frist) {
  const auto bis = ab(frist);
  bool ausOffen = true, fehlerOffen = true;
  while ((ausOffen || fehlerOffen) && Uhr::now() < bis) {
    pollfd p[2] = {{ausOffen ? ausFd_ : -1, POLLIN, 0}, {fehlerOffen ? fehlerFd_ : -1, POLLIN, 0}};
    if (::poll(p, 2, msBis(bis)) <= 0) continue;
    char puffer[4096];
    if (p[0].revents != 0) {
      const ssize_t n = ::read(ausFd_, puffer, sizeof puffer);
      if (n > 0) aus_.append(puffer, static_cast<std::size_t>(n));
      else ausOffen = false;
    }
    if (p[1].revents != 0) {
      const ssize_t n = ::read(fehlerFd_, puffer, sizeof puffer);
      if (n > 0) fehler_.append(puffer, static_cast<std::size_t>(n));
      else fehlerOffen = false;
    }
  }
}

int Vela::warte(Sekunden frist) {
  if (status_ != -2) return status_;
  const auto bis = ab(frist);
  int st = 0;
  pid_t r = 0;
  bool ausOffen = true, fehlerOffen = true;
  while ((r = ::waitpid(pid_, &st, WNOHANG)) == 0 && Uhr::now() < bis) {
    // The pipes close when the child ends, which wakes the poll at once.
    pollfd p[2] = {{ausOffen ? ausFd_ : -1, POLLIN, 0}, {fehlerOffen ? fehlerFd_ : -1, POLLIN, 0}};
    if (!ausOffen && !fehlerOffen) {
      std::this_thread::sleep_for(1ms);
      continue;
    }
    if (::poll(p, 2, 20) <= 0) continue;
    char puffer[4096];
    if (p[0].revents != 0) {
      const ssize_t n = ::read(ausFd_, puffer, sizeof puffer);
      if (n > 0) aus_.append(puffer, static_cast<std::size_t>(n));
      else ausOffen = false;
    }
    if (p[1].revents != 0) {
      const ssize_t n = ::read(fehlerFd_, puffer, sizeof puffer);
      if (n > 0) fehler_.append(puffer, static_cast<std::size_t>(n));
      else fehlerOffen = false;
    }
  }
  if (r == 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &st, 0);
    status_ = -1;
  } else {
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  sammle(5s);
  return status_;
}

std::string Vela::ersteZeile(Sekunden frist) {
  const auto bis = ab(frist);
  std::size_t lf;
  while ((lf = aus_.find('\n', ausGelesen_)) == std::string::npos) {
    if (!liesEtwas(ausFd_, aus_, bis)) return {};
  }
  std::string zeile = aus_.substr(ausGelesen_, lf - ausGelesen_);
  ausGelesen_ = lf + 1;
  return zeile;
}

void Vela::signal(int sig) { ::kill(pid_, sig); }

int vela(const std::vector<std::string> &argumente, std::string *aus, std::string *fehler,
         const std::vector<std::string> &env) {
  Vela v(argumente, env);
  const int status = v.warte();
  if (aus != nullptr) *aus = v.aus();
  if (fehler != nullptr) *fehler = v.fehler();
  return status;
}

}  // namespace testpty
