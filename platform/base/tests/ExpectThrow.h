// Classic exceptions are thrown as heap pointers: these checks catch, test and Delete them.
#pragma once

#include <gtest/gtest.h>

#define EXPECT_CLASSIC_THROW(statement, ExceptionType)                                   \
  do {                                                                                   \
    bool brimThrown_ = false;                                                            \
    try {                                                                                \
      statement;                                                                         \
    } catch (ExceptionType * brimE_) {                                                   \
      brimThrown_ = true;                                                                \
      brimE_->Delete();                                                                  \
    }                                                                                    \
    EXPECT_TRUE(brimThrown_) << #statement " did not throw " #ExceptionType;             \
  } while (false)
