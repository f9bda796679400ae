#include "platform/window/WindowClassRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace plat {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string NameFromParam(LPCSTR name) {
  if (!name) return {};
  if (IS_INTRESOURCE(name)) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    return buf;
  }
  return name;
}

WindowClassRegistry& WindowClassRegistry::Instance() {
  static WindowClassRegistry registry;
  return registry;
}

ATOM WindowClassRegistry::Register(const WNDCLASSEX& wc, bool system) {
  if (!wc.lpszClassName || !wc.lpfnWndProc || wc.cbClsExtra < 0 || wc.cbWndExtra < 0) return 0;
  std::string name = NameFromParam(wc.lpszClassName);
  if (name.empty()) return 0;
  bool global = (wc.style & CS_GLOBALCLASS) != 0;
  for (const auto& c : classes_) {
    if (!SameName(c->name, name) || c->system) continue;
    if (c->instance == wc.hInstance || (global && (c->style & CS_GLOBALCLASS))) return 0;
  }
  auto cls = std::make_shared<WindowClass>();
  cls->name = name;
  cls->atom = nextAtom_++;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->classExtra.assign(static_cast<std::size_t>(wc.cbClsExtra), 0);
  cls->windowExtra = wc.cbWndExtra;
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->iconSmall = wc.hIconSm;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) cls->menuName = wc.lpszMenuName;
  cls->system = system;
  classes_.push_back(std::move(cls));
  return classes_.back()->atom;
}

std::shared_ptr<WindowClass> WindowClassRegistry::Find(LPCSTR nameParam, HINSTANCE instance) const {
  if (!nameParam) return nullptr;
  std::shared_ptr<WindowClass> global, system;
  if (IS_INTRESOURCE(nameParam)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameParam));
    for (const auto& c : classes_)
      if (c->atom == atom) return c;
    return nullptr;
  }
  std::string name = nameParam;
  for (const auto& c : classes_) {
    if (!SameName(c->name, name)) continue;
    if (c->system) {
      system = c;
    } else if (c->instance == instance) {
      return c;
    } else if (c->style & CS_GLOBALCLASS) {
      global = c;
    } else if (!instance) {
      // A null instance means "the process": any application class of that name will do.
      if (!global) global = c;
    }
  }
  return global ? global : system;
}

bool WindowClassRegistry::Unregister(LPCSTR nameParam, HINSTANCE instance) {
  if (!nameParam) return false;
  const bool byAtom = IS_INTRESOURCE(nameParam);
  const ATOM atom = byAtom ? static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameParam)) : 0;
  std::string name = byAtom ? std::string() : std::string(nameParam);
  for (auto it = classes_.begin(); it != classes_.end(); ++it) {
    const auto& c = *it;
    if (c->system || (byAtom ? c->atom != atom : !SameName(c->name, name))) continue;
    if (c->instance != instance && !(c->style & CS_GLOBALCLASS)) continue;
    if (c->windows > 0) return false;
    classes_.erase(it);
    return true;
  }
  return false;
}

void WindowClassRegistry::RemoveApplicationClasses() {
  std::erase_if(classes_, [](const auto& c) { return !c->system; });
}

}  // namespace plat
