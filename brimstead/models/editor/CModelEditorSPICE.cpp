#include "brimstead/models/editor/CModelEditorSPICE.h"

#include "brimstead/models/SpiceScanner.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/models/editor/ModelFileList.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/framework/MessageBox.h"
#include "shared/Misc_Path.h"

IMPLEMENT_DYNAMIC(CModelEditorSPICE, CDialog)

BEGIN_MESSAGE_MAP(CModelEditorSPICE, CModelFilePaneDlg)
  ON_LBN_SELCHANGE(IDC_FILES, OnFileSelChange)
  ON_LBN_SELCHANGE(IDC_SUBCIRCUITS, OnSubcircuitSelChange)
  ON_BN_CLICKED(IDC_COMPATIBLE, OnCompatibleClicked)
  ON_BN_CLICKED(IDC_VIEW_MODELS, OnViewModels)
END_MESSAGE_MAP()

namespace {
constexpr const char* kSpiceExtensions = "sp cir";
constexpr const char* kDefaultSubcircuit = "<default>";
constexpr const char* kMessageCaption = "Capacitor Models";

void Refuse(HWND owner, const char* text) { ::MessageBox(owner, text, kMessageCaption, MB_OK); }
}  // namespace

CModelEditorSPICE::CModelEditorSPICE(CModelEditor& editor) : CModelFilePaneDlg(IDD, editor) {}

BOOL CModelEditorSPICE::OnInitDialog() {
  CDialog::OnInitDialog();
  m_FileList.SubclassDlgItem(IDC_FILES, this);
  m_SubcircuitList.SubclassDlgItem(IDC_SUBCIRCUITS, this);
  if (m_PortMap.Attach(this, IDC_PORT_MAP, CPortMapGrid::LayoutSpice, this)) {
    m_PortMap.ShowWindow(SW_HIDE);
    FillPortMap();
  }
  PrepareMessage();
  return TRUE;
}

void CModelEditorSPICE::FillPortMap() {
  if (!m_PortMap.m_hWnd) return;
  m_PortMap.Fill(m_Editor.PinNames(), m_Editor.Record().spice.portMap,
                 m_Editor.PinCount() <= 2 ? CPortMapGrid::PinCells::FixedGrey : CPortMapGrid::PinCells::ChoiceOnWhite);
  m_PortMap.RedrawAll();
}

void CModelEditorSPICE::EnableEditing(bool editable) {
  for (int id : {int{IDC_FILES}, int{IDC_SUBCIRCUITS}, int{IDC_COMPATIBLE}})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(editable ? TRUE : FALSE);
  // A library model's port map is the library's: shown, not changed.
  m_PortMap.m_bLocked = !editable;
}

void CModelEditorSPICE::ListSpiceFiles() {
  ListModelDirectoryFiles(m_Editor.Directories(), kSpiceExtensions, m_FileList, m_Paths);
}

CString CModelEditorSPICE::ReadSubcircuits(const char* path) {
  m_Subcircuits.Clear();
  CSpiceSubcircuitList scanned;
  try {
    CSpiceScanner scanner;
    if (!scanner.Scan(path, scanned)) return "";
  } catch (const vorntool::mapfile::MapExcept& e) {
    // An empty file has no subcircuits, which the pane reports; any other failure says why, without the first
    // line naming the file (it is the one selected).
    if (e.emptyFile()) return "";
    const std::string text = e.what();
    const std::size_t reason = text.find('\n');
    return reason == std::string::npos ? text.c_str() : text.c_str() + reason + 1;
  }
  // Every array is sized once: a file of a million subcircuits must not be copied over a thousand times.
  const int count = scanned.GetCount();
  INT_PTR total = 0;
  for (int i = 0; i < count; ++i) total += scanned.GetPortCount(i);
  m_Subcircuits.names.SetSize(count);
  m_Subcircuits.nodes.SetSize(total);
  m_Subcircuits.starts.reserve(static_cast<size_t>(count) + 1);
  INT_PTR node = 0;
  for (int i = 0; i < count; ++i) {
    m_Subcircuits.names[i] = scanned.GetName(i).c_str();
    for (int n = 0; n < scanned.GetPortCount(i); ++n) m_Subcircuits.nodes[node++] = scanned.GetPort(i, n).c_str();
    m_Subcircuits.starts.push_back(static_cast<UINT>(node));
  }
  return "";
}

void CModelEditorSPICE::LoadFromModel() {
  if (m_Paths.GetSize() == 0) ListSpiceFiles();
  m_SubcircuitList.ResetContent();
  const CString& fileName = m_Editor.Record().spice.fileName;
  // The files are listed once, but each model shown may name a file of a later folder by its path.
  ListHiddenModelFile(m_Editor.Directories(), kSpiceExtensions, m_FileList, m_Paths, fileName);
  const int entry = SelectRecordedFile(fileName);
  if (entry < 0) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowUnlistedFile(fileName);
    return;
  }
  OnFileSelChange();
}

void CModelEditorSPICE::OnFileSelChange() {
  m_SubcircuitList.ResetContent();
  const int path = SelectedPath();
  if (path < 0) return;
  if (const CString failure = ReadSubcircuits(m_Paths[path]); !failure.IsEmpty()) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowMessage(failure);
    return;
  }
  const bool compatibleOnly = IsDlgButtonChecked(IDC_COMPATIBLE) == BST_CHECKED;
  const int pins = m_Editor.PinCount();
  // The list shows the subcircuits in file order (it does not sort), each entry carrying its subcircuit's
  // index; it is filled in one step, and the record's subcircuit is looked up in the names it was filled from.
  std::vector<LBAPPENDITEM> shown;
  shown.reserve(static_cast<size_t>(m_Subcircuits.names.GetSize()));
  for (int i = 0; i < m_Subcircuits.names.GetSize(); ++i) {
    const int nodes = m_Subcircuits.NodeCount(i);
    if (compatibleOnly && !(nodes >= 2 && nodes == pins)) continue;
    shown.push_back({m_Subcircuits.names[i], static_cast<ULONG_PTR>(i)});
  }
  if (shown.empty() || m_SubcircuitList.AppendItems(shown.data(), static_cast<int>(shown.size())) < 0) {
    OnSubcircuitSelChange();
    return;
  }
  const int entry = FindTextFromSecond(
      static_cast<int>(shown.size()),
      [&](int k) -> const CString& { return m_Subcircuits.names[static_cast<INT_PTR>(shown[static_cast<size_t>(k)].data)]; },
      m_Editor.Record().spice.subcircuitName);
  m_SubcircuitList.SetCurSel(entry < 0 ? 0 : entry);
  OnSubcircuitSelChange();
}

void CModelEditorSPICE::OnSubcircuitSelChange() {
  const int selection = m_SubcircuitList.GetCurSel();
  if (selection < 0) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowMessage(m_SubcircuitList.GetCount() > 0 ? "No subcircuit in selected!"
                                                : "No compartible subcircuits in selected file!");
    return;
  }
  const int i = static_cast<int>(m_SubcircuitList.GetItemData(selection));
  const int pins = m_Editor.PinCount();
  if (m_Subcircuits.NodeCount(i) != pins) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowMessage("Number of ports in seletced model doesn't match number of component pins!");
    return;
  }
  for (int j = 1; j <= pins; ++j) {
    CGXStyle node;
    node.SetValue(m_Subcircuits.nodes[m_Subcircuits.starts[static_cast<size_t>(i)] + j - 1]);
    m_PortMap.SetStyleRange(CGXRange(static_cast<ROWCOL>(j), 1), node, gxOverride, 0, 0);
  }
  m_PortMap.RedrawAll();
  m_PortMap.ShowWindow(SW_SHOW);
  HideMessage();
}

bool CModelEditorSPICE::ValidatePane() {
  const int selection = m_SubcircuitList.GetCurSel();
  if (SelectedPath() < 0 || selection < 0) {
    Refuse(m_hWnd, "SPICE file and SUBCIRCUIT must be selected in the list.");
    return false;
  }
  const int nodes = m_Subcircuits.NodeCount(static_cast<int>(m_SubcircuitList.GetItemData(selection)));
  const int pins = m_Editor.PinCount();
  if (nodes < 2) {
    Refuse(m_hWnd, "One-node subcircuits are not allowed.");
    return false;
  }
  if (pins == 2 && nodes == 2) return true;
  if (nodes != pins) {
    CString text;
    text.Format("You have to select model with number of nodes equal to %d", pins);
    Refuse(m_hWnd, text);
    return false;
  }
  if (m_PortMap.HasUnassignedPort()) {
    Refuse(m_hWnd, "All model ports are to assigned to pins.");
    return false;
  }
  return true;
}

void CModelEditorSPICE::StoreToModel() {
  SpiceModelData& data = m_Editor.Record().spice;
  data.fileName = SelectedFileName(data.fileName);
  data.subcircuitName.Empty();
  if (m_SubcircuitList.GetCurSel() >= 0) {
    m_SubcircuitList.GetText(m_SubcircuitList.GetCurSel(), data.subcircuitName);
    if (data.subcircuitName == kDefaultSubcircuit) data.subcircuitName.Empty();
  }
  if (m_PortMap.m_hWnd) m_PortMap.StoreAssignments(data.portMap);
  m_Editor.StoreViaMounting();
}

void CModelEditorSPICE::OnCompatibleClicked() {
  StoreToModel();
  OnFileSelChange();
}

void CModelEditorSPICE::OnViewModels() { ViewSelectedFile("VornFileEditor.exe", "Vorn File Editor"); }
