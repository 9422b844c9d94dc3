// The store directory of a controller: its FLASH and EEPROM images as
// files, kept whole across crashes and power loss.
//
//   DIR/flash.bin    200 bytes, erased bytes 0xFF
//   DIR/eeprom.bin   200 bytes, empty = NUL bytes
//   DIR/lock         held (flock) while a controller uses DIR
//
// A file is only ever replaced: the new image goes into DIR/NAME.tmp,
// which is synced, renamed over DIR/NAME, and then the directory is
// synced. At any instant DIR/NAME is the old image or the new one.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>

namespace velatool {

constexpr int kBildGroesse = 200;
using Bild = std::array<uint8_t, kBildGroesse>;

// The directory cannot be used (not creatable, locked by another
// controller, a file that cannot be read or written); what() is the message.
struct AblageFehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The default store directory: $XDG_STATE_HOME/vela, else ~/.local/state/vela.
std::string standardAblage();

// The erased image of a store: 0xFF for FLASH ('F'), NUL for EEPROM ('E').
Bild leeresBild(char speicher);

class Ablage {
 public:
  // Creates the directory if needed, takes its lock and reads both images.
  // A missing image file is created erased; a file of the wrong size is
  // reported on `meldungen`, renamed to NAME.bad-N and replaced by an erased
  // image. Throws AblageFehler.
  Ablage(const std::string &verzeichnis, std::ostream &meldungen);
  ~Ablage();
  Ablage(const Ablage &) = delete;
  Ablage &operator=(const Ablage &) = delete;

  // The image of 'F' or 'E' as last read or written.
  const Bild &bild(char speicher) const;
  // Replaces the file of 'F' or 'E' by the image when it differs from the
  // one on disk. Throws AblageFehler when it cannot be written; the old
  // file is then still whole.
  void schreibe(char speicher, const Bild &b);
  const std::string &verzeichnis() const { return verzeichnis_; }

 private:
  std::string pfad(char speicher) const;
  void lade(char speicher, std::ostream &meldungen);
  void ersetze(const std::string &ziel, const Bild &b);

  std::string verzeichnis_;
  int sperre_ = -1;
  int ordner_ = -1;  // the directory, for syncing renames
  Bild flash_{}, eeprom_{};
};

}  // namespace velatool
