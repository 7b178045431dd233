#include "AlarmFixture.h"

namespace {
using AlarmFollowsInputs = AlarmSheets;
const std::vector<std::string> g_offOnly = {"OFF"};
} // namespace

TEST_F(AlarmFollowsInputs, ActiveInputsAreOfferedInOrder) {
    ActivatePhysical(4); // IN 21
    ActivatePhysical(1); // IN 11
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 21"));
    for (int row : {1, 25, 48}) {
        EXPECT_EQ(Items(row, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11", "IN 21", "LOG1"}));
        EXPECT_EQ(Items(row, ALM_COL_DYNREF), (std::vector<std::string>{"OFF", "LOG1"}));
    }
}

TEST_F(AlarmFollowsInputs, MirrorFollowsTheReferencedInput) {
    ActivatePhysical(1);
    ActivatePhysical(2);
    UseInput(1, "IN 11");
    UseInput(2, "IN 12");
    physical.ValidateData(1, 6, "250");
    physical.ValidateData(1, 2, "psi");
    EXPECT_EQ(Mirror(1), PhParms(1));
    EXPECT_EQ(Value(1, 15), "250");
    EXPECT_EQ(Value(1, 11), "psi");
    EXPECT_EQ(Value(2, 15), "100"); // the other input's alarm keeps its own

    ASSERT_TRUE(logical.ValidateData(3, 1, "IN 12"));
    UseInput(3, "LOG3");
    physical.ValidateData(2, 4, "-20"); // reaches LOG3 and through it the alarm
    EXPECT_EQ(Mirror(3), LogParms(3));
    EXPECT_EQ(Value(3, 13), "-20");
}

TEST_F(AlarmFollowsInputs, InactivePhysicalInputResetsItsAlarmsAndLeavesTheLists) {
    ActivatePhysical(3); // IN 13
    ActivatePhysical(5); // IN 22
    for (int row : {2, 17, 48}) {
        UseInput(row, "IN 13");
        ASSERT_TRUE(alarm.ValidateData(row, ALM_COL_DELAY, "7"));
    }
    UseInput(20, "IN 22");
    physical.ValidateData(3, 1, "OFF");
    for (int row : {2, 17, 48}) {
        EXPECT_EQ(Value(row, ALM_COL_INPREF), "OFF");
        EXPECT_EQ(Value(row, ALM_COL_DELAY), "0.3");
        EXPECT_EQ(Mirror(row), std::vector<std::string>(7, ""));
    }
    EXPECT_EQ(Value(20, ALM_COL_INPREF), "IN 22");
    for (int row = 1; row <= 48; ++row)
        ASSERT_EQ(Items(row, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 22"})) << row;
}

TEST_F(AlarmFollowsInputs, InactiveLogicalInputResetsItsAlarms) {
    ActivatePhysical(1);
    ASSERT_TRUE(logical.ValidateData(2, 1, "IN 11"));
    UseInput(5, "LOG2");
    UseInput(6, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(6, ALM_COL_DYNREF, "LOG2"));
    ASSERT_EQ(Value(6, ALM_COL_SIGN), "\xB1");

    logical.ValidateData(2, 1, "OFF");
    EXPECT_EQ(Value(5, ALM_COL_INPREF), "OFF");
    EXPECT_EQ(Value(6, ALM_COL_INPREF), "IN 11");
    EXPECT_EQ(Value(6, ALM_COL_DYNREF), "OFF");
    EXPECT_EQ(Value(6, ALM_COL_SIGN), "<"); // no "±" without a dynamic reference
    for (int row = 1; row <= 48; ++row) {
        ASSERT_EQ(Items(row, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11"})) << row;
        ASSERT_EQ(Items(row, ALM_COL_DYNREF), g_offOnly) << row;
    }
}

TEST_F(AlarmFollowsInputs, LogicalInputCutWithdrawsTheDynamicReference) {
    ActivatePhysical(1);
    ASSERT_TRUE(logical.ValidateData(4, 1, "IN 11"));
    UseInput(8, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(8, ALM_COL_DYNREF, "LOG4"));
    logical.ResetChannel(4); // keeps LOG4's derived cells, so only the withdrawal can catch it
    EXPECT_EQ(Value(8, ALM_COL_DYNREF), "OFF");
    EXPECT_EQ(Value(8, ALM_COL_SIGN), "<");
    EXPECT_EQ(Items(8, ALM_COL_DYNREF), g_offOnly);
}

TEST_F(AlarmFollowsInputs, PhysicalInputOffCascadesThroughLogicalInputs) {
    ActivatePhysical(1);
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 11"));
    ASSERT_TRUE(logical.ValidateData(2, 1, "LOG1"));
    UseInput(1, "LOG2");
    UseInput(2, "LOG1");
    physical.ValidateData(1, 1, "OFF");
    EXPECT_EQ(Value(1, ALM_COL_INPREF), "OFF");
    EXPECT_EQ(Value(2, ALM_COL_INPREF), "OFF");
    EXPECT_EQ(Items(30, ALM_COL_INPREF), g_offOnly);
    EXPECT_EQ(Items(30, ALM_COL_DYNREF), g_offOnly);
}

TEST_F(AlarmFollowsInputs, DynamicReferenceChecksAfterEveryChange) {
    ActivatePhysical(1);
    ActivatePhysical(2);
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 11")); // LOG1 follows IN 11
    UseInput(1, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(1, ALM_COL_DYNREF, "LOG1"));
    UseInput(2, "IN 12");
    ASSERT_TRUE(logical.ValidateData(2, 1, "IN 12"));
    ASSERT_TRUE(alarm.ValidateData(2, ALM_COL_DYNREF, "LOG2"));

    // IN 11 and LOG1 change together: the dynamic reference still holds.
    physical.ValidateData(1, 6, "80");
    EXPECT_EQ(Value(1, ALM_COL_DYNREF), "LOG1");
    EXPECT_EQ(Value(1, ALM_COL_SIGN), "\xB1");

    // LOG2 moves to another input: alarm 2's dynamic reference no longer matches.
    ActivatePhysical(3, "20 mA");
    ASSERT_TRUE(logical.ValidateData(2, 1, "OFF"));
    ASSERT_TRUE(logical.ValidateData(2, 1, "IN 13"));
    EXPECT_EQ(Value(2, ALM_COL_DYNREF), "OFF");
    EXPECT_EQ(Value(2, ALM_COL_SIGN), "<");
}

// Dynamic references are judged once a change has reached every sheet: logical inputs that follow one
// physical input (side by side or in a chain) end equal, and a chosen "<" or ">" is never turned into "±".
TEST_F(AlarmFollowsInputs, DynamicReferencesAreCheckedAgainstTheFinalParameters) {
    ActivatePhysical(1, "24 V", "0", "0");
    ActivatePhysical(2, "24 V", "0", "0");
    for (const auto& [row, source] : {std::pair{1, "IN 11"}, {2, "IN 11"}, {3, "LOG2"}, {4, "IN 12"}})
        ASSERT_TRUE(logical.ValidateData(row, 1, source));
    const struct {
        int alarm;
        const char *input, *dynRef, *sign;
    } alarms[] = {{1, "LOG2", "LOG1", "\xB1"},
                  {2, "LOG1", "LOG2", "\xB1"},
                  {3, "IN 11", "LOG3", "\xB1"},
                  {4, "IN 11", "LOG1", ">"},
                  {5, "IN 12", "LOG4", "<"}};
    for (const auto& a : alarms) {
        UseInput(a.alarm, a.input);
        ASSERT_TRUE(alarm.ValidateData(a.alarm, ALM_COL_DYNREF, a.dynRef));
        ASSERT_TRUE(alarm.ValidateData(a.alarm, ALM_COL_SIGN, a.sign));
    }
    physical.ValidateData(1, 6, "10");
    physical.ValidateData(2, 7, "3");
    for (const auto& a : alarms) {
        EXPECT_EQ(Value(a.alarm, ALM_COL_DYNREF), a.dynRef) << a.alarm;
        EXPECT_EQ(Value(a.alarm, ALM_COL_SIGN), a.sign) << a.alarm;
    }
}

TEST_F(AlarmFollowsInputs, NoticesForRowsThatAreNotInputs) {
    ActivatePhysical(1);
    UseInput(1, "IN 11");
    for (int row : {-1, 0, 25, 1000}) {
        alarm.UpdateModify(SETUP_PHYSICAL_INPUT, row, 1, "OFF");
        alarm.UpdateModify(SETUP_LOGICAL_INPUT, row, -1, "HEJ");
    }
    alarm.UpdateModify(SETUP_GENERAL, 3, 1, "OFF");
    alarm.UpdateModify(7, 1, 1, "OFF");
    EXPECT_EQ(Items(1, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11"}));
    EXPECT_EQ(Value(1, ALM_COL_INPREF), "IN 11");
}
