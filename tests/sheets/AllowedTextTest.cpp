// The "Allowed:" line of a refusal is worked out by the sheet whose rule refused: it names exactly what
// that rule takes in the present state.
#include "SheetsFixture.h"

#include "model/AllowedText.h"
#include "sheets/alarms/AlarmTables.h"
#include "sheets/general/GeneralTables.h"
#include "sheets/logical/LogicalTables.h"
#include "sheets/physical/PhysicalTables.h"

class AllowedTextTest : public SheetsFixture {};

// IN 11 and IN 12 at 20 mA, IN 13 at 10 V, IN 21 at 24 V: a logical input using IN 11 refuses IN 13 and
// names OFF and IN 12 only. For every input cell of LOG1, each item the sheet offers is tried: the ones it
// takes are exactly the ones named.
TEST_F(AllowedTextTest, ALogicalInputNamesTheSourcesItsRuleTakes) {
    for (const auto& [row, type] : {std::pair{1, "20 mA"}, {2, "20 mA"}, {3, "10 V"}, {4, "24 V"}})
        ASSERT_TRUE(physical.ValidateData(row, PH_COL_TYPE, type));
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 11"));
    EXPECT_FALSE(logical.ValidateData(1, 2, "IN 13"));
    EXPECT_EQ(logical.GetLastError(), static_cast<int>(IDS_INPUT_PARMS_MISMATCH));
    EXPECT_EQ(logical.GetAllowedText(1, 2), "OFF, IN 12");

    for (int col = LOG_COL_FIRST_INPUT + 1; col <= LOG_COL_LAST_INPUT; ++col) {
        const std::string allowed = logical.GetAllowedText(1, col);
        Strings taken;
        for (const std::string& item : Items(logical, 1, col)) {
            if (logical.ValidateData(1, col, item)) taken.push_back(item);
            logical.ValidateData(1, col, "OFF");
        }
        EXPECT_EQ(AllowedListText(taken), allowed) << col;
    }
}

// Numbers are named by their range: the device number, the hysteresis, an input's electrical limits by
// its type (the "Out off range" refusal too), an alarm's set point by its input's LCD range, the delay.
TEST_F(AllowedTextTest, RangesOfTheNumbers) {
    ASSERT_TRUE(physical.ValidateData(1, PH_COL_TYPE, "10 V"));
    EXPECT_FALSE(physical.ValidateData(1, PH_COL_INP_UP, "12"));
    EXPECT_EQ(physical.GetLastError(), static_cast<int>(IDS_OUT_OFF_RANGE_CLOSEST));
    ASSERT_TRUE(alarm.ValidateData(1, ALM_COL_INPREF, "IN 11"));
    const struct {
        IBrantSetupType& sheet;
        int row, col;
        std::string allowed;
    } cells[] = {
        {general, GEN_ROW_DEVICE_NUMBER, 1, "1 to 62"},
        {general, GEN_ROW_HYSTERESIS, 1, "0 to 12.5 in steps of 0.05"},
        {physical, 1, PH_COL_INP_UP, "0 to 10 V"},
        {physical, 1, PH_COL_INP_LO, "0 to 10 V"},
        {physical, 2, PH_COL_INP_LO, ""}, // switched off
        {physical, 1, PH_COL_TYPE, "OFF, 20 mA, 10 V, 24 V"},
        {alarm, 1, ALM_COL_SETPOINT,
         Value(physical, 1, PH_COL_LCD_LO) + " to " + Value(physical, 1, PH_COL_LCD_UP)},
        {alarm, 1, ALM_COL_DELAY, "0.3 to 918000 s"},
        {alarm, 1, ALM_COL_TEXT, ""},
    };
    for (const auto& cell : cells)
        EXPECT_EQ(cell.sheet.GetAllowedText(cell.row, cell.col), cell.allowed)
            << cell.sheet.GetTitle() << " " << cell.row << "," << cell.col;
    EXPECT_EQ(AllowedListText({"OFF", "1", "2", "3", "5", "6", "07"}), "OFF, 1 to 3, 5, 6, 07");
}

// An alarm's dynamic reference takes a logical input with the seven parameters of the alarm's input. LOG2's
// source IN 12 differs from IN 11 in its last parameter only, LOG3's IN 13 in its type: the items named are
// exactly the ones the alarm takes.
TEST_F(AllowedTextTest, ADynamicReferenceNamesTheLogicalInputsItsRuleTakes) {
    for (const auto& [row, type] : {std::pair{1, "20 mA"}, {2, "20 mA"}, {3, "10 V"}})
        ASSERT_TRUE(physical.ValidateData(row, PH_COL_TYPE, type));
    ASSERT_TRUE(physical.ValidateData(2, PH_COL_MISC, "5"));
    for (const auto& [row, source] : {std::pair{1, "IN 11"}, {2, "IN 12"}, {3, "IN 13"}})
        ASSERT_TRUE(logical.ValidateData(row, LOG_COL_FIRST_INPUT, source));
    ASSERT_TRUE(alarm.ValidateData(1, ALM_COL_INPREF, "IN 11"));
    const std::string allowed = alarm.GetAllowedText(1, ALM_COL_DYNREF);
    Strings taken;
    for (const std::string& item : Items(alarm, 1, ALM_COL_DYNREF)) {
        if (alarm.ValidateData(1, ALM_COL_DYNREF, item)) taken.push_back(item);
        alarm.ValidateData(1, ALM_COL_DYNREF, "OFF");
    }
    EXPECT_EQ(AllowedListText(taken), allowed);
    EXPECT_EQ(allowed, "OFF, LOG1");
}
