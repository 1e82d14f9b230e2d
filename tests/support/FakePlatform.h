// A platform backend for unit tests: it records every call with what was passed, can be told
// to fail any call with any code, and simulates serial devices whose writes finish at once,
// later, short, or not until they are aborted. Events and waits are the real in-process ones.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/ObjectApi.h"

namespace fake {

using namespace platform;

enum class WriteMode {
  Immediate,  // WriteFile finishes at once and returns TRUE
  Pending,    // WriteFile returns ERROR_IO_PENDING; the transfer has finished by the wait
  Hang,       // WriteFile returns ERROR_IO_PENDING; the transfer runs until aborted
};

struct OpenRecord {
  std::string name;
  DWORD access, share, disposition, flags;
  bool securityAttributes, templateFile;
};

class FakePlatform final : public ObjectApi {
 public:
  FakePlatform();
  ~FakePlatform() override;

  // --- what the code under test did ---
  // The calls made on the thread that created the fake (the test's), in order; calls of other
  // threads (a port's event thread) are in AllCalls.
  std::vector<std::string> Calls() const;
  std::vector<std::string> AllCalls() const;
  std::vector<std::string> OtherThreadCalls() const;
  std::size_t CountOf(const std::string& call) const;
  void ClearCalls();
  std::vector<OpenRecord> Opens() const { return Read(opens_); }
  std::vector<DCB> CommStates() const { return Read(commStates_); }
  std::vector<COMMTIMEOUTS> CommTimeouts() const { return Read(commTimeouts_); }
  std::vector<std::pair<DWORD, DWORD>> QueueSizes() const { return Read(queueSizes_); }
  std::vector<DWORD> Purges() const { return Read(purges_); }
  std::vector<std::string> Writes() const { return Read(writes_); }
  std::vector<DWORD> CommMasks() const { return Read(commMasks_); }
  // True while a WaitCommEvent waits for events.
  bool EventWaitPending() const;
  std::size_t OpenHandles() const { return Handles().Count(); }

  // --- how the platform behaves ---
  // The (skip + 1)-th next call named `call` (counting only calls made where `on` says) fails
  // with `error`.
  enum class On { AnyThread, TestThread, OtherThreads };
  void FailNext(const std::string& call, DWORD error, int skip = 0, On on = On::AnyThread);
  // Opening this name fails with ERROR_FILE_NOT_FOUND.
  void RemoveDevice(const std::string& name);
  void SetWriteMode(WriteMode mode) { Store(writeMode_, mode); }
  // Writes report this many bytes (at most the size asked for); negative: all of them.
  void SetShortWrite(long bytes) { Store(shortWrite_, bytes); }
  // Waited-for writes end with this error instead of success.
  void SetWriteCompletionError(DWORD error) { Store(completionError_, error); }
  void SetInQueue(DWORD bytes) { Store(inQueue_, bytes); }
  void SetErrorFlags(DWORD flags) { Store(errorFlags_, flags); }  // reported once, then cleared
  void SetModemStatus(DWORD status) { Store(modemStatus_, status); }
  std::size_t HangingWrites() const;
  // The device reports these events: a waiting WaitCommEvent completes with those in the mask,
  // otherwise they wait for the next one.
  void RaiseEvents(DWORD events);

  // --- the platform calls ---
  HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) override;
  BOOL CloseHandle(HANDLE hObject) override;
  BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) override;
  BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) override;
  BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) override;
  BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) override;
  BOOL ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) override;
  BOOL GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) override;
  BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) override;
  BOOL WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) override;
  BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                 LPOVERLAPPED lpOverlapped) override;
  BOOL GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                           BOOL bWait) override;
  HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                      LPCSTR lpName) override;
  BOOL SetEvent(HANDLE hEvent) override;
  BOOL ResetEvent(HANDLE hEvent) override;
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
  DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) override;
  void Sleep(DWORD dwMilliseconds) override;

 private:
  template <class T>
  T Read(const T& field) const {
    std::lock_guard lock(mutex_);
    return field;
  }
  template <class T>
  void Store(T& field, T value) {
    std::lock_guard lock(mutex_);
    field = value;
  }
  struct HangingWrite {
    OVERLAPPED* overlapped;
    std::shared_ptr<Event> event;
  };
  struct EventWait {
    DWORD* mask;
    OVERLAPPED* overlapped;
    std::shared_ptr<Event> event;
  };
  void CompleteEventWaitLocked(DWORD events);
  // Records the call; true (with the last error set) when it is to fail.
  bool Enter(const std::string& call);
  bool IsDevice(HANDLE handle) const;

  mutable std::mutex mutex_;
  const std::thread::id owner_ = std::this_thread::get_id();
  std::vector<std::pair<std::thread::id, std::string>> calls_;
  struct Failure {
    int skip;
    DWORD error;
    On on;
  };
  std::map<std::string, std::deque<Failure>> failures_;
  std::set<std::string> missing_;
  std::set<std::string> openNames_;
  std::map<HANDLE, std::string> deviceNames_;
  std::vector<OpenRecord> opens_;
  std::vector<DCB> commStates_;
  std::vector<COMMTIMEOUTS> commTimeouts_;
  std::vector<std::pair<DWORD, DWORD>> queueSizes_;
  std::vector<DWORD> purges_;
  std::vector<std::string> writes_;
  std::vector<HangingWrite> hanging_;
  std::vector<DWORD> commMasks_;
  DWORD eventMask_ = 0;
  DWORD eventHistory_ = 0;
  std::optional<EventWait> eventWait_;
  WriteMode writeMode_ = WriteMode::Immediate;
  long shortWrite_ = -1;
  DWORD completionError_ = ERROR_SUCCESS;
  DWORD inQueue_ = 0;
  DWORD errorFlags_ = 0;
  DWORD modemStatus_ = 0;
};

// Installs a fake for the lifetime of the object.
class ScopedFakePlatform {
 public:
  ScopedFakePlatform() : previous_(Install(&fake_)) {}
  ~ScopedFakePlatform() { Install(previous_); }
  FakePlatform* operator->() { return &fake_; }
  const FakePlatform* operator->() const { return &fake_; }
  FakePlatform& operator*() { return fake_; }

 private:
  FakePlatform fake_;
  Api* previous_;
};

}  // namespace fake
