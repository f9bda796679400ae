// The provider behind the visual-style calls of VisualStyles.h: "not themed" by default; a recording provider
// for tests answers as a themed desktop would, counts opens and closes and logs what was drawn.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/VisualStyles.h"

namespace plat {

class ThemeProvider {
 public:
  virtual ~ThemeProvider() = default;
  virtual HTHEME Open(HWND hwnd, const std::wstring& classList) = 0;
  virtual HRESULT Close(HTHEME theme) = 0;
  virtual HRESULT DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect) = 0;
  virtual HRESULT DrawEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge, UINT flags) = 0;
  virtual bool Active() const = 0;
};

// Null restores the default "not themed" provider. The caller keeps ownership.
void SetThemeProvider(ThemeProvider* provider);
ThemeProvider& CurrentThemeProvider();

class RecordingThemeProvider : public ThemeProvider {
 public:
  HTHEME Open(HWND hwnd, const std::wstring& classList) override;
  HRESULT Close(HTHEME theme) override;
  HRESULT DrawBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect) override;
  HRESULT DrawEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge, UINT flags) override;
  bool Active() const override { return true; }

  int opens = 0;
  int closes = 0;
  // "background BUTTON 1 3", "edge BUTTON 1 1"; classes in upper-case ASCII.
  std::vector<std::string> log;

 private:
  std::vector<std::string> open_;  // class of each open theme; the handle is its index + 1
  const std::string* ClassOf(HTHEME theme) const;
};

}  // namespace plat
