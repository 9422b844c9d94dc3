// The store directory: lock, reading the images, replacing them atomically.
#include "ablage.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace velatool {

namespace {

std::string systemFehler(const std::string &was) { return was + ": " + std::strerror(errno); }

bool schreibeAlles(int fd, const uint8_t *p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

std::string standardAblage() {
  if (const char *x = std::getenv("XDG_STATE_HOME"); x != nullptr && *x == '/')
    return (std::filesystem::path(x) / "vela").string();
  if (const char *h = std::getenv("HOME"); h != nullptr && *h != '\0')
    return (std::filesystem::path(h) / ".local" / "state" / "vela").string();
  throw AblageFehler("no store directory: set --store, XDG_STATE_HOME or HOME");
}

Bild leeresBild(char speicher) {
  Bild b;
  b.fill(speicher == 'F' ? 0xFF : 0x00);
  return b;
}

Ablage::Ablage(const std::string &verzeichnis, std::ostream &meldungen) : verzeichnis_(verzeichnis) {
  std::error_code fehler;
  std::filesystem::create_directories(verzeichnis_, fehler);
  if (fehler)
    throw AblageFehler("cannot create the store directory " + verzeichnis_ + ": " + fehler.message());
  ordner_ = ::open(verzeichnis_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (ordner_ < 0) throw AblageFehler(systemFehler("cannot open the store directory " + verzeichnis_));
  const std::string sperrDatei = verzeichnis_ + "/lock";
  sperre_ = ::open(sperrDatei.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (sperre_ < 0) {
    ::close(ordner_);
    throw AblageFehler(systemFehler("cannot open " + sperrDatei));
  }
  if (::flock(sperre_, LOCK_EX | LOCK_NB) != 0) {
    const bool belegt = errno == EWOULDBLOCK;
    const std::string text = belegt ? "another controller uses the store directory " + verzeichnis_
                                    : systemFehler("cannot lock " + sperrDatei);
    ::close(sperre_);
    ::close(ordner_);
    throw AblageFehler(text);
  }
  try {
    lade('F', meldungen);
    lade('E', meldungen);
  } catch (...) {
    ::close(sperre_);
    ::close(ordner_);
    throw;
  }
}

Ablage::~Ablage() {
  ::close(sperre_);  // releases the lock
  ::close(ordner_);
}

std::string Ablage::pfad(char speicher) const {
  return verzeichnis_ + (speicher == 'F' ? "/flash.bin" : "/eeprom.bin");
}

const Bild &Ablage::bild(char speicher) const { return speicher == 'F' ? flash_ : eeprom_; }

void Ablage::lade(char speicher, std::ostream &meldungen) {
  const std::string datei = pfad(speicher);
  Bild &b = speicher == 'F' ? flash_ : eeprom_;
  b = leeresBild(speicher);
  ::unlink((datei + ".tmp").c_str());  // a replacement that a crash cut short

  const int fd = ::open(datei.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) throw AblageFehler(systemFehler("cannot read " + datei));
    ersetze(datei, b);
    return;
  }
  struct stat st {};
  ::fstat(fd, &st);
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw AblageFehler(datei + " is not a file");
  }
  ssize_t gelesen = 0;
  if (st.st_size == kBildGroesse) {
    while ((gelesen = ::read(fd, b.data(), b.size())) < 0 && errno == EINTR) {
    }
  }
  ::close(fd);
  if (st.st_size == kBildGroesse && gelesen == kBildGroesse) return;
  if (st.st_size == kBildGroesse) throw AblageFehler(systemFehler("cannot read " + datei));

  std::string beiseite;
  for (int n = 1;; ++n) {
    beiseite = datei + ".bad-" + std::to_string(n);
    if (::access(beiseite.c_str(), F_OK) != 0) break;
  }
  if (::rename(datei.c_str(), beiseite.c_str()) != 0)
    throw AblageFehler(systemFehler("cannot move " + datei + " aside"));
  meldungen << "vela: " << datei << " has " << st.st_size << " bytes instead of " << kBildGroesse
            << "; moved to " << beiseite << ", the " << (speicher == 'F' ? "FLASH" : "EEPROM")
            << " store starts erased\n";
  b = leeresBild(speicher);
  ersetze(datei, b);
}

void Ablage::ersetze(const std::string &ziel, const Bild &b) {
  const std::string temp = ziel + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw AblageFehler(systemFehler("cannot write " + temp));
  const bool gut = schreibeAlles(fd, b.data(), b.size()) && ::fsync(fd) == 0;
  const std::string text = systemFehler("cannot write " + temp);
  ::close(fd);
  if (!gut) {
    ::unlink(temp.c_str());
    throw AblageFehler(text);
  }
  if (::rename(temp.c_str(), ziel.c_str()) != 0) {
    const std::string t = systemFehler("cannot replace " + ziel);
    ::unlink(temp.c_str());
    throw AblageFehler(t);
  }
  if (::fsync(ordner_) != 0) throw AblageFehler(systemFehler("cannot sync " + verzeichnis_));
}

void Ablage::schreibe(char speicher, const Bild &b) {
  Bild &alt = speicher == 'F' ? flash_ : eeprom_;
  if (alt == b) return;
  ersetze(pfad(speicher), b);
  alt = b;
}

}  // namespace velatool
