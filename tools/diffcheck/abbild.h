// The observable state of one library copy after a call, as bytes that
// compare across copies: every exported variable, with each pointer turned
// into the object it points into and its offset there, since two copies
// live at different addresses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vela.h"

namespace diffcheck {

// The exported variables of one loaded copy (resolved with dlsym).
struct Quelle {
  int16_t *befehl;
  char **nextBefp;
  char *programm;
  uint8_t *isChecking;
  int16_t *handshake;
  int32_t *wertVar;
  PunktEintrag *punktVar;
  char (*textVar)[VELA_TEXTLAENGE];
  PunktEintrag *xyTeached;
  char *(*marke)[VELA_MARKEN];
  ReturnEintrag (*returnAdr)[VELA_STACKTIEFE];
  int16_t *usedReturns;
  LoopEintrag (*loop)[VELA_STACKTIEFE];
  int16_t *usedLoops;
  const char *const *fehlerTxt;
  const char *dllVersion;
};

// A pointer as (object, offset) in 64 bits: the object is kNull, kProgramm,
// kAussen (no known object; offset 0) or the hash of the name of the
// library object it points into.
constexpr uint32_t kNull = 0;
constexpr uint32_t kProgramm = 1;
constexpr uint32_t kAussen = 0xFFFFFFFFu;
inline uint64_t zeigerWert(uint32_t objekt, uint32_t versatz) { return uint64_t{objekt} << 32 | versatz; }

// Hash of an object name, never one of the fixed codes above.
uint32_t namensHash(const std::string &name);

// The data objects of one loaded library, from its ELF symbol table, so
// that a pointer outside Programm still compares by object and offset.
class Adressen {
 public:
  // basis: load bias of the library (link_map l_addr).
  void lade(const std::string &datei, uintptr_t basis, const char *programm);
  uint64_t normiere(const void *p) const;
  // Hash and name of every object, for the report.
  std::vector<std::pair<uint32_t, std::string>> namen() const;

 private:
  struct Objekt {
    uintptr_t anfang;
    std::size_t groesse;
    uint32_t hash;
    std::string name;
  };
  uintptr_t programm_ = 0;
  std::vector<Objekt> objekte_;  // by address
};

enum class Art : uint8_t { I16, U8, I32, Text, Zeiger };

// One exported variable (or one member of an array of structs) in the
// snapshot: dims are its array dimensions, laenge the bytes of one Text.
struct Feld {
  std::string name;
  std::string glied;  // ".X", ".Anzahl", ... or empty
  Art art;
  std::vector<int> dims;
  int laenge;
  std::size_t offset;
  std::size_t groesse;
  int elemente() const;
  int elementGroesse() const;
  // "V_Loop[1][3].Anzahl" for element i.
  std::string elementName(int i) const;
};

class Abbild {
 public:
  static constexpr std::size_t kBlock = 64;  // unit of the change records

  // Writes the state behind q into daten; the layout (felder) is built on
  // the first call and the same for every copy.
  void nimmAuf(const Quelle &q, const Adressen &a);

  std::vector<uint8_t> daten;  // a multiple of kBlock
  std::vector<Feld> felder;

 private:
  uint8_t *platz(const char *name, const char *glied, Art art, std::vector<int> dims, int laenge = 1);
  bool fertig_ = false;
  std::size_t index_ = 0;
};

// The snapshot layout without a library: the host's side of the comparison.
std::vector<Feld> layout(std::size_t &groesse);

}  // namespace diffcheck
