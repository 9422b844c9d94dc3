#include "steuerbefehle.h"

#include <cstdlib>
#include <iostream>

#include "optionen.h"

namespace velatool {

SteuerBefehle::SteuerBefehle(CLI::App &app) {
  if (const char *l = std::getenv("VELA_LINE")) klientOpt_.leitung = l;

  controller_ = app.add_subcommand("controller", "run the controller monitor on this machine's devices");
  auto *line =
      controller_->add_option("--line", steuerOpt_.leitung, "host line: a serial device or pseudo-terminal");
  auto *pty =
      controller_->add_flag("--pty", steuerOpt_.pty,
                            "make a pseudo-terminal as the host line; its path is the first line of output");
  line->excludes(pty);
  controller_->add_option("--baud", steuerOpt_.baud, "baud rate of a serial line (default 115200)");
  controller_->add_option("--store", steuerOpt_.ablage,
                          "directory of flash.bin and eeprom.bin (default: $XDG_STATE_HOME/vela)");
  controller_->add_option("--display-log", steuerOpt_.displayLog,
                          "append every change of the display to FILE");
  controller_->add_option("--tick-us", steuerOpt_.tickUs, "microseconds of one tick (default 1000)")
      ->check(CLI::Range(1, 1000000));
  controller_->add_option("--input", eingaben_,
                          "input states N=V[@SECONDS],... from the start (repeatable; unset inputs are 0)");
  controller_->add_option("--keys", tasten_, "keypad presses SECONDS=KEY,... from the start");
  controller_->add_option(
      "--web", steuerOpt_.web,
      "serve the front panel over HTTP on [ADDRESS:]PORT (address 127.0.0.1 unless given; "
      "port 0: a free one); its URL is printed");
  controller_->add_option("--web-token", steuerOpt_.webToken,
                          "every request of the panel must carry TOKEN (required off the loopback)");
  controller_
      ->add_option("--download-timeout", steuerOpt_.downloadTimeout,
                   "seconds of silence after which a download that has begun its text gives up "
                   "(default 30; 0: never)")
      ->check(CLI::Range(0.0, 86400.0));

  auto klientOptionen = [this](CLI::App *sub) {
    sub->add_option("--line", klientOpt_.leitung, "the controller's line (default: $VELA_LINE)");
    sub->add_option("--baud", klientOpt_.baud, "baud rate of a serial line (default 115200)");
    sub->add_option("--timeout", timeout_, "seconds to wait for each reply (default 5)")
        ->check(CLI::PositiveNumber);
    sub->add_flag("--wait-idle", klientOpt_.warteLeerlauf,
                  "when the controller does not answer, wait within --timeout until it gives up an "
                  "interrupted download, then ask again");
    sub->add_option("--state", klientOpt_.zustand,
                    "the client's state file of the line (default: $XDG_STATE_HOME/vela/lines/...)");
  };

  send_ = app.add_subcommand("send", "download a program to the controller");
  send_->add_option("FILE", datei_, "program file")->required();
  send_->add_option("--mode", modus_, "run (default), step, display-step or remote")
      ->check(CLI::IsMember({"run", "step", "display-step", "remote"}));
  send_->add_flag("--trace", sendeOpt_.trace, "show each command line on the display before it runs");
  send_->add_flag("--no-checksum", ohnePruefsumme_, "send without the checksum");
  send_->add_flag("--line-acks", sendeOpt_.zeilenQuittung,
                  "wait for the controller's acknowledgement of each line");

  list_ = app.add_subcommand("list", "list the programs of the RAM, FLASH and EEPROM stores");
  get_ = app.add_subcommand("get", "print a program of the controller");
  get_->add_option("NAME", name_, "program name (1 to 5 characters)")->required();
  dump_ = app.add_subcommand("dump", "print a whole store of the controller");
  dump_->add_option("STORE", speicher_, "R, F or E")->required()->check(CLI::IsMember({"R", "F", "E"}));
  save_ = app.add_subcommand("save", "save the RAM store into FLASH");
  delete_ = app.add_subcommand("delete", "delete a program from EEPROM (or RAM)");
  delete_->add_option("NAME", name_, "program name (1 to 5 characters)")->required();
  erase_ = app.add_subcommand("erase", "erase the FLASH store");
  stop_ = app.add_subcommand("stop", "abandon the run: the controller waits for a download");
  restart_ = app.add_subcommand("restart", "start the running program afresh");
  step_ = app.add_subcommand("step", "remote step: run one command, print the new position and its line");
  for (CLI::App *s : {send_, list_, get_, dump_, save_, delete_, erase_, stop_, restart_, step_})
    klientOptionen(s);
}

std::optional<int> SteuerBefehle::fuehreAus() {
  if (controller_->parsed()) {
    if (steuerOpt_.leitung.empty() && !steuerOpt_.pty) {
      std::cerr << "vela: controller needs --line PATH or --pty\n";
      return 2;
    }
    try {
      steuerOpt_.eingaben = leseEingaben(eingaben_);
      if (!tasten_.empty()) steuerOpt_.tasten = leseTasten(tasten_);
    } catch (const OptionsFehler &e) {
      std::cerr << "vela: " << e.what() << '\n';
      return 2;
    }
    return laufeSteuerung(steuerOpt_);
  }
  for (CLI::App *s : {send_, list_, get_, dump_, save_, delete_, erase_, stop_, restart_, step_})
    if (s->parsed()) return klient();
  return std::nullopt;
}

int SteuerBefehle::klient() {
  klientOpt_.timeoutMs = static_cast<int>(timeout_ * 1000.0);
  sendeOpt_.pruefsumme = !ohnePruefsumme_;
  sendeOpt_.modus = modus_ == "step"           ? Modus::Schritt
                    : modus_ == "display-step" ? Modus::DisplaySchritt
                    : modus_ == "remote"       ? Modus::Fern
                                               : Modus::Lauf;
  try {
    Klient k(klientOpt_);
    if (send_->parsed())
      k.sende(datei_, sendeOpt_, std::cout, std::cerr);
    else if (list_->parsed())
      k.liste(std::cout);
    else if (get_->parsed())
      k.hole(name_, std::cout);
    else if (dump_->parsed())
      k.dump(speicher_[0], std::cout);
    else if (save_->parsed())
      k.sichere(std::cout);
    else if (delete_->parsed())
      k.loesche(name_, std::cout);
    else if (erase_->parsed())
      k.loescheFlash(std::cout);
    else if (stop_->parsed())
      k.stoppe(std::cout);
    else if (restart_->parsed())
      k.neustart(std::cout);
    else
      k.schritt(std::cout);
    return 0;
  } catch (const Ablehnung &e) {
    std::cout.flush();
    std::cerr << "vela: " << e.what() << '\n';
    return 1;
  } catch (const std::exception &e) {  // KlientFehler, LeitungsFehler
    std::cout.flush();
    std::cerr << "vela: " << e.what() << '\n';
    return 2;
  }
}

}  // namespace velatool
