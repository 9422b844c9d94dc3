// Compile-time checks of the exported layouts. Hosts read and write these
// variables in place, so sizes and field offsets are part of the interface:
// exact on a 32-bit build, naturally aligned pointer fields on 64-bit.
#include <cstddef>
#include <cstdint>

#include "vela.h"

namespace {

constexpr std::size_t P = sizeof(void *);

static_assert(sizeof Befehl == sizeof(int16_t) && sizeof isChecking == 1 &&
              sizeof V_Handshake == sizeof(int16_t));
static_assert(sizeof Programm == 6400);
static_assert(sizeof V_WertVar == 300 * 4);
static_assert(sizeof(PunktEintrag) == 8 && offsetof(PunktEintrag, Y) == 4);
static_assert(sizeof V_PunktVar == 10 * 8 && sizeof V_xyTeached == 8);
static_assert(sizeof V_TextVar == 10 * 22 && sizeof V_TextVar[0] == 22);
static_assert(sizeof V_Marke == 3 * 200 * P);
static_assert(sizeof(ReturnEintrag) == 2 * P && offsetof(ReturnEintrag, ProgStart) == P);
static_assert(sizeof V_ReturnAdr == 3 * 10 * sizeof(ReturnEintrag));
static_assert(offsetof(LoopEintrag, Anzahl) == 0 && offsetof(LoopEintrag, Reserve) == 2);
static_assert(offsetof(LoopEintrag, StartAdresse) == (P == 4 ? 4 : 8));
static_assert(sizeof(LoopEintrag) == 2 * P);
static_assert(sizeof V_Loop == 3 * 10 * sizeof(LoopEintrag));
static_assert(sizeof V_UsedLoops == 6 && sizeof V_UsedReturns == 6);
static_assert(sizeof FehlerTxt == 41 * P);
static_assert(sizeof DllVersion == 9);

#if UINTPTR_MAX == 0xFFFFFFFFu
// The 32-bit module: the layouts a 32-bit host declares, byte for byte.
static_assert(sizeof(ReturnEintrag) == 8 && sizeof(LoopEintrag) == 8);
static_assert(offsetof(LoopEintrag, StartAdresse) == 4);
static_assert(sizeof V_Marke == 2400 && sizeof V_ReturnAdr == 240 && sizeof V_Loop == 240);
#endif

}  // namespace
