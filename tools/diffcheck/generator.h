// Random programs of the command language: mostly valid lines of every
// command family, labels with jumps and calls to them, nested loops, named
// programs, and some garbage. Circle radii and axis scales stay small so
// that a circle, which the library traces in one call, stays short.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace diffcheck {

class Generator {
 public:
  explicit Generator(uint64_t seed) : zustand_(seed) {}
  // A program text with CR line ends, at most 6399 characters.
  std::string programm();

 private:
  uint64_t naechste();
  int zahl(int von, int bis);  // von..bis inclusive
  bool chance(int prozent) { return zahl(0, 99) < prozent; }
  template <class T>
  T wahl(const std::vector<T> &v) {
    return v[static_cast<std::size_t>(zahl(0, static_cast<int>(v.size()) - 1))];
  }

  std::string leer();  // blanks between tokens: mostly none or one
  std::string konstante();
  std::string var();
  std::string operand(int tiefe);
  std::string ausdruck(int tiefe = 0);
  std::string klein(int grenze);  // a literal in -grenze..grenze
  std::string achse();
  std::string textKonstante();
  std::string marke();
  std::string zeile();
  std::string verdorben(std::string z);
  std::string koerper(int zeilen);

  uint64_t zustand_;
  std::vector<std::string> programme_;  // names of the current text's programs
  std::vector<int> marken_;             // labels of the current program
  std::vector<int> unterprogramme_;     // labels that begin a subroutine
  int loopTiefe_ = 0;
};

}  // namespace diffcheck
