/*
 * vela_befehle.h - the command codes that execBefehl leaves in `Befehl`,
 * and what each of them means.
 *
 * After every call the host (or the controller's executor) reads `Befehl`
 * to learn which form of a command the line was, and acts on it with the
 * argument values the handler left behind. VELA_BEFEHLE is the one table of
 * the codes: for each its name, its number, the line forms that leave it
 * (as docs/executor.md lists them, checked by a test) and its properties
 * (BEF_EIG_...). The enum, vela_befehlsname, vela_befehlsform and
 * vela_befehlseigenschaften are made from it. Codes 41, 47, 58 and 60 are
 * not used; the numbers are the interface and never change.
 *
 * A new command form: its handler, one row here (a free number), its row
 * in docs/executor.md and its tests.
 */
#ifndef VELA_BEFEHLE_H
#define VELA_BEFEHLE_H

/* Properties of a command code. Forms without a code of their own (IL,
   DIL and the arcs CW, CCW, CPP, which move the path) leave BEF_KEINER and
   have none. */
enum VelaBefehlsEigenschaft {
  BEF_EIG_FAHRT = 0x01,       /* moves axis ArgWert3 (with PAAR also ArgWert4) by its DeltaSchritte */
  BEF_EIG_REFERENZ = 0x02,    /* reference run of axis ArgWert3 (with PAAR also ArgWert4) */
  BEF_EIG_PAAR = 0x04,        /* two axes: ArgWert3 and ArgWert4 */
  BEF_EIG_WARTET = 0x08,      /* the executor waits after the step (time, an input, an axis) */
  BEF_EIG_WIEDERHOLT = 0x10,  /* the line executes again, cursor unchanged, until every axis rests */
  BEF_EIG_SPRUNG = 0x20,      /* jumps or calls (the J forms): the run may go on at another line */
  BEF_EIG_ENDE = 0x40,        /* ends the program's run (the controller starts it again or goes idle) */
  BEF_EIG_KOPF = 0x80,        /* also left by the next program's header (PROG ...) reached */
  BEF_EIG_VORBEREITET = 0x100, /* the executor prepares the line before its step (docs/executor.md) */
  BEF_EIG_SETZT = 0x200        /* presets the commanded positions without steps: the axes stand there */
};

/* X(name, number, line forms, properties) for each code. A program header
   reached leaves BEF_ENDE, as ENDE does: a host that steps a program stops
   at the next program's header by that code, so the header keeps it and
   BEF_EIG_KOPF says that it may be one. */
/* clang-format off */
#define VELA_BEFEHLE(X) \
  X(BEF_KEINER, 0, "blank, comment, IL, DIL, DF, DP, DCH, PRIO, ENDHIGH, ...", 0) /* blank, skipped or invalid line; a form without code (IL, DF, DP, ENDHIGH, ...) */ \
  X(BEF_ACHSE, 1, "X 100", BEF_EIG_FAHRT) /* one axis to an absolute position (axis ArgWert3, steps ArgWert1) */ \
  X(BEF_ACHSPAAR, 2, "X 100 Y 50", BEF_EIG_FAHRT | BEF_EIG_PAAR) /* two axes (ArgWert3, ArgWert4; steps ArgWert1, ArgWert2) */ \
  X(BEF_HOME, 3, "XH d, s", BEF_EIG_REFERENZ) /* reference run of one axis (direction ArgWert1) */ \
  X(BEF_HOME_PAAR, 4, "XH d, s YH d, s", BEF_EIG_REFERENZ | BEF_EIG_PAAR) /* reference run of two axes (ArgWert3, ArgWert4) */ \
  X(BEF_SKALA_MM, 5, "XMM n, IMM n", 0) /* scale denominator AchsMM set */ \
  X(BEF_SKALA_SCHRITTE, 6, "XS n, IS n", 0) /* scale numerator AchsSchritte set */ \
  X(BEF_BREAK, 7, "BREAK", 0) /* stop every axis and the path */ \
  X(BEF_BREAK_ACHSE, 8, "BREAK X", 0) /* stop one axis (ArgWert3) */ \
  X(BEF_CE_ALLE, 9, "CE", BEF_EIG_VORBEREITET) /* report the positions of all axes */ \
  X(BEF_CE_ACHSE, 10, "CE X", BEF_EIG_VORBEREITET) /* report one axis (ArgWert3) */ \
  X(BEF_CP_ACHSE_NULL, 11, "CP X", BEF_EIG_VORBEREITET | BEF_EIG_SETZT) /* one axis's position preset to 0 */ \
  X(BEF_CP_ALLE_NULL, 12, "CP", BEF_EIG_VORBEREITET | BEF_EIG_SETZT) /* all positions preset to 0 */ \
  X(BEF_CP_ACHSE, 13, "CP X n", BEF_EIG_VORBEREITET | BEF_EIG_SETZT) /* one axis's position preset to n */ \
  X(BEF_CP_ALLE, 14, "CP n", BEF_EIG_VORBEREITET | BEF_EIG_SETZT) /* all positions preset to n */ \
  X(BEF_D_ACHSE, 15, "DX n", BEF_EIG_FAHRT) /* relative move of one axis (ArgWert3, offset ArgWert1) */ \
  X(BEF_D_WERT, 16, "D n, D V5", 0) /* show the value ArgWert2 */ \
  X(BEF_D_TEXT, 17, "D \"text\", D T n", 0) /* show the display text */ \
  X(BEF_D_TEXT_ZEILE, 18, "D r \"text\"", 0) /* show the display text on row ArgWert1 */ \
  X(BEF_D_WERT_ZEILE, 19, "D r V5", 0) /* show the value ArgWert2 on row ArgWert1 */ \
  X(BEF_D_ACHSPAAR, 20, "DX n DY m", BEF_EIG_FAHRT | BEF_EIG_PAAR) /* relative move of two axes (ArgWert3, ArgWert4) */ \
  X(BEF_ENDE, 21, "ENDE, a program header", BEF_EIG_ENDE | BEF_EIG_KOPF) /* the program ended */ \
  X(BEF_F_ACHSE, 22, "F X", 0) /* axis selection for the jog keys (ArgWert3) */ \
  X(BEF_F_TASTEN, 23, "FXY k, ...", 0) /* teach-in keys set */ \
  X(BEF_G_ALLE, 24, "G n", 0) /* travel speed of every axis */ \
  X(BEF_GS_ALLE, 25, "GS n", 0) /* start speed of every axis */ \
  X(BEF_GS_ACHSE, 26, "GS X n", 0) /* start speed of one axis */ \
  X(BEF_G_ACHSE, 27, "G X n", 0) /* travel speed of one axis */ \
  X(BEF_I_ALLGEMEIN, 28, "I n, I X n", BEF_EIG_VORBEREITET) /* path request with operands */ \
  X(BEF_IH, 29, "IH n", BEF_EIG_VORBEREITET) /* path reference request with operands */ \
  X(BEF_J, 30, "J M5, J PROG7", BEF_EIG_SPRUNG) /* unconditional jump or call */ \
  X(BEF_JE, 31, "J E n M5", BEF_EIG_SPRUNG | BEF_EIG_VORBEREITET) /* jump when input ArgWert1 is set (V_Handshake) */ \
  X(BEF_JNE, 32, "J N E n M5", BEF_EIG_SPRUNG | BEF_EIG_VORBEREITET) /* jump when input ArgWert1 is not set */ \
  X(BEF_J_VERGLEICH, 33, "J V1<V2 M5", BEF_EIG_SPRUNG) /* jump on a comparison (operator ArgWert3) */ \
  X(BEF_J_ACHSE, 34, "J X M5", BEF_EIG_SPRUNG | BEF_EIG_VORBEREITET) /* jump when axis ArgWert1 is at rest (V_Handshake) */ \
  X(BEF_JN_ACHSE, 35, "J N X M5", BEF_EIG_SPRUNG | BEF_EIG_VORBEREITET) /* jump when axis ArgWert1 is not at rest */ \
  X(BEF_KI, 36, "KI V n", 0) /* V n = 17 (no key) */ \
  X(BEF_K, 37, "K V n", BEF_EIG_VORBEREITET) /* V n = key code ArgWert2 */ \
  X(BEF_L_ENDE, 38, "L", 0) /* loop end */ \
  X(BEF_L_START, 39, "L n", 0) /* loop start */ \
  X(BEF_LOAD, 40, "LOAD", BEF_EIG_ENDE) /* the controller goes idle and reloads */ \
  X(BEF_LVAR, 42, "LVAR", 0) /* load the variables */ \
  X(BEF_MARKE, 43, "M n", 0) /* label line */ \
  X(BEF_P_SETZEN, 44, "P n = x, y", 0) /* point variable set */ \
  X(BEF_P_LESEN, 45, "P n", 0) /* point variable read (ArgWert2, ArgWert3) */ \
  X(BEF_P_TEACH, 46, "P n = X", 0) /* point variable from the taught position */ \
  X(BEF_PVAR, 48, "PVAR", 0) /* save the point variables */ \
  X(BEF_Q, 49, "Q", 0) /* recorded only */ \
  X(BEF_R_WERT, 50, "R n", 0) /* value form */ \
  X(BEF_R_ACHSE, 51, "R X n", 0) /* axis value form (ArgWert3) */ \
  X(BEF_RO, 52, "R O n", 0) /* output value form */ \
  X(BEF_RETURN, 53, "RETURN", 0) /* back from a subroutine */ \
  X(BEF_SO, 54, "SO n", 0) /* switch output ArgWert1 */ \
  X(BEF_STOP, 55, "STOP n", 0) /* the program halts */ \
  X(BEF_TE, 56, "TE n", 0) /* request with operands (ArgWert1, ArgWert3) */ \
  X(BEF_T, 57, "T n = \"text\"", 0) /* text variable set */ \
  X(BEF_V, 59, "V n = expr", 0) /* value variable set */ \
  X(BEF_W, 61, "W", BEF_EIG_WIEDERHOLT) /* wait until every axis and the path rest */ \
  X(BEF_W_ZEIT, 62, "W n", BEF_EIG_WARTET) /* wait n ticks */ \
  X(BEF_WE, 63, "WE n", BEF_EIG_WARTET) /* wait until input ArgWert1 is set */ \
  X(BEF_WNE, 64, "WNE n", BEF_EIG_WARTET) /* wait until input ArgWert1 is not set */ \
  X(BEF_W_ACHSE, 65, "W X", BEF_EIG_WARTET) /* wait until axis ArgWert3 rests */ \
  X(BEF_FREION, 66, "FREION", 0) /* drives enabled */ \
  X(BEF_FREIOFF, 67, "FREIOFF", 0) /* drives disabled */ \
  X(BEF_ENDON, 68, "ENDON ...", 0) /* END switches on */ \
  X(BEF_ENDOFF, 69, "ENDOFF", 0) /* END switches off */ \
  X(BEF_GE, 70, "GE X n", 0) /* lowest braking speed of an axis or the path */

/* clang-format on */

enum VelaBefehl {
#define VELA_BEFEHL_WERT(name, wert, form, eig) name = wert,
  VELA_BEFEHLE(VELA_BEFEHL_WERT)
#undef VELA_BEFEHL_WERT
};

#ifdef __cplusplus
#define VELA_BEFEHL_FN static constexpr
#else
#define VELA_BEFEHL_FN static inline
#endif

/* The name of a command code ("BEF_ACHSE"), or null for a code without one. */
VELA_BEFEHL_FN const char *vela_befehlsname(int code) {
  switch (code) {
#define VELA_BEFEHL_NAME(name, wert, form, eig) \
  case name: return #name;
    VELA_BEFEHLE(VELA_BEFEHL_NAME)
#undef VELA_BEFEHL_NAME
    default: return 0;
  }
}

/* The line forms that leave a code ("X 100 Y 50"), or null. */
VELA_BEFEHL_FN const char *vela_befehlsform(int code) {
  switch (code) {
#define VELA_BEFEHL_FORM(name, wert, form, eig) \
  case name: return form;
    VELA_BEFEHLE(VELA_BEFEHL_FORM)
#undef VELA_BEFEHL_FORM
    default: return 0;
  }
}

/* The properties of a code (BEF_EIG_... bits); 0 for a code without one. */
VELA_BEFEHL_FN unsigned vela_befehlseigenschaften(int code) {
  switch (code) {
#define VELA_BEFEHL_EIG(name, wert, form, eig) \
  case name: return (unsigned)(eig);
    VELA_BEFEHLE(VELA_BEFEHL_EIG)
#undef VELA_BEFEHL_EIG
    default: return 0;
  }
}

/* Whether a code has any of the properties eig. */
VELA_BEFEHL_FN int vela_befehl_hat(int code, unsigned eig) {
  return (vela_befehlseigenschaften(code) & eig) != 0;
}

#undef VELA_BEFEHL_FN

#endif /* VELA_BEFEHLE_H */
