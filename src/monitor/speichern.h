// Saving programs to FLASH, deleting them from EEPROM, erasing FLASH.
#pragma once

#include <cstdint>

namespace vela {

// Erases the FLASH store from the address; 0 on success.
uint8_t flashErase(char *adresse);

}  // namespace vela
