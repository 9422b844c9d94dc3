#include "abbild.h"

#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace diffcheck {

namespace {

// "_ZN4vela9FlashAreaE" -> "FlashArea", "_ZL5Datei" -> "Datei": the last
// part of a C++ name, so that moving an object into another namespace or
// file does not count as a change.
std::string kurzname(const char *name) {
  const char *p = name;
  if (std::strncmp(p, "_ZN", 3) == 0 || std::strncmp(p, "_ZL", 3) == 0) {
    p += 3;
    std::string letzter;
    while (*p >= '0' && *p <= '9') {
      char *ende = nullptr;
      const long n = std::strtol(p, &ende, 10);
      if (n <= 0 || static_cast<long>(std::strlen(ende)) < n) break;
      letzter.assign(ende, static_cast<std::size_t>(n));
      p = ende + n;
    }
    if (!letzter.empty()) return letzter;
  }
  return name;
}

}  // namespace

uint32_t namensHash(const std::string &name) {
  uint32_t h = 2166136261u;
  for (const unsigned char c : name) h = (h ^ c) * 16777619u;
  if (h == kNull || h == kProgramm || h == kAussen) h = 2;
  return h;
}

void Adressen::lade(const std::string &datei, uintptr_t basis, const char *programm) {
  programm_ = reinterpret_cast<uintptr_t>(programm);
  objekte_.clear();
  const int fd = open(datei.c_str(), O_RDONLY);
  if (fd < 0) return;
  struct stat st {};
  void *bild = fstat(fd, &st) == 0
                   ? mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0)
                   : MAP_FAILED;
  close(fd);
  if (bild == MAP_FAILED) return;
  const auto *b = static_cast<const uint8_t *>(bild);
  const auto groesse = static_cast<std::size_t>(st.st_size);
  const auto *kopf = reinterpret_cast<const ElfW(Ehdr) *>(b);
  const bool ok = groesse >= sizeof *kopf && std::memcmp(kopf->e_ident, ELFMAG, SELFMAG) == 0 &&
                  kopf->e_shoff + std::size_t{kopf->e_shnum} * sizeof(ElfW(Shdr)) <= groesse;
  if (ok) {
    const auto *sek = reinterpret_cast<const ElfW(Shdr) *>(b + kopf->e_shoff);
    // The full symbol table when the library has one (it also holds the
    // internal objects), else the dynamic one.
    const ElfW(Shdr) *tab = nullptr;
    for (int i = 0; i < kopf->e_shnum; ++i)
      if (sek[i].sh_type == SHT_SYMTAB || (sek[i].sh_type == SHT_DYNSYM && tab == nullptr)) tab = &sek[i];
    if (tab != nullptr && tab->sh_link < kopf->e_shnum) {
      const ElfW(Shdr) &str = sek[tab->sh_link];
      const auto *sym = reinterpret_cast<const ElfW(Sym) *>(b + tab->sh_offset);
      const std::size_t n = tab->sh_size / sizeof(ElfW(Sym));
      for (std::size_t i = 0; i < n && tab->sh_offset + tab->sh_size <= groesse; ++i) {
        if (ELF64_ST_TYPE(sym[i].st_info) != STT_OBJECT || sym[i].st_shndx == SHN_UNDEF ||
            sym[i].st_size == 0 || sym[i].st_name >= str.sh_size)
          continue;
        const std::string name = kurzname(reinterpret_cast<const char *>(b + str.sh_offset + sym[i].st_name));
        objekte_.push_back({basis + sym[i].st_value, sym[i].st_size, namensHash(name), name});
      }
    }
  }
  munmap(bild, groesse);
  std::sort(objekte_.begin(), objekte_.end(),
            [](const Objekt &x, const Objekt &y) { return x.anfang < y.anfang; });
}

uint64_t Adressen::normiere(const void *p) const {
  const auto a = reinterpret_cast<uintptr_t>(p);
  if (p == nullptr) return zeigerWert(kNull, 0);
  if (a >= programm_ && a <= programm_ + VELA_PROGRAMM_GROESSE)
    return zeigerWert(kProgramm, uint32_t(a - programm_));
  // The last object that starts at or before a; one past its end still
  // belongs to it (an end pointer).
  auto it = std::upper_bound(objekte_.begin(), objekte_.end(), a,
                             [](uintptr_t x, const Objekt &o) { return x < o.anfang; });
  if (it != objekte_.begin()) {
    --it;
    if (a <= it->anfang + it->groesse) return zeigerWert(it->hash, uint32_t(a - it->anfang));
  }
  return zeigerWert(kAussen, 0);
}

std::vector<std::pair<uint32_t, std::string>> Adressen::namen() const {
  std::vector<std::pair<uint32_t, std::string>> n;
  for (const auto &o : objekte_) n.emplace_back(o.hash, o.name);
  return n;
}

int Feld::elemente() const {
  int n = 1;
  for (const int d : dims) n *= d;
  return n;
}

int Feld::elementGroesse() const {
  switch (art) {
    case Art::I16: return 2;
    case Art::U8: return 1;
    case Art::I32: return 4;
    case Art::Text: return laenge;
    case Art::Zeiger: return 8;
  }
  return 1;
}

std::string Feld::elementName(int i) const {
  std::string indizes;
  for (auto d = dims.rbegin(); d != dims.rend(); ++d) {
    indizes.insert(0, "[" + std::to_string(i % *d) + "]");
    i /= *d;
  }
  return name + indizes + glied;
}

uint8_t *Abbild::platz(const char *name, const char *glied, Art art, std::vector<int> dims, int laenge) {
  if (!fertig_) {
    Feld f{name, glied, art, std::move(dims), laenge, daten.size(), 0};
    f.groesse = static_cast<std::size_t>(f.elemente() * f.elementGroesse());
    daten.resize(daten.size() + f.groesse);
    felder.push_back(std::move(f));
  }
  return daten.data() + felder[index_++].offset;
}

void Abbild::nimmAuf(const Quelle &q, const Adressen &a) {
  index_ = 0;
  auto i16 = [](uint8_t *z, const int16_t &v) { std::memcpy(z, &v, 2); };
  auto i32 = [](uint8_t *z, const int32_t &v) { std::memcpy(z, &v, 4); };
  auto zeiger = [&a](uint8_t *z, const void *p) {
    const uint64_t v = a.normiere(p);
    std::memcpy(z, &v, 8);
  };
  constexpr int T = VELA_TASKS, S = VELA_STACKTIEFE;

  i16(platz("Befehl", "", Art::I16, {}), *q.befehl);
  zeiger(platz("NextBefp", "", Art::Zeiger, {}), *q.nextBefp);
  std::memcpy(platz("Programm", "", Art::Text, {}, VELA_PROGRAMM_GROESSE), q.programm, VELA_PROGRAMM_GROESSE);
  *platz("isChecking", "", Art::U8, {}) = *q.isChecking;
  i16(platz("V_Handshake", "", Art::I16, {}), *q.handshake);
  std::memcpy(platz("V_WertVar", "", Art::I32, {VELA_WERTVARS}), q.wertVar, sizeof(int32_t) * VELA_WERTVARS);
  uint8_t *x = platz("V_PunktVar", ".X", Art::I32, {VELA_PUNKTVARS});
  uint8_t *y = platz("V_PunktVar", ".Y", Art::I32, {VELA_PUNKTVARS});
  for (int i = 0; i < VELA_PUNKTVARS; ++i) i32(x + 4 * i, q.punktVar[i].X), i32(y + 4 * i, q.punktVar[i].Y);
  std::memcpy(platz("V_TextVar", "", Art::Text, {VELA_TEXTVARS}, VELA_TEXTLAENGE), q.textVar,
              VELA_TEXTVARS * VELA_TEXTLAENGE);
  i32(platz("V_xyTeached", ".X", Art::I32, {}), q.xyTeached->X);
  i32(platz("V_xyTeached", ".Y", Art::I32, {}), q.xyTeached->Y);
  uint8_t *m = platz("V_Marke", "", Art::Zeiger, {T, VELA_MARKEN});
  for (int t = 0; t < T; ++t)
    for (int i = 0; i < VELA_MARKEN; ++i) zeiger(m + 8 * (t * VELA_MARKEN + i), q.marke[t][i]);
  uint8_t *rueck = platz("V_ReturnAdr", ".RueckAdresse", Art::Zeiger, {T, S});
  uint8_t *start = platz("V_ReturnAdr", ".ProgStart", Art::Zeiger, {T, S});
  for (int t = 0; t < T; ++t)
    for (int i = 0; i < S; ++i) {
      zeiger(rueck + 8 * (t * S + i), q.returnAdr[t][i].RueckAdresse);
      zeiger(start + 8 * (t * S + i), q.returnAdr[t][i].ProgStart);
    }
  uint8_t *ur = platz("V_UsedReturns", "", Art::I16, {T});
  for (int t = 0; t < T; ++t) i16(ur + 2 * t, q.usedReturns[t]);
  uint8_t *anzahl = platz("V_Loop", ".Anzahl", Art::I16, {T, S});
  uint8_t *reserve = platz("V_Loop", ".Reserve", Art::I16, {T, S});
  uint8_t *adresse = platz("V_Loop", ".StartAdresse", Art::Zeiger, {T, S});
  for (int t = 0; t < T; ++t)
    for (int i = 0; i < S; ++i) {
      const LoopEintrag &e = q.loop[t][i];
      i16(anzahl + 2 * (t * S + i), e.Anzahl);
      i16(reserve + 2 * (t * S + i), e.Reserve);
      zeiger(adresse + 8 * (t * S + i), e.StartAdresse);
    }
  uint8_t *ul = platz("V_UsedLoops", "", Art::I16, {T});
  for (int t = 0; t < T; ++t) i16(ul + 2 * t, q.usedLoops[t]);
  // The message texts by content (at most 63 characters each).
  constexpr int kText = 64;
  uint8_t *ft = platz("FehlerTxt", "", Art::Text, {VELA_FEHLERCODES}, kText);
  for (int i = 0; i < VELA_FEHLERCODES; ++i) {
    char *z = reinterpret_cast<char *>(ft + kText * i);
    std::memset(z, 0, kText);
    const char *s = q.fehlerTxt[i];
    if (s == nullptr)
      std::strcpy(z, "\x01(null)");
    else
      std::strncpy(z, s, kText - 1);
  }
  std::memcpy(platz("DllVersion", "", Art::Text, {}, 9), q.dllVersion, 9);

  if (!fertig_) {
    fertig_ = true;
    daten.resize((daten.size() + kBlock - 1) / kBlock * kBlock);
  }
}

std::vector<Feld> layout(std::size_t &groesse) {
  static int16_t i16[8];
  static char *zeiger;
  static char programm[VELA_PROGRAMM_GROESSE];
  static uint8_t u8;
  static int32_t wert[VELA_WERTVARS];
  static PunktEintrag punkt[VELA_PUNKTVARS + 1];
  static char text[VELA_TEXTVARS][VELA_TEXTLAENGE];
  static char *marke[VELA_TASKS][VELA_MARKEN];
  static ReturnEintrag rueck[VELA_TASKS][VELA_STACKTIEFE];
  static LoopEintrag loop[VELA_TASKS][VELA_STACKTIEFE];
  static const char *const fehler[VELA_FEHLERCODES] = {};
  static const char version[9] = {};
  const Quelle q{&i16[0], &zeiger, programm, &u8,  &i16[1], wert,   punkt,  text, &punkt[VELA_PUNKTVARS],
                 marke,   rueck,   &i16[2],  loop, &i16[5], fehler, version};
  Abbild a;
  a.nimmAuf(q, Adressen{});
  groesse = a.daten.size();
  return a.felder;
}

}  // namespace diffcheck
