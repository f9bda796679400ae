#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/tests/RecordTestSupport.h"

#include <algorithm>
#include <cmath>

namespace {

class AnalysisData : public RecordTest {};

TEST_F(AnalysisData, AnotherKindReplacesTheCurrentRecordWithDefaults) {
  CDecouplingAnalysisData* decoupling = GetDecouplingAnalysisData();
  decoupling->m_dTargetImpedance = 5.0;
  EXPECT_EQ(GetDecouplingAnalysisData(), decoupling);
  CBypassAnalysisData* bypass = GetBypassAnalysisData();
  EXPECT_EQ(GetAnalysisData(), bypass);
  EXPECT_EQ(bypass->m_nAnalysisType, AnalysisDistributed);
  EXPECT_DOUBLE_EQ(bypass->m_dMaxFreq, 5e9);
  CDecouplingAnalysisData* fresh = GetDecouplingAnalysisData();
  EXPECT_DOUBLE_EQ(fresh->m_dTargetImpedance, 0.001);
  EXPECT_EQ(fresh->m_nAnalysisType, AnalysisLumped);
  EXPECT_DOUBLE_EQ(fresh->m_dMaxFreq, 3e8);
  EXPECT_EQ(fresh->m_nBoardIndex, -1);
  EXPECT_EQ(GetDiffViaAnalysisData()->m_bGenerateS, 1);
  EXPECT_DOUBLE_EQ(GetDiffViaAnalysisData()->m_dNormalImpedance, 50.0);
  EXPECT_DOUBLE_EQ(GetModelExtractorAnalysisData()->m_dNormalImpedance, 0.1);
  EXPECT_EQ(GetModelExtractorAnalysisData()->GetKind(), 4);
  SetCurrentAnalysisData(nullptr);
  EXPECT_EQ(GetAnalysisData(), nullptr);
}

TEST_F(AnalysisData, AssignmentCopiesHostPointersAndProbes) {
  CDecouplingAnalysisData* record = Make<CDecouplingAnalysisData>(true);
  record->m_HelpFile = "help";
  CDecouplingAnalysisData copy;
  copy = *record;
  EXPECT_EQ(copy.m_pBoard, record->m_pBoard);
  EXPECT_EQ(copy.m_pSystem, record->m_pSystem);
  EXPECT_EQ(copy.m_HelpFile, "help");
  EXPECT_EQ(copy.m_Probes.GetSize(), record->m_Probes.GetSize());
  EXPECT_EQ(copy.m_Probes[0].m_pHostProbe, record->m_Probes[0].m_pHostProbe);
}

TEST_F(AnalysisData, EmptyRecordsListEveryFaultInOrder) {
  for (const bool boardMode : {false, true}) {
    CDecouplingAnalysisData* d = GetDecouplingAnalysisData();
    d->m_bBoardMode = boardMode;
    d->m_nAnalysisType = AnalysisDistributed;
    d->m_dMinFreq = 2e6;
    d->m_dMaxFreq = 1e6;
    CString text;
    EXPECT_EQ(d->Check(&text), (CPageIdList{1009, 1001, WORD(boardMode ? 1027 : 1162), 1018}));
    EXPECT_EQ(text, "Subboard to analyze isn't specified. \n"
                    "You have to specify two nets to perform decoupling analysis. \n"
                    "At least one probe must be specified for distributed decoupling analysis. \n"
                    "Frequency sweep range must be specified. \n");
    d->m_nAnalysisType = AnalysisLumped;   // Lumped needs no probe
    d->m_dMaxFreq = d->m_dMinFreq;         // equal bounds pass
    EXPECT_EQ(d->Check(nullptr), (CPageIdList{1009, 1001}));

    CBypassAnalysisData* b = GetBypassAnalysisData();
    b->m_bBoardMode = boardMode;
    b->m_dMinFreq = 0.0;
    EXPECT_EQ(b->Check(&text), (CPageIdList{1009, WORD(boardMode ? 1154 : 1156), 1018}));
    EXPECT_EQ(text, "Subboard to analyze isn't specified. \nVia is to be selected for bypass analysis. \n"
                    "Frequency sweep range must be specified. \n");

    CDiffViaAnalysisData* v = GetDiffViaAnalysisData();
    v->m_bBoardMode = boardMode;
    v->m_dMaxFreq = std::nan("");   // not a number fails the sweep rule
    EXPECT_EQ(v->Check(&text), (CPageIdList{1009, WORD(boardMode ? 1157 : 1158), 1018}));
    EXPECT_EQ(text, boardMode ? "Subboard to analyze isn't specified. \nNo signal via is selected.\n"
                                "Frequency sweep range must be specified. \n"
                              : "Subboard to analyze isn't specified. \nAt least one via must be selected.\n"
                                "Frequency sweep range must be specified. \n");

    CModelExtractorAnalysisData* e = GetModelExtractorAnalysisData();
    e->m_bBoardMode = boardMode;
    EXPECT_EQ(e->Check(&text), boardMode ? (CPageIdList{1009, 1154, 1027}) : (CPageIdList{1009, 1159, 1162}));
    EXPECT_EQ(text, "Subboard to analyze isn't specified. \nSupplyPin or/and Via probes are to be selected!\n");
  }
}

// A settings file whose maximum frequency reads as infinite ("inf", "1e999") is no sweep the host can run: the
// decoupling check sends the user to the frequency page.
TEST_F(AnalysisData, AnInfiniteMaximumFrequencyFailsTheDecouplingCheck) {
  CDecouplingAnalysisData* d = Make<CDecouplingAnalysisData>(false);
  d->m_nAnalysisType = AnalysisLumped;
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->m_pNet2 = board->FindNet("GND");
  EXPECT_EQ(d->Check(nullptr), CPageIdList{});
  d->m_dMaxFreq = HUGE_VAL;
  CString text;
  EXPECT_EQ(d->Check(&text), CPageIdList{1018});
  EXPECT_EQ(text, "Frequency sweep range must be specified. \n");
}

// Every record's check refuses a sweep that cannot run, also one whose maximum is infinite.
TEST_F(AnalysisData, EveryRecordsCheckRefusesAnInfiniteMaximumFrequency) {
  auto expectRefusals = [](CAnalysisData& record) {
    auto sweepRefused = [&record] {
      const CPageIdList pages = record.Check(nullptr);
      return std::find(pages.begin(), pages.end(), 1018) != pages.end();
    };
    EXPECT_FALSE(sweepRefused());
    record.m_dMaxFreq = HUGE_VAL;
    EXPECT_TRUE(sweepRefused());
    record.m_dMaxFreq = std::nan("");
    EXPECT_TRUE(sweepRefused());
  };
  // Each record becomes the current one in turn (the one before it goes).
  expectRefusals(*Make<CBypassAnalysisData>(false));
  expectRefusals(*Make<CDiffViaAnalysisData>(false));
  expectRefusals(*Make<CModelExtractorAnalysisData>(false));
}

TEST_F(AnalysisData, SelectBoardWithTheCurrentIndexChangesNothing) {
  CDecouplingAnalysisData* d = Make<CDecouplingAnalysisData>(false);
  EXPECT_EQ(d->m_nBoardIndex, 0);
  d->m_pNet1 = board->FindNet("VDD_CORE");
  d->SelectBoard(0);
  EXPECT_EQ(d->m_pNet1, board->FindNet("VDD_CORE"));
  d->SelectBoard(3);
  EXPECT_EQ(d->m_nBoardIndex, -1);
  EXPECT_EQ(d->m_pBoard, nullptr);
  EXPECT_EQ(d->m_pNet1, nullptr);
  d->SelectBoard(0);
  EXPECT_EQ(d->m_pBoard, static_cast<CHostBoard*>(board.get()));
}

TEST_F(AnalysisData, RecordsWithoutSystemOrBoardFailSoftly) {
  using Make = CAnalysisData* (*)();
  for (Make make : {Make([] { return static_cast<CAnalysisData*>(GetDecouplingAnalysisData()); }),
                    Make([] { return static_cast<CAnalysisData*>(GetBypassAnalysisData()); }),
                    Make([] { return static_cast<CAnalysisData*>(GetDiffViaAnalysisData()); }),
                    Make([] { return static_cast<CAnalysisData*>(GetModelExtractorAnalysisData()); })}) {
    CAnalysisData* record = make();
    record->SelectBoard(0);   // no system: no board
    EXPECT_EQ(record->m_nBoardIndex, -1);
    EXPECT_FALSE(record->ReadBoardSection());
    EXPECT_FALSE(record->Check(nullptr).empty());
  }
}

}  // namespace
