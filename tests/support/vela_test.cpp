#include "support/vela_test.h"

#include <cstring>

#include "support/ablagen.h"
#include "support/tabelle.h"

int16_t VelaTest::lade(const std::string &text) {
  schreibe(mitCr(text));
  DelphiInit();
  for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  char *start = findFirstProgramm();
  if (start == nullptr) return -1;
  NextBefp = start;
  return FetchMarken(start);
}

void VelaTest::schreibe(const std::string &text) {
  std::memset(Programm, 0, sizeof Programm);
  std::memcpy(Programm, text.data(), std::min(text.size(), sizeof Programm));
}

char *VelaTest::stelle(const std::string &s, int vorkommen) {
  char *p = Programm;
  for (int i = 0; i < vorkommen; ++i) {
    p = std::strstr(i == 0 ? p : p + 1, s.c_str());
    if (p == nullptr) {
      ADD_FAILURE() << "'" << s << "' not in the program";
      return Programm;
    }
  }
  return p;
}

int32_t VelaTest::rechne(const std::string &ausdruck, int16_t *code) {
  lade("V299=" + ausdruck + "\n");
  const int16_t c = schritt();
  if (code != nullptr) *code = c;
  return V_WertVar[299];
}

std::string befehlsText(int code) {
  const char *name = vela_befehlsname(code);
  return name != nullptr ? name : std::to_string(code);
}

std::string VelaTest::stelleText(const char *p) const {
  return "@" + std::to_string(p - Programm) + " " + zitat(std::string(p, std::strcspn(p, "\r")));
}

std::string VelaTest::schrittText() {
  const int16_t code = schritt();
  return text(code, befehlsText(Befehl), stelleText(NextBefp));
}
