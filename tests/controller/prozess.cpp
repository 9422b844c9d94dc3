#include "prozess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <stdexcept>
#include <thread>

namespace testpty {

namespace {

using Uhr = std::chrono::steady_clock;

Uhr::time_point ab(Sekunden s) { return Uhr::now() + std::chrono::duration_cast<Uhr::duration>(s); }

int msBis(Uhr::time_point t) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - Uhr::now()).count();
  return ms < 0 ? 0 : ms > 1000 ? 1000 : static_cast<int>(ms) + 1;
}

// Reads until `fertig` holds, the deadline or the end of fd; `einzeln`: one
// byte at a time, so that nothing after what the caller waits for is taken.
std::string lese(int fd, Uhr::time_point bis, bool einzeln,
                 const std::function<bool(const std::string &)> &fertig) {
  std::string gelesen;
  while (!fertig(gelesen)) {
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, msBis(bis));
    if (r > 0) {
      char puffer[4096];
      const ssize_t n = ::read(fd, puffer, einzeln ? 1 : sizeof puffer);
      if (n > 0)
        gelesen.append(puffer, static_cast<std::size_t>(n));
      else if (n == 0 || (errno != EAGAIN && errno != EINTR))
        break;
    } else if (Uhr::now() >= bis) {
      break;
    }
  }
  return gelesen;
}

}  // namespace

PtyPaar::PtyPaar() {
  const velatool::Pty pty = velatool::oeffnePty();
  pfad = pty.pfad;
  slave = pty.slave;
  master.emplace(pty.master);
}

PtyPaar::~PtyPaar() { ::close(slave); }

void schreibe(velatool::Verbindung &leitung, const std::string &bytes) { leitung.schreibe(bytes, ab(20s)); }

std::string liesBis(velatool::Verbindung &leitung, const std::string &ende, Sekunden frist) {
  const auto bis = ab(frist);
  std::string s;
  for (int c = 0; !s.ends_with(ende) && (c = leitung.lies(bis)) >= 0;) s += static_cast<char>(c);
  return s;
}

std::string liesWaehrend(velatool::Verbindung &leitung, Sekunden zeit) {
  const auto bis = ab(zeit);
  std::string s;
  for (int c = 0; (c = leitung.lies(bis)) >= 0;) s += static_cast<char>(c);
  return s;
}

Vela::Vela(const std::vector<std::string> &argumente, int stdinFd) {
  int aus[2], fehler[2];
  if (::pipe2(aus, O_CLOEXEC) != 0 || ::pipe2(fehler, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  std::vector<char *> argv{const_cast<char *>(VELA_TOOL)};
  for (const auto &a : argumente) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(stdinFd >= 0 ? stdinFd : ::open("/dev/null", O_RDONLY), 0);
    ::dup2(aus[1], 1);
    ::dup2(fehler[1], 2);
    ::execv(VELA_TOOL, argv.data());
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

// Collects stdout, then stderr, until each pipe has closed or the deadline
// (the tool's outputs here stay far below a pipe's buffer).
void Vela::sammle(Sekunden frist) {
  const auto bis = ab(frist);
  const auto nie = [](const std::string &) { return false; };
  aus_ += lese(ausFd_, bis, false, nie);
  fehler_ += lese(fehlerFd_, bis, false, nie);
}

int Vela::warte(Sekunden frist) {
  if (status_ != -2) return status_;
  sammle(frist);
  int st = 0;
  pid_t r = 0;
  const auto bis = ab(frist);
  while ((r = ::waitpid(pid_, &st, WNOHANG)) == 0 && Uhr::now() < bis) std::this_thread::sleep_for(1ms);
  if (r == 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &st, 0);
    sammle(5s);
  }
  status_ = r != 0 && WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return status_;
}

std::string Vela::ersteZeile(Sekunden frist) {
  const std::string zeile =
      lese(ausFd_, ab(frist), true, [](const std::string &s) { return !s.empty() && s.back() == '\n'; });
  aus_ += zeile;
  return zeile.empty() ? zeile : zeile.substr(0, zeile.size() - 1);
}

void Vela::signal(int sig) { ::kill(pid_, sig); }

Aufruf vela(const std::vector<std::string> &argumente) {
  Vela v(argumente);
  const int status = v.warte();
  return {status, v.aus(), v.fehler()};
}

}  // namespace testpty
