// Helpers for tests that drive the module as its host does: the failure a host sees from a
// callback, and the settings dialog answered the way a user would.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "plugin/SettingsUnit.h"
#include "runtime/Exception.h"
#include "serial/ComErrors.h"
#include "tests/support/ScriptedFormRunner.h"

// The message of the control's own exception that `action` raised; empty when none came. The
// port's exception reaching the host is a test failure.
inline std::string ControlFailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EComPort& e) {
    ADD_FAILURE() << "the port's exception reached the host: " << e.what();
  } catch (const Exception& e) {
    return e.Message();
  }
  return {};
}

// A dialog answer: `meanwhile` runs while the dialog is up, then the port is typed in (none:
// unchanged) and OK or Cancel pressed.
inline ScriptedFormRunner::Script DialogAnswer(const std::string& port, bool ok,
                                               const std::function<void()>& meanwhile = {}) {
  return [=](TForm& form) {
    auto& dialog = dynamic_cast<TfrmSettings&>(form);
    if (meanwhile) meanwhile();
    if (!port.empty()) dialog.cbPort->UserType(port);
    (ok ? dialog.Button1 : dialog.Button2)->Click();
    return form.ModalResult();
  };
}
