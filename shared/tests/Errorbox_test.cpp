#include "shared/Errorbox.h"

#include <cerrno>
#include <string>

#include "platform/base/SystemError.h"
#include "shared/tests/BoxTest.h"

namespace {

using shared_test::BoxTest;
using shared_test::ProcessEnded;

TEST(Errorbox, LastErrorTextIsTheSystemsText) {
  SetLastError(2);
  EXPECT_EQ(GetLastErrorText(), "No such file or directory.\r\n");
  SetLastError(0x7FFF0001);
  EXPECT_FALSE(GetLastErrorText().empty());
}

using ErrorBoxTest = BoxTest;

TEST_F(ErrorBoxTest, FormattedTextInAnExclamationBoxWithTheSystemCaption) {
  ErrorBoxF(nullptr, "Unable to read %s (line %d).", "board.dao", 12);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Unable to read board.dao (line 12).");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].flags, MB_ICONEXCLAMATION);
  EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(ErrorBoxTest, LongTextsAreShownWholeWithEveryArgument) {
  // The buffer grows several times; each attempt must read the arguments from the start again.
  const std::string path(2000, 'p');
  ErrorBoxF(nullptr, "%s|%d|%s", path.c_str(), 42, "end");
  // Around the first buffer's edge, with a trailer that must still fit behind the text.
  for (size_t length : {511u, 512u, 513u}) {
    errno = EACCES;
    ErrorBoxErrno(nullptr, "%s", std::string(length, 'x').c_str());
  }
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, path + "|42|end");
  EXPECT_EQ(boxes[1].text, std::string(511, 'x') + "Permission denied");
  EXPECT_EQ(boxes[2].text, std::string(512, 'x') + "Permission denied");
  EXPECT_EQ(boxes[3].text, std::string(513, 'x') + "Permission denied");
}

TEST_F(ErrorBoxTest, TrailersFollowTheText) {
  errno = ENOENT;
  ErrorBoxErrno(nullptr, "Cannot open %s: ", "a.dao");
  ErrorBoxSystemError(ERROR_ACCESS_DENIED, nullptr, "Cannot write %s\n", "b.dao");
  SetLastError(ERROR_FILE_NOT_FOUND);
  ErrorBoxLastError(nullptr, "Unable to start %s\n", "viewer");
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "Cannot open a.dao: No such file or directory");
  // The system text's closing "\r\n" is not part of the trailer.
  EXPECT_EQ(boxes[1].text, "Cannot write b.dao\nPermission denied.");
  EXPECT_EQ(boxes[2].text, "Unable to start viewer\nNo such file or directory.");
}

TEST_F(ErrorBoxTest, TrailerAloneOrNothing) {
  errno = ENOENT;
  ErrorBoxErrno(nullptr, nullptr);
  ErrorBoxF(nullptr, nullptr);
  ErrorBoxF(nullptr, "");
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "No such file or directory");
}

TEST_F(ErrorBoxTest, FatalReportShowsWhereAndEndsWithCodeOne) {
  try {
    FatalErrorReport("Mar  4 2024", "shared/Misc_String.cpp", 17);
    FAIL() << "FatalErrorReport returned";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.code, 1);
  }
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "FATAL ERROR");
  EXPECT_EQ(boxes[0].text, "Line:17,   File:shared/Misc_String.cpp   File date:Mar  4 2024");
  EXPECT_EQ(boxes[0].flags, MB_ICONHAND);

  // Headless with nobody to answer the box, the process still ends.
  plat::SetAutomationProvider(nullptr);
  EXPECT_THROW(FatalErrorReport("d", "f", 1), ProcessEnded);
}

}  // namespace
