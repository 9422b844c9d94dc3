// One library copy in its own process: it is the only copy there, so its
// references to its own variables cannot bind to the other copy's. The
// process runs every input the way a host does and reports its state after
// every call.
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include "abbild.h"
#include "protokoll.h"

namespace diffcheck {

namespace {

// Seconds one run may take before the copy counts as hanging.
constexpr unsigned kZeitProLauf = 30;

uint64_t splitmix(uint64_t &s) {
  uint64_t z = (s += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

class Schreiber {
 public:
  explicit Schreiber(int fd) : fd_(fd) {}
  void satz(Satz art, const std::string &inhalt) {
    const SatzKopf k{art, static_cast<uint32_t>(inhalt.size())};
    puffer_.append(reinterpret_cast<const char *>(&k), sizeof k);
    puffer_ += inhalt;
    if (puffer_.size() > (1u << 18)) leere();
  }
  void leere() {
    std::size_t n = 0;
    while (n < puffer_.size()) {
      const ssize_t w = write(fd_, puffer_.data() + n, puffer_.size() - n);
      if (w <= 0) _exit(3);  // the comparing side has gone
      n += static_cast<std::size_t>(w);
    }
    puffer_.clear();
  }

 private:
  int fd_;
  std::string puffer_;
};

template <class T>
void haenge(std::string &s, const T &v) {
  s.append(reinterpret_cast<const char *>(&v), sizeof v);
}

}  // namespace

int kopieLaeuft(const std::string &pfad, const std::string &verzeichnis, const Lauf &lauf, int fd) {
  Schreiber aus(fd);
  auto scheitere = [&aus](const std::string &text) {
    aus.satz(Satz::Fehler, text);
    aus.leere();
    return 2;
  };
  if (chdir(verzeichnis.c_str()) != 0) return scheitere("cannot enter " + verzeichnis);
  // The library's host line: standard output goes to a file that is read
  // after every call; standard input is empty, so that a read (the
  // switches of a reference run) sees the end of input at once and no
  // copy waits for the clock.
  const int leer = open("/dev/null", O_RDONLY);
  const int ausgabe = open("ausgabe", O_RDWR | O_CREAT | O_TRUNC, 0644);
  if (leer < 0 || ausgabe < 0 || dup2(leer, 0) < 0 || dup2(ausgabe, 1) < 0)
    return scheitere("cannot redirect standard input and output");
  close(leer);
  close(ausgabe);
  void *h = dlopen(pfad.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) return scheitere(std::string("dlopen: ") + dlerror());
  link_map *lm = nullptr;
  if (dlinfo(h, RTLD_DI_LINKMAP, &lm) != 0) return scheitere(std::string("dlinfo: ") + dlerror());

  // Every name must resolve into this library itself.
  std::string fehlt;
  auto sym = [&](const char *name) -> void * {
    void *p = dlsym(h, name);
    Dl_info info{};
    if (p == nullptr || dladdr(p, &info) == 0 || info.dli_fname == nullptr ||
        std::strcmp(info.dli_fname, lm->l_name) != 0)
      fehlt += std::string(" ") + name;
    return p;
  };
  Quelle q{};
  q.befehl = static_cast<int16_t *>(sym("Befehl"));
  q.nextBefp = static_cast<char **>(sym("NextBefp"));
  q.programm = static_cast<char *>(sym("Programm"));
  q.isChecking = static_cast<uint8_t *>(sym("isChecking"));
  q.handshake = static_cast<int16_t *>(sym("V_Handshake"));
  q.wertVar = static_cast<int32_t *>(sym("V_WertVar"));
  q.punktVar = static_cast<PunktEintrag *>(sym("V_PunktVar"));
  q.textVar = static_cast<char(*)[VELA_TEXTLAENGE]>(sym("V_TextVar"));
  q.xyTeached = static_cast<PunktEintrag *>(sym("V_xyTeached"));
  q.marke = static_cast<char *(*)[VELA_MARKEN]>(sym("V_Marke"));
  q.returnAdr = static_cast<ReturnEintrag(*)[VELA_STACKTIEFE]>(sym("V_ReturnAdr"));
  q.usedReturns = static_cast<int16_t *>(sym("V_UsedReturns"));
  q.loop = static_cast<LoopEintrag(*)[VELA_STACKTIEFE]>(sym("V_Loop"));
  q.usedLoops = static_cast<int16_t *>(sym("V_UsedLoops"));
  q.fehlerTxt = static_cast<const char *const *>(sym("FehlerTxt"));
  q.dllVersion = static_cast<const char *>(sym("DllVersion"));
  auto reset = reinterpret_cast<void (*)()>(sym("vela_reset"));
  auto setzeDatei = reinterpret_cast<void (*)(const char *)>(sym("vela_setTestDatei"));
  auto init = reinterpret_cast<void (*)()>(sym("DelphiInit"));
  auto findFirst = reinterpret_cast<char *(*)()>(sym("findFirstProgramm"));
  auto fetchMarken = reinterpret_cast<int16_t (*)(char *)>(sym("FetchMarken"));
  auto exec = reinterpret_cast<int16_t (*)()>(sym("execBefehl"));
  if (!fehlt.empty()) return scheitere(pfad + ": missing or foreign symbols:" + fehlt);

  Adressen adressen;
  adressen.lade(pfad, lm->l_addr, q.programm);
  std::string namen;
  for (const auto &[hash, name] : adressen.namen()) {
    haenge(namen, hash);
    haenge(namen, static_cast<uint32_t>(name.size()));
    namen += name;
  }
  aus.satz(Satz::Namen, namen);

  Abbild abbild;
  std::vector<uint8_t> alt;
  const std::string datei = verzeichnis + "/testdaten.dat";
  std::string satz;

  for (uint32_t e = 0; e < lauf.eingaben->size(); ++e) {
    const std::string &text = (*lauf.eingaben)[e].text;
    for (uint8_t pruefen = 0; pruefen < 2; ++pruefen) {
      alarm(kZeitProLauf);
      unlink(datei.c_str());
      uint32_t schritt = 0;
      // The state after a call: the changed blocks of the snapshot, the
      // test-data file when the call wrote it, and its output. The file is
      // removed and the output emptied after reading, so that what is
      // there next was written by the next call.
      auto melde = [&](Funktion f, int64_t rueckgabe) {
        abbild.nimmAuf(q, adressen);
        if (alt.size() != abbild.daten.size()) alt.assign(abbild.daten.size(), 0);
        AufrufKopf k{e, pruefen, f, 0, 0, schritt++, 0, rueckgabe, 0, 0};
        std::string bloecke;
        for (std::size_t b = 0; b < alt.size(); b += Abbild::kBlock) {
          if (std::memcmp(&alt[b], &abbild.daten[b], Abbild::kBlock) == 0) continue;
          haenge(bloecke, static_cast<uint32_t>(b / Abbild::kBlock));
          bloecke.append(reinterpret_cast<const char *>(&abbild.daten[b]), Abbild::kBlock);
          std::memcpy(&alt[b], &abbild.daten[b], Abbild::kBlock);
          ++k.bloecke;
        }
        std::string inhalt;
        struct stat st {};
        if (stat(datei.c_str(), &st) == 0) {
          std::ifstream f(datei, std::ios::binary);
          inhalt.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
          unlink(datei.c_str());
          k.testdatei = 1;
          k.dateiLaenge = static_cast<uint32_t>(inhalt.size());
        }
        std::fflush(stdout);
        std::string text;
        const off_t n = lseek(1, 0, SEEK_CUR);
        if (n > 0) {
          text.resize(static_cast<std::size_t>(n));
          if (pread(1, text.data(), text.size(), 0) != n || ftruncate(1, 0) != 0) _exit(4);
          lseek(1, 0, SEEK_SET);
          k.ausgabeLaenge = static_cast<uint32_t>(n);
        }
        satz.clear();
        haenge(satz, k);
        satz += bloecke;
        satz += inhalt;
        satz += text;
        aus.satz(Satz::Aufruf, satz);
      };

      reset();
      melde(F_RESET, 0);
      setzeDatei(datei.c_str());
      melde(F_TESTDATEI, 0);
      std::memset(q.programm, 0, VELA_PROGRAMM_GROESSE);
      std::memcpy(q.programm, text.data(), std::min<std::size_t>(text.size(), VELA_PROGRAMM_GROESSE - 1));
      init();
      melde(F_INIT, 0);
      for (int t = 0; t < VELA_TASKS; ++t) q.usedLoops[t] = q.usedReturns[t] = -1;
      char *start = findFirst();
      melde(F_FIND, static_cast<int64_t>(adressen.normiere(start)));
      if (start == nullptr) continue;
      *q.nextBefp = start;
      const int16_t marken = fetchMarken(start);
      melde(F_MARKEN, marken);
      if (marken != 0) continue;
      *q.isChecking = pruefen;

      // Steps with a pseudo-random handshake (mostly 0 and 1, sometimes
      // any value). A run ends at the second end of the program, when an
      // error comes back at a place where it came before, or at the step
      // limit. A checking host goes on behind a failing line.
      uint64_t zufall = lauf.seed ^ (uint64_t{e} * 2 + pruefen) * 0xD1B54A32D192ED03u;
      std::set<std::pair<int, uint64_t>> fehler;
      int enden = 0;
      for (int s = 0; s < lauf.schritte; ++s) {
        const uint64_t r = splitmix(zufall);
        *q.handshake = static_cast<int16_t>((r & 7) == 0 ? (r >> 16) : (r >> 3) & 1);
        const int16_t code = exec();
        melde(F_EXEC, code);
        if (code != 0) {
          if (!fehler.insert({code, adressen.normiere(*q.nextBefp)}).second) break;
          if (pruefen) {
            char *p = *q.nextBefp;
            char *ende = q.programm + VELA_PROGRAMM_GROESSE;
            if (p < q.programm || p >= ende) break;
            while (p < ende && *p != '\0' && *p != '\r') ++p;
            if (p + 1 >= ende || *p != '\r') break;
            *q.nextBefp = p + 1;
          }
        } else if (*q.befehl == 21 && ++enden == 2) {
          break;
        }
      }
      aus.leere();
    }
  }
  alarm(0);
  aus.satz(Satz::Fertig, "");
  aus.leere();
  return 0;
}

}  // namespace diffcheck
