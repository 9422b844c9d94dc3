// A temporary directory of its own for each test run, removed at the end;
// whole files read and written.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

class TempVerzeichnis {
 public:
  TempVerzeichnis() {
    std::string muster = (std::filesystem::temp_directory_path() / "vela-test-XXXXXX").string();
    if (::mkdtemp(muster.data()) != nullptr) pfad_ = muster;
  }
  ~TempVerzeichnis() {
    std::error_code fehler;
    if (!pfad_.empty()) std::filesystem::remove_all(pfad_, fehler);
  }
  TempVerzeichnis(const TempVerzeichnis &) = delete;
  TempVerzeichnis &operator=(const TempVerzeichnis &) = delete;

  // Path of a file named name inside the directory.
  std::string datei(const std::string &name) const { return (pfad_ / name).string(); }
  const std::filesystem::path &pfad() const { return pfad_; }

 private:
  std::filesystem::path pfad_;
};

// The file's bytes ("" when it cannot be read).
inline std::string liesDatei(const std::string &pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  return {std::istreambuf_iterator<char>(ein), std::istreambuf_iterator<char>()};
}
// Writes the file and returns its path.
inline std::string schreibeDatei(const std::string &pfad, const std::string &inhalt) {
  std::ofstream(pfad, std::ios::binary | std::ios::trunc) << inhalt;
  return pfad;
}
