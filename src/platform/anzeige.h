// Model of the 4 x 20 character display: the cells, the write cursor and
// the state set by the controller command bytes.
//
// Characters are stored at the cursor, which then moves one column right;
// past column 19 they are dropped (the display does not wrap: the
// monitor places every row with displayGoto). Command bytes:
//   1   clear: every cell blank, cursor home
//   3   home: cursor to row 0, column 0
//   12  display on, cursor hidden
// Any other byte changes nothing.
#pragma once

#include <cstdint>

namespace vela {

constexpr int kAnzeigeZeilen = 4;
constexpr int kAnzeigeSpalten = 20;

struct Anzeige {
  char zellen[kAnzeigeZeilen][kAnzeigeSpalten];  // what the display shows
  int16_t zeile;                                 // cursor row 0..3
  int16_t spalte;                                // cursor column 0..20 (20: past the row)
  uint8_t an;                                    // 1 once switched on by command 12
  uint8_t cursorSichtbar;                        // 1 while the cursor is shown

  constexpr Anzeige() : zellen{}, zeile(0), spalte(0), an(0), cursorSichtbar(1) { loesche(); }

  constexpr void loesche() {
    for (auto &z : zellen)
      for (char &c : z) c = ' ';
    zeile = spalte = 0;
  }
  void schreibe(char c);
  void befehl(uint8_t code);
  // Cursor to (spalte, zeile); off the display, the next characters are dropped.
  void gehe(int16_t spalte, int16_t zeile);
  // Row r as a NUL-terminated text of 20 characters (blank for a bad row).
  void zeilenText(int r, char (&text)[kAnzeigeSpalten + 1]) const;
};

// The display of the console binding; fakes may write into it too.
extern Anzeige DisplayInhalt;

}  // namespace vela
