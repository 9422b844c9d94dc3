// Program files to the program store. Files may come from any editor, so
// all three line-end conventions are accepted; the store itself only knows
// CR. A file is checked completely before the store is touched, so that a
// bad file never leaves a half-loaded program behind.
#include "laden.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vela.h"

namespace velatool {

std::string wandleZeilenenden(std::string_view roh) {
  std::string text;
  text.reserve(roh.size());
  for (std::size_t i = 0; i < roh.size(); ++i) {
    const char c = roh[i];
    if (c == '\r') {
      text += '\r';
      if (i + 1 < roh.size() && roh[i + 1] == '\n') ++i;  // CR LF is one line end
    } else if (c == '\n') {
      text += '\r';
    } else {
      text += c;
    }
  }
  return text;
}

Datei ladeDatei(const std::string &pfad) {
  std::error_code fehler;
  if (std::filesystem::is_directory(pfad, fehler))
    throw LadeFehler(pfad + ": is a directory, not a program file");
  std::ifstream datei(pfad, std::ios::binary);
  if (!datei) throw LadeFehler(pfad + ": cannot open the file: " + std::strerror(errno));
  std::string roh((std::istreambuf_iterator<char>(datei)), std::istreambuf_iterator<char>());
  if (datei.bad()) throw LadeFehler(pfad + ": cannot read the file");
  const auto nul = roh.find('\0');
  if (nul != std::string::npos) {
    const auto zeile = 1 + std::count(roh.begin(), roh.begin() + static_cast<long>(nul), '\n');
    throw LadeFehler(pfad + ": NUL byte in line " + std::to_string(zeile) + " (not a program text)");
  }
  Datei d;
  if (roh.rfind("\xEF\xBB\xBF", 0) == 0) {
    roh.erase(0, 3);
    d.bomEntfernt = true;
  }
  d.text = wandleZeilenenden(roh);
  const std::string &text = d.text;
  if (text.size() > kMaxText)
    throw LadeFehler(pfad + ": program too large: " + std::to_string(text.size()) +
                     " characters, the program store holds " + std::to_string(kMaxText));
  return d;
}

Start ladeProgramm(const std::string &text, bool pruefen) {
  vela_reset();
  const std::size_t n = std::min(text.size(), kMaxText);
  std::memset(Programm, 0, sizeof Programm);
  std::memcpy(Programm, text.data(), n);
  DelphiInit();
  for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  Start s;
  s.start = findFirstProgramm();
  if (s.start != nullptr) {
    NextBefp = s.start;
    s.marken = FetchMarken(s.start);
  }
  isChecking = pruefen ? 1 : 0;
  return s;
}

int zeileVon(const char *p) {
  int zeile = 1;
  for (const char *q = Programm; q < p && *q != '\0'; ++q)
    if (*q == '\r') ++zeile;
  return zeile;
}

static const char *zeilenAnfang(const char *p) {
  while (p > Programm && p[-1] != '\r' && p[-1] != '\n') --p;
  return p;
}

std::string zeilenText(const char *p) {
  const char *a = zeilenAnfang(p);
  const char *e = a;
  while (*e != '\0' && *e != '\r' && *e != '\n') ++e;
  return std::string(a, e);
}

char *befehlsStelle(char *p) {
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
  return p;
}

}  // namespace velatool
