#include "model/Messages.h"
#include "tests/sheets/SheetsFixture.h"

#include <array>

namespace {

using Strings = std::vector<std::string>;
using Block = std::array<BYTE, 32>;

class LogicalInputImageTest : public SheetsFixture {
protected:
    UINT LastError() { return static_cast<UINT>(logical.GetLastError()); }
    Block BlockOf(int index) {
        Block block{};
        logical.GetLogInpDataBlock(index, block.data());
        return block;
    }
    static std::vector<BYTE> References(const Block& block) {
        return {block.begin() + 16, block.begin() + 28};
    }
    static void SetReferences(Block& block, std::vector<BYTE> refs) {
        refs.resize(12, 48);
        std::copy(refs.begin(), refs.end(), block.begin() + 16);
    }
};

// --- Reference bytes.

TEST_F(LogicalInputImageTest, ReferenceBytesNameTheSources) {
    for (const auto& [text, code] : std::vector<std::pair<std::string, BYTE>>{
             {"IN 11", 0}, {"IN 83", 23}, {"LOG1", 24}, {"LOG6", 29}, {"LOG8", 31}, {"OFF", 48}}) {
        EXPECT_EQ(CLogicalInput::EncodeInputReference(text), code) << text;
        EXPECT_EQ(CLogicalInput::DecodeInputReference(code), text);
    }
    for (const std::string text : {"", "IN 99", "I", "LOGX", "NON", "\xB0"})
        EXPECT_EQ(CLogicalInput::EncodeInputReference(text), 48) << text;
    // Bytes beyond LOG8 name no source, instead of aliasing LOG10.. onto LOG1.
    for (int code : {32, 33, 46, 47, 49, 200, 255})
        EXPECT_EQ(CLogicalInput::DecodeInputReference(static_cast<BYTE>(code)), "") << code;
}

TEST_F(LogicalInputImageTest, UnusedLogicalInputSendsOffReferences) {
    const Block block = BlockOf(0);
    EXPECT_EQ(References(block), std::vector<BYTE>(12, 48));
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ((std::array<BYTE, 4>{block[28], block[29], block[30], block[31]}),
              (std::array<BYTE, 4>{0x20, 0x20, 0x20, 0x20}));
}

TEST_F(LogicalInputImageTest, BlockCarriesDerivedParametersAndReferences) {
    ActivatePh(1, "20 mA", "20");
    ActivatePh(2, "20 mA", "20");
    ActivatePh(24, "20 mA", "20");
    for (int input : {1, 2, 24}) {
        physical.ValidateData(input, 3, "4");
        physical.ValidateData(input, 2,
                              "\xB0"
                              "C");
    }
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(6, 3, "IN 83");
    logical.ValidateData(6, 2, "LOG1");
    const Block block = BlockOf(5);
    EXPECT_EQ(block[0], 4);
    EXPECT_EQ((std::array<BYTE, 6>{block[1], block[2], block[3], block[7], block[8], block[9]}),
              (std::array<BYTE, 6>{4, 0, 0, 20, 0, 0}));
    EXPECT_EQ(References(block), (std::vector<BYTE>{48, 24, 23, 48, 48, 48, 48, 48, 48, 48, 48, 48}));
    EXPECT_EQ((std::array<BYTE, 4>{block[28], block[29], block[30], block[31]}),
              (std::array<BYTE, 4>{0xDF, 0x43, 0x20, 0x20}));
}

// --- Received blocks.

TEST_F(LogicalInputImageTest, SentBlockComesBackAsTheSameLogicalInput) {
    ActivatePh(1, "24 V", "24");
    ActivatePh(2, "24 V", "24");
    logical.ValidateData(3, 2, "IN 11");
    logical.ValidateData(3, 7, "IN 12");
    Block block = BlockOf(2);
    const Strings parms = LogParms(3);
    logical.ResetChannel(3);
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    logical.SetLogInpParms(2, block.data());
    EXPECT_EQ((Strings{Log(3, 2), Log(3, 7)}), (Strings{"IN 11", "IN 12"}));
    EXPECT_EQ(LogParms(3), parms);
    EXPECT_EQ(LogItems(3, 1), Strings{"OFF"});
    EXPECT_EQ(LogItems(4, 1), (Strings{"OFF", "IN 11", "IN 12", "LOG3"}));
    EXPECT_FALSE(alarm.notices.empty());
    EXPECT_EQ(BlockOf(2), block);
}

TEST_F(LogicalInputImageTest, ReceivedSourceWithOtherParametersIsTurnedOff) {
    ActivatePh(1, "24 V", "24");
    ActivatePh(2, "10 V", "10");
    logical.ValidateData(1, 1, "IN 12");
    Block block = BlockOf(0); // parameters of IN 12
    SetReferences(block, {0, 1});
    logical.ResetChannel(1);
    logical.SetLogInpParms(0, block.data());
    EXPECT_EQ(Log(1, 1), "OFF");
    EXPECT_EQ(Log(1, 2), "IN 12");
    EXPECT_EQ(LogParms(1), PhParms(2));
    EXPECT_EQ(LastError(), IDS_INPUT_PARMS_MISMATCH);
    EXPECT_TRUE(prompt.Log().empty());
}

TEST_F(LogicalInputImageTest, SourcesThatAreNotOfferedAreNotTaken) {
    // Nothing is active yet: the cell offers "OFF" alone and must not take the received name as its item.
    Block block{};
    SetReferences(block, {0, 24, 31});
    logical.SetLogInpParms(1, block.data());
    EXPECT_EQ(LogItems(2, 1), Strings{"OFF"});
    EXPECT_EQ(LogItems(2, 2), Strings{"OFF"});
    EXPECT_EQ(logical.IsOtherParmActive(2, -1), 0);
    EXPECT_EQ(LogParms(2), Strings(7, ""));
}

TEST_F(LogicalInputImageTest, BytesNamingNoSourceKeepTheCell) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(3, 1, "IN 11");
    logical.ValidateData(3, 2, "LOG1");
    Block block = BlockOf(2);
    SetReferences(block, {47, 33, 200});
    logical.SetLogInpParms(2, block.data());
    EXPECT_EQ((Strings{Log(3, 1), Log(3, 2), Log(3, 3)}), (Strings{"IN 11", "LOG1", "OFF"}));
}

TEST_F(LogicalInputImageTest, ReceivedSourcesReplaceTheOldOnes) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(2, 1, "IN 11");
    Block block = BlockOf(1);
    SetReferences(block, {1});
    logical.SetLogInpParms(1, block.data());
    EXPECT_EQ(Log(2, 1), "IN 12");
    for (int col = 2; col <= 12; ++col)
        EXPECT_EQ(LogItems(2, col), (Strings{"OFF", "IN 11"})) << col;
}

TEST_F(LogicalInputImageTest, IndicesOutsideTheSevenBlocksAreIgnored) {
    Block block;
    block.fill(0x5A);
    logical.GetLogInpDataBlock(7, block.data());
    logical.GetLogInpDataBlock(-1, block.data());
    EXPECT_EQ(block[0], 0x5A);
    logical.SetLogInpParms(7, block.data());
    logical.SetLogInpParms(-1, block.data());
    logical.SetLogInpParms(0, nullptr);
    EXPECT_EQ(LogParms(8), Strings(7, ""));
}

} // namespace
