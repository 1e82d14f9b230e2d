#include "runtime/Object.h"

#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

std::string TObject::ClassName() const {
  const char* raw = typeid(*this).name();
#if defined(__GNUG__)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(raw, nullptr, nullptr, &status), std::free);
  std::string name = status == 0 && demangled ? demangled.get() : raw;
#else
  std::string name = raw;
  if (name.rfind("class ", 0) == 0) name.erase(0, 6);
#endif
  const auto scope = name.rfind("::");
  return scope == std::string::npos ? name : name.substr(scope + 2);
}
