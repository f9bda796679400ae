#include "brimstead/models/editor/CModelEditor.h"

#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/editor/CEditModelName.h"
#include "brimstead/models/editor/ModelEditorResources.h"
#include "brimstead/models/editor/ModelViews.h"
#include "brimstead/wizards/WizardResources.h"
#include "shared/Misc_Help.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CModelEditor, CDialog)

BEGIN_MESSAGE_MAP(CModelEditor, CDialog)
  ON_BN_CLICKED(IDC_KIND_CLR, OnKindClicked)
  ON_BN_CLICKED(IDC_KIND_SPICE, OnKindClicked)
  ON_BN_CLICKED(IDC_KIND_TOUCHSTONE, OnKindClicked)
  ON_BN_CLICKED(IDC_KIND_PLS, OnKindClicked)
  ON_CBN_SELCHANGE(IDC_LIBRARY, OnLibrarySelChange)
  ON_BN_CLICKED(IDC_SAVE, OnSaveToLibrary)
  ON_BN_CLICKED(IDC_SAVE_AS, OnSaveAsToLibrary)
  ON_BN_CLICKED(IDC_REMOVE, OnRemoveFromLibrary)
  ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelp)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
// The kind radios in id order and the kinds they stand for.
constexpr int kKindRadios[] = {CModelEditor::IDC_KIND_CLR, CModelEditor::IDC_KIND_SPICE,
                               CModelEditor::IDC_KIND_TOUCHSTONE, CModelEditor::IDC_KIND_PLS};
constexpr int kRadioKinds[] = {HostModelCLR, HostModelSPICE, HostModelTouchstone, HostModelPLS};

int RadioOfKind(int kind) {
  for (int i = 0; i < 4; ++i)
    if (kRadioKinds[i] == kind) return kKindRadios[i];
  return CModelEditor::IDC_KIND_CLR;
}

int HelpTopicOfKind(int kind) {
  switch (kind) {
    case HostModelCLR: return 6;
    case HostModelSPICE: return 7;
    case HostModelTouchstone: return 8;
    case HostModelPLS: return 9;
    default: return 0;
  }
}

CString TextOf(const char* text) { return text ? CString(text) : CString(); }

void EnableItem(CWnd& parent, int id, bool enable) {
  if (CWnd* item = parent.GetDlgItem(id)) item->EnableWindow(enable ? TRUE : FALSE);
}
}  // namespace

CModelEditor::CModelEditor(CWnd* parent)
    : CDialog(IDD, parent),
      m_pRecord(std::make_shared<ModelRecord>()),
      m_ClrPane(*this),
      m_SpicePane(*this),
      m_TstonePane(*this),
      m_PlsPane(*this) {
  modeleditor::RegisterModelEditorResources();
}

CModelEditor::~CModelEditor() {
  if (m_hWnd) DestroyWindow();
}

INT_PTR CModelEditor::DoModal() {
  brimwiz::CModuleScope scope;
  return CDialog::DoModal();
}

void CModelEditor::SetModel(CHostCapacitorModel* model) {
  if (!model) return;
  ModelRecord& record = *m_pRecord;
  ModelHeader& header = record.header;
  header.kind = model->GetKind();
  header.libraryModel = model->IsLibraryModel();
  header.libraryText = TextOf(model->GetLibraryText());
  header.modelName = TextOf(model->GetLibraryModelName());
  header.includesViaMounting = model->IncludesViaMounting();
  // The port map of the kind is the model's alone: a model loaded after another (a library choice) leaves none of
  // the earlier model's ports behind. Every port a pin of the capacitor can be given is read: the model's port count
  // resolves its file through the helper's folders, which need not be the editor's (nor hold the file), and a map
  // read short opened a library model of three or four ports with every port "<not assigned>", which OK refused.
  auto readPorts = [&](PortMap& map) {
    map.clear();
    const int ports = std::max(GetDecouplingModelsHelper()->GetModelPortCount(model), PinCount());
    for (int port = 1; port <= ports; ++port)
      if (const char* pin = model->GetPortPin(port)) map[port] = pin;
  };
  switch (header.kind) {
    case HostModelCLR:
      record.clr.capacitance = model->GetCapacitance();
      record.clr.esl = model->GetESL();
      record.clr.esr = model->GetESR();
      break;
    case HostModelSPICE:
      readPorts(record.spice.portMap);
      record.spice.fileName = TextOf(model->GetFileName());
      record.spice.subcircuitName = TextOf(model->GetSubcircuitName());
      break;
    case HostModelTouchstone:
    case HostModelPLS: {
      FileModelData& data = *record.FileDataOf(header.kind);
      data.series = model->IsSeries();
      readPorts(data.portMap);
      data.fileName = TextOf(model->GetFileName());
      break;
    }
    default: break;
  }
}

void CModelEditor::SetDefaultCapacitance(double farads) {
  if (farads > 0.0) m_pRecord->clr.capacitance = farads;
}

CHostCapacitorModel* CModelEditor::MakeModelViewOfRecord() { return MakeModelView(m_pRecord); }

bool CModelEditor::ViaMountingChecked() const {
  return m_hWnd && IsDlgButtonChecked(IDC_VIA_MOUNTING) == BST_CHECKED;
}

CModelEditorPane* CModelEditor::PaneOfKind(int kind) {
  switch (kind) {
    case HostModelCLR: return &m_ClrPane;
    case HostModelSPICE: return &m_SpicePane;
    case HostModelTouchstone: return &m_TstonePane;
    case HostModelPLS: return &m_PlsPane;
    default: return nullptr;
  }
}

SECBitmapButton& CModelEditor::LibraryButton(int id) {
  return id == IDC_SAVE ? m_SaveButton : id == IDC_SAVE_AS ? m_SaveAsButton : m_RemoveButton;
}

BOOL CModelEditor::OnInitDialog() {
  CDialog::OnInitDialog();
  m_SaveButton.AttachButton(IDC_SAVE, SEC_BMP_ONLY, modeleditor::IDB_SAVE_TO_LIBRARY, this);
  m_SaveAsButton.AttachButton(IDC_SAVE_AS, SEC_BMP_ONLY, modeleditor::IDB_SAVE_AS_TO_LIBRARY, this);
  m_RemoveButton.AttachButton(IDC_REMOVE, SEC_BMP_ONLY, modeleditor::IDB_REMOVE_FROM_LIBRARY, this);
  m_LibraryList.SubclassDlgItem(IDC_LIBRARY, this);

  CRect frame;
  if (CWnd* placeholder = GetDlgItem(IDC_PANE_FRAME)) {
    placeholder->GetWindowRect(&frame);
    ScreenToClient(&frame);
    placeholder->DestroyWindow();
  }
  const std::pair<CDialog*, UINT> panes[] = {{&m_ClrPane, modeleditor::IDD_PANE_CLR},
                                             {&m_SpicePane, modeleditor::IDD_PANE_SPICE},
                                             {&m_TstonePane, modeleditor::IDD_PANE_FILE},
                                             {&m_PlsPane, modeleditor::IDD_PANE_FILE}};
  // Each pane joins the editor's keyboard navigation: Tab and the arrows reach its controls.
  for (auto [pane, id] : panes)
    if (pane->Create(id, this)) {
      pane->ModifyStyleEx(0, WS_EX_CONTROLPARENT);
      pane->MoveWindow(&frame, TRUE);
    }

  FillLibraryList();
  if (CustomSelected() && m_pRecord->header.libraryModel) {
    // A library model that the list does not offer (no library was given, or it is not in it) shows as "<custom>"
    // with its values editable: it is the custom model that starts from them, as choosing "<custom>" makes it. It
    // would else come back named as the library model with whatever values were typed.
    m_pRecord->header.libraryModel = false;
    m_pRecord->header.modelName.Empty();
  }
  SetUpKind();
  return TRUE;
}

void CModelEditor::SetUpKind() {
  ModelHeader& header = m_pRecord->header;
  int radio = IDC_KIND_CLR;
  if (PinCount() > 2) {
    // C-L-R describes a two-pin capacitor only.
    radio = IDC_KIND_TOUCHSTONE;
    EnableItem(*this, IDC_KIND_CLR, false);
    if (header.kind == HostModelCLR) {
      header.kind = HostModelTouchstone;
      m_pRecord->touchstone.fileName.Empty();
    }
  }
  if (header.kind != HostModelCLR) radio = RadioOfKind(header.kind);
  if (CWnd* pls = GetDlgItem(IDC_KIND_PLS))
    pls->ShowWindow(header.kind == HostModelPLS || m_bExtendedKinds ? SW_SHOW : SW_HIDE);
  CheckRadioButton(IDC_KIND_CLR, IDC_KIND_PLS, radio);
  CheckDlgButton(IDC_VIA_MOUNTING, header.includesViaMounting ? BST_CHECKED : BST_UNCHECKED);
  SwitchPane(header.kind);
}

void CModelEditor::SwitchPane(int kind) {
  CModelEditorPane* pane = PaneOfKind(kind);
  if (!pane) return;
  if (m_pCurrentPane && m_pCurrentPane != pane) {
    m_pCurrentPane->StoreToModel();
    m_pCurrentPane->HidePane();
  }
  m_pCurrentPane = pane;
  pane->LoadFromModel();
  pane->ShowPane();
  EnableEditing(CustomSelected());
}

void CModelEditor::OnKindClicked() {
  int kind = HostModelCLR;
  for (int i = 0; i < 4; ++i)
    if (IsDlgButtonChecked(kKindRadios[i]) == BST_CHECKED) {
      kind = kRadioKinds[i];
      break;
    }
  if (kind != m_pRecord->header.kind) {
    m_pRecord->header.kind = kind;
    SwitchPane(kind);
  }
}

void CModelEditor::EnableEditing(bool editable) {
  EnableItem(*this, IDC_KIND_CLR, editable && PinCount() < 3);
  for (int id : {int{IDC_KIND_SPICE}, int{IDC_KIND_TOUCHSTONE}, int{IDC_KIND_PLS}, int{IDC_VIA_MOUNTING}})
    EnableItem(*this, id, editable);
  if (m_pCurrentPane) m_pCurrentPane->EnableEditing(editable);
  EnableItem(*this, IDC_SAVE, editable);
  EnableItem(*this, IDC_REMOVE, !editable);
}

void CModelEditor::FillLibraryList() {
  m_LibraryList.ResetContent();
  if (m_pLibrary) {
    const int count = m_pLibrary->GetCount();
    for (int i = 0; i < count; ++i)
      if (CHostCapacitorModel* item = m_pLibrary->GetItem(i)) {
        const int at = m_LibraryList.AddString(TextOf(item->GetLibraryModelName()));
        if (at >= 0) m_LibraryList.SetItemData(at, static_cast<DWORD_PTR>(i));
      }
  }
  m_LibraryList.InsertString(0, CustomEntry);
  int selection = 0;
  const ModelHeader& header = m_pRecord->header;
  if (m_pLibrary && header.libraryModel) {
    CString text;
    for (int i = 1; i < m_LibraryList.GetCount(); ++i) {
      m_LibraryList.GetLBText(i, text);
      if (text == header.modelName) {   // exact, case-sensitive
        selection = i;
        break;
      }
    }
  }
  m_LibraryList.SetCurSel(selection);
}

bool CModelEditor::CustomSelected() const {
  return !m_LibraryList.m_hWnd || m_LibraryList.GetCurSel() <= 0;
}

CHostCapacitorModel* CModelEditor::SelectedLibraryModel() const {
  if (!m_pLibrary || CustomSelected()) return nullptr;
  return m_pLibrary->GetItem(static_cast<int>(m_LibraryList.GetItemData(m_LibraryList.GetCurSel())));
}

void CModelEditor::OnLibrarySelChange() {
  if (!CustomSelected()) {
    SetModel(SelectedLibraryModel());
    // The port maps show the chosen model's pins, not those of the model shown before.
    m_SpicePane.FillPortMap();
    m_TstonePane.FillPortMap();
    m_PlsPane.FillPortMap();
    SetUpKind();
    return;
  }
  // A custom model starts from the values shown.
  m_pRecord->header.libraryModel = false;
  m_pRecord->header.modelName.Empty();
  EnableEditing(true);
}

bool CModelEditor::StoreCurrentPane() {
  if (!m_pCurrentPane) return true;
  if (!m_pCurrentPane->ValidatePane()) {
    MessageBeep(MB_ICONASTERISK);
    return false;
  }
  // A library model is kept as the host gave it: a pane's store would put in what the pane only shows for it (the
  // row numbers of a two-pin port map, the subcircuit named in the file's letter case, a series flag read from the
  // port count).
  if (CustomSelected()) m_pCurrentPane->StoreToModel();
  return true;
}

void CModelEditor::SaveUnder(const CString& name) {
  // A nameless model is never stored: the library would hold an entry nobody can choose or remove by name.
  if (name.IsEmpty()) return;
  m_pRecord->header.modelName = name;
  m_pRecord->header.libraryModel = true;
  if (m_pLibrary) {
    if (CHostCapacitorModel* view = GetResultModel()) m_pLibrary->Add(view);
    FillLibraryList();
  }
  EnableEditing(CustomSelected());
}

void CModelEditor::OnSaveToLibrary() {
  if (!StoreCurrentPane()) return;
  CString name;
  if (CHostCapacitorModel* selected = SelectedLibraryModel()) {
    name = TextOf(selected->GetLibraryModelName());
  } else {
    CEditModelName dialog("", this);
    if (dialog.DoModal() != IDOK) return;
    name = dialog.m_Name;
  }
  SaveUnder(name);
}

void CModelEditor::OnSaveAsToLibrary() {
  if (!StoreCurrentPane()) return;
  CHostCapacitorModel* selected = SelectedLibraryModel();
  CEditModelName dialog(selected ? selected->GetLibraryModelName() : "", this);
  if (dialog.DoModal() != IDOK) return;
  SaveUnder(dialog.m_Name);
}

void CModelEditor::OnRemoveFromLibrary() {
  CHostCapacitorModel* selected = SelectedLibraryModel();
  if (!selected) return;
  const CString name = TextOf(selected->GetLibraryModelName());
  m_pLibrary->Remove(name);
  FillLibraryList();
  if (CustomSelected()) {
    // The record no longer names a model of the library: it is the custom model the pane shows.
    m_pRecord->header.libraryModel = false;
    m_pRecord->header.modelName.Empty();
  }
  EnableEditing(CustomSelected());
}

void CModelEditor::OnOK() {
  if (!StoreCurrentPane()) return;
  CDialog::OnOK();
}

void CModelEditor::OnHelp() { ShowHelpTopic(m_hWnd, HelpKey, 1, HelpTopicOfKind(m_pRecord->header.kind)); }

void CModelEditor::OnDestroy() {
  for (CDialog* pane : {static_cast<CDialog*>(&m_ClrPane), static_cast<CDialog*>(&m_SpicePane),
                        static_cast<CDialog*>(&m_TstonePane), static_cast<CDialog*>(&m_PlsPane)})
    if (pane->m_hWnd) pane->DestroyWindow();
  m_pCurrentPane = nullptr;
  CDialog::OnDestroy();
}
