/* A host written in C against vela.h and the shared library only: it
   follows the host calling order and checks what a host can observe. */
#include <stdio.h>
#include <string.h>

#include "pruefe.h"
#include "vela.h"
#include "vela_befehle.h"

int main(void) {
  /* Layouts a host relies on. */
  PRUEFE(sizeof Programm == 6400);
  PRUEFE(sizeof V_WertVar == 300 * 4);
  PRUEFE(sizeof V_PunktVar == 80);
  PRUEFE(sizeof V_TextVar == 220);
  PRUEFE(sizeof V_Marke == 3 * 200 * sizeof(char *));
  PRUEFE(sizeof(ReturnEintrag) == 2 * sizeof(char *));
  PRUEFE(sizeof(LoopEintrag) == 2 * sizeof(char *));
  PRUEFE(strcmp(DllVersion, "12-12-02") == 0);
  PRUEFE(strcmp(FehlerTxt[19], "falscher Befehl") == 0);

  /* A failing line leaves the cursor at its start; a V line's value is in
     V_WertVar, its code in Befehl (the expressions are the evaluator's
     tests); at the end of the text 19. */
  PRUEFE(lade("V1=5/0\rV2=512\r") == Programm);
  PRUEFE(execBefehl() == FEHLER_DIVISION && NextBefp == Programm);
  NextBefp = Programm + 7;
  PRUEFE(execBefehl() == FEHLER_OK && V_WertVar[2] == 512 && Befehl == BEF_V);
  PRUEFE(*NextBefp == '\0' && execBefehl() == FEHLER_BEFEHL);

  /* The loop stack as a host reads it: a two-pass loop and the program end. */
  PRUEFE(lade("L2\rQ\rL\rENDE\r") == Programm);
  PRUEFE(execBefehl() == 0 && Befehl == BEF_L_START && V_UsedLoops[0] == 0 && V_Loop[0][0].Anzahl == 2);
  PRUEFE(execBefehl() == 0 && execBefehl() == 0 && NextBefp == Programm + 3 && V_Loop[0][0].Anzahl == 1);
  PRUEFE(execBefehl() == 0 && execBefehl() == 0 && V_UsedLoops[0] == -1);
  PRUEFE(execBefehl() == 0 && Befehl == BEF_ENDE && NextBefp == Programm);

  /* A subroutine call to another program and back. */
  PRUEFE(lade("PROGMAIN\rJS PROG7\rQ\rPROG7\rM1\rRETURN\r") == Programm + 9);
  PRUEFE(execBefehl() == 0 && Befehl == BEF_J);
  PRUEFE(NextBefp == Programm + 26 && V_Marke[0][1] == Programm + 29);
  PRUEFE(V_UsedReturns[0] == 0 && V_ReturnAdr[0][0].ProgStart == Programm + 9);
  PRUEFE(execBefehl() == 0 && execBefehl() == 0 && Befehl == BEF_RETURN);
  PRUEFE(NextBefp == Programm + 18 && V_Marke[0][1] == NULL);

  vela_reset();
  PRUEFE(V_WertVar[2] == 0 && Programm[0] == '\0');

  printf("%d passed, %d failed\n", bestanden, fehlgeschlagen);
  return fehlgeschlagen == 0 ? 0 : 1;
}
