// A form runner that answers a form the way a test says: the script changes the controls as a
// user would and returns the modal result.
#pragma once

#include <functional>

#include "runtime/forms/Form.h"

class ScriptedFormRunner : public TFormRunner {
 public:
  using Script = std::function<TModalResult(TForm&)>;
  explicit ScriptedFormRunner(Script script) : script_(std::move(script)), previous_(InstallFormRunner(this)) {}
  ~ScriptedFormRunner() override { InstallFormRunner(previous_); }

  TModalResult ShowModal(TForm& Form) override {
    ++shown;
    return script_(Form);
  }
  int shown = 0;

 private:
  Script script_;
  TFormRunner* previous_;
};
