// vela: runs, checks and plots programs of the motion controller's command
// language on a simulated machine, as a host of the interpreter library;
// runs a controller on this machine's devices and talks to controllers
// (steuerbefehle.h).
//
// Exit status: 0 success; 1 the program stopped with an error (run, plot)
// or errors were found (check; with --werror also warnings), or the
// controller refused a request; 2 the file could not be loaded, the command
// line is wrong, or a line or store problem; 3 the step or time limit was
// reached.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "hinweise.h"
#include "laden.h"
#include "lauf.h"
#include "optionen.h"
#include "plot.h"
#include "steuerbefehle.h"
#include "vela.h"
#include "vela_steuerung.h"

using namespace velatool;

namespace {

constexpr const char *kToolVersion = "2.0";

int exitStatus(Ende e) {
  switch (e) {
    case Ende::Fehler:
    case Ende::Marken: return 1;
    case Ende::Schrittgrenze:
    case Ende::Zeitgrenze: return 3;
    default: return 0;
  }
}

// "-" writes to standard output.
bool schreibeDatei(const std::string &pfad, const std::string &inhalt) {
  if (pfad == "-") {
    std::cout << inhalt << std::flush;
    return static_cast<bool>(std::cout);
  }
  std::ofstream aus(pfad, std::ios::binary);
  aus << inhalt;
  aus.close();
  if (!aus) {
    std::cerr << "vela: cannot write " << pfad << '\n';
    return false;
  }
  return true;
}

// A text as a JSON string.
std::string json(const std::string &t) {
  std::string o = "\"";
  for (const unsigned char c : t) {
    if (c == '"' || c == '\\') {
      o += '\\';
      o += static_cast<char>(c);
    } else if (c < 0x20) {
      char u[8];
      std::snprintf(u, sizeof u, "\\u%04x", c);
      o += u;
    } else {
      o += static_cast<char>(c);
    }
  }
  return o + "\"";
}

const char *endeName(Ende e) {
  switch (e) {
    case Ende::Ende: return "ende";
    case Ende::Kopf: return "header";
    case Ende::Textende: return "end-of-text";
    case Ende::Load: return "load";
    case Ende::Stop: return "stop";
    case Ende::Fehler: return "error";
    case Ende::Schrittgrenze: return "step-limit";
    case Ende::Zeitgrenze: return "time-limit";
    case Ende::Leer: return "empty";
    case Ende::Marken: return "labels";
    default: return "running";
  }
}

std::string jsonFehler(const std::vector<Meldung> &fehler) {
  std::ostringstream o;
  o << '[';
  for (std::size_t i = 0; i < fehler.size(); ++i)
    o << (i ? "," : "") << "{\"line\":" << fehler[i].zeile << ",\"code\":" << fehler[i].code
      << ",\"message\":" << json(FehlerTxt[fehler[i].code]) << '}';
  return o.str() + "]";
}

std::string jsonWarnungen(const std::vector<Warnung> &warnungen) {
  std::ostringstream o;
  o << '[';
  for (std::size_t i = 0; i < warnungen.size(); ++i)
    o << (i ? "," : "") << "{\"line\":" << warnungen[i].zeile << ",\"message\":" << json(warnungen[i].text)
      << '}';
  return o.str() + "]";
}

std::string jsonLauf(const std::string &datei, Ende e, const Lauf &l) {
  std::ostringstream o;
  char zahl[64];
  o << "{\"file\":" << json(datei) << ",\"end\":\"" << endeName(e) << "\",\"steps\":" << l.schritte();
  std::snprintf(zahl, sizeof zahl, "%.3f", l.zeit());
  o << ",\"time_s\":" << zahl << ",\"positions\":{";
  for (int a = 0; a < 4; ++a) o << (a ? "," : "") << '"' << "XYZA"[a] << "\":" << l.position(a);
  std::snprintf(zahl, sizeof zahl, "%.3f", l.weg());
  o << "},\"path_length\":" << zahl << ",\"tasks\":[";
  bool erster = true;
  for (int t : l.tasks()) {
    o << (erster ? "" : ",") << t;
    erster = false;
  }
  o << "],\"errors\":" << jsonFehler(l.fehler()) << ",\"display\":[";
  for (int r = 0; r < vela::kAnzeigeZeilen; ++r) {
    char zeile[vela::kAnzeigeSpalten + 1];
    vela::DisplayInhalt.zeilenText(r, zeile);
    o << (r ? "," : "") << json(zeile);
  }
  return o.str() + "]}\n";
}

}  // namespace

int main(int argc, char **argv) {
  CLI::App app{"vela - run, check and plot motion-controller programs on a simulated machine"};
  app.require_subcommand(0, 1);
  SteuerBefehle steuerung(app);

  Optionen opt;
  std::string programm, ausgabe, testdaten, maxSchritte, maxZeit, tasten;
  std::vector<std::string> eingaben;
  bool alsJson = false, warnungenFehler = false, version = false;
  app.add_flag("--version", version, "print the library's and the tool's version");

  auto laufOptionen = [&](CLI::App *sub) {
    sub->add_option("--max-steps", maxSchritte, "stop after this many steps (default 1000000)");
    sub->add_option("--max-time", maxZeit, "stop after this many simulated seconds (default 3600)");
    sub->add_option("--input", eingaben, "input states N=V[@SECONDS],... (repeatable; unset inputs are 0)");
    sub->add_option("--keys", tasten, "keypad presses SECONDS=KEY,...");
  };

  CLI::App *run = app.add_subcommand("run", "run a program to its end and report what a host would show");
  run->add_option("PROGRAM", programm, "program file")->required();
  run->add_flag("--trace", opt.trace, "print one line per step");
  run->add_flag("--check", opt.pruefen, "run in check mode");
  run->add_flag("--display", opt.anzeige,
                "draw the 4 x 20 display at the end (and each change with --trace)");
  run->add_flag("--json", alsJson, "print the result as JSON (docs/vela-tool.md)");
  laufOptionen(run);

  CLI::App *check = app.add_subcommand("check", "walk a program in check mode and report every error");
  check->add_option("PROGRAM", programm, "program file")->required();
  check->add_flag("--json", alsJson, "print the report as JSON (docs/vela-tool.md)");
  check->add_flag("--werror", warnungenFehler, "warnings count as errors for the exit status");
  laufOptionen(check);

  CLI::App *plot = app.add_subcommand("plot", "write the XY path of a run as SVG");
  plot->add_option("PROGRAM", programm, "program file");
  plot->add_option("--testdaten", testdaten, "plot an existing circle test-data file instead");
  plot->add_option("-o,--output", ausgabe, "SVG file to write (- for standard output)")->required();
  laufOptionen(plot);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    const int r = app.exit(e);
    return r == 0 ? 0 : 2;
  }
  if (version) {
    std::cout << "vela " << kToolVersion << " (library " << std::string(DllVersion, strnlen(DllVersion, 9))
              << ")\n";
    return 0;
  }
  if (const auto status = steuerung.fuehreAus()) return *status;
  if (app.get_subcommands().empty()) {
    std::cerr << app.help();
    return 2;
  }

  try {
    if (!maxSchritte.empty()) opt.maxSchritte = lesePositiv(maxSchritte, "--max-steps");
    if (!maxZeit.empty()) opt.maxZeit = leseSekunden(maxZeit, "--max-time");
    opt.eingaben = leseEingaben(eingaben);
    if (!tasten.empty()) opt.tasten = leseTasten(tasten);
  } catch (const OptionsFehler &e) {
    std::cerr << "vela: " << e.what() << '\n';
    return 2;
  }

  try {
    if (*plot && !testdaten.empty()) {
      std::ifstream ein(testdaten, std::ios::binary);
      if (!ein) throw LadeFehler(testdaten + ": cannot open the file");
      Spur s{Art::Kreis, {0.0}, {0.0}};
      for (const auto &[x, y] : leseTestdaten(ein)) {
        s.x.push_back(x);
        s.y.push_back(y);
      }
      return schreibeDatei(ausgabe, zeichneSvg({s}, testdaten, "steps")) ? 0 : 2;
    }
    if (programm.empty()) {
      std::cerr << "vela: a PROGRAM or --testdaten is required\n";
      return 2;
    }
    const Datei datei = ladeDatei(programm);
    opt.name = programm;

    if (*check) {
      Lauf lauf(opt);
      const auto fehler = lauf.pruefe(datei.text);
      std::vector<Warnung> warnungen = warnungenVon(datei);
      for (const Warnung &w : lauf.warnungen()) warnungen.push_back(w);
      // An index that the command rejects (error 2) does not wrap.
      std::erase_if(warnungen, [&](const Warnung &w) {
        return w.text.find("index wraps") != std::string::npos &&
               std::any_of(fehler.begin(), fehler.end(),
                           [&](const Meldung &m) { return m.zeile == w.zeile && m.code == FEHLER_INDEX; });
      });
      std::stable_sort(warnungen.begin(), warnungen.end(),
                       [](const Warnung &a, const Warnung &b) { return a.zeile < b.zeile; });
      if (alsJson) {
        std::cout << "{\"file\":" << json(programm) << ",\"errors\":" << jsonFehler(fehler)
                  << ",\"warnings\":" << jsonWarnungen(warnungen) << "}\n";
      } else {
        // Errors and warnings in line order (an error before a warning of its line).
        std::size_t w = 0;
        for (const Meldung &m : fehler) {
          for (; w < warnungen.size() && warnungen[w].zeile < m.zeile; ++w)
            std::cout << formatiere(programm, warnungen[w]) << '\n';
          std::cout << formatiere(programm, m) << '\n';
        }
        for (; w < warnungen.size(); ++w) std::cout << formatiere(programm, warnungen[w]) << '\n';
      }
      return !fehler.empty() || (warnungenFehler && !warnungen.empty()) ? 1 : 0;
    }

    Lauf lauf(opt);
    if (*run) {
      if (!alsJson) return exitStatus(lauf.run(datei.text, std::cout));
      std::ostringstream protokoll;
      const Ende e = lauf.run(datei.text, protokoll);
      std::cout << jsonLauf(programm, e, lauf);
      return exitStatus(e);
    }
    std::ostringstream protokoll;
    const Ende e = lauf.run(datei.text, protokoll);
    if (exitStatus(e) != 0) std::cerr << protokoll.str();
    if (!schreibeDatei(ausgabe, zeichneSvg(lauf.spur(), programm, "units", lauf.wartestellen()))) return 2;
    return exitStatus(e);
  } catch (const LadeFehler &e) {
    std::cerr << "vela: " << e.what() << '\n';
    return 2;
  }
}
