// CEditModelName: asks the name under which a model is saved into the host's library.
#pragma once

#include "platform/framework/CDialog.h"

class CEditModelName : public CDialog {
  DECLARE_DYNAMIC(CEditModelName)

public:
  enum : int { IDD = 1175, IDC_NAME = 1190 };
  static constexpr int MaxNameLength = 64;

  explicit CEditModelName(const char* initialName, CWnd* parent = nullptr);

  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Refuses a name with a space, a double quote, a tab, a carriage return or a line feed; an empty name passes.
  void OnOK() override;

  CString m_Name;
};
