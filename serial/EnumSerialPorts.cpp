#include "serial/EnumSerialPorts.h"

#include "platform/PortEnumeration.h"
#include "serial/ComErrors.h"

void EnumSerialPorts(TStringList& Ports) {
  std::vector<std::string> names;
  if (const platform::DWORD error = platform::ListSerialPorts(names); error != platform::ERROR_SUCCESS)
    throw EComPort(CError_RegError, static_cast<std::int32_t>(error));
  TStringList sorted;
  for (const std::string& name : names) sorted.Add(name);
  sorted.Sort();
  Ports.Clear();
  for (const std::string& name : sorted.Items()) Ports.Add(name);
}
