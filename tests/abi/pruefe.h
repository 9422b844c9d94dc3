/* Checks of the C hosts: PRUEFE counts a passed or failed condition and
   names a failed one on stderr; the host ends with the counts. The hosts
   linked against the library load a text with lade. */
#ifndef PRUEFE_H
#define PRUEFE_H

#include <stdio.h>

static int bestanden, fehlgeschlagen;

#define PRUEFE(bedingung)                                                           \
  do {                                                                              \
    if (bedingung) {                                                                \
      ++bestanden;                                                                  \
    } else {                                                                        \
      ++fehlgeschlagen;                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #bedingung); \
    }                                                                               \
  } while (0)

#ifndef _WIN32
#include <string.h>

#include "vela.h"

/* The host calling order: the text (V1 cleared), DelphiInit, the stacks
   emptied, the first program and its labels, check mode off. Returns the
   first program. */
static char *lade(const char *text) {
  int t;
  memset(Programm, 0, sizeof Programm);
  strcpy(Programm, text);
  V_WertVar[1] = 0;
  DelphiInit();
  for (t = 0; t < VELA_TASKS; ++t) V_UsedLoops[t] = V_UsedReturns[t] = -1;
  NextBefp = findFirstProgramm();
  PRUEFE(FetchMarken(NextBefp) == 0);
  isChecking = 0;
  return NextBefp;
}
#endif

#endif
