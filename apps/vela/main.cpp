// vela: runs, checks and plots programs of the motion controller's command
// language on a simulated machine, as a host of the interpreter library;
// runs a controller on this machine's devices and talks to controllers
// (steuerbefehle.h).
//
// Exit status: 0 success; 1 the program stopped with an error (run, plot)
// or errors were found (check), or the controller refused a request; 2 the
// file could not be loaded, the command line is wrong, or a line or store
// problem; 3 the step limit was reached.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "laden.h"
#include "lauf.h"
#include "plot.h"
#include "steuerbefehle.h"

using namespace velatool;

namespace {

// A temporary file for the circle test data, removed when the tool ends.
struct TempDatei {
  std::string pfad;
  TempDatei() {
    std::string muster = (std::filesystem::temp_directory_path() / "vela-kreis-XXXXXX").string();
    const int fd = mkstemp(muster.data());
    if (fd >= 0) {
      close(fd);
      pfad = muster;
    }
  }
  ~TempDatei() {
    if (!pfad.empty()) std::remove(pfad.c_str());
  }
};

int exitStatus(Ende e) {
  switch (e) {
    case Ende::Fehler:
    case Ende::Marken: return 1;
    case Ende::Schrittgrenze: return 3;
    default: return 0;
  }
}

bool schreibeDatei(const std::string &pfad, const std::string &inhalt) {
  std::ofstream aus(pfad, std::ios::binary);
  aus << inhalt;
  aus.close();
  if (!aus) {
    std::cerr << "vela: cannot write " << pfad << '\n';
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  CLI::App app{"vela - run, check and plot motion-controller programs on a simulated machine"};
  app.require_subcommand(1);
  SteuerBefehle steuerung(app);

  Optionen opt;
  std::string programm, ausgabe, testdaten;
  std::vector<std::string> eingaben;

  auto laufOptionen = [&](CLI::App *sub) {
    sub->add_option("--max-steps", opt.maxSchritte, "stop after this many steps (default 1000000)")
        ->check(CLI::PositiveNumber);
    sub->add_option("--input", eingaben,
                    "input state N=V for JE/JNE/WE/WNE (repeatable; unset inputs are 0)");
  };

  CLI::App *run = app.add_subcommand("run", "run a program to its end and report what a host would show");
  run->add_option("PROGRAM", programm, "program file")->required();
  run->add_flag("--trace", opt.trace, "print one line per step");
  run->add_flag("--check", opt.pruefen, "run in check mode");
  laufOptionen(run);

  CLI::App *check = app.add_subcommand("check", "walk a program in check mode and report every error");
  check->add_option("PROGRAM", programm, "program file")->required();
  laufOptionen(check);

  CLI::App *plot = app.add_subcommand("plot", "write the XY path of a run as SVG");
  plot->add_option("PROGRAM", programm, "program file");
  plot->add_option("--testdaten", testdaten, "plot an existing circle test-data file instead");
  plot->add_option("-o,--output", ausgabe, "SVG file to write")->required();
  laufOptionen(plot);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    const int r = app.exit(e);
    return r == 0 ? 0 : 2;
  }
  if (const auto status = steuerung.fuehreAus()) return *status;

  for (const std::string &e : eingaben) {
    const auto gleich = e.find('=');
    try {
      if (gleich == std::string::npos) throw std::invalid_argument(e);
      opt.eingaenge[std::stoi(e.substr(0, gleich))] = std::stoi(e.substr(gleich + 1));
    } catch (const std::exception &) {
      std::cerr << "vela: --input expects N=V, got \"" << e << "\"\n";
      return 2;
    }
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
    const std::string text = ladeDatei(programm);
    opt.name = programm;

    if (*check) {
      Lauf lauf(opt);
      const auto fehler = lauf.pruefe(text);
      for (const Meldung &m : fehler) std::cout << formatiere(programm, m) << '\n';
      return fehler.empty() ? 0 : 1;
    }

    TempDatei temp;
    opt.testDatei = temp.pfad;
    Lauf lauf(opt);
    if (*run) {
      const Ende e = lauf.run(text, std::cout);
      return exitStatus(e);
    }
    std::ostringstream protokoll;
    const Ende e = lauf.run(text, protokoll);
    if (e == Ende::Fehler || e == Ende::Schrittgrenze || e == Ende::Marken) std::cerr << protokoll.str();
    if (!schreibeDatei(ausgabe, zeichneSvg(lauf.maschine().spur(), programm, "units"))) return 2;
    return exitStatus(e);
  } catch (const LadeFehler &e) {
    std::cerr << "vela: " << e.what() << '\n';
    return 2;
  }
}
