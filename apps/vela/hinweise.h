// Warnings of vela check about the text itself (the walk adds the trailing
// text after a complete command: Lauf::warnungen).
#pragma once

#include <vector>

#include "laden.h"
#include "lauf.h"

namespace velatool {

std::vector<Warnung> warnungenVon(const Datei &datei);

}  // namespace velatool
