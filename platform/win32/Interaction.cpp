#include "platform/Interaction.h"

#include <string>

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                    static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

}  // namespace

bool DisplayReachable() {
  // A service's window station shows nothing; an interactive one is visible.
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  return station && GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::unique_ptr<Terminal> Terminal::OpenControlling() {
  HANDLE input = ::CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE output = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) {
    ::CloseHandle(input);
    return nullptr;
  }
  return std::unique_ptr<Terminal>(
      new Terminal(reinterpret_cast<std::intptr_t>(input), reinterpret_cast<std::intptr_t>(output)));
}

Terminal::~Terminal() {
  ::CloseHandle(Native(input_));
  ::CloseHandle(Native(output_));
}

void Terminal::Write(const std::string& Text) {
  // The console takes UTF-16, whatever its code page.
  const std::wstring wide = Wide(Text);
  std::size_t done = 0;
  while (done < wide.size()) {
    ::DWORD written = 0;
    if (!WriteConsoleW(Native(output_), wide.data() + done, static_cast<::DWORD>(wide.size() - done), &written, nullptr) ||
        written == 0)
      return;
    done += written;
  }
}

bool Terminal::ReadLine(std::string& Line) {
  std::wstring wide;
  for (;;) {
    wchar_t c;
    ::DWORD n = 0;
    if (!ReadConsoleW(Native(input_), &c, 1, &n, nullptr) || n == 0) {
      Line = Utf8(wide);
      return !wide.empty();
    }
    if (c == L'\n') break;
    if (c != L'\r') wide.push_back(c);
  }
  Line = Utf8(wide);
  return true;
}

}  // namespace platform
