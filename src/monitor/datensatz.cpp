#include "monitor/datensatz.h"

#include <cstdint>
#include <cstring>

#include "planner/achsen.h"
#include "platform/kanal.h"
#include "vela.h"

namespace vela {

uint8_t SatzIndizes[8];
uint8_t SatzTabelle[8];
char SatzTexte[4][22];
int16_t SatzWort[2];

namespace {

void saveBytes(const void *p, size_t n) {
  const auto *b = static_cast<const uint8_t *>(p);
  for (size_t i = 0; i < n; ++i) saveByte(b[i]);
}

}  // namespace

void saveByte(uint8_t b) { putChar(static_cast<char>(b)); }

void saveLong(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int s = 24; s >= 0; s -= 8) saveByte(static_cast<uint8_t>(u >> s));
}

void saveVariables() {
  for (int32_t v : V_WertVar) saveLong(v);
  for (const PunktEintrag &p : V_PunktVar) {
    saveLong(p.X);
    saveLong(p.Y);
  }
}

void saveParameters() {
  saveBytes(V_TextVar, sizeof V_TextVar);
  saveLong(V_xyTeached.X);
  saveLong(V_xyTeached.Y);
  for (int32_t z : AchsZaehler) saveLong(z);
  for (uint8_t i = 0; i < sizeof SatzIndizes; ++i) SatzIndizes[i] = i;
  saveBytes(SatzIndizes, sizeof SatzIndizes);
  saveBytes(SatzTabelle, sizeof SatzTabelle);
  for (uint8_t a = 0; a < kMotorAchsen; ++a) {
    saveLong(toEinheiten(a, SollSchritte[a]));
    saveLong(AchsSchritte[a]);
    saveLong(AchsMM[a]);
    saveLong(RampenLaenge[a]);
    saveLong(StartGeschw[a]);
    saveLong(MaxGeschw[a]);
  }
  saveBytes(SatzTexte, sizeof SatzTexte);
  saveLong(CursorSpalte);
  saveLong(CursorZeile);
  saveLong(SatzWort[0]);
  saveLong(SatzWort[1]);
}

void clearAchsZaehler(uint8_t achse) {
  if (achse < kMotorAchsen) AchsZaehler[achse] = 0;
}

void resetDatensatz() {
  std::memset(SatzIndizes, 0, sizeof SatzIndizes);
  std::memset(SatzTabelle, 0, sizeof SatzTabelle);
  std::memset(SatzTexte, 0, sizeof SatzTexte);
  SatzWort[0] = SatzWort[1] = 0;
}

}  // namespace vela
