#include "runtime/Persistent.h"

#include <gtest/gtest.h>

#include "runtime/Exception.h"

namespace {

class TApple : public TPersistent {};
class TPear : public TPersistent {};

TEST(PersistentTest, UnsupportedAssignmentNamesBothClasses) {
  TApple apple;
  TPear pear;
  try {
    apple.Assign(&pear);
    FAIL() << "assignment between unrelated classes must fail";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TPear to a TApple");
  }
  EXPECT_THROW(apple.Assign(nullptr), EConvertError);
  try {
    apple.Assign(nullptr);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TApple");
  }
}

}  // namespace
