// The insert-object chooser, beside the common dialogs: the user picks the type of a new embedded object
// from the registered object servers' types.
//
// Headless the automation provider answers a SystemUiKind::InsertObject request (caption, the types' names
// as its buttons): IDOK with the chosen type's program identifier (or its name) as the answer's text,
// IDCANCEL (2) to cancel; any other answer, or an identifier that names none of the types, is a failure.
// On screen the platform's chooser window lists the types' names.
#pragma once

#include <string>
#include <vector>

#include "platform/framework/CommonDialogs.h"

struct InsertObjectType {
  std::string progId;
  std::string name;  // the user-type name shown
};

class CInsertObjectDialog : public CCommonDialog {
 public:
  CInsertObjectDialog(std::vector<InsertObjectType> types, LPCSTR caption, CWnd* pParentWnd = nullptr);
  // IDOK with a type chosen, IDCANCEL, or -1 when the dialog could not offer or understand a choice.
  INT_PTR DoModal() override;
  // The chosen type's program identifier (after IDOK).
  CString GetProgId() const { return CString(m_chosen.c_str()); }

  HWND m_hwndOwner = nullptr;

 private:
  std::vector<InsertObjectType> m_types;
  std::string m_caption;
  std::string m_chosen;
};
