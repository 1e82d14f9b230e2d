// What lcdhost's long-running mode shows: a line of text for each row of the display, with
// placeholders filled anew at every refresh, read from a small settings file:
//
//   [display]
//   refresh = 5                 ; seconds between refreshes (fractions allowed)
//   row1 = {time}  {date}
//   row2 = load {load}
#pragma once

#include <string>
#include <vector>

struct DisplayConfig {
  double refreshSeconds = 5;
  std::vector<std::string> rows;  // UTF-8, placeholders unfilled; rows[0] is row 1
};

// Reads the file; raises std::runtime_error naming the file and what is wrong with it.
DisplayConfig ReadDisplayConfig(const std::string& path);
