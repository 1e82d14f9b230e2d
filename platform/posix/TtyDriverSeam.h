// Every ioctl the backend sends a tty passes through TtyIoctl. Drivers differ in which requests
// they answer (a pseudo-terminal has no modem lines, a CP210x cannot wait for them, a CH341
// counts no line errors), and a test that installs a hook makes a real pseudo-terminal, whose
// data still flows, answer the way a given driver does.
#pragma once

#include <functional>
#include <optional>

namespace platform::posix {

// ioctl(2): 0 or a request's own result, or -1 with errno set.
int TtyIoctl(int fd, unsigned long request, void* argument);

// A hook answers a request itself (its result, with errno set where that is -1) or lets it
// through to the kernel (nullopt). It may be called on any thread and may block, as the
// kernel's own TIOCMIWAIT does; a signal must be able to end such a wait with EINTR.
using TtyIoctlHook = std::function<std::optional<int>(int fd, unsigned long request, void* argument)>;

// Installs the hook for every tty of the process (an empty one removes it). Calls already
// inside the previous hook finish there.
void SetTtyIoctlHook(TtyIoctlHook hook);

}  // namespace platform::posix
