#include "grid/controls/GXCellControls.h"

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXDaoBitmap.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/CGXStatic.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/controls/GXControlBitmaps.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXStylesMap.h"

#include <utility>

namespace {

template <typename Control, typename... Args>
void Register(UINT id, Args... args) {
  CGXControlFactory::RegisterControlCreator(id, [=](CGXGridCore* g) { return new Control(g, args...); });
}

}  // namespace

void GXRegisterCellControls() {
  GXRegisterStaticControls();  // the cells' texts too
  gx::RegisterControlBitmaps();
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterCellControls))) return;
  Register<CGXEditControl>(GX_IDS_CTRL_EDIT, UINT{GX_IDS_CTRL_EDIT});
  Register<CGXHotSpotEdit>(GX_IDS_CTRL_HOTSPOT, UINT{GX_IDS_CTRL_HOTSPOT});
  Register<CGXSpinEdit>(GX_IDS_CTRL_SPINEDIT, UINT{GX_IDS_CTRL_SPINEDIT});
  Register<CGXVScrollEdit>(GX_IDS_CTRL_SCROLLEDIT, UINT{GX_IDS_CTRL_SCROLLEDIT});
  Register<CGXPasswordControl>(GX_IDS_CTRL_PASSWORD, UINT{GX_IDS_CTRL_PASSWORD});
  for (const auto& [id, style] : {std::pair{GX_IDS_CTRL_CBS_DROPDOWN, GX_CBS_DROPDOWN_STYLE},
                                  std::pair{GX_IDS_CTRL_CBS_DROPDOWNLIST, GX_CBS_DROPDOWNLIST_STYLE}}) {
    CGXControlFactory::RegisterControlCreator(id, [id = id, style = style](CGXGridCore* g) {
      auto* box = new CGXComboBoxWnd(g);
      box->CreateComboBox(style, id);
      box->m_bFillWithChoiceList = TRUE;
      box->m_bWantArrowKeys = FALSE;
      return static_cast<CGXControl*>(box);
    });
  }
  Register<CGXCheckBox>(GX_IDS_CTRL_CHECKBOX, FALSE, 0u, 0u);
  Register<CGXCheckBox>(GX_IDS_CTRL_CHECKBOX3D, TRUE, 0u, 0u);
  Register<CGXCheckBoxEx>(GX_IDS_CTRL_CHECKBOX_EX, FALSE, 0u, 0u);
  Register<CGXCheckBoxEx>(GX_IDS_CTRL_CHECKBOX3D_EX, TRUE, 0u, 0u);
  Register<CGXRadioButton>(GX_IDS_CTRL_RADIO, FALSE);
  Register<CGXRadioButton>(GX_IDS_CTRL_RADIO3D, TRUE);
  Register<CGXRadioButtonEx>(GX_IDS_CTRL_RADIO_EX, FALSE);
  Register<CGXRadioButtonEx>(GX_IDS_CTRL_RADIO3D_EX, TRUE);
  Register<CGXPushbutton>(GX_IDS_CTRL_PUSHBTN);
  Register<CGXDaoBitmap>(GX_IDS_CTRL_DAOBITMAP);
  Register<CGXProgressCtrl>(GX_IDS_CTRL_PROGRESS);
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_RICHEDIT, [](CGXGridCore* g) {
    auto* rich = new CGXRichEditCtrl(g, GX_IDS_CTRL_RICHEDIT);
    rich->CreateEditWindow(ES_MULTILINE, GX_IDS_CTRL_RICHEDIT);
    return rich;
  });
  Register<CGXListBox>(GX_IDS_CTRL_LISTBOX, UINT{GX_IDS_CTRL_LISTBOX});
  CGXControlFactory::AddUserAttributeRegistrar([](CGXStylesMap& map) {
    map.AddUserAttribute(GX_IDS_UA_DAOBITMAP);
    CGXProgressCtrl::RegisterUserAttributes(&map);
    CGXRadioButtonEx::RegisterUserAttributes(&map);
    CGXCheckBox::RegisterUserAttributes(&map);
    CGXSpinEdit::RegisterUserAttributes(&map);
  });
}
