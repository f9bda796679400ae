// The visual-style wrapper: the missing-library path this system really takes, and the themed path through a
// recording library.
#include "foundation/VisualStyles.h"

#include "foundation/tests/FoundationTest.h"
#include "platform/controls/ThemeProvider.h"
#include "platform/gdi/gdiapi.h"

namespace foundation::test {
namespace {

using VisualStylesTest = FoundationTest;

// The answers of a missing library, which this system's "not themed" library gives as well.
void ExpectFallbackAnswers() {
  RECT r{0, 0, 10, 10};
  RECT content{};
  EXPECT_EQ(SafeOpenThemeData(nullptr, u"Button"), nullptr);
  EXPECT_EQ(SafeCloseThemeData(reinterpret_cast<HTHEME>(0x10)), static_cast<HRESULT>(0x80004005u));
  EXPECT_EQ(SafeDrawThemeBackground(nullptr, nullptr, BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr), E_FAIL);
  EXPECT_EQ(SafeDrawThemeEdge(nullptr, nullptr, 1, 1, &r, EDGE_RAISED, BF_RECT, &content), E_FAIL);
  EXPECT_FALSE(SafeIsThemeActive());
  EXPECT_FALSE(SafeIsAppThemed());
  CThemeScope scope(static_cast<HWND>(nullptr), u"HEADER");
  EXPECT_FALSE(scope.Themed());
}

TEST_F(VisualStylesTest, TheSystemsLibraryIsFoundAndAnswersNotThemed) {
  EXPECT_TRUE(CommonControls6());
  for (int i = 0; i < kThemeEntryPointCount; ++i) EXPECT_TRUE(ThemeEntryPointLoaded(i)) << i;
  ExpectFallbackAnswers();
}

TEST_F(VisualStylesTest, WithoutTheLibraryEveryWrapperAnswersItsFallback) {
  UseTheme(nullptr);
  for (int i = 0; i < kThemeEntryPointCount; ++i) EXPECT_FALSE(ThemeEntryPointLoaded(i)) << i;
  ExpectFallbackAnswers();
  // The platform's themed provider cannot help a library that is not there.
  plat::RecordingThemeProvider provider;
  plat::SetThemeProvider(&provider);
  EXPECT_EQ(SafeOpenThemeData(nullptr, u"Button"), nullptr);
  EXPECT_EQ(provider.opens, 0);
}

TEST_F(VisualStylesTest, ThePlatformsThemedProviderIsReachedThroughTheSystemsLibrary) {
  plat::RecordingThemeProvider provider;
  plat::SetThemeProvider(&provider);
  EXPECT_TRUE(SafeIsAppThemed());
  EXPECT_TRUE(SafeIsThemeActive());
  {
    CThemeScope scope(static_cast<HWND>(nullptr), u"Button");
    ASSERT_TRUE(scope.Themed());
    RECT r{0, 0, 8, 8};
    EXPECT_EQ(SafeDrawThemeBackground(scope.Theme(), nullptr, BP_PUSHBUTTON, PBS_HOT, &r, nullptr), S_OK);
  }
  EXPECT_EQ(provider.opens, 1);
  EXPECT_EQ(provider.closes, 1);
  ASSERT_EQ(provider.log.size(), 1u);
  EXPECT_EQ(provider.log[0], "background BUTTON 1 2");
}

TEST_F(VisualStylesTest, EntryPointTableKeepsItsOrderAndNames) {
  EXPECT_EQ(ThemeEntryPointName(0), "OpenThemeData");
  EXPECT_EQ(ThemeEntryPointName(11), "DrawThemeEdge");
  EXPECT_EQ(ThemeEntryPointName(36), "IsThemeActive");
  EXPECT_EQ(ThemeEntryPointName(37), "IsAppThemed");
  EXPECT_EQ(ThemeEntryPointName(46), "EnableTheming");
  EXPECT_EQ(ThemeEntryPointName(47), "");
}

TEST_F(VisualStylesTest, ALoadedLibraryIsCalledThroughAndScopesCloseWhatTheyOpen) {
  RecordingThemeLibrary lib;
  UseTheme(&lib);
  EXPECT_TRUE(SafeIsAppThemed());
  EXPECT_TRUE(SafeIsThemeActive());
  {
    CThemeScope scope(static_cast<HWND>(nullptr), u"COMBOBOX");
    ASSERT_TRUE(scope.Themed());
    EXPECT_EQ(lib.OpenCount(), 1);
  }
  EXPECT_EQ(lib.OpenCount(), 0);
  EXPECT_EQ(lib.log.front(), "open COMBOBOX");
}

TEST_F(VisualStylesTest, OldCommonControlsKeepDrawingClassicEvenWhenTheLibrarySaysThemed) {
  RecordingThemeLibrary lib;
  UnloadThemeLibrary();
  InstallThemeLibrary(&lib);
  SetCommonControlsVersion(0x00050052);  // 5.82: no manifest
  ThemeStartup();
  EXPECT_TRUE(SafeIsAppThemed());
  EXPECT_FALSE(SafeIsThemeActive());
  CThemeScope scope(static_cast<HWND>(nullptr), u"Button");
  EXPECT_FALSE(scope.Themed());
  EXPECT_EQ(lib.opens, 0);

  // A failing version call counts as 5.0 as well.
  SetCommonControlsVersion(std::nullopt);
  DetectCommonControls6();
  EXPECT_FALSE(CommonControls6());
}

TEST_F(VisualStylesTest, AMissingEntryPointFallsBackAloneAndTheOthersStillWork) {
  RecordingThemeLibrary lib;
  lib.missing = {"DrawThemeBackground"};
  UseTheme(&lib);
  HTHEME theme = SafeOpenThemeData(nullptr, u"Button");
  ASSERT_NE(theme, nullptr);
  RECT r{0, 0, 4, 4};
  EXPECT_EQ(SafeDrawThemeBackground(theme, nullptr, BP_PUSHBUTTON, PBS_HOT, &r, nullptr), E_FAIL);
  EXPECT_EQ(SafeCloseThemeData(theme), S_OK);
  EXPECT_FALSE(ThemeEntryPointLoaded(2));
  EXPECT_TRUE(ThemeEntryPointLoaded(3));
}

TEST_F(VisualStylesTest, LoadingTwiceChangesNothingAndUnloadingFallsBackAgain) {
  RecordingThemeLibrary first, second;
  UseTheme(&first);
  InstallThemeLibrary(&second);
  EXPECT_EQ(LoadThemeLibrary(), 1);
  HTHEME theme = SafeOpenThemeData(nullptr, u"Button");
  EXPECT_EQ(first.opens, 1);  // still the library loaded first
  EXPECT_EQ(second.opens, 0);
  SafeCloseThemeData(theme);

  EXPECT_EQ(UnloadThemeLibrary(), 1);
  EXPECT_EQ(UnloadThemeLibrary(), 1);
  EXPECT_EQ(SafeOpenThemeData(nullptr, u"Button"), nullptr);
  EXPECT_FALSE(SafeIsAppThemed());
  TRACKMOUSEEVENT tme{sizeof tme, 0, nullptr, 0};
  EXPECT_FALSE(SafeTrackMouseEvent(&tme));
}

}  // namespace
}  // namespace foundation::test
