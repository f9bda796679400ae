#include "brimstead/models/editor/CModelEditorTstone.h"

#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/ModelFile.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/models/editor/ModelFileList.h"
#include "brimstead/models/fit/TwoPortData.h"
#include "brimstead/models/fit/cFitAPI.h"
#include "platform/base/FileMapping.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"
#include "platform/framework/MessageBox.h"

#include <cstdint>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CModelEditorTstone, CDialog)

BEGIN_MESSAGE_MAP(CModelEditorTstone, CModelFilePaneDlg)
  ON_LBN_SELCHANGE(IDC_FILES, OnFileSelChange)
  ON_BN_CLICKED(IDC_ONE_PORT, OnFilterChanged)
  ON_BN_CLICKED(IDC_TWO_PORT, OnFilterChanged)
  ON_BN_CLICKED(IDC_ONE_AND_TWO_PORT, OnFilterChanged)
  ON_BN_CLICKED(IDC_COMPATIBLE, OnFilterChanged)
  ON_BN_CLICKED(IDC_AUTODETECT_CHECK, OnAutodetectToggled)
  ON_BN_CLICKED(IDC_VIEW_MODEL, OnViewModel)
END_MESSAGE_MAP()

namespace {
constexpr const char* kMessageCaption = "Capacitor Models";
constexpr const char* kHints =
    "A two-port Touchstone model of a decoupling capacitor can be measured in either a series or shunt "
    "configuration. If you select a two-port model, you must specify which type it is.";
constexpr const char* kPortMismatch = "Number of ports in seletced model doesn't match number of component pins!";
constexpr const char* kInvalidFormat = "Invalid format of model file!";
}  // namespace

CModelEditorTstone::CModelEditorTstone(CModelEditor& editor) : CModelFilePaneDlg(IDD, editor) {}

FileModelData& CModelEditorTstone::Data() {
  return IsTouchstone() ? m_Editor.Record().touchstone : m_Editor.Record().pls;
}

void CModelEditorTstone::Show(int id, bool show) {
  if (CWnd* control = GetDlgItem(id)) control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CModelEditorTstone::Enable(int id, bool enable) {
  if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

void CModelEditorTstone::ShowTwoPortControls(bool show) {
  for (int id : {int{IDC_TWO_PORT_GROUP}, int{IDC_SERIES}, int{IDC_SHUNT}, int{IDC_AUTODETECT_CHECK}}) Show(id, show);
}

BOOL CModelEditorTstone::OnInitDialog() {
  CDialog::OnInitDialog();
  m_FileList.SubclassDlgItem(IDC_FILES, this);
  m_Autodetect.SubclassDlgItem(IDC_AUTODETECT_CHECK, this);
  SetDlgItemText(IDC_HINTS, kHints);
  CheckRadioButton(IDC_SERIES, IDC_SHUNT, IDC_SERIES);
  CheckRadioButton(IDC_ONE_PORT, IDC_ONE_AND_TWO_PORT, IDC_ONE_AND_TWO_PORT);
  Show(IDC_AUTODETECT_BUTTON, false);
  const bool attached = m_PortMap.Attach(this, IDC_PORT_MAP, CPortMapGrid::LayoutTouchstone, this);
  if (m_Editor.PinCount() <= 2) {
    if (attached) m_PortMap.ShowWindow(SW_HIDE);
    Show(IDC_AUTODETECT_CHECK, true);
  } else {
    ShowTwoPortControls(false);
    for (int id : {int{IDC_ONE_PORT}, int{IDC_TWO_PORT}, int{IDC_ONE_AND_TWO_PORT}}) Show(id, false);
    if (attached) {
      m_PortMap.HideCols(0, 0);
      FillPortMap();
    }
  }
  CheckRadioButton(IDC_SERIES, IDC_SHUNT, Data().series ? IDC_SERIES : IDC_SHUNT);
  PrepareMessage();
  return TRUE;
}

void CModelEditorTstone::FillPortMap() {
  // A capacitor of two pins or fewer has no port map: its grid is never set up.
  if (!m_PortMap.m_hWnd || m_Editor.PinCount() <= 2) return;
  m_PortMap.Fill(m_Editor.PinNames(), Data().portMap, CPortMapGrid::PinCells::Choice);
  m_PortMap.RedrawAll();
}

void CModelEditorTstone::EnableEditing(bool editable) {
  m_bEditable = editable;
  for (int id : {int{IDC_FILES}, int{IDC_COMPATIBLE}, int{IDC_ONE_PORT}, int{IDC_TWO_PORT}, int{IDC_ONE_AND_TWO_PORT},
                 int{IDC_SHUNT}, int{IDC_SERIES}, int{IDC_AUTODETECT_CHECK}})
    Enable(id, editable);
  // A library model's port map is the library's: shown, not changed.
  m_PortMap.m_bLocked = !editable;
}

CString CModelEditorTstone::ExtensionList() const {
  if (!IsTouchstone()) return "pls";
  CString list = TouchstoneExtensions;
  if (m_Editor.ExtendedKinds()) list += ExtendedExtensions;
  return list;
}

int CModelEditorTstone::PortCount(const char* file) const {
  return IsTouchstone() ? CountTouchstonePorts(file) : ReadHeaderPortCount(file);
}

bool CModelEditorTstone::IsCompatibleFile(const char* file, bool onePortOnly, bool twoPortOnly) const {
  const int ports = PortCount(file);
  if (ports < 1) return false;
  const int pins = m_Editor.PinCount();
  if (pins >= 3) return ports == pins;
  if (onePortOnly) return ports == 1;
  if (twoPortOnly) return ports == 2;
  return ports <= 2;
}

void CModelEditorTstone::ListModelFiles(bool onePortOnly, bool twoPortOnly, bool compatibleOnly) {
  BeginWaitCursor();
  struct WaitEnd {
    CModelEditorTstone* pane;
    ~WaitEnd() { pane->EndWaitCursor(); }
  } waitEnd{this};
  const CString extensions = ExtensionList();
  // The port counts resolve bare names through the helper's directories: they are the editor's from here on.
  std::vector<CString> directories;
  for (int i = 0; i < m_Editor.Directories().GetSize(); ++i) directories.push_back(m_Editor.Directories()[i]);
  GetDecouplingModelsHelper()->SetModelDirectories(directories);
  std::function<bool(const char*)> keep;
  if (compatibleOnly)
    keep = [&](const char* name) { return IsCompatibleFile(name, onePortOnly, twoPortOnly); };
  ListModelDirectoryFiles(m_Editor.Directories(), extensions, m_FileList, m_Paths, keep);
  ListHiddenModelFile(m_Editor.Directories(), extensions, m_FileList, m_Paths, Data().fileName, keep);
}

void CModelEditorTstone::LoadFromModel() {
  m_Paths.RemoveAll();
  m_FileList.ResetContent();
  const bool onePort = IsDlgButtonChecked(IDC_ONE_PORT) == BST_CHECKED;
  const bool twoPort = !onePort && IsDlgButtonChecked(IDC_TWO_PORT) == BST_CHECKED;
  ListModelFiles(onePort, twoPort, IsDlgButtonChecked(IDC_COMPATIBLE) == BST_CHECKED);
  const int entry = SelectRecordedFile(Data().fileName);
  m_bOwnFile = entry >= 0 && !Data().fileName.IsEmpty();
  OnFileSelChange();
  if (entry < 0) ShowUnlistedFile(Data().fileName);
}

void CModelEditorTstone::OnFileSelChange() {
  const int selection = m_FileList.GetCurSel();
  if (selection < 0) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowTwoPortControls(false);
    HideMessage();
    m_bOwnFile = false;
    return;
  }
  const int path = SelectedPath();
  if (path < 0) {
    m_bOwnFile = false;
    return;
  }
  if (m_bOwnFile) m_bOwnFile = selection == FindModelFileEntry(m_FileList, m_Paths, Data().fileName);
  // A file that cannot be read says why, as the SPICE pane says it: its format is not what is wrong.
  if (const std::string unreadable = UnreadableReason(m_Paths[path]); !unreadable.empty()) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowTwoPortControls(false);
    ShowMessage(unreadable.c_str());
    return;
  }
  const int ports = PortCount(m_Paths[path]);
  const int pins = m_Editor.PinCount();
  if (ports == 0) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowTwoPortControls(false);
    ShowMessage(kInvalidFormat);
    return;
  }
  if ((pins > 2 || ports >= 3) && ports != pins) {
    ShowMessage(kPortMismatch);
    m_PortMap.ShowWindow(SW_HIDE);
    ShowTwoPortControls(false);
    return;
  }
  CString reason;
  // A two-port's data are read by the series/shunt detection below, whose message says what it cannot read; the
  // record's own file is not detected again, and is read here.
  if ((ports != 2 || m_bOwnFile) && !NetworkDataReadable(m_Paths[path], ports, reason)) {
    ShowMessage(CString(kInvalidFormat) + " " + reason);
    m_PortMap.ShowWindow(SW_HIDE);
    ShowTwoPortControls(false);
    return;
  }
  HideMessage();
  if (ports == 1) {
    // A one-port model is a shunt measurement by nature.
    m_PortMap.ShowWindow(SW_HIDE);
    Show(IDC_TWO_PORT_GROUP, true);
    Show(IDC_SERIES, true);
    Enable(IDC_SERIES, false);
    Show(IDC_SHUNT, true);
    Enable(IDC_SHUNT, true);
    CheckRadioButton(IDC_SERIES, IDC_SHUNT, IDC_SHUNT);
    Show(IDC_AUTODETECT_CHECK, true);
    Enable(IDC_AUTODETECT_CHECK, false);
  } else if (ports == 2) {
    m_PortMap.ShowWindow(SW_HIDE);
    ShowTwoPortControls(true);
    for (int id : {int{IDC_SERIES}, int{IDC_SHUNT}, int{IDC_AUTODETECT_CHECK}}) Enable(id, m_bEditable);
    if (m_bOwnFile) {
      m_Autodetect.SetCheck(BST_UNCHECKED);
      CheckRadioButton(IDC_SERIES, IDC_SHUNT, Data().series ? IDC_SERIES : IDC_SHUNT);
    } else {
      m_Autodetect.SetCheck(BST_CHECKED);
      OnAutodetectToggled();
    }
  } else {
    m_PortMap.ShowWindow(SW_SHOW);
    ShowTwoPortControls(false);
  }
}

bool CModelEditorTstone::NetworkDataReadable(const char* path, int ports, CString& reason) const {
  if (!IsTouchstone()) return true;
  std::string error;
  if (ports != 2) {
    if (CheckTouchstoneFile(path, ports, error)) return true;
  } else {
    // A two-port is handed on for its series or shunt fit: its data are readable when the fit reads and fits them
    // (not only when its first point has nine values).
    cFitParams params;
    cFitAPI* fit = cFitAPI::Create(&params);
    const bool read = fit->ReadTouchstone(path) == 2 && fit->GetLastError().empty();
    error = read ? std::string() : fit->GetLastError().empty() ? "no two-port data" : fit->GetLastError();
    fit->Release();
    if (read) return true;
  }
  reason = CString("(") + error.c_str() + ")";
  return false;
}

std::string CModelEditorTstone::UnreadableReason(const char* path) const {
  const std::string native = plat::NativePath(path);
  const plat::FileReadResult opened = plat::CheckRegularFile(native);
  if (!opened) return plat::FileReadReason(opened, modelfile::kMaxModelFileBytes);
  // The size is told before anything is read: the port count reads only the first point, and a file of zeros (a
  // sparse one of gigabytes) would read as no Touchstone file rather than as one too large. A "pls" file is read
  // only for its header line.
  if (!IsTouchstone()) return "";
  const HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";   // the read that follows says why
  DWORD high = 0;
  SetLastError(NO_ERROR);   // a size whose low half is all ones is told from a failure by the last error
  const DWORD low = GetFileSize(file, &high);
  const bool sized = low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR;
  CloseHandle(file);
  if (sized && ((std::uint64_t{high} << 32) | low) > modelfile::kMaxModelFileBytes)
    return plat::FileReadReason({plat::FileReadStatus::TooLarge, 0}, modelfile::kMaxModelFileBytes);
  return "";
}

void CModelEditorTstone::OnAutodetectToggled() {
  if (m_Autodetect.GetCheck() == BST_CHECKED) DetectSeriesShunt();
  // A library model's series or shunt reading is the library's: it never becomes editable here.
  const bool manual = m_bEditable && m_Autodetect.GetCheck() != BST_CHECKED;
  Enable(IDC_SERIES, manual);
  Enable(IDC_SHUNT, manual);
}

void CModelEditorTstone::DetectSeriesShunt() {
  const int path = SelectedPath();
  if (path < 0) return;
  const CString file = m_Paths[path];
  cFitParams params;
  cFitAPI* fit = cFitAPI::Create(&params);
  if (!fit) return;
  // Series or shunt when exactly one of the two fits is good enough; else undecided (0).
  auto decide = [&]() -> int {
    const bool series = fit->IsSeries();
    const bool shunt = fit->IsShunt();
    return series && !shunt ? IDC_SERIES : shunt && !series ? IDC_SHUNT : 0;
  };
  const int ports = IsTouchstone() ? fit->ReadTouchstone(file) : fit->ReadPls(file);
  int decision = 0;
  if (ports == 2) {
    decision = decide();
    // Lower the limit step by step until one fit alone stays within it.
    for (double limit = 0.1; decision == 0 && limit >= 0.001; limit /= 2) {
      fit->SetDecisionLimit(limit);
      decision = decide();
    }
  }
  if (decision) {
    CheckRadioButton(IDC_SERIES, IDC_SHUNT, decision);
  } else {
    CString text;
    text.Format("Model \"%s\"\n cannot be recognized either as SERIES or SHUNT!", static_cast<const char*>(file));
    // A file the fit could not read says why (where its data stop being Touchstone), so that a broken file is
    // not taken for one whose fits merely agree.
    if (!fit->GetLastError().empty()) text += CString("\n(") + fit->GetLastError().c_str() + ")";
    ::MessageBox(m_hWnd, text, "Decoupling Model Editor", MB_OK | MB_ICONEXCLAMATION);
    m_Autodetect.SetCheck(BST_UNCHECKED);
  }
  fit->Release();
}

bool CModelEditorTstone::ValidatePane() {
  const int path = SelectedPath();
  if (path < 0) {
    ::MessageBox(m_hWnd, "Touchstone file must be selected in the list.", kMessageCaption, MB_OK);
    return false;
  }
  // A file that cannot be read (a FIFO, a device, a socket, one this user may not read, one above the limit) says
  // why, as the other model readers do; one that reads has no port count in its data.
  if (const std::string unreadable = UnreadableReason(m_Paths[path]); !unreadable.empty()) {
    ::MessageBox(m_hWnd, CString("Select valid model file\n") + unreadable.c_str(), kMessageCaption, MB_OK);
    return false;
  }
  const int ports = PortCount(m_Paths[path]);
  const int pins = m_Editor.PinCount();
  if (ports == 0) {
    ::MessageBox(m_hWnd, "Select valid model file", kMessageCaption, MB_OK);
    return false;
  }
  if ((pins > 2 || ports >= 3) && ports != pins) {
    CString text;
    text.Format("You have to select model with number of ports equal to %d", pins);
    ::MessageBox(m_hWnd, text, kMessageCaption, MB_OK);
    return false;
  }
  CString reason;
  if (!NetworkDataReadable(m_Paths[path], ports, reason)) {
    ::MessageBox(m_hWnd, "Select valid model file\n" + reason, kMessageCaption, MB_OK);
    return false;
  }
  if (m_PortMap.m_hWnd && pins > 2 && m_PortMap.HasUnassignedPort()) {
    ::MessageBox(m_hWnd, "All model ports are to assigned to pins.", kMessageCaption, MB_OK);
    return false;
  }
  return true;
}

void CModelEditorTstone::StoreToModel() {
  FileModelData& data = Data();
  data.fileName = SelectedFileName(data.fileName);
  const int ports = data.fileName.IsEmpty() ? 0 : PortCount(data.fileName);
  if (ports > 0) {
    m_bOwnFile = true;
    data.series = ports == 1 ? false : ports == 2 ? IsDlgButtonChecked(IDC_SERIES) == BST_CHECKED : true;
  } else {
    m_bOwnFile = false;
  }
  if (m_Editor.PinCount() > 2 && m_PortMap.m_hWnd) m_PortMap.StoreAssignments(data.portMap);
  m_Editor.StoreViaMounting();
}

void CModelEditorTstone::OnFilterChanged() {
  StoreToModel();
  LoadFromModel();
}

void CModelEditorTstone::OnViewModel() { ViewSelectedFile("TouchstoneViewer.exe", "Touchstone Viewer"); }
