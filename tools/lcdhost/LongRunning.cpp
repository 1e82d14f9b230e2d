#include "tools/lcdhost/LongRunning.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "runtime/Cp1251.h"
#include "tools/lcdhost/Placeholders.h"

namespace {

using Clock = std::chrono::steady_clock;

void Say(const std::string& line) {
  std::fprintf(stderr, "lcdhost: %s\n", line.c_str());
  std::fflush(stderr);
}

std::string Why(const Exception& e) { return Cp1251ToUtf8(e.Message()); }

// Each row as the display shows it: in its code page, cut or padded to the display's width,
// so that what a longer line left there is overwritten.
void Refresh(TLCDBaseControl& lcd, const DisplayConfig& config) {
  const std::time_t now = std::time(nullptr);
  const int rows = std::min<int>(lcd.GetRowCount(), static_cast<int>(config.rows.size()));
  const auto cols = static_cast<std::size_t>(lcd.GetColCount());
  for (int row = 0; row < rows; ++row) {
    std::string text = Utf8ToCp1251(FillPlaceholders(config.rows[static_cast<std::size_t>(row)], now));
    text.resize(cols, ' ');
    lcd.WriteAt(1, static_cast<std::uint8_t>(row + 1), text);
  }
}

}  // namespace

void ShowUntilStopped(ModuleHost& host, const DisplayConfig& config, const volatile bool* stop) {
  constexpr std::chrono::seconds FirstRetry{1}, LongestRetry{60};
  bool active = false;
  try {
    host.Record().InitHardware();
    active = true;
    Say("showing on the display");
  } catch (const Exception& e) {
    Say("cannot open the display (" + Why(e) + "); trying again in " + std::to_string(FirstRetry.count()) + " s");
    host.Serve(static_cast<int>(std::chrono::milliseconds(FirstRetry).count()), stop);
  }
  const auto refresh = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(config.refreshSeconds));
  std::chrono::seconds retry = FirstRetry * 2;
  bool lost = false;
  while (!*stop) {
    TLCDBaseControl* lcd = host.Control();
    auto wait = refresh;
    if (!active && lcd) {
      try {
        lcd->SetActive(true);
        active = true;
        Say(lost ? "the display is back" : "showing on the display");
        retry = FirstRetry;
      } catch (const Exception& e) {
        Say("the display is still not there (" + Why(e) + "); trying again in " + std::to_string(retry.count()) + " s");
        wait = retry;
        retry = std::min(retry * 2, LongestRetry);
      }
    }
    if (active) {
      try {
        const auto started = Clock::now();
        Refresh(*lcd, config);
        wait = std::max<Clock::duration>(refresh - (Clock::now() - started), Clock::duration::zero());
      } catch (const Exception& e) {
        Say("lost the display (" + Why(e) + "); trying again in " + std::to_string(FirstRetry.count()) + " s");
        lost = true;
        retry = FirstRetry * 2;
        active = false;
        try {
          lcd->SetActive(false);
        } catch (const Exception&) {
          // The port of a pulled adapter closes without a word; nothing else can fail here.
        }
        wait = FirstRetry;
      }
    }
    if (!lcd) break;  // InitHardware made no control: nothing to show on
    // Asleep until the next refresh, but for the module's own hand-overs.
    host.Serve(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()), stop);
  }
  try {
    host.Record().DoneHardware();
    Say("stopped");
  } catch (const Exception& e) {
    Say("closing the display: " + Why(e));
  }
}
