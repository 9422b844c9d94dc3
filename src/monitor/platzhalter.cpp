// STAND-IN: delete this file when the download, the host requests, the
// store saving and the records are merged (laden.h, anfragen.h,
// speichern.h, datensatz.h). It defines those four entry points just far
// enough for the main loop to build and run: the download takes the
// preamble options that set the run mode and flags and stores the text up
// to a '$' at a line start, without input filter, acknowledgements or
// checksum; a host request only reads its letter.
#include <cstdint>

#include "core/cursor.h"
#include "core/zustand.h"
#include "monitor/anfragen.h"
#include "monitor/datensatz.h"
#include "monitor/laden.h"
#include "monitor/monitorzustand.h"
#include "monitor/speichern.h"
#include "monitor/tastatur.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela.h"

namespace vela {

namespace {

int16_t ladeLies() {
  const int16_t c = Geraete.lade.lies != nullptr ? Geraete.lade.lies(Geraete.lade.objekt) : KANAL_ENDE;
  if (c >= 0) LadeSumme += static_cast<uint8_t>(c);
  return c;
}

void ladeSchliesse() {
  if (Geraete.lade.schliesse != nullptr) Geraete.lade.schliesse(Geraete.lade.objekt);
}

}  // namespace

bool downloadState() {
  clearTastatur();
  LetztesErgebnis = 0;
  displayLine(3, "Bereit z. Laden    ", 20);
  if (Geraete.lade.oeffne == nullptr || !Geraete.lade.oeffne(Geraete.lade.objekt)) return false;
  int16_t c = ladeLies();
  while (c == '@') {
    switch (ladeLies()) {
      case 'A': Betriebsart = BETRIEB_A; break;
      case 'D': Betriebsart = BETRIEB_DISPLAY; break;
      case 'R': Betriebsart = BETRIEB_REMOTE; break;
      case 'S': Betriebsart = BETRIEB_EINZEL; break;
      case 'T': TraceAn = 1; break;
      case 'Q': ZeilenQuittung = 1; break;
      case 'C': PruefsummeAn = 1; break;
      case 'N': ladeSchliesse(); return false;
      default: break;
    }
    c = ladeLies();
  }
  int n = 0;
  bool zeilenAnfang = true;
  while (c >= 0 && !(zeilenAnfang && c == '$')) {
    if (n >= kProgrammGroesse - 1) {
      ladeSchliesse();
      LetztesErgebnis = 1;
      return false;
    }
    Programm[n++] = static_cast<char>(c);
    zeilenAnfang = istZeilenende(static_cast<char>(c));
    c = ladeLies();
  }
  Programm[n] = '\0';
  AktTask = 0;
  ProgStart[0] = Programm;
  if (c < 0) {  // the stream ended before the end mark
    ladeSchliesse();
    LetztesErgebnis = 1;
    return false;
  }
  for (int16_t z = 0; z < 4; ++z) displayLine(z, "                    ", 20);
  ladeSchliesse();
  return true;
}

uint8_t hostRequest() {
  char c = 0;
  if (!readHostCharTimeout(c, 300)) return 'F';
  return (c == 'E' || c == 'F' || c == 'C') ? static_cast<uint8_t>(c) : 0;
}

uint8_t flashErase(char *adresse) { return flashLoesche(adresse); }

void saveByte(uint8_t b) { putChar(static_cast<char>(b)); }

void saveLong(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int shift = 24; shift >= 0; shift -= 8) saveByte(static_cast<uint8_t>(u >> shift));
}

}  // namespace vela
