#include "foundation/VisualStyles.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/StyleColors.h"
#include "platform/gdi/gdiapi.h"

namespace foundation {
namespace {

// The entry points in the order the loader looks them up. Only seven are called; the others are looked up
// as well, since a library that lacks one of them is still usable for the ones the module needs.
constexpr std::array<std::string_view, kThemeEntryPointCount> kEntryPoints = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeText", "GetThemeBackgroundContentRect",
    "GetThemeBackgroundExtent", "GetThemePartSize", "GetThemeTextExtent", "GetThemeTextMetrics",
    "GetThemeBackgroundRegion", "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
    "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont", "GetThemeRect", "GetThemeMargins",
    "GetThemeIntList", "GetThemePropertyOrigin", "SetWindowTheme", "GetThemeFilename", "GetThemeSysColor",
    "GetThemeSysColorBrush", "GetThemeSysBool", "GetThemeSysSize", "GetThemeSysFont", "GetThemeSysString",
    "GetThemeSysInt", "IsThemeActive", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled", "GetThemeAppProperties", "SetThemeAppProperties", "GetCurrentThemeName",
    "GetThemeDocumentationProperty", "DrawThemeParentBackground", "EnableTheming"};

enum EntryIndex : int {
  kOpenThemeData = 0,
  kCloseThemeData = 1,
  kDrawThemeBackground = 2,
  kDrawThemeEdge = 11,
  kIsThemeActive = 36,
  kIsAppThemed = 37,
};

// The platform's visual-style functions, reached through the same table as any other library.
class SystemLibrary : public ThemeLibrary {
 public:
  HTHEME OpenThemeData(HWND hwnd, const WCHAR* classList) override {
    std::wstring wide;
    for (; classList && *classList; ++classList) wide += static_cast<wchar_t>(*classList);
    return ::OpenThemeData(hwnd, wide.c_str());
  }
  HRESULT CloseThemeData(HTHEME theme) override { return ::CloseThemeData(theme); }
  HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) override {
    return ::DrawThemeBackground(theme, dc, part, state, rect, clip);
  }
  HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                        RECT* content) override {
    return ::DrawThemeEdge(theme, dc, part, state, dest, edge, flags, content);
  }
  BOOL IsThemeActive() override { return ::IsThemeActive(); }
  BOOL IsAppThemed() override { return ::IsAppThemed(); }
};

// Process-wide state, written only at start-up and exit.
struct WrapperState {
  ThemeLibrary* installed = SystemThemeLibrary();  // what the loader finds by name
  ThemeLibrary* themeModule = nullptr;   // the loaded visual-style library
  bool userModule = false;               // "USER32.DLL" loaded for TrackMouseEvent
  std::bitset<kThemeEntryPointCount> entries;
  bool trackMouseEvent = false;
  std::optional<DWORD> comctlVersion = 0x00060000;  // what DllGetVersion reports
  bool comctl6 = false;
};

WrapperState& State() {
  static WrapperState state;
  return state;
}

ThemeLibrary* Entry(int index) {
  WrapperState& s = State();
  return s.themeModule && s.entries.test(static_cast<std::size_t>(index)) ? s.themeModule : nullptr;
}

std::string Narrow(const WCHAR* text) {
  std::string out;
  for (; text && *text; ++text) out += static_cast<char>(*text < 0x80 ? *text : '?');
  return out;
}

}  // namespace

bool ThemeLibrary::Exports(std::string_view) const { return true; }

bool RecordingThemeLibrary::Exports(std::string_view entryPoint) const {
  for (const std::string& name : missing)
    if (name == entryPoint) return false;
  return true;
}

HTHEME RecordingThemeLibrary::OpenThemeData(HWND, const WCHAR* classList) {
  ++opens;
  log.push_back("open " + Narrow(classList));
  next_ += 16;
  return reinterpret_cast<HTHEME>(next_);
}

HRESULT RecordingThemeLibrary::CloseThemeData(HTHEME theme) {
  if (!theme) return E_FAIL;
  ++closes;
  log.push_back("close");
  return S_OK;
}

COLORREF RecordingThemeLibrary::StateColor(int state) {
  switch (state) {
    case PBS_NORMAL: return RGB(0xE8, 0xE8, 0xF0);
    case PBS_HOT: return RGB(0xC8, 0xE0, 0xFF);
    case PBS_PRESSED: return RGB(0x90, 0xB0, 0xE0);
    case PBS_DISABLED: return RGB(0xD8, 0xD8, 0xD8);
    case PBS_DEFAULTED: return RGB(0xD0, 0xF0, 0xD0);
    default: return RGB(0xFF, 0x00, 0xFF);
  }
}

HRESULT RecordingThemeLibrary::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                                   const RECT*) {
  if (!theme || !rect) return E_FAIL;
  char line[96];
  std::snprintf(line, sizeof line, "background %d %d [%ld,%ld,%ld,%ld]", part, state, static_cast<long>(rect->left),
                static_cast<long>(rect->top), static_cast<long>(rect->right), static_cast<long>(rect->bottom));
  log.push_back(line);
  HBRUSH brush = CreateSolidBrush(StateColor(state));
  FillRect(dc, rect, brush);
  DeleteObject(brush);
  return S_OK;
}

HRESULT RecordingThemeLibrary::DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge,
                                             UINT flags, RECT* content) {
  if (!theme || !dest) return E_FAIL;
  char line[96];
  std::snprintf(line, sizeof line, "edge %d %d %u %u", part, state, edge, flags);
  log.push_back(line);
  RECT r = *dest;
  DrawEdge(dc, &r, edge, flags | BF_ADJUST);
  if (content) *content = r;
  return S_OK;
}

ThemeLibrary* SystemThemeLibrary() {
  static SystemLibrary library;
  return &library;
}

void InstallThemeLibrary(ThemeLibrary* library) { State().installed = library; }
void SetCommonControlsVersion(std::optional<DWORD> version) { State().comctlVersion = version; }
bool CommonControls6() { return State().comctl6; }
bool ThemeEntryPointLoaded(int index) { return index >= 0 && index < kThemeEntryPointCount && Entry(index); }

std::string_view ThemeEntryPointName(int index) {
  return index >= 0 && index < kThemeEntryPointCount ? kEntryPoints[static_cast<std::size_t>(index)]
                                                     : std::string_view{};
}

void ThemeStartup() {
  DetectCommonControls6();
  LoadThemeLibrary();
  UpdateStyleColors();
}

namespace {
// The library's own start-up, as at load time: detection, loading and the style colours; the unloading
// runs at process exit. A later ThemeStartup (the grid library's) finds everything loaded already.
struct StartAtLoad {
  StartAtLoad() {
    ThemeStartup();
    std::atexit([] { UnloadThemeLibrary(); });
  }
} startAtLoad;
}  // namespace

}  // namespace foundation

using foundation::State;

void DetectCommonControls6() {
  // The version record's call either answers a version or fails; a failure counts as version 5.0.
  DWORD version = State().comctlVersion.value_or(0x00050000);
  State().comctl6 = version >= 0x00060000;
}

int LoadThemeLibrary() {
  foundation::WrapperState& s = State();
  if (s.themeModule && s.userModule) return 1;
  if (!s.themeModule && s.installed) {
    s.themeModule = s.installed;
    for (int i = 0; i < foundation::kThemeEntryPointCount; ++i)
      s.entries.set(static_cast<std::size_t>(i), s.themeModule->Exports(foundation::kEntryPoints[static_cast<std::size_t>(i)]));
  }
  if (!s.userModule) {
    s.userModule = true;
    s.trackMouseEvent = true;
  }
  return 1;
}

int UnloadThemeLibrary() {
  foundation::WrapperState& s = State();
  if (!s.themeModule && !s.userModule) return 1;
  s.entries.reset();
  s.trackMouseEvent = false;
  s.themeModule = nullptr;
  s.userModule = false;
  return 1;
}

HTHEME SafeOpenThemeData(HWND hwnd, const WCHAR* classList) {
  auto* lib = foundation::Entry(foundation::kOpenThemeData);
  return lib ? lib->OpenThemeData(hwnd, classList) : nullptr;
}

HRESULT SafeCloseThemeData(HTHEME theme) {
  auto* lib = foundation::Entry(foundation::kCloseThemeData);
  return lib ? lib->CloseThemeData(theme) : E_FAIL;
}

HRESULT SafeDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  auto* lib = foundation::Entry(foundation::kDrawThemeBackground);
  return lib ? lib->DrawThemeBackground(theme, dc, part, state, rect, clip) : E_FAIL;
}

HRESULT SafeDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                          RECT* content) {
  auto* lib = foundation::Entry(foundation::kDrawThemeEdge);
  return lib ? lib->DrawThemeEdge(theme, dc, part, state, dest, edge, flags, content) : E_FAIL;
}

BOOL SafeIsThemeActive() {
  // Without common controls 6 the controls are never themed, whatever the library says.
  if (!State().comctl6) return FALSE;
  auto* lib = foundation::Entry(foundation::kIsThemeActive);
  return lib ? lib->IsThemeActive() : FALSE;
}

BOOL SafeIsAppThemed() {
  auto* lib = foundation::Entry(foundation::kIsAppThemed);
  return lib ? lib->IsAppThemed() : FALSE;
}

BOOL SafeTrackMouseEvent(LPTRACKMOUSEEVENT tme) {
  return State().trackMouseEvent ? TrackMouseEvent(tme) : FALSE;
}

CThemeScope::CThemeScope(HWND hwnd, const WCHAR* classList) {
  if (!SafeIsAppThemed() || !SafeIsThemeActive()) return;
  theme_ = SafeOpenThemeData(hwnd ? hwnd : GetDesktopWindow(), classList);
}

CThemeScope::CThemeScope(HDC dc, const WCHAR* classList) {
  if (!SafeIsAppThemed() || !SafeIsThemeActive()) return;
  HWND hwnd = dc ? WindowFromDC(dc) : nullptr;
  theme_ = SafeOpenThemeData(hwnd ? hwnd : GetDesktopWindow(), classList);
}

CThemeScope::~CThemeScope() { Close(); }

void CThemeScope::Close() {
  if (theme_) SafeCloseThemeData(theme_);
  theme_ = nullptr;
}
