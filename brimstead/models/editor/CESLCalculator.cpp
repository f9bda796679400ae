#include "brimstead/models/editor/CESLCalculator.h"

#include "brimstead/HostInterfaces.h"
#include "brimstead/models/editor/ModelEditorResources.h"
#include "brimstead/wizards/WizardResources.h"
#include "fieldsolver/FieldSolverRecords.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/MessageBox.h"
#include "shared/Misc_Units.h"

IMPLEMENT_DYNAMIC(CESLCalculator, CDialog)

BEGIN_MESSAGE_MAP(CESLCalculator, CDialog)
  ON_CBN_SELCHANGE(IDC_SIZE, OnSizeChange)
  ON_CBN_SELCHANGE(IDC_WIDTH_UNIT, OnWidthUnitChange)
  ON_CBN_SELCHANGE(IDC_LENGTH_UNIT, OnLengthUnitChange)
END_MESSAGE_MAP()

const CapacitorSize CapacitorSizeTable[10] = {
    {"0402", 0.0005, 0.001},   {"0603", 0.0008, 0.0016},  {"0805", 0.00125, 0.002}, {"1206", 0.0016, 0.0032},
    {"1210", 0.0025, 0.0032},  {"1812", 0.0032, 0.0045},  {"2225", 0.0057, 0.0064}, {"2412", 0.0032, 0.006},
    {"2318", 0.0046, 0.0058},  {"2917", 0.0043, 0.0073},
};

int CESLCalculator::DisplayUnit = 0;

namespace {
CESLCalculator::ComputeFunction g_compute = &ComputeMountingInductance;

constexpr const char* kUnits[] = {"mm", "mil", "cm", "in"};
constexpr double kMinimumSize = 0.0001;   // metres
constexpr double kMaximumSize = 0.05;     // metres
enum MountSide { MountTop = 0, MountBottom = 1 };

// What the solver's refusals of the calculator's cross-section mean to the user; null for the codes that
// only the number can explain.
const char* SolverRefusal(int code) {
  switch (code) {
    case FS_BAD_EXTENT:
      return "the body is too wide for its height over the reference layer (the height must be more than a "
             "thousandth of the width)";
    case FS_OUT_OF_MEMORY:
      return "there is not enough memory";
    case FS_BAD_LAYER:
      return "a layer between the body and the reference layer has no valid thickness";
    case FS_TRACES_OVERLAP:
      return "the body touches the reference layer";
    default:
      return nullptr;
  }
}
}  // namespace

void CESLCalculator::SetComputeFunction(ComputeFunction compute) {
  g_compute = compute ? compute : &ComputeMountingInductance;
}

CESLCalculator::CESLCalculator(CHostCollection* layers, CWnd* parent) : CDialog(IDD, parent), m_pLayers(layers) {
  modeleditor::RegisterModelEditorResources();
}

INT_PTR CESLCalculator::DoModal() {
  brimwiz::CModuleScope scope;
  return CDialog::DoModal();
}

int CESLCalculator::LayerCount() const { return m_pLayers ? m_pLayers->GetCount() : 0; }

CHostLayer* CESLCalculator::LayerAt(int index) const { return HostItemAs<CHostLayer>(m_pLayers, index); }

int CESLCalculator::OuterLayer(bool last) const {
  const int count = LayerCount();
  for (int k = 0; k < count; ++k) {
    const int i = last ? count - 1 - k : k;
    CHostLayer* layer = LayerAt(i);
    if (layer && layer->GetKind() != HostLayerKindSkipped) return i;
  }
  return -1;
}

void CESLCalculator::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_WIDTH, m_Width);
  if (m_bRangeChecks)
    DDV_MinMaxDouble(pDX, m_Width, ConvertMetresToUnit(kMinimumSize, DisplayUnit),
                     ConvertMetresToUnit(kMaximumSize, DisplayUnit));
  DDX_Text(pDX, IDC_LENGTH, m_Length);
  if (m_bRangeChecks)
    DDV_MinMaxDouble(pDX, m_Length, ConvertMetresToUnit(kMinimumSize, DisplayUnit),
                     ConvertMetresToUnit(kMaximumSize, DisplayUnit));
}

BOOL CESLCalculator::OnInitDialog() {
  CDialog::OnInitDialog();
  m_SizeList.SubclassDlgItem(IDC_SIZE, this);
  m_LayerList.SubclassDlgItem(IDC_REFERENCE_LAYER, this);
  m_MountSide.SubclassDlgItem(IDC_MOUNT_SIDE, this);
  m_WidthUnit.SubclassDlgItem(IDC_WIDTH_UNIT, this);
  m_LengthUnit.SubclassDlgItem(IDC_LENGTH_UNIT, this);
  for (CComboBox* units : {&m_WidthUnit, &m_LengthUnit}) {
    for (const char* unit : kUnits) units->AddString(unit);
    units->SetCurSel(DisplayUnit);
  }
  m_MountSide.AddString("Top");
  m_MountSide.AddString("Bottom");

  m_SizeList.AddString("<Custom>");
  for (const CapacitorSize& size : CapacitorSizeTable) m_SizeList.AddString(size.name);
  m_SizeList.SetCurSel(1);
  OnSizeChange();

  int reference = -1;
  for (int i = 0; i < LayerCount(); ++i) {
    CHostLayer* layer = LayerAt(i);
    if (!layer || layer->GetKind() == HostLayerKindSkipped) continue;
    const int entry = m_LayerList.AddString(layer->GetName() ? layer->GetName() : "");
    m_LayerList.SetItemData(entry, static_cast<DWORD_PTR>(i));
    if (reference < 0 && layer->GetKind() != 0) reference = entry;
  }
  if (m_LayerList.GetCount() > 0) m_LayerList.SetCurSel(reference < 0 ? 0 : reference);
  m_MountSide.SetCurSel(MountTop);
  EnableOK();
  return TRUE;
}

void CESLCalculator::EnableOK() {
  // Without a layer to stand on there is nothing to compute.
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(m_LayerList.GetCurSel() >= 0 ? TRUE : FALSE);
}

void CESLCalculator::OnSizeChange() {
  const int size = m_SizeList.GetCurSel();
  if (size > 0) {
    const CapacitorSize& entry = CapacitorSizeTable[size - 1];
    m_Width = ConvertMetresToUnit(entry.width, DisplayUnit);
    m_Length = ConvertMetresToUnit(entry.length, DisplayUnit);
    SetDlgItemText(IDC_WIDTH, plat::FormatDdxDouble(m_Width));
    SetDlgItemText(IDC_LENGTH, plat::FormatDdxDouble(m_Length));
  }
  for (int id : {int{IDC_WIDTH}, int{IDC_LENGTH}})
    if (CWnd* edit = GetDlgItem(id)) edit->EnableWindow(size <= 0 ? TRUE : FALSE);
}

void CESLCalculator::OnUnitChange(CComboBox& changed, CComboBox& other) {
  double width = 0.0;
  double length = 0.0;
  const int size = m_SizeList.GetCurSel();
  if (size > 0) {
    width = CapacitorSizeTable[size - 1].width;
    length = CapacitorSizeTable[size - 1].length;
  } else {
    m_bRangeChecks = false;
    const BOOL read = UpdateData(TRUE);
    m_bRangeChecks = true;
    if (!read) {
      changed.SetCurSel(DisplayUnit);   // the unit stays as it was
      return;
    }
    width = ConvertUnitToMetres(m_Width, DisplayUnit);
    length = ConvertUnitToMetres(m_Length, DisplayUnit);
  }
  DisplayUnit = changed.GetCurSel() < 0 ? 0 : changed.GetCurSel();
  other.SetCurSel(DisplayUnit);
  m_Width = ConvertMetresToUnit(width, DisplayUnit);
  m_Length = ConvertMetresToUnit(length, DisplayUnit);
  SetDlgItemText(IDC_WIDTH, plat::FormatDdxDouble(m_Width));
  SetDlgItemText(IDC_LENGTH, plat::FormatDdxDouble(m_Length));
}

void CESLCalculator::OnOK() {
  if (!UpdateData(TRUE)) return;
  const int selected = m_LayerList.GetCurSel();
  const int top = OuterLayer(false);
  const int bottom = OuterLayer(true);
  if (selected < 0 || top < 0) return;   // OK is disabled then
  const int reference = static_cast<int>(m_LayerList.GetItemData(selected));
  const bool onTop = m_MountSide.GetCurSel() != MountBottom;
  const int upper = onTop ? top : reference;
  const int lower = onTop ? reference : bottom;
  if (upper == lower) {
    ::MessageBox(m_hWnd, MountLayerMessage, "Brimstead", MB_OK | MB_ICONWARNING);
    return;
  }
  // The cross-section from the upper to the lower layer: the mount (routing) layer, everything between, the plane.
  const int first = std::min(upper, lower);
  const int last = std::max(upper, lower);
  EslGeometry geometry;
  geometry.bodyWidth = ConvertUnitToMetres(m_Width, DisplayUnit);
  geometry.bodyLength = ConvertUnitToMetres(m_Length, DisplayUnit);
  geometry.side = onTop ? EslMountSide::Top : EslMountSide::Bottom;
  CHostLayer* mount = LayerAt(onTop ? upper : lower);
  CHostLayer* plane = LayerAt(onTop ? lower : upper);
  geometry.mountThickness = mount ? mount->GetThickness() : 0.0;
  geometry.planeThickness = plane ? plane->GetThickness() : 0.0;
  for (int i = first + 1; i < last; ++i)
    if (CHostLayer* layer = LayerAt(i)) geometry.gapThickness += layer->GetThickness();
  if (!(geometry.gapThickness > 0.0)) {
    // A stack that lists no dielectric (or none with a thickness) between the two layers puts the body on the
    // plane, where no inductance can be computed: say which layers, rather than the solver's refusal code.
    CString text;
    text.Format("There is no dielectric between the mount layer \"%s\" and the reference layer \"%s\" in the "
                "board's layer stack.\nPlease choose a reference layer farther from the mounting side.",
                mount && mount->GetName() ? mount->GetName() : "", plane && plane->GetName() ? plane->GetName() : "");
    ::MessageBox(m_hWnd, text, "Brimstead", MB_OK | MB_ICONWARNING);
    return;
  }
  const EslResult result = g_compute(geometry);
  if (result.code != 0) {
    m_Result = 0.0;
    CString text;
    const char* reason = SolverRefusal(result.code);
    if (reason)
      text.Format("The field solver could not compute the mounting inductance: %s (code %d).", reason, result.code);
    else
      text.Format("The field solver could not compute the mounting inductance (code %d).", result.code);
    ::MessageBox(m_hWnd, text, "Brimstead", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_Result = result.inductance;
  EndDialog(IDOK);
}
