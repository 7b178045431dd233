#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/ChannelNames.h"
#include "model/Messages.h"
#include "sheets/physical/CPhysicalInput.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
// The base class's helpers on a real sheet: 24 input rows, each with a number (column 3) and a list of
// LCD units (column 2).
class CProbeSetupType : public CPhysicalInput {
public:
    CProbeSetupType() { Initialize(); }
    CBrChnData* Cell(int col) { return GetCell(1, col); }
    using CBrantSetupType::Error;
    using CBrantSetupType::GetLCDU;
    using CBrantSetupType::SetLCDU;
};

// The three bytes as six hex digits in the order sent: 0x7D0008 is 7D 00 08.
unsigned Encoded(const std::string& text, BYTE byte2 = 0) {
    BYTE out[3] = {0, 0, byte2};
    CBrantSetupType::Encode3Bytes(text, out);
    return static_cast<unsigned>(out[0] << 16 | out[1] << 8 | out[2]);
}
} // namespace

// Magnitude (16 bits), decimals in bits 3-4 of byte two, sign in bit 7. A text the unit holds goes out as
// typed (decimal texts without an exact binary form too) and decodes to the same text. A text it cannot
// hold is named by the message that refuses it; one read from an older document goes out as the nearest
// number the unit holds: never wrapped, never with a lost scale (65.536 as 65.535, nearer than 65.54).
TEST(ThreeByteNumber, EncodingOfEveryKindOfText) {
    const std::pair<const char*, unsigned> held[] = {
        {"12.5", 0x7D0008},   {"-3.25", 0x450190},  {"20", 0x140000},     {"-20", 0x140080},
        {"1.000", 0xE80318},  {"100.0", 0xE80308},  {"-0.5", 0x050088},   {"-0.001", 0x010098},
        {"0.001", 0x010018},  {"4.35", 0xB30110},   {"1.005", 0xED0318},  {"2.675", 0x730A18},
        {"0.57", 0x390010},   {"65535", 0xFFFF00},  {"6553.5", 0xFFFF08}, {"-655.35", 0xFFFF90},
        {"65.535", 0xFFFF18}, {"-65.535", 0xFFFF98}};
    for (const auto& [text, bytes] : held) {
        EXPECT_EQ(CBrantSetupType::Check3Bytes(text), 0u) << text;
        EXPECT_EQ(Encoded(text), bytes) << text;
        const BYTE in[3] = {static_cast<BYTE>(bytes >> 16), static_cast<BYTE>(bytes >> 8),
                            static_cast<BYTE>(bytes)};
        EXPECT_EQ(CBrantSetupType::Decode3Bytes(in), text);
    }
    const UINT large = IDS_NUMBER_TOO_LARGE, invalid = IDS_INVALID_VALUE_LAST;
    const std::tuple<const char*, UINT, unsigned> refused[] = {
        {"65536", large, 0xFFFF00},
        {"-70000", large, 0xFFFF80},
        {"655.36", large, 0xFFFF10},
        {"6553.59", large, 0xFFFF08},
        {"65.536", large, 0xFFFF18},
        {"12abc", invalid, 0x0C0000},
        {"1e2", invalid, 0x640000},
        {"0x10", invalid, 0x100000},
        {"-1e300", invalid, 0xFFFF80},
        {"12,5", invalid, 0x780008},
        {"nan", invalid, 0x000000},
        {"", invalid, 0x000000},
        {".", invalid, 0x000000},
        {"1.2345", IDS_TOO_MANY_DECIMALS, 0xD30418},
        {"0.0004995", IDS_TOO_MANY_DECIMALS, 0x010018}};
    for (const auto& [text, id, bytes] : refused) {
        EXPECT_EQ(CBrantSetupType::Check3Bytes(text), id) << text;
        EXPECT_EQ(Encoded(text), bytes) << text;
    }
    EXPECT_EQ(Encoded("99999999999999999999"), 0xFFFF00u);
    EXPECT_EQ(Encoded("0.0000000000000000000000000001"), 0x000018u);
    EXPECT_EQ(Encoded(" 1.50 "), 0x960010u) << "blanks around a number are no decimals";
    // The other bits of byte two are left alone.
    EXPECT_EQ(Encoded("12.5", 0x67), 0x7D006Fu);
    EXPECT_EQ(Encoded("7", 0xFF), 0x070067u);
}

// The unit's character set has the degree sign at 0xDF; units are four characters, blank-padded.
TEST(UnitText, DegreeSignAndPadding) {
    CProbeSetupType probe;
    probe.Cell(3)->SetSelText("\xB0"
                              "C");
    BYTE out[4];
    probe.GetLCDU(1, 3, out);
    EXPECT_EQ((std::vector<BYTE>(out, out + 4)), (std::vector<BYTE>{0xDF, 0x43, 0x20, 0x20}));
    probe.Cell(3)->SetSelText("");
    probe.SetLCDU(1, 3, out);
    EXPECT_EQ(probe.Cell(3)->GetDataAsString(), "\xB0"
                                                "C");
    EXPECT_EQ(out[0], 0xB0) << "the caller's buffer is changed too";
    BYTE bar[4] = {'b', ' ', 'a', 'r'};
    probe.SetLCDU(1, 3, bar);
    EXPECT_EQ(probe.Cell(3)->GetDataAsString(), "bar");
    probe.Cell(3)->SetSelText("kPa/h");
    probe.GetLCDU(1, 3, out);
    EXPECT_EQ((std::vector<BYTE>(out, out + 4)), (std::vector<BYTE>{'k', 'P', 'a', '/'}));
    BYTE unknown[4] = {'q', 'x', 'z', ' '};
    probe.SetLCDU(1, 2, unknown);
    EXPECT_EQ(probe.Cell(2)->GetDataAsString(), "qxz") << "a list cell learns and selects a new unit";
}

TEST(ErrorMemory, ShownOncePerRowAndId) {
    CScriptedPrompt prompt;
    CProbeSetupType probe;
    // Row, id, show; the messages shown so far.
    for (const auto& [row, id, show, shown] :
         std::vector<std::tuple<int, UINT, int, std::size_t>>{{1, IDS_INVALID_VALUE, 1, 1},
                                                              {1, IDS_INVALID_VALUE, 1, 1},
                                                              {2, IDS_INVALID_VALUE, 1, 2},
                                                              {2, IDS_INVALID_SELECTION, 0, 2}}) {
        probe.Error(row, id, show);
        EXPECT_EQ(prompt.Messages().size(), shown) << row << " " << id;
        EXPECT_EQ(probe.GetLastError(), static_cast<int>(id));
    }
    probe.Error(0, 0, 0);
    EXPECT_EQ(probe.GetLastError(), 0);
    EXPECT_EQ(prompt.Messages().front(), "Invalid value. Last value will be used.");
}

// A block read moves 78 bytes (request and answer), a block write 149 (message and read-back).
TEST(TransferCount, TotalsResetTheCounter) {
    CProbeSetupType probe;
    CBrantSetupType::UpdateTransData(71);
    CBrantSetupType::UpdateTransData(7);
    EXPECT_EQ(CBrantSetupType::ReadProgressData(), 78u);
    EXPECT_EQ(probe.GetTotalTransBytes(1), 78u * 24) << "one block for each input";
    EXPECT_EQ(CBrantSetupType::ReadProgressData(), 0u);
    EXPECT_EQ(probe.GetTotalTransBytes(0), 149u * 24);
    EXPECT_EQ(probe.GetTotalTransBytes(2), 0u);
}

// Logical names are matched by their first four characters.
TEST(ChannelNames, LookupsBothWays) {
    EXPECT_EQ(GetPhChnIndex(GetPhChnName(24)), 24);
    EXPECT_EQ(GetPhChnIndex("IN 84"), -1);
    for (const auto& [name, index] :
         std::vector<std::pair<const char*, int>>{{"LOG1 (1A)", 1}, {"LOG10", 1}, {"LOG7", 7}, {"X", -1}})
        EXPECT_EQ(GetLogChnIndex(name), index) << name;
    EXPECT_EQ(GetStrOfIndex(";;a;;b", 1), "b");
}
