// The logic behind a port-property combo box: it fills a list with the texts of one port
// property's values, turns a chosen text back into a value, writes it into a bound port, and
// finds the item that shows the port's present value.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/StringList.h"
#include "serial/CPort.h"

enum TComProperty : std::uint8_t { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

class TComSelect : public TObject {
 public:
  void FillItems(TComProperty AProperty);
  void StoreText(const std::string& AText);
  void ApplyToPort();
  // The position of the bound port's present value among the items (-1 when it is not
  // there); a found item's value becomes the stored one. Only called while a port is bound.
  void ReadPortValue(int& AIndex);

  TStringList* Items() const { return FItems; }
  void SetItems(TStringList* Value) { FItems = Value; }
  TComProperty ComProperty() const { return FComProperty; }
  TCustomComPort* ComPort() const { return FComPort; }
  void SetComPort(TCustomComPort* Value) { FComPort = Value; }
  bool AutoApply() const { return FAutoApply; }
  void SetAutoApply(bool Value) { FAutoApply = Value; }

  const std::string& Port() const { return FPort; }
  TBaudRate BaudRate() const { return FBaudRate; }
  TDataBits DataBits() const { return FDataBits; }
  TStopBits StopBits() const { return FStopBits; }
  TParityBits Parity() const { return FParity; }
  TFlowControl FlowControl() const { return FFlowControl; }

 private:
  void StoreValue(const std::string& AText);

  std::string FPort;
  TBaudRate FBaudRate = brCustom;
  TDataBits FDataBits = dbFive;
  TStopBits FStopBits = sbOneStopBit;
  TParityBits FParity = prNone;
  TFlowControl FFlowControl = fcHardware;
  TStringList* FItems = nullptr;  // borrowed from the combo box
  TComProperty FComProperty = cpNone;
  TCustomComPort* FComPort = nullptr;  // not owned
  bool FAutoApply = false;
};
