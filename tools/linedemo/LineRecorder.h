// A platform backend that passes every call to the system's and, each time a write has
// finished, reads what it put on the line from the pseudo-terminal's other side, so the
// demo can show the bytes of every write on a line of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Api.h"

class LineRecorder final : public platform::Api {
 public:
  using Sink = std::function<void(const std::vector<std::uint8_t>&)>;
  LineRecorder(int masterFd, Sink sink) : master_(masterFd), sink_(std::move(sink)) {}

  platform::HANDLE CreateFileA(platform::LPCSTR name, platform::DWORD access, platform::DWORD share,
                               platform::LPSECURITY_ATTRIBUTES sa, platform::DWORD disposition,
                               platform::DWORD flags, platform::HANDLE templ) override {
    return system_.CreateFileA(name, access, share, sa, disposition, flags, templ);
  }
  platform::BOOL CloseHandle(platform::HANDLE h) override { return system_.CloseHandle(h); }
  platform::BOOL SetupComm(platform::HANDLE h, platform::DWORD in, platform::DWORD out) override {
    return system_.SetupComm(h, in, out);
  }
  platform::BOOL SetCommState(platform::HANDLE h, const platform::DCB* dcb) override {
    return system_.SetCommState(h, dcb);
  }
  platform::BOOL SetCommTimeouts(platform::HANDLE h, const platform::COMMTIMEOUTS* t) override {
    return system_.SetCommTimeouts(h, t);
  }
  platform::BOOL PurgeComm(platform::HANDLE h, platform::DWORD flags) override { return system_.PurgeComm(h, flags); }
  platform::BOOL ClearCommError(platform::HANDLE h, platform::LPDWORD errors, platform::LPCOMSTAT stat) override {
    return system_.ClearCommError(h, errors, stat);
  }
  platform::BOOL GetCommModemStatus(platform::HANDLE h, platform::LPDWORD status) override {
    return system_.GetCommModemStatus(h, status);
  }
  platform::BOOL SetCommMask(platform::HANDLE h, platform::DWORD mask) override { return system_.SetCommMask(h, mask); }
  platform::BOOL WaitCommEvent(platform::HANDLE h, platform::LPDWORD mask, platform::LPOVERLAPPED ov) override {
    return system_.WaitCommEvent(h, mask, ov);
  }
  platform::BOOL WriteFile(platform::HANDLE h, platform::LPCVOID buffer, platform::DWORD size,
                           platform::LPDWORD written, platform::LPOVERLAPPED ov) override {
    return system_.WriteFile(h, buffer, size, written, ov);
  }
  platform::BOOL GetOverlappedResult(platform::HANDLE h, platform::LPOVERLAPPED ov, platform::LPDWORD transferred,
                                     platform::BOOL wait) override;
  platform::HANDLE CreateEventA(platform::LPSECURITY_ATTRIBUTES sa, platform::BOOL manual, platform::BOOL initial,
                                platform::LPCSTR name) override {
    return system_.CreateEventA(sa, manual, initial, name);
  }
  platform::BOOL SetEvent(platform::HANDLE h) override { return system_.SetEvent(h); }
  platform::BOOL ResetEvent(platform::HANDLE h) override { return system_.ResetEvent(h); }
  platform::DWORD WaitForSingleObject(platform::HANDLE h, platform::DWORD ms) override {
    return system_.WaitForSingleObject(h, ms);
  }
  platform::DWORD WaitForMultipleObjects(platform::DWORD n, const platform::HANDLE* hs, platform::BOOL all,
                                         platform::DWORD ms) override {
    return system_.WaitForMultipleObjects(n, hs, all, ms);
  }
  void Sleep(platform::DWORD ms) override { system_.Sleep(ms); }

 private:
  platform::Api& system_ = platform::SystemBackend();
  int master_;
  Sink sink_;
};
