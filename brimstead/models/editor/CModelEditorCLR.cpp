#include "brimstead/models/editor/CModelEditorCLR.h"

#include "brimstead/models/NumberText.h"
#include "brimstead/models/editor/CESLCalculator.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "platform/framework/CComboBox.h"

#include <cctype>
#include <cmath>

IMPLEMENT_DYNAMIC(CModelEditorCLR, CDialog)

BEGIN_MESSAGE_MAP(CModelEditorCLR, CDialog)
  ON_EN_CHANGE(IDC_C_VALUE, OnCapacitanceChanged)
  ON_EN_CHANGE(IDC_L_VALUE, OnInductanceChanged)
  ON_EN_CHANGE(IDC_R_VALUE, OnResistanceChanged)
  ON_CBN_SELCHANGE(IDC_C_UNIT, OnCapacitanceUnit)
  ON_CBN_SELCHANGE(IDC_L_UNIT, OnInductanceUnit)
  ON_CBN_SELCHANGE(IDC_R_UNIT, OnResistanceUnit)
  ON_BN_CLICKED(IDC_CALCULATE, OnCalculate)
END_MESSAGE_MAP()

bool CModelEditorCLR::s_bUpdating = false;

namespace {
struct QuantityControls {
  int edit;
  int list;
  int count;
  const char* units[4];
  double factors[4];
};
const QuantityControls kControls[] = {
    {CModelEditorCLR::IDC_C_VALUE, CModelEditorCLR::IDC_C_UNIT, 4, {"mF", "uF", "nF", "pF"}, {1e3, 1e6, 1e9, 1e12}},
    {CModelEditorCLR::IDC_L_VALUE, CModelEditorCLR::IDC_L_UNIT, 4, {"mH", "uH", "nH", "pH"}, {1e3, 1e6, 1e9, 1e12}},
    {CModelEditorCLR::IDC_R_VALUE, CModelEditorCLR::IDC_R_UNIT, 2, {"Ohm", "mOhm"}, {1.0, 1000.0}},
};
enum UnitIndex { Milli = 0, Micro = 1, Nano = 2, Pico = 3, Ohm = 0, MilliOhm = 1 };

// The unit of an inductance: pH up to 1 nH, nH up to 1 uH, uH up to 1 mH, else mH; `inclusive` puts each bound in
// the smaller unit (the calculator's result), otherwise in the larger one (a loaded model).
int InductanceUnit(double henries, bool inclusive) {
  auto below = [&](double bound) { return inclusive ? henries <= bound : henries < bound; };
  if (below(1e-9)) return Pico;
  if (below(1e-6)) return Nano;
  if (below(1e-3)) return Micro;
  return Milli;
}

// Reads a number as the C library's strtod does (leading blanks, one sign, trailing text ignored), without the
// process locale. False when no character is a number ("--47" is none) or the value lies beyond the range of a
// double.
bool ReadNumber(const CString& text, double& value) {
  const char* p = text;
  const char* const end = p + text.GetLength();
  while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
  double number = 0.0;
  if (!ParseLeadingDouble(p, end, &number) || !std::isfinite(number)) return false;
  value = number;
  return true;
}
}  // namespace

CModelEditorCLR::CModelEditorCLR(CModelEditor& editor) : CModelEditorPaneDlg(IDD, editor) {}

BOOL CModelEditorCLR::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const QuantityControls& q : kControls)
    if (CWnd* list = GetDlgItem(q.list))
      for (int i = 0; i < q.count; ++i) list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(q.units[i]));
  return TRUE;
}

bool CModelEditorCLR::ValidatePane() {
  // An edit whose text is no number still holds the value from before, which is not what the user sees: refused.
  if (m_hWnd)
    for (Quantity q : {QuantityC, QuantityL, QuantityR}) {
      CString text;
      GetDlgItemText(kControls[q].edit, text);
      double number = 0.0;
      if (!ReadNumber(text, number)) return false;
    }
  return m_C > 0.0 && m_C < 0.01 && m_L >= 0.0 && m_R >= 0.0;
}

double& CModelEditorCLR::ValueOf(Quantity q) { return q == QuantityC ? m_C : q == QuantityL ? m_L : m_R; }

double CModelEditorCLR::UnitFactor(Quantity q) const {
  const QuantityControls& controls = kControls[q];
  CWnd* list = GetDlgItem(controls.list);
  const int selection = list ? static_cast<int>(list->SendMessage(CB_GETCURSEL, 0, 0)) : -1;
  if (selection < 0 || selection >= controls.count) return 1.0;
  return controls.factors[selection];
}

void CModelEditorCLR::SelectUnit(Quantity q, int index) {
  if (CWnd* list = GetDlgItem(kControls[q].list)) list->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CModelEditorCLR::ShowValue(Quantity q) {
  s_bUpdating = true;
  const double shown = ValueOf(q) * UnitFactor(q);
  CString text;
  text.Format(shown < 1.0 ? "%.4g" : "%.1f", shown);
  SetDlgItemText(kControls[q].edit, text);
  s_bUpdating = false;
}

void CModelEditorCLR::ShowResonance() {
  CString text;
  if (m_C <= 0.0)
    text = m_L > 0.0 ? "N/A <C=0>" : "N/A";
  else if (m_L <= 0.0)
    text = "N/A <L=0>";
  else
    text.Format("%.4g", 1.0 / (6.283185307179586 * std::sqrt(m_L * m_C)) * 1e-6);   // f = 1 / (2 pi sqrt(L C))
  SetDlgItemText(IDC_RESONANCE, text);
}

void CModelEditorCLR::OnValueChanged(Quantity q) {
  if (s_bUpdating) return;
  CString text;
  GetDlgItemText(kControls[q].edit, text);
  double number = 0.0;
  if (!ReadNumber(text, number)) return;
  ValueOf(q) = number / UnitFactor(q);
  ShowResonance();
}

void CModelEditorCLR::LoadFromModel() {
  const ClrModelData& data = m_Editor.Record().clr;
  m_C = data.capacitance;
  m_L = data.esl;
  m_R = data.esr;
  int cUnit = Milli;
  if (m_C > 0.0 && m_C < 1e-9)
    cUnit = Pico;
  else if (m_C < 1e-6)
    cUnit = Nano;
  else if (m_C < 1e-3)
    cUnit = Micro;
  SelectUnit(QuantityC, cUnit);
  SelectUnit(QuantityL, InductanceUnit(m_L, false));
  SelectUnit(QuantityR, m_R < 1.0 ? MilliOhm : Ohm);
  for (Quantity q : {QuantityC, QuantityL, QuantityR}) ShowValue(q);
  ShowResonance();
}

void CModelEditorCLR::StoreToModel() {
  m_Editor.StoreViaMounting();
  ClrModelData& data = m_Editor.Record().clr;
  data.capacitance = m_C;
  data.esr = m_R;
  data.esl = m_L;
}

void CModelEditorCLR::EnableEditing(bool editable) {
  for (const QuantityControls& q : kControls)
    for (int id : {q.edit, q.list})
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(editable ? TRUE : FALSE);
  // The calculator replaces the ESL: a library model's values are the library's and stay so.
  if (CWnd* calculate = GetDlgItem(IDC_CALCULATE)) calculate->EnableWindow(editable ? TRUE : FALSE);
}

void CModelEditorCLR::OnCalculate() {
  CESLCalculator calculator(m_pLayers, this);
  if (calculator.DoModal() != IDOK) return;
  m_L = calculator.GetResult();
  SelectUnit(QuantityL, InductanceUnit(m_L, true));
  ShowValue(QuantityL);
  ShowResonance();
}
