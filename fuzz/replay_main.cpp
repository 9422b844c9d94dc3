// Replays files through a fuzz target without the fuzzer: every argument is
// a file or a directory of files. Serves the regression test over the
// seed corpus and the inputs that once crashed.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge);

namespace fs = std::filesystem;

static int spiele(const fs::path &datei) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) {
    std::fprintf(stderr, "cannot read %s\n", datei.c_str());
    return 1;
  }
  std::vector<uint8_t> daten((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(daten.data(), daten.size());
  return 0;
}

int main(int argc, char **argv) {
  int gespielt = 0, fehler = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path pfad(argv[i]);
    if (fs::is_directory(pfad)) {
      for (const auto &e : fs::recursive_directory_iterator(pfad)) {
        if (!e.is_regular_file()) continue;
        fehler += spiele(e.path());
        ++gespielt;
      }
    } else {
      fehler += spiele(pfad);
      ++gespielt;
    }
  }
  // A crash aborts before this line; reaching it means every input passed.
  std::printf("%d passed, %d failed\n", gespielt - fehler, fehler);
  return fehler == 0 && gespielt > 0 ? 0 : 1;
}
