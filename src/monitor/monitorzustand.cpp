#include "monitor/monitorzustand.h"

#include <cstdint>

namespace vela {

uint16_t Betriebsart;
uint8_t PruefsummeAn;
uint8_t ZeilenQuittung;
uint8_t TraceAn;
int16_t LetztesErgebnis;
uint32_t LadeSumme;

void resetMonitorZustand() {
  Betriebsart = BETRIEB_NORMAL;
  PruefsummeAn = ZeilenQuittung = TraceAn = 0;
  LetztesErgebnis = 0;
  LadeSumme = 0;
}

}  // namespace vela
