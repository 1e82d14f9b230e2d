#include "serial/EventSteps.h"

#include "platform/Win32Types.h"
#include "serial/ComPort.h"

using namespace platform;

const std::array<TEventStep, 10> EventBatchOrder = {{
    {evError, &TCustomComPort::ProcessError, EV_ERR},
    {evRxChar, &TCustomComPort::ProcessRxChar, EV_RXCHAR},
    {evTxEmpty, &TCustomComPort::ProcessTxEmpty, EV_TXEMPTY},
    {evBreak, &TCustomComPort::ProcessBreak, EV_BREAK},
    {evRing, &TCustomComPort::ProcessRing, EV_RING},
    {evCTS, &TCustomComPort::ProcessCTSChange, EV_CTS},
    {evDSR, &TCustomComPort::ProcessDSRChange, EV_DSR},
    {evRxFlag, &TCustomComPort::ProcessRxFlag, EV_RXFLAG},
    {evRLSD, &TCustomComPort::ProcessRLSDChange, EV_RLSD},
    {evRx80Full, &TCustomComPort::ProcessRx80Full, EV_RX80FULL},
}};

const TEventStep* FindEventStep(std::uintptr_t MaskBit) {
  for (const TEventStep& step : EventBatchOrder)
    if (step.MaskBit == MaskBit) return &step;
  return nullptr;
}

std::uint32_t EventsToMask(TComEvents Events) {
  std::uint32_t mask = 0;
  for (const TEventStep& step : EventBatchOrder)
    if (Events.Contains(step.Event)) mask |= step.MaskBit;
  return mask;
}

TComEvents MaskToEvents(std::uint32_t Mask) {
  TComEvents events;
  for (const TEventStep& step : EventBatchOrder)
    if (Mask & step.MaskBit) events.Include(step.Event);
  return events;
}
