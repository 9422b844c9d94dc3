// vela_diffcheck: runs the same programs in two builds of libvela.so, each
// in its own process, and compares after every library call everything a
// host can see: the return value, every exported variable, the test-data
// file and what the call wrote to standard output. It stops at the first
// difference.
//
//   vela_diffcheck [--seed N] [--random N] [--steps N] LIB_A LIB_B [INPUT...]
//
// INPUT is a program file or a directory of them. Files ending in .vela get
// their LF or CR LF line ends turned into CR, as the vela tool loads them;
// other files (fuzz inputs) are taken byte for byte. Then come N random
// programs (default 3000) from the seed (default 1).
//
// Exit code: 0 no difference, 1 a difference, 2 the check could not run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "abbild.h"
#include "generator.h"
#include "protokoll.h"

namespace fs = std::filesystem;
using namespace diffcheck;

namespace {

std::string wandleZeilenenden(const std::string &roh) {
  std::string text;
  for (std::size_t i = 0; i < roh.size(); ++i) {
    if (roh[i] == '\r' && i + 1 < roh.size() && roh[i + 1] == '\n') ++i;
    text += roh[i] == '\n' ? '\r' : roh[i];
  }
  return text;
}

bool leseEingabe(const fs::path &pfad, std::vector<Eingabe> &eingaben) {
  std::ifstream f(pfad, std::ios::binary);
  if (!f) return false;
  std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (pfad.extension() == ".vela") text = wandleZeilenenden(text);
  if (text.size() >= VELA_PROGRAMM_GROESSE) text.resize(VELA_PROGRAMM_GROESSE - 1);
  eingaben.push_back({pfad.string(), text});
  return true;
}

// One copy's process as the comparing side sees it.
struct Kopie {
  Kopie(const char *k, std::string b) : kennung(k), bibliothek(std::move(b)) {}
  const char *kennung;  // "A" or "B"
  std::string bibliothek;
  pid_t pid = -1;
  int fd = -1;
  std::string puffer;
  std::size_t lesePos = 0;
  std::vector<uint8_t> abbild;
  std::map<uint32_t, std::string> namen;

  bool fuelle(std::size_t n) {
    while (puffer.size() - lesePos < n) {
      if (lesePos > 0) puffer.erase(0, lesePos), lesePos = 0;
      char block[1 << 16];
      const ssize_t r = read(fd, block, sizeof block);
      if (r <= 0) return false;
      puffer.append(block, static_cast<std::size_t>(r));
    }
    return true;
  }
  // The next record; false at the end of the stream.
  bool lies(SatzKopf &kopf, std::string &inhalt) {
    if (!fuelle(sizeof kopf)) return false;
    std::memcpy(&kopf, puffer.data() + lesePos, sizeof kopf);
    if (!fuelle(sizeof kopf + kopf.laenge)) return false;
    inhalt.assign(puffer, lesePos + sizeof kopf, kopf.laenge);
    lesePos += sizeof kopf + kopf.laenge;
    return true;
  }
  std::string ende() {
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid) {
      pid = -1;
      if (WIFSIGNALED(status))
        return std::string("killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
      return "exited with code " + std::to_string(WEXITSTATUS(status));
    }
    return "ended";
  }
  void beende() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      pid = -1;
    }
  }
};

// s with CR and other control bytes escaped (and quotes when it will be
// shown in quotes).
std::string zeichen(const std::string &s, bool inAnfuehrung = true) {
  std::string out;
  for (const unsigned char c : s) {
    if (c == '\r')
      out += "\\r";
    else if (inAnfuehrung && (c == '\\' || c == '"'))
      out += std::string("\\") + static_cast<char>(c);
    else if (c < 32 || c > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Line (1-based) and its text at an offset of a program store.
std::string zeileBei(const uint8_t *programm, std::size_t versatz) {
  int zeile = 1;
  std::size_t anfang = 0;
  for (std::size_t i = 0; i < versatz && i < VELA_PROGRAMM_GROESSE; ++i)
    if (programm[i] == '\r') ++zeile, anfang = i + 1;
  std::size_t ende = anfang;
  while (ende < VELA_PROGRAMM_GROESSE && programm[ende] != '\r' && programm[ende] != '\0') ++ende;
  return "line " + std::to_string(zeile) + " \"" +
         zeichen(std::string(reinterpret_cast<const char *>(programm + anfang), ende - anfang)) + "\"";
}

class Vergleich {
 public:
  Vergleich(Kopie &a, Kopie &b, const std::vector<Eingabe> &eingaben, int schritte)
      : a_(a), b_(b), eingaben_(eingaben), schritte_(schritte) {
    felder_ = layout(groesse_);
    programm_ = std::find_if(felder_.begin(), felder_.end(), [](const Feld &f) {
                  return f.name == "Programm";
                })->offset;
    a.abbild.assign(groesse_, 0);
    b.abbild.assign(groesse_, 0);
    for (const Feld &f : felder_) werte += f.elemente();
  }
  int laufe();

  long aufrufe = 0, execAufrufe = 0, laeufe = 0, dateien = 0, dateiBytes = 0, ausgabeBytes = 0;
  long fehlerAufrufe = 0, anGrenze = 0, ohneSchritt = 0;
  std::set<int> befehle;      // Befehl codes after successful steps
  std::set<int> fehlerCodes;  // error codes returned by execBefehl
  int werte = 0;              // values in one snapshot

 private:
  bool namen(Kopie &k);
  bool wende(Kopie &k, const std::string &inhalt, AufrufKopf &kopf, std::string &datei, std::string &ausgabe);
  std::string wert(const Feld &f, int i, const Kopie &k) const;
  std::string zeiger(uint64_t z, const Kopie &k) const;
  int unterschied(const AufrufKopf &k, const std::string &was, const std::string &wa, const std::string &wb);
  int abbruch(Kopie &weg, Kopie &da, const std::string *satz);
  // At the start of a run: how the previous one ended.
  void zaehleLauf() {
    if (laufSchritte_ == 0) ++ohneSchritt;
    if (laufSchritte_ == schritte_) ++anGrenze;
    laufSchritte_ = 0;
  }

  Kopie &a_, &b_;
  const std::vector<Eingabe> &eingaben_;
  int schritte_;
  long laufSchritte_ = -1;  // execBefehl calls of the current run
  std::vector<Feld> felder_;
  std::size_t groesse_ = 0, programm_ = 0;
  std::string zeileVorher_;
  AufrufKopf letzter_{};  // the last call both copies reported
};

bool Vergleich::namen(Kopie &k) {
  SatzKopf s{};
  std::string inhalt;
  if (!k.lies(s, inhalt)) {
    std::fprintf(stderr, "vela_diffcheck: copy %s (%s) %s before it started\n", k.kennung,
                 k.bibliothek.c_str(), k.ende().c_str());
    return false;
  }
  if (s.art == Satz::Fehler) {
    std::fprintf(stderr, "vela_diffcheck: copy %s: %s\n", k.kennung, inhalt.c_str());
    return false;
  }
  for (std::size_t p = 0; p + 8 <= inhalt.size();) {
    uint32_t hash, n;
    std::memcpy(&hash, &inhalt[p], 4);
    std::memcpy(&n, &inhalt[p + 4], 4);
    k.namen[hash] = inhalt.substr(p + 8, n);
    p += 8 + n;
  }
  return true;
}

bool Vergleich::wende(Kopie &k, const std::string &inhalt, AufrufKopf &kopf, std::string &datei,
                      std::string &ausgabe) {
  std::memcpy(&kopf, inhalt.data(), sizeof kopf);
  std::size_t p = sizeof kopf;
  for (uint32_t i = 0; i < kopf.bloecke; ++i, p += 4 + Abbild::kBlock) {
    uint32_t block;
    std::memcpy(&block, &inhalt[p], 4);
    if ((block + 1) * Abbild::kBlock > k.abbild.size()) return false;
    std::memcpy(&k.abbild[block * Abbild::kBlock], &inhalt[p + 4], Abbild::kBlock);
  }
  datei.assign(inhalt, p, kopf.dateiLaenge);
  ausgabe.assign(inhalt, p + kopf.dateiLaenge, kopf.ausgabeLaenge);
  return true;
}

std::string Vergleich::zeiger(uint64_t z, const Kopie &k) const {
  const auto objekt = static_cast<uint32_t>(z >> 32);
  const auto versatz = static_cast<uint32_t>(z);
  if (objekt == kNull) return "null";
  if (objekt == kAussen) return "outside every known object";
  if (objekt == kProgramm)
    return "Programm+" + std::to_string(versatz) + " (" + zeileBei(k.abbild.data() + programm_, versatz) +
           ")";
  const auto n = k.namen.find(objekt);
  return (n != k.namen.end() ? n->second : "object#" + std::to_string(objekt)) + "+" +
         std::to_string(versatz);
}

std::string Vergleich::wert(const Feld &f, int i, const Kopie &k) const {
  const uint8_t *p = k.abbild.data() + f.offset + static_cast<std::size_t>(i * f.elementGroesse());
  switch (f.art) {
    case Art::I16: {
      int16_t v;
      std::memcpy(&v, p, 2);
      return std::to_string(v);
    }
    case Art::U8: return std::to_string(*p);
    case Art::I32: {
      int32_t v;
      std::memcpy(&v, p, 4);
      return std::to_string(v);
    }
    case Art::Zeiger: {
      uint64_t v;
      std::memcpy(&v, p, 8);
      return zeiger(v, k);
    }
    case Art::Text: {
      std::size_t n = static_cast<std::size_t>(f.laenge);
      while (n > 0 && p[n - 1] == 0) --n;
      return "\"" + zeichen(std::string(reinterpret_cast<const char *>(p), n)) + "\"";
    }
  }
  return "?";
}

int Vergleich::unterschied(const AufrufKopf &k, const std::string &was, const std::string &wa,
                           const std::string &wb) {
  const Eingabe &e = eingaben_[k.eingabe];
  std::printf("DIFFERENCE in %s, run with isChecking=%d, call %u (%s)\n", e.name.c_str(), k.pruefen,
              k.schritt, funktionsName(k.funktion));
  if (k.funktion == F_EXEC) std::printf("  executing %s\n", zeileVorher_.c_str());
  std::printf("  %s\n    A %s: %s\n    B %s: %s\n", was.c_str(), a_.bibliothek.c_str(), wa.c_str(),
              b_.bibliothek.c_str(), wb.c_str());
  std::printf("program:\n");
  int zeile = 1;
  std::string z;
  for (std::size_t i = 0; i <= e.text.size(); ++i) {
    if (i == e.text.size() || e.text[i] == '\r') {
      if (i < e.text.size() || !z.empty()) std::printf("%5d  %s\n", zeile++, zeichen(z, false).c_str());
      z.clear();
    } else {
      z += e.text[i];
    }
  }
  a_.beende();
  b_.beende();
  return 1;
}

// A copy's stream ended early. satz: the other copy's record at that
// place when already read. A copy sends every report of a run before the
// next run starts, so the first report missing belongs to the run in
// which its process ended.
int Vergleich::abbruch(Kopie &weg, Kopie &da, const std::string *satz) {
  const std::string wie = weg.ende();
  SatzKopf s{Satz::Aufruf, 0};
  std::string inhalt;
  if (satz != nullptr) inhalt = *satz;
  AufrufKopf k{};
  if (satz == nullptr && !da.lies(s, inhalt)) {
    const std::string wieDa = da.ende();
    std::printf("both copies ended unexpectedly (A %s, B %s) after %s, isChecking=%d, call %u\n",
                (&weg == &a_ ? wie : wieDa).c_str(), (&weg == &a_ ? wieDa : wie).c_str(),
                eingaben_[letzter_.eingabe].name.c_str(), letzter_.pruefen, letzter_.schritt);
    return 2;
  }
  if (s.art != Satz::Aufruf || inhalt.size() < sizeof k) {
    std::printf("copy %s %s after its last input\n", weg.kennung, wie.c_str());
    da.beende();
    return 1;
  }
  std::memcpy(&k, inhalt.data(), sizeof k);
  const std::string was =
      std::string("copy ") + weg.kennung + "'s process " + wie + " in this run, at or after this call";
  return unterschied(k, was, &weg == &a_ ? wie : "went on", &weg == &a_ ? "went on" : wie);
}

int Vergleich::laufe() {
  if (!namen(a_) || !namen(b_)) return 2;
  SatzKopf sa{}, sb{};
  std::string ia, ib, da, db, aa, ab;
  AufrufKopf ka{}, kb{};
  uint64_t next = 0;
  const auto befehlOffset =
      std::find_if(felder_.begin(), felder_.end(), [](const Feld &f) { return f.name == "Befehl"; })->offset;
  const auto nextOffset = std::find_if(felder_.begin(), felder_.end(), [](const Feld &f) {
                            return f.name == "NextBefp";
                          })->offset;
  for (;;) {
    if (!a_.lies(sa, ia)) return abbruch(a_, b_, nullptr);
    if (!b_.lies(sb, ib)) return abbruch(b_, a_, &ia);
    if (sa.art == Satz::Fertig && sb.art == Satz::Fertig) {
      zaehleLauf();
      return 0;
    }
    if (sa.art != Satz::Aufruf || sb.art != Satz::Aufruf) {
      std::printf("the copies' reports differ in kind (%u, %u)\n", static_cast<unsigned>(sa.art),
                  static_cast<unsigned>(sb.art));
      a_.beende(), b_.beende();
      return 2;
    }
    std::memcpy(&next, a_.abbild.data() + nextOffset, 8);
    zeileVorher_ = zeiger(next, a_);
    if (!wende(a_, ia, ka, da, aa) || !wende(b_, ib, kb, db, ab)) return 2;
    letzter_ = ka;
    ++aufrufe;
    if (ka.funktion == F_EXEC) ++execAufrufe, ++laufSchritte_;
    if (ka.funktion == F_RESET) {
      ++laeufe;
      zaehleLauf();
    }
    if (ka.eingabe != kb.eingabe || ka.pruefen != kb.pruefen || ka.funktion != kb.funktion ||
        ka.schritt != kb.schritt) {
      auto wo = [](const AufrufKopf &k) {
        return "input " + std::to_string(k.eingabe) + " isChecking " + std::to_string(k.pruefen) + " call " +
               std::to_string(k.schritt) + " " + funktionsName(k.funktion);
      };
      return unterschied(ka, "the copies' host loops went different ways", wo(ka), wo(kb));
    }
    if (ka.funktion == F_EXEC) {
      int16_t befehl;
      std::memcpy(&befehl, a_.abbild.data() + befehlOffset, 2);
      if (ka.rueckgabe != 0)
        ++fehlerAufrufe, fehlerCodes.insert(static_cast<int>(ka.rueckgabe));
      else
        befehle.insert(befehl);
    }
    if (ka.rueckgabe != kb.rueckgabe) {
      const bool zeigt = ka.funktion == F_FIND;
      return unterschied(ka, "return value",
                         zeigt ? zeiger(uint64_t(ka.rueckgabe), a_) : std::to_string(ka.rueckgabe),
                         zeigt ? zeiger(uint64_t(kb.rueckgabe), b_) : std::to_string(kb.rueckgabe));
    }
    if (std::memcmp(a_.abbild.data(), b_.abbild.data(), groesse_) != 0) {
      for (const Feld &f : felder_) {
        const uint8_t *pa = a_.abbild.data() + f.offset, *pb = b_.abbild.data() + f.offset;
        if (std::memcmp(pa, pb, f.groesse) == 0) continue;
        if (f.name == "Programm") {
          std::size_t i = 0;
          while (pa[i] == pb[i]) ++i;
          auto byte = [&](const uint8_t *p, Kopie &k) {
            char s[16];
            std::snprintf(s, sizeof s, "0x%02x", p[i]);
            return std::string(s) + " in " + zeileBei(k.abbild.data() + f.offset, i);
          };
          return unterschied(ka, "Programm[" + std::to_string(i) + "]", byte(pa, a_), byte(pb, b_));
        }
        for (int i = 0; i < f.elemente(); ++i) {
          const auto g = static_cast<std::size_t>(f.elementGroesse());
          if (std::memcmp(pa + i * g, pb + i * g, g) != 0)
            return unterschied(ka, f.elementName(i), wert(f, i, a_), wert(f, i, b_));
        }
      }
    }
    ausgabeBytes += static_cast<long>(aa.size());
    if (aa != ab) {
      auto text = [](const std::string &t) { return "\"" + zeichen(t.substr(0, 200)) + "\""; };
      return unterschied(ka, "output of the call", text(aa), text(ab));
    }
    if (ka.testdatei != kb.testdatei)
      return unterschied(ka, "test-data file written", ka.testdatei ? "yes" : "no",
                         kb.testdatei ? "yes" : "no");
    if (ka.testdatei) {
      ++dateien;
      dateiBytes += static_cast<long>(da.size());
      if (da != db) {
        std::size_t i = 0;
        while (i < da.size() && i < db.size() && da[i] == db[i]) ++i;
        const std::size_t anfang = da.rfind('\n', i) == std::string::npos ? 0 : da.rfind('\n', i) + 1;
        auto stelle = [&](const std::string &d) {
          return std::to_string(d.size()) + " bytes, at byte " + std::to_string(i) + ": \"" +
                 zeichen(d.substr(anfang, 40)) + "\"";
        };
        return unterschied(ka, "test-data file contents", stelle(da), stelle(db));
      }
    }
  }
}

[[noreturn]] void gebrauch() {
  std::fprintf(stderr, "usage: vela_diffcheck [--seed N] [--random N] [--steps N] LIB_A LIB_B [INPUT...]\n");
  std::exit(2);
}

}  // namespace

int main(int argc, char **argv) {
  uint64_t seed = 1;
  long zufall = 3000;
  int schritte = 2000;
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string o = argv[i];
    if ((o == "--seed" || o == "--random" || o == "--steps") && i + 1 < argc) {
      char *ende = nullptr;
      const unsigned long long v = std::strtoull(argv[++i], &ende, 10);
      if (*ende != '\0') gebrauch();
      if (o == "--seed") seed = v;
      if (o == "--random") zufall = static_cast<long>(v);
      if (o == "--steps") schritte = static_cast<int>(v);
    } else if (o.rfind("--", 0) == 0) {
      gebrauch();
    } else {
      rest.push_back(o);
    }
  }
  if (rest.size() < 2) gebrauch();

  std::vector<Eingabe> eingaben;
  for (std::size_t i = 2; i < rest.size(); ++i) {
    std::error_code fehler;
    if (fs::is_directory(rest[i], fehler)) {
      std::vector<fs::path> dateien;
      for (const auto &d : fs::directory_iterator(rest[i]))
        if (d.is_regular_file()) dateien.push_back(d.path());
      std::sort(dateien.begin(), dateien.end());
      for (const auto &d : dateien) leseEingabe(d, eingaben);
    } else if (!leseEingabe(rest[i], eingaben)) {
      std::fprintf(stderr, "vela_diffcheck: cannot read %s\n", rest[i].c_str());
      return 2;
    }
  }
  const std::size_t dateiEingaben = eingaben.size();
  Generator generator(seed);
  for (long i = 0; i < zufall; ++i)
    eingaben.push_back({"random program " + std::to_string(i) + " (seed " + std::to_string(seed) + ")",
                        generator.programm()});

  const char *tmpdir = std::getenv("TMPDIR");
  std::string muster =
      std::string(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp") + "/vela-diffcheck.XXXXXX";
  const char *tmp = mkdtemp(muster.data());
  if (tmp == nullptr) {
    std::perror("vela_diffcheck: mkdtemp");
    return 2;
  }
  const fs::path wurzel = tmp;
  const auto beginn = std::chrono::steady_clock::now();
  const Lauf lauf{&eingaben, seed, schritte};
  Kopie a("A", rest[0]), b("B", rest[1]);
  std::fflush(stdout);
  for (Kopie *k : {&a, &b}) {
    const fs::path verzeichnis = wurzel / k->kennung;
    fs::create_directory(verzeichnis);
    int rohr[2];
    if (pipe(rohr) != 0) return 2;
    k->pid = fork();
    if (k->pid < 0) {
      std::perror("vela_diffcheck: fork");
      return 2;
    }
    if (k->pid == 0) {
      close(rohr[0]);
      if (k == &b) close(a.fd);
      _exit(kopieLaeuft(fs::absolute(k->bibliothek).string(), verzeichnis.string(), lauf, rohr[1]));
    }
    close(rohr[1]);
    k->fd = rohr[0];
  }

  Vergleich v(a, b, eingaben, schritte);
  const int ergebnis = v.laufe();
  a.beende();
  b.beende();
  fs::remove_all(wurzel);
  if (ergebnis == 2 && v.aufrufe == 0) return 2;  // the copies did not start; they said why
  const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn).count();
  std::printf("A: %s\nB: %s\n", a.bibliothek.c_str(), b.bibliothek.c_str());
  std::printf("programs: %zu (%zu files, %ld random, seed %llu), runs: %ld (isChecking 0 and 1)\n",
              eingaben.size(), dateiEingaben, zufall, static_cast<unsigned long long>(seed), v.laeufe);
  std::printf("runs not started (no program, or FetchMarken failed): %ld, stopped at the step limit: %ld\n",
              v.ohneSchritt, v.anGrenze);
  std::printf("calls compared: %ld (execBefehl: %ld, at most %d per run; %ld returned an error)\n", v.aufrufe,
              v.execAufrufe, schritte, v.fehlerAufrufe);
  std::printf("command codes seen: %zu, error codes seen: %zu\n", v.befehle.size(), v.fehlerCodes.size());
  std::printf("variables compared: %ld (16 exported variables after every call, %d values each)\n",
              v.aufrufe * 16, v.werte);
  std::printf("test-data files compared: %ld (%ld bytes)\n", v.dateien, v.dateiBytes);
  std::printf("output compared: %ld bytes\n", v.ausgabeBytes);
  std::printf(
      ergebnis == 2 ? "differences: none found, but the check did not complete\n" : "differences: %d\n",
      ergebnis);
  std::printf("time: %.1f s\n", sekunden);
  return ergebnis;
}
