#include "platform/posix/SerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "platform/Overlapped.h"
#include "platform/ThreadControl.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/LineSettings.h"
#include "platform/posix/TtyDriverSeam.h"

namespace platform::posix {

namespace {

// SetupComm may not ask for more than this; a negative size arrives here as a huge one.
constexpr DWORD MaximumQueueSize = 64u << 20;
// What a write hands the tty in the caller's thread; the driver thread takes over the rest.
constexpr DWORD DirectWriteLimit = 4096;

}  // namespace

std::shared_ptr<SerialDevice> SerialDevice::Open(const std::string& path, bool exclusive, DWORD& error) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    error = OpenErrorFromErrno(errno);
    return nullptr;
  }
  // Only a character device can be a serial port; anything else (a FIFO would block the
  // open, a regular file would take the writes) is not there as far as a port is concerned.
  if (!S_ISCHR(st.st_mode)) {
    error = ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = OpenErrorFromErrno(errno);
    return nullptr;
  }
  auto fail = [&](DWORD code) -> std::shared_ptr<SerialDevice> {
    close(fd);
    error = code;
    return nullptr;
  };
  if (!isatty(fd)) return fail(ERROR_FILE_NOT_FOUND);
  // TIOCEXCL keeps out other users but not root; the lock keeps out every opener that asks.
  if (exclusive && flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(OpenErrorFromErrno(errno));
  if (exclusive && TtyIoctl(fd, TIOCEXCL, nullptr) != 0) return fail(OpenErrorFromErrno(errno));
  if (DWORD code = MakeRaw(fd); code != ERROR_SUCCESS) return fail(code);
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) return fail(OpenErrorFromErrno(errno));
  try {
    return std::shared_ptr<SerialDevice>(new SerialDevice(fd, wakeFd, IsPseudoTerminal(fd)));
  } catch (...) {
    close(wakeFd);
    return fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

SerialDevice::SerialDevice(int fd, int wakeFd, bool pseudoTerminal)
    : fd_(fd), wakeFd_(wakeFd), pseudoTerminal_(pseudoTerminal) {
  countersSupported_ = !pseudoTerminal_ && ReadLineCounters(fd_, counters_);  // a pty keeps no line counters
}

SerialDevice::~SerialDevice() { Close(); }

void SerialDevice::Close() {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    stopping_ = true;
    // Closing the handle cancels what is still running, as on Windows.
    FailAllWritesLocked(ERROR_OPERATION_ABORTED);
    CompleteWaitLocked(ERROR_OPERATION_ABORTED);
  }
  StopHelpers();
  WakeDriver();
  if (driver_.joinable()) driver_.join();
  {
    // A thread serving the device from its wait must be out of poll() before the tty goes.
    std::unique_lock lock(mutex_);
    borrowerLeft_.wait(lock, [this] { return borrowers_ == 0 && !directWrite_; });
    readerDone_.wait(lock, [this] { return !reading_; });
  }
  LetOutputLeave();
  ReleaseLineSettings(fd_, line_);
  TtyIoctl(fd_, TIOCNXCL, nullptr);
  close(fd_);
  close(wakeFd_);
}

void SerialDevice::LetOutputLeave() {
  int queued = 0;
  if (pseudoTerminal_ || lineFailure_ != ERROR_SUCCESS || TtyIoctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0)
    return;
  // Ten bits a character, twice over, and a little for the adapter's own buffer.
  const auto wireTime = [&] {
    return std::chrono::microseconds(std::uint64_t{20'000'000} * static_cast<unsigned>(queued) /
                                     std::max<DWORD>(ReadLineSpeed(fd_), 50));
  };
  const auto deadline = Clock::now() + wireTime() + std::chrono::milliseconds(100);
  while (queued > 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::min<Clock::duration>(wireTime(), std::chrono::milliseconds(20)));
    if (TtyIoctl(fd_, TIOCOUTQ, &queued) != 0) return;
  }
  if (queued > 0) TtyIoctl(fd_, TCFLSH, reinterpret_cast<void*>(static_cast<unsigned long>(TCOFLUSH)));
}

bool SerialDevice::DriverThreadStarted() const {
  std::lock_guard lock(mutex_);
  return driver_.joinable();
}

DWORD SerialDevice::SetupComm(DWORD inQueue, DWORD outQueue) {
  std::lock_guard lock(mutex_);
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  if (inQueue > MaximumQueueSize || outQueue > MaximumQueueSize) return ERROR_INVALID_PARAMETER;
  if (inQueue != 0) inputCapacity_ = inQueue;
  return ERROR_SUCCESS;
}

DWORD SerialDevice::SetCommState(const DCB& dcb) {
  std::lock_guard lock(mutex_);
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  const DWORD error = ApplyLineSettings(fd_, dcb, pseudoTerminal_, line_);
  if (error != ERROR_SUCCESS) return error;
  discardNull_ = (dcb.Flags & DCB_fNull) != 0;
  replaceErrors_ = (dcb.Flags & DCB_fParity) && (dcb.Flags & DCB_fErrorChar);
  errorChar_ = static_cast<std::uint8_t>(dcb.ErrorChar);
  eventChar_ = static_cast<std::uint8_t>(dcb.EvtChar);
  return ERROR_SUCCESS;
}

DWORD SerialDevice::SetCommTimeouts(const COMMTIMEOUTS& timeouts) {
  std::lock_guard lock(mutex_);
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  timeouts_ = timeouts;
  return ERROR_SUCCESS;
}

DWORD SerialDevice::Purge(DWORD flags) {
  if (flags == 0 || (flags & ~(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) != 0)
    return ERROR_INVALID_PARAMETER;
  std::unique_lock lock(mutex_);
  if (flags & PURGE_TXABORT) FailAllWritesLocked(ERROR_OPERATION_ABORTED);
  // Bytes a reader has taken from the tty but not yet queued are not left to arrive after it.
  if (flags & PURGE_RXCLEAR) readerDone_.wait(lock, [this] { return !reading_; });
  // Nothing here reads, so there is no read to abort. Clearing a line that has gone has
  // nothing left to clear, so a hung-up device purges successfully and can still be closed.
  // A finished write has handed its bytes to the tty, which sends them on: they count as sent,
  // as a finished write's bytes are on Windows, so clearing the output leaves them alone. (On a
  // pseudo-terminal TCOFLUSH would even discard what the other side has not read yet, and the
  // last text before a close would never reach the display.)
  if (flags & PURGE_RXCLEAR) {
    tcflush(fd_, TCIFLUSH);
    input_.clear();
    above80_ = false;
  }
  return ERROR_SUCCESS;
}

DWORD SerialDevice::ClearError(DWORD* errors, COMSTAT* stat) {
  std::unique_lock lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  PullInput(lock);
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  RaiseLocked(CheckCountersLocked());
  if (errors) *errors = errors_;
  errors_ = 0;
  if (stat) {
    DWORD pending = 0;
    for (const PendingWrite& w : writes_) pending += w.size - w.sent;
    int inKernel = 0;
    if (pseudoTerminal_ || TtyIoctl(fd_, TIOCOUTQ, &inKernel) != 0 || inKernel < 0) inKernel = 0;
    stat->Flags = 0;
    stat->cbInQue = static_cast<DWORD>(input_.size());
    stat->cbOutQue = pending + static_cast<DWORD>(inKernel);
  }
  return ERROR_SUCCESS;
}

DWORD SerialDevice::ModemStatus(DWORD* status) {
  std::lock_guard lock(mutex_);
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  DWORD lines = 0;
  // A pseudo-terminal has no modem lines: all of them read as off without asking.
  const DWORD error = pseudoTerminal_ ? ERROR_SUCCESS : ReadModemStatus(fd_, lines);
  if (error == ERROR_SUCCESS && status) *status = lines;
  return error;
}

std::optional<SerialDevice::Clock::time_point> SerialDevice::DeadlineFor(DWORD size) const {
  const std::uint64_t total = std::uint64_t{timeouts_.WriteTotalTimeoutMultiplier} * size +
                              timeouts_.WriteTotalTimeoutConstant;
  if (timeouts_.WriteTotalTimeoutMultiplier == 0 && timeouts_.WriteTotalTimeoutConstant == 0) return std::nullopt;
  return Clock::now() + std::chrono::milliseconds(total);
}

DWORD SerialDevice::Write(const void* data, DWORD size, OVERLAPPED* overlapped, std::shared_ptr<Event> event,
                          DWORD* written) {
  std::unique_lock lock(mutex_);
  if (written) *written = 0;
  // A write that ends here is completed in one step; only one that has to wait is marked
  // running first (its event reset) before it is queued.
  auto finish = [&](DWORD error, DWORD bytes) {
    CompleteOverlapped(overlapped, event.get(), error, bytes);
    if (error == ERROR_SUCCESS && written) *written = bytes;
    return error;
  };
  if (closed_) return finish(ERROR_INVALID_HANDLE, 0);
  if (lineFailure_ != ERROR_SUCCESS) return finish(lineFailure_, 0);
  if (size == 0) return finish(ERROR_SUCCESS, 0);

  const auto* bytes = static_cast<const std::uint8_t*>(data);
  DWORD sent = 0;
  const bool first = writes_.empty() && !directWrite_;
  if (first) {
    // The common case: the tty takes the whole string at once and nothing else is involved.
    // The lock is let go for the system call, so that the thread waiting for comm events is
    // not held up behind it; writes that come meanwhile queue behind this one.
    // At most one tty buffer here: a longer write is under way when WriteFile returns, as on
    // Windows, even on an adapter that drains as fast as the kernel fills (a USB one would
    // otherwise take megabytes in this one call).
    directWrite_ = true;
    lock.unlock();
    ssize_t n;
    do n = ::write(fd_, bytes, std::min<DWORD>(size, DirectWriteLimit));
    while (n < 0 && errno == EINTR);
    const int failure = n < 0 ? errno : 0;
    lock.lock();
    directWrite_ = false;
    if (closed_) borrowerLeft_.notify_all();  // the closing handle waits for the system call to be over
    if (!writes_.empty()) WakeDriver();  // they were held back until now
    if (n < 0 && failure != EAGAIN) {
      const DWORD error = IoErrorFromErrno(failure);
      if (failure == EIO) HangUpLocked(error);
      ArmHeadLocked();
      return finish(error, 0);
    }
    if (n > 0) sent = static_cast<DWORD>(n);
    if (sent == size) {
      finish(ERROR_SUCCESS, size);
      ArmHeadLocked();
      if (writes_.empty()) OutputFinishedLocked();
      return ERROR_SUCCESS;
    }
    if (closed_) return finish(ERROR_OPERATION_ABORTED, sent);
  }
  // The rest waits its turn; a write cut short above goes before those that came meanwhile.
  BeginOverlapped(overlapped, event.get());
  PendingWrite pending{std::string(reinterpret_cast<const char*>(bytes), size), size, sent, overlapped,
                       std::move(event), std::nullopt};
  if (first) {
    writes_.push_front(std::move(pending));
    ArmHeadLocked();
  } else {
    writes_.push_back(std::move(pending));
  }
  if (DWORD error = StartDriverLocked(); error != ERROR_SUCCESS) {
    FailAllWritesLocked(error);
    return error;
  }
  WakeDriver();
  return ERROR_IO_PENDING;
}

DWORD SerialDevice::StartDriverLocked() {
  if (driver_.joinable()) return ERROR_SUCCESS;
  try {
    driver_ = std::thread(&SerialDevice::DriverLoop, this);
  } catch (const std::system_error&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  return ERROR_SUCCESS;
}

void SerialDevice::WakeDriver() const {
  SignalWakeFd(wakeFd_);
  if (const int borrower = borrowerWakeFd_.load(); borrower >= 0) SignalWakeFd(borrower);
}

int SerialDevice::PollTimeoutLocked() const {
  if (writes_.empty() || !writes_.front().deadline) return -1;
  const auto left = *writes_.front().deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  // Rounded up, so the wake comes after the deadline, not just before it.
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

void SerialDevice::DriverLoop() noexcept {
  SetCurrentThreadName("com-driver");
  try {
    RunDriver();
  } catch (...) {
    // The thread cannot go on; fail what it was carrying so no caller waits for ever.
    std::lock_guard lock(mutex_);
    HangUpLocked(ERROR_NOT_ENOUGH_MEMORY);
  }
}

void SerialDevice::RunDriver() {
  while (ServeRound(wakeFd_, -1)) {
  }
}

void SerialDevice::Serve(int wakeFd, int milliseconds) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    ++borrowers_;
    borrowerWakeFd_ = wakeFd;
  }
  try {
    ServeRound(wakeFd, milliseconds);
  } catch (...) {
    std::lock_guard lock(mutex_);
    HangUpLocked(ERROR_GEN_FAILURE);  // the poll itself failed: nothing more can be waited for
  }
  std::lock_guard lock(mutex_);
  if (--borrowers_ == 0) borrowerWakeFd_ = -1;
  borrowerLeft_.notify_all();
}

bool SerialDevice::ServeRound(int wakeFd, int limit) {
  pollfd fds[2] = {{wakeFd, POLLIN, 0}, {-1, 0, 0}};
  int timeout;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    if (lineFailure_ == ERROR_SUCCESS) {
      fds[1].fd = fd_;
      fds[1].events = static_cast<short>(POLLIN | (writes_.empty() || directWrite_ ? 0 : POLLOUT));
    }
    timeout = PollTimeoutLocked();
    if (limit >= 0 && (timeout < 0 || limit < timeout)) timeout = limit;
  }
  if (poll(fds, 2, timeout) < 0 && errno != EINTR) throw std::system_error(errno, std::generic_category());
  if (fds[0].revents & POLLIN) DrainWakeFd(wakeFd);
  std::unique_lock lock(mutex_);
  if (stopping_) return false;
  if (fds[1].revents & POLLNVAL)
    HangUpLocked(ERROR_INVALID_HANDLE);
  else if (fds[1].revents & (POLLIN | POLLHUP | POLLERR))
    PullInput(lock);  // a hang-up shows itself as the end of the input
  PumpWritesLocked();
  return true;
}

void SerialDevice::PullInput(std::unique_lock<std::mutex>& lock) {
  // One reader at a time, so that bytes are queued in the order they came; the lock is let go
  // for the system call, so that a writer is not held up behind it.
  readerDone_.wait(lock, [this] { return !reading_; });
  reading_ = true;
  std::uint8_t buffer[4096];
  while (lineFailure_ == ERROR_SUCCESS && !stopping_) {
    lock.unlock();
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    const int failure = n < 0 ? errno : 0;
    lock.lock();
    if (n > 0) {
      // The errors the driver counted come with the bytes they came in, as one event.
      const DWORD events = StoreReceivedLocked(buffer, static_cast<std::size_t>(n));
      RaiseLocked(events | CheckCountersLocked());
      continue;
    }
    if (failure == EINTR) continue;
    if (failure == EAGAIN) break;
    // End of input on a tty means the other side has hung up (the adapter was unplugged).
    HangUpLocked(n == 0 ? ERROR_GEN_FAILURE : IoErrorFromErrno(failure));
  }
  reading_ = false;
  readerDone_.notify_all();
}

DWORD SerialDevice::StoreReceivedLocked(const std::uint8_t* data, std::size_t size) {
  DWORD events = 0;
  auto store = [&](std::uint8_t b) {
    if (input_.size() >= inputCapacity_) {
      errors_ |= CE_RXOVER;  // the queue is full: the byte is lost, as the driver reports it
      return;
    }
    input_.push_back(b);
    events |= EV_RXCHAR;
    if (b == eventChar_) events |= EV_RXFLAG;
  };
  decoder_.Feed(
      data, size,
      [&](std::uint8_t b) {
        if (!(discardNull_ && b == 0)) store(b);
      },
      [&](std::uint8_t b) {
        // Where the driver counts errors the counters tell which one it was.
        if (!countersSupported_) {
          errors_ |= CE_FRAME;
          events |= EV_ERR;
        }
        store(replaceErrors_ ? errorChar_ : b);
      },
      [&] {
        if (!countersSupported_) {
          errors_ |= CE_BREAK;
          events |= EV_BREAK;
        }
      });
  const bool above80 = input_.size() * 5 >= inputCapacity_ * 4;
  if (above80 && !above80_) events |= EV_RX80FULL;
  above80_ = above80;
  return events;
}

void SerialDevice::PumpWritesLocked() {
  // The queue waits for a write in progress outside the lock; it wakes the driver when done.
  if (directWrite_) return;
  while (!writes_.empty()) {
    PendingWrite& head = writes_.front();
    if (lineFailure_ != ERROR_SUCCESS) {
      CompleteHeadLocked(lineFailure_);
      continue;
    }
    ssize_t n;
    do n = ::write(fd_, head.data.data() + head.sent, head.size - head.sent);
    while (n < 0 && errno == EINTR);
    if (n > 0) head.sent += static_cast<DWORD>(n);
    if (head.sent == head.size) {
      CompleteHeadLocked(ERROR_SUCCESS);
      OutputFinishedLocked();
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      if (errno == EIO) {
        HangUpLocked(ERROR_GEN_FAILURE);
        continue;
      }
      CompleteHeadLocked(IoErrorFromErrno(errno));
      continue;
    }
    // A write cut short by its time-out has succeeded with what it sent.
    if (head.deadline && Clock::now() >= *head.deadline) {
      CompleteHeadLocked(ERROR_SUCCESS);
      OutputFinishedLocked();
      continue;
    }
    return;
  }
}

void SerialDevice::CompleteHeadLocked(DWORD error) {
  PendingWrite done = std::move(writes_.front());
  writes_.pop_front();
  CompleteOverlapped(done.overlapped, done.event.get(), error, done.sent);
  ArmHeadLocked();
}

void SerialDevice::ArmHeadLocked() {
  if (!writes_.empty() && !writes_.front().deadline) writes_.front().deadline = DeadlineFor(writes_.front().size);
}

void SerialDevice::FailAllWritesLocked(DWORD error) {
  while (!writes_.empty()) {
    PendingWrite& head = writes_.front();
    CompleteOverlapped(head.overlapped, head.event.get(), error, head.sent);
    writes_.pop_front();
  }
}

void SerialDevice::HangUpLocked(DWORD error) {
  if (lineFailure_ == ERROR_SUCCESS) {
    lineFailure_ = error;
    // Nothing is left to wait for on a line that has gone, and a wait still blocked in the
    // kernel would hold up the removal of a PCI card.
    if (modemWatcher_) modemWatcher_->RequestStop();
    if (drainWaiter_) drainWaiter_->RequestStop();
  }
  FailAllWritesLocked(lineFailure_);
  CompleteWaitLocked(lineFailure_);
}

void SerialDevice::CompleteWaitLocked(DWORD error) {
  if (!wait_) return;
  {
    std::lock_guard lock(Event::Lock());
    if (wait_->event) wait_->event->SetServerLocked({});
  }
  CompleteOverlapped(wait_->overlapped, wait_->event.get(), error, 0);
  wait_.reset();
}

void SerialDevice::RaiseLocked(DWORD events) {
  events &= eventMask_;
  if (events == 0) return;
  history_ |= events;
  if (!wait_) return;
  *wait_->mask = history_;
  history_ = 0;
  CompleteWaitLocked(ERROR_SUCCESS);
}

DWORD SerialDevice::CheckCountersLocked() {
  LineCounters now;
  if (!countersSupported_ || !ReadLineCounters(fd_, now)) return 0;
  const DWORD flags = ErrorFlagsBetween(counters_, now);
  counters_ = now;
  errors_ |= flags;
  return ((flags & (CE_FRAME | CE_OVERRUN | CE_RXPARITY)) ? EV_ERR : 0) | ((flags & CE_BREAK) ? EV_BREAK : 0);
}

void SerialDevice::OutputFinishedLocked() {
  if (!writes_.empty() || !(eventMask_ & EV_TXEMPTY)) return;
  // A pseudo-terminal's output queue always reads empty; only a real line needs asking.
  int queued = 0;
  if (pseudoTerminal_ || TtyIoctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
    RaiseLocked(EV_TXEMPTY);
    return;
  }
  // The tty still holds bytes for the wire: the kernel says when they have left.
  try {
    if (!drainWaiter_) drainWaiter_ = std::make_unique<OutputDrainWaiter>(fd_, [this] { OutputDrained(); });
    drainWaiter_->Request();
  } catch (const std::system_error&) {
    RaiseLocked(EV_TXEMPTY);  // without a thread to wait with, the write's end has to do
  }
}

void SerialDevice::OutputDrained() {
  std::lock_guard lock(mutex_);
  if (!stopping_ && lineFailure_ == ERROR_SUCCESS) OutputFinishedLocked();
}

DWORD SerialDevice::SetCommMask(DWORD mask) {
  std::unique_ptr<ModemWatcher> retired;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return ERROR_INVALID_HANDLE;
    // A changed mask ends a waiting WaitCommEvent with no events, even on a line that has gone.
    if (wait_) {
      *wait_->mask = 0;
      CompleteWaitLocked(ERROR_SUCCESS);
    }
    history_ = 0;
    eventMask_ = mask;
    const bool wantsLines = (mask & (EV_CTS | EV_DSR | EV_RLSD | EV_RING)) != 0;
    if (wantsLines && !modemWatcher_ && !pseudoTerminal_ && lineFailure_ == ERROR_SUCCESS && HasModemLines(fd_)) {
      try {
        modemWatcher_ = std::make_unique<ModemWatcher>(
            fd_,
            [this](DWORD events) {
              std::lock_guard inner(mutex_);
              RaiseLocked(events);
            },
            [this](DWORD error) {
              std::lock_guard inner(mutex_);
              HangUpLocked(error);
            });
      } catch (const std::system_error&) {
        return ERROR_NOT_ENOUGH_MEMORY;
      }
    } else if (!wantsLines) {
      retired = std::move(modemWatcher_);
    }
  }
  return ERROR_SUCCESS;  // a retired watcher is stopped here, outside the lock it reports under
}

DWORD SerialDevice::WaitCommEvent(DWORD* mask, OVERLAPPED* overlapped, std::shared_ptr<Event> event) {
  std::unique_lock lock(mutex_);
  if (!closed_ && lineFailure_ == ERROR_SUCCESS && (history_ & eventMask_)) {
    // This wait completes at once, without serving the device; what the tty received
    // meanwhile belongs in the same batch. Otherwise a line kept busy by writes (each records an
    // output-empty event) would never report the bytes it receives.
    PullInput(lock);
  }
  if (closed_) return ERROR_INVALID_HANDLE;
  if (lineFailure_ != ERROR_SUCCESS) return lineFailure_;
  if (eventMask_ == 0 || wait_) return ERROR_INVALID_PARAMETER;
  BeginOverlapped(overlapped, event.get());
  *mask = 0;
  if (const DWORD seen = history_ & eventMask_) {
    *mask = seen;
    history_ = 0;
    CompleteOverlapped(overlapped, event.get(), ERROR_SUCCESS, 0);
    return ERROR_SUCCESS;
  }
  if (event) {
    // The thread that waits for this event serves the device meanwhile.
    std::lock_guard eventLock(Event::Lock());
    event->SetServerLocked(weak_from_this());
  }
  wait_ = PendingWait{mask, overlapped, std::move(event)};
  WakeDriver();
  return ERROR_IO_PENDING;
}

void SerialDevice::StopHelpers() {
  std::unique_ptr<ModemWatcher> watcher;
  std::unique_ptr<OutputDrainWaiter> drainWaiter;
  {
    std::lock_guard lock(mutex_);
    watcher = std::move(modemWatcher_);
    drainWaiter = std::move(drainWaiter_);
  }
}

}  // namespace platform::posix
