// The download state. Every byte read from the stream counts into the
// running LadeSumme, which is never cleared between downloads; the checksum
// a host sends is compared with it as it stands after the end mark.
//
// The RAM store is written from its first byte and never past its last: a
// text that would leave no room for its NUL, a stream that ends early or
// cannot be opened, and a checksum mismatch leave the store empty (NUL at
// the first byte), so that no half or rejected program can run.
#include "monitor/laden.h"

#include <cstdint>
#include <cstdio>

#include "core/fehler.h"
#include "core/zustand.h"
#include "monitor/anfragen.h"
#include "monitor/monitorzustand.h"
#include "monitor/speichern.h"
#include "monitor/tastatur.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela.h"

namespace vela {

namespace {

LadeStrom Strom;  // the stream of the running download
bool Offen;       // Strom is open
uint32_t Frist;   // silence limit of the reads in ticks: 0 none (the preamble)

// A read that found the line silent for longer than Frist.
constexpr int16_t kStille = -3;

inline bool istEnde(int16_t c) { return c == '\r' || c == '\n'; }

// The next byte; KANAL_ENDE when the stream has ended, delivers something
// other than a byte, or the platform asks to stop; kStille when nothing
// came within Frist.
inline int16_t liesLade() {
  int16_t z = Strom.lies != nullptr ? Strom.lies(Strom.objekt) : KANAL_ENDE;
  if (z == KEIN_ZEICHEN) {
    const uint32_t start = getTicks();
    while (z == KEIN_ZEICHEN && !beendenAngefordert()) {
      if (Frist != 0 && getTicks() - start >= Frist) return kStille;
      leerlauf();
      z = Strom.lies(Strom.objekt);
    }
  }
  if (z < 0 || z > 0xFF || beendenAngefordert()) return KANAL_ENDE;
  return z;
}

// Why a read ended the download.
uint8_t endeGrund(int16_t c) { return c == kStille ? EMPFANG_STILLE : EMPFANG_ENDE; }

void quittung(char c) {
  AusgabeZiel = 0;
  putChar(c);
}

void sendeHost(const char *t) {
  while (*t != '\0') kanalSchreibe(HostKanal, *t++);
}

// After the end mark with option C: the host's sum, most significant byte
// first, against LadeSumme.
uint8_t pruefeSumme() {
  uint32_t h = 0;
  int16_t letztes = 0;
  for (int i = 0; i < 4; ++i) {
    letztes = liesLade();
    if (letztes < 0) return endeGrund(letztes);
    h = h << 8 | static_cast<uint32_t>(letztes);
  }
  if (h != LadeSumme) {
    displayLine(0, "*** Parity-Fehler **", 20);
    displayLine(1, "    Reset druecken  ", 20);
    AusgabeZiel = 0;
    char text[48];
    std::snprintf(text, sizeof text, "\rHost: %ld, Target %ld\r", static_cast<long>(static_cast<int32_t>(h)),
                  static_cast<long>(static_cast<int32_t>(LadeSumme)));
    sendeHost(text);
    putChar('F');
    Programm[0] = '\0';
    return EMPFANG_PRUEFSUMME;
  }
  quittung('Y');
  LadeSumme += static_cast<uint32_t>(letztes);
  *NextBefp++ = '\0';
  return EMPFANG_OK;
}

// After the end mark of a text that did not fit: with option C its four
// sum bytes are read (not compared, not counted).
uint8_t verwirfRest() {
  if (PruefsummeAn == 1) {
    for (int i = 0; i < 4; ++i) {
      const int16_t z = liesLade();
      if (z < 0) return endeGrund(z);
    }
  }
  return EMPFANG_VOLL;
}

// A download that loaded nothing: an empty store, the reason on the display
// (row 0, rows 1 and 2 cleared) and on the host line, then "F".
bool ladeFehler(uint8_t grund) {
  static constexpr const char *kAnzeige[] = {"** Programm zu gross", "** Ladestrom zu Ende",
                                             "** Host schweigt    ", "** Ladestrom fehlt  "};
  static constexpr const char *kHost[] = {"\rProgramm zu gross\r", "\rLadestrom zu Ende\r",
                                          "\rHost schweigt\r", "\rLadestrom fehlt\r"};
  const int i = grund == EMPFANG_VOLL ? 0 : grund == EMPFANG_ENDE ? 1 : grund == EMPFANG_STILLE ? 2 : 3;
  Programm[0] = '\0';
  NextBefp = Programm;
  AktTask = 0;
  ProgStart[0] = Programm;
  if (beendenAngefordert()) {
    // The platform ends the monitor: the interrupted download loads
    // nothing and leaves the display as it was.
    ladeDateiSchliessen();
    LetztesErgebnis = ERGEBNIS_LADEFEHLER;
    return false;
  }
  displayLine(0, kAnzeige[i], 20);
  displayLine(1, FehlerTxt[F_LEERZEILE], 20);
  displayLine(2, FehlerTxt[F_LEERZEILE], 20);
  AusgabeZiel = 0;
  sendeHost(kHost[i]);
  putChar('F');
  delayTicks(kGeladenPause);
  ladeDateiSchliessen();
  LetztesErgebnis = ERGEBNIS_LADEFEHLER;
  return false;
}

// Carries out one preamble option; false when the download ends with it.
bool option(int16_t buchstabe) {
  switch (buchstabe) {
    case 'A': Betriebsart = BETRIEB_A; break;
    case 'C': PruefsummeAn = 1; break;
    case 'D': Betriebsart = BETRIEB_DISPLAY; break;
    case 'K':
      kanalSchreibe(HostKanal, 'Y');
      kanalSchreibe(HostKanal, 'Y');
      break;
    case 'L':
      kanalSchreibe(HostKanal, 'Y');
      kanalSchreibe(HostKanal, flashErase(FlashStart) != 0 ? 'N' : 'Y');
      return false;
    case 'N': return false;
    case 'P': LadeSumme += hostRequest(); break;
    case 'Q': ZeilenQuittung = 1; break;
    case 'R':
      Betriebsart = BETRIEB_REMOTE;
      AusgabeZiel = 0;
      putText("Yes\n", 4);
      break;
    case 'S': Betriebsart = BETRIEB_EINZEL; break;
    case 'T': TraceAn = 1; break;
    default: break;
  }
  return true;
}

}  // namespace

// Outside quoted text the comment and the dropped letters come first; a
// line end closes both a comment and a quote.
bool LadeFilter::nimmt(uint8_t c) {
  const bool ende = c == '\r' || c == '\n';
  if (imKommentar) {
    if (!ende) return false;
    imKommentar = false;
  } else if (imText) {
    if (c == '"' || ende) imText = false;
  } else if ((c >= 'a' && c <= 'z') || c == ' ' || c == '\t') {
    return false;
  } else if (c == ';') {
    imKommentar = true;
    return false;
  } else if (c == '"') {
    imText = true;
  }
  // NUL would end the text early, and the erased FLASH byte 0xFF would
  // mark free space inside a saved program, where the next save would
  // write over it.
  return c != 0 && c != 0xFF;
}

std::size_t ladeLaenge(const char *text, std::size_t n) {
  LadeFilter f;
  std::size_t gespeichert = 0;
  for (std::size_t i = 0; i < n; ++i)
    if (f.nimmt(static_cast<uint8_t>(text[i]))) ++gespeichert;
  return gespeichert;
}

bool ladeDateiOeffnen() {
  ladeDateiSchliessen();
  const LadeStrom &b = Geraete.lade;
  Strom = b.oeffne == nullptr && b.lies == nullptr && b.schliesse == nullptr ? konsolPlattform().lade : b;
  Offen = Strom.oeffne == nullptr || Strom.oeffne(Strom.objekt);
  Frist = 0;
  return Offen;
}

void ladeDateiSchliessen() {
  if (Offen && Strom.schliesse != nullptr) Strom.schliesse(Strom.objekt);
  Offen = false;
}

// One byte per round: counted, filtered, stored; at a line end the next
// byte decides: '$' ends the text, a second line end is acknowledged. A
// text that outgrows the store is read on to its end mark (and its sum
// bytes), counted and acknowledged as usual but not stored: nothing of a
// refused stream is left to be read as the next download. The sum and the
// store pointer are kept in locals and written back at the end.
uint8_t receiveProgram(int16_t c) {
  uint32_t summe = LadeSumme;
  char *ziel = NextBefp;
  char *const letzter = Programm + kProgrammGroesse - 1;  // kept for the NUL
  LadeFilter filter;
  bool voll = false;
  for (;;) {
    if (c < 0) {
      LadeSumme = summe;
      NextBefp = ziel;
      return endeGrund(c);
    }
    summe += static_cast<uint32_t>(c);
    if (!filter.nimmt(static_cast<uint8_t>(c))) {
      c = liesLade();
      continue;
    }
    if (ziel < letzter)
      *ziel++ = static_cast<char>(c);
    else
      voll = true;
    if (!istEnde(c)) {
      c = liesLade();
      continue;
    }
    if (ZeilenQuittung == 1) quittung('Y');
    c = liesLade();
    if (c == '$') {
      summe += '$';
      LadeSumme = summe;
      NextBefp = ziel;
      if (voll) return verwirfRest();
      if (PruefsummeAn == 1) return pruefeSumme();
      quittung('Y');
      LadeSumme += '$';
      *NextBefp++ = '\0';
      return EMPFANG_OK;
    }
    if (istEnde(c)) quittung('Y');
  }
}

bool downloadState() {
  clearTastatur();
  LetztesErgebnis = 0;
  displayLine(3, "Bereit z. Laden    ", 20);
  if (!ladeDateiOeffnen()) return ladeFehler(0xFF);

  int16_t c = liesLade();
  while (c == '@') {
    LadeSumme += '@';
    c = liesLade();
    if (c < 0) break;
    LadeSumme += static_cast<uint32_t>(c);
    if (!option(c)) {
      ladeDateiSchliessen();
      return false;
    }
    c = liesLade();
  }
  if (c < 0) return ladeFehler(EMPFANG_ENDE);

  NextBefp = Programm;
  displayLine(3, "--------Laden-------", 20);
  Frist = Strom.stilleFrist;
  const uint8_t ergebnis = receiveProgram(c);
  if (ergebnis == EMPFANG_VOLL || ergebnis == EMPFANG_ENDE || ergebnis == EMPFANG_STILLE)
    return ladeFehler(ergebnis);

  displayLine(3, "***geladen***", 20);
  displayGoto(0, 0);
  AktTask = 0;
  ProgStart[0] = Programm;
  if (ergebnis == EMPFANG_PRUEFSUMME) {
    displayLine(1, "Parity-Fehler", 20);
    ladeDateiSchliessen();
    LetztesErgebnis = ERGEBNIS_LADEFEHLER;
    return false;
  }
  for (int16_t z = 0; z < 3; ++z) displayLine(z, FehlerTxt[F_LEERZEILE], 20);
  displayLine(3, "Programm geladen   ", 20);
  delayTicks(kGeladenPause);
  displayLine(3, FehlerTxt[F_LEERZEILE], 20);
  ladeDateiSchliessen();
  return true;
}

void resetLaden() {
  Strom = LadeStrom{};
  Offen = false;
  Frist = 0;
}

}  // namespace vela
