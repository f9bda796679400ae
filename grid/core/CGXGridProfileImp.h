// Grid settings in the application profile (the registry key or the INI file the application object
// names): the properties, single styles, the styles map's base styles and the text forms of fonts. Every
// value is a text entry; an entry that is missing or empty leaves its setting as it is (or, for a style,
// not included).
#pragma once

#include <optional>

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/ProfileBatch.h"

class CGXFont;
class CGXProperties;
class CGXStyle;
class CGXStylesMap;

class CGXAbstractGridProfileImp : public CGXImpBase {
 public:
  // Nothing when section or entry is null.
  virtual void WriteFontProfile(const CGXFont& font, LPCTSTR section, LPCTSTR entry) = 0;
  virtual void WritePropertiesProfile(const CGXProperties& properties) = 0;
  // TRUE when the entry exists and is not empty; the font is then replaced by the parsed text.
  virtual BOOL ReadFontProfile(CGXFont& font, LPCTSTR section, LPCTSTR entry) = 0;
  // FALSE, changing nothing, when the properties' section is not in the profile. Entries that are missing
  // or empty keep the current setting.
  virtual BOOL ReadPropertiesProfile(CGXProperties& properties) = 0;
  // One entry per attribute; an attribute the style does not include has its entry removed. The base
  // style is named through the styles map, so it is written only with one.
  virtual void WriteStyleProfile(const CGXStyle& style, LPCTSTR section, const CGXStylesMap* stylesMap) = 0;
  // Empties the style, then takes every entry that is present and not empty. FALSE without a section.
  virtual BOOL ReadStyleProfile(CGXStyle& style, LPCTSTR section, const CGXStylesMap* stylesMap) = 0;
  // Replaces the map's styles in the profile: registry subkeys "section\\name", or in an INI file an entry
  // "name=1" in the section and the style in section "section.name". A style known by a string resource is
  // named "#id".
  virtual void WriteStylesMapProfile(const CGXStylesMap& stylesMap) = 0;
  // Registers every style found, then completes the standard style with the standard defaults. FALSE,
  // changing nothing, when the profile holds no styles.
  virtual BOOL ReadStylesMapProfile(CGXStylesMap& stylesMap) = 0;
};

class CGXGridProfileImp : public CGXAbstractGridProfileImp {
 public:
  void WriteFontProfile(const CGXFont& font, LPCTSTR section, LPCTSTR entry) override;
  void WritePropertiesProfile(const CGXProperties& properties) override;
  BOOL ReadFontProfile(CGXFont& font, LPCTSTR section, LPCTSTR entry) override;
  BOOL ReadPropertiesProfile(CGXProperties& properties) override;
  void WriteStyleProfile(const CGXStyle& style, LPCTSTR section, const CGXStylesMap* stylesMap) override;
  BOOL ReadStyleProfile(CGXStyle& style, LPCTSTR section, const CGXStylesMap* stylesMap) override;
  void WriteStylesMapProfile(const CGXStylesMap& stylesMap) override;
  BOOL ReadStylesMapProfile(CGXStylesMap& stylesMap) override;
};

// Whether the application profile has the section: the registry key opens, or the INI file has at least
// one entry in it. FALSE without an application object.
BOOL ProfileSectionExists(LPCTSTR section);

void InstallProfileImp();

// Every profile writer holds one while it writes: in an INI file profile, all its entries reach the file in
// one replace when the outermost writer returns (a failure leaves the file as it was); nothing in registry
// mode or without an application object.
class CGXProfileWriteScope {
 public:
  CGXProfileWriteScope();
  CGXProfileWriteScope(const CGXProfileWriteScope&) = delete;
  CGXProfileWriteScope& operator=(const CGXProfileWriteScope&) = delete;

 private:
  std::optional<plat::ProfileBatch> m_batch;
};

// "%ld" of the value.
void WriteProfileLong(LPCTSTR section, LPCTSTR entry, long value);
// "%lu" of the value when included, else the entry is removed; nothing when section or entry is null.
void WriteProfileIncluded(LPCTSTR section, LPCTSTR entry, BOOL included, DWORD value);
// atol of the entry's text when it is not empty, else the default.
long GetProfileLong(LPCTSTR section, LPCTSTR entry, long defaultValue);
