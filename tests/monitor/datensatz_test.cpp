// The variable and parameter records: lengths, offsets, big-endian bytes.
#include "monitor/datensatz.h"

#include <cstring>
#include <string>

#include "planner/achsen.h"
#include "platform/kanal.h"
#include "support/fake_geraete.h"
#include "vela.h"

namespace {

using namespace vela;
using DatensatzTest = MaschinenTest;
using namespace std::string_literals;

std::string satz(void (*schreibe)()) {
  fake.host.clear();
  schreibe();
  return fake.host;
}

TEST_F(DatensatzTest, VariableRecord) {
  EXPECT_EQ(satz(saveVariables), std::string(kVariablenSatz, '\0'));
  V_WertVar[0] = -2;
  V_WertVar[299] = 0x01020304;
  V_PunktVar[9].X = 0x7F000080;
  V_PunktVar[9].Y = -1;
  const std::string s = satz(saveVariables);
  ASSERT_EQ(s.size(), static_cast<size_t>(kVariablenSatz));
  EXPECT_EQ(s.substr(0, 4), "\xFF\xFF\xFF\xFE");
  EXPECT_EQ(s.substr(1196, 4), "\x01\x02\x03\x04");
  EXPECT_EQ(s.substr(1272, 8), "\x7F\0\0\x80\xFF\xFF\xFF\xFF"s);
}

TEST_F(DatensatzTest, ParameterRecord) {
  std::memset(V_TextVar[0], ' ', 21);
  V_TextVar[0][21] = '\0';
  std::memcpy(V_TextVar[9], "OK\0rest", 7);
  V_xyTeached = {5, -5};
  AchsZaehler[3] = 256;
  AchsSchritte[0] = 3;
  AchsMM[0] = 2;
  SollSchritte[0] = -7;
  StartGeschw[0] = 100;
  MaxGeschw[3] = 65535;
  displayGoto(-3, 2);
  const std::string s = satz(saveParameters);
  ASSERT_EQ(s.size(), static_cast<size_t>(kParameterSatz));
  struct Feld {
    size_t versatz;
    std::string bytes;
  } felder[] = {
      {0, std::string(21, ' ') + '\0'},                             // a cleared text
      {198, "OK\0rest"s},                                           // the whole element as stored
      {220, "\0\0\0\x05\xFF\xFF\xFF\xFB"s},                         // taught x, y
      {240, "\0\0\x01\0"s},                                         // AchsZaehler A
      {244, "\0\x01\x02\x03\x04\x05\x06\x07"s},                     // the index table
      {252, std::string(8, '\0')},                                  // the second table
      {260, "\xFF\xFF\xFF\xFC\0\0\0\x03\0\0\0\x02"s},               // X: -14 / 3 toward zero, scale
      {276, "\0\0\0\x64"s},                                         // StartGeschw X
      {352, "\0\0\xFF\xFF"s},                                       // MaxGeschw A, widened with zeros
      {356, std::string(88, '\0')},                                 // the four texts
      {444, "\xFF\xFF\xFF\xFD\0\0\0\x02"s + std::string(8, '\0')},  // cursor, sign-extended
  };
  for (const Feld &f : felder) EXPECT_EQ(s.substr(f.versatz, f.bytes.size()), f.bytes) << f.versatz;
  // The records follow AusgabeZiel.
  AusgabeZiel = 1;
  fake.display.clear();
  EXPECT_EQ(satz(saveVariables), "");
  EXPECT_EQ(fake.display.size(), static_cast<size_t>(kVariablenSatz));
}

}  // namespace
