/* Checks of the C hosts: PRUEFE counts a passed or failed condition and
   names a failed one on stderr; the host ends with the counts. */
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

#endif
