// CModelEditorCLR: the model editor's pane for a C-L-R model (capacitance, ESL and ESR, each with its unit), with
// the self-resonant frequency of the series L-C and the ESL calculator behind "Calculate...".
#pragma once

#include "brimstead/models/editor/CModelEditorPane.h"

class CHostCollection;
class CModelEditor;

class CModelEditorCLR : public CModelEditorPaneDlg {
  DECLARE_DYNAMIC(CModelEditorCLR)

public:
  enum : int {
    IDD = 1030,
    IDC_C_VALUE = 1136,
    IDC_C_UNIT = 1189,
    IDC_L_VALUE = 1109,
    IDC_L_UNIT = 1190,
    IDC_R_VALUE = 1112,
    IDC_R_UNIT = 1191,
    IDC_RESONANCE = 1115,
    IDC_CALCULATE = 1200,
  };
  enum Quantity { QuantityC, QuantityL, QuantityR };

  explicit CModelEditorCLR(CModelEditor& editor);

  // 0 < C < 0.01 F, L >= 0, R >= 0; no message (the editor beeps).
  bool ValidatePane() override;
  void LoadFromModel() override;
  void StoreToModel() override;
  void EnableEditing(bool editable) override;

  BOOL OnInitDialog() override;
  void SetLayers(CHostCollection* layers) { m_pLayers = layers; }

  double m_C = 0.0;   // farads
  double m_L = 0.0;   // henries
  double m_R = 0.0;   // ohms
  CHostCollection* m_pLayers = nullptr;

  // The factor by which a value in base units is multiplied to show it in the quantity's selected unit.
  double UnitFactor(Quantity q) const;
  void ShowValue(Quantity q);
  void ShowResonance();

protected:
  afx_msg void OnCapacitanceChanged() { OnValueChanged(QuantityC); }
  afx_msg void OnInductanceChanged() { OnValueChanged(QuantityL); }
  afx_msg void OnResistanceChanged() { OnValueChanged(QuantityR); }
  afx_msg void OnCapacitanceUnit() { ShowValue(QuantityC); }
  afx_msg void OnInductanceUnit() { ShowValue(QuantityL); }
  afx_msg void OnResistanceUnit() { ShowValue(QuantityR); }
  afx_msg void OnCalculate();
  DECLARE_MESSAGE_MAP()

private:
  void OnValueChanged(Quantity q);
  double& ValueOf(Quantity q);
  void SelectUnit(Quantity q, int index);

  // Set while the pane writes a value into an edit, so that the edit's change notification does not read it back.
  static bool s_bUpdating;
};
