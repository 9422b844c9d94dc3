// The parameter and variable records, written byte by byte through
// standard character output.
#pragma once

#include <cstdint>

namespace vela {

// One byte through putChar.
void saveByte(uint8_t b);
// Four bytes, the most significant first.
void saveLong(int32_t v);

}  // namespace vela
