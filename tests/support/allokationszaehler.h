// Counts malloc, calloc and realloc while allokationen::aktiv is set.
// Include it in one file of a program only (it replaces the C library's
// entry points); the sanitizer builds count nothing (VELA_ZAEHLT_NICHT).
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
#define VELA_ZAEHLT_NICHT 1
#endif

namespace allokationen {
inline volatile long zaehler = 0;
inline volatile bool aktiv = false;
}  // namespace allokationen

#ifndef VELA_ZAEHLT_NICHT
extern "C" {
void *__libc_malloc(std::size_t);
void *__libc_calloc(std::size_t, std::size_t);
void *__libc_realloc(void *, std::size_t);
void *malloc(std::size_t n) {
  if (allokationen::aktiv) allokationen::zaehler = allokationen::zaehler + 1;
  return __libc_malloc(n);
}
void *calloc(std::size_t n, std::size_t m) {
  if (allokationen::aktiv) allokationen::zaehler = allokationen::zaehler + 1;
  return __libc_calloc(n, m);
}
void *realloc(void *p, std::size_t n) {
  if (allokationen::aktiv) allokationen::zaehler = allokationen::zaehler + 1;
  return __libc_realloc(p, n);
}
}
#endif
