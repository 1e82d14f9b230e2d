// The reference host: loads a display module, initialises it, runs the commands of its command
// line against the display control, and finishes it, as an application that shows information
// on the display would.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/Cp1251.h"
#include "tools/lcdhost/ModuleHost.h"

namespace {

volatile bool interrupted = false;

void Usage() {
  std::fprintf(stderr,
               "usage: lcdhost [--module PATH] COMMAND...\n"
               "commands, run in order:\n"
               "  info                  the module's record\n"
               "  write COL ROW TEXT    TEXT (UTF-8) at column COL of row ROW\n"
               "  clear                 clear the screen\n"
               "  char INDEX B0 .. B7   define user character INDEX from eight hex rows\n"
               "  configure             the settings dialog\n"
               "  sleep MS              wait MS milliseconds\n"
               "  clock [SECONDS]       time and date on the display until interrupted\n");
}

std::string DefaultModule(const char* argv0) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path self = fs::canonical("/proc/self/exe", error);
  for (const fs::path& candidate : {self.parent_path() / "../../Quorvel.so", self.parent_path() / "Quorvel.so"})
    if (fs::exists(candidate, error)) return fs::weakly_canonical(candidate).string();
  (void)argv0;
  return "Quorvel.so";
}

int Number(const std::string& text, int low, int high, const char* what) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 0);
  if (text.empty() || *end || value < low || value > high)
    throw std::invalid_argument(std::string("bad ") + what + ": " + text);
  return static_cast<int>(value);
}

void Clock(ModuleHost& host, int seconds) {
  TLCDBaseControl& lcd = *host.Control();
  const int cols = lcd.GetColCount();
  for (int shown = 0; !interrupted && (seconds <= 0 || shown < seconds); ++shown) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char time[16], date[16];
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    std::strftime(date, sizeof date, "%d.%m.%Y", &local);
    auto centred = [cols](const char* text) {
      const int pad = (cols - static_cast<int>(std::string(text).size())) / 2;
      return static_cast<std::uint8_t>(1 + (pad > 0 ? pad : 0));
    };
    lcd.WriteAt(centred(time), 1, time);
    if (lcd.GetRowCount() > 1) lcd.WriteAt(centred(date), 2, date);
    host.Serve(1000, &interrupted);
  }
}

void Run(ModuleHost& host, const std::vector<std::string>& args) {
  host.Record().InitHardware();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& command = args[i];
    auto argument = [&](const char* what) -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(std::string("missing ") + what + " after " + command);
      return args[++i];
    };
    TLCDBaseControl& lcd = *host.Control();
    if (command == "info") {
      std::printf("DriverName: %s\nDriverDescription: %s\nControl: %s, %s, %d x %d\n", host.Record().DriverName,
                  Cp1251ToUtf8(host.Record().DriverDescription).c_str(), host.Control() ? "present" : "nil",
                  lcd.GetActive() ? "active" : "inactive", lcd.GetRowCount(), lcd.GetColCount());
    } else if (command == "write") {
      const int col = Number(argument("COL"), 0, 255, "column");
      const int row = Number(argument("ROW"), 0, 255, "row");
      lcd.WriteAt(static_cast<std::uint8_t>(col), static_cast<std::uint8_t>(row), Utf8ToCp1251(argument("TEXT")));
    } else if (command == "clear") {
      lcd.ClearScreen();
    } else if (command == "char") {
      const int index = Number(argument("INDEX"), 0, 255, "index");
      std::uint8_t rows[8];
      for (std::uint8_t& row : rows) row = static_cast<std::uint8_t>(std::stoi(argument("row"), nullptr, 16) & 0xFF);
      lcd.DefineChar(static_cast<std::uint8_t>(index), rows, 7);
    } else if (command == "configure") {
      host.Record().ConfigureHardware();
    } else if (command == "sleep") {
      host.Serve(Number(argument("MS"), 0, 86'400'000, "time"), &interrupted);
    } else if (command == "clock") {
      const int seconds = i + 1 < args.size() && args[i + 1].find_first_not_of("0123456789") == std::string::npos
                              ? Number(args[++i], 0, 86'400, "seconds")
                              : 0;
      Clock(host, seconds);
    } else {
      throw std::invalid_argument("unknown command: " + command);
    }
    if (interrupted) break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string module = DefaultModule(argv[0]);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--module") {
    if (args.size() < 2) return Usage(), 2;
    module = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty() || args[0] == "--help") return Usage(), args.empty() ? 2 : 0;

  struct sigaction action {};
  action.sa_handler = [](int) { interrupted = true; };
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  int status = 0;
  try {
    ModuleHost host(module);
    try {
      Run(host, args);
    } catch (const Exception& e) {
      std::fprintf(stderr, "lcdhost: %s\n", Cp1251ToUtf8(e.Message()).c_str());
      status = 1;
    } catch (const std::invalid_argument& e) {
      std::fprintf(stderr, "lcdhost: %s\n", e.what());
      Usage();
      status = 2;
    }
    try {
      host.Record().DoneHardware();
    } catch (const Exception& e) {
      std::fprintf(stderr, "lcdhost: %s\n", Cp1251ToUtf8(e.Message()).c_str());
      status = 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lcdhost: %s\n", e.what());
    return 1;
  }
  return status;
}
