/* Host of the callgrind measurement of execBefehl: loads the program the
   way a host does and executes N commands (argument 1, default 100000).
   The program runs for ever: its last line jumps back to M1. Argument 2
   replaces it by another text (CR line ends); the cursor goes back to the
   start whenever it reaches the end of that text. Uses only vela.h and
   links libvela.so, so that it measures the library as a host loads it. */
#include <stdlib.h>
#include <string.h>

#include "vela.h"

static const char kProgramm[] =
    "M1\rV1=V1+1\rX 100 Y 50\rV2=(V1*3+7)%5\rL2\rV3=V3-V1\rL\rJ V1<1000000000 M1\r";

int main(int argc, char **argv) {
  long n = argc > 1 ? atol(argv[1]) : 100000;
  vela_setTestDatei("");
  const char *text = argc > 2 ? argv[2] : kProgramm;
  if (strlen(text) >= sizeof Programm) return 2;
  strcpy(Programm, text);
  DelphiInit();
  for (int t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  NextBefp = findFirstProgramm();
  if (NextBefp == NULL || FetchMarken(NextBefp) != 0) return 2;
  isChecking = 0;
  for (long i = 0; i < n; ++i) {
    if (*NextBefp == '\0') NextBefp = Programm;
    if (execBefehl() != 0) return 1;
  }
  return 0;
}
