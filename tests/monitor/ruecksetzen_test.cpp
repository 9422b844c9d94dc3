// The reset registry is complete: after programs that touch every store,
// stack, queue, switch, display and timer, vela_reset leaves every byte of
// the library's static memory as it was when the program was loaded. The
// library's variables are found by name in the test program's own symbol
// table (namespace vela and the exported C names); their bytes are taken
// once before main (the state as loaded) and compared after the reset.
#include <elf.h>
#include <link.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "monitor/anfragen.h"
#include "monitor/monitor_test.h"
#include "platform/testdatei.h"

namespace {

struct Variable {
  std::string name;
  const uint8_t *adresse;
  std::vector<uint8_t> bytes;  // as loaded
};

bool istBibliothek(const std::string &n) {
  static const char *const kExportiert[] = {"Befehl",      "NextBefp",    "Programm",    "isChecking",
                                            "V_Handshake", "V_WertVar",   "V_PunktVar",  "V_TextVar",
                                            "V_xyTeached", "V_Marke",     "V_ReturnAdr", "V_UsedReturns",
                                            "V_Loop",      "V_UsedLoops", "FehlerTxt"};
  for (const char *p : {"_ZN4vela", "_ZZN4vela", "_ZGVZN4vela"})
    if (n.starts_with(p)) return true;
  for (const char *e : kExportiert)
    if (n == e) return true;
  return false;
}

// The library's writable variables of this program, with their bytes now.
std::vector<Variable> abbild() {
  std::ifstream f("/proc/self/exe", std::ios::binary);
  const std::vector<char> elf{std::istreambuf_iterator<char>(f), {}};
  const auto *kopf = reinterpret_cast<const ElfW(Ehdr) *>(elf.data());
  const auto *abschnitte = reinterpret_cast<const ElfW(Shdr) *>(elf.data() + kopf->e_shoff);
  std::vector<Variable> v;
  uintptr_t verschiebung = 0;
  for (int s = 0; s < kopf->e_shnum; ++s) {
    if (abschnitte[s].sh_type != SHT_SYMTAB) continue;
    const auto *sym = reinterpret_cast<const ElfW(Sym) *>(elf.data() + abschnitte[s].sh_offset);
    const char *namen = elf.data() + abschnitte[abschnitte[s].sh_link].sh_offset;
    const std::size_t anzahl = abschnitte[s].sh_size / sizeof(ElfW(Sym));
    for (std::size_t i = 0; i < anzahl; ++i)
      if (std::strcmp(namen + sym[i].st_name, "Befehl") == 0)
        verschiebung = reinterpret_cast<uintptr_t>(&Befehl) - sym[i].st_value;  // the load bias
    for (std::size_t i = 0; i < anzahl; ++i) {
      const ElfW(Sym) &y = sym[i];
      if ((y.st_info & 0xf) != STT_OBJECT || y.st_size == 0 || y.st_shndx >= kopf->e_shnum) continue;
      if (!(abschnitte[y.st_shndx].sh_flags & SHF_WRITE) || !istBibliothek(namen + y.st_name)) continue;
      const auto *a = reinterpret_cast<const uint8_t *>(verschiebung + y.st_value);
      v.push_back({namen + y.st_name, a, std::vector<uint8_t>(a, a + y.st_size)});
    }
  }
  return v;
}

// Taken by the dynamic initialisation, before any test has run: the
// library has constant-initialised state only, so this is its state as
// loaded.
const std::vector<Variable> kGeladen = abbild();

using RuecksetzenTest = MonitorTest;

TEST_F(RuecksetzenTest, ResetLeavesEveryByteAsLoaded) {
  ASSERT_GT(kGeladen.size(), 60u) << "the symbol table lists the library's variables";

  // Host side: programs, labels, loops, calls, point and text variables,
  // an arc with a test-data file path longer than the default, check
  // mode, an error.
  vela_setTestDatei("/no/such/dir/a/path/longer/than/the/default.dat");
  ASSERT_EQ(lade("PROGMAIN\nXS 7\nIS 3\nP1=5,6\nT2=\"ABC\"\nL2\nV1=V1+1\nJS M4\nL\nCCW 10,0,20,0\nJ PROG5\n"
                 "M4\nRETURN\nPROG5\nDF 6,2\nDP 3,2\nG 900\nV7=V1/0\n"),
            0);
  for (int i = 0; i < 40 && schritt() == 0;) ++i;
  isChecking = 1;
  EXPECT_GT(vela::pruefGang(vela::PruefMelder{}, 100), 0);  // the check walk's visits

  // The controller: a download with trace, motions of every kind (single
  // axes, path lines and arcs, a reference run), switches, display, keypad,
  // three tasks, waits; then a save into FLASH.
  frisch();
  fake.schalterEin[3] = 0;
  ladeStrom("@T@Q",
            "PROGMAIN\nXS 10\nX 100 Y 50\nDZ -20\nIL 10,20,0\nDIL 5,5,0\nCCW 5,0,10,0\nW\nD 1 \"HALLO\"\n"
            "D V3\nDCH 2\nD \"HOST\"\nDCH 3\nSO 3\nSO 4,1\nT1=\"ABC\"\nP2=X\nL2\nV1=V1+1\nL\nJS M7\n"
            "J PROG7,1,2\nPRIO 1\nENDON 1\nW 5\nWE 3\nBREAK\nK V9\nM8\nV4=V4+1\nJ V4<50 M8\nV9=1\nM9\n"
            "J M9\nM7\nRETURN\nPROG7\nM2\nV2=V2+1\nJ M2\n");
  fake.gedrueckt = {5, 11};
  fake.beendenWenn = [] { return V_WertVar[9] == 1 && fake.leerlaeufe > 5000; };
  vela::monitorMain();
  EXPECT_GT(V_WertVar[2], 0);              // the second task ran
  std::strcpy(Programm, "PROGS\rV1=1\r");  // a program into FLASH (200 bytes)
  fake.eingabe = "F";
  fake.gelesen = 0;
  fake.beendenWenn = nullptr;
  EXPECT_EQ(vela::hostRequest(), 'F');
  EXPECT_EQ(fake.host.substr(fake.host.size() - 2), "YY");

  vela_reset();
  std::vector<std::string> anders;
  for (const Variable &v : kGeladen)
    if (std::memcmp(v.adresse, v.bytes.data(), v.bytes.size()) != 0) anders.push_back(v.name);
  EXPECT_EQ(anders, std::vector<std::string>{}) << "not reset by vela_reset";
}

}  // namespace
