#include "platform/controls/ThemeProvider.h"

#include <cctype>

namespace plat {
namespace {

class NotThemed : public ThemeProvider {
 public:
  HTHEME Open(HWND, const std::wstring&) override { return nullptr; }
  HRESULT Close(HTHEME) override { return E_FAIL; }
  HRESULT DrawBackground(HTHEME, HDC, int, int, const RECT&) override { return E_FAIL; }
  HRESULT DrawEdge(HTHEME, HDC, int, int, const RECT&, UINT, UINT) override { return E_FAIL; }
  bool Active() const override { return false; }
};

ThemeProvider*& Installed() {
  static ThemeProvider* provider = nullptr;
  return provider;
}

}  // namespace

void SetThemeProvider(ThemeProvider* provider) { Installed() = provider; }

ThemeProvider& CurrentThemeProvider() {
  static NotThemed fallback;
  return Installed() ? *Installed() : fallback;
}

HTHEME RecordingThemeProvider::Open(HWND, const std::wstring& classList) {
  ++opens;
  std::string name;
  for (wchar_t c : classList) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c & 0x7F)));
  open_.push_back(name);
  return reinterpret_cast<HTHEME>(open_.size());
}

const std::string* RecordingThemeProvider::ClassOf(HTHEME theme) const {
  const auto i = reinterpret_cast<std::uintptr_t>(theme);
  return i >= 1 && i <= open_.size() && !open_[i - 1].empty() ? &open_[i - 1] : nullptr;
}

HRESULT RecordingThemeProvider::Close(HTHEME theme) {
  if (!ClassOf(theme)) return E_INVALIDARG;
  ++closes;
  open_[reinterpret_cast<std::uintptr_t>(theme) - 1].clear();
  return S_OK;
}

HRESULT RecordingThemeProvider::DrawBackground(HTHEME theme, HDC, int part, int state, const RECT&) {
  const std::string* cls = ClassOf(theme);
  if (!cls) return E_INVALIDARG;
  log.push_back("background " + *cls + " " + std::to_string(part) + " " + std::to_string(state));
  return S_OK;
}

HRESULT RecordingThemeProvider::DrawEdge(HTHEME theme, HDC, int part, int state, const RECT&, UINT, UINT) {
  const std::string* cls = ClassOf(theme);
  if (!cls) return E_INVALIDARG;
  log.push_back("edge " + *cls + " " + std::to_string(part) + " " + std::to_string(state));
  return S_OK;
}

}  // namespace plat

HTHEME OpenThemeData(HWND hwnd, const wchar_t* classList) {
  return plat::CurrentThemeProvider().Open(hwnd, classList ? classList : L"");
}

HRESULT CloseThemeData(HTHEME theme) { return plat::CurrentThemeProvider().Close(theme); }

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT*) {
  if (!rect) return E_POINTER;
  return plat::CurrentThemeProvider().DrawBackground(theme, dc, part, state, *rect);
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect) {
  if (!rect) return E_POINTER;
  const HRESULT hr = plat::CurrentThemeProvider().DrawEdge(theme, dc, part, state, *rect, edge, flags);
  if (SUCCEEDED(hr) && contentRect) *contentRect = *rect;
  return hr;
}

BOOL IsThemeActive() { return plat::CurrentThemeProvider().Active() ? TRUE : FALSE; }
BOOL IsAppThemed() { return plat::CurrentThemeProvider().Active() ? TRUE : FALSE; }
