// The 4 x 20 display model (struct Anzeige and DisplayInhalt). Both are
// declared in the public header, so that a simulator can bind its display
// to the library's model and read its rows.
#pragma once

#include "vela_steuerung.h"
