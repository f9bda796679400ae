#include "foundation/tests/ButtonsDialog.h"

#include <cstdio>
#include <deque>

#include "foundation/tests/FoundationTest.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/window/Menus.h"

namespace foundation::test {
namespace {

constexpr DWORD kOwnerDraw = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

const DialogItemTemplate kItems[] = {
    {"Button", "Apply", IDC_BMP_LEFT, kOwnerDraw | WS_GROUP, 0, 7, 7, 60, 16},
    {"Button", "Open", IDC_BMP_TOP, kOwnerDraw, 0, 72, 7, 40, 30},
    {"Button", "", IDC_BMP_ONLY, kOwnerDraw, 0, 117, 7, 20, 16},
    {"Button", "Next", IDC_BMP_RIGHT, kOwnerDraw, 0, 142, 7, 50, 16},
    {"Button", "Flat", IDC_FLAT, kOwnerDraw, 0, 7, 42, 50, 16},
    {"Button", "Off", IDC_DISABLED, kOwnerDraw | WS_DISABLED, 0, 62, 42, 50, 16},
    {"Button", "Menu", IDC_MENU, kOwnerDraw, 0, 117, 42, 50, 16},
    {"Edit", "text", IDC_EDIT, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 7, 66, 60, 12},
    {"Button", "", IDC_WELL_BUTTON, kOwnerDraw, 0, 142, 86, 50, 14},
    {"Button", "Spare", IDC_SPARE, WS_TABSTOP | BS_OWNERDRAW, 0, 72, 66, 50, 14},
    {"Button", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 142, 66, 50, 14},
};

const DialogTemplate kButtons{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                              0, 0, 0, 200, 160, "Buttons", "MS Shell Dlg", 8, kItems};

void AppendUtf16(std::vector<BYTE>& out, const char* text) {
  for (const char* p = text;; ++p) {
    out.push_back(static_cast<BYTE>(*p));
    out.push_back(0);
    if (!*p) break;
  }
}
void AppendWord(std::vector<BYTE>& out, WORD w) {
  out.push_back(static_cast<BYTE>(w & 0xFF));
  out.push_back(static_cast<BYTE>(w >> 8));
}

std::vector<BYTE> MenuTemplate() {
  std::vector<BYTE> m;
  AppendWord(m, 0);
  AppendWord(m, 0);
  AppendWord(m, MF_POPUP | MF_END);
  AppendUtf16(m, "Menu");
  AppendWord(m, 0);
  AppendWord(m, static_cast<WORD>(ID_MENU_FIRST));
  AppendUtf16(m, "First");
  AppendWord(m, MF_END);
  AppendWord(m, static_cast<WORD>(ID_MENU_SECOND));
  AppendUtf16(m, "Second");
  return m;
}

std::deque<std::vector<BYTE>>& Menus() {
  static std::deque<std::vector<BYTE>> kept;
  return kept;
}

}  // namespace

void RegisterButtonsDialog() {
  plat::RegisterDialogTemplate(AfxGetInstanceHandle(), IDD_BUTTONS, kButtons);
  RegisterTestBitmap(IDB_TEST, 4, {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255),
                                   RGB(255, 0, 0)},
                     {"2222222222222222", "2222222222222222", "2200000000000022", "2204444444444022",
                      "2204444444444022", "2204444444444022", "2204444333444022", "2204444333444022",
                      "2204444333444022", "2204444444444022", "2204444444444022", "2204444444444022",
                      "2200000000000022", "2211111111111122", "2222222222222222", "2222222222222222"});
  Menus().push_back(MenuTemplate());
  plat::ResourceTable::AddResource(AfxGetInstanceHandle(), RT_MENU, MAKEINTRESOURCE(IDR_TEST_MENU), Menus().back());
}

BOOL CButtonsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_left.AttachButton(IDC_BMP_LEFT, SEC_BMP_LEFT, IDB_TEST, this);
  m_top.AttachButton(IDC_BMP_TOP, SEC_BMP_TOP, IDB_TEST, this);
  m_only.AttachButton(IDC_BMP_ONLY, SEC_BMP_ONLY, IDB_TEST, this);
  m_right.AttachButton(IDC_BMP_RIGHT, SEC_BMP_RIGHT, IDB_TEST, this);
  m_flat.AttachButton(IDC_FLAT, SEC_BMP_LEFT, IDB_TEST, this);
  m_flat.SetFlat(TRUE);
  m_disabled.AttachButton(IDC_DISABLED, SEC_BMP_LEFT, IDB_TEST, this);
  m_menu.AttachButton(IDC_MENU, IDR_TEST_MENU, this);
  m_wellButton.AttachButton(IDC_WELL_BUTTON, this);
  m_wellButton.SetColor(RGB(0, 128, 128));
  CRect well;
  m_well.SetGrid(4, 5);
  m_well.SetHasOtherCell(TRUE);
  m_well.CalcSize(well, this, 7, 86, TRUE);
  m_well.Create(WS_VISIBLE | WS_TABSTOP, well, this, IDC_WELL_PLACE, TRUE);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CButtonsDlg, CDialog)
  ON_MESSAGE(SEC_WM_COLORCHANGED, OnColorChanged)
END_MESSAGE_MAP()

LRESULT CButtonsDlg::OnColorChanged(WPARAM wParam, LPARAM lParam) {
  char text[48];
  std::snprintf(text, sizeof text, "colour %u %06x", static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
  events.push_back(text);
  return 0;
}

BOOL CButtonsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (lParam && HIWORD(wParam) == 0 /* BN_CLICKED */) events.push_back("click " + std::to_string(id));
  else if (!lParam) events.push_back("command " + std::to_string(id));
  if (id == IDOK || id == IDCANCEL) return CDialog::OnCommand(wParam, lParam);
  return TRUE;
}

}  // namespace foundation::test
