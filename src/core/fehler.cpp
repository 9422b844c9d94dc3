// The message table that hosts show for an error code, and the version text.
#include "core/fehler.h"

#include "vela.h"

namespace {

// FehlerTxt is indexed by position: the table must list the codes 0, 1, ...
// in order, each once.
constexpr int kReihe[] = {
#define VELA_FEHLER_CODE(name, code, text) code,
    VELA_FEHLER(VELA_FEHLER_CODE)
#undef VELA_FEHLER_CODE
};
constexpr bool inReihe() {
  for (int i = 0; i < VELA_FEHLERCODES; ++i)
    if (kReihe[i] != i) return false;
  return true;
}
static_assert(sizeof kReihe / sizeof kReihe[0] == VELA_FEHLERCODES && inReihe());

}  // namespace

extern "C" {

const char *const FehlerTxt[VELA_FEHLERCODES] = {
#define VELA_FEHLER_TEXT(name, code, text) text,
    VELA_FEHLER(VELA_FEHLER_TEXT)
#undef VELA_FEHLER_TEXT
};

const char DllVersion[9] = "12-12-02";

}  // extern "C"
