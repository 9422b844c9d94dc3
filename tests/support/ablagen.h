// Filling the program stores for the monitor's tests: '\n' in a text
// becomes the stores' CR line end.
#pragma once

#include <string>

// The text with every LF as CR.
std::string mitCr(std::string text);
// The RAM store holds the text and its NUL.
void ramText(const std::string &text);
// The EEPROM store holds the text and zeros.
void eepromText(const std::string &text);
// The FLASH store holds the bytes (each text with its own NUL) and 0xFF.
void flashBytes(const std::string &bytes);
// A store's first n bytes.
std::string flashInhalt(int n);
std::string eepromInhalt(int n);
std::string ramInhalt(int n);
