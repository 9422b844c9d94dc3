// Number format of displayed values (set by DF) and the value output.
#pragma once

#include <cstdint>

#include "platform/plattform.h"

namespace vela {

constexpr uint8_t kFeldBreiteBeimLaden = 8;  // the field width at load time and after a bad DF

extern uint8_t FeldBreite;    // field width of a displayed value
extern uint8_t NachkStellen;  // decimal places of a displayed value

// printWert shows at most this many decimals and pads to at most this
// width: an int32 has ten digits, so more decimals would only add zeros.
constexpr int kMaxNachkStellen = 10;
constexpr int kMaxFeldBreite = 32;

// Writes v / 10^NachkStellen right-aligned in FeldBreite characters.
void printWert(Kanal *k, int32_t v);

void resetAnzeigeFormat();

}  // namespace vela
