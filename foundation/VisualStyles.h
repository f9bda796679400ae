// The visual-style wrapper: soft-failing calls into the operating system's visual-style library.
//
// The module never links to the visual-style functions. At start-up it "loads the library by name" and looks
// up its entry points one by one; each wrapper checks its entry point and answers a fixed failure value when
// it is missing. The library found is the platform's visual-style stand-in (platform/controls/VisualStyles.h),
// whose default provider answers "not themed": every wrapper then answers what a missing library would (NULL
// theme, E_FAIL, FALSE) and every caller draws the classic way. Tests either install the platform's recording
// provider, or put another ThemeLibrary (RecordingThemeLibrary paints its states) or none at all in the
// library's place before LoadThemeLibrary.
//
// Call flow at start-up (ThemeStartup): DetectCommonControls6 -> LoadThemeLibrary -> UpdateStyleColors; at
// exit UnloadThemeLibrary. A theme change is seen through SafeIsThemeActive at each drawing.
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/wintypes.h"
#include "platform/controls/VisualStyles.h"
#include "platform/window/windowapi.h"

namespace foundation {

// The entry points of a visual-style library as the loader sees them. Exports() decides which names the
// library has (a missing one leaves its pointer NULL); the others are the seven functions the module calls.
class ThemeLibrary {
 public:
  virtual ~ThemeLibrary() = default;
  virtual bool Exports(std::string_view entryPoint) const;
  virtual HTHEME OpenThemeData(HWND hwnd, const WCHAR* classList) = 0;
  virtual HRESULT CloseThemeData(HTHEME theme) = 0;
  virtual HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                      const RECT* clip) = 0;
  virtual HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                                RECT* content) = 0;
  virtual BOOL IsThemeActive() = 0;
  virtual BOOL IsAppThemed() = 0;
};

// A themed library for tests: every class opens (a distinct handle per open), the calls are logged as text
// ("open Button", "background 1 2 [0,0,75,23]", "close"), and backgrounds are filled with a colour per state
// so that a screenshot shows which state was drawn. Entry points named in `missing` are not exported.
class RecordingThemeLibrary : public ThemeLibrary {
 public:
  bool Exports(std::string_view entryPoint) const override;
  HTHEME OpenThemeData(HWND hwnd, const WCHAR* classList) override;
  HRESULT CloseThemeData(HTHEME theme) override;
  HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) override;
  HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                        RECT* content) override;
  BOOL IsThemeActive() override { return active; }
  BOOL IsAppThemed() override { return appThemed; }

  // The fill of a themed background in `state`.
  static COLORREF StateColor(int state);

  BOOL active = TRUE;
  BOOL appThemed = TRUE;
  std::vector<std::string> missing;
  std::vector<std::string> log;
  int opens = 0;
  int closes = 0;
  int OpenCount() const { return opens - closes; }

 private:
  std::uintptr_t next_ = 0x7E000;
};

// The platform's visual-style functions as a library: the one the loader finds unless told otherwise.
ThemeLibrary* SystemThemeLibrary();
// The library the loader finds by name ("UXTHEME.DLL"): SystemThemeLibrary() by default; null means none is
// installed. Takes effect at the next LoadThemeLibrary.
void InstallThemeLibrary(ThemeLibrary* library);
// What "COMCTL32.DLL"'s DllGetVersion reports: major in the high and minor in the low 16 bits (default 6.0);
// nullopt makes the call fail. Takes effect at the next DetectCommonControls6.
void SetCommonControlsVersion(std::optional<DWORD> version);
// The common-controls-6 flag as detected.
bool CommonControls6();
// Whether the library is loaded and the entry point at `index` (0..46, table order) was found.
bool ThemeEntryPointLoaded(int index);
// The name of the entry point at `index`, table order; empty outside 0..46.
std::string_view ThemeEntryPointName(int index);
constexpr int kThemeEntryPointCount = 47;

// Start-up as the grid library's static initialisation runs it: detection, loading, the style colours.
void ThemeStartup();

}  // namespace foundation

void DetectCommonControls6();
int LoadThemeLibrary();
int UnloadThemeLibrary();

HTHEME SafeOpenThemeData(HWND hwnd, const WCHAR* classList);
HRESULT SafeCloseThemeData(HTHEME theme);
HRESULT SafeDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT SafeDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                          RECT* content);
BOOL SafeIsThemeActive();
BOOL SafeIsAppThemed();
BOOL SafeTrackMouseEvent(LPTRACKMOUSEEVENT tme);

// The themed-drawing test every caller performs: the application themed and the theme active, then the
// theme of the window drawn in (the DC's window, else the desktop) opened by class. A null theme means
// classic drawing. The theme is closed when the scope ends, on every path.
class CThemeScope {
 public:
  CThemeScope(HWND hwnd, const WCHAR* classList);
  CThemeScope(HDC dc, const WCHAR* classList);
  ~CThemeScope();
  CThemeScope(const CThemeScope&) = delete;
  CThemeScope& operator=(const CThemeScope&) = delete;

  HTHEME Theme() const { return theme_; }
  bool Themed() const { return theme_ != nullptr; }
  // Closes now (the destructor then does nothing).
  void Close();

 private:
  HTHEME theme_ = nullptr;
};
