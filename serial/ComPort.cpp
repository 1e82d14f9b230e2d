#include "serial/ComPort.h"

#include "platform/Api.h"
#include "runtime/Application.h"
#include "serial/ComThread.h"
#include "serial/EventSteps.h"

using namespace platform;

TCustomComPort::TCustomComPort(TComponent* AOwner) : TComponent(AOwner) {
  ExcludeStyle(csInheritable);
  FParity = new TComParity();
  FParity->FComPort = this;
  FFlowControl = new TComFlowControl();
  FFlowControl->FComPort = this;
  FTimeouts = new TComTimeouts();
  FTimeouts->FComPort = this;
  FBuffer = new TComBuffer();
  FBuffer->FComPort = this;
}

TCustomComPort::~TCustomComPort() {
  try {
    ClosePort();
  } catch (...) {
    // A destructor must not raise: report, then let go of the device regardless.
    Application().HandleException(this);
  }
  ForceClose();
  delete FBuffer;
  delete FFlowControl;
  delete FTimeouts;
  delete FParity;
}

void TCustomComPort::ForceClose() noexcept {
  if (!FConnected) return;
  StopMonitoring();
  // A Connected flag only recorded while designing or loading has no device behind it.
  if (FDeviceHandle != INVALID_HANDLE_VALUE) PurgeComm(FDeviceHandle, PURGE_TXABORT | PURGE_RXABORT);
  ReleaseHandle();
  FConnected = false;
}

bool TCustomComPort::LoadingOrDesigning() const {
  const TComponentState state = ComponentState();
  return state.Contains(csLoading) || state.Contains(csDesigning);
}

bool TCustomComPort::CanApply() const { return FConnected && !LoadingOrDesigning(); }

void TCustomComPort::Loaded() {
  TComponent::Loaded();
  if (FConnected && !ComponentState().Contains(csDesigning)) {
    FConnected = false;
    try {
      OpenPort();
    } catch (...) {
      Application().HandleException(this);
    }
  }
}

void TCustomComPort::OpenPort() {
  if (FConnected || ComponentState().Contains(csDesigning)) return;
  ProcessBeforeOpen();
  AcquireHandle();
  FConnected = true;
  try {
    ConfigureDevice();
  } catch (...) {
    ReleaseHandle();
    FConnected = false;
    throw;
  }
  if (FEvents.Empty()) {
    FMonitorThreadRunning = false;
  } else {
    try {
      StartMonitoring();
    } catch (...) {
      // No thread could be started: the port does not stay open half monitored.
      ReleaseHandle();
      FConnected = false;
      throw;
    }
  }
  ProcessAfterOpen();
}

void TCustomComPort::StartMonitoring() {
  // The window exists before the thread starts, so the first event message has a receiver.
  if (FSyncMethod == smWindowSync) FSyncWindow = AllocateHWnd([this](TMessage& Message) { SyncWindowProc(Message); });
  try {
    FMonitorThread = new TComThread(this);
  } catch (...) {
    if (FSyncWindow) DeallocateHWnd(FSyncWindow);
    FSyncWindow = nullptr;
    throw;
  }
  FMonitorThreadRunning = true;
}

void TCustomComPort::StopMonitoring() noexcept {
  if (!FMonitorThreadRunning) return;
  delete FMonitorThread;
  FMonitorThread = nullptr;
  FMonitorThreadRunning = false;
  if (FSyncMethod == smWindowSync) {
    DeallocateHWnd(FSyncWindow);
    FSyncWindow = nullptr;
  }
}

void TCustomComPort::SyncWindowProc(TMessage& Message) {
  if (Message.Msg != WM_USER + 1) {
    Message.Result = DefWindowProcA(FSyncWindow, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (InSendMessage()) ReplyMessage(0);  // the event thread need not wait for the handler
  if (!FConnected) return;
  try {
    if (const TEventStep* step = FindEventStep(Message.WParam)) (this->*step->Step)();
  } catch (...) {
    Application().HandleException(this);
  }
}

void TCustomComPort::ClosePort() {
  if (!FConnected || ComponentState().Contains(csDesigning)) return;
  ProcessBeforeClose();
  AbortTransfers();
  StopMonitoring();
  ReleaseHandle();
  FConnected = false;
  ProcessAfterClose();
}

void TCustomComPort::AcquireHandle() {
  const std::string name = "\\\\.\\" + FPort;
  FDeviceHandle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
  if (FDeviceHandle == INVALID_HANDLE_VALUE) throw EComPort(CError_OpenFailed, static_cast<std::int32_t>(GetLastError()));
}

void TCustomComPort::ReleaseHandle() {
  if (FDeviceHandle != INVALID_HANDLE_VALUE) {
    CloseHandle(FDeviceHandle);
    FDeviceHandle = INVALID_HANDLE_VALUE;
  }
}

void TCustomComPort::ConfigureDevice() {
  ApplyQueueSizes();
  ApplyCommState();
  ApplyCommTimeouts();
}

void TCustomComPort::ApplyCommState() {
  if (!CanApply()) return;
  const DCB dcb = DeviceControlBlock();
  if (!SetCommState(FDeviceHandle, &dcb)) throw EComPort(CError_SetStateFailed, static_cast<std::int32_t>(GetLastError()));
}

void TCustomComPort::ApplyCommTimeouts() {
  if (!CanApply()) return;
  const COMMTIMEOUTS timeouts{
      static_cast<DWORD>(FTimeouts->ReadInterval()),         static_cast<DWORD>(FTimeouts->ReadTotalMultiplier()),
      static_cast<DWORD>(FTimeouts->ReadTotalConstant()),    static_cast<DWORD>(FTimeouts->WriteTotalMultiplier()),
      static_cast<DWORD>(FTimeouts->WriteTotalConstant()),
  };
  if (!SetCommTimeouts(FDeviceHandle, &timeouts)) throw EComPort(CError_TimeoutsFailed, static_cast<std::int32_t>(GetLastError()));
}

void TCustomComPort::ApplyQueueSizes() {
  if (!CanApply()) return;
  if (!SetupComm(FDeviceHandle, static_cast<DWORD>(FBuffer->InputSize()), static_cast<DWORD>(FBuffer->OutputSize())))
    throw EComPort(CError_SetupComFailed, static_cast<std::int32_t>(GetLastError()));
}

void TCustomComPort::SetConnected(bool Value) {
  if (LoadingOrDesigning()) {
    FConnected = Value;  // Loaded opens it once every stored property is in
    return;
  }
  if (Value == FConnected) return;
  if (Value)
    OpenPort();
  else
    ClosePort();
}

namespace {
// Stores a changed line setting and re-sends the device-control block.
template <class T>
void ChangeLineSetting(TCustomComPort& port, T& field, T value) {
  if (field == value) return;
  field = value;
  port.ApplyCommState();
}
}  // namespace

void TCustomComPort::SetBaudRate(TBaudRate Value) { ChangeLineSetting(*this, FBaudRate, Value); }
void TCustomComPort::SetCustomBaudRate(std::int32_t Value) { ChangeLineSetting(*this, FCustomBaudRate, Value); }
void TCustomComPort::SetStopBits(TStopBits Value) { ChangeLineSetting(*this, FStopBits, Value); }
void TCustomComPort::SetDataBits(TDataBits Value) { ChangeLineSetting(*this, FDataBits, Value); }
void TCustomComPort::SetDiscardNull(bool Value) { ChangeLineSetting(*this, FDiscardNull, Value); }
void TCustomComPort::SetEventChar(char Value) { ChangeLineSetting(*this, FEventChar, Value); }

void TCustomComPort::SetPort(const std::string& Value) {
  if (Value == FPort) return;
  FPort = Value;
  if (FConnected && !LoadingOrDesigning()) {
    ClosePort();
    OpenPort();
  }
}

void TCustomComPort::SetSyncMethod(TSyncMethod Value) {
  if (Value == FSyncMethod) return;
  if (FConnected && !LoadingOrDesigning()) throw EComPort(CError_ConnChangeProp);
  FSyncMethod = Value;
}

void TCustomComPort::SetParity(TComParity* Value) {
  FParity->Assign(Value);
  ApplyCommState();
}

void TCustomComPort::SetFlowControl(TComFlowControl* Value) {
  FFlowControl->Assign(Value);
  ApplyCommState();
}

void TCustomComPort::SetTimeouts(TComTimeouts* Value) {
  FTimeouts->Assign(Value);
  ApplyCommTimeouts();
}

void TCustomComPort::SetBuffer(TComBuffer* Value) {
  FBuffer->Assign(Value);
  ApplyQueueSizes();
}
