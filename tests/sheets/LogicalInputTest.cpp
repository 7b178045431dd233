#include "model/Messages.h"
#include "tests/sheets/SheetsFixture.h"

#include <array>
#include <cstdint>

namespace {

using Strings = std::vector<std::string>;
using Notice = RecordingSetupType::Notice;

class LogicalInputTest : public SheetsFixture {
protected:
    UINT LastError() { return static_cast<UINT>(logical.GetLastError()); }
    std::vector<std::uint32_t> ActiveLogs() const {
        std::array<std::uint32_t, 7> rows{};
        int count = -1;
        logical.GetActiveLogInputs(rows.data(), count);
        return {rows.begin(), rows.begin() + count};
    }
    // How many input cells of `row`, other than `exceptCol`, offer `name`.
    int Offering(int row, const std::string& name, int exceptCol = -1) const {
        int count = 0;
        for (int col = 1; col <= 12; ++col) {
            const Strings items = LogItems(row, col);
            count += col != exceptCol && std::find(items.begin(), items.end(), name) != items.end();
        }
        return count;
    }
    bool OfferedInRow(int row, const std::string& name, int exceptCol = -1) const {
        return Offering(row, name, exceptCol) == (exceptCol < 0 ? 12 : 11);
    }
    bool OfferedNowhereInRow(int row, const std::string& name, int exceptCol = -1) const {
        return Offering(row, name, exceptCol) == 0;
    }
    const Strings kEmpty = Strings(7, "");
};

// --- Layout of a new sheet.

TEST_F(LogicalInputTest, NewSheetOffersOnlyOff) {
    ASSERT_EQ(logical.GetDataSheet()->GetNumSections(), 9);
    for (int row = 1; row <= 8; ++row) {
        ASSERT_EQ(logical.GetDataSheet()->GetNumCells(row), 20);
        for (int col = 1; col <= 12; ++col)
            EXPECT_EQ(LogItems(row, col), Strings{"OFF"});
        EXPECT_EQ(LogParms(row), kEmpty);
    }
    EXPECT_EQ(Cell(logical, 1, 13)->m_bEditable, 0); // derived parameters are shown, not typed
    EXPECT_TRUE(ActiveLogs().empty());
}

// --- Physical inputs coming and going.

TEST_F(LogicalInputTest, ActivePhysicalInputIsOfferedInLogicalInputsOneToSeven) {
    ActivatePh(1);
    for (int row = 1; row <= 7; ++row)
        EXPECT_TRUE(OfferedInRow(row, "IN 11")) << row;
    EXPECT_EQ(LogItems(8, 1), Strings{"OFF"});
    // Sources follow "OFF" in ascending order.
    ActivatePh(24);
    ActivatePh(4);
    EXPECT_EQ(LogItems(3, 5), (Strings{"OFF", "IN 11", "IN 21", "IN 83"}));
    physical.ValidateData(4, 1, "OFF");
    EXPECT_EQ(LogItems(3, 5), (Strings{"OFF", "IN 11", "IN 83"}));
}

TEST_F(LogicalInputTest, TwoDigitsNameAPhysicalInput) {
    ActivatePh(2);
    EXPECT_EQ(logical.ValidateData(1, 1, "12"), 1);
    EXPECT_EQ(Log(1, 1), "IN 12");
    EXPECT_EQ(logical.ValidateData(1, 2, "99"), 0);
    EXPECT_EQ(LastError(), IDS_TURN_OFF_INPUT);
    EXPECT_EQ(logical.ValidateData(1, 2, "13"), 0); // not active, so not offered
    EXPECT_EQ(LastError(), IDS_TURN_OFF_INPUT);
    EXPECT_EQ(Log(1, 2), "OFF");
}

TEST_F(LogicalInputTest, DeactivatedSourceResetsTheLogicalInputsThatUseIt) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(2, 3, "IN 11");
    logical.ValidateData(2, 4, "IN 12"); // same parameters: both in use
    logical.ValidateData(3, 1, "LOG1");
    logical.ValidateData(4, 1, "LOG3");
    physical.ValidateData(1, 1, "OFF");
    // LOG1 had no other source: it is off, and so are LOG3 and LOG4 in cascade.
    EXPECT_EQ(LogParms(1), kEmpty);
    EXPECT_EQ(ActiveLogs(), std::vector<std::uint32_t>{2});
    EXPECT_EQ(LogParms(4), kEmpty);
    for (const char* name : {"LOG1", "LOG3", "LOG4"})
        EXPECT_TRUE(OfferedNowhereInRow(5, name)) << name;
    // LOG2 keeps its other source and its parameters.
    EXPECT_EQ(Log(2, 3), "OFF");
    EXPECT_EQ(Log(2, 4), "IN 12");
    EXPECT_EQ(LogParms(2), PhParms(2));
    EXPECT_TRUE(OfferedNowhereInRow(2, "IN 11"));
}

// --- Picking sources.

TEST_F(LogicalInputTest, FirstSourceGivesItsParameters) {
    ActivatePh(1, "24 V", "24");
    physical.ValidateData(1, 2, "bar");
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    EXPECT_EQ(logical.ValidateData(2, 1, "IN 11"), 1);
    EXPECT_EQ(LogParms(2), (Strings{"24 V", "bar", "0", "0", "24", "0", "0"}));
    EXPECT_TRUE(OfferedNowhereInRow(2, "IN 11", 1));
    EXPECT_TRUE(OfferedInRow(1, "IN 11"));
    for (int row = 3; row <= 7; ++row)
        EXPECT_EQ(LogItems(row, 2), (Strings{"OFF", "IN 11", "LOG2"})) << row;
    EXPECT_TRUE(OfferedNowhereInRow(1, "LOG2"));
    EXPECT_EQ(alarm.notices, (std::vector<Notice>{{2, 2, -1, "HEJ"}, {2, 2, 1, "IN 11"}}));
    EXPECT_EQ(ActiveLogs(), std::vector<std::uint32_t>{2});
    EXPECT_EQ(logical.IsOtherParmActive(2, -1), 1);
    EXPECT_EQ(logical.IsOtherParmActive(2, 1), 0);
}

TEST_F(LogicalInputTest, FurtherSourcesMustHaveEqualParameters) {
    ActivatePh(1);
    ActivatePh(2);
    ActivatePh(3);
    physical.ValidateData(3, 2, "bar");
    logical.ValidateData(2, 1, "IN 11");
    EXPECT_EQ(logical.ValidateData(2, 2, "IN 12"), 1);
    EXPECT_TRUE(OfferedNowhereInRow(2, "IN 12", 2));
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    EXPECT_EQ(logical.ValidateData(2, 3, "IN 13"), 0);
    EXPECT_EQ(LastError(), IDS_INPUT_PARMS_MISMATCH);
    EXPECT_EQ(Log(2, 3), "OFF");
    EXPECT_TRUE(OfferedInRow(2, "IN 13")); // still offered everywhere
    // The refused name is still announced; the parameters did not change.
    EXPECT_EQ(alarm.notices, (std::vector<Notice>{{2, 2, 3, "IN 13"}}));
    EXPECT_EQ(LogParms(2), PhParms(1));
}

TEST_F(LogicalInputTest, SwappingASourceOffersTheOldOneAgain) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(2, 1, "IN 11");
    logical.ValidateData(2, 2, "IN 12");
    EXPECT_EQ(logical.ValidateData(2, 2, "OFF"), 1);
    EXPECT_TRUE(OfferedInRow(2, "IN 12"));
    EXPECT_EQ(LogParms(2), PhParms(1)); // still in use through IN 11
    EXPECT_EQ(logical.ValidateData(2, 1, "IN 12"), 1);
    EXPECT_TRUE(OfferedInRow(2, "IN 11"));
    EXPECT_TRUE(OfferedNowhereInRow(2, "IN 12", 1));
}

TEST_F(LogicalInputTest, OwnNameAndBadCoordinatesChangeNothing) {
    ActivatePh(1);
    logical.ValidateData(1, 1, "IN 11");
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    EXPECT_EQ(logical.ValidateData(3, 1, "LOG3"), 0);
    EXPECT_EQ(logical.ValidateData(2, 1, ""), 0);
    for (int row : {-1, 0, 9, 100})
        for (int col : {-1, 0, 1, 13, 20})
            EXPECT_EQ(logical.ValidateData(row, col, "IN 11"), 0);
    EXPECT_EQ(logical.ValidateData(2, 13, "x"), 0);
    // A silent refusal leaves no older message to be shown.
    EXPECT_EQ(LastError(), 0u);
    logical.ResetChannel(0);
    logical.ResetChannel(9);
    EXPECT_TRUE(alarm.notices.empty());
    EXPECT_EQ(Log(0, 1), "I1");
    EXPECT_EQ(Log(3, 1), "OFF");
}

TEST_F(LogicalInputTest, LogicalInputEightIsNeverOffered) {
    ActivatePh(1);
    logical.ValidateData(7, 1, "IN 11");
    EXPECT_EQ(LogItems(8, 1), Strings{"OFF"});
    EXPECT_EQ(logical.ValidateData(8, 1, "IN 11"), 0);
    EXPECT_EQ(logical.ValidateData(8, 1, "LOG7"), 0);
    EXPECT_EQ(logical.ValidateData(8, 1, "OFF"), 1);
    for (int row = 1; row <= 7; ++row)
        EXPECT_TRUE(OfferedNowhereInRow(row, "LOG8"));
    EXPECT_EQ(ActiveLogs(), std::vector<std::uint32_t>{7});
}

// --- Logical inputs built on logical inputs.

TEST_F(LogicalInputTest, ParameterChangesPassDownTheChain) {
    ActivatePh(1, "24 V");
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(2, 1, "LOG1");
    logical.ValidateData(3, 5, "LOG2");
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    physical.ValidateData(1, 5, "12");
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(LogParms(row), (Strings{"24 V", "", "0", "0", "12", "0", "0"})) << row;
    const std::vector<Notice> expected = {
        {2, 1, -1, "HEJ"}, {2, 2, -1, "LOG1"}, {2, 3, -1, "LOG2"}, {1, 1, 5, "12"}};
    EXPECT_EQ(alarm.notices, expected);
}

TEST_F(LogicalInputTest, ChangedLogicalSourceIsDroppedWhereItNoLongerMatches) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(3, 1, "LOG1");
    logical.ValidateData(3, 2, "IN 12"); // LOG3 uses LOG1 and IN 12
    logical.ValidateData(4, 1, "LOG1");  // LOG4 uses LOG1 alone
    physical.ValidateData(1, 2, "bar");
    EXPECT_EQ(Log(3, 1), "OFF");
    EXPECT_EQ(Log(3, 2), "IN 12");
    EXPECT_TRUE(OfferedInRow(3, "LOG1"));
    EXPECT_EQ(LogParms(3), PhParms(2));
    // Every user is visited, not only the first one met.
    EXPECT_EQ(LogParms(4), PhParms(1));
    EXPECT_EQ(Ph(1, 2), "bar");
}

TEST_F(LogicalInputTest, ReplacingTheOnlySourceUpdatesTheUsers) {
    ActivatePh(1, "10 V");
    ActivatePh(2, "24 V");
    logical.ValidateData(1, 1, "IN 11");
    logical.ValidateData(2, 1, "LOG1");
    EXPECT_EQ(logical.ValidateData(1, 1, "IN 12"), 1);
    EXPECT_EQ(LogParms(1), PhParms(2));
    EXPECT_EQ(LogParms(2), PhParms(2));
    // LOG2 still picks LOG1 in one cell only.
    EXPECT_TRUE(OfferedNowhereInRow(2, "LOG1", 1));
}

TEST_F(LogicalInputTest, TurningOffTheLastSourceWithdrawsTheLogicalInput) {
    ActivatePh(1);
    logical.ValidateData(2, 1, "IN 11");
    logical.ValidateData(3, 1, "LOG2");
    logical.ValidateData(5, 2, "LOG3");
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    EXPECT_EQ(logical.ValidateData(2, 1, "OFF"), 1);
    EXPECT_TRUE(ActiveLogs().empty());
    for (int row = 2; row <= 5; ++row)
        EXPECT_EQ(LogParms(row), kEmpty) << row;
    for (int row = 3; row <= 7; ++row) {
        for (const char* name : {"LOG2", "LOG3", "LOG5"})
            EXPECT_TRUE(OfferedNowhereInRow(row, name)) << row << name;
        EXPECT_TRUE(OfferedInRow(row, "IN 11")) << row;
    }
    EXPECT_EQ(alarm.notices.back(), (Notice{2, 2, 1, "OFF"}));
    EXPECT_EQ(alarm.notices.front(), (Notice{2, 2, -1, "HEJ"}));
}

TEST_F(LogicalInputTest, ResetChannelTurnsTheWholeLogicalInputOff) {
    ActivatePh(1);
    ActivatePh(2);
    logical.ValidateData(2, 4, "IN 11");
    logical.ValidateData(2, 9, "IN 12");
    logical.ValidateData(3, 1, "LOG2");
    RecordingSetupType& general = Record(SETUP_GENERAL);
    logical.ResetChannel(2);
    for (int col = 1; col <= 12; ++col)
        EXPECT_EQ(Log(2, col), "OFF");
    EXPECT_TRUE(OfferedInRow(2, "IN 11"));
    EXPECT_TRUE(OfferedInRow(2, "IN 12"));
    EXPECT_EQ(LogParms(2), kEmpty);
    EXPECT_EQ(LogParms(3), kEmpty);
    EXPECT_TRUE(OfferedNowhereInRow(4, "LOG2"));
    EXPECT_EQ(general.notices, (std::vector<Notice>{{2, 2, 1, "OFF"}}));
}

} // namespace
