// 32-bit arithmetic of the language: every operation wraps modulo 2^32.
// The wrapping is done in unsigned arithmetic so that no overflow is
// undefined.
#pragma once

#include <cstdint>

namespace vela {

inline int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t wrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t wrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }
// Quotient truncated toward zero; b must not be 0. The most negative value
// divided by -1 wraps to itself.
inline int32_t wrapDiv(int32_t a, int32_t b) { return b == -1 ? wrapNeg(a) : a / b; }
// Remainder with the sign of a; b must not be 0. Any value modulo -1 is 0.
inline int32_t wrapRest(int32_t a, int32_t b) { return b == -1 ? 0 : a % b; }

}  // namespace vela
