#include "tests/support/FakePlatform.h"

#include <algorithm>

#include "platform/Overlapped.h"

namespace fake {

namespace {
const std::string DevicePrefix = "\\\\.\\";

class FakeDevice final : public KernelObject {};
}  // namespace

FakePlatform::FakePlatform() = default;

FakePlatform::~FakePlatform() = default;

bool FakePlatform::Enter(const std::string& call) {
  std::lock_guard lock(mutex_);
  calls_.emplace_back(std::this_thread::get_id(), call);
  auto it = failures_.find(call);
  if (it == failures_.end() || it->second.empty()) return false;
  Failure& next = it->second.front();
  const bool onTestThread = std::this_thread::get_id() == owner_;
  if ((next.on == On::TestThread && !onTestThread) || (next.on == On::OtherThreads && onTestThread)) return false;
  if (next.skip > 0) {
    --next.skip;
    return false;
  }
  SetLastError(next.error);
  it->second.pop_front();
  return true;
}

bool FakePlatform::IsDevice(HANDLE handle) const { return Handles().FindAs<FakeDevice>(handle) != nullptr; }

std::vector<std::string> FakePlatform::Calls() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> calls;
  for (const auto& [thread, call] : calls_)
    if (thread == owner_) calls.push_back(call);
  return calls;
}

std::vector<std::string> FakePlatform::OtherThreadCalls() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> calls;
  for (const auto& [thread, call] : calls_)
    if (thread != owner_) calls.push_back(call);
  return calls;
}

std::vector<std::string> FakePlatform::AllCalls() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> calls;
  for (const auto& entry : calls_) calls.push_back(entry.second);
  return calls;
}

std::size_t FakePlatform::CountOf(const std::string& call) const {
  const std::vector<std::string> calls = Calls();
  return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

void FakePlatform::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  opens_.clear();
  commStates_.clear();
  commTimeouts_.clear();
  queueSizes_.clear();
  purges_.clear();
  writes_.clear();
}

std::size_t FakePlatform::HangingWrites() const {
  std::lock_guard lock(mutex_);
  return hanging_.size();
}

void FakePlatform::FailNext(const std::string& call, DWORD error, int skip, On on) {
  std::lock_guard lock(mutex_);
  failures_[call].push_back({skip, error, on});
}
void FakePlatform::RemoveDevice(const std::string& name) {
  std::lock_guard lock(mutex_);
  missing_.insert(name);
}

HANDLE FakePlatform::CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                 LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                                 DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  if (Enter("CreateFileA")) return INVALID_HANDLE_VALUE;
  std::string name = lpFileName ? lpFileName : "";
  std::lock_guard lock(mutex_);
  opens_.push_back({name, dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes,
                    lpSecurityAttributes != nullptr, hTemplateFile != nullptr});
  const std::string plain = name.rfind(DevicePrefix, 0) == 0 ? name.substr(DevicePrefix.size()) : name;
  if (missing_.count(plain)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (dwShareMode == 0 && openNames_.count(plain)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  openNames_.insert(plain);
  HANDLE handle = Handles().Insert(std::make_shared<FakeDevice>());
  deviceNames_[handle] = plain;
  return handle;
}

BOOL FakePlatform::CloseHandle(HANDLE hObject) {
  if (Enter("CloseHandle")) return FALSE;
  {
    std::lock_guard lock(mutex_);
    if (auto it = deviceNames_.find(hObject); it != deviceNames_.end()) {
      openNames_.erase(it->second);
      deviceNames_.erase(it);
    }
  }
  return ObjectApi::CloseHandle(hObject);
}

BOOL FakePlatform::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
  if (Enter("SetupComm")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  queueSizes_.emplace_back(dwInQueue, dwOutQueue);
  return TRUE;
}

BOOL FakePlatform::SetCommState(HANDLE hFile, const DCB* lpDCB) {
  if (Enter("SetCommState")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  commStates_.push_back(*lpDCB);
  return TRUE;
}

BOOL FakePlatform::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
  if (Enter("SetCommTimeouts")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  commTimeouts_.push_back(*lpCommTimeouts);
  return TRUE;
}

BOOL FakePlatform::PurgeComm(HANDLE hFile, DWORD dwFlags) {
  if (Enter("PurgeComm")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  purges_.push_back(dwFlags);
  if (dwFlags & PURGE_TXABORT) {
    for (auto& w : hanging_) CompleteOverlapped(w.overlapped, w.event.get(), ERROR_OPERATION_ABORTED, 0);
    hanging_.clear();
  }
  return TRUE;
}

BOOL FakePlatform::ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) {
  if (Enter("ClearCommError")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  if (lpErrors) *lpErrors = errorFlags_;
  errorFlags_ = 0;
  if (lpStat) *lpStat = COMSTAT{0, inQueue_, 0};
  return TRUE;
}

BOOL FakePlatform::GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) {
  if (Enter("GetCommModemStatus")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  *lpModemStat = modemStatus_;
  return TRUE;
}

BOOL FakePlatform::WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                             LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  if (Enter("WriteFile")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  if (!lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
  auto event = Handles().FindAs<Event>(lpOverlapped->hEvent);
  std::lock_guard lock(mutex_);
  writes_.emplace_back(static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite);
  BeginOverlapped(lpOverlapped, event.get());
  const DWORD done = shortWrite_ >= 0 ? std::min<DWORD>(static_cast<DWORD>(shortWrite_), nNumberOfBytesToWrite)
                                      : nNumberOfBytesToWrite;
  switch (writeMode_) {
    case WriteMode::Immediate:
      CompleteOverlapped(lpOverlapped, event.get(), ERROR_SUCCESS, done);
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
      return TRUE;
    case WriteMode::Pending:
      CompleteOverlapped(lpOverlapped, event.get(), completionError_, done);
      return Fail(ERROR_IO_PENDING);
    case WriteMode::Hang:
      hanging_.push_back({lpOverlapped, event});
      return Fail(ERROR_IO_PENDING);
  }
  return Fail(ERROR_GEN_FAILURE);
}

BOOL FakePlatform::GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                       BOOL bWait) {
  if (Enter("GetOverlappedResult")) return FALSE;
  return ObjectApi::GetOverlappedResult(hFile, lpOverlapped, lpNumberOfBytesTransferred, bWait);
}

HANDLE FakePlatform::CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                                  LPCSTR lpName) {
  if (Enter("CreateEventA")) return nullptr;
  return ObjectApi::CreateEventA(lpEventAttributes, bManualReset, bInitialState, lpName);
}

BOOL FakePlatform::SetEvent(HANDLE hEvent) {
  if (Enter("SetEvent")) return FALSE;
  return ObjectApi::SetEvent(hEvent);
}

BOOL FakePlatform::ResetEvent(HANDLE hEvent) {
  if (Enter("ResetEvent")) return FALSE;
  return ObjectApi::ResetEvent(hEvent);
}

DWORD FakePlatform::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (Enter("WaitForSingleObject")) return WAIT_FAILED;
  return ObjectApi::WaitForSingleObject(hHandle, dwMilliseconds);
}

DWORD FakePlatform::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                           DWORD dwMilliseconds) {
  if (Enter("WaitForMultipleObjects")) return WAIT_FAILED;
  return ObjectApi::WaitForMultipleObjects(nCount, lpHandles, bWaitAll, dwMilliseconds);
}

void FakePlatform::Sleep(DWORD dwMilliseconds) {
  Enter("Sleep");
  ObjectApi::Sleep(dwMilliseconds);
}

bool FakePlatform::EventWaitPending() const {
  std::lock_guard lock(mutex_);
  return eventWait_.has_value();
}

void FakePlatform::CompleteEventWaitLocked(DWORD events) {
  *eventWait_->mask = events;
  CompleteOverlapped(eventWait_->overlapped, eventWait_->event.get(), ERROR_SUCCESS, 0);
  eventWait_.reset();
}

void FakePlatform::RaiseEvents(DWORD events) {
  std::lock_guard lock(mutex_);
  eventHistory_ |= events & eventMask_;
  if (eventWait_ && eventHistory_) {
    CompleteEventWaitLocked(eventHistory_);
    eventHistory_ = 0;
  }
}

BOOL FakePlatform::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
  if (Enter("SetCommMask")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(mutex_);
  commMasks_.push_back(dwEvtMask);
  if (eventWait_) CompleteEventWaitLocked(0);
  eventMask_ = dwEvtMask;
  eventHistory_ = 0;
  return TRUE;
}

BOOL FakePlatform::WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) {
  if (Enter("WaitCommEvent")) return FALSE;
  if (!IsDevice(hFile)) return Fail(ERROR_INVALID_HANDLE);
  auto event = Handles().FindAs<Event>(lpOverlapped->hEvent);
  std::lock_guard lock(mutex_);
  if (eventMask_ == 0 || eventWait_) return Fail(ERROR_INVALID_PARAMETER);
  BeginOverlapped(lpOverlapped, event.get());
  eventWait_ = EventWait{lpEvtMask, lpOverlapped, event};
  if (eventHistory_) {
    CompleteEventWaitLocked(eventHistory_);
    eventHistory_ = 0;
    return TRUE;
  }
  return Fail(ERROR_IO_PENDING);
}

}  // namespace fake
