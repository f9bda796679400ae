// The clipboard: ownership and opening, data blocks, text synthesis, registered formats.
#include <cstring>

#include "platform/base/GlobalMemory.h"
#include "platform/window/Clipboard.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

HANDLE Text(const char* text, SIZE_T extra = 0) {
  SIZE_T n = std::strlen(text) + 1 + extra;
  HANDLE h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
  char* p = static_cast<char*>(GlobalLock(h));
  std::memcpy(p, text, std::strlen(text) + 1);
  for (SIZE_T i = std::strlen(text) + 1; i < n; ++i) p[i] = 'Z';  // bytes after the NUL
  GlobalUnlock(h);
  return h;
}

std::string Read(HANDLE h) {
  const char* p = static_cast<const char*>(GlobalLock(h));
  std::string s = p ? p : "";
  GlobalUnlock(h);
  return s;
}

class ClipboardTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    blocksAtStart = GlobalBlockCount();
    a = Top(WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
    b = Top(WS_POPUP | WS_VISIBLE, {60, 0, 110, 50});
  }
  void TearDown() override {
    WindowTest::TearDown();
    EXPECT_EQ(GlobalBlockCount(), blocksAtStart);  // the clipboard freed everything it took
  }
  std::size_t blocksAtStart = 0;
  HWND a{}, b{};
};

TEST_F(ClipboardTest, OneOpenerAtATimeAndEmptyMakesTheOwner) {
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(GetOpenClipboardWindow(), a);
  EXPECT_FALSE(OpenClipboard(b));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardOwner(), a);
  EXPECT_NE(SetClipboardData(CF_TEXT, Text("one")), nullptr);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);

  // Another window may read but not add without emptying; emptying tells the old owner.
  ASSERT_TRUE(OpenClipboard(b));
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "one");
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
  ClearLog();
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(Entries(a, WM_DESTROYCLIPBOARD).size(), 1u);
  EXPECT_EQ(GetClipboardOwner(), b);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();

  // Nothing works on a closed clipboard, and another program can hold it.
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  Clipboard::Instance().heldElsewhere = true;
  EXPECT_FALSE(OpenClipboard(a));
  Clipboard::Instance().heldElsewhere = false;
}

TEST_F(ClipboardTest, TextIsSynthesisedBothWaysAndCutAtItsNul) {
  OpenClipboard(a);
  EmptyClipboard();
  UINT mine = RegisterClipboardFormat("GX_MASKDATA");
  SetClipboardData(mine, Text("private"));
  SetClipboardData(CF_TEXT, Text("a\tb", 5));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_OEMTEXT));
  std::vector<UINT> formats;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) formats.push_back(f);
  EXPECT_EQ(formats, (std::vector<UINT>{mine, CF_TEXT, CF_OEMTEXT}));
  EXPECT_EQ(CountClipboardFormats(), 3);
  HANDLE oem = GetClipboardData(CF_OEMTEXT);
  ASSERT_NE(oem, nullptr);
  EXPECT_EQ(GlobalSize(oem), 4u);  // "a\tb" and its NUL, nothing of what followed
  EXPECT_EQ(Read(oem), "a\tb");
  // A second block of one format replaces and frees the first.
  SetClipboardData(CF_TEXT, Text("new"));
  EXPECT_EQ(Read(GetClipboardData(CF_OEMTEXT)), "new");
  CloseClipboard();

  OpenClipboard(b);
  EmptyClipboard();
  SetClipboardData(CF_OEMTEXT, Text("oem"));
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "oem");
  CloseClipboard();
}

TEST_F(ClipboardTest, PromisedFormatsAreRenderedOnDemand) {
  On(a, [](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_RENDERFORMAT && w == CF_TEXT) SetClipboardData(CF_TEXT, Text("late"));
    return std::nullopt;
  });
  OpenClipboard(a);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, nullptr);
  CloseClipboard();
  // The owner renders while another reader holds the clipboard open: the protocol lets it set data then.
  OpenClipboard(b);
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "late");
  CloseClipboard();
}

TEST_F(ClipboardTest, SeededTextReadsLikeAnotherProgramsData) {
  Clipboard::Instance().SeedText("1\t2\r\n3\t4");
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "1\t2\r\n3\t4");
  EmptyClipboard();
  SetClipboardData(CF_OEMTEXT, Text("mine"));
  CloseClipboard();
  EXPECT_EQ(Clipboard::Instance().ReadText(), "mine");
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

TEST_F(ClipboardTest, RegisteredFormatsShareNumbersByName) {
  UINT rtf = RegisterClipboardFormat("Rich Text Format");
  EXPECT_GE(rtf, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("rich text format"), rtf);
  EXPECT_NE(RegisterClipboardFormat("Other"), rtf);
  char name[64];
  EXPECT_EQ(GetClipboardFormatName(rtf, name, sizeof name), 16);
  EXPECT_STREQ(name, "Rich Text Format");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT, name, sizeof name), 0);
}

TEST_F(ClipboardTest, DestroyedOpenerReleasesTheClipboard) {
  OpenClipboard(a);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("kept"));
  DestroyWindow(a);
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  ASSERT_TRUE(OpenClipboard(b));
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "kept");
  CloseClipboard();
}

// A desktop clipboard another program can take: it offers a text, an image (no text) or nothing.
class FakeDesktop : public DesktopClipboard {
 public:
  bool HeldElsewhere() override { return !ours; }
  bool OffersText() override {
    ++availabilityQueries;
    return text.has_value();
  }
  std::optional<std::string> Text() override { return text; }
  void Take(const std::optional<std::string>& given) override {
    ours = true;
    text = given;
    ++takes;
  }
  // Another program copies (a text, or an image when there is none).
  void OtherCopies(std::optional<std::string> offered) {
    ours = false;
    text = std::move(offered);
  }
  bool ours = false;
  std::optional<std::string> text;
  int takes = 0;
  int availabilityQueries = 0;
};

class DesktopClipboardTest : public ClipboardTest {
 protected:
  void SetUp() override {
    ClipboardTest::SetUp();
    Clipboard::Instance().SetDesktop(&desktop);
  }
  void TearDown() override {
    Clipboard::Instance().SetDesktop(nullptr);
    ClipboardTest::TearDown();
  }
  // What a paste would get: CF_TEXT after opening, or "(none)".
  std::string Paste(HWND by) {
    if (!OpenClipboard(by)) return "(not opened)";
    HANDLE h = GetClipboardData(CF_TEXT);
    std::string text = h ? Read(h) : "(none)";
    CloseClipboard();
    return text;
  }
  void Copy(HWND by, const char* text) {
    ASSERT_TRUE(OpenClipboard(by));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, Text(text));
    CloseClipboard();
  }
  FakeDesktop desktop;
};

// Another program's text can be pasted before this process copied anything, and the availability query
// (which paste commands ask first) answers for it without the clipboard being opened.
TEST_F(DesktopClipboardTest, AnotherProgramsTextIsAvailableAndPastedBeforeAnyCopyOfOurs) {
  desktop.OtherCopies("from elsewhere \xe2\x82\xac");  // UTF-8 outside, 1252 inside
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_OEMTEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_GT(desktop.availabilityQueries, 0);
  EXPECT_EQ(Paste(a), "from elsewhere \x80");
  EXPECT_EQ(desktop.takes, 0);  // reading hands nothing back
  // Nothing offered at all: nothing available, nothing pasted.
  desktop.OtherCopies(std::nullopt);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(Paste(a), "(none)");
}

// When another program takes the clipboard, every in-process format goes, also when it offers no text (an
// image): a paste must not bring back our earlier copy.
TEST_F(DesktopClipboardTest, AnotherProgramTakingTheClipboardDropsOurFormats) {
  const UINT grid = RegisterClipboardFormat("Grid cells");
  ASSERT_TRUE(OpenClipboard(a));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("VDD_01"));
  SetClipboardData(grid, Text("cells"));
  CloseClipboard();
  EXPECT_EQ(desktop.takes, 1);
  EXPECT_EQ(desktop.text, std::optional<std::string>("VDD_01"));
  EXPECT_TRUE(IsClipboardFormatAvailable(grid));
  EXPECT_EQ(Paste(b), "VDD_01");

  desktop.OtherCopies(std::nullopt);  // an image
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(grid));
  ClearLog();
  ASSERT_TRUE(OpenClipboard(b));
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(GetClipboardData(grid), nullptr);
  EXPECT_EQ(CountClipboardFormats(), 0);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_EQ(Entries(a, WM_DESTROYCLIPBOARD).size(), 1u);  // the old owner hears its data went
  CloseClipboard();
  EXPECT_EQ(desktop.takes, 1);  // opening and reading took nothing over

  // A large text is taken whole, and replaces the previous offer when it changes.
  const std::string big(2 * 1024 * 1024, 'x');
  desktop.OtherCopies("BIG" + big);
  EXPECT_EQ(Paste(a), "BIG" + big);
  desktop.OtherCopies("small");
  EXPECT_EQ(Paste(a), "small");
}

// A copy of private formats only still takes the desktop's clipboard (with no text), so the next paste
// keeps them instead of taking another program's older offer.
TEST_F(DesktopClipboardTest, OurCopyWithoutTextStillHoldsTheDesktop) {
  desktop.OtherCopies("older");
  const UINT grid = RegisterClipboardFormat("Grid cells");
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "older");
  EmptyClipboard();
  SetClipboardData(grid, Text("cells"));
  CloseClipboard();
  EXPECT_EQ(desktop.takes, 1);
  EXPECT_FALSE(desktop.text.has_value());
  EXPECT_TRUE(IsClipboardFormatAvailable(grid));
  ASSERT_TRUE(OpenClipboard(b));
  EXPECT_EQ(Read(GetClipboardData(grid)), "cells");
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  CloseClipboard();
  EXPECT_EQ(desktop.takes, 1);
}

}  // namespace
}  // namespace plat::test
