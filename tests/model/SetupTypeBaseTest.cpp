#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/ChannelNames.h"
#include "model/Messages.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
// A one-row setup type whose cells the tests fill directly.
class CProbeSetupType : public CBrantSetupType {
public:
    CProbeSetupType() { Initialize(); }
    int ValidateData(int, int, std::string) override { return 0; }
    void SetParm(int row, int col, std::string text) override { GetCell(row, col)->SetSelText(text); }
    void Initialize() override {
        FreeDataSheet();
        CreateDefDataSheet();
    }
    void ResetChannel(int) override {}
    int GetNumChannels() override { return 2; }
    int UploadData(CComSetupDialog*) override { return 0; }
    int DownloadData(CComSetupDialog*) override { return 0; }

    CBrChnData* Cell(int col) { return GetCell(1, col); }
    using CBrantSetupType::Error;
    using CBrantSetupType::Get3BytesParm;
    using CBrantSetupType::GetInputType;
    using CBrantSetupType::GetLCDU;
    using CBrantSetupType::Set3ByteParm;
    using CBrantSetupType::SetInputType;
    using CBrantSetupType::SetLCDU;

private:
    void CreateDefDataSheet() override {
        PrepareDataSheet(2);
        for (int row = 0; row < 2; ++row) {
            auto* section = new CSection;
            section->push_back(CreateLabelCell("value"));
            auto* cell = new CBrChnData(DATA_TYPE_TEXT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
            cell->AddData("");
            section->push_back(cell);
            auto* list = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DEFAULT);
            list->AddData("OFF;20 mA");
            section->push_back(list);
            (*m_pDataSheet->m_pSections)[static_cast<std::size_t>(row)] = section;
        }
    }
};

std::vector<BYTE> Encode(const std::string& text, BYTE byte2 = 0) {
    std::vector<BYTE> out = {0, 0, byte2};
    CBrantSetupType::Encode3Bytes(text, out.data());
    return out;
}
} // namespace

TEST(ThreeByteNumber, WorkedValuesRoundTrip) {
    const std::pair<const char*, std::vector<BYTE>> cases[] = {
        {"12.5", {0x7D, 0x00, 0x08}}, {"-3.25", {0x45, 0x01, 0x90}}, {"20", {0x14, 0x00, 0x00}},
        {"-20", {0x14, 0x00, 0x80}},  {"1.000", {0xE8, 0x03, 0x18}}, {"100.0", {0xE8, 0x03, 0x08}},
        {"100", {100, 0, 0}},         {"-0.5", {0x05, 0x00, 0x88}}};
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(Encode(text), bytes) << text;
        EXPECT_EQ(CBrantSetupType::Decode3Bytes(bytes.data()), text);
    }
    // The other bits of byte two are left alone.
    EXPECT_EQ(Encode("12.5", 0x67)[2], 0x67 | 0x08);
    EXPECT_EQ(Encode("7", 0xFF)[2], 0x67);
}

// Decimal texts without an exact binary form, and the largest magnitude of each scale, reach the unit as
// typed and come back as typed.
TEST(ThreeByteNumber, DecimalTextsEncodeExactly) {
    const std::pair<const char*, std::vector<BYTE>> cases[] = {
        {"4.35", {0xB3, 0x01, 0x10}},    {"1.005", {0xED, 0x03, 0x18}},   {"0.29", {0x1D, 0x00, 0x10}},
        {"2.675", {0x73, 0x0A, 0x18}},   {"0.57", {0x39, 0x00, 0x10}},    {"655.35", {0xFF, 0xFF, 0x10}},
        {"-655.35", {0xFF, 0xFF, 0x90}}, {"65535", {0xFF, 0xFF, 0x00}},   {"6553.5", {0xFF, 0xFF, 0x08}},
        {"65.535", {0xFF, 0xFF, 0x18}},  {"-65.535", {0xFF, 0xFF, 0x98}}, {"0.001", {0x01, 0x00, 0x18}}};
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(CBrantSetupType::Check3Bytes(text), 0u) << text;
        EXPECT_EQ(Encode(text), bytes) << text;
        EXPECT_EQ(CBrantSetupType::Decode3Bytes(bytes.data()), text);
    }
    EXPECT_EQ(Encode(" 1.50 "), (std::vector<BYTE>{150, 0, 0x10}))
        << "blanks around a number are no decimals";
}

// A text the unit cannot hold is named by the message that refuses it. One read from an older document goes
// out as the nearest number the unit holds: never wrapped, never with a lost scale.
TEST(ThreeByteNumber, TextsTheUnitCannotHold) {
    const std::tuple<const char*, UINT, std::vector<BYTE>> cases[] = {
        {"65536", IDS_NUMBER_TOO_LARGE, {0xFF, 0xFF, 0x00}},
        {"70000", IDS_NUMBER_TOO_LARGE, {0xFF, 0xFF, 0x00}},
        {"-70000", IDS_NUMBER_TOO_LARGE, {0xFF, 0xFF, 0x80}},
        {"655.36", IDS_NUMBER_TOO_LARGE, {0xFF, 0xFF, 0x10}},
        {"6553.59", IDS_NUMBER_TOO_LARGE, {0xFF, 0xFF, 0x08}},
        {"65.536", IDS_NUMBER_TOO_LARGE, {0xFF, 0xFF, 0x18}}, // nearer than 65.54
        {"1.2345", IDS_TOO_MANY_DECIMALS, {0xD3, 0x04, 0x18}},
        {"0.0000000000000000000000000001", IDS_TOO_MANY_DECIMALS, {0x00, 0x00, 0x18}},
        {"12abc", IDS_INVALID_VALUE_LAST, {12, 0, 0}},
        {"1e2", IDS_INVALID_VALUE_LAST, {100, 0, 0}},
        {"0x10", IDS_INVALID_VALUE_LAST, {16, 0, 0}},
        {"-1e300", IDS_INVALID_VALUE_LAST, {0xFF, 0xFF, 0x80}},
        {"12,5", IDS_INVALID_VALUE_LAST, {120, 0, 0x08}},
        {"nan", IDS_INVALID_VALUE_LAST, {0, 0, 0}},
        {"", IDS_INVALID_VALUE_LAST, {0, 0, 0}},
        {".", IDS_INVALID_VALUE_LAST, {0, 0, 0}},
        {"99999999999999999999", IDS_INVALID_VALUE_LAST, {0xFF, 0xFF, 0x00}}};
    for (const auto& [text, id, bytes] : cases) {
        EXPECT_EQ(CBrantSetupType::Check3Bytes(text), id) << text;
        EXPECT_EQ(Encode(text), bytes) << text;
    }
}

TEST(ThreeByteNumber, CellsRoundTripThroughTheSheet) {
    CProbeSetupType probe;
    probe.Cell(1)->SetSelText("-3.25");
    BYTE bytes[3] = {};
    probe.Get3BytesParm(1, bytes, 1);
    probe.Cell(1)->SetSelText("");
    probe.Set3ByteParm(1, bytes, 1);
    EXPECT_EQ(probe.Cell(1)->GetDataAsString(), "-3.25");

    // A list cell that does not know the value gets it appended, not selected.
    BYTE seven[3] = {7, 0, 0};
    probe.Set3ByteParm(1, seven, 2);
    EXPECT_EQ(probe.Cell(2)->GetData().back(), "7");
    EXPECT_EQ(probe.Cell(2)->GetDataAsString(), "OFF");
}

TEST(ValueText, FormattingAndDividers) {
    EXPECT_EQ(CBrantSetupType::GetFormatedString(5, 10, -1), "-0.5");
    EXPECT_EQ(CBrantSetupType::GetFormatedString(5, 0, -1), "-5");
    EXPECT_EQ(CBrantSetupType::GetFormatedString(5, 7, 1), " ");
    EXPECT_EQ(CBrantSetupType::GetFormatedString(1234, 1000, 1), "1.234");
    EXPECT_EQ(CBrantSetupType::GetDevider("12.5"), 10);
    EXPECT_EQ(CBrantSetupType::GetDevider("0,25"), 100);
    EXPECT_EQ(CBrantSetupType::GetDevider("5."), 1);
    EXPECT_EQ(CBrantSetupType::GetDevider("100"), 0);
    EXPECT_GT(CBrantSetupType::GetDevider("1." + std::string(40, '0')), 0) << "saturates, never overflows";
}

TEST(ValueText, IntAndFloatChecks) {
    int i = -1;
    float f = -1;
    for (const char* text : {"-5", "+5"})
        EXPECT_FALSE(CBrantSetupType::IsValidInt(text, i)) << text;
    for (const auto& [text, value] : std::vector<std::pair<const char*, int>>{{"", 0}, {"42", 42}}) {
        EXPECT_TRUE(CBrantSetupType::IsValidInt(text, i));
        EXPECT_EQ(i, value);
    }
    EXPECT_FALSE(CBrantSetupType::IsValidFloat("1.2.3", f));
    EXPECT_FALSE(CBrantSetupType::IsValidFloat("-1", f));
    EXPECT_TRUE(CBrantSetupType::IsValidFloat(".5", f));
    EXPECT_FLOAT_EQ(f, 0.5f);
}

TEST(UnitText, DegreeSignAndPadding) {
    CProbeSetupType probe;
    probe.Cell(1)->SetSelText("\xB0"
                              "C");
    BYTE out[4];
    probe.GetLCDU(1, 1, out);
    EXPECT_EQ((std::vector<BYTE>(out, out + 4)), (std::vector<BYTE>{0xDF, 0x43, 0x20, 0x20}));
    probe.Cell(1)->SetSelText("");
    probe.SetLCDU(1, 1, out);
    EXPECT_EQ(probe.Cell(1)->GetDataAsString(), "\xB0"
                                                "C");
    EXPECT_EQ(out[0], 0xB0) << "the caller's buffer is changed too";

    BYTE bar[4] = {'b', ' ', 'a', 'r'};
    probe.SetLCDU(1, 1, bar);
    EXPECT_EQ(probe.Cell(1)->GetDataAsString(), "bar");

    probe.Cell(1)->SetSelText("kPa/h");
    probe.GetLCDU(1, 1, out);
    EXPECT_EQ((std::vector<BYTE>(out, out + 4)), (std::vector<BYTE>{'k', 'P', 'a', '/'}));

    BYTE unknown[4] = {'p', 's', 'i', ' '};
    probe.SetLCDU(1, 2, unknown);
    EXPECT_EQ(probe.Cell(2)->GetDataAsString(), "psi") << "a list cell learns and selects a new unit";
}

TEST(InputTypes, NamesAndCodes) {
    CProbeSetupType probe;
    probe.Cell(2)->SetSelText("20 mA");
    EXPECT_EQ(probe.GetInputType(1, 2), 4);
    probe.Cell(1)->SetSelText("bogus");
    EXPECT_EQ(probe.GetInputType(1, 1), 0);
    probe.SetInputType(1, 2, 0);
    EXPECT_EQ(probe.Cell(2)->GetDataAsString(), "OFF");
    probe.SetInputType(1, 2, 3);
    EXPECT_EQ(probe.Cell(2)->GetData().back(), "24 V") << "an unknown name is appended";
    EXPECT_EQ(probe.Cell(2)->GetDataAsString(), "OFF");
}

TEST(ErrorMemory, ShownOncePerRowAndId) {
    CScriptedPrompt prompt;
    CProbeSetupType probe;
    probe.Error(1, IDS_INVALID_VALUE, 1);
    probe.Error(1, IDS_INVALID_VALUE, 1);
    EXPECT_EQ(prompt.Messages().size(), 1u);
    probe.Error(2, IDS_INVALID_VALUE, 1);
    EXPECT_EQ(prompt.Messages().size(), 2u);
    probe.Error(2, IDS_INVALID_SELECTION, 0);
    EXPECT_EQ(prompt.Messages().size(), 2u) << "not shown without the flag";
    EXPECT_EQ(probe.GetLastError(), static_cast<int>(IDS_INVALID_SELECTION));
    probe.Error(0, 0, 0);
    EXPECT_EQ(probe.GetLastError(), 0);
    EXPECT_EQ(prompt.Messages().front(), "Invalid value. Last value will be used.");
}

TEST(TransferCount, TotalsResetTheCounter) {
    CProbeSetupType probe;
    CBrantSetupType::UpdateTransData(71);
    CBrantSetupType::UpdateTransData(7);
    EXPECT_EQ(CBrantSetupType::ReadProgressData(), 78u);
    EXPECT_EQ(probe.GetTotalTransBytes(1), 78u);
    EXPECT_EQ(CBrantSetupType::ReadProgressData(), 0u);
    EXPECT_EQ(probe.GetTotalTransBytes(0), 149u);
    EXPECT_EQ(probe.GetTotalTransBytes(2), 0u);
}

TEST(ChannelNames, LookupsBothWays) {
    EXPECT_EQ(GetPhChnName(25), "");
    EXPECT_EQ(GetLogChnName(0), "NON");
    EXPECT_EQ(GetLogChnName(-1), "");
    for (int input : {1, 24})
        EXPECT_EQ(GetPhChnIndex(GetPhChnName(input)), input);
    EXPECT_EQ(GetPhChnIndex("IN 84"), -1);
    // Logical names are matched by their first four characters.
    for (const auto& [name, index] :
         std::vector<std::pair<const char*, int>>{{"LOG1 (1A)", 1}, {"LOG10", 1}, {"LOG7", 7}, {"X", -1}})
        EXPECT_EQ(GetLogChnIndex(name), index) << name;
    EXPECT_EQ(GetStrOfIndex("OFF;1;2;3;4;5;6;7;8;9;10;11;12;13;14", 3), "3");
    EXPECT_EQ(GetStrOfIndex("OFF;1;2;3;4;5;6;7;8;9;10;11;12;13;14", 15), " ");
    EXPECT_EQ(GetStrOfIndex(";;a;;b", 1), "b");
}

TEST(Messages, TextsByIdentifier) {
    EXPECT_EQ(LoadMessage(1), "");
    for (unsigned id = 62000; id <= 62022; ++id)
        EXPECT_FALSE(LoadMessage(id).empty()) << id;
}
