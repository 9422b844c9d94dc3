/*
 * vela.h - the host interface of the motion-controller interpreter.
 *
 * The library exports four functions and sixteen variables under their
 * undecorated C names. A host writes program text into `Programm`, calls
 * DelphiInit, sets the stack tops to -1, calls findFirstProgramm and
 * FetchMarken, and then steps with execBefehl, reading the variables below
 * after every call.
 *
 * Layouts: the variables are read and written in place by hosts, so their
 * layouts are part of the interface. On a 32-bit build (the Windows module
 * I_VELA.DLL, or any -m32 build) pointers are 4 bytes and every layout is
 * exact: ReturnEintrag and LoopEintrag are 8 bytes, V_Marke is 3 x 200
 * pointers. On a 64-bit build pointer fields are 8 bytes and naturally
 * aligned: ReturnEintrag is 16 bytes, LoopEintrag is 16 bytes with its
 * address at offset 8. Integers are little-endian two's complement.
 *
 * Calling convention: cdecl on 32-bit Windows, the platform's C convention
 * elsewhere. No function throws; every failure is an error code that
 * indexes FehlerTxt.
 *
 * Pointers written by the host: the library follows NextBefp, the
 * addresses in V_Loop, V_ReturnAdr and V_Marke, and the argument of
 * FetchMarken only when they point into Programm or into one of the
 * library's FLASH and EEPROM program stores. Any other pointer (null where
 * an address is needed, an address into other memory) makes the call
 * return 20 ("Ende der Liste") without changing anything; a failing J or L
 * line leaves the cursor at its start as every failing line does, a
 * failing RETURN leaves it where it stood. A null FetchMarken argument
 * still clears the label row, and a loop entry without address (count
 * above 1, StartAdresse null) is still popped at its L.
 */
#ifndef VELA_H
#define VELA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#if defined(VELA_BUILD)
#define VELA_API __declspec(dllexport)
#elif defined(VELA_STATIC)
#define VELA_API
#else
#define VELA_API __declspec(dllimport)
#endif
#define VELA_CALL __cdecl
#else
#define VELA_API __attribute__((visibility("default")))
#define VELA_CALL
#endif

/* Sizes of the exported tables. */
#define VELA_PROGRAMM_GROESSE 6400 /* bytes of the RAM program store */
#define VELA_TASKS 3               /* tasks 1..3 of the language, rows 0..2 */
#define VELA_WERTVARS 300          /* value variables V0..V299 */
#define VELA_PUNKTVARS 10          /* point variables P0..P9 */
#define VELA_TEXTVARS 10           /* text variables T0..T9 */
#define VELA_TEXTLAENGE 22         /* 21 characters and the NUL */
#define VELA_MARKEN 200            /* labels M0..M199 per task */
#define VELA_STACKTIEFE 10         /* return and loop entries per task */
#define VELA_FEHLERCODES 41        /* error codes 0..40 */

/* The error codes, X(name, code, text) for each: a function's nonzero
   result is one of them, and FehlerTxt[code] is its text. FEHLER_OK (0) is
   success; FEHLER_LEERZEILE is no error but the text that clears a display
   row. The enum below names each code FEHLER_name. */
/* clang-format off */
#define VELA_FEHLER(X) \
  X(OK, 0, "Ausdruck OK") \
  X(RECHTE_SEITE_ZAHL, 1, "rechte S.keine Zahl") \
  X(INDEX, 2, "Zu grosser Index") \
  X(RECHTE_SEITE_TEXT, 3, "rechte S. kein Text") \
  X(AUSDRUCK1, 4, "1. Ausdruck keine Zahl") \
  X(AUSDRUCK2, 5, "2. Ausdruck keine Zahl") \
  X(INDEX_ZAHL, 6, "Index keine Zahl") \
  X(INDEX_V, 7, "Index bei V keine Zahl") \
  X(HINTER_V, 8, "Hinter V keine Zahl") \
  X(KLAMMER, 9, "Klammer zu fehlt") \
  X(NACHKOMMA, 10, "Zu viele Nachk.stellen") \
  X(ZEICHEN, 11, "ungueltiges Zeichen") \
  X(KEIN_AUSDRUCK, 12, "Kein Ausdruck gefunden") \
  X(MEHR_AUSDRUECKE, 13, "Mehr als ein Ausdruck") \
  X(ZUWEISUNG_V, 14, "K. Zuweisung nach V") \
  X(ZUWEISUNG_T, 15, "K. Zuweisung nach T") \
  X(HOME, 16, "falsches Z. bei Home") \
  X(FALSCHE_ZEICHEN, 17, "falsche Zeichen") \
  X(UNVOLLST, 18, "Ausdruck unvollst") \
  X(BEFEHL, 19, "falscher Befehl") \
  X(LISTENENDE, 20, "Ende der Liste") \
  X(SPRUNG_OHNE_MARKE, 21, "Sprung ohne Marke") \
  X(KEINE_MARKE, 22, "Keine Marke") \
  X(ZU_VIELE_LOOPS, 23, "Zu viele Loops") \
  X(ZU_VIELE_JUMPSUB, 24, "Zu viele Jump Sub") \
  X(ZU_VIELE_LENDEN, 25, "Zu viele L- Enden") \
  X(ZU_VIELE_RETURNS, 26, "Zu viele Returns") \
  X(OPERATOR, 27, "Operator?") \
  X(DIVISION, 28, "Division durch 0") \
  X(IONUMMER, 29, "IOnummer zu gross") \
  X(LEERZEILE, 30, "                    ") \
  X(ZU_VIELE_PROGS, 31, "Zu viele Progs") \
  X(MARKE_DA, 32, "Marke schon da") \
  X(FLASH, 33, "Flash-Fehler") \
  X(KEIN_EINGANG, 34, "Kein Eingang") \
  X(KEIN_AUSGANG, 35, "Kein Ausgang") \
  X(KEINE_FREIGABE, 36, "!!Keine Freigabe!!") \
  X(KANAL, 37, "Falscher Kanal") \
  X(NICHT_GEFUNDEN, 38, "Nicht gefunden") \
  X(PROGNR, 39, "Progammnr. falsch") \
  X(NULL, 40, "Null nicht erlaubt")
/* clang-format on */

enum VelaFehler {
#define VELA_FEHLER_WERT(name, code, text) FEHLER_##name = code,
  VELA_FEHLER(VELA_FEHLER_WERT)
#undef VELA_FEHLER_WERT
};

/* One entry of the return stack: where RETURN continues, and the program
   start to restore (null when the call went to a label). */
typedef struct ReturnEintrag {
  char *RueckAdresse; /* start of the line after the calling J line */
  char *ProgStart;    /* caller's program start, null for a label call */
} ReturnEintrag;

/* One entry of the loop stack. */
typedef struct LoopEintrag {
  int16_t Anzahl;     /* remaining passes */
  int16_t Reserve;    /* never written */
  char *StartAdresse; /* in the loop-start line, behind its count */
} LoopEintrag;

/* A point variable or the taught position: X then Y. */
typedef struct PunktEintrag {
  int32_t X;
  int32_t Y;
} PunktEintrag;

/* ---- exported variables ---- */
VELA_API extern int16_t Befehl;                       /* code of the command form just executed */
VELA_API extern char *NextBefp;                       /* text cursor */
VELA_API extern char Programm[VELA_PROGRAMM_GROESSE]; /* RAM program store */
VELA_API extern uint8_t isChecking;                   /* non-zero: check mode */
VELA_API extern int16_t V_Handshake;                  /* truth of the pending J condition */
VELA_API extern int32_t V_WertVar[VELA_WERTVARS];
VELA_API extern PunktEintrag V_PunktVar[VELA_PUNKTVARS];
VELA_API extern char V_TextVar[VELA_TEXTVARS][VELA_TEXTLAENGE];
VELA_API extern PunktEintrag V_xyTeached;
VELA_API extern char *V_Marke[VELA_TASKS][VELA_MARKEN];
VELA_API extern ReturnEintrag V_ReturnAdr[VELA_TASKS][VELA_STACKTIEFE];
VELA_API extern int16_t V_UsedReturns[VELA_TASKS];
VELA_API extern LoopEintrag V_Loop[VELA_TASKS][VELA_STACKTIEFE];
VELA_API extern int16_t V_UsedLoops[VELA_TASKS];
VELA_API extern const char *const FehlerTxt[VELA_FEHLERCODES];
VELA_API extern const char DllVersion[9];

/* ---- exported functions ---- */
VELA_API int16_t VELA_CALL execBefehl(void);
VELA_API void VELA_CALL DelphiInit(void);
VELA_API int16_t VELA_CALL FetchMarken(char *start);
VELA_API char *VELA_CALL findFirstProgramm(void);

/* ---- extensions: reset and the test-data file, for hosts and tests ---- */

/* Restores every variable of the library to its value at load time. */
VELA_API void VELA_CALL vela_reset(void);

/* Sets the path of the test-data file written by the circle test run.
   An empty text switches the file off (as a file that cannot be opened
   does); null restores the default path. The text is copied (at most 259
   characters). */
VELA_API void VELA_CALL vela_setTestDatei(const char *pfad);

#ifdef __cplusplus
}
#endif

#endif /* VELA_H */
