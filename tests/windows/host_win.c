/* A Windows host written the way Delphi and C hosts use the module: it
   loads I_VELA.DLL at run time, finds every export by its undecorated name,
   reads and writes the variables through the addresses it got, and follows
   the host calling order. Built with MinGW for 32-bit and for 64-bit
   Windows and run under wine. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "pruefe.h"
#include "vela.h"
#include "vela_befehle.h"

typedef int16_t(__cdecl *ExecBefehl)(void);
typedef void(__cdecl *DelphiInitFn)(void);
typedef int16_t(__cdecl *FetchMarkenFn)(char *);
typedef char *(__cdecl *FindFirstFn)(void);
typedef void(__cdecl *ResetFn)(void);
typedef void(__cdecl *TestDateiFn)(const char *);

static HMODULE modul;

static void *hole(const char *name) {
  void *p = (void *)GetProcAddress(modul, name);
  if (p == NULL) fprintf(stderr, "export missing: %s\n", name);
  PRUEFE(p != NULL);
  return p;
}

int main(void) {
  static const char *const namen[] = {
      "execBefehl",  "DelphiInit", "FetchMarken", "findFirstProgramm", "Befehl",     "NextBefp",
      "Programm",    "isChecking", "V_Handshake", "V_WertVar",         "V_PunktVar", "V_TextVar",
      "V_xyTeached", "V_Marke",    "V_ReturnAdr", "V_UsedReturns",     "V_Loop",     "V_UsedLoops",
      "FehlerTxt",   "DllVersion", "vela_reset",  "vela_setTestDatei"};
  size_t i;
  int t;

  modul = LoadLibraryA("I_VELA.DLL");
  if (modul == NULL) {
    fprintf(stderr, "LoadLibrary(I_VELA.DLL) failed: %lu\n", GetLastError());
    printf("0 passed, 1 failed\n");
    return 1;
  }
  for (i = 0; i < sizeof namen / sizeof namen[0]; ++i) hole(namen[i]);
  if (fehlgeschlagen != 0) {
    printf("%d passed, %d failed\n", bestanden, fehlgeschlagen);
    return 1;
  }
  /* Decorated names (stdcall or leading underscore) must not be there. */
  PRUEFE(GetProcAddress(modul, "_execBefehl") == NULL);
  PRUEFE(GetProcAddress(modul, "execBefehl@0") == NULL);

  {
    ExecBefehl exec = (ExecBefehl)hole("execBefehl");
    DelphiInitFn init = (DelphiInitFn)hole("DelphiInit");
    FetchMarkenFn marken = (FetchMarkenFn)hole("FetchMarken");
    FindFirstFn erstes = (FindFirstFn)hole("findFirstProgramm");
    ResetFn reset = (ResetFn)hole("vela_reset");
    TestDateiFn testdatei = (TestDateiFn)hole("vela_setTestDatei");
    int16_t *befehl = (int16_t *)hole("Befehl");
    char **next = (char **)hole("NextBefp");
    char *programm = (char *)hole("Programm");
    uint8_t *checking = (uint8_t *)hole("isChecking");
    int32_t *wert = (int32_t *)hole("V_WertVar");
    char **marke = (char **)hole("V_Marke");
    int16_t *loops = (int16_t *)hole("V_UsedLoops");
    int16_t *returns = (int16_t *)hole("V_UsedReturns");
    const char *const *fehlertxt = (const char *const *)hole("FehlerTxt");

    /* The exact layouts a Delphi host declares: pointers of the word size,
       records aligned naturally. */
#ifdef _WIN64
    PRUEFE(sizeof(char *) == 8 && sizeof(ReturnEintrag) == 16 && sizeof(LoopEintrag) == 16);
    PRUEFE(offsetof(LoopEintrag, StartAdresse) == 8);
#else
    PRUEFE(sizeof(char *) == 4 && sizeof(ReturnEintrag) == 8 && sizeof(LoopEintrag) == 8);
    PRUEFE(offsetof(LoopEintrag, StartAdresse) == 4);
#endif
    PRUEFE(sizeof(PunktEintrag) == 8);
    /* Each variable's contents are where the host reads them. */
    PRUEFE(strcmp((const char *)hole("DllVersion"), "12-12-02") == 0);
    PRUEFE(strcmp(fehlertxt[19], "falscher Befehl") == 0 && strcmp(fehlertxt[40], "Null nicht erlaubt") == 0);

    reset();
    testdatei("");
    /* The host calling order: text, DelphiInit, the stacks emptied, the
       first program, its labels, check mode off; then one line per call. */
    memset(programm, 0, VELA_PROGRAMM_GROESSE);
    strcpy(programm, "V1=7\rM2\rV2=5/0\r");
    init();
    PRUEFE(*next == programm);
    for (t = 0; t < VELA_TASKS; ++t) loops[t] = returns[t] = -1;
    *next = erstes();
    PRUEFE(*next == programm);
    PRUEFE(marken(*next) == 0 && marke[2] == programm + 8);
    *checking = 0;
    PRUEFE(exec() == 0 && *befehl == BEF_V && wert[1] == 7);
    PRUEFE(exec() == 0);
    /* A failing line: its code, the cursor stays at its start. */
    PRUEFE(exec() == 28 && *next == programm + 8);
    /* Check mode is read where the host writes it: RETURN without a call passes. */
    strcpy(programm, "RETURN\r");
    init();
    *checking = 1;
    PRUEFE(exec() == 0);
    *checking = 0;
    *next = programm;
    PRUEFE(exec() == 26);

    reset();
    PRUEFE(wert[1] == 0 && programm[0] == '\0' && *next == programm && erstes() == NULL);
  }
  FreeLibrary(modul);
  printf("%d passed, %d failed\n", bestanden, fehlgeschlagen);
  return fehlgeschlagen == 0 ? 0 : 1;
}
