// Parsing of the command-line values that the option library cannot check
// itself: input states over time, key presses, positive counts.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "simulation.h"

namespace velatool {

// A value the command line does not accept; what() names it.
struct OptionsFehler : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

// "N=V[@T],..." (T in simulated seconds, default 0): input N reads V from T on.
std::vector<Eingabe> leseEingaben(const std::string &text);
// The same for every value of a repeated --input, in order.
std::vector<Eingabe> leseEingaben(const std::vector<std::string> &texte);
// "T=KEY,...": keypad key KEY (0..16) pressed at T simulated seconds.
std::vector<Tastendruck> leseTasten(const std::string &text);
// A whole decimal integer >= 1 (no sign, no trailing text).
long lesePositiv(const std::string &text, const std::string &option);
// A decimal number of seconds > 0.
double leseSekunden(const std::string &text, const std::string &option);

}  // namespace velatool
