/*
 * vela_befehle.h - the command codes that execBefehl leaves in `Befehl`.
 *
 * After every call the host (or the controller's executor) reads `Befehl`
 * to learn which form of a command the line was, and acts on it with the
 * argument values the handler left behind. One name per code; codes 41,
 * 47, 58 and 60 are not used. The line form after each name is the one
 * that leaves the code.
 */
#ifndef VELA_BEFEHLE_H
#define VELA_BEFEHLE_H

enum VelaBefehl {
  BEF_KEINER = 0,         /* blank, skipped or invalid line; a form without code (IL, DF, DP, ENDHIGH, ...) */
  BEF_ACHSE = 1,          /* X 100: one axis to an absolute position (axis ArgWert3, steps ArgWert1) */
  BEF_ACHSPAAR = 2,       /* X 100 Y 50: two axes (ArgWert3, ArgWert4; steps ArgWert1, ArgWert2) */
  BEF_HOME = 3,           /* XH d, s: reference run of one axis (direction ArgWert1) */
  BEF_HOME_PAAR = 4,      /* XH d, s Y d, s: reference run of two axes (ArgWert3, ArgWert4) */
  BEF_SKALA_MM = 5,       /* XM n / IMM n: scale denominator AchsMM set */
  BEF_SKALA_SCHRITTE = 6, /* XS n / IS n: scale numerator AchsSchritte set */
  BEF_BREAK = 7,          /* BREAK: stop every axis and the path */
  BEF_BREAK_ACHSE = 8,    /* BREAK X: stop one axis (ArgWert3) */
  BEF_CE_ALLE = 9,        /* CE: report the positions of all axes */
  BEF_CE_ACHSE = 10,      /* CE X: report one axis (ArgWert3) */
  BEF_CP_ACHSE_NULL = 11, /* CP X: one axis's position preset to 0 */
  BEF_CP_ALLE_NULL = 12,  /* CP: all positions preset to 0 */
  BEF_CP_ACHSE = 13,      /* CP X n: one axis's position preset to n */
  BEF_CP_ALLE = 14,       /* CP n: all positions preset to n */
  BEF_D_ACHSE = 15,       /* DX n: relative move of one axis (ArgWert3, offset ArgWert1) */
  BEF_D_WERT = 16,        /* D expr: show the value ArgWert2 */
  BEF_D_TEXT = 17,        /* D "text" / D T n: show the display text */
  BEF_D_TEXT_ZEILE = 18,  /* D r "text" / D r T n: show the display text on row ArgWert1 */
  BEF_D_WERT_ZEILE = 19,  /* D r V...: show the value ArgWert2 on row ArgWert1 */
  BEF_D_ACHSPAAR = 20,    /* DX n DY m: relative move of two axes (ArgWert3, ArgWert4) */
  BEF_ENDE = 21,          /* ENDE, or the next program's header reached: the program ended */
  BEF_F_ACHSE = 22,       /* F X: axis selection for the jog keys (ArgWert3) */
  BEF_F_TASTEN = 23,      /* FXY k0, ..., k8: teach-in keys set */
  BEF_G_ALLE = 24,        /* G n: travel speed of every axis */
  BEF_GS_ALLE = 25,       /* GS n: start speed of every axis */
  BEF_GS_ACHSE = 26,      /* GS X n: start speed of one axis */
  BEF_G_ACHSE = 27,       /* G X n: travel speed of one axis */
  BEF_I_ALLGEMEIN = 28,   /* I n / I X n: path request with operands */
  BEF_IH = 29,            /* IH ...: path reference request with operands */
  BEF_J = 30,             /* J M n / J PROG...: unconditional jump or call */
  BEF_JE = 31,            /* J E n: jump when input ArgWert1 is set (V_Handshake) */
  BEF_JNE = 32,           /* J N E n: jump when input ArgWert1 is not set */
  BEF_J_VERGLEICH = 33,   /* J a = b M n: jump on a comparison (operator ArgWert3) */
  BEF_J_ACHSE = 34,       /* J X M n: jump when axis ArgWert1 is at rest (V_Handshake) */
  BEF_JN_ACHSE = 35,      /* J N X M n: jump when axis ArgWert1 is not at rest */
  BEF_KI = 36,            /* KI n: V n = 17 (no key) */
  BEF_K = 37,             /* K n: V n = key code ArgWert2 */
  BEF_L_ENDE = 38,        /* L: loop end */
  BEF_L_START = 39,       /* L n: loop start */
  BEF_LOAD = 40,          /* LOAD: the controller goes idle and reloads */
  BEF_LVAR = 42,          /* LVAR: load the variables */
  BEF_MARKE = 43,         /* M n: label line */
  BEF_P_SETZEN = 44,      /* P n = x, y: point variable set */
  BEF_P_LESEN = 45,       /* P n: point variable read (ArgWert2, ArgWert3) */
  BEF_P_TEACH = 46,       /* P n = X: point variable from the taught position */
  BEF_PVAR = 48,          /* PVAR: save the point variables */
  BEF_Q = 49,             /* Q */
  BEF_R_WERT = 50,        /* R n: value form */
  BEF_R_ACHSE = 51,       /* R X n: axis value form (ArgWert3) */
  BEF_RO = 52,            /* RO n: output value form */
  BEF_RETURN = 53,        /* RETURN: back from a subroutine */
  BEF_SO = 54,            /* SO n: switch output ArgWert1 */
  BEF_STOP = 55,          /* STOP: the program halts */
  BEF_TE = 56,            /* TE n / TE X n: request with operands (ArgWert1, ArgWert3) */
  BEF_T = 57,             /* T n = "text": text variable set */
  BEF_V = 59,             /* V n = expr: value variable set */
  BEF_W = 61,             /* W: wait until every axis and the path rest */
  BEF_W_ZEIT = 62,        /* W n: wait n ticks */
  BEF_WE = 63,            /* WE n: wait until input ArgWert1 is set */
  BEF_WNE = 64,           /* WNE n: wait until input ArgWert1 is not set */
  BEF_W_ACHSE = 65,       /* W X: wait until axis ArgWert3 rests */
  BEF_FREION = 66,        /* FREION: drives enabled */
  BEF_FREIOFF = 67,       /* FREIOFF: drives disabled */
  BEF_ENDON = 68,         /* ENDON ...: END switches on */
  BEF_ENDOFF = 69,        /* ENDOFF: END switches off */
  BEF_GE = 70             /* GE X n: lowest braking speed of an axis or the path */
};

/* The name of a command code ("BEF_ACHSE"), or null for a code without one. */
static inline const char *vela_befehlsname(int code) {
  switch (code) {
    case BEF_KEINER: return "BEF_KEINER";
    case BEF_ACHSE: return "BEF_ACHSE";
    case BEF_ACHSPAAR: return "BEF_ACHSPAAR";
    case BEF_HOME: return "BEF_HOME";
    case BEF_HOME_PAAR: return "BEF_HOME_PAAR";
    case BEF_SKALA_MM: return "BEF_SKALA_MM";
    case BEF_SKALA_SCHRITTE: return "BEF_SKALA_SCHRITTE";
    case BEF_BREAK: return "BEF_BREAK";
    case BEF_BREAK_ACHSE: return "BEF_BREAK_ACHSE";
    case BEF_CE_ALLE: return "BEF_CE_ALLE";
    case BEF_CE_ACHSE: return "BEF_CE_ACHSE";
    case BEF_CP_ACHSE_NULL: return "BEF_CP_ACHSE_NULL";
    case BEF_CP_ALLE_NULL: return "BEF_CP_ALLE_NULL";
    case BEF_CP_ACHSE: return "BEF_CP_ACHSE";
    case BEF_CP_ALLE: return "BEF_CP_ALLE";
    case BEF_D_ACHSE: return "BEF_D_ACHSE";
    case BEF_D_WERT: return "BEF_D_WERT";
    case BEF_D_TEXT: return "BEF_D_TEXT";
    case BEF_D_TEXT_ZEILE: return "BEF_D_TEXT_ZEILE";
    case BEF_D_WERT_ZEILE: return "BEF_D_WERT_ZEILE";
    case BEF_D_ACHSPAAR: return "BEF_D_ACHSPAAR";
    case BEF_ENDE: return "BEF_ENDE";
    case BEF_F_ACHSE: return "BEF_F_ACHSE";
    case BEF_F_TASTEN: return "BEF_F_TASTEN";
    case BEF_G_ALLE: return "BEF_G_ALLE";
    case BEF_GS_ALLE: return "BEF_GS_ALLE";
    case BEF_GS_ACHSE: return "BEF_GS_ACHSE";
    case BEF_G_ACHSE: return "BEF_G_ACHSE";
    case BEF_I_ALLGEMEIN: return "BEF_I_ALLGEMEIN";
    case BEF_IH: return "BEF_IH";
    case BEF_J: return "BEF_J";
    case BEF_JE: return "BEF_JE";
    case BEF_JNE: return "BEF_JNE";
    case BEF_J_VERGLEICH: return "BEF_J_VERGLEICH";
    case BEF_J_ACHSE: return "BEF_J_ACHSE";
    case BEF_JN_ACHSE: return "BEF_JN_ACHSE";
    case BEF_KI: return "BEF_KI";
    case BEF_K: return "BEF_K";
    case BEF_L_ENDE: return "BEF_L_ENDE";
    case BEF_L_START: return "BEF_L_START";
    case BEF_LOAD: return "BEF_LOAD";
    case BEF_LVAR: return "BEF_LVAR";
    case BEF_MARKE: return "BEF_MARKE";
    case BEF_P_SETZEN: return "BEF_P_SETZEN";
    case BEF_P_LESEN: return "BEF_P_LESEN";
    case BEF_P_TEACH: return "BEF_P_TEACH";
    case BEF_PVAR: return "BEF_PVAR";
    case BEF_Q: return "BEF_Q";
    case BEF_R_WERT: return "BEF_R_WERT";
    case BEF_R_ACHSE: return "BEF_R_ACHSE";
    case BEF_RO: return "BEF_RO";
    case BEF_RETURN: return "BEF_RETURN";
    case BEF_SO: return "BEF_SO";
    case BEF_STOP: return "BEF_STOP";
    case BEF_TE: return "BEF_TE";
    case BEF_T: return "BEF_T";
    case BEF_V: return "BEF_V";
    case BEF_W: return "BEF_W";
    case BEF_W_ZEIT: return "BEF_W_ZEIT";
    case BEF_WE: return "BEF_WE";
    case BEF_WNE: return "BEF_WNE";
    case BEF_W_ACHSE: return "BEF_W_ACHSE";
    case BEF_FREION: return "BEF_FREION";
    case BEF_FREIOFF: return "BEF_FREIOFF";
    case BEF_ENDON: return "BEF_ENDON";
    case BEF_ENDOFF: return "BEF_ENDOFF";
    case BEF_GE: return "BEF_GE";
    default: return 0;
  }
}

#endif /* VELA_BEFEHLE_H */
