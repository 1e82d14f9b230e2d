// The serial port component: the device's life (open, configure, re-apply, close), its data
// path (overlapped writes, device queries) and the lifecycle and event steps that fire its
// handlers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Win32Types.h"
#include "runtime/Component.h"
#include "runtime/HiddenWindow.h"
#include "runtime/ThreadPriority.h"
#include "serial/ComErrors.h"
#include "serial/ComOptions.h"
#include "serial/ComTypes.h"

// The record of one overlapped transfer; its event is manual-reset and starts signalled.
class TComThread;
class TCustomIniFile;
class TRegistry;

struct TPortTransfer {
  platform::OVERLAPPED Overlapped;
};
using PPortTransfer = TPortTransfer*;

class TCustomComPort : public TComponent {
 public:
  explicit TCustomComPort(TComponent* AOwner);
  ~TCustomComPort() override;

  void Loaded() override;

  // A port's whole configuration (the groups in SettingGroups) as named values of the key the
  // registry has open, or of the INI section named after the port. The caller opens and closes
  // the store; failures of the store or of a setter end the operation and pass through.
  virtual void SaveToRegistry(TRegistry& Reg);
  virtual void SaveToIniFile(TCustomIniFile& IniFile);
  virtual void LoadFromRegistry(TRegistry& Reg);
  virtual void LoadFromIniFile(TCustomIniFile& IniFile);
  TSettingGroups SettingGroups() const { return FSettingGroups; }
  void SetSettingGroups(TSettingGroups Value) { FSettingGroups = Value; }

  void OpenPort();
  void ClosePort();

  // --- properties ---
  bool Connected() const { return FConnected; }
  void SetConnected(bool Value);
  TBaudRate BaudRate() const { return FBaudRate; }
  void SetBaudRate(TBaudRate Value);
  std::int32_t CustomBaudRate() const { return FCustomBaudRate; }
  void SetCustomBaudRate(std::int32_t Value);
  const std::string& Port() const { return FPort; }
  void SetPort(const std::string& Value);
  TStopBits StopBits() const { return FStopBits; }
  void SetStopBits(TStopBits Value);
  TDataBits DataBits() const { return FDataBits; }
  void SetDataBits(TDataBits Value);
  bool DiscardNull() const { return FDiscardNull; }
  void SetDiscardNull(bool Value);
  char EventChar() const { return FEventChar; }
  void SetEventChar(char Value);
  TComEvents Events() const { return FEvents; }
  void SetEvents(TComEvents Value) { FEvents = Value; }
  TSyncMethod SyncMethod() const { return FSyncMethod; }
  void SetSyncMethod(TSyncMethod Value);

  TComParity* Parity() const { return FParity; }
  void SetParity(TComParity* Value);
  TComFlowControl* FlowControl() const { return FFlowControl; }
  void SetFlowControl(TComFlowControl* Value);
  TComTimeouts* Timeouts() const { return FTimeouts; }
  void SetTimeouts(TComTimeouts* Value);
  TComBuffer* Buffer() const { return FBuffer; }
  void SetBuffer(TComBuffer* Value);

  platform::HANDLE DeviceHandle() const { return FDeviceHandle; }
  TThreadPriority EventPriority() const { return FEventPriority; }
  TComThread* MonitorThread() const { return FMonitorThread; }
  HWND SyncWindow() const { return FSyncWindow; }

  // The handler of SyncWindow: a message 0x0401 releases its sender, then runs the event step
  // its first parameter names while the port is open; a failing step is reported, not raised.
  void SyncWindowProc(TMessage& Message);

  // --- handlers ---
  const TNotifyEvent& OnAfterOpen() const { return FOnAfterOpen; }
  void SetOnAfterOpen(TNotifyEvent Handler) { FOnAfterOpen = std::move(Handler); }
  const TNotifyEvent& OnAfterClose() const { return FOnAfterClose; }
  void SetOnAfterClose(TNotifyEvent Handler) { FOnAfterClose = std::move(Handler); }
  const TNotifyEvent& OnBeforeOpen() const { return FOnBeforeOpen; }
  void SetOnBeforeOpen(TNotifyEvent Handler) { FOnBeforeOpen = std::move(Handler); }
  const TNotifyEvent& OnBeforeClose() const { return FOnBeforeClose; }
  void SetOnBeforeClose(TNotifyEvent Handler) { FOnBeforeClose = std::move(Handler); }
  const TRxCharEvent& OnRxChar() const { return FOnRxChar; }
  void SetOnRxChar(TRxCharEvent Handler) { FOnRxChar = std::move(Handler); }
  const TRxBufEvent& OnRxBuf() const { return FOnRxBuf; }
  void SetOnRxBuf(TRxBufEvent Handler) { FOnRxBuf = std::move(Handler); }
  const TNotifyEvent& OnTxEmpty() const { return FOnTxEmpty; }
  void SetOnTxEmpty(TNotifyEvent Handler) { FOnTxEmpty = std::move(Handler); }
  const TNotifyEvent& OnBreak() const { return FOnBreak; }
  void SetOnBreak(TNotifyEvent Handler) { FOnBreak = std::move(Handler); }
  const TNotifyEvent& OnRing() const { return FOnRing; }
  void SetOnRing(TNotifyEvent Handler) { FOnRing = std::move(Handler); }
  const TComSignalEvent& OnCTSChange() const { return FOnCTSChange; }
  void SetOnCTSChange(TComSignalEvent Handler) { FOnCTSChange = std::move(Handler); }
  const TComSignalEvent& OnDSRChange() const { return FOnDSRChange; }
  void SetOnDSRChange(TComSignalEvent Handler) { FOnDSRChange = std::move(Handler); }
  const TComSignalEvent& OnRLSDChange() const { return FOnRLSDChange; }
  void SetOnRLSDChange(TComSignalEvent Handler) { FOnRLSDChange = std::move(Handler); }
  const TComErrorEvent& OnError() const { return FOnError; }
  void SetOnError(TComErrorEvent Handler) { FOnError = std::move(Handler); }
  const TNotifyEvent& OnRxFlag() const { return FOnRxFlag; }
  void SetOnRxFlag(TNotifyEvent Handler) { FOnRxFlag = std::move(Handler); }
  const TNotifyEvent& OnRx80Full() const { return FOnRx80Full; }
  void SetOnRx80Full(TNotifyEvent Handler) { FOnRx80Full = std::move(Handler); }

  // --- data transfer ---
  static void NewPortTransfer(PPortTransfer& Transfer);
  static void DisposePortTransfer(PPortTransfer& Transfer);
  std::int32_t StartWrite(const void* Buffer, std::int32_t Count, PPortTransfer& Transfer);
  std::int32_t StartWriteText(const std::string& Str, PPortTransfer& Transfer);
  std::int32_t WriteText(const std::string& Str);
  std::int32_t WaitForTransfer(PPortTransfer& Transfer);
  void AbortTransfers();
  std::int32_t InQueueCount();
  TModemSignals ModemSignals();
  TComErrors LineErrors();

  // --- pushing settings to the open device (nothing happens while closed, loading or
  // designing) ---
  virtual void ApplyCommState();
  virtual void ApplyCommTimeouts();
  virtual void ApplyQueueSizes();

  // The device-control block that ApplyCommState sends for the current settings.
  platform::DCB DeviceControlBlock() const;

  // --- lifecycle and event steps ---
  void ProcessBeforeOpen();
  void ProcessAfterOpen();
  void ProcessBeforeClose();
  void ProcessAfterClose();
  void AnnounceSignals(bool Open);
  void ProcessRxChar();
  void ProcessTxEmpty();
  void ProcessRxFlag();
  void ProcessRing();
  void ProcessBreak();
  void ProcessCTSChange();
  void ProcessDSRChange();
  void ProcessRLSDChange();
  void ProcessError();
  void ProcessRx80Full();

 protected:
  virtual void AcquireHandle();
  virtual void ReleaseHandle();
  virtual void ConfigureDevice();

  // Every handler call goes through these, so an override sees every firing.
  virtual void TriggerAfterClose();
  virtual void TriggerAfterOpen();
  virtual void TriggerBeforeClose();
  virtual void TriggerBeforeOpen();
  virtual void TriggerRxChar(std::int32_t Count);
  virtual void TriggerRxBuf(const void* Buffer, std::int32_t Count);
  virtual void TriggerTxEmpty();
  virtual void TriggerBreak();
  virtual void TriggerRing();
  virtual void TriggerRxFlag();
  virtual void TriggerCTSChange(bool OnOff);
  virtual void TriggerDSRChange(bool OnOff);
  virtual void TriggerError(TComErrors Errors);
  virtual void TriggerRLSDChange(bool OnOff);
  virtual void TriggerRx80Full();

  bool MonitorThreadRunning() const { return FMonitorThreadRunning; }

 private:
  // Settings reach the device only while it is open and the component is neither being
  // loaded nor designed.
  bool CanApply() const;
  bool LoadingOrDesigning() const;
  // Frees a record whose wait failed, aborting its write first if it may still run.
  void DisposeAfterFailedWait(PPortTransfer& Transfer) noexcept;
  // Releases everything an open port holds without firing anything or raising.
  void ForceClose() noexcept;
  void StartMonitoring();
  // Stops the event thread (serving its hand-overs until it has ended), then frees the window.
  void StopMonitoring() noexcept;

  TComThread* FMonitorThread = nullptr;  // owned
  bool FMonitorThreadRunning = false;
  platform::HANDLE FDeviceHandle = platform::INVALID_HANDLE_VALUE;
  HWND FSyncWindow = nullptr;
  TThreadPriority FEventPriority = tpNormal;
  bool FConnected = false;
  TBaudRate FBaudRate = br9600;
  std::int32_t FCustomBaudRate = 9600;
  std::string FPort = "COM1";
  TStopBits FStopBits = sbOneStopBit;
  TDataBits FDataBits = dbEight;
  bool FDiscardNull = false;
  char FEventChar = 0;
  TComEvents FEvents = AllComEvents;
  TComBuffer* FBuffer = nullptr;
  TComParity* FParity = nullptr;
  TComTimeouts* FTimeouts = nullptr;
  TComFlowControl* FFlowControl = nullptr;
  TSyncMethod FSyncMethod = smThreadSync;
  TSettingGroups FSettingGroups{sgBasic};

  TRxCharEvent FOnRxChar;
  TRxBufEvent FOnRxBuf;
  TNotifyEvent FOnTxEmpty;
  TNotifyEvent FOnBreak;
  TNotifyEvent FOnRing;
  TComSignalEvent FOnCTSChange;
  TComSignalEvent FOnDSRChange;
  TComSignalEvent FOnRLSDChange;
  TComErrorEvent FOnError;
  TNotifyEvent FOnRxFlag;
  TNotifyEvent FOnAfterOpen;
  TNotifyEvent FOnAfterClose;
  TNotifyEvent FOnBeforeOpen;
  TNotifyEvent FOnBeforeClose;
  TNotifyEvent FOnRx80Full;
};

// The published port; it adds nothing.
class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};
