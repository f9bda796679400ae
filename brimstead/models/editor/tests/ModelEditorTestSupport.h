// Test support for the model editor's windows: the wizard windows' fixture with the grid library started and the
// editor's resources registered, host stand-ins (layers, models) and model directories made of the shared test data.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "host/HostCapacitorModel.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace edtest {

class ModelEditorTest : public wiztest::WizardWindowTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh directory under the test's temporary root, ending with '/'.
  CString MakeDirectory(const std::string& name);
  static void CopyTestFile(const std::string& relative, const CString& directory, const std::string& as);
  static void WriteFile(const CString& directory, const std::string& name, const std::string& text);
  // Opens the editor as a modeless popup, so that its state can be checked between calls.
  static void Open(CModelEditor& editor);
  static CString ItemText(CWnd& parent, int id);
  static bool Visible(CWnd& parent, int id);
  static bool Enabled(CWnd& parent, int id);
  // Runs `body` inside the dialog's modal loop, then cancels the dialog when `body` left it open.
  void RunModal(CDialog& dialog, std::function<void()> body, INT_PTR* result = nullptr);
  std::vector<std::string> Messages() const;
  // Compares the window with brimstead/models/editor/tests/reference/<name>.png.
  static void ExpectMatchesReferenceIn(HWND hwnd, const std::string& name);

  std::filesystem::path m_Root;
};

class TestLayer final : public CHostLayer {
public:
  TestLayer(std::string name, int kind, double thickness) : m_Name(std::move(name)), m_Kind(kind), m_Thickness(thickness) {}
  int GetKind() override { return m_Kind; }
  const char* GetName() override { return m_Name.c_str(); }
  double GetThickness() override { return m_Thickness; }

private:
  std::string m_Name;
  int m_Kind;
  double m_Thickness;
};

class TestLayers final : public CHostCollection {
public:
  void Add(std::string name, int kind, double thickness) {
    m_Layers.push_back(std::make_unique<TestLayer>(std::move(name), kind, thickness));
  }
  void Release() override {}
  int GetCount() override { return static_cast<int>(m_Layers.size()); }
  void* GetItem(int index) override {
    return index >= 0 && index < GetCount() ? static_cast<CHostLayer*>(m_Layers[static_cast<size_t>(index)].get())
                                            : nullptr;
  }

private:
  std::vector<std::unique_ptr<TestLayer>> m_Layers;
};

void SetPins(CModelEditor& editor, std::initializer_list<const char*> names);
// A model of the host's library `library` (or, unnamed, a custom one) of the kind.
host::CapacitorModelData HostModel(const char* name, int kind, const char* library);
host::CapacitorModelData ClrModel(const char* name, double c, double esr, double esl);

}  // namespace edtest
