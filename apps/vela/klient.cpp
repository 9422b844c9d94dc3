// The host client: the download with its checksum guess, the requests and
// the run control, each ending at the marker reply or at a timeout.
#include "klient.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "laden.h"
#include "vela.h"
#include "vela_steuerung.h"

namespace velatool {

namespace {

// The marker: a request for the program "z". No download stores a
// lower-case letter outside quoted text, so no header can name it, and the
// reply is the same in every state of the controller.
constexpr std::string_view kMarkenAnfrage = "@PPz\n";
constexpr std::string_view kMarke = "N Programm z nicht gefunden\rN";
// The controller's result of the marker request (not found), which counts
// into its download sum when it waits for a download.
constexpr uint32_t kMarkenErgebnis = 4;
// Longest reply accepted before the marker (a dump of the program store
// with everything a running program may print besides).
constexpr std::size_t kMaxAntwort = 1 << 20;
// Largest name a request carries.
constexpr std::size_t kMaxName = 5;
// Quiet the line must keep before the first request, and the longest wait for it.
constexpr auto kLeitungsRuhe = std::chrono::milliseconds(30);
constexpr auto kLeitungsRuheMax = std::chrono::seconds(1);
// How the controller reports that it gave up a download: the reason, then 'F'.
constexpr std::string_view kAufgaben[] = {"\rHost schweigt\rF", "\rLadestrom zu Ende\rF"};
constexpr const char *kKeineAntwort =
    "no answer: the controller may be inside an interrupted download; it gives up after its silence limit";

// The download sum after a probe (@R with its marker request) that found
// the controller waiting for a download: what the probe counted into it.
uint32_t summeNachProbe(uint32_t summe) { return bytesumme("@R@P", summe) + kMarkenErgebnis; }

bool endetMit(const std::string &s, std::string_view ende) {
  return s.size() >= ende.size() && s.compare(s.size() - ende.size(), ende.size(), ende) == 0;
}

std::string ohneFuehrendeLeer(std::string s) {
  const auto n = s.find_first_not_of(' ');
  return n == std::string::npos ? std::string() : s.substr(n);
}

// CR line ends as LF, NUL bytes left out, and a final LF.
std::string alsTextZeilen(std::string_view s) {
  std::string t;
  for (char c : s) {
    if (c == '\r')
      t += '\n';
    else if (c != '\0')
      t += c;
  }
  if (!t.empty() && t.back() != '\n') t += '\n';
  return t;
}

const char *speicherName(char s) {
  switch (s) {
    case 'E': return "EEPROM";
    case 'F': return "FLASH";
    default: return "RAM";
  }
}

const char *modusName(Modus m) {
  switch (m) {
    case Modus::Schritt: return "step";
    case Modus::DisplaySchritt: return "display-step";
    case Modus::Fern: return "remote";
    default: return "run";
  }
}

}  // namespace

uint32_t bytesumme(std::string_view bytes, uint32_t start) {
  for (unsigned char c : bytes) start += c;
  return start;
}

Sendetext bereiteText(std::string_view datei) {
  if (datei.find('\0') != std::string_view::npos) throw KlientFehler("the file holds a NUL byte");
  std::string text = wandleZeilenenden(datei);
  if (text.empty() || text.back() != '\r') text += '\r';
  Sendetext t;
  for (std::size_t anfang = 0; anfang < text.size();) {
    const std::size_t cr = text.find('\r', anfang);
    const std::string_view zeile(text.data() + anfang, cr - anfang);
    if (zeile.empty() || zeile.front() == '$' || zeile.front() == '@') t.bytes += ' ';
    t.bytes += zeile;
    t.bytes += '\r';
    ++t.zeilen;
    anfang = cr + 1;
  }
  t.gespeichert = vela::ladeLaenge(t.bytes.data(), t.bytes.size());
  return t;
}

std::string zustandsDatei(const std::string &leitung) {
  std::filesystem::path basis;
  if (const char *x = std::getenv("XDG_STATE_HOME"); x != nullptr && *x == '/') {
    basis = x;
  } else if (const char *h = std::getenv("HOME"); h != nullptr && *h != '\0') {
    basis = std::filesystem::path(h) / ".local" / "state";
  } else {
    basis = std::filesystem::temp_directory_path();
  }
  std::string name = leitung;
  for (char &c : name)
    if (c == '/') c = '_';
  return (basis / "vela" / "lines" / name).string();
}

std::vector<Eintrag> leseListe(std::string_view a) {
  std::vector<Eintrag> liste;
  std::size_t i = a.find_first_not_of(' ');
  auto kaputt = [] { return KlientFehler("the controller's list is not a store listing"); };
  for (char speicher : {'E', 'F', 'R'}) {
    if (i >= a.size() || a[i] != speicher) throw kaputt();
    ++i;
    for (;;) {
      if (i >= a.size() || a[i] != '\r') throw kaputt();
      ++i;
      if (i >= a.size() || a[i] != 'P') break;
      const std::size_t cr = a.find('\r', i);
      if (cr == std::string_view::npos) throw kaputt();
      std::string_view kopf = a.substr(i, cr - i);
      if (kopf.substr(0, 4) == "PROG") kopf.remove_prefix(4);
      liste.push_back({speicher, std::string(kopf)});
      i = cr;
    }
  }
  if (a.find_first_not_of(' ', i) != std::string_view::npos) throw kaputt();
  return liste;
}

Klient::Klient(KlientOptionen o) : opt_(std::move(o)) {
  if (opt_.zustand.empty()) opt_.zustand = zustandsDatei(opt_.leitung);
  leitung_ = std::make_unique<Verbindung>(oeffneLeitung(opt_.leitung, opt_.baud));
  // Replies still on their way to a host that has gone (a killed client's
  // marker reply among them) would read as answers to this one: the line is
  // drained until it has been quiet for a moment.
  leitung_->verwirf();
  const auto grenze = Uhr::now() + kLeitungsRuheMax;
  while (leitung_->lies(std::min(grenze, Uhr::now() + kLeitungsRuhe)) >= 0) {
  }
}

Klient::~Klient() = default;

Klient::Zustand Klient::ladeZustand() const {
  Zustand z;
  std::ifstream ein(opt_.zustand);
  std::string wort;
  while (ein >> wort) {
    if (wort == "sum") {
      unsigned long s = 0;
      if (ein >> s) z.summe = static_cast<uint32_t>(s);
    } else if (wort == "mode") {
      std::string m;
      ein >> m;
      z.modus = m == "remote"         ? Modus::Fern
                : m == "step"         ? Modus::Schritt
                : m == "display-step" ? Modus::DisplaySchritt
                                      : Modus::Lauf;
    }
  }
  return z;
}

// Written to a temporary file and renamed over the old one; a state that
// cannot be kept only costs a resend later.
void Klient::speichereZustand(const Zustand &z) const {
  std::error_code fehler;
  const std::filesystem::path pfad(opt_.zustand);
  std::filesystem::create_directories(pfad.parent_path(), fehler);
  const std::string temp = opt_.zustand + ".tmp";
  {
    std::ofstream aus(temp, std::ios::trunc);
    aus << "# vela client: what it knows of the controller on " << opt_.leitung << "\n"
        << "sum " << z.summe << "\nmode " << modusName(z.modus) << "\n";
    if (!aus) return;
  }
  std::filesystem::rename(temp, pfad, fehler);
}

Uhr::time_point Klient::frist() const { return Uhr::now() + std::chrono::milliseconds(opt_.timeoutMs); }

void Klient::sendeBytes(const std::string &b) { leitung_->schreibe(b, frist()); }

int Klient::zeichen() {
  const int c = leitung_->lies(frist());
  if (c < 0) {
    char text[160];
    std::snprintf(text, sizeof text, "%s (nothing within %.1f s)", kKeineAntwort, opt_.timeoutMs / 1000.0);
    throw KlientFehler(text);
  }
  return c;
}

int Klient::zeichenOhneLeer() {
  int c = 0;
  while ((c = zeichen()) == ' ') {
  }
  return c;
}

// With --wait-idle a request that draws no answer may have gone into
// another host's interrupted download as text: the client then stays
// silent (its bytes would keep that download alive) until the reply comes
// or the controller reports that it gave the download up (each within
// --timeout), and then asks again. It never sends a '$' after a line end, so its bytes cannot
// complete the other host's download.
std::string Klient::anfrage(const std::string &bytes) {
  for (;;) {
    sendeBytes(bytes + std::string(kMarkenAnfrage));
    std::string antwort;
    const auto ende = Uhr::now() + 10 * std::chrono::milliseconds(opt_.timeoutMs);
    while (!endetMit(antwort, kMarke)) {
      if (antwort.size() > kMaxAntwort || Uhr::now() > ende)
        throw KlientFehler("the controller's reply does not end (is a program printing to the line?)");
      antwort += static_cast<char>(zeichen());
      if (opt_.warteLeerlauf && (endetMit(antwort, kAufgaben[0]) || endetMit(antwort, kAufgaben[1]))) break;
    }
    if (endetMit(antwort, kMarke)) return antwort.substr(0, antwort.size() - kMarke.size());
  }
}

bool Klient::zumLaden(bool zuerstAbbrechen, uint32_t &summe) {
  for (int versuch = 0; versuch < 3; ++versuch) {
    const std::string vor = anfrage((zuerstAbbrechen || versuch > 0 ? "@N" : "") + std::string("@R"));
    if (vor.find("Yes\n") != std::string::npos) {
      summe = summeNachProbe(summe);
      return versuch == 0 && !zuerstAbbrechen;
    }
  }
  throw KlientFehler("the controller does not come to the download (does it wait for a keypad key?)");
}

std::string Klient::lade(const Sendetext &t, const SendeOptionen &so, uint32_t &summe, bool &fehlschlag) {
  std::string optionen;
  switch (so.modus) {
    case Modus::Lauf: optionen = "@A"; break;
    case Modus::Schritt: optionen = "@S"; break;
    case Modus::DisplaySchritt: optionen = "@D"; break;
    case Modus::Fern: break;  // option R went with zumLaden
  }
  if (so.trace) optionen += "@T";
  if (so.zeilenQuittung) optionen += "@Q";
  if (so.pruefsumme) optionen += "@C";
  const uint32_t h = bytesumme(t.bytes + "$", bytesumme(optionen, summe));
  std::string ende = "$";
  if (so.pruefsumme)
    for (int s = 24; s >= 0; s -= 8) ende += static_cast<char>((h >> s) & 0xFF);

  // The reply to one acknowledgement: 'Y' or 'F', with the report that
  // may come before it (a CR, its text, a CR).
  std::string meldung;
  auto quittung = [&]() -> char {
    for (;;) {
      const int c = zeichenOhneLeer();
      if (c == 'Y' || c == 'F') return static_cast<char>(c);
      if (c != '\r') continue;
      meldung.clear();
      for (int z = zeichen(); z != '\r'; z = zeichen()) meldung += static_cast<char>(z);
    }
  };

  fehlschlag = false;
  if (!so.zeilenQuittung) {
    sendeBytes(optionen + t.bytes + ende);
  } else {
    sendeBytes(optionen);
    for (std::size_t anfang = 0; anfang < t.bytes.size();) {
      const std::size_t cr = t.bytes.find('\r', anfang);
      sendeBytes(t.bytes.substr(anfang, cr + 1 - anfang));
      anfang = cr + 1;
      if (quittung() == 'F') {
        fehlschlag = true;
        return meldung;
      }
    }
    sendeBytes(ende);
  }
  if (quittung() == 'F') {
    fehlschlag = true;
    long host = 0, ziel = 0;
    if (std::sscanf(meldung.c_str(), "Host: %ld, Target %ld", &host, &ziel) == 2)
      summe = static_cast<uint32_t>(ziel);
    else if (meldung == "Programm zu gross")
      summe = h;  // read to its end mark, which counts once
    return meldung;
  }
  summe = so.pruefsumme ? h + (h & 0xFF) : h + '$';
  return {};
}

void Klient::sende(const std::string &datei, const SendeOptionen &so, std::ostream &aus,
                   std::ostream &hinweis) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) throw KlientFehler(datei + ": cannot open the file");
  const std::string roh((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
  if (ein.bad()) throw KlientFehler(datei + ": cannot read the file");
  const Sendetext t = bereiteText(roh);
  if (!vela::passtInsProgramm(t.gespeichert))
    throw KlientFehler(datei + ": the controller would store " + std::to_string(t.gespeichert) +
                       " bytes of it; its program store holds " + std::to_string(vela::LADE_MAX_TEXT));

  Zustand z = ladeZustand();
  uint32_t summe = z.summe;
  zumLaden(z.modus != Modus::Lauf, summe);
  bool fehlschlag = false;
  std::string meldung = lade(t, so, summe, fehlschlag);
  if (fehlschlag && so.pruefsumme && meldung.rfind("Host:", 0) == 0) {
    hinweis << "vela: the controller's checksum differed (" << meldung << "); sending once more\n";
    zumLaden(false, summe);
    meldung = lade(t, so, summe, fehlschlag);
  }
  z.summe = summe;
  z.modus = fehlschlag ? Modus::Lauf : so.modus;
  speichereZustand(z);
  if (fehlschlag) throw Ablehnung("the controller did not load the program: " + meldung);
  aus << "loaded\n";
}

std::string Klient::nameZeile(const std::string &name) const {
  if (name.empty() || name.size() > kMaxName || name.find_first_of("\r\n") != std::string::npos)
    throw KlientFehler("a program name for a request has 1 to 5 characters: \"" + name + "\"");
  return name.size() == kMaxName ? name : name + "\n";
}

void Klient::liste(std::ostream &aus) {
  const std::vector<Eintrag> liste = leseListe(anfrage("@PL"));
  aus << "store   program\n";
  for (char s : {'E', 'F', 'R'}) {
    bool leer = true;
    for (const Eintrag &e : liste) {
      if (e.speicher != s) continue;
      aus << speicherName(s) << std::string(8 - std::string(speicherName(s)).size(), ' ') << e.name << '\n';
      leer = false;
    }
    if (leer) aus << speicherName(s) << std::string(8 - std::string(speicherName(s)).size(), ' ') << "-\n";
  }
}

void Klient::hole(const std::string &name, std::ostream &aus) {
  const std::string antwort = ohneFuehrendeLeer(anfrage("@PP" + nameZeile(name)));
  if (antwort.rfind("N Programm ", 0) == 0) throw Ablehnung("no program " + name + " on the controller");
  if (antwort.empty() || (antwort[0] != 'F' && antwort[0] != 'E' && antwort[0] != 'R'))
    throw KlientFehler("the controller's reply is not a program");
  aus << alsTextZeilen(std::string_view(antwort).substr(1));
}

void Klient::dump(char speicher, std::ostream &aus) {
  const std::string antwort = ohneFuehrendeLeer(anfrage(std::string("@PA") + speicher));
  if (antwort.rfind("*****", 0) != 0) throw KlientFehler("the controller's reply is not a dump");
  aus << alsTextZeilen(antwort);
}

void Klient::bereit() {
  if (!opt_.warteLeerlauf) return;
  if (anfrage("@R").find("Yes\n") == std::string::npos) return;
  Zustand z = ladeZustand();  // the probe counted into the download sum
  z.summe = summeNachProbe(z.summe);
  speichereZustand(z);
}

void Klient::sichere(std::ostream &aus) {
  bereit();
  sendeBytes("@PF");
  const int angenommen = zeichenOhneLeer();
  const int antwort = angenommen == 'Y' ? zeichenOhneLeer() : angenommen;
  switch (antwort) {
    case 'Y': aus << "saved: the programs of the RAM store are in FLASH\n"; return;
    case 'F': throw Ablehnung("not saved: a program of that name is already in FLASH");
    case 'N':
      throw Ablehnung(
          "not saved: FLASH has no room for it, a text without a header needs an empty FLASH, "
          "or a write failed");
    default: throw KlientFehler("the controller's reply to the save is not one of Y, N, F");
  }
}

void Klient::loesche(const std::string &name, std::ostream &aus) {
  const std::string zeile = nameZeile(name);
  bereit();
  sendeBytes("@PC" + zeile);
  const int angenommen = zeichenOhneLeer();
  if (angenommen == 'N') throw Ablehnung("the controller did not take the name");
  const int antwort = zeichenOhneLeer();
  switch (antwort) {
    case 'Y': aus << "deleted " << name << '\n'; return;
    case 'N': throw Ablehnung("no program " + name + " on the controller");
    case 'F': throw Ablehnung(name + " is in FLASH, which is only erased as a whole (vela erase)");
    default: throw KlientFehler("the controller's reply to the delete is not one of Y, N, F");
  }
}

void Klient::loescheFlash(std::ostream &aus) {
  bereit();
  sendeBytes("@L");
  const int angenommen = zeichenOhneLeer();
  const int antwort = angenommen == 'Y' ? zeichenOhneLeer() : angenommen;
  if (antwort == 'Y') {
    aus << "FLASH erased\n";
    return;
  }
  if (antwort == 'N') throw Ablehnung("the FLASH erase failed");
  throw KlientFehler("the controller's reply to the erase is not Y or N");
}

void Klient::stoppe(std::ostream &aus) {
  Zustand z = ladeZustand();
  zumLaden(true, z.summe);
  sendeBytes("@A");  // run mode 1 (normal) instead of the R of the probe
  z.summe = bytesumme("@A", z.summe);
  z.modus = Modus::Lauf;
  speichereZustand(z);
  aus << "stopped: the controller waits for a download\n";
}

void Klient::neustart(std::ostream &aus) {
  const std::string vor = anfrage("@R");
  if (vor.find("Yes\n") != std::string::npos) {
    sendeBytes("@A");
    Zustand z = ladeZustand();
    z.summe = bytesumme("@A", summeNachProbe(z.summe));
    speichereZustand(z);
    throw Ablehnung("nothing runs: the controller waits for a download");
  }
  sendeBytes("@S");
  aus << "restarted\n";
}

void Klient::schritt(std::ostream &aus) {
  const std::string dump = ohneFuehrendeLeer(anfrage("@PAR"));
  constexpr std::string_view kTitel = "***** RAM *****\r";
  if (dump.rfind(kTitel, 0) != 0) throw KlientFehler("the controller's reply is not a dump of its RAM store");
  const std::string text = dump.substr(kTitel.size());

  // The step's own output (display blanks, texts on the line) may come
  // before the position; a position in the program store begins with two
  // NUL bytes, which no text holds.
  const std::string antwort = anfrage("@W");
  const std::size_t i = antwort.find(std::string(2, '\0'));
  if (i == std::string::npos || i + 4 > antwort.size())
    throw Ablehnung("no step: the controller is not stepping remotely (vela send --mode remote)");
  uint32_t pos = 0;
  for (std::size_t k = i; k < i + 4; ++k) pos = pos << 8 | static_cast<unsigned char>(antwort[k]);
  aus << "position " << pos << ": ";
  if (pos < text.size())
    aus << text.substr(pos, text.find('\r', pos) - pos) << '\n';
  else
    aus << "(end of the text)\n";
}

}  // namespace velatool
