// A named pipe that nobody writes to, in place of a file the code under test reads. Opening
// such a pipe for reading waits for a writer; should the code do that, a writer appears after
// a while, so the test fails instead of hanging.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>

class NamedPipe {
 public:
  explicit NamedPipe(std::filesystem::path path) : path_(std::move(path)) {
    if (mkfifo(path_.c_str(), 0644) != 0) throw std::runtime_error("no named pipe at " + path_.string());
    rescuer_ = std::thread([this] {
      std::unique_lock lock(mutex_);
      if (done_.wait_for(lock, std::chrono::seconds(5), [this] { return finished_; })) return;
      blocked_ = true;
      const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) close(fd);
    });
  }
  ~NamedPipe() {
    Finish();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  NamedPipe(const NamedPipe&) = delete;
  NamedPipe& operator=(const NamedPipe&) = delete;

  // Call once the code under test is done with the path: true when it blocked on the pipe.
  bool Blocked() {
    Finish();
    return blocked_;
  }

 private:
  void Finish() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_one();
    if (rescuer_.joinable()) rescuer_.join();
  }

  std::filesystem::path path_;
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::atomic<bool> blocked_{false};
  std::thread rescuer_;
};
