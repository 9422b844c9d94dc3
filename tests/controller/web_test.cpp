// The front panel's JSON interface against a running `vela controller
// --web`: the snapshot's fields, every bad request answered with a 4xx and
// a JSON error while nothing changes, the stop, the token, and the
// addresses it refuses. The page itself is tested in a browser (panel_browser_test.py).
#include <gtest/gtest.h>
#include <httplib.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "controller/steuerung_helfer.h"
#include "support/temp_verzeichnis.h"

namespace {

using namespace testpty;
using json = nlohmann::json;

class WebTest : public SteuerungsTest {
 protected:
  std::unique_ptr<httplib::Client> http;

  void starte(const std::vector<std::string> &web) {
    steuerung = std::make_unique<Steuerung>(dir.datei("ablage"), dir.datei("log"), -1, web);
    const std::string url = steuerung->prozess().ersteZeile();
    ASSERT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
    http = std::make_unique<httplib::Client>(url.substr(0, url.size() - 1));
  }
  // The snapshot once it satisfies the condition (or the last one seen).
  json zustand(const std::function<bool(const json &)> &bedingung = [](const json &) { return true; }) {
    json j;
    for (int i = 0; i < 3000; ++i) {
      const auto r = http->Get("/api/state");
      if (r && r->status == 200) {
        j = json::parse(r->body);
        if (bedingung(j)) break;
      }
      std::this_thread::sleep_for(10ms);
    }
    return j;
  }
};

TEST_F(WebTest, StateHasItsFieldsAndBadRequestsChangeNothing) {
  starte({"--web", "0"});
  json vorher = zustand([](const json &j) { return j["display"][3] == zeile("Bereit z. Laden"); });
  ASSERT_EQ(vorher["display"][3], zeile("Bereit z. Laden"));
  EXPECT_TRUE(vorher["ticks"].is_number_unsigned());
  vorher.erase("ticks");
  json aus = json::object();
  for (int n = 0; n < 12; ++n) aus[std::to_string(n)] = 0;  // switched off at start-up
  EXPECT_EQ(vorher, (json{{"display", vorher["display"]},
                          {"error", nullptr},
                          {"inputs", json::object()},
                          {"moving", json::array()},
                          {"outputs", aus},
                          {"positions", {{"X", 0}, {"Y", 0}, {"Z", 0}, {"A", 0}}},
                          {"references", vorher["references"]},
                          {"state", "download"},
                          {"task", 1},
                          {"units", {{"X", 0.0}, {"Y", 0.0}, {"Z", 0.0}, {"A", 0.0}}}}));

  struct Fall {
    const char *methode, *pfad;
    std::string koerper;
    int status;
  };
  const Fall faelle[] = {
      {"GET", "/nothing", "", 404},
      {"POST", "/api/nothing", "{}", 404},
      {"GET", "/api/key", "", 405},
      {"POST", "/api/state", "{}", 405},
      {"POST", "/api/key", "{\"key\": 1", 400},
      {"POST", "/api/key", "", 400},
      {"POST", "/api/key", "[1]", 400},
      {"POST", "/api/key", "{\"key\": 17}", 400},
      {"POST", "/api/key", "{\"key\": -1}", 400},
      {"POST", "/api/key", "{\"key\": \"1\"}", 400},
      {"POST", "/api/key", "{\"key\": 1.5}", 400},
      {"POST", "/api/key", "{\"taste\": 1}", 400},
      {"POST", "/api/input", "{\"n\": 256, \"value\": 1}", 400},
      {"POST", "/api/input", "{\"n\": -1, \"value\": 1}", 400},
      {"POST", "/api/input", "{\"n\": 3, \"value\": 2}", 400},
      {"POST", "/api/input", "{\"n\": 3}", 400},
      {"POST", "/api/stop", "stop", 400},
      {"POST", "/api/input", "{\"n\": 3, \"value\": 1, \"x\": \"" + std::string(2000, 'x') + "\"}", 413},
      {"GET", "/api/track?since=x", "", 400},
  };
  for (const Fall &f : faelle) {
    SCOPED_TRACE(std::string(f.methode) + " " + f.pfad + " " + f.koerper.substr(0, 40));
    const auto r = std::string(f.methode) == "GET" ? http->Get(f.pfad)
                                                   : http->Post(f.pfad, f.koerper, "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, f.status);
    EXPECT_EQ(r->get_header_value("Content-Type"), "application/json");
    const json j = json::parse(r->body, nullptr, false);
    EXPECT_TRUE(j.is_object() && j["error"].is_string()) << r->body;
  }
  json nachher = zustand();
  nachher.erase("ticks");
  EXPECT_EQ(nachher, vorher);
}

TEST_F(WebTest, StopEndsTheMoveWhereItStands) {
  starte({"--web", "0"});
  const Aufruf a = k({"send", datei("lang.vela", "G 100\nX 1000000\nW\nD 0 \"FERTIG\"\nM1\nW 100\nJ M1\n")});
  ASSERT_EQ(a.status, 0) << a.fehler;
  ASSERT_EQ(zustand([](const json &j) { return j["positions"]["X"] > 0; })["moving"], json::array({"X"}));
  const auto r = http->Post("/api/stop", "", "application/json");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  const json j = zustand([](const json &j) { return j["display"][0] == zeile("FERTIG"); });
  EXPECT_EQ(j["display"][0], zeile("FERTIG"));
  EXPECT_EQ(j["moving"], json::array());
  EXPECT_LT(j["positions"]["X"], 1000000);
  EXPECT_EQ(j["state"], "run");
}

// A preset moves nothing: the axes stand where it puts them, and a move
// goes on from there.
TEST_F(WebTest, PresetsSetThePositionsWithoutAMove) {
  starte({"--web", "0"});
  ASSERT_EQ(
      k({"send", datei("p.vela", "CP X 500\nX 510\nW\nCP 7\nD 0 \"FERTIG\"\nM1\nW 100\nJ M1\n")}).status, 0);
  const json j = zustand([](const json &j) { return j["display"][0] == zeile("FERTIG"); });
  EXPECT_EQ(j["positions"], (json{{"X", 7}, {"Y", 7}, {"Z", 7}, {"A", 7}}));
}

TEST_F(WebTest, WithATokenEveryRequestMustCarryIt) {
  starte({"--web", "127.0.0.1:0", "--web-token", "geheim"});
  struct Fall {
    std::string pfad;
    httplib::Headers kopf;
    int status;
  };
  const Fall faelle[] = {
      {"/api/state", {}, 401},
      {"/", {}, 401},
      {"/api/state?token=falsch", {}, 401},
      {"/api/state", {{"Authorization", "Bearer geheimer"}}, 401},
      {"/api/state?token=geheim", {}, 200},
      {"/?token=geheim", {}, 200},
      {"/api/state", {{"Authorization", "Bearer geheim"}}, 200},
  };
  for (const Fall &f : faelle) {
    SCOPED_TRACE(f.pfad);
    const auto r = http->Get(f.pfad, f.kopf);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, f.status);
  }
  const auto r = http->Post("/api/stop", "{}", "application/json");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 401);
  EXPECT_EQ(json::parse(r->body)["error"], "this panel needs its token");
}

TEST(WebAdressen, RefusedAddressesEndTheControllerAtOnce) {
  TempVerzeichnis dir;
  struct Fall {
    const char *web, *meldung;
  };
  const Fall faelle[] = {
      {"0.0.0.0:0", "needs --web-token"}, {"192.168.1.1:8080", "needs --web-token"},
      {"70000", "port 0..65535"},         {"127.0.0.1:", "port 0..65535"},
      {"[::1:80", "[ADDRESS]:PORT"},
  };
  for (const Fall &f : faelle) {
    SCOPED_TRACE(f.web);
    const Aufruf a = vela({"controller", "--pty", "--store", dir.datei("ablage"), "--web", f.web});
    EXPECT_EQ(a.status, 2);
    EXPECT_EQ(a.aus, "");
    EXPECT_NE(a.fehler.find(f.meldung), std::string::npos) << a.fehler;
  }
}

}  // namespace
