// The parameter and variable records, written byte by byte through
// standard character output (AusgabeZiel chooses where they go). Numbers
// are four bytes, most significant first; 16-bit values are widened first
// (unsigned parameters with zeros, signed display words with their sign).
//
//   variables (1280 bytes)       parameters (460 bytes)
//     0  V0..V299                  0  T0..T9, 22 bytes each as stored
//  1200  P0..P9: x, y            220  taught x, y
//                                228  AchsZaehler X Y Z A
//                                244  SatzIndizes (0..7)   252  SatzTabelle
//                                260  per axis X Y Z A: position in user
//                                     units, AchsSchritte, AchsMM,
//                                     RampenLaenge, StartGeschw, MaxGeschw
//                                356  SatzTexte (4 x 22)
//                                444  CursorSpalte, CursorZeile, SatzWort[2]
#pragma once

#include <cstdint>

namespace vela {

constexpr int kVariablenSatz = 1280;
constexpr int kParameterSatz = 460;

// Fields of the parameter record that only the record itself writes: an
// 8-byte table the save fills with its indices, a second 8-byte table, four
// texts and two display words, all zero at load.
extern uint8_t SatzIndizes[8];
extern uint8_t SatzTabelle[8];
extern char SatzTexte[4][22];
extern int16_t SatzWort[2];

// One byte through putChar.
void saveByte(uint8_t b);
// Four bytes, the most significant first.
void saveLong(int32_t v);
// The record of the value and point variables.
void saveVariables();
// The record of the text variables, taught position, axis counters and
// machine parameters.
void saveParameters();
// AchsZaehler of one motor axis (0..3) to 0; other indices change nothing.
void clearAchsZaehler(uint8_t achse);

// Load-time values of the record's own fields.
void resetDatensatz();

}  // namespace vela
