#include "brimstead/models/editor/CCapacitorModelEditorAPI.h"

#include "brimstead/BrimsteadExports.h"
#include "brimstead/models/editor/CModelEditor.h"

#include <cstring>

namespace {
// Every editor of a run, kept for the rest of the process: never destroyed, not even at exit, where the window
// system and the drawing objects its grids hold may be gone before it.
std::vector<CModelEditor*>& RunEditors() {
  static auto* editors = new std::vector<CModelEditor*>;
  return *editors;
}
}  // namespace

void AppendSplitText(const char* text, CStringArray& out) {
  if (!text) return;
  const char* p = text;
  while (*p) {
    const std::size_t skip = std::strspn(p, "\r\t\n");
    p += skip;
    const std::size_t length = std::strcspn(p, "\r\t\n");
    if (length) out.Add(CString(p, static_cast<int>(length)));
    p += length;
  }
}

void CCapacitorModelEditorAPI::SetModelDirectories(const char* text) { AppendSplitText(text, m_Directories); }

bool CCapacitorModelEditorAPI::SetContext(DWORD context) {
  m_dwContext = context;
  return true;
}

bool CCapacitorModelEditorAPI::SetModel(CHostCapacitorModel* model) {
  m_pModel = model;
  return true;
}

void CCapacitorModelEditorAPI::SetPinNames(const char* text) { AppendSplitText(text, m_PinNames); }

int CCapacitorModelEditorAPI::RunModal() {
  m_pEditor = RunEditors().emplace_back(new CModelEditor);
  CModelEditor& editor = *m_pEditor;
  // The model last: its port map is read for the capacitor's pins.
  editor.SetPinNames(m_PinNames);
  editor.SetModelDirectories(m_Directories);
  editor.SetModel(m_pModel);
  editor.SetModelLibrary(m_pLibrary);
  editor.SetLayers(m_pLayers);
  if (m_bExtendedKinds) editor.SetExtendedKinds(true);
  const INT_PTR result = editor.DoModal();
  editor.SetModelLibrary(nullptr);
  return result == IDOK ? 1 : 2;
}

CHostCapacitorModel* CCapacitorModelEditorAPI::GetModel() {
  return m_pEditor ? m_pEditor->GetResultModel() : m_pModel;
}

void CCapacitorModelEditorAPI::Delete() { delete this; }

BRIM_EXPORT CCapacitorModelEditorAPITable* CreateCapacitorModelEditorDialog() {
  return new CCapacitorModelEditorAPI;
}
