#include "shared/Misc_Help.h"

#include "platform/framework/HelpService.h"
#include "shared/tests/BoxTest.h"

namespace {

class Misc_Help : public shared_test::BoxTest {
 protected:
  void SetUp() override {
    BoxTest::SetUp();
    plat::HelpService::Install(&help);
  }
  void TearDown() override {
    plat::HelpService::Install(nullptr);
    BoxTest::TearDown();
  }
  plat::HelpService help;
};

TEST_F(Misc_Help, TopicGoesToTheHelpLibraryAsItsNumber) {
  const HWND owner = reinterpret_cast<HWND>(0x1234);  // not used by the call
  EXPECT_EQ(ShowHelpTopic(owner, "duskmoor_useref", 1, 291), TRUE);
  EXPECT_TRUE(ShowHelpDocument("duskmoor_useref", "-4"));
  ASSERT_EQ(help.calls.size(), 2u);
  EXPECT_EQ(help.calls[0].owner, nullptr);
  EXPECT_EQ(help.calls[0].file, "duskmoor_useref");
  EXPECT_EQ(help.calls[0].command, 0u);
  EXPECT_EQ(help.calls[0].data, 291u);
  EXPECT_EQ(static_cast<int>(help.calls[1].data), -4);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Misc_Help, EveryFailureIsNamedInTheHelpBox) {
  const struct {
    int result;
    const char* message;
  } cases[] = {
      {2, "Error: operation could not be performed."},
      {3, "Error: invalid parameter."},
      {4, "Error: document not found."},
      {5, "Error: unable to open document."},
      {6, "Error: tag not in document."},
      {7, "Error:  viewer not found."},
      {8, "Error: text not found in document."},
      {9, "Error: page does not exist in document."},
      {1, "Error: number 1"},
      {12, "Error: number 12"},
      {-1, "Error: number -1"},
  };
  for (const auto& c : cases) {
    help.answer = c.result;
    EXPECT_FALSE(ShowHelpDocument("duskmoor_useref", "5")) << c.result;
  }
  help.answer = 4;
  EXPECT_EQ(ShowHelpTopic(nullptr, "duskmoor_useref", 1, 292), TRUE);  // TRUE even when the help failed

  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), std::size(cases) + 1);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(boxes[i].text, std::string(" ") + cases[i].message + " \n duskmoor_useref \n 5 \n");
    EXPECT_EQ(boxes[i].caption, "Kestrelon On Line Help");
    EXPECT_EQ(boxes[i].flags, MB_OK);
  }
  EXPECT_EQ(boxes.back().text, " Error: document not found. \n duskmoor_useref \n 292 \n");
}

TEST_F(Misc_Help, TheLibraryRefusesWhatItCannotServe) {
  EXPECT_EQ(OlhHelpCall(nullptr, "5", 0), 3);
  EXPECT_EQ(OlhHelpCall("duskmoor_useref", "", 0), 3);
  EXPECT_EQ(OlhHelpCall("duskmoor_useref", "intro", 0), 6);
  EXPECT_EQ(OlhHelpCall("duskmoor_useref", "99999999999999999999", 0), 6);
  EXPECT_TRUE(help.calls.empty());
}

}  // namespace
