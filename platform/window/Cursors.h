// Cursors: the standard set, cursors from module resources, the current cursor and its visibility.
//
// Every loaded cursor is shared: loading the same one twice gives the same handle, and destroying it is
// harmless (it stays usable), as with the classic shared cursors. The presenter maps a cursor to a desktop
// cursor shape by its standard id; resource cursors show as the arrow unless they carry a standard id.
#pragma once

#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

class Cursors {
 public:
  static Cursors& Instance();

  HCURSOR Load(HINSTANCE instance, LPCSTR name);
  HCURSOR Set(HCURSOR cursor);
  HCURSOR Current() const { return current_; }
  // The standard id (32512...) of a cursor, 0 for a resource cursor without one or an unknown handle.
  UINT StandardId(HCURSOR cursor) const;
  // "IDC_ARROW", "resource 105 of grid", ... for test output.
  std::string Describe(HCURSOR cursor) const;
  bool IsCursor(HCURSOR cursor) const;
  int ShowCount(int delta);  // ShowCursor
  void Reset();

 private:
  struct Entry {
    HINSTANCE module;
    std::string name;  // "#id" for integer names
    UINT standardId;
  };
  std::vector<Entry> entries_;
  HCURSOR current_ = nullptr;
  int showCount_ = 0;
};

}  // namespace plat
