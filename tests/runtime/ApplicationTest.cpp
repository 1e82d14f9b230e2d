#include "runtime/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "runtime/Exception.h"

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = Application().SetReporter([this](TObject* sender, std::exception_ptr error) {
      sender_ = sender;
      message_ = ExceptionMessage(error);
      ++reports_;
    });
  }
  void TearDown() override { Application().SetReporter(previous_); }

  TApplication::Reporter previous_;
  TObject* sender_ = nullptr;
  std::string message_;
  int reports_ = 0;
};

TEST_F(ApplicationTest, ReportsTheExceptionBeingHandledWithItsSender) {
  TObject sender;
  try {
    throw Exception("device gone");
  } catch (...) {
    Application().HandleException(&sender);
  }
  EXPECT_EQ(reports_, 1);
  EXPECT_EQ(sender_, &sender);
  EXPECT_EQ(message_, "device gone");
}

TEST_F(ApplicationTest, OutsideAHandlerNothingIsReported) {
  Application().HandleException(nullptr);
  EXPECT_EQ(reports_, 0);
}

TEST_F(ApplicationTest, AReporterThatFailsDoesNotPropagate) {
  Application().SetReporter([](TObject*, std::exception_ptr) { throw std::runtime_error("reporter broke"); });
  try {
    throw Exception("x");
  } catch (...) {
    EXPECT_NO_THROW(Application().HandleException(nullptr));
  }
}

}  // namespace
