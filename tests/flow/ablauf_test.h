// A check shared by the control-flow and variable command tests.
#pragma once

#include <gtest/gtest.h>

#include "vela.h"

// Executes one command and compares its code, Befehl and the cursor.
inline ::testing::AssertionResult schrittGibt(int16_t code, int16_t befehl, const char *cursor) {
  const int16_t c = execBefehl();
  if (c == code && Befehl == befehl && NextBefp == cursor) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got code " << c << ", Befehl " << Befehl << ", cursor +" << (NextBefp - Programm)
         << "; expected " << code << ", " << befehl << ", +" << (cursor - Programm);
}
