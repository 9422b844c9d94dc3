// `vela controller`: the controller monitor of the library on a platform
// made of this machine's devices.
//
//   host line   --line PATH (serial device or pseudo-terminal) or --pty (a
//               new pseudo-terminal, its path the first line of stdout); raw
//               8-bit. It is the download stream, standard character input
//               and output and the host channel at once.
//   display     the library's 4 x 20 model (DisplayInhalt), rendered by
//               tafel.h: drawn live in the terminal when
//               stdout is one, and written to --display-log
//   keypad      the machine's keypad: digits, c and Enter typed on stdin,
//               and --keys SECONDS=KEY,... presses since the start
//   time        1 tick = 1 ms of the monotonic clock (--tick-us N: N us);
//               a step rate v is v steps per 1000 ticks
//   download    a host silent for --download-timeout seconds (default 30,
//               0: never) after the text of a download began ends it; the
//               preamble waits for ever
//   motors      the library's motor scheduler (MotorTakt), run in the idle
//               rounds and whenever the line is polled; arcs run in ticks
//   stores      FLASH and EEPROM images in a store directory (ablage.h),
//               written through before a save, delete or erase is answered
//   switches    the simulated machine of `vela run` (maschine.h): inputs
//               from --input N=V[@SECONDS] (seconds since the start),
//               reference switches, outputs shown beside the frame
//   panel       --web [ADDRESS:]PORT serves the front panel (web.h); its URL
//               is printed on stdout (after the pty's path)
//   test data   off: circles write no test-data file
//
// SIGINT, SIGTERM and SIGHUP end it with status 0; a line or store problem
// is status 2.
#pragma once

#include <string>
#include <vector>

#include "maschine.h"

namespace velatool {

struct SteuerungsOptionen {
  std::string leitung;              // --line PATH
  bool pty = false;                 // --pty
  int baud = 115200;                // for serial devices
  std::string ablage;               // store directory; empty: standardAblage()
  std::string displayLog;           // file the display changes are appended to; empty: none
  int tickUs = 1000;                // microseconds of one tick
  std::vector<Eingabe> eingaben;    // --input: input states over time
  std::vector<Tastendruck> tasten;  // --keys: key presses over time
  std::string web;                  // --web [ADDRESS:]PORT: the front panel over HTTP (web.h); empty: none
  std::string webToken;             // --web-token: every request of the panel must carry it
  // Seconds of silence that end a download once its text has begun; 0: never.
  double downloadTimeout = 30;
};

// Runs the controller until a signal ends it; the exit status.
int laufeSteuerung(const SteuerungsOptionen &o);

}  // namespace velatool
