// The ten port events with their device mask bits and the port's step for each, in the fixed
// order in which the events of one batch are handed over.
#pragma once

#include <array>
#include <cstdint>

#include "serial/ComTypes.h"

class TCustomComPort;

struct TEventStep {
  TComEvent Event;
  void (TCustomComPort::*Step)();
  std::uint32_t MaskBit;  // the device's EV_ bit, also the window message's parameter
};
extern const std::array<TEventStep, 10> EventBatchOrder;

// The step for a window message's parameter, or nullptr for a value that names none.
const TEventStep* FindEventStep(std::uintptr_t MaskBit);

std::uint32_t EventsToMask(TComEvents Events);
// Bits that stand for no port event are ignored.
TComEvents MaskToEvents(std::uint32_t Mask);
