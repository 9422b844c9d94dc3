// Interpreter state: the exported variables and the task and argument
// state behind them.
#include "core/zustand.h"

#include <cstring>

#include "core/cursor.h"
#include "vela_befehle.h"

extern "C" {

int16_t Befehl;
char *NextBefp = Programm;
char Programm[VELA_PROGRAMM_GROESSE];
uint8_t isChecking;
int16_t V_Handshake;
int32_t V_WertVar[VELA_WERTVARS];
PunktEintrag V_PunktVar[VELA_PUNKTVARS];
char V_TextVar[VELA_TEXTVARS][VELA_TEXTLAENGE];
PunktEintrag V_xyTeached;
char *V_Marke[VELA_TASKS][VELA_MARKEN];
ReturnEintrag V_ReturnAdr[VELA_TASKS][VELA_STACKTIEFE];
int16_t V_UsedReturns[VELA_TASKS];
LoopEintrag V_Loop[VELA_TASKS][VELA_STACKTIEFE];
int16_t V_UsedLoops[VELA_TASKS];

}  // extern "C"

namespace vela {

uint8_t AktTask;
char *ProgStart[kTasks] = {Programm, Programm, Programm};  // DelphiInit's starts
char *TaskPos[kTasks];
int8_t TaskPrio[kTasks] = {kPrioBeimLaden[0], kPrioBeimLaden[1], kPrioBeimLaden[2]};
int8_t TaskCount[kTasks];
char *SprungAdr;
int32_t ArgWert1, ArgWert2, ArgWert3, ArgWert4;

void resetInterp() {
  UngelesenAb = nullptr;
  Befehl = BEF_KEINER;
  NextBefp = Programm;
  std::memset(Programm, 0, sizeof Programm);
  isChecking = 0;
  V_Handshake = 0;
  std::memset(V_WertVar, 0, sizeof V_WertVar);
  std::memset(V_PunktVar, 0, sizeof V_PunktVar);
  std::memset(V_TextVar, 0, sizeof V_TextVar);
  V_xyTeached = PunktEintrag{0, 0};
  std::memset(V_Marke, 0, sizeof V_Marke);
  std::memset(V_ReturnAdr, 0, sizeof V_ReturnAdr);
  std::memset(V_UsedReturns, 0, sizeof V_UsedReturns);
  std::memset(V_Loop, 0, sizeof V_Loop);
  std::memset(V_UsedLoops, 0, sizeof V_UsedLoops);
  AktTask = 0;
  for (int t = 0; t < kTasks; ++t) {
    ProgStart[t] = Programm;
    TaskPos[t] = nullptr;
    TaskCount[t] = 0;
  }
  for (int t = 0; t < kTasks; ++t) TaskPrio[t] = kPrioBeimLaden[t];
  SprungAdr = nullptr;
  ArgWert1 = ArgWert2 = ArgWert3 = ArgWert4 = 0;
}

}  // namespace vela
