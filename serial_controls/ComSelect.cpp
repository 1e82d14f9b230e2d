#include "serial_controls/ComSelect.h"

namespace {

template <class E, class ToText>
void AddEvery(TStringList& items, int count, ToText toText) {
  for (int ordinal = 0; ordinal < count; ++ordinal) items.Add(toText(static_cast<E>(ordinal)));
}

}  // namespace

void TComSelect::FillItems(TComProperty AProperty) {
  FComProperty = AProperty;
  FItems->Clear();
  switch (AProperty) {
    case cpPort: EnumSerialPorts(*FItems); break;
    case cpBaudRate: AddEvery<TBaudRate>(*FItems, BaudRateCount, BaudRateToText); break;
    case cpDataBits: AddEvery<TDataBits>(*FItems, 4, DataBitsToText); break;
    case cpStopBits: AddEvery<TStopBits>(*FItems, 3, StopBitsToText); break;
    case cpParity: AddEvery<TParityBits>(*FItems, 5, ParityToText); break;
    case cpFlowControl: AddEvery<TFlowControl>(*FItems, 4, FlowControlToText); break;
    default: break;
  }
}

void TComSelect::StoreValue(const std::string& AText) {
  switch (FComProperty) {
    case cpPort: FPort = AText; break;
    case cpBaudRate: FBaudRate = TextToBaudRate(AText); break;
    case cpDataBits: FDataBits = TextToDataBits(AText); break;
    case cpStopBits: FStopBits = TextToStopBits(AText); break;
    case cpParity: FParity = TextToParity(AText); break;
    case cpFlowControl: FFlowControl = TextToFlowControl(AText); break;
    default: break;
  }
}

void TComSelect::StoreText(const std::string& AText) {
  StoreValue(AText);
  if (FAutoApply) ApplyToPort();
}

void TComSelect::ApplyToPort() {
  if (!FComPort) return;
  switch (FComProperty) {
    case cpPort: FComPort->SetPort(FPort); break;
    case cpBaudRate: FComPort->SetBaudRate(FBaudRate); break;
    case cpDataBits: FComPort->SetDataBits(FDataBits); break;
    case cpStopBits: FComPort->SetStopBits(FStopBits); break;
    case cpParity: FComPort->Parity()->SetBits(FParity); break;
    case cpFlowControl: FComPort->FlowControl()->SetFlowControl(FFlowControl); break;
    default: break;
  }
}

void TComSelect::ReadPortValue(int& AIndex) {
  AIndex = -1;
  std::string text;
  switch (FComProperty) {
    case cpPort: text = FComPort->Port(); break;
    case cpBaudRate: text = BaudRateToText(FComPort->BaudRate()); break;
    case cpDataBits: text = DataBitsToText(FComPort->DataBits()); break;
    case cpStopBits: text = StopBitsToText(FComPort->StopBits()); break;
    case cpParity: text = ParityToText(FComPort->Parity()->Bits()); break;
    case cpFlowControl: text = FlowControlToText(FComPort->FlowControl()->FlowControl()); break;
    default: return;
  }
  AIndex = FItems->IndexOf(text);
  if (AIndex >= 0) StoreValue(FItems->Strings(AIndex));
}
