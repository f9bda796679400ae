#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/tests/TestFiles.h"
#include "platform/base/FileMapping.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <memory>
#include <string>

namespace {

using host::CapacitorModelData;
using host::HostCapacitorModel;

// A small board: capacitors with two, three and four pins, pins off the supply nets, and groups.
const char* const kBoard = R"({
  "name": "helper test board",
  "layers": [{"name": "TOP", "kind": "metal", "thickness": 0.035},
             {"name": "D1", "kind": "dielectric", "thickness": 0.2},
             {"name": "BOT", "kind": "metal", "thickness": 0.035}],
  "nets": [{"name": "GND", "type": "supply"}, {"name": "VCC", "type": "supply", "voltage": 3.3},
           {"name": "SIG", "type": "signal"}],
  "parts": [{"name": "CAP", "capacitance": 1e-7}],
  "components": [
    {"name": "C1", "part": "CAP", "side": "TOP", "pins": [
      {"name": "1", "net": "VCC", "at": [0, 0], "size": 0.5}, {"name": "2", "net": "GND", "at": [1, 0], "size": 0.5}]},
    {"name": "C2", "part": "CAP", "side": "TOP", "pins": [
      {"name": "2", "net": "GND", "at": [0, 2], "size": 0.5}, {"name": "1", "net": "VCC", "at": [1, 2], "size": 0.5}]},
    {"name": "C3", "part": "CAP", "side": "TOP", "pins": [
      {"name": "A", "net": "VCC", "at": [0, 4], "size": 0.5}, {"name": "B", "net": "GND", "at": [1, 4], "size": 0.5}]},
    {"name": "C3L", "part": "CAP", "side": "TOP", "pins": [
      {"name": "a", "net": "VCC", "at": [0, 5], "size": 0.5}, {"name": "b", "net": "GND", "at": [1, 5], "size": 0.5}]},
    {"name": "C4", "part": "CAP", "side": "TOP", "pins": [
      {"name": "1", "net": "VCC", "at": [0, 6], "size": 0.5}, {"name": "2", "net": "GND", "at": [1, 6], "size": 0.5},
      {"name": "3", "net": "GND", "at": [2, 6], "size": 0.5}]},
    {"name": "C5", "part": "CAP", "side": "TOP", "pins": [
      {"name": "1", "net": "VCC", "at": [0, 8], "size": 0.5}, {"name": "2", "net": "SIG", "at": [1, 8], "size": 0.5}]},
    {"name": "C6", "part": "CAP", "side": "TOP", "pins": [
      {"name": "1", "net": "VCC", "at": [0, 10], "size": 0.5}, {"name": "2", "net": "GND", "at": [1, 10], "size": 0.5},
      {"name": "3", "net": "VCC", "at": [2, 10], "size": 0.5}, {"name": "4", "net": "GND", "at": [3, 10], "size": 0.5}]}
  ],
  "groups": [{"name": "G1", "members": ["C1", "C3"]}, {"name": "G2", "members": ["C2"]}, {"name": "Empty", "members": []}]
})";

class DecouplingModelsHelperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        helper = GetDecouplingModelsHelper();
        helper->SetModelDirectories({});
        board = host::LoadBoardText(kBoard, "helper.json", ledger);
    }
    void TearDown() override
    {
        helper->SetModelDirectories({});
        EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
    }

    CHostComponent* Cap(const char* name) { return board->FindComponent(name); }
    CHostCapacitorGroup* Group(int index)
    {
        CHostCollection* groups = board->Decoupling().GetGroups();
        auto* group = HostItemAs<CHostCapacitorGroup>(groups, index);
        groups->Release();
        return group;
    }

    static std::unique_ptr<HostCapacitorModel> Model(CapacitorModelData data)
    {
        return std::make_unique<HostCapacitorModel>(std::move(data));
    }
    static std::unique_ptr<HostCapacitorModel> Clr(double c, double esr = 0.025, double esl = 3.3e-10)
    {
        CapacitorModelData d;
        d.kind = HostModelCLR;
        d.capacitance = c;
        d.esr = esr;
        d.esl = esl;
        return Model(d);
    }
    static std::unique_ptr<HostCapacitorModel> FileModel(int kind, std::string file, std::string subcircuit = {},
                                                         std::map<int, std::string> ports = {})
    {
        CapacitorModelData d;
        d.kind = kind;
        d.fileName = std::move(file);
        d.subcircuit = std::move(subcircuit);
        d.portPins = std::move(ports);
        return Model(d);
    }

    std::string TouchstoneDir() const { return (modeltest::TestDataDir() / "touchstone").string(); }
    std::string SpiceDir() const { return (modeltest::TestDataDir() / "spice").string(); }

    CDecouplingModelsHelper* helper = nullptr;
    host::HostLedger ledger;
    std::unique_ptr<host::HostBoard> board;
};

} // namespace

TEST_F(DecouplingModelsHelperTest, DirectoryTextsAppendTheirPieces)
{
    helper->AddModelDirectories("/models/a\r\n/models/b\n\n\t");
    ASSERT_EQ(helper->GetModelDirectories().size(), 2u);
    EXPECT_EQ(helper->GetModelDirectories()[0], "/models/a");
    EXPECT_EQ(helper->GetModelDirectories()[1], "/models/b");
    helper->AddModelDirectories("/models/c\t/models/d");
    helper->AddModelDirectories(nullptr);
    helper->AddModelDirectories("");
    ASSERT_EQ(helper->GetModelDirectories().size(), 4u);
    EXPECT_EQ(helper->GetModelDirectories()[3], "/models/d");
}

TEST_F(DecouplingModelsHelperTest, FindModelFileSearchesTheDirectoriesInOrder)
{
    EXPECT_EQ(FindModelFile("ntwk1.s2p"), nullptr) << "empty list";
    const std::string scratch = modeltest::ScratchDir().string();
    modeltest::WriteScratchFile("ntwk1.s2p", "shadow\n");
    helper->AddModelDirectories((std::string("/no/such/dir\n") + TouchstoneDir() + "/\n" + scratch).c_str());
    const char* found = FindModelFile("ntwk1.s2p");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(std::string(found), TouchstoneDir() + "/ntwk1.s2p") << "one separator, first directory that has it";
    EXPECT_EQ(FindModelFile("missing.s2p"), nullptr);
    EXPECT_EQ(FindModelFile(nullptr), nullptr);
}

TEST_F(DecouplingModelsHelperTest, ModelValidity)
{
    EXPECT_FALSE(helper->IsModelValid(nullptr));
    EXPECT_FALSE(helper->IsModelValid(Clr(0).get()));
    EXPECT_FALSE(helper->IsModelValid(Clr(-1e-6).get()));
    EXPECT_FALSE(helper->IsModelValid(Clr(0.004).get()));
    EXPECT_TRUE(helper->IsModelValid(Clr(0.0039).get()));
    EXPECT_TRUE(helper->IsModelValid(FileModel(HostModelTouchstone, "a.s2p").get()));
    EXPECT_TRUE(helper->IsModelValid(FileModel(HostModelPLS, "a.pls").get()));
    EXPECT_FALSE(helper->IsModelValid(FileModel(HostModelTouchstone, "").get()));
    EXPECT_FALSE(helper->IsModelValid(FileModel(HostModelSPICE, "a.cir").get())) << "no subcircuit";
    EXPECT_TRUE(helper->IsModelValid(FileModel(HostModelSPICE, "a.cir", "SUB").get()));
    EXPECT_FALSE(helper->IsModelValid(FileModel(7, "a.s2p").get()));

    // A library model is judged by its library text and name alone, whatever its kind and values.
    CapacitorModelData lib;
    lib.kind = 7;
    lib.libraryModel = true;
    lib.libraryText = "vendor.lib";
    lib.libraryModelName = "X7R_100N";
    EXPECT_TRUE(helper->IsModelValid(Model(lib).get()));
    lib.libraryModelName = "";
    EXPECT_FALSE(helper->IsModelValid(Model(lib).get()));
    lib.kind = HostModelCLR;
    lib.capacitance = 1e-7;
    EXPECT_FALSE(helper->IsModelValid(Model(lib).get())) << "a valid C-L-R does not help an unnamed library model";
}

TEST_F(DecouplingModelsHelperTest, CheckModelFile)
{
    helper->AddModelDirectories(TouchstoneDir().c_str());
    EXPECT_EQ(helper->CheckModelFile(nullptr), -1);
    EXPECT_EQ(helper->CheckModelFile(Clr(1e-7).get()), -1);
    EXPECT_EQ(helper->CheckModelFile(FileModel(9, "ntwk1.s2p").get()), -1);
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelTouchstone, "").get()), -1);
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelTouchstone, "ntwk1.s2p").get()), 1);
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelPLS, "missing.pls").get()), 0);
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelSPICE, SpiceDir() + "/C0201C101K3GACTU.subckt", "X").get()), 1)
        << "an absolute name is used as it is";
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelSPICE, SpiceDir() + "/none.subckt", "X").get()), 0);
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelTouchstone, SpiceDir()).get()), 0) << "a directory";
}

TEST_F(DecouplingModelsHelperTest, ModelNamesTakeEitherSeparator)
{
    // A name with '\\' names the same file as with '/', for every reader of model files.
    std::filesystem::create_directories(modeltest::ScratchDir() / "sub");
    std::filesystem::copy_file(TouchstoneDir() + "/ntwk1.s2p", modeltest::ScratchDir() / "sub/ntwk1.s2p",
                               std::filesystem::copy_options::overwrite_existing);
    modeltest::WriteScratchFile("sub/four.pls", "S 4\n");
    modeltest::WriteScratchFile("sub/lib.cir", ".SUBCKT TWIN 1 2 3\n.ENDS\n");
    helper->AddModelDirectories(modeltest::ScratchDir().c_str());
    EXPECT_NE(FindModelFile("sub\\ntwk1.s2p"), nullptr);
    EXPECT_EQ(helper->CheckModelFile(FileModel(HostModelTouchstone, "sub\\ntwk1.s2p").get()), 1);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelTouchstone, "sub\\ntwk1.s2p").get()), 2);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelPLS, "sub\\four.pls").get()), 4);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelSPICE, "sub\\lib.cir", "TWIN").get()), 3);
}

TEST_F(DecouplingModelsHelperTest, PortCountsByKind)
{
    helper->AddModelDirectories((TouchstoneDir() + "\n" + SpiceDir() + "\n" + modeltest::ScratchDir().string()).c_str());
    EXPECT_EQ(helper->GetModelPortCount(nullptr), 0);
    EXPECT_EQ(helper->GetModelPortCount(Clr(1e-7).get()), 2);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelTouchstone, "HFSS_2019R2_test_multiport.s7p").get()), 7);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelTouchstone, TouchstoneDir() + "/ntwk1.s2p").get()), 2);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelTouchstone, "missing.s2p").get()), 0);
    modeltest::WriteScratchFile("four.pls", "! made by a tool\nS 4\n");
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelPLS, "four.pls").get()), 4);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(9, "four.pls").get()), 0);

    // SPICE: the first subcircuit of exactly that name.
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelSPICE, "GRM21BR71E104JA01.subckt",
                                                  "GRM21BR71E104JA01_DC0V_25degC_MURATA").get()), 2);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelSPICE, "GRM21BR71E104JA01.subckt",
                                                  "grm21br71e104ja01_dc0v_25degc_murata").get()), 0)
        << "names differing in case do not match";
    modeltest::WriteScratchFile("lib.cir", ".SUBCKT TWIN 1 2 3\n.ENDS\n.SUBCKT TWIN 1 2\n.ENDS\n");
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelSPICE, "lib.cir", "TWIN").get()), 3);
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelSPICE, "lib.cir", "NONE").get()), 0);
}

TEST_F(DecouplingModelsHelperTest, SpiceFilesThatCannotBeMappedHaveNoPorts)
{
    helper->AddModelDirectories(modeltest::ScratchDir().c_str());
    modeltest::WriteScratchFile("empty.cir", "");
    EXPECT_EQ(helper->GetModelPortCount(FileModel(HostModelSPICE, "empty.cir", "X").get()), 0);

    const std::string path = modeltest::WriteScratchFile("held.cir", ".SUBCKT HELD 1 2\n.ENDS\n");
    auto model = FileModel(HostModelSPICE, "held.cir", "HELD");
    {
        // Another program holds the file open, sharing nothing.
        HANDLE holder = CreateFile(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(helper->GetModelPortCount(model.get()), 0);
        EXPECT_FALSE(helper->ModelMatchesPins(model.get(), Cap("C1")));
        CloseHandle(holder);
    }
    // The helper's own scans close the file at once, so counting twice in a row works.
    EXPECT_EQ(helper->GetModelPortCount(model.get()), 2);
    EXPECT_EQ(helper->GetModelPortCount(model.get()), 2);
}

TEST_F(DecouplingModelsHelperTest, ModelsMatchPinsOnSupplyNets)
{
    helper->AddModelDirectories((TouchstoneDir() + "\n" + modeltest::ScratchDir().string()).c_str());
    modeltest::WriteScratchFile("quad.cir", ".SUBCKT QUAD 1 2 3 4\n.ENDS\n");

    // C-L-R: exactly two pins on supply nets.
    EXPECT_TRUE(helper->ModelMatchesPins(Clr(1e-7).get(), Cap("C1")));
    EXPECT_FALSE(helper->ModelMatchesPins(Clr(1e-7).get(), Cap("C4"))) << "three supply pins";
    EXPECT_FALSE(helper->ModelMatchesPins(Clr(1e-7).get(), Cap("C5"))) << "one pin on a signal net";

    // A two-port model without port names (the editor stores none for one- and two-port models) fits a two-pin
    // capacitor.
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "ntwk1.s2p").get(), Cap("C1")));
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "hfss_oneport.s1p").get(), Cap("C3")));
    EXPECT_FALSE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "ntwk1.s2p").get(), Cap("C4")))
        << "a three-pin capacitor needs port names";

    // With port names, every supply pin must be a port's pin.
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "ntwk1.s2p", {}, {{1, "1"}, {2, "2"}}).get(),
                                         Cap("C2")));
    EXPECT_FALSE(helper->ModelMatchesPins(
        FileModel(HostModelTouchstone, "ntwk1.s2p", {}, {{1, "A"}, {2, "B"}}).get(), Cap("C1")));
    EXPECT_FALSE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "ntwk1.s2p", {}, {{1, "A"}, {2, "B"}}).get(),
                                          Cap("C3L")))
        << "pin names match exactly";
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "ntwk1.s2p", {}, {{1, "1"}, {2, "3"}}).get(),
                                         Cap("C5")))
        << "the signal pin does not count; the supply pin 1 is port 1";
    EXPECT_FALSE(helper->ModelMatchesPins(FileModel(HostModelTouchstone, "ntwk1.s2p", {}, {{1, "1"}}).get(), Cap("C1")))
        << "a port without a pin name";

    const std::map<int, std::string> four = {{1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}};
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelSPICE, "quad.cir", "QUAD", four).get(), Cap("C6")));
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelSPICE, "quad.cir", "QUAD", four).get(), Cap("C4")))
        << "ports without a pin are allowed";
    EXPECT_FALSE(helper->ModelMatchesPins(FileModel(HostModelSPICE, "quad.cir", "QUAD").get(), Cap("C6")));

    // "pls" models are matched by their port names like Touchstone and SPICE models.
    modeltest::WriteScratchFile("two.pls", "S 2\n");
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelPLS, "two.pls").get(), Cap("C1")));
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(HostModelPLS, "two.pls", {}, {{1, "A"}, {2, "B"}}).get(), Cap("C3")));
    EXPECT_FALSE(helper->ModelMatchesPins(FileModel(HostModelPLS, "two.pls", {}, {{1, "A"}, {2, "B"}}).get(), Cap("C1")));

    // Other kinds fit only when no capacitor is given.
    EXPECT_FALSE(helper->ModelMatchesPins(FileModel(8, "ntwk1.s2p").get(), Cap("C1")));
    EXPECT_TRUE(helper->ModelMatchesPins(FileModel(8, "ntwk1.s2p").get(), nullptr));
    EXPECT_FALSE(helper->ModelMatchesPins(nullptr, Cap("C1")));
}

TEST_F(DecouplingModelsHelperTest, SamePins)
{
    EXPECT_TRUE(helper->HaveSamePins(Cap("C1"), Cap("C2"))) << "the same names in another order";
    EXPECT_FALSE(helper->HaveSamePins(Cap("C1"), Cap("C3")));
    EXPECT_FALSE(helper->HaveSamePins(Cap("C3"), Cap("C3L"))) << "names compare case-sensitively";
    EXPECT_FALSE(helper->HaveSamePins(Cap("C1"), Cap("C4"))) << "different pin counts";
    EXPECT_TRUE(helper->HaveSamePins(Cap("C5"), Cap("C1"))) << "nets play no part";

    EXPECT_TRUE(helper->HasSamePinsAsFirst(Cap("C2"), Group(0))) << "G1's first member is C1";
    EXPECT_FALSE(helper->HasSamePinsAsFirst(Cap("C3"), Group(1)));
    EXPECT_TRUE(helper->HasSamePinsAsFirst(Cap("C4"), Group(2))) << "an empty group takes any capacitor";
}

TEST_F(DecouplingModelsHelperTest, DescriptionsAndCapacitanceTexts)
{
    EXPECT_STREQ(helper->GetModelDescription(Clr(0).get()), "<undefined>");
    EXPECT_STREQ(helper->GetModelDescription(Clr(1e-7, 0.025, 3.3e-10).get()), "C=0.1uF, ESL=330pH, ESR=25mOhms");
    EXPECT_STREQ(helper->GetModelDescription(FileModel(HostModelSPICE, "murata.cir", "GRM21").get()), "murata.cir/GRM21;");
    EXPECT_STREQ(helper->GetModelDescription(FileModel(HostModelTouchstone, "cap.s2p").get()), "cap.s2p");
    EXPECT_STREQ(helper->GetModelDescription(FileModel(HostModelPLS, "cap.pls").get()), "cap.pls");
    CapacitorModelData lib;
    lib.libraryModel = true;
    lib.libraryText = "vendor.lib";
    lib.libraryModelName = "X7R_100N";
    EXPECT_STREQ(helper->GetModelDescription(Model(lib).get()), "Library: X7R_100N");

    host::HostPart part("P", "0402", 1e-8, 0.001);
    EXPECT_EQ(FormatCapacitance(&part), "0.01 uF");
    host::HostPart nine("P", "0402", 9e-9, 0.001), milli("P", "", 0.0022, 0), farads("P", "", 2.2, 0), none("P", "", 0, 0);
    EXPECT_EQ(FormatCapacitance(&nine), "9000 pF");
    EXPECT_EQ(FormatCapacitance(&milli), "2.2 mF");
    EXPECT_EQ(FormatCapacitance(&farads), "2.2 F");
    EXPECT_EQ(FormatCapacitance(&none), "");
    EXPECT_EQ(FormatCapacitance(nullptr), "");
}

// A host may give a model directory relative to its working folder; the editor's lists hold that directory joined
// with each file's name, and those paths must resolve as they are (joined again they named no file, and every
// Touchstone file read as "Invalid format").
TEST_F(DecouplingModelsHelperTest, PathsJoinedWithARelativeDirectoryResolve)
{
    namespace fs = std::filesystem;
    const fs::path scratch = modeltest::ScratchDir();
    fs::create_directories(scratch / "relmodels");
    fs::copy_file(fs::path(TouchstoneDir()) / "ntwk1.s2p", scratch / "relmodels" / "ntwk1.s2p",
                  fs::copy_options::overwrite_existing);
    const fs::path before = fs::current_path();
    fs::current_path(scratch);
    helper->AddModelDirectories("relmodels/");
    const int joined = CountTouchstonePorts("relmodels/ntwk1.s2p");
    const int bare = CountTouchstonePorts("ntwk1.s2p");
    const CString missing = ResolveModelFile("relmodels/none.s2p");
    fs::current_path(before);
    EXPECT_EQ(joined, 2);
    EXPECT_EQ(bare, 2);
    EXPECT_TRUE(missing.IsEmpty());
}
