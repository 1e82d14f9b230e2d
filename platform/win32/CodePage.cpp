#include "platform/CodePage.h"

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {

constexpr UINT Cyrillic = 1251;

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 0, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// No best-fit guesses ("é" as "e"): what the code page lacks becomes `missing` (where the code
// page takes one).
std::string FromWide(UINT codePage, const std::wstring& wide, const char* missing) {
  if (wide.empty()) return {};
  const DWORD flags = missing ? WC_NO_BEST_FIT_CHARS : 0;
  const int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, missing, nullptr);
  std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), text.data(), n, missing, nullptr);
  return text;
}

}  // namespace

std::string Cp1251ToUtf8(const std::string& text) { return FromWide(CP_UTF8, ToWide(Cyrillic, text), nullptr); }
std::string Utf8ToCp1251(const std::string& text) { return FromWide(Cyrillic, ToWide(CP_UTF8, text), "?"); }

}  // namespace platform
