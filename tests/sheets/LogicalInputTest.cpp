// The rules on offered sources and derived parameters are checked by InputsInvariantTest after thousands of
// random edits, the notices by their effect on the alarms in AlarmInvariantTest; these are the messages,
// blocks and document records.
#include "model/CArchive.h"
#include "tests/sheets/SheetsFixture.h"

#include <array>

namespace {
using Block = std::array<BYTE, 32>;
using Bytes = std::vector<std::uint8_t>;

class LogicalInputTest : public SheetsFixture {
protected:
    Block BlockOf(int index) {
        Block block{};
        logical.GetLogInpDataBlock(index, block.data());
        return block;
    }
    // LOG2 from IN 11; LOG3 from LOG2, stored with the full titles older programs used in item lists.
    void BuildOldStyleSheet() {
        ActivatePh(1);
        logical.ValidateData(2, 1, "IN 11");
        logical.ValidateData(3, 4, "LOG2");
        for (int row = 3; row <= 7; ++row)
            for (int col = 1; col <= 12; ++col)
                for (std::string& item : Cell(logical, row, col)->GetData())
                    if (item == "LOG2") item = "LOG2 (1B)";
    }
    // The record of versions 0..2: title, type, then rows 0..7 of 20 cells each.
    Bytes LegacyRecord(int type = 2) {
        CArchive out(CArchive::store);
        out.WriteString("Logical Input");
        out.WriteInt32(type);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 20; ++col)
                Cell(logical, row, col)->DoFileReadWrite(out, 2);
        return out.GetBuffer();
    }
    int LoadCause(const Bytes& bytes, unsigned version) {
        logical.Initialize();
        CArchive in(bytes);
        try {
            logical.DoFileReadWrite(in, version);
        } catch (const CArchiveException& e) {
            return e.m_cause;
        }
        return in.GetRemaining() == 0 ? 0 : -1;
    }
};

// Each edit in turn on IN 11, IN 12 (20 mA) and IN 13 (unit bar): row, column, text, message (0: taken).
TEST_F(LogicalInputTest, EditsAreChecked) {
    for (int input : {1, 2, 3})
        ActivatePh(input);
    physical.ValidateData(3, 2, "bar");
    const UINT off = IDS_TURN_OFF_INPUT, mismatch = IDS_INPUT_PARMS_MISMATCH;
    // Row, column, text, taken, message when refused (0: silently), shown afterwards. IN 14 is not active; a
    // logical input cannot take its own name; LOG8 takes no source.
    const std::tuple<int, int, const char*, int, UINT, const char*> cases[] = {
        {1, 1, "12", 1, 0, "IN 12"},    {1, 2, "99", 0, off, "OFF"},         {1, 2, "14", 0, off, "OFF"},
        {1, 2, "IN 11", 1, 0, "IN 11"}, {1, 3, "IN 13", 0, mismatch, "OFF"}, {1, 3, "LOG1", 0, 0, "OFF"},
        {2, 1, "", 0, 0, "OFF"},        {9, 1, "IN 11", 0, 0, "<no cell>"},  {2, 13, "x", 0, 0, ""},
        {2, 1, "LOG1", 1, 0, "LOG1"},   {8, 1, "IN 11", 0, off, "OFF"},      {8, 1, "LOG7", 0, off, "OFF"},
        {1, 2, "OFF", 1, 0, "OFF"},     {1, 1, "IN 13", 1, 0, "IN 13"}};
    for (const auto& [row, col, text, taken, error, shown] : cases) {
        EXPECT_EQ(logical.ValidateData(row, col, text), taken) << row << "," << col << " " << text;
        EXPECT_EQ(taken ? 0u : Error(logical), error) << row << "," << col << " " << text;
        EXPECT_EQ(Log(row, col), shown) << row << "," << col << " " << text;
    }
    // Replacing the only source passes the new parameters down the chain.
    EXPECT_EQ(LogParms(1), PhParms(3));
    EXPECT_EQ(LogParms(2), PhParms(3));
}

// Bytes beyond LOG8 name no source, instead of aliasing LOG10.. onto LOG1.
TEST_F(LogicalInputTest, ReferenceBytesNameTheSources) {
    const std::pair<std::string, BYTE> names[] = {
        {"IN 11", 0}, {"IN 83", 23}, {"LOG1", 24}, {"LOG8", 31}, {"OFF", 48}};
    for (const auto& [text, code] : names)
        EXPECT_EQ(
            std::pair(CLogicalInput::EncodeInputReference(text), CLogicalInput::DecodeInputReference(code)),
            std::pair(code, text));
    for (const std::string text : {"", "IN 99", "LOGX", "NON"})
        EXPECT_EQ(CLogicalInput::EncodeInputReference(text), 48) << text;
    for (int code : {32, 47, 49, 255})
        EXPECT_EQ(CLogicalInput::DecodeInputReference(static_cast<BYTE>(code)), "") << code;
}

TEST_F(LogicalInputTest, BlockCarriesDerivedParametersAndReferences) {
    for (int input : {1, 2, 24}) {
        ActivatePh(input, "20 mA", "20");
        physical.ValidateData(input, 3, "4");
        physical.ValidateData(input, 2, kDegC);
    }
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(6, 3, "IN 83");
    logical.ValidateData(6, 2, "LOG1");
    const Block expected = {4,  4,  0,  0,  0,  0,  0,  20, 0,  0,  0,  0,  0,    0,    0,    0,
                            48, 24, 23, 48, 48, 48, 48, 48, 48, 48, 48, 48, 0xDF, 0x43, 0x20, 0x20};
    EXPECT_EQ(BlockOf(5), expected);
}

// A received source block brings the logical inputs built on it in line, also where they have drifted. (Its
// sources are checked as edits are: the invariant and device image tests.)
TEST_F(LogicalInputTest, ReceivedBlockReachesHigherLogicalInputs) {
    ActivatePh(1, "24 V", "24");
    ActivatePh(3, "24 V", "24");
    logical.ValidateData(4, 1, "IN 11");
    logical.ValidateData(4, 2, "IN 13");
    logical.ValidateData(5, 1, "LOG4");
    Cell(logical, 5, 17)->SetText("99");
    const Block block = BlockOf(3);
    logical.SetLogInpParms(3, Block(block).data());
    EXPECT_EQ(LogParms(5), PhParms(1));
    EXPECT_EQ(BlockOf(3), block);
}

// Older programs stored logical inputs in item lists by their full row titles. The current record keeps item
// texts as stored; the legacy one (versions 0..2) names logical inputs by their first four characters.
TEST_F(LogicalInputTest, LegacyRecordNamesLogicalInputsByFourCharacters) {
    BuildOldStyleSheet();
    CArchive current(CArchive::store);
    logical.DoFileReadWrite(current, 3);
    ASSERT_EQ(LoadCause(current.GetBuffer(), 3), 0);
    EXPECT_EQ(Log(3, 4), "LOG2 (1B)");
    Cell(logical, 3, 0)->GetData()[0] = "old title";
    const Bytes bytes = LegacyRecord();
    for (unsigned version : {0u, 1u, 2u}) {
        ASSERT_EQ(LoadCause(bytes, version), 0) << version;
        EXPECT_EQ(Log(3, 4), "LOG2");
        EXPECT_EQ(LogItems(3, 4), (Strings{"OFF", "IN 11", "LOG2"}));
        EXPECT_EQ(LogItems(5, 12), (Strings{"OFF", "IN 11", "LOG2", "LOG3"}));
        EXPECT_EQ(Log(3, 0), "LOG3 (1C)"); // row titles stay the program's
    }
    for (std::size_t length : {std::size_t{0}, std::size_t{20}, bytes.size() / 2, bytes.size() - 1})
        EXPECT_EQ(LoadCause(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)), 2),
                  CArchiveException::badSchema)
            << length;
    EXPECT_EQ(LoadCause(LegacyRecord(1), 2), CArchiveException::badSchema);
}

} // namespace
