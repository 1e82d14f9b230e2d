// Counts of this process's threads and open descriptors, for leak checks. A joined thread can
// still show in /proc for a moment, so thread counts are read until they settle.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

inline std::size_t EntriesIn(const char* folder) {
  namespace fs = std::filesystem;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

inline std::size_t OpenDescriptors() { return EntriesIn("/proc/self/fd"); }

// What each open descriptor refers to, for a message about one left open.
inline std::string DescriptorList() {
  std::string list;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const auto target = std::filesystem::read_symlink(entry.path(), error);
    list += entry.path().filename().string() + " -> " + (error ? std::string("?") : target.string()) + "; ";
  }
  return list;
}

// The thread count once threads that were just joined have left /proc.
inline std::size_t SettledThreadCount() {
  std::size_t last = EntriesIn("/proc/self/task");
  for (int i = 0; i < 50; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::size_t now = EntriesIn("/proc/self/task");
    if (now == last) return now;
    last = now;
  }
  return last;
}

// The thread count once it has come down to `expected` (or after a second, whatever it is).
inline std::size_t ThreadsSettledAt(std::size_t expected) {
  std::size_t now = EntriesIn("/proc/self/task");
  for (int i = 0; i < 100 && now > expected; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    now = EntriesIn("/proc/self/task");
  }
  return now;
}

// Context switches (each a wake-up) of this process's threads whose names start with prefix.
inline long ContextSwitchesOfThreads(const std::string& prefix) {
  long total = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind(prefix, 0) != 0) continue;
    std::ifstream status(task.path() / "status");
    for (std::string line; std::getline(status, line);)
      if (line.find("ctxt_switches:") != std::string::npos) total += std::stol(line.substr(line.find(':') + 1));
  }
  return total;
}
