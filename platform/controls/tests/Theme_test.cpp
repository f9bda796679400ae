// The visual-style calls: "not themed" by default, so callers draw the classic way; the recording provider
// answers themed and logs what it was asked to draw.
#include <gtest/gtest.h>

#include "platform/controls/ThemeProvider.h"

namespace {

TEST(Themes, DefaultProviderSaysNotThemed) {
  plat::SetThemeProvider(nullptr);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  HTHEME theme = OpenThemeData(nullptr, L"BUTTON");
  EXPECT_EQ(theme, nullptr);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawThemeBackground(theme, nullptr, BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr), E_FAIL);
  EXPECT_EQ(CloseThemeData(theme), E_FAIL);
}

TEST(Themes, RecordingProviderCountsAndLogs) {
  plat::RecordingThemeProvider rec;
  plat::SetThemeProvider(&rec);
  EXPECT_TRUE(IsThemeActive());
  HTHEME button = OpenThemeData(nullptr, L"Button");
  HTHEME combo = OpenThemeData(nullptr, L"COMBOBOX");
  ASSERT_NE(button, nullptr);
  RECT r{0, 0, 10, 10}, content{};
  EXPECT_EQ(DrawThemeBackground(button, nullptr, BP_CHECKBOX, PBS_PRESSED, &r, nullptr), S_OK);
  EXPECT_EQ(DrawThemeEdge(combo, nullptr, 1, PBS_HOT, &r, 0, 0, &content), S_OK);
  EXPECT_EQ(content.right, 10);
  EXPECT_EQ(CloseThemeData(button), S_OK);
  EXPECT_EQ(CloseThemeData(button), E_INVALIDARG);  // closed twice
  EXPECT_EQ(DrawThemeBackground(button, nullptr, 1, 1, &r, nullptr), E_INVALIDARG);
  EXPECT_EQ(rec.opens, 2);
  EXPECT_EQ(rec.closes, 1);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"background BUTTON 3 3", "edge COMBOBOX 1 2"}));
  plat::SetThemeProvider(nullptr);
}

}  // namespace
