// Expression evaluation.
//
//   level 1  zuweisung := V index = sum | V index = axis selector | sum
//   level 2  sum        := product { (+|-) product }
//   level 3  product    := power { (*|/|%) power }
//   level 4  power      := signed [ ^ power ]          (right-associative)
//   level 5  signed     := [ + | - ] bracket           (one sign at most)
//   level 6  bracket    := ( zuweisung ) | operand
//
// Levels 2 to 6 are one loop (summe): the operators of levels 2 and 3 are
// told apart by a table, a product is gathered in the term it belongs to
// and added to the sum when the next + or - (or the end) comes. Only
// brackets and powers recurse. The operands and operators are met, and
// applied, in exactly the order of the grammar above.
//
// A level does not stop at an error: it reads its operands to the end and
// returns the first non-zero code in text order. Nesting of brackets and
// powers is limited to kMaxTiefe so that no text can exhaust the stack; a
// deeper operand is refused with 18 like any operand that cannot start.
#include "expr/eval.h"

#include <cstdint>

#include "expr/scanner.h"
#include "core/arith.h"
#include "core/cursor.h"
#include "core/fehler.h"
#include "core/zustand.h"
#include "planner/achsen.h"
#include "vela_befehle.h"

namespace vela {

int16_t noAssign;

void resetEval() { noAssign = 0; }

namespace {

int tiefe;  // current nesting of brackets and powers

// Level of each operator character: 2 sum, 3 product, 4 power.
constexpr uint8_t STUFE_SUMME = 2;
constexpr uint8_t STUFE_PRODUKT = 3;
constexpr uint8_t STUFE_POTENZ = 4;
struct Operatorstufen {
  uint8_t stufe[256] = {};
  constexpr Operatorstufen() {
    stufe[static_cast<uint8_t>('+')] = stufe[static_cast<uint8_t>('-')] = STUFE_SUMME;
    stufe[static_cast<uint8_t>('*')] = stufe[static_cast<uint8_t>('/')] = STUFE_PRODUKT;
    stufe[static_cast<uint8_t>('%')] = STUFE_PRODUKT;
    stufe[static_cast<uint8_t>('^')] = STUFE_POTENZ;
  }
};
constexpr Operatorstufen kStufen;

// Level of the current token as an operator, 0 when it is none.
inline uint8_t operatorStufe() {
  return TokenTyp == TOK_DELIM ? kStufen.stufe[static_cast<uint8_t>(Token[0])] : 0;
}

inline bool istDelim(char op) { return TokenTyp == TOK_DELIM && Token[0] == op; }

inline void merke(int16_t &code, int16_t neu) {
  if (code == F_OK) code = neu;
}

int16_t zuweisung(int32_t &value);
int16_t potenz(int32_t &value);

// Levels 5 and 6: [ + | - ] ( ( zuweisung ) | operand ).
inline int16_t vorzeichen(int32_t &value) {
  char zeichen = '\0';
  if (operatorStufe() == STUFE_SUMME) {
    zeichen = Token[0];
    getToken();
  }
  int16_t code;
  if (!istDelim('(')) {
    code = evalOperand(value);
  } else if (tiefe >= kMaxTiefe) {
    code = F_UNVOLLST;
  } else {
    ++tiefe;
    getToken();
    code = zuweisung(value);
    if (!istDelim(')')) merke(code, F_KLAMMER);
    getToken();
    --tiefe;
  }
  if (zeichen == '-') value = wrapNeg(value);
  return code;
}

// The exponent of a '^' at the current token, applied to value; code is
// the base's.
[[gnu::noinline]] int16_t hoch(int32_t &value, int16_t code) {
  if (tiefe >= kMaxTiefe) {
    merke(code, F_UNVOLLST);
    return code;
  }
  ++tiefe;
  getToken();
  int32_t exponent = 0;
  merke(code, potenz(exponent));
  merke(code, rechneOp('^', value, exponent));
  --tiefe;
  return code;
}

// Level 4.
inline int16_t potenzInline(int32_t &value) {
  const int16_t code = vorzeichen(value);
  return istDelim('^') ? hoch(value, code) : code;
}

int16_t potenz(int32_t &value) { return potenzInline(value); }

// Levels 2 and 3. The first term is value itself; each later term is read
// into 'rechts' and added or subtracted when it is complete.
int16_t summe(int32_t &value) {
  int16_t code = potenzInline(value);
  int32_t *term = &value;
  int32_t rechts = 0;
  char summenOp = '\0';
  for (;;) {
    const uint8_t stufe = operatorStufe();
    if (stufe == STUFE_PRODUKT) {
      const char op = Token[0];
      getToken();
      int32_t faktor = 0;
      merke(code, potenzInline(faktor));
      merke(code, rechneOp(op, *term, faktor));
    } else if (stufe == STUFE_SUMME) {
      if (summenOp != '\0') rechneOp(summenOp, value, rechts);
      summenOp = Token[0];
      getToken();
      rechts = 0;
      term = &rechts;
      merke(code, potenzInline(rechts));
    } else {
      break;
    }
  }
  if (summenOp != '\0') rechneOp(summenOp, value, rechts);
  return code;
}

// Level 1.
int16_t zuweisung(int32_t &value) {
  if (TokenTyp != TOK_VARIABLE) return summe(value);

  char *nachV = NextBefp;  // directly behind the V
  int32_t index = 0;
  if (*NextBefp == 'V') {
    nextNonBlank();
    const int16_t code = readVarIndex(index);
    if (code != F_OK) return code;
  } else {
    getToken();
    if (TokenTyp != TOK_NUMBER) return F_INDEX_V;
    index = TokenWert;
  }
  if (index < 0 || index >= kWertVars) return F_INDEX;

  getToken();
  if (istDelim('=') && noAssign == 0 && Befehl != BEF_T) {
    getToken();
    if (TokenTyp == TOK_AXIS) {
      const uint8_t achse = axisIndex(Token[0]);
      getToken();
      if (TokenTyp == TOK_SELECTOR) {
        switch (Token[0]) {
          case 'T': V_WertVar[index] = achse < kMotorAchsen ? AchsZaehler[achse] : 0; break;
          case 'P': V_WertVar[index] = readIstPos(achse); break;
          default: break;  // E and C store nothing
        }
        return F_OK;
      }
      return summe(value);
    }
    const int16_t code = summe(value);
    V_WertVar[index] = value;
    return code;
  }

  // No assignment: read the reference again as an operand.
  NextBefp = nachV;
  Token[0] = 'V';
  Token[1] = '\0';
  TokenTyp = TOK_VARIABLE;
  TokenLaenge = 1;
  return summe(value);
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

int16_t evalAusdruck(int32_t &value) {
  tiefe = 0;
  getToken();
  if (Token[0] == '\0') return F_KEIN_AUSDRUCK;
  const int16_t code = zuweisung(value);

  // Give the ending token back, so that the caller can look at it; an
  // ending comma stays consumed.
  if (!(TokenTyp == TOK_DELIM && Token[0] == ',')) {
    NextBefp -= TokenLaenge;
    if (TokenTyp == TOK_TEXT) {
      do {
        --NextBefp;
      } while (*NextBefp != '"');
    }
  }
  return code;
}

}  // namespace vela
