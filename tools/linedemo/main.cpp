// Activates a display control on a pseudo-terminal, writes a Cyrillic greeting and a user
// character, and prints the bytes of every write the line carried, in hex, one line each.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "display/LCDControl_COM.h"
#include "tools/linedemo/LineRecorder.h"

namespace {

void PrintHex(const std::vector<std::uint8_t>& bytes) {
  std::string line;
  for (std::uint8_t b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X ", b);
    line += hex;
  }
  if (!line.empty()) line.pop_back();
  std::printf("  %s\n", line.c_str());
}

}  // namespace

int main() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("pseudo-terminal");
    return 1;
  }
  const std::string device = ptsname(master);
  LineRecorder recorder(master, PrintHex);
  platform::Install(&recorder);

  int status = 0;
  try {
    TLCDControl_COM control(nullptr);
    control.SetPort(device);
    control.SetRowCount(2);
    control.SetColCount(16);
    std::printf("display on %s\n", device.c_str());

    std::printf("SetActive(True): start-up string\n");
    control.SetActive(true);

    std::printf("ClearScreen\n");
    control.ClearScreen();

    // "Привет" in Windows-1251.
    std::printf("WriteAt(1, 1, \"Привет\"): position, then one write per letter\n");
    control.WriteAt(1, 1, "\xCF\xF0\xE8\xE2\xE5\xF2");

    const std::uint8_t heart[8] = {0x00, 0x0A, 0x1F, 0x1F, 0x0E, 0x04, 0x00, 0x00};
    std::printf("DefineChar(0, heart)\n");
    control.DefineChar(0, heart, 7);

    std::printf("WriteAt(1, 2, \"Hi \\x01\"): user character 0 is text code 1\n");
    control.WriteAt(1, 2, "Hi \x01");

    std::printf("SetActive(False)\n");
    control.SetActive(false);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo failed: %s\n", e.what());
    status = 1;
  }
  platform::Install(nullptr);
  close(master);
  return status;
}
