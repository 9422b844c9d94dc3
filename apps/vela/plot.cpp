// SVG output of a track. The drawing keeps the aspect ratio of the
// machine: one scale for both axes, Y pointing up.
//
//   svg x = rand + (x - xmin) * massstab
//   svg y = rand + (ymax - y) * massstab
#include "plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "laden.h"

namespace velatool {

std::vector<std::pair<int32_t, int32_t>> leseTestdaten(std::istream &ein) {
  std::vector<std::pair<int32_t, int32_t>> punkte;
  std::string zeile;
  int nummer = 0;
  while (std::getline(ein, zeile)) {
    ++nummer;
    std::erase(zeile, '\r');
    if (zeile.find_first_not_of(" \t") == std::string::npos) continue;
    std::istringstream felder(zeile);
    long long x, y;
    std::string rest;
    if (!(felder >> x >> y) || (felder >> rest) || x < INT32_MIN || x > INT32_MAX || y < INT32_MIN ||
        y > INT32_MAX)
      throw LadeFehler("test data line " + std::to_string(nummer) + " is not two integers: \"" + zeile +
                       "\"");
    punkte.emplace_back(static_cast<int32_t>(x), static_cast<int32_t>(y));
  }
  return punkte;
}

namespace {

constexpr double kBreite = 800, kHoehe = 600, kRand = 70;

struct Stil {
  const char *farbe, *strich, *name;
};
Stil stil(Art art) {
  switch (art) {
    case Art::Achse: return {"#1f5fa8", "none", "single-axis move"};
    case Art::Bahn: return {"#2a9d3a", "8,4", "path line (IL, DIL)"};
    case Art::Kreis: return {"#c0392b", "2,2", "circle steps (C)"};
  }
  return {"#000", "none", ""};
}

std::string f(double v) {
  char puffer[32];
  std::snprintf(puffer, sizeof puffer, "%.2f", std::abs(v) < 0.005 ? 0.0 : v);
  return puffer;
}

// A tick label: no trailing zeros.
std::string marke(double v) {
  std::string s = f(v);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string xml(const std::string &s) {
  std::string r;
  for (char c : s) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      default: r += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) ? '?' : c;
    }
  }
  return r;
}

// A tick distance of 1, 2 or 5 times a power of ten giving about 8 ticks.
double teilung(double spanne) {
  const double roh = spanne / 8;
  const double zehner = std::pow(10.0, std::floor(std::log10(roh)));
  for (double m : {1.0, 2.0, 5.0})
    if (roh <= m * zehner) return m * zehner;
  return 10 * zehner;
}

}  // namespace

std::string zeichneSvg(const std::vector<Spur> &spur, const std::string &titel, const std::string &einheit,
                       const std::vector<Wartestelle> &warten) {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  bool erster = true;
  const std::pair<double, double> *start = nullptr, *ende = nullptr;
  std::vector<std::pair<double, double>> alle;
  for (const Spur &s : spur)
    for (std::size_t i = 0; i < s.x.size(); ++i) alle.emplace_back(s.x[i], s.y[i]);
  for (const auto &[x, y] : alle) {
    if (erster) xmin = xmax = x, ymin = ymax = y, erster = false;
    xmin = std::min(xmin, x), xmax = std::max(xmax, x), ymin = std::min(ymin, y), ymax = std::max(ymax, y);
  }
  if (!alle.empty()) start = &alle.front(), ende = &alle.back();
  // Leave room around a degenerate (point or line) track.
  const double spanne = std::max({xmax - xmin, ymax - ymin, 1.0});
  const double mx = (xmin + xmax) / 2, my = (ymin + ymax) / 2;
  xmin = std::min(xmin, mx - spanne * 0.05), xmax = std::max(xmax, mx + spanne * 0.05);
  ymin = std::min(ymin, my - spanne * 0.05), ymax = std::max(ymax, my + spanne * 0.05);
  const double massstab =
      std::min((kBreite - 2 * kRand) / (xmax - xmin), (kHoehe - 2 * kRand - 40) / (ymax - ymin));
  auto sx = [&](double x) { return kRand + (x - xmin) * massstab; };
  auto sy = [&](double y) { return kRand + 40 + (ymax - y) * massstab; };

  std::ostringstream o;
  o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kBreite << "\" height=\"" << kHoehe
    << "\" viewBox=\"0 0 " << kBreite << ' ' << kHoehe << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
    << "<title>" << xml(titel) << "</title>\n"
    << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
    << "<text x=\"" << kRand << "\" y=\"24\" font-size=\"16\">" << xml(titel) << "</text>\n";

  // Grid and axis labels.
  const double t = teilung(std::max(xmax - xmin, ymax - ymin));
  o << "<g stroke=\"#ddd\" stroke-width=\"1\">\n";
  for (double x = std::ceil(xmin / t) * t; x <= xmax + 1e-9; x += t)
    o << "<line x1=\"" << f(sx(x)) << "\" y1=\"" << f(sy(ymin)) << "\" x2=\"" << f(sx(x)) << "\" y2=\""
      << f(sy(ymax)) << "\"/>\n";
  for (double y = std::ceil(ymin / t) * t; y <= ymax + 1e-9; y += t)
    o << "<line x1=\"" << f(sx(xmin)) << "\" y1=\"" << f(sy(y)) << "\" x2=\"" << f(sx(xmax)) << "\" y2=\""
      << f(sy(y)) << "\"/>\n";
  o << "</g>\n<g fill=\"#444\">\n";
  for (double x = std::ceil(xmin / t) * t; x <= xmax + 1e-9; x += t)
    o << "<text x=\"" << f(sx(x)) << "\" y=\"" << f(sy(ymin) + 16) << "\" text-anchor=\"middle\">" << marke(x)
      << "</text>\n";
  for (double y = std::ceil(ymin / t) * t; y <= ymax + 1e-9; y += t)
    o << "<text x=\"" << f(sx(xmin) - 6) << "\" y=\"" << f(sy(y) + 4) << "\" text-anchor=\"end\">" << marke(y)
      << "</text>\n";
  o << "<text x=\"" << f((sx(xmin) + sx(xmax)) / 2) << "\" y=\"" << f(sy(ymin) + 36)
    << "\" text-anchor=\"middle\">X [" << xml(einheit) << "]</text>\n"
    << "<text x=\"18\" y=\"" << f((sy(ymin) + sy(ymax)) / 2)
    << "\" text-anchor=\"middle\" transform=\"rotate(-90 18 " << f((sy(ymin) + sy(ymax)) / 2) << ")\">Y ["
    << xml(einheit) << "]</text>\n</g>\n";
  o << "<rect x=\"" << f(sx(xmin)) << "\" y=\"" << f(sy(ymax)) << "\" width=\"" << f(sx(xmax) - sx(xmin))
    << "\" height=\"" << f(sy(ymin) - sy(ymax)) << "\" fill=\"none\" stroke=\"#888\"/>\n";

  // The track.
  for (const Spur &s : spur) {
    if (s.x.size() < 2) continue;
    const Stil st = stil(s.art);
    o << "<polyline fill=\"none\" stroke=\"" << st.farbe << "\" stroke-width=\"2\" stroke-dasharray=\""
      << st.strich << "\" points=\"";
    for (std::size_t i = 0; i < s.x.size(); ++i) o << (i ? " " : "") << f(sx(s.x[i])) << ',' << f(sy(s.y[i]));
    o << "\"/>\n";
  }
  if (start != nullptr) {
    o << "<circle cx=\"" << f(sx(start->first)) << "\" cy=\"" << f(sy(start->second))
      << "\" r=\"6\" fill=\"none\" stroke=\"#2a9d3a\" stroke-width=\"2\"/>\n";
    o << "<rect x=\"" << f(sx(ende->first) - 5) << "\" y=\"" << f(sy(ende->second) - 5)
      << "\" width=\"10\" height=\"10\" fill=\"#c0392b\" fill-opacity=\"0.6\"/>\n";
  }
  // Where the program waited: a small orange diamond.
  for (const Wartestelle &w : warten)
    o << "<path class=\"wait\" d=\"M" << f(sx(w.x)) << ',' << f(sy(w.y) - 5) << " l5,5 l-5,5 l-5,-5 z\" "
      << "fill=\"#e67e22\"/>\n";

  // Legend.
  const double lx = kBreite - 230, ly = 12;
  o << "<g>\n<rect x=\"" << lx << "\" y=\"" << ly
    << "\" width=\"220\" height=\"92\" fill=\"white\" stroke=\"#888\"/>\n";
  int zeile = 0;
  for (Art art : {Art::Achse, Art::Bahn, Art::Kreis}) {
    const Stil st = stil(art);
    const double y = ly + 16 + 18 * zeile++;
    o << "<line x1=\"" << lx + 8 << "\" y1=\"" << y << "\" x2=\"" << lx + 40 << "\" y2=\"" << y
      << "\" stroke=\"" << st.farbe << "\" stroke-width=\"2\" stroke-dasharray=\"" << st.strich << "\"/>"
      << "<text x=\"" << lx + 48 << "\" y=\"" << y + 4 << "\">" << st.name << "</text>\n";
  }
  o << "<circle cx=\"" << lx + 24 << "\" cy=\"" << ly + 70 << "\" r=\"5\" fill=\"none\" stroke=\"#2a9d3a\" "
    << "stroke-width=\"2\"/><text x=\"" << lx + 48 << "\" y=\"" << ly + 74 << "\">start</text>\n"
    << "<rect x=\"" << lx + 110 << "\" y=\"" << ly + 65 << "\" width=\"10\" height=\"10\" fill=\"#c0392b\" "
    << "fill-opacity=\"0.6\"/><text x=\"" << lx + 128 << "\" y=\"" << ly + 74 << "\">end</text>\n"
    << "<path d=\"M" << lx + 170 << ',' << ly + 65 << " l5,5 l-5,5 l-5,-5 z\" fill=\"#e67e22\"/><text x=\""
    << lx + 182 << "\" y=\"" << ly + 74 << "\">wait</text>\n</g>\n";
  o << "</svg>\n";
  return o.str();
}

}  // namespace velatool
