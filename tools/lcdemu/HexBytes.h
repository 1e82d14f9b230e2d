// Bytes as text for people: "FE 59 07". Kept in the header, so tests and benchmarks that show
// bytes use it without linking the emulator.
#pragma once

#include <cstdio>
#include <string>

inline std::string HexBytes(const std::string& bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X ", b);
    out += hex;
  }
  if (!out.empty()) out.pop_back();
  return out;
}
