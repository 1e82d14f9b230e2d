#include "runtime/StringList.h"

#include <algorithm>

std::string AsciiUpperCase(std::string S) {
  for (char& c : S)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return S;
}

std::string AsciiLowerCase(std::string S) {
  for (char& c : S)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return S;
}

int CompareText(const std::string& A, const std::string& B) {
  const std::string a = AsciiUpperCase(A), b = AsciiUpperCase(B);
  return a.compare(b);
}

int TStringList::IndexOf(const std::string& S) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (CompareText(FItems[i], S) == 0) return static_cast<int>(i);
  return -1;
}

void TStringList::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
}
