#include "platform/window/Cursors.h"

#include "platform/base/ResourceTable.h"
#include "platform/window/WindowClassRegistry.h"

namespace plat {

namespace {
struct StandardCursor {
  UINT id;
  const char* name;
};
constexpr StandardCursor kStandard[] = {
    {32512, "IDC_ARROW"},    {32513, "IDC_IBEAM"},    {32514, "IDC_WAIT"},     {32515, "IDC_CROSS"},
    {32516, "IDC_UPARROW"},  {32642, "IDC_SIZENWSE"}, {32643, "IDC_SIZENESW"}, {32644, "IDC_SIZEWE"},
    {32645, "IDC_SIZENS"},   {32646, "IDC_SIZEALL"},  {32648, "IDC_NO"},       {32649, "IDC_HAND"},
    {32650, "IDC_APPSTARTING"},
};
// Cursor handles are small tokens: index + 1 above a base that keeps them apart from other handle kinds.
constexpr std::uintptr_t kCursorBase = 0x00C00000;
}  // namespace

Cursors& Cursors::Instance() {
  static Cursors cursors;
  return cursors;
}

HCURSOR Cursors::Load(HINSTANCE instance, LPCSTR nameParam) {
  if (!nameParam) return nullptr;
  std::string name = NameFromParam(nameParam);
  UINT standard = 0;
  if (IS_INTRESOURCE(nameParam)) {
    UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(nameParam));
    for (const StandardCursor& s : kStandard)
      if (s.id == id) standard = id;
  }
  if (instance) {
    // A module's own cursor must exist among its resources.
    if (!FindResource(instance, nameParam, RT_CURSOR)) return nullptr;
    standard = 0;
  } else if (!standard) {
    return nullptr;
  }
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].module == instance && SameName(entries_[i].name, name))
      return reinterpret_cast<HCURSOR>(kCursorBase + i + 1);
  entries_.push_back({instance, name, standard});
  return reinterpret_cast<HCURSOR>(kCursorBase + entries_.size());
}

bool Cursors::IsCursor(HCURSOR cursor) const {
  auto v = reinterpret_cast<std::uintptr_t>(cursor);
  return v > kCursorBase && v <= kCursorBase + entries_.size();
}

HCURSOR Cursors::Set(HCURSOR cursor) {
  HCURSOR old = current_;
  if (cursor && !IsCursor(cursor)) return old;
  current_ = cursor;
  return old;
}

UINT Cursors::StandardId(HCURSOR cursor) const {
  if (!IsCursor(cursor)) return 0;
  return entries_[reinterpret_cast<std::uintptr_t>(cursor) - kCursorBase - 1].standardId;
}

std::string Cursors::Describe(HCURSOR cursor) const {
  if (!cursor) return "none";
  if (!IsCursor(cursor)) return "invalid";
  const Entry& e = entries_[reinterpret_cast<std::uintptr_t>(cursor) - kCursorBase - 1];
  for (const StandardCursor& s : kStandard)
    if (s.id == e.standardId) return s.name;
  return "resource " + e.name + " of " + std::string(ResourceTable::ModuleName(e.module));
}

int Cursors::ShowCount(int delta) {
  showCount_ += delta;
  return showCount_;
}

void Cursors::Reset() {
  current_ = nullptr;
  showCount_ = 0;
}

}  // namespace plat
