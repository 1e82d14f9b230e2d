// An open tty playing the part of the Windows serial driver: it keeps the input queue of the
// size SetupComm gives, completes overlapped writes through their OVERLAPPED event, bounds
// them by the write time-outs, keeps the line-error state that ClearCommError reads, and
// reports the comm events of SetCommMask to WaitCommEvent.
//
// Threads. Writes that the tty takes at once complete in the caller's thread. The thread that
// waits for a comm event serves the device from inside its wait: it sleeps in poll() on the tty
// until input arrives, the mask changes or the wait is ended. Only a write that has to wait
// starts the device's own driver thread, which sleeps in poll() the same way. On a real line, a
// ModemWatcher thread waits in the kernel for the modem lines (where the mask asks for them and
// the driver can), and an OutputDrainWaiter thread for the output to leave the tty (where the
// mask asks for EV_TXEMPTY). None of them wakes on a timer while the line is quiet. Every field
// below mutex_ is guarded by it; the helper threads report under it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/Event.h"
#include "platform/posix/LineSettings.h"
#include "platform/posix/ModemWatcher.h"
#include "platform/posix/OutputDrainWaiter.h"
#include "platform/posix/ReceiveDecoder.h"
#include "platform/posix/TtyIoctls.h"

namespace platform::posix {

class SerialDevice final : public KernelObject, public EventServer, public std::enable_shared_from_this<SerialDevice> {
 public:
  // Opens a tty; exclusive keeps every other opener out (root included). On failure returns
  // nullptr with the Win32 code in `error`.
  static std::shared_ptr<SerialDevice> Open(const std::string& path, bool exclusive, DWORD& error);
  ~SerialDevice() override;
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  void Close() override;

  // Each returns ERROR_SUCCESS or the code for GetLastError.
  DWORD SetupComm(DWORD inQueue, DWORD outQueue);
  DWORD SetCommState(const DCB& dcb);
  DWORD SetCommTimeouts(const COMMTIMEOUTS& timeouts);
  DWORD Purge(DWORD flags);
  DWORD ClearError(DWORD* errors, COMSTAT* stat);
  DWORD ModemStatus(DWORD* status);
  // ERROR_SUCCESS when the write finished at once (*written holds the count), ERROR_IO_PENDING
  // while it runs (completion goes to `overlapped` and `event`), otherwise the failure.
  DWORD Write(const void* data, DWORD size, OVERLAPPED* overlapped, std::shared_ptr<Event> event, DWORD* written);
  DWORD SetCommMask(DWORD mask);
  // ERROR_SUCCESS when an event had already happened (*mask holds it), ERROR_IO_PENDING while
  // waiting (*mask is filled before the completion), otherwise the failure.
  DWORD WaitCommEvent(DWORD* mask, OVERLAPPED* overlapped, std::shared_ptr<Event> event);

  bool DriverThreadStarted() const;

  // Serving by a thread that waits for this device's comm event (see EventServer).
  void Serve(int wakeFd, int milliseconds) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct PendingWrite {
    // A copy of the bytes still to go: the caller's buffer is not read after WriteFile returns.
    std::string data;
    DWORD size;
    DWORD sent;
    OVERLAPPED* overlapped;
    std::shared_ptr<Event> event;
    std::optional<Clock::time_point> deadline;  // set when the write reaches the head
  };

  struct PendingWait {
    DWORD* mask;
    OVERLAPPED* overlapped;
    std::shared_ptr<Event> event;
  };

  SerialDevice(int fd, int wakeFd, bool pseudoTerminal);

  void DriverLoop() noexcept;
  void RunDriver();
  // One round of the device's work: poll the tty and wakeFd, then read, write, time out.
  // False once the device is stopping.
  bool ServeRound(int wakeFd, int limit);
  void CompleteWaitLocked(DWORD error);
  DWORD StartDriverLocked();
  void WakeDriver() const;
  int PollTimeoutLocked() const;
  // Reads what the tty has received into the input queue; called and returns with the lock
  // held, which it lets go for each read.
  void PullInput(std::unique_lock<std::mutex>& lock);
  // Queues received bytes; returns the events they raise.
  DWORD StoreReceivedLocked(const std::uint8_t* data, std::size_t size);
  void PumpWritesLocked();
  void CompleteHeadLocked(DWORD error);
  // The write at the head of the queue starts its time-out when it gets there.
  void ArmHeadLocked();
  void FailAllWritesLocked(DWORD error);
  void HangUpLocked(DWORD error);
  std::optional<Clock::time_point> DeadlineFor(DWORD size) const;
  // Records events for WaitCommEvent: those in the mask complete a waiting one or wait for
  // the next.
  void RaiseLocked(DWORD events);
  // Takes in the line errors the driver counted since the last look; returns their events.
  DWORD CheckCountersLocked();
  void OutputFinishedLocked();
  // The drain waiter's report that the tty has sent everything.
  void OutputDrained();
  // Stops the helper threads; outside the lock they report under.
  void StopHelpers();
  // Before the handle closes: what finished writes handed to the tty goes out in about the
  // time the wire takes; output that flow control holds beyond that is dropped, as the Windows
  // driver drops it, instead of holding up the close for the kernel's own 30 s.
  void LetOutputLeave();

  const int fd_;
  const int wakeFd_;
  const bool pseudoTerminal_;

  mutable std::mutex mutex_;
  std::thread driver_;
  bool stopping_ = false;
  bool closed_ = false;
  DWORD lineFailure_ = ERROR_SUCCESS;  // once the line has gone, every call reports this
  COMMTIMEOUTS timeouts_{};
  std::deque<PendingWrite> writes_;
  // A caller's write(2) is under way outside the lock: the queue must not overtake it, and
  // the descriptor must not close under it.
  bool directWrite_ = false;
  // A thread is reading the tty outside the lock; others wait for it to finish.
  bool reading_ = false;
  std::condition_variable readerDone_;
  std::deque<std::uint8_t> input_;
  std::size_t inputCapacity_ = 4096;
  DWORD errors_ = 0;
  bool discardNull_ = false;
  bool replaceErrors_ = false;
  std::uint8_t errorChar_ = 0;
  ReceiveDecoder decoder_;
  bool countersSupported_ = false;
  LineCounters counters_;
  DWORD eventMask_ = 0;
  DWORD history_ = 0;  // events seen since the last completed wait
  std::optional<PendingWait> wait_;
  std::uint8_t eventChar_ = 0;
  bool above80_ = false;
  LineState line_;  // what SetCommState left in the device, for undoing and for closing
  std::unique_ptr<ModemWatcher> modemWatcher_;
  std::unique_ptr<OutputDrainWaiter> drainWaiter_;
  // The thread serving the device from its wait, if one does, and how to wake it.
  int borrowers_ = 0;
  std::atomic<int> borrowerWakeFd_{-1};
  std::condition_variable borrowerLeft_;
};

}  // namespace platform::posix
