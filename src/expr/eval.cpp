// Expression evaluation.
//
//   level 1  zuweisung := V index = sum | V index = axis selector | sum
//   level 2  sum        := product { (+|-) product }
//   level 3  product    := power { (*|/|%) power }
//   level 4  power      := signed [ ^ power ]          (right-associative)
//   level 5  signed     := [ + | - ] bracket           (one sign at most)
//   level 6  bracket    := ( zuweisung ) | operand
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

bool istDelim(char op) { return TokenTyp == TOK_DELIM && Token[0] == op; }

void merke(int16_t &code, int16_t neu) {
  if (code == F_OK) code = neu;
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

int16_t evalKlammer(int32_t &value) {
  if (!istDelim('(')) return evalOperand(value);
  if (tiefe >= kMaxTiefe) return F_UNVOLLST;
  ++tiefe;
  getToken();
  int16_t code = evalZuweisung(value);
  if (!istDelim(')')) merke(code, F_KLAMMER);
  getToken();
  --tiefe;
  return code;
}

int16_t evalVorzeichen(int32_t &value) {
  char vorzeichen = '\0';
  if (istDelim('+') || istDelim('-')) {
    vorzeichen = Token[0];
    getToken();
  }
  const int16_t code = evalKlammer(value);
  if (vorzeichen == '-') value = wrapNeg(value);
  return code;
}

int16_t evalPotenz(int32_t &value) {
  int16_t code = evalVorzeichen(value);
  if (istDelim('^')) {
    if (tiefe >= kMaxTiefe) {
      merke(code, F_UNVOLLST);
      return code;
    }
    ++tiefe;
    getToken();
    int32_t exponent = 0;
    merke(code, evalPotenz(exponent));
    merke(code, rechneOp('^', value, exponent));
    --tiefe;
  }
  return code;
}

int16_t evalProdukt(int32_t &value) {
  int16_t code = evalPotenz(value);
  while (istDelim('*') || istDelim('/') || istDelim('%')) {
    const char op = Token[0];
    getToken();
    int32_t rechts = 0;
    merke(code, evalPotenz(rechts));
    merke(code, rechneOp(op, value, rechts));
  }
  return code;
}

int16_t evalSumme(int32_t &value) {
  int16_t code = evalProdukt(value);
  while (istDelim('+') || istDelim('-')) {
    const char op = Token[0];
    getToken();
    int32_t rechts = 0;
    merke(code, evalProdukt(rechts));
    merke(code, rechneOp(op, value, rechts));
  }
  return code;
}

int16_t evalZuweisung(int32_t &value) {
  if (TokenTyp != TOK_VARIABLE) return evalSumme(value);

  char *nachV = NextBefp;  // directly behind the V
  int32_t index = 0;
  if (*NextBefp == 'V') {
    nextNonBlank();
    const int16_t code = readVarIndex(index);
    if (code != F_OK) return code;
  } else {
    getToken();
    if (TokenTyp != TOK_NUMBER) return F_INDEX_V;
    index = zahlWert(Token);
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
      return evalSumme(value);
    }
    const int16_t code = evalSumme(value);
    V_WertVar[index] = value;
    return code;
  }

  // No assignment: read the reference again as an operand.
  NextBefp = nachV;
  Token[0] = 'V';
  Token[1] = '\0';
  TokenTyp = TOK_VARIABLE;
  TokenLaenge = 1;
  return evalSumme(value);
}

int16_t evalAusdruck(int32_t &value) {
  tiefe = 0;
  getToken();
  if (Token[0] == '\0') return F_KEIN_AUSDRUCK;
  const int16_t code = evalZuweisung(value);

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
