// Shows a form as text on a terminal: each input control in tab order is asked for with its
// label and present value (Enter keeps it), then the Default or Cancel button is chosen.
// Text crosses the terminal as UTF-8.
#pragma once

#include <functional>
#include <string>

#include "runtime/forms/Form.h"

class TTerminalFormRunner : public TFormRunner {
 public:
  using Writer = std::function<void(const std::string& Utf8)>;
  // One line of input without its break; false at the end of input.
  using LineReader = std::function<bool(std::string& Utf8)>;

  TTerminalFormRunner(Writer Write, LineReader ReadLine) : FWrite(std::move(Write)), FReadLine(std::move(ReadLine)) {}

  // The end of input counts as Cancel.
  TModalResult ShowModal(TForm& Form) override;

 private:
  bool AskCombo(class TComboBox& Combo, const std::string& Label);
  Writer FWrite;
  LineReader FReadLine;
};

// The caption of the label that stands to the left of Control on the same row, or its name.
std::string LabelFor(const TControl& Control);
