#include "model/CArchive.h"
#include "tests/sheets/SheetsFixture.h"

#include <cstdint>

namespace {

using Strings = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

class LogicalInputFileTest : public SheetsFixture {
protected:
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
    Bytes LegacyRecord(int rows = 8, int type = 2) {
        CArchive out(CArchive::store);
        out.WriteString("Logical Input");
        out.WriteInt32(type);
        for (int row = 0; row < rows; ++row)
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

TEST_F(LogicalInputFileTest, CurrentRecordRoundTrips) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(2, 1, "IN 11");
    logical.ValidateData(2, 5, "IN 12");
    logical.ValidateData(4, 1, "LOG2");
    CArchive out(CArchive::store);
    logical.DoFileReadWrite(out, 3);
    const Strings parms = LogParms(2);
    const Strings items = LogItems(4, 2);
    ASSERT_EQ(LoadCause(out.GetBuffer(), 3), 0);
    EXPECT_EQ(Log(2, 1), "IN 11");
    EXPECT_EQ(Log(2, 5), "IN 12");
    EXPECT_EQ(Log(4, 1), "LOG2");
    EXPECT_EQ(LogParms(2), parms);
    EXPECT_EQ(LogItems(4, 2), items);
    EXPECT_EQ(Cell(logical, 4, 2)->GetName(), "I1");

    // Unlike the legacy record, the current one keeps item texts as stored.
    BuildOldStyleSheet();
    CArchive old(CArchive::store);
    logical.DoFileReadWrite(old, 3);
    ASSERT_EQ(LoadCause(old.GetBuffer(), 3), 0);
    EXPECT_EQ(Log(3, 4), "LOG2 (1B)");
}

TEST_F(LogicalInputFileTest, LegacyRecordNamesLogicalInputsByFourCharacters) {
    BuildOldStyleSheet();
    Cell(logical, 3, 0)->GetData()[0] = "old title";
    const Bytes bytes = LegacyRecord();
    ASSERT_EQ(LoadCause(bytes, 2), 0);
    EXPECT_EQ(Log(3, 4), "LOG2");
    EXPECT_EQ(LogItems(3, 4), (Strings{"OFF", "IN 11", "LOG2"}));
    EXPECT_EQ(LogItems(5, 12), (Strings{"OFF", "IN 11", "LOG2", "LOG3"}));
    EXPECT_EQ(Log(2, 1), "IN 11");
    EXPECT_EQ(Log(3, 0), "LOG3 (1C)"); // row titles stay the program's
    EXPECT_EQ(LogItems(8, 1), Strings{"OFF"});
}

TEST_F(LogicalInputFileTest, LegacyRecordOfEveryOldVersionIsRead) {
    BuildOldStyleSheet();
    const Bytes bytes = LegacyRecord();
    for (unsigned version : {0u, 1u, 2u}) {
        EXPECT_EQ(LoadCause(bytes, version), 0) << version;
        EXPECT_EQ(Log(3, 4), "LOG2") << version;
    }
}

TEST_F(LogicalInputFileTest, DamagedLegacyRecordIsABadSchema) {
    const Bytes whole = LegacyRecord();
    for (std::size_t length :
         {std::size_t{0}, std::size_t{5}, std::size_t{20}, whole.size() / 2, whole.size() - 1}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(LoadCause(cut, 2), CArchiveException::badSchema) << length;
    }
    EXPECT_EQ(LoadCause(LegacyRecord(8, 1), 2), CArchiveException::badSchema);
}

} // namespace
