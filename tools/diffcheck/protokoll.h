// What a copy's process sends to the comparing process through its pipe:
// records of a fixed head and a payload.
//
//   Namen   once at the start: the copy's object names (hash, length, text)
//   Aufruf  after every library call: an AufrufKopf, the changed 64-byte
//           blocks of the snapshot (index, bytes), the new test-data file,
//           what the call wrote to standard output
//   Fertig  all inputs done
//   Fehler  the copy could not start: a message
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace diffcheck {

enum class Satz : uint32_t { Namen = 1, Aufruf = 2, Fertig = 3, Fehler = 4 };

struct SatzKopf {
  Satz art;
  uint32_t laenge;  // bytes of payload
};

enum Funktion : uint8_t { F_RESET, F_TESTDATEI, F_INIT, F_FIND, F_MARKEN, F_EXEC };
inline const char *funktionsName(int f) {
  static const char *const namen[] = {"vela_reset",        "vela_setTestDatei", "DelphiInit",
                                      "findFirstProgramm", "FetchMarken",       "execBefehl"};
  return f >= 0 && f <= F_EXEC ? namen[f] : "?";
}

struct AufrufKopf {
  uint32_t eingabe;   // index of the program
  uint8_t pruefen;    // isChecking of the run
  uint8_t funktion;   // Funktion
  uint8_t testdatei;  // 1: the call wrote the test-data file (contents follow)
  uint8_t reserve;
  uint32_t schritt;   // number of the call in the run
  uint32_t bloecke;   // changed snapshot blocks that follow
  int64_t rueckgabe;  // return value (a pointer as object and offset)
  uint32_t dateiLaenge;
  uint32_t ausgabeLaenge;  // bytes the call wrote to standard output
};

// One program to run in both copies.
struct Eingabe {
  std::string name;
  std::string text;  // CR line ends, at most 6399 bytes
};

// Settings that both copies share.
struct Lauf {
  const std::vector<Eingabe> *eingaben;
  uint64_t seed;
  int schritte;  // execBefehl calls per run at most
};

// Runs every input in the library at pfad with its working directory
// verzeichnis, writing the records to fd. Returns the exit code of the
// copy's process.
int kopieLaeuft(const std::string &pfad, const std::string &verzeichnis, const Lauf &lauf, int fd);

}  // namespace diffcheck
