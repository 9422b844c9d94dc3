// The controller's platform on this machine. The library calls the
// platform through plain function pointers, so the devices live in one
// object of this file.
//
// Everything happens on one thread. Each time the library polls the line,
// waits or idles, `pumpe` looks at the line and stdin (sleeping up to a
// short round when asked to wait), hands typed keys to the keypad state,
// makes the motor steps that are due and records display changes:
//
//   library --lies/liesWarte/lade/leerlauf--> pumpe --> line bytes in
//                                                   --> keys from stdin
//                                                   --> motor steps due
//                                                   --> display log, frame
#include "steuerung.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <memory>

#include "ablage.h"
#include "leitung.h"
#include "tafel.h"
#include "vela.h"
#include "vela_steuerung.h"

namespace velatool {

namespace {

using Nanos = int64_t;

volatile sig_atomic_t gSignal = 0;
void aufSignal(int) { gSignal = 1; }

constexpr uint8_t kKeineTaste = vela::KEINE_TASTE;
constexpr std::size_t kMaxTasten = 16;                    // presses kept until the monitor takes them
constexpr auto kHaltezeit = std::chrono::milliseconds(300);  // a typed key stays down this long
constexpr auto kBildAbstand = std::chrono::milliseconds(50);  // least time between two frames in the terminal
constexpr auto kSchreibFrist = std::chrono::milliseconds(200);  // a full line gets this long before bytes drop
constexpr long kMaxSchritteProRunde = 100000;             // steps of one axis per round; beyond, time is let go
constexpr int kSchalter = 64;

struct Steuerung {
  SteuerungsOptionen opt;
  Uhr::time_point start;

  // host line
  int leitung = -1;
  Pty pty;
  unsigned char ein[4096];
  int einAnfang = 0, einEnde = 0;
  bool verstopft = false;  // nobody reads the line: bytes are dropped until it drains
  bool kaputt = false;
  std::string leitungsFehler;

  // keypad on stdin
  bool tastaturOffen = true;
  bool tastaturRoh = false;
  termios tastaturAlt{};
  bool nachCr = false;  // an LF right after a CR is the same Enter
  std::deque<uint8_t> tasten;
  uint8_t gehalten = kKeineTaste;  // the key held down until gehaltenBis
  Uhr::time_point gehaltenBis;

  // display
  Tafel tafel;
  std::FILE *log = nullptr;
  bool zeichnen = false;
  bool gezeichnet = false;
  bool bildFaellig = true;
  std::array<int32_t, 4> gezeigt{};
  Uhr::time_point letztesBild;

  // motors
  Nanos faellig[5] = {};
  bool laeuft[5] = {};
  std::array<int32_t, 4> position{};

  uint8_t ausgaenge[kSchalter] = {};
  std::unique_ptr<Ablage> ablage;
};

Steuerung *g = nullptr;

Nanos jetztNs() { return std::chrono::duration_cast<std::chrono::nanoseconds>(Uhr::now() - g->start).count(); }

uint32_t ticks() { return static_cast<uint32_t>(jetztNs() / 1000 / g->opt.tickUs); }

// Duration of one step at rate v (v steps per 1000 ticks).
Nanos periode(uint32_t v) { return Nanos{1000} * 1000 * g->opt.tickUs / std::max<uint32_t>(v, 1); }

// ---- motors ------------------------------------------------------------

// One path tick, its steps added to the positions.
void bahnTakt() {
  int32_t schritte[3];
  vela::stepBahnSchritte(schritte);
  for (int i = 0; i < 3; ++i) g->position[i] += schritte[i];
}

void motoren() {
  const Nanos jetzt = jetztNs();
  bool bewegt = false;
  for (uint8_t a = 0; a < 4; ++a) {
    const vela::AntriebsStand s = vela::leseAntriebsStand();
    if (s.AchsLaeuft[a] == 0) {
      g->laeuft[a] = false;
      continue;
    }
    bewegt = true;
    if (s.StopAnforderung[a] == 2) {
      vela::haltAchse(a);
      g->laeuft[a] = false;
      continue;
    }
    if (!g->laeuft[a]) {
      g->laeuft[a] = true;
      g->faellig[a] = jetzt + periode(vela::achsGeschw(a));
    }
    long n = 0;
    while (!vela::isAchseFertig(a) && g->faellig[a] <= jetzt && n++ < kMaxSchritteProRunde) {
      g->position[a] += vela::taktAchse(a);
      g->faellig[a] += periode(vela::achsGeschw(a));
    }
    if (n > kMaxSchritteProRunde) g->faellig[a] = jetzt;
  }
  if (vela::leseAntriebsStand().BahnAktiv == 0) {
    g->laeuft[4] = false;
  } else {
    bewegt = true;
    if (!g->laeuft[4]) {
      g->laeuft[4] = true;
      g->faellig[4] = jetzt + periode(vela::leseAntriebsStand().BahnGeschw);
    }
    long n = 0;
    while (vela::leseAntriebsStand().BahnAktiv != 0 && g->faellig[4] <= jetzt && n++ < kMaxSchritteProRunde) {
      bahnTakt();
      g->faellig[4] += periode(vela::leseAntriebsStand().BahnGeschw);
    }
    if (n > kMaxSchritteProRunde) g->faellig[4] = jetzt;
  }
  // At rest the axes stand where they were commanded (a preset moves the
  // commanded position without steps).
  if (!bewegt) {
    const vela::AntriebsStand s = vela::leseAntriebsStand();
    if (s.BahnAktiv == 0 && s.AchsLaeuft[0] == 0 && s.AchsLaeuft[1] == 0 && s.AchsLaeuft[2] == 0 &&
        s.AchsLaeuft[3] == 0)
      for (int i = 0; i < 4; ++i) g->position[i] = s.SollSchritte[i];
  }
}

// ---- display -------------------------------------------------------------

void zeichne() {
  std::string bild;
  if (g->gezeichnet) bild = "\x1b[6A";
  const std::string r = g->tafel.rahmen(g->position);
  for (std::size_t a = 0, e; a < r.size(); a = e + 1) {
    e = r.find('\n', a);
    bild += "\r" + r.substr(a, e - a) + "\x1b[K\n";
  }
  std::fwrite(bild.data(), 1, bild.size(), stdout);
  std::fflush(stdout);
  g->gezeichnet = true;
  g->letztesBild = Uhr::now();
}

// A change of the display since the last look: one log entry. The frame
// follows changes of the display and of the positions, at most every
// kBildAbstand (and once more at the end).
void zeigeAnzeige(bool amEnde) {
  if (g->tafel.geaendert()) {
    g->tafel.gesehen();
    g->bildFaellig = true;
    if (g->log != nullptr) {
      const std::string e = g->tafel.logEintrag(ticks());
      std::fwrite(e.data(), 1, e.size(), g->log);
      std::fflush(g->log);
    }
  }
  if (!g->zeichnen) return;
  if (g->position != g->gezeigt) g->bildFaellig = true;
  if (g->bildFaellig && (amEnde || Uhr::now() - g->letztesBild >= kBildAbstand)) {
    zeichne();
    g->gezeigt = g->position;
    g->bildFaellig = false;
  }
}

// ---- keypad --------------------------------------------------------------

void tasteGetippt(char c) {
  const bool lfNachCr = c == '\n' && g->nachCr;
  g->nachCr = c == '\r';
  if (lfNachCr) return;
  const uint8_t code = tastenCode(c);
  if (code == kKeineTaste) return;
  g->gehalten = code;
  g->gehaltenBis = Uhr::now() + kHaltezeit;
  if (g->tasten.size() == kMaxTasten) g->tasten.pop_front();
  g->tasten.push_back(code);
}

void tastaturAn() {
  termios t{};
  if (::tcgetattr(STDIN_FILENO, &t) != 0) return;
  g->tastaturAlt = t;
  t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  g->tastaturRoh = ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
}

void tastaturAus() {
  if (g->tastaturRoh) ::tcsetattr(STDIN_FILENO, TCSANOW, &g->tastaturAlt);
  g->tastaturRoh = false;
}

// ---- the round -----------------------------------------------------------

void leitungLesen() {
  if (g->einAnfang == g->einEnde) g->einAnfang = g->einEnde = 0;
  if (g->einEnde == static_cast<int>(sizeof g->ein)) return;  // full: the kernel keeps the rest
  const ssize_t n = ::read(g->leitung, g->ein + g->einEnde, sizeof g->ein - static_cast<std::size_t>(g->einEnde));
  if (n > 0) {
    g->einEnde += static_cast<int>(n);
  } else if (n == 0) {  // a terminal reads nothing only once it has hung up
    g->kaputt = true;
    g->leitungsFehler = "the line has hung up";
  } else if (errno != EAGAIN && errno != EINTR) {
    g->kaputt = true;
    g->leitungsFehler = std::string("the line has failed: ") + std::strerror(errno);
  }
}

// Looks at the line and stdin, waiting up to `warteUs` for either, then
// passes keys on, runs the motors and shows display changes.
void pumpe(long warteUs) {
  // A full buffer leaves the bytes in the line until the monitor reads.
  const bool platz = g->einAnfang == g->einEnde || g->einEnde < static_cast<int>(sizeof g->ein);
  pollfd p[2] = {{g->kaputt || !platz ? -1 : g->leitung, POLLIN, 0},
                 {g->tastaturOffen ? STDIN_FILENO : -1, POLLIN, 0}};
  const timespec dauer{warteUs / 1000000, (warteUs % 1000000) * 1000};
  if (::ppoll(p, 2, &dauer, nullptr) > 0) {
    if (p[0].revents != 0) leitungLesen();
    if (p[1].revents != 0) {
      char puffer[64];
      const ssize_t n = ::read(STDIN_FILENO, puffer, sizeof puffer);
      if (n > 0) {
        for (ssize_t i = 0; i < n; ++i) tasteGetippt(puffer[i]);
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        g->tastaturOffen = false;  // stdin has ended: no more keys
      }
    }
  }
  if (!g->tasten.empty() && vela::meldeTaste(g->tasten.front())) g->tasten.pop_front();
  motoren();
  zeigeAnzeige(false);
}

// One idle round: as long as a tick, between 0.2 and 1 ms.
long rundeUs() { return std::clamp(g->opt.tickUs, 200, 1000); }

bool beenden() { return gSignal != 0 || g->kaputt; }

// ---- devices -------------------------------------------------------------

void hostSchreibe(void *, char c) {
  if (g->kaputt) return;
  const auto frist = Uhr::now() + kSchreibFrist;
  for (;;) {
    const ssize_t n = ::write(g->leitung, &c, 1);
    if (n == 1) {
      g->verstopft = false;
      return;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      g->kaputt = true;
      g->leitungsFehler = std::string("the line has failed: ") + std::strerror(errno);
      return;
    }
    if (g->verstopft || Uhr::now() >= frist || gSignal != 0) {
      g->verstopft = true;  // like a serial line nobody listens to
      return;
    }
    pollfd p{g->leitung, POLLOUT, 0};
    ::poll(&p, 1, 10);
  }
}

int16_t naechstesByte() {
  if (g->einAnfang == g->einEnde) return vela::KEIN_ZEICHEN;
  return g->ein[g->einAnfang++];
}

int16_t hostLies(void *) {
  if (g->einAnfang == g->einEnde) pumpe(0);
  return naechstesByte();
}

int16_t hostLiesWarte(void *, uint32_t n) {
  const Nanos bis = jetztNs() + Nanos{n} * 1000 * g->opt.tickUs;
  for (;;) {
    const int16_t z = naechstesByte();
    if (z >= 0) return z;
    const Nanos rest = bis - jetztNs();
    if (rest <= 0 || beenden()) return vela::KEIN_ZEICHEN;
    pumpe(std::min<long>(rundeUs(), static_cast<long>((rest + 999) / 1000)));
  }
}

bool ladeOeffne(void *) { return true; }

// The download reads the line; while nothing has arrived it idles (and
// counts the silence) in the library's rounds.
int16_t ladeLies(void *) {
  if (beenden()) return vela::KANAL_ENDE;
  return hostLies(nullptr);
}

void ladeSchliesse(void *) {}

void anzeigeSchreibe(void *, char c) { g->tafel.schreibe(c); }
void anzeigeBefehl(void *, uint8_t code) { g->tafel.befehl(code); }
void anzeigeGehe(void *, int16_t spalte, int16_t zeile) { g->tafel.gehe(spalte, zeile); }

uint32_t leseTicks() {
  const uint32_t t = ticks();
  vela::Ticks = t;
  return t;
}

// A typed key is held down for kHaltezeit after it was last typed (a key
// held on a terminal repeats, so it stays down). The library's loops that
// read the keys alone see typed keys and motor steps through the round;
// once the controller is to end, the keypad reports that no key will come.
uint8_t leseTaste() {
  if (beenden()) return vela::KEINE_TASTE_MEHR;
  pumpe(0);
  return Uhr::now() < g->gehaltenBis ? g->gehalten : kKeineTaste;
}

int16_t leseSchalter(uint8_t, uint8_t *zustand) {
  *zustand = 1;
  return 0;
}

int16_t setzeSchalter(uint8_t n, uint8_t wert) {
  if (n < kSchalter) g->ausgaenge[n] = wert;
  return 0;
}

// Before the reply that reports a save, delete or erase: each store image
// that changed replaces its file.
void speicherFertig(char) {
  for (char s : {vela::SPEICHER_FLASH, vela::SPEICHER_EEPROM}) {
    uint8_t roh[vela::SPEICHER_GROESSE];
    vela::leseSpeicherBild(s, roh);
    Bild b;
    std::copy(std::begin(roh), std::end(roh), b.begin());
    try {
      g->ablage->schreibe(s, b);
    } catch (const AblageFehler &e) {
      std::cerr << "vela: " << e.what() << " (the controller's store has changed, its file has not)\n";
    }
  }
}

void leerlauf() { pumpe(rundeUs()); }

vela::Plattform plattform() {
  vela::Plattform p{};
  p.host = {hostSchreibe, hostLies, hostLiesWarte, nullptr};
  p.display = {anzeigeSchreibe, nullptr, nullptr, nullptr};
  p.displayBefehl = anzeigeBefehl;
  p.displayGehe = anzeigeGehe;
  p.leseTicks = leseTicks;
  p.leseTaste = leseTaste;
  p.leseSchalter = leseSchalter;
  p.setzeSchalter = setzeSchalter;
  p.speicherFertig = speicherFertig;
  // The silence limit in ticks, at least one.
  const double frist = g->opt.downloadTimeout * 1e6 / g->opt.tickUs;
  const uint32_t stille =
      g->opt.downloadTimeout <= 0 ? 0 : static_cast<uint32_t>(std::clamp(frist, 1.0, 4e9));
  p.lade = {ladeOeffne, ladeLies, ladeSchliesse, nullptr, stille};
  p.leerlauf = leerlauf;
  p.beenden = beenden;
  return p;
}

bool imVordergrund(int fd) { return ::isatty(fd) != 0 && ::tcgetpgrp(fd) == ::getpgrp(); }

void fangeSignale() {
  struct sigaction s {};
  s.sa_handler = aufSignal;
  sigemptyset(&s.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &s, nullptr);
  // Sent to the background on a terminal, reads of the keys fail instead
  // of stopping the controller.
  for (int sig : {SIGPIPE, SIGTTIN, SIGTTOU}) ::signal(sig, SIG_IGN);
}

}  // namespace

int laufeSteuerung(const SteuerungsOptionen &o) {
  auto steuerung = std::make_unique<Steuerung>();
  g = steuerung.get();
  g->opt = o;
  g->start = Uhr::now();
  try {
    g->ablage = std::make_unique<Ablage>(o.ablage.empty() ? standardAblage() : o.ablage, std::cerr);
    if (o.pty) {
      g->pty = oeffnePty();
      g->leitung = g->pty.master;
    } else {
      g->leitung = oeffneLeitung(o.leitung, o.baud);
    }
    if (!o.displayLog.empty()) {
      g->log = std::fopen(o.displayLog.c_str(), "a");
      if (g->log == nullptr)
        throw AblageFehler("cannot open the display log " + o.displayLog + ": " + std::strerror(errno));
    }
  } catch (const std::exception &e) {
    std::cerr << "vela: " << e.what() << '\n';
    return 2;
  }

  for (char s : {vela::SPEICHER_FLASH, vela::SPEICHER_EEPROM}) {
    uint8_t roh[vela::SPEICHER_GROESSE];
    std::copy(g->ablage->bild(s).begin(), g->ablage->bild(s).end(), roh);
    vela::setzeSpeicherBild(s, roh);
  }
  gSignal = 0;
  fangeSignale();
  // A controller started in the background of a shell leaves the terminal
  // to the shell: no frame, no keys.
  g->zeichnen = imVordergrund(STDOUT_FILENO);
  if (imVordergrund(STDIN_FILENO)) tastaturAn();
  else if (::isatty(STDIN_FILENO)) g->tastaturOffen = false;
  if (o.pty) std::cout << g->pty.pfad << std::endl;

  vela_setTestDatei("");  // a controller writes no circle test data
  vela::bindePlattform(plattform());
  vela::monitorMain();

  tastaturAus();
  zeigeAnzeige(true);
  if (g->log != nullptr) std::fclose(g->log);
  const int status = g->kaputt ? 2 : 0;
  if (g->kaputt) std::cerr << "vela: " << g->leitungsFehler << '\n';
  if (o.pty) {
    ::close(g->pty.slave);
    ::close(g->pty.master);
  } else {
    ::close(g->leitung);
  }
  vela::bindePlattform(vela::konsolPlattform());
  g = nullptr;
  return status;
}

}  // namespace velatool
