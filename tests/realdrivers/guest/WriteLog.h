// Every write(2) the program makes to one device, with its bytes. The guest programs are
// linked with -Wl,--wrap=write, so the backend's own calls pass through here on their way to
// the kernel: a test sees how many system calls a string took, not only what arrived.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace realdrivers {

class WriteLog {
 public:
  // Starts recording the writes to the device at `path`; only one log records at a time.
  explicit WriteLog(const std::string& path);
  ~WriteLog();
  WriteLog(const WriteLog&) = delete;
  WriteLog& operator=(const WriteLog&) = delete;

  // What each write call handed the kernel, as far as the kernel took it (nothing for a call
  // that failed), in order.
  std::vector<std::string> Writes() const;
};

}  // namespace realdrivers
