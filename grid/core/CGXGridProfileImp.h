// Grid settings in the application profile (the registry or the INI file the application object names):
// the properties and the text forms of fonts. The style and properties readers are the editing
// features'; this object writes the properties and converts fonts.
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CGXFont;
class CGXProperties;

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
};

class CGXGridProfileImp : public CGXAbstractGridProfileImp {
 public:
  void WriteFontProfile(const CGXFont& font, LPCTSTR section, LPCTSTR entry) override;
  void WritePropertiesProfile(const CGXProperties& properties) override;
  BOOL ReadFontProfile(CGXFont& font, LPCTSTR section, LPCTSTR entry) override;
  BOOL ReadPropertiesProfile(CGXProperties& properties) override;
};

// Whether the application profile has the section: the registry key opens, or the INI file has at least
// one entry in it. FALSE without an application object.
BOOL ProfileSectionExists(LPCTSTR section);

void InstallProfileImp();

// "%ld" of the value.
void WriteProfileLong(LPCTSTR section, LPCTSTR entry, long value);
// "%lu" of the value when included, else the entry is removed; nothing when section or entry is null.
void WriteProfileIncluded(LPCTSTR section, LPCTSTR entry, BOOL included, DWORD value);
// atol of the entry's text when it is not empty, else the default.
long GetProfileLong(LPCTSTR section, LPCTSTR entry, long defaultValue);
