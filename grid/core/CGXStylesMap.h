// The registry that a grid shares with its styles: the named base styles that styles inherit from by
// id, the three standard styles, the names of the cell-control types and the user attributes that
// controls define, each with a name and an editing style.
//
// Base-style ids are handed out in registration order from 0: in a new map "Standard" is 0, "Column
// Header" 1 and "Row Header" 2. Names of styles registered from a string resource come from that
// resource, "STYLE%u" of its id when it is missing; user attributes are named "UA%u" likewise.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "grid/core/CGXStyle.h"
#include "grid/core/CGXHashMap.h"

struct GXBaseStyleEntry {
  WORD id = 0;
  UINT resourceId = 0;  // 0 when registered by a plain name
  CString name;
  std::unique_ptr<CGXStyle> style;
  DWORD flags = 0;  // 1 for the standard styles
};

struct GXUserAttributeEntry {
  WORD id = 0;
  CString name;
  std::unique_ptr<CGXStyle> style;  // how its value is edited
};

class CGXStylesMap : public CObject {
  DECLARE_SERIAL(CGXStylesMap)

 public:
  using BaseStyles = std::map<WORD, std::unique_ptr<GXBaseStyleEntry>>;
  using UserAttributes = std::map<WORD, std::unique_ptr<GXUserAttributeEntry>>;
  using ControlNames = std::map<UINT, CString>;

  explicit CGXStylesMap(CRuntimeClass* styleClass = nullptr);
  // Copies through the installed parameter copy (empty without it).
  CGXStylesMap(const CGXStylesMap& other);
  CGXStylesMap& operator=(const CGXStylesMap& other);
  ~CGXStylesMap() override;

  // The archive form of the installed document serialisation; nothing without it.
  void Serialize(CArchive& ar) override;
  // The base styles in the application profile under the map's section, through the installed profile
  // implementation; nothing (FALSE) without it. Reading registers what it finds.
  void WriteProfile() const;
  BOOL ReadProfile();

  WORD RegisterStyle(LPCTSTR name, const CGXStyle& style, DWORD flags = 0);
  WORD RegisterStyleFromResource(UINT nID, const CGXStyle& style, DWORD flags = 0);
  BOOL LookupStyle(WORD id, CGXStyle*& style) const;
  // 0 when unknown (0 is also the first registered style's id).
  WORD GetIdFromName(LPCTSTR name) const;
  WORD GetIdFromResourceId(UINT nID) const;
  // The name and its resource id; null and 0 for an unknown id.
  LPCTSTR GetStyleName(WORD id, UINT& nID) const;

  // Enumeration of the registered base styles in id order.
  POSITION GetStartPosition() const;
  void GetNextStyle(POSITION& pos, WORD& id, CString& name, UINT& nID, const CGXStyle*& style) const;

  void CreateStandardStyles();
  WORD GetStandardStyle() const { return m_wStyleStandard; }
  WORD GetColHeaderStyle() const { return m_wStyleColHeader; }
  WORD GetRowHeaderStyle() const { return m_wStyleRowHeader; }
  // Looks up and keeps the ids of the three standard styles by their resource ids.
  void UpdateStandardStyleIds();

  // Records a control type's name from its string resource; a missing string throws the resource exception.
  void AddControl(UINT controlId);
  const ControlNames& GetControlNames() const { return m_controlNames; }
  ControlNames& GetControlNames() { return m_controlNames; }

  // Registers a user attribute once, named by its string resource (missing: resource exception).
  const GXUserAttributeEntry& AddUserAttribute(WORD id, const CGXStyle* editStyle = nullptr);
  const UserAttributes& GetUserAttributeMap() const { return m_userAttributes; }

  void DeleteContents();

  CRuntimeClass* GetStyleClass() const { return m_pStyleClass; }
  // A new, empty style of the map's style class.
  std::unique_ptr<CGXStyle> CreateStyle() const;
  const CString& GetSection() const { return m_sSection; }
  WORD GetNextId() const { return m_nNextId; }

  // For the document serialisation and the parameter copy, which rebuild the tables directly.
  const BaseStyles& GetBaseStyles() const { return m_baseStyles; }
  void SetSection(const CString& s) { m_sSection = s; }
  void SetNextId(WORD id) { m_nNextId = id; }
  void SetStyleClass(CRuntimeClass* c) { m_pStyleClass = c ? c : RUNTIME_CLASS(CGXStyle); }
  // Enters an entry (replacing one of the same id) in the id, name and resource tables.
  void AddEntry(std::unique_ptr<GXBaseStyleEntry> entry);
  void AddUserAttributeEntry(std::unique_ptr<GXUserAttributeEntry> entry);
  const std::map<std::string, WORD>& GetNameTable() const { return m_idsByName; }

 private:
  void StoreEntry(WORD id, UINT resourceId, const CString& name, const CGXStyle& style, DWORD flags);
  WORD TakeNextId();

  WORD m_wStyleStandard = 0;
  WORD m_wStyleColHeader = 0;
  WORD m_wStyleRowHeader = 0;
  CRuntimeClass* m_pStyleClass;
  BaseStyles m_baseStyles;
  std::map<UINT, WORD> m_idsByResource;
  std::map<std::string, WORD> m_idsByName;
  WORD m_nNextId = 0;
  ControlNames m_controlNames;
  UserAttributes m_userAttributes;
  CString m_sSection = "Styles";
};
