// A file of the target's own in a private temporary folder, for the targets that read and
// write settings files: each input is written to it before it is read.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzz {

// The folder for temporary files: $TMPDIR, else the memory-backed /dev/shm where there is one,
// since every save is flushed to disk and a disk would slow the runs down.
inline std::string TemporaryFolder() {
  if (const char* base = std::getenv("TMPDIR"); base && *base) return base;
  return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

// The path of the one file, in a folder made on first use and removed at exit.
inline const std::string& TemporaryFile() {
  static const std::string path = [] {
    std::string folder = TemporaryFolder() + "/quorvel-fuzz-XXXXXX";
    if (!mkdtemp(folder.data())) std::abort();
    static std::string removed;
    removed = folder;
    std::atexit([] { std::filesystem::remove_all(removed); });
    return folder + "/settings.ini";
  }();
  return path;
}

inline void WriteTemporaryFile(const std::string& contents) {
  std::ofstream out(TemporaryFile(), std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out) std::abort();
}

inline std::string ReadTemporaryFile() {
  std::ifstream in(TemporaryFile(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace fuzz
