#include "platform/framework/CCmdTarget.h"

#include "platform/framework/CWnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace plat {

bool EntryMatches(const MessageMapEntry& e, const MessageArgs& a, EntryKind kind) {
  if (e.kind != kind) return false;
  switch (kind) {
    case EntryKind::Message: return e.message == a.message;
    case EntryKind::Registered: return e.registered && *e.registered != 0 && *e.registered == a.message;
    case EntryKind::Command:
    case EntryKind::Notify:
      return e.message == a.message && e.code == a.code && a.id >= e.idFirst && a.id <= e.idLast;
    case EntryKind::UpdateCommandUI: return a.id >= e.idFirst && a.id <= e.idLast;
    case EntryKind::End: return false;
  }
  return false;
}

const MessageMapEntry* FindEntry(const MessageMap* map, const MessageArgs& args, EntryKind kind) {
  for (; map; map = map->base ? map->base() : nullptr) {
    for (const MessageMapEntry* e = map->entries; e->kind != EntryKind::End; ++e)
      if (EntryMatches(*e, args, kind)) return e;
  }
  return nullptr;
}

}  // namespace plat

const plat::MessageMap* CCmdTarget::GetThisMessageMap() {
  static const plat::MessageMapEntry entries[] = {plat::MessageMapEntry{}};
  static const plat::MessageMap map{nullptr, entries};
  return &map;
}

const plat::MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::Dispatch(plat::MessageArgs& args, plat::EntryKind kind) {
  // An _EX handler may decline; the search then goes on after it, through the base classes.
  for (const plat::MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const plat::MessageMapEntry* e = map->entries; e->kind != plat::EntryKind::End; ++e) {
      if (plat::EntryMatches(*e, args, kind) && e->thunk(this, args)) return TRUE;
    }
  }
  return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void*) {
  plat::MessageArgs args;
  args.id = nID;
  args.extra = pExtra;
  if (pExtra && nCode == -1) return Dispatch(args, plat::EntryKind::UpdateCommandUI);
  args.message = WM_COMMAND;
  args.code = static_cast<UINT>(static_cast<WORD>(nCode));
  return Dispatch(args, plat::EntryKind::Command);
}

void CCmdTarget::BeginWaitCursor() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }
void CCmdTarget::EndWaitCursor() { ::SetCursor(::LoadCursor(nullptr, IDC_ARROW)); }
void CCmdTarget::RestoreWaitCursor() { BeginWaitCursor(); }

void CCmdUI::Enable(BOOL on) {
  m_bEnabled = on;
  m_bEnableChanged = TRUE;
  if (m_pOther) m_pOther->EnableWindow(on);
}

void CCmdUI::SetCheck(int check) {
  m_nCheck = check;
  if (m_pOther) m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

void CCmdUI::SetText(LPCSTR text) {
  if (m_pOther) m_pOther->SetWindowText(text);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
  m_bEnableChanged = FALSE;
  BOOL handled = target->OnCmdMsg(m_nID, -1, this, nullptr);
  if (!handled && disableIfNoHandler && !m_bEnableChanged) Enable(FALSE);
  return handled;
}
