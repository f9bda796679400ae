// The main of every test program: its tests run with a temporary folder of the program's own (PrivateTempFolder.h).
#include "platform/base/tests/PrivateTempFolder.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // A death test's child started as a program again writes in the folder of the program that started it.
  if (GTEST_FLAG_GET(internal_run_death_test).empty())
    brimtest::UsePrivateTempFolder("brim-test");
  return RUN_ALL_TESTS();
}
