// The display-text buffer: up to 23 characters and a NUL.
#pragma once

namespace vela {

extern char AnzeigeText[24];

}  // namespace vela
