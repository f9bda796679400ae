#include "grid/controls/GXCellControls.h"

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXDaoBitmap.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/CGXStatic.h"
#include "grid/controls/GXControlBitmaps.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXStylesMap.h"

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
  CGXControlFactory::AddUserAttributeRegistrar([](CGXStylesMap& map) {
    map.AddUserAttribute(GX_IDS_UA_DAOBITMAP);
    CGXProgressCtrl::RegisterUserAttributes(&map);
    CGXRadioButtonEx::RegisterUserAttributes(&map);
    CGXCheckBox::RegisterUserAttributes(&map);
  });
}
