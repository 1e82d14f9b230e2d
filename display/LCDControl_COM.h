// The display control for an HD44780-compatible display behind a serial adapter that takes
// 0xFE command strings. Every command is one blocking write through the control's own port.
#pragma once

#include <cstdint>
#include <string>

#include "display/LCDBaseControlUnit.h"
#include "serial/CPort.h"

class TLCDControl_COM : public TLCDBaseControl {
 public:
  explicit TLCDControl_COM(TComponent* AOwner);
  ~TLCDControl_COM() override;

  bool GetActive() override;
  void SetActive(bool Value) override;
  bool GetVisible() override;
  void SetVisible(bool Value) override;
  bool GetBackLight() override;
  void SetBackLight(bool Value) override;
  void SetColCount(std::int32_t Value) override;
  std::int32_t GetColCount() override;
  void SetRowCount(std::int32_t Value) override;
  std::int32_t GetRowCount() override;
  void ClearScreen() override;
  void WriteAt(std::uint8_t Col, std::uint8_t Row, const std::string& Text) override;
  void DefineChar(std::uint8_t Index, const std::uint8_t* Data, std::int32_t High) override;

  const std::string& Port() const { return FPort; }
  void SetPort(const std::string& Value);
  TBaudRate Baudate() const { return FBaudate; }
  void SetBaudate(TBaudRate Value);
  const TNotifyEvent& OnColCountChange() const { return FOnColCountChange; }
  void SetOnColCountChange(TNotifyEvent Handler) { FOnColCountChange = std::move(Handler); }
  const TNotifyEvent& OnRowCountChange() const { return FOnRowCountChange; }
  void SetOnRowCountChange(TNotifyEvent Handler) { FOnRowCountChange = std::move(Handler); }

  TComPort* ComPort() const { return FComPort; }

  // The display code sent for one character of text.
  static std::uint8_t TranslateChar(std::uint8_t C);

 private:
  void OpenDisplay();
  void SendChar(std::uint8_t C);

  std::string FPort;
  TComPort* FComPort = nullptr;
  bool FActive = false;
  std::int32_t FColCount = 0;
  std::int32_t FRowCount = 0;
  TNotifyEvent FOnRowCountChange;
  TNotifyEvent FOnColCountChange;
  TBaudRate FBaudate = brCustom;
};
