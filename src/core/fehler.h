// Error codes of the interpreter. A code indexes FehlerTxt; 0 is success.
#pragma once

#include <cstdint>

namespace vela {

enum Fehler : int16_t {
  F_OK = 0,
  F_RECHTE_SEITE_ZAHL = 1,   // "rechte S.keine Zahl"
  F_INDEX = 2,               // "Zu grosser Index"
  F_RECHTE_SEITE_TEXT = 3,   // "rechte S. kein Text"
  F_AUSDRUCK1 = 4,           // "1. Ausdruck keine Zahl"
  F_AUSDRUCK2 = 5,           // "2. Ausdruck keine Zahl"
  F_INDEX_ZAHL = 6,          // "Index keine Zahl"
  F_INDEX_V = 7,             // "Index bei V keine Zahl"
  F_HINTER_V = 8,            // "Hinter V keine Zahl"
  F_KLAMMER = 9,             // "Klammer zu fehlt"
  F_NACHKOMMA = 10,          // "Zu viele Nachk.stellen"
  F_ZEICHEN = 11,            // "ungueltiges Zeichen"
  F_KEIN_AUSDRUCK = 12,      // "Kein Ausdruck gefunden"
  F_MEHR_AUSDRUECKE = 13,    // "Mehr als ein Ausdruck"
  F_ZUWEISUNG_V = 14,        // "K. Zuweisung nach V"
  F_ZUWEISUNG_T = 15,        // "K. Zuweisung nach T"
  F_HOME = 16,               // "falsches Z. bei Home"
  F_FALSCHE_ZEICHEN = 17,    // "falsche Zeichen"
  F_UNVOLLST = 18,           // "Ausdruck unvollst"
  F_BEFEHL = 19,             // "falscher Befehl"
  F_LISTENENDE = 20,         // "Ende der Liste"
  F_SPRUNG_OHNE_MARKE = 21,  // "Sprung ohne Marke"
  F_KEINE_MARKE = 22,        // "Keine Marke"
  F_ZU_VIELE_LOOPS = 23,     // "Zu viele Loops"
  F_ZU_VIELE_JUMPSUB = 24,   // "Zu viele Jump Sub"
  F_ZU_VIELE_LENDEN = 25,    // "Zu viele L- Enden"
  F_ZU_VIELE_RETURNS = 26,   // "Zu viele Returns"
  F_OPERATOR = 27,           // "Operator?"
  F_DIVISION = 28,           // "Division durch 0"
  F_IONUMMER = 29,           // "IOnummer zu gross"
  F_LEERZEILE = 30,          // twenty spaces: clears a display row
  F_ZU_VIELE_PROGS = 31,     // "Zu viele Progs"
  F_MARKE_DA = 32,           // "Marke schon da"
  F_FLASH = 33,              // "Flash-Fehler"
  F_KEIN_EINGANG = 34,       // "Kein Eingang"
  F_KEIN_AUSGANG = 35,       // "Kein Ausgang"
  F_KEINE_FREIGABE = 36,     // "!!Keine Freigabe!!"
  F_KANAL = 37,              // "Falscher Kanal"
  F_NICHT_GEFUNDEN = 38,     // "Nicht gefunden"
  F_PROGNR = 39,             // "Progammnr. falsch"
  F_NULL = 40,               // "Null nicht erlaubt"
};

}  // namespace vela
