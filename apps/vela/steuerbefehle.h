// The subcommands of `vela` that run a controller or talk to one:
// controller, send, list, get, dump, save, delete, erase, stop, restart,
// step.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "klient.h"
#include "steuerung.h"

namespace velatool {

class SteuerBefehle {
 public:
  // Adds the subcommands and their options to the app.
  explicit SteuerBefehle(CLI::App &app);
  // After parsing: the exit status of the subcommand given, or nothing when
  // it is none of these.
  std::optional<int> fuehreAus();

 private:
  int klient();

  SteuerungsOptionen steuerOpt_;
  KlientOptionen klientOpt_;
  double timeout_ = 5.0;
  SendeOptionen sendeOpt_;
  std::string modus_ = "run";
  bool ohnePruefsumme_ = false;
  std::string datei_, name_, speicher_;
  std::vector<std::string> eingaben_;  // --input of the controller
  std::string tasten_;                 // --keys of the controller
  CLI::App *controller_, *send_, *list_, *get_, *dump_, *save_, *delete_, *erase_, *stop_, *restart_, *step_;
};

}  // namespace velatool
