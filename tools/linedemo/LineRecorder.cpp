#include "tools/linedemo/LineRecorder.h"

#include <poll.h>
#include <unistd.h>

platform::BOOL LineRecorder::GetOverlappedResult(platform::HANDLE h, platform::LPOVERLAPPED ov,
                                                 platform::LPDWORD transferred, platform::BOOL wait) {
  const platform::BOOL ok = system_.GetOverlappedResult(h, ov, transferred, wait);
  if (!ok || *transferred == 0) return ok;
  // The write has finished, so its bytes are on their way to the other side: collect exactly
  // that many (a slow line gets two seconds).
  std::vector<std::uint8_t> bytes(*transferred);
  std::size_t got = 0;
  while (got < bytes.size()) {
    pollfd pfd{master_, POLLIN, 0};
    if (poll(&pfd, 1, 2000) <= 0) break;
    const ssize_t n = read(master_, bytes.data() + got, bytes.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  sink_(bytes);
  return ok;
}
