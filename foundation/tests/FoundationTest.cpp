#include "foundation/tests/FoundationTest.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>

#include "foundation/ButtonBitmap.h"
#include "foundation/StyleColors.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/VirtualClock.h"
#include "platform/controls/ThemeProvider.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/Pump.h"

namespace foundation::test {

namespace {
std::deque<std::vector<BYTE>>& KeptBytes() {
  static std::deque<std::vector<BYTE>> kept;
  return kept;
}
}  // namespace

void FoundationTest::SetUp() {
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("foundation-tests"));
  plat::ResetWindowSystem();
  plat::VirtualClock::Reset();
  CWnd::DeleteTempMap();
  plat::ResetSysColorsAndMetrics();
  plat::Desktop::Configure(1024, 768);
  plat::SetThemeProvider(nullptr);
  InstallThemeLibrary(SystemThemeLibrary());
  UnloadThemeLibrary();
  SetCommonControlsVersion(0x00060000);
  ThemeStartup();
  UpdateButtonColors();
  UpdateWellColors();
  plat::SetAutomationProvider(&automation);
}

void FoundationTest::TearDown() {
  plat::SetAutomationProvider(nullptr);
  plat::ResetWindowSystem();
  CWnd::DeleteTempMap();
  plat::ResourceTable::RemoveModule(AfxGetInstanceHandle());
  KeptBytes().clear();
  plat::SetThemeProvider(nullptr);
  UnloadThemeLibrary();
  InstallThemeLibrary(SystemThemeLibrary());
  ThemeStartup();
  plat::ResetSysColorsAndMetrics();
  UpdateStyleColors();
  UpdateButtonColors();
  UpdateWellColors();
}

void FoundationTest::UseTheme(ThemeLibrary* library) {
  UnloadThemeLibrary();
  InstallThemeLibrary(library);
  SetCommonControlsVersion(0x00060000);
  ThemeStartup();
}

void FoundationTest::Pump() {
  MSG msg;
  for (int guard = 0; PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    ASSERT_LT(guard, 100000) << "the queue never became idle";
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
}

MemoryImage::MemoryImage(int w, int h, COLORREF fill) : width(w), height(h) {
  HDC screen = ScreenDC();
  dc.Attach(CreateCompatibleDC(screen));
  bitmap.Attach(CreateCompatibleBitmap(screen, w, h));
  old = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, w, h, fill);
}

MemoryImage::~MemoryImage() {
  dc.SelectObject(old);
  dc.DeleteDC();
}

void RegisterRawBitmap(UINT id, std::vector<BYTE> bytes) {
  KeptBytes().push_back(std::move(bytes));
  plat::ResourceTable::AddResource(AfxGetInstanceHandle(), RT_BITMAP, MAKEINTRESOURCE(id), KeptBytes().back());
}

void RegisterTestBitmap(UINT id, int bpp, std::initializer_list<COLORREF> colours,
                        std::initializer_list<const char*> rows) {
  const int w = static_cast<int>(std::strlen(*rows.begin()));
  const int h = static_cast<int>(rows.size());
  const int stride = ((w * bpp + 31) / 32) * 4;
  const std::size_t tableSize = std::size_t{1} << bpp;
  std::vector<BYTE> dib(40 + tableSize * 4 + static_cast<std::size_t>(stride * h), 0);
  BITMAPINFOHEADER header{40, w, h, 1, static_cast<WORD>(bpp), BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(dib.data(), &header, 40);
  std::size_t i = 0;
  for (COLORREF c : colours) {
    const BYTE quad[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    std::memcpy(dib.data() + 40 + 4 * i++, quad, 4);
  }
  BYTE* bits = dib.data() + 40 + tableSize * 4;
  int y = h - 1;  // bottom-up
  for (const char* row : rows) {
    for (int x = 0; x < w; ++x) {
      const char ch = row[x];
      const unsigned v = static_cast<unsigned>(ch <= '9' ? ch - '0' : ch - 'a' + 10);
      const int bit = x * bpp;
      BYTE& b = bits[y * stride + bit / 8];
      b |= static_cast<BYTE>(v << (8 - bpp - bit % 8));
    }
    --y;
  }
  RegisterRawBitmap(id, std::move(dib));
}

void ExpectMatchesReference(HWND hwnd, const std::string& name) {
  auto image = plat::Desktop::Capture(hwnd);
  ASSERT_TRUE(image);
  // Text is antialiased; a small per-channel tolerance absorbs rasteriser differences, not colour faults.
  plat::ImageTolerance tolerance;
  tolerance.channel = 48;
  const plat::ReferenceMatch match =
      plat::MatchReferenceImage(*image, "foundation/tests/reference/" + name + ".png", tolerance);
  EXPECT_TRUE(match.Matches()) << match.message;
}

}  // namespace foundation::test
