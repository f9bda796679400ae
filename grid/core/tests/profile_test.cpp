// The properties and fonts in the application profile (here the application's INI file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/tests/gxtest.h"
#include "platform/base/RegistryStore.h"
#include "platform/framework/CWinApp.h"

namespace {

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    gxtest::InstallAll();
    InstallProfileImp();
    path = (std::filesystem::temp_directory_path() /
            ("gxprofile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini"))
               .string();
    std::filesystem::remove(path);
    app.m_pszProfileName = path.c_str();
    plat::SetCurrentApp(&app);
  }
  void TearDown() override {
    plat::SetCurrentApp(nullptr);
    std::filesystem::remove(path);
  }
  std::string FileText() const {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  std::string path;
  CWinApp app{"GridProfileTest"};
};

TEST_F(Profile, PropertiesOfANewObject) {
  CGXProperties p;
  ASSERT_TRUE(p.WriteProfile());
  const std::string text = FileText();
  const auto at = [&](const char* key) { return text.find(std::string(key) + "="); };
  ASSERT_NE(at("Grid Lines"), std::string::npos);
  EXPECT_LT(at("Grid Lines"), at("Fixed Lines"));
  EXPECT_LT(at("Tracking Line"), at("Dragging Line"));
  EXPECT_LT(at("Dragging Line"), at("Background"));
  EXPECT_LT(at("Background"), at("MarkColumnHeader"));
  EXPECT_EQ(text.find("UP"), std::string::npos);
  EXPECT_EQ(GetProfileLong("Grid", "3dHeader", -1), 1);
  EXPECT_EQ(app.GetProfileString("Grid", "Margins"), "72,72,72,72");
  EXPECT_EQ(GetProfileLong("Grid", "Start Page Numbering", 0), -1);

  CGXStyle value;
  value.SetValue("Thin Border.");
  p.AddUserProperty(51005, value);
  p.WriteProfile();
  EXPECT_EQ(app.GetProfileString("Grid", "UP51005"), "Thin Border.");
}

TEST_F(Profile, LongsAndIncludedValues) {
  EXPECT_EQ(GetProfileLong("S", "missing", 42), 42);
  app.WriteProfileString("S", "num", "12abc");
  EXPECT_EQ(GetProfileLong("S", "num", 0), 12);
  WriteProfileIncluded("S", "inc", TRUE, 4000000000u);
  EXPECT_EQ(app.GetProfileString("S", "inc"), "4000000000");
  WriteProfileIncluded("S", "inc", FALSE, 0);
  EXPECT_EQ(app.GetProfileString("S", "inc", "gone"), "gone");
  WriteProfileIncluded(nullptr, "inc", TRUE, 1);  // nothing
}

TEST_F(Profile, FontsRoundTrip) {
  CGXFont f;
  f.SetFaceName("Arial").SetPointSize(10).SetWeight(400).SetItalic(TRUE).SetOrientation(450);
  f.WriteProfile("Fonts", "Cell");
  EXPECT_EQ(app.GetProfileString("Fonts", "Cell"), "Arial,10,400,1,,,450");
  CGXFont back;
  EXPECT_TRUE(back.ReadProfile("Fonts", "Cell"));
  EXPECT_EQ(back, f);
  EXPECT_FALSE(back.ReadProfile("Fonts", "Missing"));
}

TEST_F(Profile, UserAttributes) {
  CGXUserAttributeMap m;
  m.SetAttribute(51022, new CGXUserAttribute("tip"));
  m.WriteProfile("Attrs");
  EXPECT_EQ(app.GetProfileString("Attrs", "UA51022"), "tip");
}


// Every setting that is written comes back; an absent section changes nothing. In both profile homes.
void CheckPropertiesRoundTrip(CWinApp& app) {
  CGXProperties missing;
  missing.m_sSection = "NoSuchGridSection";
  missing.m_bVertLines = FALSE;
  EXPECT_FALSE(missing.ReadProfile());
  EXPECT_FALSE(missing.m_bVertLines);

  CGXProperties p;
  p.AddDefaultUserProperties();
  CGXStyle thin;
  thin.SetValue("Thin Border.");
  p.AddUserProperty(51005, thin);
  p.GetColors()[1] = 0xFB000005;  // a system-colour tag in the high byte survives the text form
  p.GetColors()[2] = RGB(1, 2, 3);
  p.m_bVertLines = FALSE;
  p.m_bMarkRowHeader = FALSE;
  p.m_nPageOrder = 1;
  p.m_bBlackWhite = FALSE;
  p.m_nMargins[0] = 10;
  p.m_nMargins[3] = 40;
  p.m_nFirstPage = 3;
  p.m_nDistances[1] = 9;
  ASSERT_TRUE(p.WriteProfile());

  CGXProperties back;
  back.AddDefaultUserProperties();
  ASSERT_TRUE(back.ReadProfile());
  EXPECT_EQ(back.GetColors(), p.GetColors());
  EXPECT_FALSE(back.m_bVertLines);
  EXPECT_FALSE(back.m_bMarkRowHeader);
  EXPECT_TRUE(back.m_bHorzLines);
  EXPECT_EQ(back.m_nPageOrder, 1u);
  EXPECT_FALSE(back.m_bBlackWhite);
  EXPECT_EQ(back.GetUserProperty(51005).GetValue(), "Thin Border.");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back.m_nMargins[i], p.m_nMargins[i]) << i;
  EXPECT_EQ(back.m_nFirstPage, 3);
  EXPECT_EQ(back.m_nDistances[1], 9);

  // Short lists set only their first fields; empty entries keep the current settings.
  app.WriteProfileString("Grid", "Margins", " 5, 6");
  app.WriteProfileString("Grid", "Print Frame", "");
  back.m_bPrintFrame = FALSE;
  ASSERT_TRUE(back.ReadProfile());
  EXPECT_EQ(back.m_nMargins[0], 5);
  EXPECT_EQ(back.m_nMargins[1], 6);
  EXPECT_EQ(back.m_nMargins[2], p.m_nMargins[2]);
  EXPECT_EQ(back.m_nMargins[3], 40);
  EXPECT_FALSE(back.m_bPrintFrame);
}

TEST_F(Profile, PropertiesReadBackFromTheIniFile) { CheckPropertiesRoundTrip(app); }

TEST_F(Profile, PropertiesReadBackFromTheRegistry) {
  plat::RegistryStore::Reset();
  app.SetRegistryKey("GridProfileTest");
  CheckPropertiesRoundTrip(app);
  plat::RegistryStore::Reset();
}

}  // namespace
