#include "grid/controls/GXCellControls.h"

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXDaoBitmap.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/CGXStatic.h"
#include "grid/controls/GXControlBitmaps.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/base/ResourceTable.h"

namespace {

// The names of the attributes these controls add (the control names are the grid's own texts).
void RegisterTexts() {
  plat::ResourceTable::AddStrings(plat::ResourceTable::ModuleHandle("grid"),
                                  {
                                      {GX_IDS_UA_CHECKBOX_CHECKED, "Checkbox: Checked Value"},
                                      {GX_IDS_UA_CHECKBOX_UNCHECKED, "Checkbox: Unchecked Value"},
                                      {GX_IDS_UA_PUSHBUTTON_FACE, "Pushbutton face color"},
                                      {GX_IDS_UA_DAOBITMAP, "Dao bitmap user attribute"},
                                      {GX_IDS_UA_PROGRESS_LOWER, "Progress: Lower Bound"},
                                      {GX_IDS_UA_PROGRESS_UPPER, "Progress: Upper Bound"},
                                      {GX_IDS_UA_PROGRESS_CAPTION, "Progress: Caption"},
                                      {GX_IDS_UA_RADIO_ALIGNMENT, "RadioButton: Alignment"},
                                      {GX_IDS_UA_RADIO_TEXTALIGN, "RadioButton: Text Alignment"},
                                  });
}

template <typename Control, typename... Args>
void Register(UINT id, Args... args) {
  CGXControlFactory::RegisterControlCreator(id, [=](CGXGridCore* g) { return new Control(g, args...); });
}

}  // namespace

void GXRegisterCellControls() {
  GXRegisterStaticControls();
  RegisterTexts();
  gx::RegisterControlBitmaps();
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
  CGXControlFactory::SetUserAttributeRegistrar("bitmap field", [](CGXStylesMap& map) {
    map.AddUserAttribute(GX_IDS_UA_DAOBITMAP);
  });
  Register<CGXProgressCtrl>(GX_IDS_CTRL_PROGRESS);
  CGXControlFactory::SetUserAttributeRegistrar("progress bar", [](CGXStylesMap& map) {
    CGXProgressCtrl::RegisterUserAttributes(&map);
  });
  CGXControlFactory::SetUserAttributeRegistrar("radio buttons", [](CGXStylesMap& map) {
    CGXRadioButtonEx::RegisterUserAttributes(&map);
  });
  CGXControlFactory::SetUserAttributeRegistrar("check box", [](CGXStylesMap& map) {
    CGXCheckBox::RegisterUserAttributes(&map);
  });
}
