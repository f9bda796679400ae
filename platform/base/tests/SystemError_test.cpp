#include "platform/base/SystemError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <limits>
#include <thread>

#include "platform/base/GlobalMemory.h"
#include "platform/base/MulDiv.h"
#include "platform/base/Printf.h"
#include "platform/base/Terminate.h"

namespace {

DWORD FromString(DWORD flags, const char* templ, char* out, DWORD size, ...) {
  va_list ap;
  va_start(ap, size);
  const DWORD n = FormatMessage(flags | FORMAT_MESSAGE_FROM_STRING, templ, 0, 0, out, size, &ap);
  va_end(ap);
  return n;
}

}  // namespace

TEST(FormatMessage, SystemTextsFromTheFixedTable) {
  char* text = nullptr;
  const DWORD n = FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                                nullptr, ERROR_FILE_NOT_FOUND, 0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "No such file or directory.\r\n");
  EXPECT_EQ(n, std::strlen(text));
  EXPECT_EQ(LocalFree(text), nullptr);

  char buf[64];
  EXPECT_GT(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x80004005u, 0x800, buf, sizeof buf, nullptr), 0u);
  EXPECT_STREQ(buf, "Unspecified failure.\r\n");
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x80070005u, 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "Permission denied.\r\n");  // an HRESULT wrapping a classic error number
  // The file layer's refusals of a name have texts of their own (an empty settings name is refused so).
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_INVALID_NAME, 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "The file name is not valid.\r\n");
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_BAD_PATHNAME, 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "The path is not valid.\r\n");
  // A loop of links is called so, not an input/output error (a save through one read so).
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, plat::ErrnoToError(ELOOP), 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "Too many levels of symbolic links.\r\n");
  FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 4242, 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "error number 4242\r\n");
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 2, 0x407, buf, sizeof buf, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_LANG_NOT_FOUND);
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 2, 0, buf, 5, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(FormatMessage, Inserts) {
  char buf[64];
  EXPECT_EQ(FromString(0, "%2 and %1%n100%%", buf, sizeof buf, "one", "two"), 17u);
  EXPECT_STREQ(buf, "two and one\r\n100%");
  FromString(FORMAT_MESSAGE_IGNORE_INSERTS, "%1 stays", buf, sizeof buf);
  EXPECT_STREQ(buf, "%1 stays");
}

TEST(LastError, IsPerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD other = 1;
  std::thread([&] { other = GetLastError(); }).join();
  EXPECT_EQ(other, 0u);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndFails) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(-5, -1, -2), -3);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(8, 96, 72), 11);  // points to pixels at 96 DPI: 10.67
  EXPECT_EQ(MulDiv(100000, 100000, 1000), 10000000);  // the product needs 64 bits
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
  EXPECT_EQ(MulDiv(std::numeric_limits<int>::max(), 2, 1), -1);
  EXPECT_EQ(MulDiv(std::numeric_limits<int>::min(), 1, 1), std::numeric_limits<int>::min());
}

TEST(PrintfShims, MinusOneOnTruncationAlwaysTerminated) {
  char buf[6];
  EXPECT_EQ(_snprintf(buf, sizeof buf, "%d", 12345), 5);
  EXPECT_STREQ(buf, "12345");
  EXPECT_EQ(_snprintf(buf, sizeof buf, "%s", "123456"), -1);
  EXPECT_STREQ(buf, "12345");
  EXPECT_EQ(_snprintf(buf, sizeof buf, "%.2f|%lu", 2.5, 7u), -1);
  EXPECT_STREQ(buf, "2.50|");
  EXPECT_EQ(_snprintf(buf, 0, "x"), -1);
}

TEST(Terminate, HookReplacesTheProcessEnd) {
  struct Ended {
    int code;
  };
  plat::SetTerminateHook([](int code) { throw Ended{code}; });
  try {
    plat::Exit(3);
  } catch (const Ended& e) {
    EXPECT_EQ(e.code, 3);
  }
  plat::SetTerminateHook(nullptr);
  EXPECT_EXIT(plat::Exit(4), ::testing::ExitedWithCode(4), "");
}
