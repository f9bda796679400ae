// The umbrella header compiles on its own and its names do not collide.
#include "platform/base/Base.h"

#include <gtest/gtest.h>

TEST(BaseHeader, ClassicNamesWorkTogether) {
  CStringArray names;
  names.Add(CString("a") + "b");
  CString text;
  text.Format("%s:%d", names[0], MulDiv(3, 4, 2));
  EXPECT_EQ(text, "ab:6");
}
