#include "generator.h"

#include <algorithm>

#include "vela.h"

namespace diffcheck {

uint64_t Generator::naechste() {
  uint64_t z = (zustand_ += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

int Generator::zahl(int von, int bis) {
  return von + static_cast<int>(naechste() % static_cast<uint64_t>(bis - von + 1));
}

std::string Generator::leer() {
  const int r = zahl(0, 9);
  return r < 5 ? "" : r < 9 ? " " : "  ";
}

std::string Generator::konstante() {
  const int r = zahl(0, 99);
  if (r < 55) return std::to_string(zahl(0, 20));
  if (r < 75) return std::to_string(zahl(0, 1000));
  if (r < 85) return std::to_string(zahl(0, 2000000));
  if (r < 97)
    return wahl<std::string>(
        {"2147483647", "2147483648", "4294967296", "65535", "65536", "32767", "32768", "0"});
  return "12.5";
}

std::string Generator::var() {
  const int r = zahl(0, 99);
  if (r < 80) return "V" + std::to_string(zahl(0, 12));
  if (r < 88) return "V" + std::to_string(zahl(295, 299));
  if (r < 92) return "V" + std::to_string(wahl<int>({300, 301, 65537, 4294967}));
  if (r < 97) return "VV" + std::to_string(zahl(0, 12));
  return "V";
}

std::string Generator::operand(int tiefe) {
  const int r = zahl(0, 99);
  if (r < 40) return konstante();
  if (r < 75) return var();
  if (r < 78) return "T";
  if (r < 88 && tiefe < 3) return "(" + ausdruck(tiefe + 1) + (chance(95) ? ")" : "");
  if (r < 95) return "-" + operand(tiefe + 1);
  if (tiefe < 3) return "(" + var() + "=" + ausdruck(tiefe + 1) + ")";
  return konstante();
}

std::string Generator::ausdruck(int tiefe) {
  std::string a = operand(tiefe);
  const int n = tiefe < 2 ? zahl(0, 3) : zahl(0, 1);
  for (int i = 0; i < n; ++i) {
    const char op = "+-*/%^+-*"[zahl(0, 8)];
    a += leer() + op + leer();
    a += op == '^' ? (chance(80) ? std::to_string(zahl(0, 5)) : var()) : operand(tiefe + 1);
  }
  if (chance(2)) a += wahl<std::string>({"+", "*", "&", ")", "=3"});
  return a;
}

std::string Generator::klein(int grenze) { return std::to_string(zahl(-grenze, grenze)); }

std::string Generator::achse() { return std::string(1, "XYZAI"[zahl(0, chance(90) ? 3 : 4)]); }

std::string Generator::textKonstante() {
  static const std::vector<std::string> texte = {"FERTIG", "", "Hallo Welt", "X=1, Y=2",
                                                 "abcdefghijklmnopqrstuvwxyz"};
  return "\"" + wahl(texte) + (chance(95) ? "\"" : "");
}

std::string Generator::marke() {
  if (!marken_.empty() && chance(93)) return "M" + leer() + std::to_string(wahl(marken_));
  return chance(50) ? "M" + std::to_string(zahl(0, 210)) : wahl<std::string>({"M", "MV1", "X", "M-1"});
}

std::string Generator::zeile() {
  const std::string b = leer();
  const int r = zahl(0, 99);
  // Value variables and expressions.
  if (r < 20) {
    if (chance(10)) return var() + b + "=" + b + achse() + " " + (chance(50) ? "P" : "T");
    return var() + b + "=" + b + ausdruck();
  }
  // Axis moves and settings.
  if (r < 30) {
    switch (zahl(0, 9)) {
      case 0: return achse() + b + ausdruck();
      case 1: return "X" + b + ausdruck() + " Y" + b + ausdruck();
      case 2: return "D" + achse() + b + klein(500);
      case 3: return "DX " + klein(100) + " DY " + klein(100);
      case 4: return achse() + "S " + std::to_string(zahl(0, 20));
      case 5: return achse() + "MM " + std::to_string(zahl(0, 5));
      case 6: return achse() + "H " + std::to_string(zahl(0, 1)) + ", " + std::to_string(zahl(0, 3));
      case 7: return "XH 0, 1 YH 1, 2";
      case 8: return "CP " + achse() + " " + klein(50);
      default: return "CP " + klein(50);
    }
  }
  // The path and circles.
  if (r < 40) {
    switch (zahl(0, 9)) {
      case 0:
      case 1: return "IL " + ausdruck() + "," + b + klein(200) + "," + b + klein(50);
      case 2: return "DIL " + klein(300) + ", " + klein(300) + ", " + klein(30);
      case 3: return (chance(50) ? "IS " : "IMM ") + std::to_string(zahl(0, 10));
      case 4: return chance(50) ? "IH" : "I " + ausdruck();
      case 5: return (chance(50) ? "CW " : "CCW ") + klein(30) + "," + b + klein(30);
      case 6:
        return (chance(50) ? "CW " : "CCW ") + klein(30) + ", " + klein(30) + ", " + klein(40) + ", " +
               klein(40);
      case 7: return "CPP " + klein(30) + ", " + klein(30) + ", " + klein(30) + ", " + klein(30);
      case 8: return "CPP 10, 10, 20, 20";
      default: return wahl<std::string>({"CW", "CCW 5", "CE Y 7", "CE 5", "CP Y", "CP", "CX 3", "C"});
    }
  }
  // Speeds, waits, F.
  if (r < 48) {
    switch (zahl(0, 9)) {
      case 0: return "G " + ausdruck();
      case 1: return "G " + achse() + " " + std::to_string(zahl(0, 5000));
      case 2: return "GS " + (chance(50) ? achse() + " " : "") + std::to_string(zahl(0, 500));
      case 3: return "GE " + achse() + " " + std::to_string(zahl(0, 500));
      case 4: return "W";
      case 5: return "W " + ausdruck();
      case 6: return "W " + achse();
      case 7: return (chance(50) ? "WE " : "WNE ") + ausdruck();
      case 8: return "F " + achse();
      default: return "FXY " + klein(9) + "," + klein(9) + "," + klein(9);
    }
  }
  // The display.
  if (r < 56) {
    switch (zahl(0, 9)) {
      case 0: return "D " + textKonstante();
      case 1: return "D " + std::to_string(zahl(0, 5)) + " " + textKonstante();
      case 2: return "D " + ausdruck();
      case 3: return "D " + std::to_string(zahl(1, 4)) + " " + var();
      case 4: return "D T" + std::to_string(zahl(0, 10));
      case 5: return "DF " + std::to_string(zahl(0, 12)) + "," + b + std::to_string(zahl(0, 5));
      case 6: return "DP " + std::to_string(zahl(0, 25)) + ", " + std::to_string(zahl(0, 5));
      case 7: return "DCH " + std::to_string(zahl(1, 4));
      case 8: return "D 3 T" + std::to_string(zahl(0, 9));
      default: return "D " + achse() + " " + klein(20);
    }
  }
  // Texts, keys, points.
  if (r < 63) {
    switch (zahl(0, 7)) {
      case 0: return "T" + std::to_string(zahl(0, 10)) + b + "=" + b + textKonstante();
      case 1: return "T" + std::to_string(zahl(0, 9)) + " " + textKonstante();
      case 2: return "TE " + ausdruck();
      case 3: return (chance(50) ? "K " : "KI ") + var();
      case 4: return "P" + std::to_string(zahl(0, 10)) + "=" + ausdruck() + "," + b + ausdruck();
      case 5: return "P" + std::to_string(zahl(0, 9)) + "=X";
      case 6: return "P" + std::to_string(zahl(0, 9));
      default: return "PVAR";
    }
  }
  // Jumps, calls, programs.
  if (r < 80) {
    const std::string ziel = marke();
    switch (zahl(0, 11)) {
      case 0: return "J " + ziel;
      case 1:
      case 2: return "J " + ausdruck() + b + std::string(1, "=<>!"[zahl(0, 3)]) + b + ausdruck() + " " + ziel;
      case 3: return (chance(50) ? "JE " : "JNE ") + ausdruck() + " " + ziel;
      case 4: return "J " + std::string(chance(50) ? "N " : "") + achse() + " " + ziel;
      case 5:
      case 6:
        if (!unterprogramme_.empty()) return "JS M" + std::to_string(wahl(unterprogramme_));
        return "JS " + ziel;
      case 7: return std::string(chance(50) ? "J" : "JS") + " PROG" + (chance(85) ? wahl(programme_) : "NIX");
      case 8:
        return "J PROG" + wahl(programme_) + "," + std::to_string(zahl(0, 5)) + "," +
               std::to_string(zahl(0, 4));
      case 9:
        return "PRIO " + std::to_string(zahl(0, 130)) + (chance(50) ? ", " + std::to_string(zahl(0, 4)) : "");
      case 10: return "J PROGV" + std::to_string(zahl(0, 5));
      default: return chance(50) ? "RETURN" : "J";
    }
  }
  // Commands the controller acts on.
  if (r < 90) {
    switch (zahl(0, 11)) {
      case 0: return "Q" + std::string(chance(50) ? " 123" : "");
      case 1: return (chance(50) ? "SO " : "STOP ") + ausdruck();
      case 2: return "BREAK" + (chance(50) ? " " + achse() : "");
      case 3: return "R " + ausdruck();
      case 4: return "R " + achse() + " " + ausdruck();
      case 5: return "R O " + ausdruck();
      case 6: return "ENDON" + (chance(50) ? " " + klein(20) + "," + klein(20) : "");
      case 7: return wahl<std::string>({"ENDOFF", "ENDHIGH", "ENDLOW", "ENDX"});
      case 8: return wahl<std::string>({"FREION", "FREIOFF", "FREIHIGH", "FREILOW"});
      case 9: return chance(20) ? "LOAD" : "LVAR";
      case 10: return "STOP";
      default: return wahl<std::string>({"S X", "H5", "N", "O", "U", "B"});
    }
  }
  // Comments, blank lines and garbage.
  switch (zahl(0, 5)) {
    case 0: return "$ " + textKonstante();
    case 1: return chance(50) ? "" : " \t ";
    case 2: return "@x";
    case 3: {
      std::string z;
      const int n = zahl(1, 12);
      for (int i = 0; i < n; ++i) z += static_cast<char>(zahl(32, 126));
      return z;
    }
    case 4: return "v1=3";
    default: return verdorben(zeile());
  }
}

// A line with one character removed, doubled or replaced by a non-digit;
// circle lines stay as they are (a longer number could make the circle
// huge).
std::string Generator::verdorben(std::string z) {
  if (z.empty() || z[0] == 'C') return z;
  const auto i = static_cast<std::size_t>(zahl(0, static_cast<int>(z.size()) - 1));
  switch (zahl(0, 2)) {
    case 0: z.erase(i, 1); break;
    case 1:
      if (z[i] < '0' || z[i] > '9') z.insert(i, 1, z[i]);
      break;
    default: z[i] = "+-*/(),= VMPX\""[zahl(0, 13)]; break;
  }
  return z;
}

// Lines of one program: its labels placed among them, loops opened and
// closed, now and then a counted backward jump.
std::string Generator::koerper(int zeilen) {
  std::vector<int> offen = marken_;  // labels not placed yet
  std::string text;
  loopTiefe_ = 0;
  for (int i = 0; i < zeilen; ++i) {
    const int r = zahl(0, 99);
    if (loopTiefe_ > 0 && r < 12) {
      text += "L\r";
      --loopTiefe_;
    } else if (loopTiefe_ < 4 && r < 20) {
      text += "L" + leer() + (chance(85) ? std::to_string(zahl(0, 3)) : ausdruck()) + "\r";
      ++loopTiefe_;
    } else if (!offen.empty() && r < 30) {
      const auto k = static_cast<std::size_t>(zahl(0, static_cast<int>(offen.size()) - 1));
      text += "M" + leer() + std::to_string(offen[k]) + "\r";
      offen.erase(offen.begin() + static_cast<long>(k));
    } else if (r < 33) {
      const std::string v = "V" + std::to_string(zahl(20, 29));
      const int m = zahl(150, 199);
      text += v + "=0\rM" + std::to_string(m) + "\r" + zeile() + "\r" + v + "=" + v + "+1\rJ " + v + "<" +
              std::to_string(zahl(1, 4)) + " M" + std::to_string(m) + "\r";
    } else {
      text += zeile() + "\r";
    }
  }
  while (loopTiefe_ > 0 && chance(95)) {
    text += "L\r";
    --loopTiefe_;
  }
  for (const int m : offen)
    if (chance(95)) text += "M" + std::to_string(m) + "\r" + zeile() + "\r";
  return text;
}

std::string Generator::programm() {
  static const std::vector<std::string> namen = {"7", "RAHMEN", "2", "A1", "LOCH", "99"};
  programme_.clear();
  for (const auto &n : namen)
    if (chance(40)) programme_.push_back(n);
  if (programme_.empty()) programme_.push_back("7");
  const int form = zahl(0, 9);  // 0-3 unnamed only, 4-6 PROGMAIN first, 7-9 unnamed then named
  std::string text = chance(20) ? "$ " + textKonstante() + "\r" : "";
  std::vector<std::string> koepfe;
  if (form >= 4 && form <= 6) koepfe.push_back("MAIN");
  if (form >= 4) koepfe.insert(koepfe.end(), programme_.begin(), programme_.end());
  if (form >= 4 && chance(10)) koepfe.push_back(koepfe.front());  // a header twice
  const bool unbenannt = form < 4 || form > 6;
  for (std::size_t p = 0; p < koepfe.size() + (unbenannt ? 1 : 0); ++p) {
    const bool haupt = p == 0;
    if (p > 0 || !unbenannt) text += "PROG" + koepfe[unbenannt ? p - 1 : p] + "\r";
    // Labels and subroutine labels of this program, sometimes one twice.
    marken_.clear();
    unterprogramme_.clear();
    const int n = zahl(0, 4);
    for (int i = 0; i < n; ++i) marken_.push_back(zahl(0, chance(95) ? 30 : 199));
    std::sort(marken_.begin(), marken_.end());
    if (chance(97)) marken_.erase(std::unique(marken_.begin(), marken_.end()), marken_.end());
    for (int i = zahl(0, 2); i > 0; --i) {
      const int m = zahl(100, 140);
      if (std::find(marken_.begin(), marken_.end(), m) == marken_.end() &&
          std::find(unterprogramme_.begin(), unterprogramme_.end(), m) == unterprogramme_.end())
        unterprogramme_.push_back(m);
    }
    text += koerper(haupt ? zahl(3, 30) : zahl(1, 12));
    if (chance(92)) text += haupt || chance(50) ? "ENDE\r" : "RETURN\r";
    for (const int m : unterprogramme_) {
      text += "M" + std::to_string(m) + "\r";
      for (int i = zahl(1, 4); i > 0; --i) text += zeile() + "\r";
      text += chance(95) ? "RETURN\r" : "ENDE\r";
    }
  }
  if (chance(5)) text += "V1=V1+1";  // no line end at the end of the text
  if (text.size() >= VELA_PROGRAMM_GROESSE) text.resize(VELA_PROGRAMM_GROESSE - 1);
  return text;
}

}  // namespace diffcheck
