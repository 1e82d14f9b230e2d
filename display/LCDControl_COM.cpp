#include "display/LCDControl_COM.h"

#include <algorithm>
#include <exception>

#include "display/CyrillicTable.h"

namespace {

const std::string StartUpCommand = "\xFE\xC0\x0C";
const std::string ClearScreenCommand = "\xFE\x58";
constexpr char PositionCommand = 0x47;
constexpr char DefineCharCommand = 0x4E;
constexpr int PatternRows = 8;

// "Ошибка при открытии последовательного порта (" in Windows-1251.
const std::string OpenFailurePrefix =
    "\xCE\xF8\xE8\xE1\xEA\xE0\x20\xEF\xF0\xE8\x20\xEE\xF2\xEA\xF0\xFB\xF2\xE8\xE8\x20\xEF\xEE\xF1\xEB\xE5\xE4\xEE"
    "\xE2\xE0\xF2\xE5\xEB\xFC\xED\xEE\xE3\xEE\x20\xEF\xEE\xF0\xF2\xE0\x20\x28";

bool IsAcceptedColCount(std::int32_t Value) {
  return Value == 16 || Value == 20 || Value == 24 || Value == 32 || Value == 40;
}
bool IsAcceptedRowCount(std::int32_t Value) { return Value == 1 || Value == 2 || Value == 4; }

}  // namespace

TLCDControl_COM::TLCDControl_COM(TComponent* AOwner) : TLCDBaseControl(AOwner) {
  FComPort = new TComPort(this);
  FComPort->SetDataBits(dbEight);
  FComPort->Parity()->SetBits(prNone);
  FComPort->SetStopBits(sbOneStopBit);
  SetPort("COM2");
  SetActive(false);
  SetVisible(true);
  SetColCount(16);
  SetRowCount(2);
}

TLCDControl_COM::~TLCDControl_COM() {
  // Freeing the port closes it (it never raises from there); nothing goes to the display.
  delete FComPort;
  FComPort = nullptr;
}

bool TLCDControl_COM::GetActive() { return FActive; }

void TLCDControl_COM::SetActive(bool Value) {
  if (Value)
    OpenDisplay();
  else
    FComPort->ClosePort();
  FActive = FComPort->Connected();
}

// The control keeps no visibility or backlight state; it reports the published defaults.
bool TLCDControl_COM::GetVisible() { return true; }
void TLCDControl_COM::SetVisible(bool) {}
bool TLCDControl_COM::GetBackLight() { return true; }
void TLCDControl_COM::SetBackLight(bool) {}

void TLCDControl_COM::SetColCount(std::int32_t Value) {
  if (!IsAcceptedColCount(Value)) return;
  FColCount = Value;
  if (FOnColCountChange) FOnColCountChange(this);
}

std::int32_t TLCDControl_COM::GetColCount() { return FColCount; }

void TLCDControl_COM::SetRowCount(std::int32_t Value) {
  if (!IsAcceptedRowCount(Value)) return;
  FRowCount = Value;
  if (FOnRowCountChange) FOnRowCountChange(this);
}

std::int32_t TLCDControl_COM::GetRowCount() { return FRowCount; }

void TLCDControl_COM::ClearScreen() {
  if (FActive) FComPort->WriteText(ClearScreenCommand);
}

void TLCDControl_COM::WriteAt(std::uint8_t Col, std::uint8_t Row, const std::string& Text) {
  if (!FActive) return;
  FComPort->WriteText(std::string{'\xFE', PositionCommand, static_cast<char>(Col), static_cast<char>(Row)});
  for (char c : Text) SendChar(static_cast<std::uint8_t>(c));
}

void TLCDControl_COM::DefineChar(std::uint8_t Index, const std::uint8_t* Data, std::int32_t High) {
  if (!FActive) return;
  std::string command{'\xFE', DefineCharCommand, static_cast<char>(Index)};
  // Fewer than eight pattern bytes are padded with empty rows; more than eight are ignored.
  const int given = !Data || High < 0 ? 0 : High >= PatternRows - 1 ? PatternRows : High + 1;
  for (int i = 0; i < PatternRows; ++i) command.push_back(i < given ? static_cast<char>(Data[i]) : '\0');
  FComPort->WriteText(command);
}

void TLCDControl_COM::SetPort(const std::string& Value) {
  if (Value == FComPort->Port()) return;
  FComPort->ClosePort();
  FPort = Value;
  FComPort->SetPort(Value);
  if (GetActive()) OpenDisplay();
}

void TLCDControl_COM::SetBaudate(TBaudRate Value) {
  FBaudate = Value;
  std::exception_ptr pending;
  try {
    FComPort->ClosePort();
    FComPort->SetBaudRate(Value);
  } catch (...) {
    pending = std::current_exception();
  }
  // The reopen runs whatever happened above; an exception from it replaces the earlier one.
  if (FActive) OpenDisplay();
  if (pending) std::rethrow_exception(pending);
}

void TLCDControl_COM::OpenDisplay() {
  if (!FComPort) return;
  try {
    FComPort->OpenPort();
    FActive = true;
    FComPort->WriteText(StartUpCommand);
  } catch (...) {
    FActive = false;
    throw Exception(OpenFailurePrefix + FPort + ")!");
  }
}

void TLCDControl_COM::SendChar(std::uint8_t C) { FComPort->WriteText(std::string(1, static_cast<char>(TranslateChar(C)))); }

std::uint8_t TLCDControl_COM::TranslateChar(std::uint8_t C) {
  if (C <= 31) return static_cast<std::uint8_t>(C - 1);
  const auto* letter = std::find(CyrillicLetters.begin(), CyrillicLetters.end(), C);
  if (letter != CyrillicLetters.end()) return CyrillicDisplayCodes[static_cast<std::size_t>(letter - CyrillicLetters.begin())];
  return C;
}
