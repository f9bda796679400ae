#include "brimstead/models/editor/tests/ModelEditorTestSupport.h"

#include "brimstead/models/editor/ModelEditorResources.h"
#include "brimstead/wizards/WizardResources.h"
#include "grid/controls/CGXStatic.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/gxlayoutresources.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/tests/TempDir.h"
#include "platform/window/AutomationProvider.h"

#include <fstream>

namespace edtest {

void ModelEditorTest::SetUp() {
  WizardWindowTest::SetUp();
  StartGridLibrary(&GXRegisterStaticControls);   // the cells the port map shows
  modeleditor::RegisterModelEditorResources();
  plat::ClearShownLog();
  m_Root = MakeTempFolder("brim_editor");
}

void ModelEditorTest::TearDown() {
  std::filesystem::remove_all(m_Root);
  WizardWindowTest::TearDown();
}

CString ModelEditorTest::MakeDirectory(const std::string& name) {
  std::filesystem::create_directories(m_Root / name);
  return CString((m_Root / name).string().c_str()) + "/";
}

void ModelEditorTest::CopyTestFile(const std::string& relative, const CString& directory, const std::string& as) {
  const char* data = std::getenv("BRIM_TESTDATA_DIR");
  const std::filesystem::path source = std::filesystem::path(data ? data : "../shared/testdata") / relative;
  std::filesystem::copy_file(source, std::filesystem::path(static_cast<const char*>(directory)) / as,
                             std::filesystem::copy_options::overwrite_existing);
}

void ModelEditorTest::WriteFile(const CString& directory, const std::string& name, const std::string& text) {
  std::ofstream(std::filesystem::path(static_cast<const char*>(directory)) / name) << text;
}

void ModelEditorTest::Open(CModelEditor& editor) { OpenModuleDialog(editor); }

CString ModelEditorTest::ItemText(CWnd& parent, int id) {
  CString text;
  parent.GetDlgItemText(id, text);
  return text;
}

bool ModelEditorTest::Visible(CWnd& parent, int id) {
  CWnd* item = parent.GetDlgItem(id);
  return item && (item->GetStyle() & WS_VISIBLE);
}

bool ModelEditorTest::Enabled(CWnd& parent, int id) {
  CWnd* item = parent.GetDlgItem(id);
  return item && item->IsWindowEnabled();
}

void ModelEditorTest::RunModal(CDialog& dialog, std::function<void()> body, INT_PTR* result) {
  const INT_PTR answer = RunModalDialog(dialog, std::move(body));
  if (result) *result = answer;
}

std::vector<std::string> ModelEditorTest::Messages() const {
  std::vector<std::string> texts;
  for (const plat::ShownRecord& shown : plat::ShownLog())
    if (shown.request.kind == plat::SystemUiKind::MessageBox) texts.push_back(shown.request.text);
  return texts;
}

void ModelEditorTest::ExpectMatchesReferenceIn(HWND hwnd, const std::string& name) {
  ExpectMatchesFolderReference(hwnd, "brimstead/models/editor/tests/reference/", name);
}

void SetPins(CModelEditor& editor, std::initializer_list<const char*> names) {
  CStringArray pins;
  for (const char* name : names) pins.Add(name);
  editor.SetPinNames(pins);
}

host::CapacitorModelData HostModel(const char* name, int kind, const char* library) {
  host::CapacitorModelData data;
  data.kind = kind;
  data.libraryModel = name != nullptr;
  data.libraryModelName = name ? name : "";
  data.libraryText = name ? library : "";
  return data;
}

host::CapacitorModelData ClrModel(const char* name, double c, double esr, double esl) {
  host::CapacitorModelData data = HostModel(name, HostModelCLR, "lib");
  data.capacitance = c;
  data.esr = esr;
  data.esl = esl;
  return data;
}

}  // namespace edtest
