// The process-wide table of font face names. Fonts keep a 10-bit face id instead of the name; ids are
// handed out in registration order, "Arial" first (id 0), at most 1023 of them (0..1022); 1023 means "no
// face".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdiapi.h"

struct GXFontFaceEntry {
  static constexpr std::size_t kMaxName = 66;  // bytes of name kept, so that name and terminator fit 67

  std::string name;
  BYTE faceLength = 0;  // length of the face part of a "face (script)" description, else 0
  BYTE pitchAndFamily = 0;
  BYTE charSet = 0;
  WORD id = 1023;       // 1023 until an id is given
  BYTE fontType = 0;
  bool enumerated = false;
  bool plainFace = false;
};

class CGXFontRegistry {
 public:
  static constexpr UINT kNoFace = 1023;
  static constexpr UINT kMaxIds = 1023;

  static CGXFontRegistry& Instance();

  // The id of a face, registered when new. An empty name, or a new name once every id is given, gives 1023.
  // Names longer than an entry holds are cut. faceLength marks a "face (script)" description.
  UINT AddFaceName(std::string_view name, BYTE pitchAndFamily = 0, BYTE charSet = 0, BYTE faceLength = 0);
  // The script name the system reports for a character set; empty when none was enumerated.
  std::string GetScriptName(BYTE charSet) const { return m_scripts[charSet]; }
  void SetScriptName(BYTE charSet, std::string_view name) { m_scripts[charSet] = std::string(name.substr(0, 31)); }
  // The entry of an id, or null when the id is not below the id count.
  const GXFontFaceEntry* GetFaceEntry(UINT id) const;
  BYTE GetFontFaceCharSet(UINT id) const;
  UINT GetIdCount() const { return static_cast<UINT>(m_ids.size()); }
  int GetLogPixelsY() const { return m_logPixelsY; }
  int GetLogPixelsX() const { return m_logPixelsX; }

  CGXFontRegistry(const CGXFontRegistry&) = delete;
  CGXFontRegistry& operator=(const CGXFontRegistry&) = delete;

 private:
  CGXFontRegistry();
  GXFontFaceEntry* Find(std::string_view name);
  GXFontFaceEntry* Insert(std::string_view name, BYTE pitchAndFamily, BYTE charSet, BYTE faceLength);
  void Enumerate();
  static int EnumProc(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD type, LPARAM param);

  // Faces sorted by name (case-sensitive byte order), each entry owned here.
  std::vector<std::unique_ptr<GXFontFaceEntry>> m_faces;
  std::vector<GXFontFaceEntry*> m_ids;
  std::string m_scripts[256];
  std::string m_lastFace;  // the previous face of the enumeration
  int m_logPixelsY = 96;
  int m_logPixelsX = 96;
};
