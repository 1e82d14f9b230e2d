// The module's face towards its host: the record, the three lifecycle callbacks and the
// module's settings state.
#include <exception>
#include <memory>
#include <string>

#include "display/LCDControl_COM.h"
#include "plugin/DialogRunner.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsFile.h"
#include "plugin/SettingsUnit.h"
#include "runtime/IniFile.h"

namespace {

const char DriverName[] = "HD44780-compatible comport-driver";
// "Компонент управления HD44780-совместимым LCD-экраном, подключение к последовательному порту"
// in Windows-1251, two carriage returns, and the author line.
const char DriverDescription[] =
    "\xCA\xEE\xEC\xEF\xEE\xED\xE5\xED\xF2 \xF3\xEF\xF0\xE0\xE2\xEB\xE5\xED\xE8\xFF HD44780-\xF1\xEE\xE2\xEC\xE5\xF1\xF2"
    "\xE8\xEC\xFB\xEC LCD-\xFD\xEA\xF0\xE0\xED\xEE\xEC, \xEF\xEE\xE4\xEA\xEB\xFE\xF7\xE5\xED\xE8\xE5 \xEA \xEF\xEE\xF1"
    "\xEB\xE5\xE4\xEE\xE2\xE0\xF2\xE5\xEB\xFC\xED\xEE\xEC\xF3 \xEF\xEE\xF0\xF2\xF3"
    "\r\r"
    "Quorvel display driver, 2026";

HostInfoRecord Record{};
TModuleSettings Cfg;

TLCDControl_COM* Display() { return static_cast<TLCDControl_COM*>(Record.Control); }

// Deactivates and frees the control; it is gone from the record even when deactivating fails.
void FreeControl() {
  std::unique_ptr<TLCDControl_COM> control(Display());
  Record.Control = nullptr;
  if (control) control->SetActive(false);
}

std::uint8_t LowByte(const std::string& text, std::int32_t fallback) {
  return static_cast<std::uint8_t>(TryStrToInt(text).value_or(fallback));
}

std::int32_t InitHardware() {
  Cfg = ReadSettings();
  // A second initialisation replaces the first control, which must not keep holding the port.
  FreeControl();
  auto* control = new TLCDControl_COM(nullptr);
  Record.Control = control;
  control->SetPort(Cfg.Port);
  control->SetRowCount(Cfg.Rows);
  control->SetColCount(Cfg.Cols);
  control->SetBaudate(static_cast<TBaudRate>(Cfg.BaudRate));
  control->SetActive(true);
  return 0;
}

std::int32_t ConfigureHardware() {
  TLCDControl_COM* control = Display();
  if (!control) return 0;  // nothing to configure before InitHardware or after DoneHardware
  auto dialog = std::make_unique<TfrmSettings>(nullptr);
  control->SetActive(false);
  dialog->cbPort->SetText(Cfg.Port);
  dialog->cbRows->SetText(std::to_string(Cfg.Rows));
  dialog->cbCols->SetText(std::to_string(Cfg.Cols));
  dialog->cbBaudRate->SetItemIndex(Cfg.BaudRate);

  TModalResult result = mrCancel;
  try {
    result = ShowSettingsDialog(*dialog);
  } catch (const EDialogUnavailable&) {
    control->SetActive(true);  // as after Cancel, then say why nothing was shown
    throw;
  }
  std::exception_ptr saveFailure;
  if (result == mrOk) {
    Cfg.Port = dialog->cbPort->Text();
    Cfg.Rows = LowByte(dialog->cbRows->Text(), 2);
    Cfg.Cols = LowByte(dialog->cbCols->Text(), 16);
    if (const int index = dialog->cbBaudRate->ItemIndex(); index >= 0) Cfg.BaudRate = static_cast<std::uint8_t>(index);
    control->SetPort(Cfg.Port);
    control->SetRowCount(Cfg.Rows);
    control->SetColCount(Cfg.Cols);
    try {
      SaveSettings(Cfg);
    } catch (...) {
      // The display comes back before the failed save is reported.
      saveFailure = std::current_exception();
    }
  }
  control->SetActive(true);
  if (saveFailure) std::rethrow_exception(saveFailure);
  return 0;
}

std::int32_t DoneHardware() {
  FreeControl();
  return 0;
}

}  // namespace

extern "C" HostInfoRecord* getHardware() {
  Record.DriverName = DriverName;
  Record.DriverDescription = DriverDescription;
  Record.InitHardware = InitHardware;
  Record.ConfigureHardware = ConfigureHardware;
  Record.DoneHardware = DoneHardware;
  return &Record;
}
