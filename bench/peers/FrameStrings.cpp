#include "bench/peers/LineWay.h"

const std::vector<std::string>& FrameStrings() {
  static const std::vector<std::string> strings = [] {
    std::vector<std::string> all{"\xFE\x58"};
    const std::string row = "Quorvel frame 123456";
    for (char r = 1; r <= 4; ++r) {
      all.push_back(std::string{'\xFE', 'G', 1, r});
      for (char c : row) all.emplace_back(1, c);
    }
    return all;
  }();
  return strings;
}
