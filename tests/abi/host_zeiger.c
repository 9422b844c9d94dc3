/* A C host that writes bad pointers into the variables the library
   follows: the cursor, the loop and return stacks, the label table and the
   argument of FetchMarken. Each must be refused with 20 before it is
   followed, and the call must change nothing. */
#include <stdint.h>
#include <stdio.h>

#include "pruefe.h"
#include "vela.h"

/* Pointers outside the three program stores: null, an odd address into
   another variable, one byte before and one behind the RAM store, and an
   address that no process maps. */
static char *schlecht(int i) {
  switch (i) {
    case 0: return NULL;
    case 1: return (char *)V_WertVar + 1;
    case 2: return (char *)((uintptr_t)Programm - 1);
    case 3: return (char *)((uintptr_t)Programm + sizeof Programm);
    default: return (char *)(uintptr_t)0x11;
  }
}
#define SCHLECHTE 5

int main(void) {
  int i;

  /* The cursor. */
  for (i = 0; i < SCHLECHTE; ++i) {
    lade("V1=7\rENDE\r");
    PRUEFE(execBefehl() == 0 && Befehl == 59);
    NextBefp = schlecht(i);
    PRUEFE(execBefehl() == 20);
    PRUEFE(NextBefp == schlecht(i) && Befehl == 59 && V_WertVar[1] == 7);
  }
  /* Any place inside the store is a place to read from: here the middle
     of a line, which is no command. */
  lade("V1=7\rENDE\r");
  NextBefp = Programm + 2;
  PRUEFE(execBefehl() == 19 && NextBefp == Programm + 5);

  /* The loop stack: the address that a loop end jumps back to. */
  for (i = 1; i < SCHLECHTE; ++i) {
    lade("L3\rV1=V1+1\rL\rENDE\r");
    PRUEFE(execBefehl() == 0 && execBefehl() == 0);
    V_Loop[0][0].StartAdresse = schlecht(i);
    PRUEFE(execBefehl() == 20);
    PRUEFE(V_UsedLoops[0] == 0 && V_Loop[0][0].Anzahl == 3 && V_Loop[0][0].StartAdresse == schlecht(i));
    PRUEFE(NextBefp == Programm + 11 && V_WertVar[1] == 1);
  }
  /* An entry without address is a loop that is over: it is popped. */
  lade("L3\rL\rENDE\r");
  PRUEFE(execBefehl() == 0);
  V_Loop[0][0].StartAdresse = NULL;
  PRUEFE(execBefehl() == 0 && V_UsedLoops[0] == -1 && NextBefp == Programm + 5);

  /* The return stack: where RETURN goes back to, and the program start it
     restores. */
  for (i = 1; i < 2 * SCHLECHTE; ++i) {
    lade("JS M1\rENDE\rM1\rRETURN\r");
    PRUEFE(execBefehl() == 0 && V_UsedReturns[0] == 0 && NextBefp == Programm + 14);
    if (i < SCHLECHTE)
      V_ReturnAdr[0][0].RueckAdresse = schlecht(i);
    else
      V_ReturnAdr[0][0].ProgStart = schlecht(i - SCHLECHTE + 1);
    /* As for 26, the cursor stays where RETURN read it, on the E. */
    PRUEFE(execBefehl() == 20);
    PRUEFE(V_UsedReturns[0] == 0 && NextBefp == Programm + 15 && V_Marke[0][1] == Programm + 14);
  }

  /* The label table. */
  for (i = 1; i < SCHLECHTE; ++i) {
    lade("J M1\rM1\rENDE\r");
    V_Marke[0][1] = schlecht(i);
    PRUEFE(execBefehl() == 20 && NextBefp == Programm);
  }

  /* The argument of FetchMarken: refused before the label row is cleared. */
  for (i = 1; i < SCHLECHTE; ++i) {
    lade("M1\rENDE\r");
    PRUEFE(FetchMarken(schlecht(i)) == 20 && V_Marke[0][1] == Programm + 3);
  }
  PRUEFE(FetchMarken(NULL) == 0 && V_Marke[0][1] == NULL);

  printf("%d passed, %d failed\n", bestanden, fehlgeschlagen);
  return fehlgeschlagen == 0 ? 0 : 1;
}
