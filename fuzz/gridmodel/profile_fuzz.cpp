// The grid's profile readers over arbitrary INI text: the input becomes the application's INI file, then the
// styles map, a style from every section the text names and the properties (from the grid's section and from
// every other) are read from it. Nothing may crash, and nothing may allocate without bound: every name and
// value the readers take comes from the input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz/FuzzFonts.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/base/IniFile.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CWinApp.h"

namespace {

CWinApp& App() {
  static CWinApp app("ProfileFuzz");
  return app;
}

const std::string& ProfilePath() {
  static const TempDir folder("brim-profile-fuzz");   // removed when the run ends
  static const std::string path = folder / "profile.ini";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();  // fonts read from the profile are measured
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("profile-fuzz"));
  InitGridLibrary();  // the profile implementation, once
  InstallProfileImp();
  App().m_pszProfileName = ProfilePath().c_str();
  plat::SetCurrentApp(&App());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(ProfilePath(), std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  ::WritePrivateProfileString(nullptr, nullptr, nullptr, ProfilePath().c_str());  // the file changed behind the cache

  CGXStylesMap map;
  map.CreateStandardStyles();
  map.AddUserAttribute(51022);
  map.ReadProfile();

  CGXProperties properties;
  properties.AddDefaultUserProperties();
  properties.ReadProfile();
  for (const std::string& section : plat::IniFile::Parse(text).SectionNames()) {
    CGXStyle style;
    style.ReadProfile(section.c_str(), &map);
    style.ReadProfile(section.c_str(), nullptr);
    CGXProperties other;
    other.m_sSection = section.c_str();
    other.ReadProfile();
  }
  return 0;
}
