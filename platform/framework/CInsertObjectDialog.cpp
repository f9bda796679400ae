#include "platform/framework/CInsertObjectDialog.h"

#include "platform/framework/ChooserBox.h"
#include "platform/window/AutomationProvider.h"

CInsertObjectDialog::CInsertObjectDialog(std::vector<InsertObjectType> types, LPCSTR caption, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_types(std::move(types)), m_caption(caption ? caption : "Insert Object") {}

INT_PTR CInsertObjectDialog::DoModal() {
  m_chosen.clear();
  if (m_types.empty()) return -1;
  plat::SystemRequest request;
  request.kind = plat::SystemUiKind::InsertObject;
  request.owner = m_hwndOwner ? m_hwndOwner : OwnerWindow();
  request.caption = m_caption;
  request.text = "Object Type:";
  for (const auto& type : m_types) request.buttons.push_back(type.name);
  std::string answerText;
  int answerIndex = -1;
  if (plat::SystemDialogsOnScreen()) {
    plat::ChooserSpec spec;
    spec.caption = m_caption;
    spec.prompt = request.text;
    spec.items = request.buttons;
    spec.selected = 0;
    std::optional<plat::ChooserResult> chosen = plat::RunChooser(request.owner, spec);
    if (!chosen) return IDCANCEL;
    answerText = chosen->text;
    answerIndex = chosen->index;
  } else {
    const plat::SystemAnswer answer = plat::RequestSystemAnswer(request);
    if (answer.code == IDCANCEL) return IDCANCEL;
    if (answer.code != IDOK) return -1;
    answerText = answer.text;
  }
  if (answerIndex >= 0 && answerIndex < static_cast<int>(m_types.size())) {
    m_chosen = m_types[static_cast<std::size_t>(answerIndex)].progId;
    return IDOK;
  }
  for (const auto& type : m_types) {
    if (answerText == type.progId || answerText == type.name) {
      m_chosen = type.progId;
      return IDOK;
    }
  }
  return -1;
}
