// The properties and fonts in the application profile (here the application's INI file).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/gxcolor.h"
#include "grid/core/tests/gxtest.h"
#include "platform/base/IniStore.h"
#include "platform/base/RegistryStore.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CWinApp.h"

namespace {

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    gxtest::InstallAll();
    InstallProfileImp();
    path = temp / (std::string("gxprofile_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini");
    app.m_pszProfileName = path.c_str();
    plat::SetCurrentApp(&app);
  }
  void TearDown() override { plat::SetCurrentApp(nullptr); }
  std::string FileText() const {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  TempDir temp{"gxprofile"};   // a folder of this test's own
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


// Everything a style can say, as the profile writes it.
CGXStyle FullStyle(WORD base) {
  CGXStyle s;
  s.SetHorizontalAlignment(2).SetVerticalAlignment(DT_VCENTER).SetReadOnly(TRUE).SetFloatCell(TRUE);
  s.SetFloodCell(FALSE).SetMergeCell(5).SetDraw3dFrame(2).SetControl(52529).SetMaxLength(12);
  s.SetVerticalScrollbar(TRUE).SetBaseStyle(base).SetTextColor(RGB(10, 20, 30)).SetWrapText(FALSE);
  s.SetAutoSize(TRUE).SetAllowEnter(TRUE).SetEnabled(FALSE).SetTriState(TRUE).SetValue("v 1");
  s.SetInterior(CGXInteriorBrush().SetColor(RGB(200, 100, 50))).SetFormat(3).SetPlaces(4);
  s.SetChoiceList("one\ntwo\\x\nthree");
  s.SetFont(CGXFont().SetFaceName("Arial").SetPointSize(9).SetBold(TRUE));
  s.SetBorder(GX_BORDER_TOP, CGXBorderPen(PS_SOLID, 2, RGB(1, 2, 3)));
  s.SetBorder(GX_BORDER_RIGHT, CGXBorderPen(PS_DOT, 1, RGB(4, 5, 6)));
  s.SetUserAttribute(51022, "a tip");
  return s;
}

void ExpectSameStyle(const CGXStyle& a, const CGXStyle& b) {
  EXPECT_EQ(a.GetIncludeMask(), b.GetIncludeMask());
  EXPECT_TRUE(a.IsSubSet(b));
  EXPECT_TRUE(b.IsSubSet(a));
  EXPECT_EQ(a.GetChoiceList(), b.GetChoiceList());
}

TEST_F(Profile, StylesRoundTripAndDropWhatTheyNoLongerInclude) {
  CGXStylesMap map;
  map.CreateStandardStyles();
  map.AddUserAttribute(51022);
  const WORD custom = map.RegisterStyle("Custom Base", CGXStyle().SetWrapText(TRUE));
  for (WORD base : {map.GetRowHeaderStyle(), custom}) {  // named by string resource, and by name
    const CGXStyle full = FullStyle(base);
    full.WriteProfile("Cell", &map);
    CGXStyle back;
    ASSERT_TRUE(back.ReadProfile("Cell", &map));
    ExpectSameStyle(back, full);
    EXPECT_EQ(back.GetBaseStyle(), base);
  }
  EXPECT_EQ(app.GetProfileString("Cell", "BaseStyle"), "Custom Base");
  EXPECT_EQ(app.GetProfileString("Cell", "ChoicesList"), "one\\ntwo\\\\x\\nthree");
  CGXStyle crlf;
  crlf.SetChoiceList("a\r\nb").WriteProfile("Lines", &map);
  ASSERT_TRUE(crlf.ReadProfile("Lines", &map));
  EXPECT_EQ(crlf.GetChoiceList(), "a\nb");  // carriage returns are not kept
  // Without the map the base style and the user attribute cannot be named.
  CGXStyle noMap;
  ASSERT_TRUE(noMap.ReadProfile("Cell", nullptr));
  EXPECT_FALSE(noMap.IsIncluded(GX_IN_BASESTYLE));
  EXPECT_FALSE(noMap.HasUserAttribute(51022));

  CGXStyle sparse;
  sparse.SetValue("only");
  sparse.WriteProfile("Cell", &map);
  CGXStyle back;
  ASSERT_TRUE(back.ReadProfile("Cell", &map));
  EXPECT_EQ(back.GetIncludeMask(), GX_IN_VALUE | GX_IN_USERATTR);  // user attributes are never removed
  EXPECT_EQ(back.GetValue(), "only");
  EXPECT_FALSE(back.ReadProfile(nullptr, &map));
}

// The styles map written and read back: the names, a base-style link, a style removed in between, and the
// standard style completed from the defaults.
void CheckStylesMapRoundTrip() {
  CGXStylesMap empty;
  EXPECT_FALSE(empty.ReadProfile());  // nothing stored yet
  EXPECT_EQ(empty.GetBaseStyles().size(), 0u);

  CGXStylesMap map;
  map.CreateStandardStyles();
  const WORD gone = map.RegisterStyle("Gone", CGXStyle().SetValue("x"));
  CGXStyle* standard = nullptr;
  ASSERT_TRUE(map.LookupStyle(map.GetStandardStyle(), standard));
  standard->Free();
  standard->SetReadOnly(TRUE);  // the one attribute the profile keeps of it
  map.WriteProfile();
  CGXStylesMap smaller;
  smaller.CreateStandardStyles();
  smaller.RegisterStyle("Linked", CGXStyle().SetBaseStyle(smaller.GetColHeaderStyle()).SetMaxLength(7));
  ASSERT_TRUE(smaller.LookupStyle(smaller.GetStandardStyle(), standard));
  standard->Free();
  standard->SetReadOnly(TRUE);
  smaller.WriteProfile();
  (void)gone;

  CGXStylesMap back;
  ASSERT_TRUE(back.ReadProfile());
  EXPECT_EQ(back.GetNameTable().count("Gone"), 0u);
  ASSERT_EQ(back.GetNameTable().count("Linked"), 1u);
  CGXStyle* linked = nullptr;
  ASSERT_TRUE(back.LookupStyle(back.GetIdFromName("Linked"), linked));
  EXPECT_EQ(linked->GetBaseStyle(), back.GetColHeaderStyle());
  EXPECT_EQ(linked->GetMaxLength(), 7);
  ASSERT_TRUE(back.LookupStyle(back.GetStandardStyle(), standard));
  EXPECT_TRUE(standard->GetReadOnly());  // the profile's value wins over the default
  CGXStyle defaults;
  defaults.SetDefault();
  EXPECT_EQ(standard->GetIncludeMask() & defaults.GetIncludeMask(), defaults.GetIncludeMask());
}

TEST_F(Profile, StylesMapInTheIniFile) {
  CheckStylesMapRoundTrip();
  EXPECT_EQ(app.GetProfileString("Styles", "Linked"), "1");
  EXPECT_EQ(app.GetProfileString("Styles.Linked", "MaxLength"), "7");
  EXPECT_EQ(app.GetProfileString("Styles.#52768", "ReadOnly"), "1");
  EXPECT_EQ(FileText().find("[Styles.Gone]"), std::string::npos);
}

// Each writer's entries reach the INI file together: a failure at any of its profile writes, or at the
// file's replace, leaves the file as it was, byte for byte.
TEST_F(Profile, AWriterInterruptedAtAnyStepLeavesTheOldFile) {
  CGXStylesMap map;
  map.CreateStandardStyles();
  map.RegisterStyle("Linked", CGXStyle().SetBaseStyle(map.GetColHeaderStyle()).SetMaxLength(7));
  CGXProperties properties;
  const std::function<void()> writers[] = {[&] { map.WriteProfile(); }, [&] { properties.WriteProfile(); }};
  for (const auto& write : writers) {
    write();
    const std::string old = FileText();
    map.RegisterStyle("Linked", CGXStyle().SetMaxLength(8));
    properties.m_nFirstPage = properties.m_nFirstPage + 1;
    int steps = 0;
    auto previous = plat::IniStore::SetFaultHook([&] { return ++steps, 0; });
    write();
    const std::string written = FileText();
    ASSERT_NE(written, old);
    std::ofstream(path, std::ios::binary) << old;
    for (int failAt = 1; failAt <= steps; ++failAt) {
      int step = 0;
      plat::IniStore::SetFaultHook([&] { return ++step == failAt ? EIO : 0; });
      write();
      EXPECT_EQ(FileText(), old) << "failure at step " << failAt << " of " << steps;
    }
    plat::IniStore::SetFaultHook(previous);
    write();
    EXPECT_EQ(FileText(), written);
  }
}

TEST_F(Profile, StylesMapInTheRegistry) {
  plat::RegistryStore::Reset();
  app.SetRegistryKey("GridProfileTest");
  CheckStylesMapRoundTrip();
  EXPECT_EQ(app.GetProfileString("Styles\\Linked", "MaxLength"), "7");
  HKEY gone = app.GetSectionKey("Styles\\Gone", FALSE);
  EXPECT_EQ(gone, nullptr);
  if (gone) RegCloseKey(gone);
  plat::RegistryStore::Reset();
}

// A base style registered from a string resource that is missing is stored by its resource id, and a style based on
// it names it so; read back, it is registered from that id again, named "STYLE<id>" as a document's archive names
// it, and the link holds.
TEST_F(Profile, ABaseStyleWithoutItsStringResourceReadsBackByItsIdAsSTYLEId) {
  CGXStylesMap map;
  map.CreateStandardStyles();
  const WORD missing = map.RegisterStyleFromResource(60001, CGXStyle().SetMaxLength(3));
  map.RegisterStyle("OnMissing", CGXStyle().SetBaseStyle(missing).SetWrapText(TRUE));
  map.WriteProfile();
  EXPECT_EQ(app.GetProfileString("Styles", "#60001"), "1");
  EXPECT_EQ(app.GetProfileString("Styles.OnMissing", "BaseStyle"), "#60001");

  CGXStylesMap back;
  ASSERT_TRUE(back.ReadProfile());
  const WORD id = back.GetIdFromResourceId(60001);
  UINT resource = 0;
  EXPECT_STREQ(back.GetStyleName(id, resource), "STYLE60001");
  EXPECT_EQ(resource, 60001u);
  EXPECT_EQ(back.GetIdFromName("STYLE60001"), id);
  CGXStyle* style = nullptr;
  ASSERT_TRUE(back.LookupStyle(id, style));
  EXPECT_EQ(style->GetMaxLength(), 3);
  ASSERT_TRUE(back.LookupStyle(back.GetIdFromName("OnMissing"), style));
  EXPECT_EQ(style->GetBaseStyle(), id);
  EXPECT_TRUE(style->GetWrapText());
}

// A style that holds only a value and a text colour leaves exactly those two entries of a fuller style
// written before (user attributes stay: they are written, never deleted); a system text colour is written
// as its current RGB and reads back as that fixed colour.
std::string SparseStyleDump(const std::function<std::string()>& dump) {
  CGXStylesMap map;
  map.CreateStandardStyles();
  map.AddUserAttribute(51022);
  FullStyle(map.GetRowHeaderStyle()).WriteProfile("Cell", &map);
  CGXStyle sparse;
  sparse.SetValue("v").SetTextColor(gx::TaggedColor({gx::kindSystem, COLOR_HIGHLIGHT}));
  sparse.WriteProfile("Cell", &map);
  CGXStyle back;
  EXPECT_TRUE(back.ReadProfile("Cell", &map));
  EXPECT_EQ(back.GetIncludeMask(), GX_IN_VALUE | GX_IN_TEXTCOLOR | GX_IN_USERATTR);
  EXPECT_EQ(back.GetTextColor(), ::GetSysColor(COLOR_HIGHLIGHT));  // fixed: no system-colour tag
  return dump();
}

TEST_F(Profile, AStyleWithOnlyAValueAndATextColourLeavesOnlyThoseEntriesInTheIniFile) {
  EXPECT_EQ(SparseStyleDump([&] { return FileText(); }),
            "[Cell]\r\nTextColor=0 0 128\r\nValue=v\r\nUA51022=a tip\r\n");
}

TEST_F(Profile, AStyleWithOnlyAValueAndATextColourLeavesOnlyThoseEntriesInTheRegistry) {
  plat::RegistryStore::Reset();
  app.SetRegistryKey("GridProfileTest");
  const std::string dump = SparseStyleDump([] { return plat::RegistryStore::Dump(); });
  const size_t at = dump.find("Cell");
  ASSERT_NE(at, std::string::npos) << dump;
  EXPECT_EQ(dump.substr(at), "Cell]\r\n\"TextColor\"=sz:0 0 128\r\n\"UA51022\"=sz:a tip\r\n\"Value\"=sz:v\r\n") << dump;
  plat::RegistryStore::Reset();
}

// A styles map whose standard style has no font reads back with the default font in "Standard".
TEST_F(Profile, AStandardStyleWithoutAFontReadsBackWithTheDefaultFont) {
  CGXStylesMap map;
  map.CreateStandardStyles();
  CGXStyle* standard = nullptr;
  ASSERT_TRUE(map.LookupStyle(map.GetStandardStyle(), standard));
  standard->Free();
  standard->SetValue("x");
  map.WriteProfile();
  EXPECT_EQ(app.GetProfileString("Styles.#52768", "Font"), "");
  CGXStylesMap back;
  ASSERT_TRUE(back.ReadProfile());
  ASSERT_TRUE(back.LookupStyle(back.GetStandardStyle(), standard));
  ASSERT_NE(standard->GetFontPtr(), nullptr);
  CGXStyle defaults;
  defaults.SetDefault();
  EXPECT_EQ(std::memcmp(&standard->GetFontPtr()->GetLogFont(), &defaults.GetFontPtr()->GetLogFont(), sizeof(LOGFONT)), 0);
  EXPECT_EQ(standard->GetValue(), "x");
}

// The reader flushes the profile cache first: an edit made to the file by another program is seen.
TEST_F(Profile, AReadAfterAnOutsideEditOfTheIniFileSeesTheEdit) {
  CGXProperties p;
  p.m_bVertLines = FALSE;
  ASSERT_TRUE(p.WriteProfile());
  CGXProperties first;
  ASSERT_TRUE(first.ReadProfile());
  EXPECT_FALSE(first.m_bVertLines);
  std::string text = FileText();
  const size_t at = text.find("VerticalLines=0");
  ASSERT_NE(at, std::string::npos) << text;
  text.replace(at, 15, "VerticalLines=1");
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  CGXProperties second;
  second.m_bVertLines = FALSE;
  ASSERT_TRUE(second.ReadProfile());
  EXPECT_TRUE(second.m_bVertLines);
}

}  // namespace
