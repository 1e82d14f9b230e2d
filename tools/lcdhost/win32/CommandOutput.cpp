#include "tools/lcdhost/CommandOutput.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/win32/WindowsHeader.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

}  // namespace

std::optional<std::string> FirstLineOfCommand(const std::string& command) {
  // The command and whatever it starts live in a job, so a time-out ends all of them (and with
  // them every holder of the pipe's writing end, which ends the read below).
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (!job) return std::nullopt;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) {
    CloseHandle(job);
    return std::nullopt;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                               OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing;
  startup.hStdOutput = writeEnd;
  startup.hStdError = nothing;
  std::wstring line = L"cmd.exe /d /s /c \"" + Wide(command) + L"\"";
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  if (!started) {
    CloseHandle(readEnd);
    CloseHandle(job);
    return std::nullopt;
  }
  AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);

  // The pipe is read on a thread of its own, so this one can keep the time limit.
  std::mutex mutex;
  std::condition_variable changed;
  std::string text;
  bool ended = false;
  std::thread reader([&]() noexcept {
    char buffer[256];
    DWORD n = 0;
    try {
      while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        std::lock_guard lock(mutex);
        text.append(buffer, n);
        if (text.find('\n') != std::string::npos) break;
        changed.notify_one();
      }
    } catch (...) {
      // Out of memory for a line: the command counts as silent.
    }
    std::lock_guard lock(mutex);
    ended = true;
    changed.notify_one();
  });
  {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(2), [&] { return ended || text.find('\n') != std::string::npos; });
  }
  TerminateJobObject(job, 1);  // what is left of it is not needed
  reader.join();
  CloseHandle(readEnd);
  CloseHandle(process.hProcess);
  CloseHandle(job);
  std::string found;
  {
    std::lock_guard lock(mutex);
    found = text;
  }
  const std::size_t newline = found.find('\n');
  if (newline == std::string::npos && !ended) return std::nullopt;
  std::string first = found.substr(0, newline);
  if (!first.empty() && first.back() == '\r') first.pop_back();
  return first;
}
