#include "platform/controls/tests/ControlTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "platform/controls/ControlSupport.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Painter.h"
#include "platform/window/WindowManager.h"

namespace plat::test {

std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << "{" << n.id << ", 0x" << std::hex << n.code << std::dec << "}";
}

void ControlTest::SetUp() {
  WindowTest::SetUp();
  ResetSysColorsAndMetrics();
  host = Top(WS_POPUP | WS_VISIBLE, {50, 50, 450, 350});
  On(host, [this](HWND h, UINT msg, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (hostHook)
      if (auto r = hostHook(msg, w, l)) return r;
    if (msg == WM_ERASEBKGND) {
      RECT r{};
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, GetSysColorBrush(COLOR_3DFACE));
      return 1;
    }
    return std::nullopt;
  });
  RunUntilIdle();
}

HWND ControlTest::Make(const char* cls, const char* text, DWORD style, RECT r, int id, DWORD exStyle) {
  return CreateWindowEx(exStyle, cls, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, host,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

std::vector<Note> ControlTest::Notes() const {
  std::vector<Note> out;
  for (const Logged& l : Entries(host, WM_COMMAND)) out.push_back({LOWORD(l.wParam), HIWORD(l.wParam)});
  return out;
}

std::vector<UINT> ControlTest::NoteCodes(int id) const {
  std::vector<UINT> out;
  for (const Note& n : Notes())
    if (n.id == id) out.push_back(n.code);
  return out;
}

std::vector<UINT> ControlTest::HostMessages(std::vector<UINT> which) const {
  std::vector<UINT> out;
  for (UINT m : Log(host, false))
    for (UINT w : which)
      if (m == w) out.push_back(m);
  return out;
}

std::string ControlTest::Text(HWND h) const { return controls::WindowTextOf(h); }

void ExpectMatchesReference(HWND host, const std::string& name) {
  RunUntilIdle();
  auto buffer = Painter::BackBuffer(host);
  ASSERT_TRUE(buffer);
  // A top-level window's back buffer is its whole window rectangle, frame included.
  RECT window{};
  GetWindowRect(host, &window);
  const RECT all{0, 0, window.right - window.left, window.bottom - window.top};
  auto shot = Surface::create(all.right, all.bottom);
  buffer->copyTo(all, *shot, POINT{0, 0});

  // Glyph rasterisation may differ slightly between font-library versions; shapes and colours may not.
  ImageTolerance tolerance;
  tolerance.channel = 48;
  const ReferenceMatch match = MatchReferenceImage(*shot, "platform/controls/tests/reference/" + name, tolerance);
  ASSERT_FALSE(match.missing) << match.message;
  ASSERT_FALSE(match.difference.sizeDiffers) << match.message;
  EXPECT_TRUE(match.Matches()) << match.message;
}

}  // namespace plat::test
