// The XY plot of a run as SVG: single-axis moves, path lines and circle
// steps in their own colours and dash patterns, start and end marked, axes
// labelled in user units.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "simulation.h"

namespace velatool {

// Reads a test-data file of the circle test run: one line "X Y " per step
// (any line end; CR CR LF as the library writes it). Throws LadeFehler on a
// line that is not two integers.
std::vector<std::pair<int32_t, int32_t>> leseTestdaten(std::istream &ein);

// The track as an SVG document. einheit names the unit of the axes.
// warten: the points where the program waited, each marked.
std::string zeichneSvg(const std::vector<Spur> &spur, const std::string &titel, const std::string &einheit,
                       const std::vector<Wartestelle> &warten = {});

}  // namespace velatool
