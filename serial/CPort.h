// The serial component's header for the rest of the system.
#pragma once

#include "serial/ComErrors.h"
#include "serial/ComOptions.h"
#include "serial/ComPort.h"
#include "serial/ComThread.h"
#include "serial/ComTypes.h"
#include "serial/EnumSerialPorts.h"
#include "serial/EventSteps.h"
#include "serial/TextConversions.h"
