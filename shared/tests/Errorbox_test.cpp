#include "shared/Errorbox.h"

#include "platform/base/SystemError.h"

#include <gtest/gtest.h>

namespace {

TEST(Errorbox, LastErrorTextIsTheSystemsText) {
  SetLastError(2);
  EXPECT_EQ(GetLastErrorText().rfind("No such file or directory", 0), 0u);
  SetLastError(0x7FFF0001);
  EXPECT_FALSE(GetLastErrorText().empty());
}

}  // namespace
