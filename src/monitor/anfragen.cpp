// The request dispatcher and the requests that read the stores. All
// replies go to the host line; the request and store letters come through
// standard character input, a program name from the host line.
#include "monitor/anfragen.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/programme.h"
#include "core/zustand.h"
#include "monitor/ablage.h"
#include "monitor/speichern.h"
#include "platform/kanal.h"
#include "platform/plattform.h"
#include "platform/speicher.h"
#include "vela.h"

namespace vela {

namespace {

void sende(char c) { kanalSchreibe(HostKanal, c); }
void sendeText(const char *t) {
  while (*t != '\0') sende(*t++);
}
// The characters of [p, ende) up to, not including, the first CR.
const char *sendeBisCr(const char *p, const char *ende) {
  for (; p < ende && *p != '\r'; ++p) sende(*p);
  return p;
}

// One line of at most 5 characters from the host line; the line ends after
// an LF (kept with the name, then removed) or when the host pauses longer
// than kNamensFrist. False, with "N" sent, for an empty name.
bool leseName(char (&name)[kNameZeichen + 1]) {
  delayTicks(kNamensPause);
  int n = 0;
  while (n < kNameZeichen) {
    const int16_t z = kanalLiesWarte(HostKanal, kNamensFrist);
    if (z < 0) break;
    name[n++] = static_cast<char>(z);
    if (z == '\n') break;
  }
  name[n] = '\0';
  size_t laenge = std::strlen(name);
  if (laenge > 0 && name[laenge - 1] == '\n') name[--laenge] = '\0';
  if (laenge > 0) return true;
  sende('N');
  return false;
}

uint8_t sendeProgrammAnfrage() {
  char name[kNameZeichen + 1];
  if (!leseName(name)) return 2;
  char bereich = 0;
  const char *body = findProgrammAnywhere(name, &bereich);
  if (body != nullptr) {
    sende(bereich);
    sendProgram(body);
    return 0;
  }
  char text[48];
  std::snprintf(text, sizeof text, "N Programm %s nicht gefunden\r", name);
  sendeText(text);
  sende('N');
  return 4;
}

uint8_t loeschAnfrage() {
  char name[kNameZeichen + 1];
  if (!leseName(name)) return 2;
  sende('Y');
  sende(deleteFromEeprom(name));
  return 'C';
}

}  // namespace

uint8_t hostRequest() {
  char c = 0;
  if (!readHostCharTimeout(c, kAnfrageFrist)) return 'F';
  switch (c) {
    case 'A': {
      char s = 0;
      if (!readHostCharTimeout(s, kSpeicherFrist)) return 1;
      dumpStore(s);
      return 0;
    }
    case 'L':
      listStore(SPEICHER_EEPROM);
      listStore(SPEICHER_FLASH);
      listStore(SPEICHER_RAM);
      return 0;
    case 'P': return sendeProgrammAnfrage();
    case 'C': return loeschAnfrage();
    case 'E':
    case 'F':
      if (saveToStore(c) == 0) Programm[0] = '\0';
      return static_cast<uint8_t>(c);
    default: return 0;
  }
}

void listStore(char speicher) {
  sende(speicher);
  if (speicher == SPEICHER_EEPROM) {
    listHeaders(EepromStart);
  } else if (speicher == SPEICHER_RAM) {
    listHeaders(Programm);
  } else if (speicher == SPEICHER_FLASH) {
    const char *ende = FlashStart + kBereichGroesse;
    for (const char *p = FlashStart; p < ende && *p != kGeloescht;) {
      const char *nul = textEnde(p);
      if (beginntMitProg(p, nul)) {
        sende('\r');
        sendeBisCr(p, nul);
      }
      if (nul >= ende) break;
      p = nul + 1;
    }
    sende('\r');
  }
}

void listHeaders(const char *text) {
  const char *ende = textEnde(text);
  const char *p = text;
  if (beginntMitProg(p, ende)) {
    sende('\r');
    p = sendeBisCr(p, ende);
  }
  while ((p = naechsterKopf(p, ende)) != nullptr) {
    sende('\r');
    p = sendeBisCr(p + 1, ende);
  }
  sende('\r');
}

void dumpStore(char speicher) {
  if (speicher == SPEICHER_EEPROM) {
    sendeText("***** EEPROM *****\r");
    for (const char *p = EepromStart, *ende = textEnde(p); p < ende; ++p) sende(*p);
  } else if (speicher == SPEICHER_FLASH) {
    sendeText("***** FLASH *****\r");
    for (const char *p = FlashStart, *ende = FlashStart + kBereichGroesse; p < ende && *p != kGeloescht;
         ++p) {
      if (*p != '\0') sende(*p);
      delayTicks(kFlashBytePause);
    }
  } else {
    sendeText("***** RAM *****\r");
    if (speicher == SPEICHER_RAM)
      for (const char *p = Programm, *ende = textEnde(p); p < ende; ++p) sende(*p);
  }
  delayTicks(kDumpPause);
}

void sendProgram(const char *p) {
  const char *ende = programEnd(p);
  do sende(*p++);
  while (p < ende);
}

char *programEnd(const char *p) {
  const Ablage a = ablageVon(p);
  if (a.anfang == nullptr) return const_cast<char *>(p);
  char *ende = textEnde(p);
  char *kopf = naechsterKopf(p, ende);
  if (kopf != nullptr) return kopf;
  return ende > a.anfang ? ende - 1 : ende;
}

}  // namespace vela
