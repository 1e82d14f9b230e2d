// The placeholders of lcdhost's display lines, filled when the line is shown:
//   {time} {time:FORMAT}   the local time (strftime FORMAT, default %H:%M:%S)
//   {date} {date:FORMAT}   the local date (default %d.%m.%Y)
//   {load}                 the load average of the last minute
//   {memory}               the memory available, in MB
//   {file:PATH}            the first line of a file
//   {command:COMMAND}      the first line a shell command writes (at most two seconds)
// "{{" stands for "{". What cannot be read shows as "?".
#pragma once

#include <ctime>
#include <string>

std::string FillPlaceholders(const std::string& line, std::time_t now);
