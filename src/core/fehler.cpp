// The message table that hosts show for an error code, and the version text.
#include "core/fehler.h"

#include "vela.h"

extern "C" {

const char *const FehlerTxt[VELA_FEHLERCODES] = {
    "Ausdruck OK",             // 0
    "rechte S.keine Zahl",     // 1
    "Zu grosser Index",        // 2
    "rechte S. kein Text",     // 3
    "1. Ausdruck keine Zahl",  // 4
    "2. Ausdruck keine Zahl",  // 5
    "Index keine Zahl",        // 6
    "Index bei V keine Zahl",  // 7
    "Hinter V keine Zahl",     // 8
    "Klammer zu fehlt",        // 9
    "Zu viele Nachk.stellen",  // 10
    "ungueltiges Zeichen",     // 11
    "Kein Ausdruck gefunden",  // 12
    "Mehr als ein Ausdruck",   // 13
    "K. Zuweisung nach V",     // 14
    "K. Zuweisung nach T",     // 15
    "falsches Z. bei Home",    // 16
    "falsche Zeichen",         // 17
    "Ausdruck unvollst",       // 18
    "falscher Befehl",         // 19
    "Ende der Liste",          // 20
    "Sprung ohne Marke",       // 21
    "Keine Marke",             // 22
    "Zu viele Loops",          // 23
    "Zu viele Jump Sub",       // 24
    "Zu viele L- Enden",       // 25
    "Zu viele Returns",        // 26
    "Operator?",               // 27
    "Division durch 0",        // 28
    "IOnummer zu gross",       // 29
    "                    ",    // 30: a blank display row
    "Zu viele Progs",          // 31
    "Marke schon da",          // 32
    "Flash-Fehler",            // 33
    "Kein Eingang",            // 34
    "Kein Ausgang",            // 35
    "!!Keine Freigabe!!",      // 36
    "Falscher Kanal",          // 37
    "Nicht gefunden",          // 38
    "Progammnr. falsch",       // 39
    "Null nicht erlaubt",      // 40
};

const char DllVersion[9] = "12-12-02";

}  // extern "C"
