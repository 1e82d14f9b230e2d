#include "serial/ComOptions.h"

#include "serial/ComPort.h"

void TComTimeouts::ApplyToPort(TCustomComPort& Port) { Port.ApplyCommTimeouts(); }
void TComFlowControl::ApplyToPort(TCustomComPort& Port) { Port.ApplyCommState(); }
void TComParity::ApplyToPort(TCustomComPort& Port) { Port.ApplyCommState(); }
void TComBuffer::ApplyToPort(TCustomComPort& Port) { Port.ApplyQueueSizes(); }

// Copies go field by field, without the setters and without applying anything.
void TComTimeouts::AssignTo(TPersistent* Dest) {
  auto* d = dynamic_cast<TComTimeouts*>(Dest);
  if (!d) return TPersistent::AssignTo(Dest);
  d->FReadInterval = FReadInterval;
  d->FReadTotalM = FReadTotalM;
  d->FReadTotalC = FReadTotalC;
  d->FWriteTotalM = FWriteTotalM;
  d->FWriteTotalC = FWriteTotalC;
}

void TComFlowControl::AssignTo(TPersistent* Dest) {
  auto* d = dynamic_cast<TComFlowControl*>(Dest);
  if (!d) return TPersistent::AssignTo(Dest);
  d->FOutCTSFlow = FOutCTSFlow;
  d->FOutDSRFlow = FOutDSRFlow;
  d->FControlDTR = FControlDTR;
  d->FControlRTS = FControlRTS;
  d->FXonXoffOut = FXonXoffOut;
  d->FXonXoffIn = FXonXoffIn;
  d->FDSRSensitivity = FDSRSensitivity;
  d->FTxContinueOnXoff = FTxContinueOnXoff;
  d->FXonChar = FXonChar;
  d->FXoffChar = FXoffChar;
}

void TComParity::AssignTo(TPersistent* Dest) {
  auto* d = dynamic_cast<TComParity*>(Dest);
  if (!d) return TPersistent::AssignTo(Dest);
  d->FBits = FBits;
  d->FCheck = FCheck;
  d->FReplace = FReplace;
  d->FReplaceChar = FReplaceChar;
}

void TComBuffer::AssignTo(TPersistent* Dest) {
  auto* d = dynamic_cast<TComBuffer*>(Dest);
  if (!d) return TPersistent::AssignTo(Dest);
  d->FInputSize = FInputSize;
  d->FOutputSize = FOutputSize;
}

void TComBuffer::SetSize(std::int32_t& Field, std::int32_t Value) {
  // The comparison sees the value as given; only the stored value is made even.
  if (Field == Value) return;
  Field = Value > 0 && Value % 2 == 1 ? Value - 1 : Value;
  Changed();
}

TFlowControl TComFlowControl::FlowControl() const {
  const bool noXonXoff = !FXonXoffIn && !FXonXoffOut;
  if (FControlRTS == rtsHandshake && FOutCTSFlow && noXonXoff) return fcHardware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && FXonXoffIn && FXonXoffOut) return fcSoftware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && noXonXoff) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl Value) {
  if (Value != fcCustom) {
    FControlRTS = rtsDisable;
    FOutCTSFlow = false;
    FXonXoffIn = false;
    FXonXoffOut = false;
    if (Value == fcHardware) {
      FControlRTS = rtsHandshake;
      FOutCTSFlow = true;
    } else if (Value == fcSoftware) {
      FXonXoffIn = true;
      FXonXoffOut = true;
    }
  }
  // Re-sent even when nothing changed.
  Changed();
}
