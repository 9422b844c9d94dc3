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
#include <iostream>
#include <memory>

#include "ablage.h"
#include "leitung.h"
#include "maschine.h"
#include "tafel.h"
#include "vela.h"
#include "vela_steuerung.h"
#include "web.h"

namespace velatool {

namespace {

using Nanos = int64_t;

volatile sig_atomic_t gSignal = 0;
void aufSignal(int) { gSignal = 1; }

constexpr uint8_t kKeineTaste = vela::KEINE_TASTE;
constexpr Nanos kHaltezeit = 300 * kMilli;                    // a typed key stays down this long
constexpr auto kBildAbstand = std::chrono::milliseconds(50);  // least time between two frames in the terminal
constexpr auto kSchreibFrist =
    std::chrono::milliseconds(200);          // a full line gets this long before bytes drop
constexpr int kSchalter = 256;               // switch inputs and outputs 0..255
constexpr Nanos kPanelAbstand = 2 * kMilli;  // least time between two snapshots of the panel

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

  // display
  Tafel tafel;
  std::FILE *log = nullptr;
  bool zeichnen = false;
  bool gezeichnet = false;
  bool bildFaellig = true;
  std::array<int32_t, 4> gezeigt{};
  Uhr::time_point letztesBild;

  // motors
  std::unique_ptr<vela::MotorTakt> takt;
  std::array<int32_t, 4> position{};

  std::unique_ptr<Maschine> maschine;
  // what the panel shows of the switches: inputs the program read or the
  // panel set, outputs the program switched
  std::array<bool, kSchalter> eingangBekannt{};
  std::array<bool, kSchalter> ausgangGeschaltet{};
  bool kreisSeitBild = false;  // the path stepped an arc since the panel's last snapshot
  std::unique_ptr<Ablage> ablage;

  // front panel (--web)
  std::unique_ptr<Frontplatte> panel;
  Nanos panelFaellig = 0;
};

Steuerung *g = nullptr;

Nanos jetztNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Uhr::now() - g->start).count();
}

uint32_t ticks() { return static_cast<uint32_t>(jetztNs() / 1000 / g->opt.tickUs); }

// ---- motors ------------------------------------------------------------

// The library's scheduler makes the steps due.
void motoren() {
  g->takt->fahre(jetztNs());
  g->maschine->schalter(g->takt->position);
  std::copy(g->takt->position, g->takt->position + 4, g->position.begin());
}

// ---- display -------------------------------------------------------------

void zeichne() {
  std::string bild;
  if (g->gezeichnet) bild = "\x1b[7A";
  const std::string an = g->maschine->ausgaengeAn();
  const std::string r = g->tafel.rahmen(g->position) + "outputs on: " + (an.empty() ? "none" : an) + "\n";
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
  if (code != kKeineTaste) g->maschine->drueckeTaste(code, jetztNs(), kHaltezeit);
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

// ---- front panel (--web) ------------------------------------------------

// Carries out the panel's requests and publishes a snapshot.
void panelRunde() {
  const Nanos jetzt = jetztNs();
  for (const PanelAnfrage &a : g->panel->nimmAnfragen()) {
    if (a.art == PanelAnfrage::Taste) {
      g->maschine->drueckeTaste(static_cast<uint8_t>(a.n), jetzt, kHaltezeit);
    } else if (a.art == PanelAnfrage::Eingang) {
      g->maschine->setzeEingang(a.n, a.wert, jetzt);
      g->eingangBekannt[a.n] = true;
    } else {
      for (int16_t achse = 0; achse <= 4; ++achse) vela::stopAchse(achse);
    }
  }
  PanelStand s;
  for (int r = 0; r < kTafelZeilen; ++r) s.anzeige[r] = g->tafel.zeile(r);
  s.schritte = g->position;
  for (int n = 0; n < kSchalter; ++n) {
    s.eingaenge[n] = g->eingangBekannt[n] ? g->maschine->eingang(n, jetzt) : -1;
    s.ausgaenge[n] = g->ausgangGeschaltet[n] ? static_cast<int8_t>(g->maschine->ausgang(n)) : -1;
  }
  s.kreis = g->kreisSeitBild;
  g->kreisSeitBild = false;
  s.ticks = ticks();
  g->panel->veroeffentliche(s);
}

// ---- the round -----------------------------------------------------------

void leitungLesen() {
  if (g->einAnfang == g->einEnde) g->einAnfang = g->einEnde = 0;
  if (g->einEnde == static_cast<int>(sizeof g->ein)) return;  // full: the kernel keeps the rest
  const ssize_t n =
      ::read(g->leitung, g->ein + g->einEnde, sizeof g->ein - static_cast<std::size_t>(g->einEnde));
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
  g->maschine->meldeTasten(jetztNs());
  motoren();
  zeigeAnzeige(false);
  if (g->panel && jetztNs() >= g->panelFaellig) {
    g->panelFaellig = jetztNs() + kPanelAbstand;
    panelRunde();
  }
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

bool ladeOeffne(void *) {
  if (g->panel) g->panel->downloadBeginnt();
  return true;
}

// The download reads the line; while nothing has arrived it idles (and
// counts the silence) in the library's rounds.
int16_t ladeLies(void *) {
  if (beenden()) return vela::KANAL_ENDE;
  return hostLies(nullptr);
}

void ladeSchliesse(void *) {
  if (g->panel) g->panel->downloadEndet();
}

void anzeigeSchreibe(void *, char c) { vela::DisplayInhalt.schreibe(c); }
void anzeigeBefehl(void *, uint8_t code) { vela::DisplayInhalt.befehl(code); }
void anzeigeGehe(void *, int16_t spalte, int16_t zeile) { vela::DisplayInhalt.gehe(spalte, zeile); }

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
  return g->maschine->taste(jetztNs());
}

int16_t leseSchalter(uint8_t n, uint8_t *zustand) {
  g->eingangBekannt[n] = true;
  *zustand = g->maschine->eingang(n, jetztNs()) ? 0 : 1;
  return 0;
}

int16_t setzeSchalter(uint8_t n, uint8_t wert) {
  g->ausgangGeschaltet[n] = true;
  g->maschine->setzeAusgang(n, wert);
  g->maschine->nimmAusgangsNotizen();
  g->bildFaellig = true;
  return 0;
}

// The default executor, with the reference switches of a reference run.
// A preset (CE, CP) and the end of a reference run move the commanded
// position without steps: the axes then stand where they were commanded.
// Only then: at any other moment the commanded position may already hold
// the target of a move about to start.
int16_t ausfuehrer(vela::SchrittPhase phase, int16_t ergebnis) {
  if (phase == vela::VOR_SCHRITT) return vela::standardAusfuehrer(phase, ergebnis);
  const int befehl = Befehl;
  const int16_t e = g->maschine->nachSchritt(g->takt->position, ergebnis);
  if (ergebnis == 0 &&
      (vela_befehl_hat(befehl, BEF_EIG_REFERENZ) || (befehl >= BEF_CE_ALLE && befehl <= BEF_CP_ALLE)))
    g->takt->uebernimmSoll();
  return e;
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
  g->maschine = std::make_unique<Maschine>(o.eingaben);
  g->maschine->setzeTasten(o.tasten, false);
  // The reference switches follow every step.
  const auto schritt = [](void *, const vela::MotorSchritt &m) {
    g->maschine->schalter(g->takt->position);
    if (m.quelle == 4 && m.kreis != 0) g->kreisSeitBild = true;
  };
  g->takt = std::make_unique<vela::MotorTakt>(int64_t{1000} * o.tickUs,
                                              vela::MotorTakt::Melder{schritt, nullptr, nullptr});
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
    if (!o.web.empty()) g->panel = std::make_unique<Frontplatte>(o.web, o.webToken);
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
  if (imVordergrund(STDIN_FILENO))
    tastaturAn();
  else if (::isatty(STDIN_FILENO))
    g->tastaturOffen = false;
  if (o.pty) std::cout << g->pty.pfad << std::endl;
  if (g->panel) std::cout << g->panel->url() << std::endl;

  vela_setTestDatei("");  // a controller writes no circle test data
  vela::DisplayInhalt = vela::Anzeige{};
  g->tafel.gesehen();
  vela::bindePlattform(plattform());
  vela::setAusfuehrer(g->panel ? g->panel->beobachteSchritte(ausfuehrer) : ausfuehrer);
  vela::monitorMain();
  vela::setAusfuehrer(nullptr);

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
  g->panel.reset();
  vela::bindePlattform(vela::konsolPlattform());
  g = nullptr;
  return status;
}

}  // namespace velatool
