// The 4 x 20 display model.
#include "platform/anzeige.h"

#include <cstdint>

namespace vela {

constinit Anzeige DisplayInhalt;

namespace {

// The row whose column 0 follows the end of each row in the display's
// memory order.
constexpr int16_t kFolgeZeile[kAnzeigeZeilen] = {2, 3, 1, 0};

}  // namespace

void Anzeige::schreibe(char c) {
  if (zeile < 0 || zeile >= kAnzeigeZeilen || spalte < 0 || spalte > kAnzeigeSpalten) return;
  if (spalte == kAnzeigeSpalten) {
    zeile = kFolgeZeile[zeile];
    spalte = 0;
  }
  zellen[zeile][spalte++] = c;
}

void Anzeige::befehl(uint8_t code) {
  switch (code) {
    case 1: loesche(); break;
    case 3: zeile = spalte = 0; break;
    case 12:
      an = 1;
      cursorSichtbar = 0;
      break;
    default: break;
  }
}

void Anzeige::gehe(int16_t s, int16_t z) {
  // A position off the display keeps the cursor off it, so that the text
  // written next is dropped rather than landing on another row.
  const bool gueltig = s >= 0 && s < kAnzeigeSpalten && z >= 0 && z < kAnzeigeZeilen;
  spalte = gueltig ? s : 0;
  zeile = gueltig ? z : -1;
}

void Anzeige::zeilenText(int r, char (&text)[kAnzeigeSpalten + 1]) const {
  for (int i = 0; i < kAnzeigeSpalten; ++i) text[i] = (r >= 0 && r < kAnzeigeZeilen) ? zellen[r][i] : ' ';
  text[kAnzeigeSpalten] = '\0';
}

}  // namespace vela
