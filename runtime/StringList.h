// A list of strings with the runtime's look-up and sort rules: both ignore the letter case of
// ASCII letters.
#pragma once

#include <string>
#include <vector>

#include "runtime/Object.h"

class TStringList : public TObject {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }
  void Add(const std::string& S) { FItems.push_back(S); }
  void Clear() { FItems.clear(); }
  // The first item equal to S with ASCII letter case ignored, or -1.
  int IndexOf(const std::string& S) const;
  // Sorts as text with ASCII letter case ignored; equal items keep their order.
  void Sort();
  const std::vector<std::string>& Items() const { return FItems; }

 private:
  std::vector<std::string> FItems;
};

// Compares as text with the letter case of ASCII letters ignored: <0, 0 or >0.
int CompareText(const std::string& A, const std::string& B);
// Only a to z become A to Z (and back); every other byte stays as it is.
std::string AsciiUpperCase(std::string S);
std::string AsciiLowerCase(std::string S);
