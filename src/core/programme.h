// Program areas (RAM store, FLASH, EEPROM), program lookup by header line,
// and the task table with its scheduler.
//
//   area     storage               empty when
//   RAM  R   Programm, 6400 bytes  first byte NUL
//   FLASH F  FlashArea, 200 bytes  first byte 0xFF (texts end in NUL, area in 0xFF)
//   EEPROM E EepromArea, 200 bytes first byte NUL
#pragma once

#include <cstdint>

#include "platform/speicher.h"

namespace vela {

constexpr int kNameMax = 13;  // longest program name

// Body start of the named program in area 'R', 'F' or 'E', or null.
char *findProgramm(const char *name, char bereich);
// Searches FLASH, EEPROM, RAM; stores the area letter of the hit.
char *findProgrammAnywhere(const char *name, char *bereich);
// Task that executes the next command (controller main loop).
uint8_t nextTask();
// Empties the loop and return stacks of one task.
void resetTaskStacks(uint8_t task);
// 1 when b lies in another 64-byte EEPROM block than a.
uint8_t newBlock(const char *a, const char *b);
// Puts the cursor back on the running task's program start (the start of
// the store when there is none).
void zumProgrammStart();

}  // namespace vela
