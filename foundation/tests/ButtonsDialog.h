// A dialog with each owner-draw button kind, shared by the button tests, the screenshots and the on-screen
// demo: bitmap buttons in the alignments, a flat one, a disabled one, a menu button, a colour well button and a
// colour well beside a standard default OK button and an edit.
#pragma once

#include <string>
#include <vector>

#include "foundation/SECBitmapButton.h"
#include "foundation/SECColorWell.h"
#include "foundation/SECMenuButton.h"
#include "foundation/SECWellButton.h"
#include "platform/framework/CDialog.h"

namespace foundation::test {

enum : UINT {
  IDD_BUTTONS = 700,
  IDB_TEST = 3001,
  IDR_TEST_MENU = 3100,
  ID_MENU_FIRST = 4001,
  ID_MENU_SECOND = 4002,
  IDC_BMP_LEFT = 2001,
  IDC_BMP_TOP,
  IDC_BMP_ONLY,
  IDC_BMP_RIGHT,
  IDC_FLAT,
  IDC_DISABLED,
  IDC_MENU,
  IDC_EDIT,
  IDC_WELL_BUTTON,
  IDC_WELL_PLACE,
  IDC_SPARE,
};

// Registers the dialog template, the test bitmap (16 × 16, 4 bits, red square with a black border on light
// grey) and the menu in the test instance module.
void RegisterButtonsDialog();

class CButtonsDlg : public CDialog {
 public:
  CButtonsDlg() : CDialog(IDD_BUTTONS) {}

  SECBitmapButton m_left, m_top, m_only, m_right, m_flat, m_disabled;
  SECMenuButton m_menu;
  SECWellButton m_wellButton;
  SECColorWell m_well;
  std::vector<std::string> events;  // "click <id>", "command <id>", "colour <id> <rrggbb>"

 protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  afx_msg LRESULT OnColorChanged(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};

}  // namespace foundation::test
