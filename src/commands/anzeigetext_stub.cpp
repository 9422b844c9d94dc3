// Storage of the display-text buffer until the T command's file provides it.
#include "commands/anzeigetext.h"

namespace vela {

char AnzeigeText[24];

}  // namespace vela
