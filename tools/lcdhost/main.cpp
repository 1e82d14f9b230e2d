// The reference host: loads a display module, initialises it, runs the commands of its command
// line against the display control, and finishes it, as an application that shows information
// on the display would.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/Cp1251.h"
#include "tools/lcdhost/DisplayConfig.h"
#include "tools/lcdhost/HostSystem.h"
#include "tools/lcdhost/LineListener.h"
#include "tools/lcdhost/LongRunning.h"
#include "tools/lcdhost/MachineFigures.h"
#include "tools/lcdhost/ModuleHost.h"

namespace {

volatile bool interrupted = false;

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: lcdhost [--module PATH] COMMAND...\n"
               "       lcdhost [--module PATH] run CONFIG\n"
               "       lcdhost --help\n"
               "\n"
               "Loads the display module, calls InitHardware, runs the commands in order and calls\n"
               "DoneHardware. The module reads its port, rows, columns and rate from Vantorix3.ini in\n"
               "the documents folder (XDG_DOCUMENTS_DIR, else ~/Documents), section [Quorvel.dll].\n"
               "\n"
               "options:\n"
               "  --module PATH         the module to load (default: the one installed beside lcdhost)\n"
               "  --help                this text\n"
               "\n"
               "commands, run in order:\n"
               "  info                  the module's record\n"
               "  write COL ROW TEXT    TEXT (UTF-8) at column COL of row ROW\n"
               "  clear                 clear the screen\n"
               "  char INDEX B0 .. B7   define user character INDEX from eight hex rows\n"
               "  configure             the settings dialog\n"
               "  sleep MS              wait MS milliseconds\n"
               "  clock [SECONDS]       time and date on the display until interrupted\n"
               "  listen PORT MS        the display lets go of its port while the host listens on PORT\n"
               "                        (which may be the display's) for MS milliseconds and prints how\n"
               "                        many received bytes wait each time more arrive\n"
               "\n"
               "run CONFIG keeps the display showing the lines of CONFIG until SIGTERM or SIGINT,\n"
               "refreshing them; when the adapter is pulled it says so and tries again, waiting 1, 2,\n"
               "4 ... up to 60 s, until the adapter is back. CONFIG:\n"
               "  [display]\n"
               "  refresh = 5           seconds between refreshes (fractions allowed)\n"
               "  row1 = TEXT           the line of each row, row1 to row4, in UTF-8, with placeholders:\n"
               "    {time} {time:FORMAT}  the local time (strftime FORMAT, default %%H:%%M:%%S)\n"
               "    {date} {date:FORMAT}  the local date (default %%d.%%m.%%Y)\n"
               "    {load}                the load average of the last minute\n"
               "    {memory}              the memory available, in MB\n"
               "    {file:PATH}           the first line of a file\n"
               "    {command:COMMAND}     the first line a shell command writes (within 2 s)\n"
               "    {{                    a brace\n"
               "Progress and failures are one line each on standard error.\n");
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
    const std::tm local = LocalTime(now);
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

// The display's port is held exclusively, so the display closes it while the host listens,
// and opens it again afterwards, whatever happened meanwhile.
void Listen(TLCDBaseControl& lcd, const std::string& port, int milliseconds) {
  const bool active = lcd.GetActive();
  if (active) lcd.SetActive(false);
  std::exception_ptr failure;
  try {
    ListenOnLine(port, milliseconds, &interrupted);
  } catch (...) {
    failure = std::current_exception();
  }
  if (active) lcd.SetActive(true);
  if (failure) std::rethrow_exception(failure);
}

struct Command {
  std::string name;
  std::vector<std::string> args;
};

// Checks the whole command line before the display is touched.
std::vector<Command> Parse(const std::vector<std::string>& words) {
  std::vector<Command> commands;
  for (std::size_t i = 0; i < words.size();) {
    Command command{words[i++], {}};
    auto take = [&](const char* what) {
      if (i >= words.size()) throw std::invalid_argument(std::string("missing ") + what + " after " + command.name);
      command.args.push_back(words[i++]);
    };
    if (command.name == "write") {
      Number((take("COL"), command.args.back()), 0, 255, "column");
      Number((take("ROW"), command.args.back()), 0, 255, "row");
      take("TEXT");
    } else if (command.name == "char") {
      Number((take("INDEX"), command.args.back()), 0, 255, "index");
      for (int row = 0; row < 8; ++row) Number("0x" + (take("row"), command.args.back()), 0, 255, "row");
    } else if (command.name == "sleep") {
      Number((take("MS"), command.args.back()), 0, 86'400'000, "time");
    } else if (command.name == "listen") {
      take("PORT");
      Number((take("MS"), command.args.back()), 0, 86'400'000, "time");
    } else if (command.name == "clock") {
      if (i < words.size() && !words[i].empty() && words[i].find_first_not_of("0123456789") == std::string::npos)
        Number((take("SECONDS"), command.args.back()), 0, 86'400, "seconds");
    } else if (command.name == "run") {
      take("CONFIG");
      if (words.size() != 2) throw std::invalid_argument("run takes its CONFIG and no other command");
    } else if (command.name != "info" && command.name != "clear" && command.name != "configure") {
      throw std::invalid_argument("unknown command: " + command.name);
    }
    commands.push_back(std::move(command));
  }
  return commands;
}

void Run(ModuleHost& host, const std::vector<Command>& commands) {
  host.Record().InitHardware();
  for (const Command& command : commands) {
    TLCDBaseControl& lcd = *host.Control();
    const auto& a = command.args;
    if (command.name == "info") {
      std::string description = Cp1251ToUtf8(host.Record().DriverDescription);
      for (char& c : description)
        if (c == '\r') c = '\n';
      std::printf("DriverName: %s\nDriverDescription: %s\nControl: %s, %s, %d x %d\n", host.Record().DriverName,
                  description.c_str(), host.Control() ? "present" : "nil", lcd.GetActive() ? "active" : "inactive",
                  lcd.GetRowCount(), lcd.GetColCount());
    } else if (command.name == "write") {
      lcd.WriteAt(static_cast<std::uint8_t>(Number(a[0], 0, 255, "column")),
                  static_cast<std::uint8_t>(Number(a[1], 0, 255, "row")), Utf8ToCp1251(a[2]));
    } else if (command.name == "clear") {
      lcd.ClearScreen();
    } else if (command.name == "char") {
      std::uint8_t rows[8];
      for (int row = 0; row < 8; ++row) rows[row] = static_cast<std::uint8_t>(Number("0x" + a[1 + row], 0, 255, "row"));
      lcd.DefineChar(static_cast<std::uint8_t>(Number(a[0], 0, 255, "index")), rows, 7);
    } else if (command.name == "configure") {
      host.Record().ConfigureHardware();
    } else if (command.name == "sleep") {
      host.Serve(Number(a[0], 0, 86'400'000, "time"), &interrupted);
    } else if (command.name == "listen") {
      Listen(lcd, a[0], Number(a[1], 0, 86'400'000, "time"));
    } else if (command.name == "clock") {
      Clock(host, a.empty() ? 0 : Number(a[0], 0, 86'400, "seconds"));
    }
    if (interrupted) break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string module = DefaultModulePath();
  std::vector<std::string> args = Arguments(argc, argv);
  if (!args.empty() && args[0] == "--module") {
    if (args.size() < 2) return Usage(stderr), 2;
    module = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage(stderr), 2;
  if (args[0] == "--help") return Usage(stdout), 0;

  OnInterrupt(&interrupted);

  std::vector<Command> commands;
  try {
    commands = Parse(args);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "lcdhost: %s\n", e.what());
    Usage(stderr);
    return 2;
  }

  int status = 0;
  try {
    if (commands.front().name == "run") {
      const DisplayConfig config = ReadDisplayConfig(commands.front().args[0]);
      ModuleHost host(module);
      ShowUntilStopped(host, config, &interrupted);
      return 0;
    }
    ModuleHost host(module);
    try {
      Run(host, commands);
    } catch (const Exception& e) {
      std::fprintf(stderr, "lcdhost: %s\n", Cp1251ToUtf8(e.Message()).c_str());
      status = 1;
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
