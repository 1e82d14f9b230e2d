// The root of the runtime's classes: a virtual destructor and the class's name, which
// Sender parameters and assignment errors rely on.
#pragma once

#include <string>

class TObject {
 public:
  virtual ~TObject() = default;
  std::string ClassName() const;
};
