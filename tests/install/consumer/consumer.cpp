// Runs a two-line program through the installed library and checks the
// results a host sees.
#include <vela.h>
#include <vela_befehle.h>

#include <cstdio>
#include <cstring>

int main() {
  int bestanden = 0, fehlgeschlagen = 0;
  auto pruefe = [&](bool ok, const char *was) {
    ok ? ++bestanden : ++fehlgeschlagen;
    if (!ok) std::fprintf(stderr, "check failed: %s\n", was);
  };

  vela_reset();
  std::strcpy(Programm, "V1=-7%2\rV2=2^3^2\r");
  DelphiInit();
  for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  char *start = findFirstProgramm();
  pruefe(start == Programm, "findFirstProgramm");
  NextBefp = start;
  pruefe(FetchMarken(start) == 0, "FetchMarken");
  pruefe(execBefehl() == 0 && execBefehl() == 0, "two V lines");
  pruefe(V_WertVar[1] == -1 && V_WertVar[2] == 512, "V1 and V2");
  pruefe(Befehl == BEF_V, "Befehl");
  pruefe(std::strcmp(DllVersion, "12-12-02") == 0, "DllVersion");

  std::printf("%d passed, %d failed\n", bestanden, fehlgeschlagen);
  return fehlgeschlagen == 0 ? 0 : 1;
}
