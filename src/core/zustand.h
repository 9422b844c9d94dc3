// Interpreter state shared by every subsystem: the task of the running
// program, each task's program start and scheduling, the argument cells
// that handlers leave their values in.
//
// Everything is static memory with load-time values; vela_reset() puts it
// back. The exported variables are declared in vela.h.
#pragma once

#include <cstdint>

#include "vela.h"

namespace vela {

constexpr int kTasks = VELA_TASKS;
constexpr int kProgrammGroesse = VELA_PROGRAMM_GROESSE;
constexpr int kWertVars = VELA_WERTVARS;
constexpr int kMarken = VELA_MARKEN;
constexpr int kStackTiefe = VELA_STACKTIEFE;

extern uint8_t AktTask;            // task (0..2) whose program is executing
extern char *ProgStart[kTasks];    // first line of each task's program
extern char *TaskPos[kTasks];      // saved cursor of a task while another runs
constexpr int8_t kPrioRuht = 127;  // priority of a task that does not run
// Task 0 runs the program; tasks 1 and 2 rest until a program call starts them.
constexpr int8_t kPrioBeimLaden[kTasks] = {0, kPrioRuht, kPrioRuht};

extern int8_t TaskPrio[kTasks];   // 127: not running; 0..126: runnable
extern int8_t TaskCount[kTasks];  // countdown to the task's next turn
extern char *SprungAdr;           // jump target found by the J command
extern int32_t ArgWert1;          // first argument of the last command
extern int32_t ArgWert2;          // second argument
extern int32_t ArgWert3;          // third argument, axis index or operator
extern int32_t ArgWert4;          // fourth argument (motion commands)

// Restores the state of this file and the exported interpreter variables.
void resetInterp();

}  // namespace vela
