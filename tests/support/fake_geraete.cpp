#include "support/fake_geraete.h"

#include "platform/plattform.h"

FakeGeraete fake;

namespace {

void hostSchreibe(void *, char c) { fake.host.push_back(c); }

int16_t hostLies(void *) {
  if (vela::Ticks < fake.eingabeAb) return vela::KEIN_ZEICHEN;
  if (fake.gelesen < fake.eingabe.size()) return static_cast<uint8_t>(fake.eingabe[fake.gelesen++]);
  return vela::KANAL_ENDE;
}

vela::Anzeige *anzeige(void *objekt) { return static_cast<vela::Anzeige *>(objekt); }
void displaySchreibe(void *o, char c) { fake.display.push_back(c), anzeige(o)->schreibe(c); }
void displayBefehl(void *o, uint8_t code) { fake.befehle.push_back(code), anzeige(o)->befehl(code); }
void displayGehe(void *o, int16_t s, int16_t z) { anzeige(o)->gehe(s, z); }

// Returns the counter, then advances it, as a timer running between reads.
uint32_t ticks() {
  const uint32_t t = vela::Ticks;
  vela::Ticks = t + 1;
  ++fake.tickLesungen;
  return fake.letzterTick = t;
}

uint8_t taste() {
  return fake.tastenGelesen < fake.tasten.size() ? fake.tasten[fake.tastenGelesen++] : vela::KEINE_TASTE_MEHR;
}

}  // namespace

void bindeFakes() {
  fake = FakeGeraete{};
  vela::Plattform p{};
  p.host = {hostSchreibe, hostLies, nullptr, nullptr};
  p.display = {displaySchreibe, nullptr, nullptr, &vela::DisplayInhalt};
  p.displayBefehl = displayBefehl;
  p.displayGehe = displayGehe;
  p.leseTicks = ticks;
  p.leseTaste = taste;
  vela::bindePlattform(p);
}

std::string zeile(int r) {
  char text[vela::kAnzeigeSpalten + 1];
  vela::DisplayInhalt.zeilenText(r, text);
  return text;
}
