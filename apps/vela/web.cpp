#include "web.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>

#include "panel_seite.h"
#include "vela.h"
#include "vela_befehle.h"
#include "vela_steuerung.h"

namespace velatool {

namespace {

using json = nlohmann::json;
using Uhr = std::chrono::steady_clock;

constexpr std::size_t kMaxKoerper = 1024;                         // request bodies are a few bytes of JSON
constexpr std::size_t kMaxSpur = 200000;                          // track points kept; later ones are dropped
constexpr auto kEreignisAbstand = std::chrono::milliseconds(20);  // at most 50 events a second
constexpr auto kLebenszeichen = std::chrono::seconds(5);          // a comment keeps idle event streams open
constexpr int kFaeden = 64;  // server threads: each open event stream holds one

enum class Laufart : uint8_t { Download, Lauf, Halt, Fehler };

// Bits of PanelBild::bewegt: X Y Z A single moves, then the path.
constexpr uint8_t kBahnBit = 1 << 4;

struct PanelBild {
  PanelStand stand;
  std::array<double, 4> einheiten{};
  uint8_t bewegt = 0;
  Laufart lauf = Laufart::Halt;
  int16_t fehler = 0;
  int task = 1;
  std::array<bool, kEingaenge> referenz{};

  // Equal but for the ticks: a change of the time alone is no event.
  bool gleich(const PanelBild &b) const {
    return stand.anzeige == b.stand.anzeige && stand.schritte == b.stand.schritte &&
           stand.eingaenge == b.stand.eingaenge && stand.ausgaenge == b.stand.ausgaenge &&
           einheiten == b.einheiten && bewegt == b.bewegt && lauf == b.lauf && fehler == b.fehler &&
           task == b.task && referenz == b.referenz;
  }
};

// A point of the track: where the axes stood, in steps and user units, and
// how they got there.
enum class Weg : uint8_t { Start, Achse, Bahn, Kreis };
struct Punkt {
  int32_t sx, sy;
  double x, y;
  Weg weg;
};

const char *wegName(Weg w) {
  switch (w) {
    case Weg::Achse: return "axis";
    case Weg::Bahn: return "line";
    case Weg::Kreis: return "arc";
    default: return "start";
  }
}

// Display bytes are Latin-1; JSON is UTF-8.
std::string utf8(const std::string &latin1) {
  std::string r;
  for (const char c : latin1) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      r += c;
    } else {
      r += static_cast<char>(0xC0 | (u >> 6));
      r += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return r;
}

json alsJson(const PanelBild &b) {
  static constexpr const char *kAchsen[] = {"X", "Y", "Z", "A"};
  json j;
  j["display"] = json::array();
  for (const std::string &z : b.stand.anzeige) j["display"].push_back(utf8(z));
  j["positions"] = json::object();
  j["units"] = json::object();
  j["moving"] = json::array();
  for (int a = 0; a < 4; ++a) {
    j["positions"][kAchsen[a]] = b.stand.schritte[a];
    j["units"][kAchsen[a]] = b.einheiten[a];
    if (b.bewegt & (1 << a)) j["moving"].push_back(kAchsen[a]);
  }
  if (b.bewegt & kBahnBit) j["moving"].push_back("I");
  j["inputs"] = json::object();
  j["outputs"] = json::object();
  j["references"] = json::array();
  for (int n = 0; n < kEingaenge; ++n) {
    if (b.stand.eingaenge[n] >= 0) j["inputs"][std::to_string(n)] = b.stand.eingaenge[n];
    if (b.stand.ausgaenge[n] >= 0) j["outputs"][std::to_string(n)] = b.stand.ausgaenge[n];
    if (b.referenz[n]) j["references"].push_back(n);
  }
  static constexpr const char *kLauf[] = {"download", "run", "stop", "error"};
  j["state"] = kLauf[static_cast<int>(b.lauf)];
  if (b.fehler > 0 && b.fehler < VELA_FEHLERCODES)
    j["error"] = {{"code", b.fehler}, {"message", utf8(FehlerTxt[b.fehler])}};
  else if (b.fehler != 0)
    j["error"] = {{"code", b.fehler}, {"message", ""}};
  else
    j["error"] = nullptr;
  j["task"] = b.task;
  j["ticks"] = b.stand.ticks;
  return j;
}

// Everything a panel keeps; the members above `m` belong to the monitor's
// thread alone.
struct FrontplattenZustand {
  // ---- the monitor's thread ----
  bool veroeffentlicht = false;  // bild holds a snapshot of the monitor
  Laufart lauf = Laufart::Halt;
  int16_t fehler = 0;
  std::array<bool, kEingaenge> referenz{};
  uint8_t bewegtVorher = 0;
  // The executor the panel's executor hands the steps on to (null: the
  // default one), and its context; installiert once the panel's is installed.
  vela::Ausfuehrer weiter = nullptr;
  void *weiterKontext = nullptr;
  bool installiert = false;

  // ---- shared, behind m ----
  std::mutex m;
  std::condition_variable neu;
  bool ende = false;
  PanelBild bild;
  uint64_t version = 0;
  std::deque<PanelAnfrage> anfragen;
  std::vector<Punkt> spur{Punkt{0, 0, 0.0, 0.0, Weg::Start}};
  uint64_t spurFolge = 0;  // counts the downloads that restarted the track
  bool spurVoll = false;
  std::string token;
};

int16_t gibWeiter(FrontplattenZustand &z, vela::SchrittPhase phase, int16_t ergebnis) {
  return z.weiter != nullptr ? z.weiter(z.weiterKontext, phase, ergebnis)
                             : vela::standardAusfuehrer(phase, ergebnis);
}

// The panel's executor; its context is the panel's state.
int16_t folgeSchritt(void *kontext, vela::SchrittPhase phase, int16_t ergebnis) {
  FrontplattenZustand &z = *static_cast<FrontplattenZustand *>(kontext);
  if (phase == vela::VOR_SCHRITT) {
    z.lauf = Laufart::Lauf;
    z.fehler = 0;
    const int16_t r = gibWeiter(z, phase, ergebnis);
    if (r != 0) {
      z.lauf = Laufart::Fehler;
      z.fehler = r;
    }
    return r;
  }
  const int16_t befehl = Befehl;
  if (ergebnis == 0 && vela_befehl_hat(befehl, BEF_EIG_REFERENZ))
    for (int i = 0; i < (vela_befehl_hat(befehl, BEF_EIG_PAAR) ? 2 : 1); ++i)
      if (vela::ReferenzSchalter[i] >= 0 && vela::ReferenzSchalter[i] < kEingaenge)
        z.referenz[vela::ReferenzSchalter[i]] = true;
  const int16_t e = gibWeiter(z, phase, ergebnis);
  const int16_t code = ergebnis != 0 ? ergebnis : e;
  if (code != 0) {
    z.lauf = Laufart::Fehler;
    z.fehler = code;
  } else if (befehl == BEF_STOP) {
    z.lauf = Laufart::Halt;
  }
  return e;
}

// Adds where the axes stand to the track. Points along a straight piece of
// one kind replace each other, so that a line keeps two points.
void erweitereSpur(FrontplattenZustand &z, const PanelBild &b, uint8_t bewegt) {
  const Punkt &l = z.spur.back();
  const int32_t sx = b.stand.schritte[0], sy = b.stand.schritte[1];
  if (sx == l.sx && sy == l.sy) return;
  Weg weg = Weg::Start;  // a preset or a reference point set: no travel
  if (bewegt & kBahnBit)
    weg = b.stand.kreis ? Weg::Kreis : Weg::Bahn;
  else if (bewegt & 3)
    weg = Weg::Achse;
  const Punkt p{sx, sy, b.einheiten[0], b.einheiten[1], weg};
  const std::size_t n = z.spur.size();
  if (weg != Weg::Kreis && weg != Weg::Start && n >= 2 && l.weg == weg) {
    // l lies within 0.75 steps of the line from the point before it to p,
    // on the way between them: p takes its place.
    const Punkt &a = z.spur[n - 2];
    const double dx = p.sx - a.sx, dy = p.sy - a.sy;
    const double lx = l.sx - a.sx, ly = l.sy - a.sy;
    const double laenge = std::hypot(dx, dy);
    if (laenge > 0 && std::abs(dx * ly - dy * lx) <= 0.75 * laenge && lx * dx + ly * dy >= 0 &&
        lx * lx + ly * ly <= laenge * laenge) {
      z.spur.back() = p;
      return;
    }
  }
  if (n >= kMaxSpur) {
    z.spurVoll = true;
    return;
  }
  z.spur.push_back(p);
}

void fehlerAntwort(httplib::Response &res, int status, const std::string &text) {
  res.status = status;
  res.set_content(json{{"error", text}}.dump(), "application/json");
}

// The body as a JSON object; false (and a 400 answer) otherwise.
bool leseObjekt(const httplib::Request &req, httplib::Response &res, json &j) {
  j = json::parse(req.body, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    fehlerAntwort(res, 400, "the body is not a JSON object");
    return false;
  }
  return true;
}

// Field `name` as an integer lo..hi; false (and a 400 answer) otherwise.
bool leseZahl(const json &j, const char *name, int lo, int hi, httplib::Response &res, int &wert) {
  const auto f = j.find(name);
  if (f == j.end() || !f->is_number_integer() || *f < lo || *f > hi) {
    fehlerAntwort(
        res, 400,
        std::string("\"") + name + "\" must be an integer " + std::to_string(lo) + ".." + std::to_string(hi));
    return false;
  }
  wert = f->get<int>();
  return true;
}

// Compares without stopping at the first differing character.
bool gleicheTexte(const std::string &gegeben, const std::string &token) {
  if (gegeben.size() != token.size()) return false;
  unsigned char d = 0;
  for (std::size_t i = 0; i < token.size(); ++i) d |= static_cast<unsigned char>(gegeben[i] ^ token[i]);
  return d == 0;
}

}  // namespace

struct Frontplatte::Zustand : FrontplattenZustand {};

WebAdresse leseWebAdresse(const std::string &text) {
  WebAdresse a{"127.0.0.1", 0};
  std::string port = text;
  if (!text.empty() && text[0] == '[') {
    const auto zu = text.find("]:");
    if (zu == std::string::npos) throw WebFehler("--web: \"" + text + "\" is not [ADDRESS]:PORT");
    a.host = text.substr(1, zu - 1);
    port = text.substr(zu + 2);
  } else if (const auto d = text.rfind(':'); d != std::string::npos) {
    a.host = text.substr(0, d);
    port = text.substr(d + 1);
  }
  if (a.host.empty() || port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > 65535)
    throw WebFehler("--web: \"" + text + "\" is not [ADDRESS:]PORT with a port 0..65535");
  a.port = std::stoi(port);
  return a;
}

bool istLoopback(const std::string &host) {
  return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

Frontplatte::Frontplatte(const std::string &adresse, const std::string &token)
    : server_(std::make_unique<httplib::Server>()), z_(std::make_unique<Zustand>()) {
  const WebAdresse a = leseWebAdresse(adresse);
  if (!istLoopback(a.host) && token.empty())
    throw WebFehler("--web " + adresse + " is not the loopback: it needs --web-token TOKEN");
  z_->token = token;
  for (auto &e : z_->bild.stand.eingaenge) e = -1;
  for (auto &e : z_->bild.stand.ausgaenge) e = -1;

  httplib::Server &s = *server_;
  Zustand &z = *z_;
  s.new_task_queue = [] { return new httplib::ThreadPool(kFaeden); };
  s.set_payload_max_length(kMaxKoerper);
  s.set_keep_alive_timeout(2);
  s.set_default_headers({{"Cache-Control", "no-store"}});
  s.set_pre_routing_handler([&z](const httplib::Request &req, httplib::Response &res) {
    if (z.token.empty()) return httplib::Server::HandlerResponse::Unhandled;
    std::string gegeben = req.get_param_value("token");
    const std::string kopf = req.get_header_value("Authorization");
    if (kopf.rfind("Bearer ", 0) == 0) gegeben = kopf.substr(7);
    if (gleicheTexte(gegeben, z.token)) return httplib::Server::HandlerResponse::Unhandled;
    fehlerAntwort(res, 401, "this panel needs its token");
    return httplib::Server::HandlerResponse::Handled;
  });
  // Every 4xx without a body of its own (no route, a body too large) gets a JSON error.
  s.set_error_handler([](const httplib::Request &, httplib::Response &res) {
    if (!res.body.empty()) return;
    fehlerAntwort(res, res.status,
                  res.status == 404   ? "no such path"
                  : res.status == 413 ? "the body is too large"
                                      : "bad request");
  });

  s.Get("/", [](const httplib::Request &, httplib::Response &res) {
    res.set_content(kPanelSeite, sizeof kPanelSeite - 1, "text/html; charset=utf-8");
  });
  s.Get("/api/state", [&z](const httplib::Request &, httplib::Response &res) {
    std::lock_guard<std::mutex> l(z.m);
    res.set_content(alsJson(z.bild).dump(), "application/json");
  });
  s.Get("/api/track", [&z](const httplib::Request &req, httplib::Response &res) {
    std::size_t ab = 0;
    if (req.has_param("since")) {
      const std::string t = req.get_param_value("since");
      if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos)
        return fehlerAntwort(res, 400, "\"since\" must be a point count");
      ab = std::stoul(t);
    }
    json j;
    {
      std::lock_guard<std::mutex> l(z.m);
      j["download"] = z.spurFolge;
      j["total"] = z.spur.size();
      j["full"] = z.spurVoll;
      j["points"] = json::array();
      for (std::size_t i = std::min(ab, z.spur.size()); i < z.spur.size(); ++i)
        j["points"].push_back({z.spur[i].x, z.spur[i].y, wegName(z.spur[i].weg)});
    }
    res.set_content(j.dump(), "application/json");
  });
  s.Get("/api/events", [&z](const httplib::Request &, httplib::Response &res) {
    auto gesendet = std::make_shared<uint64_t>(~uint64_t{0});
    auto zuletzt = std::make_shared<Uhr::time_point>(Uhr::now() - kEreignisAbstand);
    res.set_chunked_content_provider(
        "text/event-stream", [&z, gesendet, zuletzt](std::size_t, httplib::DataSink &sink) {
          std::string text;
          {
            std::unique_lock<std::mutex> l(z.m);
            // At most one event per kEreignisAbstand: later changes wait and
            // are sent together.
            z.neu.wait_until(l, *zuletzt + kEreignisAbstand, [&] { return z.ende; });
            z.neu.wait_for(l, kLebenszeichen, [&] { return z.ende || z.version != *gesendet; });
            if (z.ende) return false;
            if (z.version != *gesendet) {
              *gesendet = z.version;
              text = "data: " + alsJson(z.bild).dump() + "\n\n";
            } else {
              text = ": idle\n\n";
            }
          }
          *zuletzt = Uhr::now();
          return sink.is_writable() && sink.write(text.data(), text.size());
        });
  });
  s.Post("/api/key", [&z](const httplib::Request &req, httplib::Response &res) {
    json j;
    int taste = 0;
    if (!leseObjekt(req, res, j) || !leseZahl(j, "key", 0, 16, res, taste)) return;
    std::lock_guard<std::mutex> l(z.m);
    z.anfragen.push_back({PanelAnfrage::Taste, taste, 0});
    res.set_content("{}", "application/json");
  });
  s.Post("/api/input", [&z](const httplib::Request &req, httplib::Response &res) {
    json j;
    int n = 0, wert = 0;
    if (!leseObjekt(req, res, j) || !leseZahl(j, "n", 0, kEingaenge - 1, res, n) ||
        !leseZahl(j, "value", 0, 1, res, wert))
      return;
    std::lock_guard<std::mutex> l(z.m);
    z.anfragen.push_back({PanelAnfrage::Eingang, n, wert});
    res.set_content("{}", "application/json");
  });
  s.Post("/api/stop", [&z](const httplib::Request &req, httplib::Response &res) {
    json j;
    if (!req.body.empty() && !leseObjekt(req, res, j)) return;
    std::lock_guard<std::mutex> l(z.m);
    z.anfragen.push_back({PanelAnfrage::Stop, 0, 0});
    res.set_content("{}", "application/json");
  });
  // The API's paths with the other method.
  for (const char *p : {"/api/key", "/api/input", "/api/stop"})
    s.Get(p, [](const httplib::Request &, httplib::Response &res) { fehlerAntwort(res, 405, "use POST"); });
  for (const char *p : {"/api/state", "/api/track", "/api/events"})
    s.Post(p, [](const httplib::Request &, httplib::Response &res) { fehlerAntwort(res, 405, "use GET"); });

  int port = a.port;
  if (port == 0)
    port = s.bind_to_any_port(a.host);
  else if (!s.bind_to_port(a.host, port))
    port = -1;
  if (port <= 0) throw WebFehler("--web: cannot listen on " + adresse);
  const bool v6 = a.host.find(':') != std::string::npos;
  url_ = "http://" + (v6 ? "[" + a.host + "]" : a.host) + ":" + std::to_string(port) + "/";
  faden_ = std::thread([this] {
    // Signals are the monitor's: the server's threads (made from this one) block them.
    sigset_t alle;
    sigfillset(&alle);
    pthread_sigmask(SIG_BLOCK, &alle, nullptr);
    server_->listen_after_bind();
    fertig_ = true;
  });
}

Frontplatte::~Frontplatte() {
  {
    std::lock_guard<std::mutex> l(z_->m);
    z_->ende = true;
  }
  z_->neu.notify_all();
  // A server that has not begun to listen yet ignores a stop: asked again
  // until it has ended.
  while (!fertig_) {
    server_->stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  faden_.join();
  if (z_->installiert) vela::setAusfuehrer(nullptr);
}

std::vector<PanelAnfrage> Frontplatte::nimmAnfragen() {
  std::lock_guard<std::mutex> l(z_->m);
  std::vector<PanelAnfrage> a(z_->anfragen.begin(), z_->anfragen.end());
  z_->anfragen.clear();
  return a;
}

void Frontplatte::veroeffentliche(const PanelStand &stand) {
  Zustand &z = *z_;
  PanelBild b;
  b.stand = stand;
  const vela::AntriebsStand s = vela::leseAntriebsStand();
  for (int a = 0; a < 4; ++a) {
    b.einheiten[a] = s.AchsSchritte[a] == 0
                         ? 0.0
                         : static_cast<double>(stand.schritte[a]) * s.AchsMM[a] / s.AchsSchritte[a];
    if (s.AchsLaeuft[a] != 0) b.bewegt |= static_cast<uint8_t>(1 << a);
  }
  if (s.BahnAktiv != 0) b.bewegt |= kBahnBit;
  b.lauf = z.lauf;
  b.fehler = z.fehler;
  b.task = vela::AktTask + 1;
  b.referenz = z.referenz;
  // Steps made in this round belong to what ran in it or in the round before.
  const uint8_t bewegt = b.bewegt | z.bewegtVorher;
  z.bewegtVorher = b.bewegt;

  std::lock_guard<std::mutex> l(z.m);
  erweitereSpur(z, b, bewegt);
  if (z.veroeffentlicht && b.gleich(z.bild)) {
    z.bild.stand.ticks = stand.ticks;
    return;
  }
  z.bild = b;
  z.veroeffentlicht = true;
  ++z.version;
  z.neu.notify_all();
}

void Frontplatte::downloadBeginnt() {
  if (z_->lauf != Laufart::Fehler) z_->lauf = Laufart::Download;
}

void Frontplatte::downloadEndet() {
  if (z_->lauf != Laufart::Fehler) z_->lauf = Laufart::Lauf;
  std::lock_guard<std::mutex> l(z_->m);
  const Punkt hier = z_->spur.back();
  z_->spur.assign(1, Punkt{hier.sx, hier.sy, hier.x, hier.y, Weg::Start});
  z_->spurVoll = false;
  ++z_->spurFolge;
}

void Frontplatte::beobachteSchritte(vela::Ausfuehrer weiter, void *kontext) {
  z_->weiter = weiter;
  z_->weiterKontext = kontext;
  z_->installiert = true;
  vela::setAusfuehrer(folgeSchritt, static_cast<FrontplattenZustand *>(z_.get()));
}

}  // namespace velatool
