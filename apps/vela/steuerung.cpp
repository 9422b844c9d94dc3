// The controller's platform on this machine: the devices live in one
// object (Steuerung), which the library hands back to its hooks as the
// binding's context. Only the signal flag is global: a signal handler
// sets it.
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

volatile sig_atomic_t gSignal = 0;
void aufSignal(int) { gSignal = 1; }

constexpr uint8_t kKeineTaste = vela::KEINE_TASTE;
constexpr Nanos kHaltezeit = 300 * kMilli;                    // a typed key stays down this long
constexpr auto kBildAbstand = std::chrono::milliseconds(50);  // least time between two frames in the terminal
constexpr auto kSchreibFrist =
    std::chrono::milliseconds(200);          // a full line gets this long before bytes drop
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
  std::array<bool, kEingaenge> eingangBekannt{};
  std::array<bool, kEingaenge> ausgangGeschaltet{};
  bool kreisSeitBild = false;  // the path stepped an arc since the panel's last snapshot
  std::unique_ptr<Ablage> ablage;

  // front panel (--web)
  std::unique_ptr<Frontplatte> panel;
  Nanos panelFaellig = 0;

  // The controller's run, until a signal ends it; the exit status.
  int laufe(const SteuerungsOptionen &o);

 private:
  static Steuerung &von(void *k) { return *static_cast<Steuerung *>(k); }
  Nanos jetztNs();
  uint32_t ticks();
  void motoren();
  void zeichne();
  void zeigeAnzeige(bool amEnde);
  void tasteGetippt(char c);
  void tastaturAn();
  void tastaturAus();
  void panelRunde();
  void leitungLesen();
  void pumpe(long warteUs);
  long rundeUs();
  vela::Plattform plattform();
  // the devices
  bool beenden();
  void hostSchreibe(char c);
  int16_t naechstesByte();
  int16_t hostLies();
  int16_t hostLiesWarte(uint32_t n);
  bool ladeOeffne();
  int16_t ladeLies();
  void ladeSchliesse();
  uint32_t leseTicks();
  uint8_t leseTaste();
  int16_t leseSchalter(uint8_t n, uint8_t *zustand);
  int16_t setzeSchalter(uint8_t n, uint8_t wert);
  int16_t ausfuehrer(vela::SchrittPhase phase, int16_t ergebnis);
  void speicherFertig();
  void leerlauf();
};

Nanos Steuerung::jetztNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Uhr::now() - start).count();
}

uint32_t Steuerung::ticks() { return static_cast<uint32_t>(jetztNs() / 1000 / opt.tickUs); }

// ---- motors ------------------------------------------------------------

// The library's scheduler makes the steps due.
void Steuerung::motoren() {
  takt->fahre(jetztNs());
  maschine->schalter(takt->position);
  std::copy(takt->position, takt->position + 4, position.begin());
}

// ---- display -------------------------------------------------------------

void Steuerung::zeichne() {
  std::string bild;
  if (gezeichnet) bild = "\x1b[7A";
  const std::string an = maschine->ausgaengeAn();
  const std::string r = tafel.rahmen(position) + "outputs on: " + (an.empty() ? "none" : an) + "\n";
  for (std::size_t a = 0, e; a < r.size(); a = e + 1) {
    e = r.find('\n', a);
    bild += "\r" + r.substr(a, e - a) + "\x1b[K\n";
  }
  std::fwrite(bild.data(), 1, bild.size(), stdout);
  std::fflush(stdout);
  gezeichnet = true;
  letztesBild = Uhr::now();
}

// A change of the display since the last look: one log entry. The frame
// follows changes of the display and of the positions, at most every
// kBildAbstand (and once more at the end).
void Steuerung::zeigeAnzeige(bool amEnde) {
  if (tafel.geaendert()) {
    tafel.gesehen();
    bildFaellig = true;
    if (log != nullptr) {
      const std::string e = tafel.logEintrag(ticks());
      std::fwrite(e.data(), 1, e.size(), log);
      std::fflush(log);
    }
  }
  if (!zeichnen) return;
  if (position != gezeigt) bildFaellig = true;
  if (bildFaellig && (amEnde || Uhr::now() - letztesBild >= kBildAbstand)) {
    zeichne();
    gezeigt = position;
    bildFaellig = false;
  }
}

// ---- keypad --------------------------------------------------------------

void Steuerung::tasteGetippt(char c) {
  const bool lfNachCr = c == '\n' && nachCr;
  nachCr = c == '\r';
  if (lfNachCr) return;
  const uint8_t code = tastenCode(c);
  if (code != kKeineTaste) maschine->drueckeTaste(code, jetztNs(), kHaltezeit);
}

void Steuerung::tastaturAn() {
  termios t{};
  if (::tcgetattr(STDIN_FILENO, &t) != 0) return;
  tastaturAlt = t;
  t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  tastaturRoh = ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
}

void Steuerung::tastaturAus() {
  if (tastaturRoh) ::tcsetattr(STDIN_FILENO, TCSANOW, &tastaturAlt);
  tastaturRoh = false;
}

// ---- front panel (--web) ------------------------------------------------

// Carries out the panel's requests and publishes a snapshot.
void Steuerung::panelRunde() {
  const Nanos jetzt = jetztNs();
  for (const PanelAnfrage &a : panel->nimmAnfragen()) {
    if (a.art == PanelAnfrage::Taste) {
      maschine->drueckeTaste(static_cast<uint8_t>(a.n), jetzt, kHaltezeit);
    } else if (a.art == PanelAnfrage::Eingang) {
      maschine->setzeEingang(a.n, a.wert, jetzt);
      eingangBekannt[a.n] = true;
    } else {
      for (int16_t achse = 0; achse <= 4; ++achse) vela::stopAchse(achse);
    }
  }
  PanelStand s;
  for (int r = 0; r < kTafelZeilen; ++r) s.anzeige[r] = tafel.zeile(r);
  s.schritte = position;
  for (int n = 0; n < kEingaenge; ++n) {
    s.eingaenge[n] = eingangBekannt[n] ? maschine->eingang(n, jetzt) : -1;
    s.ausgaenge[n] = ausgangGeschaltet[n] ? static_cast<int8_t>(maschine->ausgang(n)) : -1;
  }
  s.kreis = kreisSeitBild;
  kreisSeitBild = false;
  s.ticks = ticks();
  panel->veroeffentliche(s);
}

// ---- the round -----------------------------------------------------------

void Steuerung::leitungLesen() {
  if (einAnfang == einEnde) einAnfang = einEnde = 0;
  if (einEnde == static_cast<int>(sizeof ein)) return;  // full: the kernel keeps the rest
  const ssize_t n = ::read(leitung, ein + einEnde, sizeof ein - static_cast<std::size_t>(einEnde));
  if (n > 0) {
    einEnde += static_cast<int>(n);
  } else if (n == 0) {  // a terminal reads nothing only once it has hung up
    kaputt = true;
    leitungsFehler = "the line has hung up";
  } else if (errno != EAGAIN && errno != EINTR) {
    kaputt = true;
    leitungsFehler = std::string("the line has failed: ") + std::strerror(errno);
  }
}

// Looks at the line and stdin, waiting up to `warteUs` for either, then
// passes keys on, runs the motors and shows display changes.
void Steuerung::pumpe(long warteUs) {
  // A full buffer leaves the bytes in the line until the monitor reads.
  const bool platz = einAnfang == einEnde || einEnde < static_cast<int>(sizeof ein);
  pollfd p[2] = {{kaputt || !platz ? -1 : leitung, POLLIN, 0},
                 {tastaturOffen ? STDIN_FILENO : -1, POLLIN, 0}};
  const timespec dauer{warteUs / 1000000, (warteUs % 1000000) * 1000};
  if (::ppoll(p, 2, &dauer, nullptr) > 0) {
    if (p[0].revents != 0) leitungLesen();
    if (p[1].revents != 0) {
      char puffer[64];
      const ssize_t n = ::read(STDIN_FILENO, puffer, sizeof puffer);
      if (n > 0) {
        for (ssize_t i = 0; i < n; ++i) tasteGetippt(puffer[i]);
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        tastaturOffen = false;  // stdin has ended: no more keys
      }
    }
  }
  maschine->meldeTasten(jetztNs());
  motoren();
  zeigeAnzeige(false);
  if (panel && jetztNs() >= panelFaellig) {
    panelFaellig = jetztNs() + kPanelAbstand;
    panelRunde();
  }
}

// One idle round: as long as a tick, between 0.2 and 1 ms.
long Steuerung::rundeUs() { return std::clamp(opt.tickUs, 200, 1000); }

bool Steuerung::beenden() { return gSignal != 0 || kaputt; }

// ---- devices -------------------------------------------------------------

void Steuerung::hostSchreibe(char c) {
  if (kaputt) return;
  const auto frist = Uhr::now() + kSchreibFrist;
  for (;;) {
    const ssize_t n = ::write(leitung, &c, 1);
    if (n == 1) {
      verstopft = false;
      return;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      kaputt = true;
      leitungsFehler = std::string("the line has failed: ") + std::strerror(errno);
      return;
    }
    if (verstopft || Uhr::now() >= frist || gSignal != 0) {
      verstopft = true;  // like a serial line nobody listens to
      return;
    }
    pollfd p{leitung, POLLOUT, 0};
    ::poll(&p, 1, 10);
  }
}

int16_t Steuerung::naechstesByte() {
  if (einAnfang == einEnde) return vela::KEIN_ZEICHEN;
  return ein[einAnfang++];
}

int16_t Steuerung::hostLies() {
  if (einAnfang == einEnde) pumpe(0);
  return naechstesByte();
}

int16_t Steuerung::hostLiesWarte(uint32_t n) {
  const Nanos bis = jetztNs() + Nanos{n} * 1000 * opt.tickUs;
  for (;;) {
    const int16_t z = naechstesByte();
    if (z >= 0) return z;
    const Nanos rest = bis - jetztNs();
    if (rest <= 0 || beenden()) return vela::KEIN_ZEICHEN;
    pumpe(std::min<long>(rundeUs(), static_cast<long>((rest + 999) / 1000)));
  }
}

bool Steuerung::ladeOeffne() {
  if (panel) panel->downloadBeginnt();
  return true;
}

// The download reads the line; while nothing has arrived it idles (and
// counts the silence) in the library's rounds.
int16_t Steuerung::ladeLies() {
  if (beenden()) return vela::KANAL_ENDE;
  return hostLies();
}

void Steuerung::ladeSchliesse() {
  if (panel) panel->downloadEndet();
}

void anzeigeSchreibe(void *, char c) { vela::DisplayInhalt.schreibe(c); }
void anzeigeBefehl(void *, uint8_t code) { vela::DisplayInhalt.befehl(code); }
void anzeigeGehe(void *, int16_t spalte, int16_t zeile) { vela::DisplayInhalt.gehe(spalte, zeile); }

uint32_t Steuerung::leseTicks() {
  const uint32_t t = ticks();
  vela::Ticks = t;
  return t;
}

// A typed key is held down for kHaltezeit after it was last typed (a key
// held on a terminal repeats, so it stays down). The library's loops that
// read the keys alone see typed keys and motor steps through the round;
// once the controller is to end, the keypad reports that no key will come.
uint8_t Steuerung::leseTaste() {
  if (beenden()) return vela::KEINE_TASTE_MEHR;
  pumpe(0);
  return maschine->taste(jetztNs());
}

int16_t Steuerung::leseSchalter(uint8_t n, uint8_t *zustand) {
  eingangBekannt[n] = true;
  *zustand = maschine->eingang(n, jetztNs()) ? 0 : 1;
  return 0;
}

int16_t Steuerung::setzeSchalter(uint8_t n, uint8_t wert) {
  ausgangGeschaltet[n] = true;
  maschine->setzeAusgang(n, wert);
  maschine->nimmAusgangsNotizen();
  bildFaellig = true;
  return 0;
}

// The default executor, with the reference switches of a reference run;
// the axes take the commanded position where the step moved it without
// steps (uebernimmtSoll).
int16_t Steuerung::ausfuehrer(vela::SchrittPhase phase, int16_t ergebnis) {
  if (phase == vela::VOR_SCHRITT) return vela::standardAusfuehrer(phase, ergebnis);
  const int befehl = Befehl;
  const int16_t e = maschine->nachSchritt(takt->position, ergebnis);
  if (uebernimmtSoll(befehl, ergebnis)) takt->uebernimmSoll();
  return e;
}

// Before the reply that reports a save, delete or erase: each store image
// that changed replaces its file.
void Steuerung::speicherFertig() {
  for (char s : {vela::SPEICHER_FLASH, vela::SPEICHER_EEPROM}) {
    uint8_t roh[vela::SPEICHER_GROESSE];
    vela::leseSpeicherBild(s, roh);
    Bild b;
    std::copy(std::begin(roh), std::end(roh), b.begin());
    try {
      ablage->schreibe(s, b);
    } catch (const AblageFehler &e) {
      std::cerr << "vela: " << e.what() << " (the controller's store has changed, its file has not)\n";
    }
  }
}

void Steuerung::leerlauf() { pumpe(rundeUs()); }

// The devices reach this object through the binding's context and the
// objects of the host line and the download stream.
vela::Plattform Steuerung::plattform() {
  vela::Plattform p{};
  p.host = {[](void *k, char c) { von(k).hostSchreibe(c); }, [](void *k) { return von(k).hostLies(); },
            [](void *k, uint32_t n) { return von(k).hostLiesWarte(n); }, this};
  p.display = {anzeigeSchreibe, nullptr, nullptr, nullptr};
  p.displayBefehl = anzeigeBefehl;
  p.displayGehe = anzeigeGehe;
  p.leseTicks = [](void *k) { return von(k).leseTicks(); };
  p.leseTaste = [](void *k) { return von(k).leseTaste(); };
  p.leseSchalter = [](void *k, uint8_t n, uint8_t *zustand) { return von(k).leseSchalter(n, zustand); };
  p.setzeSchalter = [](void *k, uint8_t n, uint8_t wert) { return von(k).setzeSchalter(n, wert); };
  p.speicherFertig = [](void *k, char) { von(k).speicherFertig(); };
  // The silence limit in ticks, at least one.
  const double frist = opt.downloadTimeout * 1e6 / opt.tickUs;
  const uint32_t stille = opt.downloadTimeout <= 0 ? 0 : static_cast<uint32_t>(std::clamp(frist, 1.0, 4e9));
  p.lade = {[](void *k) { return von(k).ladeOeffne(); }, [](void *k) { return von(k).ladeLies(); },
            [](void *k) { von(k).ladeSchliesse(); }, this, stille};
  p.leerlauf = [](void *k) { von(k).leerlauf(); };
  p.beenden = [](void *k) { return von(k).beenden(); };
  p.kontext = this;
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

int Steuerung::laufe(const SteuerungsOptionen &o) {
  opt = o;
  start = Uhr::now();
  maschine = std::make_unique<Maschine>(o.eingaben);
  maschine->setzeTasten(o.tasten, false);
  // The reference switches follow every step.
  const auto schritt = [](void *k, const vela::MotorSchritt &m) {
    von(k).maschine->schalter(von(k).takt->position);
    if (m.quelle == 4 && m.kreis != 0) von(k).kreisSeitBild = true;
  };
  takt = std::make_unique<vela::MotorTakt>(int64_t{1000} * o.tickUs,
                                           vela::MotorTakt::Melder{schritt, nullptr, this});
  try {
    ablage = std::make_unique<Ablage>(o.ablage.empty() ? standardAblage() : o.ablage, std::cerr);
    if (o.pty) {
      pty = oeffnePty();
      leitung = pty.master;
    } else {
      leitung = oeffneLeitung(o.leitung, o.baud);
    }
    if (!o.displayLog.empty()) {
      log = std::fopen(o.displayLog.c_str(), "a");
      if (log == nullptr)
        throw AblageFehler("cannot open the display log " + o.displayLog + ": " + std::strerror(errno));
    }
    if (!o.web.empty()) panel = std::make_unique<Frontplatte>(o.web, o.webToken);
  } catch (const std::exception &e) {
    std::cerr << "vela: " << e.what() << '\n';
    return 2;
  }

  for (char s : {vela::SPEICHER_FLASH, vela::SPEICHER_EEPROM}) {
    uint8_t roh[vela::SPEICHER_GROESSE];
    std::copy(ablage->bild(s).begin(), ablage->bild(s).end(), roh);
    vela::setzeSpeicherBild(s, roh);
  }
  gSignal = 0;
  fangeSignale();
  // A controller started in the background of a shell leaves the terminal
  // to the shell: no frame, no keys.
  zeichnen = imVordergrund(STDOUT_FILENO);
  if (imVordergrund(STDIN_FILENO))
    tastaturAn();
  else if (::isatty(STDIN_FILENO))
    tastaturOffen = false;
  if (o.pty) std::cout << pty.pfad << std::endl;
  if (panel) std::cout << panel->url() << std::endl;

  vela_setTestDatei("");  // a controller writes no circle test data
  vela::DisplayInhalt = vela::Anzeige{};
  tafel.gesehen();
  vela::bindePlattform(plattform());
  const vela::Ausfuehrer schritte = [](void *k, vela::SchrittPhase phase, int16_t ergebnis) {
    return von(k).ausfuehrer(phase, ergebnis);
  };
  if (panel)
    panel->beobachteSchritte(schritte, this);
  else
    vela::setAusfuehrer(schritte, this);
  vela::monitorMain();
  vela::setAusfuehrer(nullptr);

  tastaturAus();
  zeigeAnzeige(true);
  if (log != nullptr) std::fclose(log);
  const int status = kaputt ? 2 : 0;
  if (kaputt) std::cerr << "vela: " << leitungsFehler << '\n';
  if (o.pty) {
    ::close(pty.slave);
    ::close(pty.master);
  } else {
    ::close(leitung);
  }
  panel.reset();
  vela::bindePlattform(vela::konsolPlattform());
  return status;
}

}  // namespace

int laufeSteuerung(const SteuerungsOptionen &o) { return std::make_unique<Steuerung>()->laufe(o); }

}  // namespace velatool
