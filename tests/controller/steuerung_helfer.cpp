#include "controller/steuerung_helfer.h"

#include <signal.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace testpty {

std::vector<Zeilen> leseAnzeigeLog(const std::string &pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  std::vector<Zeilen> eintraege;
  std::string z;
  while (std::getline(ein, z)) {
    if (z.empty() || z[0] != '@') continue;
    Zeilen e;
    int n = 0;
    while (n < 4 && std::getline(ein, e[n])) ++n;
    if (n == 4) eintraege.push_back(e);
  }
  return eintraege;
}

bool warteAufAnzeige(const std::string &log, const std::function<bool(const Zeilen &)> &bedingung,
                     Sekunden frist) {
  const auto bis =
      std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(frist);
  do {
    for (const Zeilen &e : leseAnzeigeLog(log))
      if (bedingung(e)) return true;
    std::this_thread::sleep_for(20ms);
  } while (std::chrono::steady_clock::now() < bis);
  return false;
}

std::string zeile(const std::string &text) { return text + std::string(20 - text.size(), ' '); }

Steuerung::Steuerung(const std::string &ablage, const std::string &log, int stdinFd,
                     const std::vector<std::string> &mehr) {
  std::vector<std::string> a{"controller", "--pty", "--store", ablage, "--display-log", log};
  if (std::find(mehr.begin(), mehr.end(), "--tick-us") == mehr.end()) a.insert(a.end(), {"--tick-us", "10"});
  a.insert(a.end(), mehr.begin(), mehr.end());
  prozess_ = std::make_unique<Vela>(a, stdinFd);
  pfad_ = prozess_->ersteZeile();
  if (pfad_.rfind("/dev/", 0) != 0) {
    prozess_->warte(5s);
    throw std::runtime_error("the controller did not start: " + prozess_->fehler());
  }
}

int Steuerung::beende(int sig) {
  prozess_->signal(sig);
  return prozess_->warte(30s);
}

}  // namespace testpty
