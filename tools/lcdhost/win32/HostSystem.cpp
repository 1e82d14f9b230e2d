#include "tools/lcdhost/HostSystem.h"

#include <filesystem>

#include "platform/win32/WindowsHeader.h"
#include <shellapi.h>

namespace {
volatile bool* interruptFlag = nullptr;
DWORD hostThread = 0;

BOOL WINAPI ConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  *interruptFlag = true;
  // The host's thread waits for messages too: this one ends its wait.
  PostThreadMessageA(hostThread, WM_NULL, 0, 0);
  return TRUE;
}
}  // namespace

std::vector<std::string> Arguments(int, char**) {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words && i < count; ++i) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, words[i], -1, nullptr, 0, nullptr, nullptr);
    std::string word(n > 0 ? static_cast<std::size_t>(n) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, words[i], -1, word.data(), n, nullptr, nullptr);
    word.resize(word.size() - 1);  // the terminating NUL
    arguments.push_back(word);
  }
  LocalFree(words);
  return arguments;
}

std::string DefaultModulePath() {
  char self[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "Quorvel.dll";
  return (std::filesystem::path(self).parent_path() / "Quorvel.dll").string();
}

void OnInterrupt(volatile bool* flag) {
  interruptFlag = flag;
  hostThread = GetCurrentThreadId();
  SetConsoleCtrlHandler(&ConsoleControl, TRUE);
}
