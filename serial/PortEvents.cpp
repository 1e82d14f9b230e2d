// The lifecycle steps, the per-event steps and the handler-firing operations.
#include "serial/ComPort.h"

namespace {
template <class Handler, class... Args>
void Fire(const Handler& handler, TObject* sender, Args... args) {
  if (handler) handler(sender, args...);
}
}  // namespace

void TCustomComPort::TriggerAfterClose() { Fire(FOnAfterClose, this); }
void TCustomComPort::TriggerAfterOpen() { Fire(FOnAfterOpen, this); }
void TCustomComPort::TriggerBeforeClose() { Fire(FOnBeforeClose, this); }
void TCustomComPort::TriggerBeforeOpen() { Fire(FOnBeforeOpen, this); }
void TCustomComPort::TriggerRxChar(std::int32_t Count) { Fire(FOnRxChar, this, Count); }
void TCustomComPort::TriggerRxBuf(const void* Buffer, std::int32_t Count) { Fire(FOnRxBuf, this, Buffer, Count); }
void TCustomComPort::TriggerTxEmpty() { Fire(FOnTxEmpty, this); }
void TCustomComPort::TriggerBreak() { Fire(FOnBreak, this); }
void TCustomComPort::TriggerRing() { Fire(FOnRing, this); }
void TCustomComPort::TriggerRxFlag() { Fire(FOnRxFlag, this); }
void TCustomComPort::TriggerCTSChange(bool OnOff) { Fire(FOnCTSChange, this, OnOff); }
void TCustomComPort::TriggerDSRChange(bool OnOff) { Fire(FOnDSRChange, this, OnOff); }
void TCustomComPort::TriggerError(TComErrors Errors) { Fire(FOnError, this, Errors); }
void TCustomComPort::TriggerRLSDChange(bool OnOff) { Fire(FOnRLSDChange, this, OnOff); }
void TCustomComPort::TriggerRx80Full() { Fire(FOnRx80Full, this); }

void TCustomComPort::ProcessBeforeOpen() { TriggerBeforeOpen(); }

void TCustomComPort::ProcessAfterOpen() {
  TriggerAfterOpen();
  AnnounceSignals(true);
}

void TCustomComPort::ProcessBeforeClose() {
  AnnounceSignals(false);
  TriggerBeforeClose();
}

void TCustomComPort::ProcessAfterClose() { TriggerAfterClose(); }

void TCustomComPort::AnnounceSignals(bool Open) {
  if (Open) {
    ProcessCTSChange();
    ProcessDSRChange();
    ProcessRLSDChange();
  } else {
    // The lines are reported off without asking a device that is about to go.
    TriggerCTSChange(false);
    TriggerDSRChange(false);
    TriggerRLSDChange(false);
  }
}

void TCustomComPort::ProcessRxChar() {
  const std::int32_t count = InQueueCount();
  if (count > 0) TriggerRxChar(count);
}

void TCustomComPort::ProcessTxEmpty() { TriggerTxEmpty(); }
void TCustomComPort::ProcessRxFlag() { TriggerRxFlag(); }
void TCustomComPort::ProcessRing() { TriggerRing(); }
void TCustomComPort::ProcessBreak() { TriggerBreak(); }
void TCustomComPort::ProcessCTSChange() { TriggerCTSChange(ModemSignals().Contains(msCTS)); }
void TCustomComPort::ProcessDSRChange() { TriggerDSRChange(ModemSignals().Contains(msDSR)); }
void TCustomComPort::ProcessRLSDChange() { TriggerRLSDChange(ModemSignals().Contains(msRLSD)); }

void TCustomComPort::ProcessError() {
  const TComErrors errors = LineErrors();
  if (!errors.Empty()) TriggerError(errors);
}

void TCustomComPort::ProcessRx80Full() { TriggerRx80Full(); }
