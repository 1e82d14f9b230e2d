#include "plugin/DialogRunner.h"

#include "platform/Interaction.h"
#include "plugin/WindowFormRunner.h"
#include "runtime/forms/TerminalFormRunner.h"

TModalResult ShowSettingsDialog(TForm& Form) {
  if (TFormRunner* installed = CurrentFormRunner()) return Form.ShowModal(*installed);
  if (const auto window = OpenWindowFormRunner()) return Form.ShowModal(*window);
  if (auto terminal = platform::Terminal::OpenControlling()) {
    TTerminalFormRunner text([&](const std::string& s) { terminal->Write(s); },
                             [&](std::string& line) { return terminal->ReadLine(line); });
    return Form.ShowModal(text);
  }
  throw EDialogUnavailable(
      "The settings dialog cannot be shown: no display can be reached and there is no terminal to ask on");
}
