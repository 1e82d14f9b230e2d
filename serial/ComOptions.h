// The four option objects of a port: time-outs, flow control, parity and queue sizes. Each is
// owned by its port; a changed field is pushed to the open device through the port's apply
// operation, and a closed port only records it.
#pragma once

#include <cstdint>

#include "runtime/Persistent.h"
#include "serial/ComTypes.h"

class TCustomComPort;

class TComPortOption : public TPersistent {
 public:
  TCustomComPort* ComPort() const { return FComPort; }

 protected:
  // The owner's apply operation for this object's settings.
  virtual void ApplyToPort(TCustomComPort& Port) = 0;
  template <class T>
  void Change(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
  void Changed() {
    if (FComPort) ApplyToPort(*FComPort);
  }

 private:
  friend class TCustomComPort;
  TCustomComPort* FComPort = nullptr;  // not owned
};

class TComTimeouts : public TComPortOption {
 public:
  std::int32_t ReadInterval() const { return FReadInterval; }
  std::int32_t ReadTotalMultiplier() const { return FReadTotalM; }
  std::int32_t ReadTotalConstant() const { return FReadTotalC; }
  std::int32_t WriteTotalMultiplier() const { return FWriteTotalM; }
  std::int32_t WriteTotalConstant() const { return FWriteTotalC; }
  void SetReadInterval(std::int32_t Value) { Change(FReadInterval, Value); }
  void SetReadTotalMultiplier(std::int32_t Value) { Change(FReadTotalM, Value); }
  void SetReadTotalConstant(std::int32_t Value) { Change(FReadTotalC, Value); }
  void SetWriteTotalMultiplier(std::int32_t Value) { Change(FWriteTotalM, Value); }
  void SetWriteTotalConstant(std::int32_t Value) { Change(FWriteTotalC, Value); }

 protected:
  void AssignTo(TPersistent* Dest) override;
  void ApplyToPort(TCustomComPort& Port) override;

 private:
  std::int32_t FReadInterval = -1;
  std::int32_t FReadTotalM = 0;
  std::int32_t FReadTotalC = 0;
  std::int32_t FWriteTotalM = 100;
  std::int32_t FWriteTotalC = 1000;
};

class TComFlowControl : public TComPortOption {
 public:
  // The composite reading of RTS, CTS and Xon/Xoff; writing it sets those four fields.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl Value);

  bool OutCTSFlow() const { return FOutCTSFlow; }
  bool OutDSRFlow() const { return FOutDSRFlow; }
  TDTRFlowControl ControlDTR() const { return FControlDTR; }
  TRTSFlowControl ControlRTS() const { return FControlRTS; }
  bool XonXoffOut() const { return FXonXoffOut; }
  bool XonXoffIn() const { return FXonXoffIn; }
  bool DSRSensitivity() const { return FDSRSensitivity; }
  bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
  char XonChar() const { return FXonChar; }
  char XoffChar() const { return FXoffChar; }
  void SetOutCTSFlow(bool Value) { Change(FOutCTSFlow, Value); }
  void SetOutDSRFlow(bool Value) { Change(FOutDSRFlow, Value); }
  void SetControlDTR(TDTRFlowControl Value) { Change(FControlDTR, Value); }
  void SetControlRTS(TRTSFlowControl Value) { Change(FControlRTS, Value); }
  void SetXonXoffOut(bool Value) { Change(FXonXoffOut, Value); }
  void SetXonXoffIn(bool Value) { Change(FXonXoffIn, Value); }
  void SetDSRSensitivity(bool Value) { Change(FDSRSensitivity, Value); }
  void SetTxContinueOnXoff(bool Value) { Change(FTxContinueOnXoff, Value); }
  void SetXonChar(char Value) { Change(FXonChar, Value); }
  void SetXoffChar(char Value) { Change(FXoffChar, Value); }

 protected:
  void AssignTo(TPersistent* Dest) override;
  void ApplyToPort(TCustomComPort& Port) override;

 private:
  bool FOutCTSFlow = false;
  bool FOutDSRFlow = false;
  TDTRFlowControl FControlDTR = dtrDisable;
  TRTSFlowControl FControlRTS = rtsDisable;
  bool FXonXoffOut = false;
  bool FXonXoffIn = false;
  bool FDSRSensitivity = false;
  bool FTxContinueOnXoff = false;
  char FXonChar = 17;
  char FXoffChar = 19;
};

class TComParity : public TComPortOption {
 public:
  TParityBits Bits() const { return FBits; }
  bool Check() const { return FCheck; }
  bool Replace() const { return FReplace; }
  char ReplaceChar() const { return FReplaceChar; }
  void SetBits(TParityBits Value) { Change(FBits, Value); }
  void SetCheck(bool Value) { Change(FCheck, Value); }
  void SetReplace(bool Value) { Change(FReplace, Value); }
  void SetReplaceChar(char Value) { Change(FReplaceChar, Value); }

 protected:
  void AssignTo(TPersistent* Dest) override;
  void ApplyToPort(TCustomComPort& Port) override;

 private:
  TParityBits FBits = prNone;
  bool FCheck = false;
  bool FReplace = false;
  char FReplaceChar = 0;
};

class TComBuffer : public TComPortOption {
 public:
  std::int32_t InputSize() const { return FInputSize; }
  std::int32_t OutputSize() const { return FOutputSize; }
  // A positive odd size is stored one smaller.
  void SetInputSize(std::int32_t Value) { SetSize(FInputSize, Value); }
  void SetOutputSize(std::int32_t Value) { SetSize(FOutputSize, Value); }

 protected:
  void AssignTo(TPersistent* Dest) override;
  void ApplyToPort(TCustomComPort& Port) override;

 private:
  void SetSize(std::int32_t& Field, std::int32_t Value);

  std::int32_t FInputSize = 1024;
  std::int32_t FOutputSize = 1024;
};
