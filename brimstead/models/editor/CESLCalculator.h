// CESLCalculator: the dialog "ESL Calculator". The user picks a package size or types the body's width and length,
// the reference plane layer and the side the capacitor is mounted on; OK hands the cross-section to the field
// solver's mounting-inductance core and keeps the inductance per unit length times the body's length.
#pragma once

#include "fieldsolver/EslCore.h"
#include "platform/framework/CComboBox.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CListBox.h"

class CHostCollection;
class CHostLayer;

struct CapacitorSize {
  const char* name;
  double width;    // metres
  double length;   // metres
};
// The package sizes offered after "<Custom>", in the order of the size list.
extern const CapacitorSize CapacitorSizeTable[10];

class CESLCalculator : public CDialog {
  DECLARE_DYNAMIC(CESLCalculator)

public:
  enum : int {
    IDD = 1177,
    IDC_SIZE = 1189,
    IDC_WIDTH = 1201,
    IDC_LENGTH = 1202,
    IDC_REFERENCE_LAYER = 1203,
    IDC_MOUNT_SIDE = 1204,
    IDC_WIDTH_UNIT = 1205,
    IDC_LENGTH_UNIT = 1206,
  };
  static constexpr const char* MountLayerMessage =
      "Mount layer cannot be reference layer\nPlease choose different reference layer or mounting side";

  // The length unit of every calculator of the process: 0 mm, 1 mil, 2 cm, 3 in.
  static int DisplayUnit;

  // The solver entry the calculator calls; tests put a recorder in its place.
  using ComputeFunction = EslResult (*)(const EslGeometry&);
  static void SetComputeFunction(ComputeFunction compute);

  CESLCalculator(CHostCollection* layers, CWnd* parent);

  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Computes and closes with OK; refused (the dialog stays open, the result 0) when the input is out of range,
  // the mount layer is the reference layer, or the solve fails.
  void OnOK() override;

  // Henries; 0 until OK succeeds.
  double GetResult() const { return m_Result; }

  double m_Width = 0.0;    // in the display unit
  double m_Length = 0.0;   // in the display unit

  CComboBox m_SizeList;
  CListBox m_LayerList;
  CComboBox m_MountSide;
  CComboBox m_WidthUnit;
  CComboBox m_LengthUnit;

protected:
  afx_msg void OnSizeChange();
  afx_msg void OnWidthUnitChange() { OnUnitChange(m_WidthUnit, m_LengthUnit); }
  afx_msg void OnLengthUnitChange() { OnUnitChange(m_LengthUnit, m_WidthUnit); }
  DECLARE_MESSAGE_MAP()

private:
  void OnUnitChange(CComboBox& changed, CComboBox& other);
  CHostLayer* LayerAt(int index) const;
  int LayerCount() const;
  // Index of the first (last) layer that is not skipped, or -1.
  int OuterLayer(bool last) const;
  void EnableOK();

  CHostCollection* m_pLayers;
  double m_Result = 0.0;
  bool m_bRangeChecks = true;
};
