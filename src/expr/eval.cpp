// Expression evaluation.
//
//   level 1  zuweisung := V index = sum | V index = axis selector | sum
//   level 2  sum        := product { (+|-) product }
//   level 3  product    := power { (*|/|%) power }
//   level 4  power      := signed [ ^ power ]          (right-associative)
//   level 5  signed     := [ + | - ] bracket           (one sign at most)
//   level 6  bracket    := ( zuweisung ) | operand
//   operand             := T | V index | number
//   index               := digits | V index
//
// Levels 2 to 6 are one loop (summe): the operators of levels 2 and 3 are
// told apart by a table, a product is gathered in the term it belongs to
// and added to the sum when the next + or - (or the end) comes. Only
// brackets and powers recurse. Operands and operators are met, and
// applied, in exactly the order of the grammar above.
//
// The evaluation scans with a reader of its own (a local cursor and token)
// and reports where it ended; evalAusdruck puts that into NextBefp. Where
// the value variables are read and assigned is a parameter of the
// evaluation (Direkt: V_WertVar; Zuweisungen: V_WertVar with the
// evaluation's own assignments kept apart), and so is whether "V n ="
// assigns at all.
//
// Before the levels, evalAusdruck tries two shorter ways: a lone number,
// and one pass over the text for the shapes most lines have (numbers,
// direct references, + - * / %, brackets, a leading V n =). Both leave
// exactly what the levels would leave, and give up, having written
// nothing, at anything else.
//
// A level does not stop at an error: it reads its operands to the end and
// returns the first non-zero code in text order. Nesting of brackets and
// powers is limited to kMaxTiefe so that no text can exhaust the stack; a
// deeper operand is refused with 18 like any operand that cannot start.
#include "expr/eval.h"

#include <bit>
#include <cstdint>

#include "core/arith.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "expr/scanner.h"
#include "planner/achsen.h"
#include "platform/plattform.h"

namespace vela {

namespace {

// What an evaluation needs to know besides the text: whether "V n ="
// assigns (noAssign), where V n is read and assigned, and where the end goes. Small
// enough to pass in registers.
//
// evalAusdruck: V_WertVar and the cursor.
struct Direkt {
  bool noAssign;
  static int32_t lese(uint32_t i) { return V_WertVar[i]; }
  static void schreibe(uint32_t i, int32_t v) { V_WertVar[i] = v; }
  static void endeBei(char *p) { NextBefp = p; }
};

// werteAus: V_WertVar under the evaluation's own assignments, and a
// pointer of the caller.
template <bool N>
struct Rein {
  static constexpr bool noAssign = N;
  Zuweisungen *neu;
  char **ende;
  int32_t lese(uint32_t i) const { return neu->lese(i); }
  void schreibe(uint32_t i, int32_t v) const { neu->schreibe(i, v); }
  void endeBei(char *p) const { *ende = p; }
};

// A reader with the evaluation's context.
template <class W>
struct Lauf : Leser {
  W werte;
};

// Level of each operator character: 2 sum, 3 product.
constexpr uint8_t STUFE_SUMME = 2;
constexpr uint8_t STUFE_PRODUKT = 3;
struct Operatorstufen {
  uint8_t stufe[256] = {};
  constexpr Operatorstufen() {
    stufe[static_cast<uint8_t>('+')] = stufe[static_cast<uint8_t>('-')] = STUFE_SUMME;
    stufe[static_cast<uint8_t>('*')] = stufe[static_cast<uint8_t>('/')] = STUFE_PRODUKT;
    stufe[static_cast<uint8_t>('%')] = STUFE_PRODUKT;
  }
};
constexpr Operatorstufen kStufen;

// Level of the current token as an operator, 0 when it is none.
inline uint8_t operatorStufe(const Leser &l) {
  return l.typ == TOK_DELIM ? kStufen.stufe[static_cast<uint8_t>(l.zeichen)] : 0;
}

inline bool istDelim(const Leser &l, char op) { return l.typ == TOK_DELIM && l.zeichen == op; }

// True when the current token continues an operand: + - * / % ^.
inline bool setztFort(const Leser &l) { return operatorStufe(l) != 0 || istDelim(l, '^'); }

inline void merke(int16_t &code, int16_t neu) {
  if (code == F_OK) code = neu;
}

// Reads the index behind a V (p stands behind it), direct or indirect, and
// stores that variable's value; an indirect reference V V ... n reads the
// variables from the inside out. Counting the V's first and resolving them
// in a loop keeps the stack flat however long the chain is.
template <class W>
[[gnu::noinline]] int16_t leseIndexIndirekt(char *&p, int32_t &value, const W &w) {
  uint32_t indirekt = 0;
  while (*p == 'V') {
    ++p;
    while (*p == ' ') ++p;
    ++indirekt;
  }
  if (!istZiffer(*p)) return F_INDEX_V;
  uint32_t index = 0;
  for (; istZiffer(*p); ++p) index = index * 10u + static_cast<uint32_t>(*p - '0');
  index &= 0xFFFFu;  // the direct index is a 16-bit number
  if (index >= static_cast<uint32_t>(kWertVars)) return F_INDEX;
  int32_t wert = w.lese(index);
  for (; indirekt > 0; --indirekt) {
    if (wert < 0 || wert >= kWertVars) return F_INDEX;
    wert = w.lese(static_cast<uint32_t>(wert));
  }
  value = wert;
  return F_OK;
}

// The same; a direct index (digits) is read here.
template <class W>
inline int16_t leseIndex(char *&p, int32_t &value, const W &w) {
  char *q = p;
  if (!istZiffer(*q)) return leseIndexIndirekt(p, value, w);
  auto index = static_cast<uint32_t>(*q - '0');
  for (++q; istZiffer(*q); ++q) index = index * 10u + static_cast<uint32_t>(*q - '0');
  p = q;
  index &= 0xFFFFu;
  if (index >= static_cast<uint32_t>(kWertVars)) return F_INDEX;
  value = w.lese(index);
  return F_OK;
}

// The operand that the current token begins; reads the token after it.
// A token that begins none is not consumed.
template <class W>
inline int16_t operand(Lauf<W> &l, int32_t &value) {
  switch (l.typ) {
    case TOK_VARIABLE: {
      const int16_t code = leseIndex(l.p, value, l.werte);
      lies(l);
      return code;
    }
    case TOK_NUMBER:
      value = l.wert;
      lies(l);
      return F_OK;
    case TOK_SELECTOR:
      if (l.zeichen != 'T') break;
      value = static_cast<int32_t>(getTicks());
      lies(l);
      return F_OK;
    default: break;
  }
  return F_UNVOLLST;
}

template <class W>
int16_t potenz(Lauf<W> &l, int32_t &value);
template <class W>
int16_t klammer(Lauf<W> &l, int32_t &value);

// Levels 5 and 6: [ + | - ] ( ( zuweisung ) | operand ).
template <class W>
[[gnu::always_inline]] inline int16_t vorzeichen(Lauf<W> &l, int32_t &value) {
  char zeichen = '\0';
  if (operatorStufe(l) == STUFE_SUMME) {
    zeichen = l.zeichen;
    lies(l);
  }
  const int16_t code = istDelim(l, '(') ? klammer(l, value) : operand(l, value);
  if (zeichen == '-') value = wrapNeg(value);
  return code;
}

// The exponent of the '^' at the current token, applied to value; code is
// the base's.
template <class W>
[[gnu::noinline]] int16_t hoch(Lauf<W> &l, int32_t &value, int16_t code) {
  if (l.tiefe >= kMaxTiefe) {
    merke(code, F_UNVOLLST);
    return code;
  }
  ++l.tiefe;
  lies(l);
  int32_t exponent = 0;
  merke(code, potenz(l, exponent));
  merke(code, rechneOp('^', value, exponent));
  --l.tiefe;
  return code;
}

// Level 4.
template <class W>
[[gnu::always_inline]] inline int16_t potenzInline(Lauf<W> &l, int32_t &value) {
  const int16_t code = vorzeichen(l, value);
  return istDelim(l, '^') ? hoch(l, value, code) : code;
}

template <class W>
int16_t potenz(Lauf<W> &l, int32_t &value) {
  return potenzInline(l, value);
}

// a := a op b for the operators of levels 2 and 3.
[[gnu::always_inline]] inline int16_t rechne(char op, int32_t &a, int32_t b) {
  switch (op) {
    case '+': a = wrapAdd(a, b); return F_OK;
    case '-': a = wrapSub(a, b); return F_OK;
    case '*': a = wrapMul(a, b); return F_OK;
    default: return rechneOp(op, a, b);
  }
}

// Levels 2 and 3. The first term is value itself; each later term is read
// into 'rechts' and added or subtracted when it is complete.
template <class W>
int16_t summe(Lauf<W> &l, int32_t &value) {
  int16_t code = potenzInline(l, value);
  int32_t *term = &value;
  int32_t rechts = 0;
  char summenOp = '\0';
  for (;;) {
    const uint8_t stufe = operatorStufe(l);
    if (stufe == STUFE_PRODUKT) {
      const char op = l.zeichen;
      lies(l);
      int32_t faktor = 0;
      merke(code, potenzInline(l, faktor));
      merke(code, rechne(op, *term, faktor));
    } else if (stufe == STUFE_SUMME) {
      if (summenOp != '\0') rechne(summenOp, value, rechts);
      summenOp = l.zeichen;
      lies(l);
      rechts = 0;
      term = &rechts;
      merke(code, potenzInline(l, rechts));
    } else {
      break;
    }
  }
  if (summenOp != '\0') rechne(summenOp, value, rechts);
  return code;
}

// Level 1.
template <class W>
[[gnu::always_inline]] inline int16_t zuweisung(Lauf<W> &l, int32_t &value) {
  if (l.typ != TOK_VARIABLE) return summe(l, value);

  char *nachV = l.p;  // directly behind the V
  int32_t index = 0;
  if (*l.p == 'V') {
    nextNonBlankIn(l.p);
    const int16_t code = leseIndex(l.p, index, l.werte);
    if (code != F_OK) return code;
  } else {
    lies(l);
    if (l.typ != TOK_NUMBER) return F_INDEX_V;
    index = l.wert;
  }
  if (index < 0 || index >= kWertVars) return F_INDEX;

  lies(l);
  if (istDelim(l, '=') && !l.werte.noAssign) {
    lies(l);
    if (l.typ == TOK_AXIS) {
      const uint8_t achse = axisIndex(l.zeichen);
      lies(l);
      if (l.typ == TOK_SELECTOR) {
        const auto i = static_cast<uint32_t>(index);
        switch (l.zeichen) {
          case 'T': l.werte.schreibe(i, achse < kMotorAchsen ? AchsZaehler[achse] : 0); break;
          case 'P': l.werte.schreibe(i, readIstPos(achse)); break;
          default: break;  // E and C store nothing
        }
        return F_OK;
      }
      return summe(l, value);
    }
    const int16_t code = summe(l, value);
    l.werte.schreibe(static_cast<uint32_t>(index), value);
    return code;
  }

  // No assignment: read the reference again as an operand.
  l.p = nachV;
  l.typ = TOK_VARIABLE;
  l.zeichen = 'V';
  l.anfang = nachV - 1;
  return summe(l, value);
}

// Level 6 with a '(' as the current token.
template <class W>
[[gnu::noinline]] int16_t klammer(Lauf<W> &l, int32_t &value) {
  if (l.tiefe >= kMaxTiefe) return F_UNVOLLST;
  ++l.tiefe;
  lies(l);
  int16_t code = zuweisung(l, value);
  if (!istDelim(l, ')')) merke(code, F_KLAMMER);
  lies(l);
  --l.tiefe;
  return code;
}

// The common shapes in one pass over the text, without the reader:
// numbers and direct references V n as operands, + - * / % and brackets,
// an optional "V n =" in front, or no expression at all. Anything else
// (signs, powers, T, indirect or spaced references, texts, an assignment
// in a bracket, any error) gives kLangsam before anything is written, and
// the levels above read the expression again. The end is exactly where
// those levels end.
constexpr int16_t kLangsam = -1;
constexpr int kSchnellTiefe = 8;

// What the character behind an operand means to the short path.
enum : uint8_t {
  N_ENDE,            // a character that begins no token: the expression ends before it
  N_EINZELN,         // a token of one character that continues nothing: it ends the expression
  N_PRODUKT,         // * / %
  N_SUMME,           // + -
  N_ZU,              // )
  N_LEER,            // space, tab
  N_ANDERS,          // ^, a number or a text: the long path
  N_IN_ZAHL = 0x80,  // flag: continues a number token (12.75, 3E2)
};
struct Nachfolger {
  uint8_t n[256] = {};
  constexpr Nachfolger() {
    for (int c = 0; c < 256; ++c) {
      const uint8_t z = kZeichen.z[c];
      uint8_t a = N_ANDERS;
      if (z & Z_LEER)
        a = N_LEER;
      else if ((z & Z_KLASSE) == TOK_UNKNOWN)
        a = N_ENDE;
      else if (z & Z_EINZELN)
        a = N_EINZELN;
      if (!(z & Z_ENDET_ZAHL)) a |= N_IN_ZAHL;
      n[c] = a;
    }
    n[static_cast<uint8_t>('+')] = n[static_cast<uint8_t>('-')] = N_SUMME;
    n[static_cast<uint8_t>('*')] = n[static_cast<uint8_t>('/')] = N_PRODUKT;
    n[static_cast<uint8_t>('%')] = N_PRODUKT;
    n[static_cast<uint8_t>(')')] = N_ZU;
    n[static_cast<uint8_t>('^')] = N_ANDERS;
  }
  constexpr uint8_t operator[](char c) const { return n[static_cast<uint8_t>(c)]; }
};
constexpr Nachfolger kNach;

inline int32_t plusMinus(char op, int32_t a, int32_t b) { return op == '+' ? wrapAdd(a, b) : wrapSub(a, b); }

// The token at p (a its kNach entry, blanks skipped) ends the expression:
// the end where the levels end. False for a token that the short path does
// not give back.
template <class W>
[[gnu::always_inline]] inline bool beende(char *p, uint8_t a, W w) {
  if (a == N_EINZELN || a == N_ZU) {
    if (*p == ',') ++p;  // an ending comma stays consumed
  } else if (a != N_ENDE) {
    return false;
  }
  w.endeBei(p);
  return true;
}

// p: the expression's first character, behind the blanks.
constexpr uint32_t kKeinZiel = UINT32_MAX;
template <class W>
[[gnu::always_inline]] inline int16_t schnellerAusdruck(char *p, int32_t &value, W w) {
  char c = *p;
  uint32_t ziel = kKeinZiel;
  if (c == 'V') {
    // "V n =": the target's index is a number token, so V1.5=2 assigns V1.
    const char *q = p + 1;
    if (!istZiffer(*q)) return kLangsam;
    uint32_t index = static_cast<uint32_t>(*q - '0');
    for (int n = 0; istZiffer(*++q);) {
      if (++n == 4) return kLangsam;
      index = index * 10u + static_cast<uint32_t>(*q - '0');
    }
    uint8_t a = kNach[*q];
    if (a & N_IN_ZAHL) return kLangsam;
    while (a == N_LEER) a = kNach[*++q];
    if (*q == '=' && !w.noAssign) {
      if (index >= static_cast<uint32_t>(kWertVars)) return kLangsam;
      ziel = index;
      p = const_cast<char *>(q) + 1;
      c = *p;
    }
  } else if ((kZeichen[c] & (Z_KLASSE | Z_EINZELN)) == TOK_UNKNOWN) {
    // No expression: the end is that character.
    w.endeBei(p);
    return F_KEIN_AUSDRUCK;
  }

  struct Ebene {
    int32_t summe, term;
    char summenOp, produktOp;
  };
  Ebene oben[kSchnellTiefe];
  int tiefe = 0;
  int32_t summe = 0, term = 0, x;
  char summenOp = '+', produktOp = '\0';
  uint8_t a;
  for (;;) {
    // An operand at p.
    while (kZeichen[c] & Z_LEER) c = *++p;
    if (istZiffer(c)) {
      auto wert = static_cast<uint32_t>(c - '0');
      for (c = *++p; istZiffer(c); c = *++p) wert = wert * 10u + static_cast<uint32_t>(c - '0');
      a = kNach[c];
      if (a & N_IN_ZAHL) return kLangsam;
      x = static_cast<int32_t>(wert);
    } else if (c == 'V') {
      c = *++p;
      if (!istZiffer(c)) return kLangsam;
      uint32_t index = static_cast<uint32_t>(c - '0');
      for (int n = 0; istZiffer(c = *++p);) {
        if (++n == 4) return kLangsam;
        index = index * 10u + static_cast<uint32_t>(c - '0');
      }
      if (index >= static_cast<uint32_t>(kWertVars)) return kLangsam;
      x = w.lese(index);
      a = static_cast<uint8_t>(kNach[c] & ~N_IN_ZAHL);
    } else if (c == '(') {
      if (tiefe == kSchnellTiefe) return kLangsam;
      oben[tiefe++] = Ebene{summe, term, summenOp, produktOp};
      summe = 0;
      summenOp = '+';
      produktOp = '\0';
      c = *++p;
      continue;
    } else {
      return kLangsam;
    }
    // x is complete: into the term, then the operator behind it.
    for (;;) {
      if (produktOp == '\0') {
        term = x;
      } else if (produktOp == '*') {
        term = wrapMul(term, x);
      } else {
        if (x == 0) return kLangsam;
        term = produktOp == '/' ? wrapDiv(term, x) : wrapRest(term, x);
      }
      while (a == N_LEER) a = kNach[*++p];
      if (a != N_ZU || tiefe == 0) break;
      x = plusMinus(summenOp, summe, term);
      const Ebene &e = oben[--tiefe];
      summe = e.summe;
      term = e.term;
      summenOp = e.summenOp;
      produktOp = e.produktOp;
      a = static_cast<uint8_t>(kNach[*++p] & ~N_IN_ZAHL);
    }
    c = *p;
    if (a == N_PRODUKT) {
      produktOp = c;
    } else if (a == N_SUMME) {
      summe = plusMinus(summenOp, summe, term);
      summenOp = c;
      produktOp = '\0';
    } else {
      break;
    }
    c = *++p;
  }
  if (tiefe != 0 || !beende(p, a, w)) return kLangsam;
  value = plusMinus(summenOp, summe, term);
  if (ziel != kKeinZiel) w.schreibe(ziel, value);
  return F_OK;
}

}  // namespace

int16_t rechneOp(char op, int32_t &a, int32_t b) {
  switch (op) {
    case '+': a = wrapAdd(a, b); break;
    case '-': a = wrapSub(a, b); break;
    case '*': a = wrapMul(a, b); break;
    case '/':
      if (b == 0) return F_DIVISION;
      a = wrapDiv(a, b);
      break;
    case '%':
      if (b == 0) return F_DIVISION;
      a = wrapRest(a, b);
      break;
    case '^': {
      // b = 0 gives 1, b < 0 leaves a. Squaring keeps long exponents fast;
      // products modulo 2^32 do not depend on the grouping.
      if (b < 0) break;
      auto basis = static_cast<uint32_t>(a);
      uint32_t ergebnis = 1;
      for (auto e = static_cast<uint32_t>(b); e != 0; e >>= 1) {
        if (e & 1u) ergebnis *= basis;
        basis *= basis;
      }
      a = static_cast<int32_t>(ergebnis);
      break;
    }
    default: break;
  }
  return F_OK;
}

namespace {

// The expression at p by the levels above.
template <class W>
[[gnu::noinline]] int16_t evalLang(char *p, int32_t &value, W w) {
  Lauf<W> l;
  l.p = p;
  l.tiefe = 0;
  l.werte = w;
  lies(l);
  int16_t code = F_KEIN_AUSDRUCK;
  if (!tokenLeer(l)) {
    if (l.typ == TOK_NUMBER) {
      // A number that no operator continues (the common argument) is the
      // whole expression; otherwise the levels read it again.
      const Lauf<W> zahl = l;
      lies(l);
      if (setztFort(l)) {
        l = zahl;
        code = zuweisung(l, value);
      } else {
        value = zahl.wert;
        code = F_OK;
      }
    } else {
      code = zuweisung(l, value);
    }
    // Give the ending token back, so that the caller can look at it; an
    // ending comma stays consumed.
    if (!istDelim(l, ',')) {
      l.p -= tokenLaenge(l);
      if (l.typ == TOK_TEXT) {
        do {
          --l.p;
        } while (*l.p != '"');
      }
    }
  }
  w.endeBei(l.p);
  return code;
}

// The expression whose first character (behind the blanks) is at p.
template <class W>
[[gnu::noinline]] int16_t ausdruckAb(char *p, int32_t &value, W w) {
  const int16_t code = schnellerAusdruck(p, value, w);
  return code != kLangsam ? code : evalLang(p, value, w);
}

// The expression at p.
template <class W>
[[gnu::always_inline]] inline int16_t auswerten(char *p, int32_t &value, W w) {
  // A number that no operator continues, the common argument.
  char c = *p;
  while (kZeichen[c] & Z_LEER) c = *++p;
  char *const anfang = p;
  if (istZiffer(c)) {
    auto wert = static_cast<uint32_t>(c - '0');
    for (c = *++p; istZiffer(c); c = *++p) wert = wert * 10u + static_cast<uint32_t>(c - '0');
    uint8_t a = kNach[c];
    if (!(a & N_IN_ZAHL)) {
      while (a == N_LEER) a = kNach[*++p];
      if (a != N_PRODUKT && a != N_SUMME && beende(p, a, w)) {
        value = static_cast<int32_t>(wert);
        return F_OK;
      }
    }
  }
  return ausdruckAb(anfang, value, w);
}

}  // namespace

int16_t evalAusdruck(int32_t &value) { return auswerten(NextBefp, value, Direkt{false}); }

int16_t evalAusdruck(int32_t &value, bool noAssign) { return auswerten(NextBefp, value, Direkt{noAssign}); }

int16_t werteAus(char *p, int32_t &value, char *&ende, bool noAssign, Zuweisungen &neu) {
  if (!noAssign) return auswerten(p, value, Rein<false>{&neu, &ende});
  return auswerten(p, value, Rein<true>{&neu, &ende});
}

void Zuweisungen::beginne() {
  for (uint64_t &w : gesetzt_) w = 0;
  benutzt_ = true;
}

void Zuweisungen::speichere() const {
  for (int w = 0; w < kWoerter; ++w) {
    for (uint64_t bits = gesetzt_[w]; bits != 0; bits &= bits - 1) {
      const int i = w * 64 + std::countr_zero(bits);
      V_WertVar[i] = wert_[i];
    }
  }
}

}  // namespace vela
