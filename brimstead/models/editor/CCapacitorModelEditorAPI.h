// CCapacitorModelEditorAPI: the host's handle on the capacitor model editor. It collects the model, the pins, the
// directories, the library and the layers, runs one editor per RunModal and hands out the last run's result.
// Editors of the runs live for the process, so that the views handed out stay readable (they share the editor's
// record in any case).
#pragma once

#include "brimstead/models/editor/CapacitorModelEditorAPITable.h"
#include "platform/base/CStringArray.h"

#include <memory>
#include <vector>

class CModelEditor;

class CCapacitorModelEditorAPI final : public CCapacitorModelEditorAPITable {
public:
  CCapacitorModelEditorAPI() = default;

  void SetModelDirectories(const char* text) override;
  bool SetContext(DWORD context) override;
  bool SetModel(CHostCapacitorModel* model) override;
  void SetModelLibrary(CHostModelLibrary* library) override { m_pLibrary = library; }
  void SetLayers(CHostCollection* layers) override { m_pLayers = layers; }
  void SetPinNames(const char* text) override;
  int RunModal() override;
  CHostCapacitorModel* GetModel() override;
  void Delete() override;
  void EnableExtendedKinds() override { m_bExtendedKinds = true; }

  const CStringArray& PinNames() const { return m_PinNames; }
  const CStringArray& ModelDirectories() const { return m_Directories; }
  CModelEditor* LastEditor() const { return m_pEditor; }

private:
  ~CCapacitorModelEditorAPI() = default;

  CStringArray m_PinNames;
  CStringArray m_Directories;
  DWORD m_dwContext = 0;
  CHostCapacitorModel* m_pModel = nullptr;
  CModelEditor* m_pEditor = nullptr;
  CHostModelLibrary* m_pLibrary = nullptr;
  CHostCollection* m_pLayers = nullptr;
  bool m_bExtendedKinds = false;
};

// Splits at "\r\t\n" (runs of them give no empty pieces) and appends the pieces; null appends nothing.
void AppendSplitText(const char* text, CStringArray& out);
